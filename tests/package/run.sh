#!/usr/bin/env bash
# The packages as players get them: the Windows zip from the package target (its entries, the
# stripped exe and its version information, the player's texts, a game that saves beside itself),
# scripts/install.sh into a temporary prefix and home (desktop entry, icon, a launcher that plays
# from the player's folder, --uninstall keeping the scores), the Debian package (fields, files,
# lintian and AppStream, its launcher unpacked and installed with apt, then purged), the MSI in
# a fresh Wine prefix (install, play, upgrade, uninstall), and a second build of the package target
# from a clone, which must give the same bytes and SHA256SUMS. Windows appear in Xvfb.
# Usage: tests/package/run.sh BUILD_DIR [CASE...] (the windows build; every case unless named).
# Ends with "package: N passed, M failed"; a case that cannot run here says SKIP and is not counted.
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
  problems= skipped=
  "$1"
  restart_wine
  if [ -n "$skipped" ] && [ -z "$problems" ]; then
    echo "SKIP $1: $skipped"
  else
    tally "$1"
  fi
}

# play_and_close LOG COMMAND...: starts the game through COMMAND, waits for its window, closes it with
# Alt+F4; sets rc to the exit code (124: it never ended, 125: no window). A Wine start-up that never
# shows the window is not the package's behaviour under test: it gets one more try on a fresh server,
# as in the end-to-end cases; the log tells both tries.
play_and_close() {
  play_once "$@"
  [ "$rc" = 125 ] || return 0
  echo "RETRY $(basename "$1"): $(tail -1 "$1")"
  restart_wine
  echo "[one more try]" >>"$1"
  play_once "$@"
}
play_once() {
  local log=$1 pid deadline win=
  shift
  "$@" </dev/null >>"$log" 2>&1 &
  pid=$!
  deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ] && [ -z "$win" ] && kill -0 "$pid" 2>/dev/null; do
    win=$(xdotool search --onlyvisible --name '^Ondulor$' 2>/dev/null | head -1)
    sleep 0.02
  done
  if [ -z "$win" ]; then
    if kill "$pid" 2>/dev/null; then
      echo "[no window within 20 s; visible: $(visible_windows)]" >>"$log"
    else
      echo "[the process ended before any window showed]" >>"$log"
    fi
    wait "$pid"; rc=125; return
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
  # Loaded from the system folder when needed: linked, a planted copy beside the exe would be taken first.
  x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: (oleacc|ole32|oleaut32|winmm|hhctrl)' &&
    fail "ondulor.exe links a library that it must load from the system folder"
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

# mask_bits ICO [SIZE] / alpha_bits PNG: "1" for each transparent pixel of the icon's SIZExSIZE image
# (32 unless given), row by row from the top. The mask is read from the icon's bytes, not through
# ImageMagick.
mask_bits() {
  local ico=$1 size=${2:-32} i offset bpp colours xor_size mask row stride
  for i in $(seq 0 $(($(od -An -tu2 -j4 -N2 "$ico") - 1))); do
    [ "$(od -An -tu1 -j$((6 + 16 * i)) -N1 "$ico" | tr -d ' ')" = "$size" ] || continue
    offset=$(od -An -tu4 -j$((6 + 16 * i + 12)) -N4 "$ico" | tr -d ' ')
    bpp=$(od -An -tu2 -j$((offset + 14)) -N2 "$ico" | tr -d ' ')
    colours=$(od -An -tu4 -j$((offset + 32)) -N4 "$ico" | tr -d ' ')
    [ "$bpp" -lt 32 ] || { echo "a 32-bit icon: its alpha, not its mask, decides"; return 1; }
    [ "$colours" != 0 ] || { [ "$bpp" -le 8 ] && colours=$((1 << bpp)); }
    xor_size=$(((size * bpp + 31) / 32 * 4 * size))
    stride=$(((size + 31) / 32 * 4))
    mask=$((offset + $(od -An -tu4 -j"$offset" -N4 "$ico" | tr -d ' ') + 4 * colours + xor_size))
    # Rows are stored bottom-up, padded to 4 bytes; a set bit leaves the screen showing through.
    for row in $(seq $((size - 1)) -1 0); do
      od -An -tx1 -j$((mask + stride * row)) -N"$stride" "$ico" | tr -d ' \n' |
        sed 's/0/0000/g;s/1/0001/g;s/2/0010/g;s/3/0011/g;s/4/0100/g;s/5/0101/g;s/6/0110/g;s/7/0111/g;
             s/8/1000/g;s/9/1001/g;s/a/1010/g;s/b/1011/g;s/c/1100/g;s/d/1101/g;s/e/1110/g;s/f/1111/g' |
        cut -c1-"$size"
    done | tr -d '\n'
    return 0
  done
  echo "no ${size}x$size image"; return 1
}
alpha_bits() { "$magick" "$1" -alpha extract -compress none pbm:- | tail -n +3 | tr -d ' \n'; }

