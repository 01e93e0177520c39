#!/usr/bin/env bash
# A stored StartUp that is no check-box state must not stop the start: the
# caption goes on, the window hides, the icon is added, and the box is clear.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

td reg-set "$SETTINGS_KEY" StartButtonText 'Текст при abc'
td reg-set "$SETTINGS_KEY" StartUp abc

program_start --wait-caption 'Текст при abc' 1000 || fail "caption with StartUp=abc: $PROGRAM_CAPTION"
expect_eq "process still running" "still running after 500 ms" "$(td wait-exit "$PROGRAM_PID" 500)"
poll 1 1000 td tray-present
expect_eq "tray icon" 1 "$POLL_SEEN"
sleep 0.3
expect_eq "settings window visible" 0 "$(form_field visible)"
expect_eq "check box (BM_GETCHECK)" 0 "$(td get-check)"
