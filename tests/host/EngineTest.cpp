// Scheduling with blocks written here: the engine drives them exactly as it
// drives the plug-in's, through their init exports.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>
#include <string>
#include <vector>

#include "framework/BaseExtModel.h"
#include "framework/HostServices.h"
#include "host/design/DesignReader.h"
#include "host/engine/Engine.h"
#include "host/engine/Recorder.h"
#include "numeric/ValueText.h"
#include "support/HostFloatingPointStates.h"
#include "support/PluginFixture.h"

namespace {

int liveBlocks = 0;
std::vector<std::string> stepLog;  // "name@time" of every TimeStep / sample

// Counts up on "Out" at every step; the delay is its stored "SignValue"
// (the sample period when 0). With "Clk" bound it steps while Clk is high.
class Counter : public TBaseModelExt {
 public:
  explicit Counter(IPELMOR* host) : TBaseModelExt(host, 0, kTimeDriven) {
    ++liveBlocks;
    if (!BindRequired({{&out_, "Out"}}, kWritableFlag)) return;
    BindOptional({{&clk_, "Clk"}}, 0);
    if (clk_ != 0) Activation = kInputDriven;
    if (clk_ != 0) ActsOnlyWhileHigh(clk_);
    width_ = Host->GetVariableWidth(out_);
    delay_ = GetIntParameter("SignValue", 0);
    if (delay_ == 0) delay_ = static_cast<int64_t>(Host->GetSamplePeriod());
    TypeName = "Counter";
  }
  ~Counter() override { --liveBlocks; }
  int64_t RIR_STDCALL TimeStep() override {
    WriteValue(out_, EncodeValueBits(1, ++count_, width_));
    stepLog.push_back("c@" + std::to_string(static_cast<int64_t>(Host->GetTime())));
    return delay_;
  }
  void RIR_STDCALL InputChanged() override {
    if (clk_ != 0 && IsHigh(clk_)) TimeStep();
  }

 private:
  VarHandle out_ = 0, clk_ = 0;
  int width_ = 0;
  int64_t delay_ = 1;
  int32_t count_ = 0;
};

// DOut := DIn + 1 (+ D2In), unsigned; input-driven.
class PlusOne : public TBaseModelExt {
 public:
  explicit PlusOne(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) {
    ++liveBlocks;
    if (!BindRequired({{&in_, "DIn"}}, 0) || !BindRequired({{&out_, "DOut"}}, kWritableFlag)) return;
    BindOptional({{&in2_, "D2In"}}, 0);
    width_ = Host->GetVariableWidth(out_);
  }
  ~PlusOne() override { --liveBlocks; }
  void RIR_STDCALL InputChanged() override {
    int32_t v = ReadSample(in_, 1) + 1;
    if (in2_ != 0) v += ReadSample(in2_, 1);
    WriteValue(out_, EncodeValueBits(1, v, width_));
  }

 private:
  VarHandle in_ = 0, in2_ = 0, out_ = 0;
  int width_ = 0;
};

// Reports trouble when its input reads 3, and then aborts the run.
class Troubled : public TBaseModelExt {
 public:
  explicit Troubled(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) {
    ++liveBlocks;
    BindRequired({{&in_, "DIn"}, {&out_, "DOut"}}, 0);
  }
  ~Troubled() override { --liveBlocks; }
  void RIR_STDCALL InputChanged() override {
    const int32_t v = ReadSample(in_, 1);
    if (v >= 2) ReportText("value " + std::to_string(v) + " is too big");
    if (v == 3) Host->AbortRun();
  }

