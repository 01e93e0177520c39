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

# Each pair's summary, and the output of the tests that failed in it: the
# lines from a test's "***Failed" (or Timeout, Not Run, Exception) to the
# next test.
pair_names=() pair_status=() pair_seconds=()
declare -A pair_cmd=()
pairs_report() {
  local i name
  ((${#pair_names[@]})) || return 0
  echo "=== the Wine suites, pair by pair"
  for i in "${!pair_names[@]}"; do
    name=${pair_names[$i]}
    printf '%5d s  %s: %s (build/logs/%s.log)\n' "${pair_seconds[$i]}" "${pair_cmd[$name]}" \
      "$( ((pair_status[i] == 0)) && echo passed || echo FAILED)" "$name"
    sed -n '/tests passed, .* failed out of/,$p' "build/logs/$name.log" | sed 's/^/    /'
  done
  for i in "${!pair_names[@]}"; do
    ((pair_status[i] == 0)) && continue
    name=${pair_names[$i]}
    echo "=== failed in ${pair_cmd[$name]} (build/logs/$name.log)"
    awk '/Test +#[0-9]+: .*\*\*\*(Failed|Timeout|Not Run|Exception)/ {show = 1; print; next}
         /^ *Start +[0-9]+: / || /tests passed, .* failed out of/ {show = 0}
         show' "build/logs/$name.log"
  done
}

finish() {
  pairs_report
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
export TALVORIN_SET_UP=1
source tools/wine-env.sh
source tools/wine-arches.sh

mkdir -p build/logs

# --- steps beside the others ---------------------------------------------------
# beside NAME CMD...: starts CMD in the background, its output in
# build/logs/NAME.log. joined NAME waits for it and counts it as a step:
# its own time, "(beside the steps above)", and its status; its line of
# times goes before timings[AT] where AT is given.
declare -A beside_pid=() beside_cmd=()
beside() {
  local name=$1
  shift
  (
    begun=$SECONDS
    "$@"
    status=$?
    echo "$((SECONDS - begun)) $status" >"build/logs/$name.end"
    exit $status
  ) >"build/logs/$name.log" 2>&1 &
  beside_pid[$name]=$!
  beside_cmd[$name]="$*"
}
joined() {
  local at=${2:-${#timings[@]}}
  wait "${beside_pid[$1]}"
  joined_status=$?
  echo "=== ${beside_cmd[$1]} (beside the steps above; build/logs/$1.log)"
  cat "build/logs/$1.log"
  local seconds
  read -r seconds _ <"build/logs/$1.end" 2>/dev/null || seconds=0
  timings=("${timings[@]:0:at}" "$(printf '%5d s  %s' "$seconds" "${beside_cmd[$1]} (beside the steps above)")"
    "${timings[@]:at}")
  return $joined_status
}

# The Debian 13 root with Wine 10 is made (or found ready) while the host
# and Windows build: it takes minutes of the network and the disk, little of
# the CPU. The static checks run beside the builds too, against the trees
# configured first, which they then only read.
beside wine10-root bash tools/wine10.sh make

step cmake --preset host -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
step cmake --preset windows
step cmake --preset windows-x64 -DCMAKE_EXPORT_COMPILE_COMMANDS=ON
# clang-format and clang-tidy: clean, or the run fails.
beside lint bash tools/lint.sh --configured

step cmake --build --preset host
step ctest --preset host
for arch in x86 x64; do
  step cmake --build --preset "$(talvorin_preset_of "$arch")"
done
joined lint || failed+=("bash tools/lint.sh")

talvorin_wine_arches
arches_status=$?
echo "$TALVORIN_ARCHES_LINE"

# --- the Wine suites, side by side ---------------------------------------------
# Each pair (a build under a Wine) is one ctest run with its own Xvfb, Wine
# prefixes, scratch folders and locale (tests/e2e/lib.sh, tests/win32), its
# output in build/logs/PRESET-wineN.log. TALVORIN_WINE_JOBS pairs run at a
# time. Tests labelled "alone", whose timing other suites beside them would
# starve, run afterwards, one pair at a time with nothing beside them.
# Four at once unless asked: on two cores the four suites take under
# 10 minutes side by side against some 16 one after another
# (docs/testing.md); TALVORIN_WINE_JOBS=1 runs them one at a time.
wine_jobs=${TALVORIN_WINE_JOBS:-4}
declare -A pair_pid=() pair_base=() pair_ran=()
queue=() queued=()
# name_pair NAME "COMMAND" FILTERS...: a pair is ctest's COMMAND with those
# filters; queue_pair, the same, waits for a free slot.
name_pair() {
  local name=$1
  pair_base[$name]=$2
  shift 2
  pair_cmd[$name]="${pair_base[$name]} $*"
}
queue_pair() {
  name_pair "$@"
  queue+=("$1")
  queued+=("$1")
}
start_pair() {
  local name=$1
  # Every test's output, passed or not, in build/logs/NAME.xml.
  # shellcheck disable=SC2086
  beside "$name" ${pair_cmd[$name]} --output-junit "$ROOT/build/logs/$name.xml"
  pair_pid[$name]=${beside_pid[$name]}
  echo "--- started ${pair_cmd[$name]} (build/logs/$name.log)"
}
# pair_done NAME: waits for it and counts its time and status.
pair_done() {
  local name=$1 status seconds
  wait "${pair_pid[$name]}"
  status=$?
  unset "pair_pid[$name]"
  read -r seconds _ <"build/logs/$name.end" 2>/dev/null || seconds=0
  pair_names+=("$name") pair_status+=("$status") pair_seconds+=("$seconds")
  pair_ran[$name]=1
  timings+=("$(printf '%5d s  %s' "$seconds" "  ${pair_cmd[$name]}")")
  echo "--- $( ((status == 0)) && echo passed || echo FAILED) in $seconds s: ${pair_cmd[$name]}"
  ((status == 0)) || failed+=("${pair_cmd[$name]}")
}

group_begun=$SECONDS
group_line=${#timings[@]}
timings+=("")
echo "=== the Wine suites, $wine_jobs at a time"
# Debian 12's Wine 8 on the host; what needs no Wine still runs on a build
# that cannot run here.
for arch in x86 x64; do
  preset=$(talvorin_preset_of "$arch")
  if [[ " ${TALVORIN_ARCHES[*]} " == *" $arch "* ]]; then
    queue_pair "$preset-wine8" "ctest --preset $preset" --label-exclude alone
  else
    queue_pair "$preset-nowine" "ctest --preset $preset" --label-exclude wine
  fi
done
# why_left NAME REASONS...: the reason given for the build NAME.
why_left() {
  local name=$1 reason
  shift
  for reason in "$@"; do [[ $reason == "$name: "* ]] && echo "${reason#"$name: "}" && return; done
  echo "cannot run here"
}
bed_waiting=1 bed_why= WINE10_ARCHES=() WINE10_LEFT=()
while :; do
  if ((bed_waiting)) && ! kill -0 "${beside_pid[wine10-root]}" 2>/dev/null; then
    bed_waiting=0
    joined wine10-root "$group_line"
    bed_status=$?
    group_line=$((group_line + 1))
    if ((bed_status == 0)); then
      # Debian 13's Wine 10, in its root, on each build whose loader starts
      # there: the 32-bit one too where the host's own wine32 could not be
      # installed.
      mapfile -t bed_arches < <(bash tools/wine10.sh run bash -c 'source tools/wine-env.sh &&
        source tools/wine-arches.sh; talvorin_wine_arches >/dev/null
        printf "%s\n" "${TALVORIN_ARCHES[*]}" "${TALVORIN_ARCHES_LEFT[@]}"')
      read -r -a WINE10_ARCHES <<<"${bed_arches[0]:-}"
      WINE10_LEFT=("${bed_arches[@]:1}")
      # A root that runs less than the host is broken: a failure, as its
      # pairs would have been.
      for arch in "${TALVORIN_ARCHES[@]}"; do
        [[ " ${WINE10_ARCHES[*]} " == *" $arch "* ]] && continue
        name=$(talvorin_arch_name "$arch")
        failed+=("the $name build under Wine 10: $(why_left "$name" "${WINE10_LEFT[@]}")")
      done
      for arch in "${WINE10_ARCHES[@]}"; do
        preset=$(talvorin_preset_of "$arch")
        queue_pair "$preset-wine10" "bash tools/wine10.sh run ctest --preset $preset" --label-regex wine \
          --label-exclude alone
      done
    else
      bed_why="the Debian 13 root could not be made ($(tail -n 1 build/logs/wine10-root.log))"
      # A bed that cannot be made fails a CI run; elsewhere the line says so.
      [[ ${CI:-} == true ]] && failed+=("bash tools/wine10.sh make")
    fi
  fi
  while ((${#pair_pid[@]} < wine_jobs && ${#queue[@]} > 0)); do
    start_pair "${queue[0]}"
    queue=("${queue[@]:1}")
  done
  ((${#pair_pid[@]} == 0 && ${#queue[@]} == 0 && !bed_waiting)) && break
  waiting=("${pair_pid[@]}")
  ((bed_waiting)) && waiting+=("${beside_pid[wine10-root]}")
  wait -n "${waiting[@]}"
  for name in "${!pair_pid[@]}"; do
    kill -0 "${pair_pid[$name]}" 2>/dev/null || pair_done "$name"
  done
done
# A pair that never ran is a failure, never a floor left out in silence.
for name in "${queued[@]}"; do
  [[ -n ${pair_ran[$name]:-} ]] || failed+=("${pair_cmd[$name]} (did not run)")
done
# Then what must run alone, pair by pair.
for name in "${pair_names[@]}"; do
  [[ $name == *-wine* ]] || continue
  name_pair "$name-alone" "${pair_base[$name]}" --label-regex alone
  start_pair "$name-alone"
  pair_done "$name-alone"
done
timings[group_line]=$(printf '%5d s  %s' $((SECONDS - group_begun)) \
  "the Wine suites below: $wine_jobs at a time, then what runs alone (wall time)")

# One line: each build under each Wine, and why any pair did not run.
floors_line="Wine floors:"
for arch in x86 x64; do
  name=$(talvorin_arch_name "$arch")
  on8=0 on10=0
  [[ " ${TALVORIN_ARCHES[*]} " == *" $arch "* ]] && on8=1
  [[ " ${WINE10_ARCHES[*]} " == *" $arch "* ]] && on10=1
  why10=${bed_why:-$(why_left "$name" "${WINE10_LEFT[@]}")}
  if ((on8 && on10)); then
    floors_line+=" the $name build under Wine 8 and Wine 10;"
  elif ((on8)); then
    floors_line+=" the $name build under Wine 8, not Wine 10: $why10;"
  elif ((on10)); then
    floors_line+=" the $name build under Wine 10, not Wine 8: $(why_left "$name" "${TALVORIN_ARCHES_LEFT[@]}");"
  else
    floors_line+=" the $name build under no Wine: $(why_left "$name" "${TALVORIN_ARCHES_LEFT[@]}");"
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
