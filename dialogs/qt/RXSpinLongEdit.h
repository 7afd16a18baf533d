// A spin edit whose value is a non-negative 64-bit integer held in its text.
#pragma once

#include <QAbstractSpinBox>
#include <cstdint>

#include "dialogs/logic/DelayEditorModel.h"

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

  int64_t increment() const { return model_.Increment(); }
  void setIncrement(int64_t step) { model_.SetIncrement(step); }
  // Off: the buttons still step, but typing and Backspace are refused.
  bool editorEnabled() const { return model_.EditorEnabled(); }
  void setEditorEnabled(bool on) { model_.SetEditorEnabled(on); }

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

  // The rules; the line edit holds the text.
  DelayEditorModel model_;
  std::string ModelText() const { return text().toUtf8().toStdString(); }
};