 private:
  VarHandle in_ = 0, out_ = 0;
};

template <class T>
IModel** Make(IPELMOR** host, intptr_t) {
  return (new T(*host))->SelfRefAddress();
}

InitExport Lookup(const std::string& name) {
  if (name == "Constant_Init") return &Make<Counter>;
  if (name == "Absolute_Value_Init") return &Make<PlusOne>;
  if (name == "Square_Init") return &Make<Troubled>;
  return nullptr;
}

// Keeps the settled value of one variable at every time point.
class Trace : public Recorder {
 public:
  explicit Trace(std::string name) : name_(std::move(name)) {}
  void Begin(const VariableStore& s) override { Sample(0, s); }
  void Sample(int64_t t, const VariableStore& s) override {
    rows.push_back(std::to_string(t) + ":" + std::to_string(DecodeValueBits(1, s.Get(s.Find(name_))->value)));
  }
  void End(int64_t t) override { end = t; }
  std::vector<std::string> rows;
  int64_t end = -1;

 private:
  std::string name_;
};

struct SimRun {
  Design design;
  std::vector<std::string> said;
  RunStats stats;
  bool built = false;

  // `edit` changes the design after reading, for faults the reader refuses.
  SimRun(const std::string& toml, Recorder* recorder = nullptr, const std::function<void(Design&)>& edit = {}) {
    stepLog.clear();
    design = ParseDesign(toml, "test.toml");
    if (edit) edit(design);
    Engine engine(design, nullptr, [this](const std::string& s) { said.push_back(s); });
    engine.SetExportLookup(Lookup);
    built = engine.Build();
    if (built) stats = engine.Run(recorder);
  }
  bool Said(const std::string& part) const {
    for (const std::string& s : said)
      if (s.find(part) != std::string::npos) return true;
    return false;
  }
};

const char* kBus = R"(
[[variable]]
name = "a"
kind = "Bus"
width = 8
[[variable]]
name = "b"
kind = "Bus"
width = 8
[[variable]]
name = "c"
kind = "Bus"
width = 8
[[variable]]
name = "clk"
kind = "Clk"
)";

}  // namespace

TEST(Engine, TimeDrivenBlocksKeepTheirOwnSchedulesAndChainsSettleWithinATimePoint) {
  Trace trace("c");
  {
    SimRun r(std::string("[simulation]\nsample_period = 3\nend_time = 15\n") + kBus + R"(
[[block]]
name = "fast"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "slow"
type = "Constant_Init"
sign_value = 5
outputs = { Out = "b" }
[[block]]
name = "second"
type = "Absolute_Value_Init"
inputs = { DIn = "b" }
outputs = { DOut = "c" }
[[block]]
name = "first"
type = "Absolute_Value_Init"
inputs = { DIn = "a", D2In = "b" }
outputs = { DOut = "b_unused" }
[[variable]]
name = "b_unused"
kind = "Bus"
width = 8
)",
             &trace);
    ASSERT_TRUE(r.built);
    EXPECT_EQ(stepLog, (std::vector<std::string>{"c@0", "c@0", "c@3", "c@5", "c@6", "c@9", "c@10", "c@12"}));
    EXPECT_EQ(r.stats.steps, 8u);
    EXPECT_EQ(r.stats.timePoints, 7u);  // 0 3 5 6 9 10 12
    EXPECT_EQ(r.stats.endTime, 15);
    EXPECT_FALSE(r.stats.aborted);
    EXPECT_FALSE(r.stats.loop);
  }
  EXPECT_EQ(liveBlocks, 0);  // Done and the host's Release destroyed every block
  // "second" answers in the same time point as "slow" steps: c = b + 1.
  ASSERT_GE(trace.rows.size(), 2u);
  EXPECT_EQ(trace.rows[0], "0:1");  // after Start, before the first steps
  EXPECT_EQ(trace.rows[1], "0:2");
  EXPECT_EQ(trace.rows.back(), "12:4");
  EXPECT_EQ(trace.end, 15);
}

