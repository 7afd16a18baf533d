#!/usr/bin/env python3
"""Runs every example of docs/guide.md.

A ```toml block whose first line is "# file: NAME" is written to NAME in a
scratch folder. Each ```sh block runs there with bash (stopping at the first
failing command), rir-eda's folder first on PATH. A ```text block right after
a sh block lists lines that the commands must print, each as the start of
one of their output lines, in order. A ```python block needs GNU Radio and
runs in CTest's gnuradio_blocks (python/gnuradio_blocks/tests).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile


def blocks(text):
    return [(m.group(1), m.group(2)) for m in re.finditer(r"^```(\w*)\n(.*?)^```", text, re.M | re.S)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--guide", required=True)
    a = ap.parse_args()
    with open(a.guide) as f:
        found = blocks(f.read())
    work = tempfile.mkdtemp(prefix="rir_guide_")
    env = dict(os.environ, PATH=os.path.dirname(os.path.abspath(a.rir_eda)) + os.pathsep + os.environ["PATH"])
    failures = []
    said = None
    try:
        for n, (lang, body) in enumerate(found):
            if lang == "toml":
                first = body.splitlines()[0]
                if not first.startswith("# file: "):
                    failures.append(f"toml block {n} names no file")
                    continue
                with open(os.path.join(work, first[len("# file: "):].strip()), "w") as f:
                    f.write(body)
                said = None
            elif lang == "sh":
                p = subprocess.run(["bash", "-e", "-o", "pipefail", "-c", body], cwd=work, env=env,
                                   capture_output=True, text=True, timeout=300)
                said = p.stdout + p.stderr
                print(f"$ {body}{said}")
                if p.returncode != 0:
                    failures.append(f"sh block {n} ends with status {p.returncode}:\n{body}{said}")
            elif lang == "text":
                if said is None:
                    failures.append(f"text block {n} follows no sh block")
                    continue
                lines = said.splitlines()
                at = 0
                for want in body.splitlines():
                    while at < len(lines) and not lines[at].startswith(want):
                        at += 1
                    if at == len(lines):
                        failures.append(f"text block {n}: no line starting {want!r} (in order) in:\n{said}")
                        break
                    at += 1
                said = None
            elif lang != "python":
                failures.append(f"block {n} of unchecked language {lang!r}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print("FAILED" if failures else f"ok: {len(found)} blocks")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
