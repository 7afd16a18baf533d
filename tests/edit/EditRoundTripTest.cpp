// "rir-eda edit" end to end: the real dialog (offscreen) is changed and
// accepted by a timer, the design is written back, and a run of the design
// shows the change in its output.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QSpinBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

#include "host/cli/EditCommand.h"
#include "host/design/DesignReader.h"
#include "host/run/RunDesignFile.h"

namespace fs = std::filesystem;

namespace {

class EditRoundTrip : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rir_edit_rt_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "out");
    fs::copy(fs::path(RIR_SOURCE_DIR) / "examples", dir_ / "examples", fs::copy_options::recursive);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string Example(const char* name) const { return (dir_ / "examples" / name).string(); }

  // Opens the block's dialog; `change` runs on the dialog once it is shown.
  int Edit(const std::string& design, const std::string& block, std::function<void(QWidget*)> change,
           std::string* said = nullptr) {
    bool seen = false;
    QTimer timer;
    timer.setInterval(20);
    QObject::connect(&timer, &QTimer::timeout, [&] {
      QWidget* dialog = QApplication::activeModalWidget();
      if (dialog == nullptr || seen) return;
      seen = true;
      change(dialog);
    });
    timer.start();
    std::ostringstream out, err;
    const int rc = EditDesignBlock({design, block, "", RIR_PLUGIN_PATH}, out, err);
    timer.stop();
    EXPECT_TRUE(seen) << "no dialog was shown; " << err.str();
    if (said != nullptr) *said = out.str();
    return rc;
  }

  // The CSV column `name` of a run of `design`.
  std::vector<long long> Run(const std::string& design, const std::string& name) {
    RunRequest r;
    r.design = design;
    r.pluginPath = RIR_PLUGIN_PATH;
    r.outputDir = (dir_ / "out").string();
    r.quiet = true;
    r.progress = false;
    std::ostringstream out, err;
    EXPECT_EQ(RunDesignFile(r, out, err), 0) << err.str();
    const ::Design d = ReadDesign(design);
    std::ifstream csv(dir_ / "out" / d.output.Find("csv")->values.front().text);
    std::string line;
    std::getline(csv, line);
    size_t column = 0;
    {
      std::stringstream h(line);
      std::string cell;
      for (size_t k = 0; std::getline(h, cell, ','); ++k)
        if (cell == name) column = k;
    }
    EXPECT_NE(column, 0u) << name;
    std::vector<long long> values;
    while (std::getline(csv, line)) {
      std::stringstream row(line);
      std::string cell;
      for (size_t k = 0; std::getline(row, cell, ','); ++k)
        if (k == column) values.push_back(std::stoll(cell));
    }
    return values;
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  static void Press(QWidget* dialog, const char* button) {
    auto* b = dialog->findChild<QAbstractButton*>(button);
    ASSERT_NE(b, nullptr) << button;
    b->click();
  }

  fs::path dir_;
};

long long Peak(const std::vector<long long>& v) {
  long long m = 0;
  for (long long x : v) m = std::max(m, std::llabs(x));
  return m;
}

}  // namespace

TEST_F(EditRoundTrip, GeneratorAmplitudeReachesTheRun) {
  const std::string design = Example("sine_hann_fft.toml");
  EXPECT_EQ(Peak(Run(design, "sine")), 1000);
  const std::string before = Read(design);

  std::string said;
  EXPECT_EQ(Edit(
                design, "sine",
                [](QWidget* dialog) {
                  auto* amp = dialog->findChild<QSpinBox*>("FSineAmp");
                  ASSERT_NE(amp, nullptr);
                  EXPECT_EQ(amp->value(), 1000);
                  amp->setValue(400);
                  Press(dialog, "OKBtn");
                },
                &said),
            0);
  EXPECT_NE(said.find("SineAmp: 1000 -> 400"), std::string::npos) << said;
  const std::string after = Read(design);
  // The one value changed in place; the comment on its line stays.
  std::string expected = before;
  // The kind the dialog also stores is a field a Sine never reads: not written.
  expected.replace(expected.find("SineAmp = 1000, SinePeriod = 32 }"), 33, "SineAmp = 400, SinePeriod = 32 }");
  EXPECT_EQ(after, expected);
  EXPECT_EQ(Peak(Run(design, "sine")), 400);

  // Cancel writes nothing.
  EXPECT_EQ(Edit(design, "sine", [](QWidget* dialog) { Press(dialog, "CancelBtn"); }), 0);
  EXPECT_EQ(Read(design), expected);
}

