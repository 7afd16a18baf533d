#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "numeric/Rounding.h"

// Ties go to even under every floating-point rounding mode, so a host or a
// dialog that changes the mode cannot move a period, a time or a sample.
TEST(Rounding, TiesToEvenWhateverTheMode) {
  for (int mode : {FE_TONEAREST, FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
    std::fesetround(mode);
    EXPECT_EQ(RoundToInt64(0.5L), 0) << mode;
    EXPECT_EQ(RoundToInt64(1.5L), 2) << mode;
    EXPECT_EQ(RoundToInt64(2.5L), 2) << mode;
    EXPECT_EQ(RoundToInt64(-2.5L), -2) << mode;
    EXPECT_EQ(RoundToInt64(-3.5L), -4) << mode;
    EXPECT_EQ(RoundToInt64(2.4999L), 2) << mode;
    EXPECT_EQ(RoundToInt64(-2.5001L), -3) << mode;
    EXPECT_EQ(RoundToSample(4.5L), 4) << mode;
    EXPECT_EQ(RoundToSample(2147483646.5L), 2147483646) << mode;
    EXPECT_EQ(RoundToInt64(0x1p62L + 0.5L), int64_t{1} << 62) << mode;
    EXPECT_EQ(RoundHalfEven(-0.5L), 0.0L) << mode;
    EXPECT_EQ(RoundDoubleToSample(2.5), 2) << mode;
    EXPECT_EQ(RoundDoubleToSample(-3.5), -4) << mode;
    EXPECT_EQ(RoundDoubleToSample(0.49999999999999994), 0) << mode;
    EXPECT_EQ(RoundDoubleToSample(-2147483648.5), -2147483647 - 1) << mode;
    EXPECT_EQ(RoundDoubleToSample(1e300), 2147483647) << mode;
  }
  std::fesetround(FE_TONEAREST);
  // At every magnitude, both signs, near and at ties: the processor's own
  // rounding to nearest-even is the reference.
  for (int e = -3; e < 66; ++e)
    for (const long double k : {-0.75L, -0.5L, -0.25L, 0.0L, 0.25L, 0.5L, 0.75L})
      for (const long double sign : {-1.0L, 1.0L}) {
        const long double v = sign * (std::ldexp(1.0L, e) + k);
        for (const long double x : {v, std::nextafter(v, 0.0L), std::nextafter(v, 2 * v)}) {
          ASSERT_EQ(RoundHalfEven(x), std::nearbyint(x)) << e << " " << static_cast<double>(k);
          if (std::fabs(x) < 0x1p62L) {
            ASSERT_EQ(RoundToInt64(x), static_cast<int64_t>(std::nearbyint(x))) << e;
          }
          const double d = static_cast<double>(x);
          if (std::fabs(d) < 0x1p30) {
            ASSERT_EQ(RoundDoubleToSample(d), static_cast<int32_t>(std::nearbyint(d))) << e;
          }
        }
      }
  EXPECT_TRUE(std::signbit(RoundHalfEven(-0.0L)));
  EXPECT_EQ(RoundToInt64(std::numeric_limits<long double>::infinity()), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(RoundToSample(std::numeric_limits<long double>::quiet_NaN()), 0);
#ifdef __GLIBC__
  // A NaN result rounds without a trap even where a host unmasked invalid
  // operations (the comparisons are quiet).
  feenableexcept(FE_INVALID | FE_OVERFLOW | FE_DIVBYZERO);
  EXPECT_EQ(RoundToSample(std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundDoubleToSample(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToInt64(-std::numeric_limits<long double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundToSample(-std::numeric_limits<long double>::infinity()), std::numeric_limits<int32_t>::min());
  fedisableexcept(FE_ALL_EXCEPT);
#endif
}
