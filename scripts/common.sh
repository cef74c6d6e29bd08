# shellcheck shell=bash
# Shared start of the main and test commands (sourced): the project root as the working
# directory, the build's job count, and stages. A stage sends its output to a log file in
# build/logs/ and prints one line: its name, then "ok" or "FAILED" with the elapsed time; a
# failed stage also prints the tail of its log. The summary lists every stage run.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
jobs=${ORVALA_JOBS:-2}
logs="$root/build/logs"
mkdir -p "$logs"
started=$SECONDS
summary_lines=()

# 75 s -> "1 min 15 s".
elapsed() {
  local s=$1
  if [ "$s" -ge 60 ]; then
    printf '%d min %02d s' $((s / 60)) $((s % 60))
  else
    printf '%d s' "$s"
  fi
}

# The part of a stage's line after its time; a command may set it (test counts of a suite).
stage_note=

# stage NAME COMMAND...: runs COMMAND (a simple command or a function whose steps are chained
# with && or || return, as errexit does not reach into it here) with stdin from /dev/null and
# its output in build/logs/NAME.log (blanks as dashes). Returns COMMAND's status.
stage() {
  local name=$1 log="$logs/${1// /-}.log" t0=$SECONDS status=0
  shift
  stage_note=
  printf '%-28s ' "$name"
  "$@" >"$log" 2>&1 </dev/null || status=$?
  local took
  took=$(elapsed $((SECONDS - t0)))
  local result="ok"
  [ "$status" -eq 0 ] || result="FAILED (exit $status)"
  printf '%s, %s%s\n' "$result" "$took" "${stage_note:+, $stage_note}"
  summary_lines+=("$(printf '%-28s %s, %s%s' "$name" "$result" "$took" "${stage_note:+, $stage_note}")")
  if [ "$status" -ne 0 ]; then
    echo "---- last 40 lines of $log ----"
    tail -n 40 "$log"
    echo "----"
  fi
  return "$status"
}

# Prints the stages run and the total time.
summary() {
  echo
  echo "Summary ($(elapsed $((SECONDS - started))) in all):"
  local line
  for line in "${summary_lines[@]}"; do
    echo "  $line"
  done
  failed_test_tails
  echo "logs: $logs"
}

# The last lines each failed test printed (ctest shows a failed test's output after its result
# line), so that the reason of a failure stands at the end of the run, not only in its log.
failed_test_tails() {
  local log
  for log in "$logs"/*.log; do
    [ -f "$log" ] || continue
    awk '
      function flush() { if (name != "") { printf "why %s failed (its last lines):\n", name
                           for (i = (n > 15 ? n - 14 : 1); i <= n; i++) print "  | " buf[i] }
                         name = ""; n = 0 }
      /^ *([0-9]+\/[0-9]+ Test +#|Start +[0-9]+:)/ { flush() }
      /^ *[0-9]+\/[0-9]+ Test +#[0-9]+: .*\*\*\*(Failed|Timeout|Exception|Not Run)/ {
        name = $0; sub(/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: /, "", name); sub(/ .*/, "", name); next }
      /^(Total Test time|[0-9]+% tests passed)/ { flush() }
      name != "" && NF > 0 { buf[++n] = $0 }
      END { flush() }' "$log"
  done
}

install_dependencies_as_root() {
  if scripts/install-deps.sh --check; then
    echo "every package is already there"
  elif [ "$(id -u)" -eq 0 ]; then
    scripts/install-deps.sh
  else
    # No password prompt: without a sudo that asks for nothing the stage fails and says why.
    sudo -n scripts/install-deps.sh ||
      { echo "run scripts/install-deps.sh as root, then this command again"; return 1; }
  fi
}
install_dependencies() { stage dependencies install_dependencies_as_root; }

# build PRESET [CONFIGURE-ARGS...]: configures and builds one preset as the stage
# "PRESET build".
build_preset() {
  local preset=$1
  shift
  cmake --preset "$preset" "$@" && cmake --build --preset "$preset" -j"$jobs"
}
build() { stage "$1 build" build_preset "$@"; }

# build_windows PRESET: a Windows preset, packing its payload with the host build's orvala tool
# when there is one (else the preset builds the tool itself, in its host-tools folder).
build_windows() {
  local tool="$root/build/host/tools/orvala/orvala"
  if [ -x "$tool" ]; then
    build "$1" -DORVALA_HOST_ORVALA="$tool"
  else
    build "$1"
  fi
}
