#!/usr/bin/env bash
# The Windows program as a user meets it, under Wine on a virtual display:
# started in a kit, it shows its modal box captioned with its file name and
# waits; dismissed with Enter, it ends with the status of the outcome.
# Usage: end_to_end.sh PROGRAM WINE WORK_DIRECTORY
set -euo pipefail
program=$1 wine=$2 work=$3
caption=$(basename "$program")
rm -rf "$work"
mkdir -p "$work"

for tool in Xvfb xdotool xwd convert; do
  command -v "$tool" >/dev/null || { echo "FAIL: $tool is not installed"; exit 1; }
done

# A Wine prefix of our own: a wineserver started without a display (as the
# other Windows tests start it) would show no box.
export WINEPREFIX="$work/wine-prefix"

# A display of our own, on the first free number.
display=99
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
Xvfb ":$display" -screen 0 1024x768x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=":$display"
for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

failures=0
check() { # description, then a command that must succeed
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

# run_case NAME EXPECTED_STATUS: runs the program in $work/NAME (made by
# the caller), dismisses its box and checks the status.
run_case() {
  local name=$1 expected=$2 kit="$work/$1"
  (cd "$kit" && exec "$wine" "$program") &
  local pid=$!
  local window=""
  for _ in $(seq 1200); do
    window=$(xdotool search --name "^${caption}\$" 2>/dev/null | head -1 || true)
    [[ -n $window ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  check "$name: the box captioned $caption appears" test -n "$window"
  if [[ -z $window ]]; then kill "$pid" 2>/dev/null || true; wait "$pid" || true; return; fi
  sleep 1
  check "$name: the program waits while the box is up (modal)" kill -0 "$pid"
  xwd -root -silent | convert xwd:- "$work/$name.png"
  echo "screenshot: $work/$name.png"
  xdotool key --window "$window" Return
  local status=0
  wait "$pid" || status=$?
  check "$name: exit status $expected after Enter (got $status)" test "$status" -eq "$expected"
}

# A whole kit: everything moves, the success box, status 0.
mkdir -p "$work/complete"
printf 'header\n' >"$work/complete/zovik.h"
printf 'library\n' >"$work/complete/zovik.lib"
printf 'notes\n' >"$work/complete/notes.txt"
run_case complete 0
check "complete: headers in INCLUDE" test -f "$work/complete/INCLUDE/zovik.h"
check "complete: libraries in LIB" test -f "$work/complete/LIB/zovik.lib"
check "complete: sources gone" test ! -e "$work/complete/zovik.h" -a ! -e "$work/complete/zovik.lib"
check "complete: other files stay" test -f "$work/complete/notes.txt"

# INCLUDE is a file: the header cannot be moved, a warning box, status 1.
mkdir -p "$work/incomplete"
printf 'not a directory\n' >"$work/incomplete/INCLUDE"
printf 'header\n' >"$work/incomplete/zovik.h"
printf 'library\n' >"$work/incomplete/zovik.lib"
run_case incomplete 1
check "incomplete: the header stays" test -f "$work/incomplete/zovik.h"
check "incomplete: the library moved" test -f "$work/incomplete/LIB/zovik.lib"

echo "$failures failed"
exit $((failures > 0))
