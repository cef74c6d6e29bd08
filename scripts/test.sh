#!/usr/bin/env bash
# Runs every test of the project, as CI does: installs what is missing, builds the native,
# sanitizer, fuzz and Windows presets, and runs their suites (the Windows ones under Wine).
# One line per stage on the console, the output of each in build/logs/; the last line is
# "N passed, M failed" (the ctest counts of every suite), and the exit status is non-zero when
# any stage failed.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

failed=()
declare -A unbuilt=()
passed_total=0
failed_total=0

# run_suite PRESET COMMAND...: one suite as the stage "PRESET tests", skipped when the preset's
# build failed. The counts come from ctest's closing line "N% tests passed, F tests failed out
# of T".
run_suite() {
  local preset=$1 name="$1 tests" log
  shift
  log="$logs/${name// /-}.log"
  if [ -n "${unbuilt[$preset]:-}" ]; then
    summary_lines+=("$(printf '%-28s skipped: the build failed' "$name")")
    return 0
  fi
  stage "$name" count_tests "$log" "$@" || failed+=("$name")
  if ! grep -qE 'tests failed out of [0-9]+' "$log"; then
    failed+=("$name (no test ran)")
  fi
}
count_tests() {
  local log=$1 status=0 line f t
  shift
  "$@" || status=$?
  line=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1 || true)
  if [ -n "$line" ]; then
    f=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\1/' <<<"$line")
    t=$(sed -E 's/.* ([0-9]+) tests failed out of ([0-9]+).*/\2/' <<<"$line")
    passed_total=$((passed_total + t - f))
    failed_total=$((failed_total + f))
    # shellcheck disable=SC2034  # printed by stage (common.sh)
    stage_note="$((t - f)) passed, $f failed"
  fi
  return "$status"
}
# build_suite PRESET [CONFIGURE-ARGS...]: the build stage of a suite; a failure is recorded.
build_suite() { build "$@" || { failed+=("$1 build") && unbuilt[$1]=1; }; }

# The Windows suite under Wine: one prefix with a folder mapped as CD-ROM drive D: for the
# platform conformance tests (the harness restarts the wineserver, so this comes before ctest).
# The end-to-end scenarios make prefixes of their own.
wine_dir="$root/build/wine-tests"
stop_wine() { scripts/wine-harness.sh stop "$wine_dir" >/dev/null 2>&1 || true; }
win32_tests() (
  trap stop_wine EXIT
  local env
  env=$(scripts/wine-harness.sh start "$wine_dir" pl_PL.UTF-8) || return
  eval "$env"
  mkdir -p "$wine_dir/cd" || return
  scripts/wine-harness.sh cd-drive "$wine_dir" "$wine_dir/cd" d || return
  ORVALA_TEST_CD=D: ctest --preset win32 -j"$jobs"
)

install_dependencies || failed+=(dependencies)
if [ ${#failed[@]} -eq 0 ]; then
  build_suite host
  run_suite host ctest --preset host -j"$jobs"
  build_suite host-asan
  run_suite host-asan env ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset host-asan -j"$jobs"
  build_suite fuzz -DORVALA_FUZZ_SECONDS="${ORVALA_FUZZ_SECONDS:-20}"
  run_suite fuzz ctest --preset fuzz -j"$jobs"
  build_suite win32
  run_suite win32 win32_tests
fi

summary
status=0
if [ ${#failed[@]} -gt 0 ]; then
  joined=$(printf ', %s' "${failed[@]}")
  echo "failed: ${joined#, }"
  status=1
fi
echo "${passed_total} passed, ${failed_total} failed"
exit $status
