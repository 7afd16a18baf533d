#include "UGenersForm.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QListView>
#include <QStandardItemModel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "RXEditDelay.h"
#include "numeric/Rounding.h"

namespace {

// The bilingual captions, by object name.
constexpr Caption kCaptions[] = {
    {"Func", "User's Function", "Функция F(t)"},
    {"Sine", "Sine", "Синус"},
    {"ModSine", "Modulated sine", "Мод. синус"},
    {"Random", "Random", "Случайный"},
    {"Constant", "Constant", "Константа"},
    {"Tone", "Tone", "Чистый Тон"},
    {"Triangle", "Triangle", "Треугольный"},
    {"UniRandom", "Uni Random", "Равномерный"},
    {"Gaussian", "Gaussian", "Гауссовский"},
    {"BlackMan", "BlackMan", "BlackMan"},
    {"Kaiser", "Kaiser", "Kaiser"},
    {"Windowing", "Windowing", "Оконные"},
    {"GroupBox1", "Range", "Пределы"},
    {"Func_lab", "Function F(t)", "Функция F(t)"},
    {"Amplitude_lab", "Amplitude", "Амплитуда"},
    {"Amp2_lab", "Amplitude", "Амплитуда"},
    {"Init3_lab", "Amplitude", "Амплитуда"},
    {"Init4_lab", "Amplitude", "Амплитуда"},
    {"Init5_lab", "Amplitude", "Амплитуда"},
    {"Period_lab", "Period", "Период"},
    {"TonePeriod_lab", "Main tone period", "Период основного тона"},
    {"SinePeriod_lab", "Sine period", "Период синусоиды"},
    {"isSingle", "Single impulse", "Одиночный импульс"},
    {"RadioButton2", "Periodic signal", "Периодический сигнал"},
    {"Max_lab", "Max", "Максимум"},
    {"Min_lab", "Min", "Минимум"},
    {"Value_lab", "Value", "Значение"},
    {"Freq_lab", "rFreqenty  ", "Частота "},
    {"Freq2_lab", "rFreqenty  ", "Частота "},
    {"Mag_lab", "Magnitude ", "Амплитуда "},
    {"Mag2_lab", "Magnitude ", "Амплитуда "},
    {"Phase_lab", "Phase ", "Фаза "},
    {"Phase2_lab", "Phase ", "Фаза "},
    {"Init_lab", "Init Value", "Иниц. Значение"},
    {"Init2_lab", "Init Value", "Иниц. Значение"},
    {"Asym_lab", "ASym ", "Асимметрия "},
    {"High_lab", "High ", "Максимум "},
    {"Low_lab", "Low", "Минимум"},
    {"Mean_lab", "Mean", "Мат. ожидание"},
    {"StDev_Lab", "stDev", "Дисперсия"},
    {"Alpha_Label", "Alpha", "Альфа"},
    {"Beta_lab", "Beta", "Бета"},
    {"WinType_lab", "Windowing     Type", "Тип окна"},
    {"WindowLen_lab", "Window Length", "Длина окна"},
    {"KaiserLen_lab", "Window Length", "Длина окна"},
    {"BlackLen_lab", "Window Length", "Длина окна"},
    {"ViewBtn", "Preview", "Просмотр"},
    {"BitBtn1", "Check", "Проверить"},
};

constexpr int kFormulaKept = 50;
constexpr int kLengthLimit = 1000;
constexpr int kUserFunctionPoints = 128;
constexpr int kPreviewPoints = 1024;
constexpr int64_t kLongestPeriod = 2000000000;  // in the unit shown

QSpinBox* IntSpin(const char* name, int min, int max) {
  auto* box = new QSpinBox;
  box->setObjectName(name);
  box->setRange(min, max);
  box->setSingleStep(1);
  box->setAccelerated(true);
  return box;
}

QDoubleSpinBox* RealSpin(const char* name, double min, double max, double step, int decimals) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(name);
  box->setDecimals(decimals);
  box->setRange(min, max);
  box->setSingleStep(step);
  return box;
}

TRXEditDelay* DelayEdit(const char* name) {
  auto* edit = new TRXEditDelay;
  edit->setObjectName(name);
  return edit;
}

