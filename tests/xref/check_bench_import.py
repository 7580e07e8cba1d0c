#!/usr/bin/env python3
"""Differential check of kvr-xref load against the import file itself.

Generates a benchmark corpus of a few hundred members, analyses it with kvr4000 in text and
in XML form, loads both into databases, then reads the text import file here, on its own
terms, and checks that every DD START .. DD END group is exactly one dd row with the same
fields, and every STEP record exactly one step row. The XML database must hold the same
(less the FTP server, which the XML form does not carry).

  check_bench_import.py GENERATOR KVR4000 KVR_XREF [MEMBERS]
"""
import collections
import os
import sqlite3
import subprocess
import sys
import tempfile


def analyse(kvr4000, corpus, output, xml):
    env = {k: v for k, v in os.environ.items() if not k.startswith(("DD:", "DD_"))}
    env.update({"DD:FILELIST": "filelist.txt", "DD:JCLLIB": "jcllib.txt",
                "DD:XLATLIBS": "xlatlibs.txt", "DD:ATTRBOUT": output,
                "DD:RDPRINT": output + ".log"})
    run = subprocess.run([kvr4000] + (["-x"] if xml else []), cwd=corpus, env=env)
    if run.returncode > 4:
        raise SystemExit(f"kvr4000 ended with {run.returncode}")


def words(text):
    """Blank-separated words; a word in double quotes may hold blanks."""
    out, rest = [], text.strip()
    while rest:
        if rest.startswith('"'):
            end = rest.index('"', 1)
            out.append(rest[1:end])
            rest = rest[end + 1:].lstrip()
        else:
            word, _, rest = rest.partition(" ")
            out.append(word)
            rest = rest.lstrip()
    return out


def read_text_import(path):
    """The STEP records and DD groups of the import file, with their member and job."""
    steps, groups = [], []
    with open(path, encoding="utf-8", errors="surrogateescape") as handle:
        for line in handle:
            line = line.rstrip("\n")
            if line == "START JCL":
                member_steps, member_groups, job, step, group, name = [], [], 0, None, None, None
                in_job = False
            elif line.startswith("JOB START "):
                job, step, in_job = job + 1, None, True
            elif line == "JOB END":
                in_job = False
            elif line.startswith("INCL 0 ") and not in_job and name is None:
                # After the jobs the first INCL 0 record names the member analysed.
                member, container = words(line[7:])[:2]
                name = (container, member)
            elif line.startswith("STEP ") and not line.startswith(("STEP LINES ", "STEP PARM ")):
                number, stepname, program, rest = line[5:].split(" ", 3)
                parm = rest[rest.index('"') + 1:rest.rindex('"')]
                procstep = rest[rest.rindex('"') + 1:].strip()
                step = int(number)
                member_steps.append((job, step, stepname, program, parm or None, procstep or None))
            elif line.startswith("DD START "):
                group = {"name": line[9:], "seq": None, "dsn": None, "stat": None,
                         "disp": None, "server": None}
            elif line == "DD END":
                member_groups.append((job, step, group["name"], group["seq"], group["dsn"],
                                      group["stat"], group["disp"], group["server"]))
                group = None
            elif group is not None and line.startswith("DD SEQ "):
                group["seq"] = int(line[7:])
            elif group is not None and line.startswith("DD DSN "):
                group["dsn"] = line[7:].lstrip()
            elif group is not None and line.startswith("DD STAT "):
                group["stat"] = line[8:]
            elif group is not None and line.startswith("DD DISP "):
                group["disp"] = line[8:]
            elif group is not None and line.startswith("DD SERVER "):
                group["server"] = line[10:]
            elif line.startswith("END JCL") and name is not None:
                steps += [name + s for s in member_steps]
                groups += [name + g for g in member_groups]
    return steps, groups


STEP_ROWS = """
SELECT c.name, m.name, j.ordinal, s.number, s.name, p.name, s.parm, s.proc_step
FROM step s JOIN job j ON j.id = s.job_id JOIN member m ON m.id = j.member_id
JOIN container c ON c.id = m.container_id LEFT JOIN program p ON p.id = s.program_id
"""
DD_ROWS = """
SELECT c.name, m.name, j.ordinal, s.number, d.name, d.seq,
       CASE WHEN d.generation IS NULL THEN ds.name ELSE ds.name || '(' || d.generation || ')' END,
       d.status, d.disposition, d.server
FROM dd d JOIN job j ON j.id = d.job_id JOIN member m ON m.id = j.member_id
JOIN container c ON c.id = m.container_id LEFT JOIN step s ON s.id = d.step_id
LEFT JOIN dataset ds ON ds.id = d.dataset_id
"""


def compare(what, expected, actual):
    """Both as multisets; prints the first differences. True when equal."""
    want, got = collections.Counter(expected), collections.Counter(actual)
    if want == got:
        print(f"ok: {len(expected)} {what}")
        return True
    print(f"FAIL: {what}: {len(expected)} in the import file, {len(actual)} rows")
    for row in list((want - got).elements())[:5]:
        print(f"  missing row: {row}")
    for row in list((got - want).elements())[:5]:
        print(f"  extra row:   {row}")
    return False


def main():
    generator, kvr4000, xref = (os.path.abspath(p) for p in sys.argv[1:4])
    members = sys.argv[4] if len(sys.argv) > 4 else "300"
    with tempfile.TemporaryDirectory(prefix="xref-bench-") as work:
        corpus = os.path.join(work, "corpus")
        os.mkdir(corpus)
        subprocess.run([generator, corpus, members], check=True, stdout=subprocess.DEVNULL)
        text, xml = os.path.join(work, "bench.import"), os.path.join(work, "bench.xml")
        analyse(kvr4000, corpus, text, False)
        analyse(kvr4000, corpus, xml, True)
        for source, db in ((text, "text.db"), (xml, "xml.db")):
            subprocess.run([xref, "load", os.path.join(work, db), source], check=True,
                           stdout=subprocess.DEVNULL)
        steps, groups = read_text_import(text)
        if len(steps) < int(members) or len(groups) < 10 * int(members):
            print(f"FAIL: only {len(steps)} steps and {len(groups)} DD groups were read")
            return 1
        ok = True
        for db, label in (("text.db", "text"), ("xml.db", "XML")):
            with sqlite3.connect(os.path.join(work, db)) as connection:
                step_rows = connection.execute(STEP_ROWS).fetchall()
                dd_rows = connection.execute(DD_ROWS).fetchall()
            if label == "XML":  # the XML form has no DD SERVER records
                groups = [g[:-1] + (None,) for g in groups]
            ok &= compare(f"STEP records as step rows ({label})", steps, step_rows)
            ok &= compare(f"DD groups as dd rows ({label})", groups, dd_rows)
    print("1 passed, 0 failed" if ok else "0 passed, 1 failed")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
