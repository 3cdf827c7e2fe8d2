#!/usr/bin/env bash
# Runs every test of Ondulor: the sources' layout, host unit tests, the same under ASan/UBSan, the
# settings fuzzer, the Windows tests under Wine (null graphics driver), the end-to-end runs of
# ondulor.exe in Xvfb, and the packages for players (the Windows zip, the Linux install).
# Installs what is missing first. Ends with one line: "Total: N passed, M failed".
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bash scripts/deps.sh || { echo "Total: 0 passed, 1 failed"; exit 1; }

passed=0 failed=0
stage() { echo; echo "==== $*"; }
# Counts every GoogleTest case from the programs' own XML reports (GTEST_OUTPUT names a folder for
# them), and each program's verdict from ctest's JUnit report: a program that failed without a failed
# case in its report (a crash, a timeout) counts as one failure of its own. scripts/count_tests.py
# says how; the programs' console output only goes to the screen and the log.
run_ctest() {  # run_ctest PRESET: the full output goes to a log, the programs' verdicts to the screen
  local log=build/ctest-$1.log results=$root/build/test-results/$1 reports counts cases_passed= cases_failed=
  rm -rf "$results" && mkdir -p "$results/reports"
  # GoogleTest under Wine needs a Windows path to take it as absolute: Z: is the root of the file system.
  reports=$results/reports/
  [ "$1" = windows ] && reports=Z:$reports
  ctest --preset "$1" --show-only=json-v1 >"$results/tests.json" 2>/dev/null
  GTEST_OUTPUT=xml:$reports ctest --preset "$1" -V --output-junit "$results/junit.xml" >"$log" 2>&1
  grep -E '^ *([0-9]+\/[0-9]+ )?Test +#|PASSED  \]|tests passed, |FAILED|Failure|soak:' "$log" | grep -vE '^[0-9]+: \[ +(OK|RUN) +\]'
  grep -q '100% tests passed' "$log" || { echo "(full output: $root/$log)"; grep -E '^[0-9]+: .*(Failure|Expected|Which is|actual|FAILED)' "$log" | head -40; }
  counts=$(python3 scripts/count_tests.py "$1" "$results/junit.xml" "$results/tests.json" "$results/reports")
  grep -v '^counts: ' <<<"$counts"
  read -r _ cases_passed cases_failed < <(grep '^counts: ' <<<"$counts")
  passed=$((passed + ${cases_passed:-0})); failed=$((failed + ${cases_failed:-1}))
}
build() {  # build PRESET: configure and build, counting a failure as one failed test
  if cmake --preset "$1" >"build/configure-$1.log" 2>&1 && cmake --build --preset "$1" 2>&1 | tail -3; then
    return 0
  fi
  cat "build/configure-$1.log" | tail -20
  echo "build of $1 failed"; failed=$((failed + 1)); return 1
}
mkdir -p build

stage "layout of the C++ sources (clang-format)"
if bash scripts/format.sh --check; then passed=$((passed + 1)); else failed=$((failed + 1)); fi

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

  stage "packages: the Windows zip, the Linux install and its launcher in Xvfb, the .deb, the MSI, a second build"
  bash tests/package/run.sh "$root/build/windows" 2>&1 | tee build/package.log
  summary=$(grep -E '^package: [0-9]+ passed, [0-9]+ failed$' build/package.log | tail -1)
  if [ -n "$summary" ]; then
    read -r _ package_passed _ package_failed _ <<<"$summary"
    passed=$((passed + package_passed)); failed=$((failed + package_failed))
  else
    failed=$((failed + 1))
  fi
fi

echo
echo "Total: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
