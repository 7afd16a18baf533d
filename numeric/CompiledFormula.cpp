#include "CompiledFormula.h"

#include <cfenv>
#include <cmath>

#include "Calc.h"
#include "EightDecimals.h"

namespace {

// Longer formulas are left to the text evaluator (a record holds 55
// characters), and so are the branches beyond this many traces.
constexpr size_t kLongestCompiled = 255;
constexpr int kMostTraces = 64;
constexpr int32_t kNoTarget = -1;

}  // namespace

void CompiledFormula::Compile(std::string_view formula) {
  const int32_t status = CalcError;  // following the rules reads texts, which sets it
  text_.assign(formula);
  steps_.clear();
  compiled_ = true;
  size_t kept = 0;
  usesT_ = false;
  for (const char c : formula) {
    if (c == ' ') continue;
    ++kept;
    usesT_ = usesT_ || c == 't';
  }
  // The constants are computed now, in this rounding mode.
  wholeText_ = kept > kLongestCompiled || std::fegetround() != FE_TONEAREST;

  // Each trace answers the sign tests of the one it branches from, then
  // "negative" where that one said "not negative"; its steps after that test
  // are where the test's branch goes.
  struct Pending {
    std::vector<bool> answers;
    int32_t patch;
  };
  std::vector<Pending> pending;
  if (!wholeText_) pending.push_back({{}, kNoTarget});
  for (int traces = 0; !pending.empty() && traces < kMostTraces; ++traces) {
    const Pending next = std::move(pending.back());
    pending.pop_back();
    const FormulaTrace trace = TraceFormula(formula, next.answers);
    size_t from = 0, test = 0;
    while (test < next.answers.size() && from < trace.events.size())
      if (trace.events[from++].kind == FormulaEvent::kSignTest) ++test;
    if (next.patch != kNoTarget) steps_[static_cast<size_t>(next.patch)].target = static_cast<int32_t>(steps_.size());
    for (size_t i = from; i < trace.events.size(); ++i) {
      const FormulaEvent& e = trace.events[i];
      if (e.kind == FormulaEvent::kSignTest) {
        std::vector<bool> answers(trace.answers.begin(), trace.answers.begin() + static_cast<std::ptrdiff_t>(test++));
        answers.push_back(true);
        pending.push_back({std::move(answers), static_cast<int32_t>(steps_.size())});
      }
      steps_.push_back({e.kind, e.op, e.slot, kNoTarget, e.a, e.b});
    }
  }
  // Branches not followed, and a formula not compiled at all, evaluate the text.
  const int32_t text = static_cast<int32_t>(steps_.size());
  steps_.push_back({FormulaEvent::kFallback, 0, -1, kNoTarget, {}, {}});
  for (Step& step : steps_)
    if (step.kind == FormulaEvent::kSignTest && step.target == kNoTarget) step.target = text;
  CalcError = status;
}

long double CompiledFormula::Evaluate(double t) const {
  if (wholeText_ || steps_.empty() || std::fegetround() != FE_TONEAREST) return EvaluateAt(text_, t);
  double slots[kFormulaSlots];  // each step writes its slot before a later one reads it
  slots[0] = 0;
  if (usesT_) {
    if (!std::isfinite(t)) return CalcError = 1, 0;
    slots[0] = EightDecimalValue(t);
  }
  const auto value = [&slots](const FormulaOperand& o) -> long double {
    if (o.slot < 0) return o.constant;
    const double v = slots[o.slot];
    return o.negate ? -v : v;
  };
  for (size_t i = 0;;) {
    const Step& step = steps_[i];
    switch (step.kind) {
      case FormulaEvent::kApply: {
        long double result;
        if (!ApplyOperator(step.op, value(step.a), value(step.b), result)) return CalcError = 1, 0;
        slots[step.slot] = EightDecimalValue(result);
        ++i;
        break;
      }
      case FormulaEvent::kSignTest:
        i = std::signbit(slots[step.slot]) ? static_cast<size_t>(step.target) : i + 1;
        break;
      case FormulaEvent::kReturn:
        CalcError = 0;
        return value(step.a);
      case FormulaEvent::kFail:
        CalcError = 1;
        return 0;
      default:
        return EvaluateAt(text_, t);
    }
  }
}

int CompiledFormula::TextBranches() const {
  int branches = 0;
  for (size_t i = 0; i + 1 < steps_.size(); ++i) {
    const Step& step = steps_[i];
    if (step.kind == FormulaEvent::kFallback ||
        (step.kind == FormulaEvent::kSignTest && step.target + 1 == static_cast<int32_t>(steps_.size())))
      ++branches;
  }
  return branches;
}
