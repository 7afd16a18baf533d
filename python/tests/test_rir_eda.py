"""The Python module against the simulator, scipy and textbook formulas."""
import csv
import doctest
import filecmp
import os
import subprocess
import warnings

import numpy as np
import pytest
import scipy.signal

import rir_eda

# A 63-tap band-pass (0.1 .. 0.25 of the sample rate).
BANDPASS = scipy.signal.firwin(63, [0.2, 0.5], pass_zero=False)


def toml_list(values):
    return "[" + ", ".join(repr(float(v)) if isinstance(v, float) else str(int(v)) for v in values) + "]"


def design_text(x, d):
    """x and d as patterns, through a band-pass FIR, an LMS towards d, a Hann
    buffer block with its strobes held at 1, and a tone."""
    return f"""
[simulation]
steps = {len(x)}

[[variable]]
name = "x"
width = 16
[[variable]]
name = "d"
width = 16
[[variable]]
name = "one"
kind = "Line"
[[variable]]
name = "fir"
width = 16
[[variable]]
name = "lms"
width = 16
[[variable]]
name = "hann"
width = 16
[[variable]]
name = "tone"
width = 16

[[stimulus]]
type = "pattern"
variable = "x"
values = {toml_list(x)}
[[stimulus]]
type = "pattern"
variable = "d"
values = {toml_list(d)}
[[stimulus]]
type = "constant"
variable = "one"
value = "1"

[[block]]
name = "bp"
type = "High_Level_FIR_Init"
inputs = {{ DSrc = "x" }}
outputs = {{ DOut = "fir" }}
parameters = {{ FIRS_TapsCount = 63, FIRS_Taps = {toml_list(BANDPASS)} }}

[[block]]
name = "adapt"
type = "High_Level_LMS_Init"
inputs = {{ DSrc = "x", DDes = "d" }}
outputs = {{ DOut = "lms" }}
parameters = {{ LMSS_TapsCount = 4, LMSS_Taps = [0.0, 0.0, 0.0, 0.0], LMSS_Delay = [0.0, 0.0, 0.0, 0.0], LMSS_Step = 1e-9 }}

[[block]]
name = "win"
type = "Hann_trans_Init"
inputs = {{ DIn = "x", R = "one", W = "one" }}
outputs = {{ DReOut = "hann" }}
parameters = {{ Num_Points = 16 }}

[[block]]
name = "gen"
type = "Tone_Init"
outputs = {{ Out = "tone" }}
parameters = {{ ToneMag = 3000, ToneRelFreq = 0.01 }}

[output]
csv = "values.csv"
csv_buses = ["x", "d", "fir", "lms", "hann", "tone"]
vcd = "values.vcd"
"""


