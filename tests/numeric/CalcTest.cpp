#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <limits>
#include <random>
#include <string>

#include "numeric/Calc.h"
#include "numeric/CompiledFormula.h"
#include "numeric/EightDecimals.h"

namespace {

// Value of a formula that must evaluate, compared with the double that the
// final conversion yields.
void ExpectValue(const std::string& formula, double expected, double t = 0) {
  const long double value = EvaluateAt(formula, t);
  EXPECT_EQ(CalcError, 0) << formula;
  EXPECT_EQ(static_cast<double>(value), expected) << formula << " at t=" << t;
}

void ExpectFailure(const std::string& formula, double t = 0) {
  CalcError = 0;
  const long double value = EvaluateAt(formula, t);
  EXPECT_NE(CalcError, 0) << formula;
  EXPECT_EQ(value, 0.0L) << formula;
}

bool SameBits(long double a, long double b) { return std::memcmp(&a, &b, 10) == 0; }

// The compiled formula gives the text evaluator's value bits and status.
void ExpectCompiledMatches(const CompiledFormula& compiled, const std::string& formula, double t) {
  const long double expected = EvaluateAt(formula, t);
  const int32_t status = CalcError;
  CalcError = -1;
  const long double value = compiled.Evaluate(t);
  ASSERT_TRUE(SameBits(value, expected) && CalcError == status)
      << formula << " at t=" << t << ": " << value << " (" << CalcError << "), text " << expected << " (" << status
      << ")";
}

// A formula of the evaluator's grammar, with its odd corners: juxtaposed
// terms, signs before anything, E exponents and numbers with a point only.
std::string RandomFormula(std::mt19937& random, int depth) {
  static const char* const numbers[] = {"0",   "1",    "2",     "10", "0.5", "2.25",
                                        "1E5", "1E-5", "3E200", ".5", "5.",  "0.000000005"};
  static const char* const operators[] = {"+", "-", "*", "/", "^", "%", "--", "+-"};
  static const char* const functions[] = {"sin", "cos", "ln", "lg", "tg", "2sin", "-ln"};
  switch (random() % (depth > 3 ? 4 : 13)) {
    case 0:
    case 1:
      return "t";
    case 2:
      return numbers[random() % std::size(numbers)];
    case 3:
      return random() % 2 ? "pi" : "e";
    case 4:
    case 5:
      return RandomFormula(random, depth + 1) + operators[random() % std::size(operators)] +
             RandomFormula(random, depth + 1);
    case 6:
    case 7:
      return std::string(functions[random() % std::size(functions)]) + "(" + RandomFormula(random, depth + 1) + ")";
    case 8:
      return "(" + RandomFormula(random, depth + 1) + ")";
    case 9:
      return "-" + RandomFormula(random, depth + 1);
    case 10:
      return RandomFormula(random, depth + 1) + RandomFormula(random, depth + 1);
    default:
      return RandomFormula(random, depth + 1) + "*(" + RandomFormula(random, depth + 1) + ")";
  }
}

}  // namespace

TEST(Calc, OperatorsApplyOneKindAtATimeThroughEightDecimals) {
  ExpectValue("1+2", 3);
  ExpectValue("1/3*3", 0.99999999);  // 1/3 becomes 0.33333333 first
  ExpectValue("2-3*4", -10);         // the "_" is the sign of 3
  ExpectValue("5-2+1", 4);
  ExpectValue("2^3^2", 64);  // from the left
  ExpectValue("8/2/2", 2);
  ExpectValue("-2^2", 4);  // the sign belongs to the left operand
  ExpectValue("10%50", 5);
  ExpectValue("0^5", 1);
  ExpectValue("0^0", 1);
  ExpectValue("(-2)^(-3)", 0.125);  // remainder of -3 by 2 is -1: no sign
  ExpectValue("(-2)^3", -8);
  ExpectValue("(-8)^(1/3)", 1.99999999);  // round(0.33333333) is even
  ExpectValue("lg(100)", 2);
  ExpectValue("lg(1000)", 3);
  ExpectValue("2*(3+4)", 14);
  ExpectValue("((2+3)*(4-1))/5", 3);
  ExpectValue("5--3", 8);   // "--" becomes "+"
  ExpectValue("5---3", 2);  // "+-" then "+_3"
  ExpectValue("1++2", 3);
  ExpectValue("--5", 5);
  ExpectValue("-5", -5);
  ExpectValue("2/3", 0.66666667);
  ExpectValue("cos(0)+sin(0)", 1);
  // The left operand swallows a subtraction sign; a negative zero keeps it.
  ExpectValue("5-0*1", 5);
  ExpectValue("5-2*-3", 56);
  ExpectValue("99999999999999999999*99999999999999999999", 1e40);
}

