#!/usr/bin/env bash
# Everything CI runs: set-up, then the host build with its tests, then the
# Windows build with the tests under Wine (end to end included). Goes on
# after a failing step so one run shows all of them; exits non-zero if any
# step failed.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

bash tools/setup.sh || exit 1

failed=()
step() {
  echo "=== $*"
  "$@" || failed+=("$*")
}

step cmake --preset host
step cmake --build --preset host
step ctest --preset host
step cmake --preset windows
step cmake --build --preset windows
step ctest --preset windows

if ((${#failed[@]} > 0)); then
  printf 'FAILED: %s\n' "${failed[@]}"
  exit 1
fi
echo "all passed"
