#!/usr/bin/env bash
# Measures Polvane under Wine on Xvfb and prints one table: the size of
# Polvane.exe and Polvane.com; launch to a visible, loaded window (median of
# RUNS, default 15), taken in turns with Wine's notepad and a bare Win32
# window built by the same toolchain (plain; themed with common controls 6;
# and themed with ole32, oleaut32, shell32, version and COM loaded at
# start) and the same window as Polvane's made the shortest way (alone, and
# importing the DLLs Polvane.exe imports), with Polvane's time as a ratio to
# each; Polvane.com /show run to
# its end in turns with reg.exe and with a console program that only prints
# the five values (the floor), as the median of each round's ratio;
# /import and /gpo /set of Registry.pol files of 1,000 to 100,000 records,
# their time and peak memory; one load and one save against Wine's
# registry; and the registry calls each makes. A
# benchmark, not a test: it checks nothing. It measures the build this
# machine can run (i686 where it runs 32-bit programs, else x86_64) and says
# which, with the Wine loader that ran it; POLVANE_ARCH=x86_64 (or i686)
# chooses the other build where the machine runs both.
#   scripts/bench.sh [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-15}
bash scripts/setup-deps.sh
source scripts/lib/wine-session.sh
cmake --preset "$(preset_of "$arch")" >/dev/null
cmake --build "$build" --target Polvane polvane_console bare_window bare_window_themed \
  bare_window_loaded same_window same_window_imports launch_timer registry_bench console_floor big_pol >/dev/null
start_wine_session

echo "The $arch build, under $WINELOADER ($(wine --version | tr -d '\r')), $WINEARCH prefix"
exe_bytes=$(stat -c %s $build/Polvane.exe)
com_bytes=$(stat -c %s $build/Polvane.com)
windows_path() { wine winepath -w "$1" | tr -d '\r'; }
policy_key='HKCU\Software\Policies\Microsoft\Messenger'
session_cleanups+=("wine reg delete '$policy_key' /f >/dev/null 2>&1 || true")
# Polvane starts on stored values, as it would on a managed machine.
for name in PreventRun DisableFileTransfer DisablePC2PCAudio DisablePC2Phone DisableVideo; do
  wine reg add "$policy_key\\Client" /v $name /t REG_DWORD /d 0 /f >/dev/null
done

launches=$(wine $build/launch_timer.exe "$runs" "$(wine winepath -w $build/Polvane.exe)" \
  'C:\windows\system32\notepad.exe' "$(wine winepath -w $build/bare_window.exe)" \
  "$(wine winepath -w $build/bare_window_themed.exe)" \
  "$(wine winepath -w $build/bare_window_loaded.exe)" \
  "$(wine winepath -w $build/same_window.exe)" \
  "$(wine winepath -w $build/same_window_imports.exe)" | tr -d '\r')
# A command, run to its end in turns with reg.exe reading the same key (by
# its full path: one process), the floor and Polvane.exe, in this session
# whose server and desktop are up: the median of the ratio of each pair.
commands=$(wine $build/launch_timer.exe --to-exit "$runs" \
  "\"$(windows_path $build/Polvane.com)\" /show" \
  "C:\\windows\\system32\\reg.exe query \"$policy_key\\Client\"" \
  "\"$(windows_path $build/console_floor.exe)\"" \
  "\"$(windows_path $build/Polvane.exe)\" /show" | tr -d '\r')

# Large Registry.pol files: each run's time and peak resident memory (Wine's
# own included, which /show's peak stands for), the median of five; /gpo
# /set writes a fresh copy of the file each run.
drive_c=$WINEPREFIX/drive_c
gpo=$drive_c/windows/system32/GroupPolicy
[ ! -e "$gpo" ] || mv "$gpo" "$gpo.bench-kept"
session_cleanups+=("rm -rf '$gpo' '$drive_c/polvane-bench.pol'; [ ! -e '$gpo.bench-kept' ] || mv '$gpo.bench-kept' '$gpo'")
com=$build/Polvane.com
# Median seconds and KiB of five runs of a command.
measure() {
  local run
  for run in 1 2 3 4 5; do
    [ -z "${before:-}" ] || eval "$before"
    /usr/bin/time -f '%e %M' wine "$@" 2>&1 >/dev/null | tail -1
  done | sort -n | sed -n 3p
}
shown=$(before='' measure $com /show)
large=$(for records in 1000 10000 100000; do
  wine $build/big_pol.exe $records 'C:\polvane-bench.pol' >/dev/null
  bytes=$(stat -c %s "$drive_c/polvane-bench.pol")
  echo "$records $bytes import $(before='' measure $com /import 'C:\polvane-bench.pol')"
  echo "$records $bytes gpo $(before="mkdir -p '$gpo/User' && cp '$drive_c/polvane-bench.pol' '$gpo/User/Registry.pol'" \
    measure $com /gpo /set PreventRun=1)"
done)
registry=$(wine $build/registry_bench.exe 1000 | tr -d '\r')
median() { echo "$launches" | sed -n "${1}p" | cut -f2; }
fastest() { echo "$launches" | sed -n "${1}p" | cut -f3; }
polvane=$(median 1) notepad=$(median 2) bare=$(median 3) themed=$(median 4) loaded=$(median 5)
same=$(median 6) imports=$(median 7)
command_field() { echo "$commands" | sed -n "${1}p" | cut -f2; }
ratio() { echo "$commands" | grep '^ratio' | sed -n "${1}p" | cut -f2; }
field() { echo "$registry" | awk -v what="$1" -v column="$2" '$1 == what { print $column }'; }

