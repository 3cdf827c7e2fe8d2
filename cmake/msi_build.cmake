# Run by cpack (External generator) once component game is staged: builds the MSI with wixl.
# wixl refuses absolute Source paths, so the wxs, the icon and the staged files share one folder
# and wixl runs there. Any warning fails the build: wixl warns about the attributes it ignores.
if(NOT CPACK_ONDULOR_WIXL)
  message(FATAL_ERROR "msi: wixl was not found; the package target builds the MSI with it. "
    "Install it with 'bash scripts/deps.sh' (the Debian/Ubuntu package is 'wixl').")
endif()
set(stage ${CPACK_ONDULOR_MSI_STAGE})
file(REMOVE_RECURSE ${stage})
file(MAKE_DIRECTORY ${stage})
foreach(name ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm)
  file(GLOB_RECURSE found LIST_DIRECTORIES false "${CPACK_TEMPORARY_DIRECTORY}/${name}")
  if(NOT found)
    message(FATAL_ERROR "msi: ${name} is not among the staged files of component game")
  endif()
  file(COPY ${found} DESTINATION ${stage})
endforeach()
file(COPY ${CPACK_ONDULOR_WXS} ${CPACK_ONDULOR_ICON} DESTINATION ${stage})
set(output ${stage}/${CPACK_PACKAGE_FILE_NAME}.msi)
execute_process(COMMAND ${CPACK_ONDULOR_WIXL} --arch x64 -o ${output} ondulor.wxs
  WORKING_DIRECTORY ${stage} RESULT_VARIABLE result OUTPUT_VARIABLE said ERROR_VARIABLE said)
if(NOT result EQUAL 0 OR NOT said STREQUAL "")
  file(REMOVE ${output})
  message(FATAL_ERROR "msi: wixl ended with ${result}:\n${said}")
endif()
set(CPACK_EXTERNAL_BUILT_PACKAGES ${output})
