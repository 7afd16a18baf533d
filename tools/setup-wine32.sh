#!/usr/bin/env bash
# Installs 32-bit wine (Debian's wine32:i386 beside wine64), which runs the
# i686 DLL and its test programs. Only the tests need it. Idempotent: nothing
# happens when the package is there.
set -euo pipefail

# A kernel without 32-bit support refuses the loader: the i686 suites then skip.
note_kernel() {
  /usr/lib/wine/wine --version >/dev/null 2>&1 ||
    echo "setup-wine32: this kernel does not run 32-bit programs; the i686 DLL's suites will be skipped" >&2
}

if dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed"; then
  note_kernel
  exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "setup-wine32: wine32:i386 is missing; run as root to install it" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get -o DPkg::Lock::Timeout=600 update -qq
apt-get -o DPkg::Lock::Timeout=600 install -y -qq --no-install-recommends wine32:i386 >/dev/null
note_kernel
