#!/usr/bin/env bash
# The packages as players get them: the Windows zip from the package target (its entries, the
# stripped exe and its version information, the player's texts, a game that saves beside itself),
# and scripts/install.sh into a temporary prefix and home (desktop entry, icon, a launcher that plays
# from the player's folder, --uninstall keeping the scores). Windows appear in Xvfb.
# Usage: tests/package/run.sh BUILD_DIR (the windows build). Ends with "package: N passed, M failed".
set -uo pipefail
build=$(cd "${1:?build folder}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
out=$build/package-test
magick=/usr/bin/convert   # the real ImageMagick, whatever else is on PATH
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -rf "$out" && mkdir -p "$out"

source "$root/scripts/wine-session.sh"
start_x11_session "$build" || { echo "package: no X session, no case ran"; echo "package: 0 passed, 1 failed"; exit 1; }

passed=0 failed=0 problems=
run_case() {
  problems=
  "$1"
  restart_wine
  tally "$1"
}

# play_and_close LOG COMMAND...: starts the game through COMMAND, waits for its window, closes it with
# Alt+F4; sets rc to the exit code (124: it never ended, 125: no window).
play_and_close() {
  local log=$1 pid deadline win=
  shift
  "$@" </dev/null >"$log" 2>&1 &
  pid=$!
  deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ] && [ -z "$win" ] && kill -0 "$pid" 2>/dev/null; do
    win=$(xdotool search --onlyvisible --name '^Ondulor$' 2>/dev/null | head -1)
    sleep 0.02
  done
  if [ -z "$win" ]; then
    kill "$pid" 2>/dev/null; wait "$pid"; rc=125; return
  fi
  xdotool windowfocus --sync "$win" 2>/dev/null; xdotool key --clearmodifiers alt+F4
  deadline=$((SECONDS + 10))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && { kill "$pid" 2>/dev/null; wait "$pid"; rc=124; return; }
    sleep 0.05
  done
  wait "$pid"; rc=$?
}

# crlf_windows1252 FILE: every line ends in CR LF, and no byte sequence is UTF-8's.
crlf_windows1252() {
  local lines crlf
  lines=$(tr -cd '\n' <"$1" | wc -c)
  crlf=$(grep -c $'\r$' "$1")
  [ "$lines" -gt 0 ] && [ "$lines" = "$crlf" ] || fail "$(basename "$1"): $crlf of $lines lines end in CR LF"
  [ "$(tail -c 2 "$1" | od -An -tx1 | tr -d ' ')" = 0d0a ] || fail "$(basename "$1") does not end with CR LF"
  LC_ALL=C grep -q $'[\xc2-\xf4][\x80-\xbf]' "$1" && fail "$(basename "$1") holds UTF-8 sequences"
}

zip_folder=ondulor-$version-win64
unpacked=$out/zip/$zip_folder

