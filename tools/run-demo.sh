#!/usr/bin/env bash
# Sets everything up, builds, and runs the simulator on the bundled example.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash tools/setup.sh
bash tools/build.sh build
build/bin/rir-eda demo "$@"