// Room below a page's last row.
void FinishPage(QGridLayout* grid) { grid->setRowStretch(grid->rowCount(), 1); }

// A record value in a spin box's range (the box would clamp it anyway).
int ToSpin(const QSpinBox* box, double v) {
  if (std::isnan(v)) return box->minimum();
  return static_cast<int>(std::clamp<double>(RoundHalfEven(v), box->minimum(), box->maximum()));
}

}  // namespace

TGenersForm::TGenersForm(DialogHooks hooks, QWidget* parent) : QDialog(parent), hooks_(std::move(hooks)) {
  setObjectName("GenersForm");
  buildPages();
}

void TGenersForm::Load(const DialogRequest& request) {
  LoadType(request.typeName);
  LoadSettings(request);
}

void TGenersForm::LoadType(const std::string& blockTypeName) {
  // The page of the block's own waveform; "All_in_One" takes it from the record.
  const std::string typeName = blockTypeName.substr(0, blockTypeName.find('_'));
  const bool all = typeName == "All";
  int32_t kind = -1;
  if (all) {
    pageCode_ = pModSine;
  } else {
    kind = hooks_.generatorKindOf ? hooks_.generatorKindOf(typeName) : -1;
    pageCode_ = kind;
  }
  pageCode_ = std::min(pageCode_, static_cast<int>(pWindowing));
  for (int i = 0; i < kPageCount; ++i) pages_->setTabVisible(i, i == pageCode_ || all || pageCode_ < 0);
  if (pageCode_ >= 0) pages_->setCurrentIndex(pageCode_);
  if (pageCode_ == pWindowing) pageCode_ = kind;  // a window keeps its own kind 11..15
  allPages_ = all || pageCode_ < 0;
  if (all || pageCode_ < 0) pageCode_ = kPageCodeFromRecord;
  // A window block offers only its own window; the list is for All_in_One.
  if (!all && kind >= pWindowing && kind < pWindowing + Wind_type->count()) {
    auto* model = qobject_cast<QStandardItemModel*>(Wind_type->model());
    auto* view = qobject_cast<QListView*>(Wind_type->view());
    for (int i = 0; i < Wind_type->count(); ++i) {
      if (i == kind - pWindowing) continue;
      if (model != nullptr) model->item(i)->setEnabled(false);
      if (view != nullptr) view->setRowHidden(i, true);
    }
  }
}

void TGenersForm::LoadSettings(const DialogRequest& request) {
  directory_ = QString::fromLocal8Bit(request.directory.c_str());
  if (hooks_.setLanguage) hooks_.setLanguage(request.language);
  russian_ = IsRussianLanguage(request.language);
  applyLanguage();

  // Without a stored position the system places the dialog.
  if (request.position) MoveOnScreen(*this, request.position->first, request.position->second);

  GeneratorParams record{};
  if (hooks_.generatorDefaults) hooks_.generatorDefaults(record);
  if (request.data.size() == sizeof(GeneratorParams)) {
    std::memcpy(&record, request.data.data(), sizeof record);
    original_ = request.data;
  }
  recordToControls(record);
}

QString TGenersForm::tr2(const char* english, const char* russian) const {
  return QString::fromUtf8(russian_ ? russian : english);
}

void TGenersForm::buildPages() {
  pages_ = new QTabWidget;
  pages_->setObjectName("PageControl1");
  // In page index order: the tab of a page is its index.
  buildFuncPage();
  buildSinePage();
  buildModSinePage();
  buildRandomPage();
  buildConstantPage();
  buildTonePage();
  buildTrianglePage();
  buildUniRandomPage();
  buildGaussianPage();
  buildBlackManPage();
  buildKaiserPage();
  buildWindowingPage();
  buildFrame();
  connectControls();
}

QLabel* TGenersForm::addLabel(const char* name) {
  auto* l = new QLabel;
  l->setObjectName(name);
  labels_.push_back(l);
  return l;
}

QGridLayout* TGenersForm::addPage(const char* name) {
  auto* w = new QWidget;
  w->setObjectName(name);
  auto* grid = new QGridLayout(w);
  grid->setColumnStretch(1, 1);
  pages_->addTab(w, name);
  return grid;
}

