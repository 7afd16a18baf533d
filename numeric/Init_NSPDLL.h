// Binding of the signal-processing library (NSPdllS/NSPPX.so under the
// host's library directory): loading, the function table, and the count of
// blocks that use it.
#pragma once

#include <string>

#include "signal/nsp.h"

struct IPELMOR;

// Every library function the blocks call, and the release functions of its
// states, in the table's fixed order: element-wise arithmetic, conjugation
// and splitting, convolution and correlation, sampling, transforms, filters
// and their states, windows.
// clang-format off
#define RIR_NSP_FUNCTIONS(X)                                                                                     \
  X(nspsbSet)                                                                                                    \
  X(nspsbAdd3) X(nspsbMpy3) X(nspsbAbs2) X(nspsbSqr2) X(nspsbSqrt2) X(nspsbExp2) X(nspsbLn2) X(nspsbThresh2)     \
  X(nspsbInvThresh2) X(nspsMin) X(nspBitRev) X(nspcbReal) X(nspcbImag) X(nspcb2RealToCplx) X(nspcbConjExtend2)   \
  X(nspsConv)                                                                                                    \
  X(nspsConv2D) X(nspsFilter2D) X(nspsAutoCorr) X(nspsUpSample) X(nspsDownSample) X(nspsRealFftNip)              \
  X(nspsCcsFftNip) X(nspcbPowerSpectr) X(nspsGoertzInit)                                                         \
  X(nspsbGoertz) X(nspsGoertzFree) X(nspsFirInit) X(nspsFirInitMr) X(nspsFir)                                    \
  X(nspsFirFree) X(nspsFirlInit) X(nspsFirlInitMr) X(nspsFirlInitDlyl) X(nspsFirlSetDlyl) X(nspsFirl)            \
  X(nspsFirlFree) X(nspsFirlFreeDlyl) X(nspsbFir) X(nspsbFirl)                                                   \
  X(nspsIirInit) X(nspsIirInitBq) X(nspsIir) X(nspsIirFree) X(nspsIirlInit)                                      \
  X(nspsIirlInitBq) X(nspsIirlInitDlyl) X(nspsIirl) X(nspsIirlFree) X(nspsIirlFreeDlyl) X(nspsLmsInit)           \
  X(nspsLmsInitMr) X(nspsLms) X(nspsLmsDes) X(nspsLmsFree) X(nspsLmslInit)                                       \
  X(nspsLmslInitMr) X(nspsLmslInitDlyl) X(nspsLmsl) X(nspsLmslNa) X(nspsLmslFree) X(nspsLmslFreeDlyl)            \
  X(nspcWinBartlett) X(nspcWinHann) X(nspcWinHamming) X(nspcWinBlackman) X(nspcWinBlackmanStd)                   \
  X(nspcWinBlackmanOpt) X(nspcWinKaiser)
// clang-format on

// One typed pointer per name; null until resolved, and null when the loaded
// file does not export the name. Where the library offers it
// (RirNsp_UnguardedEntry), the body without the floating-point guard: the
// blocks call in the library's state.
struct NspFunctionTable {
#define RIR_NSP_POINTER(name) decltype(&::name) name = nullptr;
  RIR_NSP_FUNCTIONS(RIR_NSP_POINTER)
#undef RIR_NSP_POINTER
  // Binds a filtering call to its states, where the library offers it
  // (RirNsp_UnguardedEntry("RirNsp_BindStep")); else null.
  RirNspBindStep BindStep = nullptr;
};

// The table the blocks call through; meaningful while the library is loaded.
extern NspFunctionTable NspTable;

// Directory prefix from the host, used unchanged; empty while nothing is loaded.
extern std::string LibraryDirectory;

// The library file: LibraryDirectory + "NSPdllS/NSPPX.so".
std::string SignalLibraryPath();

// Loads the library file and resolves the table. On failure shows message 0
// with the full path and returns false.
bool LoadSignalLibrary();
// Releases the library when loaded, nulls the table and empties
// LibraryDirectory.
void UnloadSignalLibrary();
bool SignalLibraryLoaded();

// A block that uses the library takes one use as its first construction
// step: loads the library from the host's directory when it is not loaded.
// False: not loaded (message shown), the block stays invalid and holds no use.
bool AcquireSignalLibrary(IPELMOR* host);
// Drops one use; the last one unloads the library.
void ReleaseSignalLibrary();
// Blocks currently holding a use.
int SignalLibraryUsers();
