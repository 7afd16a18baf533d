#!/usr/bin/python3
"""Samples per second of a 63-tap FIR block driven from Python over an array.

Run with the module on the path, e.g.
    PYTHONPATH=build/python /usr/bin/python3 bench/python/fir_speed.py
"""
import argparse
import time

import numpy as np

import rir_eda

parser = argparse.ArgumentParser(description=__doc__)
parser.add_argument("--samples", type=int, default=2_000_000)
parser.add_argument("--repeats", type=int, default=3)
args = parser.parse_args()

taps = np.hamming(63) / np.sum(np.hamming(63))
x = np.random.default_rng(0).integers(-30000, 30000, args.samples)
fir = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=taps)
best = float("inf")
for _ in range(args.repeats):
    fir.reset()
    start = time.perf_counter()
    fir.process(DSrc=x)
    best = min(best, time.perf_counter() - start)
print("63-tap FIR: %d samples in %.3f s, %.2f M samples/s" % (args.samples, best, args.samples / best / 1e6))
