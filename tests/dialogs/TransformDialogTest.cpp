#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "DialogTestSupport.h"
#include "dialogs/qt/DialogChrome.h"
#include "dialogs/qt/UDb_Edit.h"
#include "dialogs/qt/UTransformOpt.h"
#include "framework/Errors.h"
#include "tests/support/SampleRecords.h"

namespace {

TransformParams DefaultTransform() {
  TransformParams r{};
  DefaultTransformRecord(r);
  return r;
}

FilterParams DefaultFilter() {
  FilterParams r{};
  DefaultFilterRecord(r);
  return r;
}

std::unique_ptr<TTransformsOpt> Open(HookLog& log, const std::string& type, std::vector<uint8_t> data = {},
                                     const std::string& language = "",
                                     std::optional<std::pair<int32_t, int32_t>> position = {}) {
  auto dialog = std::make_unique<TTransformsOpt>(RecordingHooks(log));
  DialogRequest request{type, language, "/lib/", position, std::move(data)};
  LoadForm(*dialog, request);
  dialog->show();
  return dialog;
}

DialogResult PressOk(TTransformsOpt& dialog) {
  QTest::mouseClick(dialog.Apply_Btn, Qt::LeftButton);
  return dialog.Store();
}

}  // namespace

TEST(TransformDialog, DownSampleFactorSnapsToDivisorsOfTheSignalLength) {
  HookLog log;
  TransformParams r = DefaultTransform();
  r.TransformCode = 21;
  r.SignalLength = 100;
  r.SamplFactor = 2;
  r.SamplPhase = 1;
  auto d = Open(log, "Down Sample", Bytes(r));
  EXPECT_EQ(d->CurrentPage(), "Sampling");
  EXPECT_EQ(d->SignalLength(), 100);
  d->Sampl_Factor->setValue(3);
  EXPECT_EQ(d->Sampl_Factor->value(), 4);
  d->Sampl_Factor->setValue(3);
  EXPECT_EQ(d->Sampl_Factor->value(), 2);
  // Above the signal length the factor stops at the length itself.
  d->Sampl_Factor->setValue(300);
  EXPECT_EQ(d->Sampl_Factor->value(), 100);
  // The phase stays below the factor.
  d->Sampl_Factor->setValue(99);
  EXPECT_EQ(d->Sampl_Factor->value(), 50);
  d->Sampl_Phase->setValue(70);
  EXPECT_EQ(d->Sampl_Phase->value(), 49);
  d->Sampl_Factor->setValue(7);
  EXPECT_EQ(d->Sampl_Factor->value(), 5);
  EXPECT_EQ(d->Sampl_Phase->value(), 4);
  const auto stored = FromBytes<TransformParams>(PressOk(*d).data);
  EXPECT_EQ(stored.TransformCode, 21);
  EXPECT_EQ(stored.SamplFactor, 5);
  EXPECT_EQ(stored.SamplPhase, 4);
}

TEST(TransformDialog, UpSampleTakesAnyFactorUpToTheSignalLength) {
  HookLog log;
  TransformParams r = DefaultTransform();
  r.TransformCode = 20;
  r.SignalLength = 100;
  auto d = Open(log, "Up Sample", Bytes(r));
  d->Sampl_Factor->setValue(3);
  EXPECT_EQ(d->Sampl_Factor->value(), 3);
  d->Sampl_Factor->setValue(170);
  EXPECT_EQ(d->Sampl_Factor->value(), 100);
}

TEST(TransformDialog, BitOrderIsLimitedByTheHalvingsOfTheSignalLength) {
  HookLog log;
  auto d = Open(log, "Bit-Reversed");
  EXPECT_EQ(d->CurrentPage(), "Bit Reversed");
  EXPECT_EQ(d->Num_Points->value(), 102);
  d->BitRev_Order->setValue(31);
  EXPECT_EQ(d->BitRev_Order->value(), 1);
  d->Num_Points->setValue(100);
  d->BitRev_Order->setValue(30);
  EXPECT_EQ(d->BitRev_Order->value(), 2);
  d->Num_Points->setValue(1024);
  d->BitRev_Order->setValue(29);
  EXPECT_EQ(d->BitRev_Order->value(), 10);
  d->BitRev_Order->setValue(4);
  EXPECT_EQ(d->BitRev_Order->value(), 4);
  d->BitRev_Order->setValue(0);
  EXPECT_EQ(d->BitRev_Order->value(), 1);
  d->Num_Points->setValue(101);
  d->BitRev_Order->setValue(8);
  EXPECT_EQ(d->BitRev_Order->value(), 1);
}

