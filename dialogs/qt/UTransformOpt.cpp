#include "UTransformOpt.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/logic/DialogHooks.h"
#include "dialogs/logic/TransformDialogLogic.h"
#include "UDb_Edit.h"
#include "framework/CatalogueCodes.h"

TEditButton::TEditButton(const QString& name, const QString& text, QWidget* parent) : QWidget(parent) {
  setObjectName(name);
  Edit = new QLineEdit(text, this);
  Button = new QToolButton(this);
  Button->setText("...");
  auto* row = new QHBoxLayout(this);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(1);
  row->addWidget(Edit);
  row->addWidget(Button);
}

QString TEditButton::text() const { return Edit->text(); }
void TEditButton::MakeListField() {
  Edit->setReadOnly(true);
  Edit->setFocusPolicy(Qt::ClickFocus);
}
void TEditButton::setText(const QString& text) { Edit->setText(text); }

namespace {

constexpr int kCodeRole = Qt::UserRole;

// Every control is built from its entry in the dialog logic's tables.
QLabel* Label(const char* name, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(TransformCaptionOf(name)), parent);
  label->setObjectName(name);
  return label;
}

QSpinBox* IntSpin(const char* name, QWidget* parent) {
  const NumberControl& c = *FindNumberControl(name);
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(static_cast<int>(c.minimum), static_cast<int>(c.maximum));
  spin->setValue(static_cast<int>(c.value));
  return spin;
}

QDoubleSpinBox* FloatSpin(const char* name, QWidget* parent) {
  const NumberControl& c = *FindNumberControl(name);
  auto* spin = new QDoubleSpinBox(parent);
  spin->setObjectName(name);
  spin->setDecimals(c.decimals);
  spin->setRange(c.minimum, c.maximum);
  spin->setSingleStep(c.step);
  spin->setValue(c.value);
  return spin;
}

QCheckBox* Check(const char* name, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(TransformCaptionOf(name)), parent);
  box->setObjectName(name);
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (flag.name == std::string_view(name)) box->setChecked(flag.checked);
  }
  return box;
}

QComboBox* Combo(const char* name, QWidget* parent) {
  const ComboControl& c = *FindComboControl(name);
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  for (const char* item : c.items) combo->addItem(QString::fromUtf8(item));
  combo->setCurrentIndex(c.selected);
  return combo;
}

TEditButton* Field(const char* name, QWidget* parent) {
  return new TEditButton(name, QString::fromLatin1(DesignTextOf(name)), parent);
}

QString TextOf(const std::string& text) {
  return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}
std::string RecordText(const QString& text) { return text.toLatin1().toStdString(); }

}  // namespace

TTransformsOpt::TTransformsOpt(DialogHooks hooks, QWidget* parent) : QDialog(parent), Hooks(std::move(hooks)) {
  setObjectName("TransformsOpt");
  setWindowTitle(kTransformDialogCaption.english);
  TableEdit = new TTableEdit(this);
  RunTableEditor = [this] { return TableEdit->exec(); };
  DefaultTransformRecord(Transform);
  DefaultTransformRecord(Source);
  DefaultFilterRecord(Filter);

  TreeView = new QTreeWidget(this);
  TreeView->setObjectName("TreeView");
  TreeView->setHeaderHidden(true);
  TreeView->setEditTriggers(QAbstractItemView::NoEditTriggers);
  TreeView->setMinimumWidth(190);
  BuildTree({KindTree().begin(), KindTree().end()});

  GroupBox1 = new QGroupBox(QString::fromUtf8(TransformCaptionOf("GroupBox1")), this);
  GroupBox1->setObjectName("GroupBox1");
  Notebook = new QStackedWidget(GroupBox1);
  Notebook->setObjectName("Notebook");
  auto* groupLayout = new QVBoxLayout(GroupBox1);
  groupLayout->addWidget(Notebook);
  BuildPages();

  SigLen_label = Label("SigLen_label", this);
  Num_Points = IntSpin("Num_Points", this);
  PreViewBtn = new QPushButton(TransformCaptionOf("PreViewBtn"), this);
  PreViewBtn->setObjectName("PreViewBtn");
  PreViewBtn->setVisible(false);
  Apply_Btn = new QPushButton("OK", this);
  Apply_Btn->setObjectName("Apply_Btn");
  Apply_Btn->setDefault(true);
  BitBtn1 = new QPushButton("Cancel", this);
  BitBtn1->setObjectName("BitBtn1");

  auto* bottom = new QHBoxLayout;
  bottom->addWidget(SigLen_label);
  bottom->addWidget(Num_Points);
  bottom->addStretch();
  bottom->addWidget(PreViewBtn);
  bottom->addWidget(Apply_Btn);
  bottom->addWidget(BitBtn1);
  auto* main = new QGridLayout(this);
  main->addWidget(TreeView, 0, 0, 2, 1);
  main->addWidget(GroupBox1, 0, 1);
  main->addLayout(bottom, 1, 1);
  main->setColumnStretch(1, 1);
  resize(640, 360);

  connect(Apply_Btn, &QPushButton::clicked, this, [this] {
    ComposeFlags();
    accept();
  });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
  connect(PreViewBtn, &QPushButton::clicked, this, [this] { ComposeFlags(); });
  connect(Num_Points, &QSpinBox::valueChanged, this, &TTransformsOpt::NumPointsChange);
  connect(TreeView, &QTreeWidget::currentItemChanged, this, [this] {
    if (TreeHandlerAttached) ItemSelection();
  });
  for (TEditButton* list : {Conv_H_12D, FIRS_Taps, FIRS_Delay, IIRS_Taps, IIRS_Delay, LMSS_Taps, LMSS_Delay})
    list->MakeListField();
  ShowPage("None");
}

