#!/usr/bin/env python3
"""Faults around kvr-xref: a load killed half-way, a record that cannot be read, databases
that are missing, not kvr-xref's or of another schema version (also on either side of a
diff), and the command line.

  fault_test.py KVR_XREF
"""
import os
import signal
import sqlite3
import subprocess
import sys
import tempfile
import threading
import time

XREF = os.path.abspath(sys.argv[1])
QUESTIONS = ["load", "dataset", "writers", "readers", "program", "plan", "psb", "proc",
             "include", "job", "lineage", "missing", "messages", "stats"]
failures = []


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def xref(*args, stdin=None):
    return subprocess.run([XREF, *args], capture_output=True, text=True, stdin=stdin)


def member(number):
    """A small member of the text form: one job, one step, one data set of its own."""
    name = f"M{number:05d}"
    return (f"START JCL\nJOB START J{number:05d}\nJOB LINES 1 1 1\nINCL 0 {name} LIB RM=NTFS\n"
            f"STEP 1 S1 PGM{number % 7} \"\" \nSTEP LINES 1 2 3\nRU PGM{number % 7}\n"
            f"DD START IN\nDD LINES 1 3 3\nDD SEQ  1\nDD DSN  DATA.{name}\nDD STAT SHR\nDD END\n"
            f"JOB END\nINCL 0 {name} LIB\nEND JCL 0 C\n")


def write(path, text):
    with open(path, "w", encoding="utf-8") as handle:
        handle.write(text)


def dump(db):
    with sqlite3.connect(db) as connection:
        return list(connection.iterdump())


def integrity(db):
    with sqlite3.connect(db) as connection:
        return connection.execute("PRAGMA integrity_check").fetchone()[0]


