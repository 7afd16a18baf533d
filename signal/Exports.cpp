// The export table of NSPPX: every export runs its body (nsp::unguarded,
// same name, nsp.h's signature) in the library's floating-point state and
// hands the caller's back on return, so that no host state changes a value.
// An export is made here or nowhere.
#include <cstddef>
#include <cstring>
#include <string_view>
#include <tuple>

#include "BoundSteps.h"
#include "framework/FloatingPointGuard.h"
#include "nsp.h"

// X(name, number of parameters), in the order of exports.map.
// clang-format off
#define NSP_EXPORTS(X)                                                                                           \
  X(nspsbExp2, 3) X(nspsbLn2, 3) X(nspsbAbs2, 3) X(nspsbSqr2, 3) X(nspsbSqrt2, 3) X(nspsbThresh2, 5)            \
  X(nspsbInvThresh2, 4) X(nspsbSet, 3) X(nspsbAdd3, 4) X(nspsbMpy3, 4) X(nspsMin, 2) X(nspBitRev, 2)            \
  X(nspcbReal, 3) X(nspcbImag, 3) X(nspcb2RealToCplx, 4)                                                        \
  X(nspcWinBartlett, 2) X(nspcWinHann, 2) X(nspcWinHamming, 2) X(nspcWinBlackman, 3) X(nspcWinBlackmanStd, 2)   \
  X(nspcWinBlackmanOpt, 2) X(nspcWinKaiser, 3)                                                                   \
  X(nspsAutoCorr, 5) X(nspsConv, 5) X(nspsConv2D, 7) X(nspsFilter2D, 7) X(nspsUpSample, 6) X(nspsDownSample, 6) \
  X(nspcbConjExtend2, 3) X(nspsRealFftNip, 4) X(nspsCcsFftNip, 4) X(nspcbPowerSpectr, 3)                        \
  X(nspsGoertzInit, 2) X(nspsbGoertz, 3) X(nspsGoertzFree, 1)                                                    \
  X(nspsFirInit, 4) X(nspsFirInitMr, 8) X(nspsFir, 2) X(nspsFirFree, 1) X(nspsFirlInit, 3)                      \
  X(nspsFirlInitMr, 7) X(nspsFirlInitDlyl, 3) X(nspsFirlSetDlyl, 3) X(nspsFirl, 3) X(nspsFirlFree, 1)           \
  X(nspsFirlFreeDlyl, 1) X(nspsbFir, 4) X(nspsbFirl, 5)                                                         \
  X(nspsIirInit, 4) X(nspsIirInitBq, 4) X(nspsIir, 2) X(nspsIirFree, 1) X(nspsIirlInit, 4) X(nspsIirlInitBq, 4) \
  X(nspsIirlInitDlyl, 3) X(nspsIirl, 3) X(nspsIirlFree, 1) X(nspsIirlFreeDlyl, 1)                               \
  X(nspsLmsInit, 8) X(nspsLmsInitMr, 10) X(nspsLms, 3) X(nspsLmsDes, 3) X(nspsLmsFree, 1) X(nspsLmslInit, 7)    \
  X(nspsLmslInitMr, 9) X(nspsLmslInitDlyl, 4) X(nspsLmsl, 4) X(nspsLmslNa, 3) X(nspsLmslFree, 1)                \
  X(nspsLmslFreeDlyl, 1)
// clang-format on

namespace {
template <typename Function>
struct Signature;
template <typename R, typename... P>
struct Signature<R(P...)> {
  using Result = R;
  template <size_t I>
  using Parameter = std::tuple_element_t<I, std::tuple<P...>>;
  static constexpr size_t kCount = sizeof...(P);
};
}  // namespace

// The bodies, declared with nsp.h's signatures.
#define NSP_DECLARE_BODY(name, count) decltype(::name) name;
namespace nsp::unguarded {
NSP_EXPORTS(NSP_DECLARE_BODY)
}  // namespace nsp::unguarded
#undef NSP_DECLARE_BODY

