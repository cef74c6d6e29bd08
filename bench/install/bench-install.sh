#!/usr/bin/env bash
# The installation run under Wine against Wine's own xcopy of the same CD, in the same prefix.
#
#   bench/install/bench-install.sh [BUILD-DIR=build/win32] [ROUNDS=3]
#
# Builds two CDs (the demo CD plus many small files, and plus a few large ones; sizes from
# BENCH_SMALL and BENCH_LARGE, "COUNT KILOBYTES"), maps each as drive D: of one prefix and times,
# ROUNDS times each and alternately:
#   - xcopy:  wine xcopy D:\ C:\copy\ /E /I /Q /H
#   - run:    the wizard walked by the autopilot, from Next on the options page to the end page
#             (the autopilot's "mark" steps around the click and the wait for "Zakończ").
# Then, on the small-file CD, presses "Przerwij" several times during a run and times each
# press until the question dialog is up (answered No, so the run goes on).
# With "reinstall" among BENCH_PARTS, on the small-file CD: a run into a new folder against a
# run over the installation the previous run left (every file replaced, the replaced ones kept
# aside and deleted at the end), ROUNDS times each and alternately.
# Prints the best time of each, the ratio run / xcopy and the cancel latencies; never fails on
# a figure. BENCH_INSTALATOR names another Instalator.exe to time (an older build, say).
# BENCH_PARTS picks some of "small large cancel" (default all three). Needs the win32 build (Instalator.exe, the autopilot, the demo CD).
set -euo pipefail
exec </dev/null

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$source/build/win32}" && pwd)
rounds=${2:-3}
read -r small_count small_kb <<<"${BENCH_SMALL:-2000 100}"
read -r large_count large_kb <<<"${BENCH_LARGE:-200 1024}"
harness="$source/scripts/wine-harness.sh"
work="$build/bench-work/install"

for f in Instalator.exe tests/e2e/autopilot.exe demo-cd; do
  [ -e "$build/$f" ] || { echo "bench-install: $build/$f is missing (build the win32 preset)" >&2; exit 2; }
done

