#!/usr/bin/env python3
"""Runs rir-eda on an example design and checks what it wrote.

Every run is checked for structure: exit status under --strict (a shipped
example gives no warning), a VCD that an independent reader (the one below,
and vcd2fst when installed) accepts, CSV columns, the PNG signature, and
identical bytes from a second run. With --values the example's own numbers
are checked as well.
"""
import argparse
import csv
import filecmp
import math
import os
import shutil
import subprocess
import sys
import wave

FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def run(exe, design, out, expect):
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    p = subprocess.run([exe, "run", design, "-o", out, "--strict"], capture_output=True, text=True)
    print(p.stdout + p.stderr)
    check(p.returncode == expect, f"exit status {p.returncode}, expected {expect}")
    return p


def parse_vcd(path, reals=None):
    """An independent reader: returns {name: [(time, bits)]} for the top
    scope's wires; `reals`, when given, gets {name: [(time, value)]} for its
    real variables."""
    ids, widths, changes = {}, {}, {}
    real_ids = {}
    time = None
    last_time = -1
    with open(path) as f:
        tokens = f.read().split()
    i = 0
    in_defs = True
    depth = 0
    while i < len(tokens):
        t = tokens[i]
        if in_defs:
            if t == "$scope":
                depth += 1
            elif t == "$upscope":
                depth -= 1
            if t == "$var":
                end = tokens.index("$end", i)
                kind, width, ident, name = tokens[i + 1:i + 5]
                if kind == "real":
                    check(width == "64", f"real {name} of width {width}")
                    if depth == 1:
                        real_ids[ident] = name
                elif depth == 1:
                    ids[ident] = name
                    widths[name] = int(width)
                    changes[name] = []
                else:
                    check(ident in ids, f"port {name} in a block scope aliases no top-scope variable")
                i = end + 1
                continue
            if t == "$enddefinitions":
                in_defs = False
            i += 1
            continue
        if t in ("$dumpvars", "$end"):
            i += 1
            continue
        if t.startswith("#"):
            time = int(t[1:])
            check(time >= last_time, f"VCD time goes back at {t}")
            last_time = time
            i += 1
            continue
        check(time is not None, "VCD value before the first time stamp")
        if t[0] == "r":
            value, ident = float(t[1:]), tokens[i + 1]
            i += 2
            check(ident in real_ids, f"VCD real change of unknown identifier {ident!r}")
            if reals is not None and ident in real_ids:
                reals.setdefault(real_ids[ident], []).append((time, value))
            continue
        if t[0] == "b":
            bits, ident = t[1:], tokens[i + 1]
            i += 2
        else:
            bits, ident = t[0], t[1:]
            i += 1
        check(ident in ids, f"VCD change of unknown identifier {ident!r}")
        name = ids.get(ident)
        if name is not None:
            check(len(bits) == widths[name], f"VCD value {bits} of {name} is not {widths[name]} bits wide")
            check(set(bits) <= set("01"), f"VCD value {bits} of {name} has other digits")
            changes[name].append((time, bits))
    return changes


def read_csv(path):
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    header = rows[0]
    return header, [[int(x) for x in r] for r in rows[1:]]


def value_at(changes, time):
    """The last value of a change list at `time`."""
    value = None
    for t, v in changes:
        if t > time:
            break
        value = v
    return value


def check_companions(vcd, csv_path):
    """Each bus's decoded real companion equals the CSV column at every row."""
    reals = {}
    parse_vcd(vcd, reals)
    header, rows = read_csv(csv_path)
    for k, name in enumerate(header[1:], start=1):
        companion = reals.get(name + "_value")
        check(companion is not None, f"no decoded companion for {name}")
        if companion is None:
            continue
        wrong = [(r[0], r[k], value_at(companion, r[0])) for r in rows if value_at(companion, r[0]) != r[k]]
        check(not wrong, f"{name}: companion differs from the CSV at (time, csv, vcd) {wrong[:5]}")


