"""A sweep on a Dask cluster, every row against a single run of the simulator,
and the table against rir-eda sweep's."""
import csv
import filecmp
import os
import re
import subprocess

import distributed  # Debian's python3-distributed: a missing one fails, it is not skipped

import rir_eda

# A tone through a 2-tap FIR, recorded; a point with a three-value taps list
# cannot run (the count is 2), one at 0.6 of the sample rate warns.
DESIGN = """
[simulation]
sample_period = 2
steps = 300

[[variable]]
name = "tone"
width = 16
[[variable]]
name = "fir"
width = 16
[[variable]]
name = "rec_clk"
kind = "Clk"

[[stimulus]]
type = "clock"
variable = "rec_clk"
period = 2
phase = 1

[[block]]
name = "tone"
type = "Tone_Init"
outputs = { Out = "tone" }
parameters = { ToneMag = 1000.0, ToneRelFreq = 0.01 }

[[block]]
name = "fir"
type = "High_Level_FIR_Init"
inputs = { DSrc = "tone" }
outputs = { DOut = "fir" }
parameters = { FIRS_TapsCount = 2, FIRS_Taps = [0.5, 0.5], FIRS_Delay = [0.0, 0.0] }

[[block]]
name = "rec"
type = "Wave_Save_Init"
inputs = { C1 = "fir", Clk = "rec_clk" }
parameters = { FileName = "fir.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }

[output]
csv = "values.csv"
csv_buses = ["tone", "fir"]
vcd = "values.vcd"
"""

AXES = {"tone.ToneRelFreq": ["0.01", "0.6"], "tone.ToneMag": ["250", "30000"],
        "fir.FIRS_Taps": ["[0.5, 0.5]", "[1.0, 0.5]", "[0.5, 0.5, 0.5]"]}


def single_run(rir_eda_bin, design, assignments, folder):
    command = [rir_eda_bin, "run", str(design), "-o", str(folder)]
    for name, value in assignments.items():
        command += ["--set", "%s=%s" % (name, value)]
    return subprocess.run(command, capture_output=True, text=True)


def summary_counts(stdout):
    """The numbers of the summary line that rir-eda run prints."""
    line = next(line for line in stdout.splitlines() if line.startswith("model time "))
    m = re.search(r"\((\d+) time points\): (\d+) block steps, (\d+) input notifications, (\d+) value changes", line)
    counts = dict(zip(rir_eda._sweeps.SUMMARY_COLUMNS, map(int, m.groups())))
    for kind in ("error", "warning"):
        n = re.search(r"(\d+) %ss?\b" % kind, line)
        counts[kind + "s"] = int(n.group(1)) if n else 0
    return counts


def test_sweep_on_dask_equals_single_runs(tmp_path, rir_eda_bin):
    design = tmp_path / "design.toml"
    design.write_text(DESIGN)
    points = rir_eda.grid(AXES)
    assert len(points) == 12
    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, distributed.Client(cluster) as client:
        table = rir_eda.sweep(design, points, executor=client.get_executor(), output_dir=tmp_path / "sweep")
    assert [row["point"] for row in table] == list(range(12))

    for row, point in zip(table, points):
        cli = tmp_path / "cli" / row["folder"]
        p = single_run(rir_eda_bin, design, point, cli)
        assert row["status"] == p.returncode, (point, p.stderr)
        assert {k: row[k] for k in point} == point
        assert row["messages"] == "\n".join(line[len("rir-eda: "):] for line in p.stderr.splitlines()), point
        if p.returncode == 2:
            continue
        counts = summary_counts(p.stdout)
        assert {k: row[k] for k in counts} == counts, point
        swept = tmp_path / "sweep" / row["folder"]
        names = sorted(os.listdir(cli))
        assert names == sorted(os.listdir(swept)) and "fir.wav" in names
        assert all(filecmp.cmp(cli / n, swept / n, shallow=False) for n in names), point
        with open(cli / "values.csv") as f:
            rows = list(csv.DictReader(f))
        for bus in ("tone", "fir"):
            values = [int(r[bus]) for r in rows]
            assert (row[bus + ".min"], row[bus + ".max"]) == (min(values), max(values)), (point, bus)
    statuses = [row["status"] for row in table]
    assert statuses.count(2) == 4 and any(row["warnings"] for row in table if row["status"] == 0)

    # rir-eda sweep writes the same table (a point failed: exit status 1).
    table.to_csv(tmp_path / "table.csv")
    command = [rir_eda_bin, "sweep", str(design), "-o", str(tmp_path / "cli_sweep"), "-q"]
    for name, values in AXES.items():
        command += ["--grid", name + "=" + ",".join(values)]
    assert subprocess.run(command, capture_output=True).returncode == 1
    assert (tmp_path / "table.csv").read_text() == (tmp_path / "cli_sweep" / "sweep.csv").read_text()
