#!/usr/bin/env bash
# The release media of the build: Instalator.exe signed with a throw-away certificate authority
# and code-signing certificate made here verifies against that authority with the package's
# description; a wrong password, a missing certificate and an expired one each stop the signing
# with their cause; the image of the demo CD with the signed program, read back through Joliet,
# holds the CD's names, sizes and bytes, and is the same on a second run. The folder read back is
# left in BUILD-DIR/release-cd for e2e.release-cd, which installs from it under Wine.
#
#   release-media.sh BUILD-DIR SOURCE-DIR ORVALA-TOOL
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
orvala=$3
sign="$source/scripts/sign.sh"
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
cd "$tmp"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# --- A certificate authority and its code-signing certificates ------------------------------
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=Release Test CA" \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout code.key -out code.csr -subj "/CN=Release Test" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=digitalSignature\nextendedKeyUsage=codeSigning\n' > ext.cnf
certificate() {  # certificate NAME DAYS: NAME.p12 with the key, the certificate and the CA's
  openssl x509 -req -in code.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days "$2" \
    -extfile ext.cnf -out "$1.pem" 2>/dev/null
  openssl pkcs12 -export -inkey code.key -in "$1.pem" -certfile ca.pem -passout file:password.txt \
    -out "$1.p12"
}
printf 'hasło do podpisu\n' > password.txt
printf 'inne hasło\n' > wrong.txt
certificate code 1
certificate expired -1   # valid until a day before it was made

# --- Signing ---------------------------------------------------------------------------------
ORVALA_SIGN_PKCS12=code.p12 ORVALA_SIGN_PASSWORD_FILE=password.txt \
  bash "$sign" "$build/Instalator.exe" signed.exe
if osslsigncode verify -in signed.exe -CAfile ca.pem >verify.txt 2>&1; then
  grep -q '^Signature verification: ok' verify.txt || fail "the signature does not verify"
  grep -q 'Text description: Orvala Pakiet' verify.txt || fail "no package title in the signature"
  grep -q 'URL description: https://' verify.txt || fail "no web address in the signature"
  grep -q 'Message digest algorithm *: SHA256' verify.txt || fail "the signature is not SHA-256"
else
  fail "osslsigncode verify: $(tail -n 3 verify.txt)"
fi
refused() {  # refused WHAT EXPECTED-TEXT P12 PASSWORD-FILE
  local status=0
  rm -f refused.exe
  ORVALA_SIGN_PKCS12=$3 ORVALA_SIGN_PASSWORD_FILE=$4 \
    bash "$sign" "$build/Instalator.exe" refused.exe 2>err.txt || status=$?
  if [ "$status" -ne 1 ] || [ "$(wc -l <err.txt)" -ne 1 ] || ! grep -qF -- "$2" err.txt; then
    fail "$1: exit $status, $(cat err.txt)"
  fi
  ! ls refused.exe* >/dev/null 2>&1 || fail "$1: a signed file was left behind"
}
refused "wrong password" "wrong password for the certificate code.p12" code.p12 wrong.txt
refused "missing certificate" "cannot read the certificate missing.p12" missing.p12 password.txt
refused "expired certificate" "the certificate expired.p12 expired on" expired.p12 password.txt

# --- The image of the demo CD with the signed program ----------------------------------------
"$orvala" cd-image "$build/demo-cd" signed.exe a.iso
"$orvala" cd-image "$build/demo-cd" signed.exe b.iso
cmp -s a.iso b.iso || fail "two runs give different image bytes"
mkdir expected
cp -R "$build/demo-cd/." expected/
rm -f expected/Instalator.exe expected/autorun.inf expected/.windows-label
cp signed.exe expected/Instalator.exe
printf '[autorun]\r\nopen=Instalator.exe\r\nicon=Instalator.exe,0\r\nlabel=ORVALA\r\n' \
  > expected/autorun.inf
xorriso -no_rc -report_about FAILURE -charset UTF-8 -local_charset UTF-8 -read_fs norock \
  -osirrox on -indev a.iso -extract / back >/dev/null 2>&1 || fail "xorriso cannot read the image"
listing() { (cd "$1" && find . -mindepth 1 \( -type d -printf 'd %p\n' \) -o -printf 'f %s %p\n' |
  LC_ALL=C sort); }
diff <(listing expected) <(listing back) >&2 || fail "the names or sizes read back differ"
diff -r expected back >/dev/null || fail "the bytes read back differ"

# --- The read-back CD, kept for its installation ---------------------------------------------
# e2e.release-cd maps it as drive D: and installs from it (release-cd.scn); it needs Wine, this
# script does not.
rm -rf "$build/release-cd"
cp -R back "$build/release-cd"
chmod -R u+w "$build/release-cd"

[ "$failures" -eq 0 ] && echo "release media: signed, refused, mastered and read back"
exit $((failures > 0))
