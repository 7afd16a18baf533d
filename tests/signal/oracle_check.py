"""Recomputes every NSPPX result printed by nsp_oracle_dump with numpy/scipy
and compares within single-precision tolerances."""
import subprocess
import sys

import numpy as np
from scipy import ndimage, signal

failures = []
checks = 0


def load(program):
    out = subprocess.run([program], check=True, capture_output=True, text=True).stdout
    data = {}
    for line in out.splitlines():
        name, field, values = line.split("|")
        # Nine digits name each float exactly; round back to it.
        data.setdefault(name, {})[field] = np.array(
            [float(v) for v in values.split()], dtype=np.float32).astype(np.float64)
    return data


def close(what, got, want, rtol=2e-6, scale=None):
    """|got - want| <= rtol * scale, scale defaulting to the largest |want|
    (element-wise when scale is 'each')."""
    global checks
    checks += 1
    got = np.asarray(got, dtype=np.float64)
    want = np.asarray(want, dtype=np.float64)
    if got.shape != want.shape:
        failures.append(f"{what}: {got.shape} values, expected {want.shape}")
        return
    if scale == "each":
        bound = rtol * np.maximum(np.abs(want), 1e-30)
    else:
        s = scale if scale is not None else max(np.max(np.abs(want), initial=0.0), 1e-30)
        bound = rtol * s
    err = np.abs(got - want)
    if not np.all(err <= bound):
        i = int(np.argmax(err - bound))
        failures.append(f"{what}: index {i}: got {got[i]!r}, expected {want[i]!r}")


def f32(v):
    return np.asarray(v, dtype=np.float32).astype(np.float64)


def elementwise(d):
    e = d["elem"]
    x, y, pos = e["x"], e["y"], e["pos"]
    close("exp", e["exp"], np.exp(x), scale="each")
    close("abs", e["abs"], np.abs(x), scale="each")
    close("sqr", e["sqr"], x * x, scale="each")
    close("ln", e["ln"], np.log(pos), rtol=1e-6)
    close("sqrt", e["sqrt"], np.sqrt(pos), scale="each")
    t = f32(0.4)
    close("thresh LT", e["thresh_lt"], np.where(x < t, t, x), scale="each")
    close("thresh GT", e["thresh_gt"], np.where(x > t, t, x), scale="each")
    lim = 0.75
    with np.errstate(divide="ignore"):
        inv = np.where(np.abs(x) < lim, np.where(x < 0, -1.0, 1.0) / lim, 1.0 / x)
    close("inverse thresh", e["invthresh"], inv, scale="each")
    close("add", e["add"], x + y, scale=np.max(np.abs(x) + np.abs(y)))
    close("mpy", e["mpy"], x * y, scale="each")
    close("set", e["set"], np.full_like(x, 2.5), scale="each")
    close("min", e["min"], np.array([np.min(y)]), scale="each")
    b = d["bitrev"]
    want = []
    for a, order in zip(b["a"].astype(np.int64), b["order"].astype(np.int64)):
        u = int(a) & 0xFFFFFFFF
        order = min(int(order), 32)
        low = (1 << order) - 1
        r = int(format(u & low, f"0{order}b")[::-1], 2) if order > 0 else 0
        v = (u & ~low & 0xFFFFFFFF) | r if order > 0 else u
        want.append(v - (1 << 32) if v >= 1 << 31 else v)
    close("bit reversal", b["out"], np.array(want, dtype=np.float64), rtol=0, scale=1)


def windows(d):
    for n in (1, 2, 3, 8, 17):
        w = d[f"win{n}"]
        m = n - 1
        k = np.arange(n)
        if n == 1:
            shapes = {s: np.ones(1) for s in
                      ("bartlett", "hann", "hamming", "blackman", "blackmanstd", "blackmanopt",
                       "kaiser")}
        else:
            def blackman(alpha):
                return ((alpha + 1) / 2 - 0.5 * np.cos(2 * np.pi * k / m)
                        - alpha / 2 * np.cos(4 * np.pi * k / m))
            if m == 2:  # -1/(4 cos^2(pi/2)) is infinite; the alpha term's factor is 0
                opt = np.array([0.0, 1.0, 0.0])
            else:
                opt = blackman(-1 / (4 * np.cos(np.pi / m) ** 2))
            shapes = {
                "bartlett": np.bartlett(n), "hann": np.hanning(n), "hamming": np.hamming(n),
                "blackman": blackman(f32(0.3)), "blackmanstd": np.blackman(n),
                "blackmanopt": opt, "kaiser": np.kaiser(n, f32(4.5)),
            }
        for shape, win in shapes.items():
            for part in ("re", "im"):
                close(f"{shape} window N={n} ({part})", w[f"{shape}_{part}"],
                      w[f"in_{part}"] * win, rtol=1e-6, scale=1.0)


