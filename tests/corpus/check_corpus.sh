#!/usr/bin/env bash
# Runs kvr4000 over the real-JCL corpus beside the repository: the listed members in text and
# in XML form and every member in both forms (robustness), each run without a crash or a
# timeout, every member framed and every XML import well-formed; then compares the counts of
# each listed member with the corpus' own (compare_counts.py, known-differences.md).
# Usage: check_corpus.sh KVR4000_BINARY OUTPUT_DIR
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
binary=$1
outdir=$2
corpus=${KVR_CORPUS_DIR:-$here/../../../shared/corpus}
if [ ! -x "$corpus/run-corpus.sh" ]; then
    echo "corpus: no corpus at $corpus, nothing to check (set KVR_CORPUS_DIR)"
    exit 0
fi
corpus=$(cd "$corpus" && pwd)
rm -rf "$outdir"
mkdir -p "$outdir/text" "$outdir/xml" "$outdir/all" "$outdir/all-xml"
echo "== listed members, text"; "$corpus/run-corpus.sh" "$binary" "$outdir/text" text
echo "== listed members, XML"; "$corpus/run-corpus.sh" "$binary" "$outdir/xml" xml
echo "== every member, text"; "$corpus/run-corpus.sh" --all "$binary" "$outdir/all" text
echo "== every member, XML"; "$corpus/run-corpus.sh" --all "$binary" "$outdir/all-xml" xml

# The XML forms of the other run modes and of the double-byte locales must be well-formed
# too. The corpus script takes no options, so a wrapper adds them (bash, not sh: dash drops
# variables whose names hold ":").
with_option() { # with_option NAME OPTION: the path of a wrapper running the analyzer so
    printf '#!/bin/bash\nexec "%s" %s "$@"\n' "$binary" "$2" >"$outdir/kvr4000-$1"
    chmod +x "$outdir/kvr4000-$1"
    echo "$outdir/kvr4000-$1"
}
mkdir -p "$outdir/velkor-xml" "$outdir/dravix-xml" "$outdir/ja-xml" "$outdir/ko-xml"
echo "== listed members, Velkor mode XML"
"$corpus/run-corpus.sh" "$(with_option velkor -t)" "$outdir/velkor-xml" xml
echo "== listed members, Dravix mode XML"
"$corpus/run-corpus.sh" "$(with_option dravix -f)" "$outdir/dravix-xml" xml
echo "== listed members, XML under LANG=ja_JP"
LANG=ja_JP "$corpus/run-corpus.sh" "$binary" "$outdir/ja-xml" xml
echo "== listed members, XML under LANG=ko_KR"
LANG=ko_KR "$corpus/run-corpus.sh" "$binary" "$outdir/ko-xml" xml
echo "== counts against the corpus"
python3 "$here/compare_counts.py" "$corpus" "$outdir/text" "$here/known-differences.md" "$outdir/xml"
