#include "ValueText.h"

#include <cstring>

namespace {
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

int32_t DecodeValueText(int32_t signMode, const char* text) { return DecodeValueBits(signMode, ReadValueBits(text)); }

void EncodeValueText(int32_t signMode, int32_t value, int width, char* out) {
  FormValueText(EncodeValueBits(signMode, value, width), out);
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
