#include "Calc.h"

#include <algorithm>
#include <array>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cfenv>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#include "EightDecimals.h"
#include "signal/math/Math.h"

int32_t CalcError = 0;

const char* const CalcOps[12] = {"sin", "cos", "tg", "ctg", "^", "%", "ln", "lg", "/", "*", "+", "_"};

namespace {

constexpr size_t kMaxText = kCalcMaxText;
constexpr int kMaxDepth = kCalcMaxDepth;
constexpr long kMaxApplications = kCalcMaxApplications;

static_assert(static_cast<size_t>(kCalcOpCount) == std::size(CalcOps));

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDigitOrDot(char c) { return IsDigit(c) || c == '.'; }
bool IsOperandChar(char c) { return IsDigitOrDot(c) || c == '_'; }

// A number text of a value within the double range: sign, 309 integer
// digits, point and eight decimals.
constexpr size_t kNumberTextCapacity = 400;
// Working texts start this large, so the usual formulas never grow them;
// one grown far beyond it by a huge text is given back afterwards.
constexpr size_t kWorkingCapacity = 1024;
constexpr size_t kKeptCapacity = 16 * kWorkingCapacity;

struct Evaluation {
  long applications = 0;
  int deepest = 0;  // deepest parenthesis level reached
};

// x with eight decimals, as "%.8Lf" writes it in the default rounding mode
// but with "_" for the minus sign, into out (at most 22 characters); 0 when
// x is not a finite value below 2^37 in magnitude or another rounding mode
// is set (the caller then formats with the C library). Each intermediate
// result of a formula passes through here, and the C library's exact
// decimal arithmetic was most of an evaluation's cost.
size_t FixedEightDecimals(long double x, char* out) {
  uint64_t n = 0;
  if (!ScaledEightDecimals(x, n)) return 0;
  constexpr uint64_t kScale = 100000000;
  char* end = out;
  if (std::signbit(x)) *end++ = '_';
  end = std::to_chars(end, end + 20, n / kScale).ptr;
  *end++ = '.';
  // The decimals with their leading zeros: 10^8 + d has nine digits.
  char decimals[9];
  std::to_chars(decimals, decimals + 9, n % kScale + kScale);
  std::memcpy(end, decimals + 1, 8);
  return static_cast<size_t>(end + 8 - out);
}

// The number text of x, formatted in place. Every value formatted here is
// finite and at most DBL_MAX in magnitude, so it fits.
class NumberText {
 public:
  NumberText() = default;
  explicit NumberText(long double x) { Format(x); }
  void Format(long double x) {
    size_ = FixedEightDecimals(x, chars_);
    if (size_ > 0) return;
    const int n = std::snprintf(chars_, sizeof chars_, "%15.8Lf", x);
    const size_t written = n > 0 ? std::min(static_cast<size_t>(n), sizeof chars_ - 1) : 0;
    for (size_t i = 0; i < written; ++i) {
      const char c = chars_[i];
      if (c == ' ') continue;
      chars_[size_++] = c == '-' ? '_' : c;
    }
  }
  std::string_view View() const { return std::string_view(chars_, size_); }

 private:
  char chars_[kNumberTextCapacity];
  size_t size_ = 0;
};

// Texts reused from one evaluation to the next, so that evaluating on every
// block step allocates nothing once they have grown.
struct Workspace {
  Workspace() { text.reserve(kWorkingCapacity); }
  std::string text;                              // the whole formula
  std::array<std::string, kMaxDepth + 1> inner;  // the parenthesised text at each level

