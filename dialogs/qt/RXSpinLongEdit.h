// A spin edit whose value is a non-negative 64-bit integer held in its text.
#pragma once

#include <QAbstractSpinBox>
#include <cstdint>

#include "dialogs/logic/DelayUnits.h"

class TRXSpinLongEdit : public QAbstractSpinBox {
  Q_OBJECT
  Q_PROPERTY(qint64 LongValue READ longValue WRITE setLongValue)

 public:
  static constexpr int64_t kFailed = kLongValueFailed;

  explicit TRXSpinLongEdit(QWidget* parent = nullptr);

  // The text as a number; kFailed when it holds anything but decimal digits
  // or does not fit in 64 bits. An empty text reads 0.
  virtual int64_t longValue() const;
  // The decimal digits of the value; "0" for 0 and negative values.
  virtual void setLongValue(int64_t value);

  int64_t increment() const { return increment_; }
  void setIncrement(int64_t step) { increment_ = step; }
  // Off: the buttons still step, but typing and Backspace are refused.
  bool editorEnabled() const { return editorEnabled_; }
  void setEditorEnabled(bool on) { editorEnabled_ = on; }

  QString text() const;
  void setText(const QString& text);

  static int64_t ParseLong(const QString& text);

  QSize sizeHint() const override;
  void stepBy(int steps) override;

 signals:
  // The text changed, by typing, stepping or a unit change.
  void changed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  StepEnabled stepEnabled() const override;
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override {}

 private:
  int64_t increment_ = 1;
  bool editorEnabled_ = true;
};
