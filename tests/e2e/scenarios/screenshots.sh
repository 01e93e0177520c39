#!/usr/bin/env bash
# The pictures the README shows, taken from this build: Wine's own taskbar
# with a Cyrillic caption over its Start button, the settings window, the open
# tray menu and the About window mid-animation. Each is checked for what it
# must show before it is kept in $E2E_WORK/screenshots; tools/screenshots.sh
# copies them next to the README.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
shots=$E2E_WORK/screenshots
# A picture left from an earlier run must not pass for one of this run.
rm -rf "$shots"
mkdir -p "$shots"

# Every glyph drawn: the title-bar buttons are Marlett symbols, not letters.
expect_eq "Marlett in the prefix" yes "$([[ -f $WINEPREFIX/drive_c/windows/Fonts/marlett.ttf ]] && echo yes || echo no)"

# shot NAME LEFT TOP RIGHT BOTTOM: that part of the screen, with a margin.
shot() {
  local name=$1 left=$(($2 - 8)) top=$(($3 - 8)) right=$(($4 + 8)) bottom=$(($5 + 8))
  ((left < 0)) && left=0
  ((top < 0)) && top=0
  ((right > 1024)) && right=1024
  ((bottom > 768)) && bottom=768
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$shots/$name.png" 2>/dev/null
  [[ -s $shots/$name.png ]] || fail "no screenshot $name"
  echo "screenshot $name: $((right - left))x$((bottom - top))"
}

td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск!'
td reg-set "$SETTINGS_KEY" StartUp 1
program_start
out=$(td wait-overlay 'Пуск!' 2000) || fail "the caption over Wine's Start button: $out"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
sleep 0.3
# Wine's taskbar, from the Start button to the tray.
shot taskbar 0 748 1024 768

tray_click 1
poll 1 2000 form_field visible || fail "the settings window did not show"
sleep 0.5
# shellcheck disable=SC2046
shot settings $(td form | sed -n 's/^window //p')

# The menu's picture shows the desktop behind it, not the settings window.
td minimize-form || fail "no settings window to minimise"
poll 0 2000 form_field visible || fail "the settings window minimised is still shown"
hook_menus || exit 1
open_tray_menu || fail "no popup menu: $MENU_ITEMS"
read -r ml mt mr mb <<<"$(td menu-window)"
shot menu "$ml" "$mt" 1024 768
close_menu || fail "the tray menu did not close"

open_tray_menu || fail "no popup menu: $MENU_ITEMS"
choose_menu_item 4 2 || fail "no menu to choose \"О программе\" from"
poll 1 3000 td about visible || fail "the About window did not show"
sleep 1.2  # the first line is closing up
# shellcheck disable=SC2046
shot about $(td about window)
td about-close
