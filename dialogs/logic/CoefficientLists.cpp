#include "CoefficientLists.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

int32_t ClampListCount(int32_t count) { return std::clamp<int32_t>(count, 0, kListCapacity); }

std::string FormatEntry(double value) {
  char text[64];
  // to_chars is locale-free: a host in a comma locale still gets "0.5".
  const auto end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 15);
  return std::string(text, end.ptr);
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
    if (!value) return read;
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
