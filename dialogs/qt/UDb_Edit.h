// TTableEdit: the modal editor of one list of up to 65 coefficients.
#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/logic/CoefficientLists.h"

class QLabel;
class QPushButton;
class QSpinBox;
class QTableWidget;

class TTableEdit : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kCapacity = kListCapacity;
  static constexpr int kColumnWidth = kTableColumnWidth;

  explicit TTableEdit(QWidget* parent = nullptr);

  // Shows count entries in the grid; returns their brace list.
  QString LoadList(const float* entries, int32_t count);
  // The brace list of the entries, grid untouched.
  QString FormatList(const float* entries, int32_t count);
  // Reads the grid back into entries (room for 65) and count. A cell that is
  // not a number stops the read there and gives an empty text.
  QString ReadList(float* entries, int32_t& count);
  // The texts of row 1, as typed.
  std::vector<std::string> Cells() const;

  // Sets the smallest entry count the caller accepts.
  void SetMinimumColumns(int32_t minimum);
  int32_t EntryCount() const { return EntryCount_; }
  const QString& ResultText() const { return ResultText_; }

  QSpinBox* Columns;
  QTableWidget* StringGrid1;
  QPushButton* Ok_Btn;
  QLabel* RxLabel1;

  // General decimal form, at most 15 significant digits, no trailing zeros.
  static QString FormatEntry(double value);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ColumnsChange(int value);

  int32_t EntryCount_ = 1;
  QString ResultText_;
};
