// Small routines shared by blocks, dialogs and the chart formatter.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "CountedText.h"

// Evaluates the formula at t = 0..100; at the first failure shows message 15
// once, replaces the formula by "Err" and returns false.
bool CheckFormula(CountedText<55>& formula, int maxLength);

// True exactly for positive powers of two; order = number of halvings done.
bool IsPowerOfTwo(int32_t n, int32_t& order);

// Digits of one base to another (2..256). Throws std::runtime_error with
// "Invalid system range" or "Invalid value".
std::string ConvertBase(std::string_view digits, int sourceBase, int targetBase);
// Decimal text to a value text; negative input gives the two's complement in `width` bits.
std::string DecimalToBinaryText(std::string_view decimal, int width);

void IncrementInt64(int64_t& value);
int64_t AbsInt64(int64_t value);