void TGenersForm::addRow(QGridLayout* grid, const char* labelName, QWidget* editor) {
  const int r = grid->rowCount();
  grid->addWidget(addLabel(labelName), r, 0);
  grid->addWidget(editor, r, 1);
}

// Page 0: user function
void TGenersForm::buildFuncPage() {
  QGridLayout* g = addPage("Func");
  Func_Str = new QLineEdit;
  Func_Str->setObjectName("Func_Str");
  addRow(g, "Func_lab", Func_Str);
  BitBtn1 = new QPushButton;
  BitBtn1->setObjectName("BitBtn1");
  ViewBtn = new QPushButton;
  ViewBtn->setObjectName("ViewBtn");
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(BitBtn1);
  buttons->addWidget(ViewBtn);
  buttons->addStretch(1);
  g->addLayout(buttons, g->rowCount(), 1);
  FinishPage(g);
}

// Page 1: sine
void TGenersForm::buildSinePage() {
  QGridLayout* g = addPage("Sine");
  FSinePeriod = DelayEdit("FSinePeriod");
  FSineAmp = IntSpin("FSineAmp", 0, 2000000000);
  addRow(g, "Period_lab", FSinePeriod);
  addRow(g, "Amplitude_lab", FSineAmp);
  FinishPage(g);
}

// Page 2: modulated sine
void TGenersForm::buildModSinePage() {
  QGridLayout* g = addPage("ModSine");
  FModMainTone = DelayEdit("FModMainTone");
  FModSinePeriod = DelayEdit("FModSinePeriod");
  FModSineAmp = IntSpin("FModSineAmp", 0, 2000000000);
  addRow(g, "TonePeriod_lab", FModMainTone);
  addRow(g, "SinePeriod_lab", FModSinePeriod);
  addRow(g, "Amp2_lab", FModSineAmp);
  isSingle = new QRadioButton;
  isSingle->setObjectName("isSingle");
  RadioButton2 = new QRadioButton;
  RadioButton2->setObjectName("RadioButton2");
  RadioButton2->setChecked(true);
  g->addWidget(isSingle, g->rowCount(), 1);
  g->addWidget(RadioButton2, g->rowCount(), 1);
  FinishPage(g);
}

// Page 3: random (never offered, still stored)
void TGenersForm::buildRandomPage() {
  QGridLayout* g = addPage("Random");
  GroupBox1 = new QGroupBox;
  GroupBox1->setObjectName("GroupBox1");
  auto* range = new QGridLayout(GroupBox1);
  FMaxValue = IntSpin("FMaxValue", -1000000000, 1000000000);
  FMinValue = IntSpin("FMinValue", -1000000000, 1000000000);
  range->addWidget(addLabel("Max_lab"), 0, 0);
  range->addWidget(FMaxValue, 0, 1);
  range->addWidget(addLabel("Min_lab"), 1, 0);
  range->addWidget(FMinValue, 1, 1);
  g->addWidget(GroupBox1, 0, 0, 1, 2);
  FinishPage(g);
}

// Page 4: constant
void TGenersForm::buildConstantPage() {
  QGridLayout* g = addPage("Constant");
  FConstant = IntSpin("FConstant", -1000000, 1000000);
  addRow(g, "Value_lab", FConstant);
  FinishPage(g);
}

// Page 5: tone
void TGenersForm::buildTonePage() {
  QGridLayout* g = addPage("Tone");
  FTone_rFreq = RealSpin("FTone_rFreq", 0, 0.4999999999, 0.005, 10);
  FTone_Mag = IntSpin("FTone_Mag", 1, 1000000000);
  FTone_phase = IntSpin("FTone_phase", 0, 359);
  FTone_phase->setToolTip("0<= phase <= 2*PI");
  FToneInitValue = IntSpin("FToneInitValue", -1000000000, 1000000000);
  addRow(g, "Freq_lab", FTone_rFreq);
  addRow(g, "Mag_lab", FTone_Mag);
  addRow(g, "Phase_lab", FTone_phase);
  addRow(g, "Init_lab", FToneInitValue);
  FinishPage(g);
}

