#!/usr/bin/env bash
# The Debian package that cpack builds: vantrel_<version>_amd64.deb for
# /usr, its shared-library dependencies worked out by dpkg-shlibdeps and the
# Qt platform plugins and gdbus beside them, the autostart entry in /etc/xdg
# as a configuration file, the D-Bus service starting /usr/bin/vantrel, the
# program stripped.
BUILD_DIR=$1
source "$(dirname "$0")/lib.sh"

ID=org.vantrel.Vantrel
cpack -G DEB --config "$BUILD_DIR/CPackConfig.cmake" -B "$E2E_DIR/out" >"$E2E_DIR/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$E2E_DIR/cpack.log")"
DEB="$E2E_DIR/out/vantrel_${VANTREL_VERSION_DEBIAN:?}_amd64.deb"
[ -f "$DEB" ] || fail "no $(basename "$DEB"): $(ls "$E2E_DIR/out")"

field() { dpkg-deb -f "$DEB" "$1"; }
[ "$(field Package) $(field Version) $(field Architecture)" = "vantrel $VANTREL_VERSION_DEBIAN amd64" ] ||
  fail "package $(field Package) $(field Version) $(field Architecture)"
# The package names of Depends, a line each.
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/[ (].*//')
for dependency in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 qt6-qpa-plugins qt6-wayland \
    libglib2.0-bin; do
  grep -qx "$dependency" <<<"$depends" || fail "Depends lacks $dependency: $(field Depends)"
done

files=$(dpkg-deb -c "$DEB" | awk '{ print $NF }')
for file in ./usr/bin/vantrel ./usr/share/applications/$ID.desktop ./etc/xdg/autostart/$ID.desktop \
  ./usr/share/metainfo/$ID.metainfo.xml ./usr/share/icons/hicolor/16x16/apps/$ID.png \
  ./usr/share/icons/hicolor/256x256/apps/$ID.png ./usr/share/icons/hicolor/scalable/apps/$ID.svg \
  ./usr/share/dbus-1/services/$ID.service; do
  grep -qx "$file" <<<"$files" || fail "the package lacks $file"
done
! grep -q '^\./usr/etc' <<<"$files" || fail "the package has a /usr/etc"

dpkg-deb -e "$DEB" "$E2E_DIR/control"
[ "$(cat "$E2E_DIR/control/conffiles")" = "/etc/xdg/autostart/$ID.desktop" ] || fail "conffiles: $(cat "$E2E_DIR/control/conffiles")"
dpkg-deb --fsys-tarfile "$DEB" | tar -xO ./usr/bin/vantrel >"$E2E_DIR/vantrel"
file "$E2E_DIR/vantrel" | grep -q ', stripped' || fail "the program is not stripped"
dpkg-deb --fsys-tarfile "$DEB" | tar -xO ./usr/share/dbus-1/services/$ID.service | grep -qx 'Exec=/usr/bin/vantrel' ||
  fail "the D-Bus service does not start /usr/bin/vantrel"
echo "size: $(stat -c %s "$DEB") bytes"
echo "PASS"
