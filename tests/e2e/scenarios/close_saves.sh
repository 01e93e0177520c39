#!/usr/bin/env bash
# WM_CLOSE ends the program and stores what the window holds: ticked, the
# text and the autostart value with the exe's path (quoted when it has a
# blank), which the next start puts back; clear, "0", "Жми" and no autostart.
# A profile without the Run or the Run- key gets the one the value goes into.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop

blank_dir="$E2E_WORK/with blank"
mkdir -p "$blank_dir"
cp "$TALVORIN_EXE" "$blank_dir/talvorin.exe"

# name | exe | check box | text typed | keys before: Run, or Run and Run-, or none
cases=(
  "ticked|$TALVORIN_EXE|1|Мой Пуск 1|run"
  "ticked, path with a blank|$blank_dir/talvorin.exe|1|Ещё текст|run"
  "ticked, no Run key|$TALVORIN_EXE|1|Без ключа|none"
  "clear|$TALVORIN_EXE|0|Не сохранится|run"
  "clear, parking key exists|$TALVORIN_EXE|0|Тоже нет|both"
)

for row in "${cases[@]}"; do
  IFS='|' read -r name exe check text keys <<<"$row"
  echo "--- $name"
  e2e_reset_registry
  td reg-set "$SETTINGS_KEY" StartButtonText 'Старый'
  td reg-set "$SETTINGS_KEY" StartUp 0
  # As if an earlier run had registered the program.
  td reg-set "$RUN_KEY" Talvorin 'C:\old\talvorin.exe'
  [[ $keys == both ]] && td reg-make-key "$PARKING_KEY"
  [[ $keys == none ]] && td reg-delete "$RUN_KEY"

  program_start "$exe" --wait-caption 'Старый' 1000 || fail "$name: stored caption at start: $PROGRAM_CAPTION"
  td set-text "$text"
  td set-check "$check"
  td close-form
  out=$(td wait-exit "$PROGRAM_PID" 3000) || fail "$name: WM_CLOSE ends the process: $out"

  path=$PROGRAM_PATH
  [[ $path == *" "* ]] && path="\"$path\""
  if [[ $check == 1 ]]; then
    expect_eq "$name: StartUp" "value 1" "$(reg_value "$SETTINGS_KEY" StartUp)"
    expect_eq "$name: StartButtonText" "value $text" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
    expect_eq "$name: HKCU Run Talvorin" "value $path" "$(reg_value "$RUN_KEY" Talvorin)"

    program_start "$exe" --wait-caption "$text" 1000 || fail "$name: next start puts the stored text on: $PROGRAM_CAPTION"
    # The box is set from the settings right after the caption goes on.
    poll 1 1000 td get-check
    expect_eq "$name: check box at the next start" 1 "$POLL_SEEN"
    td kill "$PROGRAM_PID"
  else
    expect_eq "$name: StartUp" "value 0" "$(reg_value "$SETTINGS_KEY" StartUp)"
    expect_eq "$name: StartButtonText" "value Жми" "$(reg_value "$SETTINGS_KEY" StartButtonText)"
    expect_eq "$name: HKCU Run Talvorin" "absent" "$(reg_value "$RUN_KEY" Talvorin)"
    parked=$(reg_value "$PARKING_KEY" Talvorin)
    expect_eq "$name: Talvorin parked in Run- ($parked)" present "$([[ $parked == value* ]] && echo present || echo absent)"
  fi
done
