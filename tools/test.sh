#!/usr/bin/env bash
# Everything CI runs: set-up, then the host build with its tests and the
# static checks, then both Windows builds (32-bit and 64-bit). The resources
# check runs on both exes everywhere; the tests under Wine (tests/win32 and
# e2e) run on every build this host can run, and one line says which. Last,
# the release is built again elsewhere and must match the tested exes. Goes on
# after a failing step so one run shows all of them; exits non-zero if any
# step failed.
#
# TALVORIN_WINE_ARCHES=x86|x64|x86,x64 forces which builds run under Wine.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

bash tools/setup.sh || exit 1
source tools/wine-env.sh
source tools/wine-arches.sh

failed=()
step() {
  echo "=== $*"
  "$@" || failed+=("$*")
}


step cmake --preset host
step cmake --build --preset host
step ctest --preset host
# clang-format and clang-tidy: clean, or the run fails.
step bash tools/lint.sh

for arch in x86 x64; do
  step cmake --preset "$(talvorin_preset_of "$arch")"
  step cmake --build --preset "$(talvorin_preset_of "$arch")"
done

talvorin_wine_arches
arches_status=$?
echo "$TALVORIN_ARCHES_LINE"

for arch in x86 x64; do
  if [[ " ${TALVORIN_ARCHES[*]} " == *" $arch "* ]]; then
    step ctest --preset "$(talvorin_preset_of "$arch")"
  else
    # What needs no Wine still runs on this build.
    step ctest --preset "$(talvorin_preset_of "$arch")" --label-exclude wine
  fi
done

# The release built a second time, later, from a clean copy of this tree in
# folders of its own: its exes must be the ones tested above, byte for byte,
# and its zips the same bytes as those exes packed again.
step bash tools/release.sh --tree --work build/repro --dist build/repro/dist
step python3 tests/release/release_check.py build/repro/dist \
  x86=build/windows/app/talvorin.exe x64=build/windows-x64/app/talvorin.exe

((arches_status == 0)) || failed+=("$TALVORIN_ARCHES_LINE")

if ((${#failed[@]} > 0)); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "$TALVORIN_ARCHES_LINE"
echo "all passed"
