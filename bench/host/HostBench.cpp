// Host throughput: a generator -> FIR -> WAVE recorder chain of one million
// samples run by the simulator's engine, against the same blocks called in
// a bare loop; and the same comparison with trivial blocks, which leaves
// the host's own cost per step.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <string>

#include "framework/BaseExtModel.h"
#include "host/DesignReader.h"
#include "host/Engine.h"
#include "host/InProcessHost.h"
#include "host/PluginLoader.h"
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
  state.counters["ns/sample"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  ::unlink("/tmp/rir_host_bench.wav");
}
BENCHMARK(HostChain)->ArgName("events")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same three blocks, each over its own host on one store, called
// directly with the calls the engine makes: the clocked generator samples
// on its clock's rising edge, the filter follows once, the recorder
// samples on its own clock's rising edge; falling edges notify too.
void BareChain(benchmark::State& state) {
  const Design design = ParseDesign(ChainDesign(kSamples), "bench.toml");
  for (auto _ : state) {
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
      genClock->value = "1";
      clock->value = "0";  // the recorder's clock falls as the generator's rises
      blocks[0]->InputChanged();
      blocks[1]->InputChanged();
      blocks[2]->InputChanged();
      for (InProcessHost* h : hosts) h->SetTime(static_cast<long double>(2 * i + 1));
      genClock->value = "0";
      blocks[0]->InputChanged();
      clock->value = "1";
      blocks[2]->InputChanged();
    }
    for (IModel* b : blocks) {
      b->Done();
      b->Release();
    }
  }
  state.counters["samples/s"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["ns/sample"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  ::unlink("/tmp/rir_host_bench.wav");
}
BENCHMARK(BareChain)->Unit(benchmark::kMillisecond)->Iterations(3);

// Trivial blocks: a counter and an incrementer; what remains is the host.
class Counter : public TBaseModelExt {
 public:
  explicit Counter(IPELMOR* host) : TBaseModelExt(host, 0, kTimeDriven) {
    BindRequired({{&out_, "Out"}}, kWritableFlag);
    text_.Resize(Host->GetVariableWidth(out_));
  }
  int64_t RIR_STDCALL TimeStep() override {
    WriteValueText(out_, text_.Encode(1, ++n_ & 0xFFFF));
    return 1;
  }

 private:
  VarHandle out_ = 0;
  ValueTextBuffer text_;
  int32_t n_ = 0;
};

class PlusOne : public TBaseModelExt {
 public:
  explicit PlusOne(IPELMOR* host) : TBaseModelExt(host, 0, kInputDriven) {
    BindRequired({{&in_, "DIn"}}, 0);
    BindRequired({{&out_, "DOut"}}, kWritableFlag);
    text_.Resize(Host->GetVariableWidth(out_));
  }
  void RIR_STDCALL InputChanged() override {
    WriteValueText(out_, text_.Encode(1, DecodeValueText(1, ReadValueText(in_)) + 1));
  }

 private:
  VarHandle in_ = 0, out_ = 0;
  ValueTextBuffer text_;
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
  state.counters["ns/step"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(HostTrivial)->Unit(benchmark::kMillisecond)->Iterations(3);

void BareTrivial(benchmark::State& state) {
  for (auto _ : state) {
    auto store = std::make_shared<VariableStore>();
    InProcessHost ch(store), ph(store);
    ch.AddRef();
    ph.AddRef();
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
    for (int64_t i = 0; i < kSamples; ++i) {
      count->TimeStep();
      plus->InputChanged();
    }
    benchmark::DoNotOptimize(store->Get(b)->value.data());
    for (IModel* m : {count, plus}) {
      m->Done();
      m->Release();
    }
  }
  state.counters["ns/step"] =
      benchmark::Counter(static_cast<double>(kSamples) * state.iterations(),
                         benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BareTrivial)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
