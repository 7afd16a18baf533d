// The wave dialog of the Windows build, opened through WaveExtParams and
// driven by window messages: what Cancel and OK hand back on both pages.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "WinDriver.h"
#include "dialogs/win32/WinWaveDialogIds.h"
#include "numeric/ParameterRecords.h"
#include "wave/Wave_fileIO.h"
#include "support/SampleRecords.h"
#include "support/RecordBytes.h"

namespace {

const wchar_t* const kCaption = L"Wave Properties";
const wchar_t* const kRussianCaption = L"Свойства чтения/записи Wave файлов";

// A folder of wave files for the load page: "tone.wav" (22050 Hz, 16 bits,
// stereo) and "sub\low.wav" (8000 Hz, 8 bits, mono).
std::string WaveFolder() {
  static const std::string folder = [] {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string dir = std::string(temp) + "rir_wave_dialog\\";
    CreateDirectoryA(dir.c_str(), nullptr);
    CreateDirectoryA((dir + "sub").c_str(), nullptr);
    auto write = [](const std::string& path, int32_t rate, uint16_t bits, uint16_t channels) {
      TWaveFile file;
      const int32_t samples[4] = {1, 2, 3, 4};
      EXPECT_TRUE(file.OpenWrite(path, rate, bits, channels));
      EXPECT_TRUE(file.WriteSamples(4, samples));
      EXPECT_TRUE(file.Close());
    };
    write(dir + "tone.wav", 22050, 16, 2);
    write(dir + "sub\\low.wav", 8000, 8, 1);
    return dir;
  }();
  return folder;
}

FakeExtParameter Host(const char* type, const std::string& directory, const char* language = "ENGLISH") {
  FakeExtParameter host;
  host.typeName = type;
  host.language = language;
  host.directory = directory;
  return host;
}

}  // namespace

// For each page: Cancel stores nothing; OK without changes hands back the
// stored record byte for byte, and a default record when none is stored.
TEST(WinWaveDialog, CancelStoresNothingAndOkKeepsTheRecord) {
  const std::string dir = WaveFolder();
  alignas(4) WaveParams defaults{};
  DefaultWaveRecord(defaults);
  struct Case {
    const char* type;
    WaveParams stored;
  };
  const Case cases[] = {
      {"Load Wave", WaveRecord("tone.wav", 22050, 16, 2, 3)},
      {"Load Wave_2", WaveRecord(dir + "sub\\low.wav", 8000, 8, 1)},  // a whole path stays whole
      {"Save Wave", WaveRecord("out.wav", 44100, 8, 1, 4)},
      {"Save Wave", WaveRecord("out16.wav", 22050, 16, 1, 0)},  // 16 bits kept though the button is disabled
      {"Save Wave", WaveRecord("hi.wav", 96000, 8, 1, 2)},      // a rate the list lacks
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.stored.FileName.Get());
    FakeExtParameter host = Host(c.type, dir);
    host.data = RecordBytes(c.stored);
    ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [](HWND dialog) { PressCancel(dialog); }));
    EXPECT_TRUE(host.dataSet.empty());
    EXPECT_TRUE(host.positionsSet.empty());
    ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [](HWND dialog) { PressOk(dialog); }));
    ASSERT_EQ(host.dataSet.size(), 1u);
    EXPECT_EQ(host.dataSet[0], host.data);
    EXPECT_TRUE(host.positionsSet.empty());
    EXPECT_EQ(host.refs, 1);
  }
  // No stored record: the defaults, on either page, with no message in the way.
  for (const char* type : {"Load Wave", "Save Wave"}) {
    SCOPED_TRACE(type);
    FakeExtParameter host = Host(type, dir, "RUSSIAN");
    ASSERT_TRUE(OpenDriven("WaveExtParams", host, kRussianCaption, [](HWND dialog) { PressOk(dialog); }));
    ASSERT_EQ(host.dataSet.size(), 1u);
    EXPECT_EQ(host.dataSet[0], RecordBytes(defaults));
  }
}

