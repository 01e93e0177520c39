#!/usr/bin/env bash
# What the user stored comes back whole at the next close, however long it is
# and whatever characters it holds: the Start button gets what the ANSI code
# page can carry, the settings keep the text itself.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop

echo "--- characters outside code page 1251"
e2e_reset_registry
td reg-set "$SETTINGS_KEY" StartUp 1
td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск ☃ 中文'
program_start --wait-caption 'Пуск ? ??' 1000 || fail "the button gets the ANSI form: $PROGRAM_CAPTION"
td close-form
expect_eq "closed" "exited 0" "$(td wait-exit "$PROGRAM_PID" 3000)"
expect_eq "stored text after the close" "value Пуск ☃ 中文" "$(reg_value "$SETTINGS_KEY" StartButtonText)"

# 2^20 characters: 2 MB of registry data, 1 MB of ANSI text for the button.
# Wine's shell never answers a WM_SETTEXT that long; the program must not
# wait for it, or the close that saves the settings would never come.
# Wine 10's explorer dies of such a WM_SETTEXT to its Start button, from
# any program, and takes the desktop of every later scenario with it.
e2e_not_under_wine 10 "its explorer dies when its Start button gets a 1 MiB WM_SETTEXT, with or without the program"
length=1048576
echo "--- $length characters"
e2e_reset_registry
td reg-set "$SETTINGS_KEY" StartUp 1
td reg-set-repeated "$SETTINGS_KEY" StartButtonText 'Пуск☃中 ' "$length"
before=$(td reg-summary "$SETTINGS_KEY" StartButtonText)
expect_eq "stored before the start" "length $length" "${before% fnv *}"
program_start
poll 1 5000 td tray-present
expect_eq "tray icon with the long caption" 1 "$POLL_SEEN"
sleep 1  # some ticks write the whole text
td close-form
expect_eq "closed" "exited 0" "$(td wait-exit "$PROGRAM_PID" 5000)"
expect_eq "stored after the close, whole" "$before" "$(td reg-summary "$SETTINGS_KEY" StartButtonText)"