QWidget* TTransformsOpt::AddPage(const QString& caption) {
  auto* page = new QWidget;
  page->setObjectName(caption);
  Notebook->addWidget(page);
  Pages.insert(caption, page);
  return page;
}

void TTransformsOpt::BuildTree(const std::vector<KindItem>& items) {
  TreeView->clear();
  QTreeWidgetItem* group = nullptr;
  for (const KindItem& row : items) {
    QTreeWidgetItem* item = row.child && group != nullptr ? new QTreeWidgetItem(group) : new QTreeWidgetItem(TreeView);
    item->setText(0, row.caption);
    item->setData(0, kCodeRole, row.code);
    if (!row.child) group = item;
  }
}

void TTransformsOpt::BuildPages() {
  // In the order the stack holds them.
  BuildNonePage();
  BuildDisabledPage();
  BuildBlackManPage();
  BuildKaiserPage();
  BuildWindowingPage();
  AddPage("Info");  // no controls
  BuildFftFlagsPage();
  BuildGoertzelPage();
  BuildSamplingPage();
  BuildCorrelationPage();
  BuildBitReversedPage();
  BuildThreshPage();
  BuildConvolutionPage();
  BuildFirPage();
  BuildIirPage();
  BuildLmsPage();
  BuildUserTransformPage();
  BuildUserFunctionPage();
  BuildAddSubPage();
  BuildMpyDivPage();
}

void TTransformsOpt::BuildNonePage() {
  QWidget* p = AddPage("None");
  auto* l = new QVBoxLayout(p);
  l->addWidget(Label("NotParams_label", p), 0, Qt::AlignCenter);
}

void TTransformsOpt::BuildDisabledPage() {
  QWidget* p = AddPage("Disabled");
  auto* l = new QVBoxLayout(p);
  l->addWidget(Label("DisFunc_label", p), 0, Qt::AlignCenter);
}

QDoubleSpinBox* TTransformsOpt::AddNumberPage(const char* page, const char* label, const char* spin) {
  QWidget* p = AddPage(page);
  auto* f = new QFormLayout(p);
  QDoubleSpinBox* box = FloatSpin(spin, p);
  f->addRow(Label(label, p), box);
  return box;
}

void TTransformsOpt::BuildBlackManPage() { Win_Alpha = AddNumberPage("BlackMan", "Alpha_Label", "Win_Alpha"); }

void TTransformsOpt::BuildKaiserPage() { Win_Beta = AddNumberPage("Kaiser", "Beta_label", "Win_Beta"); }

void TTransformsOpt::BuildWindowingPage() {
  QWidget* p = AddPage("Windowing");
  auto* f = new QFormLayout(p);
  WindowLen = IntSpin("WindowLen", p);
  f->addRow(Label("WinLen_label", p), WindowLen);
  connect(WindowLen, &QSpinBox::valueChanged, this, [this] { ComposeFlags(); });
}

void TTransformsOpt::BuildFftFlagsPage() {
  QWidget* p = AddPage("FFT_Flags");
  auto* g = new QGridLayout(p);
  Ck_Forw = Check("Ck_Forw", p);
  Ck_Init = Check("Ck_Init", p);
  Ck_Init->setVisible(false);
  Ck_Inv = Check("Ck_Inv", p);
  Ck_NoScale = Check("Ck_NoScale", p);
  Ck_NoBitRev = Check("Ck_NoBitRev", p);
  Ck_InBitRev = Check("Ck_InBitRev", p);
  Ck_OutBitRev = Check("Ck_OutBitRev", p);
  CK_OutRCPack = Check("CK_OutRCPack", p);
  CK_OutRCPerm = Check("CK_OutRCPerm", p);
  CK_InRCPack = Check("CK_InRCPack", p);
  CK_InRCPerm = Check("CK_InRCPerm", p);
  g->addWidget(Label("Flags_label", p), 0, 0);
  g->addWidget(Ck_Forw, 1, 0);
  g->addWidget(Ck_Inv, 2, 0);
  g->addWidget(Ck_NoScale, 3, 0);
  g->addWidget(Ck_Init, 4, 0);
  g->addWidget(Ck_NoBitRev, 1, 1);
  g->addWidget(Ck_InBitRev, 2, 1);
  g->addWidget(Ck_OutBitRev, 3, 1);
  g->addWidget(CK_OutRCPack, 1, 2);
  g->addWidget(CK_OutRCPerm, 2, 2);
  g->addWidget(CK_InRCPack, 3, 2);
  g->addWidget(CK_InRCPerm, 4, 2);
  g->setRowStretch(5, 1);
  for (const FlagBox& flag : FftFlagBoxes()) {
    const int32_t value = flag.value;
    connect(findChild<QCheckBox*>(flag.name), &QCheckBox::clicked, this, [this, value] {
      SetFlagBoxes(FlagBoxesAfterClick(CheckedFlagBoxes(), value));
      ComposeFlags();
    });
  }
}

