// The wave load/save block through its exports against the in-process host.
#ifndef _WIN32
#include <signal.h>
#include <sys/stat.h>
#include <sys/resource.h>
#include <sys/wait.h>
#endif

#include <cstring>
#include <filesystem>
#include <utility>

#include "WaveTestFiles.h"
#include "numeric/ParameterRecords.h"
#include "support/PluginFixture.h"

namespace {
// Where the block looks for test files under the library directory.
#ifdef _WIN32
constexpr const char* kTestFolder = "Test\\";
#else
constexpr const char* kTestFolder = "Test/";
#endif
}  // namespace

namespace {

Bytes Record(const std::string& name, int32_t rate = 8000, uint16_t bits = 8, uint16_t channels = 1) {
  WaveParams p{};
  p.FileName.Set(name);
  p.SampleRate = rate;
  p.BitsPerSample = bits;
  p.Channels = channels;
  Bytes b(sizeof p);
  std::memcpy(b.data(), &p, sizeof p);
  return b;
}

// Free-text reports (code 8), without the AbortRun entries.
std::vector<std::string> Messages(const InProcessHost& host) {
  std::vector<std::string> texts;
  for (const HostReport& r : host.Reports())
    if (!r.abort && r.code == rcMessage) texts.push_back(r.text);
  return texts;
}

// A load or save host with "C1" of the given width; the record names `file`.
struct WaveHost {
  InProcessHost host;
  explicit WaveHost(bool load, int width = 8, const std::string& file = "", int32_t signMode = 1, uint16_t bits = 8,
                    uint16_t channels = 1) {
    PrepareHost(host);
    host.AddVariable("C1", vkBus, width, load ? kWritableFlag : 0, std::string(static_cast<size_t>(width), '0'));
    if (!file.empty()) host.SetParameter(load ? "Load Wave" : "Save Wave", Record(file, 8000, bits, channels));
    host.SetIntParameter("SignValue", signMode);
  }
  InProcessHost* operator->() { return &host; }
};

std::vector<int32_t> Play(Block& block, InProcessHost& host, int steps, int signMode, const char* port = "C1") {
  std::vector<int32_t> out;
  for (int i = 0; i < steps; ++i) {
    block->TimeStep();
    const std::string text = host.Value(port);
    // Decode the value text as the block's sign mode does.
    uint32_t magnitude = 0;
    for (size_t k = (signMode == 0 ? 1 : 0); k < text.size(); ++k) magnitude = (magnitude << 1) | (text[k] == '1');
    const bool negative = signMode == 0 && text.size() > 1 && text[0] == '1';
    out.push_back(negative ? -static_cast<int32_t>(magnitude) : static_cast<int32_t>(magnitude));
  }
  return out;
}

// The low `width` bits of v, most significant first.
std::string Binary(uint32_t v, int width) {
  std::string s(static_cast<size_t>(width), '0');
  for (int i = width - 1; i >= 0 && v != 0; --i, v >>= 1) s[static_cast<size_t>(i)] = static_cast<char>('0' + (v & 1));
  return s;
}

// A port's value text: sign-magnitude under sign mode 0, else the magnitude.
std::string Encode(int signMode, int32_t value, int width) {
  const uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  std::string s = Binary(magnitude, width);
  if (signMode == 0 && value < 0) s[0] = '1';
  return s;
}

Bytes Samples16(const std::vector<int32_t>& values) {
  Bytes b;
  for (int32_t v : values) Put16(b, static_cast<uint32_t>(v) & 0xFFFF);
  return b;
}

void Feed(Block& block, InProcessHost& host, const std::string& text) {
  host.SetValue("C1", text);
  block->InputChanged();
}

}  // namespace

