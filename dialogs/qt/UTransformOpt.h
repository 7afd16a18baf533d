// TTransformsOpt: the parameter dialog of the transform and filter blocks, a
// view of TransformDialogPresenter built from the shared page table.
#pragma once

#include <QDialog>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/TransformDialogLayout.h"
#include "dialogs/logic/TransformDialogPresenter.h"

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
class TTableEdit;
class TransformQtView;

// A text field with an ellipsis button: the list fields open the table
// editor, the formula fields check their formula.
class TEditButton : public QWidget {
  Q_OBJECT
 public:
  TEditButton(const QString& name, const QString& text, QWidget* parent);
  QString text() const;
  void setText(const QString& text);
  QLineEdit* Edit;
  QToolButton* Button;
};

class TTransformsOpt : public QDialog {
  Q_OBJECT
 public:
  // The dialog creates its own table editor and frees it with itself.
  explicit TTransformsOpt(DialogHooks hooks, QWidget* parent = nullptr);
  ~TTransformsOpt() override;

  // Loads the request in two steps, as the module runs it (LoadForm does
  // both): the block type first (an unknown name says so before anything
  // else is read), then the rest.
  void LoadType(const std::string& typeName);
  void LoadSettings(const DialogRequest& request);
  // After the modal run: position and record on OK, nothing on Cancel.
  DialogResult Store();

  int32_t DialogCode() const { return presenter_->DialogCode(); }
  bool GroupMode() const { return presenter_->GroupMode(); }
  int32_t SignalLength() const { return presenter_->SignalLength(); }
  int32_t HelpContext() const { return presenter_->HelpContext(); }
  QString CurrentPage() const;
  QStringList TreeCaptions() const;  // every item, in order, children indented by one blank
  // Selects the item of this caption, as the user would.
  bool SelectItem(const QString& caption);
  int32_t ComposeFlags() { return presenter_->ComposeFlags(); }
  void EnableFlagBoxes(std::initializer_list<int> set) { presenter_->EnableFlagBoxes(EnableSetOf(set)); }
  const TransformParams& WorkingTransform() const { return presenter_->WorkingTransform(); }
  const FilterParams& WorkingFilter() const { return presenter_->WorkingFilter(); }
  TTableEdit* TableEditor() const { return tableEdit_; }
  // Runs the table editor modally; tests replace it to type into the grid.
  std::function<int()> RunTableEditor;

  QTreeWidget* TreeView;
  QGroupBox *GroupBox1, *Multi_Rate_Box, *LMSS_Multi_Rate;
  QStackedWidget* Notebook;
  QLabel *SigLen_label, *IIRSDelay_Label, *Result_label;
  QPushButton *PreViewBtn, *Apply_Btn, *BitBtn1;
  QSpinBox *Num_Points, *WindowLen, *Sampl_Factor, *Sampl_Phase, *Corr_nLags, *BitRev_Order, *FIRH_UpFactor,
      *FIRH_UpPhase, *FIRH_DownFactor, *FIRH_DownPhase, *LMSS_ErrDly, *LMSS_DwnFactor, *LMSS_DwnPhase;
  QDoubleSpinBox *Win_Alpha, *Win_Beta, *Goertzel_Frequency, *Thresh_param, *LMSS_Step, *LMSS_Leak, *Add_Sub_coef,
      *Mpy_Div_coef;
  QCheckBox *Ck_Forw, *Ck_Init, *Ck_Inv, *Ck_NoScale, *Ck_NoBitRev, *Ck_InBitRev, *Ck_OutBitRev, *CK_OutRCPack,
      *CK_OutRCPerm, *CK_InRCPack, *CK_InRCPerm, *isMulti_Rate, *IIRS_isBiquads, *LMSS_isAdaptB, *LMSH_isMulti;
  QComboBox *corrType, *Thresh_RelOp, *IIRS_Type, *LMSS_Type;
  TEditButton *Conv_H_12D, *FIRS_Taps, *FIRS_Delay, *IIRS_Taps, *IIRS_Delay, *LMSS_Taps, *LMSS_Delay, *LMSS_Formula,
      *Basis_func, *User_func;
  QTabWidget* LMSS_Pages;
  QPlainTextEdit* Basis_memo;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  // The dialog code on the form and the tree, the help topic on the page.
  void ShowTags();
  friend class TransformQtView;
  void BuildPages();
  QWidget* BuildControl(ControlKind kind, ControlName name, QWidget* parent);
  void Wire(ControlName name, QWidget* control);

  TTableEdit* tableEdit_;
  std::unique_ptr<TransformQtView> view_;
  std::unique_ptr<TransformDialogPresenter> presenter_;
  bool shownOnce_ = false;
  ScreenPoint openedAt_{0, 0};
};
