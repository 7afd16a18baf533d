#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialogs/logic/CoefficientLists.h"
#include "dialogs/logic/TransformDialogLogic.h"
#include "support/SampleRecords.h"

namespace {

std::vector<std::string> Captions(const std::vector<KindItem>& items) {
  std::vector<std::string> out;
  for (const KindItem& item : items) out.push_back(std::string(item.child ? " " : "") + item.caption);
  return out;
}

}  // namespace

TEST(TransformDialogLogic, TreeKeepsTheGroupOfAGroupBlockAndTheOwnItemOfASingleKind) {
  // A group block keeps its group with every enabled kind of it.
  EXPECT_EQ(
      Captions(PruneKindTree(8, true, 8)),
      (std::vector<std::string>{"Filters", " High-Level FIR", " Low-Level FIR", " High-Level IIR", " Low-Level IIR",
                                " High-Level LMS", " High-Level LMS DES", " Low-Level LMS", " Low-Level LMS Na"}));
  EXPECT_EQ(PruneKindTree(2, true, 2).size(), 13u);
  // Disabled kinds never stay, not even in their own group.
  const std::vector<KindItem> correlation = PruneKindTree(5, true, 5);
  EXPECT_EQ(Captions(correlation), (std::vector<std::string>{"Correlation", " Auto"}));
  EXPECT_EQ(Captions(PruneKindTree(7, true, 7)).size(), 6u);  // the group and its five enabled kinds

  // A single kind keeps its group item and itself.
  const std::vector<KindItem> hann = PruneKindTree(38, false, 9);
  EXPECT_EQ(Captions(hann), (std::vector<std::string>{"Windowing", " Hann"}));
  EXPECT_EQ(SelectedKindIndex(hann, 38), 1);
  EXPECT_EQ(SelectedKindIndex(hann, 37), -1);
  EXPECT_FALSE(ExpandAllKinds(38));
  EXPECT_TRUE(ExpandAllKinds(9));
  // A disabled kind: only its group is left, and nothing is selected.
  const std::vector<KindItem> fft = PruneKindTree(71, false, 7);
  EXPECT_EQ(Captions(fft), (std::vector<std::string>{"Fourier Transformation"}));
  EXPECT_EQ(SelectedKindIndex(fft, 71), -1);
  // An unknown type (code 29, no group) keeps nothing.
  EXPECT_TRUE(PruneKindTree(29, false, -1).empty());
}

TEST(TransformDialogLogic, SelectingAKindChoosesItsPageAndItsExtras) {
  EXPECT_STREQ(PageOfCode(38), "Windowing");
  EXPECT_STREQ(PageOfCode(2), "None");
  EXPECT_STREQ(PageOfCode(-53), "Disabled");
  EXPECT_EQ(TransformPages().size(), 20u);

  const KindSelection inverse = SelectKind(64);
  EXPECT_STREQ(inverse.page, "Thresh");
  EXPECT_EQ(inverse.threshMinimum, 1.0);
  EXPECT_EQ(inverse.threshRelOpEnabled, false);
  EXPECT_EQ(SelectKind(63).threshMinimum, 0.0);
  EXPECT_EQ(SelectKind(44).iirDelayShown, false);
  EXPECT_EQ(SelectKind(45).iirDelayShown, true);
  const KindSelection na = SelectKind(49);
  EXPECT_TRUE(na.adaptiveShown);
  EXPECT_FALSE(na.formulaShown);
  EXPECT_TRUE(SelectKind(48).formulaShown);
  EXPECT_FALSE(SelectKind(46).adaptiveShown);
  EXPECT_EQ(SelectKind(42).helpContext, 10420);
  EXPECT_TRUE(SelectKind(51).snapsSamplingFactor);
  EXPECT_FALSE(SelectKind(5).previewEnabled);
  EXPECT_TRUE(SelectKind(52).previewEnabled);
  EXPECT_EQ(SelectKind(73).flagEnableSet, EnableSetOf({1, 2, 4}));
  EXPECT_EQ(SelectKind(70).flagEnableSet, EnableSetOf({1}));
  EXPECT_FALSE(SelectKind(38).flagEnableSet.has_value());
}

