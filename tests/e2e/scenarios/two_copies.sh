#!/usr/bin/env bash
# Started twice, the program runs as two independent copies: each with its
# own window and tray icon, each writing the caption; their caption windows
# over Wine's Start button keep their order, both above the taskbar, with
# no copy moving for the other; one ending leaves the other running with
# its icon.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Дважды'

program_start --wait-caption 'Дважды' 1000 || fail "first copy's caption: $PROGRAM_CAPTION"
first=$PROGRAM_PID
program_start
second=$PROGRAM_PID
icons_up() { td copies | grep -c ' icon 1$'; }
poll 2 3000 icons_up
copies=$(td copies)
expect_eq "copies running" 2 "$(grep -c icon <<<"$copies")"
expect_eq "copies with a tray icon" 2 "$(grep -c ' icon 1$' <<<"$copies")"
expect_eq "both ours" "$(printf '%s ' "$first" "$second" | xargs -n1 | sort | xargs)" "$(awk '{print $1}' <<<"$copies" | sort | xargs)"

both_shown() { td overlays | head -1; }
poll "count 2" 3000 both_shown
expect_eq "a caption window for each copy" "count 2" "$POLL_SEEN"
order=$(td overlay-order 3000 20)
expect_eq "over 3 s: their order unchanged, neither below the taskbar" "changes 0 below 0 shown 2" \
  "$(cut -d' ' -f3- <<<"$order")"

td close-form  # the copy whose window comes first
copies_up() { td copies | grep -c icon; }
poll 1 3000 copies_up
expect_eq "copies after one closed" 1 "$POLL_SEEN"
expect_eq "the copy left keeps its icon" 1 "$(icons_up)"
td set-text "Один остался" --wait-caption 1000 >/dev/null || fail "the copy left goes on writing the caption"
