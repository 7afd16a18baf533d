#!/usr/bin/env bash
# Takes the guide's picture of GNU Radio Companion: the example
# examples/gnuradio/noisy_tone_fir.grc open, the block tree searched for our
# blocks, under a virtual X display: tools/grc-screenshot.sh [BUILD_DIR] [OUT.png]
# (default docs/gnuradio.png). Needs a build with GNU Radio (build/grc).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
out=$(realpath -m "${2:-$root/docs/gnuradio.png}")
cmake --build "$build" --target rir_eda_gnuradio | tail -1
export GRC_BLOCKS_PATH=$build/grc PYTHONPATH=$build/python out root
timeout 120 xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  gnuradio-companion "$root/examples/gnuradio/noisy_tone_fir.grc" >/dev/null 2>&1 &
  grc=$!
  for _ in $(seq 60); do
    window=$(xdotool search --name noisy_tone_fir 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 1
  done
  sleep 3
  xdotool windowmove "$window" 0 0 windowsize "$window" 1280 1024
  sleep 2
  xdotool mousemove 1005 46 click 1  # the block search
  sleep 1
  xdotool type --delay 80 rir
  sleep 2
  import -window root "$out"
  kill $grc' 2>/dev/null
echo "wrote $out"
