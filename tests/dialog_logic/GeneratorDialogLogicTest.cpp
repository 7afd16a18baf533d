// The generator dialog's decisions and the time editor's arithmetic, without
// a toolkit: what both front ends build their controls from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <set>

#include "dialogs/logic/DelayUnits.h"
#include "dialogs/logic/GeneratorDialogLogic.h"
#include "dialogs/logic/GeneratorPresenter.h"
#include "RecordingDialogView.h"
#include "framework/BlockCatalogue.h"
#include "numeric/ParameterRecords.h"
#include "support/SampleRecords.h"

namespace {

// Spins answer with what was typed; time editors hold whole times.
struct RecordingGeneratorView : RecordingDialogView, GeneratorView {
  void SetPage(int32_t p) override { page = p; }
  DelayState Delay(ControlName name) const override {
    const int64_t d = delays.at(std::string(name));
    return {false, d, d};
  }
  void SetDelay(ControlName name, int64_t d) override { delays[std::string(name)] = d; }
  void SetDelayNumber(ControlName name, int64_t n) override { delays[std::string(name)] = n; }
  std::optional<double> Typed(ControlName name) const override {
    const auto it = numbers.find(std::string(name));
    return it == numbers.end() ? std::nullopt : std::optional<double>(it->second);
  }
  void ShowPreview(const std::vector<int64_t>& points, int32_t length) override {
    previews.emplace_back(points.size(), length);
  }
  int32_t page = -1;
  std::map<std::string, int64_t> delays;
  std::vector<std::pair<size_t, int32_t>> previews;
};

GeneratorParams RecordOf(const std::vector<uint8_t>& bytes) {
  GeneratorParams r{};
  if (bytes.size() == sizeof r) std::memcpy(&r, bytes.data(), sizeof r);
  return r;
}

struct Calls {
  std::vector<std::string> kindAsked;
  std::vector<std::pair<int32_t, std::string>> errors;
  std::vector<int32_t> infos;
  std::vector<std::string> checked;
  std::vector<std::pair<int32_t, int32_t>> previews;  // kind, count
  bool formulaGood = true;
};

DialogHooks TestHooks(Calls& calls) {
  DialogHooks h;
  h.generatorKindOf = [&calls](const std::string& name) {
    calls.kindAsked.push_back(name);
    const int32_t kind = GeneratorKindOf(name);
    return kind == gkAllInOne ? -1 : kind;
  };
  h.generatorDefaults = [](GeneratorParams& r) { r = DefaultGeneratorParams(); };
  h.generatorHelpTopic = [](int32_t kind) { return std::string(GeneratorHelpTopic(kind)); };
  h.showError = [&calls](int32_t n, const std::string& arg) { calls.errors.emplace_back(n, arg); };
  h.showInfo = [&calls](int32_t n) { calls.infos.push_back(n); };
  h.checkFormula = [&calls](const std::string& f) {
    calls.checked.push_back(f);
    return calls.formulaGood;
  };
  h.generatorPreview = [&calls](int32_t kind, const GeneratorParams& r, int32_t count, int64_t* out) {
    calls.previews.emplace_back(kind, count);
    for (int32_t t = 0; t < count; ++t) out[t] = r.SineAmp + t;
  };
  return h;
}

std::vector<int32_t> VisibleTabs(const GeneratorPageSetup& s) {
  std::vector<int32_t> tabs;
  for (int32_t i = 0; i < kGeneratorPageCount; ++i)
    if (s.tabVisible[i]) tabs.push_back(i);
  return tabs;
}

GeneratorValue& ValueOf(GeneratorValues& v, const char* name) {
  const int32_t i = GeneratorControlIndex(name);
  EXPECT_GE(i, 0) << name;
  return v.at(static_cast<size_t>(i));
}

}  // namespace