TEST(TransformDialogLogic, FlagWordCountsEnabledCheckedBoxesAndClicksKeepTheirGroupsExclusive) {
  const int32_t design = DesignFlagBoxes();
  EXPECT_EQ(design, kFlagForward | kFlagOutRcPack | kFlagInRcPack);
  // 0 alone enables nothing: 1 decides Forward and Inverse again.
  EXPECT_EQ(EnabledFlagBoxes(EnableSetOf({0})), 0);
  EXPECT_EQ(EnabledFlagBoxes(EnableSetOf({3})), kFlagOutRcPack | kFlagOutRcPerm);
  const int32_t enabled = EnabledFlagBoxes(EnableSetOf({1, 2, 4}));
  EXPECT_EQ(ComposeFlags(design, enabled), 1 + 512);
  EXPECT_EQ(ComposeFlags(design, EnabledFlagBoxes(EnableSetOf({3}))), 128);

  int32_t checked = design | kFlagInverse;  // the toolkit has toggled the clicked box
  checked = FlagBoxesAfterClick(checked, kFlagInverse);
  EXPECT_EQ(checked & (kFlagForward | kFlagInverse | kFlagInit), kFlagInverse);
  checked = FlagBoxesAfterClick(checked & ~kFlagInverse, kFlagInverse);  // clicking the checked one keeps it
  EXPECT_EQ(checked & (kFlagForward | kFlagInverse | kFlagInit), kFlagInverse);
  checked = FlagBoxesAfterClick(checked | kFlagNoBitRev, kFlagNoBitRev);
  checked = FlagBoxesAfterClick(checked | kFlagInBitRev, kFlagInBitRev);
  EXPECT_EQ(checked & kFlagNoBitRev, 0);
  checked = FlagBoxesAfterClick(checked | kFlagOutBitRev, kFlagOutBitRev);
  EXPECT_EQ(checked & (kFlagNoBitRev | kFlagInBitRev), 0);
  checked = FlagBoxesAfterClick(checked | kFlagInRcPerm, kFlagInRcPerm);
  EXPECT_EQ(checked & kFlagInRcPack, 0);
  checked = FlagBoxesAfterClick(checked & ~kFlagInRcPerm, kFlagInRcPerm);
  EXPECT_EQ(ComposeFlags(checked, enabled), 2 + 64 + 1024);
  // Unchecking a bit-reversal box touches no other box.
  EXPECT_EQ(FlagBoxesAfterClick(kFlagInBitRev, kFlagNoBitRev), kFlagInBitRev);
}

TEST(TransformDialogLogic, LimitsFollowTheSignalLength) {
  // Down sampling with a signal length of 100 and factor 2: 3 gives 4, then 3 again gives 2.
  EXPECT_EQ(SnapSamplingFactor(3, 2, 100, false), 4);
  EXPECT_EQ(SnapSamplingFactor(3, 4, 100, false), 2);
  EXPECT_EQ(SnapSamplingFactor(300, 4, 100, false), 100);
  EXPECT_EQ(SnapSamplingFactor(99, 100, 100, false), 50);
  EXPECT_EQ(SnapSamplingFactor(3, 2, 100, true), 3);
  EXPECT_EQ(SnapSamplingFactor(170, 2, 100, true), 100);
  EXPECT_EQ(LimitSamplingPhase(70, 50), 49);
  EXPECT_EQ(LimitSamplingPhase(3, 50), 3);
  EXPECT_EQ(LimitBitReverseOrder(31, 100), 2);
  EXPECT_EQ(LimitBitReverseOrder(29, 1024), 10);
  EXPECT_EQ(LimitBitReverseOrder(31, 102), 1);
  EXPECT_EQ(LimitBitReverseOrder(0, 1024), 1);
  EXPECT_EQ(NumPointsForDownFactor(102, 102, 2), 51);
  EXPECT_EQ(NumPointsForDownFactor(102, 102, 100), 3);  // never below the control's minimum
  EXPECT_FALSE(NumPointsForDownFactor(51, 102, 2).has_value());
  EXPECT_EQ(FirDownFactorMaximum(102), 34);
  EXPECT_EQ(FirDownFactorMaximum(2), 1);
  EXPECT_EQ(PhaseMaximum(3), 2);
  EXPECT_EQ(PhaseMaximum(0), 0);

  // Controls show values rounded to their decimals within their ranges.
  EXPECT_EQ(FitNumber(*FindNumberControl("Goertzel_Frequency"), 0.9995), 0.998);
  EXPECT_EQ(FitNumber(*FindNumberControl("Win_Alpha"), 0.123456), 0.1235);
  EXPECT_EQ(FitNumber(*FindNumberControl("Thresh_param"), 0.5, 1.0), 1.0);  // Inverse Thresh
  EXPECT_EQ(FitInteger("BitRev_Order", 40), 31);
  EXPECT_EQ(FitInteger("Num_Points", -5), 3);
}

