#!/usr/bin/env bash
# Makes the built-in sound clips of the wave dialog's Play button: each word is
# spoken with espeak-ng and converted with sox to 8-bit unsigned mono PCM at
# 11025 samples per second ("Thank_You" at 11000). Output: dialogs/clips/*.wav,
# carried by dialogs/clips/clips.qrc. Rerun only when a clip should change.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/dialogs/clips"
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

make_clip() {  # name words rate
  local name=$1 words=$2 rate=$3
  espeak-ng -v en -s 120 -w "$tmp/$name.wav" "$words"
  # Trim leading and trailing silence so the clips stay short.
  sox "$tmp/$name.wav" -r "$rate" -b 8 -c 1 -e unsigned-integer "$out/$name.wav" \
    silence 1 0.02 1% reverse silence 1 0.02 1% reverse
  echo "$name.wav: $(stat -c %s "$out/$name.wav") bytes"
}

make_clip Fantastic "Fantastic!" 11025
make_clip Perfect "Perfect!" 11025
make_clip Great "Great!" 11025
make_clip Nice_work "Nice work!" 11025
make_clip Thank_You "Thank you!" 11000
make_clip TEST "Test" 11025
