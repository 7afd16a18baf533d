// The Win32 generator dialog, opened through GenersExtParams by a host of our
// own and driven by window messages as a user would.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cstring>

#include "WinDriver.h"
#include "dialogs/logic/GeneratorDialogLogic.h"
#include "dialogs/win32/WinGeneratorDialog.h"
#include "dialogs/win32/WinText.h"
#include "framework/BlockCatalogue.h"
#include "numeric/ParameterRecords.h"
#include "support/SampleRecords.h"

namespace {

constexpr const wchar_t* kCaption = L"Signal Generator Properties";

std::vector<uint8_t> Bytes(const GeneratorParams& r) {
  const auto* b = reinterpret_cast<const uint8_t*>(&r);
  return std::vector<uint8_t>(b, b + sizeof r);
}

GeneratorParams Record(const std::vector<uint8_t>& bytes) {
  GeneratorParams r{};
  EXPECT_EQ(bytes.size(), sizeof r);
  if (bytes.size() == sizeof r) std::memcpy(&r, bytes.data(), sizeof r);
  return r;
}

HWND Control(HWND dialog, const char* name, int offset = 0) {
  const int32_t index = GeneratorControlIndex(name);
  EXPECT_GE(index, 0) << name;
  return ChildById(dialog, GeneratorControlId(static_cast<size_t>(index)) + offset);
}

// Opens the dialog for `host`, runs `drive`, and gives back what was stored.
void Drive(FakeExtParameter& host, const std::function<void(HWND)>& drive) {
  host.dataSet.clear();
  host.positionsSet.clear();
  ASSERT_TRUE(OpenDriven("GenersExtParams", host, kCaption, drive));
}

}  // namespace

// Cancel stores nothing; OK without a change hands back the stored record
// byte for byte, or the defaults of the block's kind when none is stored.
TEST(WinGeneratorDialog, CancelStoresNothingAndOkHandsBackTheRecord) {
  FakeExtParameter host;
  host.typeName = "Sine";
  Drive(host, [](HWND dialog) { PressCancel(dialog); });
  EXPECT_TRUE(host.dataSet.empty());
  EXPECT_TRUE(host.positionsSet.empty());

  Drive(host, [](HWND dialog) { PressOk(dialog); });
  ASSERT_EQ(host.dataSet.size(), 1u);
  GeneratorParams expected = DefaultGeneratorParams();
  expected.Kind = gkSine;
  EXPECT_EQ(host.dataSet[0], Bytes(expected));
  EXPECT_TRUE(host.positionsSet.empty());

  // Every field off its default, periods in several units, a record of another kind.
  const GeneratorParams r = GeneratorRecordOffDefaults();
  for (const char* type : {"All_in_One", "Sine"}) {
    SCOPED_TRACE(type);
    host.typeName = type;
    host.data = Bytes(r);
    Drive(host, [](HWND dialog) { PressOk(dialog); });
    ASSERT_EQ(host.dataSet.size(), 1u);
    EXPECT_EQ(host.dataSet[0], host.data);
    EXPECT_EQ(host.refs, 1);
  }
}

