// The filter block through its exports: one sample in, one filtered sample out.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <vector>

#include "TransformHarness.h"

namespace {

struct FilterRig {
  InProcessHost host;
  explicit FilterRig(int width = 16, bool desired = true) {
    PrepareHost(host);
    AddIn(host, "DSrc", width);
    AddOut(host, "DOut", width);
    if (desired) AddIn(host, "DDes", width);
  }
  int32_t Step(Block& b, int32_t x, int32_t d = 0) {
    SetInt(host, "DSrc", x);
    if (host.Resolve("DDes") != 0) SetInt(host, "DDes", d);
    b->InputChanged();
    return GetInt(host, "DOut");
  }
};

using Reports = std::vector<std::pair<int32_t, std::string>>;

}  // namespace

TEST(FilterTransform, DefaultHighLevelFirRecord) {
  FilterRig rig;
  Block b("High_Level_FIR_Init", rig.host);
  ASSERT_TRUE(b->IsValid());
  EXPECT_STREQ(b->GetTypeName(), "High-Level FIR");
  // Taps 0, 1, -0.5, 1, -2, 1 over a delay line of five ones and a zero.
  const double taps[6] = {0, 1, -0.5, 1, -2, 1};
  std::vector<double> past = {1, 1, 1, 1, 1, 0};  // most recent first
  const int32_t xs[8] = {10, 20, 30, -7, 0, 5, 100, -3};
  for (int32_t x : xs) {
    past.insert(past.begin(), x);
    double y = 0;
    for (int k = 0; k < 6; ++k) y += taps[k] * past[k];
    EXPECT_EQ(rig.Step(b, x), static_cast<int32_t>(std::nearbyint(y))) << x;
  }
  // The first outputs: 0.5 and 9.5 round to even.
  b->LoadParameters();  // restarts from the record's delay line
  EXPECT_EQ(rig.Step(b, 10), 0);
  EXPECT_EQ(rig.Step(b, 20), 10);
  EXPECT_EQ(rig.Step(b, 30), 15);
  // Start filters the current input once.
  b->LoadParameters();
  SetInt(rig.host, "DSrc", 10);
  b->Start();
  EXPECT_EQ(GetInt(rig.host, "DOut"), 0);
}

TEST(FilterTransform, OutputsSpanTheWhole32BitRange) {
  FilterRig rig(32, false);
  rig.host.SetIntParameter("SignValue", 1);  // unsigned texts carry -2^31 both ways
  FilterParams p = DefaultFilter();
  p.FirMultiRate = 0;
  p.FirTapsCount = 1;
  std::fill(std::begin(p.FirDelay), std::end(p.FirDelay), 0.0f);
  p.FirTaps[0] = -2147483648.0f;
  rig.host.SetParameter("High-Level FIR", RecordBytes(p));
  Block b("High_Level_FIR_Init", rig.host);
  ASSERT_TRUE(b->IsValid());
  const auto step = [&](int32_t x) {
    rig.host.SetValue("DSrc", IntToBits(static_cast<uint32_t>(x), 32));  // two's complement reads back
    b->InputChanged();
    return GetInt(rig.host, "DOut", 1);
  };
  EXPECT_EQ(step(1), INT32_MIN);   // exactly -2^31
  EXPECT_EQ(step(2), INT32_MIN);   // below the range: the true lower limit
  EXPECT_EQ(step(-1), INT32_MAX);  // above it
  EXPECT_EQ(step(0), 0);
}

TEST(FilterTransform, LmsWithoutDesiredPortReportsAndRuns) {
  FilterRig rig(16, false);
  Block b("High_Level_LMS_Init", rig.host);
  EXPECT_TRUE(b->IsValid());
  EXPECT_EQ(ReportedCodes(rig.host), (Reports{{rcNotFound, "DDes"}}));
  // The default record does not adapt (step 0): taps five ones over a delay
  // line of five ones.
  EXPECT_EQ(rig.Step(b, 10), 14);
  EXPECT_EQ(rig.Step(b, 20), 33);

  // Names of other kinds never ask for "DDes".
  FilterRig rig2(16, false);
  Block fir("Low_Level_LMS_Na_Init", rig2.host);
  EXPECT_TRUE(fir->IsValid());
  EXPECT_TRUE(rig2.host.Reports().empty());
}

TEST(FilterTransform, IirTapsAsBiquadsOrOneSection) {
  FilterParams p = DefaultFilter();
  p.TransformCode = 14;
  p.IirTapsCount = 12;
  const float taps[12] = {1, 0, 0, 1, 0, 0, 2, 0, 0, 1, 0, 0};
  std::copy(taps, taps + 12, p.IirTaps);
  const int32_t impulse[8] = {100, 0, 0, 0, 0, 0, 0, 0};

  for (const char* name : {"High_Level_IIR_Init", "Low_Level_IIR_Init"}) {
    const bool low = std::string(name).rfind("Low", 0) == 0;
    std::fill(std::begin(p.IirDelay), std::end(p.IirDelay), 0.0f);
    // Two biquads: identity, then gain 2.
    p.IirBiquad = 1;
    FilterRig rig;
    rig.host.SetParameter(low ? "Low-Level IIR" : "High-Level IIR", RecordBytes(p));
    Block bq(name, rig.host);
    std::vector<int32_t> got;
    for (int32_t x : impulse) got.push_back(rig.Step(bq, x));
    EXPECT_EQ(got, (std::vector<int32_t>{200, 0, 0, 0, 0, 0, 0, 0})) << name;

    // Without the flag: order 5, b = 1 0 0 1 0 0, a = 2 0 0 1 0 0, so
    // 2 y[n] = x[n] + x[n-3] - y[n-3].
    p.IirBiquad = 0;
    FilterRig rig2;
    rig2.host.SetParameter(low ? "Low-Level IIR" : "High-Level IIR", RecordBytes(p));
    Block one(name, rig2.host);
    got.clear();
    for (int32_t x : impulse) got.push_back(rig2.Step(one, x));
    EXPECT_EQ(got, (std::vector<int32_t>{50, 0, 0, 25, 0, 0, -12, 0})) << name;
  }
}

