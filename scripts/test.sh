#!/usr/bin/env bash
# Runs every test of the project, as CI does: installs what is missing, builds the native,
# sanitizer, fuzz and Windows presets, and runs their suites (the Windows ones under Wine).
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_dependencies

failed=()
passed_total=0
failed_total=0
run_suite() {
  local name=$1 log
  shift
  log=$(mktemp)
  if ! "$@" 2>&1 | tee "$log"; then
    failed+=("$name")
  fi
  # ctest closes with "N% tests passed, F tests failed out of T".
  local line f t
  line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed_total=$((passed_total + t - f))
    failed_total=$((failed_total + f))
  else
    failed+=("$name (no test ran)")
  fi
  rm -f "$log"
}

step "host: build and test"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"
run_suite host ctest --preset host -j"$jobs"

step "host-asan: build and test"
cmake --preset host-asan >/dev/null
cmake --build --preset host-asan -j"$jobs"
run_suite host-asan env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --preset host-asan -j"$jobs"

step "fuzz: build and smoke runs"
cmake --preset fuzz -DORVALA_FUZZ_SECONDS="${ORVALA_FUZZ_SECONDS:-20}" >/dev/null
cmake --build --preset fuzz -j"$jobs"
run_suite fuzz ctest --preset fuzz -j"$jobs"

step "win32: build"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"

step "win32: tests under Wine"
wine_dir="$root/build/wine-tests"
cleanup() { scripts/wine-harness.sh stop "$wine_dir" >/dev/null 2>&1 || true; }
trap cleanup EXIT
eval "$(scripts/wine-harness.sh start "$wine_dir" pl_PL.UTF-8)"
# A folder mapped as CD-ROM drive D: for the platform conformance tests (the harness restarts
# the wineserver, so this comes before ctest). The end-to-end scenarios make prefixes of their
# own.
mkdir -p "$wine_dir/cd"
scripts/wine-harness.sh cd-drive "$wine_dir" "$wine_dir/cd" d
export ORVALA_TEST_CD=D:
run_suite win32 ctest --preset win32 -j"$jobs"
cleanup
trap - EXIT

step "summary"
status=0
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed suites: ${failed[*]}"
  status=1
fi
echo "${passed_total} passed, ${failed_total} failed"
exit $status
