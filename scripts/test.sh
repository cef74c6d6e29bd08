#!/usr/bin/env bash
# Runs every test of the project, as CI does: installs what is missing, builds the native,
# sanitizer, fuzz and both Windows presets, and runs their suites (the Windows ones under Wine:
# the 32-bit build's where this machine runs 32-bit programs, the 64-bit build's everywhere).
# One line per stage on the console, the output of each in build/logs/; the last line is
# "N passed, M failed" (the ctest counts of every suite), and the exit status is non-zero when
# any stage failed.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

failed=()
declare -A unbuilt=()
passed_total=0
failed_total=0

# run_suite NAME PRESET COMMAND...: one suite as the stage NAME, skipped when PRESET's build
# failed. The counts come from ctest's closing line "N% tests passed, F tests failed out of T".
run_suite() {
  local name=$1 preset=$2 log
  shift 2
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
# (build_windows_suite PRESET: the same for a Windows preset.)
build_suite() { build "$@" || { failed+=("$1 build") && unbuilt[$1]=1; }; }
build_windows_suite() { build_windows "$1" || { failed+=("$1 build") && unbuilt[$1]=1; }; }

# A Windows suite under Wine: one prefix of the preset's kind with a folder mapped as CD-ROM
# drive D: for the platform conformance tests (the harness restarts the wineserver, so this comes
# before ctest). The end-to-end scenarios make prefixes of their own.
#   windows_tests PRESET [CTEST-ARGS...]
windows_tests() (
  local preset=$1 env
  shift
  local wine_dir="$root/build/wine-tests-$preset"
  trap 'scripts/wine-harness.sh stop "$wine_dir" >/dev/null 2>&1 || true' EXIT
  env=$(ORVALA_WINE_ARCH=$preset scripts/wine-harness.sh start "$wine_dir" pl_PL.UTF-8) || return
  eval "$env"
  mkdir -p "$wine_dir/cd" || return
  scripts/wine-harness.sh cd-drive "$wine_dir" "$wine_dir/cd" d || return
  ORVALA_TEST_CD=D: ctest --preset "$preset" -j"$jobs" "$@"
)

install_dependencies || failed+=(dependencies)
if [ ${#failed[@]} -eq 0 ]; then
  build_suite host
  run_suite "host tests" host ctest --preset host -j"$jobs"
  build_suite host-asan
  run_suite "host-asan tests" host-asan env ASAN_OPTIONS=detect_leaks=1 \
    UBSAN_OPTIONS=print_stacktrace=1 ctest --preset host-asan -j"$jobs"
  build_suite fuzz -DORVALA_FUZZ_SECONDS="${ORVALA_FUZZ_SECONDS:-20}"
  run_suite "fuzz tests" fuzz ctest --preset fuzz -j"$jobs"
  # The shipped program is the 32-bit build; the 64-bit build of the same sources runs the
  # Windows suites on every machine, also one that cannot run 32-bit programs.
  build_windows_suite win32
  build_windows_suite win64
  if why_not_32=$(scripts/wine-harness.sh host-32bit); then
    run_suite "win32 tests" win32 windows_tests win32
    # Both builds' scenarios share the program's logic: the 64-bit run keeps a lean set of them.
    run_suite "win64 tests" win64 windows_tests win64 -LE beyond-lean
  else
    echo "32-bit suites not run: $why_not_32; the 64-bit build runs the Windows suites"
    summary_lines+=("32-bit suites not run: $why_not_32")
    # What checks the shipped file itself needs no Wine.
    run_suite "win32 static checks" win32 ctest --preset win32 -L static -j"$jobs"
    run_suite "win64 tests" win64 windows_tests win64
    if [ -z "${unbuilt[win32]:-}" ]; then
      only32=$(ctest --preset win32 -N -L 32-bit-only -FA '.*' | sed -nE 's/^ *Test +#[0-9]+: (.*)$/\1/p' |
        paste -sd, - | sed 's/,/, /g')
      echo "not run here (they test the 32-bit program alone): $only32"
      summary_lines+=("not run here (32-bit program alone): $only32")
    fi
  fi
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
