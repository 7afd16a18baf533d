// Record texts travel between the ANSI code page and the controls' UTF-16.
#include <gtest/gtest.h>
#include <windows.h>

#include "dialogs/win32/WinText.h"

TEST(WinText, AnsiRecordTextsSurviveTheControlsAndLossyNamesAreRefused) {
  // Every character of the code page comes back as the same byte.
  for (int byte = 0x20; byte <= 0xFF; ++byte) {
    const std::string ansi(1, static_cast<char>(byte));
    const std::wstring wide = WideFromAnsi(ansi);
    if (wide.empty() || wide == L"\uFFFD") continue;  // a hole in the code page
    const auto back = AnsiFromWide(wide);
    ASSERT_TRUE(back.has_value()) << byte;
    EXPECT_EQ(*back, ansi) << byte;
  }
  // A character the code page cannot hold is refused, not replaced by '?'.
  if (GetACP() != CP_UTF8) {
    EXPECT_FALSE(AnsiFromWide(L"name\u4E2D\u0416.wav").has_value());
  }
  EXPECT_EQ(AnsiFromWide(L""), std::string());
  EXPECT_EQ(Utf8FromWide(WideFromUtf8("Свойства \xE2\x82\xAC")), "Свойства \xE2\x82\xAC");
}
