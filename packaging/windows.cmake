# The Windows zip: vantrel.exe and its read-me in one folder, a portable
# program wherever it is unpacked (its settings and log go beside it).
install(TARGETS vantrel RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_VERSION 1.2beta1)
set(CPACK_PACKAGE_FILE_NAME vantrel-${CPACK_PACKAGE_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
