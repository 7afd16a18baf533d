#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Errors.h"

namespace {
struct Shown {
  int32_t severity;
  std::string text;
};
std::vector<Shown> g_shown;
void Capture(int32_t severity, const char* text, void*) { g_shown.push_back({severity, text}); }

struct MessagesTest : ::testing::Test {
  void SetUp() override {
    g_shown.clear();
    Language.clear();
    SetHostMessageHandler(Capture, nullptr);
  }
  void TearDown() override {
    SetHostMessageHandler(nullptr, nullptr);
    Language.clear();
  }
};
}  // namespace

TEST_F(MessagesTest, ErrorsInBothLanguages) {
  ShowLibError(22, Language, "TSine");
  Language = "RUSSIAN";
  ShowLibError(15, Language, "1+");
  ShowLibError(0, Language, "/x/NSPdllS/NSPPX.so");
  Language = "russian";  // only the exact text selects Russian
  ShowLibError(13);
  ASSERT_EQ(g_shown.size(), 4u);
  EXPECT_EQ(g_shown[0].severity, 0);
  EXPECT_EQ(g_shown[0].text, "RIR Eda Err:TSine - Function Name not found");
  EXPECT_EQ(g_shown[1].text, "RIR Eda Err:Формула введена неправильно или выборки сигнала вне области определения !!!");
  EXPECT_EQ(g_shown[2].text, "RIR Eda Err:Не могу загрузить билиотеку (/x/NSPdllS/NSPPX.so)");
  EXPECT_EQ(g_shown[3].text, "RIR Eda Err:Length of a signal should be a degree of 2");
}

TEST_F(MessagesTest, EnglishFormulaMessageCarriesTheFormula) {
  ShowLibError(15, Language, "ln(t)");
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].text,
            "RIR Eda Err:ln(t) - The formula is entered incorrectly or samples of a signal outside of a range "
            "of definition !!!");
}

TEST_F(MessagesTest, NumbersWithoutTextShowThePrefixAlone) {
  ShowLibError(3);
  ShowLibError(99);
  ShowLibInfo(1);
  ASSERT_EQ(g_shown.size(), 3u);
  EXPECT_EQ(g_shown[0].text, "RIR Eda Err:");
  EXPECT_EQ(g_shown[1].text, "RIR Eda Err:");
  EXPECT_EQ(g_shown[2].text, "");
  EXPECT_EQ(g_shown[2].severity, 1);
}

TEST_F(MessagesTest, InformationMessage) {
  ShowLibInfo(10);
  Language = "RUSSIAN";
  ShowLibInfo(10);
  ASSERT_EQ(g_shown.size(), 2u);
  EXPECT_EQ(g_shown[0].text, "The formula is entered correctly");
  EXPECT_EQ(g_shown[1].text, "Формула задана корректно");
}

TEST_F(MessagesTest, SelectLanguageCuts) {
  EXPECT_EQ(SelectLanguage("plain text"), "plain text");
  EXPECT_EQ(SelectLanguage("%eng%Yes%rus%Да"), "Yes");
  // An argument holding "%rus%" moves the cut to its first occurrence.
  EXPECT_EQ(SelectLanguage(ErrorMessageText(22, "a%rus%b")), "a");
  Language = "RUSSIAN";
  EXPECT_EQ(SelectLanguage("%eng%Yes%rus%Да"), "Да");
  EXPECT_EQ(SelectLanguage("%"), "");
}

TEST_F(MessagesTest, PresenterOrder) {
  std::vector<Shown> module;
  auto moduleCapture = [](int32_t s, const char* t, void* ctx) {
    static_cast<std::vector<Shown>*>(ctx)->push_back({s, t});
  };
  SetModuleMessagePresenter(moduleCapture, &module);
  ShowLibInfo(10);  // the host's handler wins
  SetHostMessageHandler(nullptr, nullptr);
  ShowLibInfo(10);  // then the dialog module's presenter
  SetModuleMessagePresenter(nullptr, nullptr);
  EXPECT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(module.size(), 1u);
}
