#!/usr/bin/env bash
# Pictures of the Windows build's parameter dialogs, every page in English
# and Russian, taken under wine64 on a private Xvfb display:
#   bash tools/windows-dialog-screenshots.sh [OUTDIR]   (default docs/windows)
# Builds the Windows DLLs and test programs first (tools/build-windows.sh).
set -euo pipefail

SRC="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
OUT="${1:-$SRC/docs/windows}"
WIN="${RIR_WINDOWS_BUILD:-$SRC/build-windows}"
mkdir -p "$WIN"
WIN="$(cd "$WIN" && pwd)"
WINE="${RIR_WINE64:-/usr/lib/wine/wine64}"
mkdir -p "$OUT"
OUT="$(cd "$OUT" && pwd)"

bash "$SRC/tools/build-windows.sh" "$WIN" >/dev/null
PREFIX="$WIN/wineprefix-screens"
[[ -d "$PREFIX" ]] || /usr/bin/python3 "$SRC/tests/windows/run_wine_gtest.py" "$WINE" "$PREFIX" --boot >/dev/null

SHOTS="$(mktemp -d)"
trap 'rm -rf "$SHOTS"' EXIT
# The screenshot cases take pictures only when asked to.
RIR_SCREENSHOT_DIR="Z:$SHOTS" /usr/bin/python3 "$SRC/tests/windows/run_wine_gtest.py" --display "$WINE" "$PREFIX" \
  "$WIN/x86_64/tests/dialogs_win_test.exe" "*Screenshot*"
count=0
for bmp in "$SHOTS"/*.bmp; do
  [[ -e "$bmp" ]] || continue
  /usr/bin/python3 "$SRC/tools/bmp_to_png.py" "$bmp" "$OUT/$(basename "${bmp%.bmp}").png"
  count=$((count + 1))
done
echo "$count pictures in $OUT"
