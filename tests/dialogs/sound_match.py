#!/usr/bin/python3
"""Checks a recording of the sound sink against the sounds that should be in it.

sound_match.py CANDIDATES... --case LABEL RECORDING.raw NAME [NAME...] [--case ...]

CANDIDATES are WAVE files; a candidate's name is its file name without the
extension. Each case is checked on its own; RECORDING.raw is signed 16-bit
little-endian mono at 44100 samples per second (what parec records from the
sink's monitor). The expected names are each looked for once, and must come
in the given order, each one:
  - lasting as long as its file, within 50 ms;
  - correlating with its own file better than with every other candidate;
  - starting after the previous one has ended.
Prints one line per expected sound and "RESULT LABEL ok" or "RESULT LABEL
fail" per case; exits 1 when a check of any case fails.
"""
import argparse
import math
import os
import sys
import wave

import numpy as np
from scipy import signal

RATE = 44100
DURATION_TOLERANCE = 0.050
MIN_CORRELATION = 0.90
MIN_MARGIN = 0.15  # own correlation above the best other candidate's
OVERLAP_TOLERANCE = 0.010


def read_wave(path):
    with wave.open(path, "rb") as w:
        channels, width, rate = w.getnchannels(), w.getsampwidth(), w.getframerate()
        raw = w.readframes(w.getnframes())
    if width == 1:
        x = (np.frombuffer(raw, dtype=np.uint8).astype(np.float64) - 128.0) * 256.0
    elif width == 2:
        x = np.frombuffer(raw, dtype="<i2").astype(np.float64)
    else:
        raise SystemExit(f"{path}: {8 * width}-bit samples are not handled here")
    x = x.reshape(-1, channels).mean(axis=1)  # the sink mixes down to mono the same way
    g = math.gcd(RATE, rate)
    return signal.resample_poly(x, RATE // g, rate // g)


def sound_span(x, start=0, stop=None):
    """First and last sample (in x) louder than 5 % of the loudest in [start, stop)."""
    stop = len(x) if stop is None else stop
    seg = np.abs(x[start:stop])
    if len(seg) == 0 or seg.max() == 0:
        return None
    loud = np.nonzero(seg > 0.05 * seg.max())[0]
    return start + loud[0], start + loud[-1]


def normalized_correlation(rec, tmpl):
    """For every lag where tmpl fits in rec: <rec window, tmpl> / (|window| |tmpl|)."""
    if len(tmpl) > len(rec):
        return np.zeros(1)
    corr = signal.fftconvolve(rec, tmpl[::-1], mode="valid")
    energy = np.concatenate(([0.0], np.cumsum(rec * rec)))
    window = energy[len(tmpl):] - energy[: len(energy) - len(tmpl)]
    norm = np.sqrt(np.maximum(window, 0.0)) * np.linalg.norm(tmpl)
    # Near-silent windows say nothing (and their energy is mostly rounding).
    quiet = window < 1e-3 * max(window.max(), 1e-9)
    return np.where(quiet, 0.0, corr / np.maximum(norm, 1e-9))


def check(recording, cands, expect):
    """Prints what was found; returns the failures."""
    rec = np.fromfile(recording, dtype="<i2").astype(np.float64)
    ncc = {name: normalized_correlation(rec, t) for name, t in cands.items()}

    failures = []
    # Where each expected sound is: its own best correlation in the recording.
    found = []  # (name, start, end) in samples
    for name in expect:
        if name not in cands:
            raise SystemExit(f"{name}: no such candidate")
        lag = int(np.argmax(ncc[name]))
        found.append((name, lag, lag + len(cands[name])))

    print(f"recording: {len(rec) / RATE:.3f} s")
    pad = int(0.25 * RATE)
    for i, (name, start, end) in enumerate(found):
        peak = float(ncc[name][start])
        # The best any other candidate reaches where it would overlap this sound.
        other_name, other_peak = "-", 0.0
        for oname, o in ncc.items():
            if oname == name:
                continue
            lo = max(0, start - len(cands[oname]))
            hi = min(len(o), end)
            if hi > lo:
                p = float(o[lo:hi].max())
                if p > other_peak:
                    other_name, other_peak = oname, p
        # Duration: the sounding span around the match, up to halfway to its
        # neighbours.
        lo = max(0, start - pad, (found[i - 1][2] + start) // 2 if i > 0 else 0)
        hi = min(len(rec), end + pad, (end + found[i + 1][1]) // 2 if i + 1 < len(found) else len(rec))
        span = sound_span(rec, lo, hi) if hi > lo else None
        rec_dur = (span[1] - span[0] + 1) / RATE if span else 0.0
        clip_dur = (end - start) / RATE
        print(
            f"{name}: clip {clip_dur * 1000:.0f} ms, recorded {rec_dur * 1000:.0f} ms, "
            f"at {start / RATE:.3f} s, correlation {peak:.3f} "
            f"(best other {other_name} {other_peak:.3f})"
        )
        if abs(rec_dur - clip_dur) > DURATION_TOLERANCE:
            failures.append(f"{name}: recorded {rec_dur:.3f} s, clip {clip_dur:.3f} s")
        if peak < MIN_CORRELATION:
            failures.append(f"{name}: correlation {peak:.3f} below {MIN_CORRELATION}")
        if peak - other_peak < MIN_MARGIN:
            failures.append(f"{name}: not told apart from {other_name} ({peak:.3f} vs {other_peak:.3f})")
        if i > 0:
            prev = found[i - 1]
            print(f"gap {prev[0]} -> {name}: {(start - prev[2]) * 1000 / RATE:.0f} ms")
            if start < prev[1]:
                failures.append(f"{name}: comes before {prev[0]}")
            elif start + OVERLAP_TOLERANCE * RATE < prev[2]:
                failures.append(f"{name}: starts {(prev[2] - start) / RATE:.3f} s before {prev[0]} ends")
    for f in failures:
        print("FAIL " + f)
    return failures


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("candidates", nargs="+")
    ap.add_argument("--case", nargs="+", action="append", required=True, metavar="LABEL RECORDING NAME")
    args = ap.parse_args()

    cands = {os.path.splitext(os.path.basename(p))[0]: read_wave(p) for p in args.candidates}
    # Templates are cut to their sounding part, as the recording is measured.
    for name, x in cands.items():
        span = sound_span(x)
        cands[name] = x[span[0] : span[1] + 1]
    failed = False
    for case in args.case:
        if len(case) < 3:
            raise SystemExit(f"--case {' '.join(case)}: needs a label, a recording and a name")
        print(f"[{case[0]}]")
        ok = not check(case[1], cands, case[2:])
        print(f"RESULT {case[0]} {'ok' if ok else 'fail'}")
        failed |= not ok
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
