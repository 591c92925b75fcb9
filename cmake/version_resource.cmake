# kavrin_version_resource(TARGET DESCRIPTION): gives a Windows executable the
# VERSIONINFO that Explorer shows under Properties > Details, filled in from
# project(... VERSION ...).
set(KAVRIN_COPYRIGHT "Copyright (C) 2026 the Kavrin developers")

function(kavrin_version_resource target description)
  set(KAVRIN_FILE_DESCRIPTION "${description}")
  get_target_property(name ${target} OUTPUT_NAME)
  if(NOT name)
    set(name ${target})
  endif()
  set(KAVRIN_ORIGINAL_FILENAME "${name}.exe")
  set(KAVRIN_INTERNAL_NAME "${name}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()
