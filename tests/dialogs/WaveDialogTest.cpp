#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAudioDevice>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QLineEdit>
#include <QMediaDevices>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <stdexcept>

#include "DialogTestSupport.h"
#include "dialogs/qt/DialogChrome.h"
#include "dialogs/qt/ResWaves.h"
#include "dialogs/qt/UWaveParam.h"
#include "wave/Wave_fileIO.h"
#include "support/SampleRecords.h"

namespace {

std::unique_ptr<TWavesForm> Open(HookLog& log, const std::string& type, std::vector<uint8_t> data,
                                 const std::string& directory = "/nonexistent/", const std::string& language = "") {
  auto form = std::make_unique<TWavesForm>(RecordingHooks(log));
  DialogRequest request{type, language, directory, std::nullopt, std::move(data)};
  LoadForm(*form, request);
  form->show();
  return form;
}

DialogResult PressOk(TWavesForm& form) {
  QTest::mouseClick(form.OKBtn, Qt::LeftButton);
  return form.Store();
}

void WriteWave(const QString& path, int32_t rate, uint16_t bits, uint16_t channels) {
  TWaveFile file;
  ASSERT_TRUE(file.OpenWrite(path.toStdString(), rate, bits, channels));
  const int32_t samples[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  ASSERT_TRUE(file.WriteSamples(8, samples));
  ASSERT_TRUE(file.Close());
}

}  // namespace

TEST(WaveDialog, SavePageRatesBitsAndOneChannel) {
  HookLog log;
  auto form = Open(log, "Save Wave", Bytes(WaveRecord("out.wav", 22050, 8, 2, 3)));
  EXPECT_FALSE(form->IsLoadPage());
  EXPECT_FALSE(form->PageControl->isTabVisible(0));
  EXPECT_TRUE(form->PageControl->isTabVisible(1));
  EXPECT_EQ(form->PageControl->currentWidget(), form->SaveWaveTab);
  EXPECT_EQ(form->WaveRate->currentText(), "22050");
  EXPECT_EQ(form->SampleWave->currentText(), "Great");
  EXPECT_FALSE(form->Radio_Bit16->isEnabled());
  EXPECT_TRUE(log.texts.empty());  // a missing file is no error on the save page
  form->SaveWaveFile->setText("typed.wav");
  const auto stored = FromBytes<WaveParams>(PressOk(*form).data);
  EXPECT_EQ(stored.FileName.Get(), "typed.wav");
  EXPECT_EQ(stored.SampleRate, 22050);
  EXPECT_EQ(stored.BitsPerSample, 8);
  EXPECT_EQ(stored.Channels, 1);
  EXPECT_EQ(stored.Sound, 3);

  HookLog log2;
  auto odd = Open(log2, "Save Wave", Bytes(WaveRecord("out.wav", 12345, 16, 1, 9)));
  EXPECT_EQ(odd->WaveRate->currentText(), "11025");
  EXPECT_EQ(odd->SampleWave->currentText(), "All_waves");
  EXPECT_TRUE(odd->Radio_Bit16->isChecked());
  const auto kept = FromBytes<WaveParams>(PressOk(*odd).data);
  EXPECT_EQ(kept.BitsPerSample, 16);
  EXPECT_EQ(kept.SampleRate, 12345);  // the list cannot show it, and the user left it alone

  // No stored record: the defaults.
  HookLog log3;
  auto fresh = Open(log3, "Save Wave", {});
  EXPECT_EQ(fresh->SaveWaveFile->text(), "test.wav");
  EXPECT_EQ(fresh->WaveRate->currentText(), "8000");
  EXPECT_TRUE(fresh->Radio_Bit8->isChecked());
}

TEST(WaveDialog, LoadPageShowsTheHeaderAndStoresNamesRelativeToTheDirectory) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
  const QString path = dir.path() + "/sub/stereo.wav";
  WriteWave(path, 44100, 16, 2);
  const std::string directory = (dir.path() + "/").toStdString();

  HookLog log;
  auto form = Open(log, "Load Wave", Bytes(WaveRecord("sub/stereo.wav", 8000, 8, 1)), directory);
  EXPECT_TRUE(form->IsLoadPage());
  EXPECT_FALSE(form->PageControl->isTabVisible(1));
  EXPECT_TRUE(log.texts.empty());
  EXPECT_EQ(form->WaveProp->toPlainText(), "NumChannels    - 2\nSample per sec - 44100\nBits per sec   - 16");
  const auto stored = FromBytes<WaveParams>(PressOk(*form).data);
  EXPECT_EQ(stored.FileName.Get(), "sub/stereo.wav");
  EXPECT_EQ(stored.SampleRate, 44100);
  EXPECT_EQ(stored.BitsPerSample, 16);
  EXPECT_EQ(stored.Channels, 2);

