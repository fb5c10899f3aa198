# Run when installing (cmake --install, or CPack staging the package under
# /usr), once the prefix is known: writes the entries that start the program
# with its full path in the prefix, so that a launcher finds it whether or
# not the prefix's bin is on PATH, and installs them.
#  - The desktop entry, with its actions, which call the program over the
#    bus (gdbus) where a launcher does not do so itself.
#  - The D-Bus service, with which the bus starts the program for a call.
#  - The autostart entry: the desktop entry's main group without D-Bus
#    activation, startup notification and the actions, so that a session
#    that starts it at login runs the program itself, quietly, rather than
#    activating it, which opens the settings dialog. It goes to
#    etc/xdg/autostart under the prefix, except for a program in /usr, whose
#    configuration lives in /etc (as GNUInstallDirs places it): desktops
#    read /etc/xdg, never /usr/etc/xdg.
#
# Set by the caller: vantrel_id, vantrel_data (the templates' folder),
# vantrel_staged (a folder of the build), vantrel_bindir, vantrel_datadir,
# vantrel_sysconfdir.
set(vantrel_exec "${CMAKE_INSTALL_PREFIX}/${vantrel_bindir}/vantrel")
configure_file("${vantrel_data}/${vantrel_id}.service.in" "${vantrel_staged}/${vantrel_id}.service" @ONLY)
configure_file("${vantrel_data}/${vantrel_id}.desktop.in" "${vantrel_staged}/${vantrel_id}.desktop" @ONLY)

file(STRINGS "${vantrel_staged}/${vantrel_id}.desktop" entry ENCODING UTF-8)
set(autostart "")
foreach(line IN LISTS entry)
  if(line MATCHES "^\\[Desktop Action ")
    break()
  elseif(line MATCHES "^StartupNotify=")
    string(APPEND autostart "StartupNotify=false\n")
  elseif(NOT line MATCHES "^(DBusActivatable|Actions)=")
    string(APPEND autostart "${line}\n")
  endif()
endforeach()
string(STRIP "${autostart}" autostart)
file(WRITE "${vantrel_staged}/autostart/${vantrel_id}.desktop" "${autostart}\n")

if(CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  set(autostart_dir /etc/xdg/autostart)
else()
  set(autostart_dir "${CMAKE_INSTALL_PREFIX}/${vantrel_sysconfdir}/xdg/autostart")
endif()
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${vantrel_datadir}/dbus-1/services" TYPE FILE
     FILES "${vantrel_staged}/${vantrel_id}.service")
file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/${vantrel_datadir}/applications" TYPE FILE
     FILES "${vantrel_staged}/${vantrel_id}.desktop")
file(INSTALL DESTINATION "${autostart_dir}" TYPE FILE FILES "${vantrel_staged}/autostart/${vantrel_id}.desktop")
