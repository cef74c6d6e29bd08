#!/usr/bin/env bash
# Instalator.exe imports at start only DLLs that Windows always takes from the system directory
# (its known DLLs), and comctl32, which its manifest redirects to the side-by-side store. Every
# other DLL (VERSION.dll, RichEdit) is loaded later, after the search is restricted to the
# system directory, so nothing planted beside the program is ever loaded.
#
#   imports.sh OBJDUMP INSTALATOR.EXE
set -euo pipefail
objdump=$1 exe=$2
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll ole32.dll msvcrt.dll comctl32.dll "
status=0
while read -r dll; do
  lower=$(tr '[:upper:]' '[:lower:]' <<<"$dll")
  if [[ "$allowed" != *" $lower "* ]]; then
    echo "imports: $dll is imported at start" >&2
    status=1
  fi
done < <("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p')
[ "$status" -eq 0 ] && echo "imports: only known system DLLs"
exit "$status"
