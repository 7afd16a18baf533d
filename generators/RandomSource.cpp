#include "RandomSource.h"

#include <cmath>

#include "signal/math/Math.h"

uint32_t UniformSeed = 0;

float UniformDraw() {
  UniformSeed = UniformSeed * 134775813u + 1u;
  const float u = static_cast<float>(static_cast<double>(UniformSeed) * 0x1p-32);
  // The top 128 seeds round up to 1.0f; keep the draw below 1.
  return u < 1.0f ? u : 0x1.fffffep-1f;
}

float GaussianDraw() {
  float a, s;
  do {
    a = 2.0f * UniformDraw() - 1.0f;
    const float b = 2.0f * UniformDraw() - 1.0f;
    s = std::sqrt(a * a + b * b);
  } while (!(s < 1.0f && s > 0.0f));  // s = 0 would give 0 * infinity
  return a * std::sqrt(-2.0f * math::Log(s) / s);
}
