#!/usr/bin/env bash
# Lays out the project's C++ with clang-format and the rules in .clang-format.
#   bash scripts/format.sh          rewrites every file that is out of layout
#   bash scripts/format.sh --check  changes nothing; lists what is out of layout and fails if anything is
set -euo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format: clang-format is missing (apt-get install clang-format)" >&2; exit 2; }
# Every C++ file git knows, tracked or new; the resource scripts are not C++ and keep their own layout.
mapfile -t files < <(git ls-files --cached --others --exclude-standard -- '*.cpp' '*.h' '*.inc' | grep -v '^res/')
if [ "${1:-}" = --check ]; then
  if report=$(clang-format --dry-run --Werror "${files[@]}" 2>&1); then
    echo "format: ${#files[@]} files in layout"
    exit 0
  fi
  # Each misplaced line is reported as "file:line:col: error: ..."; name each file once.
  grep -oE '^[^ :]+:[0-9]+:[0-9]+: error:' <<<"$report" | cut -d: -f1 | sort -u | sed 's/^/format: out of layout: /' ||
    head -5 <<<"$report"
  echo "format: run 'bash scripts/format.sh' to lay them out" >&2
  exit 1
fi
clang-format -i "${files[@]}"
