#!/usr/bin/env python3
"""Runs one golden case (or every case under a folder) against the built kvr4000.

A case is a folder holding:
  case          first line "# Shows that ..."; then one directive a line:
                  arg TEXT        one command-line argument (the rest of the line, as is)
                  env NAME=VALUE  an environment variable; NAME may contain ":"
                  unset NAME      remove a variable the runner sets by default
                  rc N            the expected exit code (default 0)
                Values may use {work} (the run's working folder), {log} and {import}.
  input/        optional; copied into a fresh working folder, which is the current folder
  expected.import   the import file, byte for byte (DD:ATTRBOUT is {import} by default)
  expected.msgs     the message numbers of the log in order, blank-separated ("-" marks an
                    empty log line)
  expected.log      the log lines; a line starting with "~ " is a regular expression
  expected.stdout   standard output lines, same conventions as expected.log
  expected.stderr   standard error lines, same conventions
Every expected file that exists is compared; any difference fails the case. An XML import
file is also checked well-formed with xmllint: the container elements of its members stand
without a root element, so they are wrapped in one after the prologue is dropped.
"""
import argparse
import difflib
import os
import re
import shutil
import subprocess
import sys
import tempfile

MESSAGE_ID = re.compile(r"^[A-Z]{3}(\d{4})[IWES]")


def parse_case(path):
    args, env, unset, rc = [], {}, set(), 0
    with open(os.path.join(path, "case"), encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    if not lines or not lines[0].startswith("# Shows that"):
        raise ValueError(f"{path}/case must open with '# Shows that ...'")
    for line in lines[1:]:
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        if word == "arg":
            args.append(rest)
        elif word == "env":
            name, _, value = rest.partition("=")
            env[name] = value
        elif word == "unset":
            unset.add(rest)
        elif word == "rc":
            rc = int(rest)
        else:
            raise ValueError(f"{path}/case: unknown directive {word!r}")
    return args, env, unset, rc


def expand(text, places):
    for key, value in places.items():
        text = text.replace("{" + key + "}", value)
    return text


def message_numbers(log_text):
    numbers = []
    for line in log_text.split("\n")[:-1] if log_text.endswith("\n") else log_text.split("\n"):
        if line == "":
            numbers.append("-")
            continue
        match = MESSAGE_ID.match(line)
        numbers.append(match.group(1) if match else "?")
    return numbers


def compare_lines(label, expected_text, actual_text):
    expected = expected_text.split("\n")
    actual = actual_text.split("\n")
    ok = len(expected) == len(actual)
    if ok:
        for want, got in zip(expected, actual):
            if want.startswith("~ "):
                if not re.fullmatch(want[2:], got):
                    ok = False
                    break
            elif want != got:
                ok = False
                break
    if ok:
        return True
    print(f"--- {label} differs")
    sys.stdout.writelines(difflib.unified_diff(
        [l + "\n" for l in expected], [l + "\n" for l in actual], "expected", "actual"))
    return False


def xml_well_formed(import_bytes):
    """Checks an XML import file with xmllint; True for a text import file."""
    if not import_bytes.startswith(b"<?xml"):
        return True
    body = import_bytes.split(b"\n", 1)[1] if b"\n" in import_bytes else b""
    document = b"<imports>\n" + body + b"</imports>\n"
    xmllint = shutil.which("xmllint")
    if xmllint is None:
        print("--- xmllint missing (Debian package libxml2-utils)")
        return False
    check = subprocess.run([xmllint, "--noout", "-"], input=document, capture_output=True)
    if check.returncode != 0:
        print("--- the XML import file is not well-formed")
        sys.stdout.write(check.stderr.decode("latin-1"))
        return False
    return True


def read(path, binary=False):
    if not os.path.exists(path):
        return None
    with open(path, "rb" if binary else "r", encoding=None if binary else "latin-1") as f:
        return f.read()


def run_case(binary, case_dir):
    args, env_extra, unset, want_rc = parse_case(case_dir)
    work = tempfile.mkdtemp(prefix="kvr-e2e-")
    try:
        if os.path.isdir(os.path.join(case_dir, "input")):
            shutil.copytree(os.path.join(case_dir, "input"), work, dirs_exist_ok=True)
        places = {"work": work, "log": os.path.join(work, "run.log"),
                  "import": os.path.join(work, "run.import")}
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DD:", "DD_")) and k not in ("LANG", "LC_ALL",
                                                                 "KVRMSGPATH", "COMPUTERNAME")}
        env["DD:RDPRINT"] = places["log"]
        env["DD:ATTRBOUT"] = places["import"]
        for name in unset:
            env.pop(name, None)
        for name, value in env_extra.items():
            env[name] = expand(value, places)
        argv = [binary] + [expand(a, places) for a in args]
        proc = subprocess.run(argv, cwd=work, env=env, capture_output=True, timeout=120)
        ok = True
        if proc.returncode != want_rc:
            print(f"--- exit code {proc.returncode}, expected {want_rc}")
            ok = False
        log_text = read(places["log"]) or ""
        want_import = read(os.path.join(case_dir, "expected.import"), binary=True)
        if want_import is not None:
            got_import = read(places["import"], binary=True) or b""
            if want_import != got_import:
                compare_lines("import file", want_import.decode("latin-1"),
                              got_import.decode("latin-1"))
                ok = False
        if not xml_well_formed(read(places["import"], binary=True) or b""):
            ok = False
        want_msgs = read(os.path.join(case_dir, "expected.msgs"))
        if want_msgs is not None:
            if want_msgs.split() != message_numbers(log_text):
                print(f"--- log messages {message_numbers(log_text)}, expected {want_msgs.split()}")
                ok = False
        for name, actual in (("expected.log", log_text),
                             ("expected.stdout", proc.stdout.decode("latin-1")),
                             ("expected.stderr", proc.stderr.decode("latin-1"))):
            want = read(os.path.join(case_dir, name))
            if want is not None and not compare_lines(name, want, actual):
                ok = False
        return ok
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--binary", required=True)
    parser.add_argument("cases", nargs="+", help="case folders, or folders of cases")
    options = parser.parse_args()
    folders = []
    for path in options.cases:
        if os.path.exists(os.path.join(path, "case")):
            folders.append(path)
        else:
            folders += sorted(os.path.join(path, d) for d in os.listdir(path)
                              if os.path.exists(os.path.join(path, d, "case")))
    failed = [f for f in folders if not run_case(os.path.abspath(options.binary), f)]
    for folder in failed:
        print(f"FAILED {folder}")
    print(f"{len(folders) - len(failed)} passed, {len(failed)} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
