# Shell functions shared by the scripts that run ondulor.exe under Wine; source it, don't run it.

# start_xvfb [WxHxD]: starts Xvfb (1024x768x24 unless given) on the first free display from :70, waits
# until it is ready, exports DISPLAY and sets xvfb_pid. Xvfb itself says when it listens (-displayfd), so that another session's server
# that took the same display meanwhile is never mistaken for ours: that display is skipped. When ours
# ends or is not ready within 5 s it says why on stderr, leaves nothing running and returns 1; a
# caller must not go on, or it would talk to no server, or to somebody else's.
start_xvfb() {
  local n log ready code
  log=$(mktemp "${TMPDIR:-/tmp}/xvfb-log.XXXXXX") && ready=$(mktemp "${TMPDIR:-/tmp}/xvfb-ready.XXXXXX") ||
    { echo "start_xvfb: cannot make a temporary file" >&2; return 1; }
  xvfb_pid=
  for n in $(seq 70 99); do
    [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] && continue
    : >"$ready"
    Xvfb ":$n" -screen 0 "${1:-1024x768x24}" -nolisten tcp -displayfd 3 3>"$ready" </dev/null >"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 250); do
      [ -s "$ready" ] && kill -0 "$xvfb_pid" 2>/dev/null && DISPLAY=:$n xdotool getmouselocation >/dev/null 2>&1 && {
        export DISPLAY=:$n
        rm -f "$log" "$ready"
        return 0
      }
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.02
    done
    if kill -0 "$xvfb_pid" 2>/dev/null; then
      kill "$xvfb_pid" 2>/dev/null; wait "$xvfb_pid" 2>/dev/null
      echo "start_xvfb: Xvfb on :$n was not ready within 5 s; its output:" >&2
    else
      wait "$xvfb_pid" 2>/dev/null; code=$?
      # Another session took this display between the look and the start: the next one may do.
      grep -qE 'already (active|running)' "$log" && continue
      echo "start_xvfb: Xvfb on :$n ended at once with code $code; its output:" >&2
    fi
    sed 's/^/  /' "$log" | tail -8 >&2
    rm -f "$log" "$ready"; xvfb_pid=
    return 1
  done
  echo "start_xvfb: no free X display from :70 to :99" >&2
  rm -f "$log" "$ready"; xvfb_pid=
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

# visible_windows: the titles of the visible windows, '|' after each, for a failure's message.
visible_windows() { xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|'; }

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
