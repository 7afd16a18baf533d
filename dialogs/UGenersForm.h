// The generator parameter dialog: one page per waveform, a live preview of
// the waveform the blocks would produce, and the record handed back on OK.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <vector>

#include "DialogModule.h"
#include "numeric/ParameterRecords.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;
class QWindow;
class TRXEditDelay;
struct IExtParameter;

class TGenersForm : public QDialog {
  Q_OBJECT

 public:
  // Page indices; kinds 11..15 share the windowing page.
  enum Page { pFunc, pSine, pModSine, pRandom, pConstant, pTone, pTriangle, pUniRandom, pGaussian, pBlackMan,
              pKaiser, pWindowing, kPageCount };
  static constexpr int kPageCodeFromRecord = -2;

  // Reads the type name, language, position and record from `params`.
  TGenersForm(IExtParameter* params, const RirDialogServices& services, QWidget* parent = nullptr);
  ~TGenersForm() override;

  void recordToControls(const GeneratorParams& record);
  void controlsToRecord(GeneratorParams& record);
  // After OK: the position (when moved) and the record back to the host.
  void storeResults();

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
  void buildPages();
  void applyLanguage();
  void activate();
  void pageChanged();
  void windowTypeChanged(int index);
  void delayChanged(TRXEditDelay* editor);
  void lengthOrConstantChanged(QSpinBox* box);
  QString tr2(const char* english, const char* russian) const;

  IExtParameter* params_;
  RirDialogServices services_;
  int pageCode_ = kPageCodeFromRecord;
  int previewLength_ = 1024;
  QString directory_;
  bool russian_ = false;
  bool activated_ = false;
  bool loading_ = false;
  bool forcingPeriod_ = false;
  QPoint shownAt_;
  bool allPages_ = false;              // All_in_One or an unknown type: every page offered
  int lastPage_ = -1;                  // the page before the current one
  std::vector<uint8_t> original_;      // the stored record as it came
  std::vector<uint8_t> shownRecord_;   // the controls' record when first shown
  QWindow* owner_ = nullptr;

  QTabWidget* pages_ = nullptr;
  QLineSeries* series_ = nullptr;
  QPushButton* okBtn_ = nullptr;
  QPushButton* cancelBtn_ = nullptr;
  QPushButton* helpBtn_ = nullptr;

  // Controls by the names users and help pages know them.
  QLineEdit* Func_Str = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* ViewBtn = nullptr;
  TRXEditDelay* FSinePeriod = nullptr;
  QSpinBox* FSineAmp = nullptr;
  TRXEditDelay* FModMainTone = nullptr;
  TRXEditDelay* FModSinePeriod = nullptr;
  QSpinBox* FModSineAmp = nullptr;
  QRadioButton* isSingle = nullptr;
  QRadioButton* RadioButton2 = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QSpinBox* FMinValue = nullptr;
  QSpinBox* FMaxValue = nullptr;
  QSpinBox* FConstant = nullptr;
  QDoubleSpinBox* FTone_rFreq = nullptr;
  QSpinBox* FTone_Mag = nullptr;
  QSpinBox* FTone_phase = nullptr;
  QSpinBox* FToneInitValue = nullptr;
  QDoubleSpinBox* FTrngl_rFreq = nullptr;
  QSpinBox* FTrngl_Phase = nullptr;
  QSpinBox* FTrngl_ASym = nullptr;
  QSpinBox* FTrngl_Mag = nullptr;
  QSpinBox* FTrnglInitValue = nullptr;
  QSpinBox* FLow = nullptr;
  QSpinBox* FHigh = nullptr;
  QSpinBox* FMean = nullptr;
  QSpinBox* FStDev = nullptr;
  QDoubleSpinBox* FAlpha = nullptr;
  QSpinBox* FBlackInitValue = nullptr;
  QSpinBox* BlackLen = nullptr;
  QDoubleSpinBox* FBeta = nullptr;
  QSpinBox* FKaiserInitValue = nullptr;
  QSpinBox* KaiserLen = nullptr;
  QComboBox* Wind_type = nullptr;
  QSpinBox* FInitValue = nullptr;
  QSpinBox* WindowLen = nullptr;

  std::vector<QLabel*> labels_;
  std::vector<int64_t> previewBuffer_;
};

// Runs the dialog modally over the host's interface (the module's entry).
int32_t RunGenersDialog(IExtParameter* params, const RirDialogServices& services);