TEST(TransformDialog, ThreshAndInverseThreshSetTheirLimits) {
  HookLog log;
  auto d = Open(log, "Arithmetic_Group");
  ASSERT_TRUE(d->SelectItem("Inverse Thresh"));
  EXPECT_EQ(d->CurrentPage(), "Thresh");
  EXPECT_EQ(d->Thresh_param->minimum(), 1.0);
  EXPECT_FALSE(d->Thresh_RelOp->isEnabled());
  d->Thresh_param->setValue(0.5);
  EXPECT_EQ(d->Thresh_param->value(), 1.0);
  ASSERT_TRUE(d->SelectItem("Thresh"));
  EXPECT_EQ(d->Thresh_param->minimum(), 0.0);
  EXPECT_TRUE(d->Thresh_RelOp->isEnabled());
  d->Thresh_RelOp->setCurrentText("NSP_LT");
  EXPECT_TRUE(d->Thresh_RelOp->toolTip().contains("less-then"));
  const auto stored = FromBytes<TransformParams>(PressOk(*d).data);
  EXPECT_EQ(stored.TransformCode, 33);
  EXPECT_EQ(stored.ThreshRelOp, 0);

  // Reopened, the stored operator is shown, and choosing the other one
  // takes at once.
  HookLog log2;
  auto again = Open(log2, "Arithmetic_Group", Bytes(stored));
  ASSERT_TRUE(again->SelectItem("Thresh"));
  EXPECT_EQ(again->Thresh_RelOp->currentText(), "NSP_LT");
  again->Thresh_RelOp->setCurrentText("NSP_GT");
  EXPECT_EQ(FromBytes<TransformParams>(PressOk(*again).data).ThreshRelOp, 1);
}

TEST(TransformDialog, GroupBlocksKeepOnlyTheirGroupAndPreselectTheStoredKind) {
  HookLog log;
  FilterParams f = DefaultFilter();
  f.TransformCode = 14;
  auto d = Open(log, "Filters_Group", Bytes(f));
  EXPECT_TRUE(d->GroupMode());
  EXPECT_EQ(d->TreeCaptions(),
            QStringList({"Filters", " High-Level FIR", " Low-Level FIR", " High-Level IIR", " Low-Level IIR",
                         " High-Level LMS", " High-Level LMS DES", " Low-Level LMS", " Low-Level LMS Na"}));
  EXPECT_EQ(d->DialogCode(), 44);
  EXPECT_EQ(d->CurrentPage(), "IIRS");
  EXPECT_TRUE(d->IIRS_Delay->isHidden());
  EXPECT_TRUE(d->IIRSDelay_Label->isHidden());
  EXPECT_TRUE(d->Num_Points->isHidden());
  ASSERT_TRUE(d->SelectItem("Low-Level IIR"));
  EXPECT_FALSE(d->IIRS_Delay->isHidden());
  ASSERT_TRUE(d->SelectItem("High-Level FIR"));
  EXPECT_EQ(d->HelpContext(), 10420);
  EXPECT_EQ(d->CurrentPage(), "FIRS");
  ASSERT_TRUE(d->SelectItem("Low-Level LMS"));
  EXPECT_FALSE(d->LMSS_isAdaptB->isHidden());
  EXPECT_FALSE(d->LMSS_Formula->isHidden());
  ASSERT_TRUE(d->SelectItem("Low-Level LMS Na"));
  EXPECT_TRUE(d->LMSS_Formula->isHidden());
  EXPECT_TRUE(d->Result_label->isHidden());
  ASSERT_TRUE(d->SelectItem("High-Level LMS"));
  EXPECT_TRUE(d->LMSS_isAdaptB->isHidden());
  EXPECT_EQ(FromBytes<FilterParams>(PressOk(*d).data).TransformCode, 16);

  // A stored operation of a transform group is preselected too.
  HookLog log2;
  TransformParams t = DefaultTransform();
  t.TransformCode = 34;
  auto a = Open(log2, "Arithmetic_Group", Bytes(t));
  EXPECT_EQ(a->DialogCode(), 64);
  EXPECT_EQ(a->TreeCaptions().size(), 13);  // the group and its twelve operations
  EXPECT_TRUE(a->Num_Points->isHidden());
}

