// The formula evaluator's text rules, run once on a text whose computed
// numbers are not known yet: "t" and every result that depends on it stay a
// value (a slot), the rest are characters. The run records the operator
// applications on slots, and the questions it had to ask about a value's
// sign (a "_" in its text changes how the rules read it); a compiled formula
// replays them at every t.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

// Slot 0 holds t; each application fills a new one.
inline constexpr int kFormulaSlots = 64;

// An operand: a constant, or a slot's value, negated or not.
struct FormulaOperand {
  double constant = 0;
  int16_t slot = -1;  // -1: the constant
  bool negate = false;
};

struct FormulaEvent {
  enum Kind : uint8_t {
    kApply,     // slot = CalcOps[op] on a and b; the evaluation fails where the operator does
    kSignTest,  // is slot's value negative? (the next answer of the trace)
    kReturn,    // the evaluation gives a
    kFail,      // the evaluation fails, whatever the values
    kFallback,  // the text cannot be followed without the digits: evaluate the text
  };
  Kind kind = kFail;
  int8_t op = 0;
  int16_t slot = -1;
  FormulaOperand a, b;
};

struct FormulaTrace {
  std::vector<FormulaEvent> events;  // the last one ends the evaluation
  std::vector<bool> answers;         // each sign test's answer, in order
};

// Follows the evaluator on `formula` (as EvaluateAt reads it, blanks
// included). The first given.size() sign tests take the given answers, the
// later ones "not negative".
FormulaTrace TraceFormula(std::string_view formula, const std::vector<bool>& given);
