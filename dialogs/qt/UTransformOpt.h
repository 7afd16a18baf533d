// TTransformsOpt: the parameter dialog of the transform and filter blocks.
#pragma once

#include <QPoint>
#include <vector>

#include <QDialog>
#include <QMap>
#include <QString>
#include <string>
#include <functional>
#include <initializer_list>

#include "DialogChrome.h"
#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/TransformDialogLogic.h"
#include "numeric/ParameterRecords.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class TTableEdit;

// A text field with an ellipsis button: the list fields open the table
// editor, the formula fields check their formula.
class TEditButton : public QWidget {
  Q_OBJECT
 public:
  TEditButton(const QString& name, const QString& text, QWidget* parent);
  QString text() const;
  void setText(const QString& text);
  // A coefficient list: shown only, edited through the table editor, so
  // typed text can never be shown and then silently dropped.
  void MakeListField();
  QLineEdit* Edit;
  QToolButton* Button;
};

class TTransformsOpt : public QDialog {
  Q_OBJECT
 public:
  // The dialog creates its own table editor and frees it with itself.
  explicit TTransformsOpt(DialogHooks hooks, QWidget* parent = nullptr);

  // Type name, language, position and stored record of the request.
  void Load(const DialogRequest& request);
  // Load in two steps, as the module runs it: the block type first (an
  // unknown name says so before anything else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position and record on OK, nothing on Cancel.
  DialogResult Store();

  int32_t DialogCode() const { return DialogCode_; }
  bool GroupMode() const { return GroupMode_; }
  int32_t SignalLength() const { return SignalLength_; }
  int32_t HelpContext() const { return HelpContext_; }
  QString CurrentPage() const;
  QStringList TreeCaptions() const;  // every item, in order, children indented by one blank
  // Selects the item of this caption, as the user would.
  bool SelectItem(const QString& caption);
  // The flag word of the enabled and checked flag boxes.
  int32_t ComposeFlags();
  void EnableFlagBoxes(std::initializer_list<int> set);
  // Runs what the dialog does when it is shown.
  void Activate();

  // The record <-> controls pair of each record kind.
  void TransformToControls(const TransformParams& record);
  TransformParams ControlsToTransform();
  void FilterToControls(const FilterParams& record);
  FilterParams ControlsToFilter();
  const TransformParams& WorkingTransform() const { return Transform; }
  const FilterParams& WorkingFilter() const { return Filter; }
  TTableEdit* TableEditor() const { return TableEdit; }
  // Runs the table editor modally; tests replace it to type into the grid.
  std::function<int()> RunTableEditor;

  QTreeWidget* TreeView;
  QGroupBox* GroupBox1;
  QStackedWidget* Notebook;
  QLabel* SigLen_label;
  QSpinBox* Num_Points;
  QPushButton* PreViewBtn;
  QPushButton* Apply_Btn;
  QPushButton* BitBtn1;

