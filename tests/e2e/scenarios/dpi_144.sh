#!/usr/bin/env bash
# At 144 dpi the caption window lies exactly on Wine's Start button, and
# the caption on it is half as high again as at 96 dpi. Wine takes the DPI
# from the prefix when its programs start, so the 144-dpi half runs in a
# small prefix, X server and shell desktop of its own; the shared desktop
# gives 96. Wine 8 treats every program as DPI-aware, and shows only the
# place and the font in the screen's own pixels. Wine 10 virtualises DPI as
# Windows does: there the program's windows must also say they are drawn
# for 144 dpi, and the caption window that it is aware of its monitor's.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry

caption='Пуск'

# The height of the caption's ink: the rows with dark pixels inside the
# edge of the caption window over Wine's Start button.
caption_ink() {
  local l t r b
  read -r l t r b <<<"$(td start-rect)"
  import -window root -crop "$((r - l - 6))x$((b - t - 6))+$((l + 3))+$((t + 3))" +repage "$E2E_WORK/caption.png" \
    2>/dev/null
  convert "$E2E_WORK/caption.png" -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
    NR > 1 && $3 < 100 && $4 < 100 && $5 < 100 { y = $2 + 0; if (top == "" || y < top) top = y; if (y > bottom) bottom = y }
    END { print (top == "" ? 0 : bottom - top + 1) }'
}

# Starts the program with the caption and waits until its window is drawn.
start_with_caption() {
  td reg-set "$SETTINGS_KEY" StartButtonText "$caption"
  program_start --wait-caption "$caption" 3000 || fail "the caption at start: $PROGRAM_CAPTION"
  td wait-overlay "$caption" 1000 >/dev/null || fail "the caption window at start"
  sleep 0.3
}

start_with_caption
ink_96=$(caption_ink)
td kill "$PROGRAM_PID" >/dev/null

# Run in a subshell: the prefix and display of the shared desktop stay as
# they are for the cleanup. Its status is the number of failed checks.
at_144_dpi() {
  talvorin_wine_env "$E2E_WORK/wineprefix-144dpi" "$E2E_LOCALE"
  talvorin_prepare_prefix
  if [[ ! -f $WINEPREFIX/.talvorin-144dpi ]]; then
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
      /t REG_DWORD /d 144 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.talvorin-144dpi"
  fi
  talvorin_start_xvfb || exit 1
  local holder_out=$E2E_WORK/holder-144dpi.out holder
  "${WINE_LOCALE[@]}" wine "$TDRIVER" hold >"$holder_out" 2>>"$E2E_WINE_LOG" &
  holder=$!
  # Everything in this prefix is this scenario's own to end.
  trap 'kill "$holder" 2>/dev/null; wineserver -k 2>/dev/null; wineserver -w; kill "$TALVORIN_XVFB_PID"' EXIT
  poll ready 30000 eval "grep -o '^ready' '$holder_out'; td start-caption >/dev/null || echo ' no taskbar'" ||
    fail "the 144-dpi desktop: $POLL_SEEN"
  expect_eq "the screen's DPI" 144 "$(td screen-dpi)"

  start_with_caption
  read -r l t r b <<<"$(td start-rect)"
  expect_eq "the caption window on Wine's Start button" "overlay $l $t $r $b " "$(td overlays | sed -n 2p | cut -d'|' -f1)"
  local ink_144
  ink_144=$(caption_ink)
  # Within a pixel and a half of 1.5 times: the fonts are drawn in whole pixels.
  expect_eq "the caption's height: $ink_144 px at 144 dpi, $ink_96 px at 96 dpi" 1 \
    "$((ink_96 > 0 && (2 * ink_144 - 3 * ink_96) ** 2 <= 9))"
  if ((E2E_WINE_MAJOR >= 10)); then
    # Each window as another process reads it: the settings and About
    # windows drawn for the system's 144 dpi, the caption window for its
    # monitor's. Without the program's declarations Windows would take it
    # for a 96-dpi program and stretch its windows.
    background_driver menuhook menu-hook || exit 1
    td tray-callback right
    choose_menu_item 4 2 || fail "no open menu to choose \"О программе\" from"
    poll 1 3000 td about visible || fail "no About window at 144 dpi"
    expect_eq "the DPI of the program's windows" "settings 144 about 144 caption 144 per-monitor" \
      "$(td window-dpi | tr '\n' ' ' | sed 's/ $//')"
  else
    echo "the DPI of the program's windows: not under Wine $E2E_WINE_MAJOR, which takes every program" \
      "as DPI-aware and tells no other process how a window is"
  fi
  exit "$E2E_FAILURES"
}

(at_144_dpi) || E2E_FAILURES=$((E2E_FAILURES + $?))