// Page 6: triangle
void TGenersForm::buildTrianglePage() {
  QGridLayout* g = addPage("Triangle");
  FTrngl_rFreq = RealSpin("FTrngl_rFreq", 0, 0.49999999999, 0.01, 11);
  FTrngl_Phase = IntSpin("FTrngl_Phase", 0, 359);
  FTrngl_Phase->setToolTip("0<= phase <= 2*PI");
  FTrngl_ASym = IntSpin("FTrngl_ASym", -89, 89);
  FTrngl_ASym->setToolTip("-Pi <= asymmetry <= P");
  FTrngl_Mag = IntSpin("FTrngl_Mag", 1, 1000000000);
  FTrnglInitValue = IntSpin("FTrnglInitValue", -1000000000, 1000000000);
  addRow(g, "Freq2_lab", FTrngl_rFreq);
  addRow(g, "Phase2_lab", FTrngl_Phase);
  addRow(g, "Asym_lab", FTrngl_ASym);
  addRow(g, "Mag2_lab", FTrngl_Mag);
  addRow(g, "Init2_lab", FTrnglInitValue);
  FinishPage(g);
}

// Page 7: uniform random
void TGenersForm::buildUniRandomPage() {
  QGridLayout* g = addPage("UniRandom");
  FHigh = IntSpin("FHigh", -1000000000, 1000000000);
  FLow = IntSpin("FLow", -1000000000, 1000000000);
  addRow(g, "High_lab", FHigh);
  addRow(g, "Low_lab", FLow);
  FinishPage(g);
}

// Page 8: gaussian
void TGenersForm::buildGaussianPage() {
  QGridLayout* g = addPage("Gaussian");
  FMean = IntSpin("FMean", -1000000000, 1000000000);
  FStDev = IntSpin("FStDev", 1, 1000000000);
  addRow(g, "Mean_lab", FMean);
  addRow(g, "StDev_Lab", FStDev);
  FinishPage(g);
}

// Page 9: Blackman
void TGenersForm::buildBlackManPage() {
  QGridLayout* g = addPage("BlackMan");
  FAlpha = RealSpin("FAlpha", -1000000, 1000000, 1, 2);
  FBlackInitValue = IntSpin("FBlackInitValue", -1000000000, 1000000000);
  BlackLen = IntSpin("BlackLen", 2, 2000000000);
  addRow(g, "Alpha_Label", FAlpha);
  addRow(g, "Init3_lab", FBlackInitValue);
  addRow(g, "BlackLen_lab", BlackLen);
  FinishPage(g);
}

// Page 10: Kaiser
void TGenersForm::buildKaiserPage() {
  QGridLayout* g = addPage("Kaiser");
  FBeta = RealSpin("FBeta", -11, 1, 1, 2);
  FKaiserInitValue = IntSpin("FKaiserInitValue", -1000000000, 1000000000);
  KaiserLen = IntSpin("KaiserLen", 2, 2000000000);
  addRow(g, "Beta_lab", FBeta);
  addRow(g, "Init4_lab", FKaiserInitValue);
  addRow(g, "KaiserLen_lab", KaiserLen);
  FinishPage(g);
}

// Page 11: windows: Bartlett, Hann, Hamming, BlackmanStd, BlackmanOpt = kinds 11..15
void TGenersForm::buildWindowingPage() {
  QGridLayout* g = addPage("Windowing");
  Wind_type = new QComboBox;
  Wind_type->setObjectName("Wind_type");
  Wind_type->addItems({"Bartlett", "Hann", "Hamming", "BlackmanStd", "BlackmanOpt"});
  FInitValue = IntSpin("FInitValue", -2000000000, 2000000000);
  WindowLen = IntSpin("WindowLen", 2, 2000000000);
  addRow(g, "WinType_lab", Wind_type);
  addRow(g, "Init5_lab", FInitValue);
  addRow(g, "WindowLen_lab", WindowLen);
  FinishPage(g);
}

