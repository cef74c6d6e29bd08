#!/usr/bin/env bash
# The installation run under Wine against Wine's own xcopy and a peer installer copying the same
# CD, in the same prefix.
#
#   bench/install/bench-install.sh [BUILD-DIR=build/win32] [ROUNDS=3]   (build/win64 where the
#   machine cannot run 32-bit programs)
#
# Builds two CDs (the demo CD plus many small files, and plus a few large ones; sizes from
# BENCH_SMALL and BENCH_LARGE, "COUNT KILOBYTES"), maps each as drive D: of one prefix and times,
# ROUNDS times each and alternately:
#   - xcopy:  wine xcopy D:\ C:\copy\ /E /I /Q /H
#   - peer:   a silent installer made with makensis whose one section copies the CD root into a
#             new folder (CopyFiles), started and waited for
#   - run:    the wizard walked by the autopilot, from Next on the options page to the end page
#             (the autopilot's "mark" steps around the click and the wait for "Zakończ").
# Then, on the small-file CD, presses "Przerwij" several times during a run and times each
# press until the question dialog is up (answered No, so the run goes on); and on a CD with one
# large sparse file (BENCH_HUGE_MB, 3072), presses it BENCH_HUGE_PRESS_MS (1000) into the run,
# inside that file, times the question and answers Yes.
# With "reinstall" among BENCH_PARTS, on the small-file CD: a run into a new folder against a
# run over the installation the previous run left (the same CD: files already in place), ROUNDS
# times each and alternately; "reinstall-changed" the same over an installation whose data
# files all differ from the CD's (each replaced and kept aside until the end).
# Prints the best time of each (of the run also its part from the shortcut stage to the end
# page, and the part before it beside the copies), the ratios and the cancel latencies; never
# fails on a figure. BENCH_WORK puts the
# prefix and the CDs elsewhere (on a tmpfs such as /dev/shm the disk's write-back leaves the
# figures).
# BENCH_INSTALATOR names another Instalator.exe to time instead of the build's; BENCH_BEFORE one
# to time beside it, alternately in every part (an older build, say).
# BENCH_PARTS picks some of "small large cancel huge reinstall reinstall-changed" (default the
# first four).
# Needs the win32 build (Instalator.exe, the autopilot, the demo CD) and makensis.
set -euo pipefail
exec </dev/null

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source=$(cd "$here/../.." && pwd)
build=$(cd "${1:-$source/build/win32}" && pwd)
rounds=${2:-3}
read -r small_count small_kb <<<"${BENCH_SMALL:-2000 100}"
read -r large_count large_kb <<<"${BENCH_LARGE:-200 1024}"
harness="$source/scripts/wine-harness.sh"
work=${BENCH_WORK:-$build/bench-work}/install

instalator=${BENCH_INSTALATOR:-$build/Instalator.exe}
before=${BENCH_BEFORE:-}
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
# The prefix the build's programs need (a 64-bit build on a machine without 32-bit support).
env_text=$(ORVALA_WINE_ARCH=$("$harness" arch-of "$build/Instalator.exe") \
  flock "$cache/.start.lock" "$harness" start "$work" pl_PL.UTF-8 2>/dev/null)
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
  cp "$instalator" "$dir/Instalator.exe"
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
  # The program timed lies on the CD as the package's own does (it leaves itself out of the copy).
  cp "${exe:-$instalator}" "$cd_dir/Instalator.exe"
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
  walk 'limit 120000' 'mark start' 'click IDC_btnDalej'
  LC_ALL=C awk -v a="$(mark start)" -v b="$(mark end)" 'BEGIN { printf "%.3f", (b - a) / 1000 }'
}

# The whole run and, after a space, the part of it from the shortcut stage on (the stage label
# polled every 5 ms).
time_run_split() {
  walk 'limit 120000' 'poll 5' 'mark start' 'click IDC_btnDalej' \
    'wait-text IDC_lblInstalacjaOpis "Tworzenie skrótów ..."' 'mark links'
  LC_ALL=C awk -v a="$(mark start)" -v l="$(mark links)" -v b="$(mark end)" \
    'BEGIN { printf "%.3f %.3f", (b - a) / 1000, (b - l) / 1000 }'
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

# --- The peer: a silent installer whose one section copies the CD root into C:\peer ------------
peer="$work/peer.exe"
cat > "$work/peer.nsi" <<'NSI'
Name "peer"
OutFile "peer.exe"
SilentInstall silent
RequestExecutionLevel user
InstallDir "C:\peer"
Section
  SetOutPath "$INSTDIR"
  CopyFiles /SILENT "D:\*.*" "$INSTDIR"
SectionEnd
NSI
(cd "$work" && makensis -V1 peer.nsi >>"$log" 2>&1) || { echo "bench-install: makensis failed" >&2; exit 2; }

time_peer() {
  rm -rf "$drive_c/peer"
  sync
  local t0 t1
  t0=$(now)
  wine "$peer" </dev/null >>"$log" 2>&1
  t1=$(now)
  LC_ALL=C awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }'
}

