// The buffer block through its exports: collect on "R", transform, emit on "W".
#include <algorithm>
#include <cmath>
#include <vector>

#include "TransformHarness.h"

namespace {

struct Outputs {
  int32_t re, im, power;
  bool operator==(const Outputs&) const = default;
};

struct BufferRig {
  InProcessHost host;
  int width;
  explicit BufferRig(int w = 16, bool busy = true, bool im = true, bool power = true) : width(w) {
    PrepareHost(host);
    AddIn(host, "DIn", w);
    AddIn(host, "W", 1, vkLine);
    AddIn(host, "R", 1, vkLine);
    AddOut(host, "DReOut", w);
    if (busy) AddOut(host, "IBusy", 1, vkLine);
    if (im) AddOut(host, "DImOut", w);
    if (power) AddOut(host, "DSOut", 2 * w);
  }
  void Store(const char* key, const TransformParams& p) { host.SetParameter(key, RecordBytes(p)); }
  void Step(Block& b, bool read, bool write, int32_t v = 0) {
    SetInt(host, "DIn", v);
    host.SetValue("R", read ? "1" : "0");
    host.SetValue("W", write ? "1" : "0");
    b->InputChanged();
  }
  Outputs Emit(Block& b, bool read = false, int32_t v = 0) {
    Step(b, read, true, v);
    return Current();
  }
  Outputs Current() const {
    return {GetInt(host, "DReOut"), host.Resolve("DImOut") ? GetInt(host, "DImOut") : 0,
            host.Resolve("DSOut") ? GetInt(host, "DSOut") : 0};
  }
  std::string Busy() const { return host.Value("IBusy"); }
};

TransformParams WithLength(int32_t n) {
  TransformParams p = DefaultTransform();
  p.SignalLength = n;
  return p;
}

}  // namespace

TEST(BufferTransform, StrobeSequenceWithBusyAndHeldSamples) {
  BufferRig rig;
  Block b("Forward_FFT_Init", rig.host);
  ASSERT_TRUE(b->IsValid());
  rig.Store("Forward FFT", WithLength(4));
  b->LoadParameters();
  b->Start();
  EXPECT_EQ(rig.Busy(), "0");
  for (int32_t v : {10, 20, 30}) rig.Step(b, true, false, v);
  rig.Step(b, true, false, 40);  // the fourth sample runs the transform
  EXPECT_EQ(rig.Busy(), "0");
  // Emission and collection in the same step.
  EXPECT_EQ(rig.Emit(b, true, 50), (Outputs{0, 10, 100}));
  for (int32_t v : {60, 70}) rig.Step(b, true, false, v);
  EXPECT_EQ(rig.Busy(), "0");
  rig.Step(b, true, false, 80);  // full while results remain
  EXPECT_EQ(rig.Busy(), "1");
  rig.Step(b, true, false, 90);  // dropped
  EXPECT_EQ(rig.Busy(), "1");
  EXPECT_EQ(rig.Emit(b), (Outputs{1, 20, 401}));
  EXPECT_EQ(rig.Emit(b), (Outputs{2, 30, 904}));
  EXPECT_EQ(rig.Busy(), "1");
  // The last result frees the buffer: the held samples are transformed at once.
  EXPECT_EQ(rig.Emit(b), (Outputs{3, 40, 1609}));
  EXPECT_EQ(rig.Busy(), "0");
  std::vector<int32_t> second;
  for (int i = 0; i < 4; ++i) second.push_back(rig.Emit(b).im);
  EXPECT_EQ(second, (std::vector<int32_t>{50, 60, 70, 80}));
  // Nothing pending: a write strobe changes nothing.
  EXPECT_EQ(rig.Emit(b), (Outputs{3, 80, 9 + 6400}));

  // A run started in mid-emission starts clean: the next buffer is
  // transformed and emitted, and the block is not left busy.
  for (int32_t v : {1, 2, 3, 4}) rig.Step(b, true, false, v);
  EXPECT_EQ(rig.Emit(b), (Outputs{0, 1, 1}));
  b->Start();
  EXPECT_EQ(rig.Busy(), "0");
  for (int32_t v : {5, 6, 7, 8}) rig.Step(b, true, false, v);
  EXPECT_EQ(rig.Busy(), "0");
  std::vector<int32_t> third;
  for (int i = 0; i < 4; ++i) third.push_back(rig.Emit(b).im);
  EXPECT_EQ(third, (std::vector<int32_t>{5, 6, 7, 8}));
}

