// The transform dialog and its table editor of the Windows build, opened
// through TransExtParams and driven by window messages.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "WinDriver.h"

#include <commctrl.h>

#include "dialogs/win32/WinTransformIds.h"
#include "numeric/ParameterRecords.h"
#include "support/DialogPictures.h"

namespace {

const wchar_t kCaption[] = L"Transformation options";
const wchar_t kRussianCaption[] = L"Параметры преобразований";

template <class Record>
std::vector<uint8_t> Bytes(const Record& r) {
  return std::vector<uint8_t>(reinterpret_cast<const uint8_t*>(&r), reinterpret_cast<const uint8_t*>(&r) + sizeof r);
}

template <class Record>
Record FromBytes(const std::vector<uint8_t>& bytes) {
  Record r{};
  if (bytes.size() == sizeof r) std::memcpy(&r, bytes.data(), sizeof r);
  return r;
}

std::vector<uint8_t> StoredHann() {
  alignas(8) TransformParams r{};
  DefaultTransformRecord(r);
  r.TransformCode = 8;
  r.SignalLength = 512;
  r.WinAlpha = 3.5f;
  r.GoertzelState[2] = 0x77;  // state the dialog never touches
  r.ConvTapsCount = 3;
  r.ConvTaps[1] = 0.25f;
  return Bytes(r);
}

std::vector<uint8_t> StoredFir() {
  alignas(8) FilterParams r{};
  DefaultFilterRecord(r);
  r.TransformCode = 12;
  r.FirUpFactor = 2;
  r.FirUpPhase = 1;
  r.LmsStep = 0.3f;
  r.HighFirState[7] = 0x42;
  return Bytes(r);
}

struct Block {
  const char* typeName;
  size_t recordSize;
  int32_t code;  // catalogue code OK stores
  std::vector<uint8_t> (*stored)();
};

const Block kBlocks[] = {{"Hann trans", 552, 8, StoredHann}, {"High-Level FIR", 2024, 12, StoredFir}};

}  // namespace

// Cancel stores nothing; OK with nothing stored hands back a record of the
// block's size and kind; OK without a change hands the stored record back
// byte for byte. The position is stored on every OK.
TEST(WinTransformDialog, CancelStoresNothingAndOkHandsTheRecordBack) {
  for (const Block& b : kBlocks) {
    SCOPED_TRACE(b.typeName);
    FakeExtParameter host;
    host.typeName = b.typeName;
    host.language = "ENGLISH";
    host.data = b.stored();
    ASSERT_TRUE(OpenDriven("TransExtParams", host, kCaption, [](HWND dialog) { PressCancel(dialog); }));
    EXPECT_TRUE(host.dataSet.empty());
    EXPECT_TRUE(host.positionsSet.empty());

    ASSERT_TRUE(OpenDriven("TransExtParams", host, kCaption, [](HWND dialog) { PressOk(dialog); }));
    ASSERT_EQ(host.dataSet.size(), 1u);
    EXPECT_EQ(host.dataSet[0], host.data);
    EXPECT_EQ(host.positionsSet.size(), 1u);

    host.data.clear();
    ASSERT_TRUE(OpenDriven("TransExtParams", host, kCaption, [](HWND dialog) { PressOk(dialog); }));
    ASSERT_EQ(host.dataSet.size(), 2u);
    ASSERT_EQ(host.dataSet[1].size(), b.recordSize);
    int32_t code = 0;
    std::memcpy(&code, host.dataSet[1].data(), sizeof code);
    EXPECT_EQ(code, b.code);
  }
}

