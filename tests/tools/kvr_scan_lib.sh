# Shared by the kvr-scan tests (sourced): failure counting, a stand-in for kvr4000 whose
# behaviour each test picks, and the checks on what a stopped scan leaves behind.
#   Needs: scan (the kvr-scan program) and work (a scratch folder) set by the test.

failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expect_rc() { # WANT GOT WHAT
  [ "$1" -eq "$2" ] || fail "$3: exit code $2, expected $1"
}

same_file() { # A B WHAT
  cmp -s -- "$1" "$2" || fail "$3: $1 and $2 differ"
}

finish() { # NAME: the closing line of a test script
  if [ "$failures" -gt 0 ]; then
    echo "$failures checks failed"
    exit 1
  fi
  echo "$1 checks passed"
}

# A stand-in for kvr4000 at $work/fake-kvr4000. For every file-list line it writes
# "MEMBER <line>" and "END JCL 0 C" to the import file and "member <line>" to the log, then
# does what FAKE_MODE says: quick (exit with FAKE_RC, default 0), sleep (sleep 60 in a child),
# deaf (the same, ignoring SIGTERM), big (FAKE_BYTES more bytes of import first). A part whose
# list holds KILLME kills itself with SIGKILL, one holding EXIT20 exits with 20. It notes
# "PID PGID" in $FAKE_DIR/started.PID at the start and touches $FAKE_DIR/done.PID once written.
make_fake_analyzer() {
  cat >"$work/fake-kvr4000" <<'FAKE'
#!/usr/bin/env bash
list=$(printenv DD:FILELIST) import=$(printenv DD:ATTRBOUT) log=$(printenv DD:RDPRINT)
read -r stat </proc/$$/stat
set -- ${stat##*) }
echo "$$ $3" >"$FAKE_DIR/started.$$"
[ "${FAKE_MODE:-quick}" = deaf ] && trap '' TERM
if [ "${FAKE_MODE:-quick}" = big ]; then
  head -c "$FAKE_BYTES" /dev/zero | tr '\0' 'x' >"$import"
  echo >>"$import"
fi
while IFS= read -r line; do
  printf 'MEMBER %s\nEND JCL 0 C\n' "$line" >>"$import"
  printf 'member %s\n' "$line" >>"$log"
done <"$list"
: >>"$import" >>"$log"
touch "$FAKE_DIR/done.$$"
grep -q KILLME "$list" && kill -KILL $$
grep -q EXIT20 "$list" && exit 20
case ${FAKE_MODE:-quick} in
sleep | deaf) sleep 60 ;;
esac
exit "${FAKE_RC:-0}"
FAKE
  chmod +x "$work/fake-kvr4000"
}

# A fresh folder for the stand-in's notes; FAKE_DIR points there.
new_fake_dir() {
  FAKE_DIR=$work/fake.$1
  rm -rf "$FAKE_DIR"
  mkdir -p "$FAKE_DIR"
  export FAKE_DIR
}

# How many stand-in runs have started, or finished writing, so far.
count_notes() { # started|done
  local notes=("$FAKE_DIR/$1".*)
  [ -e "${notes[0]}" ] && echo "${#notes[@]}" || echo 0
}

# Waits up to SECONDS for COMMAND to succeed; fails the test otherwise.
wait_for() { # SECONDS WHAT COMMAND...
  local limit=$(($1 * 20)) what=$2 i
  shift 2
  for ((i = 0; i < limit; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  fail "$what: not seen within the time"
  return 1
}

# The processes still alive (zombies aside) whose command line holds MARKER or whose
# process group is one of the stand-in runs' groups: none may outlive a scan.
leftover_processes() { # MARKER
  local dir pid args stat fields groups=() note
  for note in "$FAKE_DIR"/started.*; do
    [ -e "$note" ] && groups+=("$(cut -d' ' -f2 "$note")")
  done
  for dir in /proc/[0-9]*; do
    pid=${dir#/proc/}
    read -r stat 2>/dev/null <"$dir/stat" || continue
    fields=(${stat##*) })
    [ "${fields[0]}" = Z ] && continue
    args=$(tr '\0' ' ' 2>/dev/null <"$dir/cmdline")
    if [[ $args == *"$1"* ]] || [[ " ${groups[*]} " == *" ${fields[2]} "* ]]; then
      echo "$pid $args"
    fi
  done
}

# Fails the test when processes are still left a second after the scan ended (SIGKILL takes
# effect when the process is next scheduled).
expect_no_leftovers() { # MARKER WHAT
  local left i
  for ((i = 0; i < 20; i++)); do
    left=$(leftover_processes "$1")
    [ -z "$left" ] && return
    sleep 0.05
  done
  fail "$2: processes left behind: $left"
}

# Files left beside the outputs under the temporary names the scan writes to.
temporary_files() { # FOLDER
  find "$1" -maxdepth 1 -name '.*.kvr-scan.*'
}
