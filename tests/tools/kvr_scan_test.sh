#!/usr/bin/env bash
# End-to-end checks of kvr-scan: the joined import file and log are what kvr4000 itself
# writes for hand-written file lists of the same members and parts, whatever the number of
# shards; XML keeps one prologue and stays well-formed, the exit code is the highest over
# the shards, folder names with blanks survive the lists, and -s reaches every shard.
#   kvr_scan_test.sh KVR_SCAN_PROGRAM KVR4000_PROGRAM
set -u

repo=$(cd "$(dirname -- "${BASH_SOURCE[0]}")/../.." && pwd)
scan=$(readlink -f -- "${1:?usage: kvr_scan_test.sh KVR_SCAN_PROGRAM KVR4000_PROGRAM}")
KVR4000=$(readlink -f -- "${2:?usage: kvr_scan_test.sh KVR_SCAN_PROGRAM KVR4000_PROGRAM}")
export KVR4000
work=$(mktemp -d "${TMPDIR:-/tmp}/kvr-scan-test.XXXXXX")
# Only this shell cleans up: a subshell that ends by a signal would run the trap too.
trap '[ "$BASHPID" = $$ ] && rm -rf -- "$work"' EXIT
# shellcheck source=kvr_scan_lib.sh
. "$repo/tests/tools/kvr_scan_lib.sh"

# The lines of FILE that match REGEX, one a line, compared with the expected text.
expect_lines() { # FILE REGEX EXPECTED WHAT
  local got
  got=$(grep -a -E -- "$2" "$1")
  [ "$got" = "$3" ] || fail "$4: got [$got], expected [$3]"
}

# Well-formed once the prologue is dropped and the containers are wrapped in one root.
well_formed() { # FILE WHAT
  if ! command -v xmllint >/dev/null; then
    fail "$2: xmllint missing (Debian package libxml2-utils)"
    return
  fi
  { echo '<imports>'; sed '1{/^<?xml /d;}' "$1"; echo '</imports>'; } |
    xmllint --noout - || fail "$2: not well-formed"
}

# ---------------------------------------------------------------- the bundled example
# kvr4000 itself on hand-written lists of the example's members in byte order: the whole
# list, and the parts that -j2 (the first two members, then the third) and -j3 (one member
# each) give. The scan's import file must be kvr4000's for the whole list (one time of day for
# all parts makes it the same for any -j), its log the parts' logs one after the other.
direct_run() { # X OUT LIST_LINES...
  local x=$1 out=$2
  shift 2
  printf '%s\n' "$@" >"$out.list"
  (cd "$repo/examples" && env "DD:FILELIST=$out.list" "DD:JCLLIB=$work/example/jcllib.txt" \
    'DD:XLATLIBS=xlatlibs.txt' "DD:ATTRBOUT=$out" "DD:RDPRINT=$out.log" "$KVR4000" $x)
}

