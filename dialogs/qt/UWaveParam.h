// TWavesForm: the parameter dialog of the wave load and save blocks.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <vector>

#include "DialogChrome.h"
#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/WaveDialogLogic.h"
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

class TWavesForm : public QDialog {
  Q_OBJECT
 public:
  explicit TWavesForm(DialogHooks hooks, QWidget* parent = nullptr);

  // Page, directory, language, position and record of the request.
  void Load(const DialogRequest& request);
  // Load in two steps, as the module runs it: the block type first (an
  // unknown name says so before anything else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position (when it moved) and record on OK.
  DialogResult Store();

  bool IsLoadPage() const { return Logic.LoadPage(); }
  // The file step: accepts a name, updates the form record and the header lines.
  // A refused name leaves the form record as it was; `whenRefused` is added
  // to the message that says why.
  // A picked name inside the directory is stored relative to it.
  bool FileStep(const QString& name, const QString& whenRefused = QString(), bool relativeToDirectory = true);
  // Longest name a record holds, in bytes of the local encoding.
  static constexpr int kNameLimit = static_cast<int>(WaveDialog::kNameLimit);
  // The browse rule: adds ".wav" when the picked name has no extension.
  static QString WithWaveExtension(const QString& picked);
  // A picked file, as the browse buttons hand it on.
  void HandlePickedName(const QString& picked);
  void PlayBtnClick();
  void done(int result) override;
  // The stored record into the controls, the file step included.
  void RecordToControls(const WaveParams& record);
  // Controls into the result record.
  WaveParams ControlsToRecord(bool runFileStep = true);
  const WaveParams& FormRecord() const { return Logic.Record(); }

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
  void ApplyLanguage();
  QString WithDirectory(const QString& name) const;
  void HandleChangeName();
  void Show(const QString& text);
  void ShowControls(const WaveDialog::WaveForm::Controls& controls);
  // What a step of the logic changes in the controls, its messages first.
  bool Apply(const WaveDialog::StepShown& shown);

  DialogHooks Hooks;
  WaveDialog::WaveForm Logic;
  std::pair<int32_t, int32_t> OpenedAt{0, 0};
};
