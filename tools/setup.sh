#!/bin/sh
# Installs what building and testing Varnex needs on Debian 12, only what is missing.
#   sh tools/setup.sh [windows] [package]
# windows: also the mingw-w64 compilers, what building wxWidgets for Windows from Debian's source
# needs, and Wine with the tools the Windows window's test uses; package: what tools/package.sh
# needs besides.
set -e
PACKAGES="g++ make cmake libgtest-dev libwxgtk3.2-dev xvfb xauth fonts-dejavu-core clang libclang-rt-14-dev librsvg2-bin libpng-dev gettext locales openbox"
for group in "$@"; do
    case "$group" in
        windows) PACKAGES="$PACKAGES g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
                           libz-mingw-w64-dev dpkg-dev xz-utils wine wine64 xdotool x11-apps netpbm" ;;
        package) PACKAGES="$PACKAGES dpkg-dev file zip unzip lintian" ;;
        *) echo "setup.sh: unknown group $group" >&2; exit 2 ;;
    esac
done
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi
# The language tests run under French and English locales: generate those the machine lacks.
for wanted in en_US fr_FR; do
    if ! locale -a 2>/dev/null | grep -qix "$wanted.utf-\{0,1\}8"; then
        echo "Generating the locale $wanted.UTF-8"
        SUDO=""
        [ "$(id -u)" -ne 0 ] && SUDO=sudo
        # Status 1 is warnings only: the locale is written.
        $SUDO localedef -i "$wanted" -c -f UTF-8 "$wanted.UTF-8" || [ $? -eq 1 ]
    fi
done
