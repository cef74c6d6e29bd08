#!/usr/bin/env bash
# The main command: installs what is missing, builds both presets (host first: its tools pack
# the payload of the Windows build), assembles the demo CD, and runs Instalator.exe on it under
# Wine in a fresh prefix with the CD folder as drive D:.
#
#   With a usable display ($DISPLAY set and xdpyinfo answering): interactive, on that display.
#   Without one: under Xvfb, walked through by the GUI autopilot (a complete installation),
#   with a screenshot of every page and dialog in build/screenshots/main/.
#
# Environment: ORVALA_JOBS (parallel build jobs, default 2), ORVALA_MAIN_AUTOPILOT=1 to use the
# autopilot even when a display is there.
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
install_dependencies

step "host build"
cmake --preset host >/dev/null
cmake --build --preset host -j"$jobs"

step "win32 build (Instalator.exe, demo CD, autopilot)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
build="$root/build/win32"
test -f "$build/Instalator.exe" && test -d "$build/demo-cd"
echo "setup program: $build/Instalator.exe"
echo "demo CD:       $build/demo-cd"

interactive=0
if [ -n "${DISPLAY:-}" ] && [ "${ORVALA_MAIN_AUTOPILOT:-0}" != 1 ] && xdpyinfo >/dev/null 2>&1; then
  interactive=1
fi

if [ "$interactive" -eq 1 ]; then
  step "running Instalator.exe on the demo CD (drive D:) on $DISPLAY"
  wine_dir="$root/build/wine-main"
  cleanup() { scripts/wine-harness.sh stop "$wine_dir" >/dev/null 2>&1 || true; }
  trap cleanup EXIT
  eval "$(scripts/wine-harness.sh start "$wine_dir" "${LANG:-pl_PL.UTF-8}" </dev/null)"
  scripts/wine-harness.sh cd-drive "$wine_dir" "$build/demo-cd" d </dev/null >/dev/null 2>&1
  (cd "$build/demo-cd" && wine "$build/demo-cd/Instalator.exe" </dev/null) || true
  echo "Installed files (if any) are in $WINEPREFIX/drive_c/Program Files/Orvalis"
else
  step "no display: the autopilot walks Instalator.exe through a whole installation"
  shots="$root/build/screenshots/main"
  rm -rf "$shots"
  mkdir -p "$shots"
  status=0
  bash tests/e2e/run-scenario.sh tests/e2e/main/main.scn "$build" "$root" || status=$?
  cp "$build/e2e-artifacts/main"/*.png "$shots"/ 2>/dev/null || true
  cp "$build/e2e-artifacts/main"/*.log "$shots"/ 2>/dev/null || true
  echo "screenshots: $shots"
  ls "$shots"
  exit "$status"
fi
