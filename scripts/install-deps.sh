#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine (run as root), with no
# prompt. Idempotent: packages already present are skipped, and nothing is fetched when all are
# there.
#
#   install-deps.sh           installs what is missing
#   install-deps.sh --check   changes nothing; exit 0 when nothing is missing, 1 otherwise
set -euo pipefail
check=0
[ "${1:-}" = --check ] && check=1

need_i386=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  need_i386=1
fi

packages=(
  cmake ninja-build g++ make pkg-config
  mingw-w64 g++-mingw-w64-i686-win32 gcc-mingw-w64-i686-win32 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-win32 gcc-mingw-w64-x86-64-win32 binutils-mingw-w64-x86-64
  wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick
  fonts-liberation fonts-wine python3-fonttools locales
  clang libclang-rt-14-dev zlib1g-dev libz-mingw-w64-dev googletest libgtest-dev libbenchmark-dev
  clang-format
  nsis xorriso openssl osslsigncode
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

# Locales used by the Wine scenarios (thread locale comes from LANG).
missing_locales=()
for loc in pl_PL ru_RU; do
  if ! locale -a 2>/dev/null | grep -qi "^${loc}\.utf-\?8$"; then
    missing_locales+=("$loc")
  fi
done

if [ $check -eq 1 ]; then
  [ ${#missing[@]} -eq 0 ] && [ $need_i386 -eq 0 ] && [ ${#missing_locales[@]} -eq 0 ]
  exit
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_i386 -eq 1 ]; then
  [ $need_i386 -eq 0 ] || dpkg --add-architecture i386
  export DEBIAN_FRONTEND=noninteractive
  # A mirror in the middle of a sync serves an index that fails its check: try once more, then
  # install from the lists at hand (the install itself still fails when a package is missing).
  if ! apt-get update -qq; then
    sleep 10
    apt-get update -qq || echo "install-deps: some package lists could not be refreshed" >&2
  fi
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

for loc in "${missing_locales[@]}"; do
  sed -i "s/^# *\(${loc}.UTF-8 UTF-8\)/\1/" /etc/locale.gen
  grep -q "^${loc}.UTF-8 UTF-8" /etc/locale.gen || echo "${loc}.UTF-8 UTF-8" >> /etc/locale.gen
  locale-gen >/dev/null
done
