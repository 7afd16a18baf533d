#!/usr/bin/env bash
# Fetches KissFFT's source from Debian's kissfft source package, once, into
# external/ of the checkout (git-ignored), with a private apt state (the
# system's is not touched), and prints the folder that holds kiss_fft.c.
# Both the Linux and the Windows builds compile this source.
# Usage: bash tools/fetch-kissfft.sh
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
dest="$root/external"

# The trailing slash follows external/ when it is a link to a shared copy.
find_source() {
  find "$dest/" -maxdepth 2 -name kiss_fft.c -path '*kissfft-*' -print -quit 2>/dev/null || true
}

# Builds configured at the same time fetch once: the second waits for the first.
mkdir -p "$dest"
exec 9>"$dest/.lock"
flock 9

found="$(find_source)"
if [[ -z "$found" ]]; then
  apt="$dest/apt"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/sources.list.d"
  # The system's deb entries, turned into deb-src entries.
  : > "$apt/sources.list"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [[ -f "$f" ]] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt/sources.list"
  done
  rm -f "$apt/sources.list.d/"*
  for f in /etc/apt/sources.list.d/*.sources; do
    [[ -f "$f" ]] && sed 's/^Types:.*/Types: deb-src/' "$f" > "$apt/sources.list.d/$(basename "$f")"
  done
  opts=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources.list.d"
        -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "APT::Sandbox::User=root")
  apt-get "${opts[@]}" -qq update >&2
  (cd "$dest" && apt-get "${opts[@]}" -qq source kissfft >&2)
  found="$(find_source)"
  [[ -n "$found" ]] || { echo "fetch-kissfft: kissfft source not found after apt-get source" >&2; exit 1; }
fi
dirname "$found"
