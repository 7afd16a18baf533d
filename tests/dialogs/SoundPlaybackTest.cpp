// The wave dialog's sounds as they come out of a sound server: every control
// that plays is pressed while the server's null sink is recorded, and the
// recording is matched against the clips by sound_match.py. The
// SoundOnServer cases run under a private PulseAudio daemon that CTest starts;
// the SoundWithoutServer cases under an environment that names no server.
#include <gtest/gtest.h>

#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMediaDevices>
#include <QProcess>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <map>
#include <memory>
#include <vector>

#include "DialogTestSupport.h"
#include "dialogs/qt/DialogChrome.h"
#include "dialogs/qt/ResWaves.h"
#include "dialogs/qt/UWaveParam.h"
#include "wave/Wave_fileIO.h"

namespace {

const QString kOutDir = QStringLiteral(RIR_SOUND_OUT_DIR);

// Records the null sink's monitor as signed 16-bit mono at the sink's own
// rate, the form sound_match.py reads: no resampling on the way, so the
// recording lines up with the clips to a fraction of a sample.
class SinkRecorder {
 public:
  bool Start() {
    parec_.setProgram("parec");
    parec_.setArguments(
        {"-d", "nullsink.monitor", "--format=s16le", "--rate=44100", "--channels=1", "--latency-msec=20"});
    parec_.start();
    if (!parec_.waitForStarted(5000)) return false;
    // The monitor streams silence while nothing plays: the first bytes mean
    // the recording runs.
    return parec_.waitForReadyRead(5000);
  }
  // Keeps recording a little after the sound so its end is in the file.
  QByteArray Stop(int tailMs = 300) {
    QTest::qWait(tailMs);
    parec_.terminate();
    parec_.waitForFinished(5000);
    return parec_.readAllStandardOutput();
  }

 private:
  QProcess parec_;
};

// The clips as the dialog carries them, written out for the analysis.
QStringList ClipFiles() {
  QDir().mkpath(kOutDir);
  QStringList files;
  for (const QString& name : ResWaves::ClipNames() + QStringList{"TEST"}) {
    const QString path = kOutDir + "/" + name + ".wav";
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(ResWaves::ClipData(name));
    files << path;
  }
  return files;
}

// Playing time of a clip from its header (8-bit mono: one byte per sample).
double ClipSeconds(const QString& name) {
  const QByteArray clip = ResWaves::ClipData(name);
  uint32_t rate = 0, data = 0;
  std::memcpy(&rate, clip.constData() + 24, 4);
  std::memcpy(&data, clip.constData() + 40, 4);
  return rate == 0 ? 0.0 : double(data) / rate;
}

struct SoundCase {
  QString label;
  QByteArray recording;
  QStringList expected;
};

// Saves the recordings and runs the analysis once for all of them (it takes
// a while to start); its report goes to the test log. Label -> passed.
std::map<QString, bool> Match(const QStringList& candidates, const std::vector<SoundCase>& cases) {
  QStringList arguments{RIR_SOUND_MATCH_SCRIPT};
  arguments << candidates;
  for (const SoundCase& c : cases) {
    const QString path = kOutDir + "/" + c.label + ".raw";
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(c.recording);
    arguments << "--case" << c.label << path << c.expected;
  }
  QProcess analysis;
  analysis.setProcessChannelMode(QProcess::MergedChannels);
  analysis.start("/usr/bin/python3", arguments);
  std::map<QString, bool> passed;
  if (!analysis.waitForFinished(120000)) return passed;
  const QString report = QString::fromUtf8(analysis.readAll());
  std::cout << report.toStdString() << std::flush;
  for (const QString& line : report.split('\n')) {
    const QStringList words = line.split(' ');
    if (words.size() == 3 && words[0] == "RESULT") passed[words[1]] = words[2] == "ok";
  }
  return passed;
}

std::unique_ptr<TWavesForm> Open(HookLog& log, const std::string& type, const WaveParams& record,
                                 const std::string& directory = "/nonexistent/") {
  auto form = std::make_unique<TWavesForm>(RecordingHooks(log));
  LoadForm(*form, DialogRequest{type, "", directory, std::nullopt, Bytes(record)});
  form->show();
  return form;
}

// Presses Play on the save page with one choice; returns the seconds the
// press took (Play returns when the last clip has ended).
double PressPlay(TWavesForm& form, const QString& choice) {
  form.SampleWave->setCurrentText(choice);
  EXPECT_EQ(form.SampleWave->currentText(), choice);
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(form.PlayBtn, Qt::LeftButton);
  return clock.elapsed() / 1000.0;
}

void ExpectAServer() {
  TestApp();
  ASSERT_FALSE(QMediaDevices::audioOutputs().isEmpty())
      << "no sound output: the private PulseAudio fixture did not start (PULSE_SERVER="
      << qgetenv("PULSE_SERVER").toStdString() << ")";
}

}  // namespace

TEST(SoundOnServer, EachClipPlaysWholeAndIsTheOneChosen) {
  ExpectAServer();
  const QStringList candidates = ClipFiles();
  HookLog log;
  auto form = Open(log, "Save Wave", WaveParams{});
  std::vector<SoundCase> cases;
  for (const QString& name : ResWaves::ClipNames()) {
    SinkRecorder recorder;
    ASSERT_TRUE(recorder.Start());
    const double took = PressPlay(*form, name);
    cases.push_back({name, recorder.Stop(), {name}});
    // Play waits for the end of the sound, not for a fixed time.
    const double length = ClipSeconds(name);
    std::cout << name.toStdString() << ": " << length << " s long, Play took " << took << " s\n";
    EXPECT_GE(took, length - 0.05) << name.toStdString();
    EXPECT_LT(took, length + 0.6) << name.toStdString();
  }
  // The sixth clip is carried but no control plays it; it must still be sound.
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.Start());
  EXPECT_TRUE(ResWaves::PlayClip("TEST", [&log](const QString& t) { log.texts.push_back(t.toStdString()); }));
  cases.push_back({"TEST", recorder.Stop(), {"TEST"}});
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();

  auto passed = Match(candidates, cases);
  for (const SoundCase& c : cases) EXPECT_TRUE(passed[c.label]) << c.label.toStdString();
}

