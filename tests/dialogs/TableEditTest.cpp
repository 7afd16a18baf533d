#include <gtest/gtest.h>

#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "DialogTestSupport.h"
#include "dialogs/qt/UDb_Edit.h"

namespace {

QString Cell(TTableEdit& e, int row, int column) { return e.StringGrid1->item(row, column)->text(); }

}  // namespace

// The brace-list rules themselves are the logic's (CoefficientLists); here
// the grid that shows and reads them.
TEST(TableEdit, LoadShowsTheEntriesAndCellsReadThemBack) {
  TestApp();
  TTableEdit editor;
  const float entries[3] = {1.0f, 0.5f, -2.0f};
  editor.LoadList(entries, 3);
  EXPECT_EQ(editor.StringGrid1->columnCount(), 3);
  EXPECT_EQ(Cell(editor, 0, 0), "1");
  EXPECT_EQ(Cell(editor, 0, 2), "3");
  EXPECT_EQ(Cell(editor, 1, 1), "0.5");
  const float tenth = 0.1f;
  editor.LoadList(&tenth, 1);
  EXPECT_EQ(Cell(editor, 1, 0), "0.100000001490116");
  editor.StringGrid1->item(1, 0)->setText(" -0.5");
  EXPECT_EQ(editor.Cells(), std::vector<std::string>{" -0.5"});
}

TEST(TableEdit, ColumnsResizeGridAndKeepEntries) {
  TestApp();
  TTableEdit editor;
  const float entries[3] = {1.0f, 0.5f, -2.0f};
  editor.LoadList(entries, 3);
  EXPECT_EQ(editor.StringGrid1->height(), 53);
  EXPECT_EQ(editor.StringGrid1->width(), 3 * 65 + 3);
  editor.Columns->setValue(5);
  EXPECT_EQ(editor.StringGrid1->columnCount(), 5);
  EXPECT_EQ(Cell(editor, 1, 0), "1");
  EXPECT_EQ(Cell(editor, 1, 2), "-2");
  EXPECT_EQ(Cell(editor, 1, 3), "0");
  EXPECT_EQ(Cell(editor, 1, 4), "0");
  EXPECT_EQ(Cell(editor, 0, 4), "5");

  editor.Columns->setValue(8);
  EXPECT_EQ(editor.StringGrid1->height(), 53);
  EXPECT_EQ(editor.StringGrid1->width(), 8 * 65 + 3);
  editor.Columns->setValue(9);
  EXPECT_EQ(editor.StringGrid1->height(), 73);
  editor.Columns->setValue(40);
  EXPECT_EQ(editor.StringGrid1->height(), 73);
  EXPECT_EQ(editor.StringGrid1->width(), 8 * 65 + 3);

  // The minimum the caller sets raises a shorter list.
  editor.LoadList(entries, 1);
  editor.SetMinimumColumns(6);
  EXPECT_EQ(editor.Columns->value(), 6);
  EXPECT_EQ(editor.StringGrid1->columnCount(), 6);
}

TEST(TableEdit, CountNeverExceedsTheListCapacity) {
  TestApp();
  TTableEdit editor;
  float entries[70];
  for (int i = 0; i < 70; ++i) entries[i] = static_cast<float>(i);
  editor.LoadList(entries, 1000);
  EXPECT_EQ(editor.Columns->value(), 65);
  editor.Columns->setValue(1000000);
  EXPECT_EQ(editor.Columns->value(), 65);
  const std::vector<std::string> cells = editor.Cells();
  ASSERT_EQ(cells.size(), 65u);
  EXPECT_EQ(cells[64], "64");
  editor.SetMinimumColumns(500);
  EXPECT_EQ(editor.Columns->minimum(), 65);
}

TEST(TableEdit, EnterInTheGridClosesTheDialog) {
  TestApp();
  TTableEdit editor;
  editor.show();
  QTest::keyClick(editor.StringGrid1, Qt::Key_Return);
  EXPECT_EQ(editor.result(), QDialog::Accepted);
  EXPECT_FALSE(editor.isVisible());
}
