#!/usr/bin/env bash
# Builds talvorin.exe and runs it in a Wine desktop with a taskbar: the
# 32-bit build where this host runs 32-bit code, the 64-bit one elsewhere
# (TALVORIN_WINE_ARCHES=x64 asks for it anyway).
#
# Wine paints its Start button from its own label; the program lays its own
# caption over it. With $DISPLAY the desktop opens there and the script waits
# until the program ends (tray menu, "Выход"); without, it runs on an Xvfb of
# its own, prints the caption on the Start button, saves a screenshot to
# build/talvorin-run.png and stops after a few seconds.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
trap 'status=$?; echo "run: stopped with status $status at: $BASH_COMMAND" >&2; exit $status' ERR

bash tools/setup.sh
source tools/wine-env.sh
source tools/wine-arches.sh

if ! talvorin_wine_arches; then
  echo "run: cannot start the program: $TALVORIN_ARCHES_LINE" >&2
  exit 1
fi
ARCH=${TALVORIN_ARCHES[0]}
PRESET=$(talvorin_preset_of "$ARCH")
if [[ $ARCH == x86 ]]; then
  echo "run: the 32-bit build"
else
  echo "run: the 64-bit build; not the ${TALVORIN_ARCHES_LEFT[0]}"
fi
BUILD=$ROOT/build/$PRESET

cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET"

EXE=$BUILD/app/talvorin.exe
TDRIVER=$BUILD/tests/e2e/tdriver.exe
SHOT=$ROOT/build/talvorin-run.png

talvorin_build_locale "$ROOT/build/locale"
talvorin_wine_env "$ROOT/build/wineprefix-$ARCH" "$ROOT/build/locale" "$ARCH"

td() { in_wine_locale wine "$TDRIVER" "$@" 2>>"$ROOT/build/wine-run.log"; }

started_linux=()
program_pid=
cleanup() {
  set +e
  [[ -n $program_pid ]] && td kill "$program_pid"
  local i
  for ((i = ${#started_linux[@]} - 1; i >= 0; i--)); do
    kill "${started_linux[i]}" 2>/dev/null
    wait "${started_linux[i]}" 2>/dev/null
  done
  if [[ -n ${TALVORIN_XVFB_PID:-} ]]; then
    # Let Wine close its desktop before its X server goes.
    timeout 15 wineserver -w
    kill "$TALVORIN_XVFB_PID" 2>/dev/null
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM

headless=0
if [[ -z ${DISPLAY:-} ]]; then
  headless=1
  talvorin_start_xvfb
  echo "no display: running on Xvfb $DISPLAY"
fi
talvorin_prepare_prefix

# First run in this prefix: give the program a caption to show.
if ! td reg-get "$SETTINGS_KEY" StartButtonText >/dev/null; then
  td reg-set "$SETTINGS_KEY" StartButtonText 'Жми!'
fi

# The prefix's default desktop is "shell" at 1024x768, so a plain `wine`
# opens what `wine explorer /desktop=shell,1024x768` would. A holder comes
# first and keeps the desktop up while the program starts.
holder_out=$ROOT/build/holder.out
: >"$holder_out"
"${WINE_LOCALE[@]}" wine "$TDRIVER" hold >"$holder_out" 2>>"$ROOT/build/wine-run.log" &
started_linux+=($!)
for ((i = 0; i < 300; i++)); do
  grep -q '^ready' "$holder_out" && break
  sleep 0.1
done
grep -q '^ready' "$holder_out" || { echo "the Wine desktop did not start" >&2; exit 1; }

start_out=$ROOT/build/start.out
td start "$EXE" >"$start_out"
program_pid=$(awk '$1 == "pid" {print $2}' "$start_out")
[[ -n $program_pid ]] || { cat "$start_out" >&2; exit 1; }
echo "talvorin.exe runs (Windows pid $program_pid)"

if ((headless == 0)); then
  echo "Wine desktop open on $DISPLAY; leave through the tray icon's menu, \"Выход\"."
  td wait-exit "$program_pid" -1 >/dev/null
  program_pid=
  exit 0
fi

# The caption the program lays over Wine's Start button.
caption=$(td reg-get "$SETTINGS_KEY" StartButtonText | sed -n 's/^value //p')
if td wait-overlay "$caption" 5000 >/dev/null; then
  echo "Start button caption: \"$caption\""
else
  echo "no caption on the Start button within 5 s" >&2
fi
sleep 1
import -window root "$SHOT"
echo "screenshot: $SHOT"
sleep 2
