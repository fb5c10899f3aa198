#!/usr/bin/env bash
# The texts written by hand that name the version agree with the project's
# version (CMakeLists.txt), which the build gives in VANTREL_VERSION_TEXT
# (1.2β1), VANTREL_VERSION_FILE (1.2beta1) and VANTREL_VERSION_DEBIAN
# (1.2~beta1): the file names in the README, the AppStream release, the
# Windows read-me's title. Everything else is made from the project's version
# by the build.
#
#   version_names.sh SOURCE_DIR
set -euo pipefail
src=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
: "${VANTREL_VERSION_TEXT:?}" "${VANTREL_VERSION_FILE:?}" "${VANTREL_VERSION_DEBIAN:?}"

# Every package or installer the README names is of this version, and it
# names each of the three.
named=$(grep -oE 'vantrel[-_][0-9][^ `)]*\.(deb|zip|exe)' "$src/README.md" | sort -u)
expected=$(printf '%s\n' "vantrel_${VANTREL_VERSION_DEBIAN}_amd64.deb" "vantrel-${VANTREL_VERSION_FILE}-win64.zip" \
  "vantrel-${VANTREL_VERSION_FILE}-win64-setup.exe" | sort)
[ "$named" = "$expected" ] || fail "README.md names $(echo $named), expected $(echo $expected)"

release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$src/packaging/linux/org.vantrel.Vantrel.metainfo.xml" | head -n1)
[ "$release" = "$VANTREL_VERSION_DEBIAN" ] || fail "the AppStream release is $release"

title=$(head -n1 "$src/packaging/windows/README.txt")
[ "$title" = "Vantrel $VANTREL_VERSION_TEXT (64-bit Windows)" ] || fail "the Windows read-me's title is '$title'"
echo "PASS: $VANTREL_VERSION_TEXT"