  QDoubleSpinBox* Win_Alpha;
  QDoubleSpinBox* Win_Beta;
  QSpinBox* WindowLen;
  QCheckBox* Ck_Forw;
  QCheckBox* Ck_Init;
  QCheckBox* Ck_Inv;
  QCheckBox* Ck_NoScale;
  QCheckBox* Ck_NoBitRev;
  QCheckBox* Ck_InBitRev;
  QCheckBox* Ck_OutBitRev;
  QCheckBox* CK_OutRCPack;
  QCheckBox* CK_OutRCPerm;
  QCheckBox* CK_InRCPack;
  QCheckBox* CK_InRCPerm;
  QDoubleSpinBox* Goertzel_Frequency;
  QSpinBox* Sampl_Factor;
  QSpinBox* Sampl_Phase;
  QSpinBox* Corr_nLags;
  QComboBox* corrType;
  QSpinBox* BitRev_Order;
  QDoubleSpinBox* Thresh_param;
  QComboBox* Thresh_RelOp;
  TEditButton* Conv_H_12D;
  TEditButton* FIRS_Taps;
  TEditButton* FIRS_Delay;
  QCheckBox* isMulti_Rate;
  QGroupBox* Multi_Rate_Box;
  QSpinBox* FIRH_UpFactor;
  QSpinBox* FIRH_UpPhase;
  QSpinBox* FIRH_DownFactor;
  QSpinBox* FIRH_DownPhase;
  TEditButton* IIRS_Taps;
  TEditButton* IIRS_Delay;
  QLabel* IIRSDelay_Label;
  QCheckBox* IIRS_isBiquads;
  QComboBox* IIRS_Type;
  QTabWidget* LMSS_Pages;
  TEditButton* LMSS_Taps;
  TEditButton* LMSS_Delay;
  QComboBox* LMSS_Type;
  TEditButton* LMSS_Formula;
  QLabel* Result_label;
  QCheckBox* LMSS_isAdaptB;
  QSpinBox* LMSS_ErrDly;
  QDoubleSpinBox* LMSS_Step;
  QDoubleSpinBox* LMSS_Leak;
  QCheckBox* LMSH_isMulti;
  QGroupBox* LMSS_Multi_Rate;
  QSpinBox* LMSS_DwnFactor;
  QSpinBox* LMSS_DwnPhase;
  TEditButton* Basis_func;
  QPlainTextEdit* Basis_memo;
  TEditButton* User_func;
  QDoubleSpinBox* Add_Sub_coef;
  QDoubleSpinBox* Mpy_Div_coef;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<uint8_t> Original_;  // the stored record as it came
  std::vector<uint8_t> Shown_;     // the controls' record when first shown
  bool Snapped_ = false;
  std::vector<uint8_t> ControlsToBytes();
  QWidget* AddPage(const QString& caption);
  // A page of one number: its label and its spin box.
  QDoubleSpinBox* AddNumberPage(const char* page, const char* label, const char* spin);
  // One builder per page; each makes its page and wires its controls.
  void BuildPages();
  void BuildNonePage();
  void BuildDisabledPage();
  void BuildBlackManPage();
  void BuildKaiserPage();
  void BuildWindowingPage();
  void BuildFftFlagsPage();
  void BuildGoertzelPage();
  void BuildSamplingPage();
  void BuildCorrelationPage();
  void BuildBitReversedPage();
  void BuildThreshPage();
  void BuildConvolutionPage();
  void BuildFirPage();
  void BuildIirPage();
  void BuildLmsPage();
  void BuildUserTransformPage();
  void BuildUserFunctionPage();
  void BuildAddSubPage();
  void BuildMpyDivPage();
  void BuildTree(const std::vector<KindItem>& items);
  void ApplyLanguage(const std::string& language);
  void SetupTree();
  void ItemSelection();
  void ShowPage(const QString& caption);

  void ThreshRelOpChange();
  void CorrTypeChange();
  void SamplPhaseChange();
  void SamplFactorChange();
  void BitRevOrderChange();
  // The flag boxes as a mask of their values, read and set by name.
  int32_t CheckedFlagBoxes() const;
  void SetFlagBoxes(int32_t checked);
  void ApplyFlagEnableSet(uint32_t set);
  // Every control's value, toolkit-free.
  TransformControls ReadControls() const;
  void NumPointsChange();
  void FormulaButton(TEditButton* field);
  void EditList(TEditButton* field);

  DialogHooks Hooks;
  TTableEdit* TableEdit;
  QMap<QString, QWidget*> Pages;
  int32_t DialogCode_ = 0;
  bool GroupMode_ = false;
  int32_t SignalLength_ = 102;
  int32_t PreviousFactor = 2;
  int32_t HelpContext_ = 0;
  int32_t ThreshRelOpTag = 1;
  bool TreeHandlerAttached = false;
  // Aligned so that the packed records' fields sit on their natural bounds.
  alignas(8) TransformParams Source{};
  alignas(8) TransformParams Transform{};
  alignas(8) FilterParams Filter{};
};
