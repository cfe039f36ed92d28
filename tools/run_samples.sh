#!/bin/sh
# Sets up a fresh Debian 12 machine if needed, builds Varnex, retargets the sample walk onto the
# sample model, and opens the window when a display is present.
set -e
cd "$(dirname "$0")/.."
sh tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target varnex-cli
mkdir -p out
build/varnex-cli build --model samples/knight_ref.smd --ref-anim samples/runner_ref.smd \
    --out-dir out samples/runner_walk.smd
echo "The retargeted animation is in $(pwd)/out/knight_runner_walk.smd"
if [ -n "$DISPLAY" ] && cmake --build build -j2 --target varnex >/dev/null 2>&1; then
    echo "Opening the window (samples are in $(pwd)/samples)"
    cd build/src/gui && ./varnex
fi
