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

# ds_add_test(NAME SOURCES... [LIBS libs...] [PORTABLE])
# A GoogleTest program registered as one CTest test. Windows test programs run through the
# Wine wrapper (CMAKE_CROSSCOMPILING_EMULATOR) and hold the "wine" lock so that they never
# share the display or the prefix with another test at the same time.
#
# PORTABLE marks tests of the portable core. Natively each is a program of its own; for Windows
# their sources and libraries join one program, portable_tests, that ds_add_portable_tests()
# makes once every folder has registered its part: each Wine start costs seconds.
function(ds_add_test name)
  cmake_parse_arguments(ARG "PORTABLE" "" "SOURCES;LIBS" ${ARGN})
  if(ARG_PORTABLE AND WIN32)
    set(sources)
    foreach(source IN LISTS ARG_SOURCES)
      cmake_path(ABSOLUTE_PATH source BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR} OUTPUT_VARIABLE source)
      list(APPEND sources ${source})
    endforeach()
    set_property(GLOBAL APPEND PROPERTY DS_PORTABLE_TEST_SOURCES ${sources})
    set_property(GLOBAL APPEND PROPERTY DS_PORTABLE_TEST_LIBS ${ARG_LIBS})
    return()
  endif()
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

# The one Windows program of the portable tests registered so far (nothing natively).
function(ds_add_portable_tests)
  if(NOT WIN32)
    return()
  endif()
  get_property(sources GLOBAL PROPERTY DS_PORTABLE_TEST_SOURCES)
  get_property(libs GLOBAL PROPERTY DS_PORTABLE_TEST_LIBS)
  list(REMOVE_DUPLICATES libs)
  ds_add_test(portable_tests SOURCES ${sources} LIBS ${libs})
endfunction()