TEST(WaveBlock, DefaultRecordAndNamesAndActivation) {
  WaveHost load(true, 8);
  load->SetSamplePeriod(2.6L);
  Block block("Wave_Load_Init", load.host);
  ASSERT_TRUE(block);
  EXPECT_TRUE(block->IsValid());
  EXPECT_EQ(block->GetActivation(), kTimeDriven);
  EXPECT_STREQ(block->GetTypeName(), "Load Wave8");
  EXPECT_EQ(Messages(load.host), std::vector<std::string>{std::string(RIR_PLUGIN_DIR) + "test.wav-file not found!"});
  block->Start();
  EXPECT_EQ(block->TimeStep(), 3);
  EXPECT_EQ(load->Value("C1"), "00000000");
  EXPECT_EQ(load->AbortCount(), 0);

  // A stored record of the wrong size is ignored for the defaults.
  WaveHost sized(true, 16);
  sized->SetParameter("Load Wave", Bytes(67, 0));
  Block other("Wave_Load_Init", sized.host);
  EXPECT_STREQ(other->GetTypeName(), "Load Wave16");
  EXPECT_EQ(Messages(sized.host), std::vector<std::string>{std::string(RIR_PLUGIN_DIR) + "test.wav-file not found!"});

  TempDir dir;
  WaveHost save(false, 12, dir / "s.wav");
  Block saver("Wave_Save_Init", save.host);
  EXPECT_TRUE(saver->IsValid());
  EXPECT_EQ(saver->GetActivation(), kInputDriven);
  EXPECT_STREQ(saver->GetTypeName(), "Save Wave12");
  EXPECT_TRUE(save->Reports().empty());
}

