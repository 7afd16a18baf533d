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
#include <algorithm>
#include <cstring>

#include "logic/DialogHooks.h"
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

struct TreeRow {
  const char* caption;
  int code;
  bool child;
};

const TreeRow kTree[] = {
    {"Source Signal", -1, false},
    {"Arithmetic", 2, false},
    {"User's function", 33, true},
    {"Add/Sub", 65, true},
    {"Mpy/Div", 66, true},
    {"E to the power", 31, true},
    {"Natural Log", 32, true},
    {"Absolute Value", 60, true},
    {"Square", 61, true},
    {"Square Root", 62, true},
    {"Bit Reversed", 34, true},
    {"Thresh", 63, true},
    {"Inverse Thresh", 64, true},
    {"Conjugation", 54, true},
    {"Extended Conjugation", 3, false},
    {"Flip", 55, true},
    {"Extended", 56, true},
    {"Convolution", 4, false},
    {"One-Dimention ", 57, true},
    {"Two-Dimention", 58, true},
    {"Filter 2D", 59, true},
    {"Correlation", 5, false},
    {"Auto", 52, true},
    {"Cross", -53, true},
    {"Sampling", 6, false},
    {"Up Sample", 50, true},
    {"Down Sample", 51, true},
    {"Fourier Transformation", 7, false},
    {"Goertzel DFT", 76, true},
    {"Discrete(nspzDft)", -70, true},
    {"Fast(nspzFftNip)", -71, true},
    {"RealFFTLNip", 72, true},
    {"CcsFFTLNip (Pack)", 73, true},
    {"RealFFTNip", 74, true},
    {"CcsFFTNip", 75, true},
    {"Spectral Transformation", 10, false},
    {"Forward", 80, true},
    {"Inverse", 81, true},
    {"Filters", 8, false},
    {"High-Level FIR", 42, true},
    {"Low-Level FIR", 43, true},
    {"High-Level IIR", 44, true},
    {"Low-Level IIR", 45, true},
    {"High-Level LMS", 46, true},
    {"High-Level LMS DES", 47, true},
    {"Low-Level LMS", 48, true},
    {"Low-Level LMS Na", 49, true},
    {"Windowing", 9, false},
    {"BlackMan", 35, true},
    {"Kaiser", 36, true},
    {"Bartlett", 37, true},
    {"Hann", 38, true},
    {"Hamming", 39, true},
    {"BlackmanStd", 40, true},
    {"BlackmanOpt", 41, true},
};

const Caption kCaptions[] = {
    {"GroupBox1", "Parameters", "Параметры"},
    {"NotParams_label", "There are no parameters", "Параметры отсутствуют"},
    {"DisFunc_label", "The function is disabled", "Функция отключена"},
    {"Flags_label", "Flags", "Флаги"},
    {"Ck_Forw", "Forward", "Прямое"},
    {"Ck_Init", "Initialize", "Инициализация"},
    {"Ck_Inv", "Inverse", "Обратное"},
    {"Ck_NoBitRev", "No Bit-Reversed", "Не бит-реверс"},
    {"Ck_InBitRev", "Bit-Reversed", "Бит-реверс"},
    {"Ck_OutBitRev", "Out Bit-Reversed", "Вых. бит-реверс"},
    {"CK_OutRCPack", "Out RCPack", "Вых. RCPack"},
    {"CK_OutRCPerm", "Out RCPerm", "Вых. RCPerm"},
    {"CK_InRCPack", "In RCPack", "Вх. RCPack"},
    {"CK_InRCPerm", "In RCPerm", "Вх. RCPerm"},
    {"Freq_label", "Frequency", "Частота"},
    {"Factor_label", " Factor ", " Множитель"},
    {"Phase_label", " Phase ", " Фаза"},
    {"CorrType_label", "Correlation Type", "Тип корреляции"},
    {"Alpha_Label", " Alpha", "Альфа"},
    {"Beta_label", " Beta ", "Бета"},
    {"Delay_label2", "Delay", "Задержки"},
    {"IIRSDelay_Label", "Delay", "Задержки"},
    {"Down_label", " Down Factor", "Down Factor"},
    {"Basis_label", "Basis functions :", "Базисная функция :"},
    {"ListBasis_label", "List of some basis functions", "Список базисных функций"},
    {"FT_label", "F(t) :", "F(t):"},
    {"UserFunc_label", "User's function :", "Функция"},
    {"Coefficient_label", "Coefficient", "Коеффициент"},
    {"Mpy_coef_label", "Coefficient", "Коеффициент"},
    {"SigLen_label", "Signal Length", "Длина сигнала"},
};

QLabel* Label(const char* name, const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setObjectName(name);
  return label;
}

QSpinBox* IntSpin(const char* name, int minimum, int maximum, int value, QWidget* parent) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(name);
  spin->setRange(minimum, maximum);
  spin->setValue(value);
  return spin;
}

QDoubleSpinBox* FloatSpin(const char* name, double minimum, double maximum, double step, double value, int decimals,
                          QWidget* parent) {
  auto* spin = new QDoubleSpinBox(parent);
  spin->setObjectName(name);
  spin->setDecimals(decimals);
  spin->setRange(minimum, maximum);
  spin->setSingleStep(step);
  spin->setValue(value);
  return spin;
}

QCheckBox* Check(const char* name, const char* text, bool checked, QWidget* parent) {
  auto* box = new QCheckBox(QString::fromUtf8(text), parent);
  box->setObjectName(name);
  box->setChecked(checked);
  return box;
}

QComboBox* Combo(const char* name, const QStringList& items, int selected, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(name);
  combo->addItems(items);
  combo->setCurrentIndex(selected);
  return combo;
}

QString TextOf(std::string_view view) { return QString::fromLatin1(view.data(), static_cast<qsizetype>(view.size())); }

