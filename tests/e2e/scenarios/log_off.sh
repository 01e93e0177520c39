#!/usr/bin/env bash
# Log-off and shutdown: the system asks every window of the program whether
# the session may end, then tells them it ends. The program agrees, stores
# what the window holds and moves the autostart value, as a close does.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop

# name | check box | text typed | autostart value expected
cases=(
  "ticked|1|Выход из системы|present"
  "clear|0|Не сохранится|absent"
)

for row in "${cases[@]}"; do
  IFS='|' read -r name check text autostart <<<"$row"
  echo "--- $name"
  e2e_reset_registry
  td reg-set "$SETTINGS_KEY" StartButtonText 'До выхода'
  td reg-set "$SETTINGS_KEY" StartUp 0
  [[ $check == 0 ]] && td reg-set "$RUN_KEY" Talvorin 'C:\old\talvorin.exe'

  program_start --wait-caption 'До выхода' 1000 || fail "$name: stored caption at start: $PROGRAM_CAPTION"
  td set-text "$text"
  td set-check "$check"
  out=$(td end-session "$PROGRAM_PID" 3000)
  expect_eq "$name: windows asked" yes "$(grep -q '^query' <<<"$out" && echo yes || echo no)"
  expect_eq "$name: every window lets the session end" "" "$(grep '^query' <<<"$out" | grep -v ' 1$')"
  expect_eq "$name: the session was ended" ended "$(grep -x ended <<<"$out")"
  expect_eq "$name: the program ends" "exited 0" "$(tail -n1 <<<"$out")"

  if [[ $check == 1 ]]; then
    expect_eq "$name: StartUp" "value 1" "$(reg_value "$SETTINGS_KEY" StartUp)"
    expect_eq "$name: StartButtonText" "value $text" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
  else
    expect_eq "$name: StartUp" "value 0" "$(reg_value "$SETTINGS_KEY" StartUp)"
    expect_eq "$name: StartButtonText" "value Жми" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
  fi
  seen=$(reg_value "$RUN_KEY" Talvorin)
  expect_eq "$name: HKCU Run Talvorin ($seen)" "$autostart" "$([[ $seen == value* ]] && echo present || echo absent)"
done
