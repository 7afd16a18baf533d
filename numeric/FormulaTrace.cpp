#include "FormulaTrace.h"

#include <cstring>
#include <string>

#include "Calc.h"

namespace {

// A number text holds one decimal point and between "0.00000000" and a sign,
// 309 digits, the point and eight decimals.
constexpr size_t kShortestValue = 10;
constexpr size_t kLongestValue = 319;
constexpr size_t kNone = static_cast<size_t>(-1);

bool IsDigitOrDot(char c) { return (c >= '0' && c <= '9') || c == '.'; }
bool IsOperandChar(char c) { return IsDigitOrDot(c) || c == '_'; }
// The characters a number text may hold at all.
bool MayReadAsNumber(char c) { return IsDigitOrDot(c) || c == '_' || c == '+' || c == '-' || c == 'E'; }

// A character, or a value: the number text of a slot's value (negated), with
// or without a "_" in front as long as its sign is not known.
struct Element {
  char c = 0;
  int16_t slot = -1;
  bool negate = false;
  bool unsigned_ = false;  // known to be written without a sign

  bool IsValue() const { return slot >= 0; }
  bool Is(char ch) const { return slot < 0 && c == ch; }
  bool IsDigitOrDot() const { return slot < 0 && ::IsDigitOrDot(c); }
};
using Text = std::vector<Element>;

// How a stretch of text reads as a number.
struct Reading {
  enum Kind { kFails, kNumber, kValue, kUnknown } kind = kFails;
  FormulaOperand operand;  // kNumber: the constant; kValue: the slot
};

class Tracer {
 public:
  explicit Tracer(const std::vector<bool>& given) : given_(given) {}

  FormulaTrace Run(std::string_view formula) {
    Text text;
    for (const char c : formula) {
      if (c == ' ') continue;
      text.push_back(c == 't' ? Element{0, 0} : Element{c});
    }
    signs_.assign(1, -1);
    if (LengthFits(text) && EvaluateSegment(text, 0)) {
      size_t to = text.size();
      const Reading reading = Read(text, 0, to, true);
      if (reading.kind == Reading::kUnknown) {
        End(FormulaEvent::kFallback);
      } else {
        FormulaEvent event;
        event.kind = FormulaEvent::kReturn;
        event.a = reading.operand;
        trace_.events.push_back(event);
      }
    }
    return std::move(trace_);
  }

 private:
  bool End(FormulaEvent::Kind kind) {
    FormulaEvent event;
    event.kind = kind;
    trace_.events.push_back(event);
    return false;
  }
  bool Fail() { return End(FormulaEvent::kFail); }
  bool Unknown() { return End(FormulaEvent::kFallback); }

  // Whether the value at i is written with a "_"; once asked, a negative
  // value becomes the character "_" followed by its unsigned text.
  bool ResolveSign(Text& text, size_t i) {
    Element& e = text[i];
    if (e.unsigned_) return false;
    int8_t& sign = signs_[static_cast<size_t>(e.slot)];
    if (sign < 0) {
      const size_t k = trace_.answers.size();
      sign = k < given_.size() && given_[k] ? 1 : 0;
      trace_.answers.push_back(sign == 1);
      FormulaEvent event;
      event.kind = FormulaEvent::kSignTest;
      event.slot = e.slot;
      trace_.events.push_back(event);
    }
    const bool negative = (sign == 1) != e.negate;
    e.unsigned_ = true;
    if (negative) {
      e.negate = !e.negate;
      text.insert(text.begin() + static_cast<std::ptrdiff_t>(i), Element{'_'});
    }
    return negative;
  }

  // The text with every value written as the shortest number text; a value
  // of unknown sign with the given one.
  static std::string Spell(const Text& text, size_t from, size_t to, bool negative) {
    std::string s;
    for (size_t i = from; i < to; ++i) {
      if (!text[i].IsValue()) {
        s += text[i].c;
        continue;
      }
      if (!text[i].unsigned_ && negative) s += '_';
      s += "0.00000000";
    }
    return s;
  }
  static bool Reads(const std::string& s) {
    TextToNumber(s);
    return CalcError == 0;
  }

  // TextToNumber on text[from, to). Where a value's digits would be read
  // together with other characters the answer depends on them: kUnknown.
  // Only a whole text (mayAsk) may need a value's sign.
  Reading Read(Text& text, size_t from, size_t& to, bool mayAsk) {
    size_t values = 0, valueAt = 0;
    for (size_t i = from; i < to; ++i) {
      if (text[i].IsValue()) {
        ++values, valueAt = i;
      } else if (!MayReadAsNumber(text[i].c)) {
        return {};
      }
    }
    Reading reading;
    if (values == 0) {
      reading.operand.constant = TextToNumber(Spell(text, from, to, false));
      reading.kind = CalcError == 0 ? Reading::kNumber : Reading::kFails;
      return reading;
    }
    if (values > 1) return {};  // two decimal points
    if (to - from == 1) {       // the value alone, whatever its sign
      reading.kind = Reading::kValue;
      reading.operand.slot = text[from].slot;
      reading.operand.negate = text[from].negate;
      return reading;
    }
    if (!text[valueAt].unsigned_) {
      if (!Reads(Spell(text, from, to, false)) && !Reads(Spell(text, from, to, true))) return {};
      if (!mayAsk) return {Reading::kUnknown, {}};
      if (ResolveSign(text, valueAt)) ++to, ++valueAt;
    }
    const Element& sign = text[from];
    if (to - from == 2 && valueAt == from + 1 && (sign.Is('+') || sign.Is('-') || sign.Is('_'))) {
      reading.kind = Reading::kValue;
      reading.operand.slot = text[valueAt].slot;
      reading.operand.negate = text[valueAt].negate != !sign.Is('+');
      return reading;
    }
    return Reads(Spell(text, from, to, false)) ? Reading{Reading::kUnknown, {}} : Reading{};
  }

