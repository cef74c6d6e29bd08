#!/usr/bin/env bash
# After installing over an earlier installation whose Orvatr.exe was running (the scenario's
# helper program under that name): the new Orvatr.exe is in place, the running old one is kept
# hidden as Orvatr.exe.orvala-kopia and listed for deletion at the next restart, and no other
# backup is left.
# Environment: E2E_DRIVE_C, E2E_BUILD (set by the harness), WINEPREFIX of the scenario.
set -uo pipefail

tdir="$E2E_DRIVE_C/Program Files/Orvalis"
kept="$tdir/Orvatr.exe.orvala-kopia"
errors=0
fail() { echo "running-program check: $*"; errors=$((errors + 1)); }

cmp -s "$E2E_BUILD/demo/programs/build11/Orvatr.exe" "$tdir/Orvatr.exe" ||
  fail "Orvatr.exe is not the special version"
cmp -s "$E2E_BUILD/tests/e2e/trzymacz.exe" "$kept" || fail "the running Orvatr.exe was not kept"
others=$(find "$tdir" -name '*.orvala-kopia*' ! -path "$kept")
[ -z "$others" ] || fail "backups left behind: $others"
attributes=$(setsid wine attrib 'C:\Program Files\Orvalis\Orvatr.exe.orvala-kopia' </dev/null 2>&1 |
  tr -d '\r')
echo "attrib: $attributes"
[[ "${attributes%%C:*}" == *H* ]] || fail "the kept Orvatr.exe is not hidden"
pending=$(setsid wine reg query 'HKLM\System\CurrentControlSet\Control\Session Manager' \
  /v PendingFileRenameOperations </dev/null 2>&1 | tr -d '\r')
echo "pending: $pending"
grep -qi 'Orvalis\\Orvatr.exe.orvala-kopia' <<<"$pending" ||
  fail "the kept Orvatr.exe is not listed for deletion at restart"
[ "$errors" -eq 0 ] && echo "running-program check: passed"
exit $((errors > 0))
