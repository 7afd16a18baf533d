#!/usr/bin/env python3
"""Makes the example flowgraphs of this folder with GNU Radio Companion's own
Python API, so that they are GRC's files:

    GRC_BLOCKS_PATH=build/grc PYTHONPATH=build/python \\
        /usr/bin/python3 examples/gnuradio/make_flowgraphs.py examples/gnuradio

Both run headless and end by themselves; run one with
``grcc -r FILE.grc`` from this folder (it reads ../data/tone.wav).
"""
import os
import sys

from gnuradio import gr
from gnuradio.grc.core.platform import Platform


class Flowgraph:
    def __init__(self, platform, name, title, description):
        self.platform = platform
        self.graph = platform.make_flow_graph(platform.config.default_flow_graph)
        options = self.graph.options_block
        for key, value in dict(id=name, title=title, description=description, generate_options="no_gui",
                               run_options="run", author="Rir_Eda").items():
            options.params[key].set_value(value)
        self.graph.get_block("samp_rate").params["value"].set_value("8000")

    def drop(self, name):
        self.graph.remove_element(self.graph.get_block(name))

    def add(self, key, name, at, **params):
        block = self.graph.new_block(key)
        block.params["id"].set_value(name)
        for param, value in params.items():
            block.params[param].set_value(value)
        block.states.update(coordinate=at, rotation=0, state="enabled")
        self.graph.rewrite()
        return block

    def connect(self, *chain):
        for (a, out), (b, into) in zip(chain, chain[1:]):
            self.graph.connect(a.sources[out], b.sinks[into])

    def save(self, folder):
        self.graph.rewrite()
        self.graph.validate()
        errors = [(b.name, e) for b in self.graph.blocks for e in b.get_error_messages()]
        if errors:
            sys.exit("%s: %s" % (self.graph.get_option("id"), errors))
        path = os.path.join(folder, self.graph.get_option("id") + ".grc")
        self.platform.save_flow_graph(path, self.graph)
        print("wrote", path)


def noisy_tone_fir(platform):
    """A noisy tone through GNU Radio's float FIR and our bit-exact FIR side by side."""
    g = Flowgraph(platform, "noisy_tone_fir", "A noisy tone through a float FIR and a bit-exact FIR",
                  "Our FIR minus GNU Radio's float FIR on the same integers, written to out_file")
    g.add("variable", "taps", (312, 12), value="firdes.low_pass(1.0, samp_rate, 1000, 600)")
    g.add("parameter", "out_file", (584, 12), label="Difference file", type="str", value="'fir_difference.f32'")
    tone = g.add("analog_sig_source_x", "tone", (16, 212), type="float", samp_rate="samp_rate", waveform="analog.GR_SIN_WAVE", freq="220",
                 amp="4000")
    noise = g.add("analog_noise_source_x", "noise", (16, 380), type="float", noise_type="analog.GR_UNIFORM",
                  amp="3000", seed="1")
    add = g.add("blocks_add_xx", "add", (200, 316), type="float")
    head = g.add("blocks_head", "head", (272, 320), type="float", num_items="8000")
    to_int = g.add("blocks_float_to_int", "to_int", (416, 320), scale="1")
    ours = g.add("rir_eda_High_Level_FIR", "bit_exact_fir", (560, 212), FIRS_Taps="taps",
                 FIRS_Delay="[0.0] * len(taps)")
    ours_float = g.add("blocks_int_to_float", "ours_float", (768, 220), scale="1")
    as_float = g.add("blocks_int_to_float", "as_float", (560, 420), scale="1")
    float_fir = g.add("fir_filter_xxx", "float_fir", (688, 412), type="fff", decim="1", taps="taps")
    difference = g.add("blocks_sub_xx", "difference", (880, 316), type="float")
    sink = g.add("blocks_file_sink", "difference_file", (704, 516), file="out_file", type="float")
    g.connect((tone, 0), (add, 0))
    g.connect((noise, 0), (add, 1))
    g.connect((add, 0), (head, 0), (to_int, 0), (ours, 0), (ours_float, 0), (difference, 0))
    g.connect((to_int, 0), (as_float, 0), (float_fir, 0), (difference, 1))
    g.connect((difference, 0), (sink, 0))
    return g


def wave_iir(platform):
    """A WAVE file through our IIR into our WAVE recorder."""
    g = Flowgraph(platform, "wave_iir", "A WAVE file through a bit-exact IIR",
                  "in_file (16-bit PCM) through a first-order low-pass IIR into out_file")
    g.drop("samp_rate")
    g.add("parameter", "in_file", (184, 12), label="Input WAVE file", type="str", value="'../data/tone.wav'")
    g.add("parameter", "out_file", (344, 12), label="Output WAVE file", type="str", value="'iir_out.wav'")
    player = g.add("blocks_wavfile_source", "player", (16, 148), file="in_file", repeat="False")
    to_int = g.add("blocks_float_to_int", "to_int", (416, 320), scale="32768")
    # A first-order low-pass: b = (0.25, 0), a = (1, -0.75).
    iir = g.add("rir_eda_High_Level_IIR", "low_pass", (400, 132), IIRS_Taps="[0.25, 0.0, 1.0, -0.75]",
                IIRS_Delay="[0.0, 0.0, 0.0, 0.0]")
    recorder = g.add("rir_eda_Wave_Save", "recorder", (640, 132), FileName="out_file", BitsPerSample="16")
    g.connect((player, 0), (to_int, 0), (iir, 0), (recorder, 0))
    return g


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    platform = Platform(name="GNU Radio Companion", prefs=gr.prefs(), version=gr.version(),
                        version_parts=(gr.major_version(), gr.api_version(), gr.minor_version()))
    platform.build_library()
    for make in (noisy_tone_fir, wave_iir):
        make(platform).save(folder)


if __name__ == "__main__":
    main()
