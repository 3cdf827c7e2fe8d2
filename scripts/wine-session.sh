# Shell functions shared by the scripts that run ondulor.exe under Wine; source it, don't run it.

# start_xvfb: starts Xvfb on the first free display from :70, waits until it answers, exports DISPLAY
# and sets xvfb_pid. A display that another server takes meanwhile is skipped. When no Xvfb of ours
# answers within 5 s it says why on stderr, leaves nothing running and returns 1: a caller must not
# go on, or it would talk to no server, or to somebody else's.
start_xvfb() {
  local n log answered
  log=$(mktemp "${TMPDIR:-/tmp}/xvfb.XXXXXX") || { echo "start_xvfb: cannot make a temporary file" >&2; return 1; }
  xvfb_pid=
  for n in $(seq 70 99); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp </dev/null >"$log" 2>&1 &
    xvfb_pid=$!
    answered=0
    for _ in $(seq 50); do
      # Ours must still run: a server that answers on a display ours could not take is another's.
      kill -0 "$xvfb_pid" 2>/dev/null || break
      DISPLAY=:$n xdotool getmouselocation >/dev/null 2>&1 && kill -0 "$xvfb_pid" 2>/dev/null && { answered=1; break; }
      sleep 0.1
    done
    if [ "$answered" = 1 ]; then
      export DISPLAY=:$n
      rm -f "$log"
      return 0
    fi
    if ! kill -0 "$xvfb_pid" 2>/dev/null && grep -q 'already active' "$log"; then
      wait "$xvfb_pid" 2>/dev/null
      continue   # another session took this display between the look and the start
    fi
    kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    echo "start_xvfb: Xvfb on :$n did not answer within 5 s; its output:" >&2
    sed 's/^/  /' "$log" | tail -8 >&2
    rm -f "$log"; xvfb_pid=
    return 1
  done
  echo "start_xvfb: no free X display from :70 to :99" >&2
  rm -f "$log"; xvfb_pid=
  return 1
}

# warm_wine: a persistent wineserver for $WINEPREFIX and one finished Wine process, so that later
# starts are warm. Detached from every pipe: a caller that waits on its output must not wait on Wine's.
warm_wine() {
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

# start_x11_session BUILD_DIR: the build's X11 prefix (made once) in a new Xvfb, with a warm server;
# both end with the calling script. Returns 1, having said why on stderr, when either cannot be had.
start_x11_session() {
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEPREFIX=$1/wine-x11
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh" "$WINEPREFIX" x11 ||
    { echo "start_x11_session: no Wine prefix at $WINEPREFIX" >&2; return 1; }
  start_xvfb || return 1
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
