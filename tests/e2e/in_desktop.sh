#!/usr/bin/env bash
# in_desktop.sh PROGRAM...: runs a Windows test program in the shared shell
# desktop, for cases that need Wine's own taskbar, and fails with it.
source "$(dirname "$0")/lib.sh"
e2e_join_desktop
status=0
in_wine_locale wine "$@" 2>>"$E2E_WINE_LOG" || status=$?
((status == 0)) || fail "$(basename "$1") exited with status $status"
