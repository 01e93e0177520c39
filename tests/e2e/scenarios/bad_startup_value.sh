#!/usr/bin/env bash
# A stored StartUp that is no check-box state must not stop the start: the
# caption goes on, the window hides, the icon is added, and the box is clear.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop

for startup in '' '   ' abc 99999 -1 3 1.5; do
  echo "--- StartUp '$startup'"
  e2e_reset_registry
  tray_sweep
  td reg-set "$SETTINGS_KEY" StartButtonText "Текст при '$startup'"
  td reg-set "$SETTINGS_KEY" StartUp "$startup"

  program_start --wait-caption "Текст при '$startup'" 1000 || fail "caption with StartUp '$startup': $PROGRAM_CAPTION"
  expect_eq "'$startup': process still running" "still running after 300 ms" "$(td wait-exit "$PROGRAM_PID" 300)"
  poll 1 1000 td tray-present
  expect_eq "'$startup': tray icon" 1 "$POLL_SEEN"
  expect_eq "'$startup': settings window visible" 0 "$(form_field visible)"
  expect_eq "'$startup': check box (BM_GETCHECK)" 0 "$(td get-check)"
  td kill "$PROGRAM_PID"
  td wait-exit "$PROGRAM_PID" 2000 >/dev/null
done
