// The transform presenter against a fake view that answers like a toolkit:
// a set number or check echoes back as an event, as Qt's signals do.
#include <gtest/gtest.h>

#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "FakeTransformView.h"
#include "support/SampleRecords.h"

TEST(TransformDialogPresenter, NumberRulesTypedTextAndStepsReachTheRecord) {
  Opened d("Bit-Reversed");
  EXPECT_STREQ(d.presenter.Page(), "Bit Reversed");
  // Typed into the signal length, then the order: limited by the halvings
  // of 1024, in the presenter and in the control.
  d.presenter.NumberTyped("Num_Points", "1024");
  d.presenter.NumberEdited("BitRev_Order", 29);
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 10);
  EXPECT_EQ(d.view.numbers["BitRev_Order"], 10);
  // Text that is not a number shows the value again; a number is taken.
  d.presenter.NumberTyped("BitRev_Order", "x4");
  EXPECT_EQ(d.view.numbers["BitRev_Order"], 10);
  d.presenter.NumberTyped("BitRev_Order", " +4 ");
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 4);
  d.presenter.NumberStepped("BitRev_Order", true);
  EXPECT_EQ(d.presenter.Number("BitRev_Order"), 5);
  ASSERT_TRUE(d.presenter.Accept());
  ASSERT_EQ(d.presenter.Result().size(), sizeof(TransformParams));
  const TransformParams r = FromBytes<TransformParams>(d.presenter.Result());
  EXPECT_EQ(r.BitRevOrder, 5);
  EXPECT_EQ(r.SignalLength, 1024);
}

TEST(TransformDialogPresenter, StartingCodeListsAndUnstorableTexts) {
  // Without a catalogue the dialog starts where an unknown type leads: 29.
  FakeView bare;
  TransformDialogPresenter none(bare, bare, DialogHooks{});
  EXPECT_EQ(none.DialogCode(), 29);

  // A list edited in the table editor comes back into the working record.
  Opened fir("High-Level FIR");
  fir.presenter.Clicked("FIRS_Taps");
  EXPECT_EQ(fir.view.tableShown, 6);
  EXPECT_EQ(fir.view.texts["FIRS_Taps"], "{1,2}");
  EXPECT_EQ(fir.presenter.WorkingFilter().FirTapsCount, 2);
  fir.view.checks["isMulti_Rate"] = true;
  fir.presenter.Clicked("isMulti_Rate");
  EXPECT_TRUE(fir.view.visibles["Multi_Rate_Box"]);
  EXPECT_EQ(fir.presenter.WorkingFilter().FirMultiRate, 1);

  // A cell that is not a number stops the read there and says which entry
  // it was; so does a stored entry that is none, on OK.
  fir.view.tableCells = {"0.5", "nan", "2"};
  fir.presenter.Clicked("FIRS_Taps");
  ASSERT_EQ(fir.view.messages.size(), 1u);
  EXPECT_EQ(fir.view.messages[0], "FIRS_Taps[1] is not a number");
  EXPECT_EQ(fir.view.texts["FIRS_Taps"], "");
  alignas(8) FilterParams nan{};
  DefaultFilterRecord(nan);
  nan.FirTaps[2] = std::numeric_limits<float>::infinity();
  Opened stored("High-Level FIR", RecordBytes(nan), "Russian");
  EXPECT_FALSE(stored.presenter.Accept());
  EXPECT_EQ(stored.view.messages, std::vector<std::string>{"FIRS_Taps[2] не является числом"});
  // A number field shows a stored NaN as a number, and OK stores what it shows.
  alignas(8) TransformParams alpha{};
  DefaultTransformRecord(alpha);
  alpha.WinAlpha = std::numeric_limits<float>::quiet_NaN();
  Opened blackman("Blackman trans", RecordBytes(alpha));
  ASSERT_TRUE(blackman.presenter.Accept());
  EXPECT_EQ(FromBytes<TransformParams>(blackman.presenter.Result()).WinAlpha, 0.0f);
  // Typed, it is refused where it was typed.
  EXPECT_FALSE(blackman.presenter.NumberTyped("Win_Alpha", " inf"));
  EXPECT_EQ(blackman.view.messages.back(), "Win_Alpha is not a number");
  EXPECT_EQ(blackman.presenter.Number("Win_Alpha"), 0);

  // A formula the records' coding cannot hold keeps the dialog open with a
  // message, rather than storing it changed.
  Opened any("Any Func");
  any.view.texts["User_func"] = "sin(t)\x80";
  EXPECT_FALSE(any.presenter.Accept());
  ASSERT_EQ(any.view.messages.size(), 1u);
  EXPECT_NE(any.view.messages[0].find("F(t) :"), std::string::npos);
  EXPECT_TRUE(any.presenter.Result().empty());
}

