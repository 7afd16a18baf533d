#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/design/DesignReader.h"
#include "host/design/RecordFields.h"
#include "host/run/OutputSinks.h"

namespace {

const char* kGood = R"(# a complete design
[simulation]
sample_period = 5
steps = 100
language = "RUSSIAN"
library_directory = "/opt/blocks"

[[variable]]
name = "x"
kind = "Bus"
width = 8
initial = -3

[[variable]]
name = "y"
width = 4
initial = "1010"

[[variable]]
name = "clk"
kind = "Clk"

[[variable]]
name = "w"
width = 16

[[stimulus]]
type = "clock"
variable = "clk"
period = 10
phase = 3
duty = 0.3

[[stimulus]]
type = "pattern"
variable = "x"
values = [1, "00000011"]
sign_value = 1

[[block]]
name = "gen"
type = "Sine_Init"
sign_value = 1
inputs = { Clk = "clk" }
outputs = { Out = "y" }
parameters = { SineAmp = 1000, SinePeriod = 64 }

[[block]]
name = "wave"
type = "Wave_Load_Init"
outputs = { C1 = "w" }
record_file = "wave_record.bin"
parameters = { SampleRate = 44100 }

[output]
vcd = "a.vcd"
csv = "a.csv"
csv_buses = ["x", "y"]
)";

int64_t IntField(const RecordLayout& layout, const std::vector<uint8_t>& record, const char* name) {
  const RecordField* f = FindField(layout, name);
  EXPECT_NE(f, nullptr) << name;
  return f != nullptr ? std::get<int64_t>(GetField(layout, record.data(), *f)) : 0;
}

// The line and message of the error a design text raises.
std::pair<int, std::string> ErrorOf(const std::string& text, const std::vector<std::string>& overrides = {}) {
  try {
    CheckOutputSettings(ParseDesign(text, std::string(RIR_TEST_DATA) + "bad.toml", overrides));
  } catch (const DesignError& e) {
    return {e.line, e.what()};
  }
  return {-1, "no error"};
}

const char* kHead =
    "[simulation]\nsample_period = 1\nsteps = 10\n[[variable]]\nname = \"v\"\nkind = \"Bus\"\nwidth = 8\n";

}  // namespace

TEST(DesignReader, ReadsEverySectionWithRecordsFromFieldsAndFiles) {
  const Design d = ParseDesign(kGood, std::string(RIR_TEST_DATA) + "good.toml");
  EXPECT_EQ(d.directory, RIR_TEST_DATA);
  EXPECT_EQ(d.samplePeriod, 5);
  EXPECT_EQ(d.endTime, 500);
  EXPECT_EQ(d.language, "RUSSIAN");
  EXPECT_EQ(d.libraryDirectory, "/opt/blocks/");
  ASSERT_EQ(d.variables.size(), 4u);
  EXPECT_EQ(d.variables[0].initial, "10000011");  // sign-magnitude -3
  EXPECT_EQ(d.variables[0].line, 8);
  EXPECT_EQ(d.variables[1].kind, 4);  // Bus unless told
  EXPECT_EQ(d.variables[1].initial, "1010");
  EXPECT_EQ(d.variables[2].kind, 2);
  ASSERT_EQ(d.stimuli.size(), 2u);
  EXPECT_EQ(d.stimuli[0].high, 3);
  EXPECT_EQ(d.stimuli[0].phase, 3);
  EXPECT_EQ(d.stimuli[1].period, 5);  // one entry per sample period unless told
  EXPECT_EQ(d.stimuli[1].values, (std::vector<std::string>{"00000001", "00000011"}));

  ASSERT_EQ(d.blocks.size(), 2u);
  const BlockEntry& gen = d.blocks[0];
  EXPECT_EQ(gen.signValue, 1);
  EXPECT_EQ(gen.inputs.at("Clk"), "clk");
  EXPECT_EQ(gen.outputs.at("Out"), "y");
  ASSERT_EQ(gen.record.size(), 296u);
  EXPECT_EQ(IntField(GeneratorRecordLayout(), gen.record, "SineAmp"), 1000);
  EXPECT_EQ(IntField(GeneratorRecordLayout(), gen.record, "SinePeriod"), 64);
  // Unnamed fields keep their defaults.
  const std::vector<uint8_t> defaults = DefaultRecord(GeneratorRecordLayout());
  EXPECT_EQ(IntField(GeneratorRecordLayout(), gen.record, "WindowLen"),
            IntField(GeneratorRecordLayout(), defaults, "WindowLen"));

  // A record file gives the bytes; named fields then change single fields.
  const BlockEntry& wave = d.blocks[1];
  ASSERT_EQ(wave.record.size(), 68u);
  EXPECT_EQ(std::get<std::string>(
                GetField(WaveRecordLayout(), wave.record.data(), *FindField(WaveRecordLayout(), "FileName"))),
            "abc.wav");
  EXPECT_EQ(IntField(WaveRecordLayout(), wave.record, "SampleRate"), 44100);
  EXPECT_EQ(IntField(WaveRecordLayout(), wave.record, "Channels"), 2);

  const OutputSetting* buses = d.output.Find("csv_buses");
  ASSERT_NE(buses, nullptr);
  ASSERT_EQ(buses->values.size(), 2u);
  EXPECT_EQ(buses->values[1].text, "y");
  EXPECT_EQ(d.output.Find("vcd_variables"), nullptr);
}

