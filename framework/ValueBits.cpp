#include "ValueBits.h"

#include <cstring>

namespace {
// The eight characters of every byte value, most significant bit first.
struct ByteTexts {
  char text[256][8];
  constexpr ByteTexts() : text{} {
    for (int b = 0; b < 256; ++b)
      for (int i = 0; i < 8; ++i) text[b][i] = static_cast<char>('0' + ((b >> (7 - i)) & 1));
  }
};
constexpr ByteTexts kByteTexts;

}  // namespace

void IntToBits(uint32_t value, int width, char* out) {
  int pos = width;
  for (; pos >= 8; pos -= 8, value >>= 8) std::memcpy(out + pos - 8, kByteTexts.text[value & 0xFFu], 8);
  for (; pos > 0; --pos, value >>= 1) out[pos - 1] = static_cast<char>('0' + (value & 1u));
}

ValueBits ReadValueBits(const char* text, bool* exact) {
  if (text == nullptr) text = "";
  const size_t n = std::strlen(text);
  uint32_t low = 0;
  bool plain = true;  // only digits, and '0' beyond the low 32 bits but the first
  for (size_t i = 0; i < n; ++i) {
    const char c = text[i];
    plain = plain && (c == '0' || (c == '1' && (i == 0 || i + 32 >= n)));
    low = (low << 1) | static_cast<uint32_t>(c == '1');
  }
  if (exact != nullptr) *exact = plain;
  return ValueBits::Make(low, static_cast<uint32_t>(n), text[0] == '1');
}

void FormValueText(ValueBits bits, char* out) {
  const int n = bits.Length();
  IntToBits(bits.Low(), n, out);
  if (n > 0 && bits.Lead()) out[0] = '1';
  out[n] = '\0';
}

std::string FormValueText(ValueBits bits) {
  std::string text(static_cast<size_t>(bits.Length()) + 1, '\0');
  FormValueText(bits, text.data());
  text.pop_back();
  return text;
}
