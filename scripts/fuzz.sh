#!/usr/bin/env bash
# Builds the settings-file fuzzer (clang, libFuzzer, ASan, UBSan) and runs it:
#   fuzz.sh [seconds] [libFuzzer options...]     (default 300 s; 0 for no time limit)
# e.g. fuzz.sh 0 -runs=1000000. It replays the committed seed corpus first, then fuzzes; new inputs
# go to a scratch copy under build/fuzz, so fuzz/corpus stays as committed. Crashes land in
# build/fuzz/artifacts. The settings files of every run are kept in memory by the fuzzer itself.
set -euo pipefail
seconds=${1:-300}
[ $# -gt 0 ] && shift
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
cd "$root"
cmake --preset fuzz >/dev/null
cmake --build "$build" --target settings_fuzz
scratch=$build/corpus-work
mkdir -p "$scratch" "$build/artifacts"
cp -n fuzz/corpus/* "$scratch"/ 2>/dev/null || true
"$build/fuzz/settings_fuzz" -max_total_time="$seconds" -timeout=10 -max_len=4096 \
  -artifact_prefix="$build/artifacts/" "$@" "$scratch" "$root/fuzz/corpus"
