#!/usr/bin/env python3
"""Stops a long recording run with SIGINT, SIGTERM, SIGHUP and SIGKILL.

A signal that can be caught ends the run at a time point: the exit status is
128 plus the signal's number, one line says where it stopped, both WAVE
headers match their data and the CSV holds one row per clock rise up to
there. A kill leaves WAVE files whose headers cover whole samples and a CSV
of whole lines, marked unfinished; the next run says that it replaces it.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import wave

FAILURES = []

DESIGN = """[simulation]
sample_period = 2
steps = {steps}

[[variable]]
name = "clk"
kind = "Clk"
[[variable]]
name = "tone"
width = 16
[[variable]]
name = "smooth"
width = 16

[[stimulus]]
type = "clock"
variable = "clk"
period = 2
phase = 1

[[block]]
name = "tone"
type = "Tone_Init"
inputs = {{ Clk = "clk" }}
outputs = {{ Out = "tone" }}
parameters = {{ ToneMag = 1000.0, ToneRelFreq = 0.01, TonePhase = 0.0 }}

[[block]]
name = "fir"
type = "High_Level_FIR_Init"
inputs = {{ DSrc = "tone" }}
outputs = {{ DOut = "smooth" }}
parameters = {{ FIRS_TapsCount = 4, FIRS_Taps = [0.25, 0.25, 0.25, 0.25], FIRS_Delay = [0, 0, 0, 0] }}

[[block]]
name = "rec_tone"
type = "Wave_Save_Init"
inputs = {{ C1 = "tone", Clk = "clk" }}
parameters = {{ FileName = "tone.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }}

[[block]]
name = "rec_smooth"
type = "Wave_Save_Init"
inputs = {{ C1 = "smooth", Clk = "clk" }}
parameters = {{ FileName = "smooth.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }}

[output]
csv = "run.csv"
csv_buses = ["tone", "smooth"]
csv_clock = "clk"
"""

INTERRUPTED = re.compile(r"^rir-eda: interrupted at t = (\d+) after (\d+) samples; outputs cover 0 … (\d+)$")


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def prepare(out, name, steps):
    folder = os.path.join(out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    design = os.path.join(folder, "long.toml")
    with open(design, "w") as f:
        f.write(DESIGN.format(steps=steps))
    return folder, design


def frames(path, name):
    """Frames the header gives; the data must hold at least that many."""
    with wave.open(path) as w:
        n = w.getnframes()
        got = len(w.readframes(n))
    check(got == 2 * n, f"{name}: {os.path.basename(path)} says {n} frames, holds {got // 2}")
    return n, os.path.getsize(path)


def csv_rows(path):
    """The text, its number of rows and its last row."""
    with open(path) as f:
        text = f.read()
    rows = text.count("\n") - 1
    return text, rows, text[text.rfind("\n", 0, len(text) - 1) + 1:].split(",") if rows > 0 else None


def check_caught(exe, out, sig, echoed=False):
    """echoed: the signal comes twice at once, as `timeout` sends it to the run and then to its group."""
    name = signal.Signals(sig).name + (" echoed" if echoed else "")
    folder, design = prepare(out, name.replace(" ", "_"), 100_000_000)
    p = subprocess.Popen([exe, "run", design, "-o", folder, "-q"], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                         text=True)
    time.sleep(1)
    sent = time.monotonic()
    p.send_signal(sig)
    if echoed:
        p.send_signal(sig)
    try:
        _, err = p.communicate(timeout=10)
    except subprocess.TimeoutExpired:
        p.kill()
        check(False, f"{name}: the run did not end within 10 s")
        return
    check(time.monotonic() - sent < 5, f"{name}: took {time.monotonic() - sent:.1f} s to end")
    check(p.returncode == 128 + sig, f"{name}: exit status {p.returncode}")
    said = [line for line in err.splitlines() if "interrupted" in line]
    m = INTERRUPTED.match(said[0]) if len(said) == 1 else None
    check(m is not None, f"{name}: one line about the interruption, got {err!r}")
    if m is None:
        return
    t, samples = int(m.group(1)), int(m.group(2))
    check(int(m.group(3)) == t and samples == t // 2 and t > 0, f"{name}: {said[0]}")
    # One rise of clk, one WAVE sample and one CSV row per two time units.
    text, rows, last = csv_rows(os.path.join(folder, "run.csv"))
    check(text.startswith("time,tone,smooth\n") and text.endswith("\n"), f"{name}: CSV {text[:40]!r}")
    check(rows == (t + 1) // 2 and last is not None and int(last[0]) == 2 * rows - 1,
          f"{name}: {rows} CSV rows up to t = {t}, the last {last}")
    for wav in ("tone.wav", "smooth.wav"):
        n, size = frames(os.path.join(folder, wav), name)
        check(size == 44 + 2 * n and n == rows, f"{name}: {wav} {n} frames in {size} bytes, {rows} rows")
    left = [f for f in os.listdir(folder) if f.endswith((".unfinished", ".partial"))]
    check(not left, f"{name}: left {left}")


def check_killed(exe, out):
    folder, design = prepare(out, "KILL", 100_000_000)
    p = subprocess.Popen([exe, "run", design, "-o", folder, "-q"], stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL)
    # Kill once both recordings are past a header update (a loaded or
    # sanitized build may take a while to get there).
    deadline = time.monotonic() + 60
    wavs = [os.path.join(folder, w) for w in ("tone.wav", "smooth.wav")]
    while time.monotonic() < deadline and p.poll() is None:
        if all(os.path.exists(w) and os.path.getsize(w) > 3 * 64 * 1024 for w in wavs):
            break
        time.sleep(0.1)
    p.kill()
    p.wait()
    for wav in ("tone.wav", "smooth.wav"):
        n, size = frames(os.path.join(folder, wav), "KILL")
        # Updated every 64 KiB: at most that much (and the block's buffer) is not counted.
        check(n > 0 and size - 44 - 2 * n < 64 * 1024 + 2 * 10001, f"KILL: {wav} {n} frames in {size} bytes")
    csv_path = os.path.join(folder, "run.csv")
    text, rows, last = csv_rows(csv_path)
    check(rows > 0 and text.endswith("\n") and len(last) == 3 and int(last[0]) == 2 * rows - 1,
          f"KILL: CSV of whole lines, {rows} rows, ends {text[-20:]!r}")
    check(os.path.exists(csv_path + ".unfinished"), "KILL: no marker beside the partial CSV")
    # The next run over the same outputs says what it replaces, and finishes them.
    with open(design, "w") as f:
        f.write(DESIGN.format(steps=10))
    again = subprocess.run([exe, "run", design, "-o", folder, "-q"], capture_output=True, text=True)
    check(again.returncode == 0 and "replacing " + csv_path + ", left partial" in again.stderr,
          f"KILL: next run {again.returncode} {again.stderr!r}")
    check(not os.path.exists(csv_path + ".unfinished"), "KILL: the marker outlived a finished run")
    check(csv_rows(csv_path)[1] == 10, "KILL: the next run's CSV")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--out", required=True)
    a = ap.parse_args()
    for sig in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        check_caught(a.rir_eda, a.out, sig)
    check_caught(a.rir_eda, a.out, signal.SIGINT, echoed=True)
    check_killed(a.rir_eda, a.out)
    print("FAILED" if FAILURES else "ok")
    sys.exit(1 if FAILURES else 0)


if __name__ == "__main__":
    main()
