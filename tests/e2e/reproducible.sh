#!/usr/bin/env bash
# Instalator.exe builds the same from any folder: the sources are copied to another folder, built
# there into yet another build folder (other names, other depth), and the setup program and the
# payload programs of that build must equal the bytes of BUILD-DIR's. Time stamps are kept out
# by --no-insert-timestamp and windres; build paths by -ffile-prefix-map and by linking without
# symbols. The packing tool of BUILD-DIR packs the payload of the second build too (it is a host
# program; what it writes depends only on the files it packs). Runs after a complete build.
#
#   reproducible.sh BUILD-DIR SOURCE-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

cache() {  # cache NAME: a value of BUILD-DIR's CMake cache
  sed -n -E "s/^$1:[A-Z]+=(.*)$/\1/p" "$build/CMakeCache.txt"
}
tool=$(cache ORVALA_HOST_ORVALA)
[ -n "$tool" ] || tool="$build/host-tools/tools/orvala/orvala"
[ -x "$tool" ] || { echo "reproducible: no packing tool at $tool" >&2; exit 1; }

# The sources as they are (changes not yet committed included), without any build folder.
copy="$tmp/elsewhere/sources"
mkdir -p "$copy"
if git -C "$source" rev-parse --show-toplevel >/dev/null 2>&1; then
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do
      if [ -e "$file" ]; then cp --parents -P -t "$copy" "$file"; fi  # not a deleted one
    done)
else
  tar -C "$source" --exclude=./build --exclude=./out -cf - . | tar -C "$copy" -xf -
fi

again="$tmp/b2"
cmake -S "$copy" -B "$again" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$copy/cmake/toolchain-mingw32.cmake" \
  -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" \
  -DORVALA_PAYLOAD_DIR="$(cache ORVALA_PAYLOAD_DIR)" \
  -DORVALA_HOST_ORVALA="$tool" >"$tmp/configure.log" 2>&1 ||
  { tail -n 30 "$tmp/configure.log" >&2; exit 1; }
cmake --build "$again" --target Instalator -j"${ORVALA_JOBS:-2}" >"$tmp/build.log" 2>&1 ||
  { tail -n 30 "$tmp/build.log" >&2; exit 1; }

status=0
same() {  # same PATH: the file at PATH in both build folders has the same bytes
  if cmp -s "$build/$1" "$again/$1"; then
    echo "same: $1"
  else
    echo "reproducible: $1 differs when built in another folder" >&2
    status=1
  fi
}
same Instalator.exe
if [ -z "$(cache ORVALA_PAYLOAD_DIR)" ]; then
  for program in build1/Orvatr.exe build11/Orvatr.exe build11/TrIntRu.exe build11/TrPlikRu.exe \
    build11/DeInstalator.exe; do
    same "demo/programs/$program"
  done
fi
[ "$status" -eq 0 ] &&
  echo "Instalator.exe ($(stat -c %s "$build/Instalator.exe") bytes) is the same built from another folder"
exit "$status"
