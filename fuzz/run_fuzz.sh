#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer) in
# build-fuzz and runs each for SECONDS (default 30). Exits non-zero when any target finds a crash,
# a failed check, a leak, a timeout or an out-of-memory; the input that did it is kept in
# build-fuzz/findings/<target>/ and the run's output in build-fuzz/logs/<target>.log.
#
#   sh fuzz/run_fuzz.sh                     every target, 30 s each (the test run)
#   sh fuzz/run_fuzz.sh 3600                the longer run: an hour each
#   sh fuzz/run_fuzz.sh 600 fuzz_build_smd  one target
#
# The corpus (build-fuzz/corpus/<target>/) keeps what earlier runs found, so runs build on each
# other. Replay one input: build-fuzz/fuzz/fuzz_build_smd FILE
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=$ROOT/build-fuzz
DURATION=${1:-30}
[ $# -gt 0 ] && shift
TARGETS=${*:-fuzz_ref_model fuzz_ref_anim fuzz_build_smd fuzz_load_con fuzz_convert_biped fuzz_read_qc fuzz_world_build}

case $DURATION in
    ''|*[!0-9]*) echo "usage: $0 [SECONDS] [TARGET...]" >&2; exit 2 ;;
esac

sh tools/setup.sh
# A build folder first configured with another compiler cannot switch to clang in place.
if [ -f "$BUILD/CMakeCache.txt" ] && ! grep -q '^CMAKE_CXX_COMPILER:.*clang' "$BUILD/CMakeCache.txt"; then
    rm -rf "$BUILD/CMakeCache.txt" "$BUILD/CMakeFiles"
fi
cmake -S . -B "$BUILD" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVARNEX_FUZZ=ON -DVARNEX_GUI=OFF -DBUILD_TESTING=OFF >/dev/null
# shellcheck disable=SC2086
cmake --build "$BUILD" -j2 --target $TARGETS
sh fuzz/make_corpus.sh "$BUILD/corpus"
mkdir -p "$BUILD/logs"
# The targets' temporary folders: a target stopped by a finding cannot remove its own.
TMPDIR=$BUILD/tmp
export TMPDIR

status=0
for target in $TARGETS; do
    case $target in
        fuzz_load_con) options="-max_len=1024" ;;
        fuzz_read_qc) options="-max_len=16384 -dict=$ROOT/fuzz/qc.dict" ;;
        *) options="-max_len=65536 -dict=$ROOT/fuzz/smd.dict" ;;
    esac
    mkdir -p "$BUILD/findings/$target"
    rm -rf "$TMPDIR"
    mkdir -p "$TMPDIR"
    log=$BUILD/logs/$target.log
    # shellcheck disable=SC2086
    if "$BUILD/fuzz/$target" -max_total_time="$DURATION" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$BUILD/findings/$target/" $options \
        "$BUILD/corpus/$target" >"$log" 2>&1; then
        runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
        echo "$target: no finding in $DURATION s, ${runs:-?} executions"
    else
        echo "$target: FINDING (log: $log)"
        grep -E '^(==[0-9]+==|\*\*\* varnex|SUMMARY|artifact_prefix|Test unit written)' "$log" | head -20
        status=1
    fi
done
exit $status
