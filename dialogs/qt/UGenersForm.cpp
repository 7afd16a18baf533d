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

namespace {

QSpinBox* IntSpin(const GeneratorControl& c) {
  auto* box = new QSpinBox;
  box->setObjectName(c.name);
  box->setRange(static_cast<int>(c.min), static_cast<int>(c.max));
  box->setSingleStep(static_cast<int>(c.step));
  box->setAccelerated(true);
  return box;
}

QDoubleSpinBox* RealSpin(const GeneratorControl& c) {
  auto* box = new QDoubleSpinBox;
  box->setObjectName(c.name);
  box->setDecimals(c.decimals);
  box->setRange(c.min, c.max);
  box->setSingleStep(c.step);
  return box;
}

// The widget of a control of the table.
QWidget* MakeControl(const GeneratorControl& c) {
  QWidget* w = nullptr;
  switch (c.editor) {
    case GeneratorEditor::Text:
      w = new QLineEdit;
      break;
    case GeneratorEditor::Delay:
      w = new TRXEditDelay;
      break;
    case GeneratorEditor::IntSpin:
      w = IntSpin(c);
      break;
    case GeneratorEditor::RealSpin:
      w = RealSpin(c);
      break;
    case GeneratorEditor::Radio:
      w = new QRadioButton;
      break;
    case GeneratorEditor::Combo: {
      auto* box = new QComboBox;
      for (const char* item : kWindowTypeNames) box->addItem(item);
      w = box;
      break;
    }
  }
  w->setObjectName(c.name);
  if (c.hint != nullptr) w->setToolTip(c.hint);
  return w;
}

// Room below a page's last row.
void FinishPage(QGridLayout* grid) { grid->setRowStretch(grid->rowCount(), 1); }

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
  const GeneratorPageSetup setup = GeneratorPagesOf(blockTypeName, hooks_);
  for (int i = 0; i < kPageCount; ++i) pages_->setTabVisible(i, setup.tabVisible[static_cast<size_t>(i)]);
  if (setup.openPage >= 0) pages_->setCurrentIndex(setup.openPage);
  pageCode_ = setup.pageCode;
  allPages_ = setup.allPages;
  if (setup.ownWindow >= 0) {
    auto* model = qobject_cast<QStandardItemModel*>(Wind_type->model());
    auto* view = qobject_cast<QListView*>(Wind_type->view());
    for (int i = 0; i < Wind_type->count(); ++i) {
      if (i == setup.ownWindow) continue;
      if (model != nullptr) model->item(i)->setEnabled(false);
      if (view != nullptr) view->setRowHidden(i, true);
    }
  }
}

void TGenersForm::LoadSettings(const DialogRequest& request) {
  directory_ = request.directory;
  if (hooks_.setLanguage) hooks_.setLanguage(request.language);
  russian_ = IsRussianLanguage(request.language);
  applyLanguage();

  // Without a stored position the system places the dialog.
  if (request.position) MoveOnScreen(*this, request.position->first, request.position->second);

  GeneratorParams record = DefaultGeneratorRecord(hooks_);
  if (request.data.size() == sizeof(GeneratorParams)) {
    std::memcpy(&record, request.data.data(), sizeof record);
    original_ = request.data;
  }
  recordToControls(record);
}

template <typename T>
T* TGenersForm::control(const char* name) const {
  return static_cast<T*>(controls_.at(static_cast<size_t>(GeneratorControlIndex(name))));
}

void TGenersForm::buildPages() {
  pages_ = new QTabWidget;
  pages_->setObjectName("PageControl1");
  controls_.assign(GeneratorControls().size(), nullptr);
  // In page index order: the tab of a page is its index.
  for (int page = 0; page < kPageCount; ++page) buildPage(page);
  Func_Str = control<QLineEdit>("Func_Str");
  isSingle = control<QRadioButton>("isSingle");
  RadioButton2 = control<QRadioButton>("RadioButton2");
  FMinValue = control<QSpinBox>("FMinValue");
  FMaxValue = control<QSpinBox>("FMaxValue");
  FLow = control<QSpinBox>("FLow");
  FHigh = control<QSpinBox>("FHigh");
  Wind_type = control<QComboBox>("Wind_type");
  RadioButton2->setChecked(true);
  buildFrame();
  connectControls();
}

