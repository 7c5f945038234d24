#!/usr/bin/env bash
# Regenerates every built-in picture, the icon and docs/pictures.png from the sources here.
# Needs rsvg-convert (librsvg2-bin), Python 3 with PIL and NumPy (python3-pil, python3-numpy)
# and the IPA fonts (fonts-ipafont-gothic, fonts-ipafont-mincho). Arguments, if any, name the
# pictures to rebuild (for example: build.sh FACE1 RUNNER); `build.sh --out DIR --name NAME --age N`
# makes the pictures that show the name and age for someone else (see generate.py --help).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"

# Debian's Python, which has python3-pil, even when another python3 comes first on PATH.
python=${GREETING_ART_PYTHON:-/usr/bin/python3}
[ -x "$python" ] || python=python3

missing=()
command -v rsvg-convert >/dev/null || missing+=(librsvg2-bin)
"$python" -c 'import PIL' 2>/dev/null || missing+=(python3-pil)
"$python" -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
fonts=$(fc-list : family 2>/dev/null || true)
[[ $fonts == *IPAPGothic* ]] || missing+=(fonts-ipafont-gothic)
[[ $fonts == *IPAPMincho* ]] || missing+=(fonts-ipafont-mincho)
if [ ${#missing[@]} -gt 0 ]; then
  echo "build.sh: missing Debian packages: ${missing[*]}" >&2
  exit 1
fi

# The rule checks are tested on broken pictures first: a check that cannot fail proves nothing.
if ! log=$(cd "$here" && "$python" -B -m unittest -q selftest 2>&1); then
  echo "$log" >&2
  echo "build.sh: the generator's self-test failed" >&2
  exit 1
fi
exec "$python" -B "$here/generate.py" "$@"
