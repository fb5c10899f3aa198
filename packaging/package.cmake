# Installation and packages. What every package shares is set here; each
# system's file adds its own installation rules and package generator.
set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Processor load in the notification area")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://vantrel.example.org")
set(CPACK_PACKAGE_CHECKSUM SHA256)

if(WIN32)
  include(${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
else()
  include(${CMAKE_CURRENT_LIST_DIR}/linux.cmake)
endif()

include(CPack)
