// The formula evaluator for user functions F(t).
//
// It rewrites the formula text: "t" and the named constants become number
// texts, parentheses are reduced from the inside, and operators are applied
// one kind at a time until a single number remains. Every intermediate
// result passes through an eight-decimal number text, which users' stored
// formulas rely on (1/3*3 gives 0.99999999).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "CountedText.h"
#include "framework/RecordLimits.h"

// Status of the last conversion or evaluation; 0 = good.
extern int32_t CalcError;

// The twelve operators in the order they are applied.
extern const char* const CalcOps[12];
// The operators' positions in CalcOps, the order they are applied in.
enum CalcOp : int {
  opSin,
  opCos,
  opTan,
  opCot,
  opPower,
  opPercent,
  opLn,
  opLg,
  opDivide,  // from here on, a left operand that is no number stops the evaluation
  opMultiply,
  opAdd,
  opSubtract,  // "_", found from the second character on
  kCalcOpCount
};

// Bounds that keep hostile texts cheap. A stored formula has at most 55
// characters; even with every character a "t" at the largest double each
// expands to 318 characters, well inside the text limit.
inline constexpr size_t kCalcMaxText = 32768;        // characters of a working text
inline constexpr int kCalcMaxDepth = 255;            // parenthesis levels
inline constexpr long kCalcMaxApplications = 65536;  // operator applications per evaluation

// The formula's text: the counted text, cut to at most maxLength characters.
std::string_view FormulaText(const CountedText<kRecordTextLength>& formula, int maxLength);
// The formula (a counted text of at most maxLength characters) at t.
long double FormulaValue(const CountedText<kRecordTextLength>& formula, int maxLength, double t);
// The formula at t. CalcError is 0 when it was evaluated; otherwise non-zero
// and the value is 0. Never crashes or loops, whatever the text.
long double EvaluateAt(std::string_view formula, double t);

// Decimal text to number; "_" stands for the minus sign. Sets CalcError to 0
// or to the 1-based position of the first offending character.
double TextToNumber(std::string_view text);
// The evaluator's number text: eight decimals, "_" for minus, no blanks.
std::string NumberToText(long double x);
// Position in `text` of the ")" matching the "(" deleted at `from`, 0 if none.
int MatchingParen(std::string_view text, int from);
// Operator `op` (its index in CalcOps) on the operand values a (left) and
// b (right), with the evaluator's checks: false where the operands are
// outside its domain (ln, lg of b <= 0, division by 0) or the result is not
// a finite value within the double range.
bool ApplyOperator(int op, long double a, long double b, long double& result);
// Whether operator `op` reads its left operand's value.
bool OperatorReadsLeft(int op);
// The number text that stands for the constant "e" (name 'e') or "pi" ('p').
const std::string& CalcConstantText(char name);
// a raised to b (with the sign rule for negative bases).
long double Power(long double b, long double a);
