#!/usr/bin/env bash
# A keystroke on the Features page under Wine: the line of 200 characters
# reshaped by HarfBuzz and redrawn with its waterfall, against a redraw of the
# same glyphs alone, in one viewer of DejaVu Sans (800 x 600); CYCLES rounds of
# each, alternated, medians (orvane-host --bench-keystroke). Also prints the
# whole keystroke as the text field takes it (typing_ms).
# Prints one key=value line.
# Usage: bench/features_keystroke.sh WIN64_BUILD [CYCLES]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bench/features_keystroke.sh WIN64_BUILD [CYCLES]" >&2
  exit 2
fi
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
win=$(realpath "$1")
cycles=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
host=$win/bin/orvane-host.exe
for program in "$host" "$win/bin/Orvane.wlx64"; do
  [[ -f $program ]] || { echo "missing $program" >&2; exit 2; }
done
export WINEPREFIX=${WINEPREFIX:-$win/wineprefix} WINEDEBUG=-all
wine() { "$here/../cmake/wine-loader" "$@"; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '[Quenvale.Orvane]\r\nFeaturesPage=1\r\nPage=4\r\n' >"$work/settings.ini"
wine "$host" --size 800x600 --settings "$work/settings.ini" --bench-keystroke "$cycles" \
  /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf 2>/dev/null | tr -d '\r' | grep '^keystroke_ms='
