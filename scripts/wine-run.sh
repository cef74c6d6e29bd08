#!/usr/bin/env bash
# Runs a Windows program under Wine in the harness's prefix (ctest's cross-compiling emulator).
# The prefix must have been prepared by scripts/wine-harness.sh; Wine never runs without one.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX" ]; then
  echo "wine-run: WINEPREFIX is not set to a prepared prefix (run scripts/wine-harness.sh start)" >&2
  exit 125
fi
export WINEARCH=win32 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
