#include "Calc.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <system_error>

int32_t CalcError = 0;

const char* const CalcOps[12] = {"sin", "cos", "tg", "ctg", "^", "%", "ln", "lg", "/", "*", "+", "_"};

namespace {

// Bounds that keep hostile texts cheap. A stored formula has at most 55
// characters; even with every character a "t" at the largest double each
// expands to 318 characters, well inside the text limit.
constexpr size_t kMaxText = 32768;
constexpr int kMaxDepth = 255;            // parenthesis levels
constexpr long kMaxApplications = 65536;  // operator applications per evaluation

constexpr int kOpFirstTwoOperandStop = 8;  // from "/" on a bad left operand stops
constexpr int kOpSubtract = 11;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsDigitOrDot(char c) { return IsDigit(c) || c == '.'; }
bool IsOperandChar(char c) { return IsDigitOrDot(c) || c == '_'; }

struct Evaluation {
  long applications = 0;
};

bool Fail() {
  CalcError = 1;
  return false;
}

bool Converts(const std::string& text) {
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
    case 0: return sinl(b);
    case 1: return cosl(b);
    case 2: return sinl(b) / cosl(b);
    case 3: return cosl(b) / sinl(b);  // unreachable: every "t" is gone by now
    case 4: return Power(b, a);
    case 5: return a * b / 100;
    case 6: return logl(b);
    case 7: return logl(b) / logl(10.0L);
    case 8: return a / b;
    case 9: return a * b;
    case 10: return a + b;
    default: return a - b;
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
  if (CalcError != 0 && op >= kOpFirstTwoOperandStop) return false;

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
  if ((op == 6 || op == 7) && !(b > 0)) return Fail();
  if (op == 8 && b == 0) return Fail();

  const long double result = Compute(op, a, b);
  // No later conversion could read a result beyond the double range.
  if (!std::isfinite(result) || fabsl(result) > DBL_MAX) return Fail();
  sub.replace(left, right - left + 1, NumberToText(result));
  return sub.size() <= kMaxText || Fail();
}

// Rewrites s into the number text of its value. On failure s is left empty
// (or partly consumed) and CalcError is set; the whole evaluation ends.
bool EvaluateSegment(std::string& s, int depth, Evaluation& evaluation) {
  static const std::string kE = NumberToText(2.7182818285L);
  static const std::string kPi = NumberToText(3.1415926536L);
  ReplaceAll(s, "e", kE);
  ReplaceAll(s, "pi", kPi);
  if (s.size() > kMaxText) {
    s.clear();
    return Fail();
  }

  CalcError = 0;
  std::string sub = std::move(s);
  s.clear();
  if (Converts(sub)) {
    s = std::move(sub);
    return true;
  }

  // Parentheses, innermost results first, from the left.
  size_t p;
  while ((p = sub.find('(')) != std::string::npos) {
    sub.erase(p, 1);
    const int q = MatchingParen(sub, static_cast<int>(p) + 1);
    if (q == 0 || q < static_cast<int>(p) + 1) return Fail();
    const size_t close = static_cast<size_t>(q) - 1;
    sub.erase(close, 1);
    std::string inner = sub.substr(p, close - p);
    sub.erase(p, close - p);
    if (!inner.empty() && inner.front() == '-') inner.front() = '_';
    if (depth >= kMaxDepth) return Fail();
    if (!EvaluateSegment(inner, depth + 1, evaluation)) return false;
    sub.insert(p, inner);
    if (sub.size() > kMaxText) return Fail();
  }

  CollapseAll(sub, "--", "+");
  CollapseAll(sub, "++", "+");

  for (;;) {
    for (char& c : sub)
      if (c == '-') c = '_';
    bool applied = false;
    for (int op = 0; op < 12; ++op) {
      for (;;) {
        if (Converts(sub)) break;
        // A leading "_" is a sign, not a subtraction.
        const size_t q = op == kOpSubtract ? sub.find('_', 1) : sub.find(CalcOps[op]);
        if (q == std::string::npos) break;
        if (!Apply(sub, op, q)) return false;
        applied = true;
        if (++evaluation.applications > kMaxApplications) return Fail();
      }
    }
    if (Converts(sub)) {
      s = std::move(sub);
      return true;
    }
    if (!applied) return Fail();
  }
}

}  // namespace

