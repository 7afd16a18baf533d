"""Rir_Eda's bit-accurate DSP blocks and its simulator, from Python.

The real plug-in (librir_eda.so) runs through the same in-process host as
the ``rir-eda`` simulator, so every value is the simulator's, bit for bit.

    >>> import numpy as np, rir_eda
    >>> fir = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[0, 1])
    >>> fir.process(DSrc=np.array([5, 6, 7]))["DOut"]
    array([1, 5, 6])

The first output is 1 because a FIR's delay line starts as ``FIRS_Delay``,
which defaults to ones; give ``FIRS_Delay=[0, 0]`` for an empty line.

Computing as the blocks do (to check a block against a model of your own):

- taps, delay values and the LMS step are 32-bit floats: the numbers you
  give are rounded to the nearest float first, and filters compute in 32-bit
  floats without fused multiply-adds;
- a delay line (``FIRS_Delay``, ``LMSS_Delay``) defaults to ones, not zeros;
- every result is rounded to the nearest integer, ties to even
  (``numpy.rint``);
- a result beyond the port's width keeps its low bits: it wraps.

The guide's section "Arithmetic inside the blocks" has the exact order of
the sums: docs/guide.md#arithmetic-inside-the-blocks (installed as
/usr/share/doc/rir-eda/guide.md).

A block is stepped once per sample as the dataflow engine steps it in a
design: the first sample opens the run (``Start``; an input-driven block
takes that sample there, so a FIR's first output already holds its delay
line's contents), each later sample is one ``InputChanged``, and a
time-driven block (a free-running generator, a WAVE player) gets one
``TimeStep`` per sample. Filter and element-wise blocks step through the
samples after the first inside the plug-in, over whole arrays, with the
same values and warnings. Later ``process`` calls continue the same run;
``reset()`` starts a new one.

``run()`` runs a design file as ``rir-eda run`` does, and ``sweep()`` runs
one design at many parameter points on any ``concurrent.futures`` executor
(a local process pool, or a Dask cluster's). ``examples_dir()`` is the
folder of the bundled example designs.

Errors: ``BlockSetupError`` (a ``ValueError``) when a block cannot be set
up as asked, ``TypeError`` for an argument of the wrong kind, ``RunError``
for a run that ended with errors. Block reports and library messages that
do not stop the work are issued as ``RirEdaWarning``.
"""

import numbers
import os
import tempfile
import warnings

import numpy as np

from . import _core

__all__ = ["Block", "BlockSetupError", "RirEdaWarning", "RunError", "RunResult", "block_info", "block_types",
           "describe", "examples_dir", "grid", "run", "sweep", "__version__"]

__version__ = _core.VERSION

BlockSetupError = _core.BlockSetupError
BlockSetupError.__doc__ = """A block that cannot be set up as asked: an unknown type, a field the type
never reads, a value the field cannot take, a port the type does not have.
A ValueError; its text names what was wrong."""

_HERE = os.path.dirname(os.path.abspath(__file__))
# Where the package finds the plug-in folder, the simulator and the
# examples, as (prefix, plug-in folder in it): inside itself (a wheel), in a
# build tree (build/python/rir_eda beside build/lib, build/bin, build/share),
# in an installation (PREFIX/lib/python3/dist-packages/rir_eda).
_PREFIXES = ((_HERE, "lib"),
             (os.path.join(_HERE, "..", ".."), "lib"),
             (os.path.join(_HERE, "..", "..", "..", ".."), os.path.join("lib", "rir-eda")))


def _candidates(kind):
    for prefix, plugin_folder in _PREFIXES:
        relative = {"plugin": os.path.join(plugin_folder, "librir_eda.so"),
                    "simulator": os.path.join("bin", "rir-eda"),
                    "examples": os.path.join("share", "rir-eda", "examples")}[kind]
        yield os.path.normpath(os.path.join(prefix, relative))


def _find(kind):
    for path in _candidates(kind):
        if os.path.exists(path):
            return path
    return None


def _load():
    path = _find("plugin")
    if path is None:
        raise ImportError("rir_eda: the plug-in librir_eda.so was not found (looked at "
                          + ", ".join(_candidates("plugin")) + ")")
    _core.load_plugin(path)


_load()