  bool LengthFits(const Text& text) {
    size_t shortest = 0, longest = 0;
    for (const Element& e : text) {
      shortest += e.IsValue() ? kShortestValue : 1;
      longest += e.IsValue() ? kLongestValue : 1;
    }
    if (longest <= kCalcMaxText) return true;
    return shortest > kCalcMaxText ? Fail() : Unknown();
  }

  static size_t Find(const Text& text, std::string_view what, size_t from) {
    for (size_t i = from; i + what.size() <= text.size(); ++i) {
      size_t k = 0;
      while (k < what.size() && text[i + k].Is(what[k])) ++k;
      if (k == what.size()) return i;
    }
    return kNone;
  }

  static void ReplaceAll(Text& text, std::string_view what, const std::string& with) {
    for (size_t at = 0; (at = Find(text, what, at)) != kNone; at += with.size()) Replace(text, at, what.size(), with);
  }

  static void Replace(Text& text, size_t at, size_t count, const std::string& with) {
    const auto first = text.begin() + static_cast<std::ptrdiff_t>(at);
    text.erase(first, first + static_cast<std::ptrdiff_t>(count));
    Text chars;
    for (const char c : with) chars.push_back(Element{c});
    text.insert(text.begin() + static_cast<std::ptrdiff_t>(at), chars.begin(), chars.end());
  }

  static void CollapseAll(Text& text, std::string_view what, const std::string& with) {
    size_t at;
    while ((at = Find(text, what, 0)) != kNone) Replace(text, at, what.size(), with);
  }

  // The first "_" from the second character on; a value there of unknown
  // sign has to say whether it starts with one.
  size_t FindSubtraction(Text& text) {
    for (size_t i = 1; i < text.size(); ++i) {
      if (text[i].Is('_') || (text[i].IsValue() && !text[i].unsigned_ && ResolveSign(text, i))) return i;
    }
    return kNone;
  }

  // Whether the text reads as a number now; false with the run ended when
  // that depends on digits.
  bool Converts(Text& text, bool& converts) {
    size_t to = text.size();
    const Reading reading = Read(text, 0, to, true);
    if (reading.kind == Reading::kUnknown) return Unknown();
    converts = reading.kind != Reading::kFails;
    return true;
  }

  bool EvaluateSegment(Text& sub, int depth);
  bool ApplyOperators(Text& sub);
  bool Apply(Text& sub, int op, size_t q);
  size_t LeftOperand(Text& sub, size_t& q);
  size_t RightOperand(Text& sub, size_t end);

