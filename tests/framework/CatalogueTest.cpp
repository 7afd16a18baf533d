#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"

namespace {
std::vector<std::string> g_shown;
void Capture(int32_t, const char* text, void*) { g_shown.emplace_back(text); }

struct CatalogueTest : ::testing::Test {
  void SetUp() override {
    g_shown.clear();
    Language.clear();
    SetHostMessageHandler(Capture, nullptr);
  }
  void TearDown() override { SetHostMessageHandler(nullptr, nullptr); }
};
}  // namespace

TEST_F(CatalogueTest, GeneratorKinds) {
  EXPECT_EQ(GeneratorKindOf("Func"), 0);
  EXPECT_EQ(GeneratorKindOf("Kaiser"), 10);
  EXPECT_EQ(GeneratorKindOf("All_in_One"), 16);
  EXPECT_TRUE(g_shown.empty());
  EXPECT_EQ(GeneratorKindOf("sine"), -1);  // letter case matters
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0], "RIR Eda Err:sine - Function Name not found");
  EXPECT_STREQ(GeneratorHelpTopic(9), "Windowin.htm#WinBlackman");
  EXPECT_STREQ(GeneratorHelpTopic(6), "Triangle.htm");
}

TEST_F(CatalogueTest, CatalogueCodesAndDialogCodes) {
  EXPECT_EQ(CatalogueCodeOf("Blackman trans"), 5);
  EXPECT_EQ(CatalogueCodeOf("Bartlett trans"), 7);
  EXPECT_EQ(CatalogueCodeOf("Goertzel DFT"), 46);
  EXPECT_EQ(CatalogueCodeOf("Spectrals_Group"), 58);
  EXPECT_EQ(CatalogueCodeOf("Windowing_Group"), 60);
  EXPECT_EQ(CatalogueCodeOf(""), 37);  // the first empty entry
  EXPECT_TRUE(g_shown.empty());
  EXPECT_EQ(CatalogueCodeOf("Nope"), -1);
  EXPECT_EQ(g_shown.size(), 1u);

  EXPECT_EQ(DialogCodeOf("Spectrals"), 10);
  EXPECT_EQ(DialogCodeOf("Fouriers_Group"), 7);
  EXPECT_EQ(DialogCodeOf("Filters"), 8);
  EXPECT_EQ(DialogCodeOf("Forward FFT"), 77);
  EXPECT_EQ(DialogCodeOf("Inverse FFT"), 78);
  EXPECT_EQ(DialogCodeOf("Hann trans"), 38);
  EXPECT_EQ(DialogCodeOf("Unknown"), 29);
  EXPECT_STREQ(CatalogueName(52), "Arithmetic_Group");
  EXPECT_STREQ(CatalogueName(0), "");
  EXPECT_STREQ(CatalogueName(61), "");
}

TEST_F(CatalogueTest, GroupsOfCodes) {
  EXPECT_EQ(GroupOfCode(5), 5);    // below 20: unchanged
  EXPECT_EQ(GroupOfCode(77), -1);  // Forward FFT
  EXPECT_EQ(GroupOfCode(78), -1);  // Inverse FFT
  EXPECT_EQ(GroupOfCode(31), 2);
  EXPECT_EQ(GroupOfCode(66), 2);
  EXPECT_EQ(GroupOfCode(38), 9);  // Hann trans
  EXPECT_EQ(GroupOfCode(42), 8);  // High-Level FIR
  EXPECT_EQ(GroupOfCode(51), 6);
  EXPECT_EQ(GroupOfCode(53), 5);
  EXPECT_EQ(GroupOfCode(55), 3);
  EXPECT_EQ(GroupOfCode(58), 4);
  EXPECT_EQ(GroupOfCode(76), 7);
  EXPECT_EQ(GroupOfCode(81), 10);
  for (int code : {20, 30, 67, 69, 79, 82, 1000}) EXPECT_EQ(GroupOfCode(code), -1) << code;
  EXPECT_TRUE(IsFilterCode(8));
  EXPECT_TRUE(IsFilterCode(49));
  EXPECT_FALSE(IsFilterCode(38));
  EXPECT_FALSE(IsFilterCode(12));  // below 20 the code is its own group
}

// The rows agree with the numbering: each class performs its family, each
// group export sits at its group number times 1000, and no row's lookup
// shows a message.
TEST_F(CatalogueTest, BlockTableRows) {
  std::vector<int> elementWise, desired;
  for (int code = -2; code <= 100; ++code) {
    if (IsElementWiseCode(code)) elementWise.push_back(code);
    if (UsesDesiredInput(code)) desired.push_back(code);
    EXPECT_LE(IsElementWiseCode(code) + IsBufferCode(code) + IsFilterOperationCode(code), 1) << code;
  }
  EXPECT_EQ(elementWise, (std::vector<int>{1, 2, 3, 4, 24, 30, 31, 32, 33, 34, 35, 36}));
  EXPECT_EQ(desired, (std::vector<int>{16, 17, 18}));
  for (int code = 1; code <= 51; ++code)
    EXPECT_EQ(IsFilterOperationCode(code), IsFilterCode(DialogCodeOfCatalogueCode(code))) << code;

  int groups = 0;
  for (const BlockRow& row : BlockTable()) {
    const bool transform = row.blockClass == BlockClass::SimpleTransform || row.blockClass == BlockClass::Transform ||
                           row.blockClass == BlockClass::FilterTransform;
    EXPECT_EQ(transform, row.catalogueCode > 0) << row.exportName;
    EXPECT_NE(row.description[0], '\0') << row.exportName;
    if (!transform) continue;
    EXPECT_STREQ(CatalogueName(row.catalogueCode), row.typeName);
    if (IsGroupDialogCode(row.dialogCode)) {
      ++groups;
      EXPECT_EQ(row.ordinal, row.group * 1000) << row.exportName;
      EXPECT_EQ(row.dialogCode, row.group) << row.exportName;
      EXPECT_GE(row.catalogueCode, ccArithmeticGroup) << row.exportName;
      continue;
    }
    EXPECT_EQ(row.dialogCode, DialogCodeOfCatalogueCode(row.catalogueCode)) << row.exportName;
    EXPECT_EQ(row.group, GroupOfCode(row.dialogCode)) << row.exportName;
    const BlockClass expected = IsElementWiseCode(row.catalogueCode) ? BlockClass::SimpleTransform
                                : IsBufferCode(row.catalogueCode)    ? BlockClass::Transform
                                                                     : BlockClass::FilterTransform;
    EXPECT_EQ(row.blockClass, expected) << row.exportName;
  }
  EXPECT_EQ(groups, 9);
  EXPECT_EQ(FindBlockRow("Blackman_trans_Init")->catalogueCode, ccBlackmanTrans);
  EXPECT_EQ(FindBlockRow("Blackman_trans_Init")->ordinal, 8);
  EXPECT_EQ(FindBlockRow("Spectrals_Group_Init")->catalogueCode, ccSpectralsGroup);
  EXPECT_EQ(FindBlockRow("Forward_FFT_Init")->group, tgNone);
  EXPECT_EQ(FindBlockRow("Kaiser_Init")->generatorKind, gkBlackman);
  EXPECT_EQ(FindBlockRow("Cosine_Init")->generatorKind, -1);
  EXPECT_EQ(FindBlockRow("Wave_Save_Init")->blockClass, BlockClass::WaveSave);
  EXPECT_EQ(FindBlockRow("Nope_Init"), nullptr);
  EXPECT_TRUE(g_shown.empty());
}
