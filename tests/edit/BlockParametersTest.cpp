// The IExtParameter of "rir-eda edit": what the dialog reads, and what it
// hands back copied at once.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sstream>

#include "host/cli/BlockParameters.h"

TEST(BlockParameters, AnswersTheBlockAndCopiesWhatTheDialogHandsBack) {
  std::ostringstream out;
  BlockParameters p("Hann trans_16", {1, 2, 3}, std::nullopt, "RUSSIAN", "/lib/", out);
  EXPECT_STREQ(p.GetBlockTypeName(), "Hann trans_16");
  EXPECT_STREQ(p.GetLanguage(), "RUSSIAN");
  EXPECT_STREQ(p.GetDirectory(), "/lib/");
  EXPECT_EQ(p.GetOwnerWindow(), 0);
  EXPECT_NE(p.GetPositionSize(), 8);  // none stored
  EXPECT_EQ(p.GetDataSize(), 3);
  EXPECT_EQ(static_cast<const uint8_t*>(p.GetData())[2], 3);
  EXPECT_FALSE(p.NewRecord().has_value());

  // The dialog's buffers die with it: the bytes must be ours at once.
  uint8_t data[4] = {9, 8, 7, 6};
  int32_t where[2] = {-5, 40};
  p.SetData(data, 4);
  p.SetPosition(where, 8);
  std::memset(data, 0, sizeof data);
  where[0] = 0;
  ASSERT_TRUE(p.NewRecord().has_value());
  EXPECT_EQ(*p.NewRecord(), (std::vector<uint8_t>{9, 8, 7, 6}));
  ASSERT_TRUE(p.NewPosition().has_value());
  EXPECT_EQ((*p.NewPosition())[0], -5);
  EXPECT_EQ((*p.NewPosition())[1], 40);
  // A position of the wrong size is no position.
  BlockParameters q("Sine", {}, std::array<int32_t, 2>{3, 4}, "", "/lib/", out);
  EXPECT_EQ(q.GetPositionSize(), 8);
  EXPECT_EQ(static_cast<const int32_t*>(q.GetPosition())[1], 4);
  q.SetPosition(where, 4);
  EXPECT_FALSE(q.NewPosition().has_value());

  // Without a viewer on the PATH the page is named instead.
  const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
  setenv("PATH", "/nonexistent", 1);
  p.ShowHelp("/lib/Geners.htm#Sine");
  setenv("PATH", path.c_str(), 1);
  EXPECT_EQ(out.str(), "help: /lib/Geners.htm#Sine\n");
}