# icon_honours_mask ICO PNG [SIZE]
icon_honours_mask() {
  local want got
  want=$(mask_bits "$1" "${3:-32}") || { fail "$1: $want"; return; }
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

deb=$build/ondulor_$version-1_all.deb
debroot=$out/deb/root
app_id=org.example.ondulor   # follows the project's domain (docs/packages.md)

# The .deb that the package target wrote beside the zip: its control fields, and exactly Debian's
# layout for a game with each file's mode.
deb_fields_and_files() {
  [ -f "$deb" ] || { fail "no $deb"; return; }
  local field want got
  for field in "Package ondulor" "Version $version-1" "Architecture all" "Section games"; do
    got=$(dpkg-deb -f "$deb" "${field%% *}")
    [ "$got" = "${field#* }" ] || fail "${field%% *} is '$got', not '${field#* }'"
  done
  # wine alone is satisfied by wine32, which cannot run the 64-bit exe.
  got=$(dpkg-deb -f "$deb" Depends)
  grep -qE '(^|, )wine64($|[ ,])' <<<"$got" && grep -qE '(^|, )wine($|[ ,])' <<<"$got" ||
    fail "Depends is '$got', not wine and wine64"
  grep -qE '^[^<>]+ <[^@<> ]+@[^<> ]+>$' <<<"$(dpkg-deb -f "$deb" Maintainer)" || fail "no Maintainer with an address"
  local description synopsis
  description=$(dpkg-deb -f "$deb" Description)
  synopsis=$(head -1 <<<"$description")
  [ -n "$synopsis" ] && [ "$(wc -l <<<"$description")" -ge 4 ] || fail "no synopsis with a long description"
  grep -qiF -- "$synopsis" <<<"$(tail -n +2 <<<"$description")" && fail "the long description repeats the synopsis"
  want="-rwxr-xr-x ./usr/games/ondulor
-rw-r--r-- ./usr/share/applications/$app_id.desktop
-rw-r--r-- ./usr/share/doc/ondulor/changelog.Debian.gz
-rw-r--r-- ./usr/share/doc/ondulor/copyright
-rw-r--r-- ./usr/share/doc/ondulor/ondulor.txt
-rw-r--r-- ./usr/share/games/ondulor/ondulor.chm
-rw-r--r-- ./usr/share/games/ondulor/ondulor.cnt
-rw-r--r-- ./usr/share/games/ondulor/ondulor.exe
-rw-r--r-- ./usr/share/games/ondulor/ondulor.hlp"
  for size in 16 32 48 64 128 256; do
    want+=$'\n'"-rw-r--r-- ./usr/share/icons/hicolor/${size}x$size/apps/ondulor.png"
  done
  want+="
-rw-r--r-- ./usr/share/lintian/overrides/ondulor
-rw-r--r-- ./usr/share/man/fr/man6/ondulor.6.gz
-rw-r--r-- ./usr/share/man/man6/ondulor.6.gz
-rw-r--r-- ./usr/share/metainfo/$app_id.metainfo.xml"
  got=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $1, $6 }' | sort)
  [ "$got" = "$(sort <<<"$want")" ] || fail "the files and modes differ:$(diff <(sort <<<"$want") <(echo "$got") | grep '^[<>]' | tr '\n' ';')"
  got=$(dpkg-deb -c "$deb" | awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print $1, $6 }')
  [ -z "$got" ] || fail "directories not 0755: $got"
  got=$(dpkg-deb -c "$deb" | awk '$2 != "root/root" { print $2, $6 }')
  [ -z "$got" ] || fail "files not owned by root: $got"
  rm -rf "$debroot" && mkdir -p "$debroot" && dpkg-deb -x "$deb" "$debroot" || { fail "dpkg-deb -x failed"; return; }
  cmp -s "$debroot/usr/games/ondulor" "$root/packaging/linux/ondulor" || fail "the launcher is not packaging/linux/ondulor"
  x86_64-w64-mingw32-nm "$debroot/usr/share/games/ondulor/ondulor.exe" 2>&1 | grep -q 'no symbols' ||
    fail "the packaged exe is not stripped"
  grep -q '^Copyright: 20[0-9][0-9] ' "$debroot/usr/share/doc/ondulor/copyright" &&
    grep -q '^License: Expat' "$debroot/usr/share/doc/ondulor/copyright" || fail "the copyright file names no year or no MIT (Expat) licence"
  [ "$(zcat "$debroot/usr/share/doc/ondulor/changelog.Debian.gz" | head -1 | cut -d' ' -f1-2)" = "ondulor ($version-1)" ] ||
    fail "the changelog's newest entry is not $version-1"
}

