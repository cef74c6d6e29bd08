#!/usr/bin/env bash
# The main command: installs what is missing, builds the host and win32 presets (host first: its
# tools pack the payload of the Windows build), assembles the demo CD, and runs Instalator.exe on
# it under Wine in a fresh prefix with the CD folder as drive D:. On a machine that cannot run
# 32-bit programs it also builds the win64 preset and runs that build of the same sources,
# and says so.
#
#   With a usable display ($DISPLAY set and xdpyinfo answering): interactive, on that display.
#   Without one: under Xvfb, walked through by the GUI autopilot (a complete installation),
#   with a screenshot of every page and dialog in build/screenshots/main/.
#
# One line per stage on the console; the output of each stage is in build/logs/.
# Environment: ORVALA_JOBS (parallel build jobs, default 2), ORVALA_MAIN_AUTOPILOT=1 to use the
# autopilot even when a display is there.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
build_dir="$root/build/win32"
shots="$root/build/screenshots/main"

shipped="$root/build/win32/Instalator.exe"
shown_note=

finish() {
  local status=$1
  summary
  if [ -f "$shipped" ]; then
    echo "setup program: $shipped ($(stat -c %s "$shipped") bytes)"
    echo "demo CD:       $build_dir/demo-cd"
  fi
  [ -z "$shown_note" ] || echo "$shown_note"
  if [ -d "$shots" ] && [ -n "$(ls -A "$shots")" ]; then
    echo "screenshots:   $shots ($(find "$shots" -name '*.png' | wc -l) pictures)"
  fi
  exit "$status"
}

install_dependencies || finish 1
build host || finish 1
build_windows win32 || finish 1
if ! why_not_32=$(scripts/wine-harness.sh host-32bit); then
  # The same sources built for 64-bit Windows, run by Wine's 64-bit loader.
  echo "$why_not_32: the wizard shown is the 64-bit build of the same sources"
  build_windows win64 || finish 1
  build_dir="$root/build/win64"
  shown_note="wizard shown:  $build_dir/Instalator.exe, the 64-bit build ($why_not_32)"
  summary_lines+=("$why_not_32: shown is the 64-bit build")
fi
if ! test -f "$build_dir/Instalator.exe" || ! test -d "$build_dir/demo-cd"; then
  echo "the build left no Instalator.exe or demo CD in $build_dir"
  finish 1
fi

interactive=0
if [ -n "${DISPLAY:-}" ] && [ "${ORVALA_MAIN_AUTOPILOT:-0}" != 1 ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
fi

# Instalator.exe on the demo CD (drive D:) on the user's display, in the prefix build/wine-main.
wine_dir="$root/build/wine-main"
run_on_display() (
  cleanup() { scripts/wine-harness.sh stop "$wine_dir" >/dev/null 2>&1 || true; }
  trap cleanup EXIT
  local env
  env=$(ORVALA_WINE_ARCH=$(scripts/wine-harness.sh arch-of "$build_dir/Instalator.exe") \
    scripts/wine-harness.sh start "$wine_dir" "${LANG:-pl_PL.UTF-8}") || return
  eval "$env"
  scripts/wine-harness.sh cd-drive "$wine_dir" "$build_dir/demo-cd" d || return
  (cd "$build_dir/demo-cd" && wine "$build_dir/demo-cd/Instalator.exe") || true
)

# The autopilot's walk through a whole installation, at 96 dpi and again at 144 and 192 dpi
# (the same walk on a system with that DPI); its pictures and logs are copied to
# build/screenshots/main/ (those of the larger DPIs into its 144dpi/ and 192dpi/) whatever the
# outcome.
walk() {
  local status=0 dpi name scenario into
  rm -rf "$shots"
  mkdir -p "$shots"
  for dpi in 96 144 192; do
    name=main scenario=tests/e2e/main/main.scn into=$shots
    if [ "$dpi" != 96 ]; then
      name=main-${dpi}dpi scenario=$build_dir/main-${dpi}dpi.scn into=$shots/${dpi}dpi
      mkdir -p "$into"
      { echo "setup dpi $dpi"; cat tests/e2e/main/main.scn; } > "$scenario"
    fi
    bash tests/e2e/run-scenario.sh "$scenario" "$build_dir" "$root" || status=$?
    cp "$build_dir/e2e-artifacts/$name"/*.png "$into"/ 2>/dev/null || true
    cp "$build_dir/e2e-artifacts/$name"/*.log "$into"/ 2>/dev/null || true
  done
  return "$status"
}

if [ "$interactive" -eq 1 ]; then
  echo "Instalator.exe starts on $DISPLAY; close it to finish."
  stage "run on display" run_on_display || finish 1
  echo "Installed files (if any) are in $wine_dir/prefix/drive_c/Program Files/Orvalis"
else
  stage "autopilot walk" walk || finish 1
fi
finish 0
