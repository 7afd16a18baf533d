// The generator dialog over a fake host interface, with the plug-in's own
// catalogue, defaults and messages; the waveform code is replaced by a
// recorder so the preview can be checked without it.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QScreen>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "FakeExtParameter.h"
#include "dialogs/qt/DialogChrome.h"
#include "dialogs/qt/DialogRunner.h"
#include "dialogs/qt/RXEditDelay.h"
#include "dialogs/qt/UGenersForm.h"
#include "framework/BlockCatalogue.h"
#include "framework/Errors.h"
#include "numeric/ParameterRecords.h"
#include "support/RecordBytes.h"
#include "support/SampleRecords.h"

namespace {

struct Shown {
  int32_t severity;
  std::string text;
};
std::vector<Shown> g_shown;
struct PreviewCall {
  int32_t kind;
  int32_t count;
  GeneratorParams record;
};
std::vector<PreviewCall> g_previews;
bool g_formulaGood = true;
std::string g_checkedFormula;

void Capture(int32_t severity, const char* text, void*) { g_shown.push_back({severity, text}); }

RirDialogServices TestServices() {
  RirDialogServices s{};
  s.size = sizeof s;
  s.showError = [](int32_t n, const char* arg) { ShowLibError(n, Language, arg); };
  s.showInfo = [](int32_t n) { ShowLibInfo(n, Language); };
  s.generatorKindOf = [](const char* name) { return GeneratorKindOf(name); };
  s.generatorHelpTopic = [](int32_t kind) { return GeneratorHelpTopic(kind); };
  s.generatorDefaults = [](void* r) {
    const GeneratorParams d = DefaultGeneratorParams();
    std::memcpy(r, &d, sizeof d);
  };
  s.checkFormula = [](const char* f) {
    g_checkedFormula = f;
    if (!g_formulaGood) ShowLibError(msgBadFormula, Language, f);
    return g_formulaGood;
  };
  s.generatorPreview = [](int32_t kind, const void* r, int32_t count, int64_t* out) {
    PreviewCall call{kind, count, {}};
    std::memcpy(&call.record, r, sizeof call.record);
    g_previews.push_back(call);
    for (int32_t t = 0; t < count; ++t) out[t] = 3 * t - kind;
  };
  return s;
}

std::vector<uint8_t> Bytes(const GeneratorParams& r) { return RecordBytes(r); }

GeneratorParams Stored(const FakeExtParameter& host) {
  GeneratorParams r{};
  EXPECT_EQ(host.dataSet.size(), 1u);
  if (!host.dataSet.empty() && host.dataSet.back().size() == sizeof r)
    std::memcpy(&r, host.dataSet.back().data(), sizeof r);
  return r;
}

// The form over the fake host, as the module's runner drives it.
class HostedGenersForm : public TGenersForm {
 public:
  explicit HostedGenersForm(FakeExtParameter& host, const RirDialogServices& services = TestServices())
      : TGenersForm(HooksFromServices(services, &host)), host_(host) {
    LoadForm(*this, ReadRequest(&host));
  }
  // What OK hands back to the host.
  void storeResults() {
    setResult(QDialog::Accepted);
    WriteResult(&host_, Store());
  }

 private:
  FakeExtParameter& host_;
};

class GenersForm : public ::testing::Test {
 protected:
  void SetUp() override {
    SetHostMessageHandler(Capture, nullptr);
    g_shown.clear();
    g_previews.clear();
    g_formulaGood = true;
  }
  // Builds and shows the dialog the way the module does, without the modal loop.
  std::unique_ptr<HostedGenersForm> Open() {
    auto form = std::make_unique<HostedGenersForm>(host);
    form->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    return form;
  }
  template <typename T>
  static T* Child(TGenersForm& f, const char* name) {
    T* w = f.findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }
  static std::vector<int> VisibleTabs(TGenersForm& f) {
    std::vector<int> tabs;
    for (int i = 0; i < f.pages()->count(); ++i)
      if (f.pages()->isTabVisible(i)) tabs.push_back(i);
    return tabs;
  }
  // Replaces a spin box's text as a user would.
  static void Type(QAbstractSpinBox* box, const QString& text) {
    box->setFocus();
    QLineEdit* edit = box->findChild<QLineEdit*>();
    edit->selectAll();
    if (text.isEmpty())
      QTest::keyClick(edit, Qt::Key_Delete);
    else
      QTest::keyClicks(box, text);  // replaces the selection
  }