// Dataflow: each block once per time point, after the blocks it reads from,
// whenever an input was written, even with the value it had. Events: on a
// change of value, pass after pass.
TEST(Engine, DataflowVisitsEachBlockOncePerWrittenTimePointEventsOnChanges) {
  const std::string diamond = std::string(kBus) + R"(
[[variable]]
name = "same"
kind = "Bus"
width = 8
[[variable]]
name = "same_plus"
kind = "Bus"
width = 8
[[stimulus]]
type = "pattern"
variable = "same"
values = [5]
period = 1
[[block]]
name = "join"
type = "Absolute_Value_Init"
inputs = { DIn = "a", D2In = "b" }
outputs = { DOut = "c" }
[[block]]
name = "count"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "plus"
type = "Absolute_Value_Init"
inputs = { DIn = "a" }
outputs = { DOut = "b" }
[[block]]
name = "repeat"
type = "Absolute_Value_Init"
inputs = { DIn = "same" }
outputs = { DOut = "same_plus" }
)";
  const std::string head = "[simulation]\nsample_period = 1\nsteps = 10\n";
  Trace dataflowTrace("c"), eventsTrace("c");
  SimRun dataflow(head + diamond, &dataflowTrace);
  SimRun events(head + "scheduling = \"events\"\n" + diamond, &eventsTrace);
  ASSERT_TRUE(dataflow.built && events.built);
  // Both settle to c = a + 1 + (a + 1) at every time point.
  EXPECT_EQ(dataflowTrace.rows, eventsTrace.rows);
  EXPECT_EQ(dataflowTrace.rows.back(), "9:22");
  // Start's writes settle alike (join once). Then at each of the 10 time
  // points plus and join run once in dataflow, join after plus although it
  // is listed first, else c would lag; repeat runs at the 9 rewrites of
  // "same" after time 0. In events join runs twice (a, then b changed) and
  // repeat never (5 stays 5).
  EXPECT_EQ(dataflow.stats.notifications, 1u + 10u * 2u + 9u);
  EXPECT_EQ(events.stats.notifications, 1u + 10u * 3u);
  // Events name what they did to samples, per block, as warnings.
  EXPECT_TRUE(dataflow.stats.summary.empty());
  ASSERT_EQ(events.stats.summary.size(), 2u);
  EXPECT_NE(events.stats.summary[0].find("block join: notified more than once in 10 time points"), std::string::npos);
  EXPECT_NE(events.stats.summary[1].find("block repeat: in 9 time points its inputs were written with an unchanged"),
            std::string::npos);
  EXPECT_EQ(events.stats.warnings, dataflow.stats.warnings + 2);
}

// Also where the host's extension lets the block read values in place and
// skip the calls it does nothing in: those are still counted.
TEST(Engine, StimuliDriveClockedBlocksOnTheirEdges) {
  for (const bool extension : {false, true}) {
    SetHostServices(extension ? InProcessHostServices() : nullptr);
    Trace trace("a");
    SimRun r(std::string("[simulation]\nsample_period = 1\nend_time = 40\n") + kBus + R"(
[[stimulus]]
type = "clock"
variable = "clk"
period = 10
phase = 5
duty = 0.3
[[stimulus]]
type = "pattern"
variable = "c"
values = [1, 2, 3]
period = 4
[[block]]
name = "clocked"
type = "Constant_Init"
inputs = { Clk = "clk" }
outputs = { Out = "a" }
)",
             &trace);
    SetHostServices(nullptr);
    ASSERT_TRUE(r.built);
    // One sample per rising edge; falling edges notify but do not step.
    EXPECT_EQ(stepLog, (std::vector<std::string>{"c@5", "c@15", "c@25", "c@35"})) << extension;
    EXPECT_EQ(r.stats.notifications, 8u) << extension;
    EXPECT_EQ(trace.rows.back(), "38:4") << extension;  // the last falling edge
  }
}

