#!/bin/sh
# Sets up a fresh Debian 12 machine if needed, builds Varnex and runs every test.
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2
cd build
ctest --output-on-failure -j2
