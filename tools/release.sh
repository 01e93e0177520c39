#!/usr/bin/env bash
# Builds the release from a clean copy of the committed sources: both exes,
# each in a zip with its README.txt and LICENSE.txt, the exes beside them and
# SHA256SUMS, in dist/. Uncommitted changes never go in: the sources are HEAD
# as git has it, built in folders of their own (build/release/). Two runs of
# one commit give the same bytes, wherever and whenever they run.
#
#   bash tools/release.sh [--tree] [--work DIR] [--dist DIR]
#
# --tree takes the working tree's files (tracked and new, not ignored) instead
# of HEAD: the tests build what they tested a second time that way.
# SOURCE_DATE_EPOCH, if set, replaces the commit's time in the zips.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"

from=HEAD
work=build/release
dist=dist
while (($#)); do
  case $1 in
    --tree) from=tree ;;
    --work) work=$2; shift ;;
    --dist) dist=$2; shift ;;
    *) echo "usage: bash tools/release.sh [--tree] [--work DIR] [--dist DIR]" >&2; exit 2 ;;
  esac
  shift
done

bash tools/setup.sh

# The one time the release carries: the commit's.
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}
export SOURCE_DATE_EPOCH

src=$work/src
rm -rf "$work"
mkdir -p "$src"
if [[ $from == HEAD ]]; then
  echo "release: sources of $(git log -1 --format='%h %s')"
  if [[ -n $(git status --porcelain --untracked-files=no) ]]; then
    echo "release: the uncommitted changes in $ROOT are left out"
  fi
  git archive HEAD | tar -x -C "$src"
else
  echo "release: sources of the working tree (HEAD $(git log -1 --format=%h))"
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' file; do [[ -e $file ]] && printf '%s\0' "$file"; done |
    tar --null -T - -cf - | tar -xf - -C "$src"
fi
src=$(cd "$src" && pwd)

source tools/wine-session.sh
declare -A exe
for arch in x86 x64; do
  preset=$(talvorin_preset_of "$arch")
  exe[$arch]=$src/build/$preset/app/talvorin.exe
  log=$work/build-$arch.log
  echo "release: building the $arch exe in $src/build/$preset"
  if ! (cd "$src" && cmake --preset "$preset" && cmake --build --preset "$preset" --target talvorin) >"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "release: the $arch build failed; all of it in $log" >&2
    exit 1
  fi
done

# major.minor of project() in CMakeLists.txt, as the About title shows it.
full=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$src/build/$preset/CMakeCache.txt")
version=$(cut -d. -f1-2 <<<"$full")

rm -rf "$dist"
python3 "$src/tools/pack_release.py" "$dist" "$version" x86="${exe[x86]}" x64="${exe[x64]}"