def check_structure(design_name, out, stdout):
    files = sorted(os.listdir(out))
    check(not any(f.endswith(".partial") for f in files), f"half-written files left: {files}")
    for f in files:
        path = os.path.join(out, f)
        check("wrote" not in stdout or path in stdout, f"the summary does not list {path}")
        if f.endswith(".vcd"):
            changes = parse_vcd(path)
            check(len(changes) > 0, "VCD declares no variables")
            csv_path = path[:-4] + ".csv"
            if os.path.exists(csv_path):
                check_companions(path, csv_path)
            if shutil.which("vcd2fst"):
                fst = path + ".fst"
                p = subprocess.run(["vcd2fst", path, fst], capture_output=True, text=True)
                check(p.returncode == 0 and os.path.getsize(fst) > 0, f"vcd2fst rejects {f}: {p.stderr}")
                os.remove(fst)
        elif f.endswith(".csv"):
            header, rows = read_csv(path)
            check(header[0] == "time" and len(header) > 1, f"CSV header {header}")
            check(all(len(r) == len(header) for r in rows), "CSV rows of another length")
            check([r[0] for r in rows] == sorted(set(r[0] for r in rows)), "CSV times not strictly rising")
        elif f.endswith(".png"):
            with open(path, "rb") as p:
                check(p.read(8) == b"\x89PNG\r\n\x1a\n", f"{f} is not a PNG file")
            for beside in (".svg", ".gp", ".dat"):
                check(os.path.exists(path[:-4] + beside), f"no {beside} beside {f}")
    check("block steps" in stdout, "no summary printed")


def columns(out, name):
    header, rows = read_csv(os.path.join(out, name))
    return {h: [r[k] for r in rows] for k, h in enumerate(header)}


def values_arithmetic(out):
    c = columns(out, "arithmetic.csv")
    check(c["x"][1:] == [-3, 5, 0, -7, 10, 1, -1], f"pattern {c['x']}")
    for k in range(1, len(c["time"])):
        x = c["x"][k]
        check(c["abs"][k] == abs(x), f"abs({x}) = {c['abs'][k]}")
        check(c["square"][k] == x * x, f"square({x}) = {c['square'][k]}")
        check(c["plus13"][k] == x + 13, f"{x} + 13 = {c['plus13'][k]}")
        check(c["times4"][k] == 4 * x, f"4 * {x} = {c['times4'][k]}")
        check(c["group_square"][k] == x * x, f"group square({x}) = {c['group_square'][k]}")


def values_clocked_generator(out):
    changes = parse_vcd(os.path.join(out, "clocked_generator.vcd"))
    edges = [5 + 40 * k for k in range(25)]
    times = [t for t, _ in changes["clocked_sine"][1:]]
    check(set(times) <= set(edges), f"clocked sine changed off the clock edges: {times}")
    check(len(times) >= 20, f"clocked sine changed only {len(times)} times")
    c = columns(out, "clocked_generator.csv")
    check(c["level"][-1] == 100, f"level {c['level'][-1]}")
    free = dict(zip(c["time"], c["free_sine"]))
    for t in range(0, 1000, 10):
        if t in free:
            check(free[t] == round(1000 * math.sin(6.283185307 * t / 400)), f"free sine at {t}: {free[t]}")


def values_sine_hann_fft(out):
    c = columns(out, "sine_hann_fft.csv")
    check(max(c["sine"]) == 1000 and min(c["sine"]) == -1000, "sine amplitude")
    check(max(c["windowed"]) > 900 and min(c["windowed"]) < -900, "the window emitted nothing")
    # The sine has 8 samples per cycle: in 64 points its power sits in bin 8,
    # and the Hann window leaks a quarter of it into bins 7 and 9.
    spectrum = {}
    for b, p in zip(c["bin"], c["power"]):
        if p:
            spectrum[b] = p
    peak = max(spectrum.values() or [0])
    check(spectrum.get(8) == peak and peak > 0, f"power peak not in bin 8: {spectrum}")
    for b in (7, 9):
        check(abs(spectrum.get(b, 0) / max(peak, 1) - 0.25) < 0.02, f"Hann leakage into bin {b}: {spectrum.get(b)}")
    check(all(p < peak / 1000 for b, p in spectrum.items() if b not in (7, 8, 9)), f"power off the tone: {spectrum}")
    # The plot's last panel draws that spectrum over the bins.
    with open(os.path.join(out, "sine_hann_fft.dat")) as f:
        panels = f.read().split("\n\n\n")
    drawn = dict(tuple(int(x) for x in line.split()) for line in panels[-1].splitlines() if line and line[0] != "#")
    check(sorted(drawn) == list(range(33)) and max(drawn, key=drawn.get) == 8, f"the plot's spectrum: {drawn}")
    # The window takes the sine's samples 0..63, each once, on the rising
    # edges of strobe_a (times 4k + 1) and hands out w[n] * sine[n] in turn.
    expected = [round(0.5 * (1 - math.cos(2 * math.pi * n / 63)) * round(1000 * math.sin(2 * math.pi * n / 8)))
                for n in range(64)]
    held, k, emitted = 0, 0, []
    for t in range(1, 4 * 512, 4):
        while k < len(c["time"]) and c["time"][k] <= t:
            held = c["windowed"][k]
            k += 1
        emitted.append(held)
    found = any(emitted[i:i + 64] == expected for i in range(len(emitted) - 63))
    check(found, f"the window does not emit w[n] * sine[n] for n = 0..63: {emitted[60:80]}")


