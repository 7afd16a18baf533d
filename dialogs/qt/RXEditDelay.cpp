#include "RXEditDelay.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QStyleOptionSpinBox>

TRXEditDelay::TRXEditDelay(QWidget* parent) : TRXSpinLongEdit(parent), selector_(new QComboBox(this)) {
  lineEdit()->setMaxLength(kMaxTextLength);
  for (const char* unit : kDelayUnitNames) selector_->addItem(unit);
  selector_->setCurrentIndex(0);
  selector_->setFrame(false);
  selector_->setEditable(false);
  selector_->setFocusPolicy(Qt::StrongFocus);  // the unit is chosen from the keyboard too
  connect(selector_, &QComboBox::currentIndexChanged, this, &TRXEditDelay::unitChanged);
}

int64_t TRXEditDelay::delay() const { return model_.Delay(ModelText()); }

void TRXEditDelay::setDelay(int64_t value) { showWritten(model_.WriteDelay(value, ModelText())); }

void TRXEditDelay::AssignDelay(int64_t value) { showWritten(model_.AssignDelay(value, ModelText(), hasFocus())); }

void TRXEditDelay::showWritten(const std::optional<DelayEditorModel::Written>& written) {
  if (!written) return;
  // The unit first, so that its change step sees the old text and the new
  // number replaces whatever it did.
  const QString before = text();
  {
    const QSignalBlocker block(selector_);
    selector_->setCurrentIndex(written->unit);
  }
  setText(QString::fromStdString(written->text));
  if (written->unitMoved && text() == before) emit changed();
}

void TRXEditDelay::unitChanged(int index) {
  if (const std::optional<std::string> text = model_.SelectUnit(index, ModelText()))
    setText(QString::fromStdString(*text));
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