// One change per dialog arrives in the record: the signal length of a
// window block, and a FIR taps list edited in the table editor.
TEST(WinTransformDialog, OneChangeArrivesInTheRecord) {
  FakeExtParameter hann;
  hann.typeName = "Hann trans";
  hann.data = StoredHann();
  ASSERT_TRUE(OpenDriven("TransExtParams", hann, kCaption, [](HWND dialog) {
    SetEditText(ChildById(dialog, WinTransformControlId("Num_Points")), L"256");
    PressOk(dialog);
  }));
  ASSERT_EQ(hann.dataSet.size(), 1u);
  alignas(8) TransformParams t = FromBytes<TransformParams>(hann.dataSet[0]);
  alignas(8) TransformParams before = FromBytes<TransformParams>(hann.data);
  EXPECT_EQ(t.SignalLength, 256);
  // The flag word is composed on OK (from the design state of the boxes for
  // a record that had none); nothing else changed.
  EXPECT_EQ(t.FftFlags, 1 + 128 + 512);
  t.SignalLength = before.SignalLength;
  t.FftFlags = before.FftFlags;
  EXPECT_EQ(Bytes(t), hann.data);

  FakeExtParameter fir;
  fir.typeName = "High-Level FIR";
  fir.language = "RUSSIAN";
  fir.data = StoredFir();
  std::wstring fieldText;
  ASSERT_TRUE(OpenDriven("TransExtParams", fir, kRussianCaption, [&](HWND dialog) {
    Click(ChildById(dialog, WinTransformControlId("FIRS_Taps") + 1));
    HWND editor = WaitForWindow(L"TableEdit");
    ASSERT_NE(editor, nullptr);
    Settle(editor);
    EXPECT_EQ(WindowText(ChildById(editor, te_Columns)), L"6");
    SetEditText(ChildById(editor, te_Columns), L"3");
    SetEditText(ChildById(editor, te_Cell0), L"2.5");
    PressOk(editor);
    Settle(dialog);
    fieldText = WindowText(ChildById(dialog, WinTransformControlId("FIRS_Taps")));
    PressOk(dialog);
  }));
  EXPECT_EQ(fieldText, L"{2.5,1,-0.5}");
  ASSERT_EQ(fir.dataSet.size(), 1u);
  const FilterParams f = FromBytes<FilterParams>(fir.dataSet[0]);
  EXPECT_EQ(f.FirTapsCount, 3);
  EXPECT_EQ(f.FirTaps[0], 2.5f);
  EXPECT_EQ(f.FirTaps[2], -0.5f);
  EXPECT_EQ(f.HighFirState[7], 0x42);
  EXPECT_EQ(f.FirUpFactor, 2);
  EXPECT_EQ(f.LmsStep, 0.3f);
}

// The shared rules reach the Win32 controls: a group block keeps only its
// group and opens on its stored kind; a typed down-sampling factor snaps to
// a divisor of the stored signal length.
TEST(WinTransformDialog, GroupTreeAndSignalLengthRules) {
  alignas(8) FilterParams iir{};
  DefaultFilterRecord(iir);
  iir.TransformCode = 14;
  FakeExtParameter group;
  group.typeName = "Filters_Group";
  group.data = Bytes(iir);
  size_t items = 0;
  std::wstring selected;
  bool delayShown = true;
  ASSERT_TRUE(OpenDriven("TransExtParams", group, kCaption, [&](HWND dialog) {
    HWND tree = ChildById(dialog, WinTransformControlId("TreeView"));
    items = static_cast<size_t>(SendMessageW(tree, TVM_GETCOUNT, 0, 0));
    wchar_t text[64] = {};
    TVITEMW item{};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    item.pszText = text;
    item.cchTextMax = 64;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    selected = text;
    delayShown = IsWindowVisible(ChildById(dialog, WinTransformControlId("IIRS_Delay"))) != FALSE;
    PressOk(dialog);
  }));
  EXPECT_EQ(items, 9u);  // "Filters" and its eight kinds
  EXPECT_EQ(selected, L"High-Level IIR");
  EXPECT_FALSE(delayShown);
  ASSERT_EQ(group.dataSet.size(), 1u);
  EXPECT_EQ(group.dataSet[0], group.data);

  alignas(8) TransformParams down{};
  DefaultTransformRecord(down);
  down.TransformCode = 21;
  down.SignalLength = 100;
  down.SamplFactor = 2;
  FakeExtParameter sampling;
  sampling.typeName = "Down Sample";
  sampling.data = Bytes(down);
  ASSERT_TRUE(OpenDriven("TransExtParams", sampling, kCaption, [](HWND dialog) {
    SetEditText(ChildById(dialog, WinTransformControlId("Sampl_Factor")), L"3");
    PressOk(dialog);
  }));
  ASSERT_EQ(sampling.dataSet.size(), 1u);
  const TransformParams snapped = FromBytes<TransformParams>(sampling.dataSet[0]);
  EXPECT_EQ(snapped.SamplFactor, 4);
  EXPECT_EQ(snapped.SignalLength, 100);
}

