// The parameter records as the simulator sees them: each record's fields from
// the record schema, read and written by name (the design files name them so)
// and explained in the block reference.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "numeric/RecordSchema.h"

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
// Writes a value; false with a reason when the type does not fit, the value
// is out of the field's range or is no finite number (nothing is written then).
bool SetField(const RecordLayout& layout, uint8_t* record, const RecordField& field, const FieldValue& value,
              std::string& error);
// NaN and infinity never reach a record: "" for a finite `value`, else the
// words that refuse it, naming the field and a list's entry `index` (-1 for
// none): "FIRS_Taps[1] is not a number", "LMSS_Step is infinite".
std::string NonFiniteProblem(const RecordField& field, double value, int index = -1);
// The first number field of a record that holds NaN or infinity (of a list,
// the entries up to its count), in those words, with `field`; "" when none.
std::string NonFiniteRecordProblem(const RecordLayout& layout, const uint8_t* record, const char*& field);
// A field's value as a design file would write it.
std::string FieldValueText(const FieldValue& value);
// The values a field takes, for people ("any", "0..65; <= 0 means 102").
std::string FieldRangeText(const RecordField& field);
// The range its dialog control offers ("3..1000000"), "" when it has none.
std::string FieldControlRangeText(const RecordField& field);
// The name of a field type ("int32", "float64", "text(55)", "float32[65]").
std::string FieldTypeName(const RecordField& field);
// A record with its defaults.
std::vector<uint8_t> DefaultRecord(const RecordLayout& layout);