  FakeExtParameter host;
};

TEST_F(GenersForm, TabsFollowTheBlockType) {
  host.typeName = "Sine";
  {
    auto f = Open();
    EXPECT_EQ(VisibleTabs(*f), std::vector<int>{gpSine});
    EXPECT_EQ(f->pages()->currentIndex(), gpSine);
    EXPECT_EQ(f->pageCode(), gkSine);
  }
  host.typeName = "All_in_One";  // default record: the modulated sine
  {
    auto f = Open();
    std::vector<int> all;
    for (int i = 0; i < kGeneratorPageCount; ++i)
      if (i != gpRandom) all.push_back(i);
    EXPECT_EQ(VisibleTabs(*f), all);
    EXPECT_EQ(f->pages()->currentIndex(), gpModSine);
    EXPECT_EQ(f->pageCode(), gkModSine);
  }
  host.typeName = "Hann";
  {
    auto f = Open();
    EXPECT_EQ(VisibleTabs(*f), std::vector<int>{gpWindowing});
    EXPECT_EQ(Child<QComboBox>(*f, "Wind_type")->currentText(), "Hann");
    EXPECT_EQ(f->pageCode(), gkHann);
  }
  host.typeName = "Random";  // its page is never offered, but the block keeps its kind
  {
    auto f = Open();
    EXPECT_TRUE(VisibleTabs(*f).empty());
    f->storeResults();
    EXPECT_EQ(Stored(host).Kind, gkRandom);
  }
  EXPECT_TRUE(g_shown.empty());
  host.typeName = "Squiggle";  // not a generator: message 22, every page offered
  {
    auto f = Open();
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(g_shown[0].text, "RIR Eda Err:Squiggle - Function Name not found");
    EXPECT_EQ(VisibleTabs(*f).size(), 11u);
    EXPECT_EQ(f->pages()->currentIndex(), gpModSine);
  }
}

TEST_F(GenersForm, AllInOneOpensOnTheStoredKindAndStoresTheActivePage) {
  host.typeName = "All_in_One";
  GeneratorParams r = DefaultGeneratorParams();
  r.Kind = gkHamming;
  host.data = Bytes(r);
  {
    auto f = Open();
    EXPECT_EQ(f->pages()->currentIndex(), gpWindowing);
    EXPECT_EQ(Child<QComboBox>(*f, "Wind_type")->currentText(), "Hamming");
    f->pages()->setCurrentIndex(gpGaussian);
    f->storeResults();
  }
  EXPECT_EQ(Stored(host).Kind, gkGaussian);

  host.dataSet.clear();
  {
    auto f = Open();
    f->pages()->setCurrentIndex(gpFunc);
    f->pages()->setCurrentIndex(gpWindowing);  // back: the combo's window
    f->storeResults();
  }
  EXPECT_EQ(Stored(host).Kind, gkHamming);
}

TEST_F(GenersForm, ChoosingHammingForAHannBlockStoresKind13) {
  host.typeName = "Hann";
  auto f = Open();
  auto* type = Child<QComboBox>(*f, "Wind_type");
  type->setCurrentIndex(type->findText("Hamming"));
  EXPECT_EQ(f->pageCode(), gkHamming);
  f->storeResults();
  EXPECT_EQ(Stored(host).Kind, gkHamming);
}

// What the user cannot reach stays out of reach: the hidden Random page,
// other windows of a one-window block, a position off the screen.
TEST_F(GenersForm, OnlyReachableChoicesAreOffered) {
  host.typeName = "All_in_One";
  {
    auto f = Open();
    f->pages()->setCurrentIndex(gpConstant);
    for (int i = 0; i < 2 * kGeneratorPageCount; ++i) {
      QTest::keyClick(f->pages(), Qt::Key_Tab, Qt::ControlModifier);
      ASSERT_NE(f->pages()->currentIndex(), gpRandom) << i;
    }
    f->pages()->setCurrentIndex(gpRandom);  // even when asked for directly
    EXPECT_NE(f->pages()->currentIndex(), gpRandom);
    f->storeResults();
  }
  EXPECT_NE(Stored(host).Kind, gkRandom);

  host.typeName = "Hann";
  host.dataSet.clear();
  {
    auto f = Open();
    auto* type = Child<QComboBox>(*f, "Wind_type");
    auto* model = qobject_cast<QStandardItemModel*>(type->model());
    ASSERT_NE(model, nullptr);
    for (int i = 0; i < type->count(); ++i) EXPECT_EQ(model->item(i)->isEnabled(), type->itemText(i) == "Hann") << i;
    type->setFocus();
    QTest::keyClick(type, Qt::Key_Down);
    EXPECT_EQ(type->currentText(), "Hann");
  }

  host.typeName = "Sine";
  host.position = std::vector<int32_t>{3000, -2000};
  {
    auto f = Open();
    const QRect area = f->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(f->frameGeometry().topLeft())) << f->x() << "," << f->y();
    // As far right as the dialog's width allows (it may be wider than the test screen).
    EXPECT_LE(f->x(), std::max(area.left(), area.right() + 1 - f->width()));
    f->storeResults();  // placed by the program, not moved: nothing stored
  }
  EXPECT_TRUE(host.positionsSet.empty());
}

