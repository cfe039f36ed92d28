#!/bin/sh
# Builds wxWidgets 3.2 for Windows from Debian's own source package: static libraries of the base
# and core parts only, cross-compiled with the mingw-w64 compilers of the POSIX thread model.
# The result is kept in a cache outside the clone, one folder per source version and architecture,
# so that a second run reuses it. It prints that folder (the prefix to build with) on standard
# output, and its progress on standard error.
#   sh tools/build_wx_windows.sh x86_64|i686
# Cache: $VARNEX_CACHE_DIR, else /var/cache/varnex when writable, else ~/.cache/varnex.
set -e
ARCH="$1"
case "$ARCH" in
    x86_64|i686) ;;
    *) echo "usage: sh tools/build_wx_windows.sh x86_64|i686" >&2; exit 2 ;;
esac
HOST="$ARCH-w64-mingw32"
# Raise when the options below change, so that no cached build of other options is reused.
RECIPE=1

if [ -n "$VARNEX_CACHE_DIR" ]; then
    CACHE="$VARNEX_CACHE_DIR"
elif mkdir -p /var/cache/varnex 2>/dev/null && [ -w /var/cache/varnex ]; then
    CACHE=/var/cache/varnex
else
    CACHE="${XDG_CACHE_HOME:-$HOME/.cache}/varnex"
fi
mkdir -p "$CACHE"

# A private apt folder whose sources are the machine's Debian sources as deb-src entries: apt-get
# source needs them, and the machine's own sources stay as they are.
APT="$CACHE/apt"
mkdir -p "$APT/sources" "$APT/lists/partial" "$APT/cache/archives/partial"
: >"$APT/sources/debian-src.list"
: >"$APT/sources/debian-src.sources"
if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb[ \t]/deb-src /p' /etc/apt/sources.list >>"$APT/sources/debian-src.list"
fi
for f in /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^deb[ \t]/deb-src /p' "$f" >>"$APT/sources/debian-src.list"
done
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && { sed 's/^Types:.*/Types: deb-src/' "$f"; echo; } >>"$APT/sources/debian-src.sources"
done
private_apt() {
    tool="$1"
    shift
    "$tool" -q -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$APT/sources" \
        -o Dir::State::Lists="$APT/lists" -o Dir::Cache="$APT/cache" \
        -o APT::Sandbox::User=root "$@"
}

# The version is that of the source package as the archive has it today: a new Debian revision
# gives a new cache folder.
VERSION=$(private_apt apt-cache showsrc wxwidgets3.2 2>/dev/null | sed -n 's/^Version: //p' | head -n 1)
if [ -z "$VERSION" ]; then
    private_apt apt-get update >&2
    VERSION=$(private_apt apt-cache showsrc wxwidgets3.2 | sed -n 's/^Version: //p' | head -n 1)
fi
[ -n "$VERSION" ] || { echo "build_wx_windows.sh: no source package wxwidgets3.2" >&2; exit 1; }
PREFIX="$CACHE/wx-$VERSION-$HOST-r$RECIPE"
if [ -f "$PREFIX/.complete" ]; then
    echo "wxWidgets $VERSION for $HOST: cached in $PREFIX" >&2
    echo "$PREFIX"
    exit 0
fi

echo "wxWidgets $VERSION for $HOST: building into $PREFIX (takes a while, once)" >&2
WORK="$CACHE/work-$HOST"
rm -rf "$WORK" "$PREFIX"
mkdir -p "$WORK"
(cd "$WORK" && private_apt apt-get source "wxwidgets3.2=$VERSION" >source.log 2>&1) ||
    { cat "$WORK/source.log" >&2; exit 1; }
SRC=$(find "$WORK" -mindepth 1 -maxdepth 1 -type d -name 'wxwidgets3.2-*' | head -n 1)
mkdir -p "$WORK/build"
cd "$WORK/build"
# Only what the window uses: no image formats but the built-in ones, no XML, HTML, web view,
# media, sockets or the other optional libraries. zlib comes from Debian's mingw-w64 package.
"$SRC/configure" --host="$HOST" --build="$(uname -m)-linux-gnu" --prefix="$PREFIX" \
    CC="$HOST-gcc-posix" CXX="$HOST-g++-posix" WINDRES="$HOST-windres" \
    CXXFLAGS="-O2" CFLAGS="-O2" \
    --with-msw --disable-shared --disable-debug_info --disable-precomp-headers \
    --without-libpng --without-libjpeg --without-libtiff --without-expat --without-regex \
    --without-liblzma --without-libcurl --without-opengl --without-nanosvg --with-zlib=sys \
    --disable-html --disable-htmlhelp --disable-xrc --disable-aui \
    --disable-propgrid --disable-ribbon --disable-stc --disable-richtext --disable-webview \
    --disable-mediactrl --disable-sound --disable-sockets --disable-ipc --disable-protocols \
    --disable-url --disable-webrequest --disable-fswatcher --disable-debugreport \
    --disable-secretstore --disable-svg --disable-printarch --disable-postscript \
    --disable-mshtmlhelp --disable-help --disable-dialupman --disable-tarstream \
    --disable-zipstream --disable-fs_archive --disable-fs_zip --disable-fs_inet \
    --disable-notifmsg --disable-richtooltip >configure.log 2>&1 ||
    { tail -n 40 configure.log >&2; exit 1; }
make -j2 >make.log 2>&1 || { tail -n 40 make.log >&2; exit 1; }
make install >install.log 2>&1 || { tail -n 40 install.log >&2; exit 1; }
# The licence travels with the programs that link it in (it builds on the LGPL, shipped beside it).
cp "$SRC/docs/licence.txt" "$PREFIX/wxWidgets-licence.txt"
cp "$SRC/docs/lgpl.txt" "$PREFIX/wxWidgets-lgpl.txt"
touch "$PREFIX/.complete"
cd "$CACHE"
rm -rf "$WORK"
echo "$PREFIX"