void TTransformsOpt::BuildGoertzelPage() {
  QWidget* p = AddPage("Goertzel");
  auto* f = new QFormLayout(p);
  Goertzel_Frequency = FloatSpin("Goertzel_Frequency", p);
  f->addRow(Label("Freq_label", p), Goertzel_Frequency);
}

void TTransformsOpt::BuildSamplingPage() {
  QWidget* p = AddPage("Sampling");
  auto* f = new QFormLayout(p);
  Sampl_Factor = IntSpin("Sampl_Factor", p);
  Sampl_Phase = IntSpin("Sampl_Phase", p);
  f->addRow(Label("Factor_label", p), Sampl_Factor);
  f->addRow(Label("Phase_label", p), Sampl_Phase);
  connect(Sampl_Factor, &QSpinBox::valueChanged, this, &TTransformsOpt::SamplFactorChange);
  connect(Sampl_Phase, &QSpinBox::valueChanged, this, &TTransformsOpt::SamplPhaseChange);
}

void TTransformsOpt::BuildCorrelationPage() {
  QWidget* p = AddPage("Correlation");
  auto* f = new QFormLayout(p);
  Corr_nLags = IntSpin("Corr_nLags", p);
  corrType = Combo("corrType", p);
  f->addRow(Label("nLags_label", p), Corr_nLags);
  f->addRow(Label("CorrType_label", p), corrType);
  connect(corrType, &QComboBox::currentTextChanged, this, &TTransformsOpt::CorrTypeChange);
}

void TTransformsOpt::BuildBitReversedPage() {
  QWidget* p = AddPage("Bit Reversed");
  auto* f = new QFormLayout(p);
  BitRev_Order = IntSpin("BitRev_Order", p);
  BitRev_Order->setToolTip(kBitRevOrderHint);
  f->addRow(Label("Bit_Order_label", p), BitRev_Order);
  connect(BitRev_Order, &QSpinBox::valueChanged, this, &TTransformsOpt::BitRevOrderChange);
}

void TTransformsOpt::BuildThreshPage() {
  QWidget* p = AddPage("Thresh");
  auto* f = new QFormLayout(p);
  Thresh_param = FloatSpin("Thresh_param", p);
  Thresh_param->setToolTip(kThreshParamHint);
  Thresh_RelOp = Combo("Thresh_RelOp", p);
  f->addRow(Label("Thresh_label", p), Thresh_param);
  f->addRow(Label("RelOp_label", p), Thresh_RelOp);
  connect(Thresh_RelOp, &QComboBox::currentTextChanged, this, &TTransformsOpt::ThreshRelOpChange);
}

void TTransformsOpt::BuildConvolutionPage() {
  QWidget* p = AddPage("Convolution");
  auto* f = new QFormLayout(p);
  Conv_H_12D = Field("Conv_H_12D", p);
  f->addRow(Label("Taps_label", p), Conv_H_12D);
  connect(Conv_H_12D->Button, &QToolButton::clicked, this, [this] { EditList(Conv_H_12D); });
}

