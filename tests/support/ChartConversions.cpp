#include "ChartConversions.h"

#include <stdexcept>
#include <vector>

#include "numeric/ValueText.h"

namespace {

int DigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
  if (c >= 'a' && c <= 'z') return c - 'a' + 10;
  return -1;
}

char DigitChar(int value) { return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10); }

}  // namespace

std::string ConvertBase(std::string_view digits, int sourceBase, int targetBase) {
  if (sourceBase < 2 || sourceBase > 256 || targetBase < 2 || targetBase > 256)
    throw std::runtime_error("Invalid system range");
  if (sourceBase == targetBase) return std::string(digits);

  std::vector<int> values;
  values.reserve(digits.size());
  for (const char c : digits) {
    const int v = sourceBase <= 36 ? DigitValue(c) : static_cast<unsigned char>(c);
    if (v < 0) {
      values.clear();
      break;
    }
    values.push_back(v);
  }
  if (values.empty()) throw std::runtime_error("Invalid value");
  for (const int v : values)
    if (v >= sourceBase) throw ConversionAborted();

  // Repeated division of the source digits by the target base; the
  // remainders are the target digits, least significant first.
  size_t first = 0;
  while (first < values.size() && values[first] == 0) ++first;
  std::vector<int> number(values.begin() + static_cast<std::ptrdiff_t>(first), values.end());
  std::string result;
  while (!number.empty()) {
    std::vector<int> quotient;
    quotient.reserve(number.size());
    int remainder = 0;
    for (const int d : number) {
      const int current = remainder * sourceBase + d;
      const int q = current / targetBase;
      remainder = current % targetBase;
      if (!quotient.empty() || q != 0) quotient.push_back(q);
    }
    result.push_back(targetBase <= 36 ? DigitChar(remainder) : static_cast<char>(remainder));
    number.swap(quotient);
  }
  if (result.empty()) result.push_back(targetBase <= 36 ? '0' : '\0');
  return std::string(result.rbegin(), result.rend());
}

std::string DecimalToBinaryText(std::string_view decimal, int width) {
  if (decimal.empty()) return {};
  if (decimal.front() != '-') return ConvertBase(decimal, 10, 2);
  std::string bits = ConvertBase(decimal.substr(1), 10, 2);
  bits.insert(0, FillText('0', width - static_cast<int>(bits.size())));
  for (char& c : bits) c = c == '0' ? '1' : '0';
  // Two's complement: add one from the last digit.
  for (auto it = bits.rbegin(); it != bits.rend(); ++it) {
    if (*it == '1') {
      *it = '0';
    } else {
      *it = '1';
      break;
    }
  }
  return bits;
}

int64_t AbsInt64(int64_t value) {
  // The magnitude of the most negative value does not fit; the nearest is kept.
  if (value == INT64_MIN) return INT64_MAX;
  return value < 0 ? -value : value;
}
