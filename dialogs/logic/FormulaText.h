// Formulas as the evaluator and the blocks read them.
#pragma once

#include <string>
#include <string_view>

// Lower case for the ASCII letters only: the formula language is ASCII, and
// bytes of another encoding (a UTF-8 or code-page character typed by
// mistake) must reach the evaluator's message unchanged, not half-converted.
inline std::string FormulaLowerCase(std::string_view formula) {
  std::string out(formula);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}
