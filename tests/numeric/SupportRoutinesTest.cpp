#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "framework/Errors.h"
#include "numeric/Calc.h"
#include "numeric/SupportRoutines.h"
#include "support/ChartConversions.h"

namespace {

std::vector<std::string> g_shown;

void Capture(int32_t severity, const char* text, void*) { g_shown.push_back(std::to_string(severity) + ":" + text); }

class CheckFormulaTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shown.clear();
    SetHostMessageHandler(Capture, nullptr);
  }
  void TearDown() override { SetHostMessageHandler(nullptr, nullptr); }
};

CountedText<55> Formula(std::string_view text) {
  CountedText<55> f{};
  f.Set(text);
  return f;
}

std::string ThrownText(std::string_view digits, int from, int to) {
  try {
    ConvertBase(digits, from, to);
  } catch (const std::runtime_error& e) {
    return e.what();
  }
  return "no exception";
}

}  // namespace

TEST_F(CheckFormulaTest, GoodFormulasPassSilently) {
  for (const char* text : {"1+2", "1/10*t", "sin(t)", "ln(t+1)", "t^2-3*t"}) {
    auto f = Formula(text);
    EXPECT_TRUE(CheckFormula(f, 55)) << text;
    EXPECT_EQ(f.View(), text);
  }
  EXPECT_TRUE(g_shown.empty());
}

TEST_F(CheckFormulaTest, FailureShowsMessage15OnceAndLeavesErr) {
  auto f = Formula("ln(t)");  // fails at t = 0
  EXPECT_FALSE(CheckFormula(f, 55));
  EXPECT_EQ(f.View(), "Err");
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].rfind("0:RIR Eda Err:ln(t) - The formula is entered incorrectly", 0), 0u) << g_shown[0];

  // Fails only at t = 100: every t of 0..100 is tried.
  g_shown.clear();
  f = Formula("1/(t-100)");
  EXPECT_FALSE(CheckFormula(f, 55));
  EXPECT_EQ(g_shown.size(), 1u);
  f = Formula("1/(t-101)");
  EXPECT_TRUE(CheckFormula(f, 55));

  // "Err" is cut to the maximum length.
  f = Formula("(1");
  EXPECT_FALSE(CheckFormula(f, 2));
  EXPECT_EQ(f.View(), "Er");
  EXPECT_EQ(f.length, 2);

  Language = "RUSSIAN";
  g_shown.clear();
  f = Formula("x");
  EXPECT_FALSE(CheckFormula(f, 55));
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_NE(g_shown[0].find("Формула введена неправильно"), std::string::npos);
  Language.clear();
}

TEST(SupportRoutines, ConvertBase) {
  EXPECT_EQ(ConvertBase("255", 10, 16), "FF");
  EXPECT_EQ(ConvertBase("ff", 16, 10), "255");  // letters of either case
  EXPECT_EQ(ConvertBase("Ff", 16, 2), "11111111");
  EXPECT_EQ(ConvertBase("101101", 2, 8), "55");
  EXPECT_EQ(ConvertBase("101101", 2, 16), "2D");
  EXPECT_EQ(ConvertBase("0010", 2, 10), "2");  // no leading zeros
  EXPECT_EQ(ConvertBase("0", 10, 2), "0");
  EXPECT_EQ(ConvertBase("000", 10, 16), "0");
  EXPECT_EQ(ConvertBase("Z", 36, 10), "35");
  EXPECT_EQ(ConvertBase("18446744073709551616", 10, 16), "10000000000000000");  // beyond 64 bits
  EXPECT_EQ(ConvertBase("abc!", 16, 16), "abc!");                               // equal bases: unchanged
  // Bases above 36 use the byte values as digits.
  EXPECT_EQ(ConvertBase("256", 10, 256), std::string("\x01\x00", 2));
  EXPECT_EQ(ConvertBase(std::string("\x01\x00", 2), 256, 10), "256");
  EXPECT_EQ(ConvertBase("\x03\x02", 40, 10), "122");

  EXPECT_EQ(ThrownText("1", 1, 10), "Invalid system range");
  EXPECT_EQ(ThrownText("1", 10, 257), "Invalid system range");
  EXPECT_EQ(ThrownText("1", 0, 0), "Invalid system range");
  EXPECT_EQ(ThrownText("", 10, 2), "Invalid value");
  EXPECT_EQ(ThrownText("12-3", 10, 2), "Invalid value");
  EXPECT_EQ(ThrownText("\xff", 10, 2), "Invalid value");
  EXPECT_EQ(ThrownText("", 256, 2), "Invalid value");
  // A digit not below the base aborts silently: no runtime_error text to show.
  EXPECT_THROW(ConvertBase("12", 2, 10), ConversionAborted);
  EXPECT_THROW(ConvertBase("G", 16, 10), ConversionAborted);
  EXPECT_THROW(ConvertBase("\x50", 40, 10), ConversionAborted);
}

TEST(SupportRoutines, DecimalToBinaryText) {
  EXPECT_EQ(DecimalToBinaryText("-3", 4), "1101");
  EXPECT_EQ(DecimalToBinaryText("6", 8), "110");  // no padding when not negative
  EXPECT_EQ(DecimalToBinaryText("", 8), "");
  EXPECT_EQ(DecimalToBinaryText("-1", 8), "11111111");
  EXPECT_EQ(DecimalToBinaryText("-128", 8), "10000000");
  EXPECT_EQ(DecimalToBinaryText("-0", 4), "0000");  // the carry runs off the top
  EXPECT_EQ(DecimalToBinaryText("-9", 2), "0111");  // wider than width: not cut
  EXPECT_EQ(DecimalToBinaryText("-5", 0), "011");
  EXPECT_THROW(DecimalToBinaryText("-", 8), std::runtime_error);
  EXPECT_THROW(DecimalToBinaryText("+5", 8), std::runtime_error);
}

TEST(SupportRoutines, Int64Helpers) {
  int64_t v = 41;
  IncrementInt64(v);
  EXPECT_EQ(v, 42);
  v = -1;
  IncrementInt64(v);
  EXPECT_EQ(v, 0);
  v = INT64_MAX;
  IncrementInt64(v);
  EXPECT_EQ(v, INT64_MIN);  // wraps
  EXPECT_EQ(AbsInt64(-5), 5);
  EXPECT_EQ(AbsInt64(5), 5);
  EXPECT_EQ(AbsInt64(0), 0);
  EXPECT_EQ(AbsInt64(INT64_MIN + 1), INT64_MAX);
  EXPECT_EQ(AbsInt64(INT64_MIN), INT64_MAX);  // nearest representable magnitude
}
