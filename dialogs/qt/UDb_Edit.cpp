#include "UDb_Edit.h"

#include <QAbstractItemDelegate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

TTableEdit::TTableEdit(QWidget* parent) : QDialog(parent) {
  setObjectName("TableEdit");
  setWindowTitle("TableEdit");

  RxLabel1 = new QLabel("Number of Columns", this);
  RxLabel1->setObjectName("RxLabel1");
  Columns = new QSpinBox(this);
  Columns->setObjectName("Columns");
  // The lists hold 65 entries; a larger count would reach past them.
  Columns->setRange(1, kListCapacity);
  Columns->setValue(1);

  StringGrid1 = new QTableWidget(2, 8, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setDefaultSectionSize(kTableColumnWidth + 1);  // the column and its grid line
  StringGrid1->horizontalHeader()->setMinimumSectionSize(kTableColumnWidth);
  StringGrid1->verticalHeader()->setDefaultSectionSize(24);
  StringGrid1->setEditTriggers(QAbstractItemView::AllEditTriggers);
  StringGrid1->setTabKeyNavigation(true);
  StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  StringGrid1->installEventFilter(this);
  // Enter in a cell editor confirms the cell and closes the dialog.
  connect(StringGrid1->itemDelegate(), &QAbstractItemDelegate::closeEditor, this,
          [this](QWidget*, QAbstractItemDelegate::EndEditHint hint) {
            if (hint == QAbstractItemDelegate::SubmitModelCache) accept();
          });

  Ok_Btn = new QPushButton("OK", this);
  Ok_Btn->setObjectName("Ok_Btn");
  Ok_Btn->setDefault(true);
  connect(Ok_Btn, &QPushButton::clicked, this, &QDialog::accept);

  auto* top = new QHBoxLayout;
  top->addWidget(RxLabel1);
  top->addWidget(Columns);
  top->addStretch();
  top->addWidget(Ok_Btn);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(StringGrid1, 0, Qt::AlignLeft | Qt::AlignTop);
  layout->addStretch();

  connect(Columns, &QSpinBox::valueChanged, this, &TTableEdit::ColumnsChange);
  ColumnsChange(Columns->value());
  resize(8 * (kTableColumnWidth + 1) + 40, 140);
}

void TTableEdit::SetMinimumColumns(int32_t minimum) { Columns->setMinimum(ClampColumns(minimum)); }

void TTableEdit::ColumnsChange(int value) {
  StringGrid1->setColumnCount(value);
  StringGrid1->setFixedHeight(TableGridHeight(value));
  StringGrid1->setHorizontalScrollBarPolicy(value < 9 ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
  StringGrid1->setFixedWidth(TableGridWidth(value));
  for (int i = 0; i < value; ++i) {
    if (StringGrid1->item(1, i) == nullptr) StringGrid1->setItem(1, i, new QTableWidgetItem);
    if (StringGrid1->item(1, i)->text().isEmpty()) StringGrid1->item(1, i)->setText("0");
    if (StringGrid1->item(0, i) != nullptr) continue;
    auto* number = new QTableWidgetItem(QString::number(i + 1));
    number->setFlags(Qt::ItemIsEnabled);
    StringGrid1->setItem(0, i, number);
  }
}

void TTableEdit::LoadList(const float* entries, int32_t count) {
  count = ClampListCount(count);
  Columns->setValue(count);
  ColumnsChange(Columns->value());  // the grid follows even when the value did not change
  const int shown = std::min<int>(count, StringGrid1->columnCount());
  for (int i = 0; i < shown; ++i) StringGrid1->item(1, i)->setText(QString::fromStdString(FormatEntry(entries[i])));
}

std::vector<std::string> TTableEdit::Cells() const {
  std::vector<std::string> cells;
  for (int i = 0; i < StringGrid1->columnCount(); ++i) {
    const QTableWidgetItem* cell = StringGrid1->item(1, i);
    cells.push_back(cell != nullptr ? cell->text().toStdString() : std::string());
  }
  return cells;
}

bool TTableEdit::eventFilter(QObject* watched, QEvent* event) {
  if (watched == StringGrid1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
