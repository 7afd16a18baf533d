#!/usr/bin/env python3
"""Compiles a GRC flowgraph with grcc and runs it headless to its end:
run_flowgraph.py FILE.grc OUTDIR --data DATADIR

The program runs in OUTDIR/gnuradio with OUTDIR/data pointing at DATADIR, as
an example runs from examples/gnuradio beside examples/data. It must end by
itself with status 0 and write at least one file, none of them empty.
"""
import argparse
import os
import subprocess
import sys


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("grc")
    ap.add_argument("out")
    ap.add_argument("--data", required=True)
    a = ap.parse_args()
    work = os.path.join(a.out, "gnuradio")
    os.makedirs(work, exist_ok=True)
    for old in os.listdir(work):
        os.remove(os.path.join(work, old))
    data = os.path.join(a.out, "data")
    if not os.path.islink(data):
        os.symlink(os.path.abspath(a.data), data)
    subprocess.run(["grcc", "-o", work, a.grc], check=True)
    programs = [f for f in os.listdir(work) if f.endswith(".py")]
    if len(programs) != 1:
        sys.exit("grcc wrote %s" % programs)
    subprocess.run([sys.executable, programs[0]], cwd=work, check=True, timeout=240)
    written = {f: os.path.getsize(os.path.join(work, f)) for f in os.listdir(work) if f not in programs}
    print("wrote", ", ".join("%s (%d bytes)" % kv for kv in sorted(written.items())))
    if not written or not all(written.values()):
        sys.exit("the flowgraph wrote no file or an empty one")


if __name__ == "__main__":
    main()