def killed_load(work):
    """A load killed while it reads leaves the database as it was; the next load works."""
    db = os.path.join(work, "killed.db")
    base = os.path.join(work, "base.import")
    write(base, "".join(member(i) for i in range(5000)))
    check(xref("load", db, base).returncode == 0, "base load")
    before = dump(db)
    fifo = os.path.join(work, "feed")
    os.mkfifo(fifo)
    # Half of it replaces members already loaded, half adds new ones.
    # A cache of one megabyte makes SQLite write pages out while it loads, so the kill finds
    # the database file changed and only the journal can restore it.
    process = subprocess.Popen([XREF, "load", db, fifo, "--cache-mb", "1"],
                               stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    with open(fifo, "w", encoding="utf-8") as feed:
        feed.write("".join(member(i) for i in range(2500, 10000)))
        feed.flush()
        time.sleep(1.0)  # the loader reads and writes what it was given, then waits for more
        check(process.poll() is None, "the loader is still loading when it is killed")
        process.send_signal(signal.SIGKILL)
        process.wait()
    check(process.returncode == -signal.SIGKILL, "the loader was killed")
    check(os.path.exists(db + "-journal"), "the killed load left its journal behind")
    check(dump(db) != [] and os.path.getsize(db) > 0, "the database file is there")
    check(xref(db, "stats").returncode == 0, "the database answers after the kill")
    check(integrity(db) == "ok", "integrity check after the kill")
    check(dump(db) == before, "the killed load left the database as it was")
    rest = os.path.join(work, "rest.import")
    write(rest, "".join(member(i) for i in range(2500, 10000)))
    run = xref("load", db, rest)
    check(run.returncode == 0 and "7500 members (2500 replaced)" in run.stdout,
          "a load after the killed one: " + run.stdout.strip())
    run = xref(db, "dataset", "DATA.M09999", "--format", "csv")
    check(run.stdout.count("\n") == 2, "the member loaded after the kill is there once")


def unreadable_record(work):
    """A record that cannot be read names file and line; nothing of the load is written."""
    db = os.path.join(work, "bad.db")
    good = os.path.join(work, "good.import")
    write(good, member(1))
    check(xref("load", db, good).returncode == 0, "load before the bad one")
    before = dump(db)
    second = os.path.join(work, "second.import")
    write(second, member(2) + member(3))
    bad = os.path.join(work, "bad.import")
    write(bad, member(4) + "START JCL\nJOB START J\nINCL 0 X LIB\nSTEP 1 S1 P \"\" \n"
                           "DD START IN\nDD SEQ  one\n")
    run = xref("load", db, second, bad)
    check(run.returncode == 1, f"exit code {run.returncode} for a bad record")
    check(f"{bad}:22: DD sequence is not a number: 'one'" in run.stderr,
          "the message names file and line: " + run.stderr.strip())
    check(dump(db) == before, "nothing of the failed load was written")
    run = xref("load", db, os.path.join(work, "no-such.import"))
    check(run.returncode == 1 and "cannot open" in run.stderr, "a missing import file")
    truncated = os.path.join(work, "truncated.import")
    write(truncated, member(5)[:-30])
    run = xref("load", db, truncated)
    check(run.returncode == 1 and "ends inside a member" in run.stderr, "a truncated file")
    check(dump(db) == before, "nothing of the truncated file was written")
    with open(good, encoding="utf-8") as handle:
        run = xref("load", db, "-", stdin=handle)
    check(run.returncode == 0 and "1 member (1 replaced)" in run.stdout, "load from stdin")


def foreign_databases(work):
    """Missing, foreign and other-version databases: exit 2 and a clear message."""
    good = os.path.join(work, "one.import")
    write(good, member(1))
    run = xref(os.path.join(work, "missing.db"), "stats")
    check(run.returncode == 2 and "no database at" in run.stderr, "missing database")
    check(not os.path.exists(os.path.join(work, "missing.db")), "a question creates nothing")

    text = os.path.join(work, "notes.txt")
    write(text, "just some text, not a database at all\n" * 100)
    ours = os.path.join(work, "ours.db")
    check(xref("load", ours, good).returncode == 0, "load a database to compare with")
    for args in ((text, "stats"), ("load", text, good), ("diff", text, ours),
                 ("diff", ours, text)):
        run = xref(*args)
        check(run.returncode == 2 and f"{text} is not a kvr-xref database" in run.stderr,
              f"a text file, named ({' '.join(args[:2])}): {run.stderr.strip()}")
    with open(text, encoding="utf-8") as handle:
        check(handle.read().startswith("just some text"), "the text file is untouched")

    other = os.path.join(work, "other.db")
    with sqlite3.connect(other) as connection:
        connection.execute("CREATE TABLE customer (id INTEGER, name TEXT)")
        connection.execute("INSERT INTO customer VALUES (1, 'x')")
    for args in ((other, "dataset", "X"), ("load", other, good), ("diff", other, ours),
                 ("diff", ours, other)):
        run = xref(*args)
        check(run.returncode == 2 and "is not a kvr-xref database" in run.stderr,
              f"another application's database ({' '.join(args[:2])})")
    check(dump(other)[-2:] != [] and "customer" in "".join(dump(other)), "it is untouched")

    versioned = os.path.join(work, "v99.db")
    check(xref("load", versioned, good).returncode == 0, "load a database to age it")
    with sqlite3.connect(versioned) as connection:
        connection.execute("PRAGMA user_version = 99")
    for args in ((versioned, "stats"), ("load", versioned, good), ("diff", versioned, ours),
                 ("diff", ours, versioned)):
        run = xref(*args)
        check(run.returncode == 2 and "schema version 99" in run.stderr,
              f"another schema version ({' '.join(args[:2])}): {run.stderr.strip()}")

    empty = os.path.join(work, "empty.db")
    write(empty, "")
    run = xref(empty, "stats")
    check(run.returncode == 2, "an empty file is no database to ask")
    for args in (("diff", empty, ours), ("diff", ours, empty)):
        run = xref(*args)
        check(run.returncode == 2 and "is not a kvr-xref database" in run.stderr,
              f"nor to compare ({' '.join(args)})")
    check(os.path.getsize(empty) == 0, "and diff leaves it empty")
    check(xref("load", empty, good).returncode == 0, "but one to load into")


def command_line():
    run = xref("--help")
    check(run.returncode == 0, "--help exits 0")
    for question in QUESTIONS + ["graph", "report", "diff"]:
        check(f"\n  {question} " in run.stdout, f"--help lists {question}")
    for args in ((), ("db.sqlite",), ("db.sqlite", "dataset"), ("db.sqlite", "nosuch", "X"),
                 ("load", "db.sqlite"), ("db.sqlite", "lineage", "A", "--depth", "-1"),
                 ("db.sqlite", "load", "x.db", "y.import"), ("diff", "old.db"),
                 ("diff", "old.db", "new.db", "extra.db"), ("db.sqlite", "diff", "a.db", "b.db"),
                 ("diff", "old.db", "new.db", "--format", "csv")):
        run = xref(*args)
        check(run.returncode == 2 and run.stderr != "", f"usage error: {' '.join(args)}")


def graph_and_report(work):
    """Graph and report usage errors (on a database that is there, so that only the command
    line can be at fault) exit with 2; output that cannot be written is said, with 1."""
    db = os.path.join(work, "out.db")
    good = os.path.join(work, "good.import")
    check(xref("load", db, good).returncode == 0, "load for the graph and report cases")
    for args in (("graph", "--format", "dot"),
                 ("graph", "--job", "J", "--dataset", "D", "--format", "dot"),
                 ("graph", "--job", "J"), ("graph", "--job", "J", "--format", "svg"),
                 ("graph", "--job", "J", "--format", "dot", "--max-nodes", "0"), ("report",)):
        run = xref(db, *args)
        check(run.returncode == 2 and run.stderr != "" and "database" not in run.stderr,
              f"usage error: {' '.join(args)}: {run.stderr.strip()}")
    blocker = os.path.join(work, "a-file")
    write(blocker, "not a folder")
    for args, what in ((("graph", "--dataset", "A.B", "--format", "dot", "-o",
                         os.path.join(blocker, "g.dot")), "a graph into a file's place"),
                       (("report", blocker), "a report into a file")):
        run = xref(db, *args)
        check(run.returncode == 1 and run.stderr.startswith("kvr-xref: "),
              f"{what}: {run.stderr.strip()}")
    # diff keeps 1 for "there are differences": its failures are 2.
    run = xref("diff", db, db, "-o", os.path.join(blocker, "d.txt"))
    check(run.returncode == 2 and run.stderr.startswith("kvr-xref: cannot write"),
          f"differences into a file's place: {run.stderr.strip()}")


def main():
    with tempfile.TemporaryDirectory(prefix="xref-fault-") as work:
        killed_load(work)
        unreadable_record(work)
        foreign_databases(work)
        command_line()
        graph_and_report(work)
    print(f"{0 if failures else 1} passed, {1 if failures else 0} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