TEST(GeneratorDialogLogic, PagesFollowTheBlockType) {
  Calls calls;
  const DialogHooks hooks = TestHooks(calls);

  GeneratorPageSetup s = GeneratorPagesOf("Sine_7", hooks);  // the part before "_" names the type
  EXPECT_EQ(calls.kindAsked, std::vector<std::string>{"Sine"});
  EXPECT_EQ(s.pageCode, gkSine);
  EXPECT_EQ(s.openPage, gpSine);
  EXPECT_FALSE(s.allPages);
  EXPECT_EQ(VisibleTabs(s), std::vector<int32_t>{gpSine});

  calls.kindAsked.clear();
  s = GeneratorPagesOf("All_in_One", hooks);  // every page, the kind from the record
  EXPECT_TRUE(calls.kindAsked.empty());
  EXPECT_EQ(s.pageCode, kPageCodeFromRecord);
  EXPECT_EQ(s.openPage, gpModSine);
  EXPECT_TRUE(s.allPages);
  EXPECT_EQ(s.ownWindow, -1);
  EXPECT_EQ(VisibleTabs(s).size(), static_cast<size_t>(kGeneratorPageCount));

  // Every window kind opens the shared page, keeps its own kind and offers only its own item.
  for (int32_t kind = gkBartlett; kind <= gkBlackmanOpt; ++kind) {
    const std::string name = kWindowTypeNames[kind - gkBartlett];
    s = GeneratorPagesOf(name, hooks);
    EXPECT_EQ(s.pageCode, kind) << name;
    EXPECT_EQ(s.openPage, gpWindowing) << name;
    EXPECT_EQ(s.ownWindow, kind - gkBartlett) << name;
    EXPECT_EQ(VisibleTabs(s), std::vector<int32_t>{gpWindowing}) << name;
    const GeneratorActivePage active = ActivePageOf(s.pageCode);
    EXPECT_EQ(active.page, gpWindowing);
    EXPECT_EQ(active.windowType, kind - gkBartlett);
  }

  calls.kindAsked.clear();
  s = GeneratorPagesOf("Squiggle", hooks);  // asked once (one message), then every page
  EXPECT_EQ(calls.kindAsked.size(), 1u);
  EXPECT_EQ(s.pageCode, kPageCodeFromRecord);
  EXPECT_EQ(s.openPage, -1);
  EXPECT_TRUE(s.allPages);
  EXPECT_EQ(VisibleTabs(s).size(), static_cast<size_t>(kGeneratorPageCount));

  s = GeneratorPagesOf("Random", hooks);  // its tab is hidden at activation, its kind is kept
  EXPECT_EQ(s.pageCode, gkRandom);
  EXPECT_EQ(VisibleTabs(s), std::vector<int32_t>{gpRandom});

  EXPECT_EQ(GeneratorPagesOf("Sine", DialogHooks{}).pageCode, kPageCodeFromRecord);  // no catalogue: every page

  // Activation and page changes.
  EXPECT_EQ(ActivePageOf(gkKaiser).page, gpKaiser);
  EXPECT_EQ(ActivePageOf(gkKaiser).windowType, -1);
  EXPECT_EQ(ActivePageOf(kPageCodeFromRecord).page, -1);
  EXPECT_EQ(ActivePageOf(99).page, -1);
  EXPECT_EQ(PageCodeOfPage(gpGaussian, 3), gkGaussian);
  EXPECT_EQ(PageCodeOfPage(gpWindowing, 2), gkHamming);
  EXPECT_EQ(PageCodeOfPage(gpWindowing, -1), gkBartlett);
  EXPECT_EQ(PageCodeOfPage(-1, 0), gkSine);
}

