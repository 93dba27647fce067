# ds_add_version_resource(TARGET DESCRIPTION): the program's version resource, made from the
# project version, so that the download, its file names and each .exe say the same version.
function(ds_add_version_resource target description)
  if(NOT WIN32)
    return()
  endif()
  set(DS_EXE_NAME ${target})
  set(DS_EXE_DESCRIPTION "${description}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}-version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/resources/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
