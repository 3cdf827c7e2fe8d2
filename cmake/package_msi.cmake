# The Windows installer: CPack's External generator stages component game and hands it to
# cmake/msi_build.cmake, which runs wixl on packaging/windows/ondulor.wxs.in. Included by
# package.cmake, which names the product and the maker (those of the exe's version information).
# Without wixl only the package target fails (cmake/msi_build.cmake says why), not the game's build.
find_program(ONDULOR_WIXL wixl)
# An MSI version has three numbers.
set(ONDULOR_MSI_VERSION ${ONDULOR_VERSION_MAJOR}.${ONDULOR_VERSION_MINOR}.${ONDULOR_VERSION_PATCH})
configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/ondulor.wxs.in ${CMAKE_BINARY_DIR}/msi/ondulor.wxs @ONLY)

set(CPACK_EXTERNAL_ENABLE_STAGING ON)
set(CPACK_EXTERNAL_PACKAGE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/msi_build.cmake)
set(CPACK_ONDULOR_WIXL ${ONDULOR_WIXL})
set(CPACK_ONDULOR_WXS ${CMAKE_BINARY_DIR}/msi/ondulor.wxs)
set(CPACK_ONDULOR_ICON ${CMAKE_SOURCE_DIR}/res/art/ondulor.ico)
# The folder wixl builds in, kept after the build: the wxs beside the files it names.
set(CPACK_ONDULOR_MSI_STAGE ${CMAKE_BINARY_DIR}/msi/stage)