TEST(GeneratorDialogLogic, EveryRecordFieldHasOneControlWithItsRange) {
  std::set<size_t> offsets;
  std::set<std::string> names;
  for (const GeneratorControl& c : GeneratorControls()) {
    EXPECT_TRUE(names.insert(c.name).second) << c.name;
    EXPECT_LE(c.min, c.max) << c.name;
    if (c.field != GeneratorField::None) {
      EXPECT_TRUE(offsets.insert(c.offset).second) << c.name;
    }
    if (c.label != nullptr) {
      EXPECT_NE(FindGeneratorCaption(c.label), nullptr) << c.label;
    }
    if (c.editor == GeneratorEditor::Radio) {
      EXPECT_NE(FindGeneratorCaption(c.name), nullptr) << c.name;
    }
    EXPECT_TRUE(c.page >= 0 && c.page < kGeneratorPageCount) << c.name;
  }
  // Every field but the kind: IsSingle at 4, then 29 eight-byte fields, the formula at 240.
  std::set<size_t> expected{4, 240};
  for (size_t at = 8; at <= 232; at += 8) expected.insert(at);
  EXPECT_EQ(offsets, expected);
  for (const char* page : kGeneratorPageNames) EXPECT_NE(FindGeneratorCaption(page), nullptr) << page;

  struct Range {
    const char* name;
    double min, max, step;
  };
  for (const Range& r : {Range{"FSinePeriod", 1, 2000000000, 1}, Range{"FModSinePeriod", 0, 2000000000, 1},
                         Range{"FConstant", -1000000, 1000000, 1}, Range{"FTone_rFreq", 0, 0.4999999999, 0.005},
                         Range{"FTrngl_rFreq", 0, 0.49999999999, 0.01}, Range{"FTrngl_ASym", -89, 89, 1},
                         Range{"FBeta", -11, 1, 1}, Range{"FInitValue", -2000000000, 2000000000, 1},
                         Range{"WindowLen", 2, 2000000000, 1}, Range{"FStDev", 1, 1000000000, 1}}) {
    const GeneratorControl* c = FindGeneratorControl(r.name);
    ASSERT_NE(c, nullptr) << r.name;
    EXPECT_EQ(c->min, r.min) << r.name;
    EXPECT_EQ(c->max, r.max) << r.name;
    EXPECT_EQ(c->step, r.step) << r.name;
  }
  EXPECT_EQ(FindGeneratorControl("FSineAmp")->offset, 40u);
  EXPECT_EQ(FindGeneratorControl("FInitValue")->offset, 200u);  // the windowing amplitude
  EXPECT_STREQ(FindGeneratorControl("FTrngl_ASym")->hint, "-Pi <= asymmetry <= P");
  EXPECT_EQ(GeneratorControlIndex("NoSuchControl"), -1);
  EXPECT_EQ(FindGeneratorControl(""), nullptr);
  EXPECT_STREQ(CaptionText(*FindGeneratorCaption("StDev_Lab"), true), "Дисперсия");
  EXPECT_STREQ(CaptionText(kGeneratorFormCaption, false), "Signal Generator Properties");
}