TEST(Engine, ACombinationalLoopIsReportedAndStopsTheRun) {
  SimRun r(std::string("[simulation]\nsample_period = 1\nsteps = 10\nmax_passes = 50\n") + kBus + R"(
[[block]]
name = "src"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "loop"
type = "Absolute_Value_Init"
inputs = { DIn = "a", D2In = "b" }
outputs = { DOut = "b" }
)");
  ASSERT_TRUE(r.built);
  EXPECT_TRUE(r.stats.loop);
  EXPECT_TRUE(
      r.Said("did not settle within 50 passes: a combinational loop through the blocks \"loop\" and the "
             "variables \"b\""))
      << (r.said.empty() ? "" : r.said.front());
  EXPECT_EQ(r.stats.errors, 1u);
  EXPECT_EQ(liveBlocks, 0);

  // Changes of value drive a block downstream of the loop too; the report
  // still names only the loop.
  SimRun events(std::string("[simulation]\nsample_period = 1\nsteps = 10\nmax_passes = 50\nscheduling = \"events\"\n") +
                kBus + R"(
[[block]]
name = "src"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "after"
type = "Absolute_Value_Init"
inputs = { DIn = "b" }
outputs = { DOut = "c" }
[[block]]
name = "loop"
type = "Absolute_Value_Init"
inputs = { DIn = "a", D2In = "b" }
outputs = { DOut = "b" }
)");
  ASSERT_TRUE(events.built);
  EXPECT_TRUE(events.stats.loop);
  EXPECT_TRUE(events.Said("passes: a combinational loop through the blocks \"loop\" and the variables \"b\""))
      << (events.said.empty() ? "" : events.said.front());
}

TEST(Engine, BlockReportsAreWordedAndAbortRunStopsCleanly) {
  SimRun r(std::string("[simulation]\nsample_period = 1\nsteps = 100\n") + kBus + R"(
[[block]]
name = "src"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "bad"
type = "Square_Init"
inputs = { DIn = "a" }
outputs = { DOut = "b" }
)");
  ASSERT_TRUE(r.built);
  EXPECT_TRUE(r.stats.aborted);
  EXPECT_EQ(r.stats.endTime, 2);  // the counter reads 3 at time 2
  EXPECT_TRUE(r.Said("block bad: value 2 is too big"));
  EXPECT_TRUE(r.Said("block bad: value 3 is too big"));
  EXPECT_TRUE(r.Said("block bad aborted the run"));
  EXPECT_EQ(r.stats.errors, 2u);  // each report counts
  EXPECT_EQ(liveBlocks, 0);
}

TEST(Engine, AnInvalidBlockStopsTheRunBeforeItStartsWithReportsInWords) {
  SimRun r(std::string("[simulation]\nsample_period = 1\nsteps = 10\n") + kBus + R"(
[[block]]
name = "gen1"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "wrongflags"
type = "Absolute_Value_Init"
inputs = { DIn = "a" }
outputs = { DOut = "b" }
[[block]]
name = "missing"
type = "Sine_Init"
outputs = { Out = "c" }
)",
           nullptr, [](Design& d) {
             // What the design reader refuses: a required port left out, an
             // output listed as an input.
             d.blocks[0].outputs.clear();
             d.blocks[1].outputs.clear();
             d.blocks[1].inputs["DOut"] = "b";
           });
  EXPECT_FALSE(r.built);
  EXPECT_TRUE(stepLog.empty());
  EXPECT_TRUE(r.Said("port \"Out\" of block gen1 not found"));
  EXPECT_TRUE(r.Said("port \"DOut\" of block wrongflags (variable \"b\"): variable of the wrong kind or flags"));
  EXPECT_TRUE(r.Said("block missing: the plug-in has no export Sine_Init"));
  EXPECT_EQ(liveBlocks, 0);

  SimRun ru(std::string("[simulation]\nsample_period = 1\nsteps = 10\nlanguage = \"RUSSIAN\"\n") + kBus +
                "[[block]]\nname = \"gen1\"\ntype = \"Constant_Init\"\noutputs = { Out = \"a\" }\n",
            nullptr, [](Design& d) { d.blocks[0].outputs.clear(); });
  EXPECT_FALSE(ru.built);
  EXPECT_TRUE(ru.Said("порт \"Out\" блока gen1 не найден"));
}

