#!/bin/sh
# Makes Varnex's packages in dist/, installing what is missing first (on Debian 12):
#   varnex-1.3-win64.zip, varnex-1.3-win32.zip  both Windows programs, help page, samples, README,
#                                               licences
#   varnex_1.3_<arch>.deb                       the Debian package, made with CPack
# wxWidgets for Windows is built once per architecture into a cache outside the clone (see
# tools/build_wx_windows.sh).
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh windows package
mkdir -p dist

echo "== Debian package"
cmake -S . -B build-package-deb -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build build-package-deb -j2
rm -rf build-package-deb/packages
(cd build-package-deb && cpack -G DEB >/dev/null)
cp build-package-deb/packages/*.deb dist/

for arch in x86_64 i686; do
    if [ "$arch" = x86_64 ]; then name=win64; else name=win32; fi
    echo "== Windows programs, $name"
    wx_prefix=$(sh tools/build_wx_windows.sh "$arch")
    cmake -S . -B "build-package-$name" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-$arch-w64-mingw32.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
        -DwxWidgets_CONFIG_EXECUTABLE="$wx_prefix/bin/wx-config" >/dev/null
    cmake --build "build-package-$name" -j2
    rm -rf "build-package-$name/packages"
    (cd "build-package-$name" && cpack -G ZIP >/dev/null)
    cp "build-package-$name"/packages/*.zip dist/
done
echo "Packages:"
ls -l dist
