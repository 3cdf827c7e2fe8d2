# One time for the whole windows build, so that the same commit gives the same bytes: the linker,
# Halibut, strip, CPack and wixl all stamp SOURCE_DATE_EPOCH. It is, first found:
#   - SOURCE_DATE_EPOCH from the build's environment (a value set from outside wins);
#   - the time of the commit checked out (git log -1 --format=%ct), when this tree is a git checkout;
#   - packaging/source-date, which git archive fills with the commit's time (export-subst), in a
#     release's source archive;
#   - else, with a warning, the newest modification time of the tree's files.
# Included by CMakeLists.txt once the target ondulor exists. The target ondulor_source_date writes the
# time to build/windows/source_date_epoch at every build, rewriting it only when it changed, so a new
# commit relinks the exe and rebuilds the help and nothing else. with_source_date.sh beside it runs a
# command with that time.
#
# Script mode, run by the target: cmake -DSOURCE_DIR=... -DOUTPUT=... -P source_date.cmake
if(CMAKE_SCRIPT_MODE_FILE)
  set(epoch "$ENV{SOURCE_DATE_EPOCH}")
  if(epoch STREQUAL "")
    find_program(git_program git)
    if(git_program)
      # Only this tree's own repository: an unpacked archive inside somebody's git checkout is no commit.
      execute_process(COMMAND ${git_program} -C ${SOURCE_DIR} rev-parse --show-toplevel
        OUTPUT_VARIABLE top OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed ERROR_QUIET)
      if(NOT failed)
        file(REAL_PATH "${top}" top)
        file(REAL_PATH "${SOURCE_DIR}" source)
        if(top STREQUAL source)
          execute_process(COMMAND ${git_program} -C ${SOURCE_DIR} log -1 --format=%ct
            OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        endif()
      endif()
    endif()
  endif()
  if(epoch STREQUAL "")
    file(STRINGS ${SOURCE_DIR}/packaging/source-date epoch REGEX "^[0-9]+$" LIMIT_COUNT 1)
  endif()
  if(epoch STREQUAL "")
    set(epoch 0)
    get_filename_component(binary_dir ${OUTPUT} DIRECTORY)
    file(GLOB tops RELATIVE ${SOURCE_DIR} ${SOURCE_DIR}/*)
    foreach(entry ${tops})
      if(entry STREQUAL "build" OR entry MATCHES "^\\.")
        continue()
      endif()
      file(GLOB_RECURSE files ${SOURCE_DIR}/${entry}/*)
      foreach(path ${SOURCE_DIR}/${entry} ${files})
        string(FIND "${path}/" "${binary_dir}/" below)
        if(below EQUAL 0)
          continue()
        endif()
        file(TIMESTAMP ${path} time "%s" UTC)
        if(time GREATER epoch)
          set(epoch ${time})
        endif()
      endforeach()
    endforeach()
    message(WARNING "No commit time: git gave none for ${SOURCE_DIR}, and packaging/source-date was "
      "not filled by git archive. The build stamps its files' newest time, ${epoch}; set "
      "SOURCE_DATE_EPOCH for a build that others can repeat.")
  endif()
  if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "SOURCE_DATE_EPOCH is '${epoch}', not a number of seconds since 1970")
  endif()
  set(old "")
  if(EXISTS ${OUTPUT})
    file(READ ${OUTPUT} old)
  endif()
  if(NOT old STREQUAL "${epoch}\n")
    file(WRITE ${OUTPUT} "${epoch}\n")
  endif()
  return()
endif()

set(ONDULOR_SOURCE_DATE_FILE ${CMAKE_BINARY_DIR}/source_date_epoch)
set(ONDULOR_WITH_SOURCE_DATE ${CMAKE_BINARY_DIR}/with_source_date.sh)
add_custom_target(ondulor_source_date
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DOUTPUT=${ONDULOR_SOURCE_DATE_FILE}
    -P ${CMAKE_CURRENT_LIST_FILE}
  BYPRODUCTS ${ONDULOR_SOURCE_DATE_FILE}
  VERBATIM)
file(WRITE ${ONDULOR_WITH_SOURCE_DATE} [=[#!/bin/sh
# with_source_date.sh COMMAND...: runs COMMAND with SOURCE_DATE_EPOCH, the build's one time, from
# source_date_epoch beside this script (cmake/source_date.cmake).
SOURCE_DATE_EPOCH=$(cat "$(dirname "$0")/source_date_epoch") || exit 1
export SOURCE_DATE_EPOCH
exec "$@"
]=])

# ld writes SOURCE_DATE_EPOCH into the PE header's time stamp, and its own time without it.
set_property(TARGET ondulor PROPERTY RULE_LAUNCH_LINK "sh \"${ONDULOR_WITH_SOURCE_DATE}\"")
set_property(TARGET ondulor APPEND PROPERTY LINK_DEPENDS ${ONDULOR_SOURCE_DATE_FILE})
add_dependencies(ondulor ondulor_source_date)