def correlation(d):
    a = d["acorr"]
    x = a["x"]
    n = len(x)
    full = np.correlate(x, x, "full")[n - 1:]
    r = np.zeros(25)
    r[:n] = full
    scale = np.max(np.abs(r))
    close("autocorrelation normal", a["type0"], r, rtol=1e-6, scale=scale)
    close("autocorrelation biased", a["type1"], r / n, rtol=1e-6, scale=scale / n)
    unb = np.zeros(25)
    unb[:n] = full / (n - np.arange(n))
    close("autocorrelation unbiased", a["type2"], unb, rtol=1e-6, scale=np.max(np.abs(unb)))
    c = d["conv"]
    close("convolution", c["y"], np.convolve(c["x"], c["h"]), rtol=1e-6)
    c2 = d["conv2d"]
    want = signal.convolve2d(c2["x"].reshape(4, 5), c2["h"].reshape(3, 2), "full")
    close("2-D convolution", c2["y"], want.ravel(), rtol=1e-6)
    close("2-D convolution, one column", d["conv2d_col"]["y"], np.convolve(c["x"], c["h"]),
          rtol=1e-6)
    f = d["filter2d"]
    want = ndimage.correlate(f["x"].reshape(6, 7), f["h"].reshape(3, 4), mode="constant",
                             cval=0.0)
    close("2-D filtering", f["y"], want.ravel(), rtol=1e-6)