void TTransformsOpt::BuildFirPage() {
  QWidget* p = AddPage("FIRS");
  auto* f = new QFormLayout(p);
  FIRS_Taps = Field("FIRS_Taps", p);
  FIRS_Delay = Field("FIRS_Delay", p);
  isMulti_Rate = Check("isMulti_Rate", p);
  isMulti_Rate->setVisible(false);
  Multi_Rate_Box = new QGroupBox(TransformCaptionOf("Multi_Rate_Box"), p);
  Multi_Rate_Box->setObjectName("Multi_Rate_Box");
  FIRH_UpFactor = IntSpin("FIRH_UpFactor", Multi_Rate_Box);
  FIRH_UpPhase = IntSpin("FIRH_UpPhase", Multi_Rate_Box);
  FIRH_DownFactor = IntSpin("FIRH_DownFactor", Multi_Rate_Box);
  FIRH_DownPhase = IntSpin("FIRH_DownPhase", Multi_Rate_Box);
  auto* box = new QGridLayout(Multi_Rate_Box);
  box->addWidget(Label("Up_Factor_label", Multi_Rate_Box), 0, 0);
  box->addWidget(FIRH_UpFactor, 0, 1);
  box->addWidget(Label("Up_Phase_label", Multi_Rate_Box), 0, 2);
  box->addWidget(FIRH_UpPhase, 0, 3);
  box->addWidget(Label("Down_Factor_label", Multi_Rate_Box), 1, 0);
  box->addWidget(FIRH_DownFactor, 1, 1);
  box->addWidget(Label("Down_Phase_label", Multi_Rate_Box), 1, 2);
  box->addWidget(FIRH_DownPhase, 1, 3);
  Multi_Rate_Box->setVisible(false);
  f->addRow(Label("Taps_label2", p), FIRS_Taps);
  f->addRow(Label("Delay_label2", p), FIRS_Delay);
  f->addRow(isMulti_Rate);
  f->addRow(Multi_Rate_Box);
  connect(FIRS_Taps->Button, &QToolButton::clicked, this, [this] { EditList(FIRS_Taps); });
  connect(FIRS_Delay->Button, &QToolButton::clicked, this, [this] { EditList(FIRS_Delay); });
  connect(isMulti_Rate, &QCheckBox::clicked, this, [this](bool checked) {
    Multi_Rate_Box->setVisible(checked);
    Filter.FirMultiRate = checked ? 1 : 0;
  });
  connect(FIRH_UpFactor, &QSpinBox::valueChanged, this,
          [this](int factor) { FIRH_UpPhase->setMaximum(PhaseMaximum(factor)); });
  connect(FIRH_DownFactor, &QSpinBox::valueChanged, this, [this](int factor) {
    if (!FIRH_DownFactor->text().isEmpty()) {
      if (const auto points = NumPointsForDownFactor(Num_Points->value(), SignalLength_, factor))
        Num_Points->setValue(*points);
    }
    FIRH_DownPhase->setMaximum(PhaseMaximum(factor));
  });
}

void TTransformsOpt::BuildIirPage() {
  QWidget* p = AddPage("IIRS");
  auto* f = new QFormLayout(p);
  IIRS_Taps = Field("IIRS_Taps", p);
  IIRS_Delay = Field("IIRS_Delay", p);
  IIRSDelay_Label = Label("IIRSDelay_Label", p);
  IIRS_isBiquads = Check("IIRS_isBiquads", p);
  IIRS_Type = Combo("IIRS_Type", p);
  IIRS_Type->setEnabled(false);
  f->addRow(Label("IIRTaps_label", p), IIRS_Taps);
  f->addRow(IIRSDelay_Label, IIRS_Delay);
  f->addRow(IIRS_isBiquads);
  f->addRow(Label("IIRType_label", p), IIRS_Type);
  connect(IIRS_Taps->Button, &QToolButton::clicked, this, [this] { EditList(IIRS_Taps); });
  connect(IIRS_Delay->Button, &QToolButton::clicked, this, [this] { EditList(IIRS_Delay); });
}

void TTransformsOpt::BuildLmsPage() {
  QWidget* p = AddPage("LMSS");
  auto* l = new QVBoxLayout(p);
  LMSS_Pages = new QTabWidget(p);
  LMSS_Pages->setObjectName("LMSS_Pages");
  l->addWidget(LMSS_Pages);
  auto* mainTab = new QWidget;
  mainTab->setObjectName(kLmsTabs[0]);
  auto* f = new QFormLayout(mainTab);
  LMSS_Taps = Field("LMSS_Taps", mainTab);
  LMSS_Delay = Field("LMSS_Delay", mainTab);
  LMSS_Type = Combo("LMSS_Type", mainTab);
  LMSS_Formula = Field("LMSS_Formula", mainTab);
  Result_label = Label("Result_label", mainTab);
  LMSS_isAdaptB = Check("LMSS_isAdaptB", mainTab);
  f->addRow(Label("Taps_label3", mainTab), LMSS_Taps);
  f->addRow(Label("Delay_label3", mainTab), LMSS_Delay);
  f->addRow(Label("IIR_type_label", mainTab), LMSS_Type);
  f->addRow(Label("FKX_label", mainTab), LMSS_Formula);
  f->addRow(Result_label);
  f->addRow(LMSS_isAdaptB);
  LMSS_Pages->addTab(mainTab, kLmsTabs[0]);

  auto* addTab = new QWidget;
  addTab->setObjectName(kLmsTabs[1]);
  auto* a = new QFormLayout(addTab);
  LMSS_ErrDly = IntSpin("LMSS_ErrDly", addTab);
  LMSS_Step = FloatSpin("LMSS_Step", addTab);
  LMSS_Leak = FloatSpin("LMSS_Leak", addTab);
  LMSH_isMulti = Check("LMSH_isMulti", addTab);
  LMSS_Multi_Rate = new QGroupBox(TransformCaptionOf("LMSS_Multi_Rate"), addTab);
  LMSS_Multi_Rate->setObjectName("LMSS_Multi_Rate");
  LMSS_DwnFactor = IntSpin("LMSS_DwnFactor", LMSS_Multi_Rate);
  LMSS_DwnPhase = IntSpin("LMSS_DwnPhase", LMSS_Multi_Rate);
  auto* m = new QFormLayout(LMSS_Multi_Rate);
  m->addRow(Label("Down_label", LMSS_Multi_Rate), LMSS_DwnFactor);
  m->addRow(Label("DownP_label", LMSS_Multi_Rate), LMSS_DwnPhase);
  LMSS_Multi_Rate->setVisible(false);
  a->addRow(Label("ErrDly_label", addTab), LMSS_ErrDly);
  a->addRow(Label("Step_label", addTab), LMSS_Step);
  a->addRow(Label("Leak_label", addTab), LMSS_Leak);
  a->addRow(LMSH_isMulti);
  a->addRow(LMSS_Multi_Rate);
  LMSS_Pages->addTab(addTab, kLmsTabs[1]);

  connect(LMSS_Taps->Button, &QToolButton::clicked, this, [this] { EditList(LMSS_Taps); });
  connect(LMSS_Delay->Button, &QToolButton::clicked, this, [this] { EditList(LMSS_Delay); });
  connect(LMSS_Formula->Button, &QToolButton::clicked, this, [this] { FormulaButton(LMSS_Formula); });
  connect(LMSH_isMulti, &QCheckBox::toggled, this, [this](bool checked) { LMSS_Multi_Rate->setVisible(checked); });
  connect(LMSS_DwnFactor, &QSpinBox::valueChanged, this,
          [this](int factor) { LMSS_DwnPhase->setMaximum(PhaseMaximum(factor)); });
}