// Through the real plug-in: library messages reach the host with the name
// of the block being built, in the design's language.
TEST(EngineWithPlugin, LibraryMessagesCarryTheBlockNameAndLanguage) {
  for (const char* language : {"ENGLISH", "RUSSIAN"}) {
    const Design d = ParseDesign(std::string("[simulation]\nsample_period = 1\nsteps = 4\nlanguage = \"") + language +
                                     "\"\n[[variable]]\nname = \"v\"\nwidth = 8\n"
                                     "[[block]]\nname = \"cos1\"\ntype = \"Cosine_Init\"\noutputs = { Out = \"v\" }\n",
                                 "plugin.toml");
    std::vector<std::string> said;
    Engine engine(d, &Plugin(), [&said](const std::string& s) { said.push_back(s); });
    engine.Build();
    bool found = false;
    for (const std::string& s : said) {
      const bool ru = std::string(language) == "RUSSIAN";
      found = found || (s.find(ru ? "блок cos1, ошибка: " : "block cos1, error: ") != std::string::npos &&
                        s.find(ru ? "Cosine - Не найдено имя функции" : "Cosine - Function Name not found") !=
                            std::string::npos);
    }
    EXPECT_TRUE(found) << language << ": " << (said.empty() ? "nothing said" : said.front());
  }
}

// The engine builds and runs in the library's floating-point state, which
// its hosts promise the blocks: a process left in another state changes no
// value and gets its state back.
TEST(EngineWithPlugin, TheProcessFloatingPointStateChangesNoValue) {
  const Design d = ParseDesign(
      "[simulation]\nsample_period = 1\nsteps = 40\n[[variable]]\nname = \"v\"\nwidth = 16\n"
      "[[block]]\nname = \"sine\"\ntype = \"Sine_Init\"\noutputs = { Out = \"v\" }\n"
      "parameters = { SinePeriod = 17.0, SineAmp = 30000.0 }\n",
      "state.toml");
  std::vector<std::string> expected;
  for (const HostFloatingPointState& s : kHostFloatingPointStates) {
    Trace trace("v");
    LoadHostFloatingPointState(s);
    {
      Engine engine(d, &Plugin(), [](const std::string&) {});
      if (engine.Build()) engine.Run(&trace);
    }
    const bool restored = HostFloatingPointStateIs(s);
    LoadHostFloatingPointState(kHostFloatingPointStates[0]);
    EXPECT_TRUE(restored) << s.name;
    if (expected.empty())
      expected = trace.rows;
    else
      EXPECT_EQ(trace.rows, expected) << s.name;
  }
  ASSERT_EQ(expected.size(), 41u);
  EXPECT_EQ(expected[2], "1:10837");  // 30000 sin(2 pi / 17)
}