TEST(BufferTransform, StrobeSequenceWithoutBusyAndEarlyRerun) {
  BufferRig rig(16, false);
  Block b("Forward_FFT_Init", rig.host);
  rig.Store("Forward FFT", WithLength(4));
  b->LoadParameters();
  b->Start();
  for (int32_t v : {1, 2, 3, 4}) rig.Step(b, true, false, v);
  // Four more before the first result was emitted: the transform runs again.
  for (int32_t v : {5, 6, 7, 8}) rig.Step(b, true, false, v);
  std::vector<Outputs> got;
  for (int i = 0; i < 4; ++i) got.push_back(rig.Emit(b));
  EXPECT_EQ(got, (std::vector<Outputs>{{0, 5, 25}, {1, 6, 37}, {2, 7, 53}, {3, 8, 73}}));

  // Start clears the outputs and the pending results.
  for (int32_t v : {1, 2, 3, 4}) rig.Step(b, true, false, v);
  b->Start();
  EXPECT_EQ(rig.Current(), (Outputs{0, 0, 0}));
  EXPECT_EQ(rig.Emit(b), (Outputs{0, 0, 0}));

  // Strobes before the parameters are loaded do nothing.
  BufferRig idle;
  Block fresh("Forward_FFT_Init", idle.host);
  for (int i = 0; i < 3; ++i) idle.Step(fresh, true, true, 7);
  EXPECT_EQ(idle.Current(), (Outputs{0, 0, 0}));
}

TEST(BufferTransform, ConvolutionGoertzelAndHann) {
  {
    BufferRig rig;
    Block b("OneDim_Convolution_Init", rig.host);
    TransformParams p = WithLength(5);
    const float taps[6] = {1, 2, 3, 0, 0, 1};
    std::copy(taps, taps + 6, p.ConvTaps);
    rig.Store("OneDim Convolution", p);
    b->LoadParameters();
    const int32_t x[5] = {1, -2, 3, 4, 5};
    for (int32_t v : x) rig.Step(b, true, false, v);
    std::vector<int32_t> expected(10, 0), re, im;
    for (int i = 0; i < 5; ++i)
      for (int k = 0; k < 6; ++k) expected[i + k] += x[i] * static_cast<int32_t>(taps[k]);
    for (int i = 0; i < 11; ++i) {
      const Outputs o = rig.Emit(b);
      re.push_back(o.re);
      im.push_back(o.im);
    }
    expected.push_back(expected.back());  // the eleventh strobe emits nothing new
    EXPECT_EQ(im, expected);
    EXPECT_EQ(re, (std::vector<int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9}));
  }
  {
    BufferRig rig;
    Block b("Single_Frequecy_DFT_Goertzel_Init", rig.host);
    TransformParams p = WithLength(4);
    p.GoertzelFrequency = 0.25f;
    rig.Store("Goertzel DFT", p);
    b->LoadParameters();
    for (int32_t v : {1, 2, 3, 4}) rig.Step(b, true, false, v);
    EXPECT_EQ(rig.Emit(b), (Outputs{-2, 2, 8}));
    rig.host.SetValue("DReOut", "0000000000000000");
    rig.Emit(b);  // one result per buffer
    EXPECT_EQ(GetInt(rig.host, "DReOut"), 0);
    // Reloading frees and re-creates the library's Goertzel state.
    b->LoadParameters();
    for (int32_t v : {4, 3, 2, 1}) rig.Step(b, true, false, v);
    EXPECT_EQ(rig.Emit(b), (Outputs{2, -2, 8}));
  }
  {
    BufferRig rig;
    Block b("Hann_trans_Init", rig.host);
    EXPECT_STREQ(b->GetTypeName(), "Hann trans_16");
    rig.Store("Hann trans", WithLength(6));
    b->LoadParameters();
    for (int32_t v : {100, 200, 300, 400, 500, 600}) rig.Step(b, true, false, v);
    std::vector<Outputs> got;
    for (int i = 0; i < 6; ++i) got.push_back(rig.Emit(b));
    // Window 0, 0.345, 0.905, 0.905, 0.345, 0 on positions and samples.
    EXPECT_EQ(got, (std::vector<Outputs>{
                       {0, 0, 0}, {0, 69, 4761}, {2, 271, 73445}, {3, 362, 131053}, {1, 173, 29930}, {0, 0, 0}}));
  }
}

