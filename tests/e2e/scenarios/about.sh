#!/usr/bin/env bash
# "О программе" opens the About window titled with the version; the title
# closes up in red in the first line, then the author's name in green in the
# second. The window keeps its design on the real screen: its client area,
# border, controls in tab order and the hand over the links only. "OK" and
# the close box hide it, the menu shows it again, and each link hands its
# address to the shell. Closing the settings window ends the program with
# the About window open.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

# winebrowser opens mailto: and web addresses with the first program of these
# lists: a stub that writes down what it was given.
LINKS_LOG=$E2E_WORK/links.log
STUB=$E2E_WORK/link-stub.sh
printf '#!/bin/sh\necho "$1" >>"%s"\n' "$LINKS_LOG" >"$STUB"
chmod +x "$STUB"
: >"$LINKS_LOG"
td reg-set 'HKCU\Software\Wine\WineBrowser' Browsers "$STUB"
td reg-set 'HKCU\Software\Wine\WineBrowser' Mailers "$STUB"

td reg-set "$SETTINGS_KEY" StartButtonText 'Жми!'
program_start --wait-caption 'Жми!' 3000 || fail "caption at start: $PROGRAM_CAPTION"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
hook_menus || exit 1

about_field() { td about "$1"; }
open_about() {
  open_tray_menu || fail "right click: no popup menu: $MENU_ITEMS"
  choose_menu_item 4 2 || fail "no open menu to choose \"О программе\" from"
  poll 1 3000 about_field visible
}

open_about || fail "no About window after \"О программе\": $POLL_SEEN"
opened=$(date +%s%3N)
# "Talvorin" and the major and minor version, as project() gives them.
title="Talvorin $(sed -n 's/^project(talvorin VERSION \([0-9]*\.[0-9]*\).*/\1/p' "$E2E_ROOT/CMakeLists.txt")"
expect_eq "About title" "$title" "$(about_field caption)"

# The design in pixels at 96 dpi: twips / 15, truncated. Fonts, colours and
# the icon are read inside the process, by tests/win32.
read -r cx cy cw ch <<<"$(about_field client)"
expect_eq "client area" "249 162" "$cw $ch"
expect_eq "border and title-bar buttons" "0 min 0 max 0 close 1" "$(about_field sizable)"
expect_eq "controls in tab order (class, x, y, width, height, tab stop, text)" \
  "Static 32 96 145 16 0 arkady@example.org|Button 80 120 96 32 1 OK|Static 32 64 189 16 0 http://talvorin.example.org" \
  "$(td about | sed -n 's/^control //p' | paste -sd '|')"

line1="207x24+$((cx + 42))+$((cy + 10))"
line2="207x24+$((cx + 42))+$((cy + 40))"
at() { local wait_ms=$(($1 - ($(date +%s%3N) - opened))); ((wait_ms > 0)) && sleep "$(awk -v m=$wait_ms 'BEGIN {print m / 1000}')"; }

at 1500
red=$(count_pixels red "$line1")
((red > 0)) || fail "no red in the first line's band 1.5 s in"
at 4500
green=$(count_pixels green "$line2")
((green > 0)) || fail "no green in the second line's band 4.5 s in"
at 6500
echo "ok: red pixels at 1.5 s: $red, green at 4.5 s: $green"
red=$(count_pixels red "$line1")
green=$(count_pixels green "$line2")
((red > 20 && green > 20)) || fail "both lines settled: red $red, green $green"
blue=$(count_pixels blue "145x16+$((cx + 32))+$((cy + 96))")
((blue > 20)) || fail "the e-mail label is not blue: $blue"

# The hand over the links; the window's own arrow over the button and the
# bare window.
pointer_at() { pointer_to $((cx + $1)) $((cy + $2)); sleep 0.3; td cursor; }
over_email=$(pointer_at 40 103)
over_home=$(pointer_at 40 71)
over_button=$(pointer_at 128 136)
over_window=$(pointer_at 230 150)
expect_eq "pointer over the button as over the window" "$over_window" "$over_button"
[[ $over_email != "$over_window" && $over_home != "$over_window" ]] ||
  fail "no pointer of its own over the links: $over_email $over_home, window $over_window"

# The links, each a real click.
pointer_at 40 103 >/dev/null
xdotool click 1
poll "mailto:arkady@example.org" 5000 tail -n 1 "$LINKS_LOG"
expect_eq "e-mail link opens" "mailto:arkady@example.org" "$POLL_SEEN"
pointer_at 40 71 >/dev/null
xdotool click 1
poll "http://talvorin.example.org/" 5000 tail -n 1 "$LINKS_LOG"
expect_eq "home-page link opens" "http://talvorin.example.org/" "$POLL_SEEN"

pointer_at 128 136 >/dev/null
xdotool click 1
poll 0 2000 about_field visible
expect_eq "About window after \"OK\"" 0 "$POLL_SEEN"

open_about
expect_eq "About window after \"О программе\" again" 1 "$POLL_SEEN"
expect_eq "About title again" "$title" "$(about_field caption)"

# The close box hides it as "OK" does; the program goes on.
td about-close
poll 0 2000 about_field visible
expect_eq "About window after its close box" 0 "$POLL_SEEN"
td wait-exit "$PROGRAM_PID" 500 >/dev/null && fail "the program ended with the About window's close box"
expect_eq "tray icon" 1 "$(td tray-present)"
pointer_to "$DESKTOP_X" "$DESKTOP_Y"

# Closing the settings window ends the program although the About window is
# still loaded, here in the middle of its animation.
open_about
sleep 1
td close-form
out=$(td wait-exit "$PROGRAM_PID" 3000) || fail "closing the settings window with the About window open ends the program: $out"
expect_eq "the unload handler ran: the box clear, the fallback stored" "value Жми" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
