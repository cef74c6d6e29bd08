#!/usr/bin/env bash
# Instalator.exe starts on Windows XP SP3: every function it imports at load exists there. Each
# import is compiled as a reference against the Windows headers with the NT 5.2 target
# (_WIN32_WINNT 0x0502: XP SP3's API is the same as that of Server 2003 SP1 for what a 32-bit
# program imports); a function those headers declare only for Vista or later
# (GetTickCount64) fails the test, as it would fail the program's start on XP ("entry point
# not found"). The C runtime's start-up entry points, which no header declares, are checked
# against the list of those XP's msvcrt.dll exports. The start's SetErrorMode (no system box
# for a drive without a disc) must be among the imports.
#
#   imports-xp.sh OBJDUMP CC INSTALATOR.EXE
set -euo pipefail
objdump=$1 cc=$2 exe=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# msvcrt.dll start-up entry points of the runtime (present from Windows NT 4 on).
crt_startup=" __set_app_type __wgetmainargs __getmainargs __p__fmode __p__commode __p__wcmdln
  __p__acmdln __winitenv __initenv __setusermatherr _amsg_exit _initterm _cexit _onexit
  __dllonexit __mb_cur_max _iob _lock _unlock "

"$objdump" -p "$exe" | awk '/DLL Name:/ { dll = tolower($3) }
  dll != "" && /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' > "$work/imports"
[ -s "$work/imports" ] || { echo "imports-xp: no imports read from $exe" >&2; exit 1; }

{
  echo '#define _WIN32_WINNT 0x0502'
  echo '#define WINVER 0x0502'
  echo '#define __MSVCRT_VERSION__ 0x0700'
  for h in windows.h commctrl.h shlobj.h shellapi.h objbase.h richedit.h sddl.h stdio.h stdlib.h \
           string.h wchar.h locale.h signal.h setjmp.h process.h io.h errno.h; do
    echo "#include <$h>"
  done
  while read -r dll name; do
    [ "$dll" = msvcrt.dll ] && [[ "$crt_startup" == *" $name "* ]] && continue
    echo "void *ref_$name = (void *)&$name;"
  done < "$work/imports"
} > "$work/refs.c"

status=0
if ! grep -qx 'kernel32.dll SetErrorMode' "$work/imports"; then
  echo "imports-xp: kernel32.dll!SetErrorMode is not imported: the system's error boxes stay on" >&2
  status=1
fi
if ! LC_ALL=C "$cc" -fsyntax-only -Wno-error "$work/refs.c" 2> "$work/errors"; then
  grep -o "'[A-Za-z0-9_]*' undeclared" "$work/errors" | tr -d "'" | awk '{ print $1 }' |
    sort -u > "$work/missing" || true
  while read -r name; do
    echo "imports-xp: $(grep " $name$" "$work/imports" | head -n 1 | tr ' ' '!') is not declared for Windows XP" >&2
  done < "$work/missing"
  [ -s "$work/missing" ] || cat "$work/errors" >&2
  status=1
fi
[ "$status" -eq 0 ] && echo "imports-xp: all $(wc -l < "$work/imports") imports exist on Windows XP SP3"
exit "$status"
