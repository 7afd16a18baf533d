#!/usr/bin/env bash
# Sets everything up and runs the whole test suite: the normal build, then
# the same suite built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
bash tools/setup-wine32.sh  # the i686 DLL's suites run under 32-bit wine
bash tools/check-format.sh
export QT_QPA_PLATFORM=offscreen
# Every build of the test path, the Windows ones too, treats warnings as errors.
export RIR_WERROR=ON

# Everything on, also in a tree that tools/run-demo.sh configured light.
bash tools/build.sh build -DRIR_WITH_TESTS=ON -DRIR_WITH_BENCH=ON -DRIR_WITH_PYTHON=ON
ctest --test-dir build --output-on-failure --parallel "$(nproc)"

bash tools/build.sh build-asan -DRIR_SANITIZE=ON -DRIR_WITH_BENCH=OFF -DRIR_WITH_PYTHON=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$(nproc)"

# A short fuzzing pass over everything a user types (clang, libFuzzer).
bash tools/fuzz-smoke.sh
