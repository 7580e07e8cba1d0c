#!/usr/bin/env python3
"""Runs every golden case against a kvr4000 binary and keeps what it wrote: import file, log,
standard output and error and exit code of each case, in OUTDIR/<case>/. Nothing is judged
here; compare.sh diffs two such folders.

Usage: snapshot_cases.py KVR4000 CASES_DIR OUTDIR
"""
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from run_e2e import expand, parse_case  # noqa: E402

BUILD_TIME = re.compile(rb"[A-Z][a-z]{2} [ 0-9][0-9] [0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}")


def snapshot_case(binary, case_dir, out_dir):
    args, env_extra, unset, _ = parse_case(case_dir)
    work = tempfile.mkdtemp(prefix="kvr-snap-")
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
        os.makedirs(out_dir)
        # What varies from run to run or build to build is written as a placeholder: the
        # working folder, the program's path and the build time of the version message.
        def keep(name, data):
            data = data.replace(work.encode(), b"{work}").replace(binary.encode(), b"{kvr4000}")
            data = BUILD_TIME.sub(b"{built}", data)
            with open(os.path.join(out_dir, name), "wb") as handle:
                handle.write(data)
        keep("rc", f"{proc.returncode}\n".encode())
        keep("stdout", proc.stdout)
        keep("stderr", proc.stderr)
        for name in ("log", "import"):
            path = places[name]
            if os.path.exists(path):
                with open(path, "rb") as handle:
                    keep(name, handle.read())
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    binary, cases, out = sys.argv[1:4]
    for name in sorted(os.listdir(cases)):
        if os.path.exists(os.path.join(cases, name, "case")):
            snapshot_case(binary, os.path.join(cases, name), os.path.join(out, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
