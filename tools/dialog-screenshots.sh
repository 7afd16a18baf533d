#!/usr/bin/env bash
# Takes pictures of the generator dialog (every page a block type offers,
# English and Russian) under a virtual X display:
#   tools/dialog-screenshots.sh [BUILD_DIR] [OUT_DIR]
# The PNGs land in out/screenshots/ by default.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/out/screenshots}
tool="$build/bin/rir-dialog-screenshots"
if [ ! -x "$tool" ]; then
  cmake --build "$build" --target rir-dialog-screenshots >/dev/null
fi
mkdir -p "$out"
QT_QPA_PLATFORM=xcb timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$tool" "$build/lib/librir_eda.so" "$out"
