#!/usr/bin/env bash
# Configures and builds one build tree: tools/build.sh DIR [cmake options...]
# (DIR relative to the checkout, or absolute)
# RIR_BUILD_TARGETS="a b" builds only those targets (default: all).
# With ccache on the machine, compiles go through it; paths are taken relative
# to the checkout, so clones and work trees share one cache. RIR_WERROR=ON in
# the environment makes every warning an error (the test path sets it).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-build}; shift || true
case $dir in /*) tree=$dir ;; *) tree=$root/$dir ;; esac
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$root" CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$tree" -G Ninja "${launcher[@]}" -DRIR_WERROR="${RIR_WERROR:-OFF}" "$@" >/dev/null
targets=()
for t in ${RIR_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$tree" --parallel "$(nproc)" "${targets[@]}"
