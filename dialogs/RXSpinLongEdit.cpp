#include "RXSpinLongEdit.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include <algorithm>

TRXSpinLongEdit::TRXSpinLongEdit(QWidget* parent) : QAbstractSpinBox(parent) {
  setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
  lineEdit()->setText("0");
  connect(lineEdit(), &QLineEdit::textChanged, this, [this] { emit changed(); });
}

int64_t TRXSpinLongEdit::ParseLong(const QString& text) {
  int64_t value = 0;
  for (QChar c : text) {
    if (c < u'0' || c > u'9') return kFailed;
    const int digit = c.unicode() - u'0';
    if (value > (INT64_MAX - digit) / 10) return kFailed;
    value = value * 10 + digit;
  }
  return value;
}

int64_t TRXSpinLongEdit::longValue() const { return ParseLong(lineEdit()->text()); }

void TRXSpinLongEdit::setLongValue(int64_t value) { setText(value > 0 ? QString::number(value) : QStringLiteral("0")); }

QString TRXSpinLongEdit::text() const { return lineEdit()->text(); }

void TRXSpinLongEdit::setText(const QString& text) { lineEdit()->setText(text); }

void TRXSpinLongEdit::stepUp1() {
  if (isReadOnly()) {
    QApplication::beep();
    return;
  }
  const int64_t v = longValue();
  if (v == kFailed || (increment_ > 0 && v > INT64_MAX - increment_)) {
    setLongValue(kFailed);
  } else {
    setLongValue(v + increment_);
  }
}

void TRXSpinLongEdit::stepDown1() {
  if (isReadOnly()) {
    QApplication::beep();
    return;
  }
  const int64_t v = longValue();
  setLongValue(v < increment_ ? 0 : v - increment_);
}

void TRXSpinLongEdit::stepBy(int steps) {
  for (; steps > 0; --steps) stepUp1();
  for (; steps < 0; ++steps) stepDown1();
}

QAbstractSpinBox::StepEnabled TRXSpinLongEdit::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

// Pasted text is let through as it is; reading it then fails (kFailed).
QValidator::State TRXSpinLongEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

void TRXSpinLongEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
  const bool backspace = event->key() == Qt::Key_Backspace;
  if (printable || backspace) {
    const bool digit = printable && typed.size() == 1 && typed.at(0) >= u'0' && typed.at(0) <= u'9';
    if (!editorEnabled_ || (printable && !digit)) {
      event->accept();  // refused
      return;
    }
  }
  QAbstractSpinBox::keyPressEvent(event);
}

QSize TRXSpinLongEdit::sizeHint() const {
  QSize s = QAbstractSpinBox::sizeHint();
  s.setWidth(std::max(s.width(), fontMetrics().horizontalAdvance(QStringLiteral("99999999999")) + 30));
  return s;
}