// The buttons on the right and the preview below the pages.
void TGenersForm::buildFrame() {
  okBtn_ = new QPushButton("&OK");
  okBtn_->setObjectName("OKBtn");
  okBtn_->setDefault(true);
  cancelBtn_ = new QPushButton("&Cancel");
  cancelBtn_->setObjectName("CancelBtn");
  helpBtn_ = new QPushButton("&Help");
  helpBtn_->setObjectName("HelpBtn");
  auto* side = new QVBoxLayout;
  side->addWidget(okBtn_);
  side->addWidget(cancelBtn_);
  side->addWidget(helpBtn_);
  side->addStretch(1);

  // The preview below.
  series_ = new QLineSeries;
  series_->setObjectName("PreviewSeries");
  series_->setColor(Qt::red);
  series_->setPointsVisible(false);
  auto* chart = new QChart;
  chart->addSeries(series_);
  chart->legend()->hide();
  chart->setTitle(QString());
  auto* xAxis = new QValueAxis;
  auto* yAxis = new QValueAxis;
  xAxis->setLabelFormat("%.0f");
  yAxis->setLabelFormat("%g");
  chart->addAxis(xAxis, Qt::AlignBottom);
  chart->addAxis(yAxis, Qt::AlignLeft);
  series_->attachAxis(xAxis);
  series_->attachAxis(yAxis);
  chart->setMargins(QMargins(2, 2, 2, 2));
  auto* view = new QChartView(chart);
  view->setObjectName("Chart");
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(220);

  auto* top = new QHBoxLayout;
  top->addWidget(pages_, 1);
  top->addLayout(side);
  auto* main = new QVBoxLayout(this);
  main->addLayout(top);
  main->addWidget(view, 1);
  resize(620, 520);
}

void TGenersForm::connectControls() {
  connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpBtn_, &QPushButton::clicked, this, &TGenersForm::showHelp);
  connect(BitBtn1, &QPushButton::clicked, this, &TGenersForm::checkFormula);
  connect(ViewBtn, &QPushButton::clicked, this, &TGenersForm::drawPreview);
  connect(pages_, &QTabWidget::currentChanged, this, [this](int index) {
    if (!activated_) return;
    // The hidden page is never reached, not even with Ctrl+Tab.
    if (allPages_ && index == pRandom && !pages_->isTabVisible(pRandom)) {
      pages_->setCurrentIndex(lastPage_ >= 0 && lastPage_ != pRandom ? lastPage_ : pModSine);
      return;
    }
    lastPage_ = index;
    pageChanged();
  });
  connect(isSingle, &QRadioButton::clicked, this, &TGenersForm::pageChanged);
  connect(RadioButton2, &QRadioButton::clicked, this, &TGenersForm::pageChanged);
  connect(Wind_type, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (activated_ && !loading_) windowTypeChanged(index);
  });

  for (TRXEditDelay* d : {FSinePeriod, FModSinePeriod, FModMainTone})
    connect(d, &TRXEditDelay::changed, this, [this, d] { delayChanged(d); });
  for (QSpinBox* b : {FConstant, BlackLen, KaiserLen, WindowLen})
    connect(b, &QSpinBox::valueChanged, this, [this, b] { lengthOrConstantChanged(b); });
  connect(FMaxValue, &QSpinBox::valueChanged, this, [this] {
    if (loading_) return;
    FMaxValue->setMinimum(FMinValue->value());
    FMinValue->setMaximum(FMaxValue->value());
    drawPreview();
  });
  connect(FHigh, &QSpinBox::valueChanged, this, [this] {
    if (loading_) return;
    FHigh->setMinimum(FLow->value());
    FLow->setMaximum(FHigh->value());
    drawPreview();
  });
  for (QSpinBox* b : {FMinValue, FLow}) {
    connect(b, &QSpinBox::valueChanged, this, [this] {
      if (loading_) return;
      if (!FLow->cleanText().isEmpty()) {
        FLow->setMaximum(FHigh->value());
      } else {
        FLow->setValue(FHigh->value());
      }
      drawPreview();
    });
  }
  auto preview = [this] {
    if (!loading_) drawPreview();
  };
  for (QSpinBox* b : {FSineAmp, FModSineAmp, FTone_Mag, FTone_phase, FToneInitValue, FTrngl_Phase, FTrngl_ASym,
                      FTrngl_Mag, FTrnglInitValue, FMean, FStDev, FBlackInitValue, FKaiserInitValue, FInitValue})
    connect(b, &QSpinBox::valueChanged, this, preview);
  for (QDoubleSpinBox* b : {FTone_rFreq, FTrngl_rFreq, FAlpha, FBeta})
    connect(b, &QDoubleSpinBox::valueChanged, this, preview);
}

