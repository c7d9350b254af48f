#!/usr/bin/env python3
"""Helper of scripts/mutation.sh: reads the mutant list, applies one mutant to a copy of the sources and
restores it, and mirrors a tree into the copy so that only files whose content changed get a new time.

The list (scripts/mutants.txt) names a source file on a line of its own, followed by pairs of lines
"- text" (found exactly once in that file) and "+ text" (what replaces it; empty drops it). Lines
starting with # are comments. A mutant's number is its place in the list, counted from 1.
"""
import json
import os
import shutil
import sys

BACKUP = ".mutant-backup.json"


def read_mutants(path):
    mutants, current = [], None
    pending = None
    with open(path) as f:
        for number, raw in enumerate(f, 1):
            line = raw.rstrip("\n")
            if not line.strip() or line.lstrip().startswith("#"):
                continue
            stripped = line.lstrip()
            if stripped.startswith("- ") or stripped == "-":
                pending = stripped[2:]
            elif stripped.startswith("+ ") or stripped == "+":
                if pending is None or current is None:
                    sys.exit(f"{path}:{number}: '+' without a file and a '-' line before it")
                mutants.append({"file": current, "old": pending, "new": stripped[2:], "line": number})
                pending = None
            else:
                current = stripped
    return mutants


def check(listing, root):
    """Prints how many mutants apply; names each whose text is missing or not unique. Exit 1 on any."""
    bad = 0
    mutants = read_mutants(listing)
    for i, m in enumerate(mutants, 1):
        path = os.path.join(root, m["file"])
        text = open(path).read() if os.path.exists(path) else ""
        count = text.count(m["old"])
        if count != 1:
            bad += 1
            print(f"mutant {i} ({m['file']}): text found {count} times: {m['old']}")
    print(f"{len(mutants)} mutants, {len(mutants) - bad} applicable")
    return 1 if bad else 0


def apply(listing, root, index):
    m = read_mutants(listing)[index - 1]
    path = os.path.join(root, m["file"])
    text = open(path).read()
    if text.count(m["old"]) != 1:
        print(f"not applicable: {m['file']}: {m['old']}")
        return 3
    # The original goes to the backup before the file changes: an interrupted run can always restore.
    with open(os.path.join(root, BACKUP), "w") as f:
        json.dump({"file": m["file"], "text": text}, f)
    with open(path, "w") as f:
        f.write(text.replace(m["old"], m["new"], 1))
    return 0


def revert(root):
    backup = os.path.join(root, BACKUP)
    if not os.path.exists(backup):
        return 0
    saved = json.load(open(backup))
    with open(os.path.join(root, saved["file"]), "w") as f:
        f.write(saved["text"])
    os.remove(backup)
    return 0


def describe(listing, index):
    m = read_mutants(listing)[index - 1]
    new = m["new"] if m["new"] else "(dropped)"
    print(f"{m['file']}: {m['old'].strip()}  ->  {new.strip()}")
    return 0


def sync(source, dest):
    """Makes dest hold exactly the files of source; files with the same content keep their time."""
    seen = set()
    for folder, dirs, files in os.walk(source):
        rel = os.path.relpath(folder, source)
        os.makedirs(os.path.join(dest, rel), exist_ok=True)
        for name in files:
            src = os.path.join(folder, name)
            dst = os.path.normpath(os.path.join(dest, rel, name))
            seen.add(dst)
            if os.path.exists(dst) and open(src, "rb").read() == open(dst, "rb").read():
                continue
            shutil.copyfile(src, dst)
            shutil.copymode(src, dst)
    for folder, dirs, files in os.walk(dest):
        for name in files:
            path = os.path.normpath(os.path.join(folder, name))
            if path not in seen and name != BACKUP:
                os.remove(path)
    return 0


def main(argv):
    if len(argv) >= 3 and argv[0] == "check":
        return check(argv[1], argv[2])
    if len(argv) >= 2 and argv[0] == "size":
        print(len(read_mutants(argv[1])))
        return 0
    if len(argv) >= 4 and argv[0] == "apply":
        return apply(argv[1], argv[2], int(argv[3]))
    if len(argv) >= 2 and argv[0] == "revert":
        return revert(argv[1])
    if len(argv) >= 3 and argv[0] == "describe":
        return describe(argv[1], int(argv[2]))
    if len(argv) >= 3 and argv[0] == "sync":
        return sync(argv[1], argv[2])
    print("usage: mutation.py check|size|apply|revert|describe|sync ...", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
