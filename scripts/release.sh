#!/usr/bin/env bash
# The release command: Instalator.exe built with a payload, signed when a certificate is named,
# and the CD image with it.
#
#   scripts/release.sh PAYLOAD_DIR CD_TREE OUT_DIR
#
#   PAYLOAD_DIR   Orvatr.exe (the main program, first build) and special/ with the later builds
#                 Orvatr.exe, TrIntRu.exe, TrPlikRu.exe and DeInstalator.exe
#   CD_TREE       the CD's files, without the setup program (the image gets it as Instalator.exe,
#                 with an autorun.inf that starts it); the label from its .windows-label
#   OUT_DIR       receives Instalator.exe, Orvala.iso and SHA256SUMS
#
# Signing (scripts/sign.sh): ORVALA_SIGN_PKCS12 and ORVALA_SIGN_PASSWORD_FILE name the
# certificate and its password, ORVALA_SIGN_TIMESTAMP_URL an optional time-stamp server. Without
# them OUT_DIR/Instalator.exe is the reproducible unsigned build.
#
# It installs what is missing, builds the host tool (build/host) and the setup program with the
# payload (build/release), and prints one line per stage, the output of each in build/logs/
# (release-*.log). The certificate and the CD tree are checked before anything is built. The
# three files are made in a folder beside OUT_DIR and moved into it only when all are there: a
# failure leaves OUT_DIR as it was. A bad argument: one line on stderr, exit 2, nothing written.
set -euo pipefail

bad() {
  echo "release: $*" >&2
  exit 2
}
[ $# -eq 3 ] || bad "usage: scripts/release.sh PAYLOAD_DIR CD_TREE OUT_DIR"
payload=$1 cd_tree=$2 out=$3
[ -d "$payload" ] || bad "PAYLOAD_DIR $payload is not a folder"
for file in Orvatr.exe special/Orvatr.exe special/TrIntRu.exe special/TrPlikRu.exe \
  special/DeInstalator.exe; do
  [ -f "$payload/$file" ] || bad "PAYLOAD_DIR $payload has no $file"
done
[ -d "$cd_tree" ] || bad "CD_TREE $cd_tree is not a folder"
[ ! -e "$out" ] || [ -d "$out" ] || bad "OUT_DIR $out exists and is not a folder"
[ -d "$(dirname "$out")" ] || bad "the folder of OUT_DIR $out does not exist"
if { [ -n "${ORVALA_SIGN_PKCS12:-}" ] && [ -z "${ORVALA_SIGN_PASSWORD_FILE:-}" ]; } ||
  { [ -z "${ORVALA_SIGN_PKCS12:-}" ] && [ -n "${ORVALA_SIGN_PASSWORD_FILE:-}" ]; }; then
  bad "ORVALA_SIGN_PKCS12 and ORVALA_SIGN_PASSWORD_FILE go together: set both or neither"
fi
payload=$(cd "$payload" && pwd)
cd_tree=$(cd "$cd_tree" && pwd)
out=$(cd "$(dirname "$out")" && pwd)/$(basename "$out")
for var in ORVALA_SIGN_PKCS12 ORVALA_SIGN_PASSWORD_FILE; do
  if [ -n "${!var:-}" ] && [ "${!var#/}" = "${!var}" ]; then
    export "$var=$(pwd)/${!var}"  # the stages run from the project root
  fi
done

source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
release_dir="$root/build/release"
tool="$root/build/host/tools/orvala/orvala"
signing=0
[ -z "${ORVALA_SIGN_PKCS12:-}" ] || signing=1

staging=$(mktemp -d "$(dirname "$out")/.release.XXXXXX")
trap 'rm -rf "$staging"' EXIT

finish() {
  local status=$1
  summary
  if [ "$status" -eq 0 ]; then
    echo "release:       $out"
    (cd "$out" && stat -c '  %n (%s bytes)' Instalator.exe Orvala.iso SHA256SUMS)
  fi
  exit "$status"
}

host_tool() { cmake --preset host && cmake --build --preset host --target orvala -j"$jobs"; }
release_build() {
  cmake -S "$root" -B "$release_dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DORVALA_PAYLOAD_DIR="$payload" -DORVALA_HOST_ORVALA="$tool" &&
    cmake --build "$release_dir" --target Instalator -j"$jobs"
}
unsigned() { cp "$release_dir/Instalator.exe" "$staging/Instalator.exe"; }
signed() { scripts/sign.sh "$release_dir/Instalator.exe" "$staging/Instalator.exe"; }
image() { "$tool" cd-image "$cd_tree" "$staging/Instalator.exe" "$staging/Orvala.iso"; }
checksums() { (cd "$staging" && sha256sum Instalator.exe Orvala.iso >SHA256SUMS); }
deliver() {
  mkdir -p "$out" &&
    mv -f "$staging/Instalator.exe" "$staging/Orvala.iso" "$staging/SHA256SUMS" "$out/"
}

install_dependencies || finish 1
stage "release host tool" host_tool || finish 1
stage "release CD tree check" "$tool" cd-image --check "$cd_tree" || finish 1
if [ "$signing" -eq 1 ]; then
  stage "release certificate check" scripts/sign.sh --check || finish 1
fi
stage "release build" release_build || finish 1
if [ "$signing" -eq 1 ]; then
  stage "release signature" signed || finish 1
else
  stage "release unsigned" unsigned || finish 1
fi
stage "release CD image" image || finish 1
stage "release checksums" checksums || finish 1
stage "release output" deliver || finish 1
finish 0
