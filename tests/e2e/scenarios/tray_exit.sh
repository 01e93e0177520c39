#!/usr/bin/env bash
# "Выход" removes the icon and ends the process without saving: the stored
# settings and the autostart value stay as they were although the window
# was changed.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

td reg-set "$SETTINGS_KEY" StartButtonText 'До выхода'
td reg-set "$SETTINGS_KEY" StartUp 1
td reg-set "$RUN_KEY" Talvorin 'C:\before\talvorin.exe'

program_start --wait-caption 'До выхода' 1000 || fail "caption at start: $PROGRAM_CAPTION"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
hook_menus || exit 1
td set-text 'После правки'
td set-check 0

open_tray_menu || fail "right click: no popup menu: $MENU_ITEMS"
expect_eq "last menu item" "Выход" "$(awk -F'\t' '$1 == 3 {print $3}' <<<"$MENU_ITEMS")"
choose_menu_item 4 3 || fail "no open menu to choose \"Выход\" from"
out=$(td wait-exit "$PROGRAM_PID" 3000) || fail "\"Выход\" ends the process: $out"
pointer_to "$DESKTOP_X" "$DESKTOP_Y"

# Read from the screen: the pointer stays away from the tray, so Wine has had
# no reason to drop an icon of a dead window on its own.
poll 0 2000 tray_slot_filled
expect_eq "tray slot after \"Выход\"" 0 "$POLL_SEEN"
expect_eq "StartUp" "value 1" "$(reg_value "$SETTINGS_KEY" StartUp)"
expect_eq "StartButtonText" "value До выхода" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
expect_eq "HKCU Run Talvorin" 'value C:\before\talvorin.exe' "$(reg_value "$RUN_KEY" Talvorin)"