awk -v bytes="$exe_bytes" -v p="$polvane" -v n="$notepad" -v b="$bare" \
  -v pf="$(fastest 1)" -v nf="$(fastest 2)" -v bf="$(fastest 3)" -v runs="$runs" \
  -v t="$themed" -v tf="$(fastest 4)" -v l="$loaded" -v lf="$(fastest 5)" \
  -v s="$same" -v sf="$(fastest 6)" -v si="$imports" -v sif="$(fastest 7)" \
  -v show="$(command_field 1)" -v reg="$(command_field 2)" -v floor="$(command_field 3)" \
  -v exeShow="$(command_field 4)" -v toReg="$(ratio 1)" -v toFloor="$(ratio 2)" \
  -v toExe="$(ratio 3)" -v comBytes="$com_bytes" -v shown="$shown" -v large="$large" \
  -v load="$(field load 2)" -v save="$(field save 2)" \
  -v loadCalls="$(field load 3)" -v saveCalls="$(field save 3)" 'BEGIN {
  printf "| Measure | Polvane | Goal |\n|---|---|---|\n"
  printf "| Size of Polvane.exe | %d bytes (%.1f KiB) | under 512 KiB |\n", bytes, bytes / 1024
  printf "| Launch to visible, loaded window, median of %d (fastest) | %.1f ms (%.1f) | |\n", runs, p, pf
  printf "| ... Wine notepad, same run | %.1f ms (%.1f) | Polvane at most 75 %%: %.1f ms; now %.0f %% |\n", n, nf, n * 0.75, 100 * p / n
  printf "| ... bare Win32 window, same toolchain | %.1f ms (%.1f) | Polvane within 20 %%: %.1f ms; now +%.0f %% |\n", b, bf, b * 1.2, 100 * (p - b) / b
  printf "| ... the same bare window with Polvane'"'"'s manifest and common controls 6 | %.1f ms (%.1f) | Polvane at most 1.15 times: %.1f ms; now %.2f times |\n", t, tf, t * 1.15, p / t
  printf "| ... that themed window, also loading ole32, oleaut32, shell32, version and COM | %.1f ms (%.1f) | (for comparison) |\n", l, lf
  printf "| ... the same window made the shortest way (bench/same_window.cpp) | %.1f ms (%.1f) | Polvane at most 1.1 times; now %.2f times |\n", s, sf, p / s
  printf "| ... that window importing the other DLLs Polvane.exe imports, none called | %.1f ms (%.1f) | Polvane at most 1.1 times; now %.2f times |\n", si, sif, p / si
  printf "| Polvane as a ratio to notepad / themed bare window / themed and loaded | %.2f / %.2f / %.2f | |\n", p / n, p / t, p / l
  printf "| Size of Polvane.com | %d bytes (%.1f KiB) | under 512 KiB |\n", comBytes, comBytes / 1024
  printf "| Polvane.com /show, run to its end, median of %d | %.1f ms | |\n", runs, show
  printf "| ... reg.exe query of the same key, in turns | %.1f ms | (for comparison) now %.2f times (median of the pairs) |\n", reg, toReg
  printf "| ... the floor, a console program that only prints the five values (bench/console_floor.cpp) | %.1f ms | at most 1.1 times; now %.2f times |\n", floor, toFloor
  printf "| ... Polvane.exe /show, the windowed program | %.1f ms | (for comparison) now %.2f times |\n", exeShow, toExe
  split(shown, base, " ")
  printf "| Polvane.com /show: time and peak resident memory, Wine'"'"'s own included (median of 5) | %.2f s, %.1f MiB | |\n", base[1], base[2] / 1024
  n = split(large, lines, "\n")
  for (i = 1; i <= n; i++) {
    split(lines[i], f, " ")
    printf "| %s of a %d-record Registry.pol (%.1f MB): time, peak memory, above /show'"'"'s as times the file | %.2f s, %.1f MiB, %.2f times | %s |\n", f[3] == "gpo" ? "/gpo /set" : "/import", f[1], f[2] / 1e6, f[4], f[5] / 1024, (f[5] - base[2]) * 1024 / f[2], f[3] == "gpo" ? "under 3 times" : "under 1 s"
  }
  printf "| One load of the five values (median of 1000) | %.1f us | |\n", load
  printf "| One save of the five values (median of 1000) | %.1f us | |\n", save
  printf "| Registry calls per load | %d | 15 |\n", loadCalls
  printf "| Registry calls per save | %d | 15 |\n", saveCalls
}'
