// The element-wise block through its exports: one value in, one value out.
#include <utility>

#include "TransformHarness.h"

namespace {

struct SimpleRig {
  InProcessHost host;
  explicit SimpleRig(int width = 16, bool second = false, int signMode = 0) {
    PrepareHost(host);
    AddIn(host, "DIn", width);
    AddOut(host, "DOut", width);
    if (second) AddIn(host, "D2In", width);
    host.SetIntParameter("SignValue", signMode);
  }
  // Writes x (and y), runs one step and answers DOut.
  int32_t Step(Block& b, int32_t x, int32_t y = 0) {
    SetInt(host, "DIn", x);
    if (host.Resolve("D2In") != 0) SetInt(host, "D2In", y);
    b->InputChanged();
    return GetInt(host, "DOut");
  }
};

}  // namespace

TEST(SimpleTransform, LogarithmAndRootFailWithMinusOne) {
  SimpleRig rig;
  Block ln("Natural_Log_Init", rig.host);
  ASSERT_TRUE(ln->IsValid());
  ln->LoadParameters();
  EXPECT_EQ(rig.Step(ln, 0), -1);
  EXPECT_EQ(rig.host.Value("DOut"), "1000000000000001");
  EXPECT_EQ(rig.Step(ln, 1), 0);
  EXPECT_EQ(rig.Step(ln, -3), -1);
  EXPECT_EQ(rig.Step(ln, 1000), 7);  // ln 1000 = 6.9

  SimpleRig rig2;
  Block sqrtBlock("Square_Root_Init", rig2.host);
  sqrtBlock->LoadParameters();
  EXPECT_EQ(rig2.Step(sqrtBlock, -4), -1);
  EXPECT_EQ(rig2.Step(sqrtBlock, 10), 3);
  EXPECT_EQ(rig2.Step(sqrtBlock, 0), 0);

  // Unsigned texts: -1 is zeros and a final 1.
  SimpleRig rig3(8, false, 1);
  Block ln3("Natural_Log_Init", rig3.host);
  ln3->LoadParameters();
  rig3.host.SetValue("DIn", "00000000");
  ln3->InputChanged();
  EXPECT_EQ(rig3.host.Value("DOut"), "00000001");
}

TEST(SimpleTransform, ThresholdsCoefficientsAndConjugation) {
  {
    SimpleRig rig(32);
    Block inv("Inverse_Thresh_Init", rig.host);
    TransformParams p = DefaultTransform();
    p.ThreshParam = 0.0;
    rig.host.SetParameter("Inverse Thresh", RecordBytes(p));
    inv->LoadParameters();
    EXPECT_EQ(rig.Step(inv, 0), 100000);
    EXPECT_EQ(rig.Step(inv, 1), 1);
  }
  {
    SimpleRig rig(16);
    Block th("Thresh_Init", rig.host);
    th->LoadParameters();  // threshold 10, NSP_GT
    EXPECT_EQ(rig.Step(th, 25), 10);
    EXPECT_EQ(rig.Step(th, 7), 7);
    EXPECT_EQ(rig.Step(th, -30), -30);
  }
  {
    SimpleRig rig(16);
    Block add("Addition_Substraction_Init", rig.host);
    add->LoadParameters();
    EXPECT_EQ(rig.Step(add, 2), 15);
    SimpleRig rig2(16, true);
    Block add2("Addition_Substraction_Init", rig2.host);
    add2->LoadParameters();
    EXPECT_EQ(rig2.Step(add2, 2, 5), 20);
  }
  {
    SimpleRig rig(16);
    Block mul("Multiply_Division_Init", rig.host);
    mul->LoadParameters();
    EXPECT_EQ(rig.Step(mul, 3), 12);
    SimpleRig rig2(16, true);
    Block mul2("Multiply_Division_Init", rig2.host);
    mul2->LoadParameters();
    EXPECT_EQ(rig2.Step(mul2, 3, 2), 24);
  }
  {
    SimpleRig rig(8);
    Block conj("Simple_Conjugation_Init", rig.host);
    conj->LoadParameters();
    EXPECT_EQ(rig.Step(conj, 5), -5);
    EXPECT_EQ(rig.host.Value("DOut"), "10000101");
  }
  {
    SimpleRig rig(16);
    Block abs("Absolute_Value_Init", rig.host);
    abs->LoadParameters();
    EXPECT_EQ(rig.Step(abs, -9), 9);
    Block rev("Bit_Reversed_Init", rig.host);
    rev->LoadParameters();  // order 5: the low five bits reversed
    EXPECT_EQ(rig.Step(rev, 0b00001), 0b10000);
    EXPECT_EQ(rig.Step(rev, 0b100011), 0b111000);
  }
}