# What Debian's and AppStream's own checkers say: lintian without an error or a warning (the
# overrides each with a reason), a valid metainfo that names the desktop entry, with both languages
# and a screenshot, a valid desktop entry, man pages that render, and icons drawn from the icon's
# pixels: the 16 and 32 images with their masks, the larger ones each pixel repeated.
deb_passes_checks() {
  [ -d "$debroot/usr" ] || { fail "no unpacked package"; return; }
  local report
  report=$(lintian --fail-on error,warning "$deb" 2>&1)
  local lintian_rc=$?
  grep -E '^[EW]: ' <<<"$report" && fail "lintian: $(grep -E '^[EW]: ' <<<"$report" | tr '\n' ' ')"
  [ "$lintian_rc" = 0 ] || fail "lintian ended with $lintian_rc: $(tr '\n' ' ' <<<"$report" | head -c 300)"
  local overrides=$debroot/usr/share/lintian/overrides/ondulor line previous=
  while IFS= read -r line; do
    case $line in
      '#'*) ;;
      ondulor:*) [ "${previous:0:1}" = '#' ] || fail "lintian override without a reason: $line" ;;
      '') ;;
      *) fail "not a lintian override: $line" ;;
    esac
    previous=$line
  done <"$overrides"
  local metainfo=$debroot/usr/share/metainfo/$app_id.metainfo.xml entry=$debroot/usr/share/applications/$app_id.desktop
  # --no-net: the home page and the screenshot are on the placeholder domain.
  report=$(appstreamcli validate --pedantic --no-net "$metainfo" 2>&1) || fail "appstreamcli: $report"
  grep -q '^[EWIP]: ' <<<"$report" && fail "appstreamcli: $(tr '\n' ' ' <<<"$report")"
  grep -qF "<id>$app_id</id>" "$metainfo" && grep -qF ">$app_id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo's id is not the desktop entry's name $app_id"
  grep -qF '<project_license>MIT</project_license>' "$metainfo" || fail "the metainfo names no MIT licence"
  for report in '<name xml:lang="fr">' '<summary xml:lang="fr">' '<p xml:lang="fr">' '<image>http'; do
    grep -qF -- "$report" "$metainfo" || fail "the metainfo lacks $report"
  done
  report=$(desktop-file-validate "$entry" 2>&1) && [ -z "$report" ] || fail "desktop-file-validate: $report"
  grep -qx 'Exec="/usr/games/ondulor"' "$entry" && grep -qx 'Icon=ondulor' "$entry" || fail "the desktop entry does not start /usr/games/ondulor with the icon"
  local page
  for page in man/man6 man/fr/man6; do
    report=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$debroot/usr/share/$page/ondulor.6.gz" 2>&1 >"$out/man.txt") ||
      fail "$page/ondulor.6.gz does not render"
    col -bx <"$out/man.txt" >"$out/man-plain.txt" && mv "$out/man-plain.txt" "$out/man.txt"
    [ -z "$report" ] || fail "$page/ondulor.6.gz: $report"
    grep -q 'XDG_DATA_HOME' "$out/man.txt" && grep -q 'ondulor.ini' "$out/man.txt" || fail "$page/ondulor.6.gz tells nothing of the files or the environment"
  done
  local icons=$debroot/usr/share/icons/hicolor size png kind
  for size in 16 32 48 64 128 256; do
    png=$icons/${size}x$size/apps/ondulor.png
    kind=$(identify -format '%m %w %h %[channels]' "$png" 2>&1)
    [ "$kind" = "PNG $size $size srgba" ] || { fail "the ${size}x$size icon is $kind"; continue; }
    case $size in
      16 | 32) icon_honours_mask "$root/res/art/ondulor.ico" "$png" "$size" ;;
      48) # 1.5 times: only the 32x32 image's colours, no colour that smoothing would mix
        [ -z "$(comm -13 <("$magick" "$icons/32x32/apps/ondulor.png" -format %c histogram:info:- | awk '{ print $3 }' | sort -u) \
          <("$magick" "$png" -format %c histogram:info:- | awk '{ print $3 }' | sort -u))" ] ||
          fail "the 48x48 icon has colours of its own" ;;
      *) # a whole factor: taking one pixel of each square gives the 32x32 image back, alpha too
        "$magick" "$png" -sample 32x32 "$out/sampled.png"
        [ "$(compare -metric AE "$icons/32x32/apps/ondulor.png" "$out/sampled.png" null: 2>&1)" = 0 ] ||
          fail "the ${size}x$size icon is not the 32x32 image's pixels enlarged" ;;
    esac
  done
}

