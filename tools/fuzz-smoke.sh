#!/usr/bin/env bash
# A short fuzzing pass for CI: builds the libFuzzer targets with clang and
# runs each for a while (30 seconds unless FUZZ_SECONDS says otherwise), two
# at a time, on a fresh corpus outside the tree, the design fuzzers seeded
# from the examples. A finding stops the script with the fuzzer's report and
# the input that caused it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds=${FUZZ_SECONDS:-30}
build=${FUZZ_BUILD_DIR:-build-fuzz}
targets=(calc_fuzz value_text_fuzz wave_read_fuzz design_fuzz design_edit_fuzz block_record_fuzz)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$root/$build" -G Ninja -DRIR_WITH_FUZZ=ON -DRIR_WITH_BENCH=OFF -DRIR_WITH_DIALOGS=OFF \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  "-DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined" >"$work/configure.log" ||
  { cat "$work/configure.log"; exit 1; }
cmake --build "$root/$build" --parallel "$(nproc)" --target "${targets[@]}" >"$work/build.log" ||
  { tail -n 80 "$work/build.log"; exit 1; }

# Runs one target in the background; its log and artifacts stay in $work.
start() {
  local target=$1 corpus="$work/corpus-$1"
  local options=()
  mkdir -p "$corpus"
  case $target in
    design_fuzz | design_edit_fuzz)
      cp examples/*.toml tests/host/data/*.toml "$corpus"/ 2>/dev/null || true
      options=(-dict="$root/fuzz/host/design.dict")
      ;;
  esac
  (cd "$work" && exec "$root/$build/bin/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
    -artifact_prefix="$work/$target-" -print_final_stats=1 "${options[@]}" "$corpus" >"$work/$target.log" 2>&1) &
}

finish() {
  local target=$1 pid=$2
  if ! wait "$pid"; then
    kill $(jobs -p) 2>/dev/null || true  # the partner fuzzer stops too
    tail -n 60 "$work/$target.log"
    echo "$target found a fault; the input is kept in $work" >&2
    trap - EXIT
    exit 1
  fi
  echo "$target: $(grep -E '^stat::number_of_executed_units' "$work/$target.log" | awk '{print $2}') runs in ${seconds}s"
}

for ((i = 0; i < ${#targets[@]}; i += 2)); do
  first=${targets[i]}
  second=${targets[i + 1]:-}
  start "$first"
  pid1=$!
  if [[ -n $second ]]; then
    start "$second"
    pid2=$!
  fi
  finish "$first" "$pid1"
  if [[ -n $second ]]; then finish "$second" "$pid2"; fi
done
