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

// A character outside ASCII reaches the rules as a byte that is no digit.
int64_t TRXSpinLongEdit::ParseLong(const QString& text) { return ParseLongValue(text.toUtf8().toStdString()); }

int64_t TRXSpinLongEdit::longValue() const { return ParseLong(lineEdit()->text()); }

void TRXSpinLongEdit::setLongValue(int64_t value) { setText(QString::fromStdString(LongValueText(value))); }

QString TRXSpinLongEdit::text() const { return lineEdit()->text(); }

void TRXSpinLongEdit::setText(const QString& text) { lineEdit()->setText(text); }

void TRXSpinLongEdit::stepBy(int steps) {
  const DelayEditorModel::Stepped stepped = model_.Step(ModelText(), steps, isReadOnly());
  for (int i = 0; i < stepped.beeps; ++i) QApplication::beep();
  if (stepped.beeps == 0) setText(QString::fromStdString(stepped.text));
}

QAbstractSpinBox::StepEnabled TRXSpinLongEdit::stepEnabled() const { return StepUpEnabled | StepDownEnabled; }

// Pasted text is let through as it is; reading it then fails (kFailed).
QValidator::State TRXSpinLongEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

void TRXSpinLongEdit::keyPressEvent(QKeyEvent* event) {
  const QString typed = event->text();
  const bool printable = !typed.isEmpty() && typed.at(0).isPrint();
  const bool backspace = event->key() == Qt::Key_Backspace;
  if (printable || backspace) {
    // One typed character at a time; anything longer is refused like a letter.
    const char32_t c = backspace ? U'\b' : typed.size() == 1 ? typed.at(0).unicode() : U'x';
    if (!model_.Accepts(c)) {
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