  void Trim(int deepest) {
    if (text.capacity() > kKeptCapacity) {
      std::string().swap(text);
      text.reserve(kWorkingCapacity);
    }
    for (int level = 1; level <= deepest; ++level)
      if (inner[level].capacity() > kKeptCapacity) std::string().swap(inner[level]);
  }
};

Workspace& ThreadWorkspace() {
  static thread_local Workspace workspace;
  return workspace;
}

bool Fail() {
  CalcError = 1;
  return false;
}

bool Converts(std::string_view text) {
  TextToNumber(text);
  return CalcError == 0;
}

void ReplaceAll(std::string& text, std::string_view what, std::string_view with) {
  size_t from = 0;
  while ((from = text.find(what, from)) != std::string::npos) {
    text.replace(from, what.size(), with);
    from += with.size();
  }
}

// Replaces `what` until none is left; the replacement is shorter, so it ends.
void CollapseAll(std::string& text, std::string_view what, std::string_view with) {
  size_t at;
  while ((at = text.find(what)) != std::string::npos) text.replace(at, what.size(), with);
}

long double Compute(int op, long double a, long double b) {
  switch (op) {
    case opSin:
      return math::Sin(b);
    case opCos:
      return math::Cos(b);
    case opTan:
      return math::Sin(b) / math::Cos(b);
    case opCot:
      return math::Cos(b) / math::Sin(b);  // unreachable: every "t" is gone by now
    case opPower:
      return Power(b, a);
    case opPercent:
      return a * b / 100;
    case opLn:
      return math::Log(b);
    case opLg:
      return math::Log(b) / math::Log(10.0L);
    case opDivide:
      return a / b;
    case opMultiply:
      return a * b;
    case opAdd:
      return a + b;
    default:  // opSubtract
      return a - b;
  }
}

// Applies operator `op` found at index q of sub, replacing it and its
// operands by the number text of the result. False stops the evaluation.
bool Apply(std::string& sub, int op, size_t q) {
  const size_t len = std::char_traits<char>::length(CalcOps[op]);
  const bool isFunction = len > 1;

  // Left operand: the digit run before the operator, with one "_" as its sign.
  size_t left = q;
  while (left > 0 && IsDigitOrDot(sub[left - 1])) --left;
  if (left > 0 && sub[left - 1] == '_') --left;
  const long double a = TextToNumber(std::string_view(sub).substr(left, q - left));
  if (CalcError != 0 && op >= opDivide) return false;

  // Right operand: the digit run after the operator, "_" only as its first character.
  const size_t end = q + len;
  long double b;
  size_t right;  // index of the operand's last character
  if (end >= sub.size()) {
    // Nothing follows; the operator's own last character never converts.
    b = TextToNumber(std::string_view(sub).substr(sub.size() - 1));
    right = 0;
  } else {
    size_t r = end;
    if (sub[r] == '_') ++r;
    while (r < sub.size() && IsDigitOrDot(sub[r])) ++r;
    b = TextToNumber(std::string_view(sub).substr(end, r - end));
    right = r > 0 ? r - 1 : 0;
  }
  if (CalcError != 0) {
    sub.clear();
    return false;
  }

  if (!isFunction && !IsOperandChar(sub[left])) return Fail();
  if (!IsOperandChar(sub[right]) || right < left) return Fail();

  long double result;
  if (!ApplyOperator(op, a, b, result)) return Fail();
  sub.replace(left, right - left + 1, NumberText(result).View());
  return sub.size() <= kMaxText || Fail();
}

// Rewrites sub in place into the number text of its value. On failure sub
// holds whatever was left and CalcError is set; the whole evaluation ends.
bool EvaluateSegment(std::string& sub, int depth, Workspace& work, Evaluation& evaluation) {
  ReplaceAll(sub, "e", CalcConstantText('e'));
  ReplaceAll(sub, "pi", CalcConstantText('p'));
  if (sub.size() > kMaxText) return Fail();

  CalcError = 0;
  if (Converts(sub)) return true;

  // Parentheses, innermost results first, from the left.
  size_t p;
  while ((p = sub.find('(')) != std::string::npos) {
    sub.erase(p, 1);
    const int q = MatchingParen(sub, static_cast<int>(p) + 1);
    if (q == 0 || q < static_cast<int>(p) + 1) return Fail();
    const size_t close = static_cast<size_t>(q) - 1;
    sub.erase(close, 1);
    if (depth >= kMaxDepth) return Fail();
    std::string& inner = work.inner[static_cast<size_t>(depth) + 1];
    if (inner.capacity() < kWorkingCapacity) inner.reserve(kWorkingCapacity);
    inner.assign(sub, p, close - p);
    evaluation.deepest = std::max(evaluation.deepest, depth + 1);
    sub.erase(p, close - p);
    if (!inner.empty() && inner.front() == '-') inner.front() = '_';
    if (!EvaluateSegment(inner, depth + 1, work, evaluation)) return false;
    sub.insert(p, inner);
    if (sub.size() > kMaxText) return Fail();
  }

  CollapseAll(sub, "--", "+");
  CollapseAll(sub, "++", "+");

  for (;;) {
    for (char& c : sub)
      if (c == '-') c = '_';
    bool applied = false;
    for (int op = 0; op < kCalcOpCount; ++op) {
      for (;;) {
        // A leading "_" is a sign, not a subtraction. An operator that is
        // not there spares the number check: it stops either way.
        const size_t q = op == opSubtract ? sub.find('_', 1) : sub.find(CalcOps[op]);
        if (q == std::string::npos || Converts(sub)) break;
        if (!Apply(sub, op, q)) return false;
        applied = true;
        if (++evaluation.applications > kMaxApplications) return Fail();
      }
    }
    if (Converts(sub)) return true;
    if (!applied) return Fail();
  }
}

}  // namespace

