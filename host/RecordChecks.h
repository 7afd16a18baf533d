// What the design reader and "--set" both ask of a record field's value: its
// TOML form read as a field value, and settings a block would take without a
// word but cannot use.
#pragma once

#include <toml++/toml.h>

#include <string>

#include "BlockTypes.h"
#include "Design.h"
#include "RecordFields.h"

// False with the reason when the TOML value cannot be a field value.
bool FieldValueFromToml(const toml::node& value, FieldValue& out, std::string& error);

// "" when the block's record is usable; otherwise the reason, and `field`
// names the field it is about.
std::string RecordProblem(const BlockEntry& block, const BlockType& type, const char*& field);

// `block "NAME" (EXPORT)`, as messages name a block.
std::string BlockWords(const BlockEntry& block, const BlockType& type);
