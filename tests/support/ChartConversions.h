// The number conversions of the chart control: no block or dialog uses them,
// so they live with the tests that keep their behaviour.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// Ends a conversion silently: callers catch it and show nothing. Deliberately
// not a std::runtime_error, whose text callers present to the user.
class ConversionAborted : public std::exception {
 public:
  const char* what() const noexcept override { return "Operation aborted"; }
};

// Digits of one base to another (2..256). Throws std::runtime_error with
// "Invalid system range" or "Invalid value", and ConversionAborted when a
// digit is not below the source base. Bases up to 36 use '0'-'9' and 'A'-'Z'
// (letters of either case on input); larger bases use the byte values as
// digits. Zero is the single digit 0; no other leading zeros are produced.
std::string ConvertBase(std::string_view digits, int sourceBase, int targetBase);
// Decimal text to a value text; negative input gives the two's complement in `width` bits.
std::string DecimalToBinaryText(std::string_view decimal, int width);

int64_t AbsInt64(int64_t value);