TEST(TransformDialog, SingleBlocksKeepTheirGroupAndTheirOwnItem) {
  HookLog log;
  auto d = Open(log, "Auto Correlation");
  EXPECT_EQ(d->TreeCaptions(), QStringList({"Correlation", " Auto"}));
  EXPECT_EQ(d->CurrentPage(), "Correlation");
  EXPECT_EQ(d->HelpContext(), 10520);
  EXPECT_FALSE(d->Num_Points->isHidden());
  // Selecting the group item shows the empty page and takes the group's code.
  ASSERT_TRUE(d->SelectItem("Correlation"));
  EXPECT_EQ(d->CurrentPage(), "None");
  EXPECT_EQ(d->DialogCode(), 5);
  EXPECT_FALSE(d->PreViewBtn->isEnabled());

  HookLog log2;
  auto fft = Open(log2, "Fast Fourier Transform");  // a disabled kind: nothing of it stays
  EXPECT_EQ(fft->TreeCaptions(), QStringList({"Fourier Transformation"}));
  EXPECT_EQ(fft->CurrentPage(), "None");
}

TEST(TransformDialog, UnknownTypeNamesShowMessage22AndKeepTheEmptyPage) {
  HookLog log;
  auto d = Open(log, "No Such Block");
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "RIR Eda Err:No Such Block - Function Name not found");
  EXPECT_EQ(d->DialogCode(), 29);
  EXPECT_TRUE(d->TreeCaptions().isEmpty());
  EXPECT_EQ(d->CurrentPage(), "None");
}

TEST(TransformDialog, PositionIsAlwaysStoredAndCancelStoresNothing) {
  HookLog log;
  auto d = Open(log, "Square", {}, "", std::make_pair(120, 80));
  const DialogResult result = PressOk(*d);
  ASSERT_TRUE(result.accepted);
  ASSERT_TRUE(result.position.has_value());
  EXPECT_EQ(result.position->first, d->x());
  EXPECT_EQ(result.position->second, d->y());
  EXPECT_EQ(result.data.size(), 552u);

  // No stored position and nothing changed: the record goes back as it
  // came, and the position is stored all the same.
  HookLog log2;
  const std::vector<uint8_t> stored = Bytes(DefaultTransform());
  auto c = Open(log2, "Square", stored);
  const DialogResult untouched = PressOk(*c);
  EXPECT_TRUE(untouched.position.has_value());
  EXPECT_EQ(untouched.data, stored);

  HookLog log3;
  auto x = Open(log3, "Square");
  QTest::mouseClick(x->BitBtn1, Qt::LeftButton);
  const DialogResult cancelled = x->Store();
  EXPECT_FALSE(cancelled.accepted);
  EXPECT_FALSE(cancelled.position.has_value());
  EXPECT_TRUE(cancelled.data.empty());
}

TEST(TransformDialog, ReopeningKeepsLengthFlagsAndCorrelationType) {
  HookLog log;
  TransformParams r = DefaultTransform();
  r.TransformCode = 44;  // "FFT of real signal": Forward, Inverse, Initialize, No Scale
  r.SignalLength = 512;
  r.FftFlags = 2 | 8;
  auto d = Open(log, "FFT of real signal", Bytes(r));
  EXPECT_EQ(d->Num_Points->value(), 512);
  EXPECT_FALSE(d->Ck_Forw->isChecked());
  EXPECT_TRUE(d->Ck_Inv->isChecked());
  EXPECT_TRUE(d->Ck_NoScale->isChecked());
  const auto stored = FromBytes<TransformParams>(PressOk(*d).data);
  EXPECT_EQ(stored.SignalLength, 512);
  EXPECT_EQ(stored.FftFlags, 10);

  HookLog log2;
  TransformParams c = DefaultTransform();
  c.TransformCode = 22;
  c.CorrType = 2;
  c.CorrLags = 7;
  auto corr = Open(log2, "Auto Correlation", Bytes(c));
  EXPECT_EQ(corr->corrType->currentText(), "NSP_AutoUnBiased");
  EXPECT_EQ(FromBytes<TransformParams>(PressOk(*corr).data).CorrType, 2);

  HookLog log3;
  auto corr2 = Open(log3, "Auto Correlation", Bytes(c));
  corr2->corrType->setCurrentText("NSP_AutoNormal");
  EXPECT_TRUE(corr2->corrType->toolTip().contains("normal auto-correlation"));
  const auto normal = FromBytes<TransformParams>(PressOk(*corr2).data);
  EXPECT_EQ(normal.CorrType, 0);
  EXPECT_EQ(normal.CorrLags, 7);
}

