#!/usr/bin/env bash
# An icon that the taskbar lost comes back when "TaskbarCreated" is broadcast.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Значок'

program_start --wait-caption 'Значок' 1000 || fail "caption at start: $PROGRAM_CAPTION"
# The caption is put on before the icon is added: under load the first
# look can come between the two.
poll 1 2000 td tray-present
expect_eq "tray icon at start" 1 "$POLL_SEEN"
expect_eq "NIM_DELETE behind the program's back" deleted "$(td tray-delete)"
expect_eq "tray icon after the delete" 0 "$(td tray-present)"
td taskbar-created
poll 1 2000 td tray-present
expect_eq "tray icon after TaskbarCreated" 1 "$POLL_SEEN"
poll 1 2000 tray_slot_filled
expect_eq "tray slot after TaskbarCreated" 1 "$POLL_SEEN"
