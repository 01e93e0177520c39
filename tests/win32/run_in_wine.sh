#!/usr/bin/env bash
# Runs a Win32 test program in a Wine prefix of the tests' own.
#   run_in_wine.sh --prepare PREFIX    creates the prefix once
#   run_in_wine.sh PREFIX PROGRAM...   runs the program, passing its exit code on
set -euo pipefail

source "$(dirname "$0")/../../tools/wine-env.sh"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# The null display driver needs no X server, and none is wanted: a test
# program must not depend on whoever's display happens to be set.
unset DISPLAY WAYLAND_DISPLAY

if [[ "${1:-}" == --prepare ]]; then
  export WINEPREFIX=$(realpath -m "$(talvorin_bed_path "$2")")
  talvorin_use_wine_arch "${TALVORIN_WINE_ARCH:-x86}" "$WINEPREFIX.bin"
  if [[ ! -f "$WINEPREFIX/.talvorin-tests-ready" ]]; then
    mkdir -p "$WINEPREFIX"
    # Without a display the first start complains about windows it cannot
    # make; the prefix is whole all the same.
    wineboot -i >/dev/null 2>&1 || true
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
    wineserver -w
    touch "$WINEPREFIX/.talvorin-tests-ready"
  fi
  exit 0
fi

export WINEPREFIX=$(realpath -m "$(talvorin_bed_path "$1")")
talvorin_use_wine_arch "${TALVORIN_WINE_ARCH:-x86}" "$WINEPREFIX.bin"
shift
exec wine "$@"
