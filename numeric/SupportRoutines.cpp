#include "SupportRoutines.h"

#include <cstdint>

#include "Calc.h"
#include "ValueText.h"
#include "framework/Errors.h"

bool CheckFormula(CountedText<kRecordTextLength>& formula, int maxLength) {
  for (int t = 0; t <= 100; ++t) {
    FormulaValue(formula, maxLength, t);
    if (CalcError != 0) {
      ShowLibError(msgBadFormula, Language, FormulaText(formula, maxLength));
      const std::string_view err = "Err";
      formula.Set(err.substr(0, maxLength > 0 ? static_cast<size_t>(maxLength) : 0));
      return false;
    }
  }
  return true;
}

void IncrementInt64(int64_t& value) {
  // Wraps at the top like the two's-complement counter it is.
  value = static_cast<int64_t>(static_cast<uint64_t>(value) + 1u);
}
