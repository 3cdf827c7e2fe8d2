#!/usr/bin/env bash
# Writes an image of a Windows icon as a PNG with an alpha channel: icon-png.sh ICO PNG [SIZE].
# SIZE (32 unless given) is one of the icon's own images, or a larger size drawn from its 32x32
# image's pixels, each pixel repeated (no smoothing: the art is pixel art).
# ImageMagick turns the icon's AND mask into transparency; PNG32 keeps that alpha even when every
# pixel is opaque, so the desktop always gets the same kind of file.
set -euo pipefail
ico=${1:?icon} png=${2:?png} size=${3:-32}
case $size in
  '' | *[!0-9]*) echo "icon-png: $size is no size" >&2; exit 2 ;;
esac
image_of() { identify -format '%p %w %h\n' "$ico" | awk -v s="$1" '$2 == s && $3 == s { print $1; exit }'; }
scene=$(image_of "$size")
resize=()
if [ -z "$scene" ] && [ "$size" -gt 32 ]; then
  scene=$(image_of 32)
  resize=(-sample "${size}x$size")
fi
if [ -z "$scene" ]; then
  echo "icon-png: $ico holds no ${size}x$size image" >&2
  exit 1
fi
convert "$ico[$scene]" "${resize[@]}" -strip "PNG32:$png"