TEST(Calc, FunctionsAbsorbWhatStandsBeforeThem) {
  ExpectValue("sin(t)", 0, 0);
  ExpectValue("2sin(0)", 0);          // the 2 disappears
  ExpectValue("-ln(2)", 0.69314718);  // so does the sign
  ExpectValue("3+2cos(0)", 4);
  ExpectValue("sin(pi/2)", 1);
  ExpectValue("ln(e)", 1);
}

TEST(Calc, ConstantsBlanksAndExponents) {
  ExpectValue("pi", 3.14159265);
  ExpectValue("e", 2.71828183);
  ExpectValue("1e5", 12.718281835);  // e between the digits
  ExpectValue("1E5", 100000);
  ExpectValue("1E-2", 0.01);
  ExpectValue(" 1 +  2 ", 3);
  ExpectValue("2 * p i", 6.2831853);
  ExpectValue("1.5", 1.5);
  ExpectValue(".5*2", 1);
}

TEST(Calc, TIsSubstitutedAsANumberText) {
  ExpectValue("1/10*t", 0, 0);
  ExpectValue("1/10*t", 0.5, 5);
  ExpectValue("1/10*t", -0.1, -1);
  ExpectValue("2-t", 3, -1);  // "2-_1" subtracts a negative number
  ExpectValue("t-1", -2, -1);
  ExpectValue("t*t", 10000, 100);
  ExpectValue("t", 0.12345679, 0.123456789);                        // eight decimals
  ExpectValue("1+2", 3, std::numeric_limits<double>::quiet_NaN());  // no t, t unused
  ExpectFailure("t", std::numeric_limits<double>::quiet_NaN());
  ExpectFailure("t+1", std::numeric_limits<double>::infinity());
  ExpectFailure("t*t", 1e300);  // beyond the double range
  // A 55-character formula of t's at the largest t grows far beyond 255.
  const std::string many = "t" + [] {
    std::string s;
    for (int i = 0; i < 27; ++i) s += "-t";
    return s;
  }();
  ASSERT_EQ(many.size(), 55u);
  EXPECT_NEAR(static_cast<double>(EvaluateAt(many, 1e300)) / -26e300, 1.0, 1e-12);
  EXPECT_EQ(CalcError, 0);
}

TEST(Calc, BadFormulasFailWithValueZero) {
  ExpectFailure("(1+2");
  ExpectFailure("1+2)");
  ExpectFailure(")(");
  ExpectFailure("tg(1)");  // its "t" is replaced like any other
  ExpectFailure("ctg(1)");
  ExpectFailure("ln(t)", 0);
  ExpectFailure("ln(-1)");
  ExpectFailure("lg(0)");
  ExpectFailure("1/0");
  ExpectFailure("1/(1-1)");
  ExpectFailure("2*(1/0)");  // a failed parenthesis ends the whole evaluation
  ExpectFailure("");
  ExpectFailure("   ");
  ExpectFailure("()");
  ExpectFailure("1+");
  ExpectFailure("+");
  ExpectFailure("*2");
  ExpectFailure("2**3");
  ExpectFailure("x");
  ExpectFailure("p");
  ExpectFailure("sin");
  ExpectFailure("1E400");
  ExpectFailure("1E5+1");  // becomes 1E6.00000000, which is no number
  ExpectFailure("1E200*1E200*1E200");
  ExpectFailure("\xff\xfe+1");
  ExpectFailure(std::string("1\0+2", 4));
  // A good evaluation clears the status again.
  EXPECT_EQ(static_cast<double>(EvaluateAt("2+2", 0)), 4.0);
  EXPECT_EQ(CalcError, 0);
}