TEST(WaveBlock, PortChecksReportTheFirstFailure) {
  struct Case {
    const char* what;
    void (*setup)(InProcessHost&);
    int code;
    const char* port;  // whose handle (or name, code 4) is reported
  };
  const Case cases[] = {
      {"no C1", [](InProcessHost&) {}, 4, "C1"},
      {"C1 read-only", [](InProcessHost& h) { h.AddVariable("C1", vkBus, 8, 0); }, 2, "C1"},
      {"Clk a bus",
       [](InProcessHost& h) {
         h.AddVariable("C1", vkLine, 8, kWritableFlag);
         h.AddVariable("Clk", vkBus, 1);
       },
       2, "Clk"},
      {"C1 a line", [](InProcessHost& h) { h.AddVariable("C1", vkLine, 8, kWritableFlag); }, 2, "C1"},
      {"C1 a DOT bus", [](InProcessHost& h) { h.AddVariable("C1", vkDOTBus, 8, kWritableFlag); }, 2, "C1"},
      {"C2 a line",
       [](InProcessHost& h) {
         h.AddVariable("C1", vkBus, 8, kWritableFlag);
         h.AddVariable("C2", vkLine, 8, kWritableFlag);
       },
       2, "C2"},
      {"isMono a bus",
       [](InProcessHost& h) {
         h.AddVariable("C1", vkBus, 8, kWritableFlag);
         h.AddVariable("isMono", vkBus, 1, kWritableFlag);
       },
       2, "isMono"},
      {"C2 narrower",
       [](InProcessHost& h) {
         h.AddVariable("C1", vkBus, 8, kWritableFlag);
         h.AddVariable("C2", vkBus, 7, kWritableFlag);
       },
       3, "C2"},
      {"Test of 3 bits",
       [](InProcessHost& h) {
         h.AddVariable("C1", vkBus, 8, kWritableFlag);
         h.AddVariable("Test", vkBus, 3);
       },
       3, "Test"},
      {"C1 of 256 bits", [](InProcessHost& h) { h.AddVariable("C1", vkBus, 256, kWritableFlag); }, 3, "C1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InProcessHost host;
    PrepareHost(host);
    c.setup(host);
    Block block("Wave_Load_Init", host);
    ASSERT_TRUE(block);
    EXPECT_FALSE(block->IsValid());
    EXPECT_STREQ(block->GetTypeName(), "");
    ASSERT_EQ(host.Reports().size(), 1u);
    EXPECT_EQ(host.Reports()[0].code, c.code);
    if (c.code == 4) {
      EXPECT_EQ(host.Reports()[0].text, c.port);
    } else {
      EXPECT_EQ(host.Reports()[0].argument, static_cast<intptr_t>(host.Resolve(c.port)));
    }
    block->Start();  // an invalid block does nothing harmful
    block->TimeStep();
  }

  // A read-only optional port in load mode: reported, but the block stays
  // valid and never writes it. A clock of either clock kind drives the block.
  TempDir dir;
  WaveHost h(true, 8, dir / "none.wav");
  h->AddVariable("C2", vkBus, 8, 0, "11111111");
  h->AddVariable("Clk", vkDOTClk, 1, 0, "0");
  Block block("Wave_Load_Init", h.host);
  EXPECT_TRUE(block->IsValid());
  EXPECT_EQ(block->GetActivation(), kInputDriven);
  EXPECT_EQ(h->Reports()[0].code, 2);
  EXPECT_EQ(h->Reports()[0].argument, static_cast<intptr_t>(h->Resolve("C2")));
  block->Start();
  h->SetValue("Clk", "1");
  block->InputChanged();
  EXPECT_EQ(h->Value("C2"), "11111111");

  // Save mode demands no flags of its ports.
  WaveHost s(false, 8, dir / "s.wav");
  s->AddVariable("C2", vkBus, 8, 0);
  s->AddVariable("isMono", vkLine, 1, 0);
  Block saver("Wave_Save_Init", s.host);
  EXPECT_TRUE(saver->IsValid());
  EXPECT_TRUE(s->Reports().empty());
}

TEST(WaveBlock, EightBitMonoUnderBothSignModes) {
  TempDir dir;
  const std::string path = dir / "three.wav";
  WriteAll(path, MakeWave({}, Bytes{0, 128, 255}));
  for (int signMode : {1, 0}) {
    SCOPED_TRACE(signMode);
    WaveHost h(true, 8, path, signMode);
    h->AddVariable("C2", vkBus, 8, kWritableFlag, "11111111");
    h->AddVariable("isMono", vkLine, 1, kWritableFlag, "0");
    Block block("Wave_Load_Init", h.host);
    ASSERT_TRUE(block->IsValid());
    EXPECT_TRUE(h->Reports().empty());  // an absolute name is not prefixed
    h->SetValue("C1", "01010101");
    block->TimeStep();  // stepped before the run started: silence, no crash
    EXPECT_EQ(h->Value("C1"), "00000000");
    block->Start();
    const char* expected[] = {"00000000", "10000000", "11111111", "00000000", "00000000"};
    for (const char* text : expected) {
      block->TimeStep();
      EXPECT_EQ(h->Value("C1"), text);
      EXPECT_EQ(h->Value("C2"), "00000000");
      EXPECT_EQ(h->Value("isMono"), "1");
    }
  }
}

TEST(WaveBlock, LongFilesPlayCompletelyThenZeros) {
  TempDir dir;
  std::vector<int32_t> values(2500);
  for (size_t i = 0; i < values.size(); ++i) values[i] = static_cast<int32_t>(i) - 1250;
  const std::string path16 = dir / "long16.wav";
  WriteAll(path16, MakeWave({.bits = 16}, Samples16(values)));
  WaveHost h(true, 16, path16, 0);
  Block block("Wave_Load_Init", h.host);
  block->Start();
  const std::vector<int32_t> out = Play(block, h.host, 2600, 0);
  for (size_t i = 0; i < 2500; ++i) ASSERT_EQ(out[i], values[i]) << i;
  for (size_t i = 2500; i < 2600; ++i) ASSERT_EQ(out[i], 0) << i;

  // Longer than the whole sample buffer.
  Bytes bytes(12345);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i * 7 + 1);
  const std::string path8 = dir / "long8.wav";
  WriteAll(path8, MakeWave({}, bytes));
  WaveHost h8(true, 8, path8, 1);
  Block block8("Wave_Load_Init", h8.host);
  block8->Start();
  const std::vector<int32_t> out8 = Play(block8, h8.host, 12400, 1);
  for (size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(out8[i], bytes[i]) << i;
  EXPECT_EQ(out8.back(), 0);
}

TEST(WaveBlock, ChannelsGoToC1AndC2OneFramePerStep) {
  TempDir dir;
  for (uint16_t channels : {2, 3, 4}) {
    SCOPED_TRACE(channels);
    std::vector<int32_t> values;
    for (int f = 0; f < 1500; ++f)
      for (int c = 0; c < channels; ++c) values.push_back(c == 0 ? f : (c == 1 ? -f : 9999));
    const std::string path = dir / ("multi" + std::to_string(channels) + ".wav");
    WriteAll(path, MakeWave({.channels = channels, .bits = 16}, Samples16(values)));
    WaveHost h(true, 16, path, 0);
    h->AddVariable("C2", vkBus, 16, kWritableFlag);
    h->AddVariable("isMono", vkLine, 1, kWritableFlag);
    Block block("Wave_Load_Init", h.host);
    block->Start();
    EXPECT_TRUE(Messages(h.host).empty());
    for (int f = 0; f < 1502; ++f) {
      block->TimeStep();
      const int32_t expect = f < 1500 ? f : 0;
      ASSERT_EQ(h->Value("C1"), Encode(0, expect, 16)) << f;
      ASSERT_EQ(h->Value("C2"), Encode(0, -expect, 16)) << f;
      ASSERT_EQ(h->Value("isMono"), "0");
    }
  }

  // Stereo without "C2": asked for, and "C1" still gets the left channel.
  const std::string path = dir / "multi2.wav";
  WaveHost h(true, 16, path, 0);
  Block block("Wave_Load_Init", h.host);
  block->Start();
  EXPECT_EQ(Messages(h.host), std::vector<std::string>{"Need addition channel (C2)"});
  const std::vector<int32_t> out = Play(block, h.host, 3, 0);
  EXPECT_EQ(out, (std::vector<int32_t>{0, 1, 2}));
}

TEST(WaveBlock, ClockedLoadStepsWhileTheClockIsHigh) {
  TempDir dir;
  const std::string path = dir / "c.wav";
  WriteAll(path, MakeWave({}, Bytes{10, 20, 30}));
  WaveHost h(true, 8, path);
  h->AddVariable("Clk", vkClk, 1, 0, "0");
  Block block("Wave_Load_Init", h.host);
  EXPECT_EQ(block->GetActivation(), kInputDriven);
  block->Start();
  block->InputChanged();
  EXPECT_EQ(h->Value("C1"), "00000000");
  h->SetValue("Clk", "1");
  block->InputChanged();
  EXPECT_EQ(h->Value("C1"), Encode(1, 10, 8));
  block->InputChanged();  // still high: the next sample
  EXPECT_EQ(h->Value("C1"), Encode(1, 20, 8));
  h->SetValue("Clk", "0");
  block->InputChanged();
  EXPECT_EQ(h->Value("C1"), Encode(1, 20, 8));
}

TEST(WaveBlock, TestNumberChoosesTheFileAtRunTime) {
  TempDir dir;
  std::filesystem::create_directories(dir / "Test");
  WriteAll(dir / "Test/Test_3.wav", MakeWave({}, Bytes{42, 43}));
  InProcessHost host;
  host.SetLibraryDirectory(dir.Str() + "/");
  host.AddVariable("C1", vkBus, 8, kWritableFlag);
  host.AddVariable("Test", vkBus, 4, 0, "0000");
  host.SetIntParameter("SignValue", 1);
  Block block("Wave_Load_Init", host);
  ASSERT_TRUE(block->IsValid());
  block->Start();
  block->TimeStep();
  EXPECT_EQ(host.Value("C1"), "00000000");
  EXPECT_TRUE(host.Reports().empty());
  host.SetValue("Test", "0011");
  block->TimeStep();
  EXPECT_EQ(host.Value("C1"), Encode(1, 42, 8));
  block->TimeStep();
  EXPECT_EQ(host.Value("C1"), Encode(1, 43, 8));
  host.SetValue("Test", "0101");  // the file stays chosen
  block->TimeStep();
  EXPECT_EQ(host.Value("C1"), "00000000");
  EXPECT_TRUE(host.Reports().empty());

  // A number without a file is reported once.
  InProcessHost missing;
  missing.SetLibraryDirectory(dir.Str() + "/");
  missing.AddVariable("C1", vkBus, 8, kWritableFlag);
  missing.AddVariable("Test", vkBus, 8, 0, "00000101");
  Block other("Wave_Load_Init", missing);
  other->Start();
  for (int i = 0; i < 3; ++i) other->TimeStep();
  EXPECT_EQ(Messages(missing), std::vector<std::string>{dir.Str() + "/" + kTestFolder + "Test_5.wav-file not found!"});
  EXPECT_EQ(missing.Value("C1"), "00000000");
}

TEST(WaveBlock, FileNamesResolveWholeAndSafely) {
  TempDir dir;
  // A library directory far longer than a record name: the path stays whole.
  const std::string longDir = dir / "a_directory_name_long_enough_to_pass_any_record_field_limit/";
  std::filesystem::create_directories(longDir);
  WriteAll(longDir + "rel.wav", MakeWave({}, Bytes{77}));
  {
    InProcessHost host;
    host.SetLibraryDirectory(longDir);
    host.AddVariable("C1", vkBus, 8, kWritableFlag);
    host.SetParameter("Load Wave", Record("rel.wav"));
    host.SetIntParameter("SignValue", 1);
    Block block("Wave_Load_Init", host);
    EXPECT_TRUE(host.Reports().empty());
    block->Start();
    block->TimeStep();
    EXPECT_EQ(host.Value("C1"), Encode(1, 77, 8));
  }
  // A name holding ":" is taken as complete.
  {
    WaveHost h(true, 8, "C:x.wav");
    Block block("Wave_Load_Init", h.host);
    EXPECT_EQ(Messages(h.host), std::vector<std::string>{"C:x.wav-file not found!"});
  }
#ifdef _WIN32
  // So is one starting with a backslash: the root of the current drive.
  {
    WaveHost h(true, 8, "\\nonexistent\\x.wav");
    Block block("Wave_Load_Init", h.host);
    EXPECT_EQ(Messages(h.host), std::vector<std::string>{"\\nonexistent\\x.wav-file not found!"});
  }
#endif
  // A stored length beyond the field reads as the field's 55 characters.
  {
    WaveHost h(true, 8);
    Bytes record = Record(std::string(55, 'n'));
    record[0] = 200;
    h->SetParameter("Load Wave", record);
    Block block("Wave_Load_Init", h.host);
    EXPECT_EQ(Messages(h.host),
              std::vector<std::string>{std::string(RIR_PLUGIN_DIR) + std::string(55, 'n') + "-file not found!"});
    block->Start();
    block->TimeStep();
  }
  // Save mode writes under a long library directory as well.
  {
    InProcessHost host;
    host.SetLibraryDirectory(longDir);
    host.AddVariable("C1", vkBus, 8, 0, "00000001");
    host.SetParameter("Save Wave", Record("out.wav"));
    host.SetIntParameter("SignValue", 1);
    {
      Block block("Wave_Save_Init", host);
      block->Start();
      host.SetValue("C1", "00000010");
      block->InputChanged();
    }
    const Bytes file = ReadAll(longDir + "out.wav");
    ASSERT_EQ(file.size(), 45u);
    EXPECT_EQ(file[44], 2 + 127);
    EXPECT_TRUE(host.Reports().empty());
  }
}

TEST(WaveBlock, OpenFailuresReportAndAbort) {
  TempDir dir;
  const std::string bad = dir / "bad.wav";
  WriteAll(bad, MakeWave({.listBeforeData = true}, Bytes{1, 2, 3}));
  WaveHost h(true, 8, bad);
  h->AddVariable("isMono", vkLine, 1, kWritableFlag, "x");
  Block block("Wave_Load_Init", h.host);
  EXPECT_TRUE(h->Reports().empty());
  block->Start();
  EXPECT_EQ(Messages(h.host), std::vector<std::string>{"Wave file I/O error: " + bad});
  EXPECT_EQ(h->AbortCount(), 1);
  for (int i = 0; i < 3; ++i) {
    block->TimeStep();
    EXPECT_EQ(h->Value("C1"), "00000000");
  }
  EXPECT_EQ(h->Value("isMono"), "x");

  const std::string nowhere = dir / "no/such/dir/out.wav";
  WaveHost s(false, 8, nowhere);
  Block saver("Wave_Save_Init", s.host);
  saver->Start();
  EXPECT_EQ(Messages(s.host), std::vector<std::string>{"Wave file I/O error: " + nowhere});
  EXPECT_EQ(s->AbortCount(), 1);

#ifndef _WIN32
  // A FIFO is never opened (opening it would wait for a writer): it is
  // reported like a missing file.
  const std::string fifo = dir / "pipe.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  WaveHost f(true, 8, fifo);
  Block fifoLoader("Wave_Load_Init", f.host);
  EXPECT_EQ(Messages(f.host), std::vector<std::string>{fifo + "-file not found!"});
  fifoLoader->Start();
  fifoLoader->TimeStep();
  EXPECT_EQ(f->Value("C1"), "00000000");

#endif

  // An open that failed on a full device, then samples and Done: the lost
  // data is reported once, not again by the close.
  if (std::filesystem::exists("/dev/full")) {
    WaveHost full(false, 8, "/dev/full");
    {
      Block saver("Wave_Save_Init", full.host);
      saver->Start();
      for (int i = 0; i < 10; ++i) Feed(saver, full.host, Encode(1, i, 8));
    }
    EXPECT_EQ(Messages(full.host),
              (std::vector<std::string>{"Wave file I/O error: /dev/full", "Error while writing wave file"}));
  }
}

TEST(WaveBlock, SaveRecordsSamplesInBlocksOf1000) {
  TempDir dir;
  const std::string path = dir / "rec.wav";
  {
    WaveHost h(false, 8, path, 0);
    Block block("Wave_Save_Init", h.host);
    block->Start();
    Feed(block, h.host, "10000011");  // -3 -> 124
    for (int i = 1; i < 1000; ++i) Feed(block, h.host, Encode(0, i % 100, 8));
    EXPECT_EQ(ReadAll(path).size(), 1044u);  // the first 1000 are on disk
    for (int i = 1000; i < 2500; ++i) Feed(block, h.host, Encode(0, i % 100, 8));
    EXPECT_EQ(ReadAll(path).size(), 2044u);
    EXPECT_TRUE(h->Reports().empty());
  }
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 2544u);
  EXPECT_EQ(Get32(file, 4), 2536u);
  EXPECT_EQ(Get32(file, 40), 2500u);
  EXPECT_EQ(file[44], 124);
  EXPECT_EQ(file[44 + 2499], 99 + 127);

  // The record's rate and width; the samples come from "C1" whatever the
  // channel count; a bus wider than 32 bits keeps its low bits.
  const std::string wide = dir / "wide.wav";
  {
    WaveHost h(false, 40, wide, 1, 16, 2);
    Block block("Wave_Save_Init", h.host);
    block->Start();
    Feed(block, h.host, std::string(8, '1') + Binary(static_cast<uint32_t>(-300), 32));
    Feed(block, h.host, std::string(39, '0') + "1");
  }
  const Bytes w = ReadAll(wide);
  ASSERT_EQ(w.size(), 48u);
  EXPECT_EQ(Get16(w, 22), 2);
  EXPECT_EQ(Get16(w, 34), 16);
  EXPECT_EQ(static_cast<int16_t>(Get16(w, 44)), -300);
  EXPECT_EQ(Get16(w, 46), 1);
}

