#!/usr/bin/env bash
# Makes a private Wine prefix for the tests, once: wine-prefix.sh DIR null|x11
#   null: Wine's null graphics driver, real windows and GDI without any X server (in-process tests);
#   x11:  the X11 driver, for black-box runs and screenshots in Xvfb.
set -euo pipefail
prefix=$1 kind=$2
[ -f "$prefix/.ondulor-ready" ] && exit 0
rm -rf "$prefix"
mkdir -p "$prefix"
export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot -i >/dev/null 2>&1 || true
wineserver -w
reg() { wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1; }
# A crash gives an exit code instead of a modal debugger box that would hang the run.
reg 'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0
reg 'HKCU\Software\Wine\Drivers' Audio REG_SZ ''
# Xvfb has no window manager: unmanaged windows avoid a 2-second wait on every hidden window.
reg 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
if [ "$kind" = null ]; then
  reg 'HKCU\Software\Wine\Drivers' Graphics REG_SZ null
fi
wineserver -w
# Without real fonts the caption buttons draw as letters.
if compgen -G "/usr/share/wine/fonts/*.ttf" >/dev/null; then
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
fi
touch "$prefix/.ondulor-ready"
