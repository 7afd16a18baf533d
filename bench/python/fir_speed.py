#!/usr/bin/python3
"""Samples per second of a 63-tap FIR block driven from Python over an array,
beside scipy.signal.lfilter with the same taps over the same data in the same
process, and the block stepped one call per sample (--stepped); with
--gnuradio also inside a GNU Radio flowgraph (vector source -> rir_eda.gr
block -> null sink), with the number of work() calls. Best of --repeats.

Run with the module on the path, e.g.
    PYTHONPATH=build/python /usr/bin/python3 bench/python/fir_speed.py [--gnuradio]
"""
import argparse
import time

import numpy as np

import rir_eda

parser = argparse.ArgumentParser(description=__doc__)
parser.add_argument("--samples", type=int, default=1_000_000)
parser.add_argument("--repeats", type=int, default=3)
parser.add_argument("--gnuradio", action="store_true", help="also in a GNU Radio flowgraph")
parser.add_argument("--stepped", action="store_true", help="also the block stepped one call per sample")
args = parser.parse_args()

taps = np.hamming(63) / np.sum(np.hamming(63))
x = np.random.default_rng(0).integers(-30000, 30000, args.samples)


def alone(whole=True):
    fir = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=taps)
    fir._block.use_array_steps(whole)
    start = time.perf_counter()
    fir.process(DSrc=x)
    return time.perf_counter() - start, 1


def stepped():
    return alone(whole=False)


def lfilter():
    import scipy.signal

    start = time.perf_counter()
    scipy.signal.lfilter(taps, 1.0, x)
    return time.perf_counter() - start, 1


def flowgraph():
    from gnuradio import blocks, gr

    import rir_eda.gr

    tb = gr.top_block()
    fir = rir_eda.gr.block("High_Level_FIR_Init", FIRS_Taps=taps)
    calls = [0]
    work = fir.work

    def counted(input_items, output_items):
        calls[0] += 1
        return work(input_items, output_items)

    fir.work = counted
    tb.connect(blocks.vector_source_i(x.tolist()), fir, blocks.null_sink(4))
    start = time.perf_counter()
    tb.run()
    return time.perf_counter() - start, calls[0]


runs = [("63-tap FIR", alone), ("scipy.signal.lfilter", lfilter)]
runs += [("63-tap FIR, stepped", stepped)] if args.stepped else []
runs += [("in GNU Radio", flowgraph)] if args.gnuradio else []
for name, run in runs:
    best, calls = min(run() for _ in range(args.repeats))
    print("%s: %d samples in %.3f s, %.2f M samples/s (%d call%s)"
          % (name, args.samples, best, args.samples / best / 1e6, calls, "" if calls == 1 else "s"))