// One change per control kind arrives in the record at its own offset, and
// nothing else changes.
TEST(WinGeneratorDialog, OneChangeArrivesAtItsOffset) {
  FakeExtParameter host;
  host.typeName = "Sine";
  Drive(host, [](HWND dialog) {
    SetEditText(Control(dialog, "FSineAmp"), L"4321");
    PressOk(dialog);
  });
  ASSERT_EQ(host.dataSet.size(), 1u);
  GeneratorParams expected = DefaultGeneratorParams();
  expected.Kind = gkSine;
  expected.SineAmp = 4321;
  EXPECT_EQ(host.dataSet[0], Bytes(expected));
  int64_t amp = 0;
  std::memcpy(&amp, host.dataSet[0].data() + 40, sizeof amp);
  EXPECT_EQ(amp, 4321);

  // A window of an All_in_One block: another Wind_type item is another kind.
  host.typeName = "All_in_One";
  GeneratorParams stored = DefaultGeneratorParams();
  stored.Kind = gkHann;
  host.data = Bytes(stored);
  Drive(host, [](HWND dialog) {
    HWND type = Control(dialog, "Wind_type");
    EXPECT_EQ(SendMessageW(type, CB_GETCURSEL, 0, 0), 1);  // Hann
    SelectComboItem(type, 2);                              // Hamming
    PressOk(dialog);
  });
  ASSERT_EQ(host.dataSet.size(), 1u);
  stored.Kind = gkHamming;
  EXPECT_EQ(host.dataSet[0], Bytes(stored));

  // A period of 0 becomes 1 of the unit shown (10000 ps shows as 10 ns); a
  // fraction in FBeta is stored to the nearest integer; the formula in lower case.
  host.typeName = "All_in_One";
  host.data.clear();
  Drive(host, [](HWND dialog) {
    HWND period = Control(dialog, "FSinePeriod");
    EXPECT_EQ(SendMessageW(Control(dialog, "FSinePeriod", kGeneratorUnitOffset), CB_GETCURSEL, 0, 0), 1);
    SetEditText(period, L"0");
    EXPECT_EQ(WindowText(period), L"1");
    SetEditText(Control(dialog, "FBeta"), L"-2.6");
    SetEditText(Control(dialog, "BlackLen"), L"5000");
    EXPECT_EQ(WindowText(Control(dialog, "BlackLen")), L"1000");
    SetEditText(Control(dialog, "Func_Str"), L"SIN(T)*3");
    PressOk(dialog);
  });
  ASSERT_EQ(host.dataSet.size(), 1u);
  const GeneratorParams back = Record(host.dataSet[0]);
  EXPECT_EQ(back.SinePeriod, 1000);
  EXPECT_EQ(back.Beta, -3);
  EXPECT_EQ(back.BlackLen, 1000);
  EXPECT_EQ(back.Formula.Get(), "sin(t)*3");
  EXPECT_EQ(back.Kind, gkModSine);

  // The radio pair and a unit switch: the number stays, the time scales.
  host.typeName = "ModSine";
  Drive(host, [](HWND dialog) {
    SendMessageW(Control(dialog, "isSingle"), BM_CLICK, 0, 0);
    SelectComboItem(Control(dialog, "FModMainTone", kGeneratorUnitOffset), 2);  // 100 ps -> 100 us
    Settle(dialog);
    EXPECT_EQ(WindowText(Control(dialog, "FModMainTone")), L"100");
    PressOk(dialog);
  });
  ASSERT_EQ(host.dataSet.size(), 1u);
  GeneratorParams modSine = DefaultGeneratorParams();
  modSine.Kind = gkModSine;
  modSine.IsSingle = 1;
  modSine.ModMainTone = 100000000;
  EXPECT_EQ(host.dataSet[0], Bytes(modSine));
}

