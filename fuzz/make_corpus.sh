#!/bin/sh
# Fills CORPUS/<target>/ with the seeds of each fuzz target: the project's samples and expected
# conversion files (copied, never checked in twice) and the small hand-made seeds of fuzz/seeds.
# Files already in a corpus folder (what earlier runs found) are kept.
set -eu
if [ $# -ne 1 ]; then
    echo "usage: $0 CORPUS_FOLDER" >&2
    exit 2
fi
CORPUS=$1
ROOT=$(cd "$(dirname "$0")/.." && pwd)
SAMPLES=$ROOT/samples
SEEDS=$ROOT/fuzz/seeds

seed() {  # seed TARGET FILE...
    target=$1
    shift
    mkdir -p "$CORPUS/$target"
    for file in "$@"; do
        cp "$file" "$CORPUS/$target/seed_$(basename "$file")"
    done
}

seed fuzz_ref_model "$SAMPLES/knight_ref.smd" "$SAMPLES/runner_ref.smd" "$SEEDS"/smd/*.smd
seed fuzz_ref_anim "$SAMPLES/runner_ref.smd" "$SAMPLES/knight_ref.smd" "$SEEDS"/smd/*.smd
seed fuzz_build_smd "$SAMPLES/runner_walk.smd" "$SAMPLES/runner_ref.smd" "$SEEDS"/smd/*.smd
seed fuzz_world_build "$SAMPLES/runner_walk.smd" "$SAMPLES/runner_ref.smd" "$SEEDS"/smd/*.smd
seed fuzz_convert_biped "$SAMPLES/runner_walk.smd" "$SAMPLES/runner_ref.smd" "$SEEDS"/smd/*.smd
seed fuzz_load_con "$ROOT"/tests/expected/*.con "$SEEDS"/con/*.con
seed fuzz_read_qc "$SEEDS"/qc/*.qc