TEST(TransformDialog, FlagBoxesFollowTheirEnableSetsAndExclusiveGroups) {
  HookLog log;
  auto d = Open(log, "FFT of CCS using RCPack/RCPerm");  // enable set {1, 2, 4}
  // A record that never had a flag word opens in the design state.
  EXPECT_TRUE(d->Ck_Forw->isChecked());
  EXPECT_TRUE(d->CK_OutRCPack->isChecked());
  EXPECT_TRUE(d->CK_InRCPack->isChecked());
  EXPECT_FALSE(d->CK_OutRCPack->isEnabled());
  EXPECT_TRUE(d->Ck_NoBitRev->isEnabled());
  EXPECT_EQ(d->ComposeFlags(), 1 + 512);

  d->Ck_Inv->click();
  EXPECT_FALSE(d->Ck_Forw->isChecked());
  EXPECT_TRUE(d->Ck_Inv->isChecked());
  d->Ck_NoBitRev->click();
  d->Ck_InBitRev->click();
  EXPECT_FALSE(d->Ck_NoBitRev->isChecked());
  d->Ck_OutBitRev->click();
  EXPECT_FALSE(d->Ck_InBitRev->isChecked());
  d->CK_InRCPerm->click();
  EXPECT_FALSE(d->CK_InRCPack->isChecked());
  d->CK_InRCPerm->click();  // clicking the checked one keeps it checked
  EXPECT_TRUE(d->CK_InRCPerm->isChecked());
  EXPECT_EQ(d->WorkingTransform().FftFlags, 2 + 64 + 1024);

  d->EnableFlagBoxes({0});  // overridden by the absent 1
  EXPECT_FALSE(d->Ck_Forw->isEnabled());
  d->EnableFlagBoxes({3});
  EXPECT_TRUE(d->CK_OutRCPerm->isEnabled());
  EXPECT_FALSE(d->Ck_NoScale->isEnabled());
  EXPECT_EQ(d->ComposeFlags(), 128);
}

TEST(TransformDialog, ReopeningAFilterKeepsEverySetting) {
  HookLog log;
  FilterParams f = FilterRecordOffDefaults();  // run-time state passes through
  auto d = Open(log, "Low-Level LMS", Bytes(f));
  EXPECT_EQ(d->CurrentPage(), "LMSS");
  EXPECT_FALSE(d->LMSS_Multi_Rate->isHidden());
  EXPECT_TRUE(d->Multi_Rate_Box->isHidden());
  const auto stored = FromBytes<FilterParams>(PressOk(*d).data);
  EXPECT_EQ(stored.TransformCode, 18);
  EXPECT_EQ(stored.FirUpFactor, 3);
  EXPECT_EQ(stored.FirUpPhase, 2);
  EXPECT_EQ(stored.FirDownFactor, 2);
  EXPECT_EQ(stored.FirDownPhase, 1);
  EXPECT_EQ(stored.FirMultiRate, 1);
  EXPECT_EQ(stored.IirType, 1);
  EXPECT_EQ(stored.IirBiquad, 1);
  EXPECT_EQ(stored.LmsType, 1);
  EXPECT_EQ(stored.LmsStep, 0.25f);
  EXPECT_EQ(stored.LmsLeak, 0.5f);
  EXPECT_EQ(stored.LmsErrDly, 7);
  EXPECT_EQ(stored.LmsDownFactor, 4);
  EXPECT_EQ(stored.LmsDownPhase, 3);
  EXPECT_EQ(stored.LmsMultiRate, 1);
  EXPECT_EQ(stored.LmsAdaptive, 1);
  EXPECT_EQ(stored.HighFirState[5], 0xAB);
  EXPECT_EQ(stored.HighLmsError, 1.5);
  EXPECT_EQ(std::memcmp(stored.FirTaps, f.FirTaps, sizeof f.FirTaps), 0);
  EXPECT_EQ(stored.FirTapsCount, 6);

  // A filter record with a count beyond the lists is shown cut to them.
  HookLog log2;
  FilterParams bad = DefaultFilter();
  bad.FirTapsCount = 100000;
  bad.IirTapsCount = -4;
  auto b = Open(log2, "High-Level FIR", Bytes(bad));
  EXPECT_EQ(b->FIRS_Taps->text().count(','), 64);
  EXPECT_EQ(b->IIRS_Taps->text(), "{}");
}

