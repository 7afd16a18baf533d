#!/usr/bin/env bash
# Installs the Debian packages a path needs: tools/setup.sh [demo|deb|all]
#   demo: what the simulator, the plug-in and the dialog module need to build
#         and run the demo (tools/run-demo.sh; dpkg-dev unpacks KissFFT's source);
#   deb:  that and what the Debian package and the wheel need
#         (tools/package.sh --deb-only): the Python module's build and
#         Debian's wheel tools;
#   all (the default): that and everything the tests, the benchmarks, the
#         Windows cross-build (mingw, wine), fuzzing (clang), the sound
#         recordings (PulseAudio), the sweeps on Dask and the GNU Radio
#         blocks (GNU Radio 3.10; GTK and xdotool for the GRC screenshot) need.
# Idempotent: packages already present are left alone, and apt-get update
# runs only when something is missing.
set -euo pipefail

demo_packages=(
  build-essential cmake ninja-build pkg-config dpkg-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-multimedia-dev qt6-translations-l10n
  libtomlplusplus-dev libcli11-dev gnuplot-nox ccache
)
package_packages=(
  python3-dev python3-numpy pybind11-dev python3-pybind11
  python3-pip python3-setuptools python3-wheel python3-venv file
)
test_packages=(
  git clang clang-format libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev libfftw3-dev libmpfr-dev qt6-tools-dev-tools
  python3-scipy python3-pytest python3-matplotlib python3-nbconvert python3-ipykernel
  python3-distributed
  sox xvfb xauth imagemagick espeak-ng gtkwave parallel
  pulseaudio pulseaudio-utils
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine64 googletest
  gnuradio gir1.2-gtk-3.0 xdotool
)

case "${1:-all}" in
  demo) packages=("${demo_packages[@]}") ;;
  deb) packages=("${demo_packages[@]}" "${package_packages[@]}") ;;
  all) packages=("${demo_packages[@]}" "${package_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: tools/setup.sh [demo|deb|all]" >&2; exit 2 ;;
esac

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
  apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