TEST(BufferTransform, CorrelationsSamplingAndConjugation) {
  {
    BufferRig rig;
    Block b("Auto_Correlation_Init", rig.host);
    TransformParams p = WithLength(4);
    p.CorrLags = 2;
    rig.Store("Auto Correlation", p);
    b->LoadParameters();
    for (int round = 0; round < 2; ++round) {
      for (int32_t v : {1, 2, 3, 4}) rig.Step(b, true, false, v);
      std::vector<int32_t> im;
      for (int i = 0; i < 4; ++i) im.push_back(rig.Emit(b).im);
      EXPECT_EQ(im, (std::vector<int32_t>{30, 20, 0, 0}));  // past the lags: 0
    }
  }
  {
    BufferRig rig;
    Block b("Cross_Correlation_Init", rig.host);
    rig.Store("Cross Correlation", WithLength(3));
    b->LoadParameters();
    for (int32_t v : {9, 8, 7}) rig.Step(b, true, false, v);
    std::vector<Outputs> got;
    for (int i = 0; i < 3; ++i) got.push_back(rig.Emit(b));
    EXPECT_EQ(got, (std::vector<Outputs>{{0, 0, 0}, {1, 0, 1}, {2, 0, 4}}));
  }
  {
    BufferRig rig;
    Block b("Down_Sample_Init", rig.host);
    TransformParams p = WithLength(5);
    p.SamplFactor = 2;
    rig.Store("Down Sample", p);
    b->LoadParameters();
    std::vector<int32_t> im;
    for (int32_t v : {1, 2, 3, 4, 5}) rig.Step(b, true, false, v);
    for (int i = 0; i < 3; ++i) im.push_back(rig.Emit(b).im);
    // The phase carries into the next buffer: 6 7 8 9 10 keeps 7 and 9.
    for (int32_t v : {6, 7, 8, 9, 10}) rig.Step(b, true, false, v);
    for (int i = 0; i < 2; ++i) im.push_back(rig.Emit(b).im);
    EXPECT_EQ(im, (std::vector<int32_t>{1, 3, 5, 7, 9}));
  }
  {
    BufferRig rig;
    Block b("Flip_Conjugation_Init", rig.host);
    rig.Store("Flip Conjugation", WithLength(3));
    b->LoadParameters();
    for (int32_t v : {1, 2, 3}) rig.Step(b, true, false, v);
    std::vector<int32_t> im;
    for (int i = 0; i < 3; ++i) im.push_back(rig.Emit(b).im);
    EXPECT_EQ(im, (std::vector<int32_t>{-3, -2, -1}));
  }
  {
    BufferRig rig;
    Block b("Extended_Conjugation_Init", rig.host);
    rig.Store("Extended Conjugation", WithLength(3));
    b->LoadParameters();
    for (int32_t v : {1, 2, 3}) rig.Step(b, true, false, v);
    std::vector<Outputs> got;
    for (int i = 0; i < 5; ++i) got.push_back(rig.Emit(b));
    EXPECT_EQ(got, (std::vector<Outputs>{{0, 1, 1}, {1, 2, 5}, {2, 3, 13}, {2, -3, 13}, {1, -2, 5}}));
  }
}

