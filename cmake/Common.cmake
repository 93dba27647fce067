# Compiler settings shared by every target, and the helper that registers a test program.

set(DS_WARNINGS -Wall -Wextra -Wconversion -Wshadow)

if(DS_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=address,undefined)
endif()

if(DS_FUZZ)
  # Libraries are instrumented for the fuzzer and the sanitizers; only the fuzz targets link
  # the fuzzer's own main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(WIN32)
  # One self-contained .exe: no MinGW runtime DLLs beside it.
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE NOMINMAX WIN32_LEAN_AND_MEAN _WIN32_WINNT=0x0601)
endif()

# ds_add_test(NAME SOURCES... [LIBS libs...] [WINDOWS_ONLY])
# A GoogleTest program registered as one CTest test. Windows test programs run through the
# Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR) and hold the "wine" lock so that they never
# share the display or the prefix with another test at the same time.
function(ds_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${DS_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name} --gtest_brief=1)
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK wine TIMEOUT 600)
  else()
    set_tests_properties(${name} PROPERTIES TIMEOUT 600)
  endif()
endfunction()
