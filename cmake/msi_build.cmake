# Run by cpack (External generator) once component game is staged: builds the MSI with wixl.
# wixl refuses absolute Source paths, so the wxs, the icon and the staged files share one folder
# and wixl runs there. Any warning fails the build: wixl warns about the attributes it ignores.
if(NOT CPACK_ONDULOR_WIXL)
  message(FATAL_ERROR "msi: wixl was not found; the package target builds the MSI with it. "
    "Install it with 'bash scripts/deps.sh' (the Debian/Ubuntu package is 'wixl').")
endif()
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(NOT epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "msi: no SOURCE_DATE_EPOCH (cmake/package_config.cmake.in sets it)")
endif()
set(stage ${CPACK_ONDULOR_MSI_STAGE})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
set(staged)
foreach(name ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm)
  file(GLOB_RECURSE found LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/${name}")
  if(NOT found)
    message(FATAL_ERROR "msi: ${name} is not among the staged files of component game")
  endif()
  file(COPY ${found} DESTINATION ${stage})
  list(APPEND staged ${stage}/${name})
endforeach()
file(COPY ${CPACK_ONDULOR_ICON} DESTINATION ${stage})

# wixl makes the product code, the package code and the summary's times anew at every run. Here
# the product code comes from the version and the build's time: another version gets another
# code, as a major upgrade needs, and the same commit the same one. The package code, which must
# differ between any two different packages, also takes the files' digests: a tree with uncommitted
# changes has its commit's time but other bytes.
string(UUID product_code NAMESPACE ${CPACK_ONDULOR_MSI_UPGRADE_CODE}
  NAME "product ${CPACK_ONDULOR_MSI_VERSION} ${epoch}" TYPE SHA1 UPPER)
set(ONDULOR_MSI_PRODUCT_CODE ${product_code})
set(ONDULOR_MSI_UPGRADE_CODE ${CPACK_ONDULOR_MSI_UPGRADE_CODE})
set(ONDULOR_MSI_VERSION ${CPACK_ONDULOR_MSI_VERSION})
set(ONDULOR_PRODUCT "${CPACK_ONDULOR_PRODUCT}")
set(ONDULOR_MAKER "${CPACK_ONDULOR_MAKER}")
set(PROJECT_VERSION ${CPACK_PACKAGE_VERSION})
configure_file(${CPACK_ONDULOR_WXS_IN} ${stage}/ondulor.wxs @ONLY)
set(contents "")
foreach(file ${staged} ${stage}/ondulor.ico ${stage}/ondulor.wxs)
  file(SHA256 ${file} digest)
  string(APPEND contents " ${digest}")
endforeach()
string(UUID package_code NAMESPACE ${CPACK_ONDULOR_MSI_UPGRADE_CODE}
  NAME "package ${CPACK_ONDULOR_MSI_VERSION} ${epoch}${contents}" TYPE SHA1 UPPER)

# The cabinet keeps each file's modification time as a DOS date and time, which has no time zone:
# the build's time, read in UTC.
execute_process(COMMAND touch -d @${epoch} ${staged} RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "msi: could not set the staged files' time")
endif()
set(output ${stage}/${CPACK_PACKAGE_FILE_NAME}.msi)
execute_process(COMMAND ${CMAKE_COMMAND} -E env TZ=UTC ${CPACK_ONDULOR_WIXL} --arch x64 -o ${output} ondulor.wxs
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "")
  file(REMOVE ${output})
  message(FATAL_ERROR "msi: wixl ended with ${result}:\n${said}")
endif()
# wixl has no way to be given the package code or the times: they are written into its summary.
execute_process(COMMAND ${CPACK_ONDULOR_PYTHON3} ${CPACK_ONDULOR_REPRODUCIBLE} msi ${output} ${epoch} {${package_code}}
  RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0)
  file(REMOVE ${output})
  message(FATAL_ERROR "msi: its summary could not be set: ${said}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${output})
