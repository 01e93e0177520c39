#!/usr/bin/env bash
# Wine draws its Start button from its own label, so the program lays its
# own window over it with the caption: on the button's place, opaque, with
# the whole Unicode text, following what is typed, letting a click through
# to Wine's Start menu, and back on a taskbar made anew.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

overlay_count() { td overlays | head -1; }
overlay_line() { td overlays | sed -n 2p; }
# field_of NAME LINE: the value after NAME in one of the line's "|" fields.
field_of() { awk -v k="$1" -F ' [|] ' '{for (i = 1; i <= NF; i++) if (index($i, k " ") == 1) print substr($i, length(k) + 2)}' <<<"$2"; }
# grey_levels LEFT TOP RIGHT BOTTOM: distinct grey levels of that part of the screen.
grey_levels() {
  import -window root -crop "$(($3 - $1))x$(($4 - $2))+$1+$2" +repage "$E2E_WORK/part.png" 2>/dev/null
  convert "$E2E_WORK/part.png" -colorspace gray -format '%k' info: 2>/dev/null
}

td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск!'
program_start --wait-caption 'Пуск!' 3000 || fail "the button's text at start: $PROGRAM_CAPTION"
out=$(td wait-overlay 'Пуск!' 1000) || fail "overlay at start: $out"

read -r bl bt br bb <<<"$(td start-rect)"
line=$(overlay_line)
expect_eq "overlays over Wine's taskbar" "count 1" "$(overlay_count)"
expect_eq "the overlay lies on Wine's Start button" "overlay $bl $bt $br $bb " "$(cut -d'|' -f1 <<<"$line")"
# Wine's taskbar is no topmost window, so neither is the overlay; it stands
# right above the taskbar.
expect_eq "click-through, never active, no task" " layered transparent noactivate toolwindow " \
  "$(cut -d'|' -f2 <<<"$line")"
expect_eq "owned by none of the shell's windows" "own" "$(field_of owner "$line")"
expect_eq "the window right beneath it" "Shell_TrayWnd" "$(field_of below "$line")"

# The whole text on the overlay; what the code page carries in the button.
out=$(td set-text 'Снег ☃' --wait-overlay 1000) || fail "a character outside the code page: $out"
poll 'Снег ?' 1000 td start-caption
expect_eq "the button's own text" 'Снег ?' "$POLL_SEEN"

# Typed text reaches the overlay with the next tick.
times=()
for text in Один Два Три Четыре Пять Шесть Семь Восемь Девять Десять; do
  out=$(td set-text "$text" --wait-overlay 1000) || fail "typed \"$text\": $out"
  times+=("$(awk '{print $3}' <<<"$out")")
done
expect_timely "typed text on the overlay" "${times[@]}"

# Opaque: with a blank caption the button's face shows one grey inside its
# edge, where Wine's icon and label would leave others.
out=$(td set-text ' ' --wait-overlay 1000) || fail "blank caption: $out"
sleep 0.2
expect_eq "grey levels inside the edge, blank caption" 1 "$(grey_levels $((bl + 3)) $((bt + 3)) $((br - 3)) $((bb - 3)))"
out=$(td set-text 'Пуск!' --wait-overlay 1000) || fail "caption back: $out"
sleep 0.2
levels=$(grey_levels $((bl + 3)) $((bt + 3)) $((br - 3)) $((bb - 3)))
expect_eq "the caption is drawn (more than one grey level: $levels)" 1 "$((levels > 1))"

# A click in the middle of the overlay opens Wine's Start menu.
pointer_to $(((bl + br) / 2)) $(((bt + bb) / 2))
xdotool click 1
poll 1 2000 menu_open
expect_eq "Start menu open after a click on the overlay" 1 "$POLL_SEEN"
xdotool key Escape
poll 0 2000 menu_open || close_menu
pointer_to "$DESKTOP_X" "$DESKTOP_Y"

# No caption, no overlay: Wine's own button shows, its icon and label in
# more than one grey, as the check of the blank caption above would see them.
td set-text ''
poll 'count 0' 1000 overlay_count
expect_eq "overlays with an empty caption" "count 0" "$POLL_SEEN"
sleep 0.2
levels=$(grey_levels $((bl + 3)) $((bt + 3)) $((br - 3)) $((bb - 3)))
expect_eq "Wine's own label shows (grey levels: $levels)" 1 "$((levels > 1))"
td set-text 'Пуск!'
poll 'count 1' 1000 overlay_count

# A taskbar made anew, shaped like Wine's, in front: the overlay goes over its
# button; gone, back over Wine's; made again, over the new one.
for round in 1 2; do
  background_driver "standin$round" standin-taskbar wine || exit 1
  read -r sl st sr sb <<<"$(td start-rect standin)"
  td taskbar-created
  poll "overlay $sl $st $sr $sb " 1000 eval "overlay_line | cut -d'|' -f1"
  expect_eq "overlay on the new taskbar's button, round $round" "overlay $sl $st $sr $sb " "$POLL_SEEN"
  kill "${E2E_LINUX_PIDS[-1]}"
  wait "${E2E_LINUX_PIDS[-1]}" 2>/dev/null
  poll "overlay $bl $bt $br $bb " 1000 eval "overlay_line | cut -d'|' -f1"
  expect_eq "overlay back on Wine's button, round $round" "overlay $bl $bt $br $bb " "$POLL_SEEN"
done
# A taskbar that is being made or taken down may stand for a tick without
# its button: that is a loss like any other, and its box is no concern here.
td close-message-boxes Talvorin
