#!/usr/bin/env python3
"""The command line of rir-eda as a user meets it: usage errors, --version,
--set, -v, CSV rows per clock edge, the time unit, plot windows and
spectra, the design errors of the plot and CSV settings, and the test
designs "rir-eda new" writes from the plug-in's templates."""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples"))
import check_example as ex  # noqa: E402

check = ex.check

CLOCKED = """
[simulation]
sample_period = 10
end_time = 1000
time_unit = "10 us"

[[variable]]
name = "clk"
kind = "Clk"

[[variable]]
name = "x"
kind = "Bus"
width = 12

[[variable]]
name = "free"
kind = "Bus"
width = 12

[[stimulus]]
type = "clock"
variable = "clk"
period = 40
phase = 5
duty = 0.25

[[block]]
name = "gen"
type = "Sine_Init"
inputs = { Clk = "clk" }
outputs = { Out = "x" }
parameters = { SineAmp = 1000, SinePeriod = 400 }

[[block]]
name = "free"
type = "Sine_Init"
outputs = { Out = "free" }
parameters = { SineAmp = 1000, SinePeriod = 400 }

[output]
vcd = "c.vcd"
csv = "c.csv"
csv_buses = ["x", "free"]
csv_clock = "clk"
png = "c.png"
png_buses = ["x", "free"]
plot_window = [200, 600]
"""


def run(exe, args, cwd):
    p = subprocess.run([exe] + args, capture_output=True, text=True, cwd=cwd)
    return p.returncode, p.stdout, p.stderr


def write(folder, name, text):
    path = os.path.join(folder, name)
    with open(path, "w") as f:
        f.write(text)
    return path


