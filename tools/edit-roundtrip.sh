#!/usr/bin/env bash
# Opens every block's dialog through "rir-eda edit" on a virtual X display,
# presses OK without changing anything (RIR_DIALOGS_AUTO_ACCEPT) and checks
# that the design comes back byte for byte: for the bundled examples, and for
# wave names in Cyrillic, absolute and in a subfolder.
#   tools/edit-roundtrip.sh [RIR_EDA]   (default build/bin/rir-eda)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rir=$(realpath "${1:-$root/build/bin/rir-eda}")

# One virtual display for the whole run.
if [ -z "${RIR_ROUNDTRIP_INNER:-}" ]; then
  RIR_ROUNDTRIP_INNER=1 QT_QPA_PLATFORM=xcb exec timeout 600 \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$rir"
fi

# Under the sanitizer build: the system libraries' own caches are no leak of ours.
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$root/tools/lsan-system-libraries.supp"

work=$(mktemp -d /tmp/rt.XXXX)
trap 'rm -rf "$work"' EXIT
cp -r "$root/examples" "$work/examples"
failures=0
checked=0

blocks() {
  /usr/bin/python3 -c 'import sys, tomllib
for b in tomllib.load(open(sys.argv[1], "rb")).get("block", []): print(b["name"])' "$1"
}

# Opens one block's dialog, presses OK, and compares the design with its copy.
roundtrip() {
  local design=$1 block=$2 lang=${3:-}
  cp "$design" "$work/before.toml"
  local args=(edit "$design" "$block" -o "$work/out")
  [ -n "$lang" ] && args+=(--lang "$lang")
  local rc=0
  RIR_DIALOGS_AUTO_ACCEPT=1 timeout 60 "$rir" "${args[@]}" >"$work/said.txt" 2>&1 || rc=$?
  checked=$((checked + 1))
  # "no changes" says that OK was pressed and the dialog handed a record back.
  if [ $rc -ne 0 ] || grep -q "^dialog message:" "$work/said.txt" || ! grep -q "^no changes" "$work/said.txt" ||
     ! cmp -s "$work/before.toml" "$design"; then
    echo "FAIL: $(basename "$design") $block ${lang:+($lang)} rc=$rc"
    sed 's/^/    /' "$work/said.txt"
    diff "$work/before.toml" "$design" | sed 's/^/    /' || true
    cp "$work/before.toml" "$design"
    failures=$((failures + 1))
  else
    echo "ok: $(basename "$design") $block ${lang:+($lang)}"
  fi
}

mkdir -p "$work/out"
for design in "$work"/examples/*.toml; do
  for block in $(blocks "$design"); do
    roundtrip "$design" "$block"
  done
done
roundtrip "$work/examples/wave_iir.toml" player RUSSIAN
roundtrip "$work/examples/wave_iir.toml" recorder RUSSIAN

# Wave names: Cyrillic, absolute, in a subfolder (player and recorder alike).
ex=$work/examples
cp "$ex/data/tone.wav" "$ex/тон.wav"
mkdir -p "$work/out/sub"
variant() {
  local name=$1 player=$2 recorder=$3
  sed -e "s|FileName = \"data/tone.wav\"|FileName = \"$player\"|" \
      -e "s|FileName = \"iir_out.wav\"|FileName = \"$recorder\"|" "$ex/wave_iir.toml" >"$ex/$name.toml"
  grep -q "\"$player\"" "$ex/$name.toml" && grep -q "\"$recorder\"" "$ex/$name.toml"
  roundtrip "$ex/$name.toml" player
  roundtrip "$ex/$name.toml" recorder
}
variant cyrillic "тон.wav" "запись.wav"
variant absolute "$ex/data/tone.wav" "$work/out/abs.wav"
variant subfolder "data/tone.wav" "sub/запись.wav"

# A FIFO named by the player: no hang, the record kept and the user told.
mkfifo "$ex/pipe.wav"
sed -e 's|FileName = "data/tone.wav"|FileName = "pipe.wav"|' "$ex/wave_iir.toml" >"$ex/fifo.toml"
cp "$ex/fifo.toml" "$work/before.toml"
rc=0
RIR_DIALOGS_AUTO_ACCEPT=1 timeout 60 "$rir" edit "$ex/fifo.toml" player >"$work/said.txt" 2>&1 || rc=$?
checked=$((checked + 1))
if [ $rc -ne 0 ] || ! grep -q "stored file settings are kept" "$work/said.txt" || ! cmp -s "$work/before.toml" "$ex/fifo.toml"; then
  echo "FAIL: a FIFO as the player's file: rc=$rc"
  sed 's/^/    /' "$work/said.txt"
  failures=$((failures + 1))
else
  echo "ok: a FIFO as the player's file is refused and the record kept"
fi

# No display: status 1, a message that says so, the design untouched.
cp "$ex/wave_iir.toml" "$work/before.toml"
rc=0
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$rir" edit "$ex/wave_iir.toml" player >"$work/said.txt" 2>&1 || rc=$?
if [ $rc -ne 1 ] || ! grep -q "No display" "$work/said.txt" || grep -q "Can't load" "$work/said.txt" ||
   ! cmp -s "$work/before.toml" "$ex/wave_iir.toml"; then
  echo "FAIL: without a display: rc=$rc"
  sed 's/^/    /' "$work/said.txt"
  failures=$((failures + 1))
else
  echo "ok: without a display: status 1, \"$(head -1 "$work/said.txt")\""
fi

echo "$checked dialogs opened, $failures changed the design"
[ $failures -eq 0 ]