double TextToNumber(std::string_view text) {
  std::string buffer(text);
  const size_t underscore = buffer.find('_');
  if (underscore != std::string::npos) buffer[underscore] = '-';

  const size_t n = buffer.size();
  size_t i = 0;
  const auto failAt = [](size_t index) {
    CalcError = static_cast<int32_t>(index + 1);
    return 0.0;
  };
  bool negative = false;
  if (i < n && (buffer[i] == '+' || buffer[i] == '-')) negative = buffer[i++] == '-';
  const size_t mantissa = i;
  size_t digits = 0;
  while (i < n && IsDigit(buffer[i])) ++i, ++digits;
  if (i < n && buffer[i] == '.') {
    ++i;
    while (i < n && IsDigit(buffer[i])) ++i, ++digits;
  }
  if (digits == 0) return failAt(i);
  const size_t mantissaEnd = i;
  long exponent = 0;
  if (i < n && buffer[i] == 'E') {
    ++i;
    bool negativeExponent = false;
    if (i < n && (buffer[i] == '+' || buffer[i] == '-')) negativeExponent = buffer[i++] == '-';
    if (i >= n || !IsDigit(buffer[i])) return failAt(i);
    while (i < n && IsDigit(buffer[i])) {
      if (exponent < 100000000) exponent = exponent * 10 + (buffer[i] - '0');
      ++i;
    }
    if (negativeExponent) exponent = -exponent;
  }
  if (i != n) return failAt(i);

  double value = 0;
  const char* first = buffer.data() + mantissa;
  const auto [ptr, ec] = std::from_chars(first, buffer.data() + n, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range) {
    // Too small reads as zero; too large is not a number of this range.
    long order = exponent;
    size_t k = mantissa;
    long integerDigits = 0;
    while (k < mantissaEnd && IsDigit(buffer[k])) ++k, ++integerDigits;
    size_t firstNonZero = mantissa;
    while (firstNonZero < mantissaEnd && (buffer[firstNonZero] == '0' || buffer[firstNonZero] == '.')) ++firstNonZero;
    long position = static_cast<long>(firstNonZero - mantissa);  // digits and dot before it
    if (static_cast<long>(firstNonZero - mantissa) > integerDigits) --position;  // skip the dot
    order += integerDigits - 1 - position;
    if (order >= 0) return failAt(0);
    value = 0;
  } else if (ec != std::errc() || ptr != buffer.data() + n) {
    return failAt(static_cast<size_t>(ptr - buffer.data()));
  }
  CalcError = 0;
  return negative ? -value : value;
}

std::string NumberToText(long double x) {
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
  long double result = exp2l(b * log2l(fabsl(a)));
  if (a < 0 && fmodl(nearbyintl(b), 2.0L) == 1.0L) result = -result;
  return result;
}

long double EvaluateAt(std::string_view formula, double t) {
  std::string text;
  text.reserve(formula.size());
  size_t ts = 0;
  for (const char c : formula) {
    if (c == ' ') continue;
    text.push_back(c);
    if (c == 't') ++ts;
  }
  if (ts > 0) {
    if (!std::isfinite(t)) return Fail(), 0;
    const std::string tText = NumberToText(t);
    if (text.size() + ts * (tText.size() - 1) > kMaxText) return Fail(), 0;
    ReplaceAll(text, "t", tText);
  } else if (text.size() > kMaxText) {
    return Fail(), 0;
  }
  Evaluation evaluation;
  EvaluateSegment(text, 0, evaluation);
  const double value = TextToNumber(text);
  return CalcError == 0 ? value : 0;
}

long double FormulaValue(const CountedText<55>& formula, int maxLength, double t) {
  std::string_view text = formula.View();
  if (maxLength < static_cast<int>(text.size())) text = text.substr(0, maxLength > 0 ? static_cast<size_t>(maxLength) : 0);
  return EvaluateAt(text, t);
}
