#include "ParameterRecords.h"

#include <cstring>
#include <string_view>

#include "RecordSchema.h"
#include "framework/CatalogueCodes.h"

namespace {
template <typename T>
void Store(uint8_t* at, T value) {
  std::memcpy(at, &value, sizeof value);
}
}  // namespace

void WriteFieldDefaults(RecordKind record, uint8_t* bytes) {
  for (const RecordField& f : RecordFieldsOf(record)) {
    uint8_t* at = bytes + f.offset;
    const double v = f.defaultValue;
    if (!f.listDefault.empty()) std::memcpy(at, f.listDefault.data(), f.listDefault.size_bytes());
    if (f.type == FieldType::Text && f.defaultText[0] != '\0') {
      const std::string_view text(f.defaultText);
      at[0] = static_cast<uint8_t>(text.size());
      std::memset(at + 1, 0, f.count);
      std::memcpy(at + 1, text.data(), text.size());
    }
    if (v == 0) continue;
    switch (f.type) {
      case FieldType::Bool:
      case FieldType::UInt8:
        at[0] = static_cast<uint8_t>(v);
        break;
      case FieldType::UInt16:
        Store(at, static_cast<uint16_t>(v));
        break;
      case FieldType::Int32:
        Store(at, static_cast<int32_t>(v));
        break;
      case FieldType::Int64:
        Store(at, static_cast<int64_t>(v));
        break;
      case FieldType::Float32:
        Store(at, static_cast<float>(v));
        break;
      case FieldType::Float64:
        Store(at, v);
        break;
      case FieldType::Text:
      case FieldType::Float32Array:
        break;
    }
  }
}

void DefaultTransformRecord(TransformParams& r) {
  WriteFieldDefaults(RecordKind::Transform, reinterpret_cast<uint8_t*>(&r));
  r.Reserved116 = 256;
  r.Reserved136 = 256;
}

void DefaultFilterRecord(FilterParams& r) { WriteFieldDefaults(RecordKind::Filter, reinterpret_cast<uint8_t*>(&r)); }

void DefaultWaveRecord(WaveParams& r) { WriteFieldDefaults(RecordKind::Wave, reinterpret_cast<uint8_t*>(&r)); }

GeneratorParams DefaultGeneratorParams() {
  GeneratorParams p;
  std::memset(&p, 0, sizeof p);
  WriteFieldDefaults(RecordKind::Generator, reinterpret_cast<uint8_t*>(&p));
  return p;
}

int32_t TransformSignalLength(int32_t code, const TransformParams& record, int32_t& outputLength) {
  if (code == ccGoertzelDft) outputLength = 1;
  return record.SignalLength <= 0 ? 102 : record.SignalLength;
}
