#!/usr/bin/env bash
# Figures for each build this host can run under Wine, side by side, each
# beside its goal: the system calls of an idle tick and the requests to
# Wine's server among them, beside those of a minimal Win32 program doing
# the same 100 ms tick, under Wine 8 and under Wine 10 (in the Debian 13 root
# of tools/wine10.sh, traced from the host, whose strace it uses); and under
# Wine 8 the size of talvorin.exe, its idle CPU share beside that of
# a minimal Win32 program doing the same 100 ms tick (the median of several
# runs) while the caption's overlay shows over Wine's Start button, its peak
# working set beside the minimal program's, bare and with a tray icon, and
# the time from process start to the first caption on the Start button; and for one
# activation of the About window, opened from the tray menu, the program's
# CPU share and the spacing of its animation frames. Each build runs on an
# Xvfb and a Wine prefix of its own. No verdict: figures only.
#
# IDLE_SECONDS (60) sets each idle span, RUNS (3) how many; SYSCALL_SECONDS
# (10) each span of counted system calls, as many; STARTS (5) how many starts
# are timed; TALVORIN_WINE_ARCHES=x86|x64 picks the builds. CALLS_ONLY=1
# measures the system calls of the idle tick alone, under both Wines.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
IDLE_SECONDS=${IDLE_SECONDS:-60}
RUNS=${RUNS:-3}
SYSCALL_SECONDS=${SYSCALL_SECONDS:-10}
STARTS=${STARTS:-5}
CALLS_ONLY=${CALLS_ONLY:-}
CAPTION='Жми!'

[[ ${1:-} == --serve ]] || bash tools/setup.sh >/dev/null
source tools/wine-env.sh
source tools/wine-arches.sh

# The Linux process of a program in a prefix, found by its command line.
linux_pid() {
  local name=$1 prefix=$2 proc
  for proc in /proc/[0-9]*; do
    [[ $(tr '\0' ' ' 2>/dev/null <"$proc/cmdline") == *"$name"* ]] || continue
    tr '\0' '\n' 2>/dev/null <"$proc/environ" | grep -qx "WINEPREFIX=$prefix" || continue
    echo "${proc#/proc/}"
    return 0
  done
  return 1
}

# start_idle ARCH: Xvfb, the prefix of this Wine, a holder of the desktop,
# and the program showing the caption beside the minimal program, in
# PROGRAM and MINIMAL (their Windows pids); the clean-up on exit. For a
# subshell of its own.
start_idle() {
  local arch=$1
  build=$ROOT/build/$(talvorin_preset_of "$arch")
  exe=$build/app/talvorin.exe minimal=$build/tests/e2e/minimal.exe tdriver=$build/tests/e2e/tdriver.exe
  log=$(talvorin_bed_path "$ROOT/build/bench/wine-$arch").log
  mkdir -p "$ROOT/build/bench"
  locale=$(talvorin_bed_path "$ROOT/build/locale")
  talvorin_build_locale "$locale"
  talvorin_wine_env "$(talvorin_bed_path "$ROOT/build/bench/wineprefix-$arch")" "$locale" "$arch"
  td() { in_wine_locale wine "$tdriver" "$@" 2>>"$log"; }
  windows_pids=()
  holder=
  cleanup() {
    set +e
    local pid
    for pid in "${windows_pids[@]}"; do td kill "$pid"; done
    [[ -n $holder ]] && kill "$holder" 2>/dev/null && wait "$holder" 2>/dev/null
    timeout 15 wineserver -w || echo "bench: programs of the $arch prefix still ran 15 s after the clean-up" >&2
    [[ -n ${TALVORIN_XVFB_PID:-} ]] && kill "$TALVORIN_XVFB_PID" 2>/dev/null
  }
  trap cleanup EXIT
  unset DISPLAY
  talvorin_start_xvfb
  talvorin_prepare_prefix
  "${WINE_LOCALE[@]}" wine "$tdriver" hold >/dev/null 2>>"$log" &
  holder=$!
  sleep 2
  td reg-set "$SETTINGS_KEY" StartButtonText "$CAPTION" >/dev/null
}