  // A file picked by its full path inside the directory is kept relative.
  HookLog log2;
  auto picked = Open(log2, "Load Wave", {}, directory);
  picked->HandlePickedName(dir.path() + "/sub/stereo");
  EXPECT_EQ(picked->LoadFileName->text(), "sub/stereo.wav");
  EXPECT_EQ(picked->FormRecord().Channels, 2);
}

TEST(WaveDialog, LoadPageRefusesMissingAndUnreadableFiles) {
  QTemporaryDir dir;
  const std::string directory = (dir.path() + "/").toStdString();
  WriteWave(dir.path() + "/good.wav", 11025, 8, 1);
  QFile junk(dir.path() + "/junk.wav");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("RIFF but not really a wave file");
  junk.close();

  HookLog log;
  auto form = Open(log, "Load Wave", Bytes(WaveRecord("good.wav", 0, 0, 0)), directory);
  EXPECT_TRUE(log.texts.empty());
  form->LoadFileName->setText("missing.wav");
  form->PlayBtn->click();
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], dir.path().toStdString() + "/missing.wav - file not exists");
  EXPECT_EQ(form->LoadFileName->text(), "good.wav");

  form->LoadFileName->setText("junk.wav");
  const auto stored = FromBytes<WaveParams>(PressOk(*form).data);
  ASSERT_EQ(log.texts.size(), 2u);
  EXPECT_EQ(log.texts[1], dir.path().toStdString() + "/junk.wav - can't open file\nThe stored file settings are kept.");
  // The last accepted file is what OK stores.
  EXPECT_EQ(stored.FileName.Get(), "good.wav");
  EXPECT_EQ(stored.SampleRate, 11025);

  // A stored name that cannot be opened is kept, never replaced by zeros,
  // and OK says so; the Russian texts.
  HookLog log2;
  auto none = Open(log2, "Load Wave", Bytes(WaveRecord("absent.wav", 16000, 16, 2)), directory, "Russian");
  ASSERT_EQ(log2.texts.size(), 1u);
  EXPECT_EQ(log2.texts[0], dir.path().toStdString() + "/absent.wav - файл не существует");
  EXPECT_EQ(none->windowTitle(), QString::fromUtf8("Свойства чтения/записи Wave файлов"));
  EXPECT_EQ(none->LoadFileName->text(), "absent.wav");
  const auto kept = FromBytes<WaveParams>(PressOk(*none).data);
  EXPECT_EQ(kept.FileName.Get(), "absent.wav");
  EXPECT_EQ(kept.SampleRate, 16000);
  EXPECT_EQ(kept.BitsPerSample, 16);
  EXPECT_EQ(kept.Channels, 2);
  ASSERT_EQ(log2.texts.size(), 2u);
  EXPECT_NE(log2.texts[1].find("оставлены без изменений"), std::string::npos) << log2.texts[1];

  // A FIFO is refused at once, like a missing file (opening it would wait).
  const std::string fifo = dir.path().toStdString() + "/pipe.wav";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  HookLog log3;
  auto piped = Open(log3, "Load Wave", Bytes(WaveRecord("pipe.wav", 8000, 8, 1)), directory);
  ASSERT_EQ(log3.texts.size(), 1u);
  EXPECT_EQ(log3.texts[0], fifo + " - file not exists");
  EXPECT_EQ(FromBytes<WaveParams>(PressOk(*piped).data).FileName.Get(), "pipe.wav");
}

