// The math layer's 80-bit sine against glibc's sinl at the arguments a long
// clocked run produces (2 pi f t, t in the millions), at 1e17 (both below
// 2^62: the integer reduction and the table), and at 1e21 (beyond 2^62: the
// exact reduction).
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "signal/math/Math.h"

namespace {

std::vector<long double> Arguments(long double scale) {
  std::vector<long double> v(4096);
  long double t = 1e6L;
  for (auto& x : v) x = 2 * 3.14159265358979323846L * 0.0123L * (t += 997) * scale;
  return v;
}

template <long double (*F)(long double)>
void Sine(benchmark::State& state) {
  const auto xs = Arguments(static_cast<long double>(state.range(0)));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(F(xs[i]));
    i = (i + 1) & 4095;
  }
  state.SetItemsProcessed(state.iterations());
}

long double LayerSin(long double x) { return math::Sin(x); }
long double GlibcSin(long double x) { return sinl(x); }
long double LayerExp(long double x) { return math::Exp(x * 1e-7L); }
long double GlibcExp(long double x) { return expl(x * 1e-7L); }

}  // namespace

// range(0) scales 2 pi f t: 1 for |x| about 1e5..4e5, 1e12 and 1e16 beyond.
BENCHMARK(Sine<LayerSin>)->Name("sinl/layer")->Arg(1)->Arg(1000000000000)->Arg(10000000000000000);
BENCHMARK(Sine<GlibcSin>)->Name("sinl/glibc")->Arg(1)->Arg(1000000000000)->Arg(10000000000000000);
BENCHMARK(Sine<LayerExp>)->Name("expl/layer")->Arg(1);
BENCHMARK(Sine<GlibcExp>)->Name("expl/glibc")->Arg(1);
