# The Windows packages: the zip, vantrel.exe and its read-me in one folder, a
# portable program wherever it is unpacked (its settings and log go beside
# it); and the installer, the same files installed for the current user with
# shortcuts and an uninstaller (windows/NSIS.template.in). Both are named
# for the version: vantrel-1.2beta1-win64.zip, vantrel-1.2beta1-win64-setup.exe.
install(TARGETS vantrel RUNTIME DESTINATION .)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/windows/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP NSIS)
set(CPACK_PACKAGE_VERSION ${VANTREL_VERSION_FILE})
set(CPACK_PACKAGE_FILE_NAME vantrel-${CPACK_PACKAGE_VERSION}-win64)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
# The installer's script, and what it names besides CPack's own variables.
list(APPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/windows)
set(CPACK_VANTREL_VERSION_TEXT ${VANTREL_VERSION_TEXT})
set(CPACK_VANTREL_VERSION_NUMBERS "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}.0.${VANTREL_VERSION_BETA}")
set(CPACK_VANTREL_PUBLISHER "Vantrel 開発チーム")
set(CPACK_VANTREL_ICON ${VANTREL_GENERATED_DIR}/vantrel.ico)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/windows/package_names.cmake)
