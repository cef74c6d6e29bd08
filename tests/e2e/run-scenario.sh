#!/usr/bin/env bash
# Runs one end-to-end scenario: Instalator.exe on a demo CD in a fresh Wine prefix, walked by the
# GUI autopilot.
#
#   run-scenario.sh SCENARIO BUILD-DIR SOURCE-DIR
#
# The scenario file's "setup" lines prepare the machine before the program starts, its "after"
# lines check the machine once the autopilot is done; every other line is an autopilot step
# (tests/e2e/README.md lists them). A "restart" line starts the program again on the same
# machine: the steps and "after" lines before it belong to the first run, those after it to the
# next. Each scenario has its own prefix, Xvfb display and wineserver, so scenarios run in
# parallel. Every Wine process is detached from the caller's pipes (ctest would otherwise wait
# for them forever), and only the processes started here are stopped, by id.
# Artifacts (screenshots, logs) stay in BUILD-DIR/e2e-artifacts/<scenario>/; the prefix is
# removed at the end.
set -euo pipefail
exec </dev/null

scenario=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
build=$(cd "$2" && pwd)
source=$(cd "$3" && pwd)
name=$(basename "$scenario" .scn)
art="$build/e2e-artifacts/$name"
work="$build/e2e-work/$name"
harness="$source/scripts/wine-harness.sh"
rm -rf "$art" "$work"
mkdir -p "$art" "$work/shots"
log="$art/harness.log"
: > "$log"

say() { echo "run-scenario[$name]: $*" | tee -a "$log" >&2; }
winpath() { printf 'Z:%s' "${1//\//\\}"; }   # a host path as Wine sees it through Z:
# Runs a Wine command detached, output to the log.
wine_detached() { setsid wine "$@" </dev/null >>"$log" 2>&1; }

# --- The scenario's settings -------------------------------------------------------------------
locale=pl_PL.UTF-8
fonts=arial
cdvariant=demo-cd
cd_mapped=1  # the CD folder as CD-ROM drive D:, the program started as D:\Instalator.exe
# The prefix the build's programs need: a 32-bit Windows for the 32-bit build, a 64-bit one for
# the 64-bit build.
arch=$("$harness" arch-of "$build/tests/e2e/autopilot.exe")
setups=()
afters=()  # "RUN CHECK...": the run (0, 1, ... by "restart" lines) after which it is made
runs=1
while IFS= read -r line || [ -n "$line" ]; do
  line=${line%$'\r'}
  case "$line" in
    "setup locale "*) locale=${line#setup locale } ;;
    "setup fonts "*) fonts=${line#setup fonts } ;;
    "setup cd "*) cdvariant=${line#setup cd } ;;
    "setup cd-folder") cd_mapped=0 ;;  # a plain folder: no CD-ROM drive holds the package
    "setup windows 64") arch=wow64 ;;  # the 32-bit program on a 64-bit Windows
    "setup "*) setups+=("${line#setup }") ;;
    "after "*) afters+=("$((runs - 1)) ${line#after }") ;;
    restart) runs=$((runs + 1)) ;;
  esac
done < "$scenario"

