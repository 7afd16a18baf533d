/* Force-included into KissFFT's sources: the twiddle factors it computes
   with cos and sin come from the math layer, the same bits in every build. */
#ifndef RIR_KISS_TWIDDLES_H
#define RIR_KISS_TWIDDLES_H

#include <math.h>

#include "MathC.h"

#define cos(x) rir_math_cos(x)
#define sin(x) rir_math_sin(x)

#endif
