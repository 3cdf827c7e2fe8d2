#!/usr/bin/env bash
# End-to-end runs of the real ondulor.exe under Wine in Xvfb, played with xdotool: clicks, keys,
# the close box, the menu and the dialog boxes; each checks the exit code and the .ini left behind.
# Usage: tests/e2e/run.sh BUILD_DIR   (BUILD_DIR holds ondulor.exe). Ends with "e2e: N passed, M failed".
# E2E_CASES="short_game unwritable_settings" runs only the cases named.
set -uo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exe=$build/ondulor.exe
out=$build/e2e
magick=/usr/bin/convert   # the real ImageMagick, whatever else is on PATH
chattr -R -i "$out" 2>/dev/null  # a case that made its folder immutable and stopped half-way
rm -rf "$out" && mkdir -p "$out"

source "$root/scripts/wine-session.sh"
start_x11_session "$build" || { echo "e2e: no X session, no case ran"; echo "e2e: 0 passed, 1 failed"; exit 1; }

passed=0 failed=0
case_name= problems=
cell=32  # the board's cell in screen pixels: 32 but on a scaled screen

# wait_window REGEX [SECONDS]: polls every 20 ms for a visible window whose title matches.
wait_window() {
  local deadline=$((SECONDS + ${2:-10})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.02
  done
  return 1
}

now_ms() { local t=${EPOCHREALTIME//[.,]/}; echo $((t / 1000)); }
# await SECONDS WHAT COMMAND...: runs COMMAND until it succeeds, 20 ms apart; once SECONDS have passed
# it fails the case, naming WHAT it waited for, and returns 1. Every action of a case waits this way
# for the state it brings about, never for a fixed time.
await() {
  local seconds=$1 what=$2 deadline
  shift 2
  deadline=$(($(now_ms) + seconds * 1000))
  until "$@"; do
    [ "$(now_ms)" -lt "$deadline" ] || { fail "waited $seconds s in vain for $what"; return 1; }
    sleep 0.02
  done
}
# shows PNG TEST...: takes a new screenshot into PNG and runs TEST... PNG on it; the checks that
# follow an await read the shot that satisfied it.
shows() {
  local png=$1
  shift
  shot "$png" && "$@" "$png"
}
window_gone() { ! xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }

# start_game FOLDER [SHOTS]: runs a copy of the exe there (one the case put there itself, if any),
# screenshots in SHOTS (FOLDER unless given); sets game_pid, win, X, Y, WIDTH, HEIGHT, cx, cy.
start_game() {
  [ -f "$1/ondulor.exe" ] || cp "$exe" "$1/ondulor.exe"
  (cd "$1" && exec wine ondulor.exe </dev/null >/dev/null 2>&1) &
  game_pid=$!
  win=$(wait_window '^Ondulor$' 20) || {
    fail "the window never appeared (process $(kill -0 "$game_pid" 2>/dev/null && echo running || echo gone);" \
      "visible: $(visible_windows))"
    start_failed=1
    return 1
  }
  eval "$(xdotool getwindowgeometry --shell "$win")"
  # The client area starts below caption and menu: find the board frame's dark grey top-left corner,
  # once the window has drawn it.
  await 5 "the board frame in the new window" shows "${2:-$1}/probe.png" find_frame ||
    { fail "no board frame found in the window"; return 1; }
}
# find_frame PNG: sets cx and cy to the screen position of the board frame's corner in the game
# window at X, Y, WIDTH, HEIGHT; fails when the shot shows none.
find_frame() {
  local dx dy
  cx= cy=
  for dx in $(seq 0 8); do
    [ "$(pixel "$1" $((X + dx)) $((Y + HEIGHT / 2)))" = 404040 ] && { cx=$((X + dx)); break; }
  done
  [ -n "$cx" ] || return 1
  for dy in $(seq 20 160); do
    [ "$(pixel "$1" $((X + 243)) $((Y + dy)))" = 404040 ] && { cy=$((Y + dy)); break; }
  done
  [ -n "$cy" ]
}

# wait_exit SECONDS: waits for the game to end; sets rc (124 when it did not end in time).
wait_exit() {
  local deadline=$((SECONDS + $1))
  while kill -0 "$game_pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && { rc=124; kill "$game_pid" 2>/dev/null; return 1; }
    sleep 0.05
  done
  wait "$game_pid"; rc=$?
}

shot() { import -window root "$1"; }
pixel() { "$magick" "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -1 | grep -oE '#[0-9A-F]{6}' | tr -d '#'; }
# blue_pixels PNG: count of pure blue (lit water) pixels on the board.
blue_pixels() {
  "$magick" "$1" -crop "$((15 * cell))x$((15 * cell))+$cx+$cy" +repage -fill black +opaque '#0000FF' -fill white -opaque '#0000FF' \
    -format '%[fx:round(mean*w*h)]' info:
}
# points_ink PNG: dark (text) pixels inside the status bar's points part, client x 90 to 180.
points_ink() {
  "$magick" "$1" -crop "80x15+$((cx + 95))+$((cy + 485))" +repage -colorspace gray -threshold 50% -negate \
    -format '%[fx:round(mean*w*h)]' info:
}
# lit_over N PNG: more than N lit water pixels on the board.
lit_over() { [ "$(blue_pixels "$2")" -gt "$1" ]; }
# points_shown PNG: the status bar shows points.
points_shown() { [ "$(points_ink "$1")" -gt 0 ]; }
# board_shows PNG: the screen shows the game's board where it is: the frame where start_game found
# it, and an empty cell.
board_shows() {
  [ "$(pixel "$1" "$cx" $((Y + HEIGHT / 2)))" = 404040 ] && [ "$(pixel "$1" $((X + 243)) "$cy")" = 404040 ] &&
    [ "$(pixel "$1" $((cx + 7 * 32 + 16)) $((cy + 10 * 32 + 16)))" = C0C0C0 ]
}
# click_cell COLUMN ROW and keys KEY...: the input only; the case then awaits what it brings about.
click_cell() { xdotool mousemove $((cx + $1 * cell + cell / 2)) $((cy + $2 * cell + cell / 2)) click 1; }
keys() { xdotool windowfocus --sync "$win" 2>/dev/null; xdotool key --clearmodifiers "$@"; }
expect_file() {  # expect_file PATH PRINTF-FORMAT: the file's bytes
  local want; want=$(printf "$2" | od -An -c)
  [ "$(od -An -c "$1" 2>/dev/null)" = "$want" ] || fail "$(basename "$1") holds $(od -An -c "$1" 2>/dev/null | tr -s ' ' | head -c 300) instead of $want"
}
run_case() {
  [ -n "${E2E_CASES:-}" ] && [[ " $E2E_CASES " != *" $1 "* ]] && return
  case_name=$1 problems= cell=32
  local dir=$out/$1 attempt
  # A Wine start-up that never shows the window is not the game's behaviour under test: one more try.
  for attempt in 1 2; do
    start_failed=0 problems=
    chattr -R -i "$dir" 2>/dev/null
    rm -rf "$dir" && mkdir -p "$dir"
    "$1" "$dir"
    [ "$start_failed" = 1 ] && [ "$attempt" = 1 ] || break
    echo -e "RETRY $1$problems"
    restart_wine
  done
  # Whatever the case left running goes, and the next case starts on a warm server again.
  restart_wine
  tally "$1"
}

# No settings file: English defaults; laying pieces beside the source lights them; the close box
# ends the program with 0 and writes the default settings.
first_run() {
  start_game "$1" || return
  [ "$WIDTH" = 530 ] || fail "window width $WIDTH, not 530"
  shot "$1/before.png"
  [ "$(blue_pixels "$1/before.png")" = 0 ] || fail "water shows before any piece was laid"
  click_cell 6 14; click_cell 8 14; click_cell 7 13
  await 5 "three pieces to light up" shows "$1/after.png" lit_over 300
  [ "$(blue_pixels "$1/after.png")" -gt 300 ] || fail "the pieces beside the source did not light up"
  [ "$(pixel "$1/after.png" $((cx + 7 * 32 + 16)) $((cy + 10 * 32 + 16)))" = C0C0C0 ] || fail "an empty cell is not light grey"
  xdotool mousemove $((X + WIDTH - 14)) $((Y + 11)) click 1
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after the close box"
  expect_file "$1/ondulor.ini" 'Language=1000\r\nDuration=90\r\nSound=0\r\n'
}

# A French settings file with scores: Alt+F4 closes, and the file is written back in French,
# scores kept, byte for byte.
french_alt_f4() {
  printf 'Langue=0\r\nDur\351e=45\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n' >"$1/ondulor.ini"
  start_game "$1" || return
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4"
  expect_file "$1/ondulor.ini" 'Langue=0\r\nDur\351e=45\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n'
}

# F2 starts a new game (the laid piece and its points disappear); the Game menu's Quit ends with 0.
new_board() {
  [ "$(points_ink "$1")" = 0 ] && [ "$(blue_pixels "$1")" = 0 ] &&
    [ "$(pixel "$1" $((cx + 6 * 32 + 3)) $((cy + 14 * 32 + 16)))" = C0C0C0 ]
}
new_game_and_quit() {
  start_game "$1" || return
  click_cell 6 14
  await 5 "points after a placement" shows "$1/placed.png" points_shown
  [ "$(points_ink "$1/placed.png")" -gt 0 ] || fail "no points shown after a placement"
  keys F2
  await 5 "F2 to clear the board and the points" shows "$1/new_game.png" new_board
  [ "$(points_ink "$1/new_game.png")" = 0 ] || fail "New Game left the old points in the status bar"
  [ "$(blue_pixels "$1/new_game.png")" = 0 ] || fail "F2 did not clear the board"
  [ "$(pixel "$1/new_game.png" $((cx + 6 * 32 + 3)) $((cy + 14 * 32 + 16)))" = C0C0C0 ] || fail "the laid piece survived New Game"
  keys alt+g Up Return
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Game > Quit"
  [ -f "$1/ondulor.ini" ] || fail "no settings file after Quit"
}

# A short game in French: when the time is up the game-over box opens, then the name box; the
# name typed there is stored with the points in the settings file at exit.
short_game() {
  printf 'Langue=0\r\nDur\351e=6\r\nSon=0\r\n' >"$1/ondulor.ini"
  start_game "$1" || return
  click_cell 6 14; click_cell 8 14; click_cell 7 13
  local box
  box=$(wait_window '^Bravo !!$' 20) || { fail "no game-over box"; return; }
  shot "$1/game_over.png"
  xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return
  box=$(wait_window '^Veuillez indiquer votre nom$' 10) || { fail "no name box"; return; }
  xdotool windowfocus --sync "$box" 2>/dev/null
  xdotool type --delay 20 'Zoe'; xdotool key --clearmodifiers Return
  await 5 "the name box to close" window_gone '^Veuillez indiquer votre nom$'
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc"
  expect_file "$1/ondulor.ini" 'Langue=0\r\nDur\351e=6\r\nSon=0\r\n4,Zoe\r\n'
}

# drawn_outside PNG X Y W H: count of pixels that are not the bare black screen, outside that rectangle.
drawn_outside() {
  "$magick" "$1" -fill black -draw "rectangle $2,$3 $(($2 + $4 - 1)),$(($3 + $5 - 1))" \
    -fill white +opaque black -colorspace gray -format '%[fx:round(mean*w*h)]' info:
}

# The settings file can be written neither beside the game (a folder stands in its place) nor per
# user (a file stands in the per-user folder's): at exit the error box names the file and stands alone
# for four seconds: no game window, nothing drawn beside or over it. Once it is answered the program
# ends with 1, leaving the folder as it was.
unwritable_settings() {
  local per_user
  per_user=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Ondulor
  mkdir "$1/ondulor.ini"
  rm -rf "$per_user" && touch "$per_user"
  start_game "$1" || return
  keys alt+F4
  local box look others drawn
  box=$(wait_window '^Ondulor - ' 10) || { fail "no error box at exit"; wait_exit 1; return; }
  eval "$(xdotool getwindowgeometry --shell "$box")"
  for look in $(seq 0 16); do
    others=$(xdotool search --onlyvisible --name . 2>/dev/null | grep -vx "$box" |
      while read -r w; do printf '%s|' "$(xdotool getwindowname "$w")"; done)
    [ -z "$others" ] || { fail "beside the error box after $((look / 4)) s: $others"; break; }
    if [ $((look % 8)) = 0 ]; then
      shot "$1/error-$look.png"
      drawn=$(drawn_outside "$1/error-$look.png" "$X" "$Y" "$WIDTH" "$HEIGHT")
      [ "$drawn" = 0 ] || { fail "$drawn pixels drawn outside the error box after $((look / 4)) s"; break; }
    fi
    sleep 0.25
  done
  xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return
  wait_exit 10
  [ "$rc" = 1 ] || fail "exit code $rc, not 1"
  [ -d "$1/ondulor.ini" ] || fail "the folder in the way was touched"
  rm -f "$per_user"
}

# The session ends with the game open (log-off, shut-down, an update's restart): wineboot sends
# WM_QUERYENDSESSION and WM_ENDSESSION as Windows does, then ends what still runs, as Windows does too:
# whether the game would end by itself shows only in-process (win_ui_tests). What shows here: the game
# never holds the end up (wineboot fails and the game lives on when it refuses), and its file is on the
# disk once WM_ENDSESSION has returned, as a normal exit leaves it: every value in its own form, the
# scores kept.
session_end() {
  printf 'Langue=0\r\nDur\351e=0090\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n' >"$1/ondulor.ini"
  start_game "$1" || return
  wine wineboot --end-session </dev/null >/dev/null 2>&1 || fail "the game held the end of the session up"
  wait_exit 10
  expect_file "$1/ondulor.ini" 'Langue=0\r\nDur\351e=90\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n'
  [ -z "$(find "$1" -name '*.tmp')" ] || fail "a temporary file was left behind"
}

# The game unpacked where the player may not write (Program Files, a disc, a read-only share): its
# folder and files immutable, which binds root too. It starts with no box, keeps a language switch in
# the per-user file with the scores of the file beside it, quits with 0 and no box, and leaves that
# file as it was.
readonly_folder() {
  local game=$1/game per_user
  per_user=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Ondulor
  rm -rf "$per_user"
  mkdir "$game" && cp "$exe" "$game/ondulor.exe" &&
    printf 'Langue=0\r\nDur\351e=45\r\nSon=0\r\n100,Alice\r\n50,Carol\r\n' >"$game/ondulor.ini" &&
    cp "$game/ondulor.ini" "$1/before.ini" && chattr +i "$game/ondulor.exe" "$game/ondulor.ini" "$game" ||
    { fail "could not make the game's folder immutable"; return; }
  if start_game "$game" "$1"; then
    keys alt+o Up Return
    await 5 "the language switch in the per-user file" test -f "$per_user/ondulor.ini"
    keys alt+F4
    wait_exit 10
    [ "$rc" = 0 ] || fail "exit code $rc"
    expect_file "$per_user/ondulor.ini" 'Language=1000\r\nDuration=45\r\nSound=0\r\n100,Alice\r\n50,Carol\r\n'
  fi
  chattr -i "$game" "$game/ondulor.exe" "$game/ondulor.ini"
  cmp -s "$game/ondulor.ini" "$1/before.ini" || fail "the file beside the game changed"
  rm -rf "$per_user"
}

for c in first_run french_alt_f4 new_game_and_quit short_game unwritable_settings session_end readonly_folder; do
  run_case "$c"
done

# links_shown PNG: the contents page's links to the two languages, the viewer's only green, show in
# the viewer at HELP_X, HELP_Y, HELP_WIDTH, HELP_HEIGHT.
links_shown() {
  [ "$("$magick" "$1" -crop "${HELP_WIDTH}x${HELP_HEIGHT}+$HELP_X+$HELP_Y" +repage \
    -fill black +opaque '#008000' -fill white -opaque '#008000' -format '%[fx:round(mean*w*h)]' info:)" -gt 50 ]
}
# clock_moved BEFORE AFTER: the time part of the status bar differs between the two shots.
clock_moved() {
  [ "$("$magick" "$1" "$2" -crop "80x16+$cx+$((cy + 486))" +repage -compose difference -composite \
    -format "%[fx:maxima.r+maxima.g+maxima.b > 0]" info:)" = 1 ]
}

# open_help DIR: F1 in the game; waits for Wine's viewer (its geometry in HELP_*) and its first page,
# failing the case when either never shows or an ERROR box opens with them.
open_help() {
  keys F1
  local viewer
  viewer=$(wait_window 'Wine Help' 15) || {
    fail "F1 opened no help viewer (visible: $(visible_windows))"
    return 1
  }
  eval "$(xdotool getwindowgeometry --shell --prefix HELP_ "$viewer")"
  await 10 "the viewer's first page" shows "$1/help.png" links_shown || return 1
  ! xdotool search --onlyvisible --name '^ERROR$' >/dev/null 2>&1 || { fail "an ERROR box opened with the viewer"; return 1; }
}
# raise_game DIR: with no window manager the viewer stays above the game. A viewer still settling
# may restack itself above the raised game once more, so the raise is repeated until the board shows.
raise_game() { await 5 "the raised game to draw its board" raised_shows "$1/raised.png"; }
raised_shows() { xdotool windowraise "$win" && shows "$1" board_shows; }

# The help file beside the exe: F1 opens Wine's help viewer on the contents page, with no error box;
# the game plays on meanwhile (the clock runs, a click lays and lights a piece), and closing the
# game closes the viewer.
help_while_playing() {
  cp "$build/ondulor.hlp" "$1/ondulor.hlp" || { fail "no ondulor.hlp in $build"; return; }
  start_game "$1" || return
  open_help "$1" && raise_game "$1" || return
  [ "$(blue_pixels "$1/raised.png")" = 0 ] || fail "water shows before any piece was laid"
  click_cell 6 14
  await 5 "the piece beside the source to light up" shows "$1/played.png" lit_over 100
  [ "$(blue_pixels "$1/played.png")" -gt 100 ] || fail "with the help open, a click beside the source lit nothing"
  await 10 "the clock to move" shows "$1/later.png" clock_moved "$1/raised.png"
  clock_moved "$1/raised.png" "$1/later.png" || fail "the clock in the status bar stood still while the help was open"
  xdotool search --onlyvisible --name 'Wine Help' >/dev/null 2>&1 || fail "the viewer closed while the game ran"
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4"
  local deadline=$((SECONDS + 5))
  while xdotool search --onlyvisible --name 'Wine Help' >/dev/null 2>&1; do
    [ $SECONDS -ge $deadline ] && { fail "the viewer stayed open after the game closed"; break; }
    sleep 0.1
  done
}
run_case help_while_playing

# A folder named in scripts that the code page cannot spell (Cyrillic, CJK, Polish under 1252): the
# French settings and scores there are read and written back byte for byte, with no error box and
# exit code 0, and F1 finds the help file beside the exe.
named_folder() {
  local dir="$1/Игры 遊戲/Łódź"
  mkdir -p "$dir" && cp "$build/ondulor.hlp" "$dir/ondulor.hlp" || { fail "cannot set up $dir"; return; }
  printf 'Langue=0\r\nDur\351e=45\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n' >"$dir/ondulor.ini"
  start_game "$dir" || return
  open_help "$dir" && raise_game "$dir" || return
  xdotool mousemove $((X + WIDTH - 14)) $((Y + 11)) click 1
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after the close box (an error box at exit?)"
  expect_file "$dir/ondulor.ini" 'Langue=0\r\nDur\351e=45\r\nSon=1\r\n250,Alice\r\n120,Bob\r\n'
  [ -z "$(find "$1" -name '*.tmp')" ] || fail "a temporary file was left behind"
}
run_case named_folder

# scaled_prefix DIR DPI: a prefix at DIR whose screen has DPI dots per inch: the registry of the
# session's prefix copied, LogPixels set in both places that Wine reads, and the rest shared through
# links, so that no other case (and no other run) ever sees the scaled screen. Its server starts warm.
scaled_prefix() {
  mkdir -p "$1" && cp -a "$WINEPREFIX"/*.reg "$WINEPREFIX/.update-timestamp" "$WINEPREFIX/dosdevices" "$1/" &&
    ln -s "$WINEPREFIX/drive_c" "$1/drive_c" || return 1
  local key
  for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    WINEPREFIX=$1 wine reg add "$key" /v LogPixels /t REG_DWORD /d "$2" /f </dev/null >/dev/null 2>&1 || return 1
  done
  WINEPREFIX=$1 restart_wine
}
# not_frame PNG X Y W H: count of pixels in that rectangle that are not the frames' dark grey.
not_frame() {
  "$magick" "$1" -crop "${4}x${5}+$2+$3" +repage -fill white +opaque '#404040' -fill black -opaque '#404040' \
    -format '%[fx:round(mean*w*h)]' info:
}
# off_palette PNG X Y W H: the colours in that rectangle that are neither the tiles' 16 nor the frames'.
off_palette() {
  "$magick" "$1" -crop "${4}x${5}+$2+$3" +repage -unique-colors -depth 8 txt:- | grep -oE '#[0-9A-F]{6}' |
    grep -vxE '#(000000|800000|008000|808000|000080|800080|008080|C0C0C0|808080|FF0000|00FF00|FFFF00|0000FF|FF00FF|00FFFF|FFFFFF|404040)' | tr '\n' ' '
}
# scaled_game FOLDER DPI CELL: one game on the scaled screen of the prefix in WINEPREFIX, whose board
# must have cells of CELL pixels (or, with CELL 0, larger than 32 in a window that fits the screen).
scaled_game() {
  start_game "$1" || return
  shot "$1/board.png"
  # Along a row of the top cells the frame's dark grey shows at the board's left edge, then at its
  # right edge, which ends where the fifteenth cell does.
  cell=$("$magick" "$1/board.png" -crop "$((WIDTH - cx + X))x1+$cx+$((cy + 10))" +repage -depth 8 txt:- |
    awk -F'[,:]' '/#404040/ { if ($1 > last + 1 && ++runs == 2) exit; last = $1 } END { print int((last + 1) / 15) }')
  if [ "$3" = 0 ]; then
    [ $((Y + HEIGHT)) -le "$SCREEN_HEIGHT" ] || fail "at $2 DPI the window (${WIDTH}x$HEIGHT) is taller than the screen"
  else
    [ "$cell" = "$3" ] || fail "at $2 DPI cells of $cell pixels, not $3 (${WIDTH}x$HEIGHT)"
  fi
  # The layout's DPI is the screen's where its cell is kept, else three times the cell.
  local board=$((15 * cell)) queue_left=$((15 * cell + (15 * cell + 48) / 96))
  [ "$(not_frame "$1/board.png" "$cx" $((cy + board - 1)) "$board" 1)" = 0 ] ||
    fail "at $2 DPI the status bar covers the board frame's bottom edge (${WIDTH}x$HEIGHT)"
  [ "$(not_frame "$1/board.png" "$cx" $((cy + board - cell)) 1 "$cell")$(not_frame "$1/board.png" $((cx + board - 1)) $((cy + board - cell)) 1 "$cell")" = 00 ] ||
    fail "at $2 DPI the frame beside the source's row is not whole"
  [ "$(not_frame "$1/board.png" $((cx + queue_left)) "$cy" 1 $((5 * cell)))" = 0 ] || fail "at $2 DPI the queue column's frame is not whole"
  click_cell 7 13
  await 5 "the piece north of the source to light up" shows "$1/played.png" lit_over 100 ||
    fail "at $2 DPI a click north of the source lit nothing"
  local others
  others=$(off_palette "$1/played.png" "$cx" "$cy" $((queue_left + cell)) "$board")
  [ -z "$others" ] || fail "at $2 DPI colours beside the tiles' own on the board: $others"
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "at $2 DPI exit code $rc after Alt+F4"
}

# Scaled screens in an Xvfb of 1280 x 1024: at 120 DPI (125 %) and 144 DPI (150 %) the cells are 40
# and 48 pixels, drawn in the tiles' own colours, with the board's frame, the source's row and the
# queue column whole above the status bar, and a click north of the source lights the piece laid
# there. At 192 DPI (200 %) cells of 64 would not fit that screen: the board is drawn as large as
# the screen holds, and the window fits.
scaled_screen() {
  local dpi session_display=$DISPLAY session_xvfb=$xvfb_pid
  SCREEN_HEIGHT=1024
  start_xvfb 1280x1024x24 || { fail "no 1280x1024 screen"; return; }
  for dpi in 120:40 144:48 192:0; do
    mkdir -p "$1/${dpi%:*}"
    scaled_prefix "$1/prefix-${dpi%:*}" "${dpi%:*}" || { fail "no prefix at ${dpi%:*} DPI"; continue; }
    WINEPREFIX=$1/prefix-${dpi%:*} scaled_game "$1/${dpi%:*}" "${dpi%:*}" "${dpi#*:}"
    WINEPREFIX=$1/prefix-${dpi%:*} wineserver -k 2>/dev/null
    WINEPREFIX=$1/prefix-${dpi%:*} wineserver -w 2>/dev/null
  done
  kill "$xvfb_pid" 2>/dev/null
  export DISPLAY=$session_display
  xvfb_pid=$session_xvfb
}
run_case scaled_screen

# red_pixels PNG: the keyboard cursor's pixels on the board, the only pure red there.
red_pixels() {
  "$magick" "$1" -crop "$((15 * cell))x$((15 * cell))+$cx+$cy" +repage -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -format '%[fx:round(mean*w*h)]' info:
}
cursor_shown() { [ "$(red_pixels "$1")" -gt 0 ]; }
not() { ! "$@"; }
# cursor_at COLUMN ROW PNG: the cursor's frame shows in that cell; queue_of PNG: the queue column's pixels.
cursor_at() { [ "$(pixel "$3" $((cx + $1 * 32 + 1)) $((cy + $2 * 32 + 1)))" = FF0000 ]; }
queue_of() { "$magick" "$1" -crop "32x160+$((cx + 485))+$cy" +repage -depth 8 rgb:- | md5sum; }
# Played from the keyboard: the first arrow shows the cursor, Up then Enter lays a piece north of
# the source, which lights; the cursor stops at the bottom edge, where Enter lays the piece west of
# the source; Space on the source lays nothing; a click hides the cursor; Alt+F4 ends with 0.
keyboard_play() {
  start_game "$1" || return
  keys Up
  await 5 "the first arrow to show the cursor" shows "$1/cursor.png" cursor_shown || return
  keys Return
  await 5 "Enter to lay and light the piece north of the source" shows "$1/north.png" lit_over 100
  local north
  north=$(blue_pixels "$1/north.png")
  keys Left Down Down Return
  await 5 "Enter at the bottom edge to light the piece west of the source" shows "$1/west.png" lit_over $((north + 40))
  cursor_at 6 14 "$1/west.png" || fail "the cursor did not stop at the bottom edge, west of the source"
  keys Right
  await 5 "the cursor on the source" shows "$1/source.png" cursor_at 7 14 || return
  # Keys are taken in turn: once the cursor has left the source, Space there has been answered.
  keys space Left
  await 5 "the cursor back west of the source" shows "$1/after_space.png" cursor_at 6 14
  [ "$(queue_of "$1/source.png")" = "$(queue_of "$1/after_space.png")" ] || fail "Space on the source laid a piece"
  click_cell 0 0
  await 5 "a click to hide the cursor" shows "$1/clicked.png" not cursor_shown
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4"
}
run_case keyboard_play

# cell_laid PNG: the cell (7, 10) holds more than the empty cell's grey inside its grid lines.
cell_laid() {
  [ "$("$magick" "$1" -crop "28x28+$((cx + 7 * 32 + 2))+$((cy + 10 * 32 + 2))" +repage -fill black -opaque '#C0C0C0' \
    -fill white +opaque black -format '%[fx:round(mean*w*h)]' info:)" -gt 0 ]
}
# other_window_shows: sets other_win to a visible game window that is not first_win.
other_window_shows() {
  other_win=$(xdotool search --onlyvisible --name '^Ondulor$' 2>/dev/null | grep -vx "$first_win" | head -1)
  [ -n "$other_win" ]
}
# first_game_up PNG: the game on top shows an empty board where the other game has a piece.
first_game_up() { board_shows "$1" && ! cell_laid "$1"; }
# One game per settings file. A second game on another file (the MSI's beside the zip's) runs beside
# the first and covers it; a start on the first game's file then (a double-click taken for nothing, a
# Start-menu entry pressed with the game behind another window) ends by itself with 0 within a few
# seconds, shows no window of its own and writes nothing, and the first game comes up above the
# other, plays on, and at its close keeps its scores.
second_start() {
  mkdir -p "$1/zip" "$1/msi"
  printf 'Langue=0\r\nDur\351e=45\r\nSon=0\r\n250,Alice\r\n120,Bob\r\n' >"$1/zip/ondulor.ini"
  start_game "$1/zip" || return
  local first=$game_pid first_win=$win started seen most=0 elapsed
  # start_game finds the first game's window, of the same title: the other game's is the new one.
  start_game "$1/msi" || return
  local other=$game_pid other_win=
  await 20 "the other game's window" other_window_shows || return
  win=$other_win
  click_cell 7 10
  await 5 "the other game's piece to cover the first game's board" shows "$1/covered.png" cell_laid || return
  started=$(now_ms)
  (cd "$1/zip" && exec wine ondulor.exe </dev/null >/dev/null 2>&1) &
  game_pid=$!
  while kill -0 "$game_pid" 2>/dev/null; do
    seen=$(xdotool search --onlyvisible --name . 2>/dev/null | wc -l)
    [ "$seen" -gt "$most" ] && most=$seen
    [ $(($(now_ms) - started)) -lt 10000 ] || break
    sleep 0.02
  done
  wait_exit 1
  elapsed=$(($(now_ms) - started))
  [ "$rc" = 0 ] || fail "the second start ended with code $rc"
  [ "$elapsed" -lt 5000 ] || fail "the second start took $elapsed ms to end"
  [ "$most" -le 2 ] || fail "$most windows showed while the second start ran, not the two games"
  [ "$(xdotool search --onlyvisible --name '^Ondulor$' | sort | tr '\n' ' ')" = "$(printf '%s\n' "$first_win" "$other_win" | sort | tr '\n' ' ')" ] ||
    fail "the game windows are now: $(visible_windows)"
  expect_file "$1/zip/ondulor.ini" 'Langue=0\r\nDur\351e=45\r\nSon=0\r\n250,Alice\r\n120,Bob\r\n'
  await 5 "the first game's board to come up above the other game" shows "$1/forward.png" first_game_up ||
    fail "the first game stayed behind the other (visible: $(visible_windows))"
  game_pid=$first win=$first_win
  click_cell 7 13
  await 5 "the first game to light the piece north of the source" shows "$1/played.png" lit_over 100 ||
    fail "the first game did not play on"
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4 in the first game"
  expect_file "$1/zip/ondulor.ini" 'Langue=0\r\nDur\351e=45\r\nSon=0\r\n250,Alice\r\n120,Bob\r\n'
  game_pid=$other win=$other_win
  xdotool mousemove $((cx + 100)) $((cy + 490)) click 1
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4 in the other game"
  [ -f "$1/msi/ondulor.ini" ] || fail "the other game wrote no settings file of its own"
}
run_case second_start

# minimised: the game window has shrunk to its icon.
minimised() { eval "$(xdotool getwindowgeometry --shell --prefix NOW_ "$win")" && [ "$NOW_HEIGHT" -lt 100 ]; }
# A game that ends minimised opens its game-over box centred on where the game was (within 40 pixels),
# not on the icon at the screen's corner; the game then closes with 0, its file as it was.
unseen_game() {
  printf 'Langue=0\r\nDur\351e=10\r\nSon=0\r\n' >"$1/ondulor.ini"
  start_game "$1" || return
  keys alt+space n
  await 5 "the game to be minimised" minimised || return
  local box dx dy
  box=$(wait_window '^Bravo !!$' 20) || { fail "no game-over box"; return; }
  eval "$(xdotool getwindowgeometry --shell --prefix BOX_ "$box")"
  dx=$((BOX_X + BOX_WIDTH / 2 - X - WIDTH / 2)) dy=$((BOX_Y + BOX_HEIGHT / 2 - Y - HEIGHT / 2))
  [ "${dx#-}" -le 40 ] && [ "${dy#-}" -le 40 ] || fail "the box's centre is $dx, $dy pixels off the game's"
  xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Return
  box=$(wait_window '^Veuillez indiquer votre nom$' 10) || { fail "no name box"; return; }
  xdotool windowfocus --sync "$box" 2>/dev/null; xdotool key --clearmodifiers Escape
  await 5 "the name box to close" window_gone '^Veuillez indiquer votre nom$' || return
  keys alt+F4
  wait_exit 10
  [ "$rc" = 0 ] || fail "exit code $rc after Alt+F4"
  expect_file "$1/ondulor.ini" 'Langue=0\r\nDur\351e=10\r\nSon=0\r\n'
}
run_case unseen_game

echo "e2e: $passed passed, $failed failed"
[ "$failed" = 0 ]
