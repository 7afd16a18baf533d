#!/usr/bin/env python3
"""Runs every example of docs/guide.md.

A ```toml or ```python block whose first line is "# file: NAME" is written
to NAME in a scratch folder. Each ```sh block runs there with bash (stopping
at the first failing command), rir-eda's folder first on PATH and
`python3` the interpreter that runs this check. A ```text block right after
a sh block lists lines that the commands must print, each as the start of
one of their output lines, in order. Without --python (no module built) the
sh blocks that run python3, and the text blocks after them, are skipped. A
```python block without a file name needs GNU Radio and runs in CTest's
gnuradio_blocks (python/gnuradio_blocks/tests).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile


SKIPPED = object()  # what a skipped sh block "printed"


def blocks(text):
    return [(m.group(1), m.group(2)) for m in re.finditer(r"^```(\w*)\n(.*?)^```", text, re.M | re.S)]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--guide", required=True)
    ap.add_argument("--python", help="PYTHONPATH for the module rir_eda; without it its examples are skipped")
    a = ap.parse_args()
    with open(a.guide) as f:
        found = blocks(f.read())
    work = tempfile.mkdtemp(prefix="rir_guide_")
    tools = os.path.join(work, ".bin")
    os.mkdir(tools)
    os.symlink(sys.executable, os.path.join(tools, "python3"))
    env = dict(os.environ, PATH=os.pathsep.join([os.path.dirname(os.path.abspath(a.rir_eda)), tools,
                                                   os.environ["PATH"]]))
    if a.python:
        env["PYTHONPATH"] = os.path.abspath(a.python)
    failures = []
    said = None
    try:
        for n, (lang, body) in enumerate(found):
            if lang in ("toml", "python"):
                first = body.splitlines()[0]
                if not first.startswith("# file: "):
                    if lang == "toml":
                        failures.append(f"toml block {n} names no file")
                    continue
                with open(os.path.join(work, first[len("# file: "):].strip()), "w") as f:
                    f.write(body)
                said = None
            elif lang == "sh" and not a.python and "python3" in body:
                print(f"skipped (no module): {body}")
                said = SKIPPED
            elif lang == "sh":
                # One stream, as a terminal shows it: a run's warnings come before what a later command prints.
                p = subprocess.run(["bash", "-e", "-o", "pipefail", "-c", body], cwd=work, env=env,
                                   stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, timeout=300)
                said = p.stdout
                print(f"$ {body}{said}")
                if p.returncode != 0:
                    failures.append(f"sh block {n} ends with status {p.returncode}:\n{body}{said}")
            elif lang == "text":
                if said is None:
                    failures.append(f"text block {n} follows no sh block")
                    continue
                if said is SKIPPED:
                    said = None
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
            else:
                failures.append(f"block {n} of unchecked language {lang!r}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print("FAILED" if failures else f"ok: {len(found)} blocks")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
