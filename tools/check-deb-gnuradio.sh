#!/usr/bin/env bash
# Checks a rir-eda-gnuradio .deb: the GNU Radio Companion blocks of the
# build's GRC_DIR where GRC finds them, the module beside rir_eda, the
# example flowgraphs, and dependencies on rir-eda of the same version and on
# GNU Radio. Usage: tools/check-deb-gnuradio.sh FILE.deb GRC_DIR
set -euo pipefail
deb=$1 grc=$2
files=$(dpkg-deb -c "$deb" | awk '{print $NF}' | sed 's|^\./|/|')
status=0
packaged=$(sed -n 's|^/usr/share/gnuradio/grc/blocks/||p' <<<"$files" | grep . | sort)
built=$(cd "$grc" && ls -- *.block.yml | sort)
[ "$packaged" = "$built" ] || { echo "the GRC blocks differ from $grc's:" >&2; diff <(echo "$built") <(echo "$packaged") >&2; status=1; }
for want in /usr/lib/python3/dist-packages/rir_eda/gr.py /usr/share/rir-eda/examples/gnuradio/noisy_tone_fir.grc \
            /usr/share/rir-eda/examples/gnuradio/wave_iir.grc; do
  grep -qx "$want" <<<"$files" || { echo "missing: $want" >&2; status=1; }
done
if grep -v '^/usr/' <<<"$files" | grep -qv '^/$'; then
  echo "files outside /usr:" >&2; grep -v '^/usr/' <<<"$files" | grep -v '^/$' >&2; status=1
fi
depends=$(dpkg-deb -f "$deb" Depends)
version=$(dpkg-deb -f "$deb" Version)
for dep in "rir-eda (= $version)" gnuradio; do
  grep -qF "$dep" <<<"$depends" || { echo "Depends lacks $dep: $depends" >&2; status=1; }
done
[ "$(dpkg-deb -f "$deb" Architecture)" = all ] || { echo "not Architecture: all" >&2; status=1; }
[ $status -eq 0 ] && echo "$deb: file list and dependencies as expected"
exit $status
