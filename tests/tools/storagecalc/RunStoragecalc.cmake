# Runs storagecalc once and checks what it did. Called by CTest as
#   cmake -DPROGRAM=... [-DEMULATOR=...] -DARGS=a|b|c [-DEXPECT_EXIT=n] [-DEXPECT_STDOUT_FILE=f]
#         [-DEXPECT_STDOUT_REGEX=r] [-DEXPECT_STDERR_REGEX=r] [-DEXPECT_SHA256=h -DWORK_FILE=f]
#         [-DSTDIN_FILE=f] -P RunStoragecalc.cmake
# Arguments are separated by "|" (a ";" would split the test's own command line). An expected
# exit of 2 (bad input) also requires an empty standard output; 1 is a verdict (a plan that
# does not fit) printed with its figures. STDIN_FILE is fed to standard input. With EXPECT_SHA256 the output goes to
# WORK_FILE, is hashed and removed: large outputs never pass through CMake strings.
string(REPLACE "|" ";" arguments "${ARGS}")
if(NOT DEFINED EXPECT_EXIT)
  set(EXPECT_EXIT 0)
endif()

if(DEFINED EXPECT_SHA256)
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${arguments}
                  RESULT_VARIABLE status OUTPUT_FILE "${WORK_FILE}" ERROR_VARIABLE errors)
  file(SHA256 "${WORK_FILE}" hash)
  file(SIZE "${WORK_FILE}" size)
  file(REMOVE "${WORK_FILE}")
  if(NOT status STREQUAL "0")
    message(FATAL_ERROR "exit status ${status}\n${errors}")
  endif()
  if(NOT hash STREQUAL EXPECT_SHA256)
    message(FATAL_ERROR "output of ${size} bytes has SHA-256 ${hash}, expected ${EXPECT_SHA256}")
  endif()
  return()
endif()

set(input)
if(DEFINED STDIN_FILE)
  set(input INPUT_FILE "${STDIN_FILE}")
endif()
execute_process(COMMAND ${EMULATOR} ${PROGRAM} ${arguments} ${input}
                RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
set(failures "")
if(NOT status STREQUAL "${EXPECT_EXIT}")
  string(APPEND failures "exit status ${status}, expected ${EXPECT_EXIT}\n")
endif()
if(EXPECT_EXIT STREQUAL "2" AND NOT output STREQUAL "")
  string(APPEND failures "standard output should be empty\n")
endif()
if(DEFINED EXPECT_STDOUT_FILE)
  file(READ "${EXPECT_STDOUT_FILE}" expected)
  if(NOT output STREQUAL expected)
    string(APPEND failures "standard output differs from ${EXPECT_STDOUT_FILE}\n--- expected\n${expected}--- actual\n${output}---\n")
  endif()
endif()
if(DEFINED EXPECT_STDOUT_REGEX AND NOT output MATCHES "${EXPECT_STDOUT_REGEX}")
  string(APPEND failures "standard output does not match ${EXPECT_STDOUT_REGEX}\n")
endif()
if(DEFINED EXPECT_STDERR_REGEX AND NOT errors MATCHES "${EXPECT_STDERR_REGEX}")
  string(APPEND failures "standard error does not match ${EXPECT_STDERR_REGEX}\n")
endif()
if(failures)
  message(FATAL_ERROR "storagecalc ${ARGS}\n${failures}--- standard output\n${output}--- standard error\n${errors}")
endif()