TEST(Calc, ParenthesesAtAnyPositionAndDepth) {
  // Matching parentheses beyond position 255 are found like any other.
  std::string wide = "1";
  for (int i = 0; i < 70; ++i) wide += "+(1)";
  ASSERT_GT(wide.size(), 255u);
  ExpectValue(wide, 71);
  std::string padded = "(" + std::string(300, ' ') + "1+1)";
  ExpectValue(padded, 2);

  const auto nested = [](int levels) { return std::string(levels, '(') + "1+1" + std::string(levels, ')'); };
  ExpectValue(nested(200), 2);
  ExpectValue(nested(255), 2);
  ExpectFailure(nested(256));  // deeper than the evaluator handles
  ExpectFailure(nested(100000));
  ExpectFailure(std::string(5000, '('));
  ExpectFailure(std::string(5000, ')'));
}

TEST(Calc, TextToNumberReportsTheFirstOffendingPosition) {
  EXPECT_EQ(TextToNumber("12.5"), 12.5);
  EXPECT_EQ(CalcError, 0);
  EXPECT_EQ(TextToNumber("_2.00000000"), -2.0);  // "_" is the minus sign
  EXPECT_EQ(TextToNumber("+7"), 7.0);
  EXPECT_EQ(TextToNumber("5."), 5.0);
  EXPECT_EQ(TextToNumber(".25"), 0.25);
  EXPECT_EQ(TextToNumber("1E3"), 1000.0);
  EXPECT_EQ(TextToNumber("2.5E-1"), 0.25);
  EXPECT_EQ(TextToNumber("1E+2"), 100.0);
  EXPECT_EQ(CalcError, 0);
  EXPECT_EQ(TextToNumber("1E-400"), 0.0);  // too small reads as zero
  EXPECT_EQ(CalcError, 0);

  const auto status = [](std::string_view text) {
    const double value = TextToNumber(text);
    EXPECT_EQ(value, 0.0) << text;
    return CalcError;
  };
  EXPECT_EQ(status(""), 1);
  EXPECT_EQ(status("x"), 1);
  EXPECT_EQ(status("+"), 2);
  EXPECT_EQ(status("12x"), 3);
  EXPECT_EQ(status("1.2.3"), 4);
  EXPECT_EQ(status("1E"), 3);
  EXPECT_EQ(status("1E+"), 4);
  EXPECT_EQ(status("1e5"), 2);  // only "E" writes an exponent
  EXPECT_EQ(status("1_2"), 2);  // only the first "_" is a sign
  EXPECT_EQ(status("__1"), 2);
  EXPECT_EQ(status(" 1"), 1);
  EXPECT_EQ(status("."), 2);
  EXPECT_EQ(status("1E400"), 1);  // beyond the double range
  EXPECT_EQ(status("_1E400"), 1);
  EXPECT_EQ(status("1E99999999999999999999"), 1);
  EXPECT_EQ(status(std::string(400, '9')), 1);
}