# The unpacked package's launcher plays from a fresh home: the game and its help are copied to
# ~/.local/share/ondulor/, the game saves there, nothing is written into the package's tree.
deb_launcher_plays() {
  [ -x "$debroot/usr/games/ondulor" ] || { fail "no unpacked launcher"; return; }
  local home=$out/deb/home folder
  folder=$home/.local/share/ondulor
  mkdir -p "$home"
  play_and_close "$out/deb-launch.log" env -u XDG_DATA_HOME HOME="$home" "$debroot/usr/games/ondulor"
  [ "$rc" = 0 ] || fail "the launcher ended with $rc ($(head -c 300 "$out/deb-launch.log"))"
  [ -f "$folder/ondulor.ini" ] || fail "no ondulor.ini in ~/.local/share/ondulor"
  for f in ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm; do
    cmp -s "$folder/$f" "$debroot/usr/share/games/ondulor/$f" || fail "$f was not copied to the player's folder"
  done
  [ -n "$(find "$debroot" -newer "$out/deb-launch.log" -print -quit)" ] && fail "the launcher wrote into the package's tree"
}

# A first start in a new Wine prefix says that Wine is preparing it: by notify-send when there is
# one, on the terminal otherwise; a start in an existing prefix says nothing. Wine here is a stand-in
# that notes where it ran: this is about the launcher's words, not Wine's 8 s.
launcher_says_wine_is_preparing() {
  local bin=$out/stand-in home=$out/stand-in-home tool said
  [ -x "$debroot/usr/games/ondulor" ] || { fail "no unpacked launcher"; return; }
  mkdir -p "$bin/with" "$bin/without" "$home"
  printf '#!/bin/sh\npwd >"%s/wine-ran"\n' "$bin" >"$bin/with/wine"
  printf '#!/bin/sh\nprintf "%%s|" "$@" >"%s/notified"\n' "$bin" >"$bin/with/notify-send"
  chmod +x "$bin/with/wine" "$bin/with/notify-send"
  ln -sf "$bin/with/wine" "$bin/without/wine"
  for tool in sh readlink dirname mkdir cmp cp mv printf; do
    ln -sf "$(command -v "$tool")" "$bin/with/$tool" && ln -sf "$(command -v "$tool")" "$bin/without/$tool"
  done
  starts() {  # starts PATH WINEPREFIX: runs the unpacked launcher, its terminal output in $said
    rm -f "$bin/notified" "$bin/wine-ran"
    said=$(env -u XDG_DATA_HOME HOME="$home" PATH="$1" WINEPREFIX="$2" DISPLAY=:0 "$debroot/usr/games/ondulor" 2>&1 </dev/null)
    [ -f "$bin/wine-ran" ] || fail "the launcher did not start Wine (PATH $1): $said"
    # notify-send runs in the background
    for _ in $(seq 50); do [ -f "$bin/notified" ] && break; sleep 0.02; done
  }
  starts "$bin/with" "$out/new-prefix"
  grep -q 'Wine is preparing' "$bin/notified" 2>/dev/null || fail "no notification for a new prefix"
  [ -z "$said" ] || fail "a notification and a terminal line: $said"
  starts "$bin/without" "$out/new-prefix"
  grep -q '^ondulor: Wine is preparing' <<<"$said" || fail "no terminal line for a new prefix without notify-send: $said"
  starts "$bin/with" "$WINEPREFIX"
  [ -f "$bin/notified" ] || [ -n "$said" ] && fail "an existing prefix was announced as new: $said"
  [ -e "$out/new-prefix" ] && fail "the launcher made the prefix itself"
}