def sampling(d):
    s = d["sampling"]
    x = s["x"]
    up = np.zeros(len(x) * 3)
    up[1::3] = x
    close("up-sampling across blocks", s["up"], up, rtol=0, scale=1)
    close("down-sampling across blocks", s["down"], x[1::3], rtol=0, scale=1)
    for n in (7, 8):
        c = d[f"conj{n}"]
        src = c["in_re"] + 1j * c["in_im"]
        want = np.concatenate([src, np.conj(src[::-1])[:2 * (n // 2)]])
        close(f"conjugate extension N={n} (re)", c["out_re"], want.real, rtol=0, scale=1)
        close(f"conjugate extension N={n} (im)", c["out_im"], want.imag, rtol=0, scale=1)


def fourier(d):
    for order in range(14):
        n = 1 << order
        f = d[f"fft{order}"]
        want = np.fft.rfft(f["x"])
        tol = 2e-6 * (order + 1)
        scale = max(np.max(np.abs(want)), 1e-30)
        close(f"real FFT N={n} (re)", f["X_re"], want.real, rtol=tol, scale=scale)
        close(f"real FFT N={n} (im)", f["X_im"], want.imag, rtol=tol, scale=scale)
        got = f["X_re"] + 1j * f["X_im"]
        close(f"power spectrum N={n}", f["power"], np.abs(got) ** 2, scale="each")
        spectrum = f["ccs_re"] + 1j * f["ccs_im"]
        back = np.fft.irfft(spectrum, n) if n > 1 else spectrum.real
        bound = np.max(np.abs(back))
        close(f"CCS inverse N={n}", f["inv0"], back, rtol=tol, scale=bound)
        close(f"CCS inverse N={n}, no scaling", f["inv8"], back * n, rtol=tol, scale=bound * n)
        close(f"CCS inverse N={n}, other flags", f["inv18"], back, rtol=tol, scale=bound)
    g = d["goertz"]
    x = g["x"]
    rows = g["f_n_re_im"].reshape(-1, 4)
    for freq, n, re, im in rows:
        n = int(n)
        want = np.sum(x[:n] * np.exp(-2j * np.pi * freq * np.arange(n)))
        scale = np.sum(np.abs(x[:n]))
        close(f"Goertzel f={freq} N={n}", [re, im], [want.real, want.imag], rtol=2e-6,
              scale=scale)


def fir(d):
    x = d["fir"]["x"]
    for taps in (6, 33):
        f = d[f"fir{taps}"]
        h, dly = f["h"], f["dly"]
        zi = signal.lfiltic(h, [1.0], [], dly[:taps - 1])
        want, _ = signal.lfilter(h, [1.0], x, zi=zi)
        scale = np.max(np.abs(want))
        close(f"FIR {taps} taps", f["high"], want, rtol=2e-6, scale=scale)
        close(f"low-level FIR {taps} taps", f["low"], want, rtol=2e-6, scale=scale)
    h, dly = d["firmr"]["h"], d["firmr"]["dly"]
    for r in range(3):
        f = d[f"firmr{r}"]
        up, up_phase, down, down_phase = (int(v) for v in f["rates"])
        calls = len(f["high"])
        u = np.zeros(calls * up)
        u[up_phase::up] = x[:calls]
        v, _ = signal.lfilter(h, [1.0], u, zi=signal.lfiltic(h, [1.0], [], dly[:len(h) - 1]))
        want, last = [], 0.0
        for i in range(calls):
            for m in range(i * up, (i + 1) * up):
                if m % down == down_phase:
                    last = v[m]
            want.append(last)
        want = np.array(want)
        what = f"multi-rate FIR up {up}/{up_phase} down {down}/{down_phase}"
        close(what, f["high"], want, rtol=2e-6, scale=np.max(np.abs(want)))
        close("low-level " + what, f["low"], want, rtol=2e-6, scale=np.max(np.abs(want)))


def iir(d):
    x = d["iir"]["x"]
    t = d["iir_direct"]["taps"]
    want = signal.lfilter(t[:4], t[4:], x)
    close("IIR order 3", d["iir_direct"]["y"], want, rtol=1e-5)
    t, z = d["iir_low"]["taps"], d["iir_low"]["z"]
    want, _ = signal.lfilter(t[:4], t[4:], x, zi=z)
    close("low-level IIR with registers", d["iir_low"]["y"], want, rtol=1e-5)
    q = d["iir_bq"]
    sos = q["taps"].reshape(2, 6)
    sos = sos / sos[:, 3:4]
    close("biquad cascade", q["high"], signal.sosfilt(sos, x), rtol=1e-5)
    want, _ = signal.sosfilt(sos, x, zi=q["z"].reshape(2, 2))
    close("low-level biquads with registers", q["low"], want, rtol=1e-5)


def lms_reference(h0, dly, x, side, mu, lam, err_dly, down, phase, mode, adapt=True):
    """Leaky LMS from its defining formulas, in double precision."""
    h = h0.copy()
    taps = len(h)
    delay = max(err_dly, 1)

    def past(i):
        if i >= 0:
            return x[i]
        j = -1 - i
        return dly[j] if j < taps else 0.0

    def window(i):
        return np.array([past(i - k) for k in range(taps)])

    out, last = [], 0.0
    for n in range(len(x)):
        if n % down != phase:
            out.append(last)
            continue
        if mode == "err":
            if adapt:
                h = (1 - 2 * mu * lam) * h + 2 * mu * side[n] * window(n - delay * down)
            y = h @ window(n)
        else:
            y = h @ window(n)
            if mode == "des" and adapt:
                h = (1 - 2 * mu * lam) * h + 2 * mu * (side[n] - y) * window(n)
        out.append(y)
        last = y
    return np.array(out)


def lms(d):
    c = d["lms"]
    x, side, h, dly = c["x"], c["side"], c["h"], c["dly"]
    mu, lam = c["step_leak"]
    for k in range(3):
        f = d[f"lms{k}"]
        err_dly, down, phase = (int(v) for v in f["params"])
        what = f"(error delay {err_dly}, down {down}/{phase})"
        for field, mode, adapt in (("err", "err", True), ("low", "err", True),
                                   ("des", "des", True), ("na", "none", False),
                                   ("frozen", "err", False)):
            want = lms_reference(h, dly, x, side, mu, lam, err_dly, down, phase, mode, adapt)
            close(f"LMS {field} {what}", f[field], want, rtol=1e-5)


def main():
    data = load(sys.argv[1])
    for part in (elementwise, windows, correlation, sampling, fourier, fir, iir, lms):
        part(data)
    for f in failures:
        print("MISMATCH", f)
    print(f"{checks} comparisons, {len(failures)} mismatches")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
