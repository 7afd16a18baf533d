"""One design at many parameter points, one run per point, on any
concurrent.futures executor: rir_eda.sweep and rir_eda.grid.

The table has the columns that ``rir-eda sweep`` writes to its CSV, in the
same order: the point's number, one column per assigned name, the exit
status, the run's error and warning counts, its summary counts, the point's
output folder (relative to the sweep's), its messages, and the smallest
and largest value of every variable.
"""
import concurrent.futures
import csv
import itertools
import os
import warnings

SUMMARY_COLUMNS = ("time_points", "block_steps", "input_notifications", "value_changes")


def grid(axes):
    """Every combination of the values of ``axes`` ({name: [values]}), the last
    name varying fastest: ``grid({"a.X": [1, 2], "b.Y": [3, 4]})`` gives four
    points, {"a.X": 1, "b.Y": 3} first."""
    names = list(axes)
    return [dict(zip(names, values)) for values in itertools.product(*(list(axes[n]) for n in names))]


class SweepTable(list):
    """The rows of a sweep, one dict per point, in the order of the points.

    ``columns`` names the fields in the order ``to_csv`` writes them;
    ``output_dir`` is the sweep's folder, which each row's ``folder`` is
    relative to. ``to_dataframe()`` gives a pandas DataFrame."""

    def __init__(self, rows, names, output_dir):
        super().__init__(rows)
        self.output_dir = output_dir
        statistics = [c for row in rows for c in row if c.endswith((".min", ".max")) and c not in names]
        self.columns = (["point", *names, "status", "errors", "warnings", *SUMMARY_COLUMNS, "folder", "messages"]
                        + list(dict.fromkeys(statistics)))

    def to_csv(self, path):
        with open(path, "w", newline="") as f:
            out = csv.writer(f, lineterminator="\n")
            out.writerow(self.columns)
            for row in self:
                out.writerow([row.get(c, "") for c in self.columns])

    def to_dataframe(self):
        import pandas
        return pandas.DataFrame(list(self), columns=self.columns)


def _flat(row):
    flat = {"point": row["point"], **row["assignments"]}
    flat.update((k, row[k]) for k in ("status", "errors", "warnings", *SUMMARY_COLUMNS, "folder"))
    flat["messages"] = "\n".join(row["message_list"])
    for name, (low, high) in row["statistics"].items():
        flat[name + ".min"], flat[name + ".max"] = low, high
    return flat


def run_point(design, point, assignments, output_dir, folder, scheduling):
    """One point of a sweep, in whatever process the executor chose; returns
    its row (small: no arrays travel back)."""
    import rir_eda

    row = {"point": point, "assignments": dict(a.split("=", 1) for a in assignments), "folder": folder,
           "statistics": {}}
    row.update(dict.fromkeys(("errors", "warnings", *SUMMARY_COLUMNS), 0))
    try:
        with warnings.catch_warnings():
            warnings.simplefilter("ignore", rir_eda.RirEdaWarning)
            result = rir_eda.run(design, set=assignments, scheduling=scheduling,
                                 output_dir=os.path.join(output_dir, folder))
        row["status"] = 0
    except rir_eda.RunError as e:
        row["status"], result = e.status, e.result
    except ValueError as e:  # the point cannot run: its own words, nothing else
        row.update(status=2, errors=1, message_list=str(e).splitlines())
        return _flat(row)
    row.update(result.counts)
    row["message_list"] = result.messages
    row["statistics"] = result.ranges
    return _flat(row)


def sweep(design, points, *, executor=None, output_dir="sweep", scheduling=None):
    """Runs ``design`` once per point and returns a SweepTable, one row per point.

    ``points``: a list of assignments as ``run(set=...)`` takes them, e.g.
    ``grid({"tone.ToneMag": [250, 500, 1000]})`` or
    ``[{"fir.FIRS_Taps": [0.5, 0.5]}, ["tone.ToneMag=250"]]``.
    ``executor``: any ``concurrent.futures.Executor``; a local process pool
    by default; on a Dask cluster ``distributed.Client(...).get_executor()``
    (its workers must see the design's and the output folder's paths).
    ``output_dir``: the sweep's folder; point K writes to ``point_K`` in it.
    A point that cannot run (a bad assignment) gets status 2 and its reason
    in ``messages``; it does not stop the others.
    """
    from . import _overrides

    design = os.path.abspath(os.fspath(design))
    output_dir = os.path.abspath(os.fspath(output_dir))
    points = [_overrides(p) for p in points]
    names = list(dict.fromkeys(a.split("=", 1)[0] for p in points for a in p))
    digits = len(str(max(len(points) - 1, 0)))
    jobs = [(design, k, p, output_dir, "point_%0*d" % (digits, k), scheduling) for k, p in enumerate(points)]
    own = executor is None
    if own:
        executor = concurrent.futures.ProcessPoolExecutor(max_workers=min(len(jobs), os.cpu_count() or 1) or 1)
    try:
        futures = [executor.submit(run_point, *job) for job in jobs]
        rows = [f.result() for f in futures]
    finally:
        if own:
            executor.shutdown()
    return SweepTable(rows, names, output_dir)
