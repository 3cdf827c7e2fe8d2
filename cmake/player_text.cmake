# Writes one of the player's texts for the Windows zip: cmake -DSOURCE=... -DOUTPUT=...
# -DONDULOR_VERSION=... -P player_text.cmake. The source is UTF-8 with LF lines, easy to edit here;
# the output is what Notepad on any Windows reads: Windows-1252 with CR LF lines.
foreach(var SOURCE OUTPUT ONDULOR_VERSION)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "player_text.cmake needs -D${var}=...")
  endif()
endforeach()
set(utf8 "${OUTPUT}.utf8")
configure_file("${SOURCE}" "${utf8}" @ONLY NEWLINE_STYLE CRLF)
# iconv fails on a character that Windows-1252 lacks, and so does the build: nothing is dropped.
execute_process(COMMAND iconv -f UTF-8 -t WINDOWS-1252 "${utf8}"
  OUTPUT_FILE "${OUTPUT}.tmp" RESULT_VARIABLE failed ERROR_VARIABLE why)
if(failed)
  file(REMOVE "${OUTPUT}.tmp")
  message(FATAL_ERROR "${SOURCE} does not fit Windows-1252: ${why}")
endif()
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
file(REMOVE "${utf8}")
