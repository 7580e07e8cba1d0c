#!/usr/bin/env bash
# The benchmark corpus generator's members, 200 of them, analysed as text and as IBM-1047
# records of 80 bytes (what a binary transfer from the mainframe gives): the import files
# must be byte-identical. The time of both runs is printed; `make bench` holds the EBCDIC
# run to 10% over the text run on the full corpus.
# Usage: check_ebcdic_corpus.sh GENERATOR KVR_BENCH_EBCDIC KVR4000
set -euo pipefail
generator=$1 bench=$2 kvr4000=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-ebcdic-corpus.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$generator" "$work/corpus" 200 >/dev/null
"$bench" "$kvr4000" "$work/corpus" "$work/out" 1