// The load page shows a stored file's header, or says in the dialog that it
// cannot read it; OK then keeps the stored record.
TEST(WinWaveDialog, LoadPageHeaderAndUnreadableFiles) {
  const std::string dir = WaveFolder();
  FakeExtParameter host = Host("Load Wave", dir);
  host.data = RecordBytes(WaveRecord("tone.wav", 0, 0, 0));
  std::wstring header;
  ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [&](HWND dialog) {
    header = WindowText(ChildById(dialog, WinWaveControlId("WaveProp")));
    PressOk(dialog);
  }));
  EXPECT_EQ(header, L"NumChannels    - 2\r\nSample per sec - 22050\r\nBits per sec   - 16");
  ASSERT_EQ(host.dataSet.size(), 1u);
  EXPECT_EQ(host.dataSet[0], RecordBytes(WaveRecord("tone.wav", 22050, 16, 2)));  // the header from the file

  FakeExtParameter missing = Host("Load Wave", dir);
  missing.data = RecordBytes(WaveRecord("absent.wav", 16000, 16, 2, 1));
  std::wstring said;
  ASSERT_TRUE(OpenDriven("WaveExtParams", missing, kCaption, [&](HWND dialog) {
    said = WindowText(ChildById(dialog, WinWaveControlId("WaveProp")));
    PressOk(dialog);
  }));
  EXPECT_NE(said.find(L"absent.wav - file not exists"), std::wstring::npos) << said;
  ASSERT_EQ(missing.dataSet.size(), 1u);
  EXPECT_EQ(missing.dataSet[0], missing.data);
}

// One change per page arrives in the record.
TEST(WinWaveDialog, OneChangeArrivesInTheRecord) {
  const std::string dir = WaveFolder();
  FakeExtParameter save = Host("Save Wave", dir);
  save.data = RecordBytes(WaveRecord("out.wav", 8000, 8, 1, 0));
  ASSERT_TRUE(OpenDriven("WaveExtParams", save, kCaption, [](HWND dialog) {
    SelectComboItem(ChildById(dialog, WinWaveControlId("WaveRate")), 1);    // "44100"
    SelectComboItem(ChildById(dialog, WinWaveControlId("SampleWave")), 4);  // "Nice_work"
    Settle(dialog);
    PressOk(dialog);
  }));
  ASSERT_EQ(save.dataSet.size(), 1u);
  EXPECT_EQ(save.dataSet[0], RecordBytes(WaveRecord("out.wav", 44100, 8, 1, 4)));

  FakeExtParameter load = Host("Load Wave", dir);
  load.data = RecordBytes(WaveRecord("tone.wav", 22050, 16, 2));
  ASSERT_TRUE(OpenDriven("WaveExtParams", load, kCaption, [](HWND dialog) {
    SetEditText(ChildById(dialog, WinWaveControlId("LoadFileName")), L"sub\\low.wav");
    Settle(dialog);
    PressOk(dialog);
  }));
  ASSERT_EQ(load.dataSet.size(), 1u);
  EXPECT_EQ(load.dataSet[0], RecordBytes(WaveRecord("sub\\low.wav", 8000, 8, 1)));
}

// A typed name the ANSI code page cannot hold is refused with a message and
// the dialog stays open: the record never gets a mangled name.
TEST(WinWaveDialog, NamesWithoutAnAnsiFormAreRefused) {
  if (GetACP() == CP_UTF8) GTEST_SKIP() << "the ANSI code page holds every character";
  FakeExtParameter host = Host("Save Wave", WaveFolder());
  std::wstring said;
  bool stayedOpen = false;
  ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [&](HWND dialog) {
    SetEditText(ChildById(dialog, WinWaveControlId("SaveWaveFile")), L"\u03b1\u03b2\u03b3\u4e2d.wav");
    PressOk(dialog);
    HWND box = WaitForWindow(L"Rir_Eda", 5000);
    ASSERT_NE(box, nullptr);
    said = DescribeChildren(box);
    PressOk(box);
    Settle(dialog);
    stayedOpen = IsWindowVisible(dialog) != FALSE;
    PressCancel(dialog);
  }));
  EXPECT_TRUE(stayedOpen);
  EXPECT_NE(said.find(L"code page"), std::wstring::npos) << said;
  EXPECT_TRUE(host.dataSet.empty());
}

