# Run by cpack after each package is made, before it is copied beside the build
# (CPACK_POST_BUILD_SCRIPTS): takes out of the zip and the .deb what CPack leaves of the builder, then
# lists the packages with their SHA-256 sums in SHA256SUMS, in sha256sum's format: the one just made
# from its place here, the others from the package folder. The package target makes all three, the
# MSI last.
#
# What CPack leaves: each zip entry's time in the builder's time zone and the builder's uid and gid, the
# entries in the order the file system lists them; the .deb's ar members with the builder's umask
# (0600 under 077). strip-nondeterminism stamps every entry and member with the build's time read in
# UTC, sorts the zip's entries by name, and gives each mode 0644 (0755 when executable) and owner 0.
# Its ar normaliser is off by default, hence +ar. The .deb's inner tars need nothing: CPack stamps them
# with SOURCE_DATE_EPOCH and root, and package_staged.cmake sets their folders' modes.
if(NOT CPACK_ONDULOR_STRIP_NONDETERMINISM)
  message(FATAL_ERROR "strip-nondeterminism was not found; the package target takes the builder's traces "
    "out of the zip and the .deb with it. Install it with 'bash scripts/deps.sh'.")
endif()
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
foreach(package ${CPACK_PACKAGE_FILES})
  if(package MATCHES "\\.zip$")
    set(normaliser --type zip)
  elseif(package MATCHES "\\.deb$")
    set(normaliser --normalizers +ar --type ar)
  else()
    continue()
  endif()
  execute_process(COMMAND ${CPACK_ONDULOR_STRIP_NONDETERMINISM} ${normaliser} --timestamp ${epoch} ${package}
    RESULT_VARIABLE failed OUTPUT_VARIABLE said ERROR_VARIABLE said)
  if(failed OR NOT said STREQUAL "")
    file(REMOVE ${package})
    message(FATAL_ERROR "${package}: strip-nondeterminism ended with ${failed}: ${said}")
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
