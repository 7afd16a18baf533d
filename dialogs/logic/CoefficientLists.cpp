#include "CoefficientLists.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

int32_t ClampListCount(int32_t count) { return std::clamp<int32_t>(count, 0, kListCapacity); }

std::string FormatEntry(double value) {
  if (value == 0) return "0";  // negative zero too
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value > 0 ? "inf" : "-inf";
  // Digits well past the fifteenth (to_chars is locale-free: a host in a
  // comma locale still gets "0.5"), then rounded half up at the fifteenth,
  // the way the shown lists have always been written.
  char text[80];
  const auto end = std::to_chars(text, text + sizeof text, std::fabs(value), std::chars_format::scientific, 40);
  const std::string scientific(text, end.ptr);
  const size_t e = scientific.find('e');
  std::string digits = scientific.substr(0, 1) + scientific.substr(2, e - 2);
  int exponent = std::atoi(scientific.c_str() + e + 1);
  const bool up = digits[15] >= '5';
  digits.resize(15);
  if (up) {
    int i = 14;
    for (; i >= 0 && digits[static_cast<size_t>(i)] == '9'; --i) digits[static_cast<size_t>(i)] = '0';
    if (i >= 0) {
      ++digits[static_cast<size_t>(i)];
    } else {
      digits.insert(digits.begin(), '1');
      digits.pop_back();
      ++exponent;
    }
  }
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
  std::string out = value < 0 ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    out += digits.substr(0, 1);
    if (digits.size() > 1) out += "." + digits.substr(1);
    const int magnitude = std::abs(exponent);
    out += exponent < 0 ? "e-" : "e+";
    if (magnitude < 10) out += "0";
    out += std::to_string(magnitude);
  } else if (exponent < 0) {
    out += "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
  } else if (static_cast<size_t>(exponent) + 1 >= digits.size()) {
    out += digits + std::string(static_cast<size_t>(exponent) + 1 - digits.size(), '0');
  } else {
    out += digits.substr(0, static_cast<size_t>(exponent) + 1) + "." + digits.substr(static_cast<size_t>(exponent) + 1);
  }
  return out;
}

std::string FormatList(const float* entries, int32_t count) {
  count = ClampListCount(count);
  std::string text = "{";
  for (int32_t i = 0; i < count; ++i) {
    if (i > 0) text += ",";
    text += FormatEntry(entries[i]);
  }
  return text + "}";
}

std::string BraceList(const std::vector<std::string>& texts) {
  std::string text = "{";
  for (size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) text += ",";
    text += texts[i];
  }
  return text + "}";
}

std::optional<float> ParseEntry(const std::string& text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; };
  size_t first = 0;
  size_t last = text.size();
  while (first < last && blank(text[first])) ++first;
  while (last > first && blank(text[last - 1])) --last;
  const bool plus = first < last && text[first] == '+';
  if (plus) ++first;
  if (first == last || (plus && (text[first] == '+' || text[first] == '-'))) return std::nullopt;
  double value = 0;
  const char* begin = text.data() + first;
  const char* end = text.data() + last;
  const auto read = std::from_chars(begin, end, value);
  if (read.ec != std::errc() || read.ptr != end) return std::nullopt;
  // A list of single floats: infinities, NaN and values beyond single range
  // would reach the filters as garbage.
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
  return static_cast<float>(value);
}

ListRead ReadList(const std::vector<std::string>& cells, int32_t columns, float* entries) {
  ListRead read;
  read.count = std::clamp<int32_t>(columns, 0, kListCapacity);
  std::vector<std::string> typed;
  for (int32_t i = 0; i < read.count; ++i) {
    const std::string cell = static_cast<size_t>(i) < cells.size() ? cells[static_cast<size_t>(i)] : std::string();
    const std::optional<float> value = ParseEntry(cell);
    if (!value) {
      read.stoppedAt = i;
      return read;
    }
    entries[i] = *value;
    typed.push_back(cell);
  }
  read.text = BraceList(typed);
  read.complete = true;
  return read;
}

int32_t TableGridHeight(int32_t columns) { return columns < 9 ? 53 : 73; }

int32_t TableGridWidth(int32_t columns, int32_t columnWidth) {
  const int32_t shown = columns > 7 ? 8 : std::max<int32_t>(columns, 0);
  return shown * (columnWidth + 1) + 3;
}

int32_t ClampColumns(int32_t columns, int32_t minimum) {
  return std::clamp<int32_t>(columns, std::clamp<int32_t>(minimum, 1, kListCapacity), kListCapacity);
}
