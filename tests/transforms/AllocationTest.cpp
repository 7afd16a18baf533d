// Block steps never allocate: operator new is counted for the whole process.
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "TransformHarness.h"
#include "support/AllocationCounter.h"

TEST(Allocation, StepsOfEveryFamilyAllocateNothing) {
  InProcessHost host;
  PrepareHost(host);
  AddIn(host, "DIn", 16);
  AddIn(host, "DSrc", 16);
  AddIn(host, "DDes", 16);
  host.AddVariable("W", vkLine, 1, 0, "1");
  host.AddVariable("R", vkLine, 1, 0, "1");
  AddOut(host, "DOut", 16);
  AddOut(host, "DReOut", 16);
  AddOut(host, "DImOut", 16);
  AddOut(host, "DSOut", 32);
  AddOut(host, "IBusy", 1, vkLine);
  SetInt(host, "DIn", 1234);
  SetInt(host, "DSrc", -77);
  SetInt(host, "DDes", 5);
  TransformParams p = DefaultTransform();
  p.SignalLength = 64;
  host.SetParameter("FFT using RCPack/RCPerm", RecordBytes(p));
  host.SetParameter("Goertzel DFT", RecordBytes(p));
  host.SetParameter("OneDim Convolution", RecordBytes(p));

  for (const char* name : {"Square_Init", "Multiply_Division_Init", "High_Level_FIR_Init", "Low_Level_IIR_Init",
                           "High_Level_LMS_Init", "Low_Level_LMS_Init", "FFT_using_RCPack_RCPerm_Init",
                           "Single_Frequecy_DFT_Goertzel_Init", "OneDim_Convolution_Init"}) {
    Block b(name, host);
    ASSERT_TRUE(b->IsValid()) << name;
    b->LoadParameters();
    b->Start();
    b->InputChanged();  // the host's texts reach their widths
    const long before = AllocationCount();
    for (int i = 0; i < 1000; ++i) b->InputChanged();
    EXPECT_EQ(AllocationCount() - before, 0) << name;
  }
}

TEST(Allocation, AnyFuncStepsAllocateNothing) {
  InProcessHost host;
  PrepareHost(host);
  AddIn(host, "DIn", 16);
  AddOut(host, "DOut", 16);
  TransformParams p = DefaultTransform();
  p.UserFunc.Set("sin(t)*100+ln(t+1)");
  host.SetParameter("Any Func", RecordBytes(p));
  Block b("Any_Func_Init", host);
  ASSERT_TRUE(b->IsValid());
  b->LoadParameters();
  b->Start();
  SetInt(host, "DIn", 30000);
  b->InputChanged();  // warm-up: the check, the host's text and the evaluator's texts
  long counted = 0;
  for (int i = 0; i < 1000; ++i) {
    SetInt(host, "DIn", i);
    const long before = AllocationCount();
    b->InputChanged();
    counted += AllocationCount() - before;
  }
  EXPECT_EQ(counted, 0);
  EXPECT_EQ(GetInt(host, "DOut"), static_cast<int32_t>(std::lround(std::sin(999.0) * 100 + std::log(1000.0))));
}