TEST(TransformDialog, TableEditorButtonsEditTheWorkingLists) {
  HookLog log;
  auto d = Open(log, "High-Level FIR");
  EXPECT_EQ(d->FIRS_Taps->text(), "{0,1,-0.5,1,-2,1}");
  int shownColumns = -1;
  d->RunTableEditor = [&] {
    TTableEdit* e = d->TableEditor();
    shownColumns = e->Columns->value();
    e->Columns->setValue(3);
    e->StringGrid1->item(1, 0)->setText("2.5");
    return int(QDialog::Accepted);
  };
  // Lists are edited through the table editor only: typed text would be
  // shown and then ignored.
  for (TEditButton* list :
       {d->FIRS_Taps, d->FIRS_Delay, d->IIRS_Taps, d->IIRS_Delay, d->LMSS_Taps, d->LMSS_Delay, d->Conv_H_12D})
    EXPECT_TRUE(list->Edit->isReadOnly()) << list->objectName().toStdString();
  EXPECT_FALSE(d->User_func->Edit->isReadOnly());
  d->FIRS_Taps->Button->click();
  EXPECT_EQ(shownColumns, 6);
  EXPECT_EQ(d->FIRS_Taps->text(), "{2.5,1,-0.5}");
  EXPECT_EQ(d->WorkingFilter().FirTapsCount, 3);
  // The delay line shows one entry less than the shared count; opening it
  // and pressing OK keeps every tap.
  d->RunTableEditor = [&] {
    shownColumns = d->TableEditor()->Columns->value();
    return int(QDialog::Accepted);
  };
  d->FIRS_Delay->Button->click();
  EXPECT_EQ(shownColumns, 2);
  EXPECT_EQ(d->WorkingFilter().FirTapsCount, 3);
  // Lengthening the delay line to four entries makes room for five taps.
  d->RunTableEditor = [&] {
    d->TableEditor()->Columns->setValue(4);
    return int(QDialog::Accepted);
  };
  d->FIRS_Delay->Button->click();
  EXPECT_EQ(d->WorkingFilter().FirTapsCount, 5);

  // A cell that is not a number: entries before it and the count are taken,
  // the field is left empty, and a message names the entry.
  d->RunTableEditor = [&] {
    TTableEdit* e = d->TableEditor();
    e->Columns->setValue(4);
    e->StringGrid1->item(1, 0)->setText("9");
    e->StringGrid1->item(1, 1)->setText("x");
    return int(QDialog::Accepted);
  };
  QString said;
  QTimer::singleShot(0, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      said = box->text();
      box->accept();
    }
  });
  d->FIRS_Taps->Button->click();
  EXPECT_EQ(said, "FIRS_Taps[1] is not a number");
  EXPECT_EQ(d->FIRS_Taps->text(), "");
  EXPECT_EQ(d->WorkingFilter().FirTapsCount, 4);
  EXPECT_EQ(d->WorkingFilter().FirTaps[0], 9.0f);
  const auto stored = FromBytes<FilterParams>(PressOk(*d).data);
  EXPECT_EQ(stored.FirTapsCount, 4);
  EXPECT_EQ(stored.FirTaps[0], 9.0f);

  // Biquad IIR taps ask for at least six entries.
  HookLog log2;
  FilterParams f = DefaultFilter();
  f.TransformCode = 15;
  f.IirTapsCount = 2;
  auto iir = Open(log2, "Low-Level IIR", Bytes(f));
  iir->IIRS_isBiquads->setChecked(true);
  iir->RunTableEditor = [&] {
    shownColumns = iir->TableEditor()->Columns->value();
    return int(QDialog::Accepted);
  };
  iir->IIRS_Taps->Button->click();
  EXPECT_EQ(shownColumns, 6);
  EXPECT_EQ(iir->WorkingFilter().IirTapsCount, 6);

  // The six columns biquad taps ask for do not pad the next list opened.
  HookLog log4;
  f.FirTapsCount = 3;
  auto group = Open(log4, "Filters_Group", Bytes(f));
  group->IIRS_isBiquads->setChecked(true);
  group->RunTableEditor = [&] {
    shownColumns = group->TableEditor()->Columns->value();
    return int(QDialog::Accepted);
  };
  group->IIRS_Taps->Button->click();
  EXPECT_EQ(shownColumns, 6);
  ASSERT_TRUE(group->SelectItem("High-Level FIR"));
  group->FIRS_Taps->Button->click();
  EXPECT_EQ(shownColumns, 3);
  EXPECT_EQ(group->WorkingFilter().FirTapsCount, 3);

  // Convolution taps live in the transform record.
  HookLog log3;
  auto conv = Open(log3, "OneDim Convolution");
  EXPECT_EQ(conv->Conv_H_12D->text(), "{1,0,0,0,0,0}");
  conv->RunTableEditor = [&] {
    conv->TableEditor()->Columns->setValue(2);
    conv->TableEditor()->StringGrid1->item(1, 1)->setText("0.75");
    return int(QDialog::Accepted);
  };
  conv->Conv_H_12D->Button->click();
  const auto t = FromBytes<TransformParams>(PressOk(*conv).data);
  EXPECT_EQ(t.ConvTapsCount, 2);
  EXPECT_EQ(t.ConvTaps[1], 0.75f);
}

