#include "DelayUnits.h"

namespace {
constexpr int64_t kUnitStep = 1000;

// v / 1000 rounded to the nearest integer, ties to even (v >= 0).
int64_t DivideRounded(int64_t v) {
  int64_t q = v / kUnitStep;
  const int64_t r = v % kUnitStep;
  if (r > kUnitStep / 2 || (r == kUnitStep / 2 && (q & 1) != 0)) ++q;
  return q;
}
}  // namespace

const char* const kDelayUnitNames[kDelayUnitCount] = {"ps", "ns", "us", "ms", "sec"};

int64_t ParseLongValue(std::string_view text) {
  int64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return kLongValueFailed;
    const int digit = c - '0';
    if (value > (INT64_MAX - digit) / 10) return kLongValueFailed;
    value = value * 10 + digit;
  }
  return value;
}

std::string LongValueText(int64_t value) { return value > 0 ? std::to_string(value) : std::string("0"); }

int64_t LongValueStepUp(int64_t value, int64_t increment) {
  if (value == kLongValueFailed || (increment > 0 && value > INT64_MAX - increment)) return kLongValueFailed;
  return value + increment;
}

int64_t LongValueStepDown(int64_t value, int64_t increment) { return value < increment ? 0 : value - increment; }

bool LongValueKeyAccepted(char32_t typed, bool editorEnabled) {
  constexpr char32_t kBackspace = 8, kEnter = 13;
  if (typed == kEnter) return false;
  const bool control = typed < 32 || typed == 127;
  if (control) return typed != kBackspace || editorEnabled;
  return editorEnabled && typed >= U'0' && typed <= U'9';
}

int64_t DelayOf(int64_t longValue, int unit) {
  if (longValue == kLongValueFailed) return kLongValueFailed;
  for (int i = 0; i < unit; ++i) {
    if (longValue > INT64_MAX / kUnitStep) return kLongValueFailed;
    longValue *= kUnitStep;
  }
  return longValue;
}

DelayShown NormaliseDelay(int64_t delay, int currentUnit) {
  if (delay < 0) return {0, currentUnit};
  int unit = 0;
  while (delay != 0 && delay % kUnitStep == 0 && unit < kDelayLastUnit) {
    delay /= kUnitStep;
    ++unit;
  }
  return {delay, unit};
}

DelayShown FilterDelay(int64_t delay, int currentUnit) {
  if (delay < 0) return {0, currentUnit};
  for (int i = 0; i < currentUnit; ++i) delay = DivideRounded(delay);
  return {delay, currentUnit};
}

std::optional<size_t> CharactersAfterUnitChange(size_t length, int previousUnit, int newUnit, bool filter) {
  const int k = newUnit - previousUnit;
  if (!filter || k <= 0) return std::nullopt;
  const size_t cut = 3 * static_cast<size_t>(k);
  return length <= cut ? 0 : length - cut;
}

std::string TextAfterUnitChange(const std::string& text, int previousUnit, int newUnit, bool filter) {
  const std::optional<size_t> kept = CharactersAfterUnitChange(text.size(), previousUnit, newUnit, filter);
  if (!kept) return text;
  return *kept == 0 ? std::string("0") : text.substr(0, *kept);
}
