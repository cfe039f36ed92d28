#!/bin/sh
# Sets up a fresh Debian 12 machine if needed, builds Varnex and runs every test: the whole suite,
# the 64-bit Windows programs' tests under Wine, the whole suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and each fuzz target for a bounded time (FUZZ_SECONDS, 30 by
# default).
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh windows

echo "== Tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
(cd build && ctest --output-on-failure -j2)

echo "== Windows programs (64-bit) under Wine"
# wxWidgets for Windows is built once, into a cache outside the clone.
WX_PREFIX=$(sh tools/build_wx_windows.sh x86_64)
cmake -S . -B build-win64 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-w64-mingw32.cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DwxWidgets_CONFIG_EXECUTABLE="$WX_PREFIX/bin/wx-config" >/dev/null
cmake --build build-win64 -j2
(cd build-win64 && ctest --output-on-failure -j2)

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVARNEX_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
(cd build-asan && ctest --output-on-failure -j2)

echo "== Fuzzing, ${FUZZ_SECONDS:-30} s a target"
sh fuzz/run_fuzz.sh "${FUZZ_SECONDS:-30}"
