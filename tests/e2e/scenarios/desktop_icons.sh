#!/usr/bin/env bash
# "Скрыть значки на Рабочем столе" hides the desktop's icon list and becomes
# "Показать значки на Рабочем столе", which shows it again: first with the
# list under Progman, then where the shell has moved it under a WorkerW.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Значки'

hide_item='Скрыть значки на Рабочем столе'
show_item='Показать значки на Рабочем столе'
item_text() { awk -F'\t' -v i="$1" '$1 == i {print $3}' <<<"$MENU_ITEMS"; }

# click_icons_item CAPTION_BEFORE: opens the menu, checks the item's caption
# and chooses it.
click_icons_item() {
  open_tray_menu || fail "right click: no popup menu: $MENU_ITEMS"
  expect_eq "second menu item" "$1" "$(item_text 1)"
  choose_menu_item 4 1 || fail "no open menu to choose \"$1\" from"
  poll 0 2000 menu_open
}

# one_round TOP_CLASS
one_round() {
  background_driver "desktop-$1" desktop-icons "$1" || return 1
  expect_eq "$1: list view at first" 1 "$(td desktop-icons-visible)"
  click_icons_item "$hide_item"
  poll 0 2000 td desktop-icons-visible
  expect_eq "$1: list view after \"$hide_item\"" 0 "$POLL_SEEN"
  click_icons_item "$show_item"
  poll 1 2000 td desktop-icons-visible
  expect_eq "$1: list view after \"$show_item\"" 1 "$POLL_SEEN"
  # The fixture goes with its windows; the next round makes its own.
  kill "${E2E_LINUX_PIDS[-1]}" 2>/dev/null
  wait "${E2E_LINUX_PIDS[-1]}" 2>/dev/null
}

program_start --wait-caption 'Значки' 1000 || fail "caption at start: $PROGRAM_CAPTION"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
hook_menus || exit 1

one_round Progman
one_round WorkerW

# With no desktop windows at all the item still flips its caption.
click_icons_item "$hide_item"
open_tray_menu || fail "right click: no popup menu: $MENU_ITEMS"
expect_eq "second menu item with no desktop" "$show_item" "$(item_text 1)"
close_menu