// The first field has the focus and every unit selector takes it from the
// keyboard; periods stay within 1..2000000000 of the unit shown; formulas are
// stored as they run; OK without a change gives the record back as it came.
TEST_F(GenersForm, KeyboardLimitsAndUnchangedRecords) {
  host.typeName = "Sine";
  GeneratorParams stored = DefaultGeneratorParams();
  stored.Kind = gkModSine;  // not the page's kind: still kept when nothing changes
  stored.SineAmp = 123;
  host.data = Bytes(stored);
  {
    auto f = Open();
    f->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(f.get()));
    auto* period = Child<TRXEditDelay>(*f, "FSinePeriod");
    EXPECT_TRUE(period->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == period);
    EXPECT_TRUE(period->selector()->focusPolicy() & Qt::TabFocus);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), period->selector());  // Tab reaches the unit
    f->storeResults();
  }
  EXPECT_EQ(host.dataSet.at(0), Bytes(stored));

  host.dataSet.clear();
  host.typeName = "All_in_One";
  {
    auto f = Open();
    auto* period = Child<TRXEditDelay>(*f, "FSinePeriod");
    Type(period, "99999999999999999999");  // 20 digits, beyond 64 bits
    EXPECT_EQ(period->longValue(), 2000000000);
    auto* tone = Child<TRXEditDelay>(*f, "FModMainTone");
    Type(tone, "2000000001");
    EXPECT_EQ(tone->longValue(), 2000000000);
    f->pages()->setCurrentIndex(gpFunc);
    Child<QLineEdit>(*f, "Func_Str")->setText("SIN(t/10)*100");
    f->storeResults();
  }
  const GeneratorParams r = Stored(host);
  EXPECT_EQ(r.Formula.Get(), "sin(t/10)*100");
  EXPECT_LE(r.SinePeriod, 2000000000LL * 1000);
  EXPECT_GT(r.SinePeriod, 0);
}

