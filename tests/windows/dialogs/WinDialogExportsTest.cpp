// The three dialog exports of the DLL, opened by a host of our own and
// closed with Cancel and OK as a user would.
#include <gtest/gtest.h>

#include <cstring>

#include "WinDriver.h"
#include "numeric/ParameterRecords.h"

namespace {

struct ExportCase {
  const char* exportName;
  const char* typeName;
  const wchar_t* caption;
  const wchar_t* russianCaption;
  size_t recordSize;
};

const ExportCase kCases[] = {
    {"GenersExtParams", "Sine", L"Signal Generator Properties", L"Свойства генераторов сигналов", 296},
    {"GenersExtParams", "All_in_One", L"Signal Generator Properties", L"Свойства генераторов сигналов", 296},
    {"TransExtParams", "Hann trans", L"Transformation options", L"Параметры преобразований", 552},
    {"TransExtParams", "High-Level FIR", L"Transformation options", L"Параметры преобразований", 2024},
    {"TransExtParams", "Filters_Group", L"Transformation options", L"Параметры преобразований", 2024},
    {"WaveExtParams", "Load Wave", L"Wave Properties", L"Свойства чтения/записи Wave файлов", 68},
    {"WaveExtParams", "Save Wave", L"Wave Properties", L"Свойства чтения/записи Wave файлов", 68},
};

}  // namespace

// Cancel stores nothing; OK without a stored record hands back a record of
// the block's size, and OK again with that record hands it back unchanged;
// an unmoved dialog stores no position. Both languages.
TEST(WinDialogExports, CancelStoresNothingAndOkHandsBackTheRecord) {
  for (const ExportCase& c : kCases) {
    for (bool russian : {false, true}) {
      SCOPED_TRACE(std::string(c.exportName) + " " + c.typeName + (russian ? " RUSSIAN" : ""));
      const wchar_t* caption = russian ? c.russianCaption : c.caption;
      FakeExtParameter host;
      host.typeName = c.typeName;
      host.language = russian ? "RUSSIAN" : "ENGLISH";
      host.directory = "C:\\plugins\\";
      ASSERT_TRUE(OpenDriven(c.exportName, host, caption, [](HWND dialog) { PressCancel(dialog); }));
      EXPECT_TRUE(host.dataSet.empty());
      EXPECT_TRUE(host.positionsSet.empty());

      ASSERT_TRUE(OpenDriven(c.exportName, host, caption, [](HWND dialog) { PressOk(dialog); }));
      ASSERT_EQ(host.dataSet.size(), 1u);
      EXPECT_EQ(host.dataSet[0].size(), c.recordSize);
      // The transform dialog stores its position on every OK, as on Linux.
      EXPECT_EQ(host.positionsSet.size(), std::string(c.exportName) == "TransExtParams" ? 1u : 0u);

      host.data = host.dataSet[0];
      ASSERT_TRUE(OpenDriven(c.exportName, host, caption, [](HWND dialog) { PressOk(dialog); }));
      ASSERT_EQ(host.dataSet.size(), 2u);
      EXPECT_EQ(host.dataSet[1], host.data);
      EXPECT_EQ(host.refs, 1);
    }
  }
}

// A stored position from a larger screen opens the dialog on this one; a
// dialog moved by the user hands its new position back with the record.
TEST(WinDialogExports, StoredPositionsStayOnScreenAndMovesAreStored) {
  for (const ExportCase& c : kCases) {
    SCOPED_TRACE(std::string(c.exportName) + " " + c.typeName);
    FakeExtParameter host;
    host.typeName = c.typeName;
    host.position = std::vector<int32_t>{30000, -5000};
    RECT placed{};
    ASSERT_TRUE(OpenDriven(c.exportName, host, c.caption, [&](HWND dialog) {
      GetWindowRect(dialog, &placed);
      PressCancel(dialog);
    }));
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_GE(placed.left, work.left);
    EXPECT_LE(placed.right, work.right);
    EXPECT_GE(placed.top, work.top);

    host.position = std::vector<int32_t>{40, 50};
    ASSERT_TRUE(OpenDriven(c.exportName, host, c.caption, [](HWND dialog) {
      SetWindowPos(dialog, nullptr, 70, 90, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      PressOk(dialog);
    }));
    ASSERT_EQ(host.positionsSet.size(), 1u);
    EXPECT_EQ(host.positionsSet[0], (std::vector<int32_t>{70, 90}));
    EXPECT_EQ(host.dataSet.size(), 1u);
  }
}

// The host's window owns the dialog and is disabled while it runs (modal);
// a handle that is no window is ignored.
TEST(WinDialogExports, TheHostsWindowOwnsTheModalDialog) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100, nullptr,
                               nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(owner, nullptr);
  for (const ExportCase& c : kCases) {
    SCOPED_TRACE(std::string(c.exportName) + " " + c.typeName);
    FakeExtParameter host;
    host.typeName = c.typeName;
    host.ownerWindow = static_cast<int32_t>(reinterpret_cast<intptr_t>(owner));
    HWND ownedBy = nullptr;
    bool ownerEnabled = true;
    ASSERT_TRUE(OpenDriven(c.exportName, host, c.caption, [&](HWND dialog) {
      ownedBy = GetWindow(dialog, GW_OWNER);
      ownerEnabled = IsWindowEnabled(owner) != FALSE;
      PressCancel(dialog);
    }));
    EXPECT_EQ(ownedBy, owner);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner));
  }
  FakeExtParameter stray;
  stray.typeName = "Sine";
  stray.ownerWindow = 0x7FFFFFF0;  // no window
  ASSERT_TRUE(
      OpenDriven("GenersExtParams", stray, L"Signal Generator Properties", [](HWND dialog) { PressOk(dialog); }));
  EXPECT_EQ(stray.dataSet.size(), 1u);
  DestroyWindow(owner);
}
