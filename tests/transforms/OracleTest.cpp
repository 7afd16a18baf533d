// Block outputs against an independent computation: numpy/scipy compute the
// reference from the same inputs and decode our value texts themselves.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "TransformHarness.h"

namespace {

constexpr const char* kPython = "/usr/bin/python3";
constexpr int kWidth = 32;

std::string List(const std::vector<double>& v) {
  std::ostringstream s;
  s.precision(9);
  s << '[';
  for (size_t i = 0; i < v.size(); ++i) s << (i ? "," : "") << v[i];
  s << ']';
  return s.str();
}
std::string List(const std::vector<std::string>& v) {
  std::string s = "[";
  for (size_t i = 0; i < v.size(); ++i) s += (i ? ",\"" : "\"") + v[i] + "\"";
  return s + "]";
}
template <size_t K>
std::vector<double> Floats(const float (&a)[K], int count) {
  return std::vector<double>(a, a + std::min<int>(count, K));
}

std::vector<double> Signal(int n, int amplitude, unsigned seed) {
  std::mt19937 gen(seed);
  std::uniform_int_distribution<int> d(-amplitude, amplitude);
  std::vector<double> x(static_cast<size_t>(n));
  for (double& v : x) v = d(gen);
  return x;
}

// Writes the case for the oracle and answers its verdict (empty when it agrees).
std::string Check(const std::string& name, const std::string& json) {
  const std::string path = std::string(RIR_ORACLE_WORK_DIR) + "/oracle_" + name + ".json";
  std::ofstream(path) << json;
#ifdef _WIN32
  // No numpy on this side: the Linux build checks the written cases after the run.
  return std::ofstream(path, std::ios::app) ? std::string() : "cannot write " + path;
#else
  const std::string out = path + ".out";
  const std::string cmd = std::string(kPython) + " " + RIR_ORACLE_SCRIPT + " " + path + " > " + out + " 2>&1";
  const int rc = std::system(cmd.c_str());
  std::ifstream in(out);
  std::stringstream text;
  text << in.rdbuf();
  return rc == 0 ? std::string() : "oracle " + name + ":\n" + text.str();
#endif
}

struct BufferRun {
  std::vector<std::string> re, im, ps;
};

// Feeds x through a buffer block (R on every sample), then emits `emits` results.
BufferRun RunBuffer(const char* exportName, const char* key, const TransformParams& p, const std::vector<double>& x,
                    int emits) {
  InProcessHost host;
  PrepareHost(host);
  AddIn(host, "DIn", kWidth);
  AddIn(host, "W", 1, vkLine);
  AddIn(host, "R", 1, vkLine);
  AddOut(host, "DReOut", kWidth);
  AddOut(host, "DImOut", kWidth);
  AddOut(host, "DSOut", 2 * kWidth);
  host.SetParameter(key, RecordBytes(p));
  Block b(exportName, host);
  EXPECT_TRUE(b->IsValid());
  b->LoadParameters();
  b->Start();
  host.SetValue("R", "1");
  host.SetValue("W", "0");
  for (double v : x) {
    SetInt(host, "DIn", static_cast<int32_t>(v));
    b->InputChanged();
  }
  host.SetValue("R", "0");
  host.SetValue("W", "1");
  BufferRun run;
  for (int i = 0; i < emits; ++i) {
    b->InputChanged();
    run.re.push_back(host.Value("DReOut"));
    run.im.push_back(host.Value("DImOut"));
    run.ps.push_back(host.Value("DSOut"));
  }
  return run;
}

std::vector<std::string> RunFilter(const char* exportName, const char* key, const FilterParams& p,
                                   const std::vector<double>& x, const std::vector<double>& d) {
  InProcessHost host;
  PrepareHost(host);
  AddIn(host, "DSrc", kWidth);
  AddIn(host, "DDes", kWidth);
  AddOut(host, "DOut", kWidth);
  host.SetParameter(key, RecordBytes(p));
  Block b(exportName, host);
  EXPECT_TRUE(b->IsValid());
  std::vector<std::string> out;
  for (size_t i = 0; i < x.size(); ++i) {
    SetInt(host, "DSrc", static_cast<int32_t>(x[i]));
    SetInt(host, "DDes", static_cast<int32_t>(d[i]));
    b->InputChanged();
    out.push_back(host.Value("DOut"));
  }
  return out;
}

std::string BufferJson(const std::string& kind, const std::string& params, const std::vector<double>& x,
                       const BufferRun& r) {
  return "{\"kind\":\"" + kind + "\"," + params + ",\"x\":" + List(x) + ",\"re\":" + List(r.re) +
         ",\"im\":" + List(r.im) + ",\"ps\":" + List(r.ps) + "}";
}

}  // namespace

