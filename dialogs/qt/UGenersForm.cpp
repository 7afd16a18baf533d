#include "UGenersForm.h"

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
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QValueAxis>

#include "DialogChrome.h"
#include "QtDialogView.h"
#include "RXEditDelay.h"

// The presenter's view: the common controls by name, and the pages, time
// editors, spin texts and preview of this dialog.
class GenersFormView : public QtDialogView, public GeneratorView {
 public:
  explicit GenersFormView(TGenersForm& form) : QtDialogView(form), form_(form) {}

  void SetPage(int32_t page) override { form_.pages_->setCurrentIndex(page); }
  DelayState Delay(ControlName name) const override {
    const auto& editor = Editor(name);
    return {editor.text().isEmpty(), editor.delay(), editor.longValue()};
  }
  void SetDelay(ControlName name, int64_t delay) override { Editor(name).AssignDelay(delay); }
  void SetDelayNumber(ControlName name, int64_t number) override { Editor(name).setLongValue(number); }
  std::optional<double> Typed(ControlName name) const override {
    QWidget& w = Control(name);
    if (auto* spin = qobject_cast<QSpinBox*>(&w)) return Held(spin->cleanText(), spin->value());
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(&w)) return Held(spin->cleanText(), spin->value());
    return std::nullopt;
  }
  void ShowPreview(const std::vector<int64_t>& points, int32_t length) override {
    QList<QPointF> series;
    for (size_t i = 0; i < points.size(); ++i) series.append(QPointF(double(i), double(points[i])));
    form_.series_->replace(series);  // empty in a build without the waveform code
    const auto [low, high] = PreviewValueRange(points);
    for (QAbstractAxis* axis : form_.series_->attachedAxes())
      axis->orientation() == Qt::Horizontal ? axis->setRange(0, length - 1) : axis->setRange(low, high);
  }

 private:
  TRXEditDelay& Editor(std::string_view name) const { return static_cast<TRXEditDelay&>(Control(name)); }
  static std::optional<double> Held(const QString& text, double value) {
    return text.isEmpty() ? std::nullopt : std::optional<double>(value);
  }
  TGenersForm& form_;
};

using namespace generator_controls;

namespace {

// The widget of a control of the table.
QWidget* MakeControl(const GeneratorControl& c) {
  QWidget* w = nullptr;
  if (c.editor == GeneratorEditor::Text) w = new QLineEdit;
  if (c.editor == GeneratorEditor::Delay) w = new TRXEditDelay;
  if (c.editor == GeneratorEditor::Radio) w = new QRadioButton;
  if (c.editor == GeneratorEditor::IntSpin) {
    auto* box = new QSpinBox;
    box->setRange(static_cast<int>(c.min), static_cast<int>(c.max));
    box->setSingleStep(static_cast<int>(c.step));
    box->setAccelerated(true);
    w = box;
  }
  if (c.editor == GeneratorEditor::RealSpin) {
    auto* box = new QDoubleSpinBox;
    box->setDecimals(c.decimals);
    box->setRange(c.min, c.max);
    box->setSingleStep(c.step);
    w = box;
  }
  if (c.editor == GeneratorEditor::Combo) w = new QComboBox;  // the presenter fills it
  w->setObjectName(c.name);
  if (c.hint != nullptr) w->setToolTip(c.hint);
  return w;
}

}  // namespace

TGenersForm::TGenersForm(DialogHooks hooks, QWidget* parent)
    : QDialog(parent),
      hooks_(std::move(hooks)),
      view_(std::make_unique<GenersFormView>(*this)),
      presenter_(std::make_unique<GeneratorPresenter>(*view_, *view_, hooks_, Latin1FormulaCodec())) {
  setObjectName(ObjectName("GenersForm"_ctl));
  pages_ = Named<QTabWidget>("PageControl1"_ctl, nullptr);
  // In page index order: the tab of a page is its index.
  for (int page = 0; page < kGeneratorPageCount; ++page) buildPage(page);
  buildFrame();
  Wind_type = findChild<QComboBox*>(ObjectName("Wind_type"_ctl));
  connectControls();
}

TGenersForm::~TGenersForm() = default;

void TGenersForm::LoadType(const std::string& blockTypeName) {
  // The page of the block's own waveform; "All_in_One" takes it from the record.
  presenter_->SetType(blockTypeName);
  for (int i = 0; i < kGeneratorPageCount; ++i) pages_->setTabVisible(i, presenter_->Offered(i));
  if (presenter_->AllPages()) pages_->setTabEnabled(gpRandom, false);
  if (presenter_->Page() >= 0) pages_->setCurrentIndex(presenter_->Page());
  presenter_->Start();
}

void TGenersForm::LoadSettings(const DialogRequest& request) {
  directory_ = request.directory;
  if (hooks_.setLanguage) hooks_.setLanguage(request.language);
  presenter_->SetLanguage(request.language);
  applyLanguage();
  // Without a stored position the system places the dialog.
  if (request.position) MoveOnScreen(*this, request.position->first, request.position->second);
  presenter_->Open(request.data);
}

