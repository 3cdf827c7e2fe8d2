# The Windows installer: CPack's External generator stages component game and hands it to
# cmake/msi_build.cmake, which configures packaging/windows/ondulor.wxs.in and runs wixl on it.
# Included by package.cmake, which names the product and the maker (those of the exe's version
# information). Without wixl only the package target fails (cmake/msi_build.cmake says why), not the
# game's build.
find_program(ONDULOR_WIXL wixl)
# An MSI version has three numbers.
set(ONDULOR_MSI_VERSION ${ONDULOR_VERSION_MAJOR}.${ONDULOR_VERSION_MINOR}.${ONDULOR_VERSION_PATCH})
# The product's for good: every version carries it, so that a later one replaces an earlier one.
set(ONDULOR_MSI_UPGRADE_CODE EA5008BF-1D75-435C-8EA1-FD9B4F56AFBB)

set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/msi_build.cmake)
set(CPACK_ONDULOR_WIXL ${ONDULOR_WIXL})
set(CPACK_ONDULOR_WXS_IN ${CMAKE_SOURCE_DIR}/packaging/windows/ondulor.wxs.in)
set(CPACK_ONDULOR_ICON ${CMAKE_SOURCE_DIR}/res/art/ondulor.ico)
set(CPACK_ONDULOR_PRODUCT "${ONDULOR_PRODUCT}")
set(CPACK_ONDULOR_MAKER "${ONDULOR_MAKER}")
set(CPACK_ONDULOR_MSI_VERSION ${ONDULOR_MSI_VERSION})
set(CPACK_ONDULOR_MSI_UPGRADE_CODE ${ONDULOR_MSI_UPGRADE_CODE})
# The folder wixl builds in, kept after the build: the wxs beside the files it names.
set(CPACK_ONDULOR_MSI_STAGE ${CMAKE_BINARY_DIR}/msi/stage)
