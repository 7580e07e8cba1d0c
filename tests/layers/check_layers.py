#!/usr/bin/env python3
"""Fails when a source of the analyzer includes a header of a higher layer.

The analyzer's folders are layers that depend only on the ones below them (analyzer/README.md
draws them): base <- reader <- model <- rununits <- expansion <- output <- driver. A file
may include headers of its own folder and of lower ones, kvrbase.h and the message list.

Usage: check_layers.py ANALYZER_DIR
"""
import os
import re
import sys

LAYERS = ["base", "reader", "model", "rununits", "expansion", "output", "driver"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z_]+)/[^"]+"', re.M)


def main():
    root = sys.argv[1]
    rank = {name: i for i, name in enumerate(LAYERS)}
    problems = []
    for layer in LAYERS:
        folder = os.path.join(root, layer)
        for name in sorted(os.listdir(folder)):
            if not name.endswith((".h", ".cpp")):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as handle:
                for target in INCLUDE.findall(handle.read()):
                    if target in rank and rank[target] > rank[layer]:
                        problems.append(f"{layer}/{name} includes {target}/: a higher layer")
    for folder in sorted(os.listdir(root)):
        if os.path.isdir(os.path.join(root, folder)) and folder not in rank:
            problems.append(f"{folder}/ is no layer: add it to the order")
    for problem in problems:
        print(problem)
    print(f"{len(problems)} includes run up a layer" if problems else "layers: every include runs down")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
