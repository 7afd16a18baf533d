// The long spin edit and the time value editor, driven as a user and as the
// generator dialog drive them.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "dialogs/qt/RXEditDelay.h"
#include "dialogs/qt/RXSpinLongEdit.h"

namespace {
constexpr int64_t kMax = INT64_MAX;

QLineEdit* EditOf(QAbstractSpinBox& box) { return box.findChild<QLineEdit*>(); }
}  // namespace

TEST(SpinLongEdit, TextReadsAsNonNegativeNumberOrFailsToTheLargestValue) {
  TRXSpinLongEdit e;
  e.setText("123");
  EXPECT_EQ(e.longValue(), 123);
  e.setText("");
  EXPECT_EQ(e.longValue(), 0);
  e.setText("12a");  // pasted, not typed
  EXPECT_EQ(e.longValue(), kMax);
  e.setText("-5");
  EXPECT_EQ(e.longValue(), kMax);
  e.setText("9223372036854775807");
  EXPECT_EQ(e.longValue(), kMax);
  e.setText("9223372036854775808");  // one past: does not wrap
  EXPECT_EQ(e.longValue(), kMax);
  e.setText("00042");
  EXPECT_EQ(e.longValue(), 42);

  e.setLongValue(0);
  EXPECT_EQ(e.text(), "0");
  e.setLongValue(-7);
  EXPECT_EQ(e.text(), "0");
  e.setLongValue(1234567890123LL);
  EXPECT_EQ(e.text(), "1234567890123");
}

TEST(SpinLongEdit, ButtonsStepByTheIncrementAndNeverGoNegative) {
  TRXSpinLongEdit e;
  e.setIncrement(5);
  e.setLongValue(3);
  e.stepBy(-1);
  EXPECT_EQ(e.longValue(), 0);
  e.stepBy(-1);
  EXPECT_EQ(e.longValue(), 0);
  e.setLongValue(5);
  e.stepBy(-1);
  EXPECT_EQ(e.longValue(), 0);
  e.stepBy(2);
  EXPECT_EQ(e.longValue(), 10);

  e.setLongValue(kMax - 2);
  e.stepBy(1);  // would overflow
  EXPECT_EQ(e.longValue(), kMax);
  e.setText("x");
  e.stepBy(1);
  EXPECT_EQ(e.longValue(), kMax);

  e.setLongValue(20);
  e.setReadOnly(true);
  e.stepBy(1);
  e.stepBy(-1);
  EXPECT_EQ(e.longValue(), 20);
}

TEST(SpinLongEdit, TypingAcceptsOnlyDigitsAndEditing) {
  TRXSpinLongEdit e;
  e.setText("");
  QTest::keyClicks(&e, "1a-2.3 +4,");
  EXPECT_EQ(e.text(), "1234");
  QTest::keyClick(&e, Qt::Key_Backspace);
  EXPECT_EQ(e.text(), "123");
  QTest::keyClick(&e, Qt::Key_Up);  // the arrow keys step
  EXPECT_EQ(e.longValue(), 124);

  e.setEditorEnabled(false);
  QTest::keyClicks(&e, "56");
  QTest::keyClick(&e, Qt::Key_Backspace);
  EXPECT_EQ(e.text(), "124");
  QTest::keyClick(&e, Qt::Key_Down);  // still steps
  EXPECT_EQ(e.longValue(), 123);
}

