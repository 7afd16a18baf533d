#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <cstdint>
#include <vector>

#include "signal/nsp.h"

namespace {

std::vector<float> Noise(int n) {
  std::vector<float> v(n);
  uint32_t s = 7;
  for (auto& x : v) x = static_cast<float>((s = s * 1664525u + 1013904223u) >> 8) / 8388608.0f - 1;
  return v;
}

void RealFft(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  const int n = 1 << order;
  const auto x = Noise(n);
  std::vector<SCplx> out(n / 2 + 1);
  nspsRealFftNip(x.data(), out.data(), order, NSP_Forw);  // plan made outside the loop
  for (auto _ : state) {
    nspsRealFftNip(x.data(), out.data(), order, NSP_Forw);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(RealFft)->DenseRange(8, 13);

void FftwRealFft(benchmark::State& state) {
  const int n = 1 << state.range(0);
  float* in = fftwf_alloc_real(n);
  fftwf_complex* out = fftwf_alloc_complex(n / 2 + 1);
  fftwf_plan plan = fftwf_plan_dft_r2c_1d(n, in, out, FFTW_MEASURE);
  const auto x = Noise(n);
  std::copy(x.begin(), x.end(), in);
  for (auto _ : state) {
    fftwf_execute(plan);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations() * n);
  fftwf_destroy_plan(plan);
  fftwf_free(in);
  fftwf_free(out);
}
BENCHMARK(FftwRealFft)->DenseRange(8, 13);

void CcsInverse(benchmark::State& state) {
  const int order = static_cast<int>(state.range(0));
  const int n = 1 << order;
  std::vector<SCplx> spectrum(n / 2 + 1, SCplx{0.5f, -0.25f});
  std::vector<float> out(n);
  for (auto _ : state) {
    nspsCcsFftNip(spectrum.data(), out.data(), order, 0);
    benchmark::DoNotOptimize(out.data());
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(CcsInverse)->Arg(8)->Arg(13);

void FirCall(benchmark::State& state) {
  const int taps = static_cast<int>(state.range(0));
  const auto h = Noise(taps);
  NSPFirState fir{};
  nspsFirInit(h.data(), taps, nullptr, &fir);
  float x = 0.5f;
  for (auto _ : state) benchmark::DoNotOptimize(x = nspsFir(&fir, x * 0.5f + 0.25f));
  nspsFirFree(&fir);
}
BENCHMARK(FirCall)->Arg(6)->Arg(64);

// The same FIR over blocks of 4096 samples, one call per block.
void FirBlockCall(benchmark::State& state) {
  const int taps = static_cast<int>(state.range(0));
  const auto h = Noise(taps);
  const auto x = Noise(4096);
  std::vector<float> y(x.size());
  NSPFirState fir{};
  nspsFirInit(h.data(), taps, nullptr, &fir);
  for (auto _ : state) {
    nspsbFir(&fir, x.data(), y.data(), static_cast<int>(x.size()));
    benchmark::DoNotOptimize(y.data());
  }
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(x.size()));
  nspsFirFree(&fir);
}
BENCHMARK(FirBlockCall)->Arg(6)->Arg(64);

void BiquadCall(benchmark::State& state) {
  const float bq[6] = {0.2f, 0.4f, 0.2f, 1.0f, -0.5f, 0.25f};
  NSPIirState iir{};
  nspsIirInitBq(1, bq, 1, &iir);
  float x = 0.5f;
  for (auto _ : state) benchmark::DoNotOptimize(x = nspsIir(&iir, x * 0.5f + 0.25f));
  nspsIirFree(&iir);
}
BENCHMARK(BiquadCall);

void LmsCall(benchmark::State& state) {
  const int taps = static_cast<int>(state.range(0));
  const auto h = Noise(taps);
  NSPLmsState lms{};
  nspsLmsInit(1, h.data(), taps, nullptr, 0.001f, 0.01f, 1, &lms);
  float y = 0;
  float x = 0.5f;
  for (auto _ : state) {
    x = -x;
    benchmark::DoNotOptimize(y = nspsLmsDes(&lms, x, 0.25f));
  }
  nspsLmsFree(&lms);
}
BENCHMARK(LmsCall)->Arg(6)->Arg(64);

}  // namespace
