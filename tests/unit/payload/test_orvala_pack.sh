#!/bin/sh
# orvala pack / unpack as the release engineer uses them: round trips, splitting into parts,
# refusals (exit 1 with one line) and bad arguments (exit 2).
set -u
orvala=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
expect_rc() { want=$1; shift; "$@" >"$dir/out" 2>"$dir/err"; rc=$?; [ "$rc" = "$want" ] || fail "$* gave $rc, wanted $want: $(cat "$dir/err")"; }

head -c 300000 "$orvala" > "$dir/in"
: > "$dir/empty"
printf 'x' > "$dir/one"

for f in in empty one; do
  expect_rc 0 "$orvala" pack "$dir/$f" "$dir/$f.p"
  expect_rc 0 "$orvala" unpack "$dir/$f.p" "$dir/$f.back"
  cmp -s "$dir/$f" "$dir/$f.back" || fail "$f does not round-trip"
done

# Three forced parts, concatenated, give the file back; so do parts forced by the capacity.
expect_rc 0 "$orvala" pack --parts 3 "$dir/in" "$dir/P"
for x in A B C; do expect_rc 0 "$orvala" unpack "$dir/P$x" "$dir/P$x.out"; done
cat "$dir/PA.out" "$dir/PB.out" "$dir/PC.out" | cmp -s - "$dir/in" || fail "three parts"
expect_rc 0 "$orvala" pack --capacity 150000 "$dir/in" "$dir/Q"
[ -f "$dir/QA" ] && [ -f "$dir/QB" ] && [ ! -f "$dir/QC" ] || fail "two parts by capacity"
expect_rc 0 "$orvala" unpack --capacity 150000 "$dir/QA" "$dir/QA.out"
expect_rc 1 "$orvala" unpack --capacity 149999 "$dir/QA" "$dir/QA.out"
grep -q "more than the output capacity" "$dir/err" || fail "capacity reason"
# More than three parts would be needed: the message names the real limit.
expect_rc 1 "$orvala" pack --capacity 99999 "$dir/in" "$dir/R"
grep -q "300000 bytes do not fit: a payload program has at most 3 parts of 99999 bytes, 299997 bytes in all" "$dir/err" || fail "limit of three parts: $(cat "$dir/err")"
expect_rc 1 "$orvala" pack --parts 2 --capacity 149999 "$dir/in" "$dir/R"
grep -q "in the 2 parts asked for: at most 149999 bytes each, 299998 bytes in all" "$dir/err" || fail "limit of the parts asked for: $(cat "$dir/err")"
expect_rc 0 "$orvala" pack --capacity 100000 "$dir/in" "$dir/T"
[ -f "$dir/TC" ] || fail "three parts fill the capacity exactly"
expect_rc 0 "$orvala" pack --capacity 18446744073709551615 "$dir/in" "$dir/U"
[ -f "$dir/U" ] || fail "the largest capacity is one part"

# A part cut short, and garbage: exit 1 with one line.
head -c 100 "$dir/in.p" > "$dir/cut"
expect_rc 1 "$orvala" unpack "$dir/cut" "$dir/cut.out"
[ "$(wc -l < "$dir/err")" = 1 ] || fail "one-line reason"
expect_rc 1 "$orvala" unpack "$dir/empty" "$dir/x"
expect_rc 1 "$orvala" unpack "$dir/missing" "$dir/x"

# Bad arguments.
expect_rc 2 "$orvala" pack
expect_rc 2 "$orvala" pack --parts 4 "$dir/in" "$dir/S"
expect_rc 2 "$orvala" pack --parts 0 "$dir/in" "$dir/S"
expect_rc 2 "$orvala" pack --capacity x "$dir/in" "$dir/S"
expect_rc 2 "$orvala" unpack "$dir/in.p"
expect_rc 2 "$orvala" unpack --bogus "$dir/in.p" "$dir/x"
echo "orvala pack/unpack: all checks passed"