# --- Prefix and display, stopped at the end ----------------------------------------------------
instalator_pid=
started=
cleanup() {
  [ -n "$instalator_pid" ] && kill "$instalator_pid" 2>/dev/null || true
  [ -n "$started" ] && "$harness" stop "$work" >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$work"
mkdir -p "$work"
unset DISPLAY WINEPREFIX
cache=${ORVALA_WINE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/orvala-wine}
mkdir -p "$cache"
env_text=$(flock "$cache/.start.lock" "$harness" start "$work" pl_PL.UTF-8 2>/dev/null)
started=1
eval "$env_text"
drive_c="$WINEPREFIX/drive_c"
for link in "$drive_c"/users/*/*; do
  if [ -L "$link" ]; then rm "$link"; mkdir "$link"; fi
done
target="$drive_c/Program Files/Orvalis"
log="$work/bench.log"

winpath() { printf 'Z:%s' "${1//\//\\}"; }
now() { date +%s.%N; }

# --- CDs ------------------------------------------------------------------------------------------
# The demo CD plus COUNT files of KILOBYTES each, of random bytes, 100 files a folder.
make_cd() {
  local dir=$1 count=$2 kb=$3 folder=0 left=$2 n
  cp -R "$build/demo-cd" "$dir"
  cp "${BENCH_INSTALATOR:-$build/Instalator.exe}" "$dir/Instalator.exe"
  while [ "$left" -gt 0 ]; do
    n=$((left < 100 ? left : 100))
    mkdir -p "$dir/Dane/Folder$folder"
    head -c "$((n * kb * 1024))" /dev/urandom |
      split -b "$((kb * 1024))" -d -a 3 --additional-suffix=.dat - "$dir/Dane/Folder$folder/plik"
    left=$((left - n))
    folder=$((folder + 1))
  done
}

# --- One run of the wizard, walked by the autopilot ----------------------------------------------
# Writes the autopilot's output to $work/pilot.log; the steps after the options page come from
# the function's arguments (one step a word).
walk() {
  {
    printf '%s\n' 'wait-window TfrmCD' 'click IDC_btnOK' 'wait-window TfrmMain' \
      'click IDC_btnDalej' 'click IDC_rdbUmowaAkceptuje' 'click IDC_btnDalej' \
      'expect-visible IDC_pnlOpcje' 'expect-contains IDC_lblMiejsceWymagane "MB"' 'sleep 300' \
      'poll 5'
    printf '%s\n' "$@"
    printf '%s\n' 'wait-text IDC_btnZamknij "Zakończ"' 'mark end' 'poll 20' \
      'click IDC_btnZamknij' 'expect-exit'
  } > "$work/walk.scn"
  [ -n "${keep_target:-}" ] || rm -rf "$target"
  sync
  (cd "$cd_dir" && exec setsid wine "$cd_dir/Instalator.exe" </dev/null >>"$log" 2>&1) &
  instalator_pid=$!
  if ! timeout 300 wine "$build/tests/e2e/autopilot.exe" "$(winpath "$work/walk.scn")" \
      "$(winpath "$source/resources")" "$(winpath "$work")" >"$work/pilot.log" 2>&1; then
    echo "bench-install: the wizard run failed:" >&2
    tail -n 5 "$work/pilot.log" >&2
    exit 1
  fi
  wait "$instalator_pid" 2>/dev/null || true
  instalator_pid=
}

# Milliseconds between two marks of the last walk.
mark() { awk -v m="$1" '$1 == "mark" && $2 == m { print $3 }' "$work/pilot.log" | tr -d '\r'; }

time_run() {
  walk 'mark start' 'click IDC_btnDalej'
  LC_ALL=C awk -v a="$(mark start)" -v b="$(mark end)" 'BEGIN { printf "%.3f", (b - a) / 1000 }'
}

time_xcopy() {
  rm -rf "$drive_c/copy"
  sync
  local t0 t1
  t0=$(now)
  wine xcopy 'D:\' 'C:\copy\' /E /I /Q /H </dev/null >>"$log" 2>&1
  t1=$(now)
  LC_ALL=C awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

best() { printf '%s\n' "$@" | LC_ALL=C sort -g | head -n 1; }

bench_cd() {
  local label=$1 count=$2 kb=$3 x r xs=() rs=()
  cd_dir="$work/cd-$label"
  make_cd "$cd_dir" "$count" "$kb"
  "$harness" cd-drive "$work" "$cd_dir" d >/dev/null 2>&1
  wine xcopy 'D:\' 'C:\copy\' /E /I /Q /H </dev/null >>"$log" 2>&1  # the CD into the page cache
  for _ in $(seq "$rounds"); do
    x=$(time_xcopy)
    r=$(time_run)
    xs+=("$x")
    rs+=("$r")
  done
  x=$(best "${xs[@]}")
  r=$(best "${rs[@]}")
  LC_ALL=C printf '%-28s xcopy %7.3f s   run %7.3f s   ratio %5.2f   (rounds: xcopy %s; run %s)\n' \
    "$label ($count x $kb KB)" "$x" "$r" "$(LC_ALL=C awk -v a="$r" -v b="$x" 'BEGIN { print a / b }')" \
    "${xs[*]}" "${rs[*]}"
  rm -rf "$drive_c/copy" "$target"
}

bench_cancel() {
  # The same question on the options page, with no run going on: what the dialog alone takes.
  local presses=${BENCH_CANCEL_PRESSES:-5}
  local steps=('mark idle' 'click IDC_btnZamknij' 'wait-window TfrmPytanie' 'mark idle-question'
               'answer no' 'wait-window TfrmMain' 'sleep 200'
               'mark start' 'click IDC_btnDalej' 'sleep 500')
  for i in $(seq "$presses"); do
    steps+=("mark press$i" 'click IDC_btnZamknij' 'wait-window TfrmPytanie' "mark question$i"
            'answer no' 'wait-window TfrmMain' 'sleep 200')
  done
  walk "${steps[@]}"
  local latencies=()
  for i in $(seq "$presses"); do
    latencies+=("$(LC_ALL=C awk -v a="$(mark "press$i")" -v b="$(mark "question$i")" \
                   'BEGIN { printf "%.0f", b - a }')")
  done
  printf 'cancel question after "Przerwij" (ms, poll 5 ms): %s   worst %s\n' "${latencies[*]}" \
    "$(printf '%s\n' "${latencies[@]}" | LC_ALL=C sort -g | tail -n 1)"
  printf 'the same question on the options page, no run (ms): %s\n' \
    "$(LC_ALL=C awk -v a="$(mark idle)" -v b="$(mark idle-question)" 'BEGIN { printf "%.0f", b - a }')"
}

bench_reinstall() {
  local n r ns=() rs=()
  for _ in $(seq "$rounds"); do
    n=$(time_run)
    r=$(keep_target=1 time_run)
    ns+=("$n")
    rs+=("$r")
  done
  n=$(best "${ns[@]}")
  r=$(best "${rs[@]}")
  LC_ALL=C printf 'reinstall (%s x %s KB): new folder %7.3f s   over the previous %7.3f s   (rounds: new %s; over %s)\n' \
    "$small_count" "$small_kb" "$n" "$r" "${ns[*]}" "${rs[*]}"
  rm -rf "$target"
}

parts=${BENCH_PARTS:-small large cancel}
has() { [[ " $parts " == *" $1 "* ]]; }
echo "installation run vs xcopy under Wine, best of $rounds"
if has small || has cancel || has reinstall; then
  if has small; then
    bench_cd many-small "$small_count" "$small_kb"
  else
    cd_dir="$work/cd-many-small"
    make_cd "$cd_dir" "$small_count" "$small_kb"
    "$harness" cd-drive "$work" "$cd_dir" d >/dev/null 2>&1
  fi
  if has cancel; then bench_cancel; fi
  if has reinstall; then bench_reinstall; fi
  rm -rf "$work/cd-many-small"
fi
if has large; then bench_cd few-large "$large_count" "$large_kb"; fi
