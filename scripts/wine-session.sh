# Shell functions shared by the scripts that run ondulor.exe under Wine; source it, don't run it.

# start_xvfb: starts Xvfb on the first free display from :70 and exports DISPLAY; sets xvfb_pid.
start_xvfb() {
  local n display=
  for n in $(seq 70 99); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { display=:$n; break; }
  done
  Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && return 0; sleep 0.1; done
}

# warm_wine: a persistent wineserver for $WINEPREFIX and one finished Wine process, so that later
# starts are warm. Detached from every pipe: a caller that waits on its output must not wait on Wine's.
warm_wine() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# start_x11_session BUILD_DIR: the build's X11 prefix (made once) in a new Xvfb, with a warm server;
# both end with the calling script.
start_x11_session() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX=$1/wine-x11
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX" x11
  start_xvfb
  trap 'wineserver -k 2>/dev/null; kill "$xvfb_pid" 2>/dev/null' EXIT
  warm_wine
}

# restart_wine: ends whatever runs in $WINEPREFIX, waits for the server to go, and warms it again.
restart_wine() {
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  warm_wine
}

# The verdicts of the scripted cases: fail MESSAGE notes a problem of the running case; tally NAME
# counts the case that just ran in passed or failed and prints its verdict with its problems.
fail() { problems="$problems\n    $*"; }
tally() {
  if [ -z "$problems" ]; then
    passed=$((passed + 1)); echo "PASS $1"
  else
    failed=$((failed + 1)); echo -e "FAIL $1$problems"
  fi
}
