#!/usr/bin/env bash
# A long run under Wine: the caption written every 100 ms throughout and
# shown by the overlay over an owner-drawn Start button, while the settings
# window is minimised and restored, the tray menu opened and cancelled, the
# About window opened, animated and closed, the Start button moved and the
# taskbar made anew, spread over the run. The GDI and USER objects the
# program holds and its working set are taken after the first round of each
# (what is made once stays) and at the end; nothing may grow.
#
# SOAK_SECONDS (600), SOAK_RESTORES (100), SOAK_MENUS (100), SOAK_ABOUTS (50),
# SOAK_MOVES (100), SOAK_RECREATES (20)
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep

seconds=${SOAK_SECONDS:-600}
restores=${SOAK_RESTORES:-100}
menus=${SOAK_MENUS:-100}
abouts=${SOAK_ABOUTS:-50}
moves=${SOAK_MOVES:-100}
recreates=${SOAK_RECREATES:-20}
# Working-set growth allowed between the two samples: Wine's heaps settle
# in steps of pages.
ws_slack_kib=${SOAK_WS_SLACK_KIB:-512}

td reg-set "$SETTINGS_KEY" StartButtonText 'Долго'
program_start --wait-caption 'Долго' 2000 || fail "caption at start: $PROGRAM_CAPTION"
poll 1 2000 tray_slot_filled || fail "no icon in the first tray slot"
hook_menus || exit 1
td minimize-form  # shown by nothing yet; minimised, it is ready to be restored

sample() {
  local handles memory
  handles=$(td live-handles "$PROGRAM_PID")
  memory=$(td peak-memory "$PROGRAM_PID" | awk '$1 == "working_set" {printf "%d", $2 / 1024}')
  echo "$handles ws_kib $memory"
}

# Restored the way a user brings back the minimised window: "Настройки".
restore_once() {
  open_tray_menu || {
    fail "restore: $MENU_ITEMS"
    return
  }
  choose_menu_item 4 0 || fail "restore: no menu to choose from"
  poll 1 2000 form_field visible || fail "restore: the settings window did not show"
  td minimize-form
  poll 0 2000 form_field visible || fail "minimise: the settings window did not hide"
}

menu_once() {
  open_tray_menu || {
    fail "menu: $MENU_ITEMS"
    return
  }
  if (($1 % 2)); then
    xdotool key Escape
    poll 0 2000 menu_open || close_menu
  else
    close_menu || fail "menu: did not close on a click outside"
  fi
}

# About: chosen from the menu, left to animate both lines, closed with "OK".
about_once() {
  open_tray_menu || {
    fail "about: $MENU_ITEMS"
    return
  }
  choose_menu_item 4 2 || fail "about: no menu to choose from"
  poll 1 3000 td about visible >/dev/null || fail "about: the window did not show"
  sleep 5.6
  td about-close || fail "about: no OK to press"
  poll 0 2000 td about visible >/dev/null || fail "about: the window did not hide"
}

# A taskbar shaped like Wine's, made anew in front of it: the overlay goes
# over its Start button.
standin_pid=
recreate_once() {
  if [[ -n $standin_pid ]]; then
    kill "$standin_pid"
    wait "$standin_pid" 2>/dev/null
  fi
  background_driver standin standin-taskbar wine || return
  standin_pid=${E2E_LINUX_PIDS[-1]}
  td taskbar-created
  local out
  out=$(td wait-overlay 'Долго' 2000) || fail "recreate: $out"
}

move_once() {
  local out
  out=$(td standin-move $(($1 % 2 ? 5 : -5)) 0 'Долго' 2000) || fail "move: $out"
}

# The first round of each makes what is made once.
restore_once
menu_once 0
((abouts > 0)) && about_once
recreate_once
move_once 1
sleep 1
start=$(sample)
echo "start: $start"

begin=$(date +%s)
# due DONE TOTAL: that kind is behind the pace that ends it with the run.
due() { (($1 < $2 && $1 * seconds <= elapsed * $2)); }
done_restores=1 done_menus=1 done_abouts=$((abouts > 0 ? 1 : 0)) done_moves=1 done_recreates=1
while :; do
  elapsed=$(($(date +%s) - begin))
  ((elapsed >= seconds && done_restores >= restores && done_menus >= menus && done_abouts >= abouts &&
    done_moves >= moves && done_recreates >= recreates)) && break
  # Keep each kind on pace to end with the run.
  if due "$done_recreates" "$recreates"; then
    recreate_once
    done_recreates=$((done_recreates + 1))
  elif due "$done_moves" "$moves"; then
    move_once "$done_moves"
    done_moves=$((done_moves + 1))
  elif due "$done_abouts" "$abouts"; then
    about_once
    done_abouts=$((done_abouts + 1))
  elif due "$done_restores" "$restores"; then
    restore_once
    done_restores=$((done_restores + 1))
  elif due "$done_menus" "$menus"; then
    menu_once "$done_menus"
    done_menus=$((done_menus + 1))
  else
    sleep 0.2
  fi
done
sleep 1
end=$(sample)
echo "end:   $end  after $(($(date +%s) - begin)) s: $done_restores restores, $done_menus menus, $done_abouts About rounds," \
  "$done_moves moves of the Start button, $done_recreates taskbars made anew"

field() { awk -v k="$1" '{for (i = 1; i < NF; i++) if ($i == k) print $(i + 1)}' <<<"$2"; }
expect_eq "GDI objects held, start and end" "$(field gdi "$start")" "$(field gdi "$end")"
expect_eq "USER objects held, start and end" "$(field user "$start")" "$(field user "$end")"
growth=$(($(field ws_kib "$end") - $(field ws_kib "$start")))
expect_eq "working set grew by at most $ws_slack_kib KiB ($growth KiB)" 1 "$((growth <= ws_slack_kib))"
expect_eq "still showing the caption" "count 1" "$(td overlays | head -1)"
kill "$standin_pid"
wait "$standin_pid" 2>/dev/null
out=$(td wait-overlay 'Долго' 2000) || fail "the overlay back over Wine's button: $out"
expect_eq "still writing the caption" "Долго" "$(td start-caption)"
