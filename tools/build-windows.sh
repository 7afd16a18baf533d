#!/usr/bin/env bash
# Cross-builds the plug-in as Windows DLLs with Debian's mingw-w64 compilers:
#   OUTDIR/i686/lib/Rir_Eda.dll, OUTDIR/i686/lib/NSPdllS/NSPPX.DLL   (32-bit host)
#   OUTDIR/x86_64/lib/...                                           (64-bit hosts)
#   OUTDIR/ARCH/tests/*.exe   the test programs (32-bit wine, wine64)
# Usage: bash tools/build-windows.sh [OUTDIR]   (default build-windows/)
# KissFFT for NSPPX.DLL comes from Debian's kissfft source package, fetched
# once into external/ by tools/fetch-kissfft.sh (as for the Linux build).
set -euo pipefail

SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="${1:-$SRC/build-windows}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
JOBS="${RIR_JOBS:-2}"

launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the checkout: clones and work trees share one cache.
  export CCACHE_BASEDIR="$SRC" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

KISSFFT_DIR="$(bash "$SRC/tools/fetch-kissfft.sh")"

for arch in i686 x86_64; do
  cmake -S "$SRC/windows" -B "$OUT/$arch/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DRIR_KISSFFT_DIR="$KISSFFT_DIR" \
    -DRIR_WINDOWS_OUT="$OUT/$arch" \
    -DRIR_WINDOWS_TESTS=ON \
    -DRIR_WERROR="${RIR_WERROR:-OFF}" \
    "${launcher[@]}" >/dev/null
  nice cmake --build "$OUT/$arch/build" --parallel "$JOBS"
done
echo "Windows build in $OUT"
