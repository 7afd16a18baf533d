#!/usr/bin/env bash
# Sets up and builds only what the demo needs (the simulator, the plug-in,
# its signal library and the dialog module), and runs the simulator on the
# bundled example. The test path (tools/run-tests.sh) adds the rest.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh demo
RIR_BUILD_TARGETS="rir-eda rir_eda NSPPX rir_eda_dialogs" bash tools/build.sh build \
  -DRIR_WITH_TESTS=OFF -DRIR_WITH_BENCH=OFF -DRIR_WITH_PYTHON=OFF
build/bin/rir-eda demo "$@"
