#!/usr/bin/env bash
# With a Shell_TrayWnd that has no Start button in front of Wine's taskbar,
# the program shows one error box and piles no more on top of it while its
# 100 ms timer keeps failing. Once the user has closed it, the ticks stay
# silent; "Ok" brings it back; after the button was found again, a new loss
# is reported again.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
td reg-set "$SETTINGS_KEY" StartButtonText 'Без кнопки'

box_count() { td message-boxes Talvorin | head -1; }
decoy_pid=

start_decoy() {
  background_driver decoy decoy || exit 1
  decoy_pid=${E2E_LINUX_PIDS[-1]}
}

stop_decoy() {
  kill "$decoy_pid" 2>/dev/null
  wait "$decoy_pid" 2>/dev/null
}

start_decoy
program_start

poll 'count 1' 3000 box_count
boxes=$(td message-boxes Talvorin)
expect_eq "boxes titled Talvorin after start" "count 1" "$(head -1 <<<"$boxes")"
expect_eq "text of the box" "text Error: Cannot find window" "$(sed -n 2p <<<"$boxes")"
sleep 2
expect_eq "boxes titled Talvorin 2 s later" "count 1" "$(box_count)"

td close-message-boxes Talvorin
poll 'count 0' 2000 box_count
expect_eq "boxes right after OK" "count 0" "$POLL_SEEN"
sleep 3
expect_eq "boxes 3 s after OK, button still missing" "count 0" "$(box_count)"

td press-ok
poll 'count 1' 2000 box_count
expect_eq "boxes after \"Ok\"" "count 1" "$POLL_SEEN"
td close-message-boxes Talvorin
poll 'count 0' 2000 box_count

# The decoy goes: the ticks find Wine's button and write to it.
stop_decoy
out=$(td wait-caption 'Без кнопки' 2000) || fail "caption once the button is back: $out"
expect_eq "boxes while the button is there" "count 0" "$(box_count)"

start_decoy
poll 'count 1' 3000 box_count
expect_eq "boxes after the button was lost again" "count 1" "$POLL_SEEN"
sleep 1
expect_eq "boxes 1 s later" "count 1" "$(box_count)"
td close-message-boxes Talvorin
