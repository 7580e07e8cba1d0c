#!/usr/bin/env bash
# Records what a kvr4000 binary writes for a fixed set of inputs, so that a change that must
# not alter behaviour can be proven byte for byte (compare.sh diffs two snapshots):
#   - every golden case under tests/e2e/cases: import file, log, standard output and error,
#     exit code;
#   - the real-JCL corpus beside the repository (when present): the listed members and every
#     member, in text and XML, and the XML forms of the Velkor and Dravix modes and of the
#     Japanese and Korean locales: import files, logs and exit codes;
#   - the tenth of the benchmark corpus (2,000 generated members) in the standard, Dravix and
#     Velkor modes, text and XML.
# Usage: snapshot.sh KVR4000 OUTDIR [GENERATOR]
# GENERATOR is the benchmark's corpus generator (default: kvr_bench_generate beside KVR4000).
# SOURCE_DATE_EPOCH is fixed, so names made up for temporary data sets do not vary.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
outdir=$2
generator=${3:-$(dirname "$binary")/kvr_bench_generate}
corpus=${KVR_CORPUS_DIR:-$here/../../../shared/corpus}
export SOURCE_DATE_EPOCH=1700000000
rm -rf "$outdir"
mkdir -p "$outdir"
outdir=$(cd "$outdir" && pwd)

echo "== golden cases"
python3 "$here/snapshot_cases.py" "$binary" "$here/../e2e/cases" "$outdir/cases"

# One run of the corpus script; its report, less the timing column, keeps the exit codes.
# Extra options reach the analyzer through a wrapper, as the corpus script takes none.
corpus_run() { # corpus_run NAME [--all] FORMAT [OPTION] [env assignments...]
    local name=$1 all=$2 format=$3 option=${4:-} program=$binary
    shift 4 || shift 3
    mkdir -p "$outdir/corpus/$name"
    if [ -n "$option" ]; then
        program=$outdir/corpus/$name/kvr4000$option
        # bash: dash drops variables whose names hold ":"
        printf '#!/bin/bash\nexec "%s" %s "$@"\n' "$binary" "$option" >"$program"
        chmod +x "$program"
    fi
    env "$@" "$corpus/run-corpus.sh" $all "$program" "$outdir/corpus/$name" "$format" |
        awk '{ $4 = ""; print }' >"$outdir/corpus/$name/report.txt" || true
    rm -f "$outdir/corpus/$name"/*.out "$outdir/corpus/$name"/kvr4000-*
}
if [ -x "$corpus/run-corpus.sh" ]; then
    echo "== corpus"
    corpus_run text "" text
    corpus_run xml "" xml
    corpus_run all --all text
    corpus_run all-xml --all xml
    corpus_run velkor-xml "" xml -t
    corpus_run dravix-xml "" xml -f
    corpus_run ja-xml "" xml "" LANG=ja_JP
    corpus_run ko-xml "" xml "" LANG=ko_KR
else
    echo "== no corpus at $corpus"
fi

if [ -x "$generator" ]; then
    echo "== benchmark tenth"
    bench=$outdir/bench-input
    mkdir -p "$bench" "$outdir/bench"
    "$generator" "$bench" 2000 >/dev/null
    for mode in standard:"" dravix:-f velkor:-t; do
        for form in text:"" xml:-x; do
            name=${mode%%:*}-${form%%:*}
            (cd "$bench" && env "DD:FILELIST=filelist.txt" "DD:JCLLIB=jcllib.txt" \
                "DD:XLATLIBS=xlatlibs.txt" "DD:ATTRBOUT=$outdir/bench/$name.import" \
                "DD:RDPRINT=$outdir/bench/$name.log" "$binary" ${mode#*:} ${form#*:} \
                >/dev/null 2>&1; echo "exit $?" >"$outdir/bench/$name.rc") ||
                true
        done
    done
    rm -rf "$bench"
fi
echo "== snapshot in $outdir"
