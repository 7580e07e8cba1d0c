#!/usr/bin/env bash
# Faults the scan must survive: an analyzer run that is killed, exits with a code kvr4000
# never gives, or cannot be started; a full disk under the import file or the log; job
# folders holding pipes, devices and links to nothing. A failed scan exits with 16, says
# which part failed, and leaves an earlier run's import file and log byte for byte as they
# were, with no temporary file and no analyzer left behind. kvr4000 is played by a stand-in
# (kvr_scan_lib.sh); every scan is bounded by timeout.
#   kvr_scan_failure_test.sh KVR_SCAN_PROGRAM
set -u

repo=$(cd "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
scan=$(readlink -f -- "${1:?usage: kvr_scan_failure_test.sh KVR_SCAN_PROGRAM}")
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-scan-failure.XXXXXX")
mounted=
# Only this shell cleans up: a subshell that ends by a signal would run the trap too.
trap '[ "$BASHPID" = $$ ] && { [ -n "$mounted" ] && umount "$mounted"; rm -rf -- "$work"; }' EXIT
# shellcheck source=kvr_scan_lib.sh
. "$repo/tests/tools/kvr_scan_lib.sh"
make_fake_analyzer
export KVR4000=$work/fake-kvr4000
lib=$work/lib
mkdir -p "$lib/JOBS" "$lib/KILLING" "$lib/EXITING" "$work/out"
for member in A B C D E F; do printf '//%s JOB\n' "$member" >"$lib/JOBS/$member"; done
cp "$lib"/JOBS/[ABDEF] "$lib/KILLING" && cp "$lib/JOBS/C" "$lib/KILLING/C_KILLME"
cp "$lib"/JOBS/[ABD] "$lib/EXITING" && cp "$lib/JOBS/C" "$lib/EXITING/C_EXIT20"
printf 'an earlier import file\n' >"$work/IMPORT.before"
printf 'an earlier log\n' >"$work/LOG.before"

# Runs a scan (at most 30 s) with an earlier run's files in OUT_FOLDER; rc, and the
# messages in $work/CASE.err.
run_scan() { # CASE OUT_FOLDER KVR_SCAN_ARGUMENT...
  case_name=$1 case_out=$2
  marker=kvr-scan-failure-$$-$case_name
  shift 2
  new_fake_dir "$case_name"
  cp "$work/IMPORT.before" "$case_out/IMPORT"
  cp "$work/LOG.before" "$case_out/LOG"
  (cd "$lib" && timeout -s KILL 30 "$scan" "$@" -- "--marker=$marker") >"$work/$case_name.out" \
    2>"$work/$case_name.err"
  rc=$?
}

# A failed scan: exit code 16, MESSAGE on standard error, nothing changed or left behind.
expect_failed() { # MESSAGE_REGEX
  expect_rc 16 "$rc" "$case_name"
  grep -q -E -- "$1" "$work/$case_name.err" ||
    fail "$case_name: no message /$1/ in: $(cat "$work/$case_name.err")"
  grep -q "the scan failed; the import file .* and the log .* were left as they were" \
    "$work/$case_name.err" || fail "$case_name: no word on the files left as they were"
  same_file "$work/IMPORT.before" "$case_out/IMPORT" "$case_name: the earlier import file"
  same_file "$work/LOG.before" "$case_out/LOG" "$case_name: the earlier log"
  [ -z "$(temporary_files "$case_out")" ] || fail "$case_name: temporary files left: $(temporary_files "$case_out")"
  expect_no_leftovers "$marker" "$case_name"
}

# ---------------------------------------------------------------- analyzer runs
# Six members in three parts (A B | C_KILLME D | E F): part 2 kills itself while the others
# sleep for a minute; they are stopped at once, not waited for. Four in two parts
# (A B | C_EXIT20 D): part 2 exits with 20.
check_analyzer_failures() {
  local out=$work/out started
  started=$SECONDS
  FAKE_MODE=sleep run_scan killed "$out" -j 3 -o "$out/IMPORT" -l "$out/LOG" KILLING
  expect_failed "part 2 of the file list failed: kvr4000 was killed by signal 9"
  grep -q "part 1 of the file list was stopped, as another part failed" "$work/killed.err" ||
    fail "killed: part 1 not said to be stopped"
  [ $((SECONDS - started)) -le 30 ] || fail "killed: the other parts' minute of sleep was waited for"

  run_scan exit20 "$out" -j 2 -o "$out/IMPORT" -l "$out/LOG" EXITING
  expect_failed "kvr4000 ended with exit code 20 on part 2 of the file list"

  printf '#!/no/such/interpreter\n' >"$work/unstartable"
  chmod +x "$work/unstartable"
  KVR4000=$work/unstartable run_scan unstartable "$out" -o "$out/IMPORT" -l "$out/LOG" JOBS
  expect_failed "part 1 of the file list was not analysed: cannot start $work/unstartable: No such file"
}

# ---------------------------------------------------------------- full disks
# Two parts of 150 kB each fit where the analyzers write, but not joined beside the outputs.
full_disk() { # CASE OUT_FOLDER MESSAGE_REGEX [ulimit -f BLOCKS]
  local name=$1 out=$2 message=$3 blocks=${4:-unlimited}
  (
    failures=0 # counted again outside
    trap '' XFSZ # a write past the limit then fails with EFBIG instead of killing the scan
    ulimit -f "$blocks"
    FAKE_MODE=big FAKE_BYTES=150000 run_scan "$name" "$out" -j 2 -o "$out/IMPORT" -l "$out/LOG" JOBS
    expect_failed "$message"
    exit "$failures"
  )
  failures=$((failures + $?))
}

check_full_disks() {
  mkdir -p "$work/small"
  if mount -t tmpfs -o size=256k kvr-scan-test "$work/small" 2>/dev/null; then
    mounted=$work/small
    full_disk tmpfs "$work/small" "cannot write the import file .*/small/IMPORT: No space left on device"
    umount "$work/small" && mounted=
  else
    echo "full tmpfs check skipped: cannot mount a tmpfs here (not root?)"
  fi
  full_disk file-size-limit "$work/out" "cannot write the import file .*/out/IMPORT: File too large" 200

  # A device is written as it is; the log beside it must stay as it was.
  local out=$work/out
  run_scan dev-full "$out" -o /dev/full -l "$out/LOG" JOBS
  cp "$work/IMPORT.before" "$out/IMPORT" # not named this time
  expect_failed "cannot write the import file /dev/full: No space left on device"
}

# ---------------------------------------------------------------- odd files
# Pipes, devices and links to nothing are no members: left out with a warning (exit code 4),
# and never opened, so that the scan cannot hang on them. A pipe that is read from takes the
# log as it is written.
check_odd_files() {
  local odd=$lib/ODD out=$work/out
  mkdir -p "$odd/sub"
  printf '//M JOB\n' >"$odd/M"
  printf '//N JOB\n' >"$odd/sub/N"
  mkfifo "$odd/PIPE" "$odd/sub/PIPE2" "$odd/.HIDDEN"
  ln -s /dev/zero "$odd/ZERO"
  ln -s /dev/null "$odd/sub/NULL"
  ln -s nowhere "$odd/DANGLING"
  ln -s M "$odd/LINKED"
  mkfifo "$out/LOGPIPE"
  cat "$out/LOGPIPE" >"$work/logpipe.read" &
  run_scan odd "$out" -r -j 2 -o "$out/IMPORT" -l "$out/LOGPIPE" ODD
  wait
  expect_rc 4 "$rc" "odd files"
  printf 'MEMBER ODD LINKED\nEND JCL 0 C\nMEMBER ODD M\nEND JCL 0 C\nMEMBER ODD/sub N\nEND JCL 0 C\n' >"$work/odd.want"
  same_file "$work/odd.want" "$out/IMPORT" "odd files: the import file"
  printf 'member ODD LINKED\nmember ODD M\nmember ODD/sub N\n' >"$work/odd.log.want"
  same_file "$work/odd.log.want" "$work/logpipe.read" "odd files: the log through a pipe"
  local warning
  for warning in "a pipe \(FIFO\): ODD/PIPE" "a pipe \(FIFO\): ODD/sub/PIPE2" "a character device: ODD/ZERO" \
    "a character device: ODD/sub/NULL" "a symbolic link to nothing: ODD/DANGLING"; do
    grep -q -E "^kvr-scan: left out, $warning\$" "$work/odd.err" || fail "odd files: no warning for $warning"
  done
  [ "$(wc -l <"$work/odd.err")" -eq 5 ] || fail "odd files: not five warnings: $(cat "$work/odd.err")"
}

check_analyzer_failures
check_full_disks
check_odd_files
finish kvr-scan-failure
