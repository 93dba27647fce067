# The skin guide's example folder loads with skininfo without a single problem, and holds what
# the guide says: its sections, masks, the texture as two patterns and the master bitmap.
# Run with -DSKININFO=... -DFOLDER=... [-DEXPECT=line|line...] (other folders with their own lines).
execute_process(COMMAND ${SKININFO} ${FOLDER} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "skininfo ${FOLDER}: status ${status}\n${out}${err}")
endif()
if(DEFINED EXPECT)
  string(REPLACE "|" ";" EXPECT "${EXPECT}")
else()
  set(EXPECT "sections:      15 (15 named)" "masks:         21" "patterns:      2" "master bitmap: 249 x 120")
endif()
foreach(line IN LISTS EXPECT)
  string(FIND "${out}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "missing \"${line}\" in:\n${out}")
  endif()
endforeach()
