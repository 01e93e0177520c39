#!/usr/bin/env bash
# With a Shell_TrayWnd that has no Start button in front of Wine's taskbar,
# the program shows one error box and does not pile more on top of it while
# its 100 ms timer keeps failing.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
td reg-set "$SETTINGS_KEY" StartButtonText 'Без кнопки'

background_driver decoy decoy || exit 1
program_start

box_count() { td message-boxes Talvorin | head -1; }
poll 'count 1' 3000 box_count
boxes=$(td message-boxes Talvorin)
expect_eq "boxes titled Talvorin after start" "count 1" "$(head -1 <<<"$boxes")"
expect_eq "text of the box" "text Error: Cannot find window" "$(sed -n 2p <<<"$boxes")"

sleep 2
expect_eq "boxes titled Talvorin 2 s later" "count 1" "$(box_count)"
