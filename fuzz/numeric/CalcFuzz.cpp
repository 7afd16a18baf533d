// The evaluator on arbitrary texts: it must end, stay in bounds and either
// succeed with a finite value or fail with value 0; the compiled formula must
// give the same answer.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "numeric/Calc.h"
#include "numeric/CompiledFormula.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The first eight bytes, when present, choose t.
  double t = 0;
  if (size >= 8) {
    std::memcpy(&t, data, 8);
    data += 8;
    size -= 8;
  }
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const long double value = EvaluateAt(text, t);
  if (CalcError != 0) {
    if (value != 0) std::abort();
  } else if (!std::isfinite(value) || std::fabs(static_cast<double>(value)) > DBL_MAX) {
    std::abort();
  }
  // Compiled, the formula gives the same value bits and status.
  const int32_t status = CalcError;
  CompiledFormula compiled;
  compiled.Compile(text);
  const long double again = compiled.Evaluate(t);
  if (CalcError != status || std::memcmp(&again, &value, 10) != 0) std::abort();
  TextToNumber(text);
  MatchingParen(text, static_cast<int>(size % 64));
  return 0;
}
