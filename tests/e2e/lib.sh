# Shared by the e2e scenarios and desktop.sh. Needs from CTest: TALVORIN_EXE,
# TDRIVER, E2E_WORK (scratch folder of this build) and E2E_LOCALE.
set -uo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
E2E_ROOT=$(cd "$E2E_DIR/../.." && pwd)
# shellcheck source=../../tools/wine-env.sh
source "$E2E_ROOT/tools/wine-env.sh"
# shellcheck source=../../tools/wine-session.sh
source "$E2E_ROOT/tools/wine-session.sh"

: "${TALVORIN_EXE:?set by CTest}" "${TDRIVER:?set by CTest}" "${E2E_WORK:?set by CTest}" "${E2E_LOCALE:?set by CTest}"
E2E_WORK=$(talvorin_bed_path "$E2E_WORK")
E2E_LOCALE=$(talvorin_bed_path "$E2E_LOCALE")
E2E_WINE_MAJOR=$(talvorin_wine_major "$TALVORIN_WINE_ARCH")
E2E_PREFIX=${E2E_PREFIX:-$E2E_WORK/wineprefix}
E2E_STATE=$E2E_WORK/desktop.env
E2E_WINE_LOG=$E2E_WORK/wine.log

RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
PARKING_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run-'

mkdir -p "$E2E_WORK"
talvorin_wine_env "$E2E_PREFIX" "$E2E_LOCALE"