def check_new(exe, tmp):
    """Every template of the plug-in fills in to a design that runs under
    --strict; a value that breaks it, an unknown placeholder or an existing
    file writes nothing."""
    code, out, err = run(exe, ["new"], tmp)
    check(code == 0 and "constant: %Name% (const), %Contact% (out), %Dim% (16), %Const% (" in out, f"new: {out}")
    check(all(line.count("%Name%") == 1 for line in out.splitlines()[1:]), f"new lists a placeholder twice: {out}")
    for t in ("constant", "random", "sine", "tone"):
        # Every placeholder's own value makes a design that runs.
        code, out, err = run(exe, ["new", t, "-o", f"default_{t}.toml"], tmp)
        check(code == 0, f"new {t} with its own values: {code} {err}")
        code, out, err = run(exe, ["run", f"default_{t}.toml", "-o", "new_default", "--strict", "-q"], tmp)
        check(code == 0, f"the default {t} design: {code} {err}")
        code, out, err = run(exe, ["new", t, "--set", f"Name=t_{t}", "--set", "Contact=bus", "--set", "Dim=12"], tmp)
        check(code == 0 and f"wrote t_{t}.toml" in out, f"new {t}: {code} {err}")
        code, out, err = run(exe, ["run", f"t_{t}.toml", "-o", "new", "--strict", "-q"], tmp)
        header, rows = ex.read_csv(os.path.join(tmp, "new", f"t_{t}.csv")) if code == 0 else ([], [])
        check(code == 0 and header == ["time", "bus"] and len(set(r[1] for r in rows)) > (t != "constant"),
              f"run of new {t}: {code} {err} {rows[:3]}")
    code, out, err = run(exe, ["new", "constant", "--set", "Const=-7", "-o", "c.toml"], tmp)
    code, out, err = run(exe, ["run", "c.toml", "-o", "new", "-q"], tmp)
    check(code == 0 and ex.read_csv(os.path.join(tmp, "new", "const.csv"))[1][0] == [0, -7], f"Const=-7: {err}")
    for args, says in ((["constant", "--set", "Const=abc", "-o", "bad.toml"], "bad.toml:"),
                       (["constant", "--set", "Size=3", "-o", "bad.toml"], "%Dim% (16)"),
                       (["constant", "--set", 'Name=a"b', "-o", "bad.toml"], "quotes"),
                       (["square"], "constant, random, sine, tone"),
                       (["constant", "-o", "c.toml"], "c.toml exists")):
        code, out, err = run(exe, ["new"] + args, tmp)
        check(code == 2 and says in err and not os.path.exists(os.path.join(tmp, "bad.toml")),
              f"new {args}: {code} {err}")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--rir-eda", required=True)
    ap.add_argument("--examples", required=True)
    a = ap.parse_args()
    exe = os.path.abspath(a.rir_eda)
    tmp = tempfile.mkdtemp(prefix="rir_cli_")
    try:
        # Usage errors: status 2, a word on what was wrong.
        for args in ([], ["run"], ["frobnicate"], ["run", "x.toml", "--no-such-option"], ["run", "--set"],
                     ["run", "x.toml", "--scheduling", "eager"]):
            code, out, err = run(exe, args, tmp)
            check(code == 2, f"rir-eda {' '.join(args)}: exit status {code}, expected 2")
            check(err.strip() != "", f"rir-eda {' '.join(args)}: no message")
        code, out, err = run(exe, ["--version"], tmp)
        check(code == 0 and out.startswith("rir-eda "), f"--version: {code} {out!r}")

        design = write(tmp, "clocked.toml", CLOCKED)
        code, out, err = run(exe, ["run", design, "-o", "o"], tmp)
        print(out + err)
        check(code == 0, f"the clocked design ends with {code}")
        o = os.path.join(tmp, "o")
        for f in ("c.vcd", "c.csv", "c.png", "c.svg", "c.gp", "c.dat"):
            check(f"o/{f}" in out, f"the summary does not list o/{f}")
        # One row per rising edge of clk (5, 45, ..., 965), values settled at the edge.
        header, rows = ex.read_csv(os.path.join(o, "c.csv"))
        check([r[0] for r in rows] == list(range(5, 1000, 40)), f"CSV times {[r[0] for r in rows]}")
        ex.check_companions(os.path.join(o, "c.vcd"), os.path.join(o, "c.csv"))
        with open(os.path.join(o, "c.vcd")) as f:
            check("$timescale 10 us $end" in f.read(), "the VCD's timescale is not the design's time unit")
        v = subprocess.run(["vcd2fst", os.path.join(o, "c.vcd"), os.path.join(tmp, "c.fst")], capture_output=True,
                           text=True)
        check(v.returncode == 0, f"vcd2fst rejects the VCD: {v.stderr}")
        # The window: only times 200..600 in the data, and the script says so.
        with open(os.path.join(o, "c.dat")) as f:
            times = [int(line.split()[0]) for line in f if line.strip() and not line.startswith("#")]
        check(times and min(times) == 200 and max(times) == 600, f"plot data outside the window: {times[:3]}..")
        with open(os.path.join(o, "c.gp")) as f:
            script = f.read()
        check("set xrange [200:600]" in script and "time (10 us)" in script, "the script ignores the window or unit")
        # The script redraws the plot as it is.
        os.remove(os.path.join(o, "c.svg"))
        g = subprocess.run(["gnuplot", "c.gp"], cwd=o, capture_output=True, text=True)
        check(g.returncode == 0 and g.stderr == "" and os.path.exists(os.path.join(o, "c.svg")),
              f"gnuplot c.gp does not redraw: {g.stderr}")
        amp = max(abs(v) for r in rows for v in r[1:])
        check(amp > 900, f"the sine reaches only {amp}")

        # --set takes effect for one run, and only for the block named.
        code, out, err = run(exe, ["run", design, "-o", "s", "-q", "--set", "gen.SineAmp=250",
                                   "--set", "free.SinePeriod=200"], tmp)
        check(code == 0, f"--set run ends with {code}: {err}")
        h, srows = ex.read_csv(os.path.join(tmp, "s", "c.csv"))
        check(200 < max(abs(r[1]) for r in srows) <= 250, f"--set gen.SineAmp=250: {[r[1] for r in srows]}")
        check(max(abs(r[2]) for r in srows) > 900, "--set changed the other block's amplitude")
        check([r[2] for r in srows] != [r[2] for r in rows], "--set free.SinePeriod=200 changed nothing")
        for bad in ("nosuch.SineAmp=3", "gen.NoSuchField=3", "gen.SineAmp", "gen.SineAmp=lots", "SineAmp=3"):
            code, out, err = run(exe, ["run", design, "-o", "bad", "--set", bad], tmp)
            check(code == 2 and bad in err, f"--set {bad}: exit {code}, {err!r}")
        # What the design reader refuses, --set refuses too; a text field keeps a bare number as text.
        noisy = os.path.join(os.path.abspath(a.examples), "noisy_tone_filters.toml")
        for bad in ("fir.FIRS_TapsCount=500", "record_fir.BitsPerSample=12", "record_fir.Channels=9"):
            code, out, err = run(exe, ["run", noisy, "-o", "bad", "--set", bad], tmp)
            check(code == 2 and bad in err, f"--set {bad}: exit {code}, {err!r}")
        # A count or list set alone must still agree with the other: the override is named.
        for bad in ("fir.FIRS_TapsCount=3", "fir.FIRS_Taps=[0.5,0.5]", "simulation.no_such_key=1",
                    "simulation.steps=-4"):
            code, out, err = run(exe, ["run", noisy, "-o", "bad", "--set", bad], tmp)
            check(code == 2 and f"--set {bad}: " in err, f"--set {bad}: exit {code}, {err!r}")
        # The run length from the command line, whichever way the file gives it.
        code, out, err = run(exe, ["run", design, "-o", "short", "-q", "--set", "simulation.steps=30"], tmp)
        h, short = ex.read_csv(os.path.join(tmp, "short", "c.csv"))
        check(code == 0 and short and short[-1][0] < 300, f"--set simulation.steps=30: {code} {err!r}")
        code, out, err = run(exe, ["run", noisy, "-o", "bad", "-q", "--set", "record_fir.FileName=123"], tmp)
        check(code == 0 and os.path.exists(os.path.join(tmp, "bad", "123")), f"--set FileName=123: {code} {err!r}")
        shutil.rmtree(os.path.join(tmp, "bad"), ignore_errors=True)
        check(not os.path.exists(os.path.join(tmp, "bad")), "a refused --set wrote outputs")

        # -v traces steps, passes and notifications, and says which fields kept their defaults.
        code, out, err = run(exe, ["run", design, "-o", "v", "-v"], tmp)
        check(code == 0 and "TimeStep free" in err and "InputChanged gen" in err and " written: clk=1" in err, "-v traces nothing")
        check("rir-eda: block \"gen\" (Sine_Init) takes from its defaults: " not in err, "-v: gen sets every field it reads")
        code, out, err = run(exe, ["run", design, "-o", "v", "-v", "--set", "free.SineAmp=3"], tmp)
        check(code == 0, f"-v --set: {code}")
        bare_sine = write(tmp, "bare_sine.toml", CLOCKED.replace("parameters = { SineAmp = 1000, SinePeriod = 400 }\n\n[output]",
                                                                "\n[output]"))
        code, out, err = run(exe, ["run", bare_sine, "-o", "v", "-v"], tmp)
        check("rir-eda: block \"free\" (Sine_Init) takes from its defaults: SinePeriod = 10000, SineAmp = " in err,
              f"-v does not list the defaults: {err[:300]!r}")
        code, out, err = run(exe, ["run", design, "-o", "v", "-v", "--scheduling", "events"], tmp)
        check(code == 0 and "InputChanged gen" in err and " pass 1: changed clk=1" in err, "-v traces no passes under events")

        # Design errors of the outputs: status 2, file and line, nothing written.
        for name, change in (("empty", ('png_buses = ["x", "free"]', "png_buses = []")),
                             ("missing", ('png_buses = ["x", "free"]\n', "")),
                             ("window", ("plot_window = [200, 600]", "plot_window = [600, 200]")),
                             ("clock", ('csv_clock = "clk"', 'csv_clock = "x"')),
                             ("unit", ("[simulation]\n", '[simulation]\ntime_unit = "3 ns"\n')),
                             ("kind", ("plot_window = [200, 600]", 'plot_kind = "bars"')),
                             ("spectrum", ("plot_window = [200, 600]", 'plot_kind = "spectrum"'))):
            bad = write(tmp, f"bad_{name}.toml", CLOCKED.replace(*change))
            code, out, err = run(exe, ["run", bad, "-o", "b_" + name], tmp)
            check(code == 2 and f"bad_{name}.toml:" in err, f"bad_{name}: exit {code}, {err!r}")
            check(not os.listdir(os.path.join(tmp, "b_" + name)) if os.path.exists(os.path.join(tmp, "b_" + name))
                  else True, f"bad_{name} wrote outputs")

        # A tone at or above half the sample rate: a warning with file and line, the run goes on.
        tone = write(tmp, "tone.toml", CLOCKED.replace('type = "Sine_Init"\noutputs = { Out = "free" }\n'
                                                        'parameters = { SineAmp = 1000, SinePeriod = 400 }',
                                                        'type = "Tone_Init"\noutputs = { Out = "free" }\n'
                                                        'parameters = { ToneRelFreq = 0.23 }'))
        code, out, err = run(exe, ["run", tone, "-o", "tone", "-q"], tmp)
        check(code == 0 and "tone.toml:39: warning: block \"free\" (Tone_Init): \"ToneRelFreq\" = 0.23 cycles per "
              "time unit is 2.3 cycles per sample (one sample per 10 time units), at or above half the sample rate" in err,
              f"no aliasing warning: {code} {err!r}")
        # A clocked generator samples at its clock's period (40 here), not at sample_period (10).
        clocked_tone = write(tmp, "clocked_tone.toml", CLOCKED.replace(
            'type = "Sine_Init"\ninputs = { Clk = "clk" }\noutputs = { Out = "x" }\n'
            'parameters = { SineAmp = 1000, SinePeriod = 400 }',
            'type = "Tone_Init"\ninputs = { Clk = "clk" }\noutputs = { Out = "x" }\nparameters = { ToneRelFreq = 0.02 }'))
        code, out, err = run(exe, ["run", clocked_tone, "-o", "tone", "-q"], tmp)
        check(code == 0 and "\"ToneRelFreq\" = 0.02 cycles per time unit is 0.8 cycles per sample (one sample per 40 "
              "time units)" in err, f"no aliasing warning for the clocked tone: {code} {err!r}")
        code, out, err = run(exe, ["blocks", "sine_init"], tmp)
        check(code == 2 and "did you mean \"Sine_Init\"?" in err, f"blocks sine_init: {code} {err!r}")

        # A plot asked for on the command line still needs buses to draw.
        bare = write(tmp, "bare.toml", CLOCKED.replace('png = "c.png"\n', "").replace('png_buses = ["x", "free"]\n', ""))
        code, out, err = run(exe, ["run", bare, "-o", "bare", "--png", "p.png"], tmp)
        check(code == 2 and "png_buses" in err, f"--png without buses: exit {code}, {err!r}")

        # A spectrum of the FFT's results: bin 8 holds the tone.
        with open(os.path.join(a.examples, "sine_hann_fft.toml")) as f:
            fft = re.sub(r"png_buses = .*\npng_spectra = .*\n",
                         'png_buses = ["power"]\nplot_kind = "spectrum"\nplot_window = [1024, 2047]\n', f.read())
        fft = fft.replace('gtkw = "sine_hann_fft.gtkw"', "")
        code, out, err = run(exe, ["run", write(tmp, "fft.toml", fft), "-o", "f", "-q"], tmp)
        check(code == 0, f"spectrum run ends with {code}: {err}")
        with open(os.path.join(tmp, "f", "sine_hann_fft.dat")) as f:
            spectrum = dict(tuple(int(x) for x in line.split()) for line in f if line.strip() and line[0] != "#")
        check(sorted(spectrum) == list(range(33)), f"spectrum bins {sorted(spectrum)}")
        check(spectrum and max(spectrum, key=spectrum.get) == 8, f"spectrum peak not in bin 8: {spectrum}")
        check_new(exe, tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)
    print("FAILED" if ex.FAILURES else "ok")
    sys.exit(1 if ex.FAILURES else 0)


if __name__ == "__main__":
    main()
