#!/usr/bin/env bash
# bench/run.sh: builds the benchmarks, runs the native ones and, under Wine,
# the driver that times ztrop32.exe against the floor; prints the table and
# writes docs/PERFORMANCE.md.
#   ZT_BENCH_NATIVE_DIR  native build folder (default build/bench)
#   ZT_BENCH_WIN32_DIR   Win32 build folder (default build/win32)
#   ZT_BENCH_PREFIX      Wine prefix of its own (default build/wine-bench)
#   ZT_BENCH_ARGS        passed to bench_driver.exe (--runs N --presses N --load-runs N)
#   ZT_BENCH_DOC         the document to write (default docs/PERFORMANCE.md)
#   ZT_BENCH_KEEP_PREFIX 1 keeps the prefix (over a gigabyte) for the next run
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
native=${ZT_BENCH_NATIVE_DIR:-build/bench}
win32=${ZT_BENCH_WIN32_DIR:-build/win32}
prefix=${ZT_BENCH_PREFIX:-$root/build/wine-bench}
doc=${ZT_BENCH_DOC:-docs/PERFORMANCE.md}
out=$native/results
mkdir -p "$out"

load_now() { cut -d' ' -f1-3 /proc/loadavg; }
load_before=$(load_now)

echo "bench: building ($native, $win32)" >&2
cmake --preset bench -B "$native" >/dev/null
cmake --build "$native" -j2 --target benchmarks >/dev/null
cmake --preset win32 -B "$win32" >/dev/null
cmake --build "$win32" -j2 --target ztrop32 floor bench_marker bench_driver >/dev/null

echo "bench: native benchmarks" >&2
# A failure here still leaves the Wine figures to take; its rows read "nan".
"$native/bench/core_bench" --benchmark_out="$out/core.csv" --benchmark_out_format=csv \
  --benchmark_repetitions=3 --benchmark_report_aggregates_only=true >"$out/core.txt" 2>&1 ||
  { echo "bench: the native benchmarks failed; see $out/core.txt" >&2; touch "$out/core.csv"; }

echo "bench: ztrop32.exe and the floor under Wine (several minutes)" >&2
# shellcheck disable=SC2086
WINEPREFIX=$prefix "$root/scripts/with-wine.sh" wine "$win32/bench/bench_driver.exe" \
  ${ZT_BENCH_ARGS:-} >"$out/driver.txt" 2>"$out/driver.err" || true
load_after=$(load_now)
grep -q '^ZTB press' "$out/driver.txt" || {
  echo "bench: the driver did not finish; see $out/driver.err" >&2
  cat "$out/driver.err" >&2
  exit 1
}

# --- figures -----------------------------------------------------------------

