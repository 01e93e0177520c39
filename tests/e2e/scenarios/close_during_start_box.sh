#!/usr/bin/env bash
# The window closed while start-up waits in the box of a missing Start
# button, as a restart manager or a log-off may close it: the window holds
# none of the user's choices yet, so the stored settings and the autostart
# value stay as they were. Once the box is closed, the program ends.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Мой текст'
td reg-set "$SETTINGS_KEY" StartUp 1
td reg-set "$RUN_KEY" Talvorin 'C:\old\talvorin.exe'

box_count() { td message-boxes Talvorin | head -1; }
background_driver decoy decoy || exit 1
program_start
poll 'count 1' "$E2E_START_BUDGET_MS" box_count
expect_eq "the box of the missing button" 'count 1' "$POLL_SEEN"

td close-form
form_gone() { td form >/dev/null 2>&1 && echo no || echo yes; }
poll yes 2000 form_gone
expect_eq "the window goes while the box waits" yes "$POLL_SEEN"
expect_eq "StartUp" "value 1" "$(reg_value "$SETTINGS_KEY" StartUp)"
expect_eq "StartButtonText" "value Мой текст" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
expect_eq "HKCU Run Talvorin" 'value C:\old\talvorin.exe' "$(reg_value "$RUN_KEY" Talvorin)"
expect_eq "HKCU Run- Talvorin" absent "$(reg_value "$PARKING_KEY" Talvorin)"

td close-message-boxes Talvorin
expect_eq "the program ends once the box is closed" "exited 0" "$(td wait-exit "$PROGRAM_PID" 3000)"
expect_eq "settings after the end" "value 1" "$(reg_value "$SETTINGS_KEY" StartUp)"