def test_module_agrees_with_the_simulator_bit_for_bit(tmp_path, rir_eda_bin):
    rng = np.random.default_rng(7)
    x = rng.integers(-12000, 12000, 400)
    d = np.round(0.5 * x + 0.25 * np.roll(x, 1)).astype(np.int64)
    design = tmp_path / "design.toml"
    design.write_text(design_text(x, d))

    cli = tmp_path / "cli"
    subprocess.run([rir_eda_bin, "run", str(design), "-o", str(cli), "-q"], check=True)
    result = rir_eda.run(design, output_dir=tmp_path / "py")
    # The same files as the simulator writes.
    for name in ("values.csv", "values.vcd"):
        assert filecmp.cmp(cli / name, tmp_path / "py" / name, shallow=False), name
    # The values run() returns are the CSV's, at the CSV's times.
    with open(cli / "values.csv") as f:
        rows = list(csv.DictReader(f))
    index = {int(t): i for i, t in enumerate(result.time)}
    for row in rows:
        i = index[int(row["time"])]
        for bus in ("x", "d", "fir", "lms", "hann", "tone"):
            assert result[bus][i] == int(row[bus]), (bus, row["time"])
    np.testing.assert_array_equal(result["x"], x)

    # Blocks stepped alone give the design's values, sample for sample.
    bp = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=BANDPASS)
    np.testing.assert_array_equal(bp.process(DSrc=x)["DOut"], result["fir"])
    lms = rir_eda.Block("High_Level_LMS_Init", LMSS_Taps=[0.0] * 4, LMSS_Delay=[0.0] * 4, LMSS_Step=1e-9)
    np.testing.assert_array_equal(lms.process(DSrc=x, DDes=d)["DOut"], result["lms"])
    hann = rir_eda.Block("Hann_trans_Init", Num_Points=16)
    np.testing.assert_array_equal(hann.process(DIn=x)["DReOut"], result["hann"])
    tone = rir_eda.Block("Tone_Init", ToneMag=3000, ToneRelFreq=0.01)
    np.testing.assert_array_equal(tone.process(n=len(x))["Out"], result["tone"])
    # Processing in pieces continues the same run; reset() starts anew.
    bp.reset()
    pieces = np.concatenate([bp.process(DSrc=x[:150])["DOut"], bp.process(DSrc=x[150:])["DOut"]])
    np.testing.assert_array_equal(pieces, result["fir"])
    # Filters and element-wise blocks over whole arrays give what one call per
    # sample gives, values that wrap, overflow or fail and their warnings too.
    for i, (kind, width, sign, fields, ports) in enumerate([
            ("High_Level_FIR_Init", 16, 0, {}, ["DSrc"]), ("Low_Level_FIR_Init", 12, 1, {}, ["DSrc"]),
            ("High_Level_FIR_Init", 32, 0, {"isMulti_Rate": 1, "FIRH_UpFactor": 2, "FIRH_DownFactor": 3}, ["DSrc"]),
            ("High_Level_IIR_Init", 16, 0, {"IIRS_Taps": [0.5, 0.25, 1.0, -0.5]}, ["DSrc"]),
            ("High_Level_LMS_Init", 16, 0, {"LMSS_Step": 1e-8}, ["DSrc", "DDes"]),
            ("Low_Level_LMS_Init", 16, 0, {"LMSS_Step": 1e-8}, ["DSrc", "DDes"]),
            ("Multiply_Division_Init", 32, 0, {"Mpy_Div_coef": 3e5}, ["DIn", "D2In"]),
            ("Square_Root_Init", 8, 0, {}, ["DIn"])]):
        if "FIR" in kind:
            fields = dict(fields, FIRS_Taps=rng.normal(0, 1.5, rng.integers(1, 66)))
        lo, hi = (-(2**(width - 1)) + 1, 2**(width - 1)) if sign == 0 else (0, 2**width)
        inputs = {port: rng.integers(lo, hi, 9000 + i) for port in ports}
        outs, said = [], []
        for whole in (True, False):
            block = rir_eda.Block(kind, width=width, sign=sign, inputs=[p for p in ports if p == "D2In"], **fields)
            block._block.use_array_steps(whole)
            with warnings.catch_warnings():
                warnings.simplefilter("ignore", rir_eda.RirEdaWarning)
                outs.append(np.concatenate([block.process(**{p: v[:5000] for p, v in inputs.items()})["DOut"],
                                            block.process(**{p: v[5000:] for p, v in inputs.items()})["DOut"]]))
            said.append(block.messages)
        np.testing.assert_array_equal(outs[0], outs[1], err_msg=kind)
        assert said[0] == said[1], kind
        assert said[0] or not ("FIR" in kind or "Multiply" in kind), kind  # these have values that do not fit

    # A WAVE player, an IIR and a recorder: run() writes the recording the simulator writes.
    wave = os.path.join(os.path.dirname(__file__), "..", "..", "examples", "wave_iir.toml")
    subprocess.run([rir_eda_bin, "run", wave, "-o", str(tmp_path / "wcli"), "-q"], check=True)
    filtered = rir_eda.run(wave, output_dir=tmp_path / "wpy")["filtered"][::2]
    assert filecmp.cmp(tmp_path / "wcli" / "iir_out.wav", tmp_path / "wpy" / "iir_out.wav", shallow=False)
    # A recorder alone records every sample it is given, the first too.
    with rir_eda.Block("Wave_Save_Init", folder=str(tmp_path), FileName="alone.wav", BitsPerSample=16) as rec:
        rec.process(C1=filtered)
    assert filecmp.cmp(tmp_path / "wcli" / "iir_out.wav", tmp_path / "alone.wav", shallow=False)