TEST(DesignReader, FaultsNameTheFileAndLine) {
  const std::string h = kHead;                                                           // lines 1-7
  const std::string kFir = "[[block]]\nname = \"f\"\ntype = \"High_Level_FIR_Init\"\n";  // lines 8-10
  const std::string kLms = "[[block]]\nname = \"f\"\ntype = \"High_Level_LMS_Init\"\n";  // lines 8-10
  const std::string kFftPorts =
      "[[variable]]\nname = \"s\"\nkind = \"Line\"\n[[block]]\nname = \"t\"\n"
      "inputs = { DIn = \"v\", R = \"s\", W = \"s\" }\noutputs = { DReOut = \"v\" }\n";  // 8-14
  const std::string kTaps = h + kFir +
                            "inputs = { DSrc = \"v\" }\noutputs = { DOut = \"v\" }\n"
                            "parameters = { FIRS_TapsCount = 3, FIRS_Taps = [0.5, 0.5, 0.5] }\n";
  struct Case {
    std::string text;
    int line;  // 0: the override is named instead
    const char* says;
    std::vector<std::string> overrides = {};
  } cases[] = {
      {h + "[[block]\n", 8, "bad.toml:8:"},
      {h + "[[variable]]\nname = \"v\"\n", 8, "duplicate variable \"v\""},
      {h + "[[variable]]\nname = \"v_value\"\n", 8, "decoded value of bus \"v\""},
      {h + "[[variable]]\nname = \"w\"\nwidth = 0\n", 10, "out of range 1..255"},
      {h + "[[variable]]\nname = \"w\"\nwidth = 300\n", 10, "out of range"},
      {h + "[[variable]]\nname = \"w\"\nkind = \"Line\"\nwidth = 2\n", 11, "one bit wide"},
      {h + "[[variable]]\nname = \"w\"\nkind = \"Wire\"\n", 10, "unknown variable kind \"Wire\""},
      {h + "[[variable]]\nname = \"w\"\nwidth = 4\ninitial = 9\n", 11, "does not fit"},
      {h + "[[variable]]\nname = \"w\"\nwidth = 4\ninitial = \"10\"\n", 11, "4 binary digits"},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine\"\n", 10, "unknown block type \"Sine\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\noutputs = { Output = \"v\" }\n", 11, "no port \"Output\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\noutputs = { Out = \"nope\" }\n", 11,
       "unknown variable \"nope\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\n[block.parameters]\nSineAmpl = 3\n", 12,
       "no field \"SineAmpl\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\n[block.parameters]\nFormula = 3\n", 12,
       "field \"Formula\": expects a text"},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\n[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\n", 11,
       "duplicate block name \"b\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\noutputs = { Out = \"v\" }\n[[block]]\nname = \"c\"\n"
           "type = \"Sine_Init\"\noutputs = { Out = \"v\" }\n",
       12, "already driven by block \"b\""},
      {h + "[[block]]\nname = \"b\"\ntype = \"Wave_Save_Init\"\nrecord_file = \"short_record.bin\"\n", 11,
       "holds 10 bytes, a wave record has 68"},
      {h + "[[block]]\nname = \"b\"\ntype = \"Wave_Save_Init\"\nrecord_file = \"/dev/zero\"\n", 11,
       "/dev/zero is not a regular file"},
      {h + "[[block]]\nname = \"b\"\ntype = \"Sine_Init\"\ncolour = 3\n", 11, "unknown key \"colour\""},
      {h + "[[stimulus]]\ntype = \"clock\"\nvariable = \"v\"\n", 10, "is wider"},
      {h + "[[stimulus]]\ntype = \"pulse\"\nvariable = \"v\"\n", 9, "unknown stimulus type"},
      {h + "[output]\ncsv_buses = [\"v\", \"u\"]\n", 9, "unknown variable \"u\""},
      // Settings a block would take without a word but cannot use.
      {h + "[[block]]\nname = \"r\"\ntype = \"Wave_Save_Init\"\ninputs = { C1 = \"v\" }\n"
           "parameters = { BitsPerSample = 24 }\n",
       12, "block \"r\" (Wave_Save_Init): \"BitsPerSample\" = 24; a WAVE recorder writes 8 or 16 bits per sample"},
      {h + "[[block]]\nname = \"r\"\ntype = \"Wave_Save_Init\"\ninputs = { C1 = \"v\" }\n[block.parameters]\n"
           "SampleRate = 8000\nChannels = 9\n",
       14, "\"Channels\" = 9; a WAVE recorder writes 1 to 4 channels"},
      {h + "[[block]]\nname = \"r\"\ntype = \"Wave_Save_Init\"\ninputs = { C1 = \"v\" }\n"
           "parameters = { SampleRate = -5 }\n",
       12, "\"SampleRate\" = -5 must be above 0"},
      {h + kFir +
           "inputs = { DSrc = \"v\" }\noutputs = { DOut = \"v\" }\n"
           "parameters = { FIRS_TapsCount = 3, FIRS_Taps = [0.5, 0.5] }\n",
       13, "block \"f\" (High_Level_FIR_Init): \"FIRS_Taps\" holds 2 values but \"FIRS_TapsCount\" is 3"},
      {h + kFir + "inputs = { DSrc = \"v\" }\noutputs = { DOut = \"v\" }\nparameters = { LMSS_TapsCount = 66 }\n", 13,
       "\"LMSS_TapsCount\" = 66 is out of range 0..65"},
      {h + kFftPorts + "type = \"OneDim_Convolution_Init\"\nparameters = { Conv_H_Count = 66 }\n", 16,
       "\"Conv_H_Count\" = 66 is out of range 0..65"},
      {h + kFir + "inputs = { DSrc = \"v\", DOut = \"v\" }\n", 11,
       "port \"DOut\" of block \"f\" (High_Level_FIR_Init) is an output: list it under outputs. "
       "Its ports: inputs DSrc (required), DDes; outputs DOut (required)"},
      {h + kFir + "inputs = { DScr = \"v\" }\n", 11,
       "block \"f\" (High_Level_FIR_Init) has no port \"DScr\"; did you mean \"DSrc\" (an input)? Its ports: "
       "inputs DSrc (required), DDes; outputs DOut (required)"},
      {h + kFir +
           "inputs = { DSrc = \"v\" }\n[[block]]\nname = \"g\"\ntype = \"Sine_Init\"\noutputs = { Out = \"v\" }\n",
       8,
       "block \"f\" (High_Level_FIR_Init) leaves its required output \"DOut\" unconnected. Its ports: "
       "inputs DSrc (required), DDes; outputs DOut (required)"},
      // Ports a type requires, though its class does not; kinds a block would refuse at run time.
      {h + kLms + "inputs = { DSrc = \"v\" }\noutputs = { DOut = \"v\" }\n", 8,
       "block \"f\" (High_Level_LMS_Init) leaves its required input \"DDes\" unconnected. Its ports: "
       "inputs DSrc (required), DDes (required); outputs DOut (required)"},
      {h + "[[variable]]\nname = \"c\"\nkind = \"Clk\"\n[[block]]\nname = \"g\"\ntype = \"Sine_Init\"\n"
           "outputs = { Out = \"c\" }\n",
       14, "port \"Out\" of block \"g\" (Sine_Init) takes a Line or Bus variable; \"c\" is a Clk variable"},
      {h + "[[block]]\nname = \"w\"\ntype = \"Wave_Save_Init\"\ninputs = { C1 = \"v\", Clk = \"v\" }\n", 11,
       "port \"Clk\" of block \"w\" (Wave_Save_Init) takes a Clk or DOTClk variable; \"v\" is a Bus variable"},
      {h + kFftPorts + "type = \"FFT_of_CCS_using_RCPack_RCPerm_Init\"\nparameters = { Num_Points = 200 }\n", 16,
       "\"Num_Points\" = 200 is not a power of two; this FFT would transform only the first 128 samples. Use 128 or "
       "256"},
      {h + kFftPorts + "type = \"Fouriers_Group_Init\"\nparameters = { TransformCode = 42 }\n", 11,
       "\"Num_Points\" = 102 is not a power of two; this FFT would transform only the first 64 samples"},
      {h + "[[block]]\nname = \"b\"\ntype = \"sine_init\"\n", 10,
       "unknown block type \"sine_init\"; did you mean \"Sine_Init\"?"},
      {h + "[[block]]\nname = \"p\"\ntype = \"Wave_Load_Init\"\noutputs = { C1 = \"v\" }\n"
           "parameters = { FileName = \"no_such.wav\" }\n",
       12, "block \"p\" (Wave_Load_Init): file not found: " RIR_TEST_DATA "no_such.wav"},
      // A design in Russian is told its wiring faults in Russian.
      {"[simulation]\nsteps = 1\nlanguage = \"RUSSIAN\"\n[[variable]]\nname = \"v\"\n[[block]]\nname = \"f\"\n"
       "type = \"High_Level_FIR_Init\"\ninputs = { DScr = \"v\" }\n",
       9,
       "блок \"f\" (High_Level_FIR_Init): нет порта \"DScr\"; может быть, \"DSrc\" (вход)? Его порты: входы DSrc "
       "(обязательный), DDes; выходы DOut (обязательный)"},
      // --set passes the checks the file does, and is named when it is at fault.
      {kTaps,
       0,
       "--set f.FIRS_TapsCount=2: block \"f\" (High_Level_FIR_Init): \"FIRS_Taps\" holds 3 values but "
       "\"FIRS_TapsCount\" is 2",
       {"f.FIRS_TapsCount=2"}},
      {kTaps,
       0,
       "--set f.FIRS_Taps=[1,2]: block \"f\" (High_Level_FIR_Init): \"FIRS_Taps\" holds 2 values",
       {"f.FIRS_Taps=[1,2]"}},
      {kTaps,
       0,
       "--set simulation.sample_period=0: \"sample_period\" = 0 is out of range",
       {"simulation.sample_period=0"}},
      {kTaps,
       0,
       "--set simulation.max_passes=lots: \"max_passes\" must be an integer",
       {"simulation.max_passes=2", "simulation.max_passes=lots"}},
      {kTaps, 0, "--set g.SineAmp=1: the design has no block \"g\" (blocks: f)", {"g.SineAmp=1"}},
      {"[simulation]\nsteps = 1\nscheduling = \"eager\"\n", 3, "unknown scheduling \"eager\" (dataflow, events)"},
      {"[simulation]\nsample_period = 0\nsteps = 1\n", 2, "out of range"},
      {"[simulation]\nsample_period = 1\n", 1, "missing \"steps\" or \"end_time\""},
  };
  for (const Case& c : cases) {
    const auto [line, what] = ErrorOf(c.text, c.overrides);
    EXPECT_EQ(line, c.line) << what << "\n--- in ---\n" << c.text;
    EXPECT_NE(what.find(c.says), std::string::npos) << what;
    EXPECT_NE(what.find(c.line > 0 ? "bad.toml" : "--set "), std::string::npos) << what;
  }
}

TEST(DesignReader, AMissingFileIsAnError) {
  EXPECT_THROW(ReadDesign("/nonexistent/design.toml"), DesignError);
  // A device would be read for ever.
  EXPECT_THROW(ReadDesign("/dev/zero"), DesignError);
}
