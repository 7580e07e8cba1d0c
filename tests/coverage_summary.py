#!/usr/bin/env python3
"""Prints line coverage per top folder (common/, analyzer/) and overall from gcovr's
JSON summary (gcovr --json-summary)."""
import json
import sys


def main(path):
    with open(path, encoding="utf-8") as handle:
        summary = json.load(handle)
    folders = {}
    for entry in summary["files"]:
        top = entry["filename"].split("/", 1)[0]
        hit, total = folders.get(top, (0, 0))
        folders[top] = (hit + entry["line_covered"], total + entry["line_total"])
    all_hit = sum(hit for hit, _ in folders.values())
    all_total = sum(total for _, total in folders.values())
    for top in sorted(folders):
        hit, total = folders[top]
        print(f"{top + '/':10} {hit:6} / {total:6} lines  {100.0 * hit / max(total, 1):5.1f}%")
    print(f"{'overall':10} {all_hit:6} / {all_total:6} lines  {100.0 * all_hit / max(all_total, 1):5.1f}%")


if __name__ == "__main__":
    main(sys.argv[1])
