#!/usr/bin/env bash
# Installs, from the distribution's own packages, whatever the build and the tests need and is missing.
# Debian 12 / Ubuntu; runs apt-get as root, or through sudo.
set -euo pipefail
packages=(
  g++ make cmake ninja-build googletest libbenchmark-dev clang libclang-rt-14-dev libpng-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  wine wine64 libwine fonts-wine xvfb xauth xdotool imagemagick
  desktop-file-utils unzip halibut python3 clang-format
  wixl msitools lintian appstream strip-nondeterminism
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "deps: everything needed is installed"
  exit 0
fi
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "deps: installing ${missing[*]}"
"${as_root[@]}" apt-get update -q >/dev/null
# Versioned names differ between releases: leave out what this release does not offer.
available=()
for p in "${missing[@]}"; do
  if apt-cache show "$p" >/dev/null 2>&1; then available+=("$p"); else echo "deps: $p is not offered here, skipped"; fi
done
missing=("${available[@]}")
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
echo "deps: done"
