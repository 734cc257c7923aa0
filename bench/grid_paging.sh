#!/usr/bin/env bash
# Painting the glyph grid in orvane-host under Wine: one screen of a block
# (median of 20 repaints) and paging through it from the first row to the last
# (LB_SETTOPINDEX page by page, each followed by UpdateWindow), with the rows the
# viewer was asked to draw. By default the CJK ideographs (1307 rows) of Noto CJK.
# Usage: bench/grid_paging.sh [BUILD_DIR] [FONT] [BLOCK_POSITION] [WIDTHxHEIGHT]
set -euo pipefail
# One private X server for all rounds when there is no display.
if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
build=${1:-build/win64}
font=${2:-/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc}
block=${3:-86}
size=${4:-800x600}
host=$build/bin/orvane-host.exe
[[ -f $host ]] || { echo "missing $host (build orvane-host)" >&2; exit 2; }
export WINEPREFIX=${WINEPREFIX:-$(realpath "$build")/wineprefix} WINEDEBUG=-all
echo "$(basename "$font"), block position $block, window $size, $(basename "$build")"
for round in 1 2 3; do
  echo "round $round:"
  "$(dirname "$0")/../cmake/wine-loader" "$host" --size "$size" --block "$block" --bench-paging "$font"
done
