#!/usr/bin/env bash
# Builds the .deb from a configured build, checks it with Debian's own checker, unpacks it
# without installing it, checks its files and Depends, and starts the unpacked program until
# its window appears.
# Usage: deb_package.sh BUILD_DIR APP_ID
set -euo pipefail

build=$1
app_id=$2
source "$(dirname "$0")/../../scripts/xvfb-lib.sh"
work=$(mktemp -d)
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true; stop_xvfb; rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(ls "$work"/out/*.deb)
echo "built $(basename "$deb")"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 qt6-qpa-plugins \
    fonts-ipafont-gothic fonts-motoya-l-maruberi qt6-translations-l10n qt6-wayland; do
    grep -qxF "$package" <<<"$names" || fail "Depends lacks $package"
done

# As a packager would check it: no error and no warning (informational tags may stay).
lintian --fail-on error,warning --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 ||
    { cat "$work/lintian.log"; fail "lintian reports errors or warnings"; }
echo "lintian: no error, no warning"

dpkg-deb -x "$deb" "$work/root"
for file in usr/games/kazerima \
    usr/share/man/man6/kazerima.6.gz \
    usr/share/doc/kazerima/copyright \
    usr/share/doc/kazerima/changelog.gz \
    "usr/share/applications/$app_id.desktop" \
    "usr/share/metainfo/$app_id.metainfo.xml" \
    "usr/share/icons/hicolor/scalable/apps/$app_id.svg"; do
    [ -f "$work/root/$file" ] || fail "$file is not in the package"
    echo "has /$file"
done

start_xvfb
use_fresh_home "$work/home"
"$work/root/usr/games/kazerima" >/dev/null 2>&1 &
pids+=($!)
wait_for_window Kazerima >/dev/null || fail "the unpacked program showed no window titled Kazerima"
echo "the unpacked program opened its window"
