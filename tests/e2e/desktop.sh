#!/usr/bin/env bash
# desktop.sh start|stop: the X server, Wine prefix and shell desktop that all
# e2e scenarios of one CTest run share. A holder program keeps the desktop
# up: Wine tears it down a moment after its last program ends.
source "$(dirname "$0")/lib.sh"

# Ends what an earlier start of this build left behind, by the ids it wrote.
stop_desktop() {
  [[ -f $E2E_STATE ]] || return 0
  # shellcheck disable=SC1090
  source "$E2E_STATE"
  export DISPLAY
  if [[ -n ${HOLDER_PID:-} ]] && kill -0 "$HOLDER_PID" 2>/dev/null; then
    kill "$HOLDER_PID"
  fi
  # The prefix is this build's own, so ending all of its processes is ours to do.
  wineserver -k 2>/dev/null
  wineserver -w 2>/dev/null
  if [[ -n ${XVFB_PID:-} ]] && grep -q Xvfb "/proc/$XVFB_PID/cmdline" 2>/dev/null; then
    kill "$XVFB_PID"
  fi
  rm -f "$E2E_STATE"
}

start_desktop() {
  e2e_require_tools
  stop_desktop
  talvorin_build_locale "$E2E_LOCALE" || exit 1
  talvorin_start_xvfb || exit 1
  echo "X server $DISPLAY (pid $TALVORIN_XVFB_PID)"
  {
    echo "DISPLAY=$DISPLAY"
    echo "XVFB_PID=$TALVORIN_XVFB_PID"
  } >"$E2E_STATE"

  talvorin_prepare_prefix
  local holder_out=$E2E_WORK/holder.out
  "${WINE_LOCALE[@]}" wine "$TDRIVER" hold >"$holder_out" 2>>"$E2E_WINE_LOG" &
  echo "HOLDER_PID=$!" >>"$E2E_STATE"

  local i
  for ((i = 0; i < 300; i++)); do
    if grep -q '^ready' "$holder_out" && td start-caption >/dev/null; then
      echo "shell desktop with Wine's taskbar is up"
      return 0
    fi
    sleep 0.1
  done
  echo "FAIL: Wine's shell desktop did not come up; holder said: $(cat "$holder_out")"
  tail -20 "$E2E_WINE_LOG"
  exit 1
}

case ${1:-} in
  start) start_desktop ;;
  stop) stop_desktop ;;
  *)
    echo "usage: desktop.sh start|stop" >&2
    exit 2
    ;;
esac
