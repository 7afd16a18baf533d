// The rules of the long spin edit and of the time value editor built on it,
// free of any toolkit: a non-negative 64-bit number held as decimal digits,
// and a unit selector so that the number times 1000^unit is the time in "ps".
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr int64_t kLongValueFailed = INT64_MAX;
constexpr int kDelayUnitCount = 5;
constexpr int kDelayLastUnit = kDelayUnitCount - 1;  // "sec"
constexpr int kDelayMaxTextLength = 20;
constexpr int kDelaySelectorWidth = 50;
// The selector's items, index = unit.
extern const char* const kDelayUnitNames[kDelayUnitCount];

// The text as a number: an empty text reads 0; anything but decimal digits,
// or a number beyond 64 bits, reads kLongValueFailed.
int64_t ParseLongValue(std::string_view text);
// The decimal digits of the value; "0" for 0 and negative values.
std::string LongValueText(int64_t value);

// The up button: the value plus the increment, kLongValueFailed when either
// fails or the sum does not fit.
int64_t LongValueStepUp(int64_t value, int64_t increment);
// The down button: never below 0.
int64_t LongValueStepDown(int64_t value, int64_t increment);

// Whether a typed character reaches the text: digits, and control characters
// but Enter; with the editor disabled neither printable characters nor
// Backspace do.
bool LongValueKeyAccepted(char32_t typed, bool editorEnabled);

// LongValue x 1000^unit; kLongValueFailed when the number fails or the
// product does not fit.
int64_t DelayOf(int64_t longValue, int unit);

// What a time value editor shows.
struct DelayShown {
  int64_t longValue = 0;
  int unit = 0;
};
// The largest unit (at most "sec") that shows `delay` exactly; a negative
// value is not a time and shows 0 in `currentUnit`.
DelayShown NormaliseDelay(int64_t delay, int currentUnit);
// With Filter on the unit stays: `delay` divided by 1000 once per unit step,
// each step to the nearest integer, ties to even.
DelayShown FilterDelay(int64_t delay, int currentUnit);

// The text after the unit changes from `previousUnit` to `newUnit`: with
// Filter on a move to a larger unit drops three digits per step ("0" when
// nothing remains), so the time stays about the same; otherwise the number
// stays and the time scales.
std::string TextAfterUnitChange(const std::string& text, int previousUnit, int newUnit, bool filter);
// The same for a text of any kind: how many characters stay (0: the text
// becomes "0"), nullopt when the text stays as it is.
std::optional<size_t> CharactersAfterUnitChange(size_t length, int previousUnit, int newUnit, bool filter);