void TTransformsOpt::BuildUserTransformPage() {
  QWidget* p = AddPage("Users_transform");
  auto* f = new QVBoxLayout(p);
  Basis_func = Field("Basis_func", p);
  Basis_memo = new QPlainTextEdit(p);
  Basis_memo->setObjectName("Basis_memo");
  f->addWidget(Label("Basis_label", p));
  f->addWidget(Basis_func);
  f->addWidget(Label("ListBasis_label", p));
  f->addWidget(Basis_memo);
  connect(Basis_func->Button, &QToolButton::clicked, this, [this] { FormulaButton(Basis_func); });
}

void TTransformsOpt::BuildUserFunctionPage() {
  QWidget* p = AddPage("Users_func");
  auto* f = new QFormLayout(p);
  User_func = Field("User_func", p);
  f->addRow(Label("UserFunc_label", p));
  f->addRow(Label("FT_label", p), User_func);
  connect(User_func->Button, &QToolButton::clicked, this, [this] { FormulaButton(User_func); });
}

void TTransformsOpt::BuildAddSubPage() { Add_Sub_coef = AddNumberPage("Add_Sub", "Coefficient_label", "Add_Sub_coef"); }

void TTransformsOpt::BuildMpyDivPage() { Mpy_Div_coef = AddNumberPage("Mpy_Div", "Mpy_coef_label", "Mpy_Div_coef"); }

void TTransformsOpt::ApplyLanguage(const std::string& language) {
  if (Hooks.setLanguage) Hooks.setLanguage(language);
  const bool ru = IsRussianLanguage(language);
  setWindowTitle(QString::fromUtf8(CaptionText(kTransformDialogCaption, ru)));
  Apply_Btn->setText(StandardButtonCaption(ru, "OK", "OK"));
  BitBtn1->setText(StandardButtonCaption(ru, "Cancel", "Cancel"));
  ApplyCaptions(*this, TransformCaptions(), ru);
}

void TTransformsOpt::Load(const DialogRequest& request) {
  LoadType(request.typeName);
  LoadSettings(request);
}

void TTransformsOpt::LoadType(const std::string& typeName) {
  DialogCode_ = Hooks.dialogCodeOf ? Hooks.dialogCodeOf(TransformTypeOf(typeName)) : 29;
  GroupMode_ = IsGroupDialogCode(DialogCode_);
}

void TTransformsOpt::LoadSettings(const DialogRequest& request) {
  ApplyLanguage(request.language);
  PlaceOnScreen(*this, request.position);
  alignas(8) FilterParams filterSource = Filter;
  ReadStoredRecord(request.data, Original_, Source, filterSource);
  if (Hooks.isFilterCode && Hooks.isFilterCode(DialogCode_)) {
    FilterToControls(filterSource);
  } else {
    TransformToControls(Source);
  }
  SetupTree();
}

