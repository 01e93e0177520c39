#!/usr/bin/env bash
# Stand-in taskbars shaped like those of Windows XP, Vista/7 and 8 to 11,
# in front of a taskbar without a Start button: an overlay where the Start
# button paints no text (one for each taskbar), none on the classic button,
# on the part of the button that can be seen (not the orb's overhang, not
# past the screen's edge, none on a taskbar that has slid off the screen,
# only inside a touch taskbar's window region),
# and over the Start window, not over another top-level button of the
# shell's; the overlay follows its button; gone, the overlay hides and the
# loss is reported once; a full-screen program in front of a taskbar that
# is no longer topmost is not covered by the overlay.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

overlay_count() { td overlays | head -1; }
overlay_rects() { td overlays | awk -F' [|] ' 'NR > 1 {print $1}' | sort | tr '\n' ';'; }
box_count() { td message-boxes Talvorin | head -1; }
flags_of_first() { td overlays | sed -n 2p | awk -F' [|] ' '{print $2}'; }

# standin SHAPE: a stand-in of that shape, in front of everything before it.
standin() {
  background_driver "standin-$1" standin-taskbar "$1" || exit 1
  standin_pid=${E2E_LINUX_PIDS[-1]}
}
standin_gone() {
  kill "$standin_pid"
  wait "$standin_pid" 2>/dev/null
}

# The decoy stays behind every stand-in: once a stand-in goes, the first
# taskbar has no Start button at all.
background_driver decoy decoy || exit 1
standin xp
td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск!'
program_start
poll 'Пуск!' 2000 td standin-caption
expect_eq "classic: the caption in the button" 'Пуск!' "$POLL_SEEN"
sleep 0.3
expect_eq "classic: no overlay" "count 0" "$(overlay_count)"
standin_gone
poll 'count 1' 3000 box_count
expect_eq "classic gone: the box" "count 1" "$POLL_SEEN"
td close-message-boxes Talvorin
poll 'count 0' 2000 box_count

for shape in seven ten; do
  standin "$shape"
  # The orb stands out above its taskbar; the caption covers the taskbar's part.
  read -r sl st sr sb <<<"$(td start-rect standin-visible)"
  expected="overlay $sl $st $sr $sb;"
  [[ $shape == seven ]] && expect_eq "seven: the orb stands out above its taskbar" 1 \
    "$(($(td start-rect standin | awk '{print $2}') < st))"
  [[ $shape == ten ]] && expected="overlay 1 1 61 39;$expected"  # the second taskbar, top left
  poll "$expected" 2000 overlay_rects
  expect_eq "$shape: overlays over the Start windows" "$expected" "$POLL_SEEN"
  expect_eq "$shape: topmost with its taskbar" "layered transparent noactivate toolwindow topmost" \
    "$(flags_of_first)"
  expect_eq "$shape: boxes" "count 0" "$(box_count)"
  if [[ $shape == ten ]]; then
    # Auto-hidden, the taskbar leaves 2 px on the screen: nothing to lay
    # the caption over. Back, half of its Start window off the screen's
    # left edge: the caption window is cut at the edge.
    td standin-bar-move 0 $((768 - 2 - st))
    poll "overlay 1 1 61 39;" 2000 overlay_rects
    expect_eq "ten: auto-hidden, 2 px left" "overlay 1 1 61 39;" "$POLL_SEEN"
    td standin-bar-move -$(((sr - sl) / 2 + sl)) $((st - 768 + 2))
    read -r vl vt vr vb <<<"$(td start-rect standin-visible)"
    poll "overlay $vl $vt $vr $vb;overlay 1 1 61 39;" 2000 overlay_rects
    expect_eq "ten: half off the screen, cut at its edge" "overlay 0 $st $(((sr - sl) / 2)) $sb;overlay 1 1 61 39;" \
      "$POLL_SEEN"
    td standin-bar-move $(((sr - sl) / 2 + sl)) 0
    # A touch taskbar: a window taller than the part it shows, its region.
    # The caption covers what lies inside the lower half; of the lowest
    # 4 px, nothing. The taskbar's top is one border above its Start window.
    td standin-region 0 20 1024 40
    poll "overlay 1 1 61 39;overlay $sl $((st - 1 + 20)) $sr $sb;" 2000 overlay_rects
    expect_eq "ten: region of the lower half" "overlay 1 1 61 39;overlay $sl $((st - 1 + 20)) $sr $sb;" "$POLL_SEEN"
    td standin-region 0 36 1024 40
    poll "overlay 1 1 61 39;" 2000 overlay_rects
    expect_eq "ten: region of the lowest 4 px" "overlay 1 1 61 39;" "$POLL_SEEN"
    td standin-region none
  fi

  # The button moves; the overlay is on its new place with the next tick.
  times=()
  for step in 1 -1 1 -1 1 -1 1; do
    out=$(td standin-move $((7 * step)) $((-3 * step)) 'Пуск!' 1000) || fail "$shape: overlay after a move: $out"
    times+=("$(awk '{print $3}' <<<"$out")")
  done
  expect_timely "$shape: overlay on the moved button" "${times[@]}"

  if [[ $shape == ten ]]; then
    # A full-screen program comes to the front and the taskbar steps back
    # out of the topmost windows: the overlays go with it.
    td standin-topmost 0
    background_driver fullscreen fullscreen || exit 1
    fullscreen_pid=${E2E_LINUX_PIDS[-1]}
    poll beneath 2000 td overlay-over-fullscreen
    expect_eq "ten: overlays under the full-screen window" beneath "$POLL_SEEN"
    expect_eq "ten: no longer topmost" "layered transparent noactivate toolwindow" "$(flags_of_first)"
    sleep 0.5
    expect_eq "ten: still under it a few ticks later" beneath "$(td overlay-over-fullscreen)"
    kill "$fullscreen_pid"
    wait "$fullscreen_pid" 2>/dev/null
  fi

  standin_gone
  poll 'count 0' 2000 overlay_count
  expect_eq "$shape gone: overlays" "count 0" "$POLL_SEEN"
  poll 'count 1' 3000 box_count
  expect_eq "$shape gone: the box" "count 1" "$POLL_SEEN"
  sleep 1
  expect_eq "$shape gone: one box 1 s later" "count 1" "$(box_count)"
  td close-message-boxes Talvorin
  poll 'count 0' 2000 box_count
done
