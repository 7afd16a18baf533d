/* NSPPX: the single-precision signal-processing library of the transform and
 * filter blocks, loaded at run time from NSPdllS/NSPPX.so.
 *
 * Conventions of every function below:
 * - Real samples are 32-bit floats; complex samples are SCplx (re, im).
 *   n, len and the like are element counts. A count <= 0, a null array or
 *   an argument outside its documented range makes the call do nothing
 *   (functions with a result return 0).
 * - Arrays named src/dst may be the same array only where said so.
 * - Filter, LMS and Goertzel states are caller-owned areas of at least 4
 *   bytes (the blocks keep them inside their parameter records). Init stores
 *   a handle to a library-owned state in the first 4 bytes; the area must
 *   stay at the address it was initialised at. Every call checks the handle
 *   (kind, generation, address); an area that does not hold a live handle of
 *   the right kind is never trusted: the call returns 0 and changes nothing.
 *   Init releases whatever the area held before; a failed init leaves the
 *   area holding nothing. Free releases the state and clears the handle.
 * - Per-sample calls (nspsFir, nspsFirl, nspsIir, nspsIirl, nspsLms*) and
 *   the FIR's block calls (nspsbFir, nspsbFirl) never
 *   allocate.
 * - Every function computes in the library's floating-point state (x87 at
 *   64-bit precision, round to nearest, exceptions masked; MXCSR 0x1F80)
 *   whatever the caller's, and hands the caller's back on return.
 */
#ifndef RIR_SIGNAL_NSP_H
#define RIR_SIGNAL_NSP_H

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SCplx {
  float re;
  float im;
} SCplx;

/* State areas: only the first 4 bytes are used. */
typedef struct NSPFirState {
  unsigned char handle[4];
} NSPFirState;
typedef struct NSPFirTapState {
  unsigned char handle[4];
} NSPFirTapState;
typedef struct NSPFirDlyState {
  unsigned char handle[4];
} NSPFirDlyState;
typedef struct NSPIirState {
  unsigned char handle[4];
} NSPIirState;
typedef struct NSPIirTapState {
  unsigned char handle[4];
} NSPIirTapState;
typedef struct NSPIirDlyState {
  unsigned char handle[4];
} NSPIirDlyState;
typedef struct NSPLmsState {
  unsigned char handle[4];
} NSPLmsState;
typedef struct NSPLmsTapState {
  unsigned char handle[4];
} NSPLmsTapState;
typedef struct NSPLmsDlyState {
  unsigned char handle[4];
} NSPLmsDlyState;
typedef struct NSPSGoertzState {
  unsigned char handle[4];
} NSPSGoertzState;

/* Relational operators of nspsbThresh2; correlation types of nspsAutoCorr. */
enum { NSP_LT = 0, NSP_GT = 1 };
enum { NSP_AutoNormal = 0, NSP_AutoBiased = 1, NSP_AutoUnBiased = 2 };
/* FFT flag bits that change results: forward, and no 1/N scaling. */
enum { NSP_Forw = 1, NSP_Inv = 2, NSP_NoScale = 8 };

/* ---- element-wise vector functions, dst[i] for i < n; src may be dst ---- */
void nspsbExp2(const float* src, float* dst, int n);  /* e^src */
void nspsbLn2(const float* src, float* dst, int n);   /* ln src (NaN below 0) */
void nspsbAbs2(const float* src, float* dst, int n);  /* |src| */
void nspsbSqr2(const float* src, float* dst, int n);  /* src^2 */
void nspsbSqrt2(const float* src, float* dst, int n); /* sqrt src (NaN below 0) */
/* NSP_LT: values below thresh become thresh; NSP_GT: values above it do. */
void nspsbThresh2(const float* src, float* dst, int n, float thresh, int relOp);
/* 1/src, magnitude limited: |src| < thresh gives ±1/thresh (src = 0: +1/thresh);
 * thresh <= 0 limits nothing. */
void nspsbInvThresh2(const float* src, float* dst, int n, float thresh);
void nspsbSet(float val, float* dst, int n);                       /* dst = val */
void nspsbAdd3(const float* a, const float* b, float* dst, int n); /* a + b */
void nspsbMpy3(const float* a, const float* b, float* dst, int n); /* a * b */
float nspsMin(const float* src, int n);                            /* smallest of n */
/* a with its low `order` bits (0..32) in reverse order; higher bits kept.
 * Another order returns 0. */
