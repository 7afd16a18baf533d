// TTableEdit: the modal editor of one list of up to 65 coefficients. The
// brace-list rules are those of dialogs/logic/CoefficientLists.
#pragma once

#include <QDialog>
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
  explicit TTableEdit(QWidget* parent = nullptr);

  // Shows `count` entries (at most 65) in the grid.
  void LoadList(const float* entries, int32_t count);
  // The texts of the entry row, one per column, as typed.
  std::vector<std::string> Cells() const;
  // The fewest columns the caller accepts; raises a shorter list.
  void SetMinimumColumns(int32_t minimum);

  QSpinBox* Columns;
  QTableWidget* StringGrid1;
  QPushButton* Ok_Btn;
  QLabel* RxLabel1;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ColumnsChange(int value);
};
