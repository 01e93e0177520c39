# Sourced by run.sh, bench.sh and the e2e tests: a Russian locale for Wine, an
# X server of our own, and a Wine prefix whose programs share one desktop
# with a taskbar.

TALVORIN_SCREEN=1024x768

# Without the ru_RU.UTF-8 locale on the Linux side Wine mangles Cyrillic
# command-line arguments. Built into a folder of ours; the system is left alone.
talvorin_build_locale() {
  local dir=$1
  if [[ ! -f $dir/ru_RU.UTF-8/LC_CTYPE ]]; then
    mkdir -p "$dir"
    local tmp
    tmp=$(mktemp -d "$dir/.build.XXXXXX")
    # localedef warns about the sources and then exits 1 although it wrote
    # the locale; what counts is the file below.
    localedef -i ru_RU -f UTF-8 "$tmp/ru_RU.UTF-8" >/dev/null 2>&1 || true
    if [[ ! -f $tmp/ru_RU.UTF-8/LC_CTYPE ]]; then
      rm -rf "$tmp"
      echo "cannot build the ru_RU.UTF-8 locale" >&2
      return 1
    fi
    # Two runs may race here; whichever renames first wins.
    mv -T "$tmp/ru_RU.UTF-8" "$dir/ru_RU.UTF-8" 2>/dev/null || true
    rm -rf "$tmp"
  fi
}

# Usage: talvorin_wine_env PREFIX LOCALE_DIR
talvorin_wine_env() {
  export WINEPREFIX=$1
  export LOCPATH=$2
  export WINEDEBUG=-all
  # No prompts for Mono or Gecko: nothing here needs them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win32
}

# Runs a command with the Russian locale, which gives Wine code page 1251.
# Only the command gets it: the shell would warn that it cannot find ru_RU,
# since it does not look in LOCPATH.
# Start background programs as "${WINE_LOCALE[@]}" wine ... & so that $! is
# the Wine process itself and not a subshell.
WINE_LOCALE=(env LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8)
in_wine_locale() { "${WINE_LOCALE[@]}" "$@"; }

# Starts Xvfb on the first free display; sets DISPLAY and TALVORIN_XVFB_PID.
talvorin_start_xvfb() {
  local fd_file
  fd_file=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${TALVORIN_SCREEN}x24" -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  TALVORIN_XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [[ -s $fd_file ]]; then break; fi
    if ! kill -0 "$TALVORIN_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  local number
  number=$(tr -dc '0-9' <"$fd_file")
  rm -f "$fd_file"
  if [[ -z $number ]]; then
    echo "Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

# Creates the prefix on first use. Its default desktop is "shell", so that a
# plain `wine prog.exe` joins the desktop with the taskbar and keeps its
# console output on our stdout.
talvorin_prepare_prefix() {
  if [[ ! -f $WINEPREFIX/.talvorin-ready ]]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$TALVORIN_SCREEN" /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.talvorin-ready"
  fi
}