# start EXE [ARGS...]: sets STARTED to the Windows pid and keeps it for the
# clean-up. It refuses to run in a $(...) or any other subshell, where the
# pid would go with the subshell and the program outlive the bench.
start() {
  if ((BASH_SUBSHELL > own_shell)); then
    echo "bench: start $1 in a subshell: its pid would be lost" >&2
    exit 1
  fi
  td start "$@" >"$ROOT/build/bench/start.out"
  STARTED=$(awk '$1 == "pid" {print $2}' "$ROOT/build/bench/start.out")
  windows_pids+=("$STARTED")
}

# Inside the Debian 13 root (wine10.sh run): the program and the minimal
# one idle under Wine 10 until the host, which traces them, writes DIR/done.
if [[ ${1:-} == --serve ]]; then
  arch=$2 dir=$3
  own_shell=$BASH_SUBSHELL
  start_idle "$arch"
  start "$exe"
  start "$minimal"
  sleep 2
  {
    echo "prefix $WINEPREFIX"
    echo "overlays $(td overlays | head -1)"
  } >"$dir/ready.new"
  mv "$dir/ready.new" "$dir/ready"
  for ((i = 0; i < 1200; i++)); do
    [[ -f $dir/done ]] && break
    sleep 0.5
  done
  exit 0
fi

if ! talvorin_wine_arches; then
  echo "bench: $TALVORIN_ARCHES_LINE" >&2
  exit 1
fi
echo "$TALVORIN_ARCHES_LINE"

# CPU time of all threads of a process, in nanoseconds: clock ticks are too
# coarse for a program that wakes ten times a second and does little.
cpu_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%.0f", sum}'; }

# trace_calls PID SECONDS OUT: every system call of the process's threads
# over the span, each with its time, and strace's count of them by name at
# the end.
trace_calls() { timeout -s INT "$2" strace -C -f -ttt -o "$3" -p "$1" >/dev/null 2>&1 || true; }