check_example() {
  local out=$work/example x j rc
  mkdir -p "$out"
  printf 'INCLUDES\nPROCS\n' >"$out/jcllib.txt"
  export SOURCE_DATE_EPOCH=1767225600
  for x in '' -x; do
    direct_run "$x" "$out/direct$x" 'JOBS DB2RPT' 'JOBS PAYDAILY' 'JOBS SENDFILE'
    direct_run "$x" "$out/a$x" 'JOBS DB2RPT' 'JOBS PAYDAILY'
    direct_run "$x" "$out/b$x" 'JOBS SENDFILE'
    direct_run "$x" "$out/c1$x" 'JOBS DB2RPT'
    direct_run "$x" "$out/c2$x" 'JOBS PAYDAILY'
    direct_run "$x" "$out/c3$x" 'JOBS SENDFILE'
    cp "$out/direct$x.log" "$out/log$x.1"
    cat "$out/a$x.log" "$out/b$x.log" >"$out/log$x.2"
    cat "$out/c1$x.log" "$out/c2$x.log" "$out/c3$x.log" >"$out/log$x.3"
    for j in 1 2 3; do
      (cd "$repo/examples" && timeout 60 "$scan" $x -j "$j" -o "$out/scan$x.$j" -l "$out/scan$x.$j.log" \
        JOBS/ -p INCLUDES PROCS -t xlatlibs.txt 2>"$out/stderr")
      rc=$?
      expect_rc 0 "$rc" "example $x -j$j"
      same_file "$out/direct$x" "$out/scan$x.$j" "example $x -j$j import against kvr4000 itself"
      same_file "$out/log$x.$j" "$out/scan$x.$j.log" "example $x -j$j log against kvr4000's parts"
      [ -s "$out/stderr" ] && fail "example $x -j$j: standard error not empty off a terminal"
    done
    [ "$(grep -c 'KVR1201I' "$out/scan$x.3.log")" -eq 3 ] ||
      fail "example $x: the joined log does not hold the three members"
  done
  # The same import file on standard output, after nothing else.
  (cd "$repo/examples" && timeout 60 "$scan" -x -j 2 -o - -l "$out/stdout.log" JOBS \
    -p INCLUDES PROCS -t xlatlibs.txt >"$out/stdout" 2>/dev/null)
  expect_rc 0 $? "example -o -"
  same_file "$out/direct-x" "$out/stdout" "example -o - against kvr4000 itself"
  unset SOURCE_DATE_EPOCH
  expect_lines "$out/scan.2" '^(INCL 0 [A-Z0-9]+ JOBS$|END JCL)' \
    "$(printf 'INCL 0 DB2RPT JOBS\nEND JCL 0 C\nINCL 0 PAYDAILY JOBS\nEND JCL 0 C\nINCL 0 SENDFILE JOBS\nEND JCL 0 C')" \
    "example members in byte order"
  expect_lines "$out/scan-x.3" '<\?xml' '<?xml version="1.0"?>' "example XML prologue"
  [ "$(head -n 1 "$out/scan-x.3")" = '<?xml version="1.0"?>' ] || fail "example XML: prologue not first"
  [ "$(grep -c '</jcl>' "$out/scan-x.3")" -eq 3 ] || fail "example XML: not three members"
  well_formed "$out/scan-x.3" "example XML -j3"
}

# ---------------------------------------------------------------- severities and names
# One member a shard: 0, 8 and 4 (an unknown operation word stops the member with an
# error; text without a job is a warning). The highest, 8, is neither first nor last.
check_severities() {
  local dir=$work/sev out rc
  mkdir -p "$dir/MY JOBS/sub" "$dir/MY PROCS"
  printf '//AOK JOB (A)\n//S1 EXEC PGM=IEFBR14\n//S2 EXEC MYPROC\n' >"$dir/MY JOBS/A_OK"
  printf '//BBAD JOB (A)\n//S1 EXEC PGM=IEFBR14\n//X FOOBAR ABC\n' >"$dir/MY JOBS/B_BAD"
  printf 'no statements here\n' >"$dir/MY JOBS/C_WARN"
  printf 'not a member\n' >"$dir/MY JOBS/.hidden"
  printf '//DSUB JOB (A)\n//S1 EXEC PGM=IEFBR14\n' >"$dir/MY JOBS/sub/D_SUB"
  printf '//MYPROC PROC\n//P1 EXEC PGM=SORT\n' >"$dir/MY PROCS/MYPROC"
  out=$work/sev-out
  mkdir -p "$out"
  for j in 1 3; do
    (cd "$dir" && timeout 60 "$scan" -j "$j" -o "$out/$j" -l "$out/$j.log" "MY JOBS" -p "MY PROCS" 2>/dev/null)
    expect_rc 8 $? "severities -j$j"
  done
  same_file "$out/1" "$out/3" "severities -j1 and -j3"
  # The procedure is found through the search list folder with a blank in its name.
  expect_lines "$out/3" '^(INCL 0 .*RM=NTFS|PROC ".*|END JCL)' \
    "$(printf '%s\n' 'INCL 0 A_OK "MY JOBS" RM=NTFS' 'PROC "MY PROCS" MYPROC RM=NTFS' \
      'END JCL 0 C' 'END JCL 8 E' 'END JCL 4 C')" "severities: records of the members"

  (cd "$dir" && timeout 60 "$scan" -x -j 3 -o "$out/x" -l "$out/x.log" "MY JOBS" -p "MY PROCS" 2>/dev/null)
  expect_rc 8 $? "severities XML -j3"
  expect_lines "$out/x" '^ {8}<returnCode>' \
    "$(printf '        <returnCode>%s</returnCode>\n' 0 8 4)" "severities XML codes"
  well_formed "$out/x" "severities XML"

  # -r takes the subfolder in as a container of its own, after the folder's own files.
  (cd "$dir" && timeout 60 "$scan" -r -j 2 -o "$out/r" -l "$out/r.log" "MY JOBS/" 2>/dev/null)
  expect_rc 8 $? "severities -r"
  expect_lines "$out/r" '^INCL 0 [A-Z_]+ "[^"]*"$' \
    "$(printf '%s\n' 'INCL 0 A_OK "MY JOBS"' 'INCL 0 B_BAD "MY JOBS"' 'INCL 0 C_WARN "MY JOBS"' \
      'INCL 0 D_SUB "MY JOBS/sub"')" "severities -r containers"

  # A file whose name cannot stand in a file list is left out, and said so.
  mkdir -p "$dir/ODD"
  cp "$dir/MY JOBS/sub/D_SUB" "$dir/ODD/OK"
  printf 'x\n' >"$dir/ODD/A=B"
  (cd "$dir" && timeout 60 "$scan" -o "$out/odd" -l "$out/odd.log" ODD 2>"$out/odd.err")
  expect_rc 4 $? "a name with ="
  grep -q 'A=B' "$out/odd.err" || fail "a name with =: no warning"
  [ "$(grep -c '^END JCL' "$out/odd")" -eq 1 ] || fail "a name with =: not one member"
}