// Parameter i of export `name` is a<i>.
#define NSP_P(name, i) Signature<decltype(::name)>::Parameter<i> a##i
#define NSP_PARAMETERS_1(name) NSP_P(name, 0)
#define NSP_PARAMETERS_2(name) NSP_PARAMETERS_1(name), NSP_P(name, 1)
#define NSP_PARAMETERS_3(name) NSP_PARAMETERS_2(name), NSP_P(name, 2)
#define NSP_PARAMETERS_4(name) NSP_PARAMETERS_3(name), NSP_P(name, 3)
#define NSP_PARAMETERS_5(name) NSP_PARAMETERS_4(name), NSP_P(name, 4)
#define NSP_PARAMETERS_6(name) NSP_PARAMETERS_5(name), NSP_P(name, 5)
#define NSP_PARAMETERS_7(name) NSP_PARAMETERS_6(name), NSP_P(name, 6)
#define NSP_PARAMETERS_8(name) NSP_PARAMETERS_7(name), NSP_P(name, 7)
#define NSP_PARAMETERS_9(name) NSP_PARAMETERS_8(name), NSP_P(name, 8)
#define NSP_PARAMETERS_10(name) NSP_PARAMETERS_9(name), NSP_P(name, 9)
#define NSP_ARGUMENTS_1 a0
#define NSP_ARGUMENTS_2 NSP_ARGUMENTS_1, a1
#define NSP_ARGUMENTS_3 NSP_ARGUMENTS_2, a2
#define NSP_ARGUMENTS_4 NSP_ARGUMENTS_3, a3
#define NSP_ARGUMENTS_5 NSP_ARGUMENTS_4, a4
#define NSP_ARGUMENTS_6 NSP_ARGUMENTS_5, a5
#define NSP_ARGUMENTS_7 NSP_ARGUMENTS_6, a6
#define NSP_ARGUMENTS_8 NSP_ARGUMENTS_7, a7
#define NSP_ARGUMENTS_9 NSP_ARGUMENTS_8, a8
#define NSP_ARGUMENTS_10 NSP_ARGUMENTS_9, a9

#define NSP_DEFINE_EXPORT(name, count)                                                            \
  static_assert(Signature<decltype(::name)>::kCount == count, #name ": the count of parameters"); \
  extern "C" Signature<decltype(::name)>::Result name(NSP_PARAMETERS_##count(name)) {             \
    FloatingPointGuard fp;                                                                        \
    return nsp::unguarded::name(NSP_ARGUMENTS_##count);                                           \
  }
NSP_EXPORTS(NSP_DEFINE_EXPORT)
#undef NSP_DEFINE_EXPORT

namespace {
struct Body {
  const char* name;
  void* entry;
};
#define NSP_BODY(name, count) {#name, reinterpret_cast<void*>(&nsp::unguarded::name)},
const Body kBodies[] = {NSP_EXPORTS(NSP_BODY)};
#undef NSP_BODY

// RirNsp_BindStep. It computes nothing: it needs no guard.
int BindStep(const char* name, const void* state, const void* dlyState, RirNspBoundStep* bound) {
  if (bound == nullptr) return 0;
  *bound = RirNspBoundStep{};
  if (name == nullptr) return 0;
  const std::string_view call(name);
  (void)(nsp::BindFirStep(call, state, dlyState, *bound) || nsp::BindIirStep(call, state, dlyState, *bound) ||
         nsp::BindLmsStep(call, state, dlyState, *bound));
  return bound->step != nullptr ? 1 : 0;
}
constexpr RirNspBindStep kBindStep = &BindStep;
}  // namespace

extern "C" void* RirNsp_UnguardedEntry(const char* name) {
  FloatingPointGuard fp;
  if (name == nullptr) return nullptr;
  for (const Body& b : kBodies)
    if (std::strcmp(b.name, name) == 0) return b.entry;
  if (std::strcmp(name, "RirNsp_BindStep") == 0) return reinterpret_cast<void*>(kBindStep);
  return nullptr;
}