# The menu hook writes the items it reads beside itself, so each test bed
# runs its own copy of the driver and the hook: the two Wines of one build
# run side by side and must never read each other's menus. A copy is
# renamed into place, never written over one that a running driver maps.
e2e_own_drivers() {
  local dir=$E2E_WORK/drivers file
  mkdir -p "$dir"
  for file in "$TDRIVER" "$(dirname "$TDRIVER")/menuhook.dll"; do
    [[ -f $file && $file -nt $dir/${file##*/} ]] || continue
    cp -p "$file" "$dir/${file##*/}.new" && mv -f "$dir/${file##*/}.new" "$dir/${file##*/}"
  done
  TDRIVER=$dir/${TDRIVER##*/}
}
e2e_own_drivers

# --- running Windows programs ----------------------------------------------

# The driver answers with 0, 1 (not as expected) or 2 (usage); any other
# end (a crash, Wine failing) leaves a line in the Wine log, which a failed
# scenario shows at its end.
td() {
  if [[ -n $TD_PID && $TD_SESSION == "${WINEPREFIX:-} ${DISPLAY:-}" && $TD_SERVED == *" $1 "* ]]; then
    td_served "$@"
    return
  fi
  local status=0
  in_wine_locale wine "$TDRIVER" "$@" 2>>"$E2E_WINE_LOG" || status=$?
  ((status <= 2)) || echo "td $1: exit status $status" >>"$E2E_WINE_LOG"
  return "$status"
}

# A Wine process costs a sixth of a second of CPU to start, four suites run
# side by side, and a scenario asks the driver hundreds of questions. So the
# commands that make no window, hook nothing and keep nothing from one call
# to the next go to one driver that stays for the scenario, `tdriver serve`:
# looks at windows and the registry, messages to the program's windows,
# waits. A driver that makes a window or a hook, starts a program (which
# would inherit its pipes), or needs the rights of a process just started
# (to take the foreground) is a process of its own.
TD_SERVED=" reg-get reg-set reg-summary reg-delete reg-make-key form about get-check menu-window tray-present \
  copies desktop-icons-visible start-caption start-rect overlays message-boxes standin-caption foreground \
  kill wait-exit menu-item-point set-text set-check minimize-form close-form cursor close-message-boxes about-close "
TD_PID=
TD_SESSION=
TD_IN=
TD_OUT=
TD_CALLS=0

# td_serve: starts the staying driver of this desktop and prefix.
td_serve() {
  local in=$E2E_WORK/tdriver.in out=$E2E_WORK/tdriver.out
  rm -f "$in" "$out"
  mkfifo "$in" "$out" || return 1
  "${WINE_LOCALE[@]}" wine "$TDRIVER" serve <"$in" >"$out" 2>>"$E2E_WINE_LOG" &
  TD_PID=$!
  # Each open waits for the driver's end of the same pipe.
  exec {TD_IN}>"$in" {TD_OUT}<"$out"
  TD_SESSION="${WINEPREFIX:-} ${DISPLAY:-}"
}

td_serve_stop() {
  [[ -n $TD_PID ]] || return 0
  exec {TD_IN}>&- {TD_OUT}<&-
  kill "$TD_PID" 2>/dev/null
  wait "$TD_PID" 2>/dev/null
  TD_PID=
}

# td_served COMMAND ARGS...: as td, answered by the staying driver. A token
# of this shell and call marks the end of the answer; lines before another
# token are what a caller killed in the middle of a call did not read.
td_served() {
  local arg request token line lines=() status
  TD_CALLS=$((TD_CALLS + 1))
  token=$BASHPID.$TD_CALLS
  request=$token
  for arg in "$@"; do
    if [[ $arg == *[$'\n\x1e\x1f']* ]]; then
      echo "td $1: an argument holds a line end or a separator" >>"$E2E_WINE_LOG"
      return 2
    fi
    request+=$'\x1f'$arg
  done
  # A subshell, so that a driver gone away ends it with SIGPIPE, not us.
  if ! (printf '%s\n' "$request" >&"$TD_IN") 2>/dev/null; then
    td_serve_lost "$@"
    return
  fi
  while IFS= read -r -u "$TD_OUT" line; do
    if [[ $line == $'\x1e'* ]]; then
      if [[ ${line%% *} == $'\x1e'$token ]]; then
        status=${line##* }
        ((${#lines[@]} == 0)) || printf '%s\n' "${lines[@]}"
        return "$status"
      fi
      lines=()
    else
      lines+=("$line")
    fi
  done
  td_serve_lost "$@"
}

# What the staying driver did not answer is asked of a driver of its own;
# the Wine log says so, and a crash of the driver shows there.
td_serve_lost() {
  echo "td $1: the staying driver (pid $TD_PID) is gone; a driver of its own answers" >>"$E2E_WINE_LOG"
  TD_PID=
  td "$@"
}

# --- outcome ------------------------------------------------------------------

E2E_FAILURES=0

fail() {
  echo "FAIL: $*"
  E2E_FAILURES=$((E2E_FAILURES + 1))
}

# expect_eq WHAT EXPECTED SEEN
expect_eq() {
  if [[ $2 == "$3" ]]; then
    echo "ok: $1: $3"
  else
    fail "$1: expected '$2', seen '$3'"
  fi
}

# expect_timely WHAT MS...: times of something the 100 ms tick brings. Wine's
# timers run late at times, and more so on a loaded machine (a median of
# 101 ms seen with the 32-bit build): the median is held to one and a half
# ticks, each to three.
expect_timely() {
  local what=$1 median worst
  shift
  median=$(printf '%s\n' "$@" | sort -n | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}')
  worst=$(printf '%s\n' "$@" | sort -n | tail -1)
  echo "$what after (ms): $*"
  expect_eq "$what: median within 150 ms ($median ms)" 1 "$((median <= 150))"
  expect_eq "$what: each within 300 ms ($worst ms)" 1 "$((worst <= 300))"
}

e2e_unavailable() {
  if [[ ${CI:-} == true ]]; then
    echo "FAIL: $* (tools/setup.sh installs it)"
    exit 1
  fi
  echo "SKIP: $* (bash tools/setup.sh installs it)"
  exit 77
}

# e2e_not_under_wine MAJOR WHY: ends the scenario as skipped under that
# Wine, saying why in one line.
e2e_not_under_wine() {
  if [[ $E2E_WINE_MAJOR == "$1" ]]; then
    echo "SKIP under Wine $1: $2"
    exit 77
  fi
}

e2e_require_tools() {
  local tool
  for tool in Xvfb xdotool localedef import convert; do
    command -v "$tool" >/dev/null || e2e_unavailable "$tool is not installed"
  done
  # wine on PATH is our own wrapper; what counts is the loader behind it.
  tool=$(talvorin_wine_loader "$TALVORIN_WINE_ARCH")
  [[ -x $tool ]] || e2e_unavailable "$tool is not installed"
}

# --- the desktop of this run (desktop.sh start) ---------------------------

e2e_join_desktop() {
  if [[ ! -f $E2E_STATE ]]; then
    echo "FAIL: no test desktop: e2e.desktop.start did not run or failed"
    exit 1
  fi
  # shellcheck disable=SC1090
  source "$E2E_STATE"
  export DISPLAY
  if ! kill -0 "$XVFB_PID" 2>/dev/null; then
    echo "FAIL: the test desktop's X server ($DISPLAY) is gone"
    exit 1
  fi
  if [[ ! -f $TALVORIN_EXE ]]; then
    echo "FAIL: $TALVORIN_EXE was not built"
    exit 1
  fi
  trap e2e_cleanup EXIT
  td_serve
}

# --- what a scenario starts, ended by the EXIT trap --------------------------

E2E_PROGRAM_PIDS=()   # Windows process ids
E2E_START_BUDGET_MS=${E2E_START_BUDGET_MS:-5000}
E2E_LINUX_PIDS=()     # helpers started in the background

# program_start [EXE] [--wait-caption TEXT TIMEOUT_MS]: starts the program
# from the driver, so that the clock runs from CreateProcess. Sets
# PROGRAM_PID, PROGRAM_PATH (as Windows sees it) and PROGRAM_CAPTION (the
# driver's line about the caption). Returns the driver's status.
program_start() {
  local exe=$TALVORIN_EXE
  if [[ $# -gt 0 && $1 != --* ]]; then
    exe=$1
    shift
  fi
  # Starting a Wine process takes seconds on a busy machine. How soon the
  # caption comes is a figure of tools/bench.sh (start to first caption);
  # here it only has to come.
  if [[ ${1:-} == --wait-caption && ${3:-0} -lt $E2E_START_BUDGET_MS ]]; then
    set -- "$1" "$2" "$E2E_START_BUDGET_MS" "${@:4}"
  fi
  local out=$E2E_WORK/start.out
  # The program inherits the driver's stdout; a file, not a pipe, so that
  # nothing waits for the program to close it.
  td start "$exe" "$@" >"$out"
  local status=$?
  PROGRAM_PID=$(awk '$1 == "pid" {print $2}' "$out")
  PROGRAM_PATH=$(sed -n 's/^path //p' "$out")
  PROGRAM_CAPTION=$(grep -E '^(caption|timeout)' "$out")
  [[ -n $PROGRAM_PID ]] && E2E_PROGRAM_PIDS+=("$PROGRAM_PID")
  return $status
}

# background_driver NAME COMMAND...: a driver command that runs until killed
# and says "ready" once it stands.
background_driver() {
  local name=$1
  shift
  local out=$E2E_WORK/$name.out
  : >"$out"
  "${WINE_LOCALE[@]}" wine "$TDRIVER" "$@" >"$out" 2>>"$E2E_WINE_LOG" &
  E2E_LINUX_PIDS+=($!)
  local i
  for ((i = 0; i < 100; i++)); do
    grep -q '^ready' "$out" && return 0
    sleep 0.1
  done
  fail "driver '$*' did not get ready: $(cat "$out")"
  return 1
}

e2e_cleanup() {
  local pid
  for pid in "${E2E_PROGRAM_PIDS[@]}"; do td kill "$pid" >/dev/null; done
  for pid in "${E2E_LINUX_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  close_menu
  tray_sweep
  td_serve_stop
  if ((E2E_FAILURES > 0)); then
    echo "$E2E_FAILURES check(s) failed"
    echo "--- the end of $E2E_WINE_LOG:"
    tail -n 15 "$E2E_WINE_LOG"
    exit 1
  fi
}

# --- registry ---------------------------------------------------------------

e2e_reset_registry() {
  td reg-delete "$APP_KEY"
  td reg-delete "$RUN_KEY" Talvorin
  td reg-delete "$PARKING_KEY"
}

# reg_value KEY NAME: "value TEXT" or "absent"
reg_value() { td reg-get "$1" "$2"; }

# --- the program's window ---------------------------------------------------

form_field() { td form | awk -v f="$1" '$1 == f {print $2}'; }

# poll EXPECTED TIMEOUT_MS COMMAND...: runs COMMAND until it prints EXPECTED;
# POLL_SEEN holds the last output.
poll() {
  local expected=$1 timeout_ms=$2
  shift 2
  local deadline
  deadline=$(($(date +%s%3N) + timeout_ms))
  while :; do
    POLL_SEEN=$("$@")
    [[ $POLL_SEEN == "$expected" ]] && return 0
    (($(date +%s%3N) > deadline)) && return 1
    sleep 0.05
  done
}

# count_pixels red|green|blue GEOMETRY: how many pixels of a region of the
# screen are mostly of that colour.
count_pixels() {
  local colour=$1 geometry=$2
  import -window root -crop "$geometry" +repage "$E2E_WORK/region.png" 2>/dev/null
  convert "$E2E_WORK/region.png" -depth 8 txt:- 2>/dev/null | awk -v c="$colour" -F'[(),]' '
    NR > 1 { r = $3; g = $4; b = $5
             if (c == "red" && r > 160 && g < 110 && b < 110) n++
             if (c == "green" && g > 160 && r < 110 && b < 110) n++
             if (c == "blue" && b > 160 && r < 110 && g < 110) n++ }
    END { print n + 0 }'
}

# --- tray and menus -----------------------------------------------------------

# 1 when the first tray slot shows an icon, 0 when it is bare taskbar.
tray_slot_filled() {
  import -window root -crop "$TRAY_SLOT_CROP" +repage "$E2E_WORK/slot.png" 2>/dev/null
  convert "$E2E_WORK/slot.png" -format '%[fx:standard_deviation > 0.01 ? 1 : 0]' info: 2>/dev/null
}

menu_open() { td menu-window >/dev/null && echo 1 || echo 0; }

close_menu() {
  if [[ $(menu_open) == 1 ]]; then
    pointer_to "$DESKTOP_X" "$DESKTOP_Y"
    xdotool click 1
    poll 0 2000 menu_open
  fi
}

# Needed once per program start, before the first open_tray_menu.
hook_menus() { background_driver menuhook menu-hook; }

# open_tray_menu: right click on the icon; MENU_ITEMS gets the items of the
# menu that opened, as "INDEX<TAB>ENABLED<TAB>TEXT" lines.
open_tray_menu() {
  local log
  log=$E2E_WORK/drivers/menuhook.txt
  rm -f "$log"
  tray_click 3
  local i
  for ((i = 0; i < 60; i++)); do
    if [[ -f $log ]]; then
      MENU_ITEMS=$(cat "$log")
      return 0
    fi
    sleep 0.05
  done
  MENU_ITEMS="no popup menu within 3 s (menu window open: $(menu_open))"
  return 1
}