def examples_dir():
    """The folder of the bundled example designs (``examples/wave_iir.toml``, ...):
    the package's own copy, the installed one or the checkout's."""
    path = _find("examples")
    if path is None:
        raise FileNotFoundError("rir_eda: no examples folder (looked at " + ", ".join(_candidates("examples")) + ")")
    return os.path.realpath(path)


def block_types():
    """The init export names of every block type ("Sine_Init", ...)."""
    return list(_core.block_types())


def describe(type):
    """The block reference of one type, as ``rir-eda blocks TYPE`` prints it."""
    return _core.describe(type)


def block_info(type):
    """One block type's catalogue entry as data: {"export", "type_name",
    "family" ("generator", "element-wise", "buffer", "filter" or "wave"),
    "description", "reference" (what describe() says), "ports", "fields"}.

    Each port: {"name", "direction" ("in"/"out"), "required", "one_bit" (a
    strobe or clock, one bit whatever the width), "meaning"}. Each field the
    type reads: {"name", "type", "kind" ("bool", "int", "real", "text",
    "list"), "min", "max" (None when open), "control_min", "control_max"
    (the dialog's control; None for none), "range" (in words), "unit",
    "meaning", "default", "count_field" (the count a list goes with),
    "choices" ([(value, name)] where the catalogue names the values)}.
    """
    return _core.block_info(type)


# Strobes a buffer block gets when they are not given: every sample is taken
# ("R") and every step hands out the next pending result ("W").
_DEFAULT_STROBES = {"R": 1, "W": 1}


class RirEdaWarning(UserWarning):
    """A block's report, a library message or a run's warning that did not
    stop the work. ``Block.messages`` and ``RunResult.messages`` keep them too;
    ``warnings.simplefilter("error", rir_eda.RirEdaWarning)`` makes them fail."""


def _integer(name, value):
    if isinstance(value, (bool, np.bool_)) or not isinstance(value, numbers.Integral):
        raise TypeError("%s must be an integer, not %s" % (name, type(value).__name__))
    return int(value)


def _field_value(name, value):
    """A record field's value as the extension takes it: a number, a text, or
    a one-dimensional sequence of real numbers."""
    if isinstance(value, np.ndarray) and value.ndim == 0:
        value = value.item()
    if isinstance(value, np.generic):
        value = value.item()
    if isinstance(value, (str, numbers.Real)):
        return value
    if isinstance(value, (list, tuple, range, np.ndarray)):
        items = list(value)
        for item in items:
            if isinstance(item, (bool, np.bool_, str)) or not isinstance(item, numbers.Real):
                raise TypeError('field "%s" takes a list of numbers, not one holding %r' % (name, item))
        return [x.item() if isinstance(x, np.generic) else x for x in items]
    raise TypeError('field "%s" cannot take a %s' % (name, type(value).__name__))


