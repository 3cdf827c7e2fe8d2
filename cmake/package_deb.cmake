# The Debian package, component deb (left out of the zip): Debian's layout for a game, built by
# CPack's DEB generator. Included by package.cmake, which names the product, the maker and the domain.
set(ONDULOR_DEB_REVISION 1)
set(ONDULOR_DEB_DIR ${CMAKE_BINARY_DIR}/deb)
set(deb_source ${CMAKE_SOURCE_DIR}/packaging/debian)

# The changelog's newest entry must be this version: a new version needs its own entry.
file(STRINGS ${deb_source}/changelog.in newest LIMIT_COUNT 1)
if(NOT newest MATCHES "^ondulor \\(${PROJECT_VERSION}-${ONDULOR_DEB_REVISION}\\) ")
  message(FATAL_ERROR "packaging/debian/changelog.in begins with '${newest}'; add an entry for "
    "ondulor (${PROJECT_VERSION}-${ONDULOR_DEB_REVISION}) at its top")
endif()

set(ONDULOR_VERSION ${PROJECT_VERSION})
set(LAUNCHER /usr/games/ondulor)
set(ICON ondulor)
configure_file(${CMAKE_SOURCE_DIR}/packaging/linux/ondulor.desktop.in ${ONDULOR_DEB_DIR}/${ONDULOR_APP_ID}.desktop @ONLY)
configure_file(${deb_source}/metainfo.xml.in ${ONDULOR_DEB_DIR}/${ONDULOR_APP_ID}.metainfo.xml @ONLY)
configure_file(${deb_source}/copyright.in ${ONDULOR_DEB_DIR}/copyright @ONLY)
configure_file(${deb_source}/changelog.in ${ONDULOR_DEB_DIR}/changelog.Debian @ONLY)
configure_file(${deb_source}/ondulor.6 ${ONDULOR_DEB_DIR}/man/ondulor.6 @ONLY)
configure_file(${deb_source}/ondulor.fr.6 ${ONDULOR_DEB_DIR}/man-fr/ondulor.6 @ONLY)

# Compressed as Debian wants: at most, and without the name and time that would make every build differ.
set(ONDULOR_DEB_FILES)
foreach(plain man/ondulor.6 man-fr/ondulor.6 changelog.Debian)
  set(output ${ONDULOR_DEB_DIR}/${plain}.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND gzip -9nf -k ${ONDULOR_DEB_DIR}/${plain}
    DEPENDS ${ONDULOR_DEB_DIR}/${plain}
    VERBATIM)
  list(APPEND ONDULOR_DEB_FILES ${output})
endforeach()

# The icon's own 16x16 and 32x32 images, and the 32x32 one enlarged pixel by pixel.
set(icon_sizes 16 32 48 64 128 256)
foreach(size ${icon_sizes})
  set(output ${ONDULOR_DEB_DIR}/icons/${size}x${size}/ondulor.png)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ONDULOR_DEB_DIR}/icons/${size}x${size}
    COMMAND bash ${CMAKE_SOURCE_DIR}/packaging/linux/icon-png.sh ${CMAKE_SOURCE_DIR}/res/art/ondulor.ico ${output} ${size}
    DEPENDS ${CMAKE_SOURCE_DIR}/res/art/ondulor.ico ${CMAKE_SOURCE_DIR}/packaging/linux/icon-png.sh
    VERBATIM)
  list(APPEND ONDULOR_DEB_FILES ${output})
endforeach()
add_custom_target(ondulor_deb_files ALL DEPENDS ${ONDULOR_DEB_FILES})
add_dependencies(ondulor_player ondulor_deb_files)

# The exe and the help are data to Linux (0644), in /usr/share/games/ondulor; the launcher runs them.
set(data_mode OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(TARGETS ondulor RUNTIME DESTINATION share/games/ondulor PERMISSIONS ${data_mode}
  COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${ONDULOR_GAME_HELP} DESTINATION share/games/ondulor COMPONENT deb EXCLUDE_FROM_ALL)
install(PROGRAMS ${CMAKE_SOURCE_DIR}/packaging/linux/ondulor DESTINATION games COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${ONDULOR_DEB_DIR}/${ONDULOR_APP_ID}.desktop DESTINATION share/applications
  COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${ONDULOR_DEB_DIR}/${ONDULOR_APP_ID}.metainfo.xml DESTINATION share/metainfo
  COMPONENT deb EXCLUDE_FROM_ALL)
foreach(size ${icon_sizes})
  install(FILES ${ONDULOR_DEB_DIR}/icons/${size}x${size}/ondulor.png
    DESTINATION share/icons/hicolor/${size}x${size}/apps COMPONENT deb EXCLUDE_FROM_ALL)
endforeach()
install(FILES ${ONDULOR_DEB_DIR}/man/ondulor.6.gz DESTINATION share/man/man6 COMPONENT deb EXCLUDE_FROM_ALL)
install(FILES ${ONDULOR_DEB_DIR}/man-fr/ondulor.6.gz DESTINATION share/man/fr/man6 COMPONENT deb EXCLUDE_FROM_ALL)
# Each override in it says why beside it.
install(FILES ${deb_source}/lintian-overrides DESTINATION share/lintian/overrides RENAME ondulor
  COMPONENT deb EXCLUDE_FROM_ALL)
# Beside the copyright and the changelog, the help as plain text, to read without Wine.
install(FILES ${ONDULOR_DEB_DIR}/copyright ${ONDULOR_DEB_DIR}/changelog.Debian.gz ${CMAKE_BINARY_DIR}/ondulor.txt
  DESTINATION share/doc/ondulor COMPONENT deb EXCLUDE_FROM_ALL)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_NAME ondulor)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${ONDULOR_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Debian's wine is satisfied by wine32 alone, which cannot run a 64-bit exe: wine64 too (Debian and
# Ubuntu name it alike).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "wine, wine64")
# The launcher says through it that a first start is slow.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS libnotify-bin)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ONDULOR_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${ONDULOR_HOMEPAGE})
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "pipe-laying puzzle against the clock
Water rises from a source at the bottom of a 15 by 15 grid. Lay the pieces
that the queue hands you so that the water reaches as many of them as
possible before the time runs out: every lit piece scores a point, every
unlit piece costs one. The 24 best scores are kept with their players' names.
The game speaks French and English and switches while you play.
.
Ondulor is a Windows program and plays under Wine; each player's settings
and scores are kept in ~/.local/share/ondulor/.")
