#!/usr/bin/env bash
# The caption follows the shell at once, between the ticks: a taskbar
# raised over it and made the foreground window, as a click on it does; a
# Start window that moves along its taskbar every 40 ms; a taskbar that
# slides off the screen and back 4 px every 15 ms; and the same moves of a
# taskbar made by a new process, as when Explorer starts anew. In at most
# one step of each the caption may stay behind for more than 30 ms. The
# times come from the driver, inside Wine.
source "$(dirname "$0")/../lib.sh"
e2e_not_under_wine 8 "Wine 8 delivers no window events out of context: there the tick alone follows the shell"
e2e_join_desktop
e2e_reset_registry
tray_sweep

# at_most_one_late WHAT DRIVER_LINE: the driver's times, one a step ("-":
# never caught up with; "?MS": caught up by then, but the driver had not
# looked for more than 10 ms before). A step over 30 ms that the driver
# could not time is not counted late, but at most a quarter of them may be
# such: a machine that stalls more than that does not time the program.
at_most_one_late() {
  local what=$1 times late blind
  read -r -a times <<<"${2#* }"
  late=$(printf '%s\n' "${times[@]}" | awk '$1 == "-" || ($1 !~ /^[?]/ && $1 > 30)' | grep -c .)
  blind=$(printf '%s\n' "${times[@]}" | awk '/^[?]/ && substr($1, 2) + 0 > 30' | grep -c .)
  echo "$what (ms): ${times[*]}"
  expect_eq "$what: ${#times[@]} steps, at most one over 30 ms ($late)" 1 "$((${#times[@]} > 1 && late <= 1))"
  expect_eq "$what: at most a quarter not timed ($blind)" 1 "$((blind * 4 <= ${#times[@]}))"
}

td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск!'
program_start --wait-caption 'Пуск!' 3000 || fail "the button's text at start: $PROGRAM_CAPTION"
out=$(td wait-overlay 'Пуск!' 1000) || fail "overlay at start: $out"

at_most_one_late "beneath the raised taskbar" "$(td raise-taskbar 8)"

# follow_standin NAME: a 10-shaped stand-in in front of Wine's taskbar, its
# Start window moving one way and back, then the taskbar sliding off the
# screen and back.
follow_standin() {
  background_driver "$1" standin-taskbar ten || exit 1
  standin_pid=${E2E_LINUX_PIDS[-1]}
  local part
  part=$(td start-rect standin-visible)
  poll 1 3000 eval "td overlays | grep -c '^overlay $part '"
  expect_eq "$1: the caption over its Start window" 1 "$POLL_SEEN"
  at_most_one_late "$1: Start moving right every 40 ms" "$(td standin-steps start 8 12 40)"
  at_most_one_late "$1: Start moving back" "$(td standin-steps start 8 -12 40)"
  at_most_one_late "$1: the taskbar sliding off the screen" "$(td standin-steps bar 16 4 15)"
  at_most_one_late "$1: the taskbar sliding back" "$(td standin-steps bar 16 -4 15)"
}

follow_standin standin
# Explorer ends and a new one makes the taskbar: a process of its own.
kill "$standin_pid"
wait "$standin_pid" 2>/dev/null
follow_standin "standin-anew"