TEST(BufferTransform, RealFftLengthsFollowTheLargestPowerOfTwo) {
  BufferRig rig(16);
  Block b("FFT_using_RCPack_RCPerm_Init", rig.host);
  rig.Store("FFT using RCPack/RCPerm", WithLength(6));
  ShownMessages().clear();
  b->LoadParameters();
  ASSERT_EQ(ShownMessages().size(), 1u);
  EXPECT_EQ(ShownMessages()[0].text, "RIR Eda Err:Length of a signal should be a degree of 2");
  for (int round = 0; round < 2; ++round) {
    for (int32_t v : {1, 1, 1, 1, 9, 9}) rig.Step(b, true, false, v);
    std::vector<Outputs> got;
    for (int i = 0; i < 4; ++i) got.push_back(rig.Emit(b));
    // Only the first four samples: power 16, 0, 0, then nothing more.
    EXPECT_EQ(got, (std::vector<Outputs>{{0, 16, 256}, {1, 0, 1}, {2, 0, 4}, {2, 0, 4}}));
  }
  EXPECT_EQ(ShownMessages().size(), 1u);  // once per load
  b->LoadParameters();
  EXPECT_EQ(ShownMessages().size(), 2u);

  // A power of two: no message.
  BufferRig rig8(16);
  Block b8("FFT_using_RCPack_RCPerm_Init", rig8.host);
  rig8.Store("FFT using RCPack/RCPerm", WithLength(8));
  ShownMessages().clear();
  b8->LoadParameters();
  EXPECT_TRUE(ShownMessages().empty());
}

TEST(BufferTransform, CcsFftEmitsTwoToTheOrderValues) {
  BufferRig rig(16);
  Block b("FFT_of_CCS_using_RCPack_RCPerm_Init", rig.host);
  TransformParams p = WithLength(4);
  p.FftFlags = 8;  // no scaling
  rig.Store("FFT of CCS using RCPack/RCPerm", p);
  b->LoadParameters();
  // Bins (position, sample): (0, 5) (1, 3) (2, 7); the imaginary parts of
  // bins 0 and N/2 do not count.
  for (int32_t v : {5, 3, 7, 9}) rig.Step(b, true, false, v);
  std::vector<int32_t> im;
  for (int i = 0; i < 5; ++i) im.push_back(rig.Emit(b).im);
  EXPECT_EQ(im, (std::vector<int32_t>{4, -8, 0, 4, 4}));
}