# The package target's zip: one folder, the five files, a stripped exe within 256 KiB that carries
# its version information, and the player's texts in both languages as Notepad reads them.
zip_contents() {
  local zip=$build/$zip_folder.zip exe entries want
  [ -n "$version" ] || { fail "no project version in $build/CMakeCache.txt"; return; }
  rm -f "$zip"
  (cd "$root" && cmake --build --preset windows --target package) >"$out/package.log" 2>&1 ||
    { fail "the package target failed (see $out/package.log)"; return; }
  [ -f "$zip" ] || { fail "no $zip"; return; }
  entries=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
  want=$(printf "$zip_folder/%s\n" LISEZMOI.txt README.txt ondulor.chm ondulor.cnt ondulor.exe ondulor.hlp | sort | tr '\n' ' ')
  [ "$entries" = "$want" ] || fail "the zip holds: $entries"
  unzip -q "$zip" -d "$out/zip" || { fail "the zip does not unpack"; return; }
  exe=$unpacked/ondulor.exe
  [ "$(stat -c %s "$exe")" -le 262144 ] || fail "ondulor.exe is $(stat -c %s "$exe") bytes, more than 256 KiB"
  x86_64-w64-mingw32-nm "$exe" 2>&1 | grep -q 'no symbols' || fail "ondulor.exe keeps its symbols"
  x86_64-w64-mingw32-objdump -h "$exe" | grep -q '\.debug' && fail "ondulor.exe keeps debug sections"
  ONDULOR_EXE="Z:$exe" wine "$build/tests/win_package_tests.exe" >"$out/version.log" 2>&1 ||
    fail "the zip's exe fails the version tests: $(grep -E '^\[  FAILED' "$out/version.log" | tr '\n' ' ')"
  local text
  for text in README.txt LISEZMOI.txt; do
    crlf_windows1252 "$unpacked/$text"
    grep -q "Ondulor $version" "$unpacked/$text" || fail "$text does not name version $version"
  done
  LC_ALL=C grep -q $'\xe9' "$unpacked/LISEZMOI.txt" || fail "LISEZMOI.txt has no Windows-1252 e-acute"
  local french english
  french=$(iconv -f WINDOWS-1252 -t UTF-8 "$unpacked/LISEZMOI.txt" | tr -d '\r' | tr '\n' ' ')
  english=$(tr -d '\r' <"$unpacked/README.txt" | tr '\n' ' ')
  for phrase in "ondulor.exe" "F1 ouvre l'aide" "Program Files" "ondulor.ini" "le bureau, vos Documents"; do
    grep -qF -- "$phrase" <<<"$french" || fail "LISEZMOI.txt lacks \"$phrase\""
  done
  for phrase in "ondulor.exe" "F1 opens the help" "Program Files" "ondulor.ini" "your desktop, your Documents"; do
    grep -qF -- "$phrase" <<<"$english" || fail "README.txt lacks \"$phrase\""
  done
}

# The unpacked folder plays and keeps its settings beside the exe.
zip_plays_and_saves_beside_itself() {
  [ -f "$unpacked/ondulor.exe" ] || { fail "no unpacked zip"; return; }
  play_and_close "$out/zip.log" bash -c 'cd "$1" && exec wine ondulor.exe' _ "$unpacked"
  [ "$rc" = 0 ] || fail "the zip's game ended with $rc"
  [ -f "$unpacked/ondulor.ini" ] || fail "no ondulor.ini beside the zip's exe"
}

# mask_bits ICO / alpha_bits PNG: "1" for each transparent pixel of the 32x32 image, row by row
# from the top. The mask is read from the icon's bytes, not through ImageMagick.
mask_bits() {
  local ico=$1 i offset bpp colours xor_size mask row
  for i in $(seq 0 $(($(od -An -tu2 -j4 -N2 "$ico") - 1))); do
    [ "$(od -An -tu1 -j$((6 + 16 * i)) -N1 "$ico" | tr -d ' ')" = 32 ] || continue
    offset=$(od -An -tu4 -j$((6 + 16 * i + 12)) -N4 "$ico" | tr -d ' ')
    bpp=$(od -An -tu2 -j$((offset + 14)) -N2 "$ico" | tr -d ' ')
    colours=$(od -An -tu4 -j$((offset + 32)) -N4 "$ico" | tr -d ' ')
    [ "$bpp" -lt 32 ] || { echo "a 32-bit icon: its alpha, not its mask, decides"; return 1; }
    [ "$colours" != 0 ] || { [ "$bpp" -le 8 ] && colours=$((1 << bpp)); }
    xor_size=$(((32 * bpp + 31) / 32 * 4 * 32))
    mask=$((offset + $(od -An -tu4 -j"$offset" -N4 "$ico" | tr -d ' ') + 4 * colours + xor_size))
    # Rows are stored bottom-up, 4 bytes each; a set bit leaves the screen showing through.
    for row in $(seq 31 -1 0); do
      od -An -tx1 -j$((mask + 4 * row)) -N4 "$ico" | tr -d ' \n' |
        sed 's/0/0000/g;s/1/0001/g;s/2/0010/g;s/3/0011/g;s/4/0100/g;s/5/0101/g;s/6/0110/g;s/7/0111/g;
             s/8/1000/g;s/9/1001/g;s/a/1010/g;s/b/1011/g;s/c/1100/g;s/d/1101/g;s/e/1110/g;s/f/1111/g'
    done
    return 0
  done
  echo "no 32x32 image"; return 1
}
alpha_bits() { "$magick" "$1" -alpha extract -compress none pbm:- | tail -n +3 | tr -d ' \n'; }

