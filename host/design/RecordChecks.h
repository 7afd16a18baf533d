// What the design reader and "--set" both ask of a record field's value: its
// TOML form read as a field value, and settings a block would take without a
// word but cannot use.
#pragma once

#include <toml++/toml.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "BlockTypes.h"
#include "Design.h"
#include "RecordFields.h"

// False with the reason when the TOML value cannot be a field value.
bool FieldValueFromToml(const toml::node& value, FieldValue& out, std::string& error);

// "" when a list written beside its count agrees with it; otherwise the
// reason ("\"FIRS_Taps\" holds 3 values but \"FIRS_TapsCount\" is 6; ...").
// `countFrom` names the list the count was taken from, when it was.
std::string ListCountProblem(const RecordField& list, size_t length, int64_t count, const char* countFrom = nullptr);

// "" when the block's record is usable; otherwise the reason, and `field`
// names the field it is about.
std::string RecordProblem(const BlockEntry& block, const BlockType& type, const char*& field);

// `block "NAME" (EXPORT)`, as messages name a block.
std::string BlockWords(const BlockEntry& block, const BlockType& type);

// True when a file name a run writes names a folder too ("../x.wav",
// "/tmp/x.wav", "sub/x.wav", "C:x.wav"): it would not lie in the output
// folder, and a run refuses it unless asked to allow it (--allow-paths).
bool NamesAFolder(std::string_view name);
// A WAVE recorder whose FileName names a folder: "" or the reason, with `field`.
std::string RecordingNameProblem(const BlockEntry& block, const BlockType& type, const char*& field);
// A power-of-two FFT whose length is not one: "" or the reason, with `field`.
std::string BufferLengthProblem(const BlockEntry& block, const BlockType& type, const char*& field);
// A Tone or Sine at or above half its sample rate (one sample per
// `samplePeriod` time units): "" or the warning, with `field`.
std::string AliasingProblem(const BlockEntry& block, const BlockType& type, int64_t samplePeriod, const char*& field);
// "block ... takes from its defaults: F = V, ..." for the fields the block
// reads that the design left at their defaults; "" when none.
std::string DescribeDefaultedFields(const BlockEntry& block);
