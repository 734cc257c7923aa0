#!/bin/sh
# Runs a Windows program under Wine in a prefix of its own whose screen is set to
# DPI dots per inch, so that the shared prefix of the other tests stays at 96.
# Usage: run-at-dpi.sh WINE_RUN PREFIX DPI PROGRAM [ARGS...]
wine_run=$1 prefix=$2 dpi=$3
shift 3
# The prefix wine-run uses for this program's slot.
used=$prefix${ORVANE_WINE_SLOT:+-slot$ORVANE_WINE_SLOT}
mkdir -p "$(dirname "$used")"
(
  flock 8
  if [ ! -f "$used/.orvane-dpi-$dpi" ]; then
    # Wine reads the value when its server starts: set it, then stop the server.
    # Setting it starts the prefix, which can fail once under load: tried twice,
    # and a failure said (it was silent, and so was the test).
    set_dpi() {
      "$wine_run" "$prefix" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
        /d "$dpi" /f 8>&-
    }
    set_dpi >"$used.dpi-log" 2>&1 || set_dpi >"$used.dpi-log" 2>&1 || {
      echo "run-at-dpi.sh: could not set $dpi dpi in $used:" >&2
      tail -n 5 "$used.dpi-log" >&2
      exit 1
    }
    WINEPREFIX="$used" wineserver -k
    WINEPREFIX="$used" wineserver -w 8>&-
    touch "$used/.orvane-dpi-$dpi"
  fi
) 8>"$used.dpi-lock" || { echo "run-at-dpi.sh: no $dpi dpi prefix at $used" >&2; exit 1; }
exec "$wine_run" "$prefix" "$@"
