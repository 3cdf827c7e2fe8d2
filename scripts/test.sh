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

# The scripts' own cases, cheap and before any build: a prefix whose registry writes are lost (a
# stand-in wine first on PATH drops the first $WRITES_TO_FAIL of them and hands everything else to the
# real one), and play.sh with no display in a copy of the scripts with no build folder.
script_cases() {
  local tmp real start
  real=$(command -v wine) && tmp=$(mktemp -d) && mkdir "$tmp/bin" "$tmp/copy" || {
    failed=$((failed + 1)); echo "FAIL script cases: no wine or no temporary folder"; return
  }
  cat >"$tmp/bin/wine" <<EOF
#!/usr/bin/env bash
if [ "\${1:-}" = reg ] && [[ "\${2:-}" =~ ^(add|import)$ ]]; then
  n=\$(cat "$tmp/writes" 2>/dev/null || echo 0)
  echo \$((n + 1)) >"$tmp/writes"
  [ "\$n" -lt "\$WRITES_TO_FAIL" ] && exit 1
fi
exec "$real" "\$@"
EOF
  chmod +x "$tmp/bin/wine"

  problems=
  WRITES_TO_FAIL=1 PATH=$tmp/bin:$PATH bash scripts/wine-prefix.sh "$tmp/once" null 2>"$tmp/err" ||
    fail "ended with $? after one lost write: $(cat "$tmp/err")"
  [ -f "$tmp/once/.ondulor-ready" ] || fail "the prefix is not marked ready"
  grep -qx '"Graphics"="null"' "$tmp/once/user.reg" 2>/dev/null || fail "the prefix has no Graphics=null"
  [ "$(cat "$tmp/writes" 2>/dev/null)" -ge 2 ] 2>/dev/null || fail "the stand-in saw no second write"
  tally wine_prefix_write_lost_once

  problems=
  rm -f "$tmp/writes"
  WRITES_TO_FAIL=1000 PATH=$tmp/bin:$PATH bash scripts/wine-prefix.sh "$tmp/never" null 2>"$tmp/err" &&
    fail "ended with 0 though no write held"
  [ -e "$tmp/never" ] && fail "a half prefix was left: $(ls -A "$tmp/never" | tr '\n' ' ')"
  grep -q 'Graphics' "$tmp/err" || fail "the message names no value: $(cat "$tmp/err")"
  tally wine_prefix_writes_always_lost

  problems=
  mkdir "$tmp/copy/scripts" && cp scripts/*.sh "$tmp/copy/scripts/"
  start=$SECONDS
  env -u DISPLAY timeout 20 bash "$tmp/copy/scripts/play.sh" >"$tmp/out" 2>&1 && fail "ended with 0"
  [ $((SECONDS - start)) -le 10 ] || fail "took $((SECONDS - start)) s"
  grep -q 'No display' "$tmp/out" || fail "said: $(head -3 "$tmp/out")"
  [ -e "$tmp/copy/build" ] && fail "made a build folder"
  tally play_without_display
  rm -rf "$tmp"
}

stage "layout of the C++ sources (clang-format), and the scripts' own cases"
if bash scripts/format.sh --check; then passed=$((passed + 1)); else failed=$((failed + 1)); fi
source scripts/wine-session.sh
script_cases

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
  # Run in a half-made prefix, every test that makes a window would fail for Wine's sake alone.
  if bash scripts/wine-prefix.sh "$root/build/windows/wine-null" null; then
    # One warm wineserver for the whole run, started outside ctest so that Wine's services do not
    # inherit ctest's output pipe (ctest would then wait out its timeout after every test).
    WINEPREFIX="$root/build/windows/wine-null" warm_wine
    run_ctest windows
    WINEPREFIX="$root/build/windows/wine-null" wineserver -k 2>/dev/null || true
  else
    echo "Windows tests: no Wine prefix (build/windows/wine-null could not be made, see above); none ran"
    failed=$((failed + 1))
  fi

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
