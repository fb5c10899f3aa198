# The Windows resources: the script resources/vantrel.rc and what the build
# makes for it in VANTREL_GENERATED_DIR: icon 105 at every size from the
# drawing code (vantrel_icon.py, so python3 builds the Windows program), the
# manifest with the project's version, and vantrel_version.h. Targets that
# compile the script depend on vantrel_generated_resources.
enable_language(RC)
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(vantrel_resources_script ${CMAKE_CURRENT_LIST_DIR}/vantrel.rc)
set(vantrel_icon_file ${VANTREL_GENERATED_DIR}/vantrel.ico)
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantrel.manifest.in ${VANTREL_GENERATED_DIR}/vantrel.manifest @ONLY)
add_custom_command(
  OUTPUT ${vantrel_icon_file}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/vantrel_icon.py ${vantrel_icon_file}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/vantrel_icon.py ${CMAKE_CURRENT_LIST_DIR}/vantrel_icons.py
  COMMENT "Drawing icon 105 at every size"
  VERBATIM)
add_custom_target(vantrel_generated_resources DEPENDS ${vantrel_icon_file})

# Source properties hold for the targets of one folder: each folder that
# compiles the script calls this.
function(vantrel_resources_script_properties)
  set_property(SOURCE ${vantrel_resources_script} APPEND PROPERTY INCLUDE_DIRECTORIES
               ${VANTREL_GENERATED_DIR} ${CMAKE_CURRENT_FUNCTION_LIST_DIR})
  set_property(SOURCE ${vantrel_resources_script} APPEND PROPERTY OBJECT_DEPENDS
               ${vantrel_icon_file} ${VANTREL_GENERATED_DIR}/vantrel.manifest
               ${VANTREL_GENERATED_DIR}/vantrel_version.h)
endfunction()
vantrel_resources_script_properties()