# ---------------------------------------------------------------- system symbols
# -s reaches every shard's kvr4000 as DD:SYSSYMS: both members, one a shard, resolve
# &SYSUID from it and report the symbol it lacks (1482). Without -s a DD:SYSSYMS of the
# caller does not reach the analyzer: the shards' own data sets are what they are given.
check_system_symbols() {
  local dir=$work/syms out=$work/syms-out member
  mkdir -p "$dir/JOBS" "$out"
  for member in A B; do
    printf '%s\n' "//JOB$member JOB (A)" '//S1 EXEC PGM=IEFBR14' \
      '//IN DD DSN=&SYSUID..IN.DATA,DISP=SHR' '//OUT DD DSN=&NOVAL..X,DISP=SHR' >"$dir/JOBS/$member"
  done
  printf '%s\n' '* the scan test system' 'SYSUID=SCANUSR' >"$dir/syms.txt"
  (cd "$dir" && timeout 60 "$scan" -j 2 -o "$out/with" -l "$out/with.log" JOBS -s syms.txt 2>/dev/null)
  expect_rc 4 $? "-s"
  expect_lines "$out/with" '^(DD DSN |MSG .* 1482 |END JCL)' \
    "$(printf '%s\n' \
      'MSG JCL KVR4000 4 1482 "KVR1482W  The symbol &NOVAL in data set name &NOVAL..X has no value; the name is kept as written."' \
      'DD DSN  SCANUSR.IN.DATA' 'DD DSN  &NOVAL..X' 'END JCL 4 C' \
      'MSG JCL KVR4000 4 1482 "KVR1482W  The symbol &NOVAL in data set name &NOVAL..X has no value; the name is kept as written."' \
      'DD DSN  SCANUSR.IN.DATA' 'DD DSN  &NOVAL..X' 'END JCL 4 C')" "-s: records of the members"

  (cd "$dir" && env 'DD:SYSSYMS=syms.txt' DD_SYSSYMS=syms.txt timeout 60 "$scan" -j 2 \
    -o "$out/without" -l "$out/without.log" JOBS 2>/dev/null)
  expect_rc 0 $? "without -s"
  expect_lines "$out/without" '^(DD DSN |MSG |END JCL)' \
    "$(printf '%s\n' 'DD DSN  &SYSUID..IN.DATA' 'DD DSN  &NOVAL..X' 'END JCL 0 C' \
      'DD DSN  &SYSUID..IN.DATA' 'DD DSN  &NOVAL..X' 'END JCL 0 C')" "without -s: records of the members"
}