TEST(SoundOnServer, AllWavesPlaysTheFiveClipsInOrderWithoutOverlap) {
  ExpectAServer();
  const QStringList candidates = ClipFiles();
  HookLog log;
  auto form = Open(log, "Save Wave", WaveParams{});
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.Start());
  const double took = PressPlay(*form, "All_waves");
  const QByteArray recording = recorder.Stop();
  // The same recording read as another order must not pass.
  QStringList reversed = ResWaves::ClipNames();
  std::reverse(reversed.begin(), reversed.end());
  auto passed =
      Match(candidates, {{"All_waves", recording, ResWaves::ClipNames()}, {"All_waves_reversed", recording, reversed}});
  EXPECT_TRUE(passed["All_waves"]);
  EXPECT_FALSE(passed["All_waves_reversed"]);
  EXPECT_EQ(passed.count("All_waves_reversed"), 1u) << "the analysis did not run";
  double total = 0;
  for (const QString& name : ResWaves::ClipNames()) total += ClipSeconds(name);
  std::cout << "All_waves: " << total << " s of clips, Play took " << took << " s\n";
  EXPECT_GE(took, total - 0.05);
  EXPECT_LT(took, total + 5 * 0.6);
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();
}

TEST(SoundOnServer, LoadPagePlaysTheChosenFile) {
  ExpectAServer();
  QStringList candidates = ClipFiles();
  // A chirp at a rate and width no clip has, so the match must come from
  // the file's own samples.
  const QString dir = kOutDir + "/chosen";
  QDir().mkpath(dir);
  const QString path = dir + "/Chirp.wav";
  const int rate = 22050, count = rate * 7 / 10;
  std::vector<int32_t> samples(count);
  for (int i = 0; i < count; ++i) {
    const double t = double(i) / rate;
    const double ramp = std::min({1.0, t / 0.01, (double(count - i) / rate) / 0.01});
    samples[i] = static_cast<int32_t>(std::lround(12000.0 * ramp * std::sin(2 * M_PI * (200 * t + 1000 * t * t))));
  }
  {
    TWaveFile file;
    ASSERT_TRUE(file.OpenWrite(path.toStdString(), rate, 16, 1));
    for (int at = 0; at < count; at += 4096) {
      ASSERT_TRUE(file.WriteSamples(static_cast<uint16_t>(std::min(4096, count - at)), samples.data() + at));
    }
    ASSERT_TRUE(file.Close());
  }
  candidates << path;

  HookLog log;
  WaveParams record{};
  record.FileName.Set("Chirp.wav");
  auto form = Open(log, "Load Wave", record, (dir + "/").toStdString());
  ASSERT_TRUE(log.texts.empty()) << log.texts.front();
  SinkRecorder recorder;
  ASSERT_TRUE(recorder.Start());
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(form->PlayBtn, Qt::LeftButton);
  EXPECT_LT(clock.elapsed(), 300) << "a file plays without waiting";
  // A second press while it plays is refused, once, and adds no sound.
  QTest::mouseClick(form->PlayBtn, Qt::LeftButton);
  EXPECT_EQ(log.texts, std::vector<std::string>{"Another application is playing audio"});
  log.texts.clear();
  EXPECT_TRUE(QTest::qWaitFor([] { return !ResWaves::IsPlaying(); }, 5000));
  EXPECT_TRUE(Match(candidates, {{"Chirp", recorder.Stop(), {"Chirp"}}})["Chirp"]);
  EXPECT_TRUE(log.texts.empty()) << log.texts.front();
}

TEST(SoundWithoutServer, PlayShowsOneMessageAndReturns) {
  TestApp();
  ASSERT_TRUE(QMediaDevices::audioOutputs().isEmpty()) << "this case runs where no server answers";
  HookLog log;
  auto form = Open(log, "Save Wave", WaveParams{});
  const double took = PressPlay(*form, "All_waves");
  EXPECT_EQ(log.texts, std::vector<std::string>{"Sound Card is not installed"});
  EXPECT_LT(took, 1.0);
  log.texts.clear();
  PressPlay(*form, "Great");
  EXPECT_EQ(log.texts, std::vector<std::string>{"Sound Card is not installed"});

  // A readable file on the load page: one message too, and nothing left playing.
  const QString dir = kOutDir + "/quiet";
  QDir().mkpath(dir);
  QFile::remove(dir + "/Great.wav");
  QFile clip(dir + "/Great.wav");
  ASSERT_TRUE(clip.open(QIODevice::WriteOnly));
  clip.write(ResWaves::ClipData("Great"));
  clip.close();
  HookLog log2;
  WaveParams record{};
  record.FileName.Set("Great.wav");
  auto load = Open(log2, "Load Wave", record, (dir + "/").toStdString());
  QTest::mouseClick(load->PlayBtn, Qt::LeftButton);
  EXPECT_EQ(log2.texts, std::vector<std::string>{"Sound Card is not installed"});
  EXPECT_FALSE(ResWaves::IsPlaying());
}
