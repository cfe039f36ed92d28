#!/bin/sh
# Runs two builds of varnex-cli on the same generated cases and reports every case where their
# output files, standard output, standard error or exit status differ.
# Usage: sh tools/compare_builds.sh OLD_CLI NEW_CLI MAKE_CASES [COUNT]
# IGNORE_WARNINGS="torn-bone chain-angle" leaves out the standard error lines of those warning
# codes, which a newer build adds, so that everything else is still compared.
set -e
old=$(realpath "$1"); new=$(realpath "$2"); make_cases=$(realpath "$3"); count=${4:-300}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$make_cases" "$work/cases" 0 "$count"
differ=0
for case in "$work"/cases/case-*; do
    for side in old new; do
        rm -rf "$work/$side"; cp -r "$case" "$work/$side"
        cli=$old; [ "$side" = new ] && cli=$new
        set +e
        (cd "$work/$side" && tr '\n' '\0' < args.txt | xargs -0 "$cli" > stdout.txt 2> stderr.txt; echo $? > status.txt)
        for code in ${IGNORE_WARNINGS:-}; do
            grep -v "avertissement $code : " "$work/$side/stderr.txt" > "$work/$side/kept.txt" || true
            mv "$work/$side/kept.txt" "$work/$side/stderr.txt"
        done
        set -e
    done
    if ! diff -r "$work/old" "$work/new" > "$work/diff.txt"; then
        differ=$((differ + 1))
        echo "== $(basename "$case") differs:"; head -20 "$work/diff.txt"
    fi
done
echo "$count cases, $differ differ"
[ "$differ" -eq 0 ]
