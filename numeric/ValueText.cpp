#include "ValueText.h"

int32_t BitsToInt(std::string_view text) {
  uint32_t result = 0;
  for (const char c : text) result = (result << 1) | (c == '1' ? 1u : 0u);
  return static_cast<int32_t>(result);
}

void IntToBits(uint32_t value, int width, char* out) {
  for (int pos = width - 1; pos >= 0; --pos) {
    out[pos] = static_cast<char>('0' + (value & 1u));
    value >>= 1;
  }
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
