// Cost of one block step through the exports, with the in-process host and
// the signal library loaded from the plug-in folder; and of the buffer and
// filter kernels called directly, without ports or value texts.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/engine/InProcessHost.h"
#include "host/engine/PluginLoader.h"
#include "numeric/Init_NSPDLL.h"
#include "numeric/ParameterRecords.h"
#include "transforms/BufferKernels.h"
#include "transforms/FilterKernels.h"

namespace {

PluginLoader& Plugin() {
  static PluginLoader plugin(RIR_PLUGIN_PATH);
  return plugin;
}

IModel* Make(const char* exportName, InProcessHost& host) {
  InitExport init = Plugin().Init(exportName);
  if (init == nullptr) return nullptr;
  IPELMOR* ref = &host;
  IModel* model = *init(&ref, 0);
  model->AddRef();
  return model;
}

void Finish(IModel* model) {
  model->Done();
  model->Release();
}

void AddBus(InProcessHost& host, const char* name, int width, bool out) {
  host.AddVariable(name, vkBus, width, out ? kWritableFlag : 0, std::string(static_cast<size_t>(width), '0'));
}

// One InputChanged of a High-Level FIR block with the default 6-tap record.
void BM_HighLevelFirStep(benchmark::State& state) {
  InProcessHost host;
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddBus(host, "DSrc", 16, false);
  AddBus(host, "DOut", 16, true);
  IModel* b = Make("High_Level_FIR_Init", host);
  if (b == nullptr || !b->IsValid()) {
    state.SkipWithError("no valid block");
    return;
  }
  host.SetValue("DSrc", "0000000001100100");
  for (auto _ : state) b->InputChanged();
  state.SetItemsProcessed(state.iterations());
  Finish(b);
}
BENCHMARK(BM_HighLevelFirStep);

// One InputChanged of each filter kind with its default record, the input
// alternating so that every step writes a new value.
void BM_FilterStep(benchmark::State& state, const char* exportName) {
  InProcessHost host;
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddBus(host, "DSrc", 16, false);
  AddBus(host, "DOut", 16, true);
  AddBus(host, "DDes", 16, false);
  IModel* b = Make(exportName, host);
  if (b == nullptr || !b->IsValid()) {
    state.SkipWithError("no valid block");
    return;
  }
  const char* inputs[2] = {"0000000001100100", "1000000000110010"};
  int k = 0;
  for (auto _ : state) {
    host.SetValue("DSrc", inputs[k ^= 1]);
    b->InputChanged();
  }
  state.SetItemsProcessed(state.iterations());
  Finish(b);
}
BENCHMARK_CAPTURE(BM_FilterStep, HighLevelFir, "High_Level_FIR_Init");
BENCHMARK_CAPTURE(BM_FilterStep, LowLevelFir, "Low_Level_FIR_Init");
BENCHMARK_CAPTURE(BM_FilterStep, HighLevelIir, "High_Level_IIR_Init");
BENCHMARK_CAPTURE(BM_FilterStep, LowLevelIir, "Low_Level_IIR_Init");
BENCHMARK_CAPTURE(BM_FilterStep, HighLevelLms, "High_Level_LMS_Init");
BENCHMARK_CAPTURE(BM_FilterStep, LowLevelLms, "Low_Level_LMS_Init");

// One InputChanged of an adder (two inputs, the element-wise kind the
// realistic chain uses).
void BM_AdderStep(benchmark::State& state) {
  InProcessHost host;
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddBus(host, "DIn", 16, false);
  AddBus(host, "D2In", 16, false);
  AddBus(host, "DOut", 16, true);
  IModel* b = Make("Addition_Substraction_Init", host);
  if (b == nullptr || !b->IsValid()) {
    state.SkipWithError("no valid block");
    return;
  }
  b->LoadParameters();
  host.SetValue("D2In", "0000000000000111");
  const char* inputs[2] = {"0000000001100100", "1000000000110010"};
  int k = 0;
  for (auto _ : state) {
    host.SetValue("DIn", inputs[k ^= 1]);
    b->InputChanged();
  }
  state.SetItemsProcessed(state.iterations());
  Finish(b);
}
BENCHMARK(BM_AdderStep);

// One InputChanged of a Square block.
void BM_SquareStep(benchmark::State& state) {
  InProcessHost host;
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddBus(host, "DIn", 16, false);
  AddBus(host, "DOut", 16, true);
  IModel* b = Make("Square_Init", host);
  if (b == nullptr || !b->IsValid()) {
    state.SkipWithError("no valid block");
    return;
  }
  b->LoadParameters();
  host.SetValue("DIn", "0000000001100100");
  for (auto _ : state) b->InputChanged();
  state.SetItemsProcessed(state.iterations());
  Finish(b);
}
BENCHMARK(BM_SquareStep);

// One strobe step (collect and emit) of a 1024-point "FFT using
// RCPack/RCPerm" block: every 1024th step runs the transform, so the time
// per step is the cost per sample.
void BM_FftStrobeStep1024(benchmark::State& state) {
  InProcessHost host;
  host.SetLibraryDirectory(RIR_PLUGIN_DIR);
  AddBus(host, "DIn", 16, false);
  host.AddVariable("W", vkLine, 1, 0, "1");
  host.AddVariable("R", vkLine, 1, 0, "1");
  AddBus(host, "DReOut", 16, true);
  AddBus(host, "DImOut", 16, true);
  AddBus(host, "DSOut", 32, true);
  host.AddVariable("IBusy", vkLine, 1, kWritableFlag, "0");
  TransformParams p{};
  DefaultTransformRecord(p);
  p.SignalLength = 1024;
  std::vector<uint8_t> bytes(sizeof p);
  std::memcpy(bytes.data(), &p, sizeof p);
  host.SetParameter("FFT using RCPack/RCPerm", bytes);
  IModel* b = Make("FFT_using_RCPack_RCPerm_Init", host);
  if (b == nullptr || !b->IsValid()) {
    state.SkipWithError("no valid block");
    return;
  }
  b->LoadParameters();
  b->Start();
  const char* samples[2] = {"0000000001100100", "1000000000110010"};
  int64_t i = 0;
  for (auto _ : state) {
    host.SetValue("DIn", samples[++i & 1]);
    b->InputChanged();
  }
  state.SetItemsProcessed(state.iterations());
  Finish(b);
}
BENCHMARK(BM_FftStrobeStep1024);

// The kernels call through this binary's own function table.
bool KernelLibrary() {
  static const bool loaded = [] {
    LibraryDirectory = RIR_PLUGIN_DIR;
    return LoadSignalLibrary();
  }();
  return loaded;
}

// One run of the "FFT using RCPack/RCPerm" kernel over a full buffer of
// 1024 samples, the work the block does on every 1024th step.
void BM_FftRcPackKernel1024(benchmark::State& state) {
  if (!KernelLibrary()) {
    state.SkipWithError("no signal library");
    return;
  }
  auto a = std::make_unique<BufferArrays>();
  TransformParams p{};
  DefaultTransformRecord(p);
  constexpr int32_t n = 1024;
  for (auto _ : state) {
    for (int32_t i = 0; i < n; ++i) a->Input[i] = SCplx{static_cast<float>(i), static_cast<float>((i * 37) % 101)};
    benchmark::DoNotOptimize(RunBufferTransform(ccFftRcPack, n, FloorLog2(n), p, *a));
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_FftRcPackKernel1024);

// One sample through the High-Level FIR row of the filter table: the
// default 6-tap record, and 41 taps as the realistic chain's low-pass has.
void BM_HighLevelFirKernelStep(benchmark::State& state) {
  if (!KernelLibrary()) {
    state.SkipWithError("no signal library");
    return;
  }
  FilterParams p{};
  DefaultFilterRecord(p);
  if (state.range(0) != 6) {
    p.FirTapsCount = static_cast<int32_t>(state.range(0));
    for (int32_t k = 0; k < p.FirTapsCount; ++k) p.FirTaps[k] = 1.0f / static_cast<float>(k + 2);
  }
  const FilterKind* kind = FindFilterKind(ccHighLevelFir);
  kind->Init(p);
  const FilterStep step = BindFilterStep(*kind, p);
  float x = 100.0f;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FilterSample(*kind, p, step, x, 0.0f));
    x = -x;
  }
  state.SetItemsProcessed(state.iterations());
  FreeFilterAreas(p, kind->Areas);
}
BENCHMARK(BM_HighLevelFirKernelStep)->ArgName("taps")->Arg(6)->Arg(41);

}  // namespace
