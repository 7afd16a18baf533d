/* The math layer for C code (KissFFT's twiddle factors). */
#ifndef RIR_MATH_C_H
#define RIR_MATH_C_H

#ifdef __cplusplus
extern "C" {
#endif

double rir_math_sin(double x);
double rir_math_cos(double x);

#ifdef __cplusplus
}
#endif

#endif