void TGenersForm::applyLanguage() {
  setWindowTitle(tr2("Signal Generator Properties", "Свойства генераторов сигналов"));
  // Qt's own translations name the standard buttons.
  okBtn_->setText(StandardButtonCaption(russian_, "OK", "&OK"));
  cancelBtn_->setText(StandardButtonCaption(russian_, "Cancel", "&Cancel"));
  helpBtn_->setText(StandardButtonCaption(russian_, "Help", "&Help"));
  ApplyCaptions(*this, kCaptions, russian_);
}

void TGenersForm::recordToControls(const GeneratorParams& r) {
  if (pageCode_ < 0) pageCode_ = r.Kind;
  loading_ = true;
  const bool wasForcing = forcingPeriod_;
  forcingPeriod_ = true;  // a stored period of 0 is shown as stored
  Func_Str->setText(QString::fromLatin1(r.Formula.View().data(), static_cast<qsizetype>(r.Formula.Size())));
  FSinePeriod->AssignDelay(r.SinePeriod);
  FSineAmp->setValue(ToSpin(FSineAmp, static_cast<double>(r.SineAmp)));
  FModSinePeriod->AssignDelay(r.ModSinePeriod);
  FModMainTone->AssignDelay(r.ModMainTone);
  FModSineAmp->setValue(ToSpin(FModSineAmp, static_cast<double>(r.ModSineAmp)));
  isSingle->setChecked(r.IsSingle != 0);
  RadioButton2->setChecked(r.IsSingle == 0);
  FMinValue->setValue(ToSpin(FMinValue, r.MinValue));
  FMaxValue->setValue(ToSpin(FMaxValue, r.MaxValue));
  FConstant->setValue(ToSpin(FConstant, r.ConstantValue));
  FToneInitValue->setValue(ToSpin(FToneInitValue, r.ToneInitValue));
  FTone_rFreq->setValue(r.ToneRelFreq);
  FTone_phase->setValue(ToSpin(FTone_phase, r.TonePhase));
  FTone_Mag->setValue(ToSpin(FTone_Mag, r.ToneMag));
  FTrnglInitValue->setValue(ToSpin(FTrnglInitValue, r.TrnglInitValue));
  FTrngl_rFreq->setValue(r.TrnglRelFreq);
  FTrngl_Phase->setValue(ToSpin(FTrngl_Phase, r.TrnglPhase));
  FTrngl_Mag->setValue(ToSpin(FTrngl_Mag, r.TrnglMag));
  FTrngl_ASym->setValue(ToSpin(FTrngl_ASym, r.TrnglASym));
  FLow->setValue(ToSpin(FLow, r.Low));
  FHigh->setValue(ToSpin(FHigh, r.High));
  FMean->setValue(ToSpin(FMean, r.Mean));
  FStDev->setValue(ToSpin(FStDev, r.StDev));
  WindowLen->setValue(ToSpin(WindowLen, static_cast<double>(r.WindowLen)));
  BlackLen->setValue(ToSpin(BlackLen, static_cast<double>(r.BlackLen)));
  KaiserLen->setValue(ToSpin(KaiserLen, static_cast<double>(r.KaiserLen)));
  FInitValue->setValue(ToSpin(FInitValue, static_cast<double>(r.WindowAmp)));
  FBlackInitValue->setValue(ToSpin(FBlackInitValue, static_cast<double>(r.BlackAmp)));
  FAlpha->setValue(static_cast<double>(r.Alpha));
  FKaiserInitValue->setValue(ToSpin(FKaiserInitValue, static_cast<double>(r.KaiserAmp)));
  FBeta->setValue(static_cast<double>(r.Beta));
  forcingPeriod_ = wasForcing;
  loading_ = false;
}

