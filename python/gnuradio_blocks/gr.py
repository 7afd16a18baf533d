"""Rir_Eda's bit-exact blocks inside GNU Radio flowgraphs.

    >>> from gnuradio import blocks, gr
    >>> import rir_eda.gr
    >>> tb = gr.top_block()
    >>> src = blocks.vector_source_i([5, 6, 7])
    >>> fir = rir_eda.gr.block("High_Level_FIR_Init", FIRS_Taps=[0, 1], FIRS_Delay=[0, 0])
    >>> snk = blocks.vector_sink_i()
    >>> tb.connect(src, fir, snk)
    >>> tb.run()
    >>> snk.data()
    [0, 5, 6]

``block(type, ...)`` takes what ``rir_eda.Block`` takes and steps one
``rir_eda.Block`` over every buffer GNU Radio hands it, so the stream it
writes equals one ``Block.process()`` over the whole input, bit for bit,
whatever the buffer sizes.

Ports: bus ports are ``int32`` streams (an unsigned 32-bit bus as its bit
pattern); one-bit ports (the strobes "R" and "W", the clock "Clk", "IBusy",
"isMono") are ``int8`` streams of 0 and 1. The inputs are the type's
required ports in the catalogue's order, then the optional ones named in
``inputs``, in that order; the outputs are every output of the type. A block
without inputs (a free-running generator, a WAVE player) is a source, one
without outputs (a WAVE recorder) a sink; the others are sync blocks, and a
buffer transform keeps its strobe protocol on its "R", "W" and "IBusy"
streams.

The block's reports and value warnings (``rir_eda.RirEdaWarning``) go to the
block's GNU Radio logger. A run that cannot go on (an input out of its
port's range, a block that stopped) is logged as an error and ends the
block's stream, which ends the flowgraph. ``stop()`` ends the run (a WAVE
recorder finishes its file), so a block runs in one flowgraph run.
"""

import contextlib
import os
import threading
import warnings

import numpy as np
from gnuradio import gr

import rir_eda

__all__ = ["block"]

_local = threading.local()


@contextlib.contextmanager
def _reports_to(logger):
    """Warnings raised in this thread meanwhile go to the GNU Radio logger."""
    previous = getattr(_local, "logger", None)
    _local.logger = logger
    try:
        yield
    finally:
        _local.logger = previous


def _show(message, category, filename, lineno, file=None, line=None):
    logger = getattr(_local, "logger", None)
    if logger is not None and issubclass(category, rir_eda.RirEdaWarning):
        logger.warn(str(message))
    else:
        _show_elsewhere(message, category, filename, lineno, file, line)


# GNU Radio runs every block in a thread of its own: a hook per thread, not
# catch_warnings (which swaps process-wide state), routes the reports.
_show_elsewhere = warnings.showwarning
warnings.showwarning = _show
# Every report of a flowgraph's block, also one that repeats an earlier one.
warnings.filterwarnings("always", category=rir_eda.RirEdaWarning, module=r"rir_eda\.gr$")


def block(type, *, width=16, sign=0, inputs=(), folder=None, **fields):
    """A GNU Radio block stepping ``rir_eda.Block(type, ...)``.

    The arguments are ``rir_eda.Block``'s. A WAVE block's ``FileName`` may
    hold a folder ("/data/speech.wav"): the block then works in that folder
    (``folder``) and the record keeps the bare name.
    """
    if isinstance(inputs, str):
        inputs = (inputs,)
    name = fields.get("FileName")
    if folder is None and isinstance(name, str) and os.sep in name:
        folder, fields["FileName"] = os.path.split(os.path.abspath(name))
    return _Block(type, width, sign, tuple(inputs), folder, fields)


def _port_types(info, inputs):
    ports = info["ports"]
    ins = [p["name"] for p in ports if p["direction"] == "in" and p["required"]]
    ins += [p for p in dict.fromkeys(inputs) if p not in ins]
    outs = [p["name"] for p in ports if p["direction"] == "out"]
    one_bit = {p["name"] for p in ports if p["one_bit"]}
    return ins, outs, [np.int8 if p in one_bit else np.int32 for p in ins + outs]


class _Block(gr.sync_block):
    def __init__(self, type, width, sign, inputs, folder, fields):
        ins, outs, types = _port_types(rir_eda.block_info(type), inputs)
        gr.sync_block.__init__(self, name=type, in_sig=types[: len(ins)] or None, out_sig=types[len(ins):] or None)
        with _reports_to(self.logger):
            self.core = rir_eda.Block(type, width=width, sign=sign, inputs=inputs, folder=folder, **fields)
        self._inputs, self._outputs = ins, outs
        # An unsigned bus arrives as the bit pattern of its int32 sample.
        self._unsigned = int(sign) != 0

    def _column(self, items):
        if items.dtype == np.int32 and self._unsigned:
            return items.view(np.uint32).astype(np.int64)
        return items.astype(np.int64)

    def work(self, input_items, output_items):
        n = len(output_items[0]) if output_items else len(input_items[0])
        columns = {port: self._column(items[:n]) for port, items in zip(self._inputs, input_items)}
        try:
            with _reports_to(self.logger):
                outs = self.core.process(n=n, **columns)
        except Exception as e:  # noqa: BLE001 -- GNU Radio hangs on an exception from work()
            self.logger.error("%s: %s; the block ends its stream" % (self.core.type, e))
            return -1  # WORK_DONE
        for port, items in zip(self._outputs, output_items):
            items[:] = outs[port]
        return n

    def stop(self):
        with _reports_to(self.logger):
            self.core.close()
        return True
