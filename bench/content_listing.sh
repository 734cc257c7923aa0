#!/usr/bin/env bash
# A listing through the content plug-in under Wine: every field of every font
# below /usr/share/fonts (or the folders given), the character text read in
# pieces as the search reads it, in one process, against the reader alone
# (ReadFontFileUtf8) on the same files in the same process, ROUNDS rounds of each
# alternated after one of each that warms the page cache (orvane-content-host
# --bench). Prints one key=value line.
# Usage: bench/content_listing.sh WIN64_BUILD [ROUNDS] [FOLDER...]
set -euo pipefail
if [[ $# -lt 1 ]]; then
  echo "usage: bench/content_listing.sh WIN64_BUILD [ROUNDS] [FOLDER...]" >&2
  exit 2
fi
win=$(realpath "$1")
rounds=${2:-5}
shift $(( $# >= 2 ? 2 : 1 ))
folders=("$@")
[[ ${#folders[@]} -gt 0 ]] || folders=(/usr/share/fonts)
here=$(cd "$(dirname "$0")" && pwd)
host=$win/bin/orvane-content-host.exe
for program in "$host" "$win/bin/Orvane.wdx64"; do
  [[ -f $program ]] || { echo "missing $program" >&2; exit 2; }
done
export WINEPREFIX=${WINEPREFIX:-$win/wineprefix} WINEDEBUG=-all
"$here/../cmake/wine-loader" "$host" --bench "$rounds" "${folders[@]}" | tr -d '\r'
