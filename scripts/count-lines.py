#!/usr/bin/env python3
"""Counts the C++ lines of the library and of its tests: non-blank lines that are not comments.

    python3 scripts/count-lines.py [tree]

Code is the library, the command-line program, the examples and the benchmarks; tests are tests/.
"""
import os
import sys

root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")


def count(folder):
    n = 0
    for dirpath, _, files in os.walk(os.path.join(root, folder)):
        for name in files:
            if not name.endswith((".cpp", ".h", ".hpp", ".cc")):
                continue
            in_block = False
            for line in open(os.path.join(dirpath, name), errors="replace"):
                s = line.strip()
                if in_block:
                    if "*/" in s:
                        in_block = False
                    continue
                if not s or s.startswith("//"):
                    continue
                if s.startswith("/*"):
                    if "*/" not in s:
                        in_block = True
                    continue
                n += 1
    return n


code = sum(count(d) for d in ["stroke", "create", "evaluate", "edit", "reshape", "platform", "tools", "examples", "bench"])
tests = count("tests")
print(f"code {code} tests {tests} share {100 * tests / (code + tests):.1f}%")
