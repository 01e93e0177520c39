#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Safe to run again: it
# asks apt only for what is missing, so on a ready machine it takes a moment.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
# Set by tools/test.sh once its own set-up has run: the release step it calls
# later has nothing to add, and asking apt again costs a minute where a
# package cannot be had.
[[ -z ${TALVORIN_SET_UP:-} ]] || exit 0

packages=(
  cmake g++ make libgtest-dev libgmock-dev python3
  # Both builds: the 32-bit exe and the 64-bit one beside it.
  g++-mingw-w64-i686 binutils-mingw-w64-i686
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64
  # wine64 runs the 64-bit build everywhere (wine32 below, the 32-bit one).
  wine wine64 xvfb xdotool imagemagick x11-utils
  # libFuzzer (tools/fuzz.sh) and the static checks (tools/lint.sh)
  clang libclang-rt-14-dev clang-tidy clang-format
  # tools/bench.sh counts the system calls of an idle tick
  strace
  # localedef and the ru_RU sources for the locale the Wine runs use
  libc-bin locales
  # tools/release.sh takes its sources, and the time it stamps, from git
  git
  # tools/wine10.sh makes the Debian 13 root of the second test bed
  debootstrap
)

# shellcheck source=wine-arches.sh
source "$(dirname "$0")/wine-arches.sh"
# wine32 runs the 32-bit build, only where the kernel runs 32-bit code at all.
wine32=()
talvorin_kernel_runs_32bit && wine32=(wine32:i386)

as_root() {
  if [[ $(id -u) -eq 0 ]]; then
    "$@"
  elif command -v sudo >/dev/null; then
    sudo -n "$@"
  else
    echo "setup: need root to run: $*" >&2
    return 1
  fi
}

# A mirror caught in the middle of a sync serves an index that does not match
# its release file, and apt fails the whole update. One try more, a little
# later; then the install goes on with the indexes that did come, and fails
# only where a package it needs is not in them. (One mirror's i386 index
# stayed so for days: waiting longer only made every run slower.)
update_indexes() {
  as_root apt-get update -q && return 0
  echo "setup: apt-get update failed; trying again in 20 s" >&2
  sleep 20
  as_root apt-get update -q && return 0
  echo "setup: apt-get update failed twice; installing from the indexes apt has" >&2
}

installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == "install ok installed" ]]
}

need_update=0
# wine32 comes from the i386 architecture.
if ((${#wine32[@]})) && ! dpkg --print-foreign-architectures | grep -qx i386; then
  as_root dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}" "${wine32[@]}"; do
  installed "$p" || missing+=("$p")
done

if ((${#missing[@]} > 0)); then
  echo "setup: installing ${missing[*]}"
  need_update=1
fi
if ((need_update)); then
  update_indexes
fi
# An i386 index that never comes whole (seen for days on one mirror) leaves
# wine32 uninstallable, as its libraries must match the 64-bit ones: then
# everything else is installed, and the 32-bit build is tested under Wine 10
# only, which tools/test.sh says in its line of floors.
if ((${#missing[@]} > 0)) && ! as_root apt-get install -y -q "${missing[@]}" </dev/null; then
  rest=()
  for p in "${missing[@]}"; do [[ $p == wine32:i386 ]] || rest+=("$p"); done
  ((${#rest[@]} < ${#missing[@]})) || exit 1
  echo "setup: wine32:i386 cannot be installed from these indexes; installing the rest without it" >&2
  ((${#rest[@]} == 0)) || as_root apt-get install -y -q "${rest[@]}" </dev/null
fi

if [[ ! -f /usr/share/i18n/locales/ru_RU ]] || ! compgen -G '/usr/share/i18n/charmaps/UTF-8*' >/dev/null; then
  echo "setup: the ru_RU locale sources are missing from /usr/share/i18n" >&2
  exit 1
fi
command -v localedef >/dev/null || { echo "setup: localedef is missing" >&2; exit 1; }