# calls_per_tick TRACE: the system calls of one idle tick, on average, and
# of them the requests to Wine's server (a write or writev each, between
# blocking the signals and reading the reply). The calls' own times tell
# the ticks apart: each begins after a pause of most of the 100 ms. Only
# whole ticks count, from the first pause to the last, so a tick the timer
# let slip on a busy machine costs nothing.
calls_per_tick() {
  awk '
    $1 ~ /^[0-9]+$/ && $2 ~ /^[0-9]+\.[0-9]+$/ && $3 !~ /^<\.\.\./ && $3 !~ /^(\+\+\+|---)/ {
      if (calls && $2 - last > 0.04) {
        if (ticks++ == 0) { first = calls; first_requests = requests }
        end = calls; end_requests = requests
      }
      calls++
      if ($3 ~ /^writev?\(/) requests++
      last = $2
    }
    END {
      if (ticks > 1) printf "%.1f %.1f\n", (end - first) / (ticks - 1), (end_requests - first_requests) / (ticks - 1)
      else print "- -"
    }' "$1"
}

median() { sort -n | awk '{v[NR] = $1} END {if (NR) print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# idle_calls PROGRAM_LINUX MINIMAL_LINUX TRACE: both programs traced side by
# side over the same spans, RUNS times; prints the figures as "name value"
# lines. After any span of CPU figures, which the tracing would slow.
idle_calls() {
  local program_linux=$1 minimal_linux=$2 trace=$3 run tracer calls requests
  local program_calls=() minimal_calls=() program_requests=() minimal_requests=()
  for ((run = 0; run < RUNS; run++)); do
    trace_calls "$program_linux" "$SYSCALL_SECONDS" "$trace-talvorin.txt" &
    tracer=$!
    trace_calls "$minimal_linux" "$SYSCALL_SECONDS" "$trace-minimal.txt"
    # That one alone: the holder runs in the background too, to the end.
    wait "$tracer"
    read -r calls requests < <(calls_per_tick "$trace-talvorin.txt")
    program_calls+=("$calls") program_requests+=("$requests")
    read -r calls requests < <(calls_per_tick "$trace-minimal.txt")
    minimal_calls+=("$calls") minimal_requests+=("$requests")
  done
  echo "calls_per_tick $(printf '%s\n' "${program_calls[@]}" | grep -v -- - | median)"
  echo "calls_per_ticks $(IFS=/; echo "${program_calls[*]}")"
  echo "minimal_calls_per_tick $(printf '%s\n' "${minimal_calls[@]}" | grep -v -- - | median)"
  echo "minimal_calls_per_ticks $(IFS=/; echo "${minimal_calls[*]}")"
  echo "requests_per_tick $(printf '%s\n' "${program_requests[@]}" | grep -v -- - | median)"
  echo "minimal_requests_per_tick $(printf '%s\n' "${minimal_requests[@]}" | grep -v -- - | median)"
}

build_arch() {
  local preset
  preset=$(talvorin_preset_of "$1")
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" >/dev/null
}

# measure ARCH OUT: runs one build under Wine 8 and writes "name value"
# lines to OUT. A subshell, so that each build has its own Wine, X server
# and clean-up.
measure() (
  local arch=$1 out=$2
  own_shell=$BASH_SUBSHELL
  build_arch "$arch"
  start_idle "$arch"

  if [[ -n $CALLS_ONLY ]]; then
    start "$exe"
    start "$minimal"
    sleep 2
    {
      echo "overlays $(td overlays | head -1)"
      idle_calls "$(linux_pid talvorin.exe "$WINEPREFIX")" "$(linux_pid minimal.exe "$WINEPREFIX")" \
        "$ROOT/build/bench/calls-$arch"
    } >"$out"
    return 0
  fi

  # From CreateProcess to the stored caption on the Start button, a few
  # times, before anything else writes to the button.
  local i pid first_caption=()
  for ((i = 0; i < STARTS; i++)); do
    start "$exe" --wait-caption "$CAPTION" 10000
    pid=$STARTED
    first_caption+=("$(awk '$1 == "caption" {print $3}' "$ROOT/build/bench/start.out")")
    td kill "$pid" >/dev/null
  done
  windows_pids=()

  local program minimal_pid program_linux minimal_linux
  start "$exe"
  program=$STARTED
  start "$minimal"
  minimal_pid=$STARTED
  sleep 2
  program_linux=$(linux_pid talvorin.exe "$WINEPREFIX")
  minimal_linux=$(linux_pid minimal.exe "$WINEPREFIX")
  local overlays
  overlays=$(td overlays | head -1)

  local run before_p before_m after_p after_m program_cpu=() minimal_cpu=() ratios=()
  share() { awk -v d="$1" -v s="$IDLE_SECONDS" 'BEGIN {printf "%.3f", 100 * d / (s * 1e9)}'; }
  for ((run = 0; run < RUNS; run++)); do
    before_p=$(cpu_ns "$program_linux")
    before_m=$(cpu_ns "$minimal_linux")
    sleep "$IDLE_SECONDS"
    after_p=$(cpu_ns "$program_linux")
    after_m=$(cpu_ns "$minimal_linux")
    program_cpu+=("$(share $((after_p - before_p)))")
    minimal_cpu+=("$(share $((after_m - before_m)))")
    ratios+=("$(awk -v p=$((after_p - before_p)) -v m=$((after_m - before_m)) 'BEGIN {if (m > 0) printf "%.2f", p / m; else print "-"}')")
  done

  local calls
  calls=$(idle_calls "$program_linux" "$minimal_linux" "$ROOT/build/bench/calls-$arch")

  peak() { td peak-memory "$1" | awk '$1 == "peak_working_set" {printf "%.0f", $2 / 1024}'; }
  local program_peak minimal_peak
  program_peak=$(peak "$program")
  minimal_peak=$(peak "$minimal_pid")
  # minimal_peak_with VAR: the peak of the minimal program started with
  # VAR=1, in MINIMAL_PEAK.
  minimal_peak_with() {
    local -x "$1=1"
    start "$minimal"
    sleep 2
    MINIMAL_PEAK=$(peak "$STARTED")
    td kill "$STARTED" >/dev/null
  }
  # The same minimal program with the system DLLs talvorin.exe loads (what
  # of the difference the DLLs make, and what the program itself), and with
  # a tray icon.
  local dlls_peak tray_peak
  minimal_peak_with TALVORIN_MINIMAL_DLLS
  dlls_peak=$MINIMAL_PEAK
  minimal_peak_with TALVORIN_MINIMAL_TRAY
  tray_peak=$MINIMAL_PEAK

  # One About activation, opened as the user opens it: a right click on the
  # first tray slot, then "О программе". Icons of the programs killed above
  # linger until the pointer passes over them.
  open_about() {
    tray_click 3
    choose_menu_item 4 2
  }
  local about_seconds=6 about_before about_start about_after about_end
  tray_sweep
  open_about
  about_start=$(date +%s%N)
  about_before=$(cpu_ns "$program_linux")
  sleep "$about_seconds"
  about_after=$(cpu_ns "$program_linux")
  about_end=$(date +%s%N)
  local about_cpu
  about_cpu=$(awk -v c=$((about_after - about_before)) -v w=$((about_end - about_start)) 'BEGIN {printf "%.2f", 100 * c / w}')

  # The frames of a second activation in another instance, each DrawTextA
  # that draws (format 0) timed by Wine's relay trace of that one function.
  td kill "$program" >/dev/null
  tray_sweep
  local relay=$ROOT/build/bench/relay-$arch.log
  td reg-set 'HKCU\Software\Wine\Debug' RelayInclude 'user32.DrawTextA' >/dev/null
  WINEDEBUG=+timestamp,+relay in_wine_locale wine "$tdriver" start "$exe" >"$ROOT/build/bench/start.out" 2>"$relay"
  program=$(awk '$1 == "pid" {print $2}' "$ROOT/build/bench/start.out")
  windows_pids+=("$program")
  sleep 2
  tray_sweep
  open_about
  sleep "$about_seconds"
  td reg-delete 'HKCU\Software\Wine\Debug' RelayInclude >/dev/null
  local intervals
  # The format is the last argument; in a 64-bit process the trace shows the
  # whole register, whose upper half is not the argument's.
  intervals=$({ grep -a 'Call user32.DrawTextA(' "$relay" || true; } | grep -aE ',[0-9a-f]*00000000\) ret=' |
    awk -F: '{t = $1 * 1000; if (NR > 1) printf "%.0f\n", t - last; last = t}' | sort -n)
  percentile() { awk -v p="$1" '{v[NR] = $1} END {if (NR) {i = int(NR * p / 100 + 0.5); if (i < 1) i = 1; print v[i]}}'; }

  {
    echo "size $(stat -c %s "$exe")"
    echo "minimal_size $(stat -c %s "$minimal")"
    echo "idle_cpu $(printf '%s\n' "${program_cpu[@]}" | median)"
    echo "minimal_idle_cpu $(printf '%s\n' "${minimal_cpu[@]}" | median)"
    echo "idle_ratio $(printf '%s\n' "${ratios[@]}" | grep -v -- - | median)"
    echo "idle_ratios $(IFS=/; echo "${ratios[*]}")"
    echo "$calls"
    echo "peak $program_peak"
    echo "minimal_peak $minimal_peak"
    echo "dlls_peak $dlls_peak"
    echo "tray_peak $tray_peak"
    echo "overlays $overlays"
    echo "first_caption $(printf '%s\n' "${first_caption[@]}" | median)"
    echo "first_captions ${first_caption[*]}"
    echo "about_cpu $about_cpu"
    echo "frames $(grep -c . <<<"$intervals")"
    echo "frame_median $(median <<<"$intervals")"
    echo "frame_p95 $(percentile 95 <<<"$intervals")"
  } >"$out"
)

# measure_wine10 ARCH OUT: the idle tick's figures of one build under Wine
# 10, its programs started in the Debian 13 root and traced from here, with
# names prefixed "w10_". Nothing where the root is not made.
measure_wine10() {
  local arch=$1 out=$2 dir=$ROOT/build/bench/wine10-$1 server i prefix
  rm -rf "$dir"
  mkdir -p "$dir"
  : >"$out"
  if [[ ! -f $(bash tools/wine10.sh root)/.talvorin-bed ]]; then
    echo "bench: no Debian 13 root with Wine 10 (bash tools/wine10.sh make): no figures under Wine 10" >&2
    return 0
  fi
  bash tools/wine10.sh run bash tools/bench.sh --serve "$arch" "$dir" >"$dir/serve.log" 2>&1 &
  server=$!
  # A new Wine 10 prefix takes a minute or two.
  for ((i = 0; i < 600; i++)); do
    [[ -f $dir/ready ]] && break
    kill -0 "$server" 2>/dev/null || break
    sleep 1
  done
  if [[ -f $dir/ready ]]; then
    prefix=$(awk '$1 == "prefix" {print $2}' "$dir/ready")
    {
      awk '$1 == "overlays"' "$dir/ready"
      idle_calls "$(linux_pid talvorin.exe "$prefix")" "$(linux_pid minimal.exe "$prefix")" "$dir/calls"
    } | sed 's/^/w10_/' >"$out"
  else
    echo "bench: the $(talvorin_arch_name "$arch") build did not start under Wine 10 (log: $dir/serve.log)" >&2
  fi
  touch "$dir/done"
  wait "$server" || true
}

for arch in "${TALVORIN_ARCHES[@]}"; do
  if [[ -n $CALLS_ONLY ]]; then
    echo "measuring the $(talvorin_arch_name "$arch") build: $RUNS x $SYSCALL_SECONDS s of idle system calls..."
  else
    echo "measuring the $(talvorin_arch_name "$arch") build: $STARTS starts, $RUNS x $IDLE_SECONDS s idle..."
  fi
  measure "$arch" "$ROOT/build/bench/figures-$arch.txt"
  echo "measuring the $(talvorin_arch_name "$arch") build under Wine 10: $RUNS x $SYSCALL_SECONDS s of idle system calls..."
  measure_wine10 "$arch" "$ROOT/build/bench/figures-wine10-$arch.txt"
  cat "$ROOT/build/bench/figures-wine10-$arch.txt" >>"$ROOT/build/bench/figures-$arch.txt"
done

figure() { awk -v k="$2" '$1 == k {$1 = ""; sub(/^ /, ""); print}' "$ROOT/build/bench/figures-$1.txt"; }

# The table, a row a line: label | goal | what each build's cell shows, in
# which @name is that build's figure and @name/@other the ratio of two.
CALLS_TABLE="overlays over Wine's Start button, Wine 8 | count 1 | @overlays
system calls per idle tick, talvorin, Wine 8 | <= 104.7 | @calls_per_tick (@calls_per_ticks)
system calls per idle tick, minimal, Wine 8 | | @minimal_calls_per_tick (@minimal_calls_per_ticks)
system calls, talvorin / minimal, Wine 8 | | @calls_per_tick/@minimal_calls_per_tick x
requests to Wine's server, talvorin, Wine 8 | | @requests_per_tick
requests to Wine's server, minimal, Wine 8 | | @minimal_requests_per_tick
requests, talvorin / minimal, Wine 8 | | @requests_per_tick/@minimal_requests_per_tick x
overlays over Wine's Start button, Wine 10 | count 1 | @w10_overlays
system calls per idle tick, talvorin, Wine 10 | | @w10_calls_per_tick (@w10_calls_per_ticks)
system calls per idle tick, minimal, Wine 10 | | @w10_minimal_calls_per_tick (@w10_minimal_calls_per_ticks)
system calls, talvorin / minimal, Wine 10 | <= 1.1 x | @w10_calls_per_tick/@w10_minimal_calls_per_tick x
requests to Wine's server, talvorin, Wine 10 | | @w10_requests_per_tick
requests to Wine's server, minimal, Wine 10 | | @w10_minimal_requests_per_tick
requests, talvorin / minimal, Wine 10 | | @w10_requests_per_tick/@w10_minimal_requests_per_tick x"
TABLE="talvorin.exe size | <= 262144 B | @size B
minimal.exe size | | @minimal_size B
CPU idle, talvorin (median of $RUNS) | | @idle_cpu %
CPU idle, minimal, same tick | | @minimal_idle_cpu %
CPU idle, talvorin / minimal | <= 1.3 x | @idle_ratio x (@idle_ratios)
peak working set, talvorin | | @peak KiB
peak working set, minimal | | @minimal_peak KiB
peak working set, talvorin / minimal | <= 1.2 x | @peak/@minimal_peak x
peak working set, minimal + the DLLs | | @dlls_peak KiB
peak working set, talvorin / that | | @peak/@dlls_peak x
peak working set, minimal + tray icon | | @tray_peak KiB
peak working set, talvorin / that | <= 1.1 x | @peak/@tray_peak x
start to first caption (median of $STARTS) | | @first_caption ms
CPU during one About activation | <= 5 % | @about_cpu %
About frame interval, median | 20-22 ms | @frame_median ms (@frames intervals)
About frame interval, 95th percentile | <= 25 ms | @frame_p95 ms"

# cell ARCH TEMPLATE: the template with that build's figures in it.
cell() {
  awk -v t="$2" '
    { name = $1; $1 = ""; sub(/^ /, ""); value[name] = $0 }
    END {
      while (match(t, /@[a-z_0-9]+(\/@[a-z_0-9]+)?/)) {
        n = split(substr(t, RSTART + 1, RLENGTH - 1), part, "/@")
        if (n == 1) shown = value[part[1]]
        else if (value[part[2]] + 0 > 0) shown = sprintf("%.2f", value[part[1]] / value[part[2]])
        else shown = "-"
        out = out substr(t, 1, RSTART - 1) shown
        t = substr(t, RSTART + RLENGTH)
      }
      print out t
    }' "$ROOT/build/bench/figures-$1.txt"
}

rows=$CALLS_TABLE
[[ -n $CALLS_ONLY ]] || rows+=$'\n'$TABLE
echo
printf '%-44s %-14s' "figure" "goal"
for arch in "${TALVORIN_ARCHES[@]}"; do printf ' %-20s' "$(talvorin_arch_name "$arch")"; done
printf '\n'
while IFS='|' read -r label goal template; do
  label=${label% } goal=${goal# } goal=${goal% } template=${template# }
  printf '%-44s %-14s' "$label" "$goal"
  for arch in "${TALVORIN_ARCHES[@]}"; do printf ' %-20s' "$(cell "$arch" "$template")"; done
  printf '\n'
done <<<"$rows"

# Where a goal is missed, what the rest of the cost is made of.
[[ -n $CALLS_ONLY ]] && exit 0
for arch in "${TALVORIN_ARCHES[@]}"; do
  peak=$(figure "$arch" peak) minimal=$(figure "$arch" minimal_peak) dlls=$(figure "$arch" dlls_peak)
  if awk -v p="$peak" -v m="$minimal" 'BEGIN {exit !(p > 1.2 * m)}'; then
    echo "peak working set over its goal ($(talvorin_arch_name "$arch")): of the $((peak - minimal)) KiB above the" \
      "minimal program, $((dlls - minimal)) KiB come with the system DLLs talvorin.exe loads (shell32 for the" \
      "tray icon, comctl32, advapi32) and $((peak - dlls)) KiB are the program's own."
  fi
done
