#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "host/design/RecordFields.h"
#include "numeric/ParameterRecords.h"

namespace {
template <typename Record>
Record Zeroed() {
  Record r;
  std::memset(&r, 0, sizeof r);
  return r;
}
}  // namespace

TEST(ParameterRecords, DefaultsMatchTheirTables) {
  auto t = Zeroed<TransformParams>();
  DefaultTransformRecord(t);
  EXPECT_EQ(t.TransformCode, 0);
  EXPECT_EQ(t.SignalLength, 102);
  EXPECT_FLOAT_EQ(t.GoertzelFrequency, 0.125f);
  EXPECT_EQ(t.SamplFactor, 2);
  EXPECT_EQ(t.Reserved116, 256);
  EXPECT_EQ(t.CorrType, 1);
  EXPECT_TRUE(t.UserFunc == "1/10*t");
  EXPECT_EQ(t.BasisFunc.length, 0);
  EXPECT_DOUBLE_EQ(t.AddSubCoef, 13.0);
  EXPECT_EQ(t.ConvTapsCount, 6);
  EXPECT_FLOAT_EQ(t.ConvTaps[0], 1.0f);
  EXPECT_FLOAT_EQ(t.ConvTaps[1], 0.0f);

  auto f = Zeroed<FilterParams>();
  DefaultFilterRecord(f);
  EXPECT_EQ(f.TransformCode, 12);
  const float firTaps[7] = {0, 1, -0.5f, 1, -2, 1, 0};
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(f.FirTaps[i], firTaps[i]) << i;
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(f.LmsDelay[i], i < 5 ? 1.0f : 0.0f) << i;
  EXPECT_EQ(f.LmsDownFactor, 1);

  auto w = Zeroed<WaveParams>();
  DefaultWaveRecord(w);
  EXPECT_TRUE(w.FileName == "test.wav");
  EXPECT_EQ(w.SampleRate, 8000);
  EXPECT_EQ(w.BitsPerSample, 8);
  EXPECT_EQ(w.Channels, 1);

  const GeneratorParams g = DefaultGeneratorParams();
  EXPECT_EQ(g.Kind, 2);
  EXPECT_EQ(g.SinePeriod, 10000);
  EXPECT_DOUBLE_EQ(g.High, -20.0);
  EXPECT_EQ(g.WindowAmp, 150);
  EXPECT_TRUE(g.Formula == "1+2");
  EXPECT_EQ(g.Unused5[0] | g.Unused5[1] | g.Unused5[2], 0);
}

TEST(ParameterRecords, DefaultsKeepFieldsWithoutDefaults) {
  auto t = Zeroed<TransformParams>();
  t.TransformCode = 31;
  t.FftFlags = 9;
  t.GoertzelState[3] = 0xAB;
  DefaultTransformRecord(t);
  EXPECT_EQ(t.TransformCode, 31);
  EXPECT_EQ(t.FftFlags, 9);
  EXPECT_EQ(t.GoertzelState[3], 0xAB);
}

TEST(ParameterRecords, SignalLength) {
  auto t = Zeroed<TransformParams>();
  int32_t out = 55;
  for (int32_t n : {0, -7}) {
    t.SignalLength = n;
    EXPECT_EQ(TransformSignalLength(8, t, out), 102);
    EXPECT_EQ(out, 55);
  }
  t.SignalLength = 64;
  EXPECT_EQ(TransformSignalLength(46, t, out), 64);
  EXPECT_EQ(out, 1);
}

