# shellcheck shell=bash
# Shared by the tools and the e2e scenarios (tests/e2e/lib.sh): the
# program's settings key, which CMake preset builds an architecture, and how
# a script works Wine's shell desktop of 1024x768 with real pointer moves and
# clicks (the tray icon, the tray sweep, the items of a popup menu). The
# clicks need xdotool, DISPLAY, and a function td that runs tdriver.exe in
# the program's Wine prefix.

# Where the program keeps its settings (platform/settings_store.h, under the
# product's name): the scripts read and seed them here. Every scenario that
# seeds a caption or reads what the program saved fails when this key and
# the program's part.
APP_KEY='HKCU\Software\VB and VBA Program Settings\Talvorin'
SETTINGS_KEY=$APP_KEY'\Settings'

# talvorin_preset_of x86|x64: the CMake preset that builds it.
talvorin_preset_of() { [[ $1 == x86 ]] && echo windows || echo windows-x64; }

# Wine's taskbar for a 1024x768 desktop: 20 px high at the bottom; tray icon n
# (from the right, from 0) spans x = 1024-20(n+1) .. 1024-20n.
TRAY_Y=758
TRAY_FIRST_X=1013
TRAY_SLOT_CROP=20x20+1004+748
# A point on the bare desktop, away from every window the tests open.
DESKTOP_X=400
DESKTOP_Y=200

# xdotool's --sync waits for the pointer to arrive and so hangs when it is
# already there.
pointer_to() {
  local here
  here=$(xdotool getmouselocation --shell | awk -F= '$1 == "X" || $1 == "Y" {printf "%s ", $2}')
  [[ $here == "$1 $2 " ]] || xdotool mousemove --sync "$1" "$2"
}

# tray_click 1|3: a real click on the first tray icon.
tray_click() {
  pointer_to "$TRAY_FIRST_X" "$TRAY_Y"
  xdotool click "$1"
}

# Wine keeps the icon of a killed program until the pointer passes over it;
# passing over every slot clears them, so our icon is the first one again.
tray_sweep() {
  local pass x
  for pass in 1 2 3; do
    for ((x = TRAY_FIRST_X; x > TRAY_FIRST_X - 200; x -= 20)); do
      pointer_to "$x" "$TRAY_Y"
    done
  done
  pointer_to "$DESKTOP_X" "$DESKTOP_Y"
}

# choose_menu_item COUNT INDEX: a real left click on an item of the popup
# menu of COUNT items, once it is open (3 s at most).
choose_menu_item() {
  local point i
  for ((i = 0; i < 60; i++)); do
    point=$(td menu-item-point "$1" "$2") && break
    point=
    sleep 0.05
  done
  [[ -n $point ]] || return 1
  # shellcheck disable=SC2086
  pointer_to $point
  xdotool click 1
}