// Names are read and written in one encoding; whole paths stay whole; a name
// the record cannot hold is refused with a word instead of being cut.
TEST(WaveDialog, NamesKeepTheirEncodingTheirFormAndTheirLength) {
  // A short folder name whatever the application is called: whole paths
  // below must fit the record's 55 bytes.
  QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/rw-XXXXXX"));
  ASSERT_TRUE(QDir(dir.path()).mkdir(QString::fromUtf8("звуки")));
  const QString folder = dir.path() + "/";
  WriteWave(folder + QString::fromUtf8("звуки/тон.wav"), 8000, 16, 1);
  const std::string directory = folder.toStdString();
  const std::string cyrillic = "звуки/тон.wav";

  HookLog log;
  auto load = Open(log, "Load Wave", Bytes(WaveRecord(cyrillic, 8000, 16, 1)), directory);
  EXPECT_TRUE(log.texts.empty()) << log.texts[0];
  EXPECT_EQ(load->LoadFileName->text(), QString::fromUtf8("звуки/тон.wav"));
  EXPECT_EQ(FromBytes<WaveParams>(PressOk(*load).data).FileName.Get(), cyrillic);

  // The save page: OK after OK keeps the bytes.
  std::vector<uint8_t> data = Bytes(WaveRecord("запись.wav", 8000, 8, 1));
  for (int round = 0; round < 2; ++round) {
    HookLog l;
    auto save = Open(l, "Save Wave", data, directory);
    EXPECT_EQ(save->SaveWaveFile->text(), QString::fromUtf8("запись.wav"));
    data = PressOk(*save).data;
    EXPECT_EQ(FromBytes<WaveParams>(data).FileName.Get(), "запись.wav");
  }

  // A stored name that is no UTF-8 comes back as stored when left alone.
  HookLog log6;
  auto latin = Open(log6, "Save Wave", Bytes(WaveRecord("caf\xE9.wav", 8000, 8, 1)), directory);
  EXPECT_EQ(FromBytes<WaveParams>(PressOk(*latin).data).FileName.Get(), "caf\xE9.wav");

  // A whole path inside the directory stays whole.
  const std::string whole = directory + cyrillic;
  ASSERT_LE(whole.size(), 55u);
  HookLog log2;
  auto absolute = Open(log2, "Load Wave", Bytes(WaveRecord(whole, 8000, 16, 1)), directory);
  EXPECT_TRUE(log2.texts.empty());
  EXPECT_EQ(FromBytes<WaveParams>(PressOk(*absolute).data).FileName.Get(), whole);

  // A picked file whose path does not fit: stored relative to the design's
  // folder, with a word; one that fits neither way is refused.
  const QString deep = folder + QString(60, 'd') + "/";
  ASSERT_TRUE(QDir().mkpath(deep + "x"));
  WriteWave(deep + "long.wav", 8000, 8, 1);
  HookLog log3;
  auto picked = Open(log3, "Load Wave", {}, (deep + "x/").toStdString());
  log3.texts.clear();  // the default name is not there
  picked->HandlePickedName(deep + "long.wav");
  EXPECT_EQ(picked->LoadFileName->text(), "../long.wav");
  ASSERT_EQ(log3.texts.size(), 1u);
  EXPECT_NE(log3.texts[0].find("../long.wav"), std::string::npos);
  HookLog log4;
  auto far = Open(log4, "Load Wave", Bytes(WaveRecord(cyrillic, 8000, 16, 1)), directory);
  far->HandlePickedName(deep + "long.wav");
  EXPECT_EQ(far->FormRecord().FileName.Get(), cyrillic);
  ASSERT_EQ(log4.texts.size(), 1u);
  EXPECT_NE(log4.texts[0].find("longer than 55"), std::string::npos);

  // The fields take at most 55 characters; a typed name longer than 55
  // bytes keeps the dialog open.
  HookLog log5;
  auto typed = Open(log5, "Save Wave", {}, directory);
  EXPECT_EQ(typed->SaveWaveFile->maxLength(), 55);
  typed->SaveWaveFile->setText(QString::fromUtf8("ж").repeated(30) + ".wav");
  QTest::mouseClick(typed->OKBtn, Qt::LeftButton);
  EXPECT_TRUE(typed->isVisible());
  ASSERT_EQ(log5.texts.size(), 1u);
  EXPECT_NE(log5.texts[0].find("longer than 55"), std::string::npos);
}

