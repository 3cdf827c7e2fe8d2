# Packages for players, windows build only: the numbers of the version resource, the player's texts,
# the install rules and the zip that CPack writes (cmake --build --preset windows --target package).
# project(VERSION) is the one source of the version: the resource, the zip's name and the texts.

# The resource compiler finds ondulor_version.h through ondulor_win, which every user of
# res/ondulor.rc links (the game and the Wine test programs).
foreach(part MAJOR MINOR PATCH TWEAK)
  set(ONDULOR_VERSION_${part} "${PROJECT_VERSION_${part}}")
  if(ONDULOR_VERSION_${part} STREQUAL "")
    set(ONDULOR_VERSION_${part} 0)
  endif()
endforeach()
set(ONDULOR_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${CMAKE_SOURCE_DIR}/res/version.h.in ${ONDULOR_GENERATED_DIR}/ondulor_version.h @ONLY)
target_include_directories(ondulor_win INTERFACE ${ONDULOR_GENERATED_DIR})

# The product's name and maker as the exe's version information gives them (res/version.rc), for
# the MSI and the packages' vendor.
foreach(field ProductName CompanyName)
  file(STRINGS ${CMAKE_SOURCE_DIR}/res/version.rc line REGEX "VALUE \"${field}\"" LIMIT_COUNT 1)
  string(REGEX REPLACE ".*VALUE \"${field}\", \"([^\"]*)\".*" "\\1" value "${line}")
  if(value STREQUAL "" OR value STREQUAL line)
    message(FATAL_ERROR "res/version.rc gives no ${field}")
  endif()
  set(ONDULOR_${field} "${value}")
endforeach()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/version.rc)
set(ONDULOR_PRODUCT "${ONDULOR_ProductName}")
set(ONDULOR_MAKER "${ONDULOR_CompanyName}")

# The project has no domain of its own yet: the reserved example domain stands in for it in the
# AppStream id, the desktop entry's and metainfo's file names, the Maintainer address and the home
# page. Change it here, and docs/packages.md lists what follows.
set(ONDULOR_DOMAIN example.org)
string(REPLACE "." ";" labels ${ONDULOR_DOMAIN})
list(REVERSE labels)
list(JOIN labels "." reversed)
set(ONDULOR_APP_ID ${reversed}.ondulor)
set(ONDULOR_MAINTAINER "Ondulor developers <ondulor@${ONDULOR_DOMAIN}>")
set(ONDULOR_HOMEPAGE https://${ONDULOR_DOMAIN}/ondulor/)
set(ONDULOR_SCREENSHOT_URL https://${ONDULOR_DOMAIN}/ondulor/screenshot.png)

# The player's texts, README.txt and LISEZMOI.txt, in the build folder's player/.
set(ONDULOR_PLAYER_TEXTS)
foreach(text README LISEZMOI)
  set(source ${CMAKE_SOURCE_DIR}/packaging/windows/${text}.txt.in)
  set(output ${CMAKE_BINARY_DIR}/player/${text}.txt)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${source} -DOUTPUT=${output} -DONDULOR_VERSION=${PROJECT_VERSION}
      -P ${CMAKE_SOURCE_DIR}/cmake/player_text.cmake
    DEPENDS ${source} ${CMAKE_SOURCE_DIR}/cmake/player_text.cmake
    COMMENT "Writing the player's text ${text}.txt"
    VERBATIM)
  list(APPEND ONDULOR_PLAYER_TEXTS ${output})
endforeach()

# Everything a player gets: scripts/install.sh builds this target alone rather than every test.
add_custom_target(ondulor_player ALL DEPENDS ${ONDULOR_PLAYER_TEXTS})
add_dependencies(ondulor_player ondulor)
# The help files come from the target ondulor_help; checked once the whole project is read, wherever
# that target is defined.
function(ondulor_player_needs_help)
  if(TARGET ondulor_help)
    add_dependencies(ondulor_player ondulor_help)
  endif()
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL ondulor_player_needs_help)

