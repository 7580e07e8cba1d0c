#!/usr/bin/env python3
"""Hostile inputs, made at test time: what a careless or malicious library can hold, and the
faults of the machine around the analyzer. Every case runs kvr4000 under a time limit and
checks that it ends by itself (no crash, no hang), with the exit code it documents, that
every member it was given is framed by START JCL and END JCL (<jcl> and </jcl> in XML) in
file-list order so the members after a bad one are analysed, that no record is longer than
2047 characters, and that every XML import file is well-formed (xmllint).

Usage: hostile_inputs_test.py KVR4000 [CASE...]
"""
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

BINARY = None
TIME_LIMIT = 60
FAILURES = []


def fail(case, text):
    FAILURES.append(f"{case}: {text}")
    print(f"FAIL {case}: {text}")


class Run:
    """One run of the analyzer in a folder of its own."""

    def __init__(self, work, args, env=None, xml=False, limit_memory=None, file_list=None):
        self.work = work
        self.xml = xml
        self.import_path = os.path.join(work, "out.xml" if xml else "out.txt")
        self.log_path = os.path.join(work, "run.log")
        for path in (self.import_path, self.log_path):
            if os.path.exists(path):
                os.remove(path)
        environment = {k: v for k, v in os.environ.items()
                       if not k.startswith(("DD:", "DD_")) and k not in ("LANG", "LC_ALL")}
        environment.update({"DD:ATTRBOUT": self.import_path, "DD:RDPRINT": self.log_path})
        if file_list is not None:
            environment["DD:FILELIST"] = file_list
        environment.update(env or {})
        argv = [BINARY] + (["-x"] if xml else []) + args
        if limit_memory is not None:
            argv = ["prlimit", f"--as={limit_memory}"] + argv
        try:
            done = subprocess.run(argv, cwd=work, env=environment, capture_output=True,
                                  timeout=TIME_LIMIT)
            self.rc = done.returncode
            self.stderr = done.stderr.decode("latin-1")
        except subprocess.TimeoutExpired:
            self.rc = None
            self.stderr = ""
        self.records = read(self.import_path)
        self.log = read(self.log_path).decode("latin-1")

    def members(self):
        """The members framed, as (START count, END count)."""
        text = self.records
        if self.xml:
            return (len(re.findall(rb"(?m)^ *<jcl>$", text)), len(re.findall(rb"(?m)^ *</jcl>$", text)))
        return (len(re.findall(rb"(?m)^START JCL$", text)), len(re.findall(rb"(?m)^END JCL ", text)))

    def end_codes(self):
        pattern = rb"(?m)^ *<returnCode>(\d+)</returnCode>$" if self.xml else rb"(?m)^END JCL (\d+) "
        return [int(code) for code in re.findall(pattern, self.records)]


def read(path):
    if not os.path.exists(path):
        return b""
    with open(path, "rb") as handle:
        return handle.read()


def write(path, content, mode="wb"):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, mode) as handle:
        handle.write(content if isinstance(content, bytes) else content.encode("latin-1"))


def well_formed(run):
    """xmllint on the XML import file, its containers wrapped in one root element."""
    body = run.records.split(b"\n", 1)[1] if b"\n" in run.records else b""
    check = subprocess.run(["xmllint", "--noout", "-"], input=b"<imports>\n" + body + b"</imports>\n",
                           capture_output=True)
    return check.returncode == 0, check.stderr.decode("latin-1")[:300]


