// The uniform source that every random generator of the process shares, and
// the Gaussian draw built on it. Both work in single precision.
#pragma once

#include <cstdint>

// 0 when the library is loaded; the generators never reseed it.
extern uint32_t UniformSeed;

// seed <- seed * 134775813 + 1 (mod 2^32); yields seed / 2^32 as a float in [0, 1).
float UniformDraw();

// Polar method: a, b uniform in [-1, 1), s = sqrt(a^2 + b^2), retried until
// 0 < s < 1; z = a * sqrt(-2 ln s / s). Two draws per attempt, a first.
float GaussianDraw();