TEST(GeneratorDialogLogic, RecordsRoundTripThroughTheControlValues) {
  GeneratorParams r = GeneratorRecordOffDefaults();
  GeneratorValues v = RecordToValues(r);
  EXPECT_EQ(ValueOf(v, "FSinePeriod").whole, 3000000000000LL);
  EXPECT_EQ(ValueOf(v, "isSingle").whole, 1);
  EXPECT_EQ(ValueOf(v, "RadioButton2").whole, 0);
  EXPECT_EQ(ValueOf(v, "Func_Str").text, "sin(t)*100");
  GeneratorParams back{};
  ValuesToRecord(v, gkBlackman, back);
  EXPECT_EQ(std::memcmp(&back, &r, sizeof r), 0);

  // Values the controls cannot hold: rounded, clamped, NaN at the minimum.
  r.ToneMag = 1e300;
  r.MinValue = std::nan("");
  r.WindowLen = -5;
  r.TonePhase = 44.5;  // ties to even
  r.TrnglPhase = 45.5;
  r.ToneRelFreq = 0.123456789149;  // ten decimals
  r.TrnglRelFreq = 0.9;
  v = RecordToValues(r);
  EXPECT_EQ(ValueOf(v, "FTone_Mag").number, 1000000000);
  EXPECT_EQ(ValueOf(v, "FMinValue").number, -1000000000);
  EXPECT_EQ(ValueOf(v, "WindowLen").number, 2);
  EXPECT_EQ(ValueOf(v, "FTone_phase").number, 44);
  EXPECT_EQ(ValueOf(v, "FTrngl_Phase").number, 46);
  EXPECT_DOUBLE_EQ(ValueOf(v, "FTone_rFreq").number, 0.1234567891);
  EXPECT_DOUBLE_EQ(ValueOf(v, "FTrngl_rFreq").number, 0.49999999999);

  // Controls to record: FAlpha and FBeta to the nearest integer, ties to even;
  // the formula's first 50 characters in lower case; no kind yet gives 5.
  ValueOf(v, "FAlpha").number = 2.5;
  ValueOf(v, "FBeta").number = -2.6;
  ValueOf(v, "isSingle").whole = 0;
  ValueOf(v, "Func_Str").text = "SIN(T)" + std::string(54, 'X');
  ValuesToRecord(v, kPageCodeFromRecord, back);
  EXPECT_EQ(back.Alpha, 2);
  EXPECT_EQ(back.Beta, -3);
  EXPECT_EQ(back.IsSingle, 0);
  EXPECT_EQ(back.Kind, gkTone);
  EXPECT_EQ(back.Formula.Get(), "sin(t)" + std::string(44, 'x'));
  ValueOf(v, "FAlpha").number = 3.5;
  ValuesToRecord(v, gkHann, back);
  EXPECT_EQ(back.Alpha, 4);
  EXPECT_EQ(back.Kind, gkHann);

  // A record of a window kind selects its item.
  r.Kind = gkBlackmanStd;
  v = RecordToValues(r);
  EXPECT_EQ(ValueOf(v, "Wind_type").whole, 3);
  // ASCII letters only: a Cyrillic letter typed by mistake keeps its bytes.
  EXPECT_EQ(FormulaLowerCase("SIN(T)*AZaz09\xC0\xDE"), "sin(t)*azaz09\xC0\xDE");
  EXPECT_EQ(FormulaLowerCase("\xD0\x96+T"), "\xD0\x96+t");
}

TEST(GeneratorDialogLogic, OkHandsBackTheStoredRecordUnlessSomethingChanged) {
  GeneratorParams stored = DefaultGeneratorParams();
  stored.Kind = gkModSine;  // not the page's kind: kept all the same
  stored.Formula.Set("SIN(t)");
  const auto* bytes = reinterpret_cast<const uint8_t*>(&stored);
  const std::vector<uint8_t> storedBytes(bytes, bytes + sizeof stored);

  GeneratorParams shown = DefaultGeneratorParams();
  ValuesToRecord(RecordToValues(stored), gkSine, shown);
  GeneratorParams expected = stored;
  expected.Formula.Set("sin(t)");
  std::vector<uint8_t> out = GeneratorResultRecord(storedBytes, shown, shown);
  ASSERT_EQ(out.size(), sizeof stored);
  EXPECT_EQ(std::memcmp(out.data(), &expected, sizeof expected), 0);

  GeneratorParams now = shown;  // one change: the controls' record
  now.SineAmp = 5;
  out = GeneratorResultRecord(storedBytes, shown, now);
  EXPECT_EQ(std::memcmp(out.data(), &now, sizeof now), 0);

  GeneratorParams finer = stored;  // more decimals than the control shows: stored as shown
  finer.ToneRelFreq = 0.123456789149;
  const auto* f = reinterpret_cast<const uint8_t*>(&finer);
  ValuesToRecord(RecordToValues(finer), gkSine, shown);
  out = GeneratorResultRecord(std::vector<uint8_t>(f, f + sizeof finer), shown, shown);
  EXPECT_EQ(std::memcmp(out.data(), &shown, sizeof shown), 0);
  EXPECT_EQ(shown.ToneRelFreq, 0.1234567891);

  out = GeneratorResultRecord({}, shown, shown);  // nothing stored: the controls' record
  EXPECT_EQ(std::memcmp(out.data(), &shown, sizeof shown), 0);

  GeneratorParams malformed = stored;
  malformed.Formula.length = 255;
  std::memset(malformed.Formula.chars, 'x', sizeof malformed.Formula.chars);
  const auto* m = reinterpret_cast<const uint8_t*>(&malformed);
  ValuesToRecord(RecordToValues(malformed), gkSine, shown);
  out = GeneratorResultRecord(std::vector<uint8_t>(m, m + sizeof malformed), shown, shown);
  EXPECT_EQ(std::memcmp(out.data(), &shown, sizeof shown), 0);
  EXPECT_EQ(shown.Formula.Size(), kFormulaKept);
}