TEST(EditDelay, WritingNormalisesToTheLargestExactUnit) {
  TRXEditDelay d;
  EXPECT_EQ(d.selector()->count(), 5);
  EXPECT_EQ(d.selector()->itemText(0), "ps");
  EXPECT_EQ(d.selector()->itemText(4), "sec");
  EXPECT_EQ(d.itemIndex(), 0);
  EXPECT_EQ(EditOf(d)->maxLength(), 20);

  struct Case {
    int64_t delay;
    const char* text;
    int unit;
  };
  for (const Case& c : {Case{1000, "1", 1}, Case{2500000, "2500", 1}, Case{3000000000000LL, "3", 4},
                        Case{5000000000000000LL, "5000", 4}, Case{1001, "1001", 0}, Case{7000000, "7", 2}}) {
    d.setDelay(c.delay);
    EXPECT_EQ(d.text(), c.text) << c.delay;
    EXPECT_EQ(d.itemIndex(), c.unit) << c.delay;
    EXPECT_EQ(d.delay(), c.delay);
  }
  d.setDelay(0);
  EXPECT_EQ(d.text(), "0");
  EXPECT_EQ(d.itemIndex(), 0);

  d.setText("12x");
  EXPECT_EQ(d.delay(), kMax);
  d.setText("9223372036854775");  // fits as a number, overflows in "sec"
  d.setItemIndex(4);
  EXPECT_EQ(d.delay(), kMax);
}

TEST(EditDelay, FilterKeepsTheUnitAndRoundsEachStep) {
  TRXEditDelay d;
  d.setFilter(true);
  d.setItemIndex(2);  // "us"
  d.setText("0");
  d.setDelay(7000000);
  EXPECT_EQ(d.itemIndex(), 2);
  EXPECT_EQ(d.text(), "7");
  // 2500500 -> 2500.5 -> 2500 (ties to even) -> 2.5 -> 2
  d.setDelay(2500500);
  EXPECT_EQ(d.text(), "2");
  d.setDelay(3499);  // 3.499 -> 3 -> 0.003 -> 0
  EXPECT_EQ(d.text(), "0");
  d.setDelay(1501000);  // 1501 -> 1.501 -> 2
  EXPECT_EQ(d.text(), "2");

  // A program value is normalised whatever Filter says.
  d.AssignDelay(3000000000000LL);
  EXPECT_EQ(d.itemIndex(), 4);
  EXPECT_EQ(d.text(), "3");
}

TEST(EditDelay, UnitSwitchScalesTheTimeOrKeepsItWithFilter) {
  TRXEditDelay d;
  QSignalSpy changed(&d, &TRXEditDelay::changed);
  d.setText("7");
  changed.clear();
  d.setItemIndex(2);  // ps -> us, number stays
  EXPECT_EQ(d.text(), "7");
  EXPECT_EQ(d.delay(), 7000000);
  EXPECT_GE(changed.count(), 1);

  TRXEditDelay f;
  f.setFilter(true);
  f.setText("7000000");
  f.setItemIndex(2);  // the text loses six digits, the time stays
  EXPECT_EQ(f.text(), "7");
  EXPECT_EQ(f.delay(), 7000000);
  f.setItemIndex(0);  // downwards the text is unchanged
  EXPECT_EQ(f.text(), "7");
  f.setText("12345");
  f.setItemIndex(2);  // shorter than six digits
  EXPECT_EQ(f.text(), "0");
  f.setText("123456");
  f.setItemIndex(4);  // exactly six digits: nothing remains
  EXPECT_EQ(f.text(), "0");
}

TEST(EditDelay, AssignIsIgnoredWhileTheUserEditsAndEqualValuesChangeNothing) {
  TRXEditDelay d;
  d.setText("1000");
  QSignalSpy changed(&d, &TRXEditDelay::changed);
  d.setDelay(1000);  // equal: the unit stays "ps"
  EXPECT_EQ(d.itemIndex(), 0);
  EXPECT_EQ(changed.count(), 0);

  d.setEditing(true);
  d.show();
  d.activateWindow();
  d.setFocus();
  if (!QTest::qWaitFor([&] { return d.hasFocus(); }, 2000)) GTEST_SKIP() << "no input focus on this platform";
  d.AssignDelay(5000);
  EXPECT_EQ(d.text(), "1000");
  d.setEditing(false);
  d.AssignDelay(5000);
  EXPECT_EQ(d.text(), "5");
  EXPECT_EQ(d.itemIndex(), 1);
}
