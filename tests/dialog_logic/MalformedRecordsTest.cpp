// Stored records are whatever the host's file held: the dialogs must show
// any bytes without reading past a list or a text, and what they store from
// the controls keeps its counts and texts inside their fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "FakeTransformView.h"
#include "dialogs/logic/GeneratorDialogLogic.h"
#include "dialogs/logic/WaveDialogLogic.h"
#include "numeric/ParameterRecords.h"

namespace {

// Random bytes, all ones, all zeros and NaN patterns.
std::vector<std::vector<uint8_t>> Patterns(size_t size) {
  std::vector<std::vector<uint8_t>> out;
  out.emplace_back(size, 0xFF);
  out.emplace_back(size, 0x00);
  out.emplace_back(size, 0x7F);
  std::mt19937 random(12345);
  for (int i = 0; i < 200; ++i) {
    std::vector<uint8_t> bytes(size);
    for (uint8_t& b : bytes) b = static_cast<uint8_t>(random());
    out.push_back(std::move(bytes));
  }
  return out;
}

template <class Record>
Record From(const std::vector<uint8_t>& bytes) {
  EXPECT_EQ(bytes.size(), sizeof(Record));
  alignas(8) Record r{};
  std::memcpy(&r, bytes.data(), std::min(bytes.size(), sizeof r));
  return r;
}

}  // namespace

TEST(MalformedRecords, EveryDialogShowsAnyStoredBytesAndStoresBoundedRecords) {
  for (const auto& bytes : Patterns(sizeof(GeneratorParams))) {
    const GeneratorParams stored = From<GeneratorParams>(bytes);
    GeneratorParams back{};
    ValuesToRecord(RecordToValues(stored), stored.Kind, back);
    EXPECT_LE(back.Formula.length, 55);
  }
  for (const auto& bytes : Patterns(sizeof(TransformParams))) {
    Opened dialog("OneDim Convolution", bytes);
    const TransformParams back = From<TransformParams>(dialog.presenter.ControlsRecord());
    EXPECT_GE(back.ConvTapsCount, 0);
    EXPECT_LE(back.ConvTapsCount, 65);
    EXPECT_LE(back.UserFunc.length, 55);
    EXPECT_LE(back.BasisFunc.length, 55);
  }
  for (const auto& bytes : Patterns(sizeof(FilterParams))) {
    Opened dialog("Filters_Group", bytes);
    const FilterParams back = From<FilterParams>(dialog.presenter.ControlsRecord());
    for (int32_t count : {back.FirTapsCount, back.IirTapsCount, back.LmsTapsCount}) {
      EXPECT_GE(count, 0);
      EXPECT_LE(count, 65);
    }
  }
  WaveDialog::WaveFiles none = WaveDialog::SystemWaveFiles();
  none.isRegularFile = [](const std::string&) { return false; };
  for (const auto& bytes : Patterns(sizeof(WaveParams))) {
    for (const char* type : {"Load Wave", "Save Wave"}) {
      WaveDialog::WaveForm form(none);
      form.SetType(type);
      form.SetSettings("/plugins/", "");
      // The name shown stops at the field's end; a refused name keeps the
      // stored bytes as they were, length byte and all.
      EXPECT_LE(form.Open(bytes).name.size(), 55u);
    }
  }
}