bool ApplyOperator(int op, long double a, long double b, long double& result) {
  if ((op == opLn || op == opLg) && !(b > 0)) return false;
  if (op == opDivide && b == 0) return false;
  result = Compute(op, a, b);
  // No later conversion could read a result beyond the double range.
  return std::isfinite(result) && fabsl(result) <= DBL_MAX;
}

bool OperatorReadsLeft(int op) { return op == opPower || op == opPercent || op >= opDivide; }

const std::string& CalcConstantText(char name) {
  static const std::string kE = NumberToText(2.7182818285L);
  static const std::string kPi = NumberToText(3.1415926536L);
  return name == 'e' ? kE : kPi;
}

std::string_view FormulaText(const CountedText<kRecordTextLength>& formula, int maxLength) {
  const std::string_view text = formula.View();
  if (maxLength < static_cast<int>(text.size()))
    return text.substr(0, maxLength > 0 ? static_cast<size_t>(maxLength) : 0);
  return text;
}

double TextToNumber(std::string_view text) {
  // The first "_" reads as "-"; the text itself is not copied. The scan
  // below reads the text from its start without gaps, so the first "_" it
  // meets is the text's first, and a text that fails early is not searched
  // to its end (the evaluator tries whole formulas as numbers).
  size_t underscore = std::string_view::npos;
  const auto at = [&](size_t index) {
    const char c = text[index];
    if (c != '_' || (underscore != std::string_view::npos && underscore != index)) return c;
    underscore = index;
    return '-';
  };

  const size_t n = text.size();
  size_t i = 0;
  const auto failAt = [](size_t index) {
    CalcError = static_cast<int32_t>(index + 1);
    return 0.0;
  };
  bool negative = false;
  if (i < n && (at(i) == '+' || at(i) == '-')) negative = at(i++) == '-';
  const size_t mantissa = i;
  size_t digits = 0;
  while (i < n && IsDigit(at(i))) ++i, ++digits;
  if (i < n && at(i) == '.') {
    ++i;
    while (i < n && IsDigit(at(i))) ++i, ++digits;
  }
  if (digits == 0) return failAt(i);
  const size_t mantissaEnd = i;
  long exponent = 0;
  if (i < n && at(i) == 'E') {
    ++i;
    bool negativeExponent = false;
    if (i < n && (at(i) == '+' || at(i) == '-')) negativeExponent = at(i++) == '-';
    if (i >= n || !IsDigit(at(i))) return failAt(i);
    while (i < n && IsDigit(at(i))) {
      if (exponent < 100000000) exponent = exponent * 10 + (at(i) - '0');
      ++i;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (i != n) return failAt(i);

  // A "_" past the sign can only be the exponent's sign; only then does the
  // converter need a copy that spells it "-".
  const char* data = text.data();
  if (underscore != std::string_view::npos && underscore >= mantissa) {
    static thread_local std::string spelled;
    spelled.assign(text);
    spelled[underscore] = '-';
    data = spelled.data();
  }

  double value = 0;
  const char* first = data + mantissa;
  const auto [ptr, ec] = std::from_chars(first, data + n, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too small reads as zero; too large is not a number of this range.
    long order = exponent;
    size_t k = mantissa;
    long integerDigits = 0;
    while (k < mantissaEnd && IsDigit(at(k))) ++k, ++integerDigits;
    size_t firstNonZero = mantissa;
    while (firstNonZero < mantissaEnd && (at(firstNonZero) == '0' || at(firstNonZero) == '.')) ++firstNonZero;
    long position = static_cast<long>(firstNonZero - mantissa);                  // digits and dot before it
    if (static_cast<long>(firstNonZero - mantissa) > integerDigits) --position;  // skip the dot
    order += integerDigits - 1 - position;
    if (order >= 0) return failAt(0);
    value = 0;
  } else if (ec != std::errc() || ptr != data + n) {
    return failAt(static_cast<size_t>(ptr - data));
  }
  CalcError = 0;
  return negative ? -value : value;
}

std::string NumberToText(long double x) {
  char fixed[32];
  if (const size_t n = FixedEightDecimals(x, fixed); n > 0) return std::string(fixed, n);
  const int size = std::snprintf(nullptr, 0, "%15.8Lf", x);
  std::string text(static_cast<size_t>(size > 0 ? size : 0) + 1, '\0');
  std::snprintf(text.data(), text.size(), "%15.8Lf", x);
  text.resize(text.size() - 1);
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    if (c == ' ') continue;
    result.push_back(c == '-' ? '_' : c);
  }
  return result;
}

int MatchingParen(std::string_view text, int from) {
  if (from < 1) return 0;
  int depth = 1;
  for (size_t i = static_cast<size_t>(from) - 1; i < text.size(); ++i) {
    if (text[i] == '(') {
      ++depth;
    } else if (text[i] == ')') {
      if (--depth == 0) return static_cast<int>(i) + 1;
    }
  }
  return 0;
}

long double Power(long double b, long double a) {
  if (a == 0) return 1;
  // 2^(b log2|a|): NaN where the product is 0 * inf or has a NaN, which
  // pow would answer with 1 (|a| = 1 with b infinite or NaN, |a| infinite
  // or NaN with b = 0, b NaN).
  const long double m = fabsl(a);
  if (std::isnan(m) || std::isnan(b) || (m == 1 && std::isinf(b)) || (std::isinf(m) && b == 0)) {
    return NAN;
  }
  long double result = math::Pow(m, b);
  if (a < 0 && fmodl(nearbyintl(b), 2.0L) == 1.0L) result = -result;
  return result;
}

long double EvaluateAt(std::string_view formula, double t) {
  size_t kept = 0;
  size_t ts = 0;
  for (const char c : formula) {
    if (c == ' ') continue;
    ++kept;
    if (c == 't') ++ts;
  }
  NumberText tText;
  if (ts > 0) {
    if (!std::isfinite(t)) return Fail(), 0;
    tText.Format(t);
    if (kept + ts * (tText.View().size() - 1) > kMaxText) return Fail(), 0;
  } else if (kept > kMaxText) {
    return Fail(), 0;
  }

  Workspace& work = ThreadWorkspace();
  std::string& text = work.text;
  text.clear();
  for (const char c : formula) {
    if (c == ' ') continue;
    if (c == 't') {
      text.append(tText.View());
    } else {
      text.push_back(c);
    }
  }
  Evaluation evaluation;
  // A failed evaluation leaves nothing that converts.
  if (!EvaluateSegment(text, 0, work, evaluation)) text.clear();
  const double value = TextToNumber(text);
  const int32_t status = CalcError;
  work.Trim(evaluation.deepest);
  return status == 0 ? value : 0;
}

long double FormulaValue(const CountedText<kRecordTextLength>& formula, int maxLength, double t) {
  return EvaluateAt(FormulaText(formula, maxLength), t);
}
