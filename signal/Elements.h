// The arithmetic of the element-wise vector functions, one element at a
// time. The vector functions map these over their arrays, and the plug-in's
// element-wise blocks call them on their single values, so that both compute
// the same bits.
#pragma once

#include <cmath>
#include <cstdint>

#include "math/Math.h"

namespace nsp::element {

inline float Exp(float x) { return math::Exp(x); }
inline float Ln(float x) { return math::Log(x); }
inline float Abs(float x) { return std::fabs(x); }
inline float Sqr(float x) { return x * x; }
inline float Sqrt(float x) { return std::sqrt(x); }

// The threshold limits from below (NSP_LT) or from above (NSP_GT).
inline float ThreshBelow(float x, float thresh) { return x < thresh ? thresh : x; }
inline float ThreshAbove(float x, float thresh) { return x > thresh ? thresh : x; }

// 1 / x, with magnitudes below a positive threshold raised to it.
inline float InvThresh(float x, float thresh) {
  if (thresh > 0 && std::fabs(x) < thresh) return (x < 0 ? -1.0f : 1.0f) / thresh;
  return 1.0f / x;
}

inline float Add(float a, float b) { return a + b; }
inline float Mpy(float a, float b) { return a * b; }

// a with its low `order` bits reversed; 0 for an order outside 0..32.
inline int BitRev(int a, int order) {
  if (order < 0 || order > 32) return 0;
  if (order == 0) return a;
  const uint32_t v = static_cast<uint32_t>(a);
  const uint32_t low = order == 32 ? ~0u : ((1u << order) - 1);
  uint32_t r = 0;
  for (int i = 0; i < order; ++i) r |= ((v >> i) & 1u) << (order - 1 - i);
  return static_cast<int>((v & ~low) | r);
}

}  // namespace nsp::element
