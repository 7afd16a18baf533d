// The generator parameter dialog: one page per waveform, a live preview of
// the waveform the blocks would produce, and the record handed back on OK.
#pragma once

#include <QDialog>
#include <QString>
#include <string>
#include <cstdint>
#include <optional>
#include <vector>

#include "DialogChrome.h"
#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/GeneratorDialogLogic.h"
#include "numeric/ParameterRecords.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QGridLayout;
class QTabWidget;
class TRXEditDelay;

class TGenersForm : public QDialog {
  Q_OBJECT

 public:
  // Page indices; kinds 11..15 share the windowing page.
  enum Page {
    pFunc = gpFunc,
    pSine = gpSine,
    pModSine = gpModSine,
    pRandom = gpRandom,
    pConstant = gpConstant,
    pTone = gpTone,
    pTriangle = gpTriangle,
    pUniRandom = gpUniRandom,
    pGaussian = gpGaussian,
    pBlackMan = gpBlackMan,
    pKaiser = gpKaiser,
    pWindowing = gpWindowing,
    kPageCount = kGeneratorPageCount
  };
  static constexpr int kPageCodeFromRecord = ::kPageCodeFromRecord;

  explicit TGenersForm(DialogHooks hooks, QWidget* parent = nullptr);

  // Type name, directory, language, position and stored record of the request.
  void Load(const DialogRequest& request);
  // Load in two steps, as the module runs it: the block type first (an
  // unknown name says so before anything else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position (when it moved) and record on OK.
  DialogResult Store();

  void recordToControls(const GeneratorParams& record);
  void controlsToRecord(GeneratorParams& record);

  int pageCode() const { return pageCode_; }
  int previewLength() const { return previewLength_; }
  QLineSeries* previewSeries() const { return series_; }
  QTabWidget* pages() const { return pages_; }
  bool russian() const { return russian_; }

  void drawPreview();
  void checkFormula();
  void showHelp();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The pages from the control table, in page index order, then the buttons
  // and the preview around them and the controls' signals.
  void buildPages();
  void buildPage(int page);
  void buildFrame();
  void connectControls();
  QLabel* addLabel(const char* name);
  QGridLayout* addPage(const char* name);
  void addRow(QGridLayout* grid, const char* labelName, QWidget* editor);
  void applyLanguage();
  void activate();
  void pageChanged();
  void windowTypeChanged(int index);
  void delayChanged(TRXEditDelay* editor);
  void lengthOrConstantChanged(QSpinBox* box);
  template <typename T>
  T* control(const char* name) const;

  DialogHooks hooks_;
  int pageCode_ = kPageCodeFromRecord;
  int previewLength_ = 1024;
  std::string directory_;
  bool russian_ = false;
  bool activated_ = false;
  bool loading_ = false;
  bool forcingPeriod_ = false;
  QPoint shownAt_;
  bool allPages_ = false;                       // All_in_One or an unknown type: every page offered
  int lastPage_ = -1;                           // the page before the current one
  std::vector<uint8_t> original_;               // the stored record as it came
  std::optional<GeneratorParams> shownRecord_;  // the controls' record when first shown

  QTabWidget* pages_ = nullptr;
  QLineSeries* series_ = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* helpBtn_ = nullptr;

  // Every control of the table, by its index there.
  std::vector<QWidget*> controls_;
  // Controls with rules of their own, by the names users and help pages know them.
  QLineEdit* Func_Str = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* ViewBtn = nullptr;
  QRadioButton* isSingle = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QSpinBox* FMinValue = nullptr;
  QSpinBox* FMaxValue = nullptr;
  QSpinBox* FLow = nullptr;
  QSpinBox* FHigh = nullptr;
  QComboBox* Wind_type = nullptr;
};