namespace {
// Records nothing: a run with a recorder visits every block at every time point.
class NoRecorder : public Recorder {
 public:
  void Begin(const VariableStore&) override {}
  void Sample(int64_t, const VariableStore&) override {}
  void End(int64_t) override {}
};

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a run left: its counts, summary and messages, every value, the WAVE files.
std::vector<std::string> Outcome(const Design& d, bool visitEveryBlock, const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::vector<std::string> left;
  Engine engine(d, &Plugin(), [&left](const std::string& s) { left.push_back("said: " + s); });
  engine.SetExportLookup([](const std::string& name) -> InitExport {
    if (name == "Constant_Init") return &Make<Counter>;
    if (name == "Square_Init") return &Make<Troubled>;
    return Plugin().Init(name.c_str());
  });
  engine.SetWaveFolders(folder, folder);
  if (!engine.Build()) return {"not built", left.empty() ? "" : left.front()};
  NoRecorder none;
  const RunStats s = engine.Run(visitEveryBlock ? &none : nullptr);
  for (uint64_t n : {static_cast<uint64_t>(s.endTime), s.timePoints, s.steps, s.notifications, s.events, s.errors,
                     s.warnings, uint64_t{s.aborted}})
    left.push_back(std::to_string(n));
  for (const std::string& line : s.summary) left.push_back(line);
  for (const HostVariable& v : engine.Store().All())
    left.push_back(v.name + "=" + TextOf(v) + " " + std::to_string(v.writes) + "/" + std::to_string(v.changes));
  for (const char* file : {"fir.wav", "tone.wav", "lms.wav"}) left.push_back(FileBytes(folder + "/" + file));
  return left;
}

// The same in a child process, so that every run starts from this
// process's state: the random generators' one source included.
std::vector<std::string> OutcomeOfChild(const Design& d, bool visitEveryBlock, const std::string& folder) {
  const std::string file = folder + ".outcome";
  const pid_t child = fork();
  if (child == 0) {
    std::ofstream out(file, std::ios::binary);
    for (const std::string& part : Outcome(d, visitEveryBlock, folder)) out << part.size() << ' ' << part;
    out.close();
    _exit(out ? 0 : 1);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    return {"no outcome"};
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> parts;
  size_t size = 0;
  while (in >> size) {
    in.get();
    std::string part(size, '\0');
    in.read(part.data(), static_cast<std::streamsize>(size));
    parts.push_back(std::move(part));
  }
  return parts;
}
}  // namespace

// Blocks stepped ahead (a run with no recorder) leave what visiting every
// block at every time point leaves: the same values and counts, the same
// value problems at the same first times, the same WAVE files; also with
// clocks of different periods, a clocked block that is visited feeding
// blocks stepped ahead, a random generator stepped ahead and two that share
// their source, and an abort by a block visited in the middle of a stretch.
TEST(EngineWithPlugin, BlocksSteppedAheadLeaveWhatVisitingEveryBlockLeaves) {
  const std::string base = R"(
variable = [{ name = "gen_clk", kind = "Clk" }, { name = "rec_clk", kind = "Clk" }, { name = "tone", width = 8 },
            { name = "sine", width = 16 }, { name = "noise", width = 16 }, { name = "noisy", width = 16 },
            { name = "big", width = 16 }, { name = "fir", width = 16 }, { name = "lms", width = 16 },
            { name = "count", width = 8 }, { name = "spare", width = 8 }, { name = "count2", width = 16 },
            { name = "noise2", width = 16 }]
stimulus = [{ type = "clock", variable = "gen_clk", period = 2 },
            { type = "clock", variable = "rec_clk", period = 3, phase = 1 }]
[simulation]
sample_period = 1
steps = 400
[[block]]
name = "tone"
type = "Tone_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "tone" }
parameters = { ToneMag = 300.0, ToneRelFreq = 0.013, TonePhase = 10.0 }
[[block]]
name = "sine"
type = "Sine_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "sine" }
parameters = { SinePeriod = 37.0, SineAmp = 20000.0 }
[[block]]
name = "noise"
type = "Random_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "noise" }
parameters = { Low = -600.0, High = 600.0 }
[[block]]
name = "clocked_count"
type = "Constant_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "count2" }
[[block]]
name = "mix"
type = "Addition_Substraction_Init"
inputs = { DIn = "sine", D2In = "noise" }
outputs = { DOut = "noisy" }
parameters = { Add_Sub_coef = 5.0 }
)";
  const std::string trouble = R"([[block]]
name = "count"
type = "Constant_Init"
outputs = { Out = "count" }
sign_value = 37
[[block]]
name = "trouble"
type = "Square_Init"
inputs = { DIn = "count" }
outputs = { DOut = "spare" }
)";
  const std::string second = R"([[block]]
name = "noise2"
type = "Gaussian_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "noise2" }
)";
  const std::string rest = R"([[block]]