TransformControls TTransformsOpt::ReadControls() const {
  TransformControls c;
  c.numPoints = Num_Points->value();
  c.flagsChecked = CheckedFlagBoxes();
  c.winAlpha = Win_Alpha->value();
  c.winBeta = Win_Beta->value();
  c.windowLen = WindowLen->value();
  c.goertzelFrequency = Goertzel_Frequency->value();
  c.samplFactor = Sampl_Factor->value();
  c.samplPhase = Sampl_Phase->value();
  c.corrLags = Corr_nLags->value();
  c.corrType = corrType->currentIndex();
  c.bitRevOrder = BitRev_Order->value();
  c.threshParam = Thresh_param->value();
  c.threshRelOp = ThreshRelOpTag;
  c.threshRelOpIndex = Thresh_RelOp->currentIndex();
  c.userFunc = RecordText(User_func->text());
  c.basisFunc = RecordText(Basis_func->text());
  c.lmsFormula = RecordText(LMSS_Formula->text());
  c.addSubCoef = Add_Sub_coef->value();
  c.mpyDivCoef = Mpy_Div_coef->value();
  c.convTaps = RecordText(Conv_H_12D->text());
  c.firTaps = RecordText(FIRS_Taps->text());
  c.firDelay = RecordText(FIRS_Delay->text());
  c.iirTaps = RecordText(IIRS_Taps->text());
  c.iirDelay = RecordText(IIRS_Delay->text());
  c.lmsTaps = RecordText(LMSS_Taps->text());
  c.lmsDelay = RecordText(LMSS_Delay->text());
  c.firUpFactor = FIRH_UpFactor->value();
  c.firUpPhase = FIRH_UpPhase->value();
  c.firDownFactor = FIRH_DownFactor->value();
  c.firDownPhase = FIRH_DownPhase->value();
  c.firMultiRate = isMulti_Rate->isChecked();
  c.iirType = IIRS_Type->currentIndex();
  c.iirBiquads = IIRS_isBiquads->isChecked();
  c.lmsType = LMSS_Type->currentIndex();
  c.lmsStep = LMSS_Step->value();
  c.lmsLeak = LMSS_Leak->value();
  c.lmsErrDly = LMSS_ErrDly->value();
  c.lmsDownFactor = LMSS_DwnFactor->value();
  c.lmsDownPhase = LMSS_DwnPhase->value();
  c.lmsMultiRate = LMSH_isMulti->isChecked();
  c.lmsAdaptive = LMSS_isAdaptB->isChecked();
  return c;
}

int32_t TTransformsOpt::CheckedFlagBoxes() const {
  int32_t checked = 0;
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (findChild<QCheckBox*>(flag.name)->isChecked()) checked |= flag.value;
  }
  return checked;
}

void TTransformsOpt::SetFlagBoxes(int32_t checked) {
  for (const FlagBox& flag : FftFlagBoxes()) findChild<QCheckBox*>(flag.name)->setChecked((checked & flag.value) != 0);
}

void TTransformsOpt::TransformToControls(const TransformParams& r) {
  const int32_t g = Hooks.groupOfCode ? Hooks.groupOfCode(DialogCodeOfCatalogueCode(r.TransformCode)) : 0;
  SigLen_label->setVisible(ShowsSignalLength(g));
  Num_Points->setVisible(ShowsSignalLength(g));
  if (GroupMode_) DialogCode_ = PreselectedTransformCode(DialogCode_, g, r);
  TransformControls c = ReadControls();
  TransformRecordToControls(r, c, Transform);
  Num_Points->setValue(c.numPoints);
  SignalLength_ = Num_Points->value();
  SetFlagBoxes(c.flagsChecked);
  ComposeFlags();
  // Shown as stored: the factor and phase rules run when the user edits them.
  Sampl_Factor->blockSignals(true);
  Sampl_Factor->setValue(c.samplFactor);
  Sampl_Factor->blockSignals(false);
  PreviousFactor = Sampl_Factor->value();
  Sampl_Phase->blockSignals(true);
  Sampl_Phase->setValue(c.samplPhase);
  Sampl_Phase->blockSignals(false);
  Corr_nLags->setValue(c.corrLags);
  corrType->setCurrentIndex(c.corrType);
  BitRev_Order->blockSignals(true);
  BitRev_Order->setValue(c.bitRevOrder);
  BitRev_Order->blockSignals(false);
  Win_Alpha->setValue(c.winAlpha);
  Win_Beta->setValue(c.winBeta);
  Thresh_param->setValue(c.threshParam);
  ThreshRelOpTag = c.threshRelOp;
  if (c.threshRelOp == 0 || c.threshRelOp == 1) {
    Thresh_RelOp->setCurrentIndex(c.threshRelOpIndex);
    ThreshRelOpChange();
  }
  User_func->setText(TextOf(c.userFunc));
  Basis_func->setText(TextOf(c.basisFunc));
  Conv_H_12D->setText(TextOf(c.convTaps));
  TableEdit->FormatList(Transform.ConvTaps, Transform.ConvTapsCount);  // the editor's result text
  Add_Sub_coef->setValue(c.addSubCoef);
  Mpy_Div_coef->setValue(c.mpyDivCoef);
  Goertzel_Frequency->setValue(c.goertzelFrequency);
}

