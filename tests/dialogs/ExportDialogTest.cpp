// The dialog exports as a host calls them: the plug-in loads the dialog
// module from its own folder; the host has no QApplication of its own.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QChartView>
#include <QLineSeries>
#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QVariant>
#include <cstdlib>
#include <cstring>

#include "FakeExtParameter.h"
#include "support/DialogExports.h"
#include "support/PluginFixture.h"
#include "numeric/ParameterRecords.h"

TEST(DialogExports, WithoutADisplayTheExportShowsAMessageAndReturns) {
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  FakeExtParameter host;
  host.language = "RUSSIAN";
  ShownMessages().clear();
  Export("GenersExtParams")(&host);
  ASSERT_EQ(ShownMessages().size(), 1u);
  // It says that the display is missing, not that a library failed to load.
  EXPECT_EQ(ShownMessages()[0].text,
            "RIR Eda Err:Нет дисплея для показа диалога (задайте DISPLAY или WAYLAND_DISPLAY)");
  EXPECT_EQ(QCoreApplication::instance(), nullptr);
  EXPECT_TRUE(host.dataSet.empty());
}

TEST(DialogExports, GeneratorDialogRunsOnTheModulesOwnApplication) {
  ASSERT_EQ(QCoreApplication::instance(), nullptr);
  FakeExtParameter host;
  host.typeName = "Sine_Init";  // only the part before "_" counts
  host.onData = [] {
    OnModal([](QWidget* dialog) {
      QObject* period = dialog->findChild<QObject*>("FSinePeriod");
      ASSERT_NE(period, nullptr);
      period->setProperty("Delay", QVariant::fromValue<qint64>(2000000));
      dialog->findChild<QAbstractButton*>("OKBtn")->click();
    });
  };
  ShownMessages().clear();
  Export("GenersExtParams")(&host);
  EXPECT_TRUE(ShownMessages().empty());
  ASSERT_EQ(host.dataSet.size(), 1u);
  ASSERT_EQ(host.dataSet[0].size(), sizeof(GeneratorParams));
  GeneratorParams r;
  std::memcpy(&r, host.dataSet[0].data(), sizeof r);
  EXPECT_EQ(r.Kind, 1);
  EXPECT_EQ(r.SinePeriod, 2000000);
  EXPECT_EQ(host.refs, 1);
  // The module keeps the application it made, for the next dialog.
  EXPECT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);

  host.dataSet.clear();
  host.onData = [] { OnModal([](QWidget* dialog) { dialog->findChild<QAbstractButton*>("CancelBtn")->click(); }); };
  Export("GenersExtParams")(&host);
  EXPECT_TRUE(host.dataSet.empty());

  // The transform dialog runs on the same application; Cancel stores nothing.
  host.onData = [] { OnModal([](QWidget* dialog) { dialog->findChild<QAbstractButton*>("BitBtn1")->click(); }); };
  Export("TransExtParams")(&host);
  EXPECT_TRUE(host.dataSet.empty());
}

TEST(DialogExports, LibraryMessagesBecomeCentredModalBoxesWithoutAHostHandler) {
  Plugin().SetMessageHandler(nullptr, nullptr);
  FakeExtParameter host;
  host.typeName = "Squiggle";
  struct Seen {
    QString text;
    int icon = -1;
    int buttons = 0;
    QPoint offCentre;
  } seen;
  host.onTypeName = [&seen] {
    OnModal([&seen](QWidget* w) {
      auto* box = qobject_cast<QMessageBox*>(w);
      ASSERT_NE(box, nullptr);
      seen.text = box->text();
      seen.icon = box->icon();
      seen.buttons = static_cast<int>(box->buttons().size());
      seen.offCentre = box->frameGeometry().center() - box->screen()->availableGeometry().center();
      box->accept();
    });
  };
  host.onData = [] { OnModal([](QWidget* dialog) { dialog->findChild<QAbstractButton*>("CancelBtn")->click(); }); };
  Export("GenersExtParams")(&host);
  EXPECT_EQ(seen.text, "RIR Eda Err:Squiggle - Function Name not found");
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  EXPECT_EQ(seen.buttons, 1);
  EXPECT_LE(seen.offCentre.manhattanLength(), 4);
}