TEST(FilterTransform, FiltersGroupWithLmsDesCode) {
  FilterParams p = DefaultFilter();
  p.TransformCode = 17;
  p.LmsStep = 0.0005f;

  FilterRig groupRig;
  groupRig.host.SetParameter("Filters_Group", RecordBytes(p));
  Block group("Filters_Group_Init", groupRig.host);
  ASSERT_TRUE(group->IsValid());
  EXPECT_TRUE(groupRig.host.Reports().empty());  // "DDes" is not asked for

  FilterRig zeroRig, desRig;
  zeroRig.host.SetParameter("High-Level LMS DES", RecordBytes(p));
  desRig.host.SetParameter("High-Level LMS DES", RecordBytes(p));
  Block zero("High_Level_LMS_DES_Init", zeroRig.host);
  Block des("High_Level_LMS_DES_Init", desRig.host);

  bool differs = false;
  for (int i = 0; i < 40; ++i) {
    const int32_t x = (i % 7) * 10 - 30;
    const int32_t g = groupRig.Step(group, x, 1000);  // its "DDes" is never read
    EXPECT_EQ(g, zeroRig.Step(zero, x, 0)) << i;
    differs |= g != desRig.Step(des, x, 1000);
  }
  EXPECT_TRUE(differs);

  // A code outside the filters writes 0.
  p.TransformCode = 8;
  groupRig.host.SetParameter("High-Level LMS DES", RecordBytes(p));
  group->LoadParameters();
  EXPECT_EQ(groupRig.Step(group, 55), 0);
}

TEST(FilterTransform, ConstructionChecksAndDone) {
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DSrc", 8);
    AddOut(host, "DOut", 8, vkLine);
    Block b("High_Level_FIR_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcWrongKindOrFlags, "DOut"}}));
    EXPECT_STREQ(b->GetTypeName(), "High-Level FIR");  // named once bound, before the kind check
  }
  {
    InProcessHost host;
    PrepareHost(host);
    Block b("Low_Level_LMS_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcNotFound, "DSrc"}}));
  }
  // A filter's Done drops only its own use of the library: other blocks go on.
  FilterRig rig;
  AddIn(rig.host, "DIn", 16);
  AddOut(rig.host, "DSq", 16);
  InProcessHost sqHost;
  PrepareHost(sqHost);
  AddIn(sqHost, "DIn", 16);
  AddOut(sqHost, "DOut", 16);
  Block square("Square_Init", sqHost);
  square->LoadParameters();
  {
    Block fir("Low_Level_FIR_Init", rig.host);
    EXPECT_TRUE(fir->IsValid());
    fir->InputChanged();
  }  // Done + the host's release destroy it
  SetInt(sqHost, "DIn", 12);
  square->InputChanged();
  EXPECT_EQ(GetInt(sqHost, "DOut"), 144);
  // A new filter loads and runs again.
  Block again("High_Level_FIR_Init", rig.host);
  EXPECT_EQ(rig.Step(again, 10), 0);
}

TEST(FilterTransform, ForeignStateBytesAndOversizedCountsAreHarmless) {
  FilterParams p = DefaultFilter();
  auto* bytes = reinterpret_cast<unsigned char*>(&p);
  for (size_t i = 96; i < 460; ++i) bytes[i] = static_cast<unsigned char>(i * 37 + 11);  // state areas
  p.FirTapsCount = 1000000;
  p.IirTapsCount = 1000000;
  p.LmsTapsCount = -5;
  for (int code = 12; code <= 19; ++code) {
    p.TransformCode = code;
    FilterRig rig(32);
    rig.host.SetParameter("Filters_Group", RecordBytes(p));
    Block b("Filters_Group_Init", rig.host);
    ASSERT_TRUE(b->IsValid());
    for (int i = 0; i < 5; ++i) rig.Step(b, 1000 * i);
    b->LoadParameters();  // again from the same stored bytes
    rig.Step(b, 3);
  }
  // Huge outputs clamp to the 32-bit range.
  FilterParams big = DefaultFilter();
  big.FirTapsCount = 1;
  big.FirTaps[0] = 1e20f;
  FilterRig rig(32);
  rig.host.SetParameter("High-Level FIR", RecordBytes(big));
  Block b("High_Level_FIR_Init", rig.host);
  EXPECT_EQ(rig.Step(b, 5), 2147483647);
  // Down to -2^31, which a sign-magnitude text cannot carry (a sign and 31
  // zeros reads back as 0): the most negative it can, a sign and 31 ones.
  EXPECT_EQ(rig.Step(b, -5), -2147483647);
  EXPECT_EQ(rig.host.Value("DOut"), std::string(32, '1'));
  EXPECT_EQ(rig.Step(b, 0), 0);
}