TEST(GeneratorDialogLogic, EditRulesPreviewCheckAndHelp) {
  EXPECT_EQ(ForcedPeriod(true, 0, 0), 1);
  EXPECT_EQ(ForcedPeriod(false, 0, 0), 1);
  EXPECT_EQ(ForcedPeriod(false, kLongValueFailed, kLongValueFailed), kLongestPeriod);
  EXPECT_EQ(ForcedPeriod(false, 2000000001, 2000000001), kLongestPeriod);
  EXPECT_EQ(ForcedPeriod(false, 2000000000000, 2000000000), std::nullopt);
  EXPECT_EQ(LimitedLengthOrConstant(5000), 1000);
  EXPECT_EQ(LimitedLengthOrConstant(-4321), -1000);
  EXPECT_EQ(LimitedLengthOrConstant(999), std::nullopt);
  for (const char* name : {"FConstant", "BlackLen", "KaiserLen", "WindowLen"}) EXPECT_TRUE(LimitsTypedValue(name));
  EXPECT_FALSE(LimitsTypedValue("FInitValue"));

  Calls calls;
  DialogHooks hooks = TestHooks(calls);
  EXPECT_EQ(PreviewLengthOf(gkFunc), 128);
  EXPECT_EQ(PreviewLengthOf(gkHann), 1024);
  EXPECT_EQ(PreviewLengthOf(kPageCodeFromRecord), 0);
  EXPECT_EQ(PreviewLengthOf(256), 0);
  GeneratorParams r = DefaultGeneratorParams();
  r.SineAmp = 40;
  std::vector<int64_t> points = GeneratorPreviewPoints(hooks, gkSine, r);
  ASSERT_EQ(points.size(), 1024u);
  EXPECT_EQ(points[10], 50);
  EXPECT_EQ(calls.previews.back(), std::make_pair(int32_t{gkSine}, int32_t{1024}));
  EXPECT_EQ(PreviewValueRange(points), std::make_pair(40.0, 1063.0));
  EXPECT_EQ(PreviewValueRange(std::vector<int64_t>(5, 7)), std::make_pair(6.0, 8.0));  // flat: widened
  EXPECT_EQ(PreviewValueRange({}), std::make_pair(0.0, 1.0));
  EXPECT_TRUE(GeneratorPreviewPoints(hooks, kPageCodeFromRecord, r).empty());
  EXPECT_TRUE(GeneratorPreviewPoints(DialogHooks{}, gkSine, r).empty());

  CheckGeneratorFormula(hooks, "SIN(T)+Q");
  EXPECT_EQ(calls.checked, std::vector<std::string>{"sin(t)+q"});
  EXPECT_EQ(calls.infos, std::vector<int32_t>{10});
  calls.formulaGood = false;  // the evaluator showed its message 15: no verdict on top
  CheckGeneratorFormula(hooks, "x");
  EXPECT_EQ(calls.infos.size(), 1u);
  hooks.checkFormula = nullptr;
  CheckGeneratorFormula(hooks, "t");
  ASSERT_EQ(calls.errors.size(), 1u);
  EXPECT_EQ(calls.errors[0].first, 1);

  EXPECT_EQ(GeneratorHelpPath(hooks, "C:\\rir\\", gkHann), "C:\\rir\\Windowin.htm#WinHann");
  EXPECT_EQ(GeneratorHelpPath(hooks, "/opt/", gkSine), "/opt/Geners.htm#Sine");
  EXPECT_EQ(GeneratorHelpPath(hooks, "/opt/", kPageCodeFromRecord), "");
  EXPECT_EQ(GeneratorHelpPath(DialogHooks{}, "/opt/", gkSine), "");

  // The presenter runs the rules as values change: typed limits, periods,
  // the random bounds; a formula the record cannot hold keeps OK from closing.
  hooks = TestHooks(calls);
  RecordingGeneratorView view;
  GeneratorPresenter presenter(view, view, hooks, Latin1FormulaCodec());
  presenter.SetType("All_in_One");
  presenter.Start();
  presenter.Open({});
  presenter.Activate();
  EXPECT_EQ(view.page, gpModSine);
  EXPECT_EQ(view.previews.back(), std::make_pair(size_t{1024}, int32_t{1024}));
  view.numbers["FConstant"] = 5000;
  presenter.ValueChanged("FConstant");
  EXPECT_EQ(view.numbers["FConstant"], 1000);
  view.delays["FSinePeriod"] = 0;
  presenter.ValueChanged("FSinePeriod");
  EXPECT_EQ(view.delays["FSinePeriod"], 1);
  view.numbers["FHigh"] = 50;
  presenter.ValueChanged("FHigh");
  EXPECT_EQ(view.ranges["FLow"].second, 50);
  view.numbers["FLow"] = 70;  // held below the bound
  presenter.ValueChanged("FLow");
  EXPECT_EQ(view.numbers["FLow"], 50);
  view.numbers.erase("FLow");
  view.numbers["FMinValue"] = 3;
  presenter.ValueChanged("FMinValue");
  EXPECT_EQ(view.numbers["FLow"], 50);  // an emptied low bound takes the high one
  presenter.PageSelected(gpConstant);
  EXPECT_EQ(presenter.PageCode(), gkConstant);
  EXPECT_EQ(RecordOf(presenter.Result()).ConstantValue, 1000);
  // A real spin steps by its step within its range; a typed NaN or infinity
  // keeps OK from closing.
  view.numbers["FTone_rFreq"] = 0.4999;
  presenter.ValueChanged("FTone_rFreq");
  presenter.NumberStepped("FTone_rFreq", true);
  EXPECT_EQ(view.numbers["FTone_rFreq"], 0.4999999999);
  presenter.NumberStepped("FTone_rFreq", false);
  EXPECT_DOUBLE_EQ(presenter.Value("FTone_rFreq"), 0.4949999999);
  view.texts["FBeta"] = "-inf";
  EXPECT_FALSE(presenter.Ok());
  EXPECT_EQ(view.messages, std::vector<std::string>{"FBeta is not a number"});
  view.texts["FBeta"] = "1";
  view.messages.clear();
  view.texts["Func_Str"] = "t*\u20ac";
  EXPECT_FALSE(presenter.Ok());
  EXPECT_EQ(view.messages.size(), 1u);
  view.texts["Func_Str"] = "t*\u00e9";
  EXPECT_TRUE(presenter.Ok());
  EXPECT_EQ(RecordOf(presenter.Result()).Formula.Get(), "t*\xe9");
}