name = "amp"
type = "Multiply_Division_Init"
inputs = { DIn = "noisy", D2In = "count2" }
outputs = { DOut = "big" }
parameters = { Mpy_Div_coef = 3.0 }
[[block]]
name = "fir"
type = "High_Level_FIR_Init"
inputs = { DSrc = "noisy" }
outputs = { DOut = "fir" }
parameters = { FIRS_TapsCount = 5, FIRS_Taps = [0.1, 0.2, 0.4, 0.2, 0.1] }
[[block]]
name = "lms"
type = "High_Level_LMS_Init"
inputs = { DSrc = "noisy", DDes = "sine" }
outputs = { DOut = "lms" }
parameters = { LMSS_TapsCount = 4, LMSS_Step = 0.00000001, LMSS_Taps = [0, 0, 0, 0] }
[[block]]
name = "record_fir"
type = "Wave_Save_Init"
inputs = { C1 = "fir", Clk = "rec_clk" }
parameters = { FileName = "fir.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }
[[block]]
name = "record_tone"
type = "Wave_Save_Init"
inputs = { C1 = "tone" }
parameters = { FileName = "tone.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }
[[block]]
name = "record_lms"
type = "Wave_Save_Init"
inputs = { C1 = "lms", Clk = "gen_clk" }
parameters = { FileName = "lms.wav", SampleRate = 8000, BitsPerSample = 16, Channels = 1 }
)";
  const std::string folder = ::testing::TempDir() + "rir_steps_ahead/";
  for (const std::string& toml : {base + rest, base + trouble + rest, base + second + rest}) {
    const Design d = ParseDesign(toml, "ahead.toml");
    const std::vector<std::string> visited = OutcomeOfChild(d, true, folder + "visited");
    const std::vector<std::string> ahead = OutcomeOfChild(d, false, folder + "ahead");
    ASSERT_GT(visited.size(), 20u) << visited.back();
    ASSERT_EQ(ahead.size(), visited.size());
    for (size_t i = 0; i < ahead.size(); ++i) EXPECT_EQ(ahead[i], visited[i]) << i;
  }
}

// The store's one write path: a write counts, a different text (longer,
// shorter, other bits, none, other characters) is a change, the same text is not, and a
// variable is listed once until the list is cleared.
TEST(VariableStore, WritesCountChangesAndListEachVariableOnce) {
  VariableStore store;
  HostVariable bus;
  bus.name = "bus";
  AssignText(bus, "0101010101010101");
  const VarHandle b = store.Add(bus);
  HostVariable clk;
  clk.name = "clk";
  AssignText(clk, "0");
  const VarHandle c = store.Add(clk);
  struct Case {
    VarHandle h;
    const char* text;
    const char* value;
    uint64_t changes;
  };
  const Case cases[] = {
      {b, "0101010101010101", "0101010101010101", 0},
      {b, "0101010101010100", "0101010101010100", 1},
      {b, "01010101010101001", "01010101010101001", 2},
      {b, "010101010", "010101010", 3},
      {b, "010101010", "010101010", 3},
      {b, nullptr, "", 4},
      // A text the integer form does not give back is kept as it is.
      {b, "1x", "1x", 5},
      {b, "1x", "1x", 5},
      {b, "10", "10", 6},
      {c, "0", "0", 0},
      {c, "1", "1", 1},
      {c, "10", "10", 2},
      {c, "", "", 3},
  };
  uint64_t writes[2] = {};
  for (const Case& k : cases) {
    store.Write(k.h, k.text);
    const HostVariable& v = *store.Get(k.h);
    EXPECT_EQ(TextOf(v), k.value) << (k.text != nullptr ? k.text : "null");
    EXPECT_EQ(v.changes, k.changes) << (k.text != nullptr ? k.text : "null");
    EXPECT_EQ(v.writes, ++writes[k.h - 1]);
  }
  // A clock edge written as one character counts the same, also over a
  // stored text that is no single character; a bad handle is ignored.
  const struct {
    char c;
    const char* value;
    uint64_t changes;
  } edges[] = {{'1', "1", 4}, {'1', "1", 4}, {'0', "0", 5}};
  for (const auto& e : edges) {
    store.WriteChar(c, e.c);
    EXPECT_EQ(TextOf(*store.Get(c)), e.value);
    EXPECT_EQ(store.Get(c)->changes, e.changes);
    EXPECT_EQ(store.Get(c)->writes, ++writes[c - 1]);
  }
  store.WriteChar(0, '1');
  store.WriteChar(3, '1');
  EXPECT_EQ(store.WrittenList(), (std::vector<VarHandle>{b, c}));
  store.ClearWritten();
  EXPECT_TRUE(store.WrittenList().empty());
  EXPECT_FALSE(store.IsWritten(b));
  store.Write(c, "1");
  EXPECT_EQ(store.WrittenList(), std::vector<VarHandle>{c});
}
