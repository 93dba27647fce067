# The skin guide's example folder loads with skininfo without a single problem, and holds what
# the guide says: its sections, masks, the texture as two patterns and the master bitmap.
# Run with -DSKININFO=... -DFOLDER=...
execute_process(COMMAND ${SKININFO} ${FOLDER} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "skininfo ${FOLDER}: status ${status}\n${out}${err}")
endif()
foreach(line "sections:      15 (15 named)" "masks:         21" "patterns:      2" "master bitmap: 249 x 120")
  string(FIND "${out}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing \"${line}\" in:\n${out}")
  endif()
endforeach()
