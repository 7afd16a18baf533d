// The math layer against MPFR: the largest error in ulps of each function and
// precision over random and edge arguments, next to glibc's in the same run;
// the special values of C99 Annex F; and the sine's and cosine's bits over a
// million arguments against those of the kernel the recordings were made with.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "signal/math/Math.h"

namespace {

enum class Fn { Sin, Cos, Exp, Log, Pow };

// The exact value, rounded to 256 bits.
struct Exact {
  mpfr_t v;
  Exact() { mpfr_init2(v, 256); }
  ~Exact() { mpfr_clear(v); }
};

void Compute(Fn fn, long double x, long double y, mpfr_t out) {
  mpfr_t a, b;
  mpfr_inits2(256, a, b, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_ld(a, x, MPFR_RNDN);
  mpfr_set_ld(b, y, MPFR_RNDN);
  switch (fn) {
    case Fn::Sin:
      mpfr_sin(out, a, MPFR_RNDN);
      break;
    case Fn::Cos:
      mpfr_cos(out, a, MPFR_RNDN);
      break;
    case Fn::Exp:
      mpfr_exp(out, a, MPFR_RNDN);
      break;
    case Fn::Log:
      mpfr_log(out, a, MPFR_RNDN);
      break;
    case Fn::Pow:
      mpfr_pow(out, a, b, MPFR_RNDN);
      break;
  }
  mpfr_clears(a, b, static_cast<mpfr_ptr>(nullptr));
}

// |got - exact| in units of the last place of the exact value in a format
// with `digits` mantissa bits whose least normal number is 2^minExp.
// `rounded` is the exact value correctly rounded to the format.
double UlpError(long double got, long double rounded, const mpfr_t exact, int digits, int minExp) {
  if (mpfr_nan_p(exact)) return std::isnan(got) ? 0 : INFINITY;
  if (std::isnan(got)) return INFINITY;
  if (std::isinf(got) || mpfr_inf_p(exact)) return got == rounded ? 0 : INFINITY;
  mpfr_t d;
  mpfr_init2(d, 256);
  mpfr_set_ld(d, got, MPFR_RNDN);
  mpfr_sub(d, d, exact, MPFR_RNDN);
  mpfr_abs(d, d, MPFR_RNDN);
  long e = mpfr_zero_p(exact) ? minExp - 1 : mpfr_get_exp(exact) - 1;  // exact in [2^e, 2^(e+1))
  if (e < minExp) e = minExp;                                          // subnormal: the least normal's ulp
  mpfr_mul_2si(d, d, -(e - (digits - 1)), MPFR_RNDN);
  const double err = mpfr_get_d(d, MPFR_RNDU);
  mpfr_clear(d);
  return err;
}

template <class T>
struct Arg {
  T x, y;
};

template <class T>
long double Layer(Fn fn, T x, T y) {
  switch (fn) {
    case Fn::Sin:
      return math::Sin(x);
    case Fn::Cos:
      return math::Cos(x);
    case Fn::Exp:
      return math::Exp(x);
    case Fn::Log:
      return math::Log(x);
    default:
      return math::Pow(x, y);
  }
}

template <class T>
long double Glibc(Fn fn, T x, T y) {
  switch (fn) {
    case Fn::Sin:
      return std::sin(x);
    case Fn::Cos:
      return std::cos(x);
    case Fn::Exp:
      return std::exp(x);
    case Fn::Log:
      return std::log(x);
    default:
      return std::pow(x, y);
  }
}

// Arguments of every kind for one function and type.
template <class T>
std::vector<Arg<T>> Arguments(Fn fn) {
  using L = std::numeric_limits<T>;
  std::mt19937_64 rng(1234 + static_cast<int>(fn));
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  auto logUniform = [&](double lo2, double hi2) {  // 2^U(lo2, hi2)
    return static_cast<T>(std::exp2l(lo2 + (hi2 - lo2) * unit(rng)) *
                          (1.0L + 0x1p-40L * static_cast<long double>(rng() >> 24)));
  };
  auto sign = [&](T v) { return (rng() & 1) ? -v : v; };
  const int n = 12000;
  std::vector<Arg<T>> args;
  auto add = [&](T x, T y = T(0)) { args.push_back({x, y}); };
  const double maxExp2 = L::max_exponent - 1, minExp2 = L::min_exponent - L::digits;
  switch (fn) {
    case Fn::Sin:
    case Fn::Cos: {
      for (int i = 0; i < n; ++i) add(sign(static_cast<T>(unit(rng) * 0.8)));
      for (int i = 0; i < n; ++i) add(sign(logUniform(-1, 28)));  // a long run's 2 pi f t
      for (int i = 0; i < n; ++i) add(sign(logUniform(28, 64)));
      for (int i = 0; i < n / 4; ++i) add(sign(logUniform(64, maxExp2)));
      for (int i = 0; i < n / 4; ++i) add(sign(logUniform(minExp2, -1)));
      // Near multiples of pi/2, and their neighbours.
      for (int i = 0; i < n; ++i) {
        const long double k = std::floor(std::exp2l(40 * unit(rng)));
        Exact e;
        mpfr_const_pi(e.v, MPFR_RNDN);
        mpfr_mul_d(e.v, e.v, 0.5, MPFR_RNDN);
        mpfr_mul_d(e.v, e.v, static_cast<double>(k), MPFR_RNDN);  // k < 2^40: exact
        T x = static_cast<T>(mpfr_get_ld(e.v, MPFR_RNDN));
        for (int s = 0; s < 3; ++s) x = std::nextafter(x, L::infinity());
        for (int s = 0; s < 6; ++s, x = std::nextafter(x, -L::infinity())) add(sign(x));
      }
      // Known hard cases for the reduction of doubles.
      add(static_cast<T>(0x1.6ac5b262ca1ffp+849L));
      add(static_cast<T>(0x1.b9d29fb2afe2fp+1000L));
      add(static_cast<T>(6381956970095103.0L * std::exp2l(797)));
      add(L::max());
      add(L::denorm_min());
      break;
    }
    case Fn::Exp: {
      const double lo = std::log(static_cast<double>(L::denorm_min())) - 1;
      const double hi = std::log(static_cast<double>(L::max())) + 1;
      for (int i = 0; i < n; ++i) add(static_cast<T>(unit(rng) * 2 - 1));
      for (int i = 0; i < n; ++i) add(static_cast<T>(lo + (hi - lo) * unit(rng)));
      for (int i = 0; i < n / 4; ++i) add(sign(logUniform(minExp2, -1)));
      break;
    }
    case Fn::Log: {
      for (int i = 0; i < n; ++i) add(logUniform(minExp2, maxExp2));
      for (int i = 0; i < n; ++i) add(static_cast<T>(1 + sign(logUniform(-L::digits - 1, -2))));
      for (int i = 0; i < n; ++i) add(static_cast<T>(0.5 + unit(rng) * 1.5));
      add(L::max());
      add(L::denorm_min());
      add(L::min());
      break;
    }
    case Fn::Pow: {
      for (int i = 0; i < n; ++i) add(static_cast<T>(unit(rng) * 10), static_cast<T>(unit(rng) * 100 - 50));
      // Near 1 with large powers, and results near the ends of the range.
      for (int i = 0; i < n; ++i) {
        const T x = static_cast<T>(1 + sign(logUniform(-L::digits, -4)));
        const long double target = (unit(rng) * 2 - 1) * std::log(static_cast<long double>(L::max()));
        add(x, static_cast<T>(target / std::log(static_cast<long double>(x))));
      }
      for (int i = 0; i < n; ++i) {
        const T x = logUniform(minExp2, maxExp2);
        const long double l = std::log(static_cast<long double>(x));
        add(x, static_cast<T>((unit(rng) * 2 - 1) * std::log(static_cast<long double>(L::max())) / l));
      }
      // Negative bases with integer powers.
      for (int i = 0; i < n / 4; ++i)
        add(static_cast<T>(-unit(rng) * 4), static_cast<T>(static_cast<int>(unit(rng) * 60) - 30));
      break;
    }
  }
  return args;
}

struct Worst {
  double layer = 0, glibc = 0;
  long double at = 0, glibcAt = 0;
};

template <class T>
T Rounded(const mpfr_t v);
template <>
float Rounded<float>(const mpfr_t v) {
  return mpfr_get_flt(v, MPFR_RNDN);
}
template <>
double Rounded<double>(const mpfr_t v) {
  return mpfr_get_d(v, MPFR_RNDN);
}
template <>
long double Rounded<long double>(const mpfr_t v) {
  return mpfr_get_ld(v, MPFR_RNDN);
}

template <class T>
Worst Measure(Fn fn) {
  using L = std::numeric_limits<T>;
  Worst w;
  Exact e;
  for (const Arg<T>& a : Arguments<T>(fn)) {
    if (std::isnan(a.x) || std::isnan(a.y)) continue;
    Compute(fn, a.x, a.y, e.v);
    const T rounded = Rounded<T>(e.v);
    const double mine = UlpError(Layer(fn, a.x, a.y), rounded, e.v, L::digits, L::min_exponent - 1);
    const double theirs = UlpError(Glibc(fn, a.x, a.y), rounded, e.v, L::digits, L::min_exponent - 1);
    if (mine > w.layer) w.layer = mine, w.at = a.x;
    if (theirs > w.glibc) w.glibc = theirs, w.glibcAt = a.x;
  }
  return w;
}

const char* const kNames[] = {"sin", "cos", "exp", "log", "pow"};

template <class T>
void CheckAccuracy(const char* type, double bound) {
  for (Fn fn : {Fn::Sin, Fn::Cos, Fn::Exp, Fn::Log, Fn::Pow}) {
    const Worst w = Measure<T>(fn);
    std::printf("%-4s %-11s layer %.3f ulp (at %.6Lg), glibc %.3f ulp (at %.6Lg)\n", kNames[static_cast<int>(fn)], type,
                w.layer, w.at, w.glibc, w.glibcAt);
    // At least as good as glibc, and within the bound in any case.
    EXPECT_LE(w.layer, std::max(w.glibc, bound)) << kNames[static_cast<int>(fn)] << " " << type;
  }
}

// FNV-1a over the ten bytes of each sine and cosine, one hash per kind of
// argument.
std::array<uint64_t, 4> SineFingerprints(long double (*sine)(long double), long double (*cosine)(long double)) {
  std::array<uint64_t, 4> hash;
  hash.fill(0xCBF29CE484222325u);
  const auto add = [&](size_t kind, long double x) {
    for (const long double y : {sine(x), cosine(x)}) {
      unsigned char bytes[10];
      std::memcpy(bytes, &y, sizeof bytes);
      for (const unsigned char b : bytes) hash[kind] = (hash[kind] ^ b) * 0x100000001B3u;
    }
  };
  const auto fromBits = [](uint64_t mantissa, int exponent, bool negative) {
    const uint64_t m = mantissa | uint64_t{1} << 63;
    const uint16_t top = static_cast<uint16_t>((exponent + 16383) | (negative ? 0x8000 : 0));
    long double x = 0;
    std::memcpy(&x, &m, 8);
    std::memcpy(reinterpret_cast<char*>(&x) + 8, &top, 2);
    return x;
  };
  constexpr long double kPi = 3.141592653589793238462643383279502884L;
  std::mt19937_64 random(39);
  for (int i = 0; i < 250000; ++i) {
    // A tone's phase far along the time axis: 2 pi f t + phase.
    const long double f = static_cast<long double>(random() % 1000000 + 1) / 1048576;
    const long double t = static_cast<long double>(random() >> (random() % 64));
    add(0, 2 * kPi * f * t + static_cast<long double>(random() % 360) * kPi / 180);
    // Any argument of the table's range and a little beyond.
    add(1, fromBits(random(), static_cast<int>(random() % 66) - 2, (random() & 1) != 0));
    // Next to multiples of pi/128, where the table point changes, the sine
    // of the table point is 0 or the reduction falls back.
    const uint64_t turns = random();
    const uint64_t shift = random() % 64 + 20;  // 64 and more: none left
    long double near = static_cast<long double>(shift < 64 ? turns >> shift : 0) * (kPi / 128);
    uint64_t bits = 0;
    std::memcpy(&bits, &near, 8);
    bits += random() % 4001 - 2000;
    std::memcpy(&near, &bits, 8);
    add(2, near);
    // Arguments of the other reductions: small ones and huge ones.
    add(3, fromBits(random(), static_cast<int>(random() % 400) - 200, (random() & 1) != 0));
  }
  return hash;
}

TEST(SignalMath, AsAccurateAsGlibcAgainstMpfr) {
  CheckAccuracy<float>("float", 0.501);
  CheckAccuracy<double>("double", 0.501);
  CheckAccuracy<long double>("long double", 0.6);
}

TEST(SignalMath, SpecialValuesFollowAnnexF) {
  using L = std::numeric_limits<long double>;
  const long double inf = L::infinity(), nan = L::quiet_NaN();
  auto same = [](long double a, long double b) {
    return (std::isnan(a) && std::isnan(b)) || (a == b && std::signbit(a) == std::signbit(b));
  };
  struct Case {
    long double got, want;
    const char* what;
  };
  const Case cases[] = {
      {math::Sin(0.0L), 0.0L, "sin +0"},
      {math::Sin(-0.0L), -0.0L, "sin -0"},
      {math::Sin(inf), nan, "sin inf"},
      {math::Cos(-inf), nan, "cos -inf"},
      {math::Sin(nan), nan, "sin nan"},
      {math::Cos(0.0L), 1.0L, "cos 0"},
      {math::Sin(0x1p-16000L), 0x1p-16000L, "sin tiny"},
      {math::Exp(0.0L), 1.0L, "exp 0"},
      {math::Exp(-0.0L), 1.0L, "exp -0"},
      {math::Exp(inf), inf, "exp inf"},
      {math::Exp(-inf), 0.0L, "exp -inf"},
      {math::Exp(nan), nan, "exp nan"},
      {math::Exp(20000.0L), inf, "exp overflow"},
      {math::Exp(-20000.0L), 0.0L, "exp underflow"},
      {math::Log(1.0L), 0.0L, "log 1"},
      {math::Log(0.0L), -inf, "log +0"},
      {math::Log(-0.0L), -inf, "log -0"},
      {math::Log(-1.0L), nan, "log -1"},
      {math::Log(-inf), nan, "log -inf"},
      {math::Log(inf), inf, "log inf"},
      {math::Log(nan), nan, "log nan"},
      {math::Pow(nan, 0.0L), 1.0L, "pow(nan, 0)"},
      {math::Pow(nan, -0.0L), 1.0L, "pow(nan, -0)"},
      {math::Pow(1.0L, nan), 1.0L, "pow(1, nan)"},
      {math::Pow(1.0L, inf), 1.0L, "pow(1, inf)"},
      {math::Pow(nan, 1.0L), nan, "pow(nan, 1)"},
      {math::Pow(2.0L, nan), nan, "pow(2, nan)"},
      {math::Pow(0.0L, -3.0L), inf, "pow(+0, -odd)"},
      {math::Pow(-0.0L, -3.0L), -inf, "pow(-0, -odd)"},
      {math::Pow(-0.0L, -2.0L), inf, "pow(-0, -even)"},
      {math::Pow(-0.0L, -0.5L), inf, "pow(-0, -non-integer)"},
      {math::Pow(-0.0L, -inf), inf, "pow(-0, -inf)"},
      {math::Pow(-0.0L, 3.0L), -0.0L, "pow(-0, odd)"},
      {math::Pow(-0.0L, 2.0L), 0.0L, "pow(-0, even)"},
      {math::Pow(-0.0L, 0.5L), 0.0L, "pow(-0, non-integer)"},
      {math::Pow(-1.0L, inf), 1.0L, "pow(-1, inf)"},
      {math::Pow(-1.0L, -inf), 1.0L, "pow(-1, -inf)"},
      {math::Pow(0.5L, -inf), inf, "pow(1/2, -inf)"},
      {math::Pow(-2.0L, -inf), 0.0L, "pow(-2, -inf)"},
      {math::Pow(-0.5L, inf), 0.0L, "pow(-1/2, inf)"},
      {math::Pow(2.0L, inf), inf, "pow(2, inf)"},
      {math::Pow(-inf, -3.0L), -0.0L, "pow(-inf, -odd)"},
      {math::Pow(-inf, -2.0L), 0.0L, "pow(-inf, -even)"},
      {math::Pow(-inf, 3.0L), -inf, "pow(-inf, odd)"},
      {math::Pow(-inf, 2.5L), inf, "pow(-inf, non-integer)"},
      {math::Pow(inf, -1.0L), 0.0L, "pow(inf, -1)"},
      {math::Pow(inf, 0.5L), inf, "pow(inf, 1/2)"},
      {math::Pow(-2.0L, 0.5L), nan, "pow(-2, 1/2)"},
      {math::Pow(-2.0L, 3.0L), -8.0L, "pow(-2, 3)"},
      {math::Pow(-2.0L, 0x1p64L), inf, "pow(-2, 2^64)"},
      {math::Pow(-1.0L, 0x1.fffffffffffffffep63L), -1.0L, "pow(-1, odd 2^64 - 1)"},
      {math::Pow(2.0L, 16384.0L), inf, "pow overflow"},
      {math::Pow(2.0L, -16445.0L), L::denorm_min(), "pow least subnormal"},
      {math::Pow(10.0L, 3.0L), 1000.0L, "pow exact"},
  };
  for (const Case& c : cases) EXPECT_PRED2(same, c.got, c.want) << c.what;
  // The double and float entries round the 80-bit results.
  EXPECT_EQ(math::Exp(710.0), std::numeric_limits<double>::infinity());
  EXPECT_EQ(math::Pow(2.0f, -149.0f), std::numeric_limits<float>::denorm_min());
}

TEST(SignalMath, SineAndCosineKeepTheirBits) {
  // The hashes of the kernel whose results the recordings and the golden
  // values hold: a faster kernel must give every one of these bits again.
  const std::array<uint64_t, 4> expected = {0x80EC2841B1B155A7u, 0x3BA73C3614B9694Au, 0x0C385DE738B2A1A0u,
                                            0xA84037FA6CE55C94u};
  const std::array<uint64_t, 4> got = SineFingerprints(static_cast<long double (*)(long double)>(math::Sin),
                                                       static_cast<long double (*)(long double)>(math::Cos));
  const char* const kinds[] = {"tone phases", "the table's range", "next to multiples of pi/128", "small and huge"};
  for (size_t k = 0; k < expected.size(); ++k) EXPECT_EQ(got[k], expected[k]) << kinds[k];
}

}  // namespace
