#include <gtest/gtest.h>

#include "dialogs/logic/DialogLanguage.h"
#include "dialogs/logic/ServiceHooks.h"

TEST(DialogLanguage, RussianOnlyForTheWholeWordInAnyCase) {
  EXPECT_TRUE(IsRussianLanguage("RUSSIAN"));
  EXPECT_TRUE(IsRussianLanguage("russian"));
  EXPECT_FALSE(IsRussianLanguage("RUSSIAN "));
  EXPECT_FALSE(IsRussianLanguage(""));
  EXPECT_FALSE(IsRussianLanguage("ENGLISH"));
}

TEST(DialogLanguage, StoredPositionsStayOnTheScreen) {
  const ScreenRect area{0, 0, 1280, 1024};
  ScreenRect at = KeepOnScreen(100, 200, 400, 300, area);
  EXPECT_EQ(at.left, 100);
  EXPECT_EQ(at.top, 200);
  at = KeepOnScreen(5000, -400, 400, 300, area);  // from a larger layout
  EXPECT_EQ(at.left, 880);
  EXPECT_EQ(at.top, 0);
  at = KeepOnScreen(INT32_MIN, INT32_MAX, 400, 300, area);  // no overflow at the extremes
  EXPECT_EQ(at.left, 0);
  EXPECT_EQ(at.top, 724);
  at = KeepOnScreen(50, 50, 2000, 2000, area);  // too big: the top-left corner stays reachable
  EXPECT_EQ(at.left, 0);
  EXPECT_EQ(at.top, 0);
}

TEST(DialogLanguage, MissingServicesGiveSafeAnswers) {
  RirDialogServices none{};
  none.size = sizeof none;
  std::string shown;
  const DialogHooks hooks = HooksFromServices(none, nullptr, [&](const std::string& t) { shown = t; });
  EXPECT_EQ(hooks.dialogCodeOf("Hann"), 29);
  EXPECT_EQ(hooks.groupOfCode(3), -1);
  EXPECT_FALSE(hooks.isFilterCode(40));
  EXPECT_EQ(hooks.generatorKindOf("Sine"), -1);
  hooks.showInfo(10);  // nothing to call, nothing happens
  EXPECT_FALSE(hooks.showError);
  EXPECT_FALSE(hooks.checkFormula);
  EXPECT_FALSE(hooks.generatorPreview);
  EXPECT_FALSE(hooks.showHelp);
  hooks.showText("hello");
  EXPECT_EQ(shown, "hello");
}
