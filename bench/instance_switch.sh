#!/usr/bin/env bash
# A variable font's instance switch against a collection's face switch, under
# Wine, in one viewer of a collection of Inter roman and Inter italic (made
# here with fontTools): the instance switch goes between Thin and Black, whose
# static fonts the viewer keeps after their first build; the face switch between
# the two faces. Each to the painted Glyphs page; CYCLES rounds of each,
# alternated, medians (orvane-host --bench-switch). The first two builds are
# printed apart.
# Prints one key=value line.
# Usage: bench/instance_switch.sh WIN64_BUILD [CYCLES]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bench/instance_switch.sh WIN64_BUILD [CYCLES]" >&2
  exit 2
fi
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
win=$(realpath "$1")
cycles=${2:-15}
here=$(cd "$(dirname "$0")" && pwd)
host=$win/bin/orvane-host.exe
for program in "$host" "$win/bin/Orvane.wlx64"; do
  [[ -f $program ]] || { echo "missing $program" >&2; exit 2; }
done
export WINEPREFIX=${WINEPREFIX:-$win/wineprefix} WINEDEBUG=-all
wine() { "$here/../cmake/wine-loader" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

inter=/usr/share/fonts/truetype/inter-vf
/usr/bin/python3 - "$inter" "$work/inter.ttc" <<'PY'
import sys
from fontTools.ttLib import TTCollection, TTFont
collection = TTCollection()
collection.fonts = [TTFont(sys.argv[1] + '/Inter-roman.var.ttf'),
                    TTFont(sys.argv[1] + '/Inter-italic.var.ttf')]
collection.save(sys.argv[2])
PY
# An empty settings file: no instance remembered from elsewhere.
printf '[Quenvale.Orvane]\r\n' >"$work/settings.ini"
wine "$host" --size 800x600 --settings "$work/settings.ini" --bench-switch "$cycles" \
  "$work/inter.ttc" 2>/dev/null | tr -d '\r' | grep '^switch_instance_ms='
