#!/usr/bin/env bash
# Builds the wheel with Debian's interpreter, installs it into a fresh venv
# that sees Debian's numpy, and uses it from an empty folder the way a user
# would: the README's Python example, the console script against the module,
# and no library the wheel does not carry beyond the C and C++ runtimes.
# Usage: tools/check-wheel.sh WORKDIR   (WORKDIR/tree keeps the wheel's CMake
# tree between runs, so that a second run rebuilds nothing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mkdir -p "$1" && cd "$1" && pwd)
python=/usr/bin/python3
rm -rf "$work/dist" "$work/venv" "$work/empty"
RIR_WHEEL_BUILD_DIR="$work/tree" "$python" -m pip wheel -q --no-build-isolation --no-deps "$root" -w "$work/dist"
wheel=$(ls "$work"/dist/rir_eda-*.whl)
tag=$("$python" -c 'import sys; print("cp%d%d" % sys.version_info[:2])')
case $(basename "$wheel") in
  rir_eda-*-"$tag"-"$tag"-linux_x86_64.whl) ;;
  *) echo "unexpected wheel name: $wheel" >&2; exit 1 ;;
esac
"$python" -m venv --system-site-packages "$work/venv"
"$work/venv/bin/python" -m pip install -q --no-index "$wheel"

mkdir "$work/empty"
cd "$work/empty"
export -n PYTHONPATH
status=0
# The README's first Python example, as it stands.
"$python" -c 'import re, sys; print(re.search(r"```python\n(.*?)```", open(sys.argv[1]).read(), re.S).group(1))' \
  "$root/README.md" > readme.py
"$work/venv/bin/python" -W ignore::UserWarning readme.py > readme.out
first=$(head -1 readme.out)
[ "$first" = "[1 5 6]" ] || { echo "README example printed $first first, not [1 5 6]" >&2; status=1; }
"$work/venv/bin/python" -W ignore::UserWarning - "$work/venv" <<'PY' || status=1
import filecmp, os, subprocess, sys
import rir_eda
venv = sys.argv[1]
assert rir_eda.__file__.startswith(venv), rir_eda.__file__
design = os.path.join(rir_eda.examples_dir(), "wave_iir.toml")
rir_eda.run(design, output_dir="py")
subprocess.run([os.path.join(venv, "bin", "rir-eda"), "run", design, "-o", "cli", "-q"], check=True)
assert filecmp.cmp("py/iir_out.wav", "cli/iir_out.wav", shallow=False)
PY
# Nothing but the C and C++ runtimes from outside the wheel.
for elf in $(find "$work/venv/lib" -path '*rir_eda*' \( -name '*.so' -o -name rir-eda \) -type f); do
  extra=$(ldd "$elf" | awk '{print $1}' | grep -Ev '^(linux-vdso\.|/lib64/ld-linux|lib(c|m|stdc\+\+|gcc_s|dl|pthread)\.so)' || true)
  [ -z "$extra" ] || { echo "$elf needs $extra" >&2; status=1; }
done
[ $status -eq 0 ] && echo "$(basename "$wheel"): installs into a venv and works from an empty folder"
exit $status
