#!/usr/bin/env bash
# Which builds test.sh runs under Wine, with stand-in loaders: one that
# starts, one refused as on a kernel without 32-bit support, one missing.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
source "$ROOT/tools/wine-env.sh"
source "$ROOT/tools/wine-arches.sh"

stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
printf '#!/bin/sh\necho wine-8.0\n' >"$stubs/starts"
printf '#!/bin/sh\necho "$0: exec: /usr/lib/wine/wine: Exec format error" >&2\nexit 126\n' >"$stubs/refused"
chmod +x "$stubs/starts" "$stubs/refused"

failures=0 cases=0
# check NAME WINE32 WINE64 OVERRIDE STATUS ARCHES LINE_PATTERN
check() {
  local name=$1 status
  cases=$((cases + 1))
  TALVORIN_WINE32_LOADER=$2 TALVORIN_WINE64_LOADER=$3 TALVORIN_WINE_ARCHES=$4
  talvorin_wine_arches
  status=$?
  local seen="${TALVORIN_ARCHES[*]}"
  if [[ $status != "$5" || $seen != "$6" || $TALVORIN_ARCHES_LINE != $7 ]]; then
    echo "FAIL: $name: status $status, arches '$seen', line: $TALVORIN_ARCHES_LINE"
    failures=$((failures + 1))
  else
    echo "ok: $name: $TALVORIN_ARCHES_LINE"
  fi
}

ok=$stubs/starts refused=$stubs/refused missing=$stubs/none

check "both loaders start" "$ok" "$ok" "" 0 "x86 x64" \
  "Wine floors: testing the 32-bit (x86) and the 64-bit (x64) builds"
check "a kernel that runs no 32-bit code" "$refused" "$ok" "" 0 "x64" \
  "Wine floors: testing the 64-bit (x64) build; not the 32-bit (x86): its loader cannot start here (*Exec format error)"
TALVORIN_KERNEL_32BIT=no
check "no wine32 installed" "$missing" "$ok" "" 0 "x64" \
  "Wine floors: testing the 64-bit (x64) build; not the 32-bit (x86): $missing is not installed"
TALVORIN_KERNEL_32BIT=yes
check "no wine32 installed on a kernel that runs it" "$missing" "$ok" "" 0 "x64" \
  "Wine floors: testing the 64-bit (x64) build; not the 32-bit (x86): $missing is not installed, though this kernel runs 32-bit code*"
check "no wine64 installed" "$ok" "$missing" "" 0 "x86" \
  "Wine floors: testing the 32-bit (x86) build; not the 64-bit (x64): $missing is not installed"
check "nothing can run" "$refused" "$missing" "" 1 "" \
  "Wine floors: no build can be tested under Wine on this host; not the 32-bit (x86): *; not the 64-bit (x64): *"
check "forced to x64" "$ok" "$ok" "x64" 0 "x64" \
  "Wine floors: testing the 64-bit (x64) build; not the 32-bit (x86): left out by TALVORIN_WINE_ARCHES=x64"
check "forced to x86" "$ok" "$ok" "x86" 0 "x86" \
  "Wine floors: testing the 32-bit (x86) build; not the 64-bit (x64): left out by TALVORIN_WINE_ARCHES=x86"
check "forced to both, whatever the loaders say" "$refused" "$ok" "x64,x86" 0 "x86 x64" \
  "Wine floors: testing the 32-bit (x86) and the 64-bit (x64) builds"
check "a name that is no architecture" "$ok" "$ok" "arm64" 1 "" \
  "Wine floors: TALVORIN_WINE_ARCHES names 'arm64'; use x86, x64 or x86,x64"

echo "$((cases - failures)) passed, $failures failed"
((failures == 0))
