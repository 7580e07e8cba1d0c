#!/usr/bin/env bash
# Stop signals at each stage of a scan: while it lists a big folder, while the analyzers run,
# and while it writes the joined files. Each time the scan must end within a few seconds with
# 128 + the signal and say so, leave an earlier run's import file and log byte for byte as
# they were, remove its temporary files and work folder, and leave no analyzer (nor anything
# an analyzer started) behind. kvr4000 is played by a stand-in (kvr_scan_lib.sh).
#   kvr_scan_interrupt_test.sh KVR_SCAN_PROGRAM
set -u
# Job control: each scan gets a process group of its own, as in a shell at a terminal.
set -m

repo=$(cd "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
scan=$(readlink -f -- "${1:?usage: kvr_scan_interrupt_test.sh KVR_SCAN_PROGRAM}")
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-scan-interrupt.XXXXXX")
# Only this shell cleans up: a subshell that ends by a signal would run the trap too.
trap '[ "$BASHPID" = $$ ] && rm -rf -- "$work"' EXIT
# shellcheck source=kvr_scan_lib.sh
. "$repo/tests/tools/kvr_scan_lib.sh"
make_fake_analyzer
export KVR4000=$work/fake-kvr4000
export TMPDIR=$work/tmp # the scans' work folders, which must be gone when they end
mkdir -p "$TMPDIR"

lib=$work/lib
out=$work/out
mkdir -p "$lib/JOBS" "$lib/BIG" "$out"
for member in A B C D; do printf '//%s JOB\n' "$member" >"$lib/JOBS/$member"; done
(cd "$lib/BIG" && seq -f 'M%05g' 1 20000 | xargs touch)
printf 'an earlier import file\n' >"$work/IMPORT.before"
printf 'an earlier log\n' >"$work/LOG.before"

# Starts a scan in the background, its pid in scan_pid; the analyzers get a marker of the
# case among their arguments.
start_scan() { # CASE KVR_SCAN_ARGUMENT...
  case_name=$1
  marker=kvr-scan-interrupt-$$-$case_name
  shift
  new_fake_dir "$case_name"
  cp "$work/IMPORT.before" "$out/IMPORT"
  cp "$work/LOG.before" "$out/LOG"
  # The stop signals as they are by default, whatever this script was started with.
  (cd "$lib" && exec env --default-signal=INT,TERM,HUP "$scan" "$@" -- "--marker=$marker") \
    >"$work/$case_name.out" 2>"$work/$case_name.err" &
  scan_pid=$!
}

temporary_import_made() { [ -n "$(temporary_files "$out")" ]; }
analyzers_started() { [ "$(count_notes started)" -eq "$1" ]; }
joined_import_written() {
  local import
  import=$(temporary_files "$out" | head -n 1)
  [ -n "$import" ] && [ -s "$import" ]
}

# Sends SIGNAL (to the scan, or with -group to its whole process group as a Ctrl-C at the
# terminal does) and checks how the scan ended. A scan still running after 10 s is killed.
stop_scan() { # SIGNAL EXIT_CODE [-group]
  local signal=$1 want=$2 target=$scan_pid started took rc i
  [ "${3:-}" = -group ] && target=-$scan_pid
  started=${EPOCHREALTIME/./}
  kill -s "$signal" -- "$target"
  # The shell reaps its jobs as they end, so the pid is gone once the scan has ended.
  for ((i = 0; i < 200; i++)); do
    kill -0 "$scan_pid" 2>/dev/null || break
    sleep 0.05
  done
  if kill -0 "$scan_pid" 2>/dev/null; then
    fail "$case_name: still running 10 s after SIG$signal"
    kill -KILL "$scan_pid"
  fi
  wait "$scan_pid"
  rc=$?
  took=$(((${EPOCHREALTIME/./} - started) / 1000))
  expect_rc "$want" "$rc" "$case_name"
  [ "$took" -le 3000 ] || fail "$case_name: ended $took ms after SIG$signal"
  grep -q "stopped by SIG$signal; the import file .*/IMPORT and the log .* were left as they were" \
    "$work/$case_name.err" || fail "$case_name: no message: $(cat "$work/$case_name.err")"
  same_file "$work/IMPORT.before" "$out/IMPORT" "$case_name: the earlier import file"
  [ "$(temporary_files "$out")" = "" ] || fail "$case_name: temporary files left: $(temporary_files "$out")"
  [ -z "$(ls -A "$TMPDIR")" ] || fail "$case_name: work folder left: $(ls -A "$TMPDIR")"
  expect_no_leftovers "$marker" "$case_name"
}

# ---------------------------------------------------------------- while listing
# BIG named 40 times is listed 40 times over: 800,000 names, long enough to be caught in the
# middle. The temporary import file is made just before the listing starts; no analyzer may
# have started when the scan ends.
listing() { # SIGNAL EXIT_CODE
  local bigs=() i
  for ((i = 0; i < 40; i++)); do bigs+=(BIG); done
  start_scan "listing-$1" -j 2 -o "$out/IMPORT" -l "$out/LOG" "${bigs[@]}"
  wait_for 10 "$case_name: the temporary import file" temporary_import_made
  stop_scan "$1" "$2"
  same_file "$work/LOG.before" "$out/LOG" "$case_name: the earlier log"
  [ "$(count_notes started)" -eq 0 ] || fail "$case_name: the signal came after the listing"
}

# ---------------------------------------------------------------- while analysing
# Three analyzers that sleep (in a child of their own, which must go too); the signal comes
# once all three run. A deaf one (SIGTERM ignored) needs the SIGKILL after the grace.
analysing() { # SIGNAL EXIT_CODE MODE [-group]
  FAKE_MODE=$3 start_scan "analysing-$1-$3${4:-}" -j 3 -o "$out/IMPORT" -l "$out/LOG" JOBS
  wait_for 10 "$case_name: three analyzers running" analyzers_started 3
  stop_scan "$1" "$2" "${4:-}"
  same_file "$work/LOG.before" "$out/LOG" "$case_name: the earlier log"
}

# ---------------------------------------------------------------- while joining
# The log is a pipe nobody reads: the scan writes the joined import file, then waits to open
# the log, and is stopped there. The earlier import file must win over the complete new one.
joining() { # SIGNAL EXIT_CODE
  rm -f "$out/PIPE"
  mkfifo "$out/PIPE"
  start_scan "joining-$1" -j 2 -o "$out/IMPORT" -l "$out/PIPE" JOBS
  wait_for 10 "$case_name: the joined import file written" joined_import_written
  [ "$(count_notes done)" -eq 2 ] || fail "$case_name: the analyzers had not finished"
  stop_scan "$1" "$2"
}

listing INT 130
listing TERM 143
analysing INT 130 sleep -group
analysing TERM 143 sleep
analysing HUP 129 sleep
analysing TERM 143 deaf
joining INT 130
joining TERM 143
finish kvr-scan-interrupt
