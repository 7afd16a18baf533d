#!/usr/bin/env python3
"""Opens a design's GTKWave save file in GTKWave under Xvfb.

Runs rir-eda on the design, starts GTKWave on the .gtkw from another folder
with a Tcl script that lists the displayed traces and quits, and checks that
GTKWave said nothing but its banner and showed the decoded buses. With
--screenshot it instead keeps the window open a moment and saves a picture
of the screen.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--design", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--expect", nargs="*", default=[], help="traces that must be displayed")
    ap.add_argument("--screenshot", help="save a screenshot of GTKWave here instead")
    a = ap.parse_args()
    shutil.rmtree(a.out, ignore_errors=True)
    p = subprocess.run([a.rir_eda, "run", a.design, "-o", a.out], capture_output=True, text=True)
    print(p.stdout + p.stderr)
    if p.returncode != 0:
        sys.exit("rir-eda failed")
    saves = [f for f in os.listdir(a.out) if f.endswith(".gtkw")]
    if len(saves) != 1:
        sys.exit(f"expected one .gtkw file, found {saves}")
    save = os.path.abspath(os.path.join(a.out, saves[0]))
    xvfb = ["xvfb-run", "-a", "-s", "-screen 0 1280x900x24"]
    elsewhere = tempfile.mkdtemp()
    if a.screenshot:
        shot = os.path.abspath(a.screenshot)
        script = f"gtkwave '{save}' >/dev/null 2>&1 & sleep 5; import -window root '{shot}'; kill $!"
        subprocess.run(xvfb + ["sh", "-c", script], cwd=elsewhere, check=True, timeout=120)
        print("saved", shot)
        return
    tcl = os.path.join(elsewhere, "list.tcl")
    with open(tcl, "w") as f:
        f.write('puts "DISPLAYED: [gtkwave::getDisplayedSignals]"\ngtkwave::/File/Quit\n')
    g = subprocess.run(xvfb + ["gtkwave", "-S", tcl, save], cwd=elsewhere, capture_output=True, text=True,
                       timeout=120)
    said = g.stdout + g.stderr
    print(said)
    failures = []
    if g.returncode != 0:
        failures.append(f"gtkwave exit status {g.returncode}")
    for line in said.splitlines():
        line = line.strip()
        if not line or line.startswith(("GTKWave Analyzer", "DISPLAYED:", "Exiting.", "GTKWAVE | Executing Tcl")):
            continue
        if re.fullmatch(r"\[\d+\] (start|end) time\.", line):
            continue
        failures.append(f"gtkwave says: {line}")
    shown = next((l.split(":", 1)[1].split() for l in said.splitlines() if l.startswith("DISPLAYED:")), [])
    for trace in a.expect:
        if trace not in shown:
            failures.append(f"trace {trace} not displayed (shown: {shown})")
    shutil.rmtree(elsewhere, ignore_errors=True)
    for f in failures:
        print("FAIL:", f)
    print("FAILED" if failures else "ok")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
