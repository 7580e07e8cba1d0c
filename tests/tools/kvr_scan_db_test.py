#!/usr/bin/env python3
"""kvr-scan --db: the scan loaded into a kvr-xref database once its files are in place.

The bundled example scanned with --db answers questions as worked out from its JCL; a second
scan into the same database (text, then XML on standard output) replaces the members' rows
instead of adding to them; a database that cannot be written gives kvr-scan's message and
exit code 20 with the import file and the log in place; a scan that fails or is stopped
never starts the load, and a load that is stopped leaves the new files in place.

  kvr_scan_db_test.py KVR_SCAN KVR4000 KVR_XREF
"""
import os
import re
import signal
import sqlite3
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
EXAMPLES = os.path.join(REPO, "examples")
SCAN, KVR4000, XREF = (os.path.abspath(p) for p in sys.argv[1:4])
LOAD_FAILED = 20
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def environment(**overrides):
    env = {k: v for k, v in os.environ.items()
           if not k.startswith(("DD:", "DD_")) and k not in ("KVR4000", "KVR_XREF")}
    env.update({"KVR4000": KVR4000, "KVR_XREF": XREF, "SOURCE_DATE_EPOCH": "1767225600"})
    env.update(overrides)
    return env


def scan(*args, cwd=EXAMPLES, **overrides):
    """kvr-scan on the example's libraries with ARGS before the job folder."""
    return subprocess.run([SCAN, *args, "JOBS", "-p", "INCLUDES", "PROCS", "-t", "xlatlibs.txt"],
                          cwd=cwd, env=environment(**overrides), capture_output=True,
                          text=True, timeout=120)


def ask(db, *question):
    # Bytes, so that the CR LF line ends of CSV are seen as they are.
    run = subprocess.run([XREF, db, *question, "--format", "csv"], capture_output=True,
                         timeout=60)
    if run.returncode != 0:
        return f"[exit {run.returncode}] {run.stderr.decode(errors='replace')}"
    return run.stdout.decode(errors="replace")


def row_counts(db):
    with sqlite3.connect(db) as connection:
        tables = [row[0] for row in connection.execute(
            "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
            "ORDER BY name")]
        return {table: connection.execute(f'SELECT count(*) FROM "{table}"').fetchone()[0]
                for table in tables}


def steps_by_job(db):
    with sqlite3.connect(db) as connection:
        return connection.execute(
            "SELECT job.name, count(*) FROM step JOIN job ON step.job_id = job.id "
            "GROUP BY job.name ORDER BY job.name").fetchall()


def members_in(import_file):
    with open(import_file, encoding="latin-1") as handle:
        text = handle.read()
    return len(re.findall(r"^END JCL ", text, re.M)) + text.count("</jcl>")


def content(path):
    with open(path, "rb") as handle:
        return handle.read()


# Worked out from the JCL of examples/: the extract PAYPROC's STEP1 writes is read by the
# report step of PAYDAILY (the referback, DISP=SHR) and by the FTP PUT of SENDFILE; the
# TSO batch monitor step of DB2RPT (line 2) runs CUSTRPT under plan CUSTPLN on DB2P.
READERS_OF_EXTRACT = ("dataset,job,container,member,steps,access\r\n"
                      "PROD.PAY.EXTRACT,PAYDAILY,JOBS,PAYDAILY,REPORT,read\r\n"
                      "PROD.PAY.EXTRACT,SENDFILE,JOBS,SENDFILE,FTP,read\r\n")
PLAN_CUSTPLN = ("plan,job,stepno,step,exec,program,subsystem,container,member,line\r\n"
                "CUSTPLN,DB2RPT,1,RUNRPT,IKJEFT01,CUSTRPT,DB2P,JOBS,DB2RPT,{line}\r\n")
# RUNRPT and IMSUPD; EXTRACT.STEP1, REPORT and the included CLEANUP; FTP.
STEPS = [("DB2RPT", 2), ("PAYDAILY", 3), ("SENDFILE", 1)]