int nspBitRev(int a, int order);

/* ---- complex splitting and assembling, n elements ---- */
void nspcbReal(const SCplx* src, float* dst, int n);
void nspcbImag(const SCplx* src, float* dst, int n);
/* dst[i] = (re[i], im[i]); a null re or im counts as zeros. */
void nspcb2RealToCplx(const float* re, const float* im, SCplx* dst, int n);

/* ---- symmetric windows over n points (M = n - 1; n = 1 gives 1), applied
 * in place to both parts of each element ---- */
void nspcWinBartlett(SCplx* vec, int n); /* 1 - |2k/M - 1| */
void nspcWinHann(SCplx* vec, int n);     /* 0.5 - 0.5 cos(2 pi k/M) */
void nspcWinHamming(SCplx* vec, int n);  /* 0.54 - 0.46 cos(2 pi k/M) */
/* (a+1)/2 - 0.5 cos(2 pi k/M) - (a/2) cos(4 pi k/M) */
void nspcWinBlackman(SCplx* vec, int n, float alpha);
void nspcWinBlackmanStd(SCplx* vec, int n); /* alpha = -0.16 */
/* alpha = -1/(4 cos^2(pi/M)); at M = 2 the alpha term vanishes (0, 1, 0). */
void nspcWinBlackmanOpt(SCplx* vec, int n);
/* I0(beta sqrt(1 - (2k/M - 1)^2)) / I0(beta) */
void nspcWinKaiser(SCplx* vec, int n, float beta);

/* ---- correlation, convolution, 2-D filtering ---- */
/* dst[k], k < nLags: r[k] = sum x[i] x[i+k]; biased r[k]/len; unbiased
 * r[k]/(len-k); lags >= len give 0. */
void nspsAutoCorr(const float* src, int len, float* dst, int nLags, int type);
/* y[k] = sum x[i] h[k-i]: xLen + hLen - 1 values. */
void nspsConv(const float* x, int xLen, const float* h, int hLen, float* y);
/* Full 2-D convolution of row-major arrays (rows of `cols` values); y has
 * (xRows + hRows - 1) rows of (xCols + hCols - 1) values. */
void nspsConv2D(const float* x, int xCols, int xRows, const float* h, int hCols, int hRows, float* y);
/* Same-size 2-D filtering (correlation), kernel centre at (hRows/2, hCols/2),
 * zeros outside: y[r][c] = sum h[i][j] x[r+i-hRows/2][c+j-hCols/2];
 * y has xRows rows of xCols values and must not overlap x. */
void nspsFilter2D(const float* x, int xCols, int xRows, const float* h, int hCols, int hRows, float* y);

/* ---- sampling, continuous across consecutive blocks ---- */
/* dst[i*factor + *phase] = src[i], zeros elsewhere; *dstLen = srcLen*factor;
 * *phase is unchanged. Needs factor >= 1 and 0 <= *phase < factor. */
void nspsUpSample(const float* src, int srcLen, float* dst, int* dstLen, int factor, int* phase);
/* dst[j] = src[*phase + j*factor] while inside src; *dstLen = their count;
 * *phase becomes the offset of the next kept sample in the following block.
 * Needs factor >= 1 and 0 <= *phase < factor. */
void nspsDownSample(const float* src, int srcLen, float* dst, int* dstLen, int factor, int* phase);
/* dst = src (n values) followed by the conjugates of src in reverse order,
 * 2*(n/2) of them (src[n-1] first). src may be dst. */
void nspcbConjExtend2(const SCplx* src, SCplx* dst, int n);

/* ---- Fourier transforms, N = 2^order, order 0..24 ---- */
/* dst[k] = sum x[j] e^(-2 pi i kj/N), k = 0..N/2 (N/2 + 1 bins, no scaling).
 * The transform is always forward; other flag bits do not change it. */
void nspsRealFftNip(const float* src, SCplx* dst, int order, int flags);
/* Inverse of the above: N real values from N/2 + 1 bins (the imaginary parts
 * of bins 0 and N/2 are ignored), scaled by 1/N unless flags has NSP_NoScale. */
