// Host throughput: a generator -> FIR -> WAVE recorder chain of one million
// samples run by the simulator's engine, against the same blocks called in
// a bare loop; and the same comparison with trivial blocks, which leaves
// the host's own cost per step. The designs under bench/designs run end to
// end as `rir-eda run` runs them, by the engine alone, and as a bare loop.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "framework/BaseExtModel.h"
#include "framework/FloatingPointGuard.h"
#include "host/design/DesignReader.h"
#include "host/engine/Engine.h"
#include "host/engine/InProcessHost.h"
#include "host/engine/PluginLoader.h"
#include "host/run/RunDesignFile.h"
#include "numeric/ValueText.h"

namespace {

constexpr int64_t kSamples = 1000000;

PluginLoader& Plugin() {
  static PluginLoader plugin(RIR_PLUGIN_PATH);
  return plugin;
}

std::string ChainDesign(int64_t samples, bool events = false) {
  return "[simulation]\nsample_period = 2\nsteps = " + std::to_string(samples) +
         (events ? "\nscheduling = \"events\"" : "") + R"(
[[variable]]
name = "sig"
width = 16
[[variable]]
name = "filtered"
width = 16
[[variable]]
name = "gen_clk"
kind = "Clk"
[[variable]]
name = "clk"
kind = "Clk"
[[stimulus]]
type = "clock"
variable = "gen_clk"
period = 2
[[stimulus]]
type = "clock"
variable = "clk"
period = 2
phase = 1
[[block]]
name = "gen"
type = "Random_Init"
inputs = { Clk = "gen_clk" }
outputs = { Out = "sig" }
parameters = { Low = -1000.0, High = 2000.0 }
[[block]]
name = "fir"
type = "High_Level_FIR_Init"
inputs = { DSrc = "sig" }
outputs = { DOut = "filtered" }
parameters = { FIRS_TapsCount = 8, FIRS_Taps = [0.125, 0.125, 0.125, 0.125, 0.125, 0.125, 0.125, 0.125] }
[[block]]
name = "rec"
type = "Wave_Save_Init"
inputs = { C1 = "filtered", Clk = "clk" }
parameters = { FileName = "rir_host_bench.wav", SampleRate = 8000, BitsPerSample = 16 }
)";
}

