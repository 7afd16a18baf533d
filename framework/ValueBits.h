// Port values as integers: the form of a value text that hosts of our own
// keep and pass instead of the text, and its codec. The value-text codec
// (numeric/ValueText.h) forms its texts from these.
#pragma once

#include <cstdint>
#include <string>

// The low `width` bits of value, most significant first, into out[0..width).
// Writes no terminator. width <= 0 writes nothing.
void IntToBits(uint32_t value, int width, char* out);

// A value text as integers, for hosts that keep values without texts: the
// low 32 bits the text reads unsigned, its length and whether its first
// character is '1'. It is what every decoding of the text reads, and two
// texts of '0'/'1' whose digits beyond the low 32 and the first are '0'
// (every text the encoder forms) are equal exactly when their forms are.
// Packed in one word (what the host extension passes): low bits 0..31,
// length 32..62, first digit 63.
class ValueBits {
 public:
  constexpr ValueBits() = default;
  static constexpr ValueBits FromWord(uint64_t word) { return ValueBits(word); }
  // The text of the low `width` bits of `value` as they are (IntToBits).
  static constexpr ValueBits OfBits(uint32_t value, int width) {
    if (width <= 0) return {};
    const uint32_t low = width >= 32 ? value : value & ((uint32_t{1} << width) - 1);
    const bool lead = width <= 32 && ((low >> (width - 1)) & 1u) != 0;
    return Make(low, static_cast<uint32_t>(width), lead);
  }
  // The one-digit text "1" or "0" (a line's level).
  static constexpr ValueBits Digit(bool one) { return OfBits(one ? 1u : 0u, 1); }
  static constexpr ValueBits Make(uint32_t low, uint32_t length, bool lead) {
    return ValueBits(low | (uint64_t{length & kLengthMask} << 32) | (uint64_t{lead} << 63));
  }
  constexpr uint64_t Word() const { return word_; }
  constexpr uint32_t Low() const { return static_cast<uint32_t>(word_); }
  constexpr int Length() const { return static_cast<int>((word_ >> 32) & kLengthMask); }
  constexpr bool Lead() const { return (word_ >> 63) != 0; }
  // The text is exactly "1" (a high clock or strobe).
  constexpr bool IsHigh() const { return word_ == Make(1, 1, true).word_; }
  friend constexpr bool operator==(ValueBits a, ValueBits b) { return a.word_ == b.word_; }

 private:
  static constexpr uint32_t kLengthMask = 0x7FFFFFFFu;
  explicit constexpr ValueBits(uint64_t word) : word_(word) {}
  uint64_t word_ = 0;
};

// The form of a text (null reads as ""), and whether the text is one the
// form gives back (FormValueText).
ValueBits ReadValueBits(const char* text, bool* exact = nullptr);
// The text of a form: Length() characters and a terminating zero.
void FormValueText(ValueBits bits, char* out);
std::string FormValueText(ValueBits bits);
// A form as a block's sign mode reads it: what DecodeValueText gives for
// its text.
constexpr int32_t DecodeValueBits(int32_t signMode, ValueBits bits) {
  const int n = bits.Length();
  const uint32_t low = bits.Low();
  if (signMode != 0 || n <= 1) return static_cast<int32_t>(low);
  // Sign-magnitude: the first digit is the sign, the rest the magnitude.
  const uint32_t magnitude = n - 1 >= 32 ? low : low & ((uint32_t{1} << (n - 1)) - 1);
  return static_cast<int32_t>(bits.Lead() ? 0u - magnitude : magnitude);
}

// The form of EncodeValueText's text: the magnitude's low `width` bits, and
// for a negative value in sign-magnitude (signMode 0) a first digit '1'.
constexpr ValueBits EncodeValueBits(int32_t signMode, int32_t value, int width) {
  // The magnitude as unsigned, so the most negative value gives 2^31.
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  const ValueBits bits = ValueBits::OfBits(magnitude, width);
  if (signMode != 0 || value >= 0 || width <= 0) return bits;
  const uint32_t sign = width <= 32 ? uint32_t{1} << (width - 1) : 0u;
  return ValueBits::Make(bits.Low() | sign, static_cast<uint32_t>(width), true);
}