# Files below a folder (the copy's completeness, printed beside the times).
files_in() { find "$1" -type f 2>/dev/null | wc -l; }

ratio() { LC_ALL=C awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

best() { printf '%s\n' "$@" | LC_ALL=C sort -g | head -n 1; }

bench_cd() {
  local label=$1 count=$2 kb=$3 x p r o l t u xs=() ps=() rs=() ls=() us=() os=() copied peered
  cd_dir="$work/cd-$label"
  make_cd "$cd_dir" "$count" "$kb"
  "$harness" cd-drive "$work" "$cd_dir" d >/dev/null 2>&1
  wine xcopy 'D:\' 'C:\copy\' /E /I /Q /H </dev/null >>"$log" 2>&1  # the CD into the page cache
  for _ in $(seq "$rounds"); do
    xs+=("$(time_xcopy)")
    ps+=("$(time_peer)")
    read -r t l <<<"$(time_run_split)"
    rs+=("$t")
    ls+=("$l")
    us+=("$(LC_ALL=C awk -v t="$t" -v l="$l" 'BEGIN { printf "%.3f", t - l }')")
    if [ -n "$before" ]; then os+=("$(exe=$before time_run)"); fi
  done
  copied=$(files_in "$drive_c/copy")
  peered=$(files_in "$drive_c/peer")
  x=$(best "${xs[@]}")
  p=$(best "${ps[@]}")
  r=$(best "${rs[@]}")
  LC_ALL=C printf '%-28s xcopy %7.3f s   peer %7.3f s   run %7.3f s   run/xcopy %5.2f   run/peer %5.2f\n' \
    "$label ($count x $kb KB)" "$x" "$p" "$r" "$(ratio "$r" "$x")" "$(ratio "$r" "$p")"
  LC_ALL=C printf '%-28s (rounds: xcopy %s; peer %s; run %s; files copied: xcopy %s, peer %s)\n' \
    "" "${xs[*]}" "${ps[*]}" "${rs[*]}" "$copied" "$peered"
  LC_ALL=C printf '%-28s of the run, from the shortcut stage to the end page: best %.3f s (rounds: %s)\n' \
    "" "$(best "${ls[@]}")" "${ls[*]}"
  # Under Wine every saved shortcut starts a menu-builder process, which Windows does not: the
  # run up to the shortcut stage is the part to set beside the copies.
  u=$(best "${us[@]}")
  LC_ALL=C printf '%-28s up to the shortcut stage: best %.3f s   /xcopy %5.2f   /peer %5.2f\n' \
    "" "$u" "$(ratio "$u" "$x")" "$(ratio "$u" "$p")"
  if [ -n "$before" ]; then
    o=$(best "${os[@]}")
    LC_ALL=C printf '%-28s before %7.3f s   run/before %5.2f   (rounds: %s)\n' \
      "" "$o" "$(ratio "$r" "$o")" "${os[*]}"
  fi
  rm -rf "$drive_c/copy" "$drive_c/peer" "$target"
}

bench_cancel() {
  # The same question on the options page, with no run going on: what the dialog alone takes.
  # The run stands still while the question is up: the presses fall within the first 0.6 s of
  # copying, which even a fast run from the page cache takes longer than.
  local name=$1 presses=${BENCH_CANCEL_PRESSES:-3}
  local steps=('mark idle' 'click IDC_btnZamknij' 'wait-window TfrmPytanie' 'mark idle-question'
               'answer no' 'wait-window TfrmMain' 'sleep 200'
               'mark start' 'click IDC_btnDalej' 'sleep 300')
  for i in $(seq "$presses"); do
    steps+=("mark press$i" 'click IDC_btnZamknij' 'wait-window TfrmPytanie' "mark question$i"
            'answer no' 'wait-window TfrmMain' 'sleep 100')
  done
  walk "${steps[@]}"
  local latencies=()
  for i in $(seq "$presses"); do
    latencies+=("$(LC_ALL=C awk -v a="$(mark "press$i")" -v b="$(mark "question$i")" \
                   'BEGIN { printf "%.0f", b - a }')")
  done
  printf '%-7s cancel question after "Przerwij" (ms, poll 5 ms): %s   worst %s\n' "$name" \
    "${latencies[*]}" "$(printf '%s\n' "${latencies[@]}" | LC_ALL=C sort -g | tail -n 1)"
  printf '%-7s the same question on the options page, no run (ms): %s\n' "$name" \
    "$(LC_ALL=C awk -v a="$(mark idle)" -v b="$(mark idle-question)" 'BEGIN { printf "%.0f", b - a }')"
}

# One file of BENCH_HUGE_MB megabytes (sparse) beside the demo CD: "Przerwij" pressed inside
# it, the question timed and answered Yes (the run rolls back).
bench_huge() {
  local mb=${BENCH_HUGE_MB:-3072} after_ms=${BENCH_HUGE_PRESS_MS:-1000} e name ms
  cd_dir="$work/cd-huge"
  cp -R "$build/demo-cd" "$cd_dir"
  cp "$instalator" "$cd_dir/Instalator.exe"
  truncate -s "${mb}M" "$cd_dir/Slownik.sz"
  "$harness" cd-drive "$work" "$cd_dir" d >/dev/null 2>&1
  for round in $(seq "$rounds"); do
    for e in "$instalator" $before; do
      name=run
      [ "$e" = "$instalator" ] || name=before
      exe=$e walk 'limit 300000' 'poll 5' 'mark start' 'click IDC_btnDalej' "sleep $after_ms" \
        'mark press' 'click IDC_btnZamknij' 'wait-window TfrmPytanie' 'mark question' 'answer yes' \
        'wait-window TfrmMain'
      ms=$(LC_ALL=C awk -v a="$(mark press)" -v b="$(mark question)" 'BEGIN { printf "%.0f", b - a }')
      printf '%-7s one %s MB file, "Przerwij" %s ms into the run, round %s: question after %s ms\n' \
        "$name" "$mb" "$after_ms" "$round" "$ms"
    done
  done
  rm -rf "$cd_dir" "$target"
}

# An earlier installation that differs from the CD in every file of its data folders (one byte
# more at the end of each): the run replaces them all, keeping each aside until its end.
change_previous() {
  local f
  while IFS= read -r -d '' f; do printf 'x' >>"$f"; done < <(find "$target/Dane" -type f -print0)
}

bench_reinstall() {
  local how=$1 e name n r ns rs
  for e in "$instalator" $before; do
    name=run
    [ "$e" = "$instalator" ] || name=before
    ns=() rs=()
    for _ in $(seq "$rounds"); do
      ns+=("$(exe=$e time_run)")
      [ "$how" = same ] || change_previous
      rs+=("$(exe=$e keep_target=1 time_run)")
    done
    n=$(best "${ns[@]}")
    r=$(best "${rs[@]}")
    LC_ALL=C printf '%-7s reinstall (%s x %s KB), previous %-7s new folder %7.3f s   over the previous %7.3f s   ratio %5.2f   (rounds: new %s; over %s)\n' \
      "$name" "$small_count" "$small_kb" "$how:" "$n" "$r" "$(ratio "$r" "$n")" "${ns[*]}" "${rs[*]}"
  done
  rm -rf "$target"
}

parts=${BENCH_PARTS:-small large cancel huge}
has() { [[ " $parts " == *" $1 "* ]]; }
echo "installation run vs xcopy and a peer installer under Wine, best of $rounds"
if has small || has cancel || has reinstall || has reinstall-changed; then
  if has small; then
    bench_cd many-small "$small_count" "$small_kb"
  else
    cd_dir="$work/cd-many-small"
    make_cd "$cd_dir" "$small_count" "$small_kb"
    "$harness" cd-drive "$work" "$cd_dir" d >/dev/null 2>&1
  fi
  if has cancel; then
    bench_cancel run
    if [ -n "$before" ]; then exe=$before bench_cancel before; fi
  fi
  if has reinstall; then bench_reinstall same; fi
  if has reinstall-changed; then bench_reinstall changed; fi
  rm -rf "$work/cd-many-small"
fi
if has large; then bench_cd few-large "$large_count" "$large_kb"; fi
if has huge; then bench_huge; fi
