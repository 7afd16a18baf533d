// rir-dialog-screenshots PLUGIN OUTDIR: pictures of every dialog page in
// English and Russian. The transform, table and wave dialogs are made in this
// process; the generator dialog is opened through the plug-in's export, as a
// host opens it. Run under a display (tools/dialog-screenshots.sh).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QPixmap>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <cstdio>
#include <dlfcn.h>
#include <string>

#include "DialogTestSupport.h"
#include "dialogs/qt/DialogChrome.h"
#include "dialogs/qt/UDb_Edit.h"
#include "dialogs/qt/UTransformOpt.h"
#include "dialogs/qt/UWaveParam.h"
#include "framework/interface/UExtParameterTypes.h"
#include "tests/support/DialogPictures.h"
#include "wave/Wave_fileIO.h"

namespace {

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif
// Saves the shown generator dialog and closes it; retries while it is not
// on the screen yet (a loaded machine is slow to map windows).
void TakeWhenShown(const std::string& file, int attempts) {
  QTimer::singleShot(250, [file, attempts] {
    QWidget* dialog = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->objectName() == "GenersForm" && w->isVisible()) dialog = w;
    if (dialog == nullptr) {
      if (attempts > 0) TakeWhenShown(file, attempts - 1);
      return;
    }
    if (!dialog->grab().save(QString::fromStdString(file)))
      std::fprintf(stderr, "cannot write %s\n", file.c_str());
    else
      std::printf("%s\n", file.c_str());
    if (auto* cancel = dialog->findChild<QAbstractButton*>("CancelBtn")) cancel->click();
  });
}

class ShotHost : public IExtParameter {
 public:
  std::string language, typeName, directory, output;
  int32_t RIR_STDCALL QueryInterface(const GUID*, void** out) override {
    *out = this;
    return 0;
  }
  uint32_t RIR_STDCALL AddRef() override { return 1; }
  uint32_t RIR_STDCALL Release() override { return 1; }
  const char* RIR_STDCALL GetLanguage() override { return language.c_str(); }
  const char* RIR_STDCALL GetBlockTypeName() override { return typeName.c_str(); }
  int32_t RIR_STDCALL GetPositionSize() override { return 0; }
  const void* RIR_STDCALL GetPosition() override { return nullptr; }
  void RIR_STDCALL SetPosition(const void*, int32_t) override {}
  int32_t RIR_STDCALL GetDataSize() override {
    // The dialog exists now: take the picture once it has been drawn.
    TakeWhenShown(output, 40);
    return 0;
  }
  const void* RIR_STDCALL GetData() override { return nullptr; }
  void RIR_STDCALL SetData(const void*, int32_t) override {}
  const char* RIR_STDCALL GetDirectory() override { return directory.c_str(); }
  void RIR_STDCALL ShowHelp(const char*) override {}
  int32_t RIR_STDCALL GetOwnerWindow() override { return 0; }
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

void Save(QWidget& w, const QString& path) {
  w.show();
  w.raise();
  for (int i = 0; i < 20; ++i) {
    QApplication::processEvents();
    QThread::msleep(10);
  }
  if (!w.grab().save(path)) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  w.hide();
}

// Every page of the transform dialog, the table editor and both wave pages.
void SaveTransformAndWavePictures(const QString& out) {
  HookLog log;
  const auto& transforms = kTransformPagePictures;
  QTemporaryDir dir;
  {
    TWaveFile file;
    file.OpenWrite((dir.path() + "/stereo.wav").toStdString(), 44100, 16, 2);
    file.Close();
  }
  for (const char* language : {"ENGLISH", "RUSSIAN"}) {
    const QString suffix = QString(language) == "RUSSIAN" ? "-ru" : "-en";
    UseQtTranslations(language);  // as the module does: Qt's own buttons and file dialogs
    for (const auto& t : transforms) {
      TTransformsOpt dialog(RecordingHooks(log));
      LoadForm(dialog, DialogRequest{t.type, language, "/", std::nullopt, {}});
      Save(dialog, out + "/transform-" + t.file + suffix + ".png");
      if (QString(t.file) == "lmss") {
        dialog.LMSS_Pages->setCurrentIndex(1);
        dialog.LMSH_isMulti->setChecked(true);
        Save(dialog, out + "/transform-lmss-addition" + suffix + ".png");
      }
    }
    {
      // A stored "less than" operator is shown as stored.
      TransformParams r{};
      DefaultTransformRecord(r);
      r.TransformCode = 33;
      r.ThreshRelOp = 0;
      TTransformsOpt dialog(RecordingHooks(log));
      LoadForm(dialog, DialogRequest{"Thresh", language, "/", std::nullopt, Bytes(r)});
      Save(dialog, out + "/transform-thresh-lt" + suffix + ".png");
    }
    {
      TTableEdit editor;
      const float entries[12] = {1, 0.5f, -2, 3, 0, 1, 1, 1, 0.25f, 4, 5, 6};
      editor.LoadList(entries, 3);
      Save(editor, out + "/table-edit-3.png");
      editor.LoadList(entries, 12);
      Save(editor, out + "/table-edit-12.png");
    }
    {
      TWavesForm load(RecordingHooks(log));
      LoadForm(load, DialogRequest{"Load Wave", language, (dir.path() + "/").toStdString(), std::nullopt, {}});
      load.FileStep(dir.path() + "/stereo.wav");
      Save(load, out + "/wave-load" + suffix + ".png");
      TWavesForm save(RecordingHooks(log));
      WaveParams named{};
      DefaultWaveRecord(named);
      named.FileName.Set("запись.wav");
      LoadForm(save, DialogRequest{"Save Wave", language, "/", std::nullopt, Bytes(named)});
      Save(save, out + "/wave-save" + suffix + ".png");
      // The recorder's browse button: Qt's save dialog, in the language chosen.
      QFileDialog browse(nullptr, QString(), dir.path(), "PCM Wave files (*.wav)");
      browse.setOption(QFileDialog::DontUseNativeDialog);
      browse.setAcceptMode(QFileDialog::AcceptSave);
      Save(browse, out + "/wave-save-browse" + suffix + ".png");
    }
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s PLUGIN OUTDIR\n", argv[0]);
    return 2;
  }
  void* plugin = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (plugin == nullptr) {
    std::fprintf(stderr, "%s\n", dlerror());
    return 1;
  }
  auto open = reinterpret_cast<void(RIR_STDCALL*)(IExtParameter*)>(dlsym(plugin, "GenersExtParams"));
  if (open == nullptr) return 1;
  QDir().mkpath(argv[2]);
  TestApp();
  SaveTransformAndWavePictures(QString::fromLocal8Bit(argv[2]));
  const std::string out = argv[2];
  struct Shot {
    const char* typeName;
    const char* file;
  };
  const Shot shots[] = {{"Sine", "sine"},         {"ModSine", "modsine"},        {"Hann", "windowing"},
                        {"Func", "function"},     {"Constant", "constant"},      {"Tone", "tone"},
                        {"Triangle", "triangle"}, {"PseudoRandom", "unirandom"}, {"Gaussian", "gaussian"},
                        {"Blackman", "blackman"}, {"Kaiser", "kaiser"}};
  for (const char* language : {"ENGLISH", "RUSSIAN"}) {
    for (const Shot& s : shots) {
      ShotHost host;
      host.language = language;
      host.typeName = s.typeName;
      host.output = out + "/" + s.file + (std::string(language) == "RUSSIAN" ? "-ru" : "-en") + ".png";
      open(&host);  // the module makes the QApplication on first use
    }
  }
  return 0;
}
