#include "ValueText.h"

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

// Two characters a step halve the chain of shifts; the second is read only
// once the first is known not to end the text.
uint32_t BitsOf(const char* c) {
  uint32_t result = 0;
  for (;; c += 2) {
    if (c[0] == '\0') return result;
    const auto high = static_cast<uint32_t>(c[0] == '1');
    if (c[1] == '\0') return (result << 1) | high;
    result = (result << 2) | (high << 1) | static_cast<uint32_t>(c[1] == '1');
  }
}
}  // namespace

int32_t BitsToInt(std::string_view text) {
  uint32_t result = 0;
  for (const char c : text) result = (result << 1) | (c == '1' ? 1u : 0u);
  return static_cast<int32_t>(result);
}

int32_t BitsToInt(const char* text) { return text != nullptr ? static_cast<int32_t>(BitsOf(text)) : 0; }

void IntToBits(uint32_t value, int width, char* out) {
  int pos = width;
  for (; pos >= 8; pos -= 8, value >>= 8) std::memcpy(out + pos - 8, kByteTexts.text[value & 0xFFu], 8);
  for (; pos > 0; --pos, value >>= 1) out[pos - 1] = static_cast<char>('0' + (value & 1u));
}

std::string IntToBits(uint32_t value, int width) {
  std::string text(width > 0 ? static_cast<size_t>(width) : 0, '0');
  IntToBits(value, width, text.data());
  return text;
}

int32_t DecodeValueText(int32_t signMode, std::string_view text) {
  if (text.size() == 1 || signMode != 0 || text.empty()) return BitsToInt(text);
  // Sign-magnitude: the first character is the sign, the rest the magnitude.
  const int32_t magnitude = BitsToInt(text.substr(1));
  return text.front() == '1' ? static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude)) : magnitude;
}

int32_t DecodeValueText(int32_t signMode, const char* text) {
  if (text == nullptr || text[0] == '\0') return 0;
  if (signMode != 0 || text[1] == '\0') return static_cast<int32_t>(BitsOf(text));
  const uint32_t magnitude = BitsOf(text + 1);
  return static_cast<int32_t>(text[0] == '1' ? 0u - magnitude : magnitude);
}

void EncodeValueText(int32_t signMode, int32_t value, int width, char* out) {
  // The magnitude as unsigned, so the most negative value gives 2^31.
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  if (width <= 0) {
    out[0] = '\0';
    return;
  }
  IntToBits(magnitude, width, out);
  if (signMode == 0 && value < 0) out[0] = '1';
  out[width] = '\0';
}

std::string EncodeValueText(int32_t signMode, int32_t value, int width) {
  std::string text(width > 0 ? static_cast<size_t>(width) : 0, '0');
  std::vector<char> buffer(text.size() + 1);
  EncodeValueText(signMode, value, width, buffer.data());
  return std::string(buffer.data(), text.size());
}

std::string FillText(char c, int count) {
  return count > 0 ? std::string(static_cast<size_t>(count), c) : std::string();
}

void ValueTextBuffer::Resize(int width) {
  width_ = width > 0 ? width : 0;
  text_.assign(static_cast<size_t>(width_) + 1, '\0');
}