TEST(SimpleTransform, ResultsBeyondThe32BitRangeFailAndMinus2To31Fits) {
  SimpleRig rig(32);
  Block exp("E_to_the_power_Init", rig.host);
  exp->LoadParameters();
  EXPECT_EQ(rig.Step(exp, 0), 1);
  EXPECT_EQ(rig.Step(exp, 2), 7);
  EXPECT_EQ(rig.Step(exp, 30), -1);   // 1.07e13
  EXPECT_EQ(rig.Step(exp, 100), -1);  // infinity

  Block sq("Square_Init", rig.host);
  sq->LoadParameters();
  EXPECT_EQ(rig.Step(sq, 46340), 2147395584);  // single precision: 46340² = 2147395600 is not a float
  EXPECT_EQ(rig.Step(sq, 50000), -1);
  EXPECT_EQ(rig.Step(sq, -7), 49);

  // -2^31 fits a sample, not a 32-bit sign-magnitude text (a sign and 31
  // zeros reads back as 0): the most negative the text carries instead.
  const std::string minText = std::string(32, '1');
  Block add("Addition_Substraction_Init", rig.host);
  TransformParams p = DefaultTransform();
  p.AddSubCoef = -2147483648.0;
  rig.host.SetParameter("Addition/Substraction", RecordBytes(p));
  add->LoadParameters();
  rig.Step(add, 0);
  EXPECT_EQ(rig.host.Value("DOut"), minText);
  p.AddSubCoef = -2147483904.0;  // the next single float below: out of range
  rig.host.SetParameter("Addition/Substraction", RecordBytes(p));
  add->LoadParameters();
  EXPECT_EQ(rig.Step(add, 0), -1);

  Block rev("Bit_Reversed_Init", rig.host);
  p = DefaultTransform();
  p.BitRevOrder = 32;
  rig.host.SetParameter("Bit-Reversed", RecordBytes(p));
  rev->LoadParameters();
  rig.Step(rev, 1);
  EXPECT_EQ(rig.host.Value("DOut"), minText);
  EXPECT_EQ(rig.Step(rev, 2), 1 << 30);
  // Orders outside 0..32 make the library answer 0.
  for (const int32_t order : {33, 1000, -1}) {
    p.BitRevOrder = order;
    rig.host.SetParameter("Bit-Reversed", RecordBytes(p));
    rev->LoadParameters();
    EXPECT_EQ(rig.Step(rev, 5), 0) << order;
  }
  p.BitRevOrder = 0;
  rig.host.SetParameter("Bit-Reversed", RecordBytes(p));
  rev->LoadParameters();
  EXPECT_EQ(rig.Step(rev, 5), 5);

  // Unsigned texts read -2^31 back.
  SimpleRig unsignedRig(32, false, 1);
  Block rev2("Bit_Reversed_Init", unsignedRig.host);
  p.BitRevOrder = 32;
  unsignedRig.host.SetParameter("Bit-Reversed", RecordBytes(p));
  rev2->LoadParameters();
  unsignedRig.host.SetValue("DIn", EncodeValueText(1, 1, 32));
  rev2->InputChanged();
  EXPECT_EQ(DecodeValueText(1, unsignedRig.host.Value("DOut")), INT32_MIN);
}

TEST(SimpleTransform, GroupPerformsTheRecordsCodeAndZeroOutsideItsFamily) {
  SimpleRig rig(16);
  Block group("Arithmetic_Group_Init", rig.host);
  ASSERT_TRUE(group->IsValid());
  EXPECT_STREQ(group->GetTypeName(), "Arithmetic_Group");
  // The default record selects code 0: nothing is computed, 0 is written.
  group->LoadParameters();
  rig.host.SetValue("DOut", "1111111111111111");
  EXPECT_EQ(rig.Step(group, 7), 0);

  TransformParams p = DefaultTransform();
  p.TransformCode = 31;
  rig.host.SetParameter("", RecordBytes(p));  // the name of code 0 is ""
  group->LoadParameters();
  EXPECT_EQ(rig.Step(group, 7), 49);
  // Later loads ask under the selected transform's name.
  p.TransformCode = 36;
  rig.host.SetParameter("Square", RecordBytes(p));
  group->LoadParameters();
  EXPECT_EQ(rig.Step(group, 7), 28);
  // A buffer transform's code is outside the family.
  p.TransformCode = 8;
  rig.host.SetParameter("Multiply/Division", RecordBytes(p));
  group->LoadParameters();
  EXPECT_EQ(rig.Step(group, 7), 0);
}

