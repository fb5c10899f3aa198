# The spellings of the product's version, from the project's version and
# VANTREL_VERSION_BETA (both set in the top-level CMakeLists.txt):
#
#   VANTREL_VERSION_TEXT     1.2β1      what the program and its resources show
#   VANTREL_VERSION_FILE     1.2beta1   in the Windows zip's and installer's names
#   VANTREL_VERSION_DEBIAN   1.2~beta1  the Debian package's version: a beta
#                                       sorts before its release
#
# and vantrel_version.h, the same for the code and the resource script, in
# VANTREL_GENERATED_DIR.
set(VANTREL_GENERATED_DIR ${PROJECT_BINARY_DIR}/generated)
set(VANTREL_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(VANTREL_VERSION_MINOR ${PROJECT_VERSION_MINOR})
if(VANTREL_VERSION_BETA)
  set(VANTREL_VERSION_STAGE "β")
  set(VANTREL_VERSION_BUILD ${VANTREL_VERSION_BETA})
  set(VANTREL_VERSION_TEXT "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}β${VANTREL_VERSION_BETA}")
  set(VANTREL_VERSION_FILE "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}beta${VANTREL_VERSION_BETA}")
  set(VANTREL_VERSION_DEBIAN "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}~beta${VANTREL_VERSION_BETA}")
else()
  set(VANTREL_VERSION_BETA 0)
  set(VANTREL_VERSION_STAGE "")
  set(VANTREL_VERSION_BUILD "")
  set(VANTREL_VERSION_TEXT "${VANTREL_VERSION_MAJOR}.${VANTREL_VERSION_MINOR}")
  set(VANTREL_VERSION_FILE "${VANTREL_VERSION_TEXT}")
  set(VANTREL_VERSION_DEBIAN "${VANTREL_VERSION_TEXT}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/../resources/vantrel_version.h.in
               ${VANTREL_GENERATED_DIR}/vantrel_version.h @ONLY)
