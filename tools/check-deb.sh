#!/usr/bin/env bash
# Checks a rir-eda .deb: the files a user needs are in it, where the
# installed simulator and Python module look for them, its dependencies name
# the libraries it links, its man page documents every subcommand the
# simulator has, and its maintainer scripts take away the byte code Python
# writes, so that a purge leaves nothing. Usage: tools/check-deb.sh FILE.deb
set -euo pipefail
deb=$1
files=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
status=0
for want in /usr/bin/rir-eda /usr/lib/rir-eda/librir_eda.so /usr/lib/rir-eda/NSPdllS/NSPPX.so \
            /usr/lib/rir-eda/librir_eda_dialogs.so /usr/lib/python3/dist-packages/rir_eda/__init__.py \
            /usr/share/rir-eda/examples/sine_hann_fft.toml /usr/share/rir-eda/examples/data/tone.wav \
            /usr/share/rir-eda/examples/filter_response.ipynb /usr/share/doc/rir-eda/guide.md \
            /usr/share/man/man1/rir-eda.1.gz /usr/share/doc/rir-eda/copyright; do
  grep -qx "$want" <<<"$files" || { echo "missing: $want" >&2; status=1; }
done
grep -q '^/usr/lib/python3/dist-packages/rir_eda/_core\.cpython-.*\.so$' <<<"$files" ||
  { echo "missing: the extension rir_eda/_core" >&2; status=1; }
# Nothing from the build machine's own paths.
if grep -v '^/usr/' <<<"$files" | grep -qv '^/$'; then
  echo "files outside /usr:" >&2; grep -v '^/usr/' <<<"$files" | grep -v '^/$' >&2; status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
for dep in python3-numpy libtomlplusplus libqt6widgets6 libstdc++6; do
  grep -q "$dep" <<<"$depends" || { echo "Depends lacks $dep: $depends" >&2; status=1; }
done
control=$(mktemp -d)
trap 'rm -rf "$control"' EXIT
dpkg-deb -e "$deb" "$control/DEBIAN"
grep -q 'py3clean -p' "$control/DEBIAN/prerm" 2>/dev/null || { echo "prerm does not clean the byte code" >&2; status=1; }
# The man page: every subcommand of the packaged simulator, run's --set, the exit statuses.
dpkg-deb -x "$deb" "$control/root"
man=$(zcat "$control/root/usr/share/man/man1/rir-eda.1.gz")
commands=$("$control/root/usr/bin/rir-eda" --help | sed -n '/^Subcommands:/,$p' | awk 'NR > 1 {print $1}')
for command in $commands; do
  grep -qx ".SS \"$command\"" <<<"$man" || { echo "man page lacks the subcommand $command" >&2; status=1; }
done
for want in '\-\-set' '.SH "EXIT STATUS"' '.SH FILES' '.SH EXAMPLES'; do
  grep -qF -- "$want" <<<"$man" || { echo "man page lacks $want" >&2; status=1; }
done
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' \
  "$control/root/usr/share/doc/rir-eda/copyright" || { echo "copyright is not machine-readable" >&2; status=1; }
[ $status -eq 0 ] && echo "$deb: file list and dependencies as expected"
exit $status