TEST_F(GenersForm, PositionIsStoredOnlyWhenTheDialogMoved) {
  host.position = std::vector<int32_t>{100, 60};  // the whole dialog fits the test screen there
  {
    auto f = Open();
    EXPECT_EQ(f->pos(), QPoint(100, 60));
    f->storeResults();
  }
  EXPECT_TRUE(host.positionsSet.empty());
  EXPECT_EQ(host.dataSet.size(), 1u);
  EXPECT_EQ(host.dataSet[0].size(), sizeof(GeneratorParams));

  {
    auto f = Open();
    f->move(200, 150);
    QTest::qWait(20);
    f->storeResults();
  }
  ASSERT_EQ(host.positionsSet.size(), 1u);
  EXPECT_EQ(host.positionsSet[0], (std::vector<int32_t>{200, 150}));

  host.position = std::vector<int32_t>{1, 2, 3};  // not 8 bytes... still 8 by size: left, top used
  host.positionsSet.clear();
  host.position.reset();
  {
    auto f = Open();  // no stored position: placed by the system, not stored
    f->storeResults();
  }
  EXPECT_TRUE(host.positionsSet.empty());
}

TEST_F(GenersForm, ModalRunStoresOnOkOnlyAndBalancesReferences) {
  host.typeName = "Constant";
  host.onData = [this] {
    QTimer::singleShot(0, [] {
      auto* f = qobject_cast<TGenersForm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      f->findChild<QSpinBox*>("FConstant")->setValue(-77);
      f->findChild<QPushButton*>("OKBtn")->click();
    });
  };
  EXPECT_EQ(RunDialog(rdkGenerator, &host, TestServices()), rdsShown);
  EXPECT_EQ(host.refs, 1);
  EXPECT_EQ(Stored(host).ConstantValue, -77.0);
  EXPECT_EQ(Stored(host).Kind, gkConstant);

  host.dataSet.clear();
  host.onData = [] {
    QTimer::singleShot(0, [] {
      auto* f = qobject_cast<TGenersForm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      f->findChild<QSpinBox*>("FConstant")->setValue(5);
      f->findChild<QPushButton*>("CancelBtn")->click();
    });
  };
  EXPECT_EQ(RunDialog(rdkGenerator, &host, TestServices()), rdsShown);
  EXPECT_TRUE(host.dataSet.empty());
  EXPECT_TRUE(host.positionsSet.empty());
  EXPECT_EQ(host.refs, 1);
}

TEST_F(GenersForm, EditRulesClampLengthsAndForcePeriods) {
  host.typeName = "All_in_One";
  auto f = Open();
  auto* black = Child<QSpinBox>(*f, "BlackLen");
  Type(black, "5000");
  EXPECT_EQ(black->value(), 1000);
  auto* window = Child<QSpinBox>(*f, "WindowLen");
  Type(window, "999");
  EXPECT_EQ(window->value(), 999);
  auto* constant = Child<QSpinBox>(*f, "FConstant");
  Type(constant, "-4321");
  EXPECT_EQ(constant->value(), -1000);
  Type(constant, "");  // empty text: left alone
  EXPECT_EQ(constant->cleanText(), "");

  auto* period = Child<TRXEditDelay>(*f, "FSinePeriod");
  ASSERT_EQ(period->itemIndex(), 1);  // the default 10000 shows as 10 ns
  Type(period, "0");
  EXPECT_EQ(period->text(), "1");  // one of the unit shown
  EXPECT_EQ(period->delay(), 1000);
  period->setItemIndex(0);
  EXPECT_EQ(period->delay(), 1);
  Type(period, "");
  EXPECT_EQ(period->text(), "1");
  auto* tone = Child<TRXEditDelay>(*f, "FModMainTone");
  Type(tone, "250");
  tone->setItemIndex(1);  // 250 ns
  EXPECT_EQ(tone->delay(), 250000);

  auto* beta = Child<QDoubleSpinBox>(*f, "FBeta");
  beta->setValue(-2.6);
  auto* alpha = Child<QDoubleSpinBox>(*f, "FAlpha");
  alpha->setValue(2.5);  // ties go to even
  f->storeResults();
  const GeneratorParams r = Stored(host);
  EXPECT_EQ(r.Beta, -3);
  EXPECT_EQ(r.Alpha, 2);
  EXPECT_EQ(r.BlackLen, 1000);
  EXPECT_EQ(r.WindowLen, 999);
  EXPECT_EQ(r.SinePeriod, 1);
  EXPECT_EQ(r.ModMainTone, 250000);
}