void TTransformsOpt::FilterToControls(const FilterParams& r) {
  SigLen_label->setVisible(false);
  Num_Points->setVisible(false);
  TransformControls c = ReadControls();
  FilterRecordToControls(r, c, Filter);
  if (GroupMode_) DialogCode_ = PreselectedFilterCode(r);
  FIRS_Taps->setText(TextOf(c.firTaps));
  FIRS_Delay->setText(TextOf(c.firDelay));
  IIRS_Taps->setText(TextOf(c.iirTaps));
  IIRS_Delay->setText(TextOf(c.iirDelay));
  LMSS_Taps->setText(TextOf(c.lmsTaps));
  LMSS_Delay->setText(TextOf(c.lmsDelay));
  TableEdit->FormatList(Filter.LmsDelay, Filter.LmsTapsCount);  // the editor's result text
  // Factors first: they set the limits of their phases.
  FIRH_UpFactor->setValue(c.firUpFactor);
  FIRH_DownFactor->setValue(c.firDownFactor);
  FIRH_UpPhase->setValue(c.firUpPhase);
  FIRH_DownPhase->setValue(c.firDownPhase);
  isMulti_Rate->setChecked(c.firMultiRate);
  IIRS_Type->setCurrentIndex(c.iirType);
  IIRS_isBiquads->setChecked(c.iirBiquads);
  LMSS_Type->setCurrentIndex(c.lmsType);
  LMSS_Step->setValue(c.lmsStep);
  LMSS_Leak->setValue(c.lmsLeak);
  LMSS_ErrDly->setValue(c.lmsErrDly);
  LMSS_DwnFactor->setValue(c.lmsDownFactor);
  LMSS_DwnPhase->setValue(c.lmsDownPhase);
  LMSH_isMulti->setChecked(c.lmsMultiRate);
  LMSS_isAdaptB->setChecked(c.lmsAdaptive);
}

void TTransformsOpt::SetupTree() {
  TreeHandlerAttached = false;
  const int32_t a = Hooks.groupOfCode ? Hooks.groupOfCode(DialogCode_) : 0;
  BuildTree(PruneKindTree(DialogCode_, GroupMode_, a));
  QTreeWidgetItem* chosen = nullptr;
  for (QTreeWidgetItemIterator it(TreeView); *it != nullptr; ++it) {
    if ((*it)->data(0, kCodeRole).toInt() == DialogCode_) chosen = *it;
  }
  if (chosen != nullptr) {
    TreeView->setCurrentItem(chosen);
    setProperty("itemIndex", TreeView->indexFromItem(chosen).row());
    ItemSelection();
  }
  if (ExpandAllKinds(DialogCode_)) TreeView->expandAll();
  TreeHandlerAttached = true;
}

void TTransformsOpt::ShowPage(const QString& caption) {
  if (QWidget* page = Pages.value(caption)) Notebook->setCurrentWidget(page);
}

QString TTransformsOpt::CurrentPage() const { return Notebook->currentWidget()->objectName(); }

void TTransformsOpt::ItemSelection() {
  QTreeWidgetItem* item = TreeView->currentItem();
  if (item == nullptr) return;
  if (item->parent() == nullptr) item->setExpanded(true);
  LMSS_isAdaptB->setVisible(false);
  LMSS_Formula->setVisible(true);
  Result_label->setVisible(true);
  const int code = item->data(0, kCodeRole).toInt();
  TreeView->setProperty("tag", code);
  const KindSelection kind = SelectKind(code);
  ShowPage(kind.page);
  if (kind.threshMinimum) Thresh_param->setMinimum(*kind.threshMinimum);
  if (kind.threshRelOpEnabled) Thresh_RelOp->setEnabled(*kind.threshRelOpEnabled);
  if (kind.snapsSamplingFactor) SamplFactorChange();
  if (kind.flagEnableSet) ApplyFlagEnableSet(*kind.flagEnableSet);
  if (kind.iirDelayShown) {
    IIRSDelay_Label->setVisible(*kind.iirDelayShown);
    IIRS_Delay->setVisible(*kind.iirDelayShown);
  }
  setProperty("tag", code);
  LMSS_isAdaptB->setVisible(kind.adaptiveShown);
  LMSS_Formula->setVisible(kind.formulaShown);
  Result_label->setVisible(kind.formulaShown);
  PreViewBtn->setEnabled(kind.previewEnabled);
  if (kind.previewEnabled) ComposeFlags();
  HelpContext_ = kind.helpContext;
  Notebook->currentWidget()->setProperty("helpContext", HelpContext_);
  DialogCode_ = code;
}

bool TTransformsOpt::SelectItem(const QString& caption) {
  const auto found = TreeView->findItems(caption, Qt::MatchExactly | Qt::MatchRecursive);
  if (found.isEmpty()) return false;
  TreeView->setCurrentItem(found.last());
  return true;
}

QStringList TTransformsOpt::TreeCaptions() const {
  QStringList captions;
  for (QTreeWidgetItemIterator it(TreeView); *it != nullptr; ++it) {
    captions << ((*it)->parent() != nullptr ? " " : "") + (*it)->text(0);
  }
  return captions;
}

void TTransformsOpt::EnableFlagBoxes(std::initializer_list<int> set) { ApplyFlagEnableSet(EnableSetOf(set)); }

void TTransformsOpt::ApplyFlagEnableSet(uint32_t set) {
  const int32_t enabled = EnabledFlagBoxes(set);
  for (const FlagBox& flag : FftFlagBoxes()) findChild<QCheckBox*>(flag.name)->setEnabled((enabled & flag.value) != 0);
}