def test_every_width_and_sign_mode_reads_as_the_csv(tmp_path, rir_eda_bin):
    """Buses of widths 1, 16, 31 and 32 in both sign modes, written by
    patterns, an adder and a constant: run(), Block.process() and the CSV
    give the same 32-bit signed samples (an unsigned 32-bit bus holding
    1111...10000 reads -16)."""
    rng = np.random.default_rng(3)
    steps = 24
    text = f"[simulation]\nsteps = {steps}\n"
    cases = []
    for width in (1, 16, 31, 32):
        for sign in (0, 1):
            x, y, c = (f"{v}{width}_{sign}" for v in "xyc")
            bits = ["1" * width, "1" + "0" * (width - 1), ("1" * width)[:-4] + "0000" if width > 4 else "0"]
            bits += ["".join(rng.choice(["0", "1"], width)) for _ in range(steps - len(bits))]
            text += "".join(f'[[variable]]\nname = "{v}"\nwidth = {width}\n' for v in (x, y, c))
            text += f'[[stimulus]]\ntype = "pattern"\nvariable = "{x}"\nvalues = {bits!r}\n'.replace("'", '"')
            text += (f'[[block]]\nname = "add{x}"\ntype = "Addition_Substraction_Init"\nsign_value = {sign}\n'
                     f'inputs = {{ DIn = "{x}" }}\noutputs = {{ DOut = "{y}" }}\nparameters = {{ Add_Sub_coef = 3 }}\n'
                     f'[[block]]\nname = "const{x}"\ntype = "Constant_Init"\nsign_value = {sign}\n'
                     f'outputs = {{ Out = "{c}" }}\nparameters = {{ ConstantValue = -2147483648.0 }}\n')
            cases.append((width, sign, x, y, c))
    buses = [v for case in cases for v in case[2:]]
    text += f"[output]\ncsv = \"values.csv\"\ncsv_buses = {buses!r}\n".replace("'", '"')
    design = tmp_path / "widths.toml"
    design.write_text(text)
    subprocess.run([rir_eda_bin, "run", str(design), "-o", str(tmp_path), "-q"], check=True)
    result = rir_eda.run(design, output_dir=tmp_path / "py")
    with open(tmp_path / "values.csv") as f:
        rows = list(csv.DictReader(f))
    index = {int(t): i for i, t in enumerate(result.time)}
    for row in rows:
        for bus in buses:
            assert result[bus][index[int(row["time"])]] == int(row[bus]), (bus, row["time"])
    assert result["x32_1"][2] == -16
    for width, sign, x, y, c in cases:
        add = rir_eda.Block("Addition_Substraction_Init", width=width, sign=sign, Add_Sub_coef=3)
        np.testing.assert_array_equal(add.process(DIn=result[x])["DOut"], result[y], err_msg=y)
        const = rir_eda.Block("Constant_Init", width=width, sign=sign, ConstantValue=-2147483648.0)
        np.testing.assert_array_equal(const.process(n=steps)["Out"], result[c], err_msg=c)