TEST_F(EditRoundTrip, RecordFileIsWrittenBack) {
  // The sine's record kept as raw bytes beside the design.
  const std::string design = Example("sine_hann_fft.toml");
  const std::vector<uint8_t> record = ReadDesign(design).blocks.at(0).record;
  std::ofstream(dir_ / "examples" / "sine.rec", std::ios::binary)
      .write(reinterpret_cast<const char*>(record.data()), static_cast<std::streamsize>(record.size()));
  std::string text = Read(design);
  const std::string line = "parameters = { SineAmp = 1000, SinePeriod = 32 }";
  text.replace(text.find(line), line.size(), "record_file = \"sine.rec\"");
  std::ofstream(design, std::ios::binary | std::ios::trunc) << text;

  EXPECT_EQ(Edit(design, "sine",
                 [](QWidget* dialog) {
                   dialog->findChild<QSpinBox*>("FSineAmp")->setValue(300);
                   Press(dialog, "OKBtn");
                 }),
            0);
  EXPECT_EQ(Read(design), text);
  const std::string bytes = Read((dir_ / "examples" / "sine.rec").string());
  EXPECT_EQ(bytes.size(), record.size());
  EXPECT_EQ(Peak(Run(design, "sine")), 300);
}

TEST_F(EditRoundTrip, TransformLengthReachesTheRun) {
  const std::string design = Example("sine_hann_fft.toml");
  // Positions count within the window: some pass 16 with 64 points.
  EXPECT_GE(Peak(Run(design, "window_pos")), 16);
  EXPECT_EQ(Edit(design, "window",
                 [](QWidget* dialog) {
                   auto* points = dialog->findChild<QSpinBox*>("Num_Points");
                   ASSERT_NE(points, nullptr);
                   EXPECT_EQ(points->value(), 64);
                   points->setValue(16);
                   Press(dialog, "Apply_Btn");
                 }),
            0);
  // The dialog also stores its place; of the record, only fields the block reads.
  const std::string text = Read(design);
  EXPECT_NE(text.find("parameters = { Num_Points = 16 }"), std::string::npos) << text;
  EXPECT_NE(text.find("dialog_position = ["), std::string::npos) << text;
  EXPECT_LT(Peak(Run(design, "window_pos")), 16);
  // Reopening shows the stored place and length; OK again changes nothing.
  std::string said;
  EXPECT_EQ(Edit(
                design, "window",
                [](QWidget* dialog) {
                  EXPECT_EQ(dialog->findChild<QSpinBox*>("Num_Points")->value(), 16);
                  Press(dialog, "Apply_Btn");
                },
                &said),
            0);
  EXPECT_NE(said.find("no changes"), std::string::npos) << said;
  EXPECT_EQ(Read(design), text);
}

TEST_F(EditRoundTrip, WaveRateReachesTheRecording) {
  const std::string design = Example("wave_iir.toml");
  EXPECT_EQ(Edit(design, "recorder",
                 [](QWidget* dialog) {
                   auto* rate = dialog->findChild<QComboBox*>("WaveRate");
                   ASSERT_NE(rate, nullptr);
                   rate->setCurrentText("11025");
                   Press(dialog, "OKBtn");
                 }),
            0);
  EXPECT_NE(Read(design).find("SampleRate = 11025"), std::string::npos);
  Run(design, "filtered");
  const std::string wav = Read((dir_ / "out" / "iir_out.wav").string());
  ASSERT_GE(wav.size(), 44u);
  const auto rate = static_cast<uint32_t>(static_cast<uint8_t>(wav[24]) | static_cast<uint8_t>(wav[25]) << 8 |
                                          static_cast<uint8_t>(wav[26]) << 16);
  EXPECT_EQ(rate, 11025u);
}

// The wave dialogs look for names where a run does: the player's beside the
// design, the recorder's in the output folder. OK without a change leaves the
// design as it was, from any working folder.
TEST_F(EditRoundTrip, WaveNamesResolveWhereTheRunLooks) {
  const std::string design = Example("wave_iir.toml");
  const std::string before = Read(design);
  const fs::path cwd = fs::current_path();
  fs::current_path(dir_ / "out");  // neither the design's folder nor the plug-in's
  for (const char* block : {"player", "recorder"}) {
    std::string said;
    EXPECT_EQ(Edit(
                  design, block,
                  [](QWidget* dialog) {
                    // A message box here would mean the file was not found.
                    EXPECT_NE(dialog->findChild<QAbstractButton*>("OKBtn"), nullptr);
                    Press(dialog, "OKBtn");
                  },
                  &said),
              0)
        << block;
    EXPECT_EQ(Read(design), before) << block << ": " << said;
  }
  fs::current_path(cwd);
}

// The leak checker of the sanitizer build: the system font library keeps its
// caches until the process ends.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\nleak:libfreetype.so\n"; }

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
