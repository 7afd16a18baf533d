#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the tools need.
# Idempotent: packages already present are left alone, and apt-get update
# runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-multimedia-dev qt6-tools-dev-tools
  libtomlplusplus-dev libcli11-dev libmpfr-dev
  python3-numpy python3-scipy
  sox xvfb xauth imagemagick espeak-ng gtkwave gnuplot-nox parallel
  qt6-translations-l10n pulseaudio pulseaudio-utils
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 googletest dpkg-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  if [ "$(id -u)" -ne 0 ]; then
    echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
