#!/usr/bin/env bash
# Takes pictures of every Qt dialog page (generator, transform, table editor,
# wave), English and Russian, under a virtual X display:
#   tools/dialog-screenshots.sh [BUILD_DIR] [OUT_DIR]
# The PNGs land in out/screenshots/ by default.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/out/screenshots}
cmake --build "$build" --target rir-dialog-screenshots | tail -1
mkdir -p "$out"
QT_QPA_PLATFORM=xcb timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$build/bin/rir-dialog-screenshots" "$build/lib/librir_eda.so" "$out"