# --- Processes of this run, stopped at the end by id -------------------------------------------
instalator_pid=
shots_pid=
helper_pids=()
started=
cleanup() {
  local status=$?
  [ -n "$instalator_pid" ] && kill "$instalator_pid" 2>/dev/null || true
  for pid in "${helper_pids[@]+"${helper_pids[@]}"}"; do
    kill "$pid" 2>/dev/null || true
  done
  [ -n "$shots_pid" ] && kill "$shots_pid" 2>/dev/null || true
  if [ -n "$started" ]; then
    "$harness" stop "$work" >>"$log" 2>&1 || true
  fi
  cp "$work"/shots/*.png "$art"/ 2>/dev/null || true
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# --- Prefix, display, CD -----------------------------------------------------------------------
cache=${ORVALA_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvala-wine}
mkdir -p "$cache"
unset DISPLAY WINEPREFIX  # our own display and prefix, whatever the caller uses
# The template prefix is built once; concurrent runs take turns at copying it.
started=1
if ! env_text=$(ORVALA_WINE_ARCH=$arch flock "$cache/.start.lock" "$harness" start "$work" \
    "$locale" 2>>"$log"); then
  say "no Wine prefix of kind $arch: $(tail -n 3 "$log")"
  exit 1
fi
eval "$env_text"

cd_dir="$work/cd"
if [ -n "${ORVALA_E2E_CD:-}" ]; then
  # A CD as it is, its own Instalator.exe included (a release CD read back from its image, files
  # read-only as a CD's are; its folders writable, so that the work folder can be removed).
  cp -R "$ORVALA_E2E_CD" "$cd_dir"
  find "$cd_dir" -type d -exec chmod u+w {} +
else
  cp -R "$build/$cdvariant" "$cd_dir"
  cp "$build/Instalator.exe" "$cd_dir/Instalator.exe"
fi
drive_c="$WINEPREFIX/drive_c"
# Wine links the user's shell folders (Desktop, Documents, ...) to the host's home when it
# boots a prefix: make them real folders, so that shortcuts the run puts on the desktop stay
# inside this prefix.
for link in "$drive_c"/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done

target_win='C:\Program Files\Orvalis'
# A 32-bit program on 64-bit Windows is given the 32-bit program folder.
[ "$arch" != wow64 ] || target_win='C:\Program Files (x86)\Orvalis'
helpers=()  # "FILE|RELEASE|PROGRAM": the helper programs, started once the drives are mapped
for s in "${setups[@]+"${setups[@]}"}"; do
  read -r verb a b <<<"$s"
  case "$verb" in
    cd-remove) rm -f "$cd_dir/$a" ;;                                   # cd-remove NAME
    cd-extra) cp "$build/demo-cd-extras/$a" "$cd_dir/$b" ;;           # cd-extra EXTRA NAME
    second-cd)                                                         # second-cd LETTER
      mkdir -p "$work/cd-$a"
      printf 'not the package\r\n' > "$work/cd-$a/czytaj.txt"
      "$harness" cd-drive "$work" "$work/cd-$a" "$a" >>"$log" 2>&1 ;;
    c-file) mkdir -p "$(dirname "$drive_c/$a")"; printf 'x' > "$drive_c/$a" ;;   # c-file PATH
    c-dir) mkdir -p "$drive_c/$a" ;;                                  # c-dir PATH
    dpi)                                                               # dpi 120
      wine_detached reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$a" /f
      wine_detached reg add 'HKCC\Software\Fonts' /v LogPixels /t REG_DWORD /d "$a" /f
      # The virtual desktop grows with the DPI, so that the scaled wizard fits on it.
      wine_detached reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Orvala /t REG_SZ \
        /d "$((800 * a / 96))x$((600 * a / 96))" /f ;;
    colours)  # colours high-contrast: the "High Contrast Black" scheme's window colours
      wine_detached reg add 'HKCU\Control Panel\Colors' /v Window /t REG_SZ /d "0 0 0" /f
      wine_detached reg add 'HKCU\Control Panel\Colors' /v WindowText /t REG_SZ /d "255 255 255" /f
      wine_detached reg add 'HKCU\Control Panel\Colors' /v ButtonFace /t REG_SZ /d "0 0 0" /f
      wine_detached reg add 'HKCU\Control Panel\Colors' /v ButtonText /t REG_SZ /d "255 255 255" /f ;;
    windows)  # windows 98: the system reports itself as Windows 98 (not of the NT family);
      # "windows 64" chose the prefix above
      wine_detached reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "win$a" /f ;;
    cd-file)                                                           # cd-file NAME KILOBYTES
      mkdir -p "$(dirname "$cd_dir/$a")"
      head -c "$((b * 1024))" /dev/urandom > "$cd_dir/$a" ;;
    cd-zeros) truncate -s "$((b * 1048576))" "$cd_dir/$a" ;;         # cd-zeros NAME MEGABYTES
    cd-link) ln -s "$b" "$cd_dir/$a" ;;                               # cd-link NAME TARGET
    previous-install)  # previous-install: C:\Program Files\Orvalis as an earlier run left it
      E2E_DRIVE_C="$drive_c" E2E_CD="$cd_dir" E2E_BUILD="$build" E2E_WORK="$work" \
        bash "$source/tests/e2e/checks/previous-install.sh" make >>"$log" 2>&1 ;;
    hold)  # hold NAME [RELEASE]: a program holds target\NAME open without sharing (until RELEASE)
      helpers+=("$target_win\\${a//\//\\}|$b|") ;;
    running)  # running NAME: the helper program copied over target\NAME, running
      cp "$build/tests/e2e/trzymacz.exe" "$drive_c/Program Files/Orvalis/$a"
      helpers+=("-||$target_win\\${a//\//\\}") ;;
    cd-patch)  # cd-patch LIST FILE: a later FILE.new, its patch FILE.pat and a record in LIST
      # The build's packing tool: the host build's when the build was given one, else its own.
      orvala=$(sed -n -E 's/^ORVALA_HOST_ORVALA:[A-Z]+=(.+)$/\1/p' "$build/CMakeCache.txt")
      [ -n "$orvala" ] || orvala="$build/host-tools/tools/orvala/orvala"
      printf 'patched by %s\r\n' "$a" | cat "$cd_dir/$b" - > "$cd_dir/$b.new"
      read -r old_len script_len new_len < <("$orvala" diff "$cd_dir/$b" "$cd_dir/$b.new" "$cd_dir/$b.pat")
      "$orvala" list-add "$cd_dir/$a" "$b.pat" "$b" "$old_len" "$script_len" "$new_len" >>"$log" ;;
    *) say "unknown setup: $s"; exit 2 ;;
  esac
done
if [ "$cd_mapped" = 1 ]; then
  "$harness" cd-drive "$work" "$cd_dir" d >>"$log" 2>&1
fi

# The user's open programs (after the drive mapping, which restarts the wineserver).
for h in "${helpers[@]+"${helpers[@]}"}"; do
  IFS='|' read -r held release program <<<"$h"
  program=${program:-$(winpath "$build/tests/e2e/trzymacz.exe")}
  (exec setsid wine "$program" "$held" ${release:+"$release"} </dev/null >>"$log" 2>&1) &
  helper_pids+=($!)
done
[ "${#helpers[@]}" -eq 0 ] || sleep 1  # the file is open before the setup program starts

if [ "$fonts" = tahoma ]; then
  # Only Wine's own Tahoma offers the East European set: no Arial replacement.
  wine_detached reg delete 'HKCU\Software\Wine\Fonts\Replacements' /v Arial /f || true
  cp /usr/share/wine/fonts/* "$drive_c/windows/Fonts/"
fi

# --- Figures the scenario may name: ${REQUIRED_MB}, ${REQUIRED_MB_NODICT} ----------------------
# The required space as the options page shows it, computed independently from the CD copy:
# every file of the tree less the excluded names (case-insensitive, with their subtrees), plus
# 2,100,000 bytes, in megabytes with one decimal and the locale's decimal separator.
excluded=(umowapol.txt umowaang.txt umowadeu.txt umowafr.txt instalator.exe instaluj.exe
          instalka.exe autorun.inf comctl32.dll comctl32.ocx divev.ttf SAPI51tts.exe
          SyntezaMowy.exe start.exe pold.so rusd.so polm.so rusm.so orvatr.exe)
dictionaries=(slzewru.exe slzewpl.exe ruspol.sz polrus.sz)
required_mb() {
  local args=() n
  for n in "$@"; do args+=(-iname "$n" -o); done
  find "$cd_dir" -mindepth 1 \( "${args[@]}" -false \) -prune -o -type f -printf '%s\n' |
    awk -v sep="$decimal" '{ s += $1 } END { x = sprintf("%.1f", (s + 2100000) / 1048576);
                                             sub(/\./, sep, x); print x " MB" }'
}
case "$locale" in pl_* | ru_*) decimal=, ;; *) decimal=. ;; esac
REQUIRED_MB=$(required_mb "${excluded[@]}")
REQUIRED_MB_NODICT=$(required_mb "${excluded[@]}" "${dictionaries[@]}")
# ${CD_FOLDER}: the CD folder as the program sees it through Z:, with a trailing backslash, its
# backslashes doubled as a quoted word of a scenario writes them.
cd_folder=$(winpath "$cd_dir/")
cd_folder=${cd_folder//\\/\\\\}
cd_folder=$(printf '%s' "$cd_folder" | sed 's/[\\&/]/\\&/g')
sed -e "s/\${REQUIRED_MB}/$REQUIRED_MB/g" -e "s/\${REQUIRED_MB_NODICT}/$REQUIRED_MB_NODICT/g" \
  -e "s/\${CD_FOLDER}/$cd_folder/g" \
  "$scenario" > "$work/scenario.scn"
say "required space $REQUIRED_MB, without dictionaries $REQUIRED_MB_NODICT"

# --- Screenshot service: NAME.req (x y w h on the desktop) → NAME.png --------------------------
serve_shots() {
  local desktop=
  while :; do
    for req in "$work"/shots/*.req; do
      [ -e "$req" ] || continue
      read -r x y w h < "$req"
      [ -n "$desktop" ] || desktop=$(xdotool search --name 'Wine desktop' 2>/dev/null | head -n 1)
      local out=${req%.req}
      if [ -n "$desktop" ]; then
        import -window "$desktop" png:- 2>>"$log" |
          convert - -crop "${w}x${h}+${x}+${y}" +repage "png:$out.tmp" 2>>"$log" || true
      else
        import -window root png:- 2>>"$log" | convert - "png:$out.tmp" 2>>"$log" || true
      fi
      rm -f "$req"
      [ -s "$out.tmp" ] && mv "$out.tmp" "$out.png"
    done
    sleep 0.05
  done
}
serve_shots </dev/null >>"$log" 2>&1 &
shots_pid=$!

# --- The runs ----------------------------------------------------------------------------------
# The steps of each run, split at the "restart" lines.
awk -v dir="$work" 'BEGIN { n = 0 } /^restart[[:space:]]*$/ { n++; next }
                    { print > (dir "/run-" n ".scn") }' "$work/scenario.scn"
say "locale $locale, fonts $fonts, CD $cdvariant"
host_path() { local p=${1#C:\\}; printf '%s/%s' "$drive_c" "${p//\\//}"; }
failed=0

# run_program N: the program started on the CD and walked through the steps of run N.
run_program() {
  local steps="$work/run-$1.scn"
  [ -f "$steps" ] || : > "$steps"
  local program='D:\Instalator.exe'
  [ "$cd_mapped" = 1 ] || program=$cd_dir/Instalator.exe
  (cd "$cd_dir" && exec setsid wine "$program" </dev/null >>"$art/instalator.log" 2>&1) &
  instalator_pid=$!
  set +e
  timeout 180 wine "$build/tests/e2e/autopilot.exe" "$(winpath "$steps")" \
    "$(winpath "$source/resources")" "$(winpath "$work/shots")" </dev/null >"$art/autopilot.log" 2>&1
  local pilot=$?
  set -e
  cat "$art/autopilot.log" >&2
  cat "$art/autopilot.log" >> "$log"
  if [ "$pilot" -ne 0 ]; then
    say "autopilot failed ($pilot) in run $1"
    exit 1
  fi
  # The program ends by itself in a run that closes it; otherwise it is stopped now.
  if grep -q '^expect-exit' "$steps"; then
    for _ in $(seq 100); do
      kill -0 "$instalator_pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$instalator_pid" 2>/dev/null; then
      say "the setup program is still running after its window closed"
      exit 1
    fi
  fi
  kill "$instalator_pid" 2>/dev/null || true
  wait "$instalator_pid" 2>/dev/null || true
  instalator_pid=
}

# check_after CHECK...: one "after" line on the machine as the last run left it.
check_after() {
  case "$1" in
    reg)  # reg HKCU "key" value expected-number
      setsid wine reg query "$2\\$3" /v "$4" </dev/null >"$work/reg.txt" 2>&1 || true
      if ! grep -Eq "$4[[:space:]]+REG_DWORD[[:space:]]+0x$(printf '%x' "$5")\b" "$work/reg.txt"; then
        say "after: $2\\$3 $4 is not $5: $(tr -d '\r' < "$work/reg.txt" | tail -n 2)"
        failed=1
      fi ;;
    no-key)  # no-key HKCU "key": the key does not exist
      if setsid wine reg query "$2\\$3" </dev/null >"$work/reg.txt" 2>&1; then
        say "after: $2\\$3 exists"
        failed=1
      fi ;;
    dir) [ -d "$(host_path "$2")" ] || { say "after: directory $2 is missing"; failed=1; } ;;
    file) [ -f "$(host_path "$2")" ] || { say "after: file $2 is missing"; failed=1; } ;;
    no-dir) [ ! -e "$(host_path "$2")" ] || { say "after: $2 exists"; failed=1; } ;;
    check)  # check NAME ARGS...: tests/e2e/checks/NAME.sh on the machine after the run
      if ! E2E_DRIVE_C="$drive_c" E2E_CD="$cd_dir" E2E_BUILD="$build" E2E_WORK="$work" \
          bash "$source/tests/e2e/checks/$2.sh" "${@:3}" >>"$log" 2>&1; then
        say "after: check $2 failed (details in harness.log)"
        failed=1
      fi ;;
    *) say "unknown after: $*"; failed=1 ;;
  esac
}

for ((run = 0; run < runs; run++)); do
  run_program "$run"
  for a in "${afters[@]+"${afters[@]}"}"; do
    [ "${a%% *}" = "$run" ] || continue
    eval "set -- ${a#* }"
    check_after "$@"
  done
done
[ "$failed" -eq 0 ] || exit 1
say "passed"
