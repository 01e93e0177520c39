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

# The Wine loader and server of each architecture. /usr/bin/wine and
# /usr/bin/wineserver pick the 32-bit ones whenever they are installed, even
# where the kernel refuses to run them, so each run names its own.
talvorin_wine_loader() {
  case $1 in
    x86) echo "${TALVORIN_WINE32_LOADER:-/usr/lib/wine/wine}" ;;
    x64) echo "${TALVORIN_WINE64_LOADER:-/usr/lib/wine/wine64}" ;;
    *) return 1 ;;
  esac
}

# The major version of an architecture's Wine: 8 on Debian 12, 10 in the
# Debian 13 root of tools/wine10.sh. Where the two differ from each other,
# a test asks what Windows does and says why it cannot ask one of them.
talvorin_wine_major() {
  "$(talvorin_wine_loader "${1:-${TALVORIN_WINE_ARCH:-x86}}")" --version 2>/dev/null |
    sed -n 's/^wine-\([0-9]*\)\..*/\1/p'
}

# A folder of the build tree for one test bed: the name as it is for the
# host's Wine, with "-wine10" added inside the Debian 13 root. A prefix of
# one Wine is never opened by the other.
talvorin_bed_path() { echo "$1${TALVORIN_WINE_BED:+-$TALVORIN_WINE_BED}"; }

# Usage: talvorin_use_wine_arch ARCH BIN_DIR
# ARCH is x86 (a win32 prefix, the 32-bit exe) or x64 (a win64 prefix, the
# 64-bit exe). Puts wine, wineserver and wineboot of that architecture first
# on PATH, so that every script and test below says plain `wine`.
talvorin_use_wine_arch() {
  local arch=$1 dir=$2 loader server winearch
  loader=$(talvorin_wine_loader "$arch") || {
    echo "unknown Wine architecture '$arch' (x86 or x64)" >&2
    return 1
  }
  case $arch in
    x86) server=/usr/lib/wine/wineserver32 winearch=win32 ;;
    x64) server=/usr/lib/wine/wineserver64 winearch=win64 ;;
  esac
  mkdir -p "$dir"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$loader" >"$dir/wine"
  printf '#!/bin/sh\nexec "%s" wineboot "$@"\n' "$loader" >"$dir/wineboot"
  printf '#!/bin/sh\nexec "%s" "$@"\n' "$server" >"$dir/wineserver"
  chmod +x "$dir/wine" "$dir/wineboot" "$dir/wineserver"
  export PATH="$dir:$PATH"
  # Programs that Wine starts by itself find their loader and server here.
  export WINELOADER=$loader WINESERVER=$server WINEARCH=$winearch
  TALVORIN_WINE_ARCH=$arch
}

# Usage: talvorin_wine_env PREFIX LOCALE_DIR [ARCH]
# ARCH defaults to $TALVORIN_WINE_ARCH, then to x86. One prefix per
# architecture: a win32 prefix cannot be used by wine64 nor the other way.
talvorin_wine_env() {
  export WINEPREFIX=$1
  export LOCPATH=$2
  talvorin_use_wine_arch "${3:-${TALVORIN_WINE_ARCH:-x86}}" "$1.bin" || return 1
  export WINEDEBUG=-all
  # No prompts for Mono or Gecko: nothing here needs them.
  export WINEDLLOVERRIDES="mscoree,mshtml="
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

# Debian's Wine does not find its own Marlett font, and every title bar of a
# fresh prefix then shows its buttons as the letters "0 1 r". A copy in the
# prefix's font folder before the first window opens puts the symbols back.
talvorin_add_marlett() {
  local fonts=$WINEPREFIX/drive_c/windows/Fonts font
  for font in /usr/share/wine/fonts/marlett.ttf /usr/lib/wine/fonts/marlett.ttf; do
    if [[ -f $font ]]; then
      mkdir -p "$fonts"
      cp "$font" "$fonts/"
      return 0
    fi
  done
}

# Creates the prefix on first use. Its default desktop is "shell", so that a
# plain `wine prog.exe` joins the desktop with the taskbar and keeps its
# console output on our stdout.
talvorin_prepare_prefix() {
  # Also into a prefix made before the font was copied.
  [[ -f $WINEPREFIX/drive_c/windows/Fonts/marlett.ttf ]] || talvorin_add_marlett
  if [[ ! -f $WINEPREFIX/.talvorin-ready ]]; then
    mkdir -p "$WINEPREFIX"
    talvorin_add_marlett
    wineboot -i >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d shell /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v shell /d "$TALVORIN_SCREEN" /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.talvorin-ready"
  fi
}
