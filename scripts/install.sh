#!/usr/bin/env bash
# Installs Ondulor for a Linux desktop, building first whatever is missing:
#   bash scripts/install.sh [PREFIX]               PREFIX defaults to ~/.local
#   bash scripts/install.sh --uninstall [PREFIX]
# Installs PREFIX/bin/ondulor (the launcher), PREFIX/share/ondulor/ (ondulor.exe and its help files),
# PREFIX/share/applications/ondulor.desktop, PREFIX/share/icons/hicolor/32x32/apps/ondulor.png and the
# help as plain text, PREFIX/share/doc/ondulor/ondulor.txt.
# The settings and scores, ${XDG_DATA_HOME:-~/.local/share}/ondulor/ondulor.ini, are never touched.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

usage() {
  echo "usage: bash scripts/install.sh [PREFIX]   or   bash scripts/install.sh --uninstall [PREFIX]"
  echo "PREFIX defaults to ~/.local; settings and scores stay in \${XDG_DATA_HOME:-~/.local/share}/ondulor/."
}
uninstall=0
if [ "${1:-}" = --uninstall ]; then
  uninstall=1
  shift
fi
case "${1:-}" in
  -h | --help) usage; exit 0 ;;
  -*) usage >&2; exit 2 ;;
esac
[ $# -le 1 ] || { usage >&2; exit 2; }
prefix=${1:-$HOME/.local}
case $prefix in
  /*) ;;
  *) prefix=$PWD/$prefix ;;
esac
prefix=${prefix%/}
[ -n "$prefix" ] || { echo "install: / is no prefix for Ondulor" >&2; exit 2; }
# The desktop entry names the launcher by its path; these characters would need escaping there.
case $prefix in
  *[\"\`\$\\%]* | *$'\n'*)
    echo "install: the prefix may not hold \" \` \$ \\ % or a line break: $prefix" >&2
    exit 2 ;;
esac

launcher=$prefix/bin/ondulor
share=$prefix/share/ondulor
desktop=$prefix/share/applications/ondulor.desktop
icon=$prefix/share/icons/hicolor/32x32/apps/ondulor.png
game_files=(ondulor.exe ondulor.hlp ondulor.cnt ondulor.chm)
# The help as plain text, for reading without Wine.
manual=$prefix/share/doc/ondulor/ondulor.txt
data_home=${XDG_DATA_HOME:-}
case $data_home in
  /*) ;;
  *) data_home=$HOME/.local/share ;;
esac
players_folder=$data_home/ondulor

if [ "$uninstall" = 1 ]; then
  # The launcher's copies in this user's folder go too, unless they are not the installed ones;
  # ondulor.ini stays wherever it is (under the default prefix the two folders are one).
  if [ -d "$players_folder" ] && ! [ "$players_folder" -ef "$share" ]; then
    for f in "${game_files[@]}"; do
      if [ -f "$players_folder/$f" ] && cmp -s "$players_folder/$f" "$share/$f"; then
        rm -f "$players_folder/$f"
      fi
    done
    rmdir "$players_folder" 2>/dev/null || true
  fi
  for f in "${game_files[@]}"; do rm -f "$share/$f"; done
  rmdir "$share" 2>/dev/null || true
  rm -f "$launcher" "$desktop" "$icon" "$manual"
  rmdir "${manual%/*}" 2>/dev/null || true
  echo "Ondulor is uninstalled from $prefix."
  if [ -f "$players_folder/ondulor.ini" ]; then
    echo "Your settings and scores are kept in $players_folder/ondulor.ini."
  fi
  exit 0
fi

bash "$root/scripts/deps.sh"
cd "$root"
[ -f build/windows/CMakeCache.txt ] || cmake --preset windows >/dev/null
cmake --build --preset windows --target ondulor_player | tail -1
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# The install rules of the zip, component game: the stripped exe and the help files.
cmake --install build/windows --component game --prefix "$stage" --strip >/dev/null
for f in "${game_files[@]}"; do
  [ -f "$stage/$f" ] || { echo "install: the build made no $f" >&2; exit 1; }
done
[ -f build/windows/ondulor.txt ] || { echo "install: the build made no ondulor.txt" >&2; exit 1; }
bash "$root/packaging/linux/icon-png.sh" "$root/res/art/ondulor.ico" "$stage/ondulor.png"
entry=$(<"$root/packaging/linux/ondulor.desktop.in")
entry=${entry//@LAUNCHER@/"$launcher"}
entry=${entry//@ICON@/"$icon"}
printf '%s\n' "$entry" >"$stage/ondulor.desktop"

mkdir -p "$prefix/bin" "$share" "${desktop%/*}" "${icon%/*}" "${manual%/*}"
for f in "${game_files[@]}"; do install -m 644 "$stage/$f" "$share/$f"; done
install -m 755 "$root/packaging/linux/ondulor" "$launcher"
install -m 644 "$stage/ondulor.desktop" "$desktop"
install -m 644 "$stage/ondulor.png" "$icon"
install -m 644 build/windows/ondulor.txt "$manual"

echo "Ondulor is installed in $prefix: it is among the desktop's games, or run $launcher"
case ":$PATH:" in
  *":$prefix/bin:"*) ;;
  *) echo "($prefix/bin is not on your PATH: the desktop's menu or the full path start it.)" ;;
esac
echo "Each player's settings and scores go to \${XDG_DATA_HOME:-~/.local/share}/ondulor/ondulor.ini" \
  "(yours: $players_folder/ondulor.ini)."