TEST(Calc, NumberTextHasEightDecimalsAndUnderscoreSign) {
  EXPECT_EQ(NumberToText(0.5L), "0.50000000");
  EXPECT_EQ(NumberToText(-2.0L), "_2.00000000");
  EXPECT_EQ(NumberToText(0.0L), "0.00000000");
  EXPECT_EQ(NumberToText(1.0L / 3), "0.33333333");
  EXPECT_EQ(NumberToText(2.0L / 3), "0.66666667");
  EXPECT_EQ(NumberToText(2.7182818285L), "2.71828183");
  EXPECT_EQ(NumberToText(3.1415926536L), "3.14159265");
  EXPECT_EQ(NumberToText(-1e-12L), "_0.00000000");
  EXPECT_EQ(NumberToText(123456789.0L), "123456789.00000000");
  EXPECT_EQ(NumberToText(1e20L), "100000000000000000000.00000000");
  // Exact ties at the eighth decimal go to the even digit, as the C library rounds.
  EXPECT_EQ(NumberToText(0.001953125L), "0.00195312");
  EXPECT_EQ(NumberToText(-0.005859375L), "_0.00585938");
  EXPECT_EQ(NumberToText(-0.0L), "_0.00000000");
  // Every scale the fast formatting covers and the ones beyond it, against the C library.
  std::mt19937_64 random(5);
  for (int i = 0; i < 200000; ++i) {
    const long double x =
        std::ldexp(static_cast<long double>(random() | uint64_t{1} << 63), static_cast<int>(random() % 140) - 160) *
        (i % 2 == 0 ? 1 : -1);
    char expected[400];
    std::snprintf(expected, sizeof expected, "%.8Lf", x);
    std::string text = expected;
    if (text[0] == '-') text[0] = '_';
    ASSERT_EQ(NumberToText(x), text) << i;
    // The value the text reads back as, found without the text; up to the
    // double range on every eighth round.
    const double back = TextToNumber(text), found = EightDecimalValue(x);
    ASSERT_EQ(std::memcmp(&back, &found, sizeof back), 0) << text;
    if (i % 8 == 0) {
      const long double wide = std::ldexp(std::fabs(x), static_cast<int>(random() % 1020)) * (i % 16 == 0 ? 1 : -1);
      if (std::fabs(wide) > DBL_MAX) continue;
      const double read = TextToNumber(NumberToText(wide)), computed = EightDecimalValue(wide);
      ASSERT_EQ(std::memcmp(&read, &computed, sizeof read), 0) << NumberToText(wide);
    }
  }
}

TEST(Calc, MatchingParenAndPower) {
  // from is where the "(" just deleted stood.
  EXPECT_EQ(MatchingParen("1+2)", 1), 4);
  EXPECT_EQ(MatchingParen("(1)+2)*3", 1), 6);
  EXPECT_EQ(MatchingParen("a(b)c)", 2), 6);
  EXPECT_EQ(MatchingParen("((1)", 1), 0);
  EXPECT_EQ(MatchingParen("", 1), 0);
  EXPECT_EQ(MatchingParen("1)", 0), 0);
  EXPECT_EQ(MatchingParen("1)", 5), 0);
  const std::string far = std::string(300, '1') + ")";
  EXPECT_EQ(MatchingParen(far, 1), 301);
  const std::string deep = std::string(300, '(') + std::string(301, ')');
  EXPECT_EQ(MatchingParen(deep, 1), 601);

  EXPECT_EQ(Power(5, 0), 1.0L);
  EXPECT_EQ(Power(-1, 0), 1.0L);
  EXPECT_NEAR(static_cast<double>(Power(3, 2)), 8.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(Power(3, -2)), -8.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(Power(2, -3)), 9.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(Power(-3, -2)), 0.125, 1e-15);
  EXPECT_NEAR(static_cast<double>(Power(2.6L, -2)), -std::pow(2.0, 2.6), 1e-12);  // round(2.6) is 3
  EXPECT_NEAR(static_cast<double>(Power(0.5L, 4)), 2.0, 1e-15);
  // 2^(b log2|a|) is NaN where pow would answer 1: 1^inf, inf^0, 1^NaN.
  EXPECT_TRUE(std::isnan(Power(INFINITY, 1)));
  EXPECT_TRUE(std::isnan(Power(0, INFINITY)));
  EXPECT_TRUE(std::isnan(Power(NAN, -1)));
}

TEST(Calc, FormulaValueReadsTheCountedText) {
  CountedText<55> formula{};
  formula.Set("1+2*t");
  EXPECT_EQ(static_cast<double>(FormulaValue(formula, 55, 2)), 5.0);
  EXPECT_EQ(static_cast<double>(FormulaValue(formula, 3, 2)), 3.0);  // cut to "1+2"
  formula.length = 200;                                              // a damaged length byte reads as the capacity
  std::memset(formula.chars + 5, ' ', 50);
  EXPECT_EQ(static_cast<double>(FormulaValue(formula, 255, 2)), 5.0);
  EXPECT_EQ(CalcError, 0);
  FormulaValue(formula, 0, 2);
  EXPECT_NE(CalcError, 0);
}