TEST(RecordFieldsTest, LayoutsAgreeWithRecordsAndDefaults) {
  EXPECT_EQ(GeneratorRecordLayout().size, 296u);
  EXPECT_EQ(TransformRecordLayout().size, 552u);
  EXPECT_EQ(FilterRecordLayout().size, 2024u);
  EXPECT_EQ(WaveRecordLayout().size, 68u);
  const GeneratorParams g = DefaultGeneratorParams();
  EXPECT_EQ(std::memcmp(DefaultRecord(GeneratorRecordLayout()).data(), &g, sizeof g), 0);
  const auto wave = DefaultRecord(WaveRecordLayout());
  EXPECT_EQ(
      std::get<std::string>(GetField(WaveRecordLayout(), wave.data(), *FindField(WaveRecordLayout(), "FileName"))),
      "test.wav");
  const auto filter = DefaultRecord(FilterRecordLayout());
  const auto taps = std::get<std::vector<double>>(
      GetField(FilterRecordLayout(), filter.data(), *FindField(FilterRecordLayout(), "FIRS_Taps")));
  ASSERT_EQ(taps.size(), 65u);
  EXPECT_DOUBLE_EQ(taps[2], -0.5);
  EXPECT_EQ(FindField(FilterRecordLayout(), "NoSuchField"), nullptr);
}

TEST(RecordFieldsTest, RecordsRoundTripByteForByteThroughTheirFields) {
  std::mt19937 rng(42);
  for (const RecordLayout* layout :
       {&GeneratorRecordLayout(), &TransformRecordLayout(), &FilterRecordLayout(), &WaveRecordLayout()}) {
    // A record full of plausible field values (library states and padding left zero).
    std::vector<uint8_t> original = DefaultRecord(*layout);
    std::string error;
    for (const RecordField& f : layout->fields) {
      if (f.libraryState) continue;
      FieldValue v;
      switch (f.type) {
        case FieldType::Bool:
          v = int64_t(rng() % 2);
          break;
        case FieldType::UInt8:
          v = int64_t(rng() % 256);
          break;
        case FieldType::UInt16:
          v = int64_t(rng() % 65536);
          break;
        case FieldType::Int32:
          v = int64_t(int32_t(rng()));
          break;
        case FieldType::Int64:
          v = int64_t(rng()) * 977 - 5;
          break;
        case FieldType::Float32:
          v = double(float(int32_t(rng()) / 1000.0));
          break;
        case FieldType::Float64:
          v = int32_t(rng()) / 7.0;
          break;
        case FieldType::Text:
          v = std::string(rng() % 56, 'a' + char(rng() % 26));
          break;
        case FieldType::Float32Array: {
          std::vector<double> list(f.count);
          for (double& x : list) x = double(float(int32_t(rng()) / 64.0));
          v = list;
          break;
        }
      }
      ASSERT_TRUE(SetField(*layout, original.data(), f, v, error)) << layout->name << "." << f.name << ": " << error;
    }
    // Read every field and write it into a fresh default record: same bytes.
    std::vector<uint8_t> copy = DefaultRecord(*layout);
    for (const RecordField& f : layout->fields) {
      if (f.libraryState) continue;
      ASSERT_TRUE(SetField(*layout, copy.data(), f, GetField(*layout, original.data(), f), error)) << f.name;
    }
    EXPECT_EQ(copy, original) << layout->name;
  }
}

TEST(RecordFieldsTest, BadValuesAreRefusedAndWriteNothing) {
  const RecordLayout& wave = WaveRecordLayout();
  std::vector<uint8_t> record = DefaultRecord(wave);
  const std::vector<uint8_t> before = record;
  std::string error;
  EXPECT_FALSE(SetField(wave, record.data(), *FindField(wave, "FileName"), std::string(56, 'x'), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(SetField(wave, record.data(), *FindField(wave, "Channels"), int64_t{70000}, error));
  EXPECT_FALSE(SetField(wave, record.data(), *FindField(wave, "SampleRate"), std::string("fast"), error));
  EXPECT_FALSE(SetField(wave, record.data(), *FindField(wave, "SampleRate"), 1.5, error));
  const RecordLayout& filter = FilterRecordLayout();
  std::vector<uint8_t> f = DefaultRecord(filter);
  EXPECT_FALSE(SetField(filter, f.data(), *FindField(filter, "FIRS_Taps"), std::vector<double>(66, 1.0), error));
  EXPECT_FALSE(SetField(filter, f.data(), *FindField(filter, "HighLevelFIRState"), int64_t{1}, error));
  EXPECT_FALSE(SetField(filter, f.data(), *FindField(filter, "LMSS_Step"), 1e300, error));
  EXPECT_EQ(record, before);
  EXPECT_EQ(f, DefaultRecord(filter));
}