TEST(WaveBlock, SaveClockTakesSamplesOnRisingEdges) {
  TempDir dir;
  for (const char* first : {"0", "1"}) {
    const std::string path = dir / (std::string("clk") + first + ".wav");
    {
      WaveHost h(false, 8, path, 1);
      h->AddVariable("Clk", vkClk, 1, 0, "0");
      Block block("Wave_Save_Init", h.host);
      block->Start();
      h->SetValue("C1", "00000101");
      int value = 1;
      std::vector<const char*> clocks = {"0", "1", "1", "0", "1"};
      if (first[0] == '1') clocks = {"1"};
      for (const char* c : clocks) {
        h->SetValue("C1", Encode(1, value++, 8));
        h->SetValue("Clk", c);
        block->InputChanged();
      }
    }
    const Bytes file = ReadAll(path);
    if (first[0] == '0') {
      ASSERT_EQ(file.size(), 46u);
      EXPECT_EQ(file[44], 2 + 127);  // at the rise, with the value then
      EXPECT_EQ(file[45], 5 + 127);
    } else {
      ASSERT_EQ(file.size(), 45u);
      EXPECT_EQ(file[44], 1 + 127);
    }
  }
}

TEST(WaveBlock, SaveWithTestPortHasNoFileAndReportsFlushes) {
  InProcessHost host;
  PrepareHost(host);
  host.AddVariable("C1", vkBus, 8, 0, "00000001");
  host.AddVariable("Test", vkBus, 4, 0, "0001");
  Block block("Wave_Save_Init", host);
  block->Start();
  for (int i = 0; i < 1500; ++i) block->InputChanged();
  EXPECT_EQ(Messages(host), std::vector<std::string>{"Error while writing wave file"});
  block->Done();
  EXPECT_EQ(Messages(host).size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(std::string(RIR_PLUGIN_DIR) + kTestFolder + "Test_1.wav"));
}

