#!/usr/bin/env bash
# Pictures of the transform dialog's page kinds, the table editor and both
# wave pages, in English and Russian, on a virtual X display:
#   tools/transform-wave-dialog-screenshots.sh [BUILD_DIR] [OUT_DIR]   (default out/screenshots/, beside
# the generator pictures of tools/dialog-screenshots.sh)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$root/out/screenshots}
cmake --build "$build" --target transform_wave_dialog_screens | tail -1
mkdir -p "$out"
QT_QPA_PLATFORM=xcb timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bin/transform_wave_dialog_screens" "$out"
ls "$out"
