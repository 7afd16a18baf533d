// Small routines shared by blocks and dialogs.
#pragma once

#include <cstdint>

#include "CountedText.h"
#include "framework/RecordLimits.h"

// Evaluates the formula at t = 0..100; at the first failure shows message 15
// once, replaces the formula by "Err" and returns false.
bool CheckFormula(CountedText<kRecordTextLength>& formula, int maxLength);

void IncrementInt64(int64_t& value);