class Block:
    """One block of the plug-in.

    ``Block(type, *, width=16, sign=0, inputs=(), folder=None, **fields)``

    - ``type``: an init export name (see ``block_types()``).
    - ``width``: the bit width of every bus port ("DSOut" gets twice it);
      strobes and clocks have one bit.
    - ``sign``: the block's sign mode ("SignValue"): 0 sign-magnitude
      (16 bits hold -32767..32767), anything else unsigned. Outputs are the
      32-bit signed samples the block computes with, as the simulator's CSV
      shows them: an unsigned 32-bit port holding 2**32 - 16 reads -16, and
      takes either number as input.
    - ``inputs``: optional input ports to connect as well, e.g. ``("Clk",)``
      for a clocked generator or ``("D2In",)`` for a second operand; the
      required ports are always connected, and every output.
    - ``folder``: where a WAVE block finds and writes its files (default:
      the working folder).
    - ``fields``: record fields by their design-file names
      (``FIRS_Taps=[...]``, ``ToneMag=...``; see ``describe(type)``): a
      number, a text, or for a list field a list, tuple or one-dimensional
      array of numbers. A list given without its count (``FIRS_Taps``
      without ``FIRS_TapsCount``) sets the count to its length.

    An unknown type, a field the type never reads, a value the field cannot
    take or a port the type does not have raises ``BlockSetupError`` (a
    ``ValueError``) naming it; ``width``, ``sign`` or a field of the wrong
    kind (``width="16"``, a text in a list of taps) raises ``TypeError``.

    The arithmetic is the simulator's: taps and the LMS step are 32-bit
    floats, delay lines default to ones (a FIR's first outputs hold them),
    results are rounded to the nearest integer with ties to even and wrap
    beyond the port's width. See the guide's "Arithmetic inside the blocks".
    """

    def __init__(self, type, *, width=16, sign=0, inputs=(), folder=None, **fields):
        if not isinstance(type, str):
            raise TypeError("the block type must be a text such as \"Sine_Init\", not %r" % (type,))
        if isinstance(inputs, str):
            inputs = (inputs,)
        inputs = list(inputs)
        if not all(isinstance(port, str) for port in inputs):
            raise TypeError("inputs must be port names, not %r" % (inputs,))
        folder = os.path.abspath(folder if folder is not None else os.getcwd())
        fields = {name: _field_value(name, value) for name, value in fields.items()}
        self.type = type
        self._block = _core.Block(type, _integer("width", width), _integer("sign", sign), inputs,
                                  folder.rstrip("/") + "/", fields)
        self.inputs = tuple(self._block.inputs)
        self.outputs = tuple(self._block.outputs)
        self.messages = []
        self._warn()

    def __repr__(self):
        return "Block(%r, inputs=%r, outputs=%r)" % (self.type, getattr(self, "inputs", ()),
                                                     getattr(self, "outputs", ()))

    def process(self, n=None, **inputs):
        """Steps the block once per sample; returns {output port: int64 array}.

        Inputs are integer arrays of one length, or scalars (held for every
        sample); floats are refused, also whole ones (round them first, e.g.
        ``np.rint(x).astype(int)``), and every value must fit the port. ``n`` sets the number of samples (needed when no input is
        an array, e.g. for a generator). Buffer blocks take their strobes
        "R" and "W" like any input; left out, both are 1 on every sample.
        """
        unknown = sorted(set(inputs) - set(self.inputs))
        if unknown:
            raise ValueError("block %s has no input port %s (inputs: %s)"
                             % (self.type, ", ".join('"%s"' % u for u in unknown),
                                ", ".join(self.inputs) or "none"))
        arrays = {}
        lengths = {}
        for port, value in inputs.items():
            a = self._input_array(port, value)
            if a.ndim == 1:
                lengths[port] = len(a)
            arrays[port] = a
        if len(set(lengths.values())) > 1:
            raise ValueError("input arrays of differing lengths: "
                             + ", ".join("%s has %d" % (p, k) for p, k in lengths.items()))
        count = next(iter(lengths.values())) if lengths else None
        if n is not None:
            if int(n) != n or n < 0:
                raise ValueError("n must be a count of samples, not %r" % (n,))
            if count is not None and count != n:
                raise ValueError("n=%d but the inputs hold %d samples" % (n, count))
            count = int(n)
        if count is None:
            if self.inputs and inputs:
                count = 1
            else:
                raise ValueError("give n= (the number of samples) or input arrays")
        missing = [p for p in self.inputs if p not in arrays and p not in _DEFAULT_STROBES]
        if missing:
            raise ValueError("block %s needs input %s" % (self.type, ", ".join('"%s"' % p for p in missing)))
        columns = []
        for port in self.inputs:
            a = np.broadcast_to(np.asarray(arrays.get(port, _DEFAULT_STROBES.get(port))), (count,))
            lo, hi = self._block.port_range(port)
            # Checked before the conversion to int64, so a value is told as given.
            outside = [x for x in a if x < lo or x > hi] if a.dtype == object else a[(a < lo) | (a > hi)]
            if len(outside):
                raise ValueError('input "%s": %d does not fit the port (%d to %d in this width and sign mode)'
                                 % (port, outside[0], lo, hi))
            columns.append(np.ascontiguousarray(a, dtype=np.int64))
        outs = self._block.process(count, columns)
        self._warn()
        if self._block.aborted:
            raise RuntimeError("block %s stopped the run: %s" % (self.type, "; ".join(self.messages[-3:])))
        return dict(zip(self.outputs, outs))

    @staticmethod
    def _input_array(port, value):
        a = np.asarray(value)
        if a.dtype.kind == "b":
            a = a.astype(np.int64)
        # Python integers beyond int64 arrive as objects: kept, to be told as given.
        whole = a.dtype.kind in "iu" or (a.dtype == object and all(
            isinstance(x, numbers.Integral) and not isinstance(x, bool) for x in a.flat))
        if not whole:
            raise TypeError('input "%s" must hold integers, not %s' % (port, a.dtype))
        if a.ndim > 1:
            raise ValueError('input "%s" must be one-dimensional, not of shape %s' % (port, a.shape))
        return a

    def reset(self):
        """The next process() starts a new run: parameters reloaded, delay lines refilled."""
        self._block.restart()

    def close(self):
        """Ends the run (a WAVE recorder finishes its file). Idempotent."""
        self._block.close()
        self._warn()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    def _warn(self):
        for m in self._block.take_messages():
            self.messages.append(m)
            warnings.warn(m, RirEdaWarning, stacklevel=3)