void nspsCcsFftNip(const SCplx* src, float* dst, int order, int flags);
/* dst = re^2 + im^2 */
void nspcbPowerSpectr(const SCplx* src, float* dst, int n);

/* ---- Goertzel single-frequency DFT ---- */
/* freq: relative to the sampling rate, finite. */
void nspsGoertzInit(float freq, NSPSGoertzState* state);
/* sum x[j] e^(-2 pi i freq j), j = 0..len-1; each call starts at j = 0. */
SCplx nspsbGoertz(NSPSGoertzState* state, const float* src, int len);
void nspsGoertzFree(NSPSGoertzState* state);

/* ---- FIR: y[n] = sum taps[k] x[n-k], k < tapsLen (1..65536) ----
 * dlyVals: null (zeros) or tapsLen past inputs, most recent first
 * (dlyVals[0] = x[n-1]; the last one is never needed).
 * Multi-rate: input up-sampled by upFactor at upPhase, filtered, down-sampled
 * by downFactor at downPhase (factors >= 1, 0 <= phase < factor); past inputs
 * are then those of the up-sampled stream. Each call takes one input and
 * returns the newest output produced, or the previous one (0 at first). */
void nspsFirInit(const float* taps, int tapsLen, const float* dlyVals, NSPFirState* state);
void nspsFirInitMr(const float* taps, int tapsLen, const float* dlyVals, int upFactor, int upPhase, int downFactor,
                   int downPhase, NSPFirState* state);
float nspsFir(NSPFirState* state, float x);
/* n calls of nspsFir in a row: dst[i] = nspsFir(state, src[i]), bit for bit.
 * src and dst may be the same array. */
void nspsbFir(NSPFirState* state, const float* src, float* dst, int n);
void nspsFirFree(NSPFirState* state);
/* Low-level: taps and delay line in separate states, same arithmetic. A delay
 * line belongs to the tap shape it was made for; a call with a tap state of
 * another shape returns 0. */
void nspsFirlInit(const float* taps, int tapsLen, NSPFirTapState* tapState);
void nspsFirlInitMr(const float* taps, int tapsLen, int upFactor, int upPhase, int downFactor, int downPhase,
                    NSPFirTapState* tapState);
void nspsFirlInitDlyl(const NSPFirTapState* tapState, const float* dlyVals, NSPFirDlyState* dlyState);
/* Reloads a delay line made for this tap state with dlyVals (null: zeros). */
void nspsFirlSetDlyl(const NSPFirTapState* tapState, const float* dlyVals, NSPFirDlyState* dlyState);
float nspsFirl(const NSPFirTapState* tapState, NSPFirDlyState* dlyState, float x);
/* n calls of nspsFirl in a row, as nspsbFir. */
void nspsbFirl(const NSPFirTapState* tapState, NSPFirDlyState* dlyState, const float* src, float* dst, int n);
void nspsFirlFree(NSPFirTapState* tapState);
void nspsFirlFreeDlyl(NSPFirDlyState* dlyState);

/* ---- IIR, transposed direct form II ----
 * taps: b0..b_order then a0..a_order (2*order + 2 values, order 0..4096),
 * normalised by a0; a0 = 0 makes the output 0.
 * Biquads: numQuads (1..2048) sections of (b0, b1, b2, a0, a1, a2) in
 * cascade; a section with a0 = 0 outputs 0.
 * type: accepted, no effect. Registers start at 0 (high level) or at
 * dlyVals (low level: order values, or 2 per section; null: zeros). */
void nspsIirInit(int type, const float* taps, int order, NSPIirState* state);
void nspsIirInitBq(int type, const float* taps, int numQuads, NSPIirState* state);
float nspsIir(NSPIirState* state, float x);
void nspsIirFree(NSPIirState* state);
void nspsIirlInit(int type, const float* taps, int order, NSPIirTapState* tapState);
void nspsIirlInitBq(int type, const float* taps, int numQuads, NSPIirTapState* tapState);
void nspsIirlInitDlyl(const NSPIirTapState* tapState, const float* dlyVals, NSPIirDlyState* dlyState);
float nspsIirl(const NSPIirTapState* tapState, NSPIirDlyState* dlyState, float x);
void nspsIirlFree(NSPIirTapState* tapState);
void nspsIirlFreeDlyl(NSPIirDlyState* dlyState);