TEST(DialogExports, FormulaButtonChecksWithThePluginsEvaluator) {
  FakeExtParameter host;
  host.typeName = "Func";
  host.language = "ENGLISH";
  host.onData = [] {
    OnModal([](QWidget* dialog) {
      auto* formula = dialog->findChild<QObject*>("Func_Str");
      auto* check = dialog->findChild<QAbstractButton*>("BitBtn1");
      ASSERT_NE(formula, nullptr);
      ASSERT_NE(check, nullptr);
      formula->setProperty("text", "2*(T+");
      check->click();
      formula->setProperty("text", "T*2+1");
      check->click();
      dialog->findChild<QAbstractButton*>("OKBtn")->click();
    });
  };
  ShownMessages().clear();
  Export("GenersExtParams")(&host);
  ASSERT_EQ(ShownMessages().size(), 2u);
  EXPECT_EQ(ShownMessages()[0].severity, 0);
  EXPECT_EQ(ShownMessages()[0].text.rfind("RIR Eda Err:2*(t+ - The formula is entered incorrectly or ", 0), 0u)
      << ShownMessages()[0].text;
  EXPECT_EQ(ShownMessages()[1].severity, 1);
  EXPECT_EQ(ShownMessages()[1].text, "The formula is entered correctly");
  ASSERT_EQ(host.dataSet.size(), 1u);
  GeneratorParams r;
  std::memcpy(&r, host.dataSet[0].data(), sizeof r);
  EXPECT_EQ(r.Formula.Get(), "t*2+1");  // lower-cased, as the check evaluated it
  EXPECT_EQ(r.Kind, 0);
}

namespace {
std::vector<QPointF> PreviewOf(QWidget* dialog) {
  auto* view = dialog->findChild<QChartView*>("Chart");
  if (view == nullptr || view->chart()->series().isEmpty()) return {};
  auto* series = qobject_cast<QLineSeries*>(view->chart()->series().first());
  if (series == nullptr) return {};
  const QList<QPointF> points = series->points();
  return {points.begin(), points.end()};
}
}  // namespace

TEST(DialogExports, PreviewRunsTheBlocksWaveformAtThePointIndex) {
  FakeExtParameter host;
  host.typeName = "Hann";
  GeneratorParams r = DefaultGeneratorParams();
  r.WindowLen = 4;
  host.data.resize(sizeof r);
  std::memcpy(host.data.data(), &r, sizeof r);
  std::vector<QPointF> hann, function;
  host.onData = [&] {
    OnModal([&](QWidget* dialog) {
      hann = PreviewOf(dialog);
      dialog->findChild<QAbstractButton*>("CancelBtn")->click();
    });
  };
  Export("GenersExtParams")(&host);
  ASSERT_EQ(hann.size(), 1024u);
  for (size_t i = 0; i < 8; ++i) {
    EXPECT_EQ(hann[i].x(), static_cast<double>(i));
    EXPECT_EQ(hann[i].y(), (std::vector<double>{0, 75, 150, 75})[i % 4]) << i;
  }

  host.typeName = "Func";
  r.Formula.Set("t*2+0.5");  // ties go to even: 0, 2, 4, 6 ... from 0.5, 2.5, 4.5
  std::memcpy(host.data.data(), &r, sizeof r);
  host.onData = [&] {
    OnModal([&](QWidget* dialog) {
      function = PreviewOf(dialog);
      dialog->findChild<QAbstractButton*>("CancelBtn")->click();
    });
  };
  Export("GenersExtParams")(&host);
  ASSERT_EQ(function.size(), 128u);
  EXPECT_EQ(function[0].y(), 0);
  EXPECT_EQ(function[1].y(), 2);
  EXPECT_EQ(function[127].y(), 254);
}
