#!/usr/bin/env bash
# `orvala cd-image` on a tree with Polish and Cyrillic names: the image read back through its
# Joliet tree holds the same names, sizes and bytes, the setup program and autorun.inf at the
# root; the same tree copied elsewhere (other times, other order on disk) gives the same bytes;
# trees the image must refuse are refused with the entry named and no image left behind.
#
#   test_cd_image.sh ORVALA
set -euo pipefail
orvala=$1
tmp=$(mktemp -d)
trap 'chmod -R u+w "$tmp"; rm -rf "$tmp"' EXIT
cd "$tmp"
export LANG=C LC_ALL=C  # names are UTF-8 whatever the locale
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

read_back() {  # read_back IMAGE DIR: the Joliet tree of IMAGE extracted into DIR
  xorriso -no_rc -report_about FAILURE -charset UTF-8 -local_charset UTF-8 -read_fs norock \
    -osirrox on -indev "$1" -extract / "$2" >/dev/null 2>&1
}

# --- The tree ------------------------------------------------------------------------------------
long=$(printf 'd%.0s' $(seq 101))  # 101 letters and a character outside the BMP: 103 UTF-16 units
mkdir -p tree/Dane/Słowniki "tree/Справка/Раздел" tree/PustyKatalog
printf 'MZ' > tree/DuzevIv2.exe
printf 'licencja\r\n' > tree/umowapol.txt                   # found without regard to case
printf 'zażółć gęślą jaźń\r\n' > "tree/Dane/Słowniki/Źdźbło.TXT"
printf 'привет\r\n' > "tree/Справка/Раздел/Файл.Txt"
head -c 300000 /dev/urandom > tree/Dane/dane.bin
: > tree/pusty.bin
printf 'x' > "tree/${long}🙂"
printf 'stale' > tree/instalator.exe                        # replaced by SETUP
printf '[autorun]\r\nopen=inny.exe\r\n' > tree/AUTORUN.INF  # replaced by the image's own
printf 'orvala_demo\n' > tree/.windows-label
head -c 5000 /dev/urandom > setup.exe

"$orvala" cd-image tree setup.exe a.iso
mkdir copy
cp -R tree copy/tree  # other times and another creation order on disk
touch -d '2001-02-03 04:05:06' copy/tree/Dane/dane.bin
"$orvala" cd-image copy/tree setup.exe b.iso
cmp -s a.iso b.iso || fail "the same tree gives different image bytes"

# The expected CD: the tree less the names the image replaces, with SETUP and its autorun.inf.
mkdir expected
cp -R tree/. expected/
rm expected/instalator.exe expected/AUTORUN.INF expected/.windows-label
cp setup.exe expected/Instalator.exe
printf '[autorun]\r\nopen=Instalator.exe\r\nicon=Instalator.exe,0\r\nlabel=ORVALA_DEMO\r\n' \
  > expected/autorun.inf
read_back a.iso back || fail "xorriso cannot read the image back"
listing() { (cd "$1" && find . -mindepth 1 -printf '%y %s %p\n' | LC_ALL=C sort); }
if [ "$(listing expected | sed 's/^d [0-9]* /d /')" != "$(listing back | sed 's/^d [0-9]* /d /')" ]; then
  diff <(listing expected) <(listing back) >&2 || true
  fail "the names or sizes read back differ from the tree"
fi
diff -r expected back >/dev/null || fail "the bytes read back differ from the tree"
xorriso -no_rc -indev a.iso -pvd_info 2>/dev/null | grep -q '^Volume Id *: ORVALA_DEMO$' ||
  fail "the volume label is not the tree's .windows-label"

# --- Refusals: one line naming the cause, exit 1, no image ---------------------------------------
refused() {  # refused WHAT EXPECTED-TEXT ARGS...: cd-image ARGS refuses with EXPECTED-TEXT
  local what=$1 expected=$2 status=0
  shift 2
  rm -f out.iso
  "$orvala" cd-image "$@" 2>err.txt || status=$?
  if [ "$status" -ne 1 ] || ! grep -qF -- "$expected" err.txt || [ "$(wc -l < err.txt)" -ne 1 ]; then
    fail "$what: exit $status, $(cat err.txt)"
  fi
  if ls out.iso* >/dev/null 2>&1; then
    fail "$what: an image was left behind"
  fi
}
variant() { rm -rf v && cp -R tree v; }  # a fresh copy of the tree to spoil
variant && rm v/umowapol.txt
refused "no licence" "v has no UmowaPol.txt" v setup.exe out.iso
variant && rm v/DuzevIv2.exe
refused "no program" "v has no DuzevIv.exe or DuzevIv2.exe" v setup.exe out.iso
variant && printf 'x' > "v/Dane/${long}x🙂"
refused "104 UTF-16 units" "v/Dane/${long}x🙂: the name has 104 UTF-16 units" v setup.exe out.iso
variant && printf 'x' > "v/Dane/a:b.txt"
refused "colon in a name" "v/Dane/a:b.txt: Joliet cannot carry" v setup.exe out.iso
variant && ln -s ../umowapol.txt v/Dane/link.txt
refused "a link" "v/Dane/link.txt: a link" v setup.exe out.iso
refused "bad label" "the volume label 'Zła etykieta'" tree setup.exe out.iso --label "Zła etykieta"
refused "image inside the tree" "lies inside the CD tree" tree setup.exe tree/out.iso

[ "$failures" -eq 0 ] && echo "cd-image: image, read-back and refusals as expected"
exit $((failures > 0))