TEST(DelayUnits, LongValueTextStepsAndKeys) {
  EXPECT_EQ(ParseLongValue("123"), 123);
  EXPECT_EQ(ParseLongValue(""), 0);
  EXPECT_EQ(ParseLongValue("00042"), 42);
  EXPECT_EQ(ParseLongValue("12a"), kLongValueFailed);
  EXPECT_EQ(ParseLongValue("-5"), kLongValueFailed);
  EXPECT_EQ(ParseLongValue(" 5"), kLongValueFailed);
  EXPECT_EQ(ParseLongValue("9223372036854775807"), INT64_MAX);
  EXPECT_EQ(ParseLongValue("9223372036854775808"), kLongValueFailed);  // does not wrap
  EXPECT_EQ(ParseLongValue("99999999999999999999"), kLongValueFailed);
  EXPECT_EQ(LongValueText(0), "0");
  EXPECT_EQ(LongValueText(-7), "0");
  EXPECT_EQ(LongValueText(1234567890123LL), "1234567890123");

  EXPECT_EQ(LongValueStepDown(3, 5), 0);
  EXPECT_EQ(LongValueStepDown(5, 5), 0);
  EXPECT_EQ(LongValueStepDown(12, 5), 7);
  EXPECT_EQ(LongValueStepUp(10, 5), 15);
  EXPECT_EQ(LongValueStepUp(INT64_MAX - 2, 5), kLongValueFailed);
  EXPECT_EQ(LongValueStepUp(kLongValueFailed, 1), kLongValueFailed);

  for (char32_t c : {U'0', U'9', char32_t{8}, char32_t{3}, char32_t{22}}) EXPECT_TRUE(LongValueKeyAccepted(c, true));
  for (char32_t c : {U'a', U'-', U'.', U' ', U'+', char32_t{13}, U'Ж'}) EXPECT_FALSE(LongValueKeyAccepted(c, true));
  EXPECT_FALSE(LongValueKeyAccepted(U'5', false));
  EXPECT_FALSE(LongValueKeyAccepted(char32_t{8}, false));
  EXPECT_TRUE(LongValueKeyAccepted(char32_t{3}, false));  // copy still works
}

