#!/bin/sh
# Makes Varnex's packages in dist/, installing what is missing first (on Debian 12):
#   varnex-1.3-win64.zip, varnex-1.3-win32.zip  both Windows programs, help page, samples, README
#                                               and its pictures, licences
#   varnex_1.3-1_<arch>.deb                     the Debian package, made with CPack
#   contents.txt                                a digest of every file each package holds
# and checks them: lintian (pedantic) accepts the .deb, each zip holds the pictures its README
# shows, and a run on a commit already packaged gives the same contents. With --twice it builds
# everything a second time in fresh folders and compares the contents byte for byte.
# wxWidgets for Windows is built once per architecture into a cache outside the clone (see
# tools/build_wx_windows.sh).
set -e
cd "$(dirname "$0")/.."
TWICE=""
case "$1" in
    --twice) TWICE=yes ;;
    "") ;;
    *) echo "usage: sh tools/package.sh [--twice]" >&2; exit 2 ;;
esac
sh tools/setup.sh windows package
# Everything dated is dated by the last commit (manual pages, changelog, and the Windows programs'
# time stamp, which strip writes from it), so that one commit always gives the same bytes.
if [ -z "$SOURCE_DATE_EPOCH" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

# make_packages SUFFIX OUT: every package, built in the folders build-package-*SUFFIX, into OUT.
make_packages() {
    suffix="$1"
    out="$2"
    mkdir -p "$out"
    echo "== Debian package$suffix"
    cmake -S . -B "build-package-deb$suffix" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
    cmake --build "build-package-deb$suffix" -j2
    rm -rf "build-package-deb$suffix/packages"
    (cd "build-package-deb$suffix" && cpack -G DEB >/dev/null)
    cp "build-package-deb$suffix"/packages/*.deb "$out"/
    for arch in x86_64 i686; do
        if [ "$arch" = x86_64 ]; then name=win64; else name=win32; fi
        echo "== Windows programs, $name$suffix"
        wx_prefix=$(sh tools/build_wx_windows.sh "$arch")
        dir="build-package-$name$suffix"
        cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-w64-mingw32.cmake" \
            -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
            -DwxWidgets_CONFIG_EXECUTABLE="$wx_prefix/bin/wx-config" >/dev/null
        cmake --build "$dir" -j2
        rm -rf "$dir/packages"
        (cd "$dir" && cpack -G ZIP >/dev/null)
        cp "$dir"/packages/*.zip "$out"/
    done
}

# contents OUT: "digest  package/path" for every file the packages in OUT hold, sorted: the .deb's
# files by the digests it carries (md5sums) and its control fields, the zips' files one by one.
contents() {
    for deb in "$1"/*.deb; do
        package=$(basename "$deb")
        dpkg-deb -f "$deb" | sha256sum | sed "s|-\$|$package/control|"
        dpkg-deb -I "$deb" md5sums | sed "s|  |  $package/|"
    done
    for zip in "$1"/*.zip; do
        package=$(basename "$zip")
        unzip -Z1 "$zip" | grep -v '/$' | while IFS= read -r file; do
            unzip -p "$zip" "$file" | sha256sum | sed "s|-\$|$package/$file|"
        done
    done | sort -k 2
}

rm -rf dist
make_packages "" dist

echo "== Checks"
lintian --pedantic --fail-on error,warning,pedantic dist/*.deb
echo "lintian (pedantic): no error, warning or pedantic tag left"
for zip in dist/*.zip; do
    top=$(unzip -Z1 "$zip" | head -n 1 | cut -d/ -f1)
    for picture in $(unzip -p "$zip" "$top/README.md" | grep -o '](resources/[^)]*)' | sed 's/^](//; s/)$//'); do
        unzip -Z1 "$zip" | grep -qx "$top/$picture" ||
            { echo "$zip: its README shows $picture, which it lacks" >&2; exit 1; }
    done
done
echo "zips: each holds the pictures its README shows"

commit=$(git rev-parse HEAD 2>/dev/null || echo unknown)
[ -z "$(git status --porcelain 2>/dev/null)" ] || commit="$commit-modified"
contents dist >dist/contents.txt
# The contents of the last clean run of each commit, kept outside dist/ (which each run empties).
record="build-package-contents/$commit.txt"
case "$commit" in
    *-modified|unknown) ;;
    *)
        if [ -f "$record" ]; then
            diff "$record" dist/contents.txt ||
                { echo "this commit, packaged again, gives other contents (above)" >&2; exit 1; }
            echo "same contents as the earlier packaging of $commit"
        fi
        mkdir -p build-package-contents
        cp dist/contents.txt "$record"
        ;;
esac
if [ -n "$TWICE" ]; then
    rm -rf build-package-deb-again build-package-win64-again build-package-win32-again dist-again
    make_packages -again dist-again
    contents dist-again >dist-again/contents.txt
    diff dist/contents.txt dist-again/contents.txt ||
        { echo "the second build differs from the first (above)" >&2; exit 1; }
    echo "built twice: every file of every package is the same"
fi
echo "Packages:"
ls -l dist
