// A free-running generator step (table read, encode, write to the host), a
// clocked step (the waveform at the host's time) and one parameter load
// (table fill), through the plug-in as a host drives them.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "host/engine/InProcessHost.h"
#include "framework/BlockCatalogue.h"
#include "generators/GeneratorWaveforms.h"
#include "host/engine/PluginLoader.h"
#include "numeric/ParameterRecords.h"

namespace {

PluginLoader& Plugin() {
  static PluginLoader plugin(RIR_PLUGIN_PATH);
  if (!plugin.Loaded()) std::abort();
  return plugin;
}

struct Generator {
  InProcessHost host;
  IModel* model = nullptr;
  explicit Generator(const char* exportName, int width = 32, bool clocked = false) {
    host.AddVariable("Out", vkBus, width, kWritableFlag);
    if (clocked) host.AddVariable("Clk", vkClk, 1, 0, "1");
    host.SetSamplePeriod(2);
    IPELMOR* ref = &host;
    model = *Plugin().Init(exportName)(&ref, 0);
  }
  ~Generator() { model->Done(); }  // the self reference was the only one
};

void BM_FreeRunningTimeStep(benchmark::State& state) {
  Generator sine("Sine_Init");
  int steps = 0;
  for (auto _ : state) {
    if (steps++ == 10001) {  // keep reading the table, not the zeros after it
      state.PauseTiming();
      sine.model->LoadParameters();
      steps = 1;
      state.ResumeTiming();
    }
    benchmark::DoNotOptimize(sine.model->TimeStep());
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_FreeRunningTimeStep);

// One clocked sample, late in a long run (t past 4 million, sample period 2).
void BM_ClockedStep(benchmark::State& state, const char* exportName) {
  Generator generator(exportName, 16, true);
  int64_t t = 4000000;
  for (auto _ : state) {
    generator.host.SetTime(static_cast<long double>(t += 2));
    generator.model->InputChanged();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_ClockedStep, Tone, "Tone_Init");
BENCHMARK_CAPTURE(BM_ClockedStep, Sine, "Sine_Init");
BENCHMARK_CAPTURE(BM_ClockedStep, Random, "Random_Init");
BENCHMARK_CAPTURE(BM_ClockedStep, Hann, "Hann_Init");

// A clocked tone's sample alone, late in a long run: the extended product
// rounded, and the sample as the block forms it (mostly from the estimate).
void BM_ToneSample(benchmark::State& state, bool extended) {
  GeneratorParams params = DefaultGeneratorParams();
  params.ToneMag = 3000;
  params.ToneRelFreq = 0.01;
  GeneratorState tone;
  PrepareGenerator(gkTone, params, tone);
  int64_t t = 4000000;
  int32_t problem = rvpNone;
  for (auto _ : state) {
    t += 2;
    benchmark::DoNotOptimize(extended ? RoundToSample(GeneratorSample(gkTone, t, params, tone), problem)
                                      : RoundedGeneratorSample(gkTone, t, params, tone, problem));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK_CAPTURE(BM_ToneSample, extended, true);
BENCHMARK_CAPTURE(BM_ToneSample, as_the_block, false);

// A user formula, evaluated as text at every sample.
void BM_ClockedFormula(benchmark::State& state) {
  GeneratorParams params = DefaultGeneratorParams();
  params.Formula.Set("3000*sin(2*pi*t/100)");
  const auto* bytes = reinterpret_cast<const uint8_t*>(&params);
  Generator generator("Func_Init", 16, true);
  generator.host.SetRecord(std::vector<uint8_t>(bytes, bytes + sizeof params));
  generator.model->LoadParameters();
  int64_t t = 4000000;
  for (auto _ : state) {
    generator.host.SetTime(static_cast<long double>(t += 2));
    generator.model->InputChanged();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ClockedFormula);

void BM_LoadParametersTableFill(benchmark::State& state, const char* exportName) {
  Generator generator(exportName);
  for (auto _ : state) generator.model->LoadParameters();
  state.SetItemsProcessed(state.iterations() * 10001);
}
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Sine, "Sine_Init");
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Hann, "Hann_Init");
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Gaussian, "Gaussian_Init");

}  // namespace
