#include "RXEditDelay.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QStyleOptionSpinBox>

#include "dialogs/logic/DelayUnits.h"

TRXEditDelay::TRXEditDelay(QWidget* parent) : TRXSpinLongEdit(parent), selector_(new QComboBox(this)) {
  lineEdit()->setMaxLength(kMaxTextLength);
  for (const char* unit : kDelayUnitNames) selector_->addItem(unit);
  selector_->setCurrentIndex(0);
  selector_->setFrame(false);
  selector_->setEditable(false);
  selector_->setFocusPolicy(Qt::StrongFocus);  // the unit is chosen from the keyboard too
  connect(selector_, &QComboBox::currentIndexChanged, this, &TRXEditDelay::unitChanged);
}

int64_t TRXEditDelay::delay() const { return DelayOf(longValue(), itemIndex()); }

void TRXEditDelay::setDelay(int64_t value) { writeDelay(value, !filter_); }

void TRXEditDelay::AssignDelay(int64_t value) {
  if (editing_ && hasFocus()) return;
  writeDelay(value, true);
}

void TRXEditDelay::writeDelay(int64_t value, bool normalise) {
  if (value == delay()) return;
  if (!normalise || value < 0) {  // a negative value is no time: 0 in the current unit
    setLongValue(FilterDelay(value, itemIndex()).longValue);
    return;
  }
  const DelayShown shown = NormaliseDelay(value, itemIndex());
  const int unit = shown.unit;
  value = shown.longValue;
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
  const QString t = text();
  if (const auto kept = CharactersAfterUnitChange(static_cast<size_t>(t.size()), previousIndex_, index, filter_))
    setText(*kept == 0 ? QStringLiteral("0") : t.left(static_cast<qsizetype>(*kept)));
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

QSize TRXEditDelay::sizeHint() const { return TRXSpinLongEdit::sizeHint() + QSize(kSelectorWidth, 0); }

QSize TRXEditDelay::minimumSizeHint() const { return TRXSpinLongEdit::minimumSizeHint() + QSize(kSelectorWidth, 0); }
