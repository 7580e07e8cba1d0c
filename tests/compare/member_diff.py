#!/usr/bin/env python3
"""Names the members whose records differ between two snapshots' corpus import files.

compare.sh says which import files differ; a corpus import file holds hundreds of members,
so this script splits both files into their members (text: from START JCL on; XML: from
<file> on) and lists, per file, the members whose records are not byte-identical, with a
short diff of each when asked.

Usage: member_diff.py OLD_SNAPSHOT NEW_SNAPSHOT [--diff N] [FORM ...]
FORM is a folder under corpus/ (text, xml, all, velkor-xml ...); default: text.
"""
import difflib
import os
import re
import sys


def split_members(lines, xml):
    """(name, lines) per member, in file order."""
    start = re.compile(r"^\s*<file>$") if xml else re.compile(r"^START JCL$")
    members = []
    for line in lines:
        if start.match(line) or not members:
            members.append([])
        members[-1].append(line)
    return [(member_name(block, xml), block) for block in members]


def member_name(block, xml):
    if xml:
        for line in block:
            found = re.match(r"^\s*<name>(.*)</name>$", line)
            if found:
                return found.group(1)
        return "?"
    # The closing INCL record of kind 0 names the member and its container.
    names = [line[len("INCL 0 "):] for line in block if line.startswith("INCL 0 ")]
    return names[-1] if names else "?"


def read_lines(path):
    with open(path, encoding="utf-8", errors="replace") as handle:
        return handle.read().split("\n")


def compare_file(old_path, new_path, xml, show):
    old = split_members(read_lines(old_path), xml)
    new = split_members(read_lines(new_path), xml)
    if len(old) != len(new):
        print(f"  member count differs: {len(old)} before, {len(new)} after")
    differing = 0
    for (old_name, old_block), (new_name, new_block) in zip(old, new):
        if old_block == new_block:
            continue
        differing += 1
        print(f"  {new_name}")
        if show:
            diff = list(difflib.unified_diff(old_block, new_block, lineterm="", n=1))[2:]
            for line in diff[:show]:
                print(f"      {line}")
    return differing


def main(argv):
    show = 0
    if "--diff" in argv:
        at = argv.index("--diff")
        show = int(argv[at + 1])
        del argv[at : at + 2]
    if len(argv) < 3:
        print(__doc__, file=sys.stderr)
        return 2
    old_root, new_root = argv[1], argv[2]
    forms = argv[3:] or ["text"]
    total = 0
    for form in forms:
        folder = os.path.join(new_root, "corpus", form)
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".import"):
                continue
            old_path = os.path.join(old_root, "corpus", form, name)
            new_path = os.path.join(folder, name)
            with open(old_path, "rb") as a, open(new_path, "rb") as b:
                if a.read() == b.read():
                    continue
            print(f"{form}/{name}")
            total += compare_file(old_path, new_path, "xml" in form, show)
    print(f"{total} members differ")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
