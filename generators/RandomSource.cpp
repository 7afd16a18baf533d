#include "RandomSource.h"

#include <cmath>

#include "signal/math/Math.h"

uint32_t UniformSeed = 0;

float GaussianDraw() {
  float a, s;
  do {
    a = 2.0f * UniformDraw() - 1.0f;
    const float b = 2.0f * UniformDraw() - 1.0f;
    s = std::sqrt(a * a + b * b);
  } while (!(s < 1.0f && s > 0.0f));  // s = 0 would give 0 * infinity
  return a * std::sqrt(-2.0f * math::Log(s) / s);
}
