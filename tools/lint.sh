#!/usr/bin/env bash
# Static checks: clang-format over the tree, then clang-tidy over every C++
# file of the host build and of the 64-bit Windows build (the Win32 code is
# checked against mingw-w64's headers). Exits non-zero on any finding.
#   bash tools/lint.sh          check
#   bash tools/lint.sh --fix    reformat the tree in place, then check
#   bash tools/lint.sh --configured
#                               check against the compile commands of build/host
#                               and build/windows-x64 as they are, without
#                               configuring them again: tools/test.sh lints
#                               while those trees build
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
status=0
mode=${1:-}
# configure PRESET: the compile commands clang-tidy reads.
configure() {
  [[ $mode == --configured ]] || cmake --preset "$1" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
}

if [[ $mode == --fix ]]; then
  clang-format -i "${sources[@]}"
fi
echo "=== clang-format (${#sources[@]} files)"
if ! clang-format --dry-run -Werror "${sources[@]}"; then
  echo "clang-format: the files above differ from .clang-format (bash tools/lint.sh --fix)"
  status=1
fi

# tidy BUILD_DIR FILES... [-- EXTRA_ARGS...]
tidy() {
  local build=$1
  shift
  local files=() extra=()
  while (($#)) && [[ $1 != -- ]]; do files+=("$1"); shift; done
  (($#)) && shift && extra=("$@")
  ((${#files[@]})) || return 0
  echo "=== clang-tidy, $(basename "$build") build (${#files[@]} files)"
  printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 clang-tidy -p "$build" --quiet "${extra[@]}" 2>/dev/null
}

# The project's own C++ files that a build compiles.
compiled_in() {
  python3 - "$ROOT" "$1" <<'PY'
import json, os, sys
root, build = sys.argv[1], sys.argv[2]
files = {os.path.relpath(e["file"], root) for e in json.load(open(os.path.join(root, build, "compile_commands.json")))}
print("\n".join(sorted(f for f in files if f.endswith(".cpp") and not f.startswith("build/"))))
PY
}

# Each file is checked in the build it compiles in; the Win32 code only in
# the Windows one.
configure host
mapfile -t host_files < <(compiled_in build/host)
tidy build/host "${host_files[@]}" || status=1

# clang finds mingw-w64's C++ headers where its g++ does.
mingw=x86_64-w64-mingw32
windows_args=(--extra-arg=--target=$mingw)
for dir in $(echo | $mingw-g++ -xc++ -E -v - 2>&1 | sed -n '/search starts here/,/End of search/p' | grep '^ /.*c++'); do
  windows_args+=("--extra-arg=-isystem$dir")
done
configure windows-x64
mapfile -t windows_files < <(compiled_in build/windows-x64 | grep -v -x -F -f <(printf '%s\n' "${host_files[@]}"))
tidy build/windows-x64 "${windows_files[@]}" -- "${windows_args[@]}" || status=1

((status == 0)) && echo "lint: clean"
exit $status