// The pages a block type offers, the help topic of the page, and a move.
TEST(WinGeneratorDialog, PagesHelpAndPosition) {
  FakeExtParameter host;
  host.typeName = "Hann";
  host.directory = "C:\\rir\\";
  host.position = std::vector<int32_t>{40, 50};
  Drive(host, [](HWND dialog) {
    HWND tab = ChildById(dialog, kGeneratorTabId);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(SendMessageW(Control(dialog, "Wind_type"), CB_GETCOUNT, 0, 0), 1);  // its own window only
    EXPECT_TRUE(IsWindowVisible(Control(dialog, "WindowLen")));
    EXPECT_FALSE(IsWindowVisible(Control(dialog, "FSineAmp")));
    Click(ChildById(dialog, IDHELP));
    Settle(dialog);
    SetWindowPos(dialog, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PressOk(dialog);
  });
  EXPECT_EQ(host.helpShown, std::vector<std::string>{"C:\\rir\\Windowin.htm#WinHann"});
  ASSERT_EQ(host.positionsSet.size(), 1u);
  EXPECT_EQ(host.positionsSet[0], (std::vector<int32_t>{70, 90}));
  ASSERT_EQ(host.dataSet.size(), 1u);
  EXPECT_EQ(Record(host.dataSet[0]).Kind, gkHann);

  host.typeName = "All_in_One";
  host.position.reset();
  Drive(host, [](HWND dialog) {
    HWND tab = ChildById(dialog, kGeneratorTabId);
    EXPECT_EQ(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0), kGeneratorPageCount - 1);  // never Random
    EXPECT_EQ(SendMessageW(tab, TCM_GETCURSEL, 0, 0), gpModSine);                   // the default record's kind
    SelectTab(tab, gpGaussian - 1);  // the tabs after Random sit one place to the left
    EXPECT_TRUE(IsWindowVisible(Control(dialog, "FStDev")));
    PressOk(dialog);
  });
  ASSERT_EQ(host.dataSet.size(), 1u);
  EXPECT_EQ(Record(host.dataSet[0]).Kind, gkGaussian);
  EXPECT_TRUE(host.positionsSet.empty());
}

// Pictures of every page a block offers, in English and Russian, when asked
// for (tools/windows-dialog-screenshots.sh).
TEST(WinGeneratorDialog, Screenshots) {
  if (!ScreenshotsWanted()) GTEST_SKIP() << "RIR_SCREENSHOT_DIR is not set";
  struct Shot {
    const char* typeName;
    const char* file;
  };
  const Shot shots[] = {{"Func", "function"},          {"Sine", "sine"},         {"ModSine", "modsine"},
                        {"Constant", "constant"},      {"Tone", "tone"},         {"Triangle", "triangle"},
                        {"PseudoRandom", "unirandom"}, {"Gaussian", "gaussian"}, {"Blackman", "blackman"},
                        {"Kaiser", "kaiser"},          {"Hann", "windowing"}};
  for (bool russian : {false, true}) {
    for (const Shot& s : shots) {
      FakeExtParameter host;
      host.typeName = s.typeName;
      host.language = russian ? "RUSSIAN" : "ENGLISH";
      const std::string name = std::string("generator-") + s.file + (russian ? "-ru" : "-en");
      ASSERT_TRUE(
          OpenDriven("GenersExtParams", host, russian ? L"Свойства генераторов сигналов" : kCaption, [&](HWND dialog) {
            Screenshot(dialog, name);
            PressCancel(dialog);
          }));
    }
  }
}

// The Check button asks the library's formula evaluator through the plug-in's
// services: a bad formula gets message 15 with the formula, a good one
// message 10; neither stores anything.
TEST(WinGeneratorDialog, FormulaCheckAnswersWithTheLibrarysMessages) {
  FakeExtParameter host;
  host.typeName = "Func";
  std::wstring bad;
  std::wstring good;
  Drive(host, [&](HWND dialog) {
    SetEditText(Control(dialog, "Func_Str"), L"SIN(T)*(");
    Click(ChildById(dialog, kGeneratorCheckId));
    bad = CloseLibraryMessage();
    SetEditText(Control(dialog, "Func_Str"), L"SIN(T)*3");
    Click(ChildById(dialog, kGeneratorCheckId));
    good = CloseLibraryMessage();
    PressCancel(dialog);
  });
  EXPECT_NE(bad.find(L"sin(t)*("), std::wstring::npos) << Utf8FromWide(bad);
  EXPECT_NE(bad.find(L"The formula is entered incorrectly"), std::wstring::npos) << Utf8FromWide(bad);
  EXPECT_NE(good.find(L"The formula is entered correctly"), std::wstring::npos) << Utf8FromWide(good);
  EXPECT_TRUE(host.dataSet.empty());
}
