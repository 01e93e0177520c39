#!/usr/bin/env bash
# Real clicks on the tray icon: the right button opens the four-item menu, the
# left one shows the window; minimising hides it and enables "Настройки",
# which brings it back in the normal state.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Трей'

program_start --wait-caption 'Трей' 1000 || fail "caption at start: $PROGRAM_CAPTION"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
hook_menus || exit 1

item_texts() { cut -f3 <<<"$MENU_ITEMS" | paste -sd '|'; }
item_enabled() { awk -F'\t' -v i="$1" '$1 == i {print $2}' <<<"$MENU_ITEMS"; }
expected_items='Настройки|Скрыть значки на Рабочем столе|О программе|Выход'

open_tray_menu || fail "right click: no popup menu: $MENU_ITEMS"
expect_eq "menu items in order" "$expected_items" "$(item_texts)"
expect_eq "menu window open" 1 "$(menu_open)"
close_menu || fail "the menu did not close on a click outside it"
expect_eq "settings window after the right click" 0 "$(form_field visible)"

tray_click 1
poll 1 2000 form_field visible
expect_eq "settings window after a left click" 1 "$POLL_SEEN"
expect_eq "minimised after a left click" 0 "$(form_field iconic)"

td minimize-form
poll 0 2000 form_field visible
expect_eq "settings window after minimising" 0 "$POLL_SEEN"
expect_eq "tray icon after minimising" 1 "$(td tray-present)"

open_tray_menu || fail "right click after minimising: no popup menu: $MENU_ITEMS"
expect_eq "menu items after minimising" "$expected_items" "$(item_texts)"
expect_eq "\"Настройки\" enabled while minimised" 1 "$(item_enabled 0)"
choose_menu_item 4 0 || fail "no open menu to choose \"Настройки\" from"
poll 1 2000 form_field visible
expect_eq "settings window after \"Настройки\"" 1 "$POLL_SEEN"
expect_eq "minimised after \"Настройки\"" 0 "$(form_field iconic)"
