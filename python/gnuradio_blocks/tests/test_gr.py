"""rir_eda.gr in GNU Radio flowgraphs against Block.process and the simulator;
the generated GNU Radio Companion blocks in GRC."""
import doctest
import filecmp
import itertools
import logging
import os
import re
import subprocess
import sys

import numpy as np
import pytest
from gnuradio import blocks, gr

import rir_eda
import rir_eda.gr

ROOT = os.path.join(os.path.dirname(__file__), "..", "..", "..")
DATA = os.path.join(ROOT, "examples", "data")
N = 3000
RNG = np.random.default_rng(11)
X = RNG.integers(-20000, 20000, N)
STROBES = (RNG.random(N) < 0.7).astype(np.int64)


class Chunks(gr.sync_block):
    """Passes its stream on in pieces of odd sizes, as a busy scheduler might."""

    def __init__(self, dtype):
        gr.sync_block.__init__(self, "chunks", [dtype], [dtype])
        self.sizes = itertools.cycle([1, 7, 3, 64, 5, 997, 2])

    def work(self, input_items, output_items):
        k = min(len(output_items[0]), next(self.sizes))
        output_items[0][:k] = input_items[0][:k]
        return k


def stream_type(port, info):
    return np.int8 if next(p for p in info["ports"] if p["name"] == port)["one_bit"] else np.int32


def run_flowgraph(block, inputs, n):
    """Vector sources (in odd pieces) -> block -> vector sinks; {output: array}."""
    info = rir_eda.block_info(block.core.type)
    tb = gr.top_block()
    keep = []
    for i, port in enumerate(block._inputs):
        dtype = stream_type(port, info)
        data = np.asarray(inputs[port])
        if dtype == np.int32:
            src = blocks.vector_source_i(data.astype(np.uint32).view(np.int32).tolist())
        else:
            src = blocks.vector_source_b(data.astype(np.int8).tolist())
        chunks = Chunks(dtype)
        keep.append(chunks)
        tb.connect(src, chunks, (block, i))
    block.set_max_noutput_items(37)
    sinks = {}
    for j, port in enumerate(block._outputs):
        dtype = stream_type(port, info)
        sinks[port] = blocks.vector_sink_i() if dtype == np.int32 else blocks.vector_sink_b()
        if block._inputs:
            tb.connect((block, j), sinks[port])
        else:
            tb.connect((block, j), blocks.head(np.dtype(dtype).itemsize, n), sinks[port])
    tb.run()
    return {port: np.array(s.data(), dtype=np.int64) for port, s in sinks.items()}


