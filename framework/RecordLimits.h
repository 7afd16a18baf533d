// Limits the blocks are built with; the parameter records and the block
// catalogue both size themselves by them.
#pragma once

#include <cstdint>

constexpr int32_t kGeneratorTableLength = 10001;  // samples a free-running generator precomputes
constexpr int32_t kMaxSignalLength = 10001;       // buffer length N of a buffer block
constexpr int32_t kRecordMaxTaps = 65;            // taps and delay values in a record
constexpr int32_t kRecordTextLength = 55;         // formulas and file names in a record
