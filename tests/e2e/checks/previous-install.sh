#!/usr/bin/env bash
# An earlier installation of the demo CD in C:\Program Files\Orvalis, and checks of what the
# next installation run leaves of it (run-scenario.sh calls "make" for "setup previous-install",
# the others for "after check previous-install MODE").
#
#   make       the target as an earlier run left it: every file of the CD with other bytes (so
#              the first file a run copies replaces one; Trans.chm read-only), an older
#              Orvatr.exe, TrPlikRu.exe and DeInstalator.exe, and the user's own files and
#              folders (one empty); its listing is kept in E2E_WORK
#   same       the target holds exactly what "make" left: names, kinds, read-only or not (the
#              owner's write bit under Wine; Wine itself sets the execute bits of a file renamed
#              to an .exe name, which Windows does not see) and bytes
#   replaced   the package's files are the new ones, the user's are as they were, and no file
#              of the run is left under a backup name
# Environment: E2E_DRIVE_C, E2E_CD, E2E_BUILD, E2E_WORK (set by the harness).
set -uo pipefail

tdir="$E2E_DRIVE_C/Program Files/Orvalis"
listing="$E2E_WORK/previous-install.list"
user_files=(moje.txt Moje/notatki.txt Dane/uwagi.txt)
errors=0
fail() { echo "previous-install check: $*"; errors=$((errors + 1)); }
user_text() { printf "the user's %s\r\n" "$1"; }

# Every entry below the target: kind, writable ("w") or not ("-"), and path; and each file's
# checksum.
describe() {
  (cd "$tdir" && find . -mindepth 1 -printf '%y %M %p\n' |
    awk '{ $2 = substr($2, 3, 1); print }' | LC_ALL=C sort &&
    find . -type f -exec sha256sum {} + | LC_ALL=C sort -k 2)
}

case "${1:-}" in
  make)
    mkdir -p "$tdir/Moje/Puste"
    # The CD's files, each with other bytes: the copy replaces them (the excluded ones stay).
    (cd "$E2E_CD" && find . -type f -printf '%P\n') | while IFS= read -r rel; do
      mkdir -p "$tdir/$(dirname "$rel")"
      printf 'previous %s\r\n' "$rel" > "$tdir/$rel"
    done
    for program in Orvatr.exe TrPlikRu.exe DeInstalator.exe; do
      printf 'previous build of %s\r\n' "$program" > "$tdir/$program"
    done
    for rel in "${user_files[@]}"; do
      user_text "$rel" > "$tdir/$rel"
    done
    chmod a-w "$tdir/Trans.chm"
    describe > "$listing"
    ;;
  same)
    if ! describe | diff "$listing" - >&2; then
      fail "the target is not as the earlier installation left it"
    fi
    ;;
  replaced)
    leftovers=$(find "$tdir" -name '*.orvala-kopia*')
    [ -z "$leftovers" ] || fail "backups left behind: $leftovers"
    for rel in Trans.chm DuzevIv.exe Pomoc/czytaj.txt Dane/Przyklady/tekst1.txt; do
      cmp -s "$E2E_CD/$rel" "$tdir/$rel" || fail "$rel is not the CD's"
    done
    [ -w "$tdir/Trans.chm" ] || fail "Trans.chm is still the read-only earlier file"
    later="$E2E_BUILD/demo/programs/build11"
    for program in Orvatr.exe TrPlikRu.exe DeInstalator.exe; do
      cmp -s "$later/$program" "$tdir/$program" || fail "$program is not the special version"
    done
    for rel in "${user_files[@]}"; do
      cmp -s "$tdir/$rel" <(user_text "$rel") || fail "the user's $rel has changed"
    done
    [ -d "$tdir/Moje/Puste" ] || fail "the user's empty folder is gone"
    ;;
  *)
    echo "previous-install: unknown mode ${1:-}"
    exit 2
    ;;
esac
[ "$errors" -eq 0 ] && echo "previous-install check ${1}: passed"
exit $((errors > 0))
