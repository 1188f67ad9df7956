# solvane_program_resources(NAME [DEPENDS file...])
# The resource script of one Windows program from resources/NAME/: its icon
# drawn by the artwork tool, its manifest and its script configured into the
# build tree (they may use the caller's variables), rebuilt when any of the
# given files changes. The script is ${CMAKE_CURRENT_BINARY_DIR}/NAME.rc.
function(solvane_program_resources name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DEPENDS")
  set(icon_path ${CMAKE_CURRENT_BINARY_DIR}/${name}.ico)
  add_custom_command(OUTPUT ${icon_path}
    COMMAND Python3::Interpreter ${PROJECT_SOURCE_DIR}/tools/artwork/make_icon.py ${icon_path}
    DEPENDS ${PROJECT_SOURCE_DIR}/tools/artwork/make_icon.py
    COMMENT "Drawing the ${name} icon")
  # The manifest names the program's version too.
  set(manifest_path ${CMAKE_CURRENT_BINARY_DIR}/${name}.manifest)
  configure_file(${PROJECT_SOURCE_DIR}/resources/${name}/${name}.manifest.in ${manifest_path} @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/resources/${name}/${name}.rc.in ${CMAKE_CURRENT_BINARY_DIR}/${name}.rc @ONLY)
  set_source_files_properties(${CMAKE_CURRENT_BINARY_DIR}/${name}.rc PROPERTIES
    OBJECT_DEPENDS "${icon_path};${manifest_path};${arg_DEPENDS}")
endfunction()
