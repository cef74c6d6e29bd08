#!/usr/bin/env bash
# The release command refuses a bad argument before it builds anything: exit 2, one line on
# stderr, neither OUT_DIR nor its staging folder made.
#
#   test_release_args.sh RELEASE-SCRIPT
set -euo pipefail
release=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cd "$tmp"
mkdir -p payload/special tree
touch payload/Orvatr.exe payload/special/Orvatr.exe payload/special/TrIntRu.exe \
  payload/special/TrPlikRu.exe
touch file
failures=0
refused() {  # refused EXPECTED-TEXT ENV-ASSIGNMENTS... -- ARGS...
  local expected=$1 status=0
  shift
  local assignments=()
  while [ "$1" != -- ]; do assignments+=("$1"); shift; done
  shift
  env -u ORVALA_SIGN_PKCS12 -u ORVALA_SIGN_PASSWORD_FILE "${assignments[@]}" \
    bash "$release" "$@" >out.txt 2>err.txt </dev/null || status=$?
  if [ "$status" -ne 2 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -qF -- "$expected" err.txt ||
    [ -s out.txt ]; then
    echo "FAIL: $*: exit $status, $(cat err.txt out.txt)" >&2
    failures=$((failures + 1))
  fi
  if [ -e out ] || ls -d .release.* >/dev/null 2>&1; then
    echo "FAIL: $*: output was made" >&2
    failures=$((failures + 1))
  fi
}
refused "has no special/DeInstalator.exe" -- payload tree out
touch payload/special/DeInstalator.exe
refused "OUT_DIR file exists and is not a folder" -- payload tree file
refused "go together" ORVALA_SIGN_PKCS12=cert.p12 -- payload tree out
[ "$failures" -eq 0 ] && echo "release: bad arguments refused"
exit $((failures > 0))
