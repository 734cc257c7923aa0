#!/bin/sh
# A test run's Wine session: with ORVANE_WINE_KEEP_SESSIONS the first program
# leaves the session keeper waiting, Wine's desktop outlives the program by more
# than the second after which Wine would end it, and wine-stop, given the prefix's
# folder as a relative path, ends every process of the prefix.
# Usage: wine_session_test.sh REPO BUILD_DIR
repo=$1 build=$2
prefix=$build/wineprefix-session-test
export ORVANE_WINE_KEEP_SESSIONS=1
unset ORVANE_WINE_SLOT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The processes of the prefix, as "pid command line" lines.
processes() {
  for environ in /proc/[0-9]*/environ; do
    { tr '\0' '\n' <"$environ" | grep -qx "WINEPREFIX=$prefix"; } 2>/dev/null || continue
    dir=${environ%/environ}
    printf '%s %s\n' "${dir#/proc/}" "$(tr '\0' ' ' <"$dir/cmdline" 2>/dev/null)"
  done
}

"$repo/cmake/wine-stop" "$prefix"
"$repo/cmake/wine-run" "$prefix" cmd /c exit || fail "wine-run failed"
processes | grep -q 'wine-session-keeper.exe --hold' || fail "no session keeper: $(processes)"
desktop=$(processes | grep 'explorer.exe /desktop' | cut -d' ' -f1)
[ -n "$desktop" ] || fail "no desktop after the first program"
sleep 3
"$repo/cmake/wine-run" "$prefix" cmd /c exit || fail "wine-run failed the second time"
[ -n "$desktop" ] && [ "$(processes | grep 'explorer.exe /desktop' | cut -d' ' -f1)" = "$desktop" ] ||
  fail "the desktop did not outlive the first program"

(cd "$(dirname "$prefix")" && "$repo/cmake/wine-stop" "$(basename "$prefix")")
left=$(processes)
[ -z "$left" ] || fail "wine-stop left processes of the prefix: $left"

[ $failures -eq 0 ] && echo "wine session: every check passed"
exit $((failures != 0))
