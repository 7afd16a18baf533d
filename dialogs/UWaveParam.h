// TWavesForm: the parameter dialog of the wave load and save blocks.
#pragma once

#include <QDialog>
#include <QString>

#include "DialogHooks.h"
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
  // After the modal run: position (when it moved) and record on OK.
  DialogResult Store();

  bool IsLoadPage() const { return LoadPage; }
  // The file step: accepts a name, updates the form record and the header lines.
  bool FileStep(const QString& name);
  // The browse rule: adds ".wav" when the picked name has no extension.
  static QString WithWaveExtension(const QString& picked);
  // A picked file, as the browse buttons hand it on.
  void HandlePickedName(const QString& picked);
  void PlayBtnClick();
  // Controls into the result record.
  WaveParams ControlsToRecord();
  const WaveParams& FormRecord() const { return Record; }

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
  void ApplyLanguage(const std::string& language);
  void RecordToControls(const WaveParams& record);
  QString WithDirectory(const QString& name) const;
  void HandleChangeName();
  void Show(const QString& text);

  DialogHooks Hooks;
  QString Directory;
  bool LoadPage = true;
  alignas(4) WaveParams Record{};
  std::pair<int32_t, int32_t> OpenedAt{0, 0};
};
