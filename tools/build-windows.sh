#!/usr/bin/env bash
# Cross-builds the plug-in as Windows DLLs with Debian's mingw-w64 compilers:
#   OUTDIR/i686/lib/Rir_Eda.dll, OUTDIR/i686/lib/NSPdllS/NSPPX.DLL   (32-bit host)
#   OUTDIR/x86_64/lib/...                                           (64-bit hosts)
#   OUTDIR/ARCH/tests/*.exe   the test programs (32-bit wine, wine64)
# Usage: bash tools/build-windows.sh [OUTDIR]   (default build-windows/)
# KissFFT for NSPPX.DLL comes from Debian's kissfft source package, fetched
# once into OUTDIR/src with a private apt state (the system's is not touched).
set -euo pipefail

SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="${1:-$SRC/build-windows}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"
JOBS="${RIR_JOBS:-2}"

fetch_kissfft() {
  local dest="$OUT/src"
  local found
  found="$(find "$dest" -maxdepth 2 -name kiss_fft.c -path '*kissfft-*' -print -quit 2>/dev/null || true)"
  if [[ -n "$found" ]]; then
    KISSFFT_DIR="$(dirname "$found")"
    return
  fi
  local apt="$OUT/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$dest"
  # The system's deb entries, turned into deb-src entries.
  : > "$apt/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f "$f" ]] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt/sources.list"
  done
  mkdir -p "$apt/sources.list.d"
  rm -f "$apt/sources.list.d/"*
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" ]] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt/sources.list.d/$(basename "$f")"
  done
  local opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources.list.d"
              -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
  apt-get "${opts[@]}" -qq update
  (cd "$dest" && apt-get "${opts[@]}" -qq source kissfft)
  found="$(find "$dest" -maxdepth 2 -name kiss_fft.c -path '*kissfft-*' -print -quit)"
  [[ -n "$found" ]] || { echo "kissfft source not found after apt-get source" >&2; exit 1; }
  KISSFFT_DIR="$(dirname "$found")"
}

launcher=()
if command -v ccache >/dev/null; then
  # Paths relative to the checkout: clones and work trees share one cache.
  export CCACHE_BASEDIR="$SRC" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

fetch_kissfft

for arch in i686 x86_64; do
  cmake -S "$SRC/windows" -B "$OUT/$arch/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$SRC/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DRIR_KISSFFT_DIR="$KISSFFT_DIR" \
    -DRIR_WINDOWS_OUT="$OUT/$arch" \
    -DRIR_WINDOWS_TESTS=ON \
    "${launcher[@]}" >/dev/null
  nice cmake --build "$OUT/$arch/build" --parallel "$JOBS"
done
echo "Windows build in $OUT"