TEST(TransformDialogLogic, BraceListsAndReadingTheGridBack) {
  const float three[3] = {1.0f, 0.5f, -2.0f};
  EXPECT_EQ(FormatList(three, 3), "{1,0.5,-2}");
  EXPECT_EQ(FormatList(three, 0), "{}");
  EXPECT_EQ(FormatList(three, -4), "{}");
  const float tenth = 0.1f;
  EXPECT_EQ(FormatList(&tenth, 1), "{0.100000001490116}");
  EXPECT_EQ(FormatEntry(123456792.0), "123456792");
  EXPECT_EQ(FormatEntry(1e-5), "1e-05");
  EXPECT_EQ(FormatEntry(1e20), "1e+20");
  // A tie at the fifteenth digit rounds up, as the lists were always shown;
  // negative zero is shown as "0".
  EXPECT_EQ(FormatEntry(-665.7159423828125), "-665.715942382813");
  EXPECT_EQ(FormatEntry(999999999999999.5), "1e+15");
  EXPECT_EQ(FormatEntry(-0.0), "0");

  EXPECT_EQ(ParseEntry(" -0.5"), -0.5f);
  EXPECT_EQ(ParseEntry("+2"), 2.0f);
  EXPECT_EQ(ParseEntry("1e3 "), 1000.0f);
  for (const char* bad : {"", " ", "abc", "1,5", "+-1", "++1", "1e400", "nan", "inf", "0x10", "1 2"})
    EXPECT_FALSE(ParseEntry(bad).has_value()) << bad;

  // "abc" in the second cell: the first entry is taken, the rest stays,
  // the count is the column count and the text empty.
  float entries[kListCapacity + 5];
  for (float& e : entries) e = 9.0f;
  ListRead read = ReadList({"7.25", "abc", "3", "4"}, 4, entries);
  EXPECT_FALSE(read.complete);
  EXPECT_EQ(read.count, 4);
  EXPECT_EQ(read.text, "");
  EXPECT_EQ(entries[0], 7.25f);
  EXPECT_EQ(entries[1], 9.0f);
  EXPECT_EQ(entries[2], 9.0f);
  read = ReadList({"7.25", " -0.5", "3", "4"}, 4, entries);
  EXPECT_TRUE(read.complete);
  EXPECT_EQ(read.text, "{7.25, -0.5,3,4}");  // as typed

  // More columns than the lists hold: the read stops at 65 entries.
  std::vector<std::string> cells;
  for (int i = 0; i < 80; ++i) cells.push_back(std::to_string(i));
  for (float& e : entries) e = -1.0f;
  read = ReadList(cells, 80, entries);
  EXPECT_EQ(read.count, kListCapacity);
  EXPECT_EQ(entries[64], 64.0f);
  EXPECT_EQ(entries[65], -1.0f);
  EXPECT_EQ(ClampListCount(1000), 65);
  EXPECT_EQ(ClampColumns(1000000), 65);
  EXPECT_EQ(ClampColumns(1, 6), 6);

  EXPECT_EQ(TableGridHeight(8), 53);
  EXPECT_EQ(TableGridHeight(9), 73);
  EXPECT_EQ(TableGridWidth(3), 3 * 65 + 3);
  EXPECT_EQ(TableGridWidth(40), 8 * 65 + 3);
}

