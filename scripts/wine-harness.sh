#!/usr/bin/env bash
# The Wine test harness: a prefix, a display and one persistent wineserver.
#
#   eval "$(scripts/wine-harness.sh start DIR [LOCALE])"   prepares DIR/prefix from the cached
#        template prefix, starts Xvfb when there is no display and a detached wineserver, and
#        prints the environment (WINEPREFIX, DISPLAY, PATH, ...) to export for the tests.
#   scripts/wine-harness.sh stop DIR                       stops what `start` started (by id).
#   scripts/wine-harness.sh cd-drive DIR FOLDER [LETTER]   maps FOLDER as a CD-ROM drive.
#   scripts/wine-harness.sh host-32bit                     exit 0 when this machine runs 32-bit
#        programs; otherwise exit 1 and one line that says why.
#   scripts/wine-harness.sh arch-of EXE                    "win32" or "win64": the prefix that
#        runs the Windows program EXE.
#
# ORVALA_WINE_ARCH chooses the prefix of `start` (the other commands work on the prefix that
# `start` printed the environment of):
#   win32  a 32-bit Windows (the default), run by Debian's wine wrapper, which takes the 32-bit
#          loader;
#   wow64  a 64-bit Windows that runs 32-bit programs as 64-bit Windows does, by the wrapper;
#   win64  a 64-bit Windows for 64-bit programs, run by the 64-bit loader called directly
#          (scripts/wine64/ comes first on PATH, WINELOADER names the loader): never through the
#          wrapper, which takes the 32-bit loader whenever it is installed, also on a machine
#          that cannot run it.
# The first two need a machine that runs 32-bit programs; `start` refuses them elsewhere, saying
# why. ORVALA_HOST_32BIT=0 makes a machine that can run them behave as one that cannot.
#
# A template per kind of prefix is built once per harness version in the cache folder (~12 s)
# and copied for every run, so each run starts from a fresh prefix.
set -euo pipefail

HARNESS_VERSION=5
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${ORVALA_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvala-wine}
loader32=/usr/lib/wine/wine
loader64=/usr/lib/wine/wine64
if [ "${1:-}" = start ]; then arch=${ORVALA_WINE_ARCH:-win32}; else arch=${ORVALA_WINE_ARCH:-${WINEARCH:-win32}}; fi
case "$arch" in
  win32) template="$cache/template-v$HARNESS_VERSION" winearch=win32 ;;
  wow64) template="$cache/template-v$HARNESS_VERSION-wow64" winearch=win64 ;;
  win64) template="$cache/template-v$HARNESS_VERSION-win64" winearch=win64 ;;
  *) echo "wine-harness: ORVALA_WINE_ARCH is win32, wow64 or win64, not $arch" >&2; exit 2 ;;
esac
liberation=/usr/share/fonts/truetype/liberation
stand_in="Harness Sans"

export WINEARCH=$winearch WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ "$arch" = win64 ]; then
  case ":$PATH:" in *":$here/wine64:"*) ;; *) export PATH="$here/wine64:$PATH" ;; esac
  export WINELOADER=$loader64
fi

log() { echo "wine-harness: $*" >&2; }

# Writes a .reg file into the prefix through regedit (the server must be running).
import_reg() {
  local file=$1
  wine regedit /S "$(winepath -w "$file" 2>/dev/null)" >/dev/null 2>&1
}

build_template() {
  [ -f "$template/.complete" ] && return 0
  log "building the template prefix (once per harness version)"
  rm -rf "$template.tmp"
  mkdir -p "$template.tmp"
  (
    export WINEPREFIX="$template.tmp/prefix"
    wineboot -i >/dev/null 2>&1
    # Arial's stand-in: Liberation Sans (Arial's widths) without pair kerning, which Wine's
    # rich-text view would apply where the Windows one does not (wine-font.py tells why). Debian's
    # Python, where python3-fonttools is.
    local style
    for style in Regular Bold Italic BoldItalic; do
      /usr/bin/python3 "$here/wine-font.py" "$liberation/LiberationSans-$style.ttf" \
        "$WINEPREFIX/drive_c/windows/Fonts/harnesssans-$style.ttf" "$stand_in"
    done
    # A virtual desktop as the default, Arial resolving to the stand-in.
    cat > "$template.tmp/setup.reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Orvala"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Orvala"="800x600"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="$stand_in"
REG
    wine regedit /S "$(winepath -w "$template.tmp/setup.reg")" >/dev/null 2>&1
    wineserver -w
  )
  rm -rf "$template"
  mv "$template.tmp" "$template"
  touch "$template/.complete"
}

