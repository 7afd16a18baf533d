// A time value editor: a long spin edit with a unit selector on its right,
// so that the number shown times 1000^unit is the time value in "ps".
#pragma once

#include <QComboBox>

#include "RXSpinLongEdit.h"

class TRXEditDelay : public TRXSpinLongEdit {
  Q_OBJECT
  Q_PROPERTY(qint64 Delay READ delay WRITE setDelay)
  Q_PROPERTY(int ItemIndex READ itemIndex WRITE setItemIndex)
  Q_PROPERTY(bool Filter READ filter WRITE setFilter)
  Q_PROPERTY(bool Editing READ editing WRITE setEditing)

 public:
  static constexpr int kSelectorWidth = kDelaySelectorWidth;
  static constexpr int kMaxTextLength = kDelayMaxTextLength;

  explicit TRXEditDelay(QWidget* parent = nullptr);

  // LongValue × 1000^ItemIndex; kFailed when the text or the product fails.
  int64_t delay() const;
  // A new time value: keeps the unit with Filter, else picks the largest unit
  // that shows it exactly (at most "sec"). Nothing happens for an equal value.
  void setDelay(int64_t value);
  // A value from the program: always normalised; ignored while Editing is on
  // and the user is typing in the control.
  void AssignDelay(int64_t value);

  int itemIndex() const { return model_.Unit(); }
  void setItemIndex(int index) { selector_->setCurrentIndex(index); }
  bool filter() const { return model_.Filter(); }
  void setFilter(bool on) { model_.SetFilter(on); }
  bool editing() const { return model_.Editing(); }
  void setEditing(bool on) { model_.SetEditing(on); }
  QComboBox* selector() const { return selector_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void initStyleOption(QStyleOptionSpinBox* option) const override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void unitChanged(int index);
  void showWritten(const std::optional<DelayEditorModel::Written>& written);

  QComboBox* selector_;
};