TEST(Oracle, WindowedBuffers) {
  const std::vector<double> x = Signal(300, 20000, 1);
  TransformParams p = DefaultTransform();
  p.SignalLength = 300;
  BufferRun hamming = RunBuffer("Hamming_trans_Init", "Hamming trans", p, x, 300);
  EXPECT_EQ(Check("hamming", BufferJson("hamming", "\"n\":300", x, hamming)), "");

  p.WinBeta = 5.0f;
  BufferRun kaiser = RunBuffer("Kaiser_trans_Init", "Kaiser trans", p, x, 300);
  EXPECT_EQ(Check("kaiser", BufferJson("kaiser", "\"n\":300,\"beta\":5.0", x, kaiser)), "");

  p.WinAlpha = -0.16f;
  BufferRun blackman = RunBuffer("Blackman_trans_Init", "Blackman trans", p, x, 300);
  EXPECT_EQ(Check("blackman", BufferJson("blackman", "\"n\":300,\"alpha\":-0.16", x, blackman)), "");
}

TEST(Oracle, PowerSpectrum) {
  // 300 samples: the largest power of two not above is 256, 129 bins.
  const std::vector<double> x = Signal(300, 60, 2);
  TransformParams p = DefaultTransform();
  p.SignalLength = 300;
  BufferRun r = RunBuffer("FFT_using_RCPack_RCPerm_Init", "FFT using RCPack/RCPerm", p, x, 131);
  EXPECT_EQ(Check("spectrum", BufferJson("spectrum", "\"n\":256", x, r)), "");
}

TEST(Oracle, Convolution) {
  const std::vector<double> x = Signal(250, 3000, 3);
  TransformParams p = DefaultTransform();
  p.SignalLength = 250;
  p.ConvTapsCount = 9;
  const std::vector<double> h = {0.5, -1.25, 2, 0.125, 3, -0.75, 1, 0.3, -2.2};
  for (size_t i = 0; i < h.size(); ++i) p.ConvTaps[i] = static_cast<float>(h[i]);
  BufferRun r = RunBuffer("OneDim_Convolution_Init", "OneDim Convolution", p, x, 258 + 1);
  EXPECT_EQ(Check("convolution", BufferJson("convolution", "\"h\":" + List(Floats(p.ConvTaps, 9)), x, r)), "");
}

TEST(Oracle, FirFilters) {
  const std::vector<double> x = Signal(400, 10000, 4), d(400, 0.0);
  FilterParams p = DefaultFilter();
  p.FirTapsCount = 12;
  const std::vector<double> taps = {0.02, -0.05, 0.1, 0.3, -0.7, 1.5, 0.9, -0.2, 0.05, 0.01, -0.003, 0.4};
  for (size_t i = 0; i < taps.size(); ++i) p.FirTaps[i] = static_cast<float>(taps[i]);
  for (int i = 0; i < 12; ++i) p.FirDelay[i] = static_cast<float>(100 * i - 300);
  const std::string params = "\"taps\":" + List(Floats(p.FirTaps, 12)) + ",\"dly\":" + List(Floats(p.FirDelay, 12));
  for (const char* which : {"High_Level_FIR_Init", "Low_Level_FIR_Init"}) {
    const bool high = which[0] == 'H';
    const auto out = RunFilter(which, high ? "High-Level FIR" : "Low-Level FIR", p, x, d);
    EXPECT_EQ(Check(high ? "fir_high" : "fir_low",
                    "{\"kind\":\"fir\"," + params + ",\"x\":" + List(x) + ",\"out\":" + List(out) + "}"),
              "");
  }
}

