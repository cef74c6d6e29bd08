#!/usr/bin/env bash
# Authenticode signature of the setup program with osslsigncode (SHA-256), the package's title
# and web address as the signed description. The certificate comes from the environment:
#
#   ORVALA_SIGN_PKCS12          the PKCS#12 file with the code-signing certificate, its private
#                               key and the certificates of its chain
#   ORVALA_SIGN_PASSWORD_FILE   a file whose first line is the PKCS#12 password
#   ORVALA_SIGN_TIMESTAMP_URL   optional: an RFC 3161 time-stamp server, so that the signature
#                               stays valid after the certificate expires
#   ORVALA_SIGN_URL             optional: the web address in the signed description (the
#                               package's page by default)
#
#   scripts/sign.sh --check     checks the certificate: readable, the password right, a private
#                               key inside, valid now, meant for code signing
#   scripts/sign.sh IN OUT      checks, signs IN and verifies the signature against the
#                               certificate's chain (and the system's certificate authorities);
#                               OUT is written only when the signature verifies
#
# A failure prints one line naming the cause on stderr and exits 1; 2 for a bad argument.
set -euo pipefail

package_title="Orvala Pakiet"
package_url=${ORVALA_SIGN_URL:-https://www.vertal.pl/orvala/}
system_cas=/etc/ssl/certs/ca-certificates.crt

fail() { echo "sign: $*" >&2; exit 1; }

p12=${ORVALA_SIGN_PKCS12:-}
password=${ORVALA_SIGN_PASSWORD_FILE:-}
timestamp=${ORVALA_SIGN_TIMESTAMP_URL:-}

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# openssl pkcs12 with the password of the file; certificates in PKCS#12 files of older tools are
# encrypted with algorithms OpenSSL 3 keeps in its legacy provider.
pkcs12() {
  openssl pkcs12 -in "$p12" -passin "file:$password" "$@" 2>"$tmp/openssl.err" ||
    openssl pkcs12 -legacy -in "$p12" -passin "file:$password" "$@" 2>>"$tmp/openssl.err"
}

check_certificate() {
  [ -n "$p12" ] && [ -n "$password" ] ||
    fail "ORVALA_SIGN_PKCS12 and ORVALA_SIGN_PASSWORD_FILE must both name a file"
  [ -f "$p12" ] && [ -r "$p12" ] || fail "cannot read the certificate $p12 (ORVALA_SIGN_PKCS12)"
  [ -f "$password" ] && [ -r "$password" ] ||
    fail "cannot read the password file $password (ORVALA_SIGN_PASSWORD_FILE)"
  if ! pkcs12 -nokeys -clcerts -out "$tmp/leaf.pem"; then
    if grep -qi 'invalid password\|mac verify' "$tmp/openssl.err"; then
      fail "wrong password for the certificate $p12 (ORVALA_SIGN_PASSWORD_FILE)"
    fi
    fail "cannot read the certificate $p12: not a PKCS#12 file"
  fi
  # The key only passes through the pipe; it is never written to disk.
  pkcs12 -nocerts -nodes | grep -c 'PRIVATE KEY' >/dev/null ||
    fail "the certificate $p12 holds no private key"
  openssl x509 -in "$tmp/leaf.pem" -noout 2>/dev/null ||
    fail "the certificate $p12 holds no certificate of its own"
  local from until
  from=$(openssl x509 -in "$tmp/leaf.pem" -noout -startdate | sed 's/^notBefore=//')
  until=$(openssl x509 -in "$tmp/leaf.pem" -noout -enddate | sed 's/^notAfter=//')
  openssl x509 -in "$tmp/leaf.pem" -noout -checkend 0 >/dev/null ||
    fail "the certificate $p12 expired on $until"
  [ "$(date -u -d "$from" +%s)" -le "$(date -u +%s)" ] ||
    fail "the certificate $p12 is valid only from $from"
  local usage
  usage=$(openssl x509 -in "$tmp/leaf.pem" -noout -ext extendedKeyUsage 2>/dev/null || true)
  if [ -n "$usage" ] && ! grep -q 'Code Signing' <<<"$usage"; then
    fail "the certificate $p12 is not meant for code signing (its extended key usage lacks it)"
  fi
}

sign() {
  local in=$1 out=$2
  [ -f "$in" ] || { echo "sign: $in is not a file" >&2; exit 2; }
  check_certificate
  local signed="$out.signing"
  rm -f "$signed"
  local args=(sign -pkcs12 "$p12" -readpass "$password" -h sha256 -n "$package_title"
              -i "$package_url" -in "$in" -out "$signed")
  [ -z "$timestamp" ] || args+=(-ts "$timestamp")
  osslsigncode "${args[@]}" >"$tmp/sign.log" 2>&1 || {
    rm -f "$signed"
    local reason
    reason=$(grep -m 1 -E 'HTTP failure|timestamping failed' "$tmp/sign.log" ||
      grep -v '^$' "$tmp/sign.log" | tail -n 1)
    fail "osslsigncode could not sign $in: $reason"
  }
  # Verified against the chain the certificate brings and the system's authorities.
  pkcs12 -nokeys -cacerts -out "$tmp/chain.pem" || : >"$tmp/chain.pem"
  cat "$tmp/chain.pem" >"$tmp/cas.pem"
  [ ! -f "$system_cas" ] || cat "$system_cas" >>"$tmp/cas.pem"
  local check=(verify -in "$signed" -CAfile "$tmp/cas.pem")
  [ -z "$timestamp" ] || check+=(-TSA-CAfile "$tmp/cas.pem")  # the time stamp's authority too
  if ! osslsigncode "${check[@]}" >"$tmp/verify.log" 2>&1 ||
    ! grep -q '^Signature verification: ok' "$tmp/verify.log"; then
    rm -f "$signed"
    fail "the signature of $in does not verify: $(grep -i -m 1 'error\|fail' "$tmp/verify.log")"
  fi
  mv -f "$signed" "$out"
}

case "${1:-}" in
  --check) [ $# -eq 1 ] || { echo "usage: scripts/sign.sh --check | IN OUT" >&2; exit 2; }
    check_certificate ;;
  *) [ $# -eq 2 ] || { echo "usage: scripts/sign.sh --check | IN OUT" >&2; exit 2; }
    sign "$1" "$2" ;;
esac