TEST(WaveBlock, OtherSampleWidths) {
  TempDir dir;
  const std::string path = dir / "w24.wav";
  WriteAll(path, MakeWave({.bits = 24}, Bytes(30, 0x55)));
  WaveHost h(true, 8, path);
  Block block("Wave_Load_Init", h.host);
  block->Start();
  EXPECT_TRUE(h->Reports().empty());
  EXPECT_EQ(Play(block, h.host, 5, 1), std::vector<int32_t>(5, 0));

  const std::string out = dir / "o24.wav";
  {
    WaveHost s(false, 8, out, 1, 24);
    Block saver("Wave_Save_Init", s.host);
    saver->Start();
    for (int i = 0; i < 1200; ++i) Feed(saver, s.host, "00000001");
    EXPECT_TRUE(s->Reports().empty());
  }
  const Bytes file = ReadAll(out);
  ASSERT_EQ(file.size(), 44u);
  EXPECT_EQ(Get16(file, 34), 24);
}

TEST(WaveBlock, FilesChangingUnderTheBlock) {
  TempDir dir;
  // Cut short after the first block was read: what is left plays, then zeros.
  const std::string path = dir / "shrinks.wav";
  Bytes bytes(20000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i % 200 + 1);
  WriteAll(path, MakeWave({}, bytes));
  {
    WaveHost h(true, 8, path);
    Block block("Wave_Load_Init", h.host);
    block->Start();
    std::filesystem::resize_file(path, 44 + 5000);
    const std::vector<int32_t> out = Play(block, h.host, 6000, 1);
    for (size_t i = 0; i < 5000; ++i) ASSERT_EQ(out[i], bytes[i]) << i;
    for (size_t i = 5000; i < 6000; ++i) ASSERT_EQ(out[i], 0) << i;
  }
  // A header that claims more than there is.
  WriteAll(path, MakeWave({.claimedDataSize = 100000}, Bytes(10, 9)));
  {
    WaveHost h(true, 8, path);
    Block block("Wave_Load_Init", h.host);
    block->Start();
    const std::vector<int32_t> out = Play(block, h.host, 2100, 1);
    EXPECT_EQ(out[9], 9);
    EXPECT_EQ(out[10], 0);
    EXPECT_EQ(out[2099], 0);
  }
#ifndef _WIN32  // Windows cannot remove a file that is open
  // Files that vanish mid-run.
  {
    WaveHost h(true, 8, path);
    Block block("Wave_Load_Init", h.host);
    block->Start();
    std::filesystem::remove(path);
    EXPECT_EQ(Play(block, h.host, 12, 1)[9], 9);
  }
  const std::string rec = dir / "gone.wav";
  {
    WaveHost s(false, 8, rec);
    Block saver("Wave_Save_Init", s.host);
    saver->Start();
    for (int i = 0; i < 500; ++i) Feed(saver, s.host, "00000001");
    std::filesystem::remove(rec);
    for (int i = 0; i < 2000; ++i) Feed(saver, s.host, "00000001");
    EXPECT_TRUE(s->Reports().empty());
  }
  EXPECT_FALSE(std::filesystem::exists(rec));
#endif
}

