#!/usr/bin/env python3
"""Regenerates the EBCDIC members of the golden cases from their text forms.

A case that holds EBCDIC members lists them in its file "ebcdic": one line
"SOURCE TARGET CODEPAGE", paths relative to the case folder, SOURCE a text member in
ISO-8859-1. TARGET becomes what a binary transfer of the member from the mainframe gives:
each line converted with iconv to the EBCDIC code page, padded with EBCDIC blanks to a
record of 80 bytes, no line ends. A line longer than 80 characters is an error.

Usage: ebcdic_inputs.py [CASE_FOLDER...]   (default: every case under tests/e2e/cases)
"""
import os
import subprocess
import sys

RECORD = 80
CASES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "cases")


def to_ebcdic(text, code_page):
    """The records of a text member in an EBCDIC code page, through glibc's iconv."""
    blank = subprocess.run(["iconv", "-f", "ISO-8859-1", "-t", code_page], input=b" ",
                           capture_output=True, check=True).stdout
    records = []
    for number, line in enumerate(text.split(b"\n")[:-1] if text.endswith(b"\n")
                                  else text.split(b"\n"), 1):
        if len(line) > RECORD:
            raise ValueError(f"line {number} is longer than {RECORD} characters")
        converted = subprocess.run(["iconv", "-f", "ISO-8859-1", "-t", code_page], input=line,
                                   capture_output=True, check=True).stdout
        records.append(converted + blank * (RECORD - len(converted)))
    return b"".join(records)


def regenerate(case):
    listing = os.path.join(case, "ebcdic")
    if not os.path.exists(listing):
        return
    with open(listing, encoding="ascii") as handle:
        for line in handle:
            if not line.strip() or line.startswith("#"):
                continue
            source, target, code_page = line.split()
            with open(os.path.join(case, source), "rb") as text:
                records = to_ebcdic(text.read(), code_page)
            os.makedirs(os.path.dirname(os.path.join(case, target)), exist_ok=True)
            with open(os.path.join(case, target), "wb") as out:
                out.write(records)
            print(f"{os.path.basename(case)}: {target} ({code_page}, {len(records) // RECORD} records)")


def main():
    cases = sys.argv[1:] or [os.path.join(CASES, name) for name in sorted(os.listdir(CASES))]
    for case in cases:
        regenerate(case)
    return 0


if __name__ == "__main__":
    sys.exit(main())