# Median CPU time in microseconds of a native benchmark, e.g. BM_HotKeyPress/1000.
native_us() {
  awk -F, -v name="\"$1_median\"" '$1 == name {
      t = $4; u = $5; gsub(/"/, "", u)
      if (u == "ns") t /= 1000; else if (u == "ms") t *= 1000; else if (u == "s") t *= 1e6
      printf "%.3f", t; found = 1 }
    END { if (!found) print "nan" }' "$out/core.csv"
}
# Field of a driver figure: 3 median, 4 min, 5 max, 6 good runs, 7 runs.
drv() { awk -v k="$1" -v f="${2:-3}" '$1 == "ZTB" && $2 == k { print $f; found = 1 }
  END { if (!found) print "nan" }' "$out/driver.txt"; }
calc() { awk "BEGIN { x = $1; if (x != x) print \"nan\"; else printf \"%.${2:-2}f\", x }" 2>/dev/null || echo nan; }
holds() { awk -v v="$1" -v op="$2" -v t="$3" 'BEGIN {
  if (v == "nan" || v == "") { print "no (no figure)"; exit }
  ok = (op == "<=") ? (v + 0 <= t + 0) : (v + 0 < t + 0); print ok ? "yes" : "**no**" }'; }
ms() { calc "$1 / 1000" 1; }
mib() { calc "$1 / 1048576" 1; }

exe=$win32/ztrop32.exe
floor_exe=$win32/bench/floor.exe
exe_size=$(stat -c %s "$exe")
floor_size=$(stat -c %s "$floor_exe")
imports=$(i686-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ { print $3 }' | sort -f | tr '\n' ' ')
sysdir=$prefix/drive_c/windows/syswow64
[ -d "$sysdir" ] || sysdir=$prefix/drive_c/windows/system32
foreign=""
for dll in $imports; do
  if [ -z "$(find "$sysdir" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
     [[ "${dll,,}" == lib* ]]; then
    foreign="$foreign $dll"
  fi
done

s_floor=$(drv startup.floor); s0=$(drv startup.zt.0); s100=$(drv startup.zt.100)
s1000=$(drv startup.zt.1000); s10=$(drv startup.zt.10); s10000=$(drv startup.zt.10000)
p_floor=$(drv press.floor); p1000=$(drv press.zt.1000)
priv_floor=$(drv private.floor); priv100=$(drv private.zt.100)
ws_floor=$(drv ws.floor); ws100=$(drv ws.zt.100)
save1000=$(drv save.zt.1000); save10000=$(drv save.zt.10000)

r_start100=$(calc "$s100 / $s_floor")
r_start1000=$(calc "$s1000 / $s0")
r_press=$(calc "$p1000 / $p_floor")
press_us=$(native_us BM_HotKeyPress/1000)
press_growth=$(calc "$(native_us BM_HotKeyPress/10000) / $press_us" 1)
load_growth=$(calc "$(native_us BM_LoadBindings/10000) / $(native_us BM_LoadBindings/1000)" 1)
save_growth=$(calc "$(native_us BM_SaveBindings/10000) / $(native_us BM_SaveBindings/1000)" 1)
# The exe's load is its start-up beyond that of the program without bindings.
exe_load_growth=$(calc "($s10000 - $s0) / ($s1000 - $s0)" 1)
exe_save_growth=$(calc "$save10000 / $save1000" 1)
r_priv=$(calc "$priv100 / $priv_floor")
r_ws=$(calc "$ws100 / $ws_floor")
size_kib=$(calc "$exe_size / 1024" 0)

table=$(cat <<EOF
| figure | ztrop32 | reference | ratio | target | holds |
|---|---|---|---|---|---|
| start-up, 100 bindings (ms) | $(ms "$s100") | floor $(ms "$s_floor") | $r_start100 | <= 1.5 x floor | $(holds "$r_start100" "<=" 1.5) |
| start-up, 1,000 bindings (ms) | $(ms "$s1000") | no bindings $(ms "$s0") | $r_start1000 | <= 1.5 x no bindings | $(holds "$r_start1000" "<=" 1.5) |
| press to launch, 1,000 bindings (ms) | $(ms "$p1000") | floor $(ms "$p_floor") | $r_press | <= 1.1 x floor | $(holds "$r_press" "<=" 1.1) |
| own work per press, 1,000 bindings (us, native) | $press_us | - | - | < 20 us | $(holds "$press_us" "<" 20) |
| own work per press, growth 1,000 -> 10,000 (native) | $press_growth x | - | - | linear (<= 12) | $(holds "$press_growth" "<=" 12) |
| load, growth 1,000 -> 10,000 (native) | $load_growth x | - | - | <= 12 | $(holds "$load_growth" "<=" 12) |
| save, growth 1,000 -> 10,000 (native) | $save_growth x | - | - | <= 12 | $(holds "$save_growth" "<=" 12) |
| load, growth 1,000 -> 10,000 (exe under Wine) | $exe_load_growth x | - | - | <= 12 | $(holds "$exe_load_growth" "<=" 12) |
| save, growth 1,000 -> 10,000 (exe under Wine) | $exe_save_growth x | - | - | <= 12 | $(holds "$exe_save_growth" "<=" 12) |
| private bytes after start, 100 bindings (MiB) | $(mib "$priv100") | floor $(mib "$priv_floor") | $r_priv | <= 1.3 x floor | $(holds "$r_priv" "<=" 1.3) |
| working set after start, 100 bindings (MiB) | $(mib "$ws100") | floor $(mib "$ws_floor") | $r_ws | <= 1.3 x floor | $(holds "$r_ws" "<=" 1.3) |
| exe size (KiB) | $size_kib | floor $(calc "$floor_size / 1024" 0) | - | <= 512 KiB | $(holds "$exe_size" "<=" 524288) |
| imported DLLs | $imports | - | - | system DLLs only | $([ -z "$foreign" ] && echo yes || echo "**no**:$foreign") |
EOF
)

exe_rows=""
for n in 0 10 100 1000 10000; do
  exe_rows+="| $n | $(ms "$(drv startup.zt.$n)") | $(ms "$(drv startup.zt.$n 4)")-$(ms "$(drv startup.zt.$n 5)") | $(ms "$(drv save.zt.$n)") | $(ms "$(drv close.zt.$n)") | $(drv saved.zt.$n 6)/$(drv saved.zt.$n 7) |"$'\n'
done
native_rows=""
for b in BM_Dispatch BM_HotKeyPress BM_LoadBindings BM_SaveBindings BM_LoadBindings_TestDoubles BM_SaveBindings_TestDoubles; do
  native_rows+="| $b | $(native_us $b/10) | $(native_us $b/100) | $(native_us $b/1000) | $(native_us $b/10000) | $(calc "$(native_us $b/10000) / $(native_us $b/1000)" 1) |"$'\n'
done
noise_rows=""
for k in startup.floor startup.zt.0 startup.zt.100 startup.zt.1000 press.floor press.zt.1000; do
  noise_rows+="| $k | $(ms "$(drv $k)") | $(ms "$(drv $k 4)") | $(ms "$(drv $k 5)") | $(drv $k 6)/$(drv $k 7) |"$'\n'
done

echo
echo "$table"
echo

cpu=$(awk -F': ' '/model name/ { print $2; exit }' /proc/cpuinfo)
commit=$(git rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git status --porcelain --untracked-files=no 2>/dev/null)" ] || commit="$commit with changes not yet committed"

{
  cat <<EOF
# Performance

Figures of one run of \`make bench\` (bench/run.sh), $(date -u '+%Y-%m-%d %H:%M UTC'),
at commit $commit.
ztrop32.exe and the floor (bench/win32/floor.cpp: one hotkey, one tray icon,
ShellExecuteA on WM_HOTKEY) were measured in the same run, on the same machine,
under Wine, taking turns; every exe figure is a median.

Machine: $(nproc) cores, $cpu; $(wine --version 2>/dev/null || echo "wine ?");
load average (1, 5, 15 min) $load_before before the run, $load_after after it.
The machine is shared with other developers' builds, so the Wine figures are
noisy; the spread of each is in "Noise" below.

## Targets

$table

How each figure is taken:

- start-up: CreateProcess to WaitForInputIdle, and for ztrop32 until the
  registry value "Data" is its "TApplication" window; then the pressed hotkey
  (Ctrl+Shift+Alt+F11, the last binding) must be taken: RegisterHotKey of it
  from the driver fails. Every run in a fresh folder with a generated
  ztrop32.ini; $(drv startup.zt.100 6) runs of each program.
- press to launch: QueryPerformanceCounter before SendInput of the hotkey to
  the counter read first thing by the marker program the hotkey starts
  (bench/win32/marker.cpp); ztrop32 with 1,000 bindings; in blocks, the two
  programs taking turns.
- own work per press: native Google Benchmark (CPU time) of WM_HOTKEY handed
  to THotKeyManager, which calls the dispatcher, over the bindings in a
  vector of rows (BM_HotKeyPress); the pressed binding is the last.
- load and save, native: TBindingList::LoadBindings / SaveBindings on platform
  doubles that cost next to nothing (bench/BenchPlatform.h). The same on the
  test doubles (TMemoryProfileFiles, FakeHotKeySystem) is in the table below;
  those search line by line and are not meant to be fast.
- load and save, exe: the load is the start-up beyond that of the program
  without bindings; the save is WM_CLOSE to the moment the settings file is
  replaced; the file is then checked to hold every binding.
- memory: GetProcessMemoryInfo of the program after start-up has settled
  (300 ms). Wine reports no PrivateUsage for another process, so private
  bytes are the committed private regions (VirtualQueryEx), which is what
  Windows counts there.
- exe: the file's size; imported DLLs by i686-w64-mingw32-objdump -p, each
  checked to be a DLL of Wine's system folder.

## The exe under Wine, by number of bindings

| bindings | start-up (ms) | range (ms) | save (ms) | WM_CLOSE to exit (ms) | saved complete |
|---|---|---|---|---|---|
$exe_rows
WM_CLOSE to exit includes about 2 s that every program here spends leaving
under Wine (the floor too: $(ms "$(drv close.floor)") ms).

## Native benchmarks (CPU time, us, median of 3)

| benchmark | 10 | 100 | 1,000 | 10,000 | 10,000 / 1,000 |
|---|---|---|---|---|---|
$native_rows
## Noise

| figure | median (ms) | min (ms) | max (ms) | good runs |
|---|---|---|---|---|
$noise_rows
EOF
  if [ -f bench/notes.md ]; then
    echo
    cat bench/notes.md
  fi
} >"$doc"
echo "bench: wrote $doc" >&2
[ "${ZT_BENCH_KEEP_PREFIX:-0}" = 1 ] || rm -rf "$prefix"
