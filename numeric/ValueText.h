// The value-text codec: port values as texts of '0'/'1', most significant
// bit first, under a block's sign mode (0 = sign-magnitude, else unsigned).
//
// Texts from the host may hold any characters and any length: anything but
// '1' reads as 0, and only the low 32 bits of a longer text survive.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/ValueBits.h"

// Unsigned reading of the whole text; bits beyond 32 are lost.
int32_t BitsToInt(std::string_view text);
// The same for a zero-terminated text, read in one pass (null reads as 0).
int32_t BitsToInt(const char* text);
std::string IntToBits(uint32_t value, int width);

int32_t DecodeValueText(int32_t signMode, std::string_view text);
// The same for a zero-terminated text (what a host returns); null reads as 0.
int32_t DecodeValueText(int32_t signMode, const char* text);
// Exactly `width` characters (none for width <= 0) and a terminating zero:
// `out` holds at least max(width, 0) + 1 chars.
void EncodeValueText(int32_t signMode, int32_t value, int width, char* out);
std::string EncodeValueText(int32_t signMode, int32_t value, int width);

// count copies of c; empty for count <= 0.
std::string FillText(char c, int count);

// One output port's text, sized once for its width, so that encoding on a
// block step never allocates.
class ValueTextBuffer {
 public:
  ValueTextBuffer() : text_(1, '\0') {}
  explicit ValueTextBuffer(int width) { Resize(width); }
  void Resize(int width);
  int Width() const { return width_; }
  const char* Encode(int32_t signMode, int32_t value) {
    EncodeValueText(signMode, value, width_, text_.data());
    return text_.data();
  }
  // The all-zero text of this width.
  const char* Zero() { return Encode(1, 0); }
  // The low `width` bits of value as they are, most significant first.
  const char* Bits(uint32_t value) {
    IntToBits(value, width_, text_.data());
    return text_.data();
  }
  // The text of a form of at most this width.
  const char* Form(ValueBits bits) {
    FormValueText(bits, text_.data());
    return text_.data();
  }

 private:
  std::vector<char> text_;
  int width_ = 0;
};
