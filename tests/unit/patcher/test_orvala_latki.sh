#!/bin/sh
# orvala diff + list-add + apply on real file pairs, as a release engineer runs them.
# Usage: test_orvala_latki.sh ORVALA WORKDIR OLD1 NEW1 [OLD2 NEW2 ...]
set -u
orvala=$1
work=$2
shift 2
rm -rf "$work"
mkdir -p "$work/upd" "$work/tgt" "$work/pairs"
fail() { echo "FAIL: $*" >&2; exit 1; }

# Pairs of the build's own files given on the command line, and made-up ones: an insertion in
# the middle of a program, files sharing no block, a NEW full of one byte, an empty OLD, an
# empty NEW.
i=0
while [ $# -ge 2 ]; do
  i=$((i + 1)); cp "$1" "$work/pairs/old$i"; cp "$2" "$work/pairs/new$i"; shift 2
done
first=$work/pairs/old1
i=$((i + 1)); cp "$first" "$work/pairs/old$i"
size=$(wc -c < "$first"); half=$((size / 2))
{ head -c "$half" "$first"; head -c 1000 /dev/urandom; tail -c +"$((half + 1))" "$first"; } > "$work/pairs/new$i"
i=$((i + 1)); head -c 20000 /dev/urandom > "$work/pairs/old$i"; head -c 30000 /dev/urandom > "$work/pairs/new$i"
i=$((i + 1)); head -c 5000 /dev/urandom > "$work/pairs/old$i"; head -c 70000 /dev/zero > "$work/pairs/new$i"
i=$((i + 1)); : > "$work/pairs/old$i"; head -c 3000 "$first" > "$work/pairs/new$i"
i=$((i + 1)); cp "$first" "$work/pairs/old$i"; : > "$work/pairs/new$i"
count=$i

n=1
while [ $n -le $count ]; do
  lengths=$("$orvala" diff "$work/pairs/old$n" "$work/pairs/new$n" "$work/upd/p$n.pat") || fail "diff of pair $n"
  # shellcheck disable=SC2086
  "$orvala" list-add "$work/upd/info.pth" "p$n.pat" "Plik$n.exe" $lengths || fail "list-add $n"
  cp "$work/pairs/old$n" "$work/tgt/plik$n.exe"   # names are matched case-insensitively
  n=$((n + 1))
done

status=$("$orvala" apply info.pth "$work/upd" "$work/tgt") || fail "apply returned $? (status $status)"
[ "$status" = 0 ] || fail "status $status"
n=1
while [ $n -le $count ]; do
  cmp -s "$work/pairs/new$n" "$work/tgt/plik$n.exe" || fail "pair $n not rebuilt"
  n=$((n + 1))
done
[ ! -e "$work/tgt/tmp25411.tmp" ] || fail "temporary file left"

# Applied again: the files now have other lengths or contents, nothing changes.
cp -r "$work/tgt" "$work/tgt-before"
status=$("$orvala" apply info.pth "$work/upd" "$work/tgt" 2>/dev/null)
[ $? -eq 1 ] && [ "$status" != 0 ] || fail "a second apply reported $status"
diff -r "$work/tgt-before" "$work/tgt" > /dev/null || fail "a failed apply changed files"

# A missing list, bad arguments.
status=$("$orvala" apply nothere.pth "$work/upd" "$work/tgt" 2>/dev/null)
[ "$status" = 255 ] || fail "missing list gave $status"
"$orvala" diff "$first" 2>/dev/null; [ $? -eq 2 ] || fail "diff usage"
"$orvala" list-add "$work/x.pth" a b 1 2 2>/dev/null; [ $? -eq 2 ] || fail "list-add usage"
"$orvala" list-add "$work/x.pth" a b 1 2 x 2>/dev/null; [ $? -eq 2 ] || fail "list-add length"
"$orvala" list-add "$work/x.pth" ../a b 1 2 3 2>/dev/null; [ $? -eq 2 ] || fail "list-add name"
[ ! -e "$work/x.pth" ] || fail "a refused list-add wrote the list"
"$orvala" apply info.pth 2>/dev/null; [ $? -eq 2 ] || fail "apply usage"
rm -rf "$work"
echo "ok: $count pairs"