TEST(Oracle, IirFilters) {
  const std::vector<double> x = Signal(400, 10000, 5), d(400, 0.0);
  FilterParams p = DefaultFilter();
  std::fill(std::begin(p.IirDelay), std::end(p.IirDelay), 0.0f);
  // Order 2 low-pass in one section: b then a.
  const std::vector<double> direct = {0.0675, 0.1349, 0.0675, 1.0, -1.143, 0.4128};
  p.IirTapsCount = 6;
  for (size_t i = 0; i < direct.size(); ++i) p.IirTaps[i] = static_cast<float>(direct[i]);
  for (const char* which : {"High_Level_IIR_Init", "Low_Level_IIR_Init"}) {
    const bool high = which[0] == 'H';
    const auto out = RunFilter(which, high ? "High-Level IIR" : "Low-Level IIR", p, x, d);
    EXPECT_EQ(Check(high ? "iir_high" : "iir_low", "{\"kind\":\"iir\",\"taps\":" + List(Floats(p.IirTaps, 6)) +
                                                       ",\"x\":" + List(x) + ",\"out\":" + List(out) + "}"),
              "");
  }
  // Two biquads in cascade.
  const std::vector<double> sos = {0.2, 0.4, 0.2, 1.0, -0.5, 0.25, 1.0, -1.8, 1.0, 1.0, -1.6, 0.81};
  p.IirTapsCount = 12;
  p.IirBiquad = 1;
  for (size_t i = 0; i < sos.size(); ++i) p.IirTaps[i] = static_cast<float>(sos[i]);
  const auto out = RunFilter("High_Level_IIR_Init", "High-Level IIR", p, x, d);
  EXPECT_EQ(Check("biquads", "{\"kind\":\"biquads\",\"taps\":" + List(Floats(p.IirTaps, 12)) + ",\"x\":" + List(x) +
                                 ",\"out\":" + List(out) + "}"),
            "");
}

TEST(Oracle, LmsFilters) {
  const std::vector<double> x = Signal(300, 100, 6);
  // The unknown system the filter learns: a short FIR of x.
  std::vector<double> d(x.size());
  for (size_t n = 0; n < x.size(); ++n)
    d[n] = std::round(0.8 * x[n] - 0.4 * (n ? x[n - 1] : 0) + 0.2 * (n > 1 ? x[n - 2] : 0));
  FilterParams p = DefaultFilter();
  p.LmsTapsCount = 4;
  p.LmsStep = 0.00002f;
  p.LmsLeak = 0.0f;
  const float taps[4] = {0.1f, 0.0f, 0.0f, 0.0f};
  std::copy(taps, taps + 4, p.LmsTaps);
  const float dly[4] = {5, -3, 2, 0};
  std::copy(dly, dly + 4, p.LmsDelay);
  p.LmsAdaptive = 1;
  const std::string params = "\"taps\":" + List(Floats(p.LmsTaps, 4)) + ",\"dly\":" + List(Floats(p.LmsDelay, 4)) +
                             ",\"mu\":" + List(std::vector<double>{p.LmsStep}) + ",\"d\":" + List(d) +
                             ",\"x\":" + List(x);
  struct Kind {
    const char* exportName;
    const char* key;
    const char* mode;
    const char* file;
  };
  for (const Kind& k : {Kind{"High_Level_LMS_Init", "High-Level LMS", "carried", "lms_high"},
                        Kind{"Low_Level_LMS_Init", "Low-Level LMS", "carried", "lms_low"},
                        Kind{"High_Level_LMS_DES_Init", "High-Level LMS DES", "desired", "lms_des"},
                        Kind{"Low_Level_LMS_Na_Init", "Low-Level LMS Na", "fixed", "lms_na"}}) {
    const auto out = RunFilter(k.exportName, k.key, p, x, d);
    EXPECT_EQ(Check(k.file, "{\"kind\":\"lms\",\"mode\":\"" + std::string(k.mode) + "\"," + params +
                                ",\"out\":" + List(out) + "}"),
              "")
        << k.key;
  }
}