TEST(BufferTransform, BuffersAreBoundedAt10001) {
  {
    // A signal length above the capacity is limited to it.
    BufferRig rig(16, true, true, false);
    Block b("Forward_FFT_Init", rig.host);
    rig.Store("Forward FFT", WithLength(20000));
    b->LoadParameters();
    for (int i = 0; i < 10000; ++i) rig.Step(b, true, false, i % 1000);
    EXPECT_EQ(rig.Emit(b).re, 0);   // nothing yet: the last emitted value stays
    rig.Step(b, true, false, 777);  // sample 10001 runs the transform
    int32_t last = -1, count = 0;
    for (int i = 0; i < 10002; ++i) {
      const Outputs o = rig.Emit(b);
      if (o.re != last) ++count;
      last = o.re;
    }
    EXPECT_EQ(count, 10001);  // positions 0 … 10000, then nothing more
    EXPECT_EQ(last, 10000);
    EXPECT_EQ(GetInt(rig.host, "DImOut"), 777);
  }
  {
    BufferRig rig(32);
    Block b("Up_Sample_Init", rig.host);
    TransformParams p = WithLength(10001);
    p.SamplFactor = 3;
    p.SamplPhase = 1;
    rig.Store("Up Sample", p);
    b->LoadParameters();
    for (int i = 0; i < 10001; ++i) rig.Step(b, true, false, i + 1);
    std::vector<Outputs> got;
    for (int i = 0; i < 10002; ++i) got.push_back(rig.Emit(b));
    EXPECT_EQ(got[1].im, 1);
    EXPECT_EQ(got[4].im, 2);
    EXPECT_EQ(got[9997].im, 3333);
    EXPECT_EQ(got[10000].im, 3334);  // 3 × 3333 + 1: the last slot that fits
    EXPECT_EQ(got[10000].re, 10000);
    EXPECT_EQ(got[10001], got[10000]);  // exactly 10001 results
  }
  {
    BufferRig rig(32);
    Block b("Up_Sample_Init", rig.host);
    TransformParams p = WithLength(4);
    p.SamplFactor = 1000000000;
    p.SamplPhase = 5;
    rig.Store("Up Sample", p);
    b->LoadParameters();
    for (int32_t v : {7, 8, 9, 10}) rig.Step(b, true, false, v);
    int32_t nonZero = 0, emitted = 0, lastRe = -1;
    for (int i = 0; i < 10005; ++i) {
      const Outputs o = rig.Emit(b);
      if (o.re != lastRe) ++emitted;
      lastRe = o.re;
      if (o.im != 0) {
        ++nonZero;
        EXPECT_EQ(o.re, 5);
        EXPECT_EQ(o.im, 7);
      }
    }
    EXPECT_EQ(emitted, 10001);
    EXPECT_EQ(nonZero, 1);
  }
  {
    BufferRig rig(32);
    Block b("Extended_Conjugation_Init", rig.host);
    rig.Store("Extended Conjugation", WithLength(10001));
    b->LoadParameters();
    for (int i = 0; i < 10001; ++i) rig.Step(b, true, false, i);
    int32_t last = -1;
    for (int i = 0; i < 10002; ++i) last = rig.Emit(b).im;
    EXPECT_EQ(last, 10000);  // the conjugate half does not fit
  }
  {
    BufferRig rig(32);
    Block b("TwoDim_Convolution_Init", rig.host);
    TransformParams p = WithLength(10001);
    p.ConvTapsCount = 100000;  // more than the record holds
    std::fill(std::begin(p.ConvTaps), std::end(p.ConvTaps), 1.0f);
    rig.Store("TwoDim Convolution", p);
    b->LoadParameters();
    for (int i = 0; i < 10001; ++i) rig.Step(b, true, false, 1);
    std::vector<int32_t> im;
    for (int i = 0; i < 10002; ++i) im.push_back(rig.Emit(b).im);
    EXPECT_EQ(im[0], 1);
    EXPECT_EQ(im[64], 65);  // 65 taps at most
    EXPECT_EQ(im[10000], 65);
    EXPECT_EQ(im[10001], 65);
  }
}

TEST(BufferTransform, WideResultsClampAndPowerUsesTwiceTheWidth) {
  BufferRig rig(32);
  Block b("Forward_FFT_Init", rig.host);
  rig.Store("Forward FFT", WithLength(2));
  b->LoadParameters();
  rig.Step(b, true, false, 2147483647);
  rig.Step(b, true, false, -2147483647);
  // float(2^31 - 1) rounds up to 2^31: the sample is limited to the 32-bit range.
  EXPECT_EQ(rig.Emit(b), (Outputs{0, 2147483647, 2147483647}));
  EXPECT_EQ(rig.host.Value("DSOut"), std::string(33, '0') + std::string(31, '1'));
  // float(-(2^31 - 1)) is -2^31, which a 32-bit sign-magnitude text cannot
  // carry (a sign and 31 zeros reads back as 0): a sign and 31 ones.
  EXPECT_EQ(rig.Emit(b).power, 2147483647);
  EXPECT_EQ(rig.host.Value("DImOut"), std::string(32, '1'));

  // -2^31 passes through as itself (unsigned texts carry it in and out).
  BufferRig wide(32);
  wide.host.SetIntParameter("SignValue", 1);
  Block fft("Forward_FFT_Init", wide.host);
  wide.Store("Forward FFT", WithLength(1));
  fft->LoadParameters();
  wide.host.SetValue("DIn", EncodeValueText(1, INT32_MIN, 32));
  wide.host.SetValue("R", "1");
  wide.host.SetValue("W", "0");
  fft->InputChanged();
  wide.host.SetValue("R", "0");
  wide.host.SetValue("W", "1");
  fft->InputChanged();
  EXPECT_EQ(DecodeValueText(1, wide.host.Value("DImOut")), INT32_MIN);
  EXPECT_EQ(wide.host.Value("DImOut"), "1" + std::string(31, '0'));
}

