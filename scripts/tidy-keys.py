#!/usr/bin/env python3
"""Prints "KEY FILE" for each source: a hash of everything clang-tidy sees of it.

The key covers the unit's preprocessed text (so every header it includes, ours
and the system's), its compile flags, and SALT (the tool's version, the checks
and the header filter). The clone's and the build's paths are taken out, so
clean clones of the same tree share their results. A unit that cannot be
preprocessed gets the key "-" and is always checked.

usage: tidy-keys.py BUILD SALT FILE...
"""
import hashlib
import json
import os
import shlex
import subprocess
import sys
from concurrent.futures import ThreadPoolExecutor

build, salt, files = sys.argv[1], sys.argv[2], sys.argv[3:]
root = os.getcwd()
build_abs = os.path.abspath(build)
with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as f:
    units = {os.path.realpath(e["file"]): e for e in json.load(f)}


def neutral(data: bytes) -> bytes:
    # The build folder sits inside the clone; take the longer path out first.
    return data.replace(build_abs.encode(), b"@BUILD@").replace(root.encode(), b"@ROOT@")


def key(name: str) -> str:
    unit = units.get(os.path.realpath(name))
    if unit is None:
        return "-"
    args = unit["arguments"] if "arguments" in unit else shlex.split(unit["command"])
    kept, skip = [], False
    for a in args:
        if skip:
            skip = False
        elif a == "-o":
            skip = True
        elif a != "-c":
            kept.append(a)
    # clang sees the branches clang-tidy sees (__clang__ and its builtins); the
    # comments stay, for NOLINT.
    if os.path.exists("/usr/bin/clang++-14"):
        kept[0] = "/usr/bin/clang++-14"
    run = subprocess.run(kept + ["-E", "-C", "-o", "-"], cwd=unit["directory"],
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False)
    if run.returncode != 0:
        return "-"
    h = hashlib.sha256()
    for part in (salt.encode(), neutral(" ".join(kept).encode()), name.encode(),
                 neutral(run.stdout)):
        h.update(len(part).to_bytes(8, "little"))
        h.update(part)
    return h.hexdigest()


with ThreadPoolExecutor(max_workers=os.cpu_count() or 2) as pool:
    for name, k in zip(files, pool.map(key, files)):
        print(k, name)