TEST_F(GenersForm, RangeBoundsFollowEachOther) {
  host.typeName = "All_in_One";
  auto f = Open();
  auto* high = Child<QSpinBox>(*f, "FHigh");
  auto* low = Child<QSpinBox>(*f, "FLow");
  high->setValue(40);
  EXPECT_EQ(high->minimum(), -50);  // the low value
  EXPECT_EQ(low->maximum(), 40);
  low->setValue(100);  // above High: held at High
  EXPECT_EQ(low->value(), 40);
  auto* max = Child<QSpinBox>(*f, "FMaxValue");
  auto* min = Child<QSpinBox>(*f, "FMinValue");
  max->setValue(12);
  EXPECT_EQ(max->minimum(), -1);
  EXPECT_EQ(min->maximum(), 12);
}

TEST_F(GenersForm, StoredRecordsRoundTripUnchanged) {
  host.typeName = "All_in_One";
  const GeneratorParams r = GeneratorRecordOffDefaults();
  host.data = Bytes(r);
  {
    auto f = Open();
    EXPECT_EQ(Child<QSpinBox>(*f, "WindowLen")->value(), 300);
    EXPECT_EQ(Child<QSpinBox>(*f, "BlackLen")->value(), 1024);
    EXPECT_EQ(Child<TRXEditDelay>(*f, "FModSinePeriod")->text(), "2");
    EXPECT_EQ(Child<TRXEditDelay>(*f, "FModSinePeriod")->itemIndex(), 1);
    EXPECT_TRUE(Child<QRadioButton>(*f, "isSingle")->isChecked());
    f->storeResults();
  }
  EXPECT_EQ(host.dataSet.at(0), Bytes(r));

  // The defaults, for a block of its own kind.
  host.typeName = "Tone";
  host.data.clear();
  host.dataSet.clear();
  {
    auto f = Open();
    f->storeResults();
  }
  GeneratorParams expected = DefaultGeneratorParams();
  expected.Kind = gkTone;
  EXPECT_EQ(host.dataSet.at(0), Bytes(expected));
}

TEST_F(GenersForm, MalformedRecordsAreShownSafely) {
  host.typeName = "All_in_One";
  GeneratorParams r = DefaultGeneratorParams();
  r.Kind = 99;
  r.MinValue = std::nan("");
  r.ToneMag = 1e300;
  r.WindowLen = -5;
  r.Formula.length = 255;  // longer than the record holds
  std::memset(r.Formula.chars, 'x', sizeof r.Formula.chars);
  host.data = Bytes(r);
  {
    auto f = Open();
    EXPECT_EQ(Child<QLineEdit>(*f, "Func_Str")->text().size(), 55);
    EXPECT_EQ(Child<QSpinBox>(*f, "FTone_Mag")->value(), 1000000000);
    EXPECT_EQ(Child<QSpinBox>(*f, "WindowLen")->value(), 2);
    f->storeResults();
  }
  const GeneratorParams back = Stored(host);
  EXPECT_EQ(back.Formula.Size(), 50u);  // the first 50 characters are kept
  EXPECT_GE(back.Kind, 0);

  // A record of the wrong size is ignored.
  host.data.assign(100, 0xFF);
  host.dataSet.clear();
  host.typeName = "Sine";
  {
    auto f = Open();
    f->storeResults();
  }
  EXPECT_EQ(Stored(host).SinePeriod, 10000);
}

TEST_F(GenersForm, PreviewHas128PointsForTheUserFunctionElse1024) {
  host.typeName = "All_in_One";
  auto f = Open();
  ASSERT_FALSE(g_previews.empty());
  EXPECT_EQ(g_previews.back().kind, gkModSine);
  EXPECT_EQ(g_previews.back().count, 1024);
  EXPECT_EQ(f->previewSeries()->count(), 1024);
  EXPECT_EQ(f->previewSeries()->at(10), QPointF(10, 30 - gkModSine));

  f->pages()->setCurrentIndex(gpFunc);
  EXPECT_EQ(g_previews.back().kind, gkFunc);
  EXPECT_EQ(g_previews.back().count, 128);
  EXPECT_EQ(f->previewSeries()->count(), 128);
  EXPECT_EQ(f->previewLength(), 128);

  // Edits redraw from the controls.
  f->pages()->setCurrentIndex(gpSine);
  Child<QSpinBox>(*f, "FSineAmp")->setValue(42);
  EXPECT_EQ(g_previews.back().kind, gkSine);
  EXPECT_EQ(g_previews.back().record.SineAmp, 42);
  EXPECT_EQ(f->previewSeries()->count(), 1024);
}