TEST(TransformDialogLogic, StoredDataSizesTypeNamesAndUnchangedRecords) {
  // Stored data of another size is ignored; a filter record goes to the filter.
  alignas(8) const FilterParams f = FilterRecordOffDefaults();
  std::vector<uint8_t> kept;
  alignas(8) TransformParams tread{};
  alignas(8) FilterParams fread{};
  ReadStoredRecord(std::vector<uint8_t>(100, 0xFF), kept, tread, fread);
  EXPECT_TRUE(kept.empty());
  EXPECT_EQ(tread.TransformCode, 0);
  ReadStoredRecord(RecordBytes(f), kept, tread, fread);
  EXPECT_EQ(kept, RecordBytes(f));
  EXPECT_EQ(fread.FirUpFactor, 3);
  EXPECT_EQ(tread.TransformCode, 0);
  EXPECT_EQ(TransformTypeOf("Arithmetic_Group"), "Arithmetic");

  // OK without a change hands the stored bytes back.
  const std::vector<uint8_t> stored{1, 2, 3}, shown{4, 5}, changed{6};
  EXPECT_EQ(ResultRecord(stored, shown, shown), stored);
  EXPECT_EQ(ResultRecord(stored, shown, changed), changed);
  EXPECT_EQ(ResultRecord({}, shown, shown), shown);
}

TEST(TransformDialogLogic, TableEditorButtonsShareTheCountOfTapsAndDelayLine) {
  alignas(8) TransformParams t{};
  DefaultTransformRecord(t);
  alignas(8) FilterParams f{};
  DefaultFilterRecord(f);
  f.FirTapsCount = 3;
  // The FIR delay line shows one entry less; unchanged it keeps every tap.
  ListEditPlan plan = PlanListEdit(CoefficientList::FirDelay, t, f, false, 1);
  EXPECT_EQ(plan.shown, 2);
  FinishListEdit(CoefficientList::FirDelay, t, f, plan, 2, 1);
  EXPECT_EQ(f.FirTapsCount, 3);
  FinishListEdit(CoefficientList::FirDelay, t, f, plan, 4, 1);
  EXPECT_EQ(f.FirTapsCount, 5);
  // Multi-rate: count / up factor entries, mapped back the same way.
  f.FirMultiRate = 1;
  f.FirTapsCount = 12;
  plan = PlanListEdit(CoefficientList::FirDelay, t, f, false, 3);
  EXPECT_EQ(plan.shown, 4);
  FinishListEdit(CoefficientList::FirDelay, t, f, plan, 5, 3);
  EXPECT_EQ(f.FirTapsCount, 15);
  FinishListEdit(CoefficientList::FirDelay, t, f, plan, 30, 3);
  EXPECT_EQ(f.FirTapsCount, 65);
  // Biquad IIR taps ask for six columns at least; the delay line sets the shared count.
  EXPECT_EQ(PlanListEdit(CoefficientList::IirTaps, t, f, true, 1).minimumColumns, 6);
  EXPECT_EQ(PlanListEdit(CoefficientList::IirTaps, t, f, false, 1).minimumColumns, 2);
  FinishListEdit(CoefficientList::IirDelay, t, f, {}, 9, 1);
  EXPECT_EQ(f.IirTapsCount, 9);
  EXPECT_EQ(ListEntries(CoefficientList::IirDelay, t, f), f.IirDelay);
  EXPECT_EQ(ListOfField("Conv_H_12D"), CoefficientList::ConvTaps);
  EXPECT_FALSE(ListOfField("User_func").has_value());
}

TEST(TransformDialogLogic, OperatorAndCorrelationItemsAndEveryFlagBoxCaptioned) {
  const ComboControl& relOp = *FindComboControl("Thresh_RelOp");
  EXPECT_EQ(ComboValue(relOp, 0), 1);  // "NSP_GT"
  EXPECT_EQ(ComboValue(relOp, 1), 0);
  EXPECT_EQ(ComboValue(relOp, -1), 0);  // nothing chosen: the last item's value
  EXPECT_EQ(ComboItemOf(relOp, 1), 0);
  EXPECT_EQ(ComboItemOf(relOp, 7), -1);
  EXPECT_NE(std::string(ThreshRelOpHint(0)).find("less-then"), std::string::npos);
  EXPECT_EQ(ComboValue(*FindComboControl("corrType"), 2), kCorrAutoUnbiased);
  EXPECT_NE(std::string(CorrTypeHint(0)).find("normal auto-correlation"), std::string::npos);
  // Front ends build the boxes from the tables: none may come out blank.
  for (const FlagBox& box : FftFlagBoxes()) EXPECT_STRNE(TransformCaptionOf(box.name), "") << box.name;
  EXPECT_STREQ(TransformCaptionOf("Taps_label2"), "Taps");
}