def check(case, run, rc=None, members=None, rcs=None, codes=None):
    """The checks every case makes, and the exit code and member count it expects."""
    label = f"{case}{' (XML)' if run.xml else ''}"
    if run.rc is None:
        fail(label, f"did not end within {TIME_LIMIT} s")
        return
    if run.rc < 0 or run.rc > 16:
        fail(label, f"ended with {run.rc} (a signal or no severity); stderr: {run.stderr[-300:]}")
    allowed = rcs if rcs is not None else [rc]
    if rc is not None or rcs is not None:
        if run.rc not in allowed:
            fail(label, f"exit code {run.rc}, expected {allowed}; stderr: {run.stderr[-200:]}")
    starts, ends = run.members()
    if starts != ends:
        fail(label, f"{starts} members started, {ends} ended")
    if members is not None and ends != members:
        fail(label, f"{ends} members framed, expected {members}")
    if codes is not None and run.end_codes() != codes:
        fail(label, f"member return codes {run.end_codes()}, expected {codes}")
    for number, line in enumerate(run.records.split(b"\n"), 1):
        length = len(line.decode("utf-8", "replace")) if run.xml else len(line)
        if length > 2047:
            fail(label, f"record {number} has {length} characters")
            break
    if run.xml and run.records:
        ok, why = well_formed(run)
        if not ok:
            fail(label, f"XML import file not well-formed: {why}")


def both_forms(case, work, args, expect, **options):
    """Runs the case for the text and the XML import file with the same expectations."""
    runs = []
    for xml in (False, True):
        run = Run(work, args, xml=xml, **options)
        check(case, run, **expect)
        runs.append(run)
    return runs


def job(name, *cards):
    return "\n".join([f"//{name:<8} JOB (ACCT),CLASS=A"] + list(cards)) + "\n"


OK_MEMBER = job("OKJOB", "//S1       EXEC PGM=IEFBR14")


def file_list(work, lines):
    path = os.path.join(work, "list.txt")
    write(path, "".join(f"{line}\n" for line in lines))
    return path


# ------------------------------------------------------------------------------ the cases

def case_odd_bytes(work):
    """Binary members, UTF-16, bytes of other code pages and controls, between good members:
    each framed, the next analysed, the XML well-formed under every locale."""
    rng = random.Random(7)
    write(f"{work}/LIB/OK1", OK_MEMBER)
    write(f"{work}/LIB/BINARY", bytes(rng.randrange(256) for _ in range(20000)))
    write(f"{work}/LIB/UTF16", job("U16", "//S1 EXEC PGM=P").encode("utf-16"))
    write(f"{work}/LIB/BYTES", job("BYTES", "//S1 EXEC PGM=P,PARM='\xac=\x0e\x81\x0f\x1e\x1f'",
                                   "//* " + "X" * 64 + "\xc3\x84",
                                   "//IN DD *", "\x00\x01\x02 DATA \x7f\xff\xfe", "/*") + "\n")
    write(f"{work}/LIB/OK2", OK_MEMBER)
    listed = file_list(work, ["LIB OK1", "LIB BINARY", "LIB UTF16", "LIB BYTES", "LIB OK2"])
    for lang in ("", "ja_JP", "ko_KR", "en_US.UTF-8", "zh_TW"):
        for run in both_forms(f"odd bytes LANG={lang}", work, [], {"rcs": [4, 8], "members": 5},
                              file_list=listed, env={"LANG": lang}):
            if run.end_codes()[-1] != 0:
                fail("odd bytes", f"the member after the odd ones ended {run.end_codes()[-1]}")


