// A free-running generator step (table read, encode, write to the host) and
// one parameter load (table fill), through the plug-in as a host drives them.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "host/InProcessHost.h"
#include "host/PluginLoader.h"

namespace {

PluginLoader& Plugin() {
  static PluginLoader plugin(RIR_PLUGIN_PATH);
  if (!plugin.Loaded()) std::abort();
  return plugin;
}

struct Generator {
  InProcessHost host;
  IModel* model = nullptr;
  explicit Generator(const char* exportName, int width = 32) {
    host.AddVariable("Out", vkBus, width, kWritableFlag);
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

void BM_LoadParametersTableFill(benchmark::State& state, const char* exportName) {
  Generator generator(exportName);
  for (auto _ : state) generator.model->LoadParameters();
  state.SetItemsProcessed(state.iterations() * 10001);
}
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Sine, "Sine_Init");
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Hann, "Hann_Init");
BENCHMARK_CAPTURE(BM_LoadParametersTableFill, Gaussian, "Gaussian_Init");

}  // namespace