// A page: its controls' rows in table order; the random range in its group
// box, the formula's buttons below the formula.
void TGenersForm::buildPage(int page) {
  auto* tab = Named<QWidget>(ControlName(kGeneratorPageNames[page]), nullptr);
  auto* g = new QGridLayout(tab);
  g->setColumnStretch(1, 1);
  pages_->addTab(tab, kGeneratorPageNames[page]);
  QGridLayout* rows = g;
  QGroupBox* group = nullptr;
  if (page == gpRandom) {
    group = Named<QGroupBox>("GroupBox1"_ctl, nullptr);
    rows = new QGridLayout(group);
  }
  for (const GeneratorControl& c : GeneratorControls()) {
    if (c.page != page) continue;
    QWidget* w = MakeControl(c);
    QGridLayout* grid = c.label == nullptr ? g : rows;
    const int r = grid->rowCount();
    if (c.label != nullptr) grid->addWidget(Named<QLabel>(ControlName(c.label), nullptr), r, 0);
    grid->addWidget(w, r, 1);
  }
  if (group != nullptr) g->addWidget(group, 0, 0, 1, 2);
  if (page == gpFunc) {
    BitBtn1 = Named<QPushButton>("BitBtn1"_ctl, nullptr);
    ViewBtn = Named<QPushButton>("ViewBtn"_ctl, nullptr);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(ViewBtn);
    buttons->addStretch(1);
    g->addLayout(buttons, g->rowCount(), 1);
  }
  g->setRowStretch(g->rowCount(), 1);  // room below the last row
}

// The buttons on the right and the preview below the pages.
void TGenersForm::buildFrame() {
  okBtn_ = Named<QPushButton>("OKBtn"_ctl, nullptr, "&OK");
  okBtn_->setDefault(true);
  cancelBtn_ = Named<QPushButton>("CancelBtn"_ctl, nullptr, "&Cancel");
  helpBtn_ = Named<QPushButton>("HelpBtn"_ctl, nullptr, "&Help");
  auto* side = new QVBoxLayout;
  for (QPushButton* b : {okBtn_, cancelBtn_, helpBtn_}) side->addWidget(b);
  side->addStretch(1);

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
  view->setObjectName(ObjectName("Chart"_ctl));
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

// Every event goes to the presenter.
void TGenersForm::connectControls() {
  GeneratorPresenter* p = presenter_.get();
  connect(okBtn_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancelBtn_, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpBtn_, &QPushButton::clicked, this, [this] { presenter_->ShowHelp(directory_); });
  connect(BitBtn1, &QPushButton::clicked, this, [p] { p->CheckFormula(); });
  connect(ViewBtn, &QPushButton::clicked, this, [p] { p->DrawPreview(); });
  connect(pages_, &QTabWidget::currentChanged, this, [p](int index) { p->PageSelected(index); });
  connect(Wind_type, &QComboBox::currentIndexChanged, this, [p] { p->WindowTypeChanged(); });
  for (const GeneratorControl& c : GeneratorControls()) {
    QWidget* w = findChild<QWidget*>(c.name);
    const auto changed = [p, name = c.name] { p->ValueChanged(name); };
    if (auto* d = qobject_cast<TRXEditDelay*>(w)) connect(d, &TRXEditDelay::changed, this, changed);
    if (auto* b = qobject_cast<QSpinBox*>(w)) connect(b, &QSpinBox::valueChanged, this, changed);
    if (auto* b = qobject_cast<QDoubleSpinBox*>(w)) connect(b, &QDoubleSpinBox::valueChanged, this, changed);
    if (auto* r = qobject_cast<QRadioButton*>(w)) connect(r, &QRadioButton::clicked, this, [p] { p->RadioClicked(); });
  }
}

void TGenersForm::applyLanguage() {
  const bool ru = presenter_->Russian();
  setWindowTitle(QString::fromUtf8(CaptionText(kGeneratorFormCaption, ru)));
  // Qt's own translations name the standard buttons.
  okBtn_->setText(StandardButtonCaption(ru, "OK", "&OK"));
  cancelBtn_->setText(StandardButtonCaption(ru, "Cancel", "&Cancel"));
  helpBtn_->setText(StandardButtonCaption(ru, "Help", "&Help"));
  ApplyCaptions(*this, GeneratorCaptions(), ru);
}

void TGenersForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (presenter_->Activated()) return;
  shownAt_ = {x(), y()};
  presenter_->Activate();
  FocusFirstField(pages_->currentWidget());
}

void TGenersForm::done(int result) {
  if (result == QDialog::Accepted && !presenter_->Ok()) return;
  QDialog::done(result);
}

DialogResult TGenersForm::Store() {
  DialogResult out;
  if (out.accepted = result() == QDialog::Accepted; !out.accepted) return out;
  out.position = presenter_->StoredPosition(shownAt_, {x(), y()});
  out.data = presenter_->Result();
  return out;
}
