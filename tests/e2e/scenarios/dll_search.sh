#!/usr/bin/env bash
# The exe in a download folder where someone has dropped a uxtheme.dll, a
# DLL that the common controls and the window manager load by its bare
# name and that is no KnownDLL: the program has the system look in System32
# only, so the dropped one is never loaded, and the common controls still
# come from the side-by-side store the manifest names. Wine prefers its own
# DLLs unless told otherwise; the override makes it look in the exe's
# folder first, as Windows does for any DLL that is not a KnownDLL.
source "$(dirname "$0")/../lib.sh"
e2e_join_desktop
e2e_reset_registry

folder=$E2E_WORK/download
rm -rf "$folder"
mkdir -p "$folder"
cp "$TALVORIN_EXE" "$folder/talvorin.exe"
cp "$PLANTED_DLL" "$folder/uxtheme.dll"

td reg-set "$SETTINGS_KEY" StartButtonText 'Пуск'
WINEDLLOVERRIDES="$WINEDLLOVERRIDES;uxtheme=n,b" program_start "$folder/talvorin.exe" --wait-caption 'Пуск' 3000 ||
  fail "the caption at start: $PROGRAM_CAPTION"
poll 1 2000 td tray-present
expect_eq "started: the tray icon" 1 "$POLL_SEEN"
expect_eq "the dropped uxtheme.dll loaded" absent "$([[ -e $folder/uxtheme.dll.loaded ]] && echo present || echo absent)"
comctl32=$(td module-path "$PROGRAM_PID" comctl32.dll)
expect_eq "comctl32 from the side-by-side store, version 6 ($comctl32)" 1 \
  "$([[ ${comctl32,,} == *winsxs*common-controls*_6.* ]] && echo 1 || echo 0)"
