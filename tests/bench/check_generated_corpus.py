#!/usr/bin/env python3
"""Checks the benchmark corpus generator: two runs write identical folders, and kvr4000
analyses the result cleanly. Every member must be framed by START JCL / END JCL 0 C, hold
exactly one job, get one PROC PARM record per cataloged procedure its cards call and one
INCL 3 record per INCLUDE card; the log may hold informational messages only.

usage: check_generated_corpus.py GENERATOR KVR4000
"""
import filecmp
import os
import re
import subprocess
import sys
import tempfile

MEMBERS = 50
CATALOGED_CALL = re.compile(rb"^//\S+ +EXEC +((?:PRC|OPR)\d{4})\b")
INCLUDE_CARD = re.compile(rb"^// +INCLUDE +MEMBER=(\w+)")
LOG_SEVERITY = re.compile(r"^KVR\d{4}([IWES])")


def generate(generator, folder):
    subprocess.run([generator, folder, str(MEMBERS)], check=True, stdout=subprocess.DEVNULL)


def same_tree(left, right):
    """True when both folders hold the same files with the same bytes."""
    compare = filecmp.dircmp(left, right)
    if compare.left_only or compare.right_only or compare.funny_files:
        return False
    _, mismatch, errors = filecmp.cmpfiles(left, right, compare.common_files, shallow=False)
    return not mismatch and not errors and all(
        same_tree(os.path.join(left, sub), os.path.join(right, sub)) for sub in compare.common_dirs)


def expected_per_member(folder):
    """Per member, in file-list order: (name, cataloged calls, INCLUDE cards) from its cards."""
    members = []
    with open(os.path.join(folder, "filelist.txt"), encoding="ascii") as handle:
        for line in handle:
            container, name = line.split()
            with open(os.path.join(folder, container, name), "rb") as member:
                cards = member.read().split(b"\n")
            calls = [m.group(1).decode() for m in map(CATALOGED_CALL.match, cards) if m]
            includes = [m.group(1).decode() for m in map(INCLUDE_CARD.match, cards) if m]
            members.append((name, calls, includes))
    return members


def analysed_per_member(import_path):
    """Per framed member: (job names, PROC PARM procedure names, INCL 3 names, END record)."""
    members, current = [], None
    with open(import_path, encoding="latin-1") as handle:
        for line in handle.read().split("\n"):
            if line == "START JCL":
                current = ([], [], [], None)
            elif current is None:
                continue
            elif line.startswith("JOB START "):
                current[0].append(line.split()[2])
            elif re.match(r"^PROC PARM (PRC|OPR)\d{4}$", line):
                current[1].append(line.split()[2])
            elif line.startswith("INCL 3 "):
                current[2].append(line.split()[2])
            elif line.startswith("END JCL"):
                members.append(current[:3] + (line,))
                current = None
    return members


def main():
    generator, binary = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    failures = []
    with tempfile.TemporaryDirectory() as work:
        first, second = os.path.join(work, "first"), os.path.join(work, "second")
        generate(generator, first)
        generate(generator, second)
        if not same_tree(first, second):
            failures.append("two runs of the generator wrote different corpora")

        import_path, log_path = os.path.join(work, "out.import"), os.path.join(work, "out.log")
        env = dict(os.environ)
        env.update({"DD:FILELIST": "filelist.txt", "DD:JCLLIB": "jcllib.txt",
                    "DD:XLATLIBS": "xlatlibs.txt", "DD:ATTRBOUT": import_path,
                    "DD:RDPRINT": log_path})
        rc = subprocess.run([binary], cwd=first, env=env, stdout=subprocess.DEVNULL).returncode
        if rc != 0:
            failures.append(f"kvr4000 ended with {rc}, expected 0")
        with open(log_path, encoding="latin-1") as handle:
            for line in handle:
                match = LOG_SEVERITY.match(line)
                if match and match.group(1) != "I":
                    failures.append(f"log: {line.rstrip()}")

        expected = expected_per_member(first)
        analysed = analysed_per_member(import_path)
        if len(expected) != MEMBERS or len(analysed) != MEMBERS:
            failures.append(f"{len(expected)} members listed, {len(analysed)} framed, "
                            f"expected {MEMBERS}")
        for (name, calls, includes), (jobs, procs, incls, end) in zip(expected, analysed):
            if jobs != [name]:
                failures.append(f"{name}: jobs {jobs}")
            if procs != calls:
                failures.append(f"{name}: procedures {procs}, cards call {calls}")
            if incls != includes:
                failures.append(f"{name}: INCL 3 {incls}, cards include {includes}")
            if end != "END JCL 0 C":
                failures.append(f"{name}: {end}")
        if not any(calls for _, calls, _ in expected) or not any(inc for _, _, inc in expected):
            failures.append("the corpus calls no cataloged procedure or INCLUDE member")

    for failure in failures[:20]:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
