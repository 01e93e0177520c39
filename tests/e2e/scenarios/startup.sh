#!/usr/bin/env bash
# Start-up: the stored caption reaches Wine's Start button within a second,
# the settings window stays hidden, the tray icon is there, and a text put
# into the Edit reaches the button on the next tick without pressing Ok.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

stored='Пуск: Привет, мир'
td reg-set "$SETTINGS_KEY" StartButtonText "$stored"
td reg-set "$SETTINGS_KEY" StartUp 0

program_start --wait-caption "$stored" 1000 || fail "stored caption on the Start button at start: $PROGRAM_CAPTION"
echo "$PROGRAM_CAPTION"

# The icon comes after the caption; once it is there, start-up has ended.
poll 1 1000 td tray-present
expect_eq "tray icon after start" 1 "$POLL_SEEN"
sleep 0.3
expect_eq "settings window visible after start" 0 "$(form_field visible)"
expect_eq "settings window title" Talvorin "$(form_field caption)"
expect_eq "tray slot shows the icon" 1 "$(tray_slot_filled)"
expect_eq "check box after StartUp=0" 0 "$(td get-check)"

typed='Новая надпись'
out=$(td set-text "$typed" --wait-caption 200) || fail "Edit text on the Start button within 200 ms: $out"
echo "$out"
expect_eq "Start button after the Edit changed" "$typed" "$(td start-caption)"