void SetCounted(CountedText<55>& field, const QString& text) {
  const QByteArray bytes = text.left(55).toLatin1();
  field.Set(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

QString PageOfCode(int code) {
  switch (code) {
    case 33:
      return "Users_func";
    case 65:
      return "Add_Sub";
    case 66:
      return "Mpy_Div";
    case 34:
      return "Bit Reversed";
    case 63:
    case 64:
      return "Thresh";
    case 57:
    case 58:
    case 59:
      return "Convolution";
    case 52:
      return "Correlation";
    case 50:
    case 51:
      return "Sampling";
    case 76:
      return "Goertzel";
    case 70:
    case 71:
    case 72:
    case 73:
    case 74:
    case 75:
      return "FFT_Flags";
    case 80:
    case 81:
      return "Users_transform";
    case 42:
    case 43:
      return "FIRS";
    case 44:
    case 45:
      return "IIRS";
    case 46:
    case 47:
    case 48:
    case 49:
      return "LMSS";
    case 35:
      return "BlackMan";
    case 36:
      return "Kaiser";
    case 37:
    case 38:
    case 39:
    case 40:
    case 41:
      return "Windowing";
    default:
      return code >= 0 ? "None" : "Disabled";
  }
}

}  // namespace

TTransformsOpt::TTransformsOpt(DialogHooks hooks, QWidget* parent) : QDialog(parent), Hooks(std::move(hooks)) {
  setObjectName("TransformsOpt");
  setWindowTitle("Transformation options");
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
  BuildTree();

  GroupBox1 = new QGroupBox("Parameters", this);
  GroupBox1->setObjectName("GroupBox1");
  Notebook = new QStackedWidget(GroupBox1);
  Notebook->setObjectName("Notebook");
  auto* groupLayout = new QVBoxLayout(GroupBox1);
  groupLayout->addWidget(Notebook);
  BuildPages();

  SigLen_label = Label("SigLen_label", "Signal Length", this);
  Num_Points = IntSpin("Num_Points", 3, 1000000, 102, this);
  PreViewBtn = new QPushButton("&Preview", this);
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

void TTransformsOpt::BuildTree() {
  QTreeWidgetItem* group = nullptr;
  for (const TreeRow& row : kTree) {
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
  l->addWidget(Label("NotParams_label", "There are no parameters", p), 0, Qt::AlignCenter);
}

void TTransformsOpt::BuildDisabledPage() {
  QWidget* p = AddPage("Disabled");
  auto* l = new QVBoxLayout(p);
  l->addWidget(Label("DisFunc_label", "The function is disabled", p), 0, Qt::AlignCenter);
}

void TTransformsOpt::BuildBlackManPage() {
  QWidget* p = AddPage("BlackMan");
  auto* f = new QFormLayout(p);
  Win_Alpha = FloatSpin("Win_Alpha", -1000000, 1000000, 1, 7, 4, p);
  f->addRow(Label("Alpha_Label", " Alpha", p), Win_Alpha);
}

void TTransformsOpt::BuildKaiserPage() {
  QWidget* p = AddPage("Kaiser");
  auto* f = new QFormLayout(p);
  Win_Beta = FloatSpin("Win_Beta", -10, 1, 1, -2, 4, p);
  f->addRow(Label("Beta_label", " Beta ", p), Win_Beta);
}

void TTransformsOpt::BuildWindowingPage() {
  QWidget* p = AddPage("Windowing");
  auto* f = new QFormLayout(p);
  WindowLen = IntSpin("WindowLen", 1, 2000000000, 400, p);
  f->addRow(Label("WinLen_label", "Length", p), WindowLen);
  connect(WindowLen, &QSpinBox::valueChanged, this, [this] { ComposeFlags(); });
}

void TTransformsOpt::BuildFftFlagsPage() {
  QWidget* p = AddPage("FFT_Flags");
  auto* g = new QGridLayout(p);
  Ck_Forw = Check("Ck_Forw", "Forward", true, p);
  Ck_Init = Check("Ck_Init", "Initialize", false, p);
  Ck_Init->setVisible(false);
  Ck_Inv = Check("Ck_Inv", "Inverse", false, p);
  Ck_NoScale = Check("Ck_NoScale", "No Scale", false, p);
  Ck_NoBitRev = Check("Ck_NoBitRev", "No Bit-Reversed", false, p);
  Ck_InBitRev = Check("Ck_InBitRev", "Bit-Reversed", false, p);
  Ck_OutBitRev = Check("Ck_OutBitRev", "Out Bit-Reversed", false, p);
  CK_OutRCPack = Check("CK_OutRCPack", "Out RCPack", true, p);
  CK_OutRCPerm = Check("CK_OutRCPerm", "Out RCPerm", false, p);
  CK_InRCPack = Check("CK_InRCPack", "In RCPack", true, p);
  CK_InRCPerm = Check("CK_InRCPerm", "In RCPerm", false, p);
  g->addWidget(Label("Flags_label", "Flags", p), 0, 0);
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
  for (QCheckBox* box : {Ck_Forw, Ck_Init, Ck_Inv}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { ExclusiveDirection(box); });
  }
  for (QCheckBox* box : {Ck_NoBitRev, Ck_InBitRev, Ck_OutBitRev}) {
    connect(box, &QCheckBox::clicked, this, [this, box] { BitReversalClick(box); });
  }
  connect(CK_OutRCPack, &QCheckBox::clicked, this, [this] { PackClick(CK_OutRCPack, CK_OutRCPerm); });
  connect(CK_OutRCPerm, &QCheckBox::clicked, this, [this] { PackClick(CK_OutRCPerm, CK_OutRCPack); });
  connect(CK_InRCPack, &QCheckBox::clicked, this, [this] { PackClick(CK_InRCPack, CK_InRCPerm); });
  connect(CK_InRCPerm, &QCheckBox::clicked, this, [this] { PackClick(CK_InRCPerm, CK_InRCPack); });
  connect(Ck_NoScale, &QCheckBox::clicked, this, [this] { ComposeFlags(); });
}

void TTransformsOpt::BuildGoertzelPage() {
  QWidget* p = AddPage("Goertzel");
  auto* f = new QFormLayout(p);
  Goertzel_Frequency = FloatSpin("Goertzel_Frequency", 0, 0.998, 0.001, 0.125, 6, p);
  f->addRow(Label("Freq_label", "Frequency", p), Goertzel_Frequency);
}

void TTransformsOpt::BuildSamplingPage() {
  QWidget* p = AddPage("Sampling");
  auto* f = new QFormLayout(p);
  Sampl_Factor = IntSpin("Sampl_Factor", 1, 1000000, 2, p);
  Sampl_Phase = IntSpin("Sampl_Phase", 0, 1000000, 1, p);
  f->addRow(Label("Factor_label", " Factor ", p), Sampl_Factor);
  f->addRow(Label("Phase_label", " Phase ", p), Sampl_Phase);
  connect(Sampl_Factor, &QSpinBox::valueChanged, this, &TTransformsOpt::SamplFactorChange);
  connect(Sampl_Phase, &QSpinBox::valueChanged, this, &TTransformsOpt::SamplPhaseChange);
}

void TTransformsOpt::BuildCorrelationPage() {
  QWidget* p = AddPage("Correlation");
  auto* f = new QFormLayout(p);
  Corr_nLags = IntSpin("Corr_nLags", 1, 1000000, 1, p);
  corrType = Combo("corrType", {"NSP_AutoNormal", "NSP_AutoBiased", "NSP_AutoUnBiased"}, 1, p);
  f->addRow(Label("nLags_label", "nLags", p), Corr_nLags);
  f->addRow(Label("CorrType_label", "Correlation Type", p), corrType);
  connect(corrType, &QComboBox::currentTextChanged, this, &TTransformsOpt::CorrTypeChange);
}

void TTransformsOpt::BuildBitReversedPage() {
  QWidget* p = AddPage("Bit Reversed");
  auto* f = new QFormLayout(p);
  BitRev_Order = IntSpin("BitRev_Order", 0, 31, 5, p);
  BitRev_Order->setToolTip("The number of bits of the input word to be reversed.");
  f->addRow(Label("Bit_Order_label", "Order", p), BitRev_Order);
  connect(BitRev_Order, &QSpinBox::valueChanged, this, &TTransformsOpt::BitRevOrderChange);
}

void TTransformsOpt::BuildThreshPage() {
  QWidget* p = AddPage("Thresh");
  auto* f = new QFormLayout(p);
  Thresh_param = FloatSpin("Thresh_param", 0, 1000000, 1, 10, 4, p);
  Thresh_param->setToolTip("A value the lower bound of which is used to limit each element of src[n].");
  Thresh_RelOp = Combo("Thresh_RelOp", {"NSP_GT", "NSP_LT"}, 0, p);
  f->addRow(Label("Thresh_label", "Thresh", p), Thresh_param);
  f->addRow(Label("RelOp_label", "RelOp", p), Thresh_RelOp);
  connect(Thresh_RelOp, &QComboBox::currentTextChanged, this, &TTransformsOpt::ThreshRelOpChange);
}

void TTransformsOpt::BuildConvolutionPage() {
  QWidget* p = AddPage("Convolution");
  auto* f = new QFormLayout(p);
  Conv_H_12D = new TEditButton("Conv_H_12D", "{1,1,1,1,1,1}", p);
  f->addRow(Label("Taps_label", "Taps", p), Conv_H_12D);
  connect(Conv_H_12D->Button, &QToolButton::clicked, this,
          [this] { EditList(Conv_H_12D, Transform.ConvTaps, Transform.ConvTapsCount, Transform.ConvTapsCount, 1); });
}

void TTransformsOpt::BuildFirPage() {
  QWidget* p = AddPage("FIRS");
  auto* f = new QFormLayout(p);
  FIRS_Taps = new TEditButton("FIRS_Taps", "{1,1,1,1,1,1}", p);
  FIRS_Delay = new TEditButton("FIRS_Delay", "{0,0,0,0,0}", p);
  isMulti_Rate = Check("isMulti_Rate", "Multi-Rate", false, p);
  isMulti_Rate->setVisible(false);
  Multi_Rate_Box = new QGroupBox("Multi Rate parameters", p);
  Multi_Rate_Box->setObjectName("Multi_Rate_Box");
  FIRH_UpFactor = IntSpin("FIRH_UpFactor", 1, 1000000, 1, Multi_Rate_Box);
  FIRH_UpPhase = IntSpin("FIRH_UpPhase", 0, 1000000, 0, Multi_Rate_Box);
  FIRH_DownFactor = IntSpin("FIRH_DownFactor", 1, 1000000, 1, Multi_Rate_Box);
  FIRH_DownPhase = IntSpin("FIRH_DownPhase", 0, 1000000, 0, Multi_Rate_Box);
  auto* box = new QGridLayout(Multi_Rate_Box);
  box->addWidget(Label("Up_Factor_label", "Up Factor", Multi_Rate_Box), 0, 0);
  box->addWidget(FIRH_UpFactor, 0, 1);
  box->addWidget(Label("Up_Phase_label", "Up Phase", Multi_Rate_Box), 0, 2);
  box->addWidget(FIRH_UpPhase, 0, 3);
  box->addWidget(Label("Down_Factor_label", "Down Factor", Multi_Rate_Box), 1, 0);
  box->addWidget(FIRH_DownFactor, 1, 1);
  box->addWidget(Label("Down_Phase_label", "Down Phase", Multi_Rate_Box), 1, 2);
  box->addWidget(FIRH_DownPhase, 1, 3);
  Multi_Rate_Box->setVisible(false);
  f->addRow(Label("Taps_label2", "Taps", p), FIRS_Taps);
  f->addRow(Label("Delay_label2", "Delay", p), FIRS_Delay);
  f->addRow(isMulti_Rate);
  f->addRow(Multi_Rate_Box);
  connect(FIRS_Taps->Button, &QToolButton::clicked, this,
          [this] { EditList(FIRS_Taps, Filter.FirTaps, Filter.FirTapsCount, Filter.FirTapsCount, 1); });
  connect(FIRS_Delay->Button, &QToolButton::clicked, this, [this] {
    const bool multiRate = Filter.FirMultiRate != 0;
    const int32_t factor = std::max(1, FIRH_UpFactor->value());
    const int32_t shown = multiRate ? Filter.FirTapsCount / factor : Filter.FirTapsCount - 1;
    int32_t entries = shown;
    EditList(FIRS_Delay, Filter.FirDelay, entries, shown, 1);
    // The delay line is shorter than the taps list whose count it shares:
    // only a changed length changes the count, mapped back to taps, so that
    // opening the list and pressing OK keeps every tap.
    if (entries != shown) {
      Filter.FirTapsCount = std::clamp<int32_t>(multiRate ? entries * factor : entries + 1, 0, TTableEdit::kCapacity);
    }
  });
  connect(isMulti_Rate, &QCheckBox::clicked, this, [this](bool checked) {
    Multi_Rate_Box->setVisible(checked);
    Filter.FirMultiRate = checked ? 1 : 0;
  });
  connect(FIRH_UpFactor, &QSpinBox::valueChanged, this,
          [this](int factor) { FIRH_UpPhase->setMaximum(std::max(0, factor - 1)); });
  connect(FIRH_DownFactor, &QSpinBox::valueChanged, this, [this](int factor) {
    if (!FIRH_DownFactor->text().isEmpty() && factor > 0 && Num_Points->value() > SignalLength_ / factor) {
      Num_Points->setValue(SignalLength_ / factor);
    }
    FIRH_DownPhase->setMaximum(std::max(0, factor - 1));
  });
}

void TTransformsOpt::BuildIirPage() {
  QWidget* p = AddPage("IIRS");
  auto* f = new QFormLayout(p);
  IIRS_Taps = new TEditButton("IIRS_Taps", "{1,1,1,1,1,1}", p);
  IIRS_Delay = new TEditButton("IIRS_Delay", "{0,0,0,0,0}", p);
  IIRSDelay_Label = Label("IIRSDelay_Label", "Delay", p);
  IIRS_isBiquads = Check("IIRS_isBiquads", "Order/Biquads", false, p);
  IIRS_Type = Combo("IIRS_Type", {"IIR Null", "IIR Defaulf"}, 0, p);
  IIRS_Type->setEnabled(false);
  f->addRow(Label("IIRTaps_label", "Taps", p), IIRS_Taps);
  f->addRow(IIRSDelay_Label, IIRS_Delay);
  f->addRow(IIRS_isBiquads);
  f->addRow(Label("IIRType_label", "IIR Type", p), IIRS_Type);
  connect(IIRS_Taps->Button, &QToolButton::clicked, this, [this] {
    EditList(IIRS_Taps, Filter.IirTaps, Filter.IirTapsCount, Filter.IirTapsCount, IIRS_isBiquads->isChecked() ? 6 : 2);
  });
  connect(IIRS_Delay->Button, &QToolButton::clicked, this,
          [this] { EditList(IIRS_Delay, Filter.IirDelay, Filter.IirTapsCount, Filter.IirTapsCount, 1); });
}

void TTransformsOpt::BuildLmsPage() {
  QWidget* p = AddPage("LMSS");
  auto* l = new QVBoxLayout(p);
  LMSS_Pages = new QTabWidget(p);
  LMSS_Pages->setObjectName("LMSS_Pages");
  l->addWidget(LMSS_Pages);
  auto* mainTab = new QWidget;
  mainTab->setObjectName("Main");
  auto* f = new QFormLayout(mainTab);
  LMSS_Taps = new TEditButton("LMSS_Taps", "{1,1,1,1,1,1}", mainTab);
  LMSS_Delay = new TEditButton("LMSS_Delay", "{0,0,0,0,0}", mainTab);
  LMSS_Type = Combo("LMSS_Type", {"IIR Null", "IIR Defaulf"}, 0, mainTab);
  LMSS_Formula = new TEditButton("LMSS_Formula", "10*Cos(0.01*pi*t)", mainTab);
  Result_label = Label("Result_label", "Result", mainTab);
  LMSS_isAdaptB = Check("LMSS_isAdaptB", "Adaptive filter", false, mainTab);
  f->addRow(Label("Taps_label3", "Taps", mainTab), LMSS_Taps);
  f->addRow(Label("Delay_label3", "Delay", mainTab), LMSS_Delay);
  f->addRow(Label("IIR_type_label", "IIR Type", mainTab), LMSS_Type);
  f->addRow(Label("FKX_label", "Fk(x):", mainTab), LMSS_Formula);
  f->addRow(Result_label);
  f->addRow(LMSS_isAdaptB);
  LMSS_Pages->addTab(mainTab, "Main");

  auto* addTab = new QWidget;
  addTab->setObjectName("Addition");
  auto* a = new QFormLayout(addTab);
  LMSS_ErrDly = IntSpin("LMSS_ErrDly", 0, 1000000, 0, addTab);
  LMSS_Step = FloatSpin("LMSS_Step", 0, 1, 0.1, 0, 6, addTab);
  LMSS_Leak = FloatSpin("LMSS_Leak", 0, 1, 0.1, 0, 6, addTab);
  LMSH_isMulti = Check("LMSH_isMulti", "Single/Multi Rate", false, addTab);
  LMSS_Multi_Rate = new QGroupBox("Multi - Rate parameters", addTab);
  LMSS_Multi_Rate->setObjectName("LMSS_Multi_Rate");
  LMSS_DwnFactor = IntSpin("LMSS_DwnFactor", 1, 1000000, 1, LMSS_Multi_Rate);
  LMSS_DwnPhase = IntSpin("LMSS_DwnPhase", 0, 1000000, 0, LMSS_Multi_Rate);
  auto* m = new QFormLayout(LMSS_Multi_Rate);
  m->addRow(Label("Down_label", " Down Factor", LMSS_Multi_Rate), LMSS_DwnFactor);
  m->addRow(Label("DownP_label", "Down Phase", LMSS_Multi_Rate), LMSS_DwnPhase);
  LMSS_Multi_Rate->setVisible(false);
  a->addRow(Label("ErrDly_label", "Err Dly", addTab), LMSS_ErrDly);
  a->addRow(Label("Step_label", "Step", addTab), LMSS_Step);
  a->addRow(Label("Leak_label", "Leak", addTab), LMSS_Leak);
  a->addRow(LMSH_isMulti);
  a->addRow(LMSS_Multi_Rate);
  LMSS_Pages->addTab(addTab, "Addition");

  connect(LMSS_Taps->Button, &QToolButton::clicked, this,
          [this] { EditList(LMSS_Taps, Filter.LmsTaps, Filter.LmsTapsCount, Filter.LmsTapsCount, 1); });
  connect(LMSS_Delay->Button, &QToolButton::clicked, this,
          [this] { EditList(LMSS_Delay, Filter.LmsDelay, Filter.LmsTapsCount, Filter.LmsTapsCount, 1); });
  connect(LMSS_Formula->Button, &QToolButton::clicked, this, [this] { FormulaButton(LMSS_Formula); });
  connect(LMSH_isMulti, &QCheckBox::toggled, this, [this](bool checked) { LMSS_Multi_Rate->setVisible(checked); });
  connect(LMSS_DwnFactor, &QSpinBox::valueChanged, this,
          [this](int factor) { LMSS_DwnPhase->setMaximum(std::max(0, factor - 1)); });
}

void TTransformsOpt::BuildUserTransformPage() {
  QWidget* p = AddPage("Users_transform");
  auto* f = new QVBoxLayout(p);
  Basis_func = new TEditButton("Basis_func", "(1+(-1)^k)/2*cos(k*x)+(1+(-1)^(k+1))/2*sin(k*x)", p);
  Basis_memo = new QPlainTextEdit(p);
  Basis_memo->setObjectName("Basis_memo");
  f->addWidget(Label("Basis_label", "Basis functions :", p));
  f->addWidget(Basis_func);
  f->addWidget(Label("ListBasis_label", "List of some basis functions", p));
  f->addWidget(Basis_memo);
  connect(Basis_func->Button, &QToolButton::clicked, this, [this] { FormulaButton(Basis_func); });
}

void TTransformsOpt::BuildUserFunctionPage() {
  QWidget* p = AddPage("Users_func");
  auto* f = new QFormLayout(p);
  User_func = new TEditButton("User_func", "1/10*t", p);
  f->addRow(Label("UserFunc_label", "User's function :", p));
  f->addRow(Label("FT_label", "F(t) :", p), User_func);
  connect(User_func->Button, &QToolButton::clicked, this, [this] { FormulaButton(User_func); });
}

void TTransformsOpt::BuildAddSubPage() {
  QWidget* p = AddPage("Add_Sub");
  auto* f = new QFormLayout(p);
  Add_Sub_coef = FloatSpin("Add_Sub_coef", -1000000, 1000000, 1, 13, 6, p);
  f->addRow(Label("Coefficient_label", "Coefficient", p), Add_Sub_coef);
}

void TTransformsOpt::BuildMpyDivPage() {
  QWidget* p = AddPage("Mpy_Div");
  auto* f = new QFormLayout(p);
  Mpy_Div_coef = FloatSpin("Mpy_Div_coef", -1000000, 1000000, 1, 4, 6, p);
  f->addRow(Label("Mpy_coef_label", "Coefficient", p), Mpy_Div_coef);
}

void TTransformsOpt::ApplyLanguage(const std::string& language) {
  if (Hooks.setLanguage) Hooks.setLanguage(language);
  const bool ru = IsRussianLanguage(language);
  setWindowTitle(ru ? QString::fromUtf8("Параметры преобразований") : QString("Transformation options"));
  Apply_Btn->setText(StandardButtonCaption(ru, "OK", "OK"));
  BitBtn1->setText(StandardButtonCaption(ru, "Cancel", "Cancel"));
  ApplyCaptions(*this, kCaptions, ru);
}

void TTransformsOpt::Load(const DialogRequest& request) {
  LoadType(request.typeName);
  LoadSettings(request);
}

void TTransformsOpt::LoadType(const std::string& typeName) {
  const std::string type = typeName.substr(0, typeName.find('_'));
  DialogCode_ = Hooks.dialogCodeOf ? Hooks.dialogCodeOf(type) : 29;
  GroupMode_ = IsGroupDialogCode(DialogCode_);
}

void TTransformsOpt::LoadSettings(const DialogRequest& request) {
  ApplyLanguage(request.language);
  PlaceOnScreen(*this, request.position);
  if (request.data.size() == sizeof(TransformParams) || request.data.size() == sizeof(FilterParams))
    Original_ = request.data;
  if (request.data.size() == sizeof(TransformParams)) std::memcpy(&Source, request.data.data(), sizeof Source);
  alignas(8) FilterParams filterSource = Filter;
  if (request.data.size() == sizeof(FilterParams)) std::memcpy(&filterSource, request.data.data(), sizeof filterSource);
  if (Hooks.isFilterCode && Hooks.isFilterCode(DialogCode_)) {
    FilterToControls(filterSource);
  } else {
    TransformToControls(Source);
  }
  SetupTree();
}

void TTransformsOpt::TransformToControls(const TransformParams& r) {
  const int32_t g = Hooks.groupOfCode ? Hooks.groupOfCode(DialogCodeOfCatalogueCode(r.TransformCode)) : 0;
  const bool noLength = g == 2 || g == 8;
  SigLen_label->setVisible(!noLength);
  Num_Points->setVisible(!noLength);
  if (GroupMode_ && g == DialogCode_) DialogCode_ = DialogCodeOfCatalogueCode(r.TransformCode);
  // The stored length, not the design value, so reopening keeps it.
  Num_Points->setValue(r.SignalLength > 0 ? r.SignalLength : 102);
  SignalLength_ = Num_Points->value();
  // Flag boxes follow the stored word once one was composed; a record that
  // never had one keeps the design state.
  if (r.FftFlags != 0) {
    const std::pair<QCheckBox*, int> boxes[] = {
        {Ck_Forw, 1},        {Ck_Inv, 2},        {Ck_Init, 4},        {Ck_NoScale, 8},
        {Ck_NoBitRev, 16},   {Ck_InBitRev, 32},  {Ck_OutBitRev, 64},  {CK_OutRCPack, 128},
        {CK_OutRCPerm, 256}, {CK_InRCPack, 512}, {CK_InRCPerm, 1024},
    };
    for (const auto& [box, bit] : boxes) box->setChecked((r.FftFlags & bit) != 0);
  }
  ComposeFlags();
  Sampl_Factor->blockSignals(true);
  Sampl_Factor->setValue(r.SamplFactor);
  Sampl_Factor->blockSignals(false);
  PreviousFactor = Sampl_Factor->value();
  Sampl_Phase->blockSignals(true);
  Sampl_Phase->setValue(r.SamplPhase);
  Sampl_Phase->blockSignals(false);
  Corr_nLags->setValue(r.CorrLags);
  if (r.CorrType <= 2) corrType->setCurrentIndex(r.CorrType);
  Transform.CorrType = static_cast<uint8_t>(corrType->currentIndex());
  BitRev_Order->blockSignals(true);
  BitRev_Order->setValue(r.BitRevOrder);
  BitRev_Order->blockSignals(false);
  Win_Alpha->setValue(r.WinAlpha);
  Win_Beta->setValue(r.WinBeta);
  Thresh_param->setValue(r.ThreshParam);
  ThreshRelOpTag = r.ThreshRelOp;
  // The stored operator is shown: 1 "greater than", 0 "less than".
  if (r.ThreshRelOp == 0 || r.ThreshRelOp == 1) {
    Thresh_RelOp->setCurrentIndex(r.ThreshRelOp == 1 ? 0 : 1);
    ThreshRelOpChange();
  }
  User_func->setText(TextOf(r.UserFunc.View()));
  Basis_func->setText(TextOf(r.BasisFunc.View()));
  Transform.ConvTapsCount = std::clamp<int32_t>(r.ConvTapsCount, 0, TTableEdit::kCapacity);
  std::memcpy(Transform.ConvTaps, r.ConvTaps, sizeof Transform.ConvTaps);
  Conv_H_12D->setText(TableEdit->FormatList(Transform.ConvTaps, Transform.ConvTapsCount));
  Add_Sub_coef->setValue(r.AddSubCoef);
  Mpy_Div_coef->setValue(r.MpyDivCoef);
  Goertzel_Frequency->setValue(r.GoertzelFrequency);
}

void TTransformsOpt::FilterToControls(const FilterParams& r) {
  SigLen_label->setVisible(false);
  Num_Points->setVisible(false);
  Filter = r;
  // Counts beyond the lists would read past them.
  Filter.FirTapsCount = std::clamp<int32_t>(Filter.FirTapsCount, 0, TTableEdit::kCapacity);
  Filter.IirTapsCount = std::clamp<int32_t>(Filter.IirTapsCount, 0, TTableEdit::kCapacity);
  Filter.LmsTapsCount = std::clamp<int32_t>(Filter.LmsTapsCount, 0, TTableEdit::kCapacity);
  if (GroupMode_) {
    DialogCode_ = DialogCodeOfCatalogueCode(r.TransformCode);
    if (DialogCode_ < 0) DialogCode_ = 5;
  }
  FIRS_Taps->setText(TableEdit->FormatList(Filter.FirTaps, Filter.FirTapsCount));
  FIRS_Delay->setText(TableEdit->FormatList(Filter.FirDelay, Filter.FirTapsCount));
  IIRS_Taps->setText(TableEdit->FormatList(Filter.IirTaps, Filter.IirTapsCount));
  IIRS_Delay->setText(TableEdit->FormatList(Filter.IirDelay, Filter.IirTapsCount));
  LMSS_Taps->setText(TableEdit->FormatList(Filter.LmsTaps, Filter.LmsTapsCount));
  LMSS_Delay->setText(TableEdit->FormatList(Filter.LmsDelay, Filter.LmsTapsCount));
  // Every stored setting is shown, so OK after reopening keeps it. Factors
  // first: they set the limits of their phases.
  FIRH_UpFactor->setValue(r.FirUpFactor);
  FIRH_DownFactor->setValue(r.FirDownFactor);
  FIRH_UpPhase->setValue(r.FirUpPhase);
  FIRH_DownPhase->setValue(r.FirDownPhase);
  isMulti_Rate->setChecked(r.FirMultiRate != 0);
  if (r.IirType >= 0 && r.IirType < IIRS_Type->count()) IIRS_Type->setCurrentIndex(r.IirType);
  IIRS_isBiquads->setChecked(r.IirBiquad != 0);
  if (r.LmsType >= 0 && r.LmsType < LMSS_Type->count()) LMSS_Type->setCurrentIndex(r.LmsType);
  LMSS_Step->setValue(r.LmsStep);
  LMSS_Leak->setValue(r.LmsLeak);
  LMSS_ErrDly->setValue(r.LmsErrDly);
  LMSS_DwnFactor->setValue(r.LmsDownFactor);
  LMSS_DwnPhase->setValue(r.LmsDownPhase);
  LMSH_isMulti->setChecked(r.LmsMultiRate != 0);
  LMSS_isAdaptB->setChecked(r.LmsAdaptive != 0);
}

void TTransformsOpt::SetupTree() {
  TreeHandlerAttached = false;
  const int32_t a = Hooks.groupOfCode ? Hooks.groupOfCode(DialogCode_) : 0;
  auto doomed = [&](int code) {
    if (GroupMode_) return IsGroupDialogCode(code) && code != a;
    return code != DialogCode_ && (code < 0 || !IsGroupDialogCode(code) || code != a);
  };
  for (bool again = true; again;) {
    again = false;
    for (QTreeWidgetItemIterator it(TreeView); *it != nullptr; ++it) {
      if (doomed((*it)->data(0, kCodeRole).toInt())) {
        delete *it;
        again = true;
        break;
      }
    }
  }
  QTreeWidgetItem* chosen = nullptr;
  for (QTreeWidgetItemIterator it(TreeView); *it != nullptr; ++it) {
    if ((*it)->data(0, kCodeRole).toInt() == DialogCode_) chosen = *it;
  }
  if (chosen != nullptr) {
    TreeView->setCurrentItem(chosen);
    setProperty("itemIndex", TreeView->indexFromItem(chosen).row());
    ItemSelection();
  }
  if (DialogCode_ < 20) TreeView->expandAll();
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
  ShowPage(PageOfCode(code));
  switch (code) {
    case 63:
      Thresh_param->setMinimum(0);
      Thresh_RelOp->setEnabled(true);
      break;
    case 64:
      Thresh_param->setMinimum(1);
      Thresh_RelOp->setEnabled(false);
      break;
    case 50:
    case 51:
      SamplFactorChange();
      break;
    case 70:
      EnableFlagBoxes({1});
      break;
    case 71:
      EnableFlagBoxes({1, 2});
      break;
    case 72:
      EnableFlagBoxes({1, 3});
      break;
    case 73:
      EnableFlagBoxes({1, 2, 4});
      break;
    case 74:
      EnableFlagBoxes({1});
      break;
    case 75:
      EnableFlagBoxes({1, 2});
      break;
    case 44:
      IIRSDelay_Label->setVisible(false);
      IIRS_Delay->setVisible(false);
      break;
    case 45:
      IIRSDelay_Label->setVisible(true);
      IIRS_Delay->setVisible(true);
      break;
    default:
      break;
  }
  setProperty("tag", code);
  if (code == 48 || code == 49) LMSS_isAdaptB->setVisible(true);
  if (code == 49) {
    LMSS_Formula->setVisible(false);
    Result_label->setVisible(false);
  }
  PreViewBtn->setEnabled(!IsGroupDialogCode(code));
  if (!IsGroupDialogCode(code)) ComposeFlags();
  HelpContext_ = 10000 + 10 * code;
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

void TTransformsOpt::EnableFlagBoxes(std::initializer_list<int> set) {
  auto has = [&](int n) { return std::find(set.begin(), set.end(), n) != set.end(); };
  Ck_Forw->setEnabled(has(0));
  Ck_Inv->setEnabled(has(0));
  for (QCheckBox* box : {Ck_Forw, Ck_Inv, Ck_Init, Ck_NoScale}) box->setEnabled(has(1));
  for (QCheckBox* box : {Ck_NoBitRev, Ck_InBitRev, Ck_OutBitRev}) box->setEnabled(has(2));
  for (QCheckBox* box : {CK_OutRCPack, CK_OutRCPerm}) box->setEnabled(has(3));
  for (QCheckBox* box : {CK_InRCPack, CK_InRCPerm}) box->setEnabled(has(4));
}

int32_t TTransformsOpt::ComposeFlags() {
  const std::pair<QCheckBox*, int> boxes[] = {
      {Ck_Forw, 1},        {Ck_Inv, 2},        {Ck_Init, 4},        {Ck_NoScale, 8},
      {Ck_NoBitRev, 16},   {Ck_InBitRev, 32},  {Ck_OutBitRev, 64},  {CK_OutRCPack, 128},
      {CK_OutRCPerm, 256}, {CK_InRCPack, 512}, {CK_InRCPerm, 1024},
  };
  int32_t flags = 0;
  for (const auto& [box, bit] : boxes) {
    if (box->isEnabledTo(this) && box->isChecked()) flags |= bit;
  }
  Transform.FftFlags = flags;
  return flags;
}

void TTransformsOpt::ThreshRelOpChange() {
  if (Thresh_RelOp->currentText() == "NSP_GT") {
    ThreshRelOpTag = 1;
    Thresh_RelOp->setToolTip("Specifies the “greater-then” operator and thresh is an upper bound.");
  } else {
    ThreshRelOpTag = 0;
    Thresh_RelOp->setToolTip("Specifies the “less-then” operator and thresh is a lower bound.");
  }
}

void TTransformsOpt::CorrTypeChange() {
  const QString text = corrType->currentText();
  if (text == "NSP_AutoNormal") {
    Transform.CorrType = 0;
    corrType->setToolTip("Specifies that the normal auto-correlation to be computed.");
  } else if (text == "NSP_AutoBiased") {
    Transform.CorrType = 1;
    corrType->setToolTip("Specifies that the biased auto-correlation to be computed.");
  } else {
    Transform.CorrType = 2;
    corrType->setToolTip("Specifies that the unbiased auto-correlation to be computed.");
  }
}

void TTransformsOpt::SamplPhaseChange() {
  if (Sampl_Phase->value() >= Sampl_Factor->value()) {
    Sampl_Phase->blockSignals(true);
    Sampl_Phase->setValue(Sampl_Factor->value() - 1);
    Sampl_Phase->blockSignals(false);
  }
}

void TTransformsOpt::SamplFactorChange() {
  Sampl_Factor->blockSignals(true);
  const int32_t value = std::min(Sampl_Factor->value(), SignalLength_);
  int32_t i = value;
  if (DialogCode_ != 50 && value > 0) {
    if (value >= PreviousFactor) {
      for (i = value; i < SignalLength_ && SignalLength_ % i != 0; ++i) {
      }
    } else {
      for (i = value; i > 1 && SignalLength_ % i != 0; --i) {
      }
    }
  }
  Sampl_Factor->setValue(i);
  PreviousFactor = Sampl_Factor->value();
  Sampl_Factor->blockSignals(false);
  SamplPhaseChange();
}

void TTransformsOpt::BitRevOrderChange() {
  BitRev_Order->blockSignals(true);
  int32_t halvings = 0;
  for (int32_t n = SignalLength_; n > 0 && n % 2 == 0; n /= 2) ++halvings;
  BitRev_Order->setValue(std::max(1, std::min(BitRev_Order->value(), halvings)));
  BitRev_Order->blockSignals(false);
}

void TTransformsOpt::ExclusiveDirection(QCheckBox* clicked) {
  for (QCheckBox* box : {Ck_Forw, Ck_Init, Ck_Inv}) box->setChecked(box == clicked);
  ComposeFlags();
}

void TTransformsOpt::BitReversalClick(QCheckBox* clicked) {
  if (clicked->isChecked()) {
    if (clicked == Ck_NoBitRev) Ck_InBitRev->setChecked(false);
    if (clicked == Ck_InBitRev) Ck_NoBitRev->setChecked(false);
    if (clicked == Ck_OutBitRev) {
      Ck_NoBitRev->setChecked(false);
      Ck_InBitRev->setChecked(false);
    }
  }
  ComposeFlags();
}

void TTransformsOpt::PackClick(QCheckBox* clicked, QCheckBox* other) {
  clicked->setChecked(true);
  other->setChecked(false);
  ComposeFlags();
}

void TTransformsOpt::NumPointsChange() {
  SignalLength_ = Num_Points->value();
  Transform.SignalLength = SignalLength_;
  if (DialogCode_ == DialogCodeOfCatalogueCode(ccHighLevelFir) ||
      DialogCode_ == DialogCodeOfCatalogueCode(ccLowLevelFir)) {
    FIRH_DownFactor->setMaximum(std::max(1, Num_Points->maximum() / SignalLength_));
  }
}

void TTransformsOpt::FormulaButton(TEditButton* field) {
  (void)field->text().toLower();  // no parsing takes place
  if (Hooks.showInfo) Hooks.showInfo(10);
}

void TTransformsOpt::EditList(TEditButton* field, float* entries, int32_t& count, int32_t shown, int32_t minColumns) {
  TableEdit->LoadList(entries, std::clamp<int32_t>(shown, 0, TTableEdit::kCapacity));
  TableEdit->SetMinimumColumns(minColumns);
  RunTableEditor();
  int32_t read = count;
  field->setText(TableEdit->ReadList(entries, read));
  count = std::clamp<int32_t>(read, 0, TTableEdit::kCapacity);
  ComposeFlags();
}

void TTransformsOpt::Activate() {
  SignalLength_ = Num_Points->value();
  Corr_nLags->setMaximum(SignalLength_);
  PreviousFactor = Sampl_Factor->value();
  FIRH_DownFactor->setMaximum(std::max(1, SignalLength_ / 3));
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
  std::vector<uint8_t> bytes;
  if (Hooks.isFilterCode && Hooks.isFilterCode(DialogCode_)) {
    alignas(8) const FilterParams r = ControlsToFilter();
    bytes.assign(reinterpret_cast<const uint8_t*>(&r), reinterpret_cast<const uint8_t*>(&r) + sizeof r);
  } else {
    alignas(8) const TransformParams r = ControlsToTransform();
    bytes.assign(reinterpret_cast<const uint8_t*>(&r), reinterpret_cast<const uint8_t*>(&r) + sizeof r);
  }
  return bytes;
}

TransformParams TTransformsOpt::ControlsToTransform() {
  if (DialogCode_ < 0) DialogCode_ = 5;
  alignas(8) TransformParams r = Source;
  r.TransformCode = CatalogueCodeOfDialogCode(DialogCode_);
  r.FftFlags = ComposeFlags();
  r.CorrLags = Corr_nLags->value();
  r.CorrType = Transform.CorrType;
  r.BitRevOrder = BitRev_Order->value();
  r.WinAlpha = static_cast<float>(Win_Alpha->value());
  r.WinBeta = static_cast<float>(Win_Beta->value());
  r.ThreshParam = Thresh_param->value();
  r.ThreshRelOp = ThreshRelOpTag;
  r.SamplFactor = Sampl_Factor->value();
  r.SamplPhase = Sampl_Phase->value();
  const QString user = User_func->text().left(55);
  SetCounted(r.UserFunc, DialogCode_ == 33 ? user.toLower() : user);
  const QString basis = Basis_func->text().left(55);
  SetCounted(r.BasisFunc, DialogCode_ == 80 || DialogCode_ == 81 ? basis.toLower() : basis);
  r.ConvTapsCount = Transform.ConvTapsCount;
  std::memcpy(r.ConvTaps, Transform.ConvTaps, sizeof r.ConvTaps);
  r.AddSubCoef = Add_Sub_coef->value();
  r.MpyDivCoef = Mpy_Div_coef->value();
  r.GoertzelFrequency = static_cast<float>(Goertzel_Frequency->value());
  r.SignalLength = Num_Points->value();
  return r;
}

FilterParams TTransformsOpt::ControlsToFilter() {
  alignas(8) FilterParams r = Filter;
  if (DialogCode_ < 0) DialogCode_ = 5;
  r.TransformCode = CatalogueCodeOfDialogCode(DialogCode_);
  r.FirUpFactor = FIRH_UpFactor->value();
  r.FirUpPhase = FIRH_UpPhase->value();
  r.FirDownFactor = FIRH_DownFactor->value();
  r.FirDownPhase = FIRH_DownPhase->value();
  r.FirMultiRate = isMulti_Rate->isChecked() ? 1 : 0;
  r.IirType = IIRS_Type->currentIndex();
  r.IirBiquad = IIRS_isBiquads->isChecked() ? 1 : 0;
  r.LmsMultiRate = LMSH_isMulti->isChecked() ? 1 : 0;
  r.LmsType = LMSS_Type->currentIndex();
  r.LmsStep = static_cast<float>(LMSS_Step->value());
  r.LmsLeak = static_cast<float>(LMSS_Leak->value());
  r.LmsErrDly = LMSS_ErrDly->value();
  r.LmsDownFactor = LMSS_DwnFactor->value();
  r.LmsDownPhase = LMSS_DwnPhase->value();
  r.LmsAdaptive = LMSS_isAdaptB->isChecked() ? 1 : 0;
  return r;
}

DialogResult TTransformsOpt::Store() {
  DialogResult out;
  out.accepted = result() == QDialog::Accepted;
  if (!out.accepted) return out;
  out.data = ControlsToBytes();
  // Nothing changed: the stored record goes back exactly as it came.
  if (Snapped_ && !Original_.empty() && out.data == Shown_) out.data = Original_;
  // The position is stored whether or not the dialog moved.
  out.position = std::make_pair(x(), y());
  return out;
}