#ifndef _WIN32  // needs fork and a file-size limit
// A file-size limit stands in for a disk that fills up during a recording.
TEST(WaveBlock, DiskFullDuringSaveReportsAndKeepsAValidFile) {
  TempDir dir;
  const std::string path = dir / "full.wav";
  ASSERT_NE(Plugin().Init("Wave_Save_Init"), nullptr);  // loaded before the fork
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{1044 + 700, 1044 + 700};
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
    WaveHost s(false, 8, path);
    {
      Block saver("Wave_Save_Init", s.host);
      saver->Start();
      for (int i = 0; i < 2500; ++i) Feed(saver, s.host, Encode(1, i / 1000 + 1, 8));
    }
    // The second block of 1000 did not fit; the last 500 did.
    const std::vector<std::string> texts = Messages(s.host);
    ::_exit(texts == std::vector<std::string>{"Error while writing wave file"} ? 0 : 20);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  ASSERT_EQ(WEXITSTATUS(status), 0);
  const Bytes file = ReadAll(path);
  ASSERT_EQ(file.size(), 44u + 1500u);
  EXPECT_EQ(Get32(file, 4), 36u + 1500u);
  EXPECT_EQ(Get32(file, 40), 1500u);
  EXPECT_EQ(file[44], 1 + 127);
  EXPECT_EQ(file[44 + 1000], 3 + 127);
}
#endif

