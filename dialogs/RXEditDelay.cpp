#include "RXEditDelay.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QStyleOptionSpinBox>

namespace {
constexpr int64_t kUnitStep = 1000;
constexpr int kLastUnit = 4;  // "sec"

// v / 1000 rounded to the nearest integer, ties to even (v >= 0).
int64_t DivideRounded(int64_t v) {
  int64_t q = v / kUnitStep;
  const int64_t r = v % kUnitStep;
  if (r > kUnitStep / 2 || (r == kUnitStep / 2 && (q & 1) != 0)) ++q;
  return q;
}
}  // namespace

TRXEditDelay::TRXEditDelay(QWidget* parent) : TRXSpinLongEdit(parent), selector_(new QComboBox(this)) {
  lineEdit()->setMaxLength(kMaxTextLength);
  selector_->addItems({"ps", "ns", "us", "ms", "sec"});
  selector_->setCurrentIndex(0);
  selector_->setFrame(false);
  selector_->setEditable(false);
  selector_->setFocusPolicy(Qt::StrongFocus);  // the unit is chosen from the keyboard too
  connect(selector_, &QComboBox::currentIndexChanged, this, &TRXEditDelay::unitChanged);
}

int64_t TRXEditDelay::delay() const {
  int64_t v = longValue();
  if (v == kFailed) return kFailed;
  for (int i = 0; i < itemIndex(); ++i) {
    if (v > INT64_MAX / kUnitStep) return kFailed;
    v *= kUnitStep;
  }
  return v;
}

void TRXEditDelay::setDelay(int64_t value) { writeDelay(value, !filter_); }

void TRXEditDelay::AssignDelay(int64_t value) {
  if (editing_ && hasFocus()) return;
  writeDelay(value, true);
}

void TRXEditDelay::writeDelay(int64_t value, bool normalise) {
  if (value == delay()) return;
  if (value < 0) {  // not a time value: shows 0 in the current unit
    setLongValue(0);
    return;
  }
  if (!normalise) {
    for (int i = 0; i < itemIndex(); ++i) value = DivideRounded(value);
    setLongValue(value);
    return;
  }
  int unit = 0;
  while (value != 0 && value % kUnitStep == 0 && unit < kLastUnit) {
    value /= kUnitStep;
    ++unit;
  }
  // The unit first, so that its change step sees the old text and the new
  // number replaces whatever it did.
  const bool unitMoved = unit != itemIndex();
  const QString before = text();
  {
    const QSignalBlocker block(selector_);
    selector_->setCurrentIndex(unit);
    previousIndex_ = unit;
  }
  setLongValue(value);
  if (unitMoved && text() == before) emit changed();
}

void TRXEditDelay::unitChanged(int index) {
  if (filter_) {
    const int k = index - previousIndex_;
    if (k > 0) {
      const QString t = text();
      const int cut = 3 * k;
      setText(t.size() <= cut ? QStringLiteral("0") : t.left(t.size() - cut));
    }
  }
  previousIndex_ = index;
  emit changed();
}

void TRXEditDelay::initStyleOption(QStyleOptionSpinBox* option) const {
  TRXSpinLongEdit::initStyleOption(option);
  // The spin box draws itself left of the selector.
  option->rect.setWidth(std::max(0, width() - kSelectorWidth));
}

void TRXEditDelay::resizeEvent(QResizeEvent* event) {
  TRXSpinLongEdit::resizeEvent(event);
  selector_->setGeometry(width() - kSelectorWidth, 0, kSelectorWidth, height());
  // Re-place the text field inside the narrowed frame.
  QStyleOptionSpinBox opt;
  initStyleOption(&opt);
  lineEdit()->setGeometry(style()->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxEditField, this));
}

QSize TRXEditDelay::sizeHint() const {
  QSize s = TRXSpinLongEdit::sizeHint();
  s.setWidth(s.width() + kSelectorWidth);
  return s;
}

QSize TRXEditDelay::minimumSizeHint() const {
  QSize s = TRXSpinLongEdit::minimumSizeHint();
  s.setWidth(s.width() + kSelectorWidth);
  return s;
}
