#!/usr/bin/env bash
# Builds the release packages into OUTDIR:
#   OUTDIR/rir-eda_VERSION_amd64.deb      (apt-get install ./rir-eda_*.deb)
#   OUTDIR/rir_eda-VERSION-cpXY-cpXY-linux_x86_64.whl  (pip install, for /usr/bin/python3)
#   OUTDIR/rir-eda-gnuradio_VERSION_all.deb  (with GNU Radio installed: rir_eda.gr, the GRC blocks)
#   OUTDIR/rir-eda-VERSION-windows.zip    (i686/ and x86_64/: Rir_Eda.dll, NSPdllS/NSPPX.DLL)
# Usage: bash tools/package.sh OUTDIR [--deb-only]
# --deb-only makes the .deb and the wheel, and installs only the packages they
# need. The Linux build goes to build-package/ (the wheel's to
# build-package/wheel/), the Windows one to build-package/windows/; compiles
# go through ccache, so a second run or a machine that built before reuses them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
[ $# -ge 1 ] || { echo "usage: tools/package.sh OUTDIR [--deb-only]" >&2; exit 2; }
mkdir -p "$1"
out=$(cd "$1" && pwd)
deb_only=false
[ "${2:-}" = --deb-only ] && deb_only=true
cd "$root"
if $deb_only; then bash tools/setup.sh deb; else bash tools/setup.sh; fi

build=build-package
bash tools/build.sh "$build" -DRIR_WITH_TESTS=OFF -DRIR_WITH_BENCH=OFF -DRIR_WITH_PYTHON=ON
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
(cd "$build" && cpack -G DEB -B "$build-cpack" >/dev/null)
cp "$build/$build-cpack/rir-eda_${version}_amd64.deb" "$out/"
echo "wrote $out/rir-eda_${version}_amd64.deb"
# Made when the build found GNU Radio (cmake/GnuRadio.cmake).
if [ -e "$build/$build-cpack/rir-eda-gnuradio_${version}_all.deb" ]; then
  cp "$build/$build-cpack/rir-eda-gnuradio_${version}_all.deb" "$out/"
  echo "wrote $out/rir-eda-gnuradio_${version}_all.deb"
fi
RIR_WHEEL_BUILD_DIR="$root/$build/wheel" /usr/bin/python3 -m pip wheel -q --no-build-isolation --no-deps . -w "$out"
echo "wrote $(ls "$out"/rir_eda-"$version"-*.whl)"
$deb_only && exit 0

windows="$root/$build/windows"
bash tools/build-windows.sh "$windows"
stage="$windows/zip"
rm -rf "$stage"
for arch in i686 x86_64; do
  mkdir -p "$stage/$arch/NSPdllS"
  cp "$windows/$arch/lib/Rir_Eda.dll" "$stage/$arch/"
  cp "$windows/$arch/lib/NSPdllS/NSPPX.DLL" "$stage/$arch/NSPdllS/"
done
cat > "$stage/README.txt" <<TEXT
Rir_Eda $version for Windows circuit-simulation hosts

i686/    the 32-bit DLLs, for the circuit host
x86_64/  the 64-bit DLLs, for 64-bit hosts

Installing (take the folder that matches the host):
1. Copy Rir_Eda.dll to where the host loads its block libraries from.
2. Copy the NSPdllS folder (NSPdllS\\NSPPX.DLL) into the folder the host
   reports as its library directory. Without it every transform and filter
   block says "Can't load library (...NSPdllS\\NSPPX.DLL)" and stays invalid;
   generators and wave blocks do not need it.
3. Wave blocks find relative file names in that folder too, and test files
   in its Test\\ sub-folder (Test\\Test_3.wav for test number 3).

Each DLL stands alone: it needs only system DLLs.
TEXT
rm -f "$out/rir-eda-$version-windows.zip"
(cd "$stage" && cmake -E tar cf "$out/rir-eda-$version-windows.zip" --format=zip README.txt i686 x86_64)
echo "wrote $out/rir-eda-$version-windows.zip"
