// The value-text codec on arbitrary host texts and values: decoding reads
// only the text, encoding writes exactly width characters and a zero, and
// encoded values decode back within their width.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "numeric/ValueText.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 6) return 0;
  int32_t value;
  std::memcpy(&value, data, 4);
  const int width = static_cast<int8_t>(data[4]) % 72;  // also negative widths
  const int32_t signMode = data[5] & 1;
  const std::string_view text(reinterpret_cast<const char*>(data + 6), size - 6);

  DecodeValueText(signMode, text);
  DecodeValueText(2, text);
  BitsToInt(text);

  // An exact-size heap buffer lets the address checker see any overrun.
  const size_t chars = width > 0 ? static_cast<size_t>(width) : 0;
  std::vector<char> out(chars + 1, '#');
  EncodeValueText(signMode, value, width, out.data());
  if (out[chars] != '\0') std::abort();
  for (size_t i = 0; i < chars; ++i)
    if (out[i] != '0' && out[i] != '1') std::abort();

  const std::string_view encoded(out.data(), chars);
  const int32_t decoded = DecodeValueText(signMode, encoded);
  // Values whose magnitude fits below the sign bit survive the round trip.
  if (width >= 2 && width <= 32) {
    const int64_t magnitude = value < 0 ? -static_cast<int64_t>(value) : value;
    const int64_t room = signMode == 0 ? (int64_t{1} << (width - 1)) : (int64_t{1} << width);
    if (magnitude < room && (signMode == 0 || value >= 0) && decoded != value) std::abort();
  }

  ValueTextBuffer buffer(width);
  const char* buffered = buffer.Encode(signMode, value);
  if (std::strlen(buffered) != chars || std::memcmp(buffered, out.data(), chars) != 0) std::abort();
  return 0;
}