def wav_frames(path):
    check(os.path.exists(path), f"{path} not written")
    if not os.path.exists(path):
        return []
    with wave.open(path) as w:
        check(w.getsampwidth() == 2 and w.getnchannels() == 1, f"{path}: format")
        data = w.readframes(w.getnframes())
    return [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data), 2)]


def values_noisy_tone_filters(out):
    fir = wav_frames(os.path.join(out, "noisy_fir.wav"))
    lms = wav_frames(os.path.join(out, "noisy_lms.wav"))
    c = columns(out, "noisy_tone_filters.csv")
    # One row per sample (the noise changes every time); each recorder
    # samples the settled output one time unit later.
    check(len(c["time"]) == 4000, f"{len(c['time'])} rows")
    check(fir == c["fir_out"], "the FIR recording differs from the FIR output")
    check(lms == c["lms_out"], "the LMS recording differs from the LMS output")

    def roughness(a):
        return sum(abs(a[i + 1] - a[i]) for i in range(len(a) - 1)) / len(a)

    def error(a):
        half = len(a) // 2
        return sum(abs(a[i] - c["tone"][i]) for i in range(half, len(a))) / (len(a) - half)

    check(roughness(c["fir_out"]) < 0.6 * roughness(c["noisy"]), "the moving average does not smooth")
    # Adapting once per sample the LMS ends at 0.58 of the noisy error (it
    # reached only 0.68 while it adapted twice on each sample).
    check(error(c["lms_out"]) < 0.62 * error(c["noisy"]),
          f"the LMS filter does not approach the tone: {error(c['lms_out']) / error(c['noisy']):.3f} of the noise")


def values_wave_iir(out, design_dir):
    rec = wav_frames(os.path.join(out, "iir_out.wav"))
    src = wav_frames(os.path.join(design_dir, "data", "tone.wav"))
    check(len(rec) == len(src) == 800, f"recorded {len(rec)} of {len(src)} frames")
    # Frame k is on "played" from time 2k on.
    changes = parse_vcd(os.path.join(out, "wave_iir.vcd"))["played"]
    played, i = [], 0
    for k in range(len(src)):
        while i + 1 < len(changes) and changes[i + 1][0] <= 2 * k:
            i += 1
        bits = changes[i][1]
        played.append(int(bits[1:], 2) * (-1 if bits[0] == "1" else 1))
    check(played == src, "the player does not play the file")
    # y[n] = 0.25 x[n] + 0.75 y[n-1]: the 2800 Hz whistle falls by about
    # 16 dB, the 400 Hz tone by less than 2 dB.
    y, expect = 0.0, []
    for x in src:
        y = 0.25 * x + 0.75 * y
        expect.append(y)
    worst = max(abs(a - b) for a, b in zip(rec, expect)) if rec else 1e9
    check(worst <= 2, f"the recording is off the first-order low-pass by {worst}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--design", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--values", action="store_true")
    ap.add_argument("--expect-fail", action="store_true", help="a bad design: status 2 and no outputs")
    a = ap.parse_args()
    name = os.path.splitext(os.path.basename(a.design))[0]
    if a.expect_fail:
        p = run(a.rir_eda, a.design, a.out, 2)
        check(os.listdir(a.out) == [], f"outputs written for a bad design: {os.listdir(a.out)}")
        check("rir-eda: " in p.stderr, "no error message")
    else:
        p = run(a.rir_eda, a.design, a.out, 0)
        check_structure(name, a.out, p.stdout)
        again = a.out + ".again"
        run(a.rir_eda, a.design, again, 0)
        same = filecmp.dircmp(a.out, again)
        check(not same.diff_files and not same.left_only and not same.right_only,
              f"a second run differs: {same.diff_files} {same.left_only} {same.right_only}")
        shutil.rmtree(again, ignore_errors=True)
        if a.values:
            check_values = globals()["values_" + name]
            if name == "wave_iir":
                check_values(a.out, os.path.dirname(os.path.abspath(a.design)))
            else:
                check_values(a.out)
    print("FAILED" if FAILURES else "ok")
    sys.exit(1 if FAILURES else 0)


if __name__ == "__main__":
    main()
