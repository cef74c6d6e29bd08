#!/usr/bin/env bash
# Runs a Windows program under Wine in the harness's prefix (ctest's cross-compiling emulator).
# The prefix must have been prepared by scripts/wine-harness.sh, whose environment (WINEARCH, and
# for a 64-bit prefix PATH and WINELOADER) picks the loader; Wine never runs without one.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ ! -d "$WINEPREFIX" ]; then
  echo "wine-run: WINEPREFIX is not set to a prepared prefix (run scripts/wine-harness.sh start)" >&2
  exit 125
fi
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
exec wine "$@"
