# The help, written once in Halibut's input format (docs/help/ondulor.but), built beside ondulor.exe
# in three forms: ondulor.hlp (WinHelp, what F1 opens), ondulor.chm (HTML Help, for Windows versions
# without a WinHelp viewer) and ondulor.txt (plain text). Halibut also writes ondulor.cnt, the
# contents list that Windows' own WinHelp viewer shows beside the file.
find_program(HALIBUT_EXECUTABLE halibut)
if(NOT HALIBUT_EXECUTABLE)
  message(FATAL_ERROR "halibut was not found, and the windows build makes its help file with it "
    "(docs/help/ondulor.but -> ondulor.hlp, ondulor.chm, ondulor.txt). Install it with "
    "'bash scripts/deps.sh' (the Debian/Ubuntu package is 'halibut'), or point HALIBUT_EXECUTABLE at it.")
endif()

set(ONDULOR_HELP_SOURCE ${CMAKE_SOURCE_DIR}/docs/help/ondulor.but)
set(ONDULOR_HELP_FILES ${CMAKE_BINARY_DIR}/ondulor.hlp ${CMAKE_BINARY_DIR}/ondulor.chm ${CMAKE_BINARY_DIR}/ondulor.txt)
add_custom_command(
  OUTPUT ${ONDULOR_HELP_FILES}
  BYPRODUCTS ${CMAKE_BINARY_DIR}/ondulor.cnt
  # Halibut stamps the .hlp's |SYSTEM file with SOURCE_DATE_EPOCH, the build's one time.
  COMMAND sh ${ONDULOR_WITH_SOURCE_DATE}
    ${HALIBUT_EXECUTABLE} --winhelp=ondulor.hlp --chm=ondulor.chm --text=ondulor.txt ${ONDULOR_HELP_SOURCE}
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  DEPENDS ${ONDULOR_HELP_SOURCE} ${ONDULOR_SOURCE_DATE_FILE}
  COMMENT "Building the help: ondulor.hlp, ondulor.chm, ondulor.txt"
  VERBATIM)
add_custom_target(ondulor_help ALL DEPENDS ${ONDULOR_HELP_FILES})
add_dependencies(ondulor_help ondulor_source_date)

# The built WinHelp file: its contents page leads to both languages, and each language names the
# game's labels exactly as res/texts.inc spells them.
find_program(ONDULOR_PYTHON3 python3)
if(NOT ONDULOR_PYTHON3)
  message(FATAL_ERROR "python3 was not found; the check of the help file runs with it. "
    "Install it with 'bash scripts/deps.sh'.")
endif()
add_test(NAME help_file COMMAND ${ONDULOR_PYTHON3} ${CMAKE_SOURCE_DIR}/tests/help/check_help.py
  ${CMAKE_BINARY_DIR}/ondulor.hlp ${CMAKE_SOURCE_DIR}/res/texts.inc)