TEST(SimpleTransform, ConstructionChecksKindsAndWidths) {
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    AddOut(host, "DOut", 8);
    AddIn(host, "D2In", 16);
    Block b("Square_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongWidth, "D2In"}}));
    EXPECT_STREQ(b->GetTypeName(), "");
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    AddOut(host, "DOut", 16);
    Block b("Square_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongWidth, "DOut"}}));
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 1, vkLine);
    AddOut(host, "DOut", 1, vkLine);
    Block b("Square_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongKindOrFlags, "DOut"}}));
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    AddOut(host, "DOut", 8);
    AddIn(host, "D2In", 8, vkLine);
    Block b("Square_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongKindOrFlags, "D2In"}}));
  }
  {  // "DOut" is checked in full before "D2In"
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    AddOut(host, "DOut", 16);
    AddIn(host, "D2In", 8, vkLine);
    Block b("Square_Init", host);
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongWidth, "DOut"}}));
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    host.AddVariable("DOut", vkBus, 8, 0, "00000000");  // not writable
    Block b("Square_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (std::vector<std::pair<int32_t, std::string>>{{rcWrongKindOrFlags, "DOut"}}));
    b->InputChanged();  // an invalid block does nothing
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 8);
    AddOut(host, "DOut", 8);
    Block b("Natural_Log_Init", host);
    EXPECT_TRUE(b->IsValid());
    EXPECT_TRUE(host.Reports().empty());
    EXPECT_STREQ(b->GetTypeName(), "Natural Log");
    EXPECT_EQ(b->GetActivation(), kInputDriven);
  }
}

TEST(SimpleTransform, WithoutTheSignalLibraryTheBlockStaysInvalid) {
  InProcessHost host;
  host.SetLibraryDirectory("/nonexistent/");
  AddIn(host, "DIn", 8);
  AddOut(host, "DOut", 8);
  ShownMessages().clear();
  Block a("Square_Init", host);
  Block b("Square_Init", host);
  EXPECT_FALSE(a->IsValid());
  EXPECT_FALSE(b->IsValid());
  EXPECT_TRUE(host.Reports().empty());    // no port was bound
  ASSERT_EQ(ShownMessages().size(), 2u);  // tried again for the second block
#ifdef _WIN32
  EXPECT_EQ(ShownMessages()[0].text, "RIR Eda Err:Can't load library (/nonexistent/NSPdllS\\NSPPX.DLL)");
#else
  EXPECT_NE(ShownMessages()[0].text.find("Can't load library (/nonexistent/NSPdllS/NSPPX"), std::string::npos);
#endif
}

TEST(SimpleTransform, AnyFuncEvaluatesTheRecordsFormulaAndFailsOnce) {
  SimpleRig rig(16);
  Block f("Any_Func_Init", rig.host);
  TransformParams p = DefaultTransform();
  p.UserFunc.Set("t*t+1");
  rig.host.SetParameter("Any Func", RecordBytes(p));
  f->LoadParameters();
  ShownMessages().clear();
  EXPECT_EQ(rig.Step(f, 3), 10);
  EXPECT_EQ(rig.Step(f, -4), 17);
  EXPECT_TRUE(ShownMessages().empty());

  // A formula that cannot be evaluated: message 15 once, then -1 silently.
  p.UserFunc.Set("t*(");
  rig.host.SetParameter("Any Func", RecordBytes(p));
  f->LoadParameters();
  EXPECT_EQ(rig.Step(f, 3), -1);
  EXPECT_EQ(rig.Step(f, 4), -1);
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].severity, 0);
  EXPECT_NE(ShownMessages()[0].text.find("t*("), std::string::npos);

  // A stored "Err" has failed already: no message.
  p.UserFunc.Set("Err");
  rig.host.SetParameter("Any Func", RecordBytes(p));
  f->LoadParameters();
  EXPECT_EQ(rig.Step(f, 3), -1);
  EXPECT_EQ(ShownMessages().size(), 1u);

  // A formula that passes its check but cannot be evaluated at this input
  // is worth 0 at that step only, without a message (the Func generator's
  // answer too).
  p.UserFunc.Set("ln(t+5)*10");
  rig.host.SetParameter("Any Func", RecordBytes(p));
  f->LoadParameters();
  EXPECT_EQ(rig.Step(f, 5), 23);
  EXPECT_EQ(rig.Step(f, -6), 0);
  EXPECT_EQ(rig.host.Value("DOut"), "0000000000000000");
  EXPECT_EQ(rig.Step(f, 0), 16);
  p.UserFunc.Set("1/(t-200)");
  rig.host.SetParameter("Any Func", RecordBytes(p));
  f->LoadParameters();
  rig.host.SetValue("DOut", "1111111111111111");
  EXPECT_EQ(rig.Step(f, 200), 0);
  EXPECT_EQ(rig.host.Value("DOut"), "0000000000000000");
  EXPECT_EQ(rig.Step(f, 201), 1);
  EXPECT_EQ(ShownMessages().size(), 1u);

  // The default formula 1/10*t.
  rig.host.RemoveParameter("Any Func");
  f->LoadParameters();
  EXPECT_EQ(rig.Step(f, 50), 5);
}