// events:1 drives the blocks by changes of value, pass after pass.
void HostChain(benchmark::State& state) {
  const Design design = ParseDesign(ChainDesign(kSamples, state.range(0) != 0), "bench.toml");
  RunStats stats;
  for (auto _ : state) {
    Engine engine(design, &Plugin(), [](const std::string&) {});
    engine.SetWaveFolders("/tmp/", "/tmp/");
    if (!engine.Build()) {
      state.SkipWithError("a block of the chain is not valid");
      return;
    }
    stats = engine.Run(nullptr);
  }
  const double calls = static_cast<double>(stats.steps + stats.notifications);
  state.counters["block_calls/s"] = benchmark::Counter(calls * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["ns/sample"] = benchmark::Counter(
      static_cast<double>(kSamples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  ::unlink("/tmp/rir_host_bench.wav");
}
BENCHMARK(HostChain)->ArgName("events")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same three blocks, each over its own host on one store, called
// directly with the calls the engine makes: the clocked generator samples
// on its clock's rising edge, the filter follows once, the recorder
// samples on its own clock's rising edge; falling edges notify too. As
// the engine, in the library's floating-point state, promised to the blocks.
void BareChain(benchmark::State& state) {
  const Design design = ParseDesign(ChainDesign(kSamples), "bench.toml");
  for (auto _ : state) {
    const FloatingPointGuard libraryState;
    auto store = std::make_shared<VariableStore>();
    InProcessHost gh(store), fh(store), rh(store);
    const VarHandle sig = gh.AddVariable("sig", vkBus, 16, kWritableFlag);
    const VarHandle filtered = gh.AddVariable("filtered", vkBus, 16, kWritableFlag);
    const VarHandle clk = gh.AddVariable("clk", vkClk, 1, 0);
    const VarHandle genClk = gh.AddVariable("gen_clk", vkClk, 1, 0);
    gh.MapPort("Out", sig);
    gh.MapPort("Clk", genClk);
    fh.MapPort("DSrc", sig);
    fh.MapPort("DOut", filtered);
    rh.MapPort("C1", filtered);
    rh.MapPort("Clk", clk);
    InProcessHost* hosts[3] = {&gh, &fh, &rh};
    IModel* blocks[3] = {};
    const char* exports[3] = {"Random_Init", "High_Level_FIR_Init", "Wave_Save_Init"};
    for (int k = 0; k < 3; ++k) {
      hosts[k]->AddRef();
      hosts[k]->PromiseLibraryState();
      hosts[k]->SetIntParameter("SignValue", 0);
      hosts[k]->SetRecord(design.blocks[k].record);
      hosts[k]->SetSamplePeriod(2);
      hosts[k]->SetLibraryDirectory(k == 2 ? "/tmp/" : Plugin().Directory());
      IPELMOR* ref = hosts[k];
      IModel** self = Plugin().Init(exports[k])(&ref, 0);
      blocks[k] = *self;
      blocks[k]->AddRef();
      if (!blocks[k]->IsValid()) {
        state.SkipWithError("a block of the chain is not valid");
        return;
      }
    }
    for (IModel* b : blocks) b->LoadParameters();
    for (IModel* b : blocks) b->Start();
    HostVariable* clock = store->Get(clk);
    HostVariable* genClock = store->Get(genClk);
    for (int64_t i = 0; i < kSamples; ++i) {
      for (InProcessHost* h : hosts) h->SetTime(static_cast<long double>(2 * i));
      genClock->value = ValueBits::Digit(true);
      clock->value = ValueBits::Digit(false);  // the recorder's clock falls as the generator's rises
      blocks[0]->InputChanged();
      blocks[1]->InputChanged();
      blocks[2]->InputChanged();
      for (InProcessHost* h : hosts) h->SetTime(static_cast<long double>(2 * i + 1));
      genClock->value = ValueBits::Digit(false);
      blocks[0]->InputChanged();
      clock->value = ValueBits::Digit(true);
      blocks[2]->InputChanged();
    }
    for (IModel* b : blocks) {
      b->Done();
      b->Release();
    }
  }
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["ns/sample"] = benchmark::Counter(
      static_cast<double>(kSamples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  ::unlink("/tmp/rir_host_bench.wav");
}
BENCHMARK(BareChain)->Unit(benchmark::kMillisecond)->Iterations(3);

// Trivial blocks: a counter and an incrementer; what remains is the host.
class Counter : public TBaseModelExt {
 public:
  explicit Counter(IPELMOR* host) : TBaseModelExt(host, 0, kTimeDriven) {
    BindRequired({{&out_, "Out"}}, kWritableFlag);
    width_ = Host->GetVariableWidth(out_);
  }
  int64_t RIR_STDCALL TimeStep() override {
    WriteValue(out_, EncodeValueBits(1, ++n_ & 0xFFFF, width_));
    return 1;
  }

 private:
  VarHandle out_ = 0;
  int width_ = 0;
  int32_t n_ = 0;
};

class PlusOne : public TBaseModelExt {
 public:
  explicit PlusOne(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) {
    BindRequired({{&in_, "DIn"}}, 0);
    BindRequired({{&out_, "DOut"}}, kWritableFlag);
    width_ = Host->GetVariableWidth(out_);
  }
  void RIR_STDCALL InputChanged() override { WriteValue(out_, EncodeValueBits(1, ReadSample(in_, 1) + 1, width_)); }

 private:
  VarHandle in_ = 0, out_ = 0;
  int width_ = 0;
};

template <class T>
IModel** Make(IPELMOR** host, intptr_t) {
  return (new T(*host))->SelfRefAddress();
}

void HostTrivial(benchmark::State& state) {
  const Design design = ParseDesign("[simulation]\nsample_period = 1\nsteps = " + std::to_string(kSamples) + R"(
[[variable]]
name = "a"
width = 20
[[variable]]
name = "b"
width = 20
[[block]]
name = "count"
type = "Constant_Init"
outputs = { Out = "a" }
[[block]]
name = "plus"
type = "Absolute_Value_Init"
inputs = { DIn = "a" }
outputs = { DOut = "b" }
)",
                                    "bench.toml");
  for (auto _ : state) {
    Engine engine(design, nullptr, [](const std::string&) {});
    engine.SetExportLookup([](const std::string& name) -> InitExport {
      return name == "Constant_Init" ? &Make<Counter> : &Make<PlusOne>;
    });
    engine.Build();
    engine.Run(nullptr);
  }
  state.counters["ns/step"] = benchmark::Counter(
      static_cast<double>(kSamples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(HostTrivial)->Unit(benchmark::kMillisecond)->Iterations(3);

// The host calls as the engine does (host:0: in the library's
// floating-point state, promised to the blocks), as a host that promises
// nothing in that state (host:1: each slot reads the state), and as one at
// 53-bit x87 precision (host:2, every Windows thread's state: each slot
// loads the library's state and the host's back, and so does each call
// back into the host).
void BareTrivial(benchmark::State& state) {
  const bool promise = state.range(0) == 0;
  const uint16_t hostControlWord = state.range(0) == 2 ? 0x027F : kLibraryX87ControlWord;
  for (auto _ : state) {
    auto store = std::make_shared<VariableStore>();
    InProcessHost ch(store), ph(store);
    ch.AddRef();
    ph.AddRef();
    if (promise) {
      ch.PromiseLibraryState();
      ph.PromiseLibraryState();
    }
    const VarHandle a = ch.AddVariable("a", vkBus, 20, kWritableFlag);
    const VarHandle b = ch.AddVariable("b", vkBus, 20, kWritableFlag);
    ch.MapPort("Out", a);
    ph.MapPort("DIn", a);
    ph.MapPort("DOut", b);
    IPELMOR* r1 = &ch;
    IPELMOR* r2 = &ph;
    IModel* count = *Make<Counter>(&r1, 0);
    IModel* plus = *Make<PlusOne>(&r2, 0);
    count->AddRef();
    plus->AddRef();
    floating_point::LoadX87ControlWord(hostControlWord);
    for (int64_t i = 0; i < kSamples; ++i) {
      count->TimeStep();
      plus->InputChanged();
    }
    floating_point::LoadX87ControlWord(kLibraryX87ControlWord);
    benchmark::DoNotOptimize(store->Get(b)->value.Word());
    for (IModel* m : {count, plus}) {
      m->Done();
      m->Release();
    }
  }
  state.counters["ns/step"] = benchmark::Counter(
      static_cast<double>(kSamples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BareTrivial)->ArgName("host")->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->Iterations(3);

void SampleCounters(benchmark::State& state, int64_t samples) {
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(samples) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["ns/sample"] = benchmark::Counter(
      static_cast<double>(samples), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

constexpr const char* kDesignOutputs = "/tmp/rir_design_bench";

// End to end, as `rir-eda run DESIGN -q` runs it: reading the design,
// loading the plug-in, the run and the recorders' WAVE files.
void DesignRun(benchmark::State& state, const char* file, int64_t samples) {
  RunRequest request;
  request.design = std::string(RIR_BENCH_DESIGNS) + file;
  request.pluginPath = RIR_PLUGIN_PATH;
  request.outputDir = kDesignOutputs;
  request.quiet = true;
  request.progress = false;
  for (auto _ : state) {
    std::ostringstream out, err;
    if (RunDesignFile(request, out, err) != 0) {
      state.SkipWithError(("the run failed: " + err.str()).c_str());
      return;
    }
  }
  SampleCounters(state, samples);
}
BENCHMARK_CAPTURE(DesignRun, clocked_chain_3M, "clocked_chain.toml", 3000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_CAPTURE(DesignRun, tone_fir4_2M, "tone_fir4.toml", 2000000)->Unit(benchmark::kMillisecond)->Iterations(2);

// The engine alone on a design, shortened to `samples`.
void DesignEngine(benchmark::State& state, const char* file, int64_t samples) {
  Design design = ReadDesign(std::string(RIR_BENCH_DESIGNS) + file);
  design.endTime = samples * design.samplePeriod;
  for (auto _ : state) {
    Engine engine(design, &Plugin(), [](const std::string&) {});
    engine.SetWaveFolders("/tmp/", "/tmp/");
    if (!engine.Build()) {
      state.SkipWithError("a block of the design is not valid");
      return;
    }
    engine.Run(nullptr);
  }
  SampleCounters(state, samples);
}
BENCHMARK_CAPTURE(DesignEngine, clocked_chain, "clocked_chain.toml", 500000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_CAPTURE(DesignEngine, tone_fir4, "tone_fir4.toml", 500000)->Unit(benchmark::kMillisecond)->Iterations(3);

// A design's blocks over their own hosts on one store, wired and loaded as
// the engine wires them, for loops that make the engine's calls by hand; in
// the library's floating-point state, promised to the blocks, as the
// engine's.
class BareDesign {
 public:
  explicit BareDesign(const Design& design) : store_(std::make_shared<VariableStore>()) {
    for (const VariableEntry& v : design.variables) {
      HostVariable hv;
      hv.name = v.name;
      hv.kind = v.kind;
      hv.width = v.width;
      AssignText(hv, v.initial.c_str());
      for (const BlockEntry& b : design.blocks)
        for (const auto& [port, var] : b.outputs)
          if (var == v.name) hv.flags |= kWritableFlag;
      store_->Add(std::move(hv));
    }
    store_->FixLayout();  // as the engine's: the blocks read the value words in place
    for (const BlockEntry& e : design.blocks) {
      auto host = std::make_unique<InProcessHost>(store_);
      host->AddRef();
      host->PromiseLibraryState();
      for (const auto* ports : {&e.inputs, &e.outputs})
        for (const auto& [port, var] : *ports) host->MapPort(port, store_->Find(var));
      host->SetIntParameter("SignValue", e.signValue);
      host->SetRecord(e.record);
      host->SetSamplePeriod(static_cast<long double>(design.samplePeriod));
      host->SetLibraryDirectory(e.exportName == "Wave_Save_Init" ? "/tmp/" : Plugin().Directory());
      IPELMOR* ref = host.get();
      IModel* model = *Plugin().Init(e.exportName.c_str())(&ref, 0);
      model->AddRef();
      valid_ = valid_ && model->IsValid();
      blocks_.push_back(model);
      hosts_.push_back(std::move(host));
    }
    for (IModel* b : blocks_) b->LoadParameters();
    for (IModel* b : blocks_) b->Start();
  }
  ~BareDesign() {
    for (IModel* b : blocks_) {
      b->Done();
      b->Release();
    }
  }
  bool Valid() const { return valid_; }
  IModel* Block(size_t k) const { return blocks_[k]; }
  HostVariable* Variable(const char* name) { return store_->Get(store_->Find(name)); }
  void SetTime(int64_t t) { store_->SetTimePoint(t); }  // the store's time, a whole one as the engine sets it

 private:
  const FloatingPointGuard libraryState_;
  std::shared_ptr<VariableStore> store_;
  std::vector<std::unique_ptr<InProcessHost>> hosts_;
  std::vector<IModel*> blocks_;
  bool valid_ = true;
};

// The chain's calls under dataflow: on the generators' rising clock the
// generators, the adder, the FIR and both recorders (their clock falls);
// one unit later the generators (clock falls) and the recorders (rises).
void BareClockedChain(benchmark::State& state) {
  Design design = ReadDesign(std::string(RIR_BENCH_DESIGNS) + "clocked_chain.toml");
  const int64_t samples = 500000;
  for (auto _ : state) {
    BareDesign d(design);
    if (!d.Valid()) {
      state.SkipWithError("a block of the design is not valid");
      return;
    }
    HostVariable* genClk = d.Variable("gen_clk");
    HostVariable* recClk = d.Variable("rec_clk");
    for (int64_t i = 0; i < samples; ++i) {
      d.SetTime(2 * i);
      genClk->value = ValueBits::Digit(true);
      recClk->value = ValueBits::Digit(false);
      for (size_t k = 0; k < 6; ++k) d.Block(k)->InputChanged();
      d.SetTime(2 * i + 1);
      genClk->value = ValueBits::Digit(false);
      recClk->value = ValueBits::Digit(true);
      for (size_t k : {0, 1, 4, 5}) d.Block(k)->InputChanged();
    }
  }
  SampleCounters(state, samples);
}
BENCHMARK(BareClockedChain)->Unit(benchmark::kMillisecond)->Iterations(3);

void BareToneFir4(benchmark::State& state) {
  Design design = ReadDesign(std::string(RIR_BENCH_DESIGNS) + "tone_fir4.toml");
  const int64_t samples = 500000;
  for (auto _ : state) {
    BareDesign d(design);
    if (!d.Valid()) {
      state.SkipWithError("a block of the design is not valid");
      return;
    }
    HostVariable* genClk = d.Variable("gen_clk");
    for (int64_t i = 0; i < samples; ++i) {
      d.SetTime(2 * i);
      genClk->value = ValueBits::Digit(true);
      d.Block(0)->InputChanged();
      d.Block(1)->InputChanged();
      d.SetTime(2 * i + 1);
      genClk->value = ValueBits::Digit(false);
      d.Block(0)->InputChanged();
    }
  }
  SampleCounters(state, samples);
}
BENCHMARK(BareToneFir4)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
