# Run by cpack once a package's files are staged, before it is packed (CPACK_PRE_BUILD_SCRIPTS).
# cpack makes the staged folders with the builder's umask, and the .deb keeps their modes: under
# umask 077 dpkg would make /usr/share/games/ondulor unreadable to the players. Every folder is
# 0755 (CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS reaches only some of them).
file(GLOB_RECURSE folders LIST_DIRECTORIES true "${CPACK_TEMPORARY_DIRECTORY}/*")
foreach(folder ${folders})
  if(IS_DIRECTORY ${folder} AND NOT IS_SYMLINK ${folder})
    file(CHMOD ${folder} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
      WORLD_READ WORLD_EXECUTE)
  endif()
endforeach()
