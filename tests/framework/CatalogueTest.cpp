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
  EXPECT_EQ(GroupOfCode(38), 9);   // Hann trans
  EXPECT_EQ(GroupOfCode(42), 8);   // High-Level FIR
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
