#!/usr/bin/env bash
# Instalator.exe is reproducible: its resources compiled again and the program linked again into
# another folder give the same bytes, and so does its chief unit compiled again to another
# object path. (Time stamps are kept out by --no-insert-timestamp and windres; build paths by
# -ffile-prefix-map.) Cheap: only windres, one compile and the link run again. It compares
# with the build's own outputs, so it runs after a complete build of Instalator.
#
#   reproducible.sh BUILD-DIR
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$build"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

commands=$(ninja -t commands Instalator)
link=$(grep -F -- '-o Instalator.exe' <<<"$commands")
n=0
while IFS= read -r windres; do
  n=$((n + 1))
  out=${windres##* }
  bash -c "${windres% *} $tmp/r$n.res"
  link=${link//" $out "/" $tmp/r$n.res "}
done < <(grep -E '^[^ ]*windres .* resources/(main|dialogs|payload)/CMakeFiles/' <<<"$commands")
[ "$n" -ge 2 ] || { echo "reproducible: resource commands not found" >&2; exit 1; }
bash -c "${link/"-o Instalator.exe"/"-o $tmp/Instalator.exe"}"
same() {  # same BUILT AGAIN: the bytes agree (run after a complete build of Instalator)
  cmp "$1" "$2" || { echo "reproducible: $1 differs when built again" >&2; exit 1; }
}
same Instalator.exe "$tmp/Instalator.exe"

compile=$(grep -E -- ' -c [^ ]*/src/app/untMain\.cpp$' <<<"$commands")
object=$(sed -E 's/.* -o ([^ ]+) -c .*/\1/' <<<"$compile")
compile=${compile/" -o $object "/" -o $tmp/untMain.obj "}
compile=$(sed -E "s# -MF [^ ]+# -MF $tmp/untMain.d#" <<<"$compile")
bash -c "$compile"
same "$object" "$tmp/untMain.obj"
echo "Instalator.exe and its chief unit are reproducible ($(stat -c %s Instalator.exe) bytes)"