def check_answers(db, what, xml=False):
    check(ask(db, "readers", "PROD.PAY.EXTRACT") == READERS_OF_EXTRACT,
          f"{what}: the readers of the extract")
    # The XML form gives no lines for steps, so the line of the step is empty then.
    check(ask(db, "plan", "CUSTPLN") == PLAN_CUSTPLN.format(line="" if xml else 2),
          f"{what}: the steps under plan CUSTPLN")
    check(steps_by_job(db) == STEPS, f"{what}: steps by job {steps_by_job(db)}")


def scanned_and_loaded(work):
    """The example scanned with --db (two shards, text), then asked."""
    db = os.path.join(work, "xref.db")
    imp, log = os.path.join(work, "scan.import"), os.path.join(work, "scan.log")
    run = scan("-j", "2", "-o", imp, "-l", log, "--db", db)
    check(run.returncode == 0, f"scan --db: exit code {run.returncode}: {run.stderr.strip()}")
    check(f"loaded 3 members (0 replaced) from 1 import file into {db}" in run.stderr,
          "scan --db: kvr-xref's summary on standard error: " + run.stderr.strip())
    check(run.stdout == "", "scan --db: nothing on standard output")
    check(members_in(imp) == 3 and os.path.getsize(log) > 0, "scan --db: import file and log")
    check_answers(db, "scan --db")
    return db


def scanned_again(work, db):
    """The same members scanned again into the same database replace their rows: as text with
    one shard, as XML on standard output with three (the shards' files are loaded)."""
    before = row_counts(db)
    check(before.get("step") == 6 and before.get("job") == 3, f"counts of the first load {before}")
    imp, log = os.path.join(work, "again.import"), os.path.join(work, "again.log")
    run = scan("-o", imp, "-l", log, "--db", db)
    check(run.returncode == 0 and "loaded 3 members (3 replaced) from 1 import file" in run.stderr,
          f"scan again: exit code {run.returncode}: {run.stderr.strip()}")
    check(row_counts(db) == before, f"scan again: the same row counts {row_counts(db)}")
    check_answers(db, "scan again")

    run = scan("-x", "-j", "3", "-o", "-", "-l", log, "--db", db)
    check(run.returncode == 0 and "loaded 3 members (3 replaced) from 3 import files" in run.stderr,
          f"scan -x -j 3 -o - again: exit code {run.returncode}: {run.stderr.strip()}")
    check(run.stdout.startswith('<?xml version="1.0"?>\n') and run.stdout.count("</jcl>") == 3,
          "scan -x -o -: the XML import file alone on standard output")
    check(row_counts(db) == before, f"scan -x again: the same row counts {row_counts(db)}")
    check_answers(db, "scan -x again", xml=True)

    # A database named like an option is still a database.
    os.symlink(os.path.join(EXAMPLES, "JOBS"), os.path.join(work, "JOBS"))
    for folder in ("INCLUDES", "PROCS", "xlatlibs.txt"):
        os.symlink(os.path.join(EXAMPLES, folder), os.path.join(work, folder))
    run = scan("-o", imp, "-l", log, "--db", "-dash.db", cwd=work)
    check(run.returncode == 0 and os.path.isfile(os.path.join(work, "-dash.db")),
          f"--db -dash.db: exit code {run.returncode}: {run.stderr.strip()}")
    check_answers(os.path.join(work, "-dash.db"), "--db -dash.db")


def expect_load_failed(run, what, imp, log, db, cause):
    check(run.returncode == LOAD_FAILED, f"{what}: exit code {run.returncode}")
    message = (f"kvr-scan: cannot load the import file {imp} into the database {db}: {cause}; "
               f"the import file {imp} and the log {log} were written, "
               f"the database was left as it was\n")
    check(run.stderr.endswith(message), f"{what}: message {run.stderr!r}")
    check(os.path.isfile(imp) and members_in(imp) == 3, f"{what}: the import file is there")
    check(os.path.isfile(log) and os.path.getsize(log) > 0, f"{what}: the log is there")