# windres writes no dependency file, so without this an edited text, dialog, bitmap or version left
# the old resources in the exe and the test programs. Every directory that may compile ondulor.rc
# gets its inputs, once the whole project is read.
function(ondulor_track_resource_inputs)
  file(GLOB inputs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/res/*.rc ${CMAKE_SOURCE_DIR}/res/*.h
    ${CMAKE_SOURCE_DIR}/res/*.inc ${CMAKE_SOURCE_DIR}/res/*.manifest ${CMAKE_SOURCE_DIR}/res/art/*)
  list(APPEND inputs ${ONDULOR_GENERATED_DIR}/ondulor_version.h)
  set(directories ${CMAKE_SOURCE_DIR})
  set(walked 0)
  list(LENGTH directories count)
  while(walked LESS count)
    list(GET directories ${walked} directory)
    get_property(below DIRECTORY ${directory} PROPERTY SUBDIRECTORIES)
    list(APPEND directories ${below})
    math(EXPR walked "${walked} + 1")
    list(LENGTH directories count)
  endwhile()
  set_source_files_properties(${CMAKE_SOURCE_DIR}/res/ondulor.rc DIRECTORY ${directories}
    PROPERTIES OBJECT_DEPENDS "${inputs}")
endfunction()
cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL ondulor_track_resource_inputs)

# One flat folder: the game writes ondulor.ini beside itself and finds its help there.
# Component game is what scripts/install.sh copies and the MSI holds; the zip holds game and readme.
install(TARGETS ondulor RUNTIME DESTINATION . COMPONENT game)
# ondulor.cnt gives Windows' own WinHelp viewer its contents tab.
set(ONDULOR_GAME_HELP ${CMAKE_BINARY_DIR}/ondulor.hlp ${CMAKE_BINARY_DIR}/ondulor.cnt ${CMAKE_BINARY_DIR}/ondulor.chm)
install(FILES ${ONDULOR_GAME_HELP} DESTINATION . COMPONENT game)
install(FILES ${ONDULOR_PLAYER_TEXTS} DESTINATION . COMPONENT readme)

include(${CMAKE_CURRENT_LIST_DIR}/package_deb.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/package_msi.cmake)

# One target, three packages: the zip (every component but deb), the .deb (component deb) and the
# MSI (component game, by wixl). package_config.cmake.in picks each one's components.
set(CPACK_GENERATOR ZIP DEB External)
set(CPACK_PACKAGE_NAME ondulor)
set(CPACK_PACKAGE_VENDOR "${ONDULOR_MAKER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME ondulor-${PROJECT_VERSION}-win64)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# Strips with the cross toolchain's strip: the debug sections of the static runtime would more than
# triple the exe.
set(CPACK_STRIP_FILES TRUE)
# Directories as Debian wants them whatever the builder's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)
set(CPACK_SOURCE_GENERATOR "")
# The same commit gives the same bytes (docs/packages.md): every folder 0755 before packing, the
# zip's and the .deb's traces of the builder taken out after, then SHA256SUMS beside the packages.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_staged.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/package_built.cmake)
find_program(ONDULOR_STRIP_NONDETERMINISM strip-nondeterminism)
set(CPACK_ONDULOR_STRIP_NONDETERMINISM ${ONDULOR_STRIP_NONDETERMINISM})
set(CPACK_ONDULOR_PYTHON3 ${ONDULOR_PYTHON3})
set(CPACK_ONDULOR_REPRODUCIBLE ${CMAKE_SOURCE_DIR}/packaging/reproducible.py)
set(CPACK_ONDULOR_PACKAGES ${CPACK_PACKAGE_FILE_NAME}.zip ondulor_${PROJECT_VERSION}-${ONDULOR_DEB_REVISION}_all.deb
  ${CPACK_PACKAGE_FILE_NAME}.msi)
configure_file(${CMAKE_CURRENT_LIST_DIR}/package_config.cmake.in ${CMAKE_BINARY_DIR}/package_config.cmake @ONLY)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_BINARY_DIR}/package_config.cmake)
include(CPack)