TEST(TransformDialogPresenter, RecordsComeBackThroughTheBoundControlsUnchanged) {
  alignas(8) TransformParams t{};
  DefaultTransformRecord(t);
  t.TransformCode = 21;
  t.SignalLength = 512;
  t.FftFlags = 2 | 8;
  t.SamplFactor = 4;
  t.SamplPhase = 3;
  t.CorrLags = 7;
  t.CorrType = 2;
  t.WinAlpha = 0.25f;
  t.WinBeta = -3.5f;
  t.UserFunc.Set("sin(t)");
  t.BasisFunc.Set("cos(k*x)");
  t.ThreshParam = 2.5;
  t.ThreshRelOp = 0;
  t.BitRevOrder = 9;
  t.ConvTapsCount = 3;
  t.ConvTaps[2] = -0.75f;
  t.AddSubCoef = -1.5;
  t.GoertzelFrequency = 0.25f;
  t.GoertzelState[3] = 0x5A;  // signal-library state passes through
  Opened down("Down Sample", RecordBytes(t));
  EXPECT_EQ(down.view.indices["Thresh_RelOp"], 1);  // "NSP_LT" shown as stored
  EXPECT_EQ(down.view.texts["Conv_H_12D"], "{1,0,-0.75}");
  EXPECT_TRUE(down.view.checks["Ck_Inv"] && down.view.checks["Ck_NoScale"] && !down.view.checks["Ck_Forw"]);
  EXPECT_EQ(down.presenter.ControlsRecord(), RecordBytes(t));

  // A record without a length or flag word shows the design state; formulas
  // of "Any Func" are lower-cased and cut to 55 characters; a negative code
  // is stored as 5.
  alignas(8) TransformParams bare{};
  DefaultTransformRecord(bare);
  bare.SignalLength = 0;
  bare.ConvTapsCount = 1000;
  Opened any("Any Func", RecordBytes(bare));
  EXPECT_EQ(any.view.numbers["Num_Points"], 102);
  EXPECT_TRUE(any.view.checks["Ck_Forw"] && any.view.checks["CK_OutRCPack"] && any.view.checks["CK_InRCPack"]);
  EXPECT_EQ(any.presenter.WorkingTransform().ConvTapsCount, 65);
  any.view.texts["User_func"] = "SIN(T)*" + std::string(60, 'X');
  EXPECT_EQ(FromBytes<TransformParams>(any.presenter.ControlsRecord()).UserFunc.Get(),
            "sin(t)*" + std::string(48, 'x'));
  any.presenter.KindSelected(-53);
  EXPECT_EQ(FromBytes<TransformParams>(any.presenter.ControlsRecord()).TransformCode, 5 - 30);

  alignas(8) FilterParams f = FilterRecordOffDefaults();
  Opened lms("Low-Level LMS", RecordBytes(f));
  EXPECT_EQ(lms.view.texts["FIRS_Taps"], "{0,1,-0.5,1,-2,1}");
  EXPECT_TRUE(lms.view.visibles["LMSS_Multi_Rate"]);  // it follows its stored check box
  EXPECT_EQ(lms.presenter.ControlsRecord(), RecordBytes(f));

  // Counts beyond the lists are cut to them; phases stay below their
  // factors; a stored value no item stands for is kept.
  f.FirTapsCount = 100000;
  f.IirTapsCount = -4;
  f.LmsDownPhase = 10;
  f.IirType = 7;
  Opened cut("Filters_Group", RecordBytes(f));
  EXPECT_EQ(cut.presenter.DialogCode(), 48);
  EXPECT_EQ(cut.presenter.WorkingFilter().FirTapsCount, 65);
  EXPECT_EQ(cut.view.texts["IIRS_Taps"], "{}");
  EXPECT_EQ(cut.presenter.Number("LMSS_DwnPhase"), 3);
  EXPECT_EQ(FromBytes<FilterParams>(cut.presenter.ControlsRecord()).IirType, 7);
}
