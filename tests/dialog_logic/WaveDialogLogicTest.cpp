#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "dialogs/logic/SoundClips.h"
#include "dialogs/logic/WaveDialogLogic.h"
#include "dialogs/logic/WavePresenter.h"
#include "RecordingDialogView.h"
#include "wave/Wave_fileIO.h"
#include "support/SampleRecords.h"
#include "support/RecordBytes.h"

using namespace WaveDialog;

namespace {

// Files the step may see, by the local path it asks for.
struct FakeDisk {
  std::map<std::string, std::optional<WaveHeader>> files;  // nothing: a file that is no wave
};

// A single-byte local encoding (like a Cyrillic ANSI code page) that holds
// ASCII and the Cyrillic letters but no other character: every character is
// one byte there.
std::optional<std::string> ToSingleByte(const std::string& utf8) {
  std::string out;
  for (size_t i = 0; i < utf8.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if ((c == 0xD0 || c == 0xD1) && i + 1 < utf8.size()) {
      const unsigned cp = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
      if (cp < 0x410 || cp > 0x44F) return std::nullopt;
      out += static_cast<char>(0xC0 + (cp - 0x410));
    } else {
      return std::nullopt;
    }
  }
  return out;
}

std::string FromSingleByte(std::string_view local) {
  std::string out;
  for (const char ch : local) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      const unsigned cp = 0x410 + (c - 0xC0u);
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

WaveFiles Fake(const FakeDisk& disk, bool singleByte = false) {
  WaveFiles files = SystemWaveFiles();
  // "dir/x/../a.wav" names "dir/a.wav", as on a real disk.
  const auto normal = [](const std::string& path) {
    return path.find('/') == std::string::npos ? path : std::filesystem::path(path).lexically_normal().string();
  };
  files.isRegularFile = [&disk, normal](const std::string& path) { return disk.files.count(normal(path)) != 0; };
  files.readHeader = [&disk, normal](const std::string& path) -> std::optional<WaveHeader> {
    const auto it = disk.files.find(normal(path));
    return it == disk.files.end() ? std::nullopt : it->second;
  };
  if (singleByte) {
    files.toLocal = ToSingleByte;
    files.fromLocal = FromSingleByte;
  }
  return files;
}

bool SameBytes(const WaveParams& a, const WaveParams& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

WaveForm LoadForm(const WaveFiles& files, const std::string& directory, const std::string& language = "",
                  PathStyle style = PathStyle::Posix) {
  WaveForm form(files, style);
  form.SetType("Load Wave_1");
  form.SetSettings(directory, language);
  return form;
}

}  // namespace

TEST(WaveDialogLogic, PageListsAndTheRecordMapping) {
  EXPECT_TRUE(IsLoadType("Load Wave"));
  EXPECT_TRUE(IsLoadType("Load Wave_3"));
  EXPECT_FALSE(IsLoadType("Save Wave"));
  EXPECT_FALSE(IsLoadType("Load Waves"));
  EXPECT_FALSE(IsLoadType(""));

  // Every rate line maps back to itself; a rate outside the list selects 11025.
  for (int i = 0; i < static_cast<int>(kRateItems.size()); ++i) EXPECT_EQ(RateIndexOf(RateAt(i)), i);
  EXPECT_EQ(kRateItems[static_cast<size_t>(RateIndexOf(22050))], std::string("22050"));
  EXPECT_EQ(RateIndexOf(12345), RateIndexOf(11025));
  EXPECT_EQ(RateIndexOf(0), kRateFallback);
  EXPECT_EQ(RateAt(-1), 11025);
  EXPECT_EQ(RateAt(99), 11025);

  EXPECT_EQ(SampleIndexOf(WaveRecord("a", 0, 0, 0, 3)), 3);
  EXPECT_EQ(SampleIndexOf(WaveRecord("a", 0, 0, 0, 6)), 0);
  EXPECT_EQ(BitsOf(WaveRecord("a", 0, 8, 0)), BitsChoice::Eight);
  EXPECT_EQ(BitsOf(WaveRecord("a", 0, 16, 0)), BitsChoice::Sixteen);
  EXPECT_EQ(BitsOf(WaveRecord("a", 0, 12, 0)), BitsChoice::Keep);

  // The save page: one channel always, the rate of the line, the bit button.
  const WaveParams saved = SaveRecord({"out.wav", 4, RateIndexOf(44100), true});
  EXPECT_TRUE(SameBytes(saved, WaveRecord("out.wav", 44100, 16, 1, 4)));
  EXPECT_EQ(SaveRecord({"out.wav", 9, 0, false}).Sound, 5);

  // No stored record (or one of another size): the defaults; a stored one
  // fills the controls as it is.
  FakeDisk disk;
  WaveForm save(Fake(disk));
  save.SetType("Save Wave");
  save.SetSettings("/d/", "");
  const WaveForm::Controls fresh = save.Open({});
  EXPECT_EQ(fresh.name, "test.wav");
  EXPECT_EQ(fresh.rateIndex, RateIndexOf(8000));
  EXPECT_EQ(fresh.bits, BitsChoice::Eight);
  EXPECT_TRUE(fresh.step.messages.empty());  // a missing file is no error on the save page
  EXPECT_EQ(save.Open(std::vector<uint8_t>(67, 1)).name, "test.wav");
  const WaveForm::Controls stored = save.Open(RecordBytes(WaveRecord("rec.wav", 22050, 16, 1, 2)));
  EXPECT_EQ(stored.name, "rec.wav");
  EXPECT_EQ(stored.sampleIndex, 2);
  EXPECT_EQ(stored.bits, BitsChoice::Sixteen);
  EXPECT_TRUE(
      SameBytes(save.SavePageRecord("rec.wav", 2, stored.rateIndex, true), WaveRecord("rec.wav", 22050, 16, 1, 2)));

  // OK keeps what the user left alone, though the controls cannot show it:
  // a rate the list lacks, a width the buttons lack; one channel always.
  RecordingDialogView view;
  WavePresenter presenter(view, Fake(disk));
  presenter.SetType("Save Wave");
  presenter.SetSettings("/d/", "");
  EXPECT_TRUE(presenter.Open(RecordBytes(WaveRecord("hi.wav", 96000, 24, 2, 1))).empty());
  EXPECT_EQ(view.indices["WaveRate"], kRateFallback);
  EXPECT_EQ(view.texts["SaveWaveFile"], "hi.wav");
  ASSERT_TRUE(presenter.Ok());
  EXPECT_TRUE(SameBytes(presenter.Result(), WaveRecord("hi.wav", 96000, 24, 1, 1)));
  view.indices["WaveRate"] = 1;
  view.checks["Radio_Bit8"] = true;
  view.checks["Radio_Bit16"] = false;
  ASSERT_TRUE(presenter.Ok());
  EXPECT_TRUE(SameBytes(presenter.Result(), WaveRecord("hi.wav", 44100, 24, 1, 1)));
  view.checks["Radio_Bit16"] = true;
  ASSERT_TRUE(presenter.Ok());
  EXPECT_EQ(presenter.Result().BitsPerSample, 16);

  // Header lines in both languages.
  EXPECT_EQ(HeaderLines(TextsFor(false), WaveRecord("a", 44100, 16, 2))[0], "NumChannels    - 2");
  EXPECT_EQ(HeaderLines(TextsFor(true), WaveRecord("a", 44100, 16, 2))[2], "Число бит в сек.- 16");
}

// The limit is 55 bytes of the local encoding, not 55 characters; a name
// that does not fit, or has no local form, is refused and the record kept.
TEST(WaveDialogLogic, NameLimitInBytesOfTheLocalEncoding) {
  const std::string cyrillic28 = [] {
    std::string s;
    for (int i = 0; i < 24; ++i) s += "ж";
    return s + ".wav";
  }();                                               // 28 characters, 52 bytes in UTF-8
  const std::string cyrillic30 = "жж" + cyrillic28;  // 30 characters, 56 bytes in UTF-8
  FakeDisk disk;
  const WaveParams kept = WaveRecord("kept.wav", 16000, 16, 2);

  WaveForm utf8(Fake(disk));
  utf8.SetType("Save Wave");
  utf8.Open(RecordBytes(kept));
  const WaveParams before = utf8.Record();
  EXPECT_FALSE(utf8.RefusalOnOk(cyrillic28));
  ASSERT_TRUE(utf8.RefusalOnOk(cyrillic30));
  EXPECT_NE(utf8.RefusalOnOk(cyrillic30)->find("longer than 55"), std::string::npos);
  EXPECT_FALSE(utf8.RefusalOnOk(std::string(55, 'a')));
  EXPECT_TRUE(utf8.RefusalOnOk(std::string(56, 'a')));
  StepShown step = utf8.FileStep(cyrillic30);
  EXPECT_FALSE(step.accepted);
  EXPECT_EQ(step.loadName, "kept.wav");
  EXPECT_TRUE(SameBytes(utf8.Record(), before));
  // A name OK would refuse never reaches the record cut in the middle of a character.
  EXPECT_EQ(utf8.SavePageRecord(cyrillic30, 0, 0, false).FileName.Get(), "kept.wav");

  // The same 30 characters fit a single-byte local encoding, and are stored in it.
  WaveForm single(Fake(disk, true), PathStyle::Windows);
  single.SetType("Save Wave");
  single.Open(RecordBytes(kept));
  EXPECT_FALSE(single.RefusalOnOk(cyrillic30));
  step = single.FileStep(cyrillic30);
  EXPECT_TRUE(step.accepted);
  EXPECT_EQ(step.saveName, cyrillic30);
  EXPECT_EQ(single.Record().FileName.Size(), 30u);
  EXPECT_EQ(static_cast<unsigned char>(single.Record().FileName.chars[0]), 0xE6u);  // "ж"
  // ...and read back into the same text.
  EXPECT_EQ(single.Open(RecordBytes(single.Record())).name, cyrillic30);

  // A character the local encoding cannot hold: refused with a word, never stored mangled.
  single.Open(RecordBytes(kept));
  const WaveParams opened = single.Record();  // the save page's step: no header from a missing file
  EXPECT_EQ(opened.FileName.Get(), "kept.wav");
  const std::string greek = "αβγ.wav";
  ASSERT_TRUE(single.RefusalOnOk(greek));
  EXPECT_NE(single.RefusalOnOk(greek)->find("code page"), std::string::npos);
  step = single.FileStep(greek);
  EXPECT_FALSE(step.accepted);
  ASSERT_EQ(step.messages.size(), 1u);
  EXPECT_EQ(step.messages[0].rfind(greek, 0), 0u);
  EXPECT_TRUE(SameBytes(single.Record(), opened));
  EXPECT_EQ(single.SavePageRecord(greek, 0, 0, false).FileName.Get(), "kept.wav");
}

// A refused name on the load page says why and keeps the record last
// accepted (the stored one, never zeros).
TEST(WaveDialogLogic, RefusedNamesKeepTheRecord) {
  FakeDisk disk;
  disk.files["/d/good.wav"] = WaveHeader{11025, 8, 1};
  disk.files["/d/junk.wav"] = std::nullopt;
  disk.files["/d/sub/stereo.wav"] = WaveHeader{44100, 16, 2};
  WaveForm form = LoadForm(Fake(disk), "/d/");

  const WaveForm::Controls opened = form.Open(RecordBytes(WaveRecord("good.wav", 0, 0, 0, 4)));
  EXPECT_TRUE(opened.step.accepted);
  EXPECT_TRUE(opened.step.messages.empty());
  // The header comes from the file, the rest of the record stays.
  EXPECT_TRUE(SameBytes(form.Record(), WaveRecord("good.wav", 11025, 8, 1, 4)));
  const WaveParams good = form.Record();

  StepShown step = form.FileStep(form.WithDirectory("missing.wav"));
  EXPECT_FALSE(step.accepted);
  EXPECT_EQ(step.messages, std::vector<std::string>{"/d/missing.wav - file not exists"});
  EXPECT_EQ(step.loadName, "good.wav");
  EXPECT_FALSE(step.saveName);
  EXPECT_FALSE(step.header);
  EXPECT_TRUE(SameBytes(form.Record(), good));

  StepShown shown;
  EXPECT_TRUE(SameBytes(form.LoadPageRecord("junk.wav", shown), good));
  EXPECT_EQ(shown.messages,
            std::vector<std::string>{"/d/junk.wav - can't open file\nThe stored file settings are kept."});

  // A stored name that cannot be opened is what OK keeps; the Russian texts.
  WaveForm russian = LoadForm(Fake(disk), "/d/", "russian");
  const WaveParams absent = WaveRecord("absent.wav", 16000, 16, 2);
  const WaveForm::Controls none = russian.Open(RecordBytes(absent));
  EXPECT_EQ(none.name, "absent.wav");
  EXPECT_EQ(none.step.messages, std::vector<std::string>{"/d/absent.wav - файл не существует"});
  EXPECT_TRUE(russian.ReportedAtOpen("absent.wav"));
  EXPECT_FALSE(russian.ReportedAtOpen("other.wav"));
  EXPECT_TRUE(SameBytes(russian.LoadPageRecord("absent.wav", shown), absent));
  ASSERT_EQ(shown.messages.size(), 1u);
  EXPECT_NE(shown.messages[0].find("оставлены без изменений"), std::string::npos);

  EXPECT_FALSE(form.ReportedAtOpen("good.wav"));  // it was accepted
  // Once another name was accepted, the opening name is news again.
  EXPECT_TRUE(russian.FileStep("/d/good.wav").accepted);
  EXPECT_FALSE(russian.ReportedAtOpen("absent.wav"));

  // An accepted name replaces the header fields and both name fields.
  shown = form.FileStep("/d/sub/stereo.wav");
  EXPECT_TRUE(shown.accepted);
  EXPECT_EQ(shown.loadName, "sub/stereo.wav");
  EXPECT_EQ(shown.saveName, "sub/stereo.wav");
  ASSERT_TRUE(shown.header);
  EXPECT_EQ((*shown.header)[1], "Sample per sec - 44100");
  EXPECT_TRUE(SameBytes(form.Record(), WaveRecord("sub/stereo.wav", 44100, 16, 2, 4)));

  // The real system: a FIFO is no file to load (opening it would wait).
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "wave_logic_fifo";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string fifo = (dir / "pipe.wav").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WaveForm real = LoadForm(SystemWaveFiles(), dir.string() + "/");
  const WaveForm::Controls piped = real.Open(RecordBytes(WaveRecord("pipe.wav", 8000, 8, 1)));
  EXPECT_EQ(piped.step.messages, std::vector<std::string>{fifo + " - file not exists"});
  TWaveFile file;
  ASSERT_TRUE(file.OpenWrite((dir / "tone.wav").string(), 22050, 16, 2));
  ASSERT_TRUE(file.Close());
  EXPECT_TRUE(real.FileStep(real.WithDirectory("tone.wav")).accepted);
  EXPECT_TRUE(SameBytes(real.Record(), WaveRecord("tone.wav", 22050, 16, 2)));
  std::filesystem::remove_all(dir);
}

// Names inside the directory are stored relative to it; whole names typed
// or stored stay whole; a picked path too long for the record may fit
// relative to the directory.
TEST(WaveDialogLogic, RelativeStoringAndTheWaveExtension) {
  FakeDisk disk;
  disk.files["/d/sub/a.wav"] = WaveHeader{8000, 8, 1};
  WaveForm form = LoadForm(Fake(disk), "/d/");
  form.Open({});
  EXPECT_EQ(form.PickedName("/d/sub/a").loadName, "sub/a.wav");
  EXPECT_EQ(form.Record().FileName.Get(), "sub/a.wav");
  // Stored whole: the file step keeps it whole.
  const WaveForm::Controls whole = form.Open(RecordBytes(WaveRecord("/d/sub/a.wav", 0, 0, 0)));
  EXPECT_TRUE(whole.step.accepted);
  EXPECT_EQ(form.Record().FileName.Get(), "/d/sub/a.wav");
  EXPECT_EQ(form.WithDirectory("/x.wav"), "/x.wav");
  EXPECT_EQ(form.WithDirectory("x.wav"), "/d/x.wav");
  EXPECT_TRUE(form.PickedName("").messages.empty());
  EXPECT_FALSE(form.PickedName("").loadName);  // a cancelled browse changes nothing

  const std::string deep = "/data/" + std::string(60, 'd') + "/";
  disk.files[deep + "long.wav"] = WaveHeader{8000, 8, 1};
  WaveForm far = LoadForm(Fake(disk), deep + "x/");
  far.Open({});
  StepShown shown = far.PickedName(deep + "long");
  EXPECT_TRUE(shown.accepted);
  EXPECT_EQ(shown.loadName, "../long.wav");
  ASSERT_EQ(shown.messages.size(), 1u);
  EXPECT_NE(shown.messages[0].find("It is stored relative to the design's folder: ../long.wav"), std::string::npos);
  WaveForm elsewhere = LoadForm(Fake(disk), "/other/");
  elsewhere.Open(RecordBytes(WaveRecord("kept.wav", 1, 2, 3)));
  shown = elsewhere.PickedName(deep + "long.wav");  // "../data/ddd.../long.wav" does not fit either
  EXPECT_FALSE(shown.accepted);
  EXPECT_EQ(elsewhere.Record().FileName.Get(), "kept.wav");

  // Windows names: drive letters, both slashes, case of ASCII letters ignored.
  disk.files["C:\\Design\\Sub\\b.wav"] = WaveHeader{8000, 8, 1};
  WaveForm win = LoadForm(Fake(disk), "C:\\Design\\", "", PathStyle::Windows);
  win.Open({});
  EXPECT_EQ(win.PickedName("C:\\Design\\Sub\\b.wav").loadName, "Sub\\b.wav");
  EXPECT_EQ(win.WithDirectory("D:x.wav"), "D:x.wav");
  EXPECT_EQ(win.WithDirectory("\\\\srv\\x.wav"), "\\\\srv\\x.wav");
  EXPECT_EQ(RelativePath("C:\\Design\\Deep\\", "c:\\design\\b.wav", PathStyle::Windows), "..\\b.wav");
  EXPECT_EQ(RelativePath("C:\\Design\\", "D:\\b.wav", PathStyle::Windows), std::nullopt);
  EXPECT_EQ(RelativePath("/a/b/./c/../", "/a/x/y.wav", PathStyle::Posix), "../x/y.wav");
  EXPECT_EQ(RelativePath("/A/", "/a/y.wav", PathStyle::Posix), "../a/y.wav");
  EXPECT_TRUE(IsAbsolute("C:/x", PathStyle::Windows));
  EXPECT_FALSE(IsAbsolute("C:x", PathStyle::Windows));
  EXPECT_FALSE(IsAbsolute("C:/x", PathStyle::Posix));

  // ".wav" only when there is no ".WAV" and no three-character extension;
  // characters, not bytes, count from the end.
  EXPECT_EQ(WithWaveExtension("/data/take1"), "/data/take1.wav");
  EXPECT_EQ(WithWaveExtension("/data/take1.txt"), "/data/take1.txt");
  EXPECT_EQ(WithWaveExtension("/data/TAKE1.WAV"), "/data/TAKE1.WAV");
  EXPECT_EQ(WithWaveExtension("/data/take.wave"), "/data/take.wave");
  EXPECT_EQ(WithWaveExtension("/data/a.mp"), "/data/a.mp.wav");
  EXPECT_EQ(WithWaveExtension("/data/запись.звк"), "/data/запись.звк");
  EXPECT_EQ(WithWaveExtension("/data/зап.сь"), "/data/зап.сь.wav");
  EXPECT_EQ(WithWaveExtension("abc"), "abc.wav");
}

TEST(SoundClipsLogic, ClipNamesAndWaveImages) {
  EXPECT_EQ(SoundClips::ClipsFor("All_waves"),
            (std::vector<std::string>{"Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"}));
  EXPECT_EQ(SoundClips::ClipsFor("Great"), std::vector<std::string>{"Great"});
  EXPECT_EQ(SoundClips::CarriedName("nice_WORK"), "Nice_work");
  EXPECT_EQ(SoundClips::CarriedName("test"), "TEST");
  EXPECT_EQ(SoundClips::CarriedName("Applause"), std::nullopt);
  // The sample list's lines after the first are the played clips, in order.
  for (size_t i = 0; i < SoundClips::kPlayed.size(); ++i) EXPECT_STREQ(kSampleItems[i + 1], SoundClips::kPlayed[i]);

  auto wave = [](uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t dataSize, size_t dataHeld) {
    std::vector<uint8_t> image(44 + dataHeld, 0x80);
    auto put = [&](size_t at, uint32_t v, size_t width) {
      for (size_t i = 0; i < width; ++i) image[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    std::memcpy(image.data(), "RIFF", 4);
    put(4, static_cast<uint32_t>(36 + dataHeld), 4);
    std::memcpy(image.data() + 8, "WAVEfmt ", 8);
    put(16, 16, 4);
    put(20, tag, 2);
    put(22, channels, 2);
    put(24, rate, 4);
    put(34, bits, 2);
    std::memcpy(image.data() + 36, "data", 4);
    put(40, dataSize, 4);
    return image;
  };
  std::optional<SoundClips::PcmImage> pcm = SoundClips::ParsePcm(wave(1, 1, 11025, 8, 11025, 11025));
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->dataOffset, 44u);
  EXPECT_EQ(pcm->DurationMs(), 1000);
  // A data size beyond the image plays what is there, in whole frames.
  pcm = SoundClips::ParsePcm(wave(1, 2, 8000, 16, 0xFFFFFFF0u, 103));
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->dataBytes, 100u);
  EXPECT_FALSE(SoundClips::ParsePcm(wave(3, 1, 8000, 32, 8, 8)));  // floats
  EXPECT_FALSE(SoundClips::ParsePcm(wave(1, 1, 8000, 24, 9, 9)));  // 24 bits
  EXPECT_FALSE(SoundClips::ParsePcm(wave(1, 0, 8000, 8, 8, 8)));   // no channel
  EXPECT_FALSE(SoundClips::ParsePcm(wave(1, 1, 0, 8, 8, 8)));      // no rate
  EXPECT_FALSE(SoundClips::ParsePcm(wave(1, 2, 8000, 16, 3, 3)));  // less than a frame
  std::vector<uint8_t> hugeChunk = wave(1, 1, 8000, 8, 8, 8);
  hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;  // "fmt " claims 4 GiB
  EXPECT_FALSE(SoundClips::ParsePcm(hugeChunk));
  EXPECT_FALSE(SoundClips::ParsePcm(std::vector<uint8_t>{'R', 'I', 'F', 'F'}));
}