# The .deb installed with apt as players do, /usr/games/ondulor started from a fresh home, then
# purged: the package's files go, the player's scores stay. Needs root or sudo without a password;
# an ondulor the machine already has is the owner's, never replaced nor purged here.
deb_apt_install_and_purge() {
  local as_root=()
  if [ "$(id -u)" != 0 ]; then
    sudo -n true 2>/dev/null || { skipped="neither root nor sudo without a password"; return; }
    as_root=(sudo -n)
  fi
  if dpkg-query -W -f='${Status}' ondulor 2>/dev/null | grep -q 'installed'; then
    skipped="this machine has its own ondulor installed; not replaced"
    return
  fi
  local home=$out/apt-home folder log=$out/apt.log
  folder=$home/.local/share/ondulor
  mkdir -p "$home"
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "$deb" >"$log" 2>&1 ||
    fail "apt-get install failed: $(tail -3 "$log" | tr '\n' ' ')"
  if dpkg-query -W -f='${Status} ${Version}' ondulor 2>/dev/null | grep -q "install ok installed $version-1"; then
    play_and_close "$out/apt-launch.log" env -u XDG_DATA_HOME HOME="$home" /usr/games/ondulor
    [ "$rc" = 0 ] || fail "/usr/games/ondulor ended with $rc ($(head -c 300 "$out/apt-launch.log"))"
    [ -f "$folder/ondulor.ini" ] || fail "no ondulor.ini in the fresh home"
    restart_wine
  else
    fail "ondulor $version-1 is not installed after apt-get install"
  fi
  printf 'Langue=0\r\n250,Alice\r\n' >"$folder/ondulor.ini"
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get purge -y -q ondulor >>"$log" 2>&1 ||
    fail "apt-get purge failed: $(tail -3 "$log" | tr '\n' ' ')"
  dpkg-query -W -f='${Status}' ondulor 2>/dev/null | grep -q 'ok installed' && fail "ondulor is still installed"
  for f in /usr/games/ondulor /usr/share/games/ondulor /usr/share/applications/$app_id.desktop /usr/share/doc/ondulor; do
    [ -e "$f" ] && fail "$f is still there after the purge"
  done
  [ "$(od -An -c "$folder/ondulor.ini")" = "$(printf 'Langue=0\r\n250,Alice\r\n' | od -An -c)" ] ||
    fail "the purge changed the player's scores"
}

msi=$build/ondulor-$version-win64.msi
msi_home=$out/msi/home
in_msi_prefix() {  # a fresh prefix and home: Wine writes the shortcuts' menu entries under HOME
  HOME=$msi_home XDG_DATA_HOME=$msi_home/.local/share XDG_CONFIG_HOME=$msi_home/.config \
    WINEPREFIX=$out/msi/prefix "$@"
}