TEST(WaveBlock, DoneReleasesTheBlock) {
  TempDir dir;
  WaveHost s(false, 8, dir / "r.wav");
  InitExport init = Plugin().Init("Wave_Save_Init");
  ASSERT_NE(init, nullptr);
  IPELMOR* ref = &s.host;
  IModel* model = *init(&ref, 0);
  EXPECT_EQ(model->AddRef(), 2u);  // the block's own and the host's
  model->Start();
  s.host.SetValue("C1", "00000001");
  model->InputChanged();
  model->Done();
  EXPECT_EQ(model->Release(), 0u);
  EXPECT_EQ(s.host.RefCount(), 0u);
}

// Generators and wave blocks round the host's sample period by one rule (to
// nearest, ties to even), so at half-unit periods they still step together.
TEST(WaveBlock, StepsTogetherWithTheGenerators) {
  const std::pair<long double, int64_t> cases[] = {{2.5L, 2}, {3.5L, 4}, {4.5L, 4}};
  for (const auto& [period, steps] : cases) {
    InProcessHost gen;
    PrepareHost(gen);
    gen.AddVariable("Out", vkBus, 8, kWritableFlag);
    gen.SetSamplePeriod(period);
    Block sine("Sine_Init", gen);
    WaveHost load(true, 8);
    load->SetSamplePeriod(period);
    Block player("Wave_Load_Init", load.host);
    WaveHost save(false, 8);
    save->SetSamplePeriod(period);
    Block recorder("Wave_Save_Init", save.host);
    player->Start();
    EXPECT_EQ(sine->TimeStep(), steps) << static_cast<double>(period);
    EXPECT_EQ(player->TimeStep(), steps) << static_cast<double>(period);
    EXPECT_EQ(recorder->TimeStep(), steps) << static_cast<double>(period);
  }
}
