#!/usr/bin/env bash
# Figures, no verdict, for each build this host can run under Wine, side by
# side: the size of talvorin.exe, its CPU share over 30 s idle, and its peak
# working set beside that of a minimal Win32 program of the same
# architecture, built and linked the same way. Each build runs on an Xvfb
# and a Wine prefix of its own.
#
# IDLE_SECONDS sets the idle span; TALVORIN_WINE_ARCHES=x86|x64 picks builds.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
IDLE_SECONDS=${IDLE_SECONDS:-30}

bash tools/setup.sh >/dev/null
source tools/wine-env.sh
source tools/wine-arches.sh
if ! talvorin_wine_arches; then
  echo "bench: $TALVORIN_ARCHES_LINE" >&2
  exit 1
fi
echo "$TALVORIN_ARCHES_LINE"
talvorin_build_locale "$ROOT/build/locale"

preset_of() { [[ $1 == x86 ]] && echo windows || echo windows-x64; }

# The Linux process of a program in our prefix, found by its command line.
linux_pid() {
  local name=$1 proc
  for proc in /proc/[0-9]*; do
    [[ $(tr '\0' ' ' 2>/dev/null <"$proc/cmdline") == *"$name"* ]] || continue
    tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${proc#/proc/}"
    return 0
  done
  return 1
}

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
vm_hwm_kb() { awk '$1 == "VmHWM:" {print $2}' "/proc/$1/status"; }

# measure ARCH OUT: runs one build and writes "name value" lines to OUT.
# A subshell, so that each build has its own Wine, X server and clean-up.
measure() (
  local arch=$1 out=$2 preset build
  preset=$(preset_of "$arch")
  build=$ROOT/build/$preset
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null

  local exe=$build/app/talvorin.exe minimal=$build/tests/e2e/minimal.exe tdriver=$build/tests/e2e/tdriver.exe
  local log=$ROOT/build/bench/wine-$arch.log
  mkdir -p "$ROOT/build/bench"
  talvorin_wine_env "$ROOT/build/bench/wineprefix-$arch" "$ROOT/build/locale" "$arch"
  td() { in_wine_locale wine "$tdriver" "$@" 2>>"$log"; }

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
  "${WINE_LOCALE[@]}" wine "$tdriver" hold >/dev/null 2>>"$log" &
  holder=$!
  sleep 2

  start() {
    td start "$1" >"$ROOT/build/bench/start.out"
    local pid
    pid=$(awk '$1 == "pid" {print $2}' "$ROOT/build/bench/start.out")
    windows_pids+=("$pid")
    echo "$pid"
  }
  local program minimal_pid program_linux minimal_linux
  program=$(start "$exe")
  minimal_pid=$(start "$minimal")
  windows_pids=("$program" "$minimal_pid")
  sleep 2
  program_linux=$(linux_pid talvorin.exe)
  minimal_linux=$(linux_pid minimal.exe)

  local hz before after
  hz=$(getconf CLK_TCK)
  before=$(cpu_ticks "$program_linux")
  sleep "$IDLE_SECONDS"
  after=$(cpu_ticks "$program_linux")

  peak() { td peak-memory "$1" | awk '$1 == "peak_working_set" {printf "%.0f", $2 / 1024}'; }
  {
    echo "size $(stat -c %s "$exe")"
    echo "minimal_size $(stat -c %s "$minimal")"
    awk -v d=$((after - before)) -v hz="$hz" -v s="$IDLE_SECONDS" 'BEGIN {printf "idle_cpu %.2f\n", 100 * d / (hz * s)}'
    echo "peak $(peak "$program")"
    echo "minimal_peak $(peak "$minimal_pid")"
    echo "hwm $(vm_hwm_kb "$program_linux")"
    echo "minimal_hwm $(vm_hwm_kb "$minimal_linux")"
  } >"$out"
)

for arch in "${TALVORIN_ARCHES[@]}"; do
  echo "measuring the $(talvorin_arch_name "$arch") build ($IDLE_SECONDS s idle)..."
  measure "$arch" "$ROOT/build/bench/figures-$arch.txt"
done

figure() { awk -v k="$2" '$1 == k {print $2}' "$ROOT/build/bench/figures-$1.txt"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN {if (b > 0) printf "%.2f", a / b; else print "-"}'; }

row() {
  local label=$1
  shift
  printf '%-44s' "$label"
  local value
  for value in "$@"; do printf '%16s' "$value"; done
  printf '\n'
}
header=()
for arch in "${TALVORIN_ARCHES[@]}"; do header+=("$(talvorin_arch_name "$arch")"); done
row "" "${header[@]}"
columns() {
  local arch values=()
  for arch in "${TALVORIN_ARCHES[@]}"; do values+=("$("$@" "$arch")"); done
  printf '%s\n' "${values[@]}"
}
size_of() { figure "$1" size; }
minimal_size_of() { figure "$1" minimal_size; }
idle_of() { echo "$(figure "$1" idle_cpu) %"; }
peak_of() { echo "$(figure "$1" peak) KiB"; }
minimal_peak_of() { echo "$(figure "$1" minimal_peak) KiB"; }
peak_ratio_of() { echo "$(ratio "$(figure "$1" peak)" "$(figure "$1" minimal_peak)") x"; }
hwm_of() { echo "$(figure "$1" hwm) KiB"; }
minimal_hwm_of() { echo "$(figure "$1" minimal_hwm) KiB"; }

mapfile -t v < <(columns size_of); row "talvorin.exe size (bytes)" "${v[@]}"
mapfile -t v < <(columns minimal_size_of); row "minimal.exe size (bytes)" "${v[@]}"
mapfile -t v < <(columns idle_of); row "talvorin.exe CPU, idle ($IDLE_SECONDS s, one core)" "${v[@]}"
mapfile -t v < <(columns peak_of); row "talvorin.exe peak working set" "${v[@]}"
mapfile -t v < <(columns minimal_peak_of); row "minimal.exe peak working set" "${v[@]}"
mapfile -t v < <(columns peak_ratio_of); row "peak working set, talvorin / minimal" "${v[@]}"
mapfile -t v < <(columns hwm_of); row "VmHWM of the Wine process, talvorin" "${v[@]}"
mapfile -t v < <(columns minimal_hwm_of); row "VmHWM of the Wine process, minimal" "${v[@]}"