# icon_honours_mask ICO PNG
icon_honours_mask() {
  local want got
  want=$(mask_bits "$1") || { fail "$1: $want"; return; }
  got=$(alpha_bits "$2")
  [ "$want" = "$got" ] || fail "$(basename "$2")'s transparent pixels ($(tr -cd 1 <<<"$got" | wc -c)) are not the" \
    "mask's ($(tr -cd 1 <<<"$want" | wc -c))"
}

tmp=$out/install
prefix="$tmp/pre fix"   # a space, as a prefix may have, must survive the desktop entry's Exec
players=$tmp/data/ondulor
as_player() { HOME=$tmp/home XDG_DATA_HOME=$tmp/data "$@"; }

# The install: files in place, a desktop entry that validates, a 32x32 PNG whose transparency is
# the icon's mask (the committed icon's, and a masked copy's, so that a mask really is honoured).
install_files() {
  mkdir -p "$tmp/home"
  as_player bash "$root/scripts/install.sh" "$prefix" >"$out/install.log" 2>&1 ||
    { fail "install.sh failed: $(tail -3 "$out/install.log")"; return; }
  local f
  for f in bin/ondulor share/ondulor/ondulor.exe share/ondulor/ondulor.hlp share/ondulor/ondulor.cnt \
    share/ondulor/ondulor.chm share/doc/ondulor/ondulor.txt \
    share/applications/ondulor.desktop share/icons/hicolor/32x32/apps/ondulor.png; do
    [ -f "$prefix/$f" ] || fail "no $f"
  done
  [ -x "$prefix/bin/ondulor" ] || fail "the launcher is not executable"
  x86_64-w64-mingw32-nm "$prefix/share/ondulor/ondulor.exe" 2>&1 | grep -q 'no symbols' ||
    fail "the installed exe is not stripped"
  local entry=$prefix/share/applications/ondulor.desktop report
  report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
  [ -z "$report" ] || fail "desktop-file-validate: $report"
  for f in 'Categories=Game;LogicGame;' "Exec=\"$prefix/bin/ondulor\"" 'Name[fr]=' 'GenericName=' \
    'GenericName[fr]=' 'Comment=' 'Comment[fr]='; do
    grep -qF -- "$f" "$entry" || fail "the desktop entry lacks $f"
  done
  local png=$prefix/share/icons/hicolor/32x32/apps/ondulor.png
  local kind
  kind=$(identify -format '%m %w %h %[channels]' "$png")
  [ "$kind" = "PNG 32 32 srgba" ] || fail "the icon is $kind, not a 32x32 PNG with alpha"
  icon_honours_mask "$root/res/art/ondulor.ico" "$png"
  # A copy of the icon whose mask clears its top row and its left column.
  local masked=$tmp/masked.ico offset row
  cp "$root/res/art/ondulor.ico" "$masked"
  offset=$(($(od -An -tu4 -j$((6 + 12)) -N4 "$masked") + 40 + 16 * 4 + 16 * 32))
  for row in $(seq 0 31); do
    if [ "$row" = 31 ]; then printf '\xff\xff\xff\xff'; else printf '\x80\x00\x00\x00'; fi |
      dd of="$masked" bs=1 seek=$((offset + 4 * row)) conv=notrunc status=none
  done
  [ "$(mask_bits "$masked" | tr -cd 1 | wc -c)" = 63 ] || fail "the masked copy is not what this test meant"
  bash "$root/packaging/linux/icon-png.sh" "$masked" "$tmp/masked.png" && icon_honours_mask "$masked" "$tmp/masked.png"
}