void TGenersForm::controlsToRecord(GeneratorParams& r) {
  if (pageCode_ < 0) pageCode_ = pTone;
  r.Kind = pageCode_;
  // Lower case, as the check evaluates it: what Check accepted is what runs.
  r.Formula.Set(Func_Str->text().left(kFormulaKept).toLower().toLatin1().toStdString());
  r.SinePeriod = FSinePeriod->delay();
  r.SineAmp = FSineAmp->value();
  r.ModSinePeriod = FModSinePeriod->delay();
  r.ModMainTone = FModMainTone->delay();
  r.ModSineAmp = FModSineAmp->value();
  r.IsSingle = isSingle->isChecked() ? 1 : 0;
  r.MinValue = FMinValue->value();
  r.MaxValue = FMaxValue->value();
  r.ConstantValue = FConstant->value();
  r.ToneInitValue = FToneInitValue->value();
  r.ToneRelFreq = FTone_rFreq->value();
  r.TonePhase = FTone_phase->value();
  r.ToneMag = FTone_Mag->value();
  r.TrnglInitValue = FTrnglInitValue->value();
  r.TrnglRelFreq = FTrngl_rFreq->value();
  r.TrnglPhase = FTrngl_Phase->value();
  r.TrnglMag = FTrngl_Mag->value();
  r.TrnglASym = FTrngl_ASym->value();
  r.Low = FLow->value();
  r.High = FHigh->value();
  r.Mean = FMean->value();
  r.StDev = FStDev->value();
  r.WindowLen = WindowLen->value();
  r.BlackLen = BlackLen->value();
  r.KaiserLen = KaiserLen->value();
  r.WindowAmp = FInitValue->value();
  r.BlackAmp = FBlackInitValue->value();
  r.Alpha = RoundToInt64(FAlpha->value());
  r.KaiserAmp = FKaiserInitValue->value();
  r.Beta = RoundToInt64(FBeta->value());
}

void TGenersForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!activated_) {
    shownAt_ = pos();
    activate();
  }
}

void TGenersForm::activate() {
  pages_->setTabVisible(pRandom, false);
  if (allPages_) pages_->setTabEnabled(pRandom, false);
  if (pageCode_ >= pWindowing && pageCode_ <= pWindowing + 4) {
    Wind_type->setCurrentIndex(pageCode_ - pWindowing);
    pages_->setCurrentIndex(pWindowing);
  } else if (pageCode_ >= 0 && pageCode_ < kPageCount) {
    pages_->setCurrentIndex(pageCode_);
  }
  previewLength_ = kPreviewPoints;
  activated_ = true;
  lastPage_ = pages_->currentIndex();
  pageChanged();
  GeneratorParams shown{};
  if (hooks_.generatorDefaults) hooks_.generatorDefaults(shown);
  controlsToRecord(shown);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&shown);
  shownRecord_.assign(bytes, bytes + sizeof shown);
  FocusFirstField(pages_->currentWidget());
}

void TGenersForm::pageChanged() {
  const int index = pages_->currentIndex();
  pageCode_ = index < 0 ? pSine : index;
  if (pageCode_ > pKaiser) pageCode_ = pWindowing + std::max(0, Wind_type->findText(Wind_type->currentText()));
  drawPreview();
}

void TGenersForm::windowTypeChanged(int index) {
  pageCode_ = pWindowing + index;
  drawPreview();
}

void TGenersForm::delayChanged(TRXEditDelay* editor) {
  if (loading_ || forcingPeriod_) return;
  if (editor->text().isEmpty() || editor->delay() <= 0) {
    forcingPeriod_ = true;
    editor->setLongValue(1);
    forcingPeriod_ = false;
  } else if (editor->longValue() > kLongestPeriod) {  // also a number too long for 64 bits
    forcingPeriod_ = true;
    editor->setLongValue(kLongestPeriod);
    forcingPeriod_ = false;
  }
  drawPreview();
}

void TGenersForm::lengthOrConstantChanged(QSpinBox* box) {
  if (loading_) return;
  if (box->cleanText().isEmpty()) return;
  if (box->value() > kLengthLimit)
    box->setValue(kLengthLimit);  // re-enters with the limit
  else if (box->value() < -kLengthLimit)
    box->setValue(-kLengthLimit);
  else
    drawPreview();
}