TEST(BufferTransform, GroupsFollowTheRecordAndWriteZeroOutsideTheirFamily) {
  BufferRig rig(16);
  Block b("Windowing_Group_Init", rig.host);
  ASSERT_TRUE(b->IsValid());
  EXPECT_STREQ(b->GetTypeName(), "Windowing_Group_16");
  TransformParams p = WithLength(4);
  p.TransformCode = 8;              // Hann trans
  rig.Store("Windowing_Group", p);  // the first load asks under the group's name
  b->LoadParameters();
  for (int32_t v : {100, 200, 300, 400}) rig.Step(b, true, false, v);
  EXPECT_EQ(rig.Emit(b).im, 0);
  EXPECT_EQ(rig.Emit(b).im, 150);

  p.TransformCode = 27;  // a convolution: not a window
  rig.Store("Hann trans", p);
  b->LoadParameters();
  for (int32_t v : {100, 200, 300, 400}) rig.Step(b, true, false, v);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rig.Emit(b), (Outputs{0, 0, 0}));

  p.TransformCode = 2147483647;  // no transform at all
  rig.Store("OneDim Convolution", p);
  b->LoadParameters();
  for (int32_t v : {100, 200, 300, 400}) rig.Step(b, true, false, v);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rig.Emit(b), (Outputs{0, 0, 0}));
}

TEST(BufferTransform, ConstructionChecksKindsAndWidths) {
  using Reports = std::vector<std::pair<int32_t, std::string>>;
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 16);
    AddIn(host, "W", 1, vkLine);
    AddIn(host, "R", 1, vkLine);
    AddOut(host, "DReOut", 16);
    AddOut(host, "DSOut", 16);
    Block b("Hann_trans_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcWrongWidth, "DSOut"}}));
    EXPECT_STREQ(b->GetTypeName(), "");
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 16);
    AddIn(host, "W", 1, vkLine);
    AddIn(host, "R", 1, vkLine);
    AddOut(host, "DReOut", 16);
    AddOut(host, "DImOut", 8);
    Block b("Hann_trans_Init", host);
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcWrongWidth, "DImOut"}}));
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 16);
    AddIn(host, "W", 1, vkLine);
    AddIn(host, "R", 1, vkLine);
    AddOut(host, "DReOut", 16);
    AddOut(host, "DImOut", 16, vkLine);
    Block b("Hann_trans_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcWrongKindOrFlags, "DImOut"}}));
  }
  {  // every kind is checked before any width
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 16);
    AddIn(host, "W", 1, vkLine);
    AddIn(host, "R", 1, vkLine);
    AddOut(host, "DReOut", 16);
    AddOut(host, "DImOut", 8);
    AddOut(host, "DSOut", 32, vkLine);
    Block b("Hann_trans_Init", host);
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcWrongKindOrFlags, "DSOut"}}));
  }
  {
    InProcessHost host;
    PrepareHost(host);
    AddIn(host, "DIn", 16);
    Block b("Hann_trans_Init", host);
    EXPECT_FALSE(b->IsValid());
    EXPECT_EQ(ReportedCodes(host), (Reports{{rcNotFound, "W"}, {rcNotFound, "R"}}));
  }
  {
    BufferRig rig(12, true, true, true);
    Block b("Kaiser_trans_Init", rig.host);
    EXPECT_TRUE(b->IsValid());
    EXPECT_TRUE(rig.host.Reports().empty());
    EXPECT_STREQ(b->GetTypeName(), "Kaiser trans_12");
  }
}