TEST_F(GenersForm, FormulaCheckShowsTheEvaluatorsVerdict) {
  host.typeName = "Func";
  auto f = Open();
  Child<QLineEdit>(*f, "Func_Str")->setText("SIN(T)+Q");
  g_formulaGood = false;
  Child<QPushButton>(*f, "BitBtn1")->click();
  EXPECT_EQ(g_checkedFormula, "sin(t)+q");
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].severity, msError);
  EXPECT_NE(g_shown[0].text.find("sin(t)+q - The formula is entered incorrectly"), std::string::npos);

  g_shown.clear();
  g_formulaGood = true;
  Child<QPushButton>(*f, "BitBtn1")->click();
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].severity, msInfo);
  EXPECT_EQ(g_shown[0].text, "The formula is entered correctly");

  // A plug-in without the evaluator and the waveform code: Check shows
  // message 1 and the preview stays empty.
  g_shown.clear();
  g_previews.clear();
  RirDialogServices bare = TestServices();
  bare.checkFormula = nullptr;
  bare.generatorPreview = nullptr;
  HostedGenersForm without(host, bare);
  without.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&without));
  Child<QPushButton>(without, "BitBtn1")->click();
  ASSERT_EQ(g_shown.size(), 1u);
  EXPECT_EQ(g_shown[0].severity, msError);
  EXPECT_TRUE(g_previews.empty());
  EXPECT_EQ(without.previewSeries()->count(), 0);
}

TEST_F(GenersForm, HelpAsksTheHostForThePagesTopic) {
  host.typeName = "Hann";
  host.directory = "/opt/rir/";
  auto f = Open();
  Child<QPushButton>(*f, "HelpBtn")->click();
  auto* type = Child<QComboBox>(*f, "Wind_type");
  type->setCurrentIndex(type->findText("BlackmanOpt"));
  Child<QPushButton>(*f, "HelpBtn")->click();
  EXPECT_EQ(host.helpShown,
            (std::vector<std::string>{"/opt/rir/Windowin.htm#WinHann", "/opt/rir/Windowin.htm#WinBlackmanOpt"}));
}

TEST_F(GenersForm, CaptionsFollowTheLanguageInAnyCase) {
  host.typeName = "All_in_One";
  {
    auto f = Open();
    EXPECT_EQ(f->windowTitle(), "Signal Generator Properties");
    EXPECT_EQ(f->pages()->tabText(gpFunc), "User's Function");
    EXPECT_EQ(Child<QLabel>(*f, "WinType_lab")->text(), "Windowing     Type");
    EXPECT_EQ(Child<QPushButton>(*f, "ViewBtn")->text(), "Preview");
    EXPECT_EQ(Child<QPushButton>(*f, "OKBtn")->text(), "&OK");
  }
  host.language = "russian";
  {
    auto f = Open();
    EXPECT_TRUE(f->russian());
    EXPECT_EQ(f->windowTitle(), QString::fromUtf8("Свойства генераторов сигналов"));
    EXPECT_EQ(f->pages()->tabText(gpWindowing), QString::fromUtf8("Оконные"));
    EXPECT_EQ(Child<QLabel>(*f, "StDev_Lab")->text(), QString::fromUtf8("Дисперсия"));
    EXPECT_EQ(Child<QRadioButton>(*f, "RadioButton2")->text(), QString::fromUtf8("Периодический сигнал"));
    EXPECT_EQ(Child<QSpinBox>(*f, "FTone_phase")->toolTip(), "0<= phase <= 2*PI");
  }
}

}  // namespace
