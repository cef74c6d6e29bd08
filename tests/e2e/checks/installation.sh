#!/usr/bin/env bash
# Checks the machine after an installation run of the demo CD (called by run-scenario.sh for
# "after check installation KEY=VALUE ...").
#
#   target=C:\Program Files\Orvalis   the target directory
#   outcome=success|partial           success: everything below; partial: the run failed after
#                                     copying some files (they stay, no registry entries)
#   lang=0|6                          interface language written to the registry
#   dictionaries=1|0                  the dictionaries option
#   group=1|0 translators=1|0 dictlinks=1|0 allusers=0|1   the shortcut options
#   font=arial|tahoma                 the interface font (font values in the component keys)
#   displayname=TEXT                  the uninstall entry's display name (UTF-8); the entry's
#                                     other values are checked too, and Wine's list of installed
#                                     programs must show it and start the uninstaller with it
#   groupname=TEXT                    the Start-menu group folder (UTF-8)
#   ocx=copied                        comctl32.ocx of the CD copied into the system directory
#   dll=kept                          the system's comctl32.dll left as it was
#   patched=NAME:EXPECTED-FILE        NAME in the target equals EXPECTED-FILE (relative to the
#                                     CD folder), not the CD's NAME
#   acp=1250|1251                     the system's ANSI code page, in which links keep the path
#   description=TEXT                  a link of the group has TEXT (UTF-8) as its description,
#                                     stored in UTF-16 as IShellLinkW reads it back
#   source=folder                     the CD's files were taken from its folder as the program
#                                     saw it (Z:\...\), not from drive D:
#   wow64=1                           64-bit Windows: the machine's keys in the 32-bit view
#                                     (Wow6432Node) and none in the 64-bit one, the shared
#                                     components in the 32-bit system folder (syswow64)
# Environment: E2E_DRIVE_C, E2E_CD, E2E_BUILD, E2E_WORK, WINEPREFIX (set by the harness).
set -uo pipefail

target='C:\Program Files\Orvalis' outcome=success lang=0 dictionaries=1 group=1 translators=1
dictlinks=1 allusers=0 font=arial displayname='Orvala Pakiet' groupname='Orvala Pakiet' ocx= dll=
patched=() acp=1250 description= wow64=0 source=drive
for arg in "$@"; do
  key=${arg%%=*} value=${arg#*=}
  case "$key" in
    patched) patched+=("$value") ;;
    target | outcome | lang | dictionaries | group | translators | dictlinks | allusers | font | \
      displayname | groupname | ocx | dll | acp | description | wow64 | source)
      printf -v "$key" '%s' "$value" ;;
    *) echo "installation check: unknown argument $arg"; exit 2 ;;
  esac
done

