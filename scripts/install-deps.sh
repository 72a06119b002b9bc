#!/usr/bin/env bash
# Installs the Debian packages the build, the program and its tests need, and nothing when
# they are all present (that check costs a few milliseconds, so every make target runs it).
set -euo pipefail

packages=(
    # build
    cmake ninja-build g++ make pkg-config
    # program, with the frame clocks of X's Present extension and of Wayland's compositors
    qt6-base-dev qt6-qpa-plugins qt6-translations-l10n fonts-ipafont-gothic fonts-motoya-l-maruberi
    qt6-wayland libxcb-present-dev libwayland-dev qt6-base-private-dev
    # tests and benchmarks
    libgtest-dev libgmock-dev libbenchmark-dev xvfb xdotool imagemagick python3-xlib
    dbus at-spi2-core python3-pyatspi weston
    # packaging and its checks
    dpkg-dev desktop-file-utils appstream lintian binutils-mingw-w64-x86-64
    # the Windows build, and Wine to test it
    g++-mingw-w64-x86-64-posix googletest wine64
    # the web page, its cut faces, and a browser to test it in
    emscripten python3-fonttools python3-brotli chromium
    # the other two browser engines the page is tested in
    firefox-esr webkit2gtk-driver
)

declare -A installed=()
# Packages dpkg has never heard of get no line at all, so look for the present ones.
while read -r name status; do
    [ "$status" = installed ] && installed[$name]=1
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${packages[@]}" 2>/dev/null || true)

missing=()
for p in "${packages[@]}"; do
    [ -n "${installed[$p]-}" ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