// The keyboard reaches what it should; a stored position never puts the
// dialog out of reach; the recorder's browse button names new files.
TEST(WaveDialog, KeyboardScreenAndBrowsing) {
  HookLog log;
  QTemporaryDir dir;
  WriteWave(dir.path() + "/a.wav", 8000, 8, 1);
  auto load = Open(log, "Load Wave", Bytes(WaveRecord("a.wav", 8000, 8, 1)), (dir.path() + "/").toStdString());
  load->activateWindow();
  EXPECT_TRUE(QTest::qWaitForWindowActive(load.get()));
  EXPECT_EQ(load->focusWidget(), load->LoadFileName);
  EXPECT_TRUE(load->WaveProp->isReadOnly());
  EXPECT_TRUE(load->WaveProp->tabChangesFocus());

  HookLog log2;
  auto far = std::make_unique<TWavesForm>(RecordingHooks(log2));
  LoadForm(*far, DialogRequest{"Save Wave", "", "/nonexistent/", std::make_pair(3000, -2000), {}});
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(area.contains(far->geometry().topLeft()));
  EXPECT_LE(far->x() + far->width(), area.right() + 1);
  far->show();
  // Not moved by the user: OK stores no position.
  EXPECT_FALSE(PressOk(*far).position.has_value());

  HookLog log3;
  auto save = Open(log3, "Save Wave", {}, (dir.path() + "/").toStdString());
  bool sawSaveDialog = false;
  QTimer::singleShot(200, [&] {
    auto* box = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (box != nullptr) {
      sawSaveDialog = box->acceptMode() == QFileDialog::AcceptSave;
      box->reject();
    }
  });
  save->SaveBitBtn->click();
  EXPECT_TRUE(sawSaveDialog);
}

TEST(WaveDialog, BrowseAddsTheWaveExtensionOnlyWhenThereIsNone) {
  EXPECT_EQ(TWavesForm::WithWaveExtension("/data/take1"), "/data/take1.wav");
  EXPECT_EQ(TWavesForm::WithWaveExtension("/data/take1.txt"), "/data/take1.txt");
  EXPECT_EQ(TWavesForm::WithWaveExtension("/data/TAKE1.WAV"), "/data/TAKE1.WAV");
  EXPECT_EQ(TWavesForm::WithWaveExtension("/data/take.wave"), "/data/take.wave");
  EXPECT_EQ(TWavesForm::WithWaveExtension("/data/a.mp"), "/data/a.mp.wav");
}

TEST(WaveDialog, PositionIsStoredOnlyWhenTheFormMoved) {
  HookLog log;
  auto form = Open(log, "Save Wave", {});
  EXPECT_FALSE(PressOk(*form).position.has_value());
  HookLog log2;
  auto moved = Open(log2, "Save Wave", {});
  moved->move(moved->x() + 40, moved->y() + 30);
  const DialogResult result = PressOk(*moved);
  ASSERT_TRUE(result.position.has_value());
  EXPECT_EQ(result.position->first, moved->x());
}

TEST(SoundFeedback, ClipsAreShortEightBitMonoWaves) {
  TestApp();
  const QStringList names = ResWaves::ClipNames();
  EXPECT_EQ(names, QStringList({"Fantastic", "Perfect", "Great", "Nice_work", "Thank_You"}));
  for (const QString& name : names + QStringList{"TEST"}) {
    const QByteArray clip = ResWaves::ClipData(name.toUpper());  // names compare without case
    ASSERT_GT(clip.size(), 1000) << name.toStdString();
    EXPECT_LT(clip.size(), 16000) << name.toStdString();
    EXPECT_TRUE(clip.startsWith("RIFF"));
    uint16_t channels = 0, bits = 0;
    uint32_t rate = 0;
    std::memcpy(&channels, clip.constData() + 22, 2);
    std::memcpy(&rate, clip.constData() + 24, 4);
    std::memcpy(&bits, clip.constData() + 34, 2);
    EXPECT_EQ(channels, 1);
    EXPECT_EQ(bits, 8);
    EXPECT_EQ(rate, name == "Thank_You" ? 11000u : 11025u) << name.toStdString();
  }
  try {
    ResWaves::PlayClip("Applause", [](const QString&) {});
    ADD_FAILURE() << "an unknown clip must raise";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Cannot read Resource file");
  }
}

TEST(SoundFeedback, NoOutputDeviceIsReportedInsteadOfPlaying) {
  TestApp();
  if (!QMediaDevices::audioOutputs().isEmpty()) GTEST_SKIP() << "this machine has a sound output";
  QStringList shown;
  const auto show = [&](const QString& text) { shown << text; };
  EXPECT_FALSE(ResWaves::PlayFile("/tmp/whatever.wav", show));
  EXPECT_FALSE(ResWaves::PlayClip("Great", show));
  EXPECT_EQ(shown, QStringList({"Sound Card is not installed", "Sound Card is not installed"}));
  EXPECT_FALSE(ResWaves::IsPlaying());

  // Play on the save page with "All_waves" says it once, not once per clip.
  HookLog log;
  auto form = Open(log, "Save Wave", {});
  form->SampleWave->setCurrentText("All_waves");
  form->PlayBtn->click();
  EXPECT_EQ(log.texts, std::vector<std::string>{"Sound Card is not installed"});
}
