#include <gtest/gtest.h>

#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "DialogTestSupport.h"
#include "dialogs/qt/UDb_Edit.h"

namespace {

QString Cell(TTableEdit& e, int row, int column) { return e.StringGrid1->item(row, column)->text(); }

}  // namespace

TEST(TableEdit, LoadAndFormatBraceLists) {
  TestApp();
  TTableEdit editor;
  const float entries[3] = {1.0f, 0.5f, -2.0f};
  EXPECT_EQ(editor.LoadList(entries, 3), "{1,0.5,-2}");
  EXPECT_EQ(editor.ResultText(), "{1,0.5,-2}");
  EXPECT_EQ(editor.StringGrid1->columnCount(), 3);
  EXPECT_EQ(Cell(editor, 0, 0), "1");
  EXPECT_EQ(Cell(editor, 0, 2), "3");
  EXPECT_EQ(Cell(editor, 1, 1), "0.5");
  EXPECT_EQ(editor.EntryCount(), 3);

  // FormatList leaves the grid alone.
  const float six[6] = {1, 1, 1, 1, 1, 1};
  EXPECT_EQ(editor.FormatList(six, 6), "{1,1,1,1,1,1}");
  EXPECT_EQ(editor.StringGrid1->columnCount(), 3);
  EXPECT_EQ(editor.FormatList(six, 0), "{}");
  // At most 15 significant digits of the stored single value.
  const float tenth = 0.1f;
  EXPECT_EQ(editor.FormatList(&tenth, 1), "{0.100000001490116}");
  const float big = 123456792.0f;
  EXPECT_EQ(editor.FormatList(&big, 1), "{123456792}");
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

TEST(TableEdit, ReadListStopsAtTheFirstNonNumber) {
  TestApp();
  TTableEdit editor;
  const float entries[4] = {1, 2, 3, 4};
  editor.LoadList(entries, 4);
  editor.StringGrid1->item(1, 0)->setText("7.25");
  editor.StringGrid1->item(1, 1)->setText("abc");
  float out[65] = {9, 9, 9, 9};
  int32_t count = 0;
  EXPECT_EQ(editor.ReadList(out, count), "");
  EXPECT_EQ(out[0], 7.25f);
  EXPECT_EQ(out[1], 9.0f);
  EXPECT_EQ(out[2], 9.0f);
  EXPECT_EQ(count, 4);
  EXPECT_EQ(editor.ResultText(), "{1,2,3,4}");  // unchanged by the failed read

  editor.StringGrid1->item(1, 1)->setText(" -0.5");
  EXPECT_EQ(editor.ReadList(out, count), "{7.25, -0.5,3,4}");
  EXPECT_EQ(out[1], -0.5f);
  EXPECT_EQ(editor.ResultText(), "{7.25, -0.5,3,4}");
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
  float out[70];
  for (float& v : out) v = -1.0f;
  int32_t count = 0;
  editor.ReadList(out, count);
  EXPECT_EQ(count, 65);
  EXPECT_EQ(out[64], 64.0f);
  EXPECT_EQ(out[65], -1.0f);
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
