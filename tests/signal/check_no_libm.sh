#!/usr/bin/env bash
# Fails when a library imports a transcendental function from the platform's
# libm: those differ between glibc and msvcrt, the math layer does not.
# Usage: check_no_libm.sh LIBRARY...
set -euo pipefail
pattern='^_*(sin|cos|tan|sincos|exp|exp2|exp10|expm1|log|log2|log10|log1p|pow|atan|atan2|asin|acos|sinh|cosh|tanh|cbrt|hypot|erf|erfc|lgamma|tgamma)[fl]?(_finite)?(@.*)?$'
status=0
for lib in "$@"; do
  found=$(nm -D --undefined-only "$lib" | awk '{print $NF}' | grep -E "$pattern" || true)
  if [[ -n "$found" ]]; then
    echo "$lib imports from libm: $(echo $found)"
    status=1
  fi
done
exit $status