/* ---- LMS: leaky LMS with step mu and leak lambda ----
 * h[k] <- (1 - 2 mu lambda) h[k] + 2 mu e x[m-k], k < tapsLen (1..65536);
 * y = sum h[k] x[n-k]. taps: the initial h; dlyVals as for FIR.
 * errDly: D = max(errDly, 1) outputs; type: accepted, no effect.
 * D * downFactor + tapsLen must not exceed 2^20.
 * Multi-rate: outputs (and adaptation) only on inputs whose count since init
 * is downPhase modulo downFactor (downFactor >= 1, 0 <= downPhase <
 * downFactor); other calls return the last output (0 at first). */
void nspsLmsInit(int type, const float* taps, int tapsLen, const float* dlyVals, float step, float leak, int errDly,
                 NSPLmsState* state);
void nspsLmsInitMr(int type, const float* taps, int tapsLen, const float* dlyVals, float step, float leak, int errDly,
                   int downFactor, int downPhase, NSPLmsState* state);
/* err belongs to the output D outputs earlier: adapt with it (m = that
 * output's input index), then filter x with the new taps. */
float nspsLms(NSPLmsState* state, float x, float err);
/* Filter x, e = desired - y, adapt with it (m = n); errDly is not used. */
float nspsLmsDes(NSPLmsState* state, float x, float desired);
void nspsLmsFree(NSPLmsState* state);
/* Low-level: the tap state holds the adapting taps and the options; the
 * delay line belongs to the tap shape it was made for. adapt = 0 makes a
 * delay line that never adapts. */
void nspsLmslInit(int type, const float* taps, int tapsLen, float step, float leak, int errDly,
                  NSPLmsTapState* tapState);
void nspsLmslInitMr(int type, const float* taps, int tapsLen, float step, float leak, int errDly, int downFactor,
                    int downPhase, NSPLmsTapState* tapState);
void nspsLmslInitDlyl(const NSPLmsTapState* tapState, const float* dlyVals, int adapt, NSPLmsDlyState* dlyState);
/* As nspsLms. */
float nspsLmsl(NSPLmsTapState* tapState, NSPLmsDlyState* dlyState, float x, float err);
/* Filters without adapting. */
float nspsLmslNa(const NSPLmsTapState* tapState, NSPLmsDlyState* dlyState, float x);
void nspsLmslFree(NSPLmsTapState* tapState);
void nspsLmslFreeDlyl(NSPLmsDlyState* dlyState);

/* ---- for a caller that keeps the library's floating-point state itself
 * (the plug-in's blocks): the function named, without the check and the
 * hand-back of the state; 0 for a name that is none of the above and not
 * "RirNsp_BindStep" (below) ---- */
void* RirNsp_UnguardedEntry(const char* name);

/* ---- for such a caller that filters through the same states sample after
 * sample: a filtering call bound to the live states of its arguments, so
 * that a step looks up no handle. step(self, x, value) returns what the
 * call returns for x; value is its err or desired argument (the calls that
 * take neither ignore it). object and object2 are the library's. ---- */
typedef struct RirNspBoundStep RirNspBoundStep;
struct RirNspBoundStep {
  float (*step)(const RirNspBoundStep* self, float x, float value);
  void* object;
  void* object2;
};
/* The type of RirNsp_UnguardedEntry("RirNsp_BindStep"). Binds the call
 * `name` (nspsFir, nspsFirl, nspsIir, nspsIirl, nspsLms, nspsLmsDes,
 * nspsLmsl or nspsLmslNa) to its state arguments (dlyState: the delay-line
 * state of the low-level calls, else ignored) and returns 1; returns 0 with
 * *bound zeroed when they do not hold live states that the call filters
 * with. A binding holds until either state is initialised again or freed. */
typedef int (*RirNspBindStep)(const char* name, const void* state, const void* dlyState, RirNspBoundStep* bound);

#ifdef __cplusplus
}
#endif

#endif