class RunError(RuntimeError):
    """A run that ended with errors (status 1); ``result`` holds what it computed."""

    def __init__(self, message, status, result):
        super().__init__(message)
        self.status = status
        self.result = result


class RunResult(dict):
    """{variable: int64 array}, one value per time point in ``time``.

    Buses are decoded in the sign mode of the block that writes them (else of
    one that reads them), one-bit variables as 0/1. ``log`` is what
    ``rir-eda run`` would print (the files written and the summary);
    ``messages`` its warnings and errors; ``counts`` the summary's numbers
    ({"errors", "warnings", "time_points", "block_steps",
    "input_notifications", "value_changes"}); ``ranges`` every variable's
    (smallest, largest) value, decoded as the CSV decodes it.
    """

    def __init__(self, values, time, log, messages, counts):
        super().__init__(values)
        self.time = time
        self.log = log
        self.messages = messages
        self.ranges = counts.pop("ranges")
        self.counts = counts


def _overrides(set):
    if set is None:
        return []
    if isinstance(set, str):
        return [set]
    if isinstance(set, dict):
        out = []
        for k, v in set.items():
            if isinstance(v, str):
                text = v
            elif isinstance(v, (list, tuple, np.ndarray)):
                text = "[" + ", ".join(repr(float(x)) if isinstance(x, (float, np.floating)) else str(int(x))
                                       for x in v) + "]"
            elif isinstance(v, bool):
                text = "1" if v else "0"
            else:
                text = repr(v.item() if isinstance(v, np.generic) else v)
            out.append("%s=%s" % (k, text))
        return out
    return [str(s) for s in set]


def run(design, *, set=None, scheduling=None, output_dir=None):
    """Runs a design file as ``rir-eda run`` does; returns a RunResult.

    ``set``: record overrides, {"BLOCK.FIELD": value} or ["BLOCK.FIELD=VALUE"]
    (``--set``); ``scheduling``: "dataflow" or "events"; ``output_dir``: the
    folder for the design's outputs (VCD, CSV, plots, WAVE recordings) as
    ``-o`` takes it; without it nothing is kept on disk, and ``log`` says so
    instead of naming the files.

    A design that cannot run raises ValueError with its file and line; a run
    with errors raises RunError (its files are written all the same).
    """
    if scheduling not in (None, "dataflow", "events"):
        raise ValueError('scheduling must be "dataflow" or "events", not %r' % (scheduling,))
    design = os.fspath(design)
    if output_dir is None:
        with tempfile.TemporaryDirectory(prefix="rir-eda-") as tmp:
            return _run(design, set, scheduling, tmp, kept=False)
    return _run(design, set, scheduling, os.fspath(output_dir), kept=True)


def _run(design, set, scheduling, output_dir, kept):
    status, time, values, out, err, counts = _core.run(design, _overrides(set), scheduling or "", output_dir)
    if not kept:  # the files went with the temporary folder: the log names none
        folder = os.path.join(output_dir, "")
        out = "".join(line for line in out.splitlines(True) if folder not in line)
        out += "outputs not kept (give output_dir= to keep them)\n"
    messages = [line[len("rir-eda: "):] if line.startswith("rir-eda: ") else line for line in err.splitlines()]
    if status == 2:
        raise ValueError("\n".join(messages) or "the design cannot run")
    result = RunResult(values, time, out, messages, counts)
    if status != 0:
        raise RunError("\n".join(messages), status, result)
    for m in messages:
        warnings.warn(m, RirEdaWarning, stacklevel=3)
    return result


from ._sweeps import grid, sweep  # noqa: E402  (they use run() above)
