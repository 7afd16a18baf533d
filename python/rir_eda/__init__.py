"""Rir_Eda's bit-accurate DSP blocks and its simulator, from Python.

The real plug-in (librir_eda.so) runs through the same in-process host as
the ``rir-eda`` simulator, so every value is the simulator's, bit for bit.

    >>> import numpy as np, rir_eda
    >>> fir = rir_eda.Block("High_Level_FIR_Init", FIRS_Taps=[0, 1], FIRS_Delay=[0, 0])
    >>> fir.process(DSrc=np.array([5, 6, 7]))["DOut"]
    array([0, 5, 6])

A block is stepped once per sample as the dataflow engine steps it in a
design: the first sample opens the run (``Start``; an input-driven block
takes that sample there, so a FIR's first output already holds its delay
line's contents), each later sample is one ``InputChanged``, and a
time-driven block (a free-running generator, a WAVE player) gets one
``TimeStep`` per sample. Later ``process`` calls continue the same run;
``reset()`` starts a new one.
"""

import os
import tempfile
import warnings

import numpy as np

from . import _core

__all__ = ["Block", "RunError", "RunResult", "block_info", "block_types", "describe", "run", "__version__"]

__version__ = _core.VERSION


def _plugin_candidates():
    here = os.path.dirname(os.path.abspath(__file__))
    # A build tree keeps the package in build/python/ and the plug-in in
    # build/lib/; an installation in PREFIX/lib/python3/dist-packages/ and
    # PREFIX/lib/rir-eda/.
    yield os.path.normpath(os.path.join(here, "..", "..", "lib", "librir_eda.so"))
    yield os.path.normpath(os.path.join(here, "..", "..", "..", "rir-eda", "librir_eda.so"))


def _load():
    for path in _plugin_candidates():
        if os.path.exists(path):
            _core.load_plugin(path)
            return
    raise ImportError("rir_eda: the plug-in librir_eda.so was not found (looked at "
                      + ", ".join(_plugin_candidates()) + ")")


_load()


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
    """A block's report or a library message that did not stop the work."""


class Block:
    """One block of the plug-in.

    ``Block(type, *, width=16, sign=0, inputs=(), folder=None, **fields)``

    - ``type``: an init export name (see ``block_types()``).
    - ``width``: the bit width of every bus port ("DSOut" gets twice it);
      strobes and clocks have one bit.
    - ``sign``: the block's sign mode ("SignValue"): 0 sign-magnitude
      (16 bits hold -32767..32767), anything else unsigned.
    - ``inputs``: optional input ports to connect as well, e.g. ``("Clk",)``
      for a clocked generator or ``("D2In",)`` for a second operand; the
      required ports are always connected, and every output.
    - ``folder``: where a WAVE block finds and writes its files (default:
      the working folder).
    - ``fields``: record fields by their design-file names
      (``FIRS_Taps=[...]``, ``ToneMag=...``; see ``describe(type)``). A
      list given without its count (``FIRS_Taps`` without
      ``FIRS_TapsCount``) sets the count to its length.

    An unknown type, a field the type never reads, a value the field cannot
    take or a port the type does not have raises ``ValueError`` naming it.
    """

    def __init__(self, type, *, width=16, sign=0, inputs=(), folder=None, **fields):
        if isinstance(inputs, str):
            inputs = (inputs,)
        folder = os.path.abspath(folder if folder is not None else os.getcwd())
        self.type = type
        self._block = _core.Block(type, int(width), int(sign), list(inputs), folder.rstrip("/") + "/", fields)
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
        sample); ``n`` sets the number of samples (needed when no input is
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
            a = np.asarray(value)
            if a.dtype.kind == "b":
                a = a.astype(np.int64)
            if a.dtype.kind not in "iu":
                if a.dtype.kind == "f" and np.all(np.isfinite(a)) and np.all(a == np.round(a)):
                    a = a.astype(np.int64)
                else:
                    raise TypeError('input "%s" must hold integers, not %s' % (port, a.dtype))
            if a.ndim > 1:
                raise ValueError('input "%s" must be one-dimensional, not of shape %s' % (port, a.shape))
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
            a = arrays.get(port, _DEFAULT_STROBES.get(port))
            a = np.ascontiguousarray(np.broadcast_to(np.asarray(a, dtype=np.int64), (count,)))
            lo, hi = self._block.port_range(port)
            if count and (a.min() < lo or a.max() > hi):
                bad = a[(a < lo) | (a > hi)][0]
                raise ValueError('input "%s": %d does not fit the port (%d to %d in this width and sign mode)'
                                 % (port, bad, lo, hi))
            columns.append(a)
        outs = self._block.process(count, columns)
        self._warn()
        if self._block.aborted:
            raise RuntimeError("block %s stopped the run: %s" % (self.type, "; ".join(self.messages[-3:])))
        return dict(zip(self.outputs, outs))

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
    ``rir-eda run`` would print (the files written and the summary).
    """

    def __init__(self, values, time, log, messages):
        super().__init__(values)
        self.time = time
        self.log = log
        self.messages = messages


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
    ``-o`` takes it; without it nothing is kept on disk.

    A design that cannot run raises ValueError with its file and line; a run
    with errors raises RunError (its files are written all the same).
    """
    if scheduling not in (None, "dataflow", "events"):
        raise ValueError('scheduling must be "dataflow" or "events", not %r' % (scheduling,))
    design = os.fspath(design)
    if output_dir is None:
        with tempfile.TemporaryDirectory(prefix="rir-eda-") as tmp:
            return _run(design, set, scheduling, tmp)
    return _run(design, set, scheduling, os.fspath(output_dir))


def _run(design, set, scheduling, output_dir):
    status, time, values, out, err = _core.run(design, _overrides(set), scheduling or "", output_dir)
    messages = [line[len("rir-eda: "):] if line.startswith("rir-eda: ") else line for line in err.splitlines()]
    if status == 2:
        raise ValueError("\n".join(messages) or "the design cannot run")
    result = RunResult(values, time, out, messages)
    if status != 0:
        raise RunError("\n".join(messages), status, result)
    for m in messages:
        warnings.warn(m, RirEdaWarning, stacklevel=3)
    return result
