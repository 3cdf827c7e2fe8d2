# Run by cpack after each package is made, before it is copied beside the build
# (CPACK_POST_BUILD_SCRIPTS): takes out of the zip and the .deb what CPack leaves of the builder
# (packaging/reproducible.py says what), then lists the packages with their SHA-256 sums in
# SHA256SUMS, in sha256sum's format: the one just made from its place here, the others from the
# package folder. The package target makes all three, the MSI last.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.(zip|deb)$")
    execute_process(COMMAND ${CPACK_ONDULOR_PYTHON3} ${CPACK_ONDULOR_REPRODUCIBLE} ${CMAKE_MATCH_1} ${package} ${epoch}
      RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
    if(failed)
      file(REMOVE ${package})
      message(FATAL_ERROR "${package}: ${said}")
    endif()
  endif()
endforeach()
set(sums "")
foreach(name ${CPACK_ONDULOR_PACKAGES})
  set(path ${CPACK_PACKAGE_DIRECTORY}/${name})
  foreach(package ${CPACK_PACKAGE_FILES})
    get_filename_component(made ${package} NAME)
    if(made STREQUAL name)
      set(path ${package})
    endif()
  endforeach()
  if(EXISTS ${path})
    file(SHA256 ${path} sum)
    string(APPEND sums "${sum}  ${name}\n")
  endif()
endforeach()
file(WRITE ${CPACK_PACKAGE_DIRECTORY}/SHA256SUMS "${sums}")
