// The uniform source that every random generator of the process shares, and
// the Gaussian draw built on it. Both work in single precision.
#pragma once

#include <cstdint>

// 0 when the library is loaded; the generators never reseed it.
extern uint32_t UniformSeed;

// seed <- seed * 134775813 + 1 (mod 2^32); yields seed / 2^32 as a float in [0, 1).
// Inline: a random generator's step is little more than a draw.
inline float UniformDraw() {
  UniformSeed = UniformSeed * 134775813u + 1u;
  const float u = static_cast<float>(static_cast<double>(UniformSeed) * 0x1p-32);
  // The top 128 seeds round up to 1.0f; keep the draw below 1.
  return u < 1.0f ? u : 0x1.fffffep-1f;
}

// Polar method: a, b uniform in [-1, 1), s = sqrt(a^2 + b^2), retried until
// 0 < s < 1; z = a * sqrt(-2 ln s / s). Two draws per attempt, a first.
float GaussianDraw();
