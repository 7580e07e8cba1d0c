#!/usr/bin/env python3
"""Runs one kvr-xref golden case: a folder holding

  case      first line "# Shows that ..."; then one command a line, run in order against a
            fresh database:
              load FILE...   kvr-xref load DB FILE... (files relative to the case folder;
                             {examples} and {examples-xml} are the import files of the
                             bundled example in text and XML form, made by kvr4000)
              ask ARGS...    kvr-xref DB ARGS... (words split as a shell would)
              load-into NAME FILE...
                             kvr-xref load into a database of its own, NAME, which the
                             words of run commands and the transcript write {NAME}
              run ARGS...    kvr-xref ARGS... ({NAME} as above; {work} the case's
                             temporary folder, where run may write files)
              show FILE      the lines of a file ({work} as above)
  expected  the transcript: each command as "$ " and the command line, then its standard
            output, its standard error lines with "! " before them, and "[exit N]" when
            the exit code is not 0. The database path is written {db}, the temporary folder {work}.

Any difference fails the case and is shown as a diff.
"""
import argparse
import difflib
import os
import shlex
import subprocess
import sys
import tempfile

REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def examples_import(kvr4000, work, xml):
    """The import file of examples/, as make demo writes it."""
    path = os.path.join(work, "examples.xml" if xml else "examples.import")
    env = {k: v for k, v in os.environ.items() if not k.startswith(("DD:", "DD_"))}
    env.update({"DD:FILELIST": "filelist.txt", "DD:JCLLIB": "jcllib.txt",
                "DD:XLATLIBS": "xlatlibs.txt", "DD:ATTRBOUT": path,
                "DD:RDPRINT": os.path.join(work, "examples.log")})
    args = [kvr4000] + (["-x"] if xml else [])
    subprocess.run(args, cwd=os.path.join(REPO, "examples"), env=env, check=True)
    return path


def unplaced(text, db, named, work):
    """The text with the paths of the databases and the temporary folder as the case writes
    them."""
    text = text.replace(db, "{db}")
    for name, path in named.items():
        text = text.replace(path, "{" + name + "}")
    return text.replace(work, "{work}")


def transcript(args, case_dir, work):
    db = os.path.join(work, "xref.db")
    places = {}
    out = []
    with open(os.path.join(case_dir, "case"), encoding="utf-8") as handle:
        lines = handle.read().split("\n")
    if not lines or not lines[0].startswith("# Shows that"):
        raise SystemExit(f"{case_dir}/case must open with '# Shows that ...'")
    named = {}  # database name of load-into -> its path

    def placed(word):
        for name, path in named.items():
            word = word.replace("{" + name + "}", path)
        return word.replace("{work}", work)

    for line in lines[1:]:
        if not line or line.startswith("#"):
            continue
        word, _, rest = line.partition(" ")
        words = shlex.split(rest)
        if word in ("load", "load-into"):
            target = db
            if word == "load-into":
                name, words = words[0], words[1:]
                target = named[name] = os.path.join(work, name + ".db")
            files = []
            for name in words:
                if name in ("{examples}", "{examples-xml}"):
                    if name not in places:
                        places[name] = examples_import(args.kvr4000, work, name.endswith("xml}"))
                    files.append(places[name])
                else:
                    files.append(os.path.join(case_dir, name))
            command = [args.xref, "load", target] + files
        elif word == "ask":
            command = [args.xref, db] + words
        elif word == "run":
            command = [args.xref] + [placed(w) for w in words]
        elif word == "show":
            out.append(f"$ {line}")
            with open(placed(words[0]), encoding="utf-8") as handle:
                out.extend(handle.read().splitlines())
            continue
        else:
            raise SystemExit(f"{case_dir}/case: unknown command {word!r}")
        run = subprocess.run(command, capture_output=True, text=True, cwd=case_dir)
        out.append(f"$ {line}")
        out.extend(unplaced(run.stdout, db, named, work).splitlines())
        out.extend("! " + e for e in unplaced(run.stderr, db, named, work)
                   .replace(case_dir + "/", "").splitlines())
        if run.returncode != 0:
            out.append(f"[exit {run.returncode}]")
    return out


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--xref", required=True)
    parser.add_argument("--kvr4000", required=True)
    parser.add_argument("case")
    args = parser.parse_args()
    args.xref = os.path.abspath(args.xref)
    args.kvr4000 = os.path.abspath(args.kvr4000)
    case_dir = os.path.abspath(args.case)
    with tempfile.TemporaryDirectory(prefix="xref-case-") as work:
        actual = transcript(args, case_dir, work)
    with open(os.path.join(case_dir, "expected"), encoding="utf-8", newline="") as handle:
        expected = handle.read().replace("\r\n", "\n").split("\n")
    if expected and expected[-1] == "":
        expected.pop()
    if actual == expected:
        print(f"{os.path.basename(case_dir)}: 1 passed, 0 failed")
        return 0
    sys.stdout.writelines(line + "\n" for line in difflib.unified_diff(
        expected, actual, "expected", "actual", lineterm=""))
    print(f"{os.path.basename(case_dir)}: 0 passed, 1 failed")
    return 1


if __name__ == "__main__":
    sys.exit(main())
