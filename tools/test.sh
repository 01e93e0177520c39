#!/usr/bin/env bash
# Everything CI runs: set-up, then the host build with its tests and the
# static checks, then both Windows builds (32-bit and 64-bit). The resources
# check runs on both exes everywhere; the tests under Wine (tests/win32 and
# e2e) run on every build this host can run, under Debian 12's Wine 8 and
# under Debian 13's Wine 10 in a root of its own (tools/wine10.sh), and one
# line says which build ran under which Wine. Last, the release is built
# again elsewhere and must match the tested exes. Goes on after a failing
# step so one run shows all of them; prints how long each step took; exits
# non-zero if any step failed.
#
#   bash tools/test.sh           everything
#   bash tools/test.sh --quick   the host build, its tests and clang-format:
#                                the loop to run before every commit
#
# TALVORIN_WINE_ARCHES=x86|x64|x86,x64 forces which builds run under Wine.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

failed=()
timings=()
started=$SECONDS
step() {
  local begun=$SECONDS
  echo "=== $*"
  "$@" || failed+=("$*")
  timings+=("$(printf '%5d s  %s' $((SECONDS - begun)) "$*")")
}

finish() {
  echo "=== time taken"
  printf '%s\n' "${timings[@]}"
  printf '%5d s  in all\n' $((SECONDS - started))
  [[ -n ${floors_line:-} ]] && echo "$floors_line"
  if ((${#failed[@]} > 0)); then
    printf 'FAILED: %s\n' "${failed[@]}"
    exit 1
  fi
  echo "all passed"
  exit 0
}

format_check() {
  mapfile -t sources < <(git ls-files '*.cpp' '*.h')
  clang-format --dry-run -Werror "${sources[@]}" ||
    { echo "clang-format: the files above differ from .clang-format (bash tools/lint.sh --fix)"; return 1; }
}

if [[ ${1:-} == --quick ]]; then
  step cmake --preset host
  step cmake --build --preset host
  step ctest --preset host
  step format_check
  finish
fi

step bash tools/setup.sh
((${#failed[@]} == 0)) || finish
source tools/wine-env.sh
source tools/wine-arches.sh

# The Debian 13 root with Wine 10 is made (or found ready) while the host
# builds: it takes minutes of the network and the disk, little of the CPU.
bed_log=build/wine10-bed.log
mkdir -p build
(
  begun=$SECONDS
  bash tools/wine10.sh make
  status=$?
  echo "$((SECONDS - begun))" >build/wine10-bed.seconds
  exit $status
) >"$bed_log" 2>&1 &
bed_pid=$!

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

# Debian 12's Wine 8, on the host.
for arch in x86 x64; do
  if [[ " ${TALVORIN_ARCHES[*]} " == *" $arch "* ]]; then
    step ctest --preset "$(talvorin_preset_of "$arch")"
  else
    # What needs no Wine still runs on this build.
    step ctest --preset "$(talvorin_preset_of "$arch")" --label-exclude wine
  fi
done

# Debian 13's Wine 10, in its root.
wait "$bed_pid"
bed_status=$?
cat "$bed_log"
timings+=("$(printf '%5d s  %s' "$(cat build/wine10-bed.seconds 2>/dev/null || echo 0)" \
  "bash tools/wine10.sh make (beside the steps above)")")
bed_why=
if ((bed_status != 0)); then
  bed_why="the Debian 13 root could not be made ($(tail -n 1 "$bed_log"))"
  # A bed that cannot be made fails a CI run; elsewhere the line says so.
  [[ ${CI:-} == true ]] && failed+=("bash tools/wine10.sh make")
else
  for arch in "${TALVORIN_ARCHES[@]}"; do
    step bash tools/wine10.sh run ctest --preset "$(talvorin_preset_of "$arch")" --label-regex wine
  done
fi

# One line: each build under each Wine, and why any pair did not run.
floors_line="Wine floors:"
for arch in x86 x64; do
  name=$(talvorin_arch_name "$arch")
  if [[ " ${TALVORIN_ARCHES[*]} " != *" $arch "* ]]; then
    why="cannot run here"
    for reason in "${TALVORIN_ARCHES_LEFT[@]}"; do [[ $reason == "$name: "* ]] && why=${reason#"$name: "}; done
    floors_line+=" the $name build under no Wine: $why;"
  elif [[ -n $bed_why ]]; then
    floors_line+=" the $name build under Wine 8, not Wine 10: $bed_why;"
  else
    floors_line+=" the $name build under Wine 8 and Wine 10;"
  fi
done
floors_line="${floors_line%;}"

# The release built a second time, later, from a clean copy of this tree in
# folders of its own: its exes must be the ones tested above, byte for byte,
# and its zips the same bytes as those exes packed again.
step bash tools/release.sh --tree --work build/repro --dist build/repro/dist
step python3 tests/release/release_check.py build/repro/dist \
  x86=build/windows/app/talvorin.exe x64=build/windows-x64/app/talvorin.exe

((arches_status == 0)) || failed+=("$TALVORIN_ARCHES_LINE")
finish
