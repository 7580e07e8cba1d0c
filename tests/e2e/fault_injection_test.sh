#!/usr/bin/env bash
# Faults from outside the JCL: the import file's disk fills up part-way (DD:ATTRBOUT on
# /dev/full), and members of the file list that cannot be read (a folder in the member's
# place, a file without read permission). The run must say so, go on where it can, and never
# end with a success code or a signal.
# Usage: fault_injection_test.sh KVR4000_BINARY
set -uo pipefail
binary=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
chmod 755 "$work"
cd "$work" || exit 1
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A member of a job with ten DD statements: a few hundred bytes of import records.
write_member() {
    { echo "//JOB$2 JOB 1"; echo "//S1 EXEC PGM=PGM$2"
      for dd in 1 2 3 4 5 6 7 8 9; do echo "//DD$dd DD DSN=DATA.SET.NUMBER$dd,DISP=SHR"; done
    } > "$1"
}

# 1. A full disk. 300 members write far more than the import file's buffer, so the failure
#    shows part-way through the list: reported once, the run stops there, exit code 16.
mkdir -p FULL
for n in $(seq 1 300); do write_member "FULL/M$n" "$n"; echo "FULL M$n"; done > full.txt
env 'DD:FILELIST=full.txt' 'DD:ATTRBOUT=/dev/full' 'DD:RDPRINT=full.log' "$binary"
rc=$?
[ "$rc" -eq 16 ] || fail "full disk: exit code $rc, expected 16"
[ "$(grep -c '^KVR1681S' full.log)" -eq 1 ] || fail "full disk: 1681 not reported exactly once"
analysed=$(grep -c '^KVR1201I' full.log)
[ "$analysed" -lt 300 ] || fail "full disk: all $analysed members analysed after the failure"
grep -q '^KVR1681S  The import file DD:ATTRBOUT cannot be written (No space left on device)' \
    full.log || fail "full disk: the message does not name the file and the cause"

# 2. The same with one small member: the failure shows only when the file is closed.
env 'DD:ATTRBOUT=/dev/full' 'DD:RDPRINT=small.log' "$binary" FULL M1
rc=$?
[ "$rc" -eq 16 ] || fail "full disk at close: exit code $rc, expected 16"
grep -q '^KVR1681S' small.log || fail "full disk at close: no 1681"

# 3. Unreadable members in the middle of the list: each gets 1313 and its START/END JCL
#    records, and the members after it are analysed. As root the analyzer runs as nobody,
#    for whom the permission matters; where nobody cannot reach the program, only the
#    folder is tried.
mkdir -p LIB/FOLDER
write_member LIB/FIRST 1
write_member LIB/NOREAD 2
write_member LIB/LAST 3
printf 'LIB FIRST\nLIB FOLDER\nLIB NOREAD\nLIB LAST\n' > list.txt
run=()
unreadable=2
if [ "$(id -u)" -eq 0 ]; then
    chmod -R a+rwX .
    run=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    "${run[@]}" "$binary" -v > /dev/null 2>&1 || { run=(); unreadable=1; }
fi
[ "$unreadable" -eq 2 ] && chmod 000 LIB/NOREAD
"${run[@]}" env 'DD:FILELIST=list.txt' 'DD:ATTRBOUT=list.import' 'DD:RDPRINT=list.log' "$binary"
rc=$?
[ "$rc" -eq 8 ] || fail "unreadable members: exit code $rc, expected 8"
[ "$(grep -c '^KVR1313E' list.log)" -eq "$unreadable" ] ||
    fail "unreadable members: 1313 not given $unreadable times"
[ "$(grep -c '^START JCL$' list.import)" -eq 4 ] || fail "unreadable members: not 4 START JCL"
[ "$(grep -c '^END JCL ' list.import)" -eq 4 ] || fail "unreadable members: not 4 END JCL"
grep -q '^JOB START JOB3$' list.import || fail "unreadable members: the last member was not analysed"
[ "$unreadable" -eq 2 ] || echo "note: permission denied not tried (nobody cannot run $binary)"

[ "$failures" -eq 0 ] && echo "fault injection: all checks passed"
exit "$failures"
