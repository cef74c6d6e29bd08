#!/bin/sh
# orvala texts as a translator reads it: a few messages of every column, exactly as the installer
# shows them (widening table of the language, the untranslated marker, CR LF written \r\n), the
# languages that borrow a column, empty messages left out, and bad arguments (exit 2).
set -u
orvala=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
LC_ALL=C
export LC_ALL

texts() {  # texts LANG: the listing in $dir/LANG
  "$orvala" texts "$1" >"$dir/$1" 2>"$dir/err" || fail "texts $1 exited $?: $(cat "$dir/err")"
}
# has LANG LINE: the listing of LANG holds LINE (ID, a tab, the text) exactly.
has() {
  grep -qxF -- "$2" "$dir/$1" || fail "texts $1 lacks: $2 (has: $(grep -F -- "${2%%	*}	" "$dir/$1"))"
}
tab='	'

for language in 0 1 2 3 4 5 6 7 9 129; do texts $language; done

# Polish (Windows-1250, Central European widening); line breaks escaped.
has 0 "3${tab}<<  Wstecz"
has 0 "10${tab}Język"
has 0 "133${tab}Instaluj moduł tłumaczący dla Microsoft Word"
has 0 "129${tab}We wskazanej lokalizacji jest zbyt mało miejsca do zainstalowania programu.\\r\\nCzy chcesz kontynuować ?"
# English: an apostrophe shows as U+2032; an untranslated cell is "×" and the Polish bytes
# widened as Windows-1252.
has 1 "10${tab}Language"
has 1 "130${tab}Directory ′%s′ cannot be created. Select another directory."
has 1 "133${tab}×Instaluj modu³ t³umacz¹cy dla Microsoft Word"
# French, German, Italian, Spanish: every cell untranslated.
for language in 2 3 4 5; do
  has $language "3${tab}×<<  Wstecz"
  has $language "10${tab}×Jêzyk"
done
# Russian: from the storage form to Cyrillic, with "%d" and "%s" kept.
has 6 "10${tab}Язык"
has 6 "21${tab}Шаг %d из %d: %s"
has 6 "130${tab}Невозможно создать папку «%s».\\r\\nВыберите другую папку."
# Hungarian has the Polish texts; language 9 the Polish column through the common table alone;
# 129 the English column (low seven bits) through the common table.
cmp -s "$dir/0" "$dir/7" || fail "Hungarian differs from Polish"
has 9 "10${tab}Jêzyk"
has 129 "10${tab}Language"
has 129 "130${tab}Directory ′%s′ cannot be created. Select another directory."

# Empty messages are left out; ids come in ascending order; nothing but ID<TAB>text.
for language in 0 6; do
  grep -q "^11${tab}" "$dir/$language" && fail "texts $language lists the empty message 11"
  cut -f1 "$dir/$language" | sort -n -c -u || fail "texts $language out of order or repeated"
  grep -vq "^[0-9][0-9]*${tab}." "$dir/$language" && fail "texts $language: a line is not ID<TAB>text"
  [ "$(wc -l <"$dir/$language")" -ge 50 ] || fail "texts $language lists too few messages"
done

# Bad arguments.
for args in "" "256" "1x" "-1" "0 1"; do
  # shellcheck disable=SC2086
  "$orvala" texts $args >"$dir/out" 2>"$dir/err"
  rc=$?
  [ "$rc" = 2 ] || fail "texts '$args' gave $rc, wanted 2"
  [ -s "$dir/out" ] && fail "texts '$args' printed texts"
done
echo "orvala texts: all checks passed"
