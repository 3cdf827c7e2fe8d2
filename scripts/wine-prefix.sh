#!/usr/bin/env bash
# Makes a private Wine prefix for the tests and the game, once: wine-prefix.sh DIR null|x11
#   null: Wine's null graphics driver, real windows and GDI without any X server (in-process tests);
#   x11:  the X11 driver, for black-box runs and screenshots in Xvfb.
# The prefix is made whole or not at all: a registry value that will not hold leaves no folder behind,
# a message on stderr naming it, and a non-zero exit. DIR/.ondulor-ready is written last.
set -uo pipefail
prefix=$1 kind=$2
[ -f "$prefix/.ondulor-ready" ] && exit 0
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

# Each value as key, name, type, data; the data as `reg query` prints it.
values=(
  # A crash gives an exit code instead of a modal debugger box that would hang the run.
  'HKEY_CURRENT_USER\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0x0'
  'HKEY_CURRENT_USER\Software\Wine\Drivers|Audio|REG_SZ|'
  # Xvfb has no window manager: unmanaged windows avoid a 2-second wait on every hidden window.
  'HKEY_CURRENT_USER\Software\Wine\X11 Driver|Managed|REG_SZ|N'
)
[ "$kind" = null ] && values+=('HKEY_CURRENT_USER\Software\Wine\Drivers|Graphics|REG_SZ|null')

give_up() {
  echo "wine-prefix.sh: $*; the prefix $prefix was removed, run the command again to retry" >&2
  wineserver -k 2>/dev/null; wineserver -w 2>/dev/null
  rm -rf "$prefix"
  exit 1
}

# All values in one .reg file, imported in one step. It lies inside the prefix so that its Windows
# path is plain ASCII, whatever the folders above are named.
write_reg_file() {
  local value key name type data last=
  echo 'REGEDIT4'
  for value in "${values[@]}"; do
    IFS='|' read -r key name type data <<<"$value"
    [ "$key" = "$last" ] || printf '\n[%s]\n' "$key"
    last=$key
    if [ "$type" = REG_DWORD ]; then
      printf '"%s"=dword:%08x\n' "$name" "$data"
    else
      printf '"%s"="%s"\n' "$name" "$data"
    fi
  done
}

# The names of the values that the running server does not hold as written, one per line.
missing_values() {
  local value key name type data answer=$prefix/drive_c/ondulor-query.txt
  for value in "${values[@]}"; do
    IFS='|' read -r key name type data <<<"$value"
    # To a file: Wine's services inherit a pipe and would keep the caller waiting.
    wine reg query "$key" /v "$name" </dev/null >"$answer" 2>/dev/null
    tr -d '\r' <"$answer" | sed -E 's/[[:space:]]+/ /g; s/ $//' | grep -qxF " $name $type${data:+ $data}" ||
      echo "$key\\$name"
  done
  rm -f "$answer"
}

rm -rf "$prefix"
mkdir -p "$prefix" || { echo "wine-prefix.sh: cannot make the folder $prefix" >&2; exit 1; }
wineboot -i >/dev/null 2>&1
wineserver -w
[ -f "$prefix/user.reg" ] && [ -d "$prefix/drive_c/windows" ] || give_up "wineboot did not make a prefix"

# One server for every write and read: a write that meets a server on its way out is lost.
wineserver -p </dev/null >/dev/null 2>&1
write_reg_file >"$prefix/drive_c/ondulor-prefix.reg"
missing=
for try in 1 2 3 4 5; do
  wine reg import 'C:\ondulor-prefix.reg' </dev/null >/dev/null 2>&1
  missing=$(missing_values)
  [ -z "$missing" ] && break
  sleep "$try"
done
rm -f "$prefix/drive_c/ondulor-prefix.reg"
[ -z "$missing" ] || give_up "these registry values could not be written: $(paste -sd, <<<"$missing")"
# The server writes the registry to the prefix's files as it ends.
wineserver -k 2>/dev/null
wineserver -w
for value in "${values[@]}"; do
  IFS='|' read -r _ name _ <<<"$value"
  grep -q "^\"$name\"=" "$prefix/user.reg" || give_up "the registry value $name did not reach user.reg"
done

# Without real fonts the caption buttons draw as letters.
if compgen -G "/usr/share/wine/fonts/*.ttf" >/dev/null; then
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
fi
touch "$prefix/.ondulor-ready" || give_up "cannot mark the prefix ready"
