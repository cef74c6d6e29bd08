#!/usr/bin/env bash
# Assembles the demo package's CD trees from the committed sources and the built programs.
#
#   assemble-cd.sh OUTDIR DUZEVIV SLZEWRU SLZEWPL INSTALATOR
#
# Writes:
#   OUTDIR/demo-cd/         the CD: recognition program, licences (Polish in Windows-1250,
#                           Russian in Windows-1251), dictionaries, help files, folders, and the
#                           names the exclusion list must skip (autorun.inf, Instalator.exe)
#   OUTDIR/demo-cd-upper/   the same CD with the Polish licence named "UMOWAPOL.TXT"
#   OUTDIR/demo-cd-extras/  files kept aside for scenarios: the Russian licence in UTF-16LE with
#                           its byte-order mark
# Text sources are UTF-8 with LF; the CD gets CR LF line breaks and the 8-bit code pages.
set -euo pipefail
out=$1 duzeviv=$2 slzewru=$3 slzewpl=$4 instalator=$5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

crlf() { sed 's/$/\r/'; }

dictionary() {  # dictionary ENTRY...: 1,500 rounds of the entries, numbered
  local i entry
  for i in $(seq 1500); do
    for entry in "$@"; do
      printf '%b-%d\n' "$entry" "$i"
    done
  done | crlf
}

assemble() {  # assemble DIR POLISH-LICENCE-NAME
  local cd=$1 polish=$2
  rm -rf "$cd.tmp"
  mkdir -p "$cd.tmp"
  cp -R "$here/tree/." "$cd.tmp/"
  cp "$duzeviv" "$cd.tmp/DuzevIv.exe"
  cp "$slzewru" "$cd.tmp/SlZewRu.exe"
  cp "$slzewpl" "$cd.tmp/SlZewPl.exe"
  cp "$instalator" "$cd.tmp/Instalator.exe"
  crlf < "$here/teksty/UmowaPol.txt" | iconv -f UTF-8 -t WINDOWS-1250 > "$cd.tmp/$polish"
  crlf < "$here/teksty/umowaru.txt" | iconv -f UTF-8 -t WINDOWS-1251 > "$cd.tmp/umowaru.txt"
  # Dictionary data: "headword<TAB>translation" lines in UTF-8, repeated with numbered
  # headwords so that the two files weigh about 0.15 MB together: unchecking the dictionaries
  # box visibly lowers the required space.
  dictionary 'dom\tдом' 'książka\tкнига' 'słownik\tсловарь' > "$cd.tmp/polrus.sz"
  dictionary 'дом\tdom' 'книга\tksiążka' 'словарь\tsłownik' > "$cd.tmp/ruspol.sz"
  # Help files: small placeholders in place of compiled help.
  for help in Trans Sl_Zew rus_gram; do
    printf 'Orvala Pakiet: %s help placeholder\r\n' "$help" > "$cd.tmp/$help.chm"
  done
  rm -rf "$cd"
  mv "$cd.tmp" "$cd"
}

mkdir -p "$out"
assemble "$out/demo-cd" UmowaPol.txt
assemble "$out/demo-cd-upper" UMOWAPOL.TXT

extras="$out/demo-cd-extras"
rm -rf "$extras"
mkdir -p "$extras"
{
  printf '\xff\xfe'
  crlf < "$here/teksty/umowaru.txt" | iconv -f UTF-8 -t UTF-16LE
} > "$extras/umowaru-utf16.txt"
