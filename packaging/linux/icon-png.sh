#!/usr/bin/env bash
# Writes the 32x32 image of a Windows icon as a PNG with an alpha channel: icon-png.sh ICO PNG.
# ImageMagick turns the icon's AND mask into transparency; PNG32 keeps that alpha even when every
# pixel is opaque, so the desktop always gets the same kind of file.
set -euo pipefail
ico=${1:?icon} png=${2:?png}
scene=$(identify -format '%p %w %h\n' "$ico" | awk '$2 == 32 && $3 == 32 { print $1; exit }')
if [ -z "$scene" ]; then
  echo "icon-png: $ico holds no 32x32 image" >&2
  exit 1
fi
convert "$ico[$scene]" -strip "PNG32:$png"