CASES = [
    # Generators: sources, and a sync block when clocked.
    ("Tone_Init", dict(ToneMag=3000, ToneRelFreq=0.01), {}),
    ("Func_Init", dict(Formula="t*3"), {}),
    ("Sine_Init", dict(inputs=("Clk",), SineAmp=9000, SinePeriod=40), {"Clk": STROBES}),
    # Element-wise, on an unsigned 32-bit bus and a second operand.
    ("Addition_Substraction_Init", dict(width=32, sign=1, inputs=("D2In",), Add_Sub_coef=5),
     {"DIn": X % 2**31 * 2, "D2In": np.abs(X)}),
    ("Square_Root_Init", {}, {"DIn": np.abs(X)}),
    # A buffer transform with its strobes.
    ("Hann_trans_Init", dict(Num_Points=16), {"DIn": X, "R": STROBES, "W": 1 - STROBES}),
    # Filters, the LMS with two inputs.
    ("High_Level_FIR_Init", dict(FIRS_Taps=[0.1, 0.25, 0.3, 0.25, 0.1], FIRS_Delay=[0.0] * 5), {"DSrc": X}),
    ("High_Level_IIR_Init", dict(IIRS_Taps=[0.25, 0.0, 1.0, -0.75]), {"DSrc": X // 2}),
    ("High_Level_LMS_Init", dict(LMSS_Taps=[0.0] * 4, LMSS_Delay=[0.0] * 4, LMSS_Step=2e-9),
     {"DSrc": X, "DDes": np.round(0.5 * X - 0.25 * np.roll(X, 1)).astype(np.int64)}),
]


# A free-running source runs ahead of the Head block, past its table.
@pytest.mark.filterwarnings("ignore::rir_eda.RirEdaWarning")
@pytest.mark.parametrize("type, args, inputs", CASES, ids=[c[0] for c in CASES])
def test_flowgraph_equals_one_process_call(type, args, inputs):
    expected = rir_eda.Block(type, **args).process(n=N, **inputs)
    got = run_flowgraph(rir_eda.gr.block(type, **args), inputs, N)
    assert got.keys() == expected.keys()
    for port in expected:  # an unsigned 32-bit bus travels as its bit pattern
        np.testing.assert_array_equal(got[port] & 0xFFFFFFFF, expected[port] & 0xFFFFFFFF, err_msg=port)


def test_wave_chain_computes_the_simulators_values(tmp_path):
    """A WAVE file through GNU Radio's player and our IIR gives the
    simulator's values; our recorder writes what Block's writes, and our
    player plays that file as Block's plays it."""
    tone = os.path.abspath(os.path.join(DATA, "tone.wav"))
    design = tmp_path / "wave.toml"
    design.write_text(f"""
[simulation]
steps = 800
[[variable]]
name = "played"
width = 16
[[variable]]
name = "filtered"
width = 16
[[block]]
name = "player"
type = "Wave_Load_Init"
outputs = {{ C1 = "played" }}
parameters = {{ FileName = "{tone}" }}
[[block]]
name = "iir"
type = "High_Level_IIR_Init"
inputs = {{ DSrc = "played" }}
outputs = {{ DOut = "filtered" }}
parameters = {{ IIRS_TapsCount = 4, IIRS_Taps = [0.25, 0.0, 1.0, -0.75] }}
""")
    simulated = rir_eda.run(design)["filtered"]

    tb = gr.top_block()
    player = blocks.wavfile_source(tone, False)
    to_int = blocks.float_to_int(1, 32768)  # 16-bit PCM arrives as sample / 32768
    iir = rir_eda.gr.block("High_Level_IIR_Init", IIRS_Taps=[0.25, 0.0, 1.0, -0.75])
    recorded = tmp_path / "gr" / "iir_out.wav"
    recorded.parent.mkdir()
    recorder = rir_eda.gr.block("Wave_Save_Init", FileName=str(recorded), BitsPerSample=16)
    values = blocks.vector_sink_i()
    tb.connect(player, to_int, iir, recorder)
    tb.connect(iir, values)
    tb.run()
    np.testing.assert_array_equal(values.data(), simulated)
    with rir_eda.Block("Wave_Save_Init", folder=str(tmp_path), FileName="iir_out.wav", BitsPerSample=16) as b:
        b.process(C1=simulated)
    assert filecmp.cmp(tmp_path / "iir_out.wav", recorded, shallow=False)

    expected = rir_eda.Block("Wave_Load_Init", folder=str(tmp_path), FileName="iir_out.wav").process(n=900)
    got = run_flowgraph(rir_eda.gr.block("Wave_Load_Init", FileName=str(recorded)), {}, 900)
    for port in expected:
        np.testing.assert_array_equal(got[port], expected[port], err_msg=port)


REPORTS = """
import warnings
from gnuradio import blocks, gr
import rir_eda.gr
tb = gr.top_block()
sine = rir_eda.gr.block("Sine_Init")
tb.connect(sine, blocks.head(4, 10005), blocks.null_sink(4))
fir = rir_eda.gr.block("High_Level_FIR_Init", FIRS_Taps=[1.0], FIRS_Delay=[0.0])
out = blocks.vector_sink_i()
tb.connect(blocks.vector_source_i([1, 2, 40000, 4]), fir, out)
double = rir_eda.gr.block("Low_Level_FIR_Init", FIRS_Taps=[2.0], FIRS_Delay=[0.0])
tb.connect(blocks.vector_source_i([30000, 1]), double, blocks.null_sink(4))
tb.run()
print("ran", len(out.data()))
warnings.warn("elsewhere")
"""


def test_reports_reach_the_logger_and_a_bad_input_ends_the_flowgraph():
    # In a process of its own: a test runner records warnings its own way.
    p = subprocess.run([sys.executable, "-c", REPORTS], capture_output=True, text=True, timeout=120)
    said = p.stdout + p.stderr
    assert p.returncode == 0, said
    # A free-running generator past its table: a RirEdaWarning, on the block's logger only.
    assert re.search(r"Sine_Init :warning: .*10001", said), said
    assert "RirEdaWarning" not in said
    # A value its output port cannot hold: a warning with the facts.
    assert re.search(r"Low_Level_FIR_Init :warning: .*DOut: 1 value did not fit its 16-bit port \(wrapped\), "
                     r"first at t = 0", said), said
    # An input its port cannot hold: an error on the logger, the stream ends, nothing hangs.
    assert re.search(r"High_Level_FIR_Init :error: .*40000", said), said
    assert int(re.search(r"ran (\d+)", said).group(1)) < 3
    # Other warnings are shown as before.
    assert "UserWarning: elsewhere" in said


def test_grc_loads_every_generated_block(grc_blocks):
    from gnuradio.grc.core.platform import Platform

    assert len([f for f in os.listdir(grc_blocks) if f.endswith(".block.yml")]) == len(rir_eda.block_types())
    records = []

    class Keep(logging.Handler):
        def emit(self, record):
            records.append(record)

    grc_log = logging.getLogger("gnuradio.grc")
    grc_log.addHandler(Keep(level=logging.WARNING))
    platform = Platform(name="test", prefs=gr.prefs(), version=gr.version(),
                        version_parts=(gr.major_version(), gr.api_version(), gr.minor_version()))
    platform.build_library(platform.config.block_paths + [grc_blocks])
    assert [r.getMessage() for r in records] == []

    ours = sorted(k for k in platform.blocks if k.startswith("rir_eda_"))
    assert len(ours) == len(rir_eda.block_types())
    families = {tuple(platform.blocks[k].category) for k in ours}
    assert families == {("Rir_Eda", c) for c in ("Generators", "Element-wise", "Buffer", "Filters", "Wave")}
    flowgraph = platform.make_flow_graph()
    for key in ours:
        b = flowgraph.new_block(key)
        b.params["id"].set_value(key)
        flowgraph.rewrite()
        flowgraph.validate()
        assert [e for e in b.get_error_messages() if "not connected" not in e] == [], key
    fir = platform.blocks["rir_eda_High_Level_FIR"]
    assert "FIRS_TapsCount" in fir.documentation[""] and "FIRS_TapsCount" not in [p["id"] for p in fir.parameters_data]


def test_the_documented_examples_run(tmp_path):
    assert doctest.testmod(rir_eda.gr).failed == 0
    with open(os.path.join(ROOT, "docs", "guide.md")) as f:
        examples = re.findall(r"^```python\n(.*?)^```", f.read(), re.M | re.S)
    # A block that names its file belongs to a shell example, which docs/check_guide.py runs.
    examples = [code for code in examples if not code.startswith("# file: ")]
    assert examples
    for code in examples:
        p = subprocess.run([sys.executable, "-c", code], cwd=tmp_path, capture_output=True, text=True, timeout=120)
        assert p.returncode == 0, code + p.stdout + p.stderr
