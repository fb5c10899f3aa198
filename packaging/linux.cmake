# Linux installation rules and the Debian package.
#
# cmake --install puts the program where desktops look for it (GNUInstallDirs,
# under any prefix): the executable, its desktop entry, its icon at every
# size of the hicolor theme and as SVG, its AppStream metadata, the D-Bus
# service file that lets the session bus start it by its desktop id (the
# desktop entry is D-Bus activatable), and an XDG autostart entry, so that
# it comes up with the desktop session as tray applets do. An installed copy
# keeps its settings per user (platform/linux/companion_folder.h), which it
# recognises by the desktop entry installed here.
include(GNUInstallDirs)

set(vantrel_id ${VANTREL_DESKTOP_ID})
set(vantrel_data ${CMAKE_CURRENT_LIST_DIR}/linux)

install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${vantrel_data}/${vantrel_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size IN LISTS vantrel_icon_sizes)
  install(FILES ${vantrel_icon_dir}/vantrel-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${vantrel_id}.png)
endforeach()
install(FILES ${vantrel_icon_dir}/vantrel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME ${vantrel_id}.svg)

# The desktop entry, the D-Bus service and the autostart entry, written
# once the prefix is known (packaging/linux/install_entries.cmake).
install(CODE "
  set(vantrel_id ${vantrel_id})
  set(vantrel_data ${vantrel_data})
  set(vantrel_staged ${CMAKE_BINARY_DIR}/packaging)
  set(vantrel_bindir ${CMAKE_INSTALL_BINDIR})
  set(vantrel_datadir ${CMAKE_INSTALL_DATADIR})
  set(vantrel_sysconfdir ${CMAKE_INSTALL_SYSCONFDIR})
  include(${vantrel_data}/install_entries.cmake)
")

# The Debian package: vantrel_<version>_amd64.deb, installed under /usr.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# The product's version in Debian's spelling (1.2~beta1): a beta sorts
# before its release.
set(CPACK_DEBIAN_PACKAGE_VERSION "${VANTREL_VERSION_DEBIAN}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Vantrel developers <developers@vantrel.example.org>")
# The long description; CPack puts the summary above it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vantrel watches processor load from the desktop's notification area. Every
few seconds it samples the usage of the whole machine and of the running
processes, shows the total on its tray icon and in the icon's tooltip, raises
notifications when thresholds are reached, and can append the total to a
plain-text log. Its user interface is Japanese.")
# The shared libraries as dpkg-shlibdeps finds them; besides them the Qt
# platform plugins, which Qt loads by name: X11's and Qt's own Wayland
# platform, so that a Wayland session takes the native way rather than
# whatever else happens to be installed; gdbus, with which the desktop
# entry's actions call the program where a launcher does not do so over the
# bus itself; a Japanese font for the dialogs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, qt6-wayland, libglib2.0-bin")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-ipafont-gothic | fonts-noto-cjk")
# A file in /etc is the administrator's: an upgrade keeps their changes, and
# deleting it turns the autostart off for every user.
file(WRITE ${CMAKE_BINARY_DIR}/packaging/conffiles "/etc/xdg/autostart/${vantrel_id}.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_BINARY_DIR}/packaging/conffiles)