int32_t TTransformsOpt::ComposeFlags() {
  int32_t enabled = 0;
  for (const FlagBox& flag : FftFlagBoxes()) {
    if (findChild<QCheckBox*>(flag.name)->isEnabledTo(this)) enabled |= flag.value;
  }
  Transform.FftFlags = ::ComposeFlags(CheckedFlagBoxes(), enabled);
  return Transform.FftFlags;
}

void TTransformsOpt::ThreshRelOpChange() {
  ThreshRelOpTag = ThreshRelOpOfText(Thresh_RelOp->currentText().toStdString());
  Thresh_RelOp->setToolTip(ThreshRelOpHint(ThreshRelOpTag));
}

void TTransformsOpt::CorrTypeChange() {
  Transform.CorrType = static_cast<uint8_t>(CorrTypeOfText(corrType->currentText().toStdString()));
  corrType->setToolTip(CorrTypeHint(Transform.CorrType));
}

void TTransformsOpt::SamplPhaseChange() {
  const int32_t phase = LimitSamplingPhase(Sampl_Phase->value(), Sampl_Factor->value());
  if (phase != Sampl_Phase->value()) {
    Sampl_Phase->blockSignals(true);
    Sampl_Phase->setValue(phase);
    Sampl_Phase->blockSignals(false);
  }
}

void TTransformsOpt::SamplFactorChange() {
  Sampl_Factor->blockSignals(true);
  Sampl_Factor->setValue(SnapSamplingFactor(Sampl_Factor->value(), PreviousFactor, SignalLength_, DialogCode_ == 50));
  PreviousFactor = Sampl_Factor->value();
  Sampl_Factor->blockSignals(false);
  SamplPhaseChange();
}

void TTransformsOpt::BitRevOrderChange() {
  BitRev_Order->blockSignals(true);
  BitRev_Order->setValue(LimitBitReverseOrder(BitRev_Order->value(), SignalLength_));
  BitRev_Order->blockSignals(false);
}

void TTransformsOpt::NumPointsChange() {
  SignalLength_ = Num_Points->value();
  Transform.SignalLength = SignalLength_;
  if (IsFirDialogCode(DialogCode_)) FIRH_DownFactor->setMaximum(FirDownFactorMaximumForLength(SignalLength_));
}

void TTransformsOpt::FormulaButton(TEditButton* field) {
  (void)field->text().toLower();  // no parsing takes place
  if (Hooks.showInfo) Hooks.showInfo(10);
}

void TTransformsOpt::EditList(TEditButton* field) {
  const CoefficientList list = *ListOfField(field->objectName().toLatin1().constData());
  const ListEditPlan plan = PlanListEdit(list, Transform, Filter, IIRS_isBiquads->isChecked(), FIRH_UpFactor->value());
  float* entries = ListEntries(list, Transform, Filter);
  // The editor is shared by every list: a minimum left by another list
  // (six for biquad taps) must not pad this one.
  TableEdit->SetMinimumColumns(1);
  TableEdit->LoadList(entries, plan.shown);
  TableEdit->SetMinimumColumns(plan.minimumColumns);
  RunTableEditor();
  int32_t read = 0;
  field->setText(TableEdit->ReadList(entries, read));
  FinishListEdit(list, Transform, Filter, plan, read, FIRH_UpFactor->value());
  ComposeFlags();
}

void TTransformsOpt::Activate() {
  SignalLength_ = Num_Points->value();
  Corr_nLags->setMaximum(SignalLength_);
  PreviousFactor = Sampl_Factor->value();
  FIRH_DownFactor->setMaximum(FirDownFactorMaximum(SignalLength_));
  ComposeFlags();
}

void TTransformsOpt::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Activate();
  if (!Snapped_) {
    Snapped_ = true;
    Shown_ = ControlsToBytes();
    FocusFirstField(GroupBox1);
    if (!GroupBox1->isAncestorOf(focusWidget())) TreeView->setFocus(Qt::TabFocusReason);
  }
}

std::vector<uint8_t> TTransformsOpt::ControlsToBytes() {
  if (Hooks.isFilterCode && Hooks.isFilterCode(DialogCode_)) return RecordBytes(ControlsToFilter());
  return RecordBytes(ControlsToTransform());
}

TransformParams TTransformsOpt::ControlsToTransform() {
  DialogCode_ = StoredDialogCode(DialogCode_);
  const int32_t flags = ComposeFlags();
  return ControlsToTransformRecord(ReadControls(), Source, Transform, DialogCode_, flags);
}

FilterParams TTransformsOpt::ControlsToFilter() {
  DialogCode_ = StoredDialogCode(DialogCode_);
  return ControlsToFilterRecord(ReadControls(), Filter, DialogCode_);
}

DialogResult TTransformsOpt::Store() {
  DialogResult out;
  out.accepted = result() == QDialog::Accepted;
  if (!out.accepted) return out;
  // Nothing changed: the stored record goes back exactly as it came.
  out.data = ResultRecord(Snapped_ ? Original_ : std::vector<uint8_t>(), Shown_, ControlsToBytes());
  // The position is stored whether or not the dialog moved.
  out.position = std::make_pair(x(), y());
  return out;
}
