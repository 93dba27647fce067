# The Windows download: `cmake --build --preset win64 --target dist` (or win32) makes
# build/dist/diskspace-VERSION-win64.zip (or -win32.zip) holding the three programs, ReadMe.txt
# and the example site plan in one folder of the same name. CPack builds it in the build folder (the `package`
# target alone stops there); `dist` then copies the zip, and only the zip, to build/dist. The programs are linked statically (Common.cmake),
# so they need nothing but Windows' own DLLs; tools/check-package verifies that.
if(NOT WIN32)
  return()
endif()

if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(DS_PACKAGE_ARCH win64)
else()
  set(DS_PACKAGE_ARCH win32)
endif()

install(TARGETS diskspace storagecalc skininfo RUNTIME DESTINATION .)
# Notepad of every Windows version reads UTF-8 with a byte-order mark and CR LF line ends.
configure_file(${PROJECT_SOURCE_DIR}/resources/ReadMe.txt.in ${CMAKE_BINARY_DIR}/ReadMe.unix.txt @ONLY)
file(READ ${CMAKE_BINARY_DIR}/ReadMe.unix.txt DS_README)
string(REPLACE "\n" "\r\n" DS_README "${DS_README}")
string(ASCII 239 187 191 DS_BOM)
file(WRITE ${CMAKE_BINARY_DIR}/ReadMe.txt "${DS_BOM}${DS_README}")
install(FILES ${CMAKE_BINARY_DIR}/ReadMe.txt DESTINATION .)
# The example plan of `storagecalc plan`, as the README shows it.
install(FILES ${PROJECT_SOURCE_DIR}/docs/site-plan.json DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME diskspace)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME diskspace-${PROJECT_VERSION}-${DS_PACKAGE_ARCH})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
set(CPACK_STRIP_FILES ON)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
# Before CPack, which sets the name anew for its source package.
set(DS_PACKAGE_ZIP ${CPACK_PACKAGE_FILE_NAME}.zip)
include(CPack)

add_custom_target(dist
  COMMAND ${CMAKE_CPACK_COMMAND} --config ${CMAKE_BINARY_DIR}/CPackConfig.cmake
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_SOURCE_DIR}/build/dist
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_BINARY_DIR}/package/${DS_PACKAGE_ZIP} ${PROJECT_SOURCE_DIR}/build/dist/
  DEPENDS diskspace storagecalc skininfo
  WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
  COMMENT "Making build/dist/${DS_PACKAGE_ZIP}"
  VERBATIM)