# The launcher plays from the player's folder: copies the exe there, the game writes ondulor.ini
# there and not beside the installed exe; a second start replaces a stale exe and keeps the scores.
launcher_plays_in_players_folder() {
  [ -x "$prefix/bin/ondulor" ] || { fail "not installed"; return; }
  play_and_close "$out/launch1.log" as_player "$prefix/bin/ondulor"
  [ "$rc" = 0 ] || fail "first start: exit code $rc ($(head -c 300 "$out/launch1.log"))"
  [ -f "$players/ondulor.ini" ] || fail "no ondulor.ini in the player's folder"
  cmp -s "$players/ondulor.exe" "$prefix/share/ondulor/ondulor.exe" || fail "the exe was not copied"
  [ -e "$prefix/share/ondulor/ondulor.ini" ] && fail "ondulor.ini was written beside the installed exe"
  local scores='Langue=0\r\nDur\351e=45\r\nSon=0\r\n250,Alice\r\n120,Bob\r\n'
  printf "$scores" >"$players/ondulor.ini"
  echo stale >"$players/ondulor.exe"
  play_and_close "$out/launch2.log" as_player "$prefix/bin/ondulor"
  [ "$rc" = 0 ] || fail "second start: exit code $rc ($(head -c 300 "$out/launch2.log"))"
  cmp -s "$players/ondulor.exe" "$prefix/share/ondulor/ondulor.exe" || fail "the stale exe was not replaced"
  [ "$(od -An -c "$players/ondulor.ini")" = "$(printf "$scores" | od -An -c)" ] ||
    fail "the scores changed: $(od -An -c "$players/ondulor.ini" | tr -s ' ' | head -c 200)"
}

# Without Wine the launcher says what to install and ends with 127, leaving nothing half done.
launcher_without_wine() {
  local bin=$tmp/no-wine-bin tool
  mkdir -p "$bin"
  for tool in readlink dirname mkdir cmp cp mv; do ln -sf "$(command -v "$tool")" "$bin/$tool"; done
  as_player env PATH="$bin" "$prefix/bin/ondulor" >"$out/no-wine.log" 2>&1
  rc=$?
  [ "$rc" = 127 ] || fail "exit code $rc without Wine"
  grep -q 'needs Wine' "$out/no-wine.log" && grep -q 'apt install wine' "$out/no-wine.log" ||
    fail "no clear message: $(head -c 300 "$out/no-wine.log")"
}

# --uninstall removes every installed file and the launcher's copies, and keeps the scores.
uninstall_keeps_scores() {
  local before f
  before=$(od -An -c "$players/ondulor.ini" 2>/dev/null)
  [ -n "$before" ] || { fail "no scores to keep"; return; }
  as_player bash "$root/scripts/install.sh" --uninstall "$prefix" >"$out/uninstall.log" 2>&1 ||
    fail "uninstall failed: $(tail -3 "$out/uninstall.log")"
  for f in bin/ondulor share/ondulor share/doc/ondulor share/applications/ondulor.desktop \
    share/icons/hicolor/32x32/apps/ondulor.png; do
    [ -e "$prefix/$f" ] && fail "$f is still there"
  done
  [ -e "$players/ondulor.exe" ] && fail "the launcher's copy of the exe is still there"
  [ "$(od -An -c "$players/ondulor.ini" 2>/dev/null)" = "$before" ] || fail "the scores were not kept"
}

# Under the default prefix ~/.local the installed folder is the player's folder: install and
# uninstall around an existing ondulor.ini leave it as it was.
default_prefix_keeps_scores() {
  local home=$tmp/home2 folder ini='Language=1000\r\nDuration=60\r\nSound=0\r\n77,Zoe\r\n'
  folder=$home/.local/share/ondulor
  mkdir -p "$folder" && printf "$ini" >"$folder/ondulor.ini"
  HOME=$home env -u XDG_DATA_HOME bash "$root/scripts/install.sh" >"$out/default.log" 2>&1 ||
    { fail "install.sh failed: $(tail -3 "$out/default.log")"; return; }
  [ -f "$folder/ondulor.exe" ] && [ -x "$home/.local/bin/ondulor" ] || fail "not installed under ~/.local"
  HOME=$home env -u XDG_DATA_HOME bash "$root/scripts/install.sh" --uninstall >>"$out/default.log" 2>&1 ||
    fail "uninstall failed"
  [ -e "$folder/ondulor.exe" ] || [ -e "$home/.local/bin/ondulor" ] && fail "uninstall left the game"
  [ "$(od -An -c "$folder/ondulor.ini" 2>/dev/null)" = "$(printf "$ini" | od -An -c)" ] || fail "the scores were not kept"
}

for c in zip_contents zip_plays_and_saves_beside_itself install_files launcher_plays_in_players_folder \
  launcher_without_wine uninstall_keeps_scores default_prefix_keeps_scores; do
  run_case "$c"
done
echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
