# tools/check-layers on a two-library project: one direction passes; an include that turns the
# direction round fails with the cycle and the hidden dependency named.
#   cmake -DCHECK=tools/check-layers -DPROJECT=.../project -DWORK=dir -P layers_test.cmake
foreach(kind IN ITEMS clean cycle)
  set(build ${WORK}/${kind})
  file(REMOVE_RECURSE ${build})
  if(kind STREQUAL "cycle")
    set(option -DLAYERS_CYCLE=ON)
  else()
    set(option -DLAYERS_CYCLE=OFF)
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${PROJECT} -B ${build} -G Ninja ${option}
                  RESULT_VARIABLE configured OUTPUT_QUIET)
  if(NOT configured EQUAL 0)
    message(FATAL_ERROR "the ${kind} project does not configure")
  endif()
  execute_process(COMMAND ${CHECK} ${build} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(${kind}_code ${code})
  set(${kind}_out "${out}")
endforeach()
if(NOT clean_code EQUAL 0 OR NOT clean_out STREQUAL "check-layers: 2 libraries, one direction\n")
  message(FATAL_ERROR "clean project: exit ${clean_code}\n${clean_out}")
endif()
set(expected "include cycle: high -> low -> high
hidden dependency low -> high: low/low_cycle.cpp includes high/high.h
check-layers: 2 libraries, 2 problems
")
if(NOT cycle_code EQUAL 1 OR NOT cycle_out STREQUAL expected)
  message(FATAL_ERROR "project with a cycle: exit ${cycle_code}\n${cycle_out}\nexpected exit 1\n${expected}")
endif()
