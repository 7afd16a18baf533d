// Evaluating a formula on every block step allocates nothing once the
// evaluator's working texts exist.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "numeric/Calc.h"
#include "numeric/CompiledFormula.h"
#include "support/AllocationCounter.h"

TEST(CalcAllocation, RepeatedEvaluationsAllocateNothing) {
  // Simple, nested, failing and long (t of 300 digits) formulas alike.
  const char* const formulas[] = {"1/10*t", "sin(t)*100+ln(t+1)", "((t-1)*(2+(t/3)))+e^2", "ln(t-500)", "t*t*t+pi"};
  CountedText<55> stored[5];
  for (int f = 0; f < 5; ++f) {
    stored[f].Set(formulas[f]);
    FormulaValue(stored[f], 55, 1e300);  // the working texts take their size
  }
  const long before = AllocationCount();
  int failures = 0;
  long double last = 0;
  for (int i = 0; i < 1000; ++i) {
    for (int f = 0; f < 5; ++f) {
      last = FormulaValue(stored[f], 55, i * 1.25);
      if (CalcError != 0) ++failures;
    }
  }
  EXPECT_EQ(AllocationCount() - before, 0);
  EXPECT_EQ(failures, 401);  // ln of t-500 up to t = 500
  EXPECT_NEAR(static_cast<double>(last), 1248.75 * 1248.75 * 1248.75 + 3.14159265, 1e-3);
  EXPECT_EQ(static_cast<double>(FormulaValue(stored[0], 55, 50)), 5.0);

  // Compiled, the same formulas allocate nothing either, failing or not.
  CompiledFormula compiled[5];
  for (int f = 0; f < 5; ++f) compiled[f].Compile(formulas[f]);
  const long beforeCompiled = AllocationCount();
  long double sum = 0;
  for (int i = 0; i < 1000; ++i)
    for (const CompiledFormula& formula : compiled) sum += formula.Evaluate(i * 1.25);
  EXPECT_EQ(AllocationCount() - beforeCompiled, 0);
  EXPECT_GT(sum, 0);

  // A huge text grows the working texts; afterwards they are given back and
  // small formulas are again free of allocations.
  std::string huge = "1";
  for (int i = 0; i < 800; ++i) huge += "+(e*t)";
  EXPECT_NEAR(static_cast<double>(EvaluateAt(huge, 1e10)), 1 + 800 * 2.71828183e10, 1e3);
  const long afterHuge = AllocationCount();
  for (int i = 0; i < 1000; ++i) FormulaValue(stored[1], 55, i);
  EXPECT_EQ(AllocationCount() - afterHuge, 0);
}
