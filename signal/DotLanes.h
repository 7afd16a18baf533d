// Many consecutive FIR outputs at once, each bit for bit the Dot of Ring.h:
// the lanes of a vector hold consecutive outputs, and every lane adds its
// products in Dot's own order (four interleaved partial sums, then
// (s0 + s1) + (s2 + s3)), so no sum is reordered.
#pragma once

#include <cstring>

namespace nsp {

// Outputs computed per group; `hist` must hold this many values beyond the
// last output's window.
constexpr int kLaneGroup = 8;

namespace lanes {
using V4 = float __attribute__((vector_size(16)));

inline V4 Load(const float* p) {
  V4 v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// out[g] for g < kLaneGroup: Dot(taps, w_g, n) with w_g[k] = last[g - k].
inline void Group(const float* taps, int n, const float* last, float* out) {
  V4 s0a{}, s1a{}, s2a{}, s3a{}, s0b{}, s1b{}, s2b{}, s3b{};
  int k = 0;
  for (; k + 4 <= n; k += 4) {
    const float* p = last - k;
    s0a += Load(p) * taps[k];
    s0b += Load(p + 4) * taps[k];
    s1a += Load(p - 1) * taps[k + 1];
    s1b += Load(p + 3) * taps[k + 1];
    s2a += Load(p - 2) * taps[k + 2];
    s2b += Load(p + 2) * taps[k + 2];
    s3a += Load(p - 3) * taps[k + 3];
    s3b += Load(p + 1) * taps[k + 3];
  }
  for (; k < n; ++k) {
    s0a += Load(last - k) * taps[k];
    s0b += Load(last - k + 4) * taps[k];
  }
  const V4 a = (s0a + s1a) + (s2a + s3a);
  const V4 b = (s0b + s1b) + (s2b + s3b);
  std::memcpy(out, &a, sizeof a);
  std::memcpy(out + 4, &b, sizeof b);
}
}  // namespace lanes

// out[m] = Dot(taps, w_m, n) for m < count, where w_m[k] = hist[m + n - 1 - k]:
// `hist` holds the n - 1 past inputs, oldest first, then the count new ones,
// then kLaneGroup values of any finite content.
inline void DotSlide(const float* taps, int n, const float* hist, float* out, int count) {
  float group[kLaneGroup];
  int m = 0;
  for (; m + kLaneGroup <= count; m += kLaneGroup) lanes::Group(taps, n, hist + m + n - 1, out + m);
  if (m == count) return;
  lanes::Group(taps, n, hist + m + n - 1, group);
  std::memcpy(out + m, group, sizeof(float) * static_cast<size_t>(count - m));
}

}  // namespace nsp
