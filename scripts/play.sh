#!/usr/bin/env bash
# Builds Ondulor (installing what is missing) and plays it under Wine on this display.
#   scripts/play.sh            play in the current X display
#   scripts/play.sh --xvfb [S] run the game S seconds (default 5) in a virtual display and save a
#                              screenshot to build/screenshot.png
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
xvfb=
[ "${1:-}" = "--xvfb" ] && xvfb=1 seconds=${2:-5}
# Said before anything is installed or built: without a display there is nothing to show it in.
if [ -z "$xvfb" ] && [ -z "${DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game window has nowhere to appear." >&2
  echo "Run this from a desktop session, or try: bash scripts/play.sh --xvfb   (screenshot in a virtual display)" >&2
  exit 1
fi

bash scripts/deps.sh
mkdir -p build
log=$root/build/play-build.log
# The game and its help file (ondulor.hlp beside the exe, what F1 opens).
if ! { cmake --preset windows && cmake --build --preset windows --target ondulor ondulor_help; } >"$log" 2>&1; then
  tail -15 "$log" >&2
  echo "Build failed; the whole log is $log" >&2
  exit 1
fi
exe=$root/build/windows/ondulor.exe
echo "Built $exe and its help, ondulor.hlp (settings and scores go to $root/build/windows/ondulor.ini)"

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
prefix=$root/build/windows/wine-x11
if ! bash scripts/wine-prefix.sh "$prefix" x11; then
  echo "Wine could not prepare its prefix $prefix (the reason is above); the game was not started." >&2
  echo "Nothing was left half made: run bash scripts/play.sh again to retry." >&2
  exit 1
fi
export WINEPREFIX=$prefix

if [ -n "$xvfb" ]; then
  source scripts/wine-session.sh
  start_xvfb || { echo "No virtual display: Xvfb did not start (see above)." >&2; exit 1; }
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  (cd "$root/build/windows" && wine ondulor.exe) &
  sleep "$seconds"
  import -window root "$root/build/screenshot.png"
  echo "Screenshot saved to $root/build/screenshot.png"
  xdotool search --name '^Ondulor$' key --clearmodifiers alt+F4 >/dev/null 2>&1 || true
  sleep 1
  wineserver -k 2>/dev/null || true
  exit 0
fi

cd "$root/build/windows"
exec wine ondulor.exe