def databases_not_written(work):
    """Databases that cannot be written: exit code 20, kvr-xref's reason, then kvr-scan's
    message; the import file and the log are in place, nothing is made or changed."""
    imp, log = os.path.join(work, "u.import"), os.path.join(work, "u.log")

    db = os.path.join(work, "no-such-folder", "x.db")
    run = scan("-o", imp, "-l", log, "--db", db)
    expect_load_failed(run, "a database in a missing folder", imp, log, db,
                       "kvr-xref ended with exit code 1")
    check("kvr-xref: " in run.stderr, "a missing folder: kvr-xref's own reason passed on")
    check(not os.path.exists(os.path.dirname(db)), "a missing folder: still missing")

    os.remove(imp)
    db = os.path.join(work, "notes.txt")
    with open(db, "w", encoding="utf-8") as handle:
        handle.write("a text file, not a database\n" * 50)
    before = content(db)
    run = scan("-x", "-j", "2", "-o", imp, "-l", log, "--db", db)
    expect_load_failed(run, "a text file as the database", imp, log, db,
                       "kvr-xref ended with exit code 2")
    check("not a kvr-xref database" in run.stderr, "a text file: kvr-xref's reason passed on")
    check(content(db) == before, "a text file: unchanged")

    db = os.path.join(work, "a-folder.db")
    os.mkdir(db)
    run = scan("-o", imp, "-l", log, "--db", db)
    expect_load_failed(run, "a folder as the database", imp, log, db,
                       "kvr-xref ended with exit code 1")
    check(os.listdir(db) == [], "a folder: nothing made in it")

    # kvr-xref killed while it loads.
    killed = os.path.join(work, "killed-xref")
    with open(killed, "w", encoding="utf-8") as handle:
        handle.write("#!/bin/sh\nkill -KILL $$\n")
    os.chmod(killed, 0o755)
    db = os.path.join(work, "k.db")
    run = scan("-o", imp, "-l", log, "--db", db, KVR_XREF=killed)
    expect_load_failed(run, "kvr-xref killed", imp, log, db,
                       "kvr-xref was killed by signal 9 (Killed)")

    # No kvr-xref to run: a usage error before the scan, which writes nothing.
    lost_imp, lost_log = os.path.join(work, "lost.import"), os.path.join(work, "lost.log")
    run = scan("-o", lost_imp, "-l", lost_log, "--db", db,
               KVR_XREF=os.path.join(work, "no-such-xref"))
    check(run.returncode == 2 and "kvr-scan: not an executable: " in run.stderr,
          f"no kvr-xref: exit code {run.returncode}: {run.stderr.strip()}")
    check(not os.path.exists(lost_imp) and not os.path.exists(lost_log), "no kvr-xref: no files")
    run = scan("-o", lost_imp, "-l", lost_log, "--db", "")
    check(run.returncode == 2 and "--db needs a database name" in run.stderr,
          f"--db '': exit code {run.returncode}: {run.stderr.strip()}")


def stand_in(path, body):
    with open(path, "w", encoding="utf-8") as handle:
        handle.write("#!/bin/sh\n" + body)
    os.chmod(path, 0o755)
    return path


