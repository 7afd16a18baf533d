"""Independent reference for the transform tests.

Reads one case (JSON) written by OracleTest.cpp: the inputs, the block's
parameters and the value texts the block wrote. Computes the reference with
numpy/scipy, decodes the texts itself (sign-magnitude), and checks that each
output is the reference rounded to the nearest integer (ties to even),
allowing the other neighbour only where single-precision error could move
the value across a rounding boundary. Exit status 0 when all agree.
"""
import json
import sys

import numpy as np
import scipy.signal

LARGEST = 2**31 - 1


def decode(text):
    if len(text) == 1:
        return int(text, 2)
    magnitude = int("0" + text[1:], 2)
    return -magnitude if text[0] == "1" else magnitude


def compare(label, got, ref, tol, problems):
    for i, (g, r) in enumerate(zip(got, ref)):
        t = tol[min(i, len(tol) - 1)] if np.ndim(tol) else tol
        expected = int(np.clip(np.rint(r), -LARGEST, LARGEST))
        if g == expected:
            continue
        # Only near a rounding boundary may single precision pick the other side.
        if abs(g - r) <= 0.5 + t and (t >= 0.5 or abs(abs(r - np.floor(r)) - 0.5) <= t):
            continue
        problems.append(f"{label}[{i}]: got {g}, reference {r:.6f}")


def extend(values, count):
    """Emission after the last result repeats it."""
    values = list(values)
    return values + [values[-1]] * (count - len(values))


def check_buffer(case, re_ref, im_ref, re_tol, im_tol, problems):
    count = len(case["re"])
    re = [decode(t) for t in case["re"]]
    im = [decode(t) for t in case["im"]]
    ps = [decode(t) for t in case["ps"]]
    compare("re", re, extend(re_ref, count), re_tol, problems)
    compare("im", im, extend(im_ref, count), im_tol, problems)
    # The power output squares the emitted integers exactly.
    compare("ps", ps, [min(a * a + b * b, LARGEST) for a, b in zip(re, im)], 0, problems)


def window(kind, n, case):
    k = np.arange(n)
    m = n - 1
    if kind == "hamming":
        return 0.54 - 0.46 * np.cos(2 * np.pi * k / m)
    if kind == "blackman":
        a = case["alpha"]
        return (a + 1) / 2 - 0.5 * np.cos(2 * np.pi * k / m) - a / 2 * np.cos(4 * np.pi * k / m)
    if kind == "kaiser":
        beta = case["beta"]
        return np.i0(beta * np.sqrt(np.clip(1 - (2 * k / m - 1) ** 2, 0, None))) / np.i0(beta)
    raise ValueError(kind)


def x_at(x, dly, i):
    if i >= 0:
        return x[i]
    j = -i - 1
    return dly[j] if j < len(dly) else 0.0


def lms_reference(case):
    x, d = case["x"], case["d"]
    h = np.array(case["taps"], dtype=float)
    dly = case["dly"]
    mu = case["mu"][0]
    taps = len(h)
    out = []
    err = 0.0
    for n in range(len(x)):
        past = np.array([x_at(x, dly, n - k) for k in range(taps)])
        if case["mode"] == "carried":
            if n > 0:
                earlier = np.array([x_at(x, dly, n - 1 - k) for k in range(taps)])
                h = h + 2 * mu * err * earlier
            y = float(h @ past)
            err = d[n] - y
        elif case["mode"] == "desired":
            y = float(h @ past)
            h = h + 2 * mu * (d[n] - y) * past
        else:
            y = float(h @ past)
        out.append(y)
    return np.array(out)


def main(path):
    case = json.load(open(path))
    kind = case["kind"]
    problems = []
    if kind in ("hamming", "kaiser", "blackman"):
        n = case["n"]
        x = np.array(case["x"][:n])
        w = window(kind, n, case)
        re_ref, im_ref = np.arange(n) * w, x * w
        check_buffer(case, re_ref, im_ref, 2e-6 * np.abs(re_ref) + 1e-3, 2e-6 * np.abs(im_ref) + 1e-3, problems)
    elif kind == "spectrum":
        n = case["n"]
        spectrum = np.fft.rfft(np.array(case["x"][:n]))
        power = np.abs(spectrum) ** 2
        tol = 1e-6 * power.max() + 1.0
        check_buffer(case, np.arange(len(power)), power, 0, tol, problems)
    elif kind == "convolution":
        x, h = np.array(case["x"]), np.array(case["h"])
        y = np.convolve(x, h)
        tol = 1e-6 * np.convolve(np.abs(x), np.abs(h)) + 1e-3
        check_buffer(case, np.arange(len(y)), y, 0, tol, problems)
    else:
        x = np.array(case["x"], dtype=float)
        got = [decode(t) for t in case["out"]]
        if kind == "fir":
            b = np.array(case["taps"])
            zi = scipy.signal.lfiltic(b, [1.0], [], case["dly"])
            ref = scipy.signal.lfilter(b, [1.0], x, zi=zi)[0]
            tol = 1e-6 * np.convolve(np.abs(x), np.abs(b))[: len(x)] + 1e-6 * np.abs(b).sum() * 1000 + 1e-3
        elif kind == "iir":
            t = np.array(case["taps"])
            order = (len(t) - 2) // 2
            ref = scipy.signal.lfilter(t[: order + 1], t[order + 1 :], x)
            tol = 1e-5 * np.abs(ref).max() + 1e-2
        elif kind == "biquads":
            ref = scipy.signal.sosfilt(np.array(case["taps"]).reshape(-1, 6), x)
            tol = 1e-5 * np.abs(ref).max() + 1e-2
        elif kind == "lms":
            ref = lms_reference(case)
            tol = 1e-4 * np.abs(ref).max() + 5e-2
        else:
            raise ValueError(kind)
        if len(got) != len(ref):
            problems.append(f"{len(got)} outputs, reference has {len(ref)}")
        compare("out", got, ref, tol, problems)
    if problems:
        print(f"{len(problems)} disagreements in {path}")
        print("\n".join(problems[:20]))
        return 1
    print("agree")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