  const std::vector<bool>& given_;
  FormulaTrace trace_;
  std::vector<int8_t> signs_;  // per slot: -1 not asked, 0 not negative, 1 negative
  long applications_ = 0;
};

bool Tracer::EvaluateSegment(Text& sub, int depth) {
  ReplaceAll(sub, "e", CalcConstantText('e'));
  ReplaceAll(sub, "pi", CalcConstantText('p'));
  if (!LengthFits(sub)) return false;
  bool converts = false;
  if (!Converts(sub, converts)) return false;
  if (converts) return true;

  // Parentheses, innermost results first, from the left.
  size_t p;
  while ((p = Find(sub, "(", 0)) != kNone) {
    sub.erase(sub.begin() + static_cast<std::ptrdiff_t>(p));
    size_t close = kNone;
    for (size_t i = p, open = 1; i < sub.size() && close == kNone; ++i) {
      if (sub[i].Is('(')) ++open;
      if (sub[i].Is(')') && --open == 0) close = i;
    }
    if (close == kNone) return Fail();
    sub.erase(sub.begin() + static_cast<std::ptrdiff_t>(close));
    if (depth >= kCalcMaxDepth) return Fail();
    Text inner(sub.begin() + static_cast<std::ptrdiff_t>(p), sub.begin() + static_cast<std::ptrdiff_t>(close));
    sub.erase(sub.begin() + static_cast<std::ptrdiff_t>(p), sub.begin() + static_cast<std::ptrdiff_t>(close));
    if (!inner.empty() && inner.front().Is('-')) inner.front().c = '_';
    if (!EvaluateSegment(inner, depth + 1)) return false;
    sub.insert(sub.begin() + static_cast<std::ptrdiff_t>(p), inner.begin(), inner.end());
    if (!LengthFits(sub)) return false;
  }

  CollapseAll(sub, "--", "+");
  CollapseAll(sub, "++", "+");
  return ApplyOperators(sub);
}

bool Tracer::ApplyOperators(Text& sub) {
  for (;;) {
    for (Element& e : sub)
      if (e.Is('-')) e.c = '_';
    bool applied = false;
    for (int op = 0; op < kCalcOpCount; ++op) {
      for (;;) {
        // The number check may write a value's sign out, which moves the operator.
        const auto find = [&] { return op == opSubtract ? FindSubtraction(sub) : Find(sub, CalcOps[op], 0); };
        if (find() == kNone) break;
        bool converts = false;
        if (!Converts(sub, converts)) return false;
        if (converts) break;
        if (!Apply(sub, op, find())) return false;
        applied = true;
        if (++applications_ > kCalcMaxApplications) return Fail();
      }
    }
    bool converts = false;
    if (!Converts(sub, converts)) return false;
    if (converts) return true;
    if (!applied) return Fail();
  }
}

// Where the left operand of the operator at q starts: the digit run before
// it, with one "_" as its sign. A value of unknown sign ends the run in
// either case unless digits or a "_" stand before it; otherwise its sign is
// asked, which may move q.
size_t Tracer::LeftOperand(Text& sub, size_t& q) {
  size_t left = q;
  while (left > 0) {
    const Element& e = sub[left - 1];
    if (e.IsDigitOrDot() || (e.IsValue() && e.unsigned_)) {
      --left;
    } else if (e.IsValue()) {
      const size_t at = left - 1;
      if (at == 0 || !(sub[at - 1].IsDigitOrDot() || sub[at - 1].Is('_') || sub[at - 1].IsValue())) return at;
      if (ResolveSign(sub, at)) ++left, ++q;
    } else {
      break;
    }
  }
  if (left > 0 && sub[left - 1].Is('_')) --left;
  return left;
}

// Where the right operand starting at end ends (one past it): a "_" first,
// then the digit run. A value of unknown sign is read whole at the start;
// after a "_" or digits its sign decides whether it joins them.
size_t Tracer::RightOperand(Text& sub, size_t end) {
  size_t r = end;
  if (sub[r].Is('_')) ++r;
  while (r < sub.size()) {
    const Element& e = sub[r];
    if (e.IsDigitOrDot() || (e.IsValue() && (e.unsigned_ || r == end))) {
      ++r;
    } else if (e.IsValue()) {
      if (ResolveSign(sub, r)) break;  // its "_" ends the digits
    } else {
      break;
    }
  }
  return r;
}

bool Tracer::Apply(Text& sub, int op, size_t q) {
  const size_t length = std::strlen(CalcOps[op]);
  const bool isFunction = length > 1;

  const size_t left = LeftOperand(sub, q);
  size_t leftEnd = q;
  const Reading a = Read(sub, left, leftEnd, false);
  if (a.kind == Reading::kUnknown) return Unknown();
  if (a.kind == Reading::kFails && op >= opDivide) return Fail();

  // The operator's own last character never reads as a number.
  const size_t end = q + length;
  if (end >= sub.size()) return Fail();
  size_t r = RightOperand(sub, end);
  const Reading b = Read(sub, end, r, false);
  if (b.kind == Reading::kUnknown) return Unknown();
  if (b.kind == Reading::kFails) return Fail();
  const size_t right = r - 1;

  const auto operandChar = [&](size_t i) { return sub[i].IsValue() || IsOperandChar(sub[i].c); };
  if (!isFunction && !operandChar(left)) return Fail();
  if (!operandChar(right) || right < left) return Fail();

  FormulaOperand leftOperand;  // 0 where the left operand fails or is not read
  if (OperatorReadsLeft(op) && a.kind != Reading::kFails) leftOperand = a.operand;
  Text result;
  if (leftOperand.slot < 0 && b.operand.slot < 0) {
    long double value;
    if (!ApplyOperator(op, leftOperand.constant, b.operand.constant, value)) return Fail();
    for (const char c : NumberToText(value)) result.push_back(Element{c});
  } else {
    if (signs_.size() >= kFormulaSlots) return Unknown();
    FormulaEvent event;
    event.kind = FormulaEvent::kApply;
    event.op = static_cast<int8_t>(op);
    event.slot = static_cast<int16_t>(signs_.size());
    event.a = leftOperand;
    event.b = b.operand;
    trace_.events.push_back(event);
    result.push_back(Element{0, event.slot});
    signs_.push_back(-1);
  }
  const auto first = sub.begin() + static_cast<std::ptrdiff_t>(left);
  sub.erase(first, sub.begin() + static_cast<std::ptrdiff_t>(right) + 1);
  sub.insert(sub.begin() + static_cast<std::ptrdiff_t>(left), result.begin(), result.end());
  return LengthFits(sub);
}

}  // namespace

FormulaTrace TraceFormula(std::string_view formula, const std::vector<bool>& given) {
  return Tracer(given).Run(formula);
}
