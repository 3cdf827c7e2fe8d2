#!/usr/bin/env bash
# Start-up time (process start to window shown) and peak memory of ondulor.exe under Wine in Xvfb,
# side by side with Wine's own minesweeper measured the same way in the same run.
# Usage: bench/startup.sh [RUNS]   (after the windows build; prints medians)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD runs=${1:-10}
build=$root/build/windows
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$build/wine-x11
bash scripts/wine-prefix.sh "$WINEPREFIX" x11 || { echo "startup: no Wine prefix at $WINEPREFIX (see above), nothing measured" >&2; exit 1; }
work=$(mktemp -d)
cp "$build/ondulor.exe" "$work/"
source scripts/wine-session.sh
start_xvfb || { rm -rf "$work"; echo "startup: no virtual display, nothing measured" >&2; exit 1; }
trap 'wineserver -k 2>/dev/null; kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT
warm_wine

now_ms() { date +%s%3N; }
# measure TITLE-REGEX PROCESS-NAME COMMAND...: one run; prints "ms kib".
measure() {
  local title=$1 pattern=$2; shift 2
  local start end id pid kib limit=$((SECONDS + 20))
  start=$(now_ms)
  (cd "$work" && exec "$@" </dev/null >/dev/null 2>&1) &
  until id=$(xdotool search --onlyvisible --name "$title" 2>/dev/null | head -1) && [ -n "$id" ]; do
    [ $SECONDS -lt $limit ] || { echo "startup: no window titled $title within 20 s" >&2; return 1; }
    sleep 0.005
  done
  end=$(now_ms)
  sleep 0.5   # let it settle before reading the peak
  pid=$(pgrep -x "$pattern" | head -1)
  kib=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  xdotool key --window "$id" --clearmodifiers alt+F4 >/dev/null 2>&1 || true
  restart_wine
  echo "$((end - start)) $kib"
}
median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2] + a[NR/2+1]) / 2)}'; }

declare -A ms kib
for name in ondulor winemine; do
  : >"$work/$name.txt"
done
for _ in $(seq "$runs"); do
  measure '^Ondulor$' 'ondulor.exe' wine ondulor.exe >>"$work/ondulor.txt"
  measure '^WineMine$|^Minesweeper$|^Démineur$' 'winemine.exe' wine winemine >>"$work/winemine.txt"
done
printf '%-10s %18s %18s\n' program 'start-up ms (med)' 'peak RSS KiB (med)'
for name in ondulor winemine; do
  printf '%-10s %18s %18s\n' "$name" "$(cut -d' ' -f1 "$work/$name.txt" | median)" "$(cut -d' ' -f2 "$work/$name.txt" | median)"
done
