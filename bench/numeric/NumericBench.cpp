// Per-step costs of the numeric core: the value-text codec on port widths
// 8, 16 and 32 (through the per-port buffer, no allocation), the check that
// a written sample fits its port, and one
// evaluation of the default formulas and of a stored formula, as text and
// compiled.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "numeric/Calc.h"
#include "numeric/CompiledFormula.h"
#include "numeric/SampleOutput.h"
#include "numeric/ValueText.h"

namespace {

void BM_Encode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int32_t signMode = static_cast<int32_t>(state.range(1));
  ValueTextBuffer buffer(width);
  int32_t value = -12345;
  for (auto _ : state) {
    benchmark::DoNotOptimize(buffer.Encode(signMode, value));
    value += 7;
  }
}
BENCHMARK(BM_Encode)->ArgsProduct({{8, 16, 32}, {0, 1}});

// A block's write of a sample that fits its 16-bit port, without (0) and with
// (1) the check whether the port carries it: what the check costs when
// nothing overflows.
void BM_WriteFittingSample(benchmark::State& state) {
  const bool checked = state.range(0) != 0;
  SampleOutput out;
  out.Resize(16, 0);
  int32_t value = -12345;
  int32_t problems = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(out.Encode(value));
    if (checked) problems += out.Problem(value);
    value = value < 12345 ? value + 7 : -12345;
  }
  if (problems != 0) state.SkipWithError("a fitting sample was told as a problem");
}
BENCHMARK(BM_WriteFittingSample)->Arg(0)->Arg(1);

void BM_Decode(benchmark::State& state) {
  const int width = static_cast<int>(state.range(0));
  const int32_t signMode = static_cast<int32_t>(state.range(1));
  // A handful of distinct texts so the branch predictor cannot learn one.
  std::vector<std::string> texts;
  for (int32_t v : {-100, 3, 77, -1, 120, -55, 0, 9}) texts.push_back(EncodeValueText(signMode, v, width));
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(DecodeValueText(signMode, texts[i].c_str()));  // as blocks read a host's text
    i = (i + 1) & 7;
  }
}
BENCHMARK(BM_Decode)->ArgsProduct({{8, 16, 32}, {0, 1}});

void BM_EvaluateGeneratorDefault(benchmark::State& state) {
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateAt("1+2", t));
    t += 1;
  }
}
BENCHMARK(BM_EvaluateGeneratorDefault);

void BM_EvaluateTransformDefault(benchmark::State& state) {
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EvaluateAt("1/10*t", t));
    t += 1;
  }
}
BENCHMARK(BM_EvaluateTransformDefault);

// The per-step call of "Func" and "Any Func": a stored counted formula.
void BM_FormulaValue(benchmark::State& state) {
  CountedText<55> formula{};
  formula.Set(state.range(0) == 0 ? "1/10*t" : "sin(t)*100+ln(t+1)");
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(FormulaValue(formula, 55, t));
    t += 1;
  }
}
BENCHMARK(BM_FormulaValue)->Arg(0)->Arg(1);

// The same formulas compiled once, as the blocks evaluate them per step.
void BM_CompiledFormula(benchmark::State& state) {
  CompiledFormula formula;
  formula.Compile(state.range(0) == 0 ? "1/10*t" : "sin(t)*100+ln(t+1)");
  double t = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formula.Evaluate(t));
    t += 1;
  }
}
BENCHMARK(BM_CompiledFormula)->Arg(0)->Arg(1);

}  // namespace