// Pictures of both pages in both languages (tools/windows-dialog-screenshots.sh).
TEST(WinWaveDialog, Screenshots) {
  if (!ScreenshotsWanted()) GTEST_SKIP() << "RIR_SCREENSHOT_DIR not set";
  const std::string dir = WaveFolder();
  for (bool russian : {false, true}) {
    const std::string suffix = russian ? "-ru" : "-en";
    FakeExtParameter load = Host("Load Wave", dir, russian ? "RUSSIAN" : "ENGLISH");
    load.data = RecordBytes(WaveRecord("tone.wav", 22050, 16, 2));
    ASSERT_TRUE(OpenDriven("WaveExtParams", load, russian ? kRussianCaption : kCaption, [&](HWND dialog) {
      Screenshot(dialog, "wave-load" + suffix);
      PressCancel(dialog);
    }));
    FakeExtParameter save = Host("Save Wave", dir, russian ? "RUSSIAN" : "ENGLISH");
    save.data = RecordBytes(WaveRecord("NewTest.wav", 8000, 8, 1));
    ASSERT_TRUE(OpenDriven("WaveExtParams", save, russian ? kRussianCaption : kCaption, [&](HWND dialog) {
      Screenshot(dialog, "wave-save" + suffix);
      PressCancel(dialog);
    }));
  }
}

// The DLL carries the six clips as raw data (type 10), byte for byte the
// files the Qt module carries; names compare without regard to case.
TEST(WinWaveDialog, ClipsAreRawDataResourcesOfTheDll) {
  HMODULE dll = LoadLibraryA(RIR_PLUGIN_PATH);
  ASSERT_NE(dll, nullptr);
  for (const char* name : {"Fantastic", "Perfect", "Great", "Nice_work", "Thank_You", "TEST"}) {
    SCOPED_TRACE(name);
    std::string lower = name;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    HRSRC found = FindResourceA(dll, lower.c_str(), MAKEINTRESOURCEA(10));
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(dll, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(LoadResource(dll, found)));
    ASSERT_NE(bytes, nullptr);
    std::vector<uint8_t> file;
    if (FILE* f = std::fopen((std::string(RIR_SOURCE_DIR) + "/dialogs/clips/" + name + ".wav").c_str(), "rb")) {
      int c;
      while ((c = std::fgetc(f)) != EOF) file.push_back(static_cast<uint8_t>(c));
      std::fclose(f);
    }
    ASSERT_GT(file.size(), 1000u);
    EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + size), file);
  }
  FreeLibrary(dll);
}

// Play on the save page either plays the clips to their end (the dialog
// keeps answering meanwhile, its Play button greyed) or says that there is
// no sound card; it never fails to find a clip.
TEST(WinWaveDialog, PlayFindsTheClipsAndKeepsTheDialogAnswering) {
  for (uint8_t sound : {uint8_t{3}, uint8_t{0}}) {  // "Great", then "All_waves"
    SCOPED_TRACE(sound);
    FakeExtParameter host = Host("Save Wave", WaveFolder());
    host.data = RecordBytes(WaveRecord("out.wav", 8000, 8, 1, sound));
    std::wstring said;
    bool played = false;
    ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [&](HWND dialog) {
      HWND play = ChildById(dialog, WinWaveControlId("PlayBtn"));
      Click(play);
      if (HWND box = WaitForWindow(L"Rir_Eda", 1000)) {
        said = DescribeChildren(box);
        PressOk(box);
      } else {
        Settle(dialog);  // answered while the clips play
        for (int i = 0; i < 200 && !IsWindowEnabled(play); ++i) Sleep(50);
        played = IsWindowEnabled(play) != FALSE;
      }
      Settle(dialog);
      PressCancel(dialog);
    }));
    EXPECT_EQ(said.find(L"Cannot read Resource file"), std::wstring::npos) << said;
    if (played) {
      EXPECT_TRUE(said.empty());
    } else {
      EXPECT_NE(said.find(L"Sound Card is not installed"), std::wstring::npos) << said;
    }
    EXPECT_TRUE(host.dataSet.empty());
  }
}