QLabel* TGenersForm::addLabel(const char* name) {
  auto* l = new QLabel;
  l->setObjectName(name);
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

// A page: its controls' rows in table order; the random range in its group
// box, the formula's buttons below the formula.
void TGenersForm::buildPage(int page) {
  QGridLayout* g = addPage(kGeneratorPageNames[page]);
  QGridLayout* rows = g;
  if (page == pRandom) {
    GroupBox1 = new QGroupBox;
    GroupBox1->setObjectName("GroupBox1");
    rows = new QGridLayout(GroupBox1);
  }
  const auto table = GeneratorControls();
  for (size_t i = 0; i < table.size(); ++i) {
    const GeneratorControl& c = table[i];
    if (c.page != page) continue;
    QWidget* w = MakeControl(c);
    controls_[i] = w;
    if (c.label == nullptr)
      g->addWidget(w, g->rowCount(), 1);
    else
      addRow(rows, c.label, w);
  }
  if (page == pRandom) g->addWidget(GroupBox1, 0, 0, 1, 2);
  if (page == pFunc) {
    BitBtn1 = new QPushButton;
    BitBtn1->setObjectName("BitBtn1");
    ViewBtn = new QPushButton;
    ViewBtn->setObjectName("ViewBtn");
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addWidget(ViewBtn);
    buttons->addStretch(1);
    g->addLayout(buttons, g->rowCount(), 1);
  }
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

  auto preview = [this] {
    if (!loading_) drawPreview();
  };
  const auto table = GeneratorControls();
  for (size_t i = 0; i < table.size(); ++i) {
    const GeneratorControl& c = table[i];
    QWidget* w = controls_[i];
    if (c.editor == GeneratorEditor::Delay) {
      auto* d = static_cast<TRXEditDelay*>(w);
      connect(d, &TRXEditDelay::changed, this, [this, d] { delayChanged(d); });
    } else if (c.editor == GeneratorEditor::RealSpin) {
      connect(static_cast<QDoubleSpinBox*>(w), &QDoubleSpinBox::valueChanged, this, preview);
    } else if (c.editor == GeneratorEditor::IntSpin) {
      auto* b = static_cast<QSpinBox*>(w);
      if (LimitsTypedValue(c.name))
        connect(b, &QSpinBox::valueChanged, this, [this, b] { lengthOrConstantChanged(b); });
      else if (b != FMaxValue && b != FMinValue && b != FHigh && b != FLow)
        connect(b, &QSpinBox::valueChanged, this, preview);
    }
  }
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
}

void TGenersForm::applyLanguage() {
  setWindowTitle(QString::fromUtf8(CaptionText(kGeneratorFormCaption, russian_)));
  // Qt's own translations name the standard buttons.
  okBtn_->setText(StandardButtonCaption(russian_, "OK", "&OK"));
  cancelBtn_->setText(StandardButtonCaption(russian_, "Cancel", "&Cancel"));
  helpBtn_->setText(StandardButtonCaption(russian_, "Help", "&Help"));
  ApplyCaptions(*this, GeneratorCaptions(), russian_);
}

void TGenersForm::recordToControls(const GeneratorParams& r) {
  if (pageCode_ < 0) pageCode_ = r.Kind;
  loading_ = true;
  const bool wasForcing = forcingPeriod_;
  forcingPeriod_ = true;  // a stored period of 0 is shown as stored
  const GeneratorValues values = RecordToValues(r);
  const auto table = GeneratorControls();
  for (size_t i = 0; i < table.size(); ++i) {
    QWidget* w = controls_[i];
    const GeneratorValue& v = values[i];
    switch (table[i].editor) {
      case GeneratorEditor::Text:
        static_cast<QLineEdit*>(w)->setText(QString::fromLatin1(v.text.data(), static_cast<qsizetype>(v.text.size())));
        break;
      case GeneratorEditor::Delay:
        static_cast<TRXEditDelay*>(w)->AssignDelay(v.whole);
        break;
      case GeneratorEditor::IntSpin:
        static_cast<QSpinBox*>(w)->setValue(static_cast<int>(v.number));
        break;
      case GeneratorEditor::RealSpin:
        static_cast<QDoubleSpinBox*>(w)->setValue(v.number);
        break;
      case GeneratorEditor::Radio:
        static_cast<QRadioButton*>(w)->setChecked(v.whole != 0);
        break;
      case GeneratorEditor::Combo:  // follows the page code at activation
        break;
    }
  }
  forcingPeriod_ = wasForcing;
  loading_ = false;
}

void TGenersForm::controlsToRecord(GeneratorParams& r) {
  if (pageCode_ < 0) pageCode_ = pTone;
  const auto table = GeneratorControls();
  GeneratorValues values(table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    const QWidget* w = controls_[i];
    GeneratorValue& v = values[i];
    switch (table[i].editor) {
      case GeneratorEditor::Text:
        v.text = static_cast<const QLineEdit*>(w)->text().toLatin1().toStdString();
        break;
      case GeneratorEditor::Delay:
        v.whole = static_cast<const TRXEditDelay*>(w)->delay();
        break;
      case GeneratorEditor::IntSpin:
        v.number = static_cast<const QSpinBox*>(w)->value();
        break;
      case GeneratorEditor::RealSpin:
        v.number = static_cast<const QDoubleSpinBox*>(w)->value();
        break;
      case GeneratorEditor::Radio:
        v.whole = static_cast<const QRadioButton*>(w)->isChecked() ? 1 : 0;
        break;
      case GeneratorEditor::Combo:
        v.whole = static_cast<const QComboBox*>(w)->currentIndex();
        break;
    }
  }
  ValuesToRecord(values, pageCode_, r);
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
  const GeneratorActivePage active = ActivePageOf(pageCode_);
  if (active.windowType >= 0) Wind_type->setCurrentIndex(active.windowType);
  if (active.page >= 0) pages_->setCurrentIndex(active.page);
  previewLength_ = kPreviewPoints;
  activated_ = true;
  lastPage_ = pages_->currentIndex();
  pageChanged();
  GeneratorParams shown = DefaultGeneratorRecord(hooks_);
  controlsToRecord(shown);
  shownRecord_ = shown;
  FocusFirstField(pages_->currentWidget());
}

void TGenersForm::pageChanged() {
  pageCode_ = PageCodeOfPage(pages_->currentIndex(), Wind_type->findText(Wind_type->currentText()));
  drawPreview();
}

void TGenersForm::windowTypeChanged(int index) {
  pageCode_ = pWindowing + index;
  drawPreview();
}

void TGenersForm::delayChanged(TRXEditDelay* editor) {
  if (loading_ || forcingPeriod_) return;
  if (const auto forced = ForcedPeriod(editor->text().isEmpty(), editor->delay(), editor->longValue())) {
    forcingPeriod_ = true;
    editor->setLongValue(*forced);
    forcingPeriod_ = false;
  }
  drawPreview();
}

void TGenersForm::lengthOrConstantChanged(QSpinBox* box) {
  if (loading_) return;
  if (box->cleanText().isEmpty()) return;
  if (const auto limited = LimitedLengthOrConstant(box->value()))
    box->setValue(static_cast<int>(*limited));  // re-enters with the limit
  else
    drawPreview();
}

void TGenersForm::drawPreview() {
  const int32_t length = PreviewLengthOf(pageCode_);
  if (length == 0) return;
  previewLength_ = length;
  GeneratorParams record = DefaultGeneratorRecord(hooks_);
  controlsToRecord(record);
  const std::vector<int64_t> points = GeneratorPreviewPoints(hooks_, pageCode_, record);
  QList<QPointF> series;
  series.reserve(static_cast<qsizetype>(points.size()));
  for (size_t i = 0; i < points.size(); ++i)
    series.append(QPointF(static_cast<double>(i), static_cast<double>(points[i])));
  series_->replace(series);  // empty in a build without the waveform code
  const auto [low, high] = PreviewValueRange(points);
  for (QAbstractAxis* axis : series_->attachedAxes()) {
    if (axis->orientation() == Qt::Horizontal)
      axis->setRange(0, previewLength_ - 1);
    else
      axis->setRange(low, high);
  }
}

void TGenersForm::checkFormula() { CheckGeneratorFormula(hooks_, Func_Str->text().toLatin1().toStdString()); }

void TGenersForm::showHelp() {
  if (!hooks_.showHelp) return;
  const std::string path = GeneratorHelpPath(hooks_, directory_, pageCode_);
  if (!path.empty()) hooks_.showHelp(path);
}

DialogResult TGenersForm::Store() {
  DialogResult out;
  if (out.accepted = result() == QDialog::Accepted; !out.accepted) return out;
  const QPoint now = pos();
  if (now != shownAt_) out.position = std::make_pair(now.x(), now.y());
  GeneratorParams record = DefaultGeneratorRecord(hooks_);
  controlsToRecord(record);
  out.data = shownRecord_ ? GeneratorResultRecord(original_, *shownRecord_, record)
                          : GeneratorResultRecord({}, record, record);
  return out;
}
