// Saves a picture of every page kind of the transform dialog, the table
// editor and both wave pages, in English and Russian: DialogScreens OUTDIR.
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QPixmap>
#include <QTabWidget>
#include <QTableWidget>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "DialogTestSupport.h"
#include "dialogs/UDb_Edit.h"
#include "dialogs/UTransformOpt.h"
#include "dialogs/UWaveParam.h"
#include "wave/Wave_fileIO.h"
#include "tests/support/DialogPictures.h"

namespace {

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

}  // namespace

int main(int argc, char** argv) {
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("screens");
  QDir().mkpath(out);
  TestApp();
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
      dialog.Load(DialogRequest{t.type, language, "/", std::nullopt, {}});
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
      dialog.Load(DialogRequest{"Thresh", language, "/", std::nullopt, Bytes(r)});
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
      load.Load(DialogRequest{"Load Wave", language, (dir.path() + "/").toStdString(), std::nullopt, {}});
      load.FileStep(dir.path() + "/stereo.wav");
      Save(load, out + "/wave-load" + suffix + ".png");
      TWavesForm save(RecordingHooks(log));
      WaveParams named{};
      DefaultWaveRecord(named);
      named.FileName.Set("запись.wav");
      save.Load(DialogRequest{"Save Wave", language, "/", std::nullopt, Bytes(named)});
      Save(save, out + "/wave-save" + suffix + ".png");
      // The recorder's browse button: Qt's save dialog, in the language chosen.
      QFileDialog browse(nullptr, QString(), dir.path(), "PCM Wave files (*.wav)");
      browse.setOption(QFileDialog::DontUseNativeDialog);
      browse.setAcceptMode(QFileDialog::AcceptSave);
      Save(browse, out + "/wave-save-browse" + suffix + ".png");
    }
  }
  return 0;
}