# Exit 0 when this machine runs 32-bit programs (Wine's 32-bit loader answers); otherwise one
# line with the cause and exit 1.
host_32bit() {
  if [ "${ORVALA_HOST_32BIT:-}" = 0 ]; then
    echo "ORVALA_HOST_32BIT=0 makes this machine behave as one that cannot run 32-bit programs"
    return 1
  fi
  local said
  if said=$("$loader32" --version 2>&1 </dev/null); then
    return 0
  fi
  said=$(printf '%s' "$said" | tail -n 1)
  echo "this machine cannot run 32-bit programs ($loader32 --version: ${said##*: })"
  return 1
}

# The prefix a Windows program needs: its PE header's machine field (0x14c i386, 0x8664 x86-64).
arch_of() {
  local exe=$1 pe machine
  pe=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
  # od pads the field to four digits: 014c.
  machine=$(od -An -t x2 -j $((pe + 4)) -N 2 "$exe" | tr -d ' ')
  case "$machine" in
    014c) echo win32 ;;
    8664) echo win64 ;;
    *) echo "wine-harness: $exe is no Windows program of x86 (machine '$machine')" >&2; return 1 ;;
  esac
}

start() {
  local dir=$1 locale=${2:-pl_PL.UTF-8} why
  if [ "$arch" != win64 ] && ! why=$(host_32bit); then
    log "a prefix of kind $arch runs 32-bit programs: $why"
    return 1
  fi
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  build_template
  rm -rf "$dir/prefix"
  cp -a "$template/prefix" "$dir/prefix"
  export WINEPREFIX="$dir/prefix"
  if [ -z "${DISPLAY:-}" ]; then
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    setsid Xvfb ":$n" -screen 0 1600x1200x24 -nolisten tcp </dev/null >/dev/null 2>&1 &
    echo $! > "$dir/xvfb.pid"
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  fi
  # One persistent server, detached, so that ctest's pipes are not inherited by it.
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  sleep 0.2
  # Its output goes to a file, not a pipe: the services it starts would hold a pipe open.
  if ! LANG=$locale LC_ALL=$locale setsid wine cmd /c exit </dev/null >"$dir/first-start.log" 2>&1
  then
    log "Wine does not start a program in $WINEPREFIX: $(tail -n 3 "$dir/first-start.log")"
    return 1
  fi
  cat <<ENV
export WINEPREFIX='$WINEPREFIX'
export DISPLAY='$DISPLAY'
export ORVALA_WINE_ARCH=$arch WINEARCH=$winearch WINEDEBUG=-all
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export LANG='$locale' LC_ALL='$locale'
ENV
  if [ "$arch" = win64 ]; then
    echo "export PATH='$PATH' WINELOADER='$WINELOADER'"
  fi
}

stop() {
  local dir
  dir=$(cd "$1" && pwd)
  if [ -d "$dir/prefix" ]; then
    WINEPREFIX="$dir/prefix" wineserver -k >/dev/null 2>&1 || true
  fi
  if [ -f "$dir/xvfb.pid" ]; then
    kill "$(cat "$dir/xvfb.pid")" 2>/dev/null || true
    rm -f "$dir/xvfb.pid"
  fi
}

cd_drive() {
  local dir folder letter=${3:-d}
  dir=$(cd "$1" && pwd)
  folder=$(cd "$2" && pwd)
  export WINEPREFIX="$dir/prefix"
  ln -sfn "$folder" "$WINEPREFIX/dosdevices/$letter:"
  if [ "$winearch" = win64 ]; then
    # The drive types are read by the 64-bit mount manager, from the 64-bit view.
    wine reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ /d cdrom /f /reg:64 \
      >/dev/null 2>&1
  else
    cat > "$dir/cdrom.reg" <<REG
REGEDIT4

[HKEY_LOCAL_MACHINE\\Software\\Wine\\Drives]
"$letter:"="cdrom"
REG
    wine regedit /S "$(winepath -w "$dir/cdrom.reg")" >/dev/null 2>&1
  fi
  # The drive type is read when the server starts: restart it.
  wineserver -k >/dev/null 2>&1 || true
  sleep 0.3
  setsid wineserver -p </dev/null >/dev/null 2>&1 &
  sleep 0.2
  setsid wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

case "${1:-}" in
  start) shift; start "$@" ;;
  stop) shift; stop "$@" ;;
  cd-drive) shift; cd_drive "$@" ;;
  host-32bit) host_32bit ;;
  arch-of) arch_of "$2" ;;
  *) echo "usage: $0 start DIR [LOCALE] | stop DIR | cd-drive DIR FOLDER [LETTER] | host-32bit |" \
       "arch-of EXE" >&2; exit 2 ;;
esac
