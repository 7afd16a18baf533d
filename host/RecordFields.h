// Named fields of the parameter records, so that the simulator can read and
// write a record field by name (the design files name them so) and explain
// each field in its block reference.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

enum class FieldType {
  Bool,  // one byte, 0 or 1
  UInt8,
  UInt16,
  Int32,
  Int64,
  Float32,
  Float64,
  Text,         // counted text: length byte + `count` characters
  Float32Array  // `count` floats
};

struct RecordField {
  const char* name;  // as the dialogs name the control, or a descriptive name
  uint32_t offset;
  FieldType type;
  uint32_t count;     // text capacity or array length; 1 otherwise
  bool libraryState;  // an area owned by the signal library: never set by name
  const char* range;  // values the blocks accept, for people
  const char* unit;   // "" when the value has none
  const char* meaning;
};

struct RecordLayout {
  const char* name;  // "generator", "transform", "filter", "wave"
  uint32_t size;
  std::span<const RecordField> fields;
  void (*fillDefaults)(uint8_t* record);  // the record's defaults, other bytes zero
};

const RecordLayout& GeneratorRecordLayout();
const RecordLayout& TransformRecordLayout();
const RecordLayout& FilterRecordLayout();
const RecordLayout& WaveRecordLayout();

// Integers, reals, texts and lists of reals.
using FieldValue = std::variant<int64_t, double, std::string, std::vector<double>>;

const RecordField* FindField(const RecordLayout& layout, std::string_view name);
FieldValue GetField(const RecordLayout& layout, const uint8_t* record, const RecordField& field);
// Writes a value; false with a reason when the type does not fit or the value
// is out of the field's range (nothing is written then).
bool SetField(const RecordLayout& layout, uint8_t* record, const RecordField& field, const FieldValue& value,
              std::string& error);
// A field's value as a design file would write it.
std::string FieldValueText(const FieldValue& value);
// The name of a field type ("int32", "float64", "text(55)", "float32[65]").
std::string FieldTypeName(const RecordField& field);
// A record with its defaults.
std::vector<uint8_t> DefaultRecord(const RecordLayout& layout);