# ---------------------------------------------------------------- usage and progress
check_usage() {
  local rc
  "$scan" -h >"$work/help" 2>&1
  expect_rc 0 $? "-h"
  grep -q '^usage: kvr-scan' "$work/help" || fail "-h: no usage"
  for args in "-q examples/JOBS" "-j 0 examples/JOBS" "-j two examples/JOBS" "-p examples/PROCS" \
    "examples/NOSUCH" "-o" "-o /no/such/folder/imp examples/JOBS" "-l examples examples/JOBS" \
    "-s examples/NOSUCH.txt examples/JOBS" "-s examples examples/JOBS" "examples/JOBS -s"; do
    # shellcheck disable=SC2086 # the words are the arguments
    (cd "$repo" && timeout 60 "$scan" -o "$work/u.imp" -l "$work/u.log" $args >/dev/null 2>"$work/u.err")
    rc=$?
    if [ "$rc" -ne 2 ] || [ ! -s "$work/u.err" ]; then
      fail "usage '$args': exit code $rc, message $(cat "$work/u.err")"
    fi
    if [ -e "$work/u.imp" ] || [ -e "$work/u.log" ] || [ -n "$(temporary_files "$work")" ]; then
      fail "usage '$args': files written"
    fi
  done
  if command -v script >/dev/null; then
    (cd "$repo/examples" && timeout 60 script -qec "'$scan' -j 2 -o '$work/p.imp' -l '$work/p.log' JOBS" /dev/null \
      >"$work/progress")
    grep -q '3 of 3 members' "$work/progress" || fail "no progress line on a terminal"
  fi
}

# tools/kvr-scan stands for the program built in build/ of the repository.
check_wrapper() {
  local built=$repo/build/bin/kvr-scan
  if [ ! -x "$built" ]; then
    echo "wrapper check skipped: no $built"
    return
  fi
  "$repo/tools/kvr-scan" -h >"$work/wrapper.help" 2>&1
  expect_rc 0 $? "tools/kvr-scan -h"
  "$built" -h >"$work/built.help" 2>&1
  same_file "$work/built.help" "$work/wrapper.help" "tools/kvr-scan -h against $built -h"
}

# ---------------------------------------------------------------- the corpus
# For a few corpus repositories: the folders of their file lists as job folders, their
# search lists as -p folders, their options after --; -j1 and -j2 must give the same.
first_words() { # FILE: the first word of each line, a quoted one without its quotes
  sed -E -e '/^[[:space:]]*(\*|$)/d' -e 's/^"([^"]*)".*/\1/' -e 't' -e 's/ .*//' "$1"
}

check_corpus_repo() {
  local dir=$1 name jobs=() procs=() opts=() j fmt
  name=$(basename -- "$dir")
  mapfile -t jobs < <(first_words "$dir/kvr/filelist.txt" | LC_ALL=C sort -u)
  mapfile -t procs < <(first_words "$dir/kvr/jcllib.txt")
  [ -f "$dir/kvr/options.txt" ] && read -r -a opts <"$dir/kvr/options.txt"
  for fmt in text xml; do
    local x=()
    [ "$fmt" = xml ] && x=(-x)
    for j in 1 2; do
      (cd "$dir" && timeout 60 "$scan" ${x[@]+"${x[@]}"} -j "$j" -o "$work/$name.$fmt.$j" \
        -l "$work/$name.$fmt.$j.log" "${jobs[@]}" -p ${procs[@]+"${procs[@]}"} \
        -t kvr/xlatlibs.txt -- ${opts[@]+"${opts[@]}"} 2>/dev/null)
      echo $? >"$work/$name.$fmt.$j.rc"
    done
    same_file "$work/$name.$fmt.1" "$work/$name.$fmt.2" "corpus $name $fmt -j1 and -j2"
    same_file "$work/$name.$fmt.1.rc" "$work/$name.$fmt.2.rc" "corpus $name $fmt exit codes"
  done
  well_formed "$work/$name.xml.2" "corpus $name XML -j2"
  local members
  members=$(cd "$dir" && find "${jobs[@]}" -mindepth 1 -maxdepth 1 -type f ! -name '.*' | wc -l)
  [ "$(grep -c '^END JCL' "$work/$name.text.2")" -eq "$members" ] ||
    fail "corpus $name: not $members members in the import"
  echo "corpus $name: $members members, -j1 and -j2 compared"
}

check_corpus() {
  local corpus=${KVR_CORPUS_DIR:-$repo/../shared/corpus} repo_name
  if [ ! -d "$corpus" ]; then
    echo "corpus checks skipped: no $corpus"
    return
  fi
  for repo_name in openmainframeproject__cobol-programming-course \
    cicsdev__cics-banking-sample-application-cbsa; do
    if [ -f "$corpus/$repo_name/kvr/filelist.txt" ]; then
      check_corpus_repo "$corpus/$repo_name"
    else
      echo "corpus check skipped: no $repo_name"
    fi
  done
}

check_example
check_severities
check_system_symbols
check_usage
check_wrapper
check_corpus
finish kvr-scan
