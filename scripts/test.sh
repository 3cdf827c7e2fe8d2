#!/usr/bin/env bash
# Runs every test of Ondulor: host unit tests, the same under ASan/UBSan, the settings fuzzer,
# the Windows tests under Wine (null graphics driver) and the end-to-end runs of ondulor.exe in Xvfb.
# Installs what is missing first. Ends with one line: "Total: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh || { echo "Total: 0 passed, 1 failed"; exit 1; }

passed=0 failed=0
stage() { echo; echo "==== $*"; }
# ctest prints "x% tests passed, F tests failed out of T": add its counts to the totals.
count_ctest() {
  local log=$1 line t f
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -1)
  if [ -z "$line" ]; then failed=$((failed + 1)); return; fi
  f=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
  t=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
  passed=$((passed + t - f)); failed=$((failed + f))
}
run_ctest() {  # run_ctest PRESET
  local log=build/ctest-$1.log
  ctest --preset "$1" 2>&1 | tee "$log"
  count_ctest "$log"
}
build() {  # build PRESET: configure and build, counting a failure as one failed test
  if cmake --preset "$1" >"build/configure-$1.log" 2>&1 && cmake --build --preset "$1" 2>&1 | tail -3; then
    return 0
  fi
  cat "build/configure-$1.log" | tail -20
  echo "build of $1 failed"; failed=$((failed + 1)); return 1
}
mkdir -p build

stage "host build and unit tests"
build host && run_ctest host

stage "host tests under AddressSanitizer and UBSan"
build host-asan && run_ctest host-asan

stage "settings file fuzzer: corpus replay and 20 more seconds"
if bash scripts/fuzz.sh 20 2>&1 | tee build/fuzz.log | grep -vE '^#[0-9]+' | tail -15; [ "${PIPESTATUS[0]}" = 0 ]; then
  passed=$((passed + 1)); echo "fuzz: passed"
else
  failed=$((failed + 1)); echo "fuzz: FAILED (build/fuzz.log)"
fi

stage "Windows build and tests under Wine"
if build windows; then
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  bash scripts/wine-prefix.sh "$root/build/windows/wine-null" null
  # One warm wineserver for the whole run, started outside ctest so that Wine's services do not
  # inherit ctest's output pipe (ctest would then wait out its timeout after every test).
  source scripts/wine-session.sh
  WINEPREFIX="$root/build/windows/wine-null" warm_wine
  run_ctest windows
  WINEPREFIX="$root/build/windows/wine-null" wineserver -k 2>/dev/null || true

  stage "end to end: ondulor.exe in Xvfb, played with xdotool"
  e2e_log=build/e2e.log
  bash tests/e2e/run.sh "$root/build/windows" 2>&1 | tee "$e2e_log"
  e2e=$(grep -E '^e2e: [0-9]+ passed, [0-9]+ failed$' "$e2e_log" | tail -1)
  if [ -n "$e2e" ]; then
    passed=$((passed + $(sed -E 's/e2e: ([0-9]+) passed.*/\1/' <<<"$e2e")))
    failed=$((failed + $(sed -E 's/.* ([0-9]+) failed$/\1/' <<<"$e2e")))
  else
    failed=$((failed + 1))
  fi
fi

echo
echo "Total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
