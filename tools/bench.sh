#!/usr/bin/env bash
# Figures, no verdict: the size of talvorin.exe, its CPU share over 30 s idle
# under Wine, and its peak working set beside that of a minimal Win32
# program built the same way. Runs on an Xvfb and a Wine prefix of its own.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
IDLE_SECONDS=${IDLE_SECONDS:-30}

bash tools/setup.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows >/dev/null

EXE=$ROOT/build/windows/app/talvorin.exe
MINIMAL=$ROOT/build/windows/tests/e2e/minimal.exe
TDRIVER=$ROOT/build/windows/tests/e2e/tdriver.exe
LOG=$ROOT/build/bench-wine.log

source tools/wine-env.sh
talvorin_build_locale "$ROOT/build/locale"
talvorin_wine_env "$ROOT/build/bench/wineprefix" "$ROOT/build/locale"
td() { in_wine_locale wine "$TDRIVER" "$@" 2>>"$LOG"; }

windows_pids=()
holder=
cleanup() {
  set +e
  local pid
  for pid in "${windows_pids[@]}"; do td kill "$pid"; done
  [[ -n $holder ]] && kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null
  timeout 15 wineserver -w
  [[ -n ${TALVORIN_XVFB_PID:-} ]] && kill "$TALVORIN_XVFB_PID" 2>/dev/null
}
trap cleanup EXIT

unset DISPLAY
talvorin_start_xvfb
talvorin_prepare_prefix
"${WINE_LOCALE[@]}" wine "$TDRIVER" hold >/dev/null 2>>"$LOG" &
holder=$!
sleep 2

# start EXE: prints the Windows pid.
start() {
  local pid
  pid=$(td start "$1" >"$ROOT/build/bench/start.out"; awk '$1 == "pid" {print $2}' "$ROOT/build/bench/start.out")
  windows_pids+=("$pid")
  echo "$pid"
}

# The Linux process of a program in our prefix, found by its command line.
linux_pid() {
  local name=$1 proc
  for proc in /proc/[0-9]*; do
    [[ $(tr '\0' ' ' <"$proc/cmdline" 2>/dev/null) == *"$name"* ]] || continue
    tr '\0' '\n' <"$proc/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${proc#/proc/}"
    return 0
  done
  return 1
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
vm_hwm_kb() { awk '$1 == "VmHWM:" {print $2}' "/proc/$1/status"; }

printf 'talvorin.exe size: %s bytes\n' "$(stat -c %s "$EXE")"
printf 'minimal.exe size:  %s bytes\n' "$(stat -c %s "$MINIMAL")"

program=$(start "$EXE")
minimal=$(start "$MINIMAL")
sleep 2
program_linux=$(linux_pid talvorin.exe)
minimal_linux=$(linux_pid minimal.exe)

ticks_per_second=$(getconf CLK_TCK)
before=$(cpu_ticks "$program_linux")
sleep "$IDLE_SECONDS"
after=$(cpu_ticks "$program_linux")
awk -v d=$((after - before)) -v hz="$ticks_per_second" -v s="$IDLE_SECONDS" \
  'BEGIN {printf "talvorin.exe CPU over %d s idle: %.2f %% of one core (%d ticks)\n", s, 100 * d / (hz * s), d}'

peak() { td peak-memory "$1" | awk '$1 == "peak_working_set" {printf "%.0f", $2 / 1024}'; }
printf 'peak working set (GetProcessMemoryInfo): talvorin.exe %s KiB, minimal.exe %s KiB\n' \
  "$(peak "$program")" "$(peak "$minimal")"
printf 'VmHWM of the Wine process:               talvorin.exe %s KiB, minimal.exe %s KiB\n' \
  "$(vm_hwm_kb "$program_linux")" "$(vm_hwm_kb "$minimal_linux")"
