#!/usr/bin/env bash
# At log-on the program often starts before the shell takes tray icons. A
# stand-in taskbar in front of Wine's refuses every tray request, as an
# Explorer that is not ready does, and then goes. The hidden program has no
# other way to the user, so its ticks ask again: the icon is in Wine's tray
# within a second.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry
tray_sweep
td reg-set "$SETTINGS_KEY" StartButtonText 'Позже'

background_driver standin standin-taskbar xp refuse-tray || exit 1
standin_pid=${E2E_LINUX_PIDS[-1]}
program_start
poll 'Позже' "$E2E_START_BUDGET_MS" td standin-caption
expect_eq "caption on the stand-in's button" 'Позже' "$POLL_SEEN"
refusals() { grep -c '^refused' "$E2E_WORK/standin.out"; }
# The add at start-up, then the ticks' again.
asked_again() { (($(refusals) >= 3)) && echo yes || echo no; }
poll yes 3000 asked_again
expect_eq "the refused add asked for again ($(refusals) refusals)" yes "$POLL_SEEN"

kill "$standin_pid"
wait "$standin_pid" 2>/dev/null
poll 1 1000 td tray-present
expect_eq "icon in Wine's tray within a second of the shell taking it" 1 "$POLL_SEEN"
poll 1 2000 tray_slot_filled
expect_eq "tray slot shows the icon" 1 "$POLL_SEEN"