// The table editor: more than eight columns bring a scroll bar, no more
// than 65 are offered, and a cell that is not a number stops the read there:
// the field goes empty, the count is taken, later entries stay.
TEST(WinTransformDialog, TableEditorStopsAtTheFirstNonNumberAndHoldsAtMost65) {
  alignas(8) FilterParams r{};
  DefaultFilterRecord(r);
  const float entries[3] = {1, 0.5f, -2};
  std::memcpy(r.FirTaps, entries, sizeof entries);
  r.FirTapsCount = 3;
  FakeExtParameter host;
  host.typeName = "High-Level FIR";
  host.data = Bytes(r);
  bool scrollBefore = true, scrollAfter = false;
  std::wstring capped, fieldText = L"?", said;
  ASSERT_TRUE(OpenDriven("TransExtParams", host, kCaption, [&](HWND dialog) {
    Click(ChildById(dialog, WinTransformControlId("FIRS_Taps") + 1));
    HWND editor = WaitForWindow(L"TableEdit");
    ASSERT_NE(editor, nullptr);
    Settle(editor);
    scrollBefore = IsWindowVisible(ChildById(editor, te_Scroll)) != FALSE;
    SetEditText(ChildById(editor, te_Columns), L"100");
    Settle(editor);
    capped = WindowText(ChildById(editor, te_Columns));
    SetEditText(ChildById(editor, te_Columns), L"12");
    Settle(editor);
    scrollAfter = IsWindowVisible(ChildById(editor, te_Scroll)) != FALSE;
    SetEditText(ChildById(editor, te_Cell0 + 1), L"abc");
    PressOk(editor);
    said = CloseLibraryMessage();
    Settle(dialog);
    fieldText = WindowText(ChildById(dialog, WinTransformControlId("FIRS_Taps")));
    PressOk(dialog);
  }));
  EXPECT_EQ(said, L"FIRS_Taps[1] is not a number");
  EXPECT_FALSE(scrollBefore);
  EXPECT_EQ(capped, L"65");
  EXPECT_TRUE(scrollAfter);
  EXPECT_EQ(fieldText, L"");
  ASSERT_EQ(host.dataSet.size(), 1u);
  const FilterParams f = FromBytes<FilterParams>(host.dataSet[0]);
  EXPECT_EQ(f.FirTapsCount, 12);
  EXPECT_EQ(f.FirTaps[0], 1.0f);
  EXPECT_EQ(f.FirTaps[1], 0.5f);
  EXPECT_EQ(f.FirTaps[2], -2.0f);
}

// Pictures of every page kind, the LMS tabs and the table editor, in both
// languages, named as the Qt module's pictures (RIR_SCREENSHOT_DIR).
TEST(WinTransformDialog, Screenshots) {
  if (!ScreenshotsWanted()) GTEST_SKIP() << "RIR_SCREENSHOT_DIR is not set";
  const auto& pages = kTransformPagePictures;
  for (const char* language : {"ENGLISH", "RUSSIAN"}) {
    const bool ru = std::string(language) == "RUSSIAN";
    const std::string suffix = ru ? "-ru" : "-en";
    const wchar_t* caption = ru ? kRussianCaption : kCaption;
    for (const auto& p : pages) {
      FakeExtParameter host;
      host.typeName = p.type;
      host.language = language;
      const std::string name = std::string("transform-") + p.file + suffix;
      ASSERT_TRUE(OpenDriven("TransExtParams", host, caption, [&](HWND dialog) {
        Screenshot(dialog, name);
        if (std::string(p.file) == "lmss") {
          SelectTab(ChildById(dialog, WinTransformControlId("LMSS_Pages")), 1);
          SendMessageW(ChildById(dialog, WinTransformControlId("LMSH_isMulti")), BM_SETCHECK, BST_CHECKED, 0);
          Click(ChildById(dialog, WinTransformControlId("LMSH_isMulti")));
          Settle(dialog);
          Screenshot(dialog, "transform-lmss-addition" + suffix);
        }
        PressCancel(dialog);
      }));
    }
    // A stored "less than" operator is shown as stored.
    alignas(8) TransformParams lt{};
    DefaultTransformRecord(lt);
    lt.TransformCode = 33;
    lt.ThreshRelOp = 0;
    FakeExtParameter thresh;
    thresh.typeName = "Thresh";
    thresh.language = language;
    thresh.data = Bytes(lt);
    ASSERT_TRUE(OpenDriven("TransExtParams", thresh, caption, [&](HWND dialog) {
      Screenshot(dialog, "transform-thresh-lt" + suffix);
      PressCancel(dialog);
    }));
    // The table editor with 3 and with 12 entries.
    for (int32_t count : {3, 12}) {
      alignas(8) FilterParams f{};
      DefaultFilterRecord(f);
      const float entries[12] = {1, 0.5f, -2, 3, 0, 1, 1, 1, 0.25f, 4, 5, 6};
      std::memcpy(f.FirTaps, entries, sizeof entries);
      f.FirTapsCount = count;
      FakeExtParameter host;
      host.typeName = "High-Level FIR";
      host.language = language;
      host.data = Bytes(f);
      ASSERT_TRUE(OpenDriven("TransExtParams", host, caption, [&](HWND dialog) {
        Click(ChildById(dialog, WinTransformControlId("FIRS_Taps") + 1));
        HWND editor = WaitForWindow(L"TableEdit");
        ASSERT_NE(editor, nullptr);
        Settle(editor);
        Screenshot(editor, "table-edit-" + std::to_string(count) + suffix);
        PressOk(editor);
        Settle(dialog);
        PressCancel(dialog);
      }));
    }
  }
}
