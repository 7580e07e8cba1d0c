#!/usr/bin/env python3
"""kvr-scan --db DB --incremental: only what changed is analysed again, and DB ends as a full
scan of the same libraries leaves it.

A small library of its own (five jobs, a procedure in a library the translation table maps,
one in the search list, an INCLUDE member, a job that calls a procedure no folder holds) is
scanned incrementally while its files change one at a time. After each change the members
analysed again are exactly those worked out by hand from the library, and the database
holds what a plain --db scan into a new database holds: the first time row for row (the
same load), later row for row with each id taken as the row it names (a member loaded again
gets new row ids for its jobs, steps and messages).

  kvr_scan_incremental_test.py KVR_SCAN KVR4000 KVR_XREF
"""
import os
import re
import shutil
import sqlite3
import subprocess
import sys
import tempfile

SCAN, KVR4000, XREF = (os.path.abspath(p) for p in sys.argv[1:4])
failures = []

FILES = {
    "xlatlibs.txt": "TEST.PROCLIB LIBP\n",
    "LIBP/PROCA": "//PROCA    PROC\n"
                  "//PA1      EXEC PGM=PGMA\n"
                  "//OUT      DD DSN=TEST.A.OUT,DISP=(NEW,CATLG,DELETE)\n",
    "PROCS/PROCB": "//PROCB    PROC\n"
                   "//PB1      EXEC PGM=PGMB\n"
                   "//IN       DD DSN=TEST.A.OUT,DISP=SHR\n",
    "INCS/INCA": "//INC1     EXEC PGM=IEFBR14\n"
                 "//OLD      DD DSN=TEST.OLD,DISP=(MOD,DELETE,DELETE)\n",
    "JOBS/JOBA": "//JOBA     JOB (ACCT),'A',CLASS=A\n"
                 "//         JCLLIB ORDER=(TEST.PROCLIB)\n"
                 "//S1       EXEC PROCA\n",
    "JOBS/JOBB": "//JOBB     JOB (ACCT),'B',CLASS=A\n"
                 "//         JCLLIB ORDER=(TEST.PROCLIB)\n"
                 "//S1       EXEC PROCA\n"
                 "//         INCLUDE MEMBER=INCA\n",
    "JOBS/JOBC": "//JOBC     JOB (ACCT),'C',CLASS=A\n"
                 "//S1       EXEC PROCB\n",
    "JOBS/JOBD": "//JOBD     JOB (ACCT),'D',CLASS=A\n"
                 "//S1       EXEC PGM=PGMD\n"
                 "//OUT      DD DSN=TEST.D.OUT,DISP=(NEW,CATLG)\n",
    "JOBS/JOBE": "//JOBE     JOB (ACCT),'E',CLASS=A\n"
                 "//S1       EXEC PROCX\n",
}


def check(condition, what):
    print(("ok: " if condition else "FAIL: ") + what)
    if not condition:
        failures.append(what)


def write(library, name, text):
    path = os.path.join(library, name)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="ascii") as handle:
        handle.write(text)


def environment():
    env = {k: v for k, v in os.environ.items() if not k.startswith(("DD:", "DD_"))}
    env.update({"KVR4000": KVR4000, "KVR_XREF": XREF, "SOURCE_DATE_EPOCH": "1767225600"})
    return env


def scan(library, db, *options, analyzer_options=()):
    """kvr-scan of the library's jobs into DB; OPTIONS before the job folder."""
    extra = ["--", *analyzer_options] if analyzer_options else []
    return subprocess.run(
        [SCAN, "-o", os.path.join(library, "..", "scan.import"), "-l",
         os.path.join(library, "..", "scan.log"), "--db", db, *options, "JOBS", "-p", "INCS",
         "PROCS", "-t", "xlatlibs.txt", *extra],
        cwd=library, env=environment(), capture_output=True, text=True, timeout=120)


def incremental(library, db, what, *options, analyzer_options=(), code=0):
    """An incremental scan: the members it analysed and dropped, as -v names them. CODE: the
    exit code, 4 when JOBE is analysed while PROCX is missing (the warning 1309)."""
    run = scan(library, db, "--incremental", "-v", "-j", "2", *options,
               analyzer_options=analyzer_options)
    check(run.returncode == code, f"{what}: exit code {run.returncode}: {run.stderr.strip()}")
    analysed = set(re.findall(r"^kvr-scan: analysing (\S+): ", run.stderr, re.M))
    dropped = set(re.findall(r"^kvr-scan: dropping (\S+): ", run.stderr, re.M))
    return analysed, dropped, run.stderr