void TGenersForm::drawPreview() {
  if (pageCode_ < 0 || pageCode_ > 255) return;
  previewLength_ = pageCode_ == pFunc ? kUserFunctionPoints : kPreviewPoints;
  GeneratorParams record{};
  if (hooks_.generatorDefaults) hooks_.generatorDefaults(record);
  controlsToRecord(record);
  if (!hooks_.generatorPreview) {  // a build without the waveform code
    series_->clear();
    for (QAbstractAxis* axis : series_->attachedAxes())
      axis->setRange(0, axis->orientation() == Qt::Horizontal ? previewLength_ - 1 : 1);
    return;
  }
  previewBuffer_.assign(static_cast<size_t>(previewLength_), 0);
  hooks_.generatorPreview(pageCode_, record, previewLength_, previewBuffer_.data());
  QList<QPointF> points;
  points.reserve(previewLength_);
  double low = 0, high = 0;
  for (int i = 0; i < previewLength_; ++i) {
    const double v = static_cast<double>(previewBuffer_[static_cast<size_t>(i)]);
    points.append(QPointF(i, v));
    low = i == 0 ? v : std::min(low, v);
    high = i == 0 ? v : std::max(high, v);
  }
  series_->replace(points);
  if (high == low) {
    high += 1;
    low -= 1;
  }
  const auto axes = series_->attachedAxes();
  for (QAbstractAxis* axis : axes) {
    if (axis->orientation() == Qt::Horizontal)
      axis->setRange(0, previewLength_ - 1);
    else
      axis->setRange(low, high);
  }
}

void TGenersForm::checkFormula() {
  const std::string formula = Func_Str->text().toLower().toLatin1().toStdString();
  if (!hooks_.checkFormula) {
    if (hooks_.showError) hooks_.showError(1, "");
    return;
  }
  if (hooks_.checkFormula(formula) && hooks_.showInfo) hooks_.showInfo(10);
}

void TGenersForm::showHelp() {
  if (!hooks_.showHelp || !hooks_.generatorHelpTopic) return;
  const std::string topic = hooks_.generatorHelpTopic(pageCode_);
  if (topic.empty()) return;
  const QByteArray full = directory_.toLocal8Bit() + QByteArray::fromStdString(topic);
  hooks_.showHelp(full.toStdString());
}

DialogResult TGenersForm::Store() {
  DialogResult out;
  if (out.accepted = result() == QDialog::Accepted; !out.accepted) return out;
  const QPoint now = pos();
  if (now != shownAt_) out.position = std::make_pair(now.x(), now.y());
  GeneratorParams record{};
  if (hooks_.generatorDefaults) hooks_.generatorDefaults(record);
  controlsToRecord(record);
  const auto* bytes = reinterpret_cast<const uint8_t*>(&record);
  out.data.assign(bytes, bytes + sizeof record);
  if (original_.size() == sizeof record && shownRecord_.size() == sizeof record &&
      std::equal(shownRecord_.begin(), shownRecord_.end(), bytes)) {
    // Nothing was changed. A record the controls showed faithfully (all but
    // the kind, which comes from the page) goes back as it came, the formula
    // in lower case as it runs; a malformed one is stored as shown.
    GeneratorParams kept;
    std::memcpy(&kept, original_.data(), sizeof kept);
    GeneratorParams shown;
    std::memcpy(&shown, shownRecord_.data(), sizeof shown);
    if (kept.Formula.Size() <= static_cast<size_t>(kFormulaKept)) {
      kept.Formula.Set(QString::fromLatin1(kept.Formula.View().data(), static_cast<qsizetype>(kept.Formula.Size()))
                           .toLower()
                           .toLatin1()
                           .toStdString());
      shown.Kind = kept.Kind;
      if (std::memcmp(&shown, &kept, sizeof kept) == 0) {
        const auto* keptBytes = reinterpret_cast<const uint8_t*>(&kept);
        out.data.assign(keptBytes, keptBytes + sizeof kept);
      }
    }
  }
  return out;
}
