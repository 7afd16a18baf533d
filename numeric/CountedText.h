// A text stored in a record as a length byte followed by up to Capacity
// characters. A length byte above the capacity reads as the capacity.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

template <size_t Capacity>
struct CountedText {
  static_assert(Capacity <= 255, "the length is one byte");
  uint8_t length;
  char chars[Capacity];

  size_t Size() const { return std::min<size_t>(length, Capacity); }
  std::string_view View() const { return std::string_view(chars, Size()); }
  std::string Get() const { return std::string(View()); }
  // Stores at most Capacity characters; the rest of the area is zeroed.
  void Set(std::string_view text) {
    const size_t n = std::min(text.size(), Capacity);
    length = static_cast<uint8_t>(n);
    std::memset(chars, 0, Capacity);
    if (n > 0) std::memcpy(chars, text.data(), n);
  }
  bool operator==(std::string_view text) const { return View() == text; }
};
