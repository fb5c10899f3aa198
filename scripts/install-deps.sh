#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantrel
# need, only those that are missing. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  # Build
  g++ cmake ninja-build libgtest-dev qt6-base-dev
  # The Windows build, and Wine to run it and its tests (GoogleTest from its
  # sources)
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 googletest wine wine64
  fonts-wine
  # Fuzzing
  clang libclang-rt-14-dev
  # End-to-end tests: an X server, a notification area, input and window tools
  xvfb trayer xdotool x11-utils
  # End-to-end tests on real desktop parts: a session bus of their own, a
  # StatusNotifierItem host (xfce4-panel's status tray), a notification
  # service (dunst)
  dbus-daemon dbus-bin xfce4-panel dunst
  # Installation and the Debian package: the validators of the desktop entry
  # and the AppStream metadata, dpkg-shlibdeps, and file, which CPack uses to
  # find the programs to strip and examine
  desktop-file-utils appstream dpkg-dev file
  # A Japanese UI font for the dialogs
  fonts-ipafont-gothic
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