errors=0
fail() { echo "installation check: $*"; errors=$((errors + 1)); }
host_path() { local p=${1#C:\\}; printf '%s/%s' "$E2E_DRIVE_C" "${p//\\//}"; }
lower() { tr '[:upper:]' '[:lower:]'; }

tdir=$(host_path "$target")
[ -d "$tdir" ] || { fail "the target $target is missing"; exit 1; }

# --- Registry, exported once per root ---------------------------------------------------------
export_key() {  # export_key ROOT\KEY OUT: the key as UTF-8 text, empty when missing
  local file="$E2E_WORK/check-export.reg"
  rm -f "$file"
  setsid wine reg export "$1" "$(winepath -w "$file" 2>/dev/null)" /y $view </dev/null \
    >/dev/null 2>&1
  if [ -s "$file" ]; then iconv -f UTF-16 -t UTF-8 "$file" | tr -d '\r' > "$2"; else : > "$2"; fi
}
# value FILE SECTION NAME: the raw value text after '=' ("..." or dword:...), or nothing.
value() {
  awk -v want="[$2]" -v name="\"$3\"" '
    /^\[/ { inside = (tolower($0) == tolower(want)); next }
    inside && index($0, name "=") == 1 { print substr($0, length(name) + 2); exit }' "$1"
}
expect_value() {  # expect_value FILE SECTION NAME EXPECTED
  local got
  got=$(value "$1" "$2" "$3")
  [ "$got" = "$4" ] || fail "[$2] $3 is '${got}', expected '$4'"
}
dword() { printf 'dword:%08x' "$1"; }
regstr() { local s=${1//\\/\\\\}; s=${s//\"/\\\"}; printf '"%s"' "$s"; }

# The machine's software keys of a 32-bit program: on 64-bit Windows its own view of them, read
# here through the 64-bit view, where both are seen by their true names.
machine='Software' view=
[ "$wow64" = 1 ] && machine='Software\Wow6432Node' view=/reg:64
reg_cu="$E2E_WORK/check-hkcu.txt" reg_lm="$E2E_WORK/check-hklm.txt"
export_key 'HKCU\Software\Vertal' "$reg_cu"
export_key "HKLM\\$machine\\Vertal" "$reg_lm"
un_cu="$E2E_WORK/check-un-cu.txt" un_lm="$E2E_WORK/check-un-lm.txt"
uninstall='Microsoft\Windows\CurrentVersion\Uninstall\Orvala'
export_key "HKCU\\Software\\$uninstall" "$un_cu"
export_key "HKLM\\$machine\\$uninstall" "$un_lm"
pkg_cu='HKEY_CURRENT_USER\Software\Vertal\Orvala' pkg_lm="HKEY_LOCAL_MACHINE\\$machine\\Vertal\\Orvala"
if [ "$wow64" = 1 ]; then
  view64="$E2E_WORK/check-hklm64.txt"
  export_key 'HKLM\Software\Vertal' "$view64"
  [ -s "$view64" ] && fail "the package key is in the 64-bit view of the machine's keys"
  export_key "HKLM\\Software\\$uninstall" "$view64"
  [ -s "$view64" ] && fail "the uninstall entry is in the 64-bit view of the machine's keys"
fi

if [ "$outcome" = partial ]; then
  [ -n "$(ls -A "$tdir")" ] || fail "the files copied before the failure are gone"
  [ -z "$(value "$reg_cu" "$pkg_cu" Katalog)" ] || fail "the package key was written"
  [ -s "$un_cu" ] && fail "an uninstall entry was written"
  [ "$errors" -eq 0 ] && echo "installation check: passed (partial)"
  exit $((errors > 0))
fi

# --- The copied tree: the CD less the exclusion list ------------------------------------------
excluded="<umowapol.txt><umowaang.txt><umowadeu.txt><umowafr.txt><instalator.exe><instaluj.exe>"
excluded+="<instalka.exe><autorun.inf><comctl32.dll><comctl32.ocx><divev.ttf><sapi51tts.exe>"
excluded+="<syntezamowy.exe><start.exe><pold.so><rusd.so><polm.so><rusm.so><orvatr.exe>"
[ "$dictionaries" = 1 ] || excluded+="<slzewru.exe><slzewpl.exe><ruspol.sz><polrus.sz>"
is_excluded() {  # any component of the relative path on the list
  local part
  IFS=/ read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    [[ $excluded == *"<$(lower <<<"$part")>"* ]] && return 0
  done
  return 1
}
declare -A replaced=([orvatr.exe]=1 [trintru.exe]=1 [trplikru.exe]=1 [deinstalator.exe]=1)
declare -A patchfile=()
for p in "${patched[@]+"${patched[@]}"}"; do patchfile[$(lower <<<"${p%%:*}")]=${p#*:}; done
declare -A expected=()
required=2100000  # the main program's allowance, plus every file that is copied
while IFS= read -r -d '' f; do
  rel=${f#"$E2E_CD"/}
  is_excluded "$rel" && continue
  expected[$(lower <<<"$rel")]=1
  required=$((required + $(stat -c %s "$f")))
  name=$(lower <<<"${rel##*/}")
  [ -n "${replaced[$name]:-}" ] && continue
  if [ ! -f "$tdir/$rel" ]; then
    fail "$rel was not copied"
  elif [ -n "${patchfile[$name]:-}" ]; then
    cmp -s "$E2E_CD/${patchfile[$name]}" "$tdir/$rel" || fail "$rel was not patched"
  else
    cmp -s "$f" "$tdir/$rel" || fail "$rel differs from the CD"
  fi
done < <(find "$E2E_CD" -type f -print0)
while IFS= read -r -d '' f; do
  rel=${f#"$tdir"/}
  key=$(lower <<<"$rel")
  [ -n "${expected[$key]:-}" ] || [ -n "${replaced[$key]:-}" ] || fail "$rel should not be there"
done < <(find "$tdir" -type f -print0)

# --- The main program and the special versions: the later builds -------------------------------
later="$E2E_BUILD/demo/programs/build11" first="$E2E_BUILD/demo/programs/build1"
for program in Orvatr.exe TrIntRu.exe TrPlikRu.exe DeInstalator.exe; do
  cmp -s "$later/$program" "$tdir/$program" || fail "$program is not the special version"
done
cmp -s "$first/Orvatr.exe" "$tdir/Orvatr.exe" && fail "Orvatr.exe is the first build"

# --- Registry ----------------------------------------------------------------------------------
for pair in "$reg_cu:$pkg_cu" "$reg_lm:$pkg_lm"; do
  file=${pair%%:*} section=${pair#*:}
  expect_value "$file" "$section" Katalog "$(regstr "$target")"
  if [ "$source" = folder ]; then
    folder=$(printf 'Z:%s\\' "${E2E_CD//\//\\}")
    expect_value "$file" "$section" CD "$(regstr "$folder")"
  else
    expect_value "$file" "$section" CD '"D:\\"'
  fi
  expect_value "$file" "$section" Wersja '"1.0"'
  expect_value "$file" "$section" JezykInterfejsu "$(dword "$lang")"
  expect_value "$file" "$section" AllUsers "$(dword "$allusers")"
done
for component in RusPol PolRus RusPolInternet PolRusInternet SlZewRusPol SlZewPolRus DuzevIvik; do
  section="$pkg_cu\\$component"
  expect_value "$reg_cu" "$section" JezykInterfejsu "$(dword "$lang")"
  for name in CzcionkaInterfejsuName CzcionkaSlownikaName CzcionkaEdycji; do
    if [ "$font" = arial ]; then
      expect_value "$reg_cu" "$section" "$name" ""
    else
      expect_value "$reg_cu" "$section" "$name" '"Tahoma"'
    fi
  done
  [ -z "$(value "$reg_lm" "$pkg_lm\\$component" JezykInterfejsu)" ] ||
    fail "component key $component written for the machine"
done
if [ "$allusers" = 1 ]; then
  chosen=$un_lm other=$un_cu entry="HKEY_LOCAL_MACHINE\\$machine\\$uninstall"
else
  chosen=$un_cu other=$un_lm entry="HKEY_CURRENT_USER\\Software\\$uninstall"
fi
[ -s "$other" ] && fail "the uninstall entry is in the other hive too"
expect_value "$chosen" "$entry" DisplayName "\"$displayname\""
expect_value "$chosen" "$entry" UninstallString "$(regstr "\"$target\\DeInstalator.exe\"")"
expect_value "$chosen" "$entry" DisplayVersion '"1.0"'
expect_value "$chosen" "$entry" Publisher '"Vertal"'
expect_value "$chosen" "$entry" DisplayIcon "$(regstr "$target\\Orvatr.exe")"
expect_value "$chosen" "$entry" InstallLocation "$(regstr "$target")"
expect_value "$chosen" "$entry" EstimatedSize "$(dword $(((required + 1023) / 1024)))"
expect_value "$chosen" "$entry" NoModify "$(dword 1)"
expect_value "$chosen" "$entry" NoRepair "$(dword 1)"

# --- Shortcuts ---------------------------------------------------------------------------------
if [ "$allusers" = 1 ]; then
  programs="$E2E_DRIVE_C/ProgramData/Microsoft/Windows/Start Menu/Programs"
  desktop="$E2E_DRIVE_C/users/Public/Desktop"
else
  programs="$E2E_DRIVE_C/users/root/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  desktop="$E2E_DRIVE_C/users/root/Desktop"
fi
# A host file named as Windows would find it, without regard to case.
exists_nocase() { [ -n "$(find "$(dirname "$1")" -maxdepth 1 -type f -iname "$(basename "$1")")" ]; }
links_in() { find "$1" -maxdepth 1 -name '*.lnk' 2>/dev/null | wc -l; }
check_links() {  # check_links FOLDER: every link names an existing program of the target
  local link
  for link in "$1"/*.lnk; do
    [ -e "$link" ] || continue
    # The link keeps the target's path as the ANSI string it was given (NUL-terminated).
    local path
    path=$(printf '%s\\' "$target" | iconv -f UTF-8 -t "CP$acp" |
      perl -0777 -e 'my $t = <STDIN>; local $/; open(my $f, "<:raw", shift) or exit;
        my $b = <$f>; print $1 if $b =~ /(\Q$t\E[^\x00]*)/' "$link" | iconv -f "CP$acp" -t UTF-8)
    if [ -z "$path" ]; then
      fail "$(basename "$link") does not point into the target"
    elif ! exists_nocase "$(host_path "$path")"; then
      fail "$(basename "$link") points to the missing $path"
    fi
  done
}
if [ "$lang" = 6 ]; then group_count=9; else group_count=10; fi
[ "$dictionaries" = 1 ] || group_count=$((group_count - 2))  # no dictionary programs
if [ "$group" = 1 ]; then
  [ "$(links_in "$programs/$groupname")" -eq "$group_count" ] ||
    fail "the group '$groupname' holds $(links_in "$programs/$groupname") links, expected $group_count"
  check_links "$programs/$groupname"
else
  [ ! -e "$programs/$groupname" ] || fail "the group folder was made without the option"
fi
want=$(((translators == 1 ? 3 : 0) + (dictlinks == 1 && dictionaries == 1 ? 2 : 0)))
[ "$(links_in "$desktop")" -eq "$want" ] ||
  fail "the desktop holds $(links_in "$desktop") links, expected $want"
check_links "$desktop"

if [ -n "$description" ]; then
  # The description string of a link is its counted UTF-16 text: the title's bytes as they are.
  wanted=$(printf '%s' "$description" | iconv -f UTF-8 -t UTF-16LE | od -An -tx1 | tr -d ' \n')
  found=0
  for link in "$programs/$groupname"/*.lnk; do
    [ -e "$link" ] || continue
    od -An -tx1 "$link" | tr -d ' \n' | grep -q "$wanted" && found=1
  done
  [ "$found" = 1 ] || fail "no link of the group has the description '$description'"
fi

# --- Shared components -------------------------------------------------------------------------
system="$E2E_DRIVE_C/windows/system32"
if [ "$wow64" = 1 ]; then
  [ -e "$system/comctl32.ocx" ] && fail "comctl32.ocx is in the 64-bit system folder"
  system="$E2E_DRIVE_C/windows/syswow64"
fi
if [ "$ocx" = copied ]; then
  cmp -s "$E2E_CD/comctl32.ocx" "$system/comctl32.ocx" || fail "comctl32.ocx was not copied"
fi
if [ "$dll" = kept ]; then
  cmp -s "$E2E_CD/comctl32.dll" "$system/comctl32.dll" && fail "comctl32.dll was replaced"
fi

# --- The list of installed programs shows the entry, and its command starts the uninstaller ----
# Wine's own list runs the entry's command line as the system does. A Wine process shows its
# Windows image path as its command line.
processes_of() {  # processes_of WINDOWS-PATH: ids of this prefix's processes of that image
  local p image want
  want=$(lower <<<"$1")
  for p in $(pgrep -i -f -- "${1##*\\}"); do  # the few that name the file: look closer
    image=$(tr '\0' '\n' 2>/dev/null < "/proc/$p/cmdline" | head -n 1 | sed 's/ *$//')
    [ "$(lower <<<"$image")" = "$want" ] || continue
    tr '\0' '\n' 2>/dev/null < "/proc/$p/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$p"
  done
}
listed=$(timeout 60 setsid wine uninstaller --list </dev/null 2>/dev/null | tr -d '\r')
grep -q '^Orvala|||' <<<"$listed" || fail "the list of installed programs does not show the entry"
setsid wine uninstaller --remove Orvala </dev/null >/dev/null 2>&1 &
remover=$!
started=
for _ in $(seq 200); do
  started=$(processes_of "$target\\DeInstalator.exe")
  [ -n "$started" ] && break
  sleep 0.1
done
[ -n "$started" ] || fail "the entry's command line did not start $target\\DeInstalator.exe"
# The stand-in uninstaller waits for its OK button: end it and the list's run (started here).
[ -z "$started" ] || kill $started 2>/dev/null
for _ in $(seq 50); do kill -0 "$remover" 2>/dev/null || break; sleep 0.1; done
kill -KILL "$remover" 2>/dev/null  # what it started ends with the prefix's server
wait "$remover" 2>/dev/null

[ "$errors" -eq 0 ] && echo "installation check: passed"
exit $((errors > 0))
