# Icon 105 for the Linux build, drawn by vantrel_icons.py into
# VANTREL_GENERATED_DIR/icons: a picture at each size of the hicolor theme
# (vantrel_icon_sizes), the SVG, and the layout that the live icon fills
# (icons/icon_layout.h); beside them the Qt resource file that holds the
# pictures. Targets that use them depend on vantrel_icon_pictures.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

set(vantrel_icon_sizes 16 22 24 32 48 64 128 256)
set(vantrel_icon_dir ${VANTREL_GENERATED_DIR}/icons)
set(vantrel_icon_outputs ${vantrel_icon_dir}/vantrel.svg ${vantrel_icon_dir}/icon_layout.h)
foreach(size IN LISTS vantrel_icon_sizes)
  list(APPEND vantrel_icon_outputs ${vantrel_icon_dir}/vantrel-${size}.png)
endforeach()
add_custom_command(
  OUTPUT ${vantrel_icon_outputs}
  COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/vantrel_icons.py ${vantrel_icon_dir}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/vantrel_icons.py ${CMAKE_CURRENT_LIST_DIR}/vantrel_icon.py
  COMMENT "Drawing icon 105 at every size and writing its layout"
  VERBATIM)
add_custom_target(vantrel_icon_pictures DEPENDS ${vantrel_icon_outputs})
configure_file(${CMAKE_CURRENT_LIST_DIR}/vantrel.qrc ${VANTREL_GENERATED_DIR}/vantrel.qrc COPYONLY)
