#!/usr/bin/env python3
"""Compares what kvr4000 found in each member of the real-JCL corpus with the counts made
independently for it (kvr/expect.csv and kvr/expect-refs.csv of each repository).

The text import file of each repository is cut into members at its START JCL records, in
file-list order, and each member's records are counted:
  jobs       JOB START records
  exec_pgm   STEP records of the job's own steps (no procedure step name)
  proc       procedure calls: PROC PARM records naming a procedure (NAME or PROC=NAME)
  missing    the names of KVR1309 messages (a procedure or INCLUDE member found in no
             library: reported once per member, later calls of the name expand to nothing)
  include    INCL 1 records (the INCLUDE members read, each named once)
  dsn_run    the programs of RU records naming a DB2 subsystem (DSN=)
  ims        the programs of the RU records of DFSRRC00 steps
Every difference must be listed in known-differences.md ("- `repo/member`: field, ...", one
line each, under a heading that gives the reason); a listed member that no longer differs is reported too, so the list stays
true. With the XML output of the same run, each member's XML must hold as many job and step
elements as its text records name jobs and steps. Exit code 0 when all this holds, else 1.

Usage: compare_counts.py CORPUS_DIR TEXT_OUTPUT_DIR KNOWN_DIFFERENCES [XML_OUTPUT_DIR]
"""
import csv
import re
import sys
from collections import Counter
from pathlib import Path

FIELDS = ("jobs", "exec_pgm", "proc", "missing", "include", "dsn_run", "ims")


def members_of(import_file, start="START JCL", end="END JCL "):
    """The record lists of the members, START JCL to END JCL (or <jcl> to </jcl>)."""
    members, current = [], None
    for line in import_file.read_text(encoding="latin-1").splitlines():
        if line.strip() == start:
            current = []
        elif line.strip().startswith(end) and current is not None:
            members.append(current)
            current = None
        elif current is not None:
            current.append(line)
    return members


def is_job_step(record):
    """A STEP record whose procedure step field (after the quoted PARM) is empty."""
    return record[record.rfind('"') + 1:].strip() == ""


def found_counts(records):
    counts = Counter()
    dsn, ims = [], []
    missing = set()
    step_program = ""
    for record in records:
        step = re.match(r"STEP \d+ \S+ (\S+)", record)
        if step:
            step_program = step.group(1)
        if record.startswith("JOB START "):
            counts["jobs"] += 1
        elif step:
            counts["exec_pgm"] += is_job_step(record)
        elif record.startswith("PROC PARM "):
            value = record[len("PROC PARM "):]
            counts["proc"] += "=" not in value or value.startswith("PROC=")
        elif record.startswith("MSG ") and " 1309 " in record:
            missing.add(record.split("Member ", 1)[-1].split(" ")[0])
        elif record.startswith("INCL 1 "):
            counts["include"] += 1
        elif record.startswith("RU "):
            words = record.split()
            if any(w.startswith("DSN=") for w in words):
                dsn.append(words[1])
            if step_program == "DFSRRC00" and words[1] != "DFSRRC00":
                ims.append(words[1])
    counts["missing"] = len(missing)
    counts["dsn_run"] = ";".join(dsn)
    counts["ims"] = ";".join(ims)
    return counts


def xml_disagreements(key, text_records, xml_records):
    """Jobs and steps named by the text records of a member against its XML elements."""
    text_jobs = sum(r.startswith("JOB START ") for r in text_records)
    text_steps = sum(bool(re.match(r"STEP \d+ ", r)) for r in text_records)
    xml_jobs = sum(r.strip().startswith("<job ") for r in xml_records)
    xml_steps = sum(r.strip() == "<step>" for r in xml_records)
    if (text_jobs, text_steps) == (xml_jobs, xml_steps):
        return []
    return [f"{key}: text names {text_jobs} jobs and {text_steps} steps, "
            f"XML holds {xml_jobs} and {xml_steps}"]


def expected_counts(repo):
    kvr = repo / "kvr"
    refs = {}
    with open(kvr / "expect-refs.csv", newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            member = refs.setdefault(row["member"], Counter())
            if row["kind"] == "proc":
                member["proc"] += 1
            if row["kind"] in ("proc", "include") and row["status"] == "missing":
                member.setdefault("missing_names", set()).add(row["name"].upper())
            if row["kind"] == "include" and row["status"] == "found":
                member.setdefault("include_files", set()).add(row["detail"])
    expected = []
    with open(kvr / "expect.csv", newline="", encoding="utf-8") as f:
        for row in csv.DictReader(f):
            counts = Counter(refs.get(row["member"], Counter()))
            counts["missing"] = len(counts.pop("missing_names", set()))
            counts["include"] = len(counts.pop("include_files", set()))
            counts["jobs"] = int(row["jobs"])
            counts["exec_pgm"] = int(row["exec_pgm"])
            counts["dsn_run"] = row["dsn_run_programs"]
            counts["ims"] = row["ims_programs"]
            expected.append((row["member"], counts))
    return expected


def read_known(path):
    """repo/member -> the set of fields listed as differing."""
    known = {}
    for line in Path(path).read_text(encoding="utf-8").splitlines():
        match = re.match(r"^- `([^`]+)`: ([a-z_, ]+)", line)
        if match:
            known[match.group(1)] = {f.strip() for f in match.group(2).split(",")}
    return known


def main():
    corpus, outdir, known_file = Path(sys.argv[1]), Path(sys.argv[2]), sys.argv[3]
    xml_dir = Path(sys.argv[4]) if len(sys.argv) > 4 else None
    known = read_known(known_file)
    problems, explained = [], 0
    for repo in sorted(p for p in corpus.iterdir() if (p / "kvr" / "expect.csv").is_file()):
        found = members_of(outdir / f"{repo.name}.import")
        expected = expected_counts(repo)
        if len(found) != len(expected):
            problems.append(f"{repo.name}: {len(found)} members framed, {len(expected)} listed")
            continue
        xml = members_of(xml_dir / f"{repo.name}.import", "<jcl>", "</jcl>") if xml_dir else []
        for index, ((member, want), records) in enumerate(zip(expected, found)):
            got = found_counts(records)
            key = f"{repo.name}/{member}"
            if xml_dir:
                problems += xml_disagreements(key, records, xml[index] if index < len(xml) else [])
            differing = {f for f in FIELDS if got[f] != want[f]}
            listed = known.pop(key, set())
            if differing and differing <= listed:
                explained += 1
                continue
            if differing:
                details = ", ".join(f"{f} {got[f]!r} expected {want[f]!r}"
                                    for f in FIELDS if f in differing - listed)
                problems.append(f"{key}: {details}")
            elif listed:
                problems.append(f"{key}: listed as differing in {', '.join(sorted(listed))} "
                                "but agrees with the counts")
    problems += [f"{key}: listed but not in any file list" for key in known]
    for problem in problems:
        print(problem)
    print(f"{explained} listed differences explained, {len(problems)} unexplained")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
