#!/usr/bin/env python3
"""Runs rir-eda on small designs and checks what reached the blocks.

Every sample must reach every block once under dataflow scheduling: a FIR
equals scipy's lfilter of the samples it was given, a one-sample delay
reproduces a tone with repeated values, an unclocked recorder keeps every
sample and an LMS wired DSrc = x, DDes = plant(x) identifies the plant.
Under events scheduling the same designs keep the old results. Runs that go
wrong say so, in their messages and exit statuses.
"""
import argparse
import csv
import filecmp
import glob
import os
import shutil
import subprocess
import sys
import wave

import numpy as np
import scipy.signal

FAILURES = []


def check(cond, what):
    if not cond:
        FAILURES.append(what)
        print("FAIL:", what)


def run(exe, out, name, text, *flags):
    folder = os.path.join(out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    design = os.path.join(folder, name + ".toml")
    with open(design, "w") as f:
        f.write(text)
    p = subprocess.run([exe, "run", design, "-o", folder, *flags], capture_output=True, text=True)
    return p, folder


def last_line(p):
    lines = p.stderr.strip().splitlines()
    return lines[-1] if lines else ""


def samples(folder, csv_name, period, count):
    """The buses at every sample time: the CSV holds rows only where one changed."""
    with open(os.path.join(folder, csv_name), newline="") as f:
        rows = list(csv.reader(f))
    header, rows = rows[0], [[int(x) for x in r] for r in rows[1:]]
    out = {h: [] for h in header[1:]}
    k = 0
    current = None
    for n in range(count):
        while k < len(rows) and rows[k][0] <= n * period:
            current = rows[k]
            k += 1
        for i, h in enumerate(header[1:], start=1):
            out[h].append(current[i] if current else 0)
    return out


def wav_frames(path):
    if not os.path.exists(path):
        return []
    with wave.open(path) as w:
        data = w.readframes(w.getnframes())
    return [int.from_bytes(data[i:i + 2], "little", signed=True) for i in range(0, len(data), 2)]


def fir_matches(got, x, taps):
    """Each output is lfilter's value rounded, or the other neighbour where
    single-precision sums could cross the rounding boundary."""
    ref = scipy.signal.lfilter(taps, [1.0], np.asarray(x, dtype=float))
    slack = 1e-5 * np.convolve(np.abs(x), np.abs(taps))[:len(x)] + 1e-6
    bad = [n for n, (g, r, s) in enumerate(zip(got, ref, slack))
           if g != int(np.rint(r)) and abs(g - r) > 0.5 + s]
    return bad


LOWPASS = scipy.signal.firwin(41, 0.1)


def filters_design(mode):
    taps = ", ".join(repr(float(t)) for t in LOWPASS)
    zeros = ", ".join("0" for _ in LOWPASS)
    return f"""[simulation]
sample_period = 2
steps = 800
scheduling = "{mode}"

[[variable]]
name = "tone"
width = 16
[[variable]]
name = "delayed"
width = 16
[[variable]]
name = "lowpass"
width = 16

[[block]]
name = "tone"
type = "Tone_Init"
outputs = {{ Out = "tone" }}
parameters = {{ ToneMag = 100.0, ToneRelFreq = 0.003125, TonePhase = 0.0 }}

[[block]]
name = "delay"
type = "High_Level_FIR_Init"
inputs = {{ DSrc = "tone" }}
outputs = {{ DOut = "delayed" }}
parameters = {{ FIRS_TapsCount = 2, FIRS_Taps = [0.0, 1.0], FIRS_Delay = [0, 0] }}

[[block]]
name = "lowpass"
type = "High_Level_FIR_Init"
inputs = {{ DSrc = "tone" }}
outputs = {{ DOut = "lowpass" }}
parameters = {{ FIRS_TapsCount = 41, FIRS_Taps = [{taps}], FIRS_Delay = [{zeros}] }}

[[block]]
name = "record"
type = "Wave_Save_Init"
inputs = {{ C1 = "tone" }}
parameters = {{ FileName = "tone.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }}

[output]
csv = "filters.csv"
csv_buses = ["tone", "delayed", "lowpass"]
"""


PLANT = [0.5, -0.3, 0.2, 0.1]


def lms_design(mode):
    return f"""[simulation]
sample_period = 2
steps = 4000
scheduling = "{mode}"

[[variable]]
name = "x"
width = 16
[[variable]]
name = "d"
width = 16
[[variable]]
name = "y"
width = 16

[[block]]
name = "source"
type = "Random_Init"
outputs = {{ Out = "x" }}
parameters = {{ Low = -1000.0, High = 2000.0 }}

[[block]]
name = "plant"
type = "High_Level_FIR_Init"
inputs = {{ DSrc = "x" }}
outputs = {{ DOut = "d" }}
parameters = {{ FIRS_TapsCount = 4, FIRS_Taps = {PLANT}, FIRS_Delay = [0, 0, 0, 0] }}

[[block]]
name = "lms"
type = "High_Level_LMS_Init"
inputs = {{ DSrc = "x", DDes = "d" }}
outputs = {{ DOut = "y" }}
parameters = {{ LMSS_TapsCount = 4, LMSS_Step = 0.0000001, LMSS_Taps = [0, 0, 0, 0], LMSS_Delay = [0, 0, 0, 0] }}

[output]
csv = "lms.csv"
csv_buses = ["x", "d", "y"]
"""


def check_filters(exe, out):
    for mode in ("dataflow", "events"):
        p, folder = run(exe, out, "filters_" + mode, filters_design(mode))
        check(p.returncode == 0, f"{mode}: exit status {p.returncode}: {p.stderr}")
        s = samples(folder, "filters.csv", 2, 800)
        tone = s["tone"]
        check(len(set(tone)) < 400, "the tone repeats no values: the case proves nothing")
        wrong = sum(1 for n in range(1, 800) if s["delayed"][n] != tone[n - 1])
        lowpass_bad = fir_matches(s["lowpass"], tone, LOWPASS)
        frames = wav_frames(os.path.join(folder, "tone.wav"))
        print(f"{mode}: {wrong} delayed samples wrong, {len(lowpass_bad)} low-pass samples off lfilter, "
              f"{len(frames)} of 800 samples recorded")
        skipped = [line for line in p.stderr.splitlines() if line.startswith("rir-eda: warning: block delay:")]
        if mode == "dataflow":
            check(not skipped, f"dataflow: {skipped}")
            check(wrong == 0, f"dataflow: {wrong} of 800 delayed samples wrong")
            check(not lowpass_bad, f"dataflow: low-pass differs from lfilter at samples {lowpass_bad[:10]}")
            check(frames == tone, f"dataflow: the recorder kept {len(frames)} of 800 samples")
        else:
            # A repeated value is no change: the blocks miss those samples.
            check(wrong == 60, f"events: {wrong} delayed samples wrong, the old count is 60")
            check(len(lowpass_bad) > 0, "events: the low-pass took samples it used to miss")
            check(len(frames) < 800, "events: the recorder kept samples it used to miss")
            # The summary says so per block, as a warning that --strict fails on.
            check(len(skipped) == 1 and "samples skipped" in skipped[0], f"events: summary {p.stderr}")
            print(f"events: {skipped[0] if skipped else 'no warning'}")
            p, _ = run(exe, out, "filters_events_strict", filters_design(mode), "--strict", "-q")
            check(p.returncode == 1 and "warnings (--strict)" in last_line(p), f"events --strict: {last_line(p)}")
            # -q drops the summary, never a warning.
            check(p.stdout == "" and skipped[:1] == [line for line in p.stderr.splitlines() if "block delay:" in line],
                  f"events -q: {p.stdout} {p.stderr}")


def check_lms(exe, out):
    for mode in ("dataflow", "events"):
        p, folder = run(exe, out, "lms_" + mode, lms_design(mode))
        check(p.returncode == 0, f"{mode}: exit status {p.returncode}: {p.stderr}")
        s = samples(folder, "lms.csv", 2, 4000)
        d = np.asarray(s["d"], dtype=float)
        e = d - np.asarray(s["y"], dtype=float)
        tail = slice(3000, 4000)
        db = 10 * np.log10(np.mean(e[tail] ** 2) / np.mean(d[tail] ** 2))
        print(f"{mode}: LMS error {db:.1f} dB below the desired signal")
        if mode == "dataflow":
            check(db <= -40, f"dataflow: LMS error only {db:.1f} dB")
        else:
            check(db > -20, f"events: the LMS learns ({db:.1f} dB) though it adapts twice per sample")


def check_diagnoses(exe, out):
    head = '[simulation]\nsample_period = 2\nsteps = {steps}\n{extra}\n[[variable]]\nname = "x"\nwidth = 16\n'

    # A free-running generator past its table: a warning; --strict fails.
    text = head.format(steps=10005, extra="") + \
        '[[block]]\nname = "tone"\ntype = "Tone_Init"\noutputs = { Out = "x" }\n'
    p, _ = run(exe, out, "table", text)
    warning = ("block tone: at time 20002 the free-running generator has used up its table of 10001 samples "
               "and writes 0 from now on; connect a clock to its \"Clk\" port for longer runs")
    check(p.returncode == 0, f"table: exit status {p.returncode}")
    check(p.stderr.count("used up its table") == 1 and warning in p.stderr, f"table: {p.stderr}")
    check("1 warning" in p.stdout, f"table: summary {p.stdout}")
    p, _ = run(exe, out, "table_strict", text, "--strict")
    check(p.returncode == 1, f"table --strict: exit status {p.returncode}")
    check(last_line(p) == "rir-eda: the run failed: 1 warning (--strict)", f"table --strict: {last_line(p)}")

    # Values that did not come through their port are counted per variable
    # and kind, a warning even under -q; --strict fails on it.
    block = '[[block]]\nname = "big"\ntype = "Constant_Init"\nsign_value = {sign}\noutputs = {{ Out = "x" }}\n' \
        'parameters = {{ ConstantValue = {value} }}\n'
    for name, sign, value, says in (
            ("range", 0, "1e12", "variable x: 10 results lay outside the 32-bit sample range (limited to it) on its "
             "16-bit port, first at t = 0"),
            ("wrapped", 1, "65536", "variable x: 10 values did not fit its 16-bit port (wrapped), first at t = 0"),
            ("fits", 1, "65535", None)):
        text = head.format(steps=10, extra="") + block.format(sign=sign, value=value)
        p, _ = run(exe, out, "values_" + name, text, "-q")
        check(p.returncode == 0 and p.stdout == "", f"values {name}: exit status {p.returncode}, {p.stdout}")
        check(("rir-eda: warning: " + says in p.stderr) if says else "variable x" not in p.stderr,
              f"values {name}: {p.stderr}")
        if says:
            p, _ = run(exe, out, "values_strict_" + name, text, "--strict")
            check(p.returncode == 1 and "1 warning" in p.stdout, f"values {name} --strict: {p.returncode} {p.stdout}")

    # Faults the design checks can see: status 2 with file:line before anything is written.
    float_wav = os.path.join(out, "float.wav")
    with wave.open(float_wav, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(4)
        w.setframerate(8000)
        w.writeframes(b"\0" * 40)
    with open(float_wav, "r+b") as f:
        f.seek(20)
        f.write((3).to_bytes(2, "little"))  # format tag 3: IEEE float
    def riff(path, fmt, chunks):
        body = b"WAVE" + b"fmt " + len(fmt).to_bytes(4, "little") + fmt + chunks
        with open(path, "wb") as f:
            f.write(b"RIFF" + len(body).to_bytes(4, "little") + body)
    data = b"data" + (4).to_bytes(4, "little") + bytes(4)
    alaw_wav, list_wav = os.path.join(out, "alaw.wav"), os.path.join(out, "list.wav")
    # A-law as most tools write it: an 18-byte format chunk, 8 bits.
    riff(alaw_wav, bytes([6, 0, 1, 0, 64, 31, 0, 0, 64, 31, 0, 0, 1, 0, 8, 0, 0, 0]), data)
    riff(list_wav, bytes([1, 0, 1, 0, 64, 31, 0, 0, 128, 62, 0, 0, 2, 0, 16, 0]),
         b"LIST" + (4).to_bytes(4, "little") + b"INFO" + data)
    refused = []
    for name, path, says in (("alaw_wave", alaw_wav, "alaw.wav has a format chunk of 18 bytes (8-bit A-law samples)"),
                             ("list_wave", list_wav, "list.wav has a \"LIST\" chunk before its samples")):
        refused.append((name, '[[block]]\nname = "play"\ntype = "Wave_Load_Init"\noutputs = { C1 = "x" }\n'
                        f'parameters = {{ FileName = "{path}" }}\n', ":12: block \"play\" (Wave_Load_Init): ", says))
    refused += [
        ("missing_wave", '[[block]]\nname = "play"\ntype = "Wave_Load_Init"\noutputs = { C1 = "x" }\n'
         'parameters = { FileName = "no_such_file.wav" }\n',
         ":12: block \"play\" (Wave_Load_Init): file not found: ", "/no_such_file.wav"),
        ("float_wave", '[[block]]\nname = "play"\ntype = "Wave_Load_Init"\noutputs = { C1 = "x" }\n'
         f'parameters = {{ FileName = "{float_wav}" }}\n',
         ":12: block \"play\" (Wave_Load_Init): ", "float.wav holds 32-bit IEEE float samples; the player reads "
         "8- or 16-bit PCM only"),
        ("fft_length", '[[variable]]\nname = "strobe"\nkind = "Line"\n[[variable]]\nname = "bins"\nwidth = 16\n'
         '[[block]]\nname = "fft"\ntype = "FFT_using_RCPack_RCPerm_Init"\n'
         'inputs = { DIn = "x", R = "strobe", W = "strobe" }\noutputs = { DReOut = "bins" }\n'
         'parameters = { Num_Points = 200 }\n',
         ":19: block \"fft\" (FFT_using_RCPack_RCPerm_Init): ",
         "\"Num_Points\" = 200 is not a power of two; this FFT would transform only the first 128 samples"),
        ("lms_without_ddes", '[[variable]]\nname = "y"\nwidth = 16\n'
         '[[block]]\nname = "src"\ntype = "Random_Init"\noutputs = { Out = "x" }\n'
         '[[block]]\nname = "lms"\ntype = "High_Level_LMS_Init"\ninputs = { DSrc = "x" }\noutputs = { DOut = "y" }\n',
         ":15: block \"lms\" (High_Level_LMS_Init) ", "leaves its required input \"DDes\" unconnected"),
        ("generator_on_clock", '[[variable]]\nname = "c"\nkind = "Clk"\n'
         '[[block]]\nname = "src"\ntype = "Random_Init"\noutputs = { Out = "c" }\n',
         ":14: port \"Out\" of block \"src\" (Random_Init) ", "takes a Line or Bus variable; \"c\" is a Clk variable"),
    ]
    for name, blocks, prefix, message in refused:
        p, folder = run(exe, out, name, head.format(steps=10, extra="") + blocks, "--vcd", "all.vcd")
        check(p.returncode == 2, f"{name}: exit status {p.returncode}: {p.stderr}")
        said = any(prefix in line and message in line for line in p.stderr.splitlines())
        check(said, f"{name}: no \"...{prefix}...{message}\" in {p.stderr}")
        check(os.listdir(folder) == [name + ".toml"], f"{name}: wrote {os.listdir(folder)}")
        print(f"{name}: status {p.returncode}; {last_line(p)}")

    # A recording stays in the output folder unless --allow-paths lets it out.
    text = head.format(steps=10, extra="") + '[[block]]\nname = "src"\ntype = "Random_Init"\noutputs = { Out = "x" }\n' \
        '[[block]]\nname = "rec"\ntype = "Wave_Save_Init"\ninputs = { C1 = "x" }\n' \
        'parameters = { FileName = "../escaped.wav" }\n'
    escaped = os.path.join(out, "escaped.wav")
    if os.path.exists(escaped):
        os.remove(escaped)
    p, folder = run(exe, out, "escaping_recorder", text, "-q")
    check(p.returncode == 2 and "escaping_recorder.toml:16: block \"rec\" (Wave_Save_Init): \"FileName\" = "
          "\"../escaped.wav\" names a folder" in p.stderr and os.listdir(folder) == ["escaping_recorder.toml"] and
          not os.path.exists(escaped), f"escaping recorder: {p.stderr}")
    p, _ = run(exe, out, "escaping_recorder", text, "-q", "--allow-paths")
    check(p.returncode == 0 and os.path.exists(escaped), f"escaping recorder allowed: {p.stderr}")
    p, _ = run(exe, out, "escaping_vcd", head.format(steps=10, extra="") + '[output]\nvcd = "/tmp/x.vcd"\n', "-q")
    check(p.returncode == 2 and ":9: \"vcd\" = \"/tmp/x.vcd\" names a folder" in p.stderr, f"vcd: {p.stderr}")

    # NaN never reaches a record: --set is refused before the run, naming the field.
    text = head.format(steps=10, extra="") + '[[variable]]\nname = "y"\nwidth = 16\n[[block]]\nname = "f"\n' \
        'type = "High_Level_FIR_Init"\ninputs = { DSrc = "x" }\noutputs = { DOut = "y" }\n'
    p, folder = run(exe, out, "nan_tap", text, "--set", "f.FIRS_Taps=[1, nan, 0.5]", "-q")
    check(p.returncode == 2 and "--set f.FIRS_Taps=[1, nan, 0.5]: " in p.stderr and
          "FIRS_Taps[1] is not a number" in p.stderr and os.listdir(folder) == ["nan_tap.toml"], f"nan: {p.stderr}")

    errors = [
        # Chosen at run time from the Test number: told as plainly.
        ("missing_test_wave", head.format(steps=10, extra="") +
         '[[variable]]\nname = "n"\nwidth = 8\n[[stimulus]]\ntype = "constant"\nvariable = "n"\nvalue = 7\n'
         '[[block]]\nname = "play"\ntype = "Wave_Load_Init"\ninputs = { Test = "n" }\noutputs = { C1 = "x" }\n',
         "block play: file not found: ", "/Test/Test_7.wav"),
        ("recorder_without_folder", head.format(steps=10, extra="") +
         '[[block]]\nname = "src"\ntype = "Random_Init"\noutputs = { Out = "x" }\n'
         '[[block]]\nname = "rec"\ntype = "Wave_Save_Init"\ninputs = { C1 = "x" }\n'
         'parameters = { FileName = "no_such_folder/r.wav" }\n',
         "block rec: cannot create ", "/no_such_folder/r.wav: the folder ", "--allow-paths"),
    ]
    for mode in ("dataflow", "events"):
        errors.append(
            ("loop_" + mode, head.format(steps=10, extra=f'max_passes = 20\nscheduling = "{mode}"') +
             '[[variable]]\nname = "a"\nwidth = 16\n[[variable]]\nname = "b"\nwidth = 16\n'
             '[[block]]\nname = "src"\ntype = "Constant_Init"\noutputs = { Out = "x" }\n'
             '[[block]]\nname = "A"\ntype = "Addition_Substraction_Init"\n'
             'inputs = { DIn = "x", D2In = "b" }\noutputs = { DOut = "a" }\n'
             '[[block]]\nname = "B"\ntype = "Addition_Substraction_Init"\n'
             'inputs = { DIn = "a", D2In = "x" }\noutputs = { DOut = "b" }\n',
             "at time 0 the variables did not settle within 20 passes: ",
             "a combinational loop through the blocks \"A\", \"B\" and the variables \"a\", \"b\""))
    for name, text, prefix, message, *flags in errors:
        p, _ = run(exe, out, name, text, *flags)
        check(p.returncode == 1, f"{name}: exit status {p.returncode}: {p.stderr}")
        said = any(line.startswith("rir-eda: " + prefix) and message in line for line in p.stderr.splitlines())
        check(said, f"{name}: no \"{prefix}...{message}\" in {p.stderr}")
        check(last_line(p).startswith("rir-eda: the run failed: ") and "error" in last_line(p),
              f"{name}: last line {last_line(p)!r}")
        check("wrote WAVE" not in p.stdout, f"{name}: names a recording it did not make: {p.stdout}")
        print(f"{name}: status {p.returncode}; {last_line(p)}")


def data_chunk(path):
    """The bytes of a RIFF WAVE file's "data" chunk, found by walking its chunks."""
    with open(path, "rb") as f:
        raw = f.read()
    at = 12
    while at + 8 <= len(raw):
        size = int.from_bytes(raw[at + 4:at + 8], "little")
        if raw[at:at + 4] == b"data":
            return raw[at + 8:at + 8 + size]
        at += 8 + size + (size & 1)
    return b""


def check_extensible_wave(exe, out):
    """sox writes three channels in the extensible format chunk: the player
    plays its first two channels frame by frame, and the recordings hold
    exactly those samples."""
    name = "extensible_wave"
    folder = os.path.join(out, name)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    played = os.path.join(folder, "three.wav")
    subprocess.run(["sox", "-n", "-r", "8000", "-b", "16", "-c", "3", played,
                    "synth", "0.01", "sine", "300", "sine", "500", "sine", "700", "vol", "0.5"], check=True)
    frames = np.frombuffer(data_chunk(played), dtype="<i2").reshape(-1, 3)
    recorders = "".join(
        f'[[block]]\nname = "rec_{c}"\ntype = "Wave_Save_Init"\ninputs = {{ C1 = "{c}", Clk = "rec_clk" }}\n'
        f'parameters = {{ FileName = "{c}.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }}\n'
        for c in ("left", "right"))
    design = os.path.join(folder, name + ".toml")
    with open(design, "w") as f:
        f.write(f"[simulation]\nsample_period = 2\nsteps = {len(frames)}\n"
                '[[variable]]\nname = "left"\nwidth = 16\n[[variable]]\nname = "right"\nwidth = 16\n'
                '[[variable]]\nname = "rec_clk"\nkind = "Clk"\n'
                '[[stimulus]]\ntype = "clock"\nvariable = "rec_clk"\nperiod = 2\nphase = 1\n'
                '[[block]]\nname = "player"\ntype = "Wave_Load_Init"\noutputs = { C1 = "left", C2 = "right" }\n'
                'parameters = { FileName = "three.wav" }\n' + recorders)
    p = subprocess.run([exe, "run", design, "-o", folder], capture_output=True, text=True)
    check(p.returncode == 0 and "warning" not in p.stdout + p.stderr,
          f"{name}: status {p.returncode}: {p.stdout} {p.stderr}")
    for channel, bus in enumerate(("left", "right")):
        got = wav_frames(os.path.join(folder, bus + ".wav"))
        check(got == frames[:, channel].tolist(), f"{name}: {bus} recorded {got[:8]}..., "
              f"channel {channel} holds {frames[:8, channel].tolist()}...")
    print(f"{name}: status {p.returncode}; {len(frames)} frames of 3 channels played and recorded")

    # A-law codes in a 16-byte format chunk: played as PCM bytes, with a warning.
    alaw = os.path.join(folder, "alaw16.wav")
    body = (b"WAVEfmt " + (16).to_bytes(4, "little") + bytes([6, 0, 1, 0, 64, 31, 0, 0, 64, 31, 0, 0, 1, 0, 8, 0]) +
            b"data" + (4).to_bytes(4, "little") + bytes(4))
    with open(alaw, "wb") as f:
        f.write(b"RIFF" + len(body).to_bytes(4, "little") + body)
    with open(design, "w") as f:
        f.write('[simulation]\nsample_period = 2\nsteps = 4\n[[variable]]\nname = "left"\nwidth = 16\n'
                '[[block]]\nname = "player"\ntype = "Wave_Load_Init"\noutputs = { C1 = "left" }\n'
                'parameters = { FileName = "alaw16.wav" }\n')
    warning = "alaw16.wav holds 8-bit A-law samples; the player plays their bytes as PCM"
    p = subprocess.run([exe, "run", design, "-o", folder], capture_output=True, text=True)
    check(p.returncode == 0 and warning in p.stderr, f"{name} A-law: status {p.returncode}: {p.stderr}")
    p = subprocess.run([exe, "run", design, "-o", folder, "--strict"], capture_output=True, text=True)
    check(p.returncode == 1, f"{name} A-law --strict: status {p.returncode}")


def check_examples_both_ways(exe, out, examples):
    """The bundled designs give the same files under both schedulings, but
    for the LMS of noisy_tone_filters, which now adapts once per sample."""
    copies = os.path.join(out, "examples_events")
    shutil.rmtree(copies, ignore_errors=True)
    shutil.copytree(os.path.join(examples, "data"), os.path.join(copies, "data"))
    for design in sorted(glob.glob(os.path.join(examples, "*.toml"))):
        name = os.path.basename(design)
        with open(design) as f:
            text = f.read()
        copy = os.path.join(copies, name)
        with open(copy, "w") as f:
            f.write(text.replace("[simulation]\n", '[simulation]\nscheduling = "events"\n', 1))
        results = []
        for mode, path in (("dataflow", design), ("events", copy)):
            folder = os.path.join(out, "examples_" + mode, name[:-5])
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            p = subprocess.run([exe, "run", path, "-o", folder, "-q"], capture_output=True, text=True)
            check(p.returncode == 0, f"{name} ({mode}): exit status {p.returncode}: {p.stderr}")
            results.append(folder)
        files = sorted(os.listdir(results[0]))
        check(files == sorted(os.listdir(results[1])), f"{name}: the two modes write other files")
        _, differ, _ = filecmp.cmpfiles(results[0], results[1], files, shallow=False)
        allowed = ["noisy_lms.wav", "noisy_tone_filters.csv", "noisy_tone_filters.dat", "noisy_tone_filters.png",
                   "noisy_tone_filters.svg"] \
            if name == "noisy_tone_filters.toml" else []
        check(sorted(differ) == allowed, f"{name}: differs between the modes in {differ}")
        print(f"{name}: differs between the modes in {differ or 'nothing'}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--out", required=True)
    ap.add_argument("--examples", required=True)
    a = ap.parse_args()
    os.makedirs(a.out, exist_ok=True)
    check_filters(a.rir_eda, a.out)
    check_lms(a.rir_eda, a.out)
    check_diagnoses(a.rir_eda, a.out)
    check_extensible_wave(a.rir_eda, a.out)
    check_examples_both_ways(a.rir_eda, a.out, a.examples)
    print("FAILED" if FAILURES else "ok")
    sys.exit(1 if FAILURES else 0)


if __name__ == "__main__":
    main()
