// TWavesForm: the parameter dialog of the wave load and save blocks, a view
// of the wave presenter.
#pragma once

#include <QDialog>
#include <QString>
#include <string>

#include "QtDialogView.h"
#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/WavePresenter.h"
#include "numeric/ParameterRecords.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class QWidget;

// The Qt view of the wave dialog: its messages go to the host's text hook.
class WaveFormView : public QtDialogView {
 public:
  WaveFormView(QWidget& dialog, const DialogHooks& hooks) : QtDialogView(dialog), hooks_(hooks) {}
  void ShowMessage(const std::string& text, MessageKind) override {
    if (hooks_.showText) hooks_.showText(text);
  }

 private:
  const DialogHooks& hooks_;
};

class TWavesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TWavesForm(DialogHooks hooks, QWidget* parent = nullptr);

  // Loads the request in two steps, as the module runs it (LoadForm does
  // both): the block type first (an unknown name says so before anything
  // else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position (when it moved) and record on OK.
  DialogResult Store();

  bool IsLoadPage() const { return presenter_.LoadPage(); }
  bool FileStep(const QString& name) { return presenter_.FileStep(name.toStdString()); }
  static QString WithWaveExtension(const QString& picked) {
    return QString::fromStdString(WaveDialog::WithWaveExtension(picked.toStdString()));
  }
  // A picked file, as the browse buttons hand it on.
  void HandlePickedName(const QString& picked) { presenter_.Picked(picked.toStdString()); }
  void PlayBtnClick();
  void done(int result) override;
  const WaveParams& FormRecord() const { return presenter_.Form().Record(); }

  QTabWidget* PageControl;
  QWidget* LoadWaveTab;
  QWidget* SaveWaveTab;
  QLabel* FileNam_lab;
  QLineEdit* LoadFileName;
  QToolButton* LoadBitBtn;
  QLabel* RxLabel1;
  QPlainTextEdit* WaveProp;
  QLabel* Sample_lab;
  QComboBox* SampleWave;
  QLabel* SaveWave_lab;
  QLineEdit* SaveWaveFile;
  QToolButton* SaveBitBtn;
  QLabel* Amp2_lab;
  QComboBox* WaveRate;
  QLabel* Bits_lab;
  QRadioButton* Radio_Bit8;
  QRadioButton* Radio_Bit16;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QPushButton* PlayBtn;
  QPushButton* HelpBtn;

 private:
  void BuildLoadPage();
  void BuildSavePage();
  void ApplyLanguage();
  void HandleChangeName();
  void Show(const std::string& text);

  DialogHooks hooks_;
  WaveFormView view_;
  WaveDialog::WavePresenter presenter_;
  std::pair<int32_t, int32_t> openedAt_{0, 0};
  bool okRan_ = false;
};