TEST(DelayUnits, NormalisingFilteringAndUnitChanges) {
  EXPECT_STREQ(kDelayUnitNames[0], "ps");
  EXPECT_STREQ(kDelayUnitNames[4], "sec");
  struct Case {
    int64_t delay, value;
    int unit;
  };
  for (const Case& c : {Case{1000, 1, 1}, Case{2500000, 2500, 1}, Case{3000000000000LL, 3, 4},
                        Case{5000000000000000LL, 5000, 4}, Case{1001, 1001, 0}, Case{7000000, 7, 2}, Case{0, 0, 0}}) {
    const DelayShown s = NormaliseDelay(c.delay, 3);
    EXPECT_EQ(s.longValue, c.value) << c.delay;
    EXPECT_EQ(s.unit, c.unit) << c.delay;
    EXPECT_EQ(DelayOf(s.longValue, s.unit), c.delay);
  }
  EXPECT_EQ(NormaliseDelay(-5, 2).longValue, 0);  // not a time: 0 in the unit shown
  EXPECT_EQ(NormaliseDelay(-5, 2).unit, 2);

  // Filter keeps the unit and rounds each step, ties to even.
  EXPECT_EQ(FilterDelay(7000000, 2).longValue, 7);
  EXPECT_EQ(FilterDelay(2500500, 2).longValue, 2);  // 2500.5 -> 2500 -> 2.5 -> 2
  EXPECT_EQ(FilterDelay(3499, 2).longValue, 0);
  EXPECT_EQ(FilterDelay(1501000, 2).longValue, 2);
  EXPECT_EQ(FilterDelay(1500, 1).longValue, 2);
  EXPECT_EQ(FilterDelay(2500, 1).longValue, 2);
  EXPECT_EQ(FilterDelay(1500, 1).unit, 1);

  EXPECT_EQ(DelayOf(7, 2), 7000000);
  EXPECT_EQ(DelayOf(kLongValueFailed, 0), kLongValueFailed);
  EXPECT_EQ(DelayOf(9223372036854775LL, 4), kLongValueFailed);  // fits as a number, overflows in "sec"

  // ps -> us: without Filter the number stays (time 7 becomes 7000000), with
  // Filter the text loses three digits per step and the time stays.
  EXPECT_EQ(TextAfterUnitChange("7", 0, 2, false), "7");
  EXPECT_EQ(TextAfterUnitChange("7000000", 0, 2, true), "7");
  EXPECT_EQ(TextAfterUnitChange("7", 2, 0, true), "7");  // downwards unchanged
  EXPECT_EQ(TextAfterUnitChange("12345", 0, 2, true), "0");
  EXPECT_EQ(TextAfterUnitChange("123456", 2, 4, true), "0");  // nothing remains
  EXPECT_EQ(TextAfterUnitChange("1234567", 1, 3, true), "1");
}
