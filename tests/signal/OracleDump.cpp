// Runs every library function on fixed inputs and prints inputs and results
// as lines "case|field|values" for oracle_check.py to recompute.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "signal/nsp.h"

namespace {

using Vec = std::vector<float>;

uint32_t seed = 12345;
float Uniform() {  // [-1, 1)
  seed = seed * 1664525u + 1013904223u;
  return static_cast<float>(seed >> 8) / 8388608.0f - 1.0f;
}
Vec Random(int n, float scale = 1) {
  Vec v(n);
  for (auto& x : v) x = Uniform() * scale;
  return v;
}

void Put(const std::string& name, const char* field, const float* v, size_t n) {
  std::printf("%s|%s|", name.c_str(), field);
  for (size_t i = 0; i < n; ++i) std::printf(i ? " %.9g" : "%.9g", double{v[i]});
  std::printf("\n");
}
void Put(const std::string& name, const char* field, const Vec& v) { Put(name, field, v.data(), v.size()); }
void Put(const std::string& name, const char* field, double value) {
  std::printf("%s|%s|%.17g\n", name.c_str(), field, value);
}
void PutC(const std::string& name, const char* field, const std::vector<SCplx>& v) {
  Vec re(v.size()), im(v.size());
  nspcbReal(v.data(), re.data(), static_cast<int>(v.size()));
  nspcbImag(v.data(), im.data(), static_cast<int>(v.size()));
  Put(name, (std::string(field) + "_re").c_str(), re);
  Put(name, (std::string(field) + "_im").c_str(), im);
}
std::vector<SCplx> Complex(const Vec& re, const Vec& im) {
  std::vector<SCplx> c(re.size());
  nspcb2RealToCplx(re.data(), im.data(), c.data(), static_cast<int>(re.size()));
  return c;
}

void ElementWise() {
  const Vec x = {-3.5f, -1.0f, -0.25f, 0.0f, 0.5f, 2.0f, 7.25f};
  const Vec pos = {0.01f, 0.5f, 1.0f, 3.0f, 1000.0f};
  const Vec y = Random(7, 4);
  const int n = static_cast<int>(x.size());
  Vec out(n);
  Put("elem", "x", x);
  Put("elem", "y", y);
  Put("elem", "pos", pos);
  nspsbExp2(x.data(), out.data(), n), Put("elem", "exp", out);
  nspsbAbs2(x.data(), out.data(), n), Put("elem", "abs", out);
  nspsbSqr2(x.data(), out.data(), n), Put("elem", "sqr", out);
  nspsbThresh2(x.data(), out.data(), n, 0.4f, NSP_LT), Put("elem", "thresh_lt", out);
  nspsbThresh2(x.data(), out.data(), n, 0.4f, NSP_GT), Put("elem", "thresh_gt", out);
  nspsbInvThresh2(x.data(), out.data(), n, 0.75f), Put("elem", "invthresh", out);
  nspsbAdd3(x.data(), y.data(), out.data(), n), Put("elem", "add", out);
  nspsbMpy3(x.data(), y.data(), out.data(), n), Put("elem", "mpy", out);
  nspsbSet(2.5f, out.data(), n), Put("elem", "set", out);
  Vec p(pos.size());
  nspsbLn2(pos.data(), p.data(), 5), Put("elem", "ln", p);
  nspsbSqrt2(pos.data(), p.data(), 5), Put("elem", "sqrt", p);
  Put("elem", "min", nspsMin(y.data(), n));
  const int bits[][2] = {{1, 1}, {6, 5}, {0x1234, 8}, {-7, 4}, {0x40000000, 32}, {13, 0}};
  Vec in, order, rev;
  for (auto& b : bits) {
    in.push_back(static_cast<float>(b[0]));
    order.push_back(static_cast<float>(b[1]));
    rev.push_back(static_cast<float>(nspBitRev(b[0], b[1])));
  }
  Put("bitrev", "a", in), Put("bitrev", "order", order), Put("bitrev", "out", rev);
}

void Windows() {
  for (int n : {1, 2, 3, 8, 17}) {
    const Vec re = Random(n), im = Random(n);
    const std::string name = "win" + std::to_string(n);
    Put(name, "in_re", re), Put(name, "in_im", im);
    auto run = [&](const char* field, auto apply) {
      auto c = Complex(re, im);
      apply(c.data());
      PutC(name, field, c);
    };
    run("bartlett", [n](SCplx* v) { nspcWinBartlett(v, n); });
    run("hann", [n](SCplx* v) { nspcWinHann(v, n); });
    run("hamming", [n](SCplx* v) { nspcWinHamming(v, n); });
    run("blackman", [n](SCplx* v) { nspcWinBlackman(v, n, 0.3f); });
    run("blackmanstd", [n](SCplx* v) { nspcWinBlackmanStd(v, n); });
    run("blackmanopt", [n](SCplx* v) { nspcWinBlackmanOpt(v, n); });
    run("kaiser", [n](SCplx* v) { nspcWinKaiser(v, n, 4.5f); });
  }
}

void Correlation() {
  const Vec x = Random(20);
  Put("acorr", "x", x);
  for (int type = 0; type < 3; ++type) {
    Vec r(25, -99.0f);
    nspsAutoCorr(x.data(), 20, r.data(), 25, type);
    Put("acorr", ("type" + std::to_string(type)).c_str(), r);
  }
  const Vec h = Random(5);
  Vec y(17);
  nspsConv(x.data(), 13, h.data(), 5, y.data());
  Put("conv", "x", x.data(), 13), Put("conv", "h", h), Put("conv", "y", y);

  // 2-D: x 4 rows of 5, h 3 rows of 2; and the one-column form the blocks use.
  const Vec x2 = Random(20), h2 = Random(6);
  Vec y2(6 * 6);
  nspsConv2D(x2.data(), 5, 4, h2.data(), 2, 3, y2.data());
  Put("conv2d", "x", x2), Put("conv2d", "h", h2), Put("conv2d", "y", y2);
  Vec y1(13 + 5 - 1);
  nspsConv2D(x.data(), 1, 13, h.data(), 1, 5, y1.data());
  Put("conv2d_col", "y", y1);
  const Vec x3 = Random(42), h3 = Random(12);
  Vec y3(42);
  nspsFilter2D(x3.data(), 7, 6, h3.data(), 4, 3, y3.data());
  Put("filter2d", "x", x3), Put("filter2d", "h", h3), Put("filter2d", "y", y3);
}

void Sampling() {
  const Vec x = Random(23);
  Put("sampling", "x", x);
  for (int pass = 0; pass < 2; ++pass) {
    const bool up = pass == 0;
    const int factor = 3;
    int phase = 1;
    Vec all;
    for (int start : {0, 7, 15}) {  // blocks of 7, 8 and 8 samples
      const int len = start == 0 ? 7 : 8;
      Vec out(len * factor, -99.0f);
      int outLen = -1;
      if (up)
        nspsUpSample(x.data() + start, len, out.data(), &outLen, factor, &phase);
      else
        nspsDownSample(x.data() + start, len, out.data(), &outLen, factor, &phase);
      all.insert(all.end(), out.begin(), out.begin() + outLen);
    }
    Put("sampling", up ? "up" : "down", all);
  }
  for (int n : {7, 8}) {
    const Vec re = Random(n), im = Random(n);
    std::vector<SCplx> out(2 * n);
    nspcbConjExtend2(Complex(re, im).data(), out.data(), n);
    out.resize(n + 2 * (n / 2));
    const std::string name = "conj" + std::to_string(n);
    Put(name, "in_re", re), Put(name, "in_im", im), PutC(name, "out", out);
  }
}

void Fourier() {
  for (int order = 0; order <= 13; ++order) {
    const int n = 1 << order;
    const Vec x = Random(n);
    std::vector<SCplx> spectrum(n / 2 + 1);
    nspsRealFftNip(x.data(), spectrum.data(), order, NSP_Forw);
    const std::string name = "fft" + std::to_string(order);
    Put(name, "x", x), PutC(name, "X", spectrum);
    Vec power(spectrum.size());
    nspcbPowerSpectr(spectrum.data(), power.data(), static_cast<int>(spectrum.size()));
    Put(name, "power", power);
    const Vec re = Random(n / 2 + 1), im = Random(n / 2 + 1);
    Put(name, "ccs_re", re), Put(name, "ccs_im", im);
    for (int flags : {0, int{NSP_NoScale}, NSP_Inv | 16}) {
      Vec back(n);
      nspsCcsFftNip(Complex(re, im).data(), back.data(), order, flags);
      Put(name, ("inv" + std::to_string(flags)).c_str(), back);
    }
  }
  const Vec x = Random(1001, 100);
  Put("goertz", "x", x);
  Vec out;
  const float freqs[] = {0.125f, 0.3f, 0.0f, 0.5f, 1.37f, -0.2f};
  for (float f : freqs) {
    NSPSGoertzState state{};
    nspsGoertzInit(f, &state);
    for (int n : {1, 100, 1001}) {
      const SCplx g = nspsbGoertz(&state, x.data(), n);
      out.insert(out.end(), {f, static_cast<float>(n), g.re, g.im});
    }
    nspsGoertzFree(&state);
  }
  Put("goertz", "f_n_re_im", out);
}

void Fir() {
  const Vec x = Random(200, 10);
  Put("fir", "x", x);
  for (int taps : {6, 33}) {
    const Vec h = Random(taps), dly = Random(taps);
    const std::string name = "fir" + std::to_string(taps);
    Put(name, "h", h), Put(name, "dly", dly);
    NSPFirState hi{};
    NSPFirTapState tap{};
    NSPFirDlyState line{};
    nspsFirInit(h.data(), taps, dly.data(), &hi);
    nspsFirlInit(h.data(), taps, &tap);
    nspsFirlInitDlyl(&tap, dly.data(), &line);
    Vec a, b;
    for (float v : x) a.push_back(nspsFir(&hi, v)), b.push_back(nspsFirl(&tap, &line, v));
    Put(name, "high", a), Put(name, "low", b);
    nspsFirFree(&hi), nspsFirlFree(&tap), nspsFirlFreeDlyl(&line);
  }
  // Multi-rate: up 3 at phase 1, down 2 at phase 1; the delay line holds
  // up-rate samples.
  const Vec h = Random(7), dly = Random(7);
  Put("firmr", "h", h), Put("firmr", "dly", dly);
  const int rates[][4] = {{3, 1, 2, 1}, {1, 0, 4, 3}, {2, 0, 5, 0}};
  for (int r = 0; r < 3; ++r) {
    const int* q = rates[r];
    NSPFirState hi{};
    NSPFirTapState tap{};
    NSPFirDlyState line{};
    nspsFirInitMr(h.data(), 7, dly.data(), q[0], q[1], q[2], q[3], &hi);
    nspsFirlInitMr(h.data(), 7, q[0], q[1], q[2], q[3], &tap);
    nspsFirlInitDlyl(&tap, nullptr, &line);
    nspsFirlSetDlyl(&tap, dly.data(), &line);
    Vec a, b;
    for (int i = 0; i < 60; ++i) a.push_back(nspsFir(&hi, x[i])), b.push_back(nspsFirl(&tap, &line, x[i]));
    const std::string name = "firmr" + std::to_string(r);
    Put(name, "rates", Vec{float(q[0]), float(q[1]), float(q[2]), float(q[3])});
    Put(name, "high", a), Put(name, "low", b);
    nspsFirFree(&hi), nspsFirlFree(&tap), nspsFirlFreeDlyl(&line);
  }
}

void Iir() {
  const Vec x = Random(150, 10);
  Put("iir", "x", x);
  // Direct form, order 3, a0 = 2 (normalised), zero registers.
  Vec taps = {0.2f, 0.1f, -0.3f, 0.05f, 2.0f, -0.6f, 0.3f, -0.1f};
  NSPIirState hi{};
  nspsIirInit(1, taps.data(), 3, &hi);
  Vec a;
  for (float v : x) a.push_back(nspsIir(&hi, v));
  Put("iir_direct", "taps", taps), Put("iir_direct", "y", a);
  // Low level, a0 = 1, registers from the delay line.
  Vec taps1 = {0.2f, 0.1f, -0.3f, 0.05f, 1.0f, -0.6f, 0.3f, -0.1f};
  const Vec z = {0.5f, -0.25f, 0.125f};
  NSPIirTapState tap{};
  NSPIirDlyState line{};
  nspsIirlInit(0, taps1.data(), 3, &tap);
  nspsIirlInitDlyl(&tap, z.data(), &line);
  Vec b;
  for (float v : x) b.push_back(nspsIirl(&tap, &line, v));
  Put("iir_low", "taps", taps1), Put("iir_low", "z", z), Put("iir_low", "y", b);
  // Two biquads, the second with a0 = 4.
  const Vec bq = {0.3f, 0.2f, 0.1f, 1.0f, -0.5f, 0.2f, 1.0f, -1.0f, 0.5f, 4.0f, 0.4f, 0.8f};
  const Vec zq = {0.1f, -0.2f, 0.3f, 0.05f};
  NSPIirState hq{};
  NSPIirTapState tq{};
  NSPIirDlyState lq{};
  nspsIirInitBq(1, bq.data(), 2, &hq);
  nspsIirlInitBq(1, bq.data(), 2, &tq);
  nspsIirlInitDlyl(&tq, zq.data(), &lq);
  Vec c, d;
  for (float v : x) c.push_back(nspsIir(&hq, v)), d.push_back(nspsIirl(&tq, &lq, v));
  Put("iir_bq", "taps", bq), Put("iir_bq", "z", zq), Put("iir_bq", "high", c), Put("iir_bq", "low", d);
  nspsIirFree(&hi), nspsIirFree(&hq), nspsIirlFree(&tap), nspsIirlFree(&tq);
  nspsIirlFreeDlyl(&line), nspsIirlFreeDlyl(&lq);
}

void Lms() {
  const Vec x = Random(120, 2), side = Random(120, 2);
  Put("lms", "x", x), Put("lms", "side", side);
  const Vec h = Random(5), dly = Random(5);
  Put("lms", "h", h), Put("lms", "dly", dly);
  // (errDly, downFactor, downPhase) cases; step and leak fixed.
  const int cases[][3] = {{0, 1, 0}, {3, 1, 0}, {2, 3, 2}};
  const float step = 0.01f, leak = 0.2f;
  Put("lms", "step_leak", Vec{step, leak});
  for (int k = 0; k < 3; ++k) {
    const int* q = cases[k];
    const std::string name = "lms" + std::to_string(k);
    Put(name, "params", Vec{float(q[0]), float(q[1]), float(q[2])});
    NSPLmsState err{}, des{};
    nspsLmsInitMr(0, h.data(), 5, dly.data(), step, leak, q[0], q[1], q[2], &err);
    nspsLmsInitMr(0, h.data(), 5, dly.data(), step, leak, q[0], q[1], q[2], &des);
    NSPLmsTapState tap{}, fixedTap{};
    NSPLmsDlyState line{}, fixedLine{}, frozenLine{};
    nspsLmslInitMr(0, h.data(), 5, step, leak, q[0], q[1], q[2], &tap);
    nspsLmslInitDlyl(&tap, dly.data(), 1, &line);
    nspsLmslInitMr(0, h.data(), 5, step, leak, q[0], q[1], q[2], &fixedTap);
    nspsLmslInitDlyl(&fixedTap, dly.data(), 0, &frozenLine);
    nspsLmslInitDlyl(&fixedTap, dly.data(), 1, &fixedLine);
    Vec e, d, low, na, frozen;
    for (size_t i = 0; i < x.size(); ++i) {
      e.push_back(nspsLms(&err, x[i], side[i]));
      d.push_back(nspsLmsDes(&des, x[i], side[i]));
      low.push_back(nspsLmsl(&tap, &line, x[i], side[i]));
      na.push_back(nspsLmslNa(&fixedTap, &fixedLine, x[i]));
      frozen.push_back(nspsLmsl(&fixedTap, &frozenLine, x[i], side[i]));
    }
    Put(name, "err", e), Put(name, "des", d), Put(name, "low", low);
    Put(name, "na", na), Put(name, "frozen", frozen);
    nspsLmsFree(&err), nspsLmsFree(&des), nspsLmslFree(&tap), nspsLmslFree(&fixedTap);
    nspsLmslFreeDlyl(&line), nspsLmslFreeDlyl(&fixedLine), nspsLmslFreeDlyl(&frozenLine);
  }
}

}  // namespace

int main() {
  ElementWise();
  Windows();
  Correlation();
  Sampling();
  Fourier();
  Fir();
  Iir();
  Lms();
  return 0;
}