def case_huge_lines_and_members(work):
    """A line of 8 MB without a line end, a member over the 16 MiB limit (1691, E) and a
    member of 200,000 cards: bounded, framed, the next member analysed."""
    os.makedirs(f"{work}/LIB")
    write(f"{work}/LIB/LONGLINE", "//LONG JOB (A)\n//S1 EXEC PGM=P,PARM='" + "L" * 8_000_000)
    with open(f"{work}/LIB/HUGE", "w") as handle:
        handle.write(job("HUGE", "//S1 EXEC PGM=P", "//IN DD *"))
        line = "DATA " + "D" * 74 + "\n"
        handle.write(line * (17 * 1024 * 1024 // len(line) + 10))
    with open(f"{work}/LIB/MANY", "w") as handle:
        handle.write(job("MANY", "//S1 EXEC PGM=P"))
        handle.write("".join(f"//DD{i % 1000:<6} DD DSN=A.B.C{i % 97},DISP=SHR\n" for i in range(200000)))
    write(f"{work}/LIB/OK", OK_MEMBER)
    listed = file_list(work, ["LIB LONGLINE", "LIB HUGE", "LIB MANY", "LIB OK"])
    run = Run(work, [], file_list=listed)
    check("huge lines and members", run, rc=8, members=4)
    if "KVR1691E" not in run.log:
        fail("huge member", "no 1691 for the member over the limit")
    if run.end_codes()[1] != 8 or run.end_codes()[-1] != 0:
        fail("huge member", f"return codes {run.end_codes()}")


def case_long_values(work):
    """A PARM of 2,250 characters made of SET symbols, a long job card and a long DD PARM:
    shortened inside the record with "...", 1690 once a member, structure whole."""
    sets = [f"//         SET S{i}='{chr(65 + i) * 50}'" for i in range(5)]
    refs = ",".join(f"&S{i}" for i in range(5))
    parm = ["//S1       EXEC PGM=P,PARM=(" + refs + ","] + \
           ["//             " + refs + "," for _ in range(8)] + ["//             LAST)"]
    dd = ["//DD1      DD DSN=A.B,DISP=SHR,DCB=(" + refs + ","] + \
         ["//             " + refs + "," for _ in range(8)] + ["//             LAST)"]
    card = [f"//LONGJOB  JOB ({refs},"] + [f"//             {refs}," for _ in range(8)] + ["//             X)"]
    write(f"{work}/LIB/MEM", "\n".join(card + sets + parm + dd) + "\n")
    for run in both_forms("long values", work, ["LIB", "MEM"], {"rc": 4, "members": 1}):
        if run.log.count("1690W") != 1:
            fail("long values", f"1690 written {run.log.count('1690W')} times, expected once")
        if not re.search(rb'\.\.\."\s*$|\.\.\.</parm>$|\.\.\."\s+$', run.records, re.M):
            fail("long values", "no value shortened with ... before its closing quote or tag")


def case_deep_and_recursive(work):
    """Includes 20 deep, a member including itself, two including each other, a procedure
    calling itself and two calling each other: refused at their limits, quickly."""
    for i in range(20):
        write(f"{work}/PROCS/INC{i}", f"//         INCLUDE MEMBER=INC{i + 1}\n//S{i} EXEC PGM=P{i}\n")
    write(f"{work}/PROCS/SELF", "//         INCLUDE MEMBER=SELF\n//         INCLUDE MEMBER=SELF\n")
    write(f"{work}/PROCS/PINGA", "//         INCLUDE MEMBER=PINGB\n")
    write(f"{work}/PROCS/PINGB", "//         INCLUDE MEMBER=PINGA\n")
    write(f"{work}/PROCS/RECP", "//RECP PROC\n//R1 EXEC RECP\n//R2 EXEC RECP\n")
    write(f"{work}/PROCS/CALLA", "//CALLA PROC\n//C1 EXEC CALLB\n//C2 EXEC CALLB\n")
    write(f"{work}/PROCS/CALLB", "//CALLB PROC\n//C1 EXEC CALLA\n//C2 EXEC CALLA\n")
    write(f"{work}/jcllib.txt", "PROCS\n")
    write(f"{work}/LIB/MEM", job("DEEP", "//         INCLUDE MEMBER=INC0", "//         INCLUDE MEMBER=SELF",
                                 "//         INCLUDE MEMBER=PINGA", "//A1 EXEC RECP", "//A2 EXEC CALLA"))
    write(f"{work}/LIB/OK", OK_MEMBER)
    listed = file_list(work, ["LIB MEM", "LIB OK"])
    both_forms("deep and recursive", work, [], {"rcs": [4], "members": 2},
               file_list=listed, env={"DD:JCLLIB": "jcllib.txt"})


def case_names_leaving_the_libraries(work):
    """Member and library names from JCL that point outside the configured folders: never
    opened, reported as missing; the secret's content never reaches the import file."""
    # Beside the folder of the run (../outside from it) and beside the library folder.
    for outside in (f"{work}/outside", f"{work}/run/outside"):
        write(f"{outside}/SECRET", "//S1 EXEC PGM=STOLEN\n")
        write(f"{outside}/SECRETP", "//SECRETP PROC\n//S1 EXEC PGM=STOLEN\n")
    write(f"{work}/run/PROCS/CTL", "DSN SYSTEM(DB2P)\nRUN PROGRAM(STOLEN) PLAN(X)\n")
    write(f"{work}/run/jcllib.txt", "PROCS\n")
    write(f"{work}/run/LIB/MEM", job(
        "ESCAPE", "//         INCLUDE MEMBER=../outside/SECRET", "//S2 EXEC ../outside/SECRETP",
        "//S3 EXEC PROC=../outside/SECRETP", "-INC ../outside/SECRET",
        "       ++INCLUDE ../outside/SECRET", "//         JCLLIB ORDER=(/etc,../outside,'/')",
        "//         INCLUDE MEMBER=PASSWD", "//         INCLUDE MEMBER=SECRET",
        "//S4 EXEC PGM=IKJEFT01", "//SYSTSIN DD DSN=/etc/passwd,DISP=SHR",
        "//         DD DSN=PROCS(../../outside/SECRET),DISP=SHR"))
    for run in both_forms("names leaving the libraries", f"{work}/run", ["LIB", "MEM"],
                          {"rc": 4, "members": 1}, env={"DD:JCLLIB": "jcllib.txt"}):
        if b"STOLEN" in run.records or b"root:" in run.records:
            fail("names leaving the libraries", "content from outside the libraries in the import")
        if run.log.count("1309W") < 4:
            fail("names leaving the libraries", "the names were not reported as missing")


def case_fifos_and_devices(work):
    """FIFOs and devices where members, procedures, includes, data sets and the control file
    are looked for: nothing blocks or reads without end."""
    os.makedirs(f"{work}/LIB")
    os.makedirs(f"{work}/PROCS")
    os.mkfifo(f"{work}/LIB/FIFO")
    os.mkfifo(f"{work}/PROCS/FIFOP")
    os.symlink("/dev/zero", f"{work}/LIB/ZERO")
    os.symlink("/dev/zero", f"{work}/PROCS/ZEROP")
    os.symlink("/dev/urandom", f"{work}/PROCS/RANDOM")
    write(f"{work}/jcllib.txt", "PROCS\n")
    write(f"{work}/xlat.txt", "MY.CTL PROCS\n")
    write(f"{work}/LIB/MEM", job(
        "DEVICES", "//S1 EXEC FIFOP", "//S2 EXEC ZEROP", "//         INCLUDE MEMBER=RANDOM",
        "//         JCLLIB ORDER=(/dev)", "//         INCLUDE MEMBER=ZERO",
        "//S3 EXEC PGM=IKJEFT01", "//SYSTSIN DD DSN=MY.CTL(FIFOP),DISP=SHR",
        "//         DD DSN=MY.CTL(ZEROP),DISP=SHR"))
    write(f"{work}/LIB/OK", OK_MEMBER)
    listed = file_list(work, ["LIB FIFO", "LIB ZERO", "LIB MEM", "LIB OK"])
    for mode in ([], ["-f"]):
        both_forms(f"FIFOs and devices {mode}", work, mode, {"rc": 8, "members": 4, "codes": None},
                   file_list=listed, env={"DD:JCLLIB": "jcllib.txt", "DD:XLATLIBS": "xlat.txt",
                                          "DD:KVRPCTL": "/dev/urandom"})


def case_memory_limits(work):
    """Address-space limits from where the program barely starts to where a big member runs
    out: exit 0 or 16 (or "not enough memory to start"), never an abort; every member that
    was started is framed; after 1450 the run ends."""
    os.makedirs(f"{work}/LIB")
    with open(f"{work}/LIB/BIG", "w") as handle:
        handle.write(job("BIG", "//S1 EXEC PGM=P", "//IN DD *"))
        handle.write("DATA LINE XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXX\n" * 150000)
        handle.write("/*\n" + "".join(f"//DD{i} DD DSN=A.B.C{i},DISP=SHR\n" for i in range(20000)))
    write(f"{work}/LIB/SMALL", OK_MEMBER)
    listed = file_list(work, ["LIB SMALL", "LIB BIG", "LIB SMALL"])
    for megabytes in (6.5, 7, 8, 12, 16, 32, 64):
        for xml in (False, True):
            run = Run(work, [], xml=xml, file_list=listed,
                      limit_memory=int(megabytes * 1024 * 1024))
            case = f"memory limit {megabytes} MB"
            if run.rc == 16 and "not enough memory to start" in run.stderr:
                continue
            check(case, run, rcs=[0, 16])
            if run.rc == 16 and "1450S" not in run.log:
                fail(case, "exit code 16 without 1450 in the log")


def case_catalogs(work):
    """Catalogs missing, empty or garbage: a message on standard error naming where they
    were looked for, exit code 16, no member analysed."""
    write(f"{work}/LIB/MEM", job("MISS", "//S1 EXEC NOSUCHP"))
    os.makedirs(f"{work}/empty")
    write(f"{work}/garbage/kvrenus.msg", bytes(range(256)) * 10)
    incomplete = read(os.path.join(os.path.dirname(BINARY), "messages", "pjwenus.msg"))
    write(f"{work}/partial/pjwenus.msg", incomplete.replace(b"\n3028\t", b"\n#3028\t"))
    for name, folder, args in (("missing", f"{work}/none", []), ("empty", f"{work}/empty", []),
                               ("garbage", f"{work}/garbage", []),
                               ("incomplete", f"{work}/partial", ["-t"])):
        run = Run(work, args + ["LIB", "MEM"], env={"KVRMSGPATH": folder})
        check(f"catalogs {name}", run, rc=16, members=0)
        if folder not in run.stderr:
            fail(f"catalogs {name}", f"standard error does not name {folder}: {run.stderr}")


def case_files_around_the_run(work):
    """A file list that is a folder, a log on a full disk, an import file on a full disk."""
    write(f"{work}/LIB/MEM", OK_MEMBER)
    os.makedirs(f"{work}/folder")
    run = Run(work, [], file_list=f"{work}/folder")
    check("file list is a folder", run, rc=8, members=0)
    if "KVR1680E" not in run.log:
        fail("file list is a folder", "no 1680")
    run = Run(work, ["LIB", "MEM"], env={"DD:RDPRINT": "/dev/full"})
    check("log on a full disk", run, rc=8, members=1)
    if "cannot be written" not in run.stderr:
        fail("log on a full disk", f"no message on standard error: {run.stderr}")
    run = Run(work, ["LIB", "MEM"], env={"DD:ATTRBOUT": "/dev/full"})
    if run.rc != 16 or "KVR1681S" not in run.log:
        fail("import on a full disk", f"exit code {run.rc}, log {run.log[-200:]}")


CASES = {name[len("case_"):]: function for name, function in globals().items()
         if name.startswith("case_")}


def main():
    global BINARY
    BINARY = os.path.abspath(sys.argv[1])
    chosen = sys.argv[2:] or list(CASES)
    for name in chosen:
        work = tempfile.mkdtemp(prefix=f"kvr-hostile-{name}-")
        try:
            CASES[name](work)
            print(f"{name}: done")
        finally:
            shutil.rmtree(work, ignore_errors=True)
    print(f"{len(FAILURES)} failures in {len(chosen)} cases")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