TEST(Calc, CompiledFormulaMatchesTheTextEvaluator) {
  // t at zero of either sign, at ties of the eighth decimal, at values that
  // round to -0, beyond 2^53 / 10^8 and 2^37 (the wide roundings), near the
  // double range and beyond the finite ones.
  const double ts[] = {0,           -0.0,           1,        -1,    0.5,    -2.5,  3,       100,
                       0.001953125, -0.005859375,   5e-9,     -4e-9, 1.5e-8, 1e-12, -1e-300, 9.1e7,
                       -1.5e9,      137438953472.5, 1e15,     -3e17, 1e20,   1e300, -1e300,  3.7e37,
                       NAN,         INFINITY,       -INFINITY};
  const char* const formulas[] = {
      // What users write: every operator and function, the constants.
      "3000*sin(2*pi*t/100)", "1/10*t", "sin(t)*100+ln(t+1)", "((t-1)*(2+(t/3)))+e^2", "t^2-3*t+1",
      "e^(-t/1000)*cos(t)", "lg(t)", "t%50", "2^t", "t/(t-1)", "ln(-t)", "(-2)^t", "t^(1/3)", "1E200*t*t",
      // Signs: where a "_" written by t or a result changes the reading.
      "-t", "1-2*t", "-(t)", "--t", "5---t", "t-t", "2*-t", "(1-t)^2", "-t^2", "t*-1", "10-t*t",
      // Texts that read t's digits with others, or fail whatever t is.
      "2t", "t2", "(t)(t)", "tE2", "t.5", "tg(t)", "(t", "t+", "sin", "1/0+t"};
  for (const char* formula : formulas) {
    CompiledFormula compiled;
    compiled.Compile(formula);
    for (const double t : ts) ExpectCompiledMatches(compiled, formula, t);
    for (int i = -300; i <= 300; ++i) ExpectCompiledMatches(compiled, formula, i / 7.0);
  }
  // The usual formulas follow the text rules without any text.
  for (const char* formula : {"3000*sin(2*pi*t/100)", "sin(t)*100+ln(t+1)", "((t-1)*(2+(t/3)))+e^2", "-t", "1/(t-1)"}) {
    CompiledFormula compiled;
    compiled.Compile(formula);
    EXPECT_EQ(compiled.TextBranches(), 0) << formula;
    EXPECT_FALSE(compiled.EvaluatesText()) << formula;
  }

  std::mt19937 random(39);
  for (int round = 0; round < 3000; ++round) {
    const std::string formula = RandomFormula(random, 0);
    CompiledFormula compiled;
    compiled.Compile(formula);
    for (int i = 0; i < 8; ++i) {
      const double t =
          i < 2 ? ts[random() % std::size(ts)]
                : std::ldexp(static_cast<double>(static_cast<int32_t>(random())), -static_cast<int>(random() % 40));
      ExpectCompiledMatches(compiled, formula, t);
    }
  }
}

TEST(Calc, RandomTextsNeverMisbehave) {
  std::mt19937 random(20261207);
  const std::string alphabet = "0123456789.+-*/^%()tepisncolgE_ \xff";
  for (int round = 0; round < 20000; ++round) {
    const int length = static_cast<int>(random() % 60);
    std::string text;
    for (int i = 0; i < length; ++i) {
      text += random() % 8 == 0 ? static_cast<char>(random() % 256) : alphabet[random() % alphabet.size()];
    }
    const double t = static_cast<double>(static_cast<int>(random() % 2001) - 1000) / 7;
    const long double value = EvaluateAt(text, t);
    if (CalcError != 0) {
      ASSERT_EQ(value, 0.0L) << text;
    } else {
      ASSERT_TRUE(std::isfinite(value)) << text;
      ASSERT_LE(std::fabs(static_cast<double>(value)), DBL_MAX) << text;
    }
    // The same text gives the same answer: no hidden state between calls.
    const int32_t status = CalcError;
    ASSERT_EQ(EvaluateAt(text, t), value) << text;
    ASSERT_EQ(CalcError, status) << text;
    CompiledFormula compiled;
    compiled.Compile(text);
    ExpectCompiledMatches(compiled, text, t);
  }
}
