#!/usr/bin/env bash
# The walk-through of the README's "Libraries as they arrive", on a copy of examples/ made
# EBCDIC: a first incremental scan into a database, a procedure changed as a download gives
# it, a second incremental scan that analyses only its user, and the diff of the two
# inventories. Usage: libraries_walkthrough.sh REPOSITORY BUILD_BIN [EXPECTED] (BUILD_BIN is
# the folder of kvr-scan, kvr4000 and kvr-xref). Prints what the commands print; with
# EXPECTED, compares it with that file instead (the scans' progress lines left out).
set -euo pipefail
top=$1
bin=$2
if [ $# -ge 3 ]; then
    "$0" "$top" "$bin" 2>&1 | grep -v '^kvr-scan: [0-9]* of [0-9]* members' |
        grep -v '^kvr-scan: wrote' | diff -u "$3" -
    exit
fi
lib=$(mktemp -d)
trap 'rm -rf "$lib"' EXIT
cp -r "$top/examples/." "$lib"
for member in "$lib"/JOBS/* "$lib"/PROCS/* "$lib"/INCLUDES/*; do
    while IFS= read -r line || [ -n "$line" ]; do printf '%-80s' "$line"; done <"$member" |
        iconv -f ISO-8859-1 -t IBM1047 >"$member.ebc" && mv "$member.ebc" "$member"
done
cd "$lib"
"$bin/kvr-scan" -o scan.import -l scan.log --db inventory.db --incremental \
    JOBS -p INCLUDES PROCS -t xlatlibs.txt
cp inventory.db before.db
iconv -f IBM1047 -t ISO-8859-1 PROCS/PAYPROC | sed 's/PGM=PAYEXTR,/PGM=PAYEXT2,/' |
    iconv -f ISO-8859-1 -t IBM1047 >PROCS/PAYPROC.new && mv PROCS/PAYPROC.new PROCS/PAYPROC
"$bin/kvr-scan" -v -o scan.import -l scan.log --db inventory.db --incremental \
    JOBS -p INCLUDES PROCS -t xlatlibs.txt
status=0
"$bin/kvr-xref" diff before.db inventory.db || status=$?
echo "exit code $status"