def full_scan(library, work, name, *options, analyzer_options=(), code=4):
    """A plain --db scan into a new database; exit code 4 while PROCX is missing."""
    db = os.path.join(work, name)
    run = scan(library, db, *options, analyzer_options=analyzer_options)
    check(run.returncode == code, f"full scan {name}: exit code {run.returncode}: {run.stderr}")
    return db


def tables(connection):
    return [row[0] for row in connection.execute(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY name")]


def exact_rows(db):
    """Every table but the scan's own bookkeeping (source_hash), row by row, ids as they are."""
    with sqlite3.connect(db) as connection:
        return {table: sorted(map(repr, connection.execute(f'SELECT * FROM "{table}"')))
                for table in tables(connection) if table != "source_hash"}


# The table each id column names a row of.
REFERENCES = {"container_id": "container", "member_id": "member", "source_id": "member",
              "procedure_id": "member", "program_id": "program", "run_unit_program_id": "program",
              "dataset_id": "dataset", "job_id": "job", "step_id": "step",
              "proc_call_id": "proc_call"}


def natural_keys(connection):
    """For each table with an id, the id of each row as what the row is: a name, a member by
    container and name, a job by member and ordinal, a step or message by its place among
    those of its job or member (in load order, which a load keeps)."""
    keys = {}
    for table in ("container", "program", "dataset"):
        keys[table] = dict(connection.execute(f"SELECT id, name FROM {table}"))
    keys["member"] = {i: (keys["container"][c], n) for i, c, n in
                      connection.execute("SELECT id, container_id, name FROM member")}
    keys["job"] = {i: (keys["member"][m], o) for i, m, o in
                   connection.execute("SELECT id, member_id, ordinal FROM job")}
    keys["proc_call"] = {i: (keys["job"][j], o) for i, j, o in
                         connection.execute("SELECT id, job_id, ordinal FROM proc_call")}
    for table, parent, owner in (("step", "job", "job_id"), ("message", "member", "member_id")):
        places = {}
        for i, o in connection.execute(f"SELECT id, {owner} FROM {table} ORDER BY id"):
            places[i] = (keys[parent][o], sum(1 for k in places.values() if k[0] == keys[parent][o]))
        keys[table] = places
    return keys


def rows_by_meaning(db):
    """Every table but source_hash, each id replaced by the natural key of its row."""
    with sqlite3.connect(db) as connection:
        keys = natural_keys(connection)
        result = {}
        for table in tables(connection):
            if table == "source_hash":
                continue
            cursor = connection.execute(f'SELECT * FROM "{table}"')
            columns = [c[0] for c in cursor.description]
            if "id" in columns and table not in keys:
                raise AssertionError(f"no natural key for the ids of table {table}")
            rows = []
            for row in cursor:
                rows.append(repr(tuple(
                    keys[table][value] if column == "id" else
                    keys[REFERENCES[column]].get(value) if column in REFERENCES and value is not None
                    else value for column, value in zip(columns, row))))
            result[table] = sorted(rows)
        return result


def same_as_full(db, full, what):
    mine, theirs = rows_by_meaning(db), rows_by_meaning(full)
    differing = [t for t in sorted(set(mine) | set(theirs)) if mine.get(t) != theirs.get(t)]
    check(not differing, f"{what}: the database equals a full scan's (differing: {differing})")


def content(path):
    with open(path, "rb") as handle:
        return handle.read()


def hashes_stored(db):
    with sqlite3.connect(db) as connection:
        return connection.execute("SELECT count(*) FROM source_hash").fetchone()[0]


def main():
    work = tempfile.mkdtemp(prefix="kvr-scan-incremental.")
    library = os.path.join(work, "lib")
    for name, text in FILES.items():
        write(library, name, text)
    db = os.path.join(work, "inc.db")
    try:
        # The first incremental scan analyses everything and loads as a plain scan does.
        analysed, dropped, said = incremental(library, db, "first scan", code=4)
        check(analysed == {"JOBS/JOBA", "JOBS/JOBB", "JOBS/JOBC", "JOBS/JOBD", "JOBS/JOBE"}
              and not dropped, f"first scan: every member is new ({sorted(analysed)})")
        check("incremental scan: 5 of 5 members to analyse, 0 to drop" in said,
              "first scan: the summary line")
        full = full_scan(library, work, "full1.db")
        check(exact_rows(db) == exact_rows(full), "first scan: row for row a plain --db scan's")
        # JOBA 2 sources, JOBB 3, JOBC 2, JOBD 1, JOBE 1 (itself; PROCX was not found).
        check(hashes_stored(db) == 9, f"first scan: 9 source hashes ({hashes_stored(db)})")

        # Nothing changed (a file's time alone is no change): nothing analysed, DB untouched.
        before = content(db)
        os.utime(os.path.join(library, "LIBP/PROCA"))
        analysed, dropped, said = incremental(library, db, "unchanged")
        check(not analysed and not dropped, f"unchanged: nothing analysed ({sorted(analysed)})")
        check("0 of 5 members to analyse, 0 to drop" in said, "unchanged: the summary line")
        check(content(db) == before, "unchanged: the database file is byte for byte the same")

        # The procedure in the translated library: JOBA and JOBB call it.
        write(library, "LIBP/PROCA", FILES["LIBP/PROCA"].replace("PGM=PGMA", "PGM=PGMAX"))
        analysed, dropped, _ = incremental(library, db, "PROCA changed")
        check(analysed == {"JOBS/JOBA", "JOBS/JOBB"} and not dropped,
              f"PROCA changed: JOBA and JOBB analysed ({sorted(analysed)})")
        same_as_full(db, full_scan(library, work, "full2.db"), "PROCA changed")

        # The INCLUDE member: JOBB alone includes it.
        write(library, "INCS/INCA", FILES["INCS/INCA"] + "//NEW      DD DSN=TEST.NEW,DISP=SHR\n")
        analysed, dropped, _ = incremental(library, db, "INCA changed")
        check(analysed == {"JOBS/JOBB"}, f"INCA changed: JOBB analysed ({sorted(analysed)})")
        same_as_full(db, full_scan(library, work, "full3.db"), "INCA changed")

        # A job's own text.
        write(library, "JOBS/JOBC", FILES["JOBS/JOBC"] + "//S2       EXEC PGM=PGMC\n")
        analysed, dropped, _ = incremental(library, db, "JOBC changed")
        check(analysed == {"JOBS/JOBC"}, f"JOBC changed: JOBC analysed ({sorted(analysed)})")
        same_as_full(db, full_scan(library, work, "full4.db"), "JOBC changed")

        # A member deleted is dropped; its data set and program go with it.
        os.remove(os.path.join(library, "JOBS/JOBD"))
        analysed, dropped, said = incremental(library, db, "JOBD deleted")
        check(not analysed and dropped == {"JOBS/JOBD"}, f"JOBD deleted: dropped ({dropped})")
        check("0 of 4 members to analyse, 1 to drop" in said, "JOBD deleted: the summary line")
        same_as_full(db, full_scan(library, work, "full5.db"), "JOBD deleted")

        # A new member.
        write(library, "JOBS/JOBF", "//JOBF     JOB (ACCT),'F',CLASS=A\n//S1       EXEC PROCB\n")
        analysed, dropped, _ = incremental(library, db, "JOBF added")
        check(analysed == {"JOBS/JOBF"}, f"JOBF added: JOBF analysed ({sorted(analysed)})")
        same_as_full(db, full_scan(library, work, "full6.db"), "JOBF added")

        # The procedure JOBE missed appears in the search list.
        write(library, "PROCS/PROCX", "//PROCX    PROC\n//PX1      EXEC PGM=PGMX\n")
        analysed, dropped, _ = incremental(library, db, "PROCX appeared")
        check(analysed == {"JOBS/JOBE"}, f"PROCX appeared: JOBE analysed ({sorted(analysed)})")
        full = full_scan(library, work, "full7.db", code=0)
        same_as_full(db, full, "PROCX appeared")
        with sqlite3.connect(db) as connection:
            missing = connection.execute("SELECT count(*) FROM missing").fetchone()[0]
        check(missing == 0, "PROCX appeared: nothing is missing any more")

        # Again nothing to do.
        before = content(db)
        analysed, dropped, _ = incremental(library, db, "unchanged again")
        check(not analysed and not dropped and content(db) == before,
              f"unchanged again: nothing analysed, the database the same ({sorted(analysed)})")

        # Other settings (an option for kvr4000, XML) make every member look changed.
        analysed, _, _ = incremental(library, db, "-g", analyzer_options=["-g"])
        check(len(analysed) == 5, f"an analyzer option: all 5 members analysed ({len(analysed)})")
        analysed, _, _ = incremental(library, db, "XML", "-x", analyzer_options=["-g"])
        check(len(analysed) == 5, f"-x: all 5 members analysed ({len(analysed)})")
        same_as_full(db, full_scan(library, work, "full8.db", "-x", analyzer_options=["-g"], code=0),
                     "-x -g")

        # A plain --db scan loads without hashes: the next incremental scan analyses all again.
        full_scan(library, work, "inc.db", code=0)
        analysed, _, _ = incremental(library, db, "after a plain scan", "-x",
                                     analyzer_options=["-g"])
        check(len(analysed) == 5, f"after a plain scan: all 5 analysed ({len(analysed)})")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