namespace {

struct PopupSearch {
  HWND owner;
  HWND found;
};

BOOL CALLBACK MatchPopup(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<PopupSearch*>(context);
  if (GetWindow(window, GW_OWNER) != search->owner || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// A visible window the dialog owns (the file dialog), waiting up to 10 s.
HWND WaitForOwned(HWND owner) {
  for (int i = 0; i < 200; ++i) {
    PopupSearch search{owner, nullptr};
    EnumWindows(MatchPopup, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(50);
  }
  return nullptr;
}

// Picks `typed` in the system's file dialog opened by the browse button.
void Browse(HWND dialog, int button, const std::wstring& typed) {
  Click(ChildById(dialog, button));
  HWND files = WaitForOwned(dialog);
  ASSERT_NE(files, nullptr) << "no file dialog";
  HWND name = GetDlgItem(files, 0x47c);  // the file name box
  if (name == nullptr) name = GetDlgItem(files, 0x480);
  ASSERT_NE(name, nullptr) << DescribeChildren(files).c_str();
  SetEditText(name, typed);
  PressOk(files);
  for (int i = 0; i < 100 && IsWindow(files); ++i) Sleep(50);
  Settle(dialog);
}

}  // namespace

// The browse buttons open the system's open and save dialogs; a picked file
// inside the design's folder is stored relative to it, and a recorder's new
// name without an extension gets ".wav".
TEST(WinWaveDialog, BrowsingPicksFilesRelativeToTheFolder) {
  const std::string dir = WaveFolder();
  FakeExtParameter load = Host("Load Wave", dir);
  load.data = RecordBytes(WaveRecord("tone.wav", 22050, 16, 2));
  ASSERT_TRUE(OpenDriven("WaveExtParams", load, kCaption, [&](HWND dialog) {
    Browse(dialog, WinWaveControlId("LoadBitBtn"), std::wstring(dir.begin(), dir.end()) + L"sub\\low.wav");
    PressOk(dialog);
  }));
  ASSERT_EQ(load.dataSet.size(), 1u);
  EXPECT_EQ(load.dataSet[0], RecordBytes(WaveRecord("sub\\low.wav", 8000, 8, 1)));

  FakeExtParameter save = Host("Save Wave", dir);
  save.data = RecordBytes(WaveRecord("out.wav", 8000, 8, 1));
  ASSERT_TRUE(OpenDriven("WaveExtParams", save, kCaption, [&](HWND dialog) {
    Browse(dialog, WinWaveControlId("SaveBitBtn"), std::wstring(dir.begin(), dir.end()) + L"newtake");
    PressOk(dialog);
  }));
  ASSERT_EQ(save.dataSet.size(), 1u);
  EXPECT_EQ(save.dataSet[0], RecordBytes(WaveRecord("newtake.wav", 8000, 8, 1)));
}

// Play with "All_waves" on a sound server that tests/windows/wine_sound_check.py
// records: the case only presses Play and waits for the clips to end.
TEST(WinWaveDialog, AllWavesOnTheSoundServer) {
  if (std::getenv("RIR_SOUND_CHECK") == nullptr) GTEST_SKIP() << "run by wine_sound_check.py";
  FakeExtParameter host = Host("Save Wave", WaveFolder());
  host.data = RecordBytes(WaveRecord("out.wav", 8000, 8, 1, 0));
  bool ended = false;
  ASSERT_TRUE(OpenDriven("WaveExtParams", host, kCaption, [&](HWND dialog) {
    HWND play = ChildById(dialog, WinWaveControlId("PlayBtn"));
    Click(play);
    Settle(dialog);
    EXPECT_FALSE(IsWindowEnabled(play));  // greyed while the clips play
    for (int i = 0; i < 300 && !IsWindowEnabled(play); ++i) Sleep(50);
    ended = IsWindowEnabled(play) != FALSE;
    EXPECT_EQ(WaitForWindow(L"Rir_Eda", 100), nullptr) << "a message instead of sound";
    PressCancel(dialog);
  }));
  EXPECT_TRUE(ended);
}