TEST(TransformDialog, FormulasAreCheckedLowerCasedAndCut) {
  HookLog log;
  auto d = Open(log, "Any Func");
  EXPECT_EQ(d->CurrentPage(), "Users_func");
  d->User_func->Button->click();
  EXPECT_EQ(log.infos, std::vector<int>{10});
  ASSERT_EQ(log.texts.size(), 1u);
  EXPECT_EQ(log.texts[0], "The formula is entered correctly");
  d->User_func->setText("SIN(T)*" + QString(60, 'X'));
  const auto stored = FromBytes<TransformParams>(PressOk(*d).data);
  EXPECT_EQ(stored.UserFunc.Get(), ("sin(t)*" + std::string(48, 'x')));

  HookLog log2;
  auto basis = Open(log2, "Forward User trans");
  basis->Basis_func->setText("COS(K*X)");
  EXPECT_EQ(FromBytes<TransformParams>(PressOk(*basis).data).BasisFunc.Get(), "cos(k*x)");
}

TEST(TransformDialog, CaptionsFollowTheLanguage) {
  HookLog log;
  auto ru = Open(log, "Filters_Group", {}, "russian");
  EXPECT_EQ(log.language, "russian");
  EXPECT_EQ(ru->windowTitle(), QString::fromUtf8("Параметры преобразований"));
  EXPECT_EQ(ru->GroupBox1->title(), QString::fromUtf8("Параметры"));
  EXPECT_EQ(ru->Ck_Forw->text(), QString::fromUtf8("Прямое"));
  EXPECT_EQ(ru->findChild<QLabel*>("SigLen_label")->text(), QString::fromUtf8("Длина сигнала"));
  EXPECT_EQ(ru->findChild<QLabel*>("Taps_label2")->text(), "Taps");

  HookLog log2;
  auto en = Open(log2, "Filters_Group", {}, "ENGLISH");
  EXPECT_EQ(en->windowTitle(), "Transformation options");
  EXPECT_EQ(en->findChild<QLabel*>("Factor_label")->text(), " Factor ");
}

TEST(TransformDialog, StoredDataOfAnotherSizeIsIgnored) {
  HookLog log;
  auto d = Open(log, "Addition/Substraction", std::vector<uint8_t>(100, 0xFF));
  EXPECT_EQ(d->Add_Sub_coef->value(), 13.0);
  const auto stored = FromBytes<TransformParams>(PressOk(*d).data);
  EXPECT_EQ(stored.TransformCode, 35);
  EXPECT_EQ(stored.AddSubCoef, 13.0);
  EXPECT_EQ(stored.SignalLength, 102);
}