# play_from_shortcut LOG LNK: opens the shortcut as the Start menu does, closes the game's window
# with Alt+F4 and waits for its process; rc 0, or 125 (no window), 124 (it never ended). start.exe
# does not wait for a shortcut's target, so the game's process is found through its window.
play_from_shortcut() {
  local win= game deadline
  in_msi_prefix wine start /unix "$2" </dev/null >"$1" 2>&1
  deadline=$((SECONDS + 20))
  while [ $SECONDS -lt $deadline ] && [ -z "$win" ]; do
    win=$(xdotool search --onlyvisible --name '^Ondulor$' 2>/dev/null | head -1)
    sleep 0.05
  done
  [ -n "$win" ] || { rc=125; return; }
  game=$(xdotool getwindowpid "$win")
  xdotool windowfocus --sync "$win" 2>/dev/null; xdotool key --clearmodifiers alt+F4
  deadline=$((SECONDS + 10))
  while kill -0 "$game" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && { rc=124; return; }
    sleep 0.05
  done
  rc=0
}

# The MSI in a fresh prefix, as a player without administrator rights installs it: under the
# player's profile with the help beside the game and Start-menu shortcuts; the game started from its
# shortcut plays and saves beside itself; a later version replaces it in place; an uninstall removes
# the game and the shortcuts and keeps ondulor.ini.
msi_installs_plays_and_uninstalls() {
  [ -f "$msi" ] || { fail "no $msi"; return; }
  local report exe=$build/ondulor.exe field
  # Word count 8: no elevation; no ALLUSERS: a per-user install.
  report=$(msiinfo suminfo "$msi" 2>&1)
  [ $(($(sed -n 's/^Source: \([0-9]*\).*/\1/p' <<<"$report") & 8)) = 8 ] || fail "the summary asks for elevation: $(grep ^Source <<<"$report")"
  msiinfo export "$msi" Property | tr -d '\r' >"$out/msi-property.txt"
  grep -q '^ALLUSERS' "$out/msi-property.txt" && fail "the MSI installs for all users"
  # Name, version and maker as the exe's version information gives them.
  for field in ProductName CompanyName; do
    report=$(strings -el "$exe" | grep -A1 -x "$field" | tail -1)
    [ "$field" = CompanyName ] && field=Manufacturer
    grep -qxF "$field	$report" "$out/msi-property.txt" || fail "the MSI's $field is not the exe's '$report'"
  done
  grep -qxF "ProductVersion	$version.0" "$out/msi-property.txt" || fail "the MSI's version is not $version.0"

  rm -rf "$out/msi" && mkdir -p "$msi_home"
  in_msi_prefix bash "$root/scripts/wine-prefix.sh" "$out/msi/prefix" x11 || { fail "no fresh prefix"; return; }
  in_msi_prefix wine msiexec /i "Z:${msi//\//\\}" /qn >"$out/msi-install.log" 2>&1 || fail "msiexec /i ended with $?"
  local users=$out/msi/prefix/drive_c/users profile folder menu
  profile=$(ls -d "$users"/*/AppData/Local/Programs/Ondulor 2>/dev/null | grep -v /Public/ | head -1)
  [ -n "$profile" ] || { fail "the game is not under the player's AppData\\Local\\Programs: $(cd "$out/msi/prefix/drive_c" && find . -iname 'ondulor.exe')"; in_msi_prefix wineserver -k; return; }
  folder=$profile
  menu="${folder%/Local/Programs/Ondulor}/Roaming/Microsoft/Windows/Start Menu/Programs/Ondulor"
  for f in ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm; do
    [ -f "$folder/$f" ] || fail "no $f in the installed folder"
  done
  cmp -s "$folder/ondulor.exe" "$out/zip/$zip_folder/ondulor.exe" || fail "the installed exe is not the zip's stripped exe"
  compgen -G "$out/msi/prefix/drive_c/Program Files*/Ondulor" >/dev/null && fail "the MSI wrote into Program Files"
  [ -f "$menu/Ondulor.lnk" ] && [ -f "$menu/Ondulor help.lnk" ] || fail "no Start-menu shortcuts in $menu"
  # Wine turns each shortcut into a menu entry whose icon it takes from the shortcut, a moment later.
  for f in Ondulor "Ondulor help"; do
    for _ in $(seq 100); do
      report=$(find "$msi_home/.local/share/applications" -name "$f.desktop" 2>/dev/null | head -1)
      [ -n "$report" ] && grep -q '^Icon=' "$report" && break
      sleep 0.1
    done
    [ -n "$report" ] && grep -q '^Icon=.*ondulor' "$report" || fail "the shortcut '$f' carries no icon of the game"
  done
  play_from_shortcut "$out/msi-play.log" "$menu/Ondulor.lnk"
  [ "$rc" = 0 ] || fail "the game started from its shortcut: $rc ($(head -c 300 "$out/msi-play.log"))"
  [ -f "$folder/ondulor.ini" ] || fail "no ondulor.ini beside the installed game"
  local scores='Langue=0\r\nDur\351e=45\r\nSon=0\r\n250,Alice\r\n'
  printf "$scores" >"$folder/ondulor.ini"

  # A later version, the same wxs with a higher number and so another product code (here wixl's
  # own), replaces this one and keeps the scores.
  local later=$out/msi/later
  cp -r "$build/msi/stage" "$later" &&
    sed -i 's/ Version="[0-9.]*"/ Version="'"$version"'.99"/; s/<Product Id="[^"]*"/<Product Id="*"/' "$later/ondulor.wxs" &&
    (cd "$later" && wixl --arch x64 -o later.msi ondulor.wxs) >"$out/msi-later.log" 2>&1 || { fail "no later MSI: $(head -3 "$out/msi-later.log")"; in_msi_prefix wineserver -k; return; }
  in_msi_prefix wine msiexec /i "Z:${later//\//\\}\\later.msi" /qn >>"$out/msi-install.log" 2>&1 || fail "the upgrade ended with $?"
  # Wine keeps the list of apps under HKLM even for a per-user product: both are read.
  in_msi_prefix wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s >"$out/msi-arp.raw" 2>&1
  in_msi_prefix wine reg query 'HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall' /s >>"$out/msi-arp.raw" 2>&1
  tr -d '\r' <"$out/msi-arp.raw" >"$out/msi-arp.txt"
  report=$(grep -A1 'DisplayName    REG_SZ    Ondulor$' "$out/msi-arp.txt" | grep -c 'DisplayVersion')
  [ "$report" = 1 ] && grep -q "DisplayVersion    REG_SZ    $version.99" "$out/msi-arp.txt" ||
    fail "after the upgrade the list of apps has $report Ondulor entries, not one of $version.99"
  [ -f "$folder/ondulor.exe" ] || fail "the upgrade left no game"
  [ "$(od -An -c "$folder/ondulor.ini")" = "$(printf "$scores" | od -An -c)" ] || fail "the upgrade changed the scores"

  in_msi_prefix wine msiexec /x "Z:${later//\//\\}\\later.msi" /qn >"$out/msi-uninstall.log" 2>&1 || fail "msiexec /x ended with $?"
  for f in ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm; do
    [ -e "$folder/$f" ] && fail "$f is still installed"
  done
  [ -e "$menu" ] && fail "the Start-menu shortcuts are still there"
  [ "$(od -An -c "$folder/ondulor.ini" 2>/dev/null)" = "$(printf "$scores" | od -An -c)" ] || fail "the uninstall did not keep the scores"
  in_msi_prefix wineserver -k
}

# The package target once more, from a clone of this tree in a folder of another name, with another
# umask, time zone and locale, and as another user (nobody) when run as root: the exe, the help and
# the three packages are the same bytes; SHA256SUMS lists the three with their true sums; the exe and
# the MSI carry the commit's time. The clone is HEAD plus the tree's uncommitted changes and the
# untracked files git does not ignore, so that a developer's tree is compared with itself. It reuses
# the toolchain and builds only what the packages hold (no test programs).
packages_reproducible() {
  git -C "$root" rev-parse --verify -q HEAD >/dev/null || { skipped="$root is no git checkout with a commit"; return; }
  (cd "$root" && cmake --build --preset windows --target package) >"$out/package-first.log" 2>&1 ||
    { fail "the package target failed (see $out/package-first.log)"; return; }
  local tmp again as=() locale=C.UTF-8 f names want stamp epoch
  tmp=$(mktemp -d "${TMPDIR:-/tmp}/ondulor-again.XXXXXX") || { fail "no temporary folder"; return; }
  again=$tmp/second-build
  mkdir -p "$tmp/home"
  git clone -q --no-checkout "$root" "$again" && git -C "$again" fetch -q "$root" HEAD &&
    git -C "$again" checkout -q --detach FETCH_HEAD || { fail "no clone of $root"; rm -rf "$tmp"; return; }
  git -C "$root" diff --binary --no-color --no-ext-diff HEAD >"$tmp/changes.diff"
  [ -s "$tmp/changes.diff" ] && { git -C "$again" apply --binary "$tmp/changes.diff" || fail "the tree's changes do not apply to its clone"; }
  (cd "$root" && git ls-files -z --others --exclude-standard | xargs -0 -r cp --parents -t "$again")
  if [ "$(id -u)" = 0 ] && command -v setpriv >/dev/null; then
    chown -R 65534:65534 "$tmp" && as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  locale -a 2>/dev/null | grep -qix 'fr_FR.utf-\?8' && locale=fr_FR.UTF-8
  (cd "$again" && "${as[@]}" env HOME="$tmp/home" TZ=Pacific/Kiritimati LC_ALL=$locale bash -c 'umask 077 &&
    cmake --preset windows -DCMAKE_SKIP_PACKAGE_ALL_DEPENDENCY=ON && cmake --build --preset windows --target ondulor_player &&
    cmake --build --preset windows --target package') >"$out/package-again.log" 2>&1 ||
    { fail "the second build failed (see $out/package-again.log)"; rm -rf "$tmp"; return; }
  for f in ondulor.exe ondulor.hlp ondulor.chm "$zip_folder.zip" "ondulor_$version-1_all.deb" "ondulor-$version-win64.msi" SHA256SUMS; do
    cmp -s "$build/$f" "$again/build/windows/$f" && continue
    fail "$f differs between the two builds"
    # What differs, for whoever mends it.
    command -v diffoscope >/dev/null && diffoscope --text "$out/diffoscope-$f.txt" "$build/$f" "$again/build/windows/$f" >/dev/null 2>&1
  done
  rm -rf "$tmp"
  names=$(awk '{ print $2 }' "$build/SHA256SUMS" | sort | tr '\n' ' ')
  want=$(printf '%s\n' "$zip_folder.zip" "ondulor_$version-1_all.deb" "ondulor-$version-win64.msi" | sort | tr '\n' ' ')
  [ "$names" = "$want" ] || fail "SHA256SUMS lists $names, not $want"
  (cd "$build" && sha256sum --strict -c SHA256SUMS) >"$out/sha256sum.log" 2>&1 || fail "sha256sum -c SHA256SUMS: $(tr '\n' ' ' <"$out/sha256sum.log")"
  epoch=$(cat "$build/source_date_epoch")
  want=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
  [ "$epoch" = "$want" ] || fail "the build's time is $epoch, not the commit's $want"
  want=$(LC_ALL=C TZ=UTC date -d "@$want" '+%a %b %e %H:%M:%S %Y')
  stamp=$(LC_ALL=C TZ=UTC x86_64-w64-mingw32-objdump -p "$build/ondulor.exe" | sed -n 's/^Time\/Date[[:space:]]*//p')
  [ "$stamp" = "$want" ] || fail "ondulor.exe is stamped $stamp, not $want"
  stamp=$(LC_ALL=C TZ=UTC msiinfo suminfo "$build/ondulor-$version-win64.msi" | sed -n 's/^Created: //p')
  [ "$stamp" = "$want" ] || fail "the MSI was created $stamp, not $want"
}

cases=(zip_contents zip_plays_and_saves_beside_itself install_files launcher_plays_in_players_folder
  launcher_without_wine uninstall_keeps_scores default_prefix_keeps_scores deb_fields_and_files deb_passes_checks
  deb_launcher_plays launcher_says_wine_is_preparing deb_apt_install_and_purge msi_installs_plays_and_uninstalls
  packages_reproducible)
# Named cases alone, for a developer's quicker look; the zip's case builds the packages the others read.
[ $# -gt 1 ] && cases=("${@:2}")
for c in "${cases[@]}"; do
  run_case "$c"
done
echo "package: $passed passed, $failed failed"
[ "$failed" = 0 ]
