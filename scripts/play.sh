#!/usr/bin/env bash
# Builds Ondulor (installing what is missing) and plays it under Wine on this display.
#   scripts/play.sh            play in the current X display
#   scripts/play.sh --xvfb [S] run the game S seconds (default 5) in a virtual display and save a
#                              screenshot to build/screenshot.png
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh
cmake --preset windows >/dev/null
# The game and its help file (ondulor.hlp beside the exe, what F1 opens).
cmake --build --preset windows --target ondulor ondulor_help | tail -1
exe=$root/build/windows/ondulor.exe
echo "Built $exe and its help, ondulor.hlp (settings and scores go to $root/build/windows/ondulor.ini)"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
prefix=$root/build/windows/wine-x11
bash scripts/wine-prefix.sh "$prefix" x11
export WINEPREFIX=$prefix

if [ "${1:-}" = "--xvfb" ]; then
  seconds=${2:-5}
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

if [ -z "${DISPLAY:-}" ]; then
  echo "No display: DISPLAY is not set, so the game window has nowhere to appear."
  echo "Run this from a desktop session, or try: bash scripts/play.sh --xvfb   (screenshot in a virtual display)"
  exit 1
fi
cd "$root/build/windows"
exec wine ondulor.exe