def test_filters_match_scipy_within_rounding():
    rng = np.random.default_rng(3)
    x = rng.integers(-20000, 20000, 5000)
    # Single-precision arithmetic, then rounding to the nearest integer.
    fir = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=BANDPASS, FIRS_Delay=[0.0] * 63)
    y = fir.process(DSrc=x)["DOut"]
    ref = scipy.signal.lfilter(BANDPASS, 1.0, x)
    assert np.max(np.abs(y - ref)) <= 0.5 + 1e-3 * np.max(np.abs(ref))
    assert np.mean(y == np.round(ref)) > 0.95
    # A one-sample delay: the first output is the delay line's.
    delay = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[0.0, 1.0], FIRS_Delay=[7.0, 0.0])
    np.testing.assert_array_equal(delay.process(DSrc=x[:50])["DOut"], np.concatenate([[7], x[:49]]))
    # A first-order low-pass IIR: b = (0.25, 0), a = (1, -0.75).
    iir = rir_eda.Block("High_Level_IIR_Init", IIRS_Taps=[0.25, 0.0, 1.0, -0.75])
    y = iir.process(DSrc=x[:2000] // 2)["DOut"]
    ref = scipy.signal.lfilter([0.25, 0.0], [1.0, -0.75], x[:2000] // 2)
    assert np.max(np.abs(y - ref)) <= 0.5 + 1e-3 * np.max(np.abs(ref))


def test_generators_follow_their_formulas():
    n = np.arange(1000)
    tone = rir_eda.Block("Tone_Init", ToneMag=20000, ToneRelFreq=0.0123)
    np.testing.assert_array_equal(tone.process(n=1000)["Out"], np.round(20000 * np.sin(2 * np.pi * 0.0123 * n)))
    # Unsigned 8 bits hold 0..255.
    const = rir_eda.Block("Constant_Init", width=8, sign=1, ConstantValue=200)
    np.testing.assert_array_equal(const.process(n=3)["Out"], [200, 200, 200])
    # Time runs on across process() calls.
    func = rir_eda.Block("Func_Init", Formula="t*3")
    pieces = np.concatenate([func.process(n=7)["Out"], func.process(n=5)["Out"]])
    np.testing.assert_array_equal(pieces, 3 * n[:12])


def test_values_that_do_not_come_through_are_told():
    """A value a port cannot hold keeps its low bits, a result beyond the
    32-bit range is limited to it (an element-wise block writes -1, which an
    unsigned port holds as 1), a NaN becomes 0: each is counted and told."""
    def told(block, **inputs):
        with pytest.warns(rir_eda.RirEdaWarning) as caught:
            out = block.process(**inputs)
        said = [str(w.message) for w in caught]
        assert block.messages[-len(said):] == said
        return list(out.values())[0].tolist(), said

    gain2 = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[2], FIRS_Delay=[0])
    assert told(gain2, DSrc=[30000, 20000, -20000, 5]) == (
        [-27232, -7232, -7232, 10], ["warning: variable DOut: 3 values did not fit its 16-bit port (wrapped), "
                                     "first at t = 0"])
    for sign, failed in ((0, -1), (1, 1)):
        mpy = rir_eda.Block("Multiply_Division_Init", width=32, sign=sign, Mpy_Div_coef=3e6)
        assert told(mpy, DIn=[5, 1000]) == ([15000000, failed], [
            "warning: variable DOut: 1 result lay outside the 32-bit sample range (written as -1) on its 32-bit "
            "port, first at t = 1"])
    big = rir_eda.Block("High_Level_FIR_Init", width=32, FIRS_Taps=[1e6], FIRS_Delay=[0])
    assert told(big, DSrc=[1, 3000])[0] == [1000000, 2**31 - 1]
    x = np.random.default_rng(1).integers(-20000, 20000, 200)
    lms = rir_eda.Block("High_Level_LMS_Init", LMSS_Taps=[0.0] * 4, LMSS_Delay=[0.0] * 4, LMSS_Step=1.0)
    y, said = told(lms, DSrc=x, DDes=x)
    assert y[-1] == 0 and said[-1].startswith("warning: variable DOut: 195 results were not a number (written as 0)")
    # Each process() call tells its own; values that fit say nothing.
    assert told(gain2, DSrc=[30000])[1] == ["warning: variable DOut: 1 value did not fit its 16-bit port (wrapped), "
                                            "first at t = 4"]
    told_before = len(gain2.messages)
    gain2.process(DSrc=[1, 2])
    assert len(gain2.messages) == told_before


def test_lms_with_two_inputs_learns_the_plant():
    rng = np.random.default_rng(5)
    x = rng.integers(-8000, 8000, 20000)
    # d(n) = 0.5 x(n) - 0.25 x(n-1): the filter's error shrinks as it adapts.
    d = np.round(0.5 * x - 0.25 * np.concatenate([[0], x[:-1]])).astype(np.int64)
    lms = rir_eda.Block("High_Level_LMS_Init", LMSS_Taps=[0.0] * 4, LMSS_Delay=[0.0] * 4, LMSS_Step=2e-9)
    y = lms.process(DSrc=x, DDes=d)["DOut"]
    early = np.mean(np.abs(d[:500] - y[:500]))
    late = np.mean(np.abs(d[-500:] - y[-500:]))
    assert late < 0.1 * early


def test_bad_calls_name_what_was_wrong(tmp_path):
    def raises(exc, text, call):
        with pytest.raises(exc) as e:
            call()
        assert text in str(e.value), str(e.value)

    raises(ValueError, "No_Such_Init", lambda: rir_eda.Block("No_Such_Init"))
    raises(ValueError, "No_Such_Init", lambda: rir_eda.describe("No_Such_Init"))
    raises(ValueError, "SineAmp", lambda: rir_eda.Block("High_Level_FIR_Init", SineAmp=3))
    raises(ValueError, "ToneMag", lambda: rir_eda.Block("Sine_Init", ToneMag=3))  # a field Sine never reads
    raises(ValueError, "FIRS_Taps", lambda: rir_eda.Block("High_Level_FIR_Init", FIRS_TapsCount=3, FIRS_Taps=[1, 2]))
    raises(ValueError, "FIRS_Taps", lambda: rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[1.0] * 66))
    raises(TypeError, "FIRS_Taps", lambda: rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=["a"]))
    raises(ValueError, "Clock", lambda: rir_eda.Block("Sine_Init", inputs=["Clock"]))
    # NaN and infinity never reach a record; lists of one count agree.
    raises(ValueError, "FIRS_Taps[1] is not a number", lambda: rir_eda.Block("High_Level_FIR_Init",
                                                                             FIRS_Taps=[1, np.nan, 0.5]))
    raises(ValueError, "LMSS_Step is infinite", lambda: rir_eda.Block("High_Level_LMS_Init", LMSS_Step=np.inf))
    raises(ValueError, '"FIRS_Delay" holds 5 values but "FIRS_TapsCount" is 3 (the length of "FIRS_Taps")',
           lambda: rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[1, 2, 3], FIRS_Delay=[0] * 5))
    fir = rir_eda.Block("High_Level_FIR_Init")
    lms = rir_eda.Block("High_Level_LMS_Init")
    raises(ValueError, "differing lengths", lambda: lms.process(DSrc=[1, 2, 3], DDes=[1, 2]))
    raises(ValueError, "DIn", lambda: fir.process(DIn=[1, 2]))
    raises(ValueError, "DSrc", lambda: fir.process(n=3))
    raises(ValueError, "40000", lambda: fir.process(DSrc=[1, 40000]))
    raises(TypeError, "DSrc", lambda: fir.process(DSrc=[0.5]))
    raises(TypeError, "DSrc", lambda: fir.process(DSrc=[1.0, 2.0]))  # whole floats too
    raises(TypeError, "width", lambda: rir_eda.Block("Tone_Init", width="16"))
    raises(TypeError, "sign", lambda: rir_eda.Block("Tone_Init", sign=1.0))
    raises(TypeError, "FIRS_Taps", lambda: rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[True, 1]))
    # Told as given, not as the int64 it would wrap to.
    raises(ValueError, str(2**63 + 5), lambda: fir.process(DSrc=np.array([1, 2**63 + 5], dtype=np.uint64)))
    raises(ValueError, str(-2**70), lambda: fir.process(DSrc=[1, -2**70]))
    raises(ValueError, "n=", lambda: rir_eda.Block("Tone_Init").process())
    # A design that cannot run: its file and line, nothing written.
    bad = tmp_path / "bad.toml"
    bad.write_text('[simulation]\nsteps = 2\n\n[[block]]\nname = "g"\ntype = "Nope_Init"\n')
    raises(ValueError, "bad.toml:6", lambda: rir_eda.run(bad, output_dir=tmp_path / "out"))
    assert not (tmp_path / "out").exists() or not any((tmp_path / "out").iterdir())
    good = tmp_path / "good.toml"
    good.write_text(design_text([1, 2, 3], [1, 2, 3]))
    raises(ValueError, "nobody", lambda: rir_eda.run(good, set={"nobody.FIRS_TapsCount": 4}))
    raises(ValueError, "scheduling", lambda: rir_eda.run(good, scheduling="sometimes"))
    # Without output_dir the files are gone, and the log names none of them.
    log = rir_eda.run(good).log
    assert "values.csv" not in log and "not kept" in log, log


def test_catalogue_and_version_are_the_simulators(rir_eda_bin):
    # The documentation's example computes what it says.
    assert doctest.testmod(rir_eda) == (0, 3)
    listing = subprocess.run([rir_eda_bin, "blocks"], check=True, capture_output=True, text=True).stdout
    types = rir_eda.block_types()
    assert len(types) == 77 and len(set(types)) == 77
    assert all(t in listing for t in types)
    for t in ("Sine_Init", "High_Level_FIR_Init", "Wave_Save_Init"):
        text = subprocess.run([rir_eda_bin, "blocks", t], check=True, capture_output=True, text=True).stdout
        assert rir_eda.describe(t) == text
    version = subprocess.run([rir_eda_bin, "--version"], check=True, capture_output=True, text=True).stdout
    assert version.split() == ["rir-eda", rir_eda.__version__]