def wait_for_file(path, seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if os.path.exists(path) and os.path.getsize(path) > 0:
            return True
        time.sleep(0.05)
    return False


def alive(pid):
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    with open(f"/proc/{pid}/stat", encoding="latin-1") as handle:
        return handle.read().rsplit(")", 1)[1].split()[0] != "Z"


def failed_scans(work, db):
    """A scan that fails or is stopped does not touch the database, nor start kvr-xref; a
    load that is stopped ends kvr-xref and leaves the new files in place."""
    before = content(db)
    ran = os.path.join(work, "xref-ran")
    noting = stand_in(os.path.join(work, "noting-xref"), f"echo \"$@\" >>{ran}\nexit 0\n")
    imp, log = os.path.join(work, "f.import"), os.path.join(work, "f.log")
    failing = stand_in(os.path.join(work, "failing-kvr4000"), "exit 20\n")
    for xref in (XREF, noting):
        run = scan("-j", "2", "-o", imp, "-l", log, "--db", db, KVR4000=failing, KVR_XREF=xref)
        check(run.returncode == 16 and "the scan failed;" in run.stderr,
              f"a failed scan: exit code {run.returncode}: {run.stderr.strip()}")
        check(content(db) == before and not os.path.exists(db + "-journal"),
              "a failed scan: the database untouched")
    check(not os.path.exists(ran), "a failed scan: kvr-xref not started")
    check(not os.path.exists(imp), "a failed scan: no import file")

    # Stopped while the analyzer runs.
    pid_file = os.path.join(work, "analyzer.pid")
    sleeping = stand_in(os.path.join(work, "sleeping-kvr4000"),
                        f"echo $$ >{pid_file}\nexec sleep 60\n")
    stopped = stopped_scan(work, pid_file, db, KVR4000=sleeping, KVR_XREF=noting)
    check(stopped.returncode == 128 + signal.SIGTERM,
          f"stopped while analysing: exit code {stopped.returncode}")
    check("stopped by SIGTERM; the import file" in stopped.stderr,
          "stopped while analysing: message " + stopped.stderr.strip())
    check(content(db) == before and not os.path.exists(ran),
          "stopped while analysing: the database untouched, kvr-xref not started")

    # Stopped while loading: the files are written, kvr-xref is ended, the database as it was.
    pid_file = os.path.join(work, "xref.pid")
    slow = stand_in(os.path.join(work, "slow-xref"), f"echo $$ >{pid_file}\nexec sleep 60\n")
    stopped = stopped_scan(work, pid_file, db, KVR_XREF=slow)
    check(stopped.returncode == 128 + signal.SIGTERM,
          f"stopped while loading: exit code {stopped.returncode}")
    check(stopped.stderr.endswith(
        f"kvr-scan: stopped by SIGTERM while loading the database {db}; the import file "
        f"{stopped.imp} and the log {stopped.log} were written, the database was left as it "
        "was\n"), "stopped while loading: message " + stopped.stderr.strip())
    check(members_in(stopped.imp) == 3, "stopped while loading: the import file is in place")
    with open(pid_file, encoding="utf-8") as handle:
        xref_pid = int(handle.read())
    check(not alive(xref_pid), "stopped while loading: kvr-xref ended")
    check(content(db) == before, "stopped while loading: the database untouched")


class Stopped:
    pass


def stopped_scan(work, pid_file, db, **overrides):
    """A scan sent SIGTERM once the stand-in noted its pid in PID_FILE."""
    result = Stopped()
    result.imp, result.log = os.path.join(work, "s.import"), os.path.join(work, "s.log")
    for leftover in (pid_file, result.imp):
        if os.path.exists(leftover):
            os.remove(leftover)
    process = subprocess.Popen(
        [SCAN, "-o", result.imp, "-l", result.log, "--db", db, "JOBS", "-p", "INCLUDES",
         "PROCS", "-t", "xlatlibs.txt"], cwd=EXAMPLES, env=environment(**overrides),
        stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    check(wait_for_file(pid_file), "the stand-in started")
    process.send_signal(signal.SIGTERM)
    try:
        _, result.stderr = process.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        process.kill()
        _, result.stderr = process.communicate()
    result.returncode = process.returncode
    return result


def main():
    with tempfile.TemporaryDirectory(prefix="kvr-scan-db-") as work:
        db = scanned_and_loaded(work)
        scanned_again(work, db)
        databases_not_written(work)
        failed_scans(work, db)
    print(f"{len(failures)} checks failed" if failures else "kvr-scan --db checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
