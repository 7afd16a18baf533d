// A user formula compiled once per parameter load, evaluated at every step
// without texts: the same values and failures as EvaluateAt, bit for bit.
//
// Compiling follows the evaluator's text rules once with t unknown (see
// FormulaTrace.h): what does not depend on t is computed then, the rest
// becomes a short program of operator applications on eight-decimal values,
// branching where a value's sign changes how the text reads. Where the rules
// would read a value's digits together with other characters (t written
// right after a digit, say), that branch evaluates the text instead.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FormulaTrace.h"

class CompiledFormula {
 public:
  // Replaces the compiled formula. Allocates; call once per parameter load.
  void Compile(std::string_view formula);
  bool IsCompiled() const { return compiled_; }

  // EvaluateAt(formula, t), with the same CalcError. Allocates nothing; reads
  // no text unless the formula or this t needs the text evaluator.
  long double Evaluate(double t) const;

  // Branches of the program that evaluate the text (none for the usual
  // formulas), and whether the whole formula does.
  int TextBranches() const;
  bool EvaluatesText() const { return wholeText_; }

 private:
  struct Step {
    FormulaEvent::Kind kind;
    int8_t op;
    int16_t slot;
    int32_t target;  // kSignTest: the step that follows a negative value
    FormulaOperand a, b;
  };
  std::string text_;
  std::vector<Step> steps_;
  bool compiled_ = false;
  bool wholeText_ = false;
  bool usesT_ = false;
};
