#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vantrel
# need, only those that are missing. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  # Build; libxcb for the window manager's activation request on X11
  g++ cmake ninja-build pkg-config libgtest-dev qt6-base-dev libxcb1-dev
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
  # A Japanese UI font for the dialogs, and the Japanese locale that Wine
  # needs to pass non-ASCII file names and to give code page 932
  fonts-ipafont-gothic locales
  # Qt's native Wayland platform, and a real Wayland desktop for its tests:
  # sway (headless), waybar's tray as the StatusNotifierItem host, a
  # notification service (mako), screenshots (grim), gdbus
  qt6-wayland sway waybar mako-notifier grim libglib2.0-bin
  # The Windows installer; python3 draws icon 105's sizes for both builds
  # and gives the Wayland tests a pointer on a desktop without input
  # devices (scripts/wayland_click.py)
  nsis python3
  # Whole desktops for their end-to-end tests: KDE Plasma on X11, GNOME Shell
  # (with gjs for its notifications, Xwayland, the AppIndicator extension);
  # ImageMagick's import reads their screens
  plasma-workspace plasma-desktop kwin-x11 kded5
  gnome-shell gjs xwayland gnome-shell-extension-appindicator imagemagick
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The locale the Wine tests run in; generated once, whatever else is there.
ensure_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  local as_root=()
  [ "$(id -u)" -eq 0 ] || as_root=(sudo)
  "${as_root[@]}" sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'ja_JP.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
  "${as_root[@]}" locale-gen >/dev/null
}

if [ ${#missing[@]} -eq 0 ]; then
  ensure_locale
  exit 0
fi

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
ensure_locale
