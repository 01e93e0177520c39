#!/usr/bin/env bash
# Runs the libFuzzer fuzzers of the core's input handling, each for
# FUZZ_SECONDS (600 unless set), and merges what they found new into the
# corpora under tests/fuzz/corpus, which the host tests replay.
#
#   bash tools/fuzz.sh [fuzzer...]     (startup tray_callback tray_record spacing_course)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash tools/setup.sh

seconds=${FUZZ_SECONDS:-600}
fuzzers=("$@")
((${#fuzzers[@]} > 0)) || fuzzers=(startup tray_callback tray_record spacing_course)
out=build/fuzz
mkdir -p "$out"

core_sources=(core/*.cpp platform/sim/code_page_1251.cpp)
for fuzzer in "${fuzzers[@]}"; do
  echo "=== $fuzzer: building"
  clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all -I. \
    "${core_sources[@]}" "tests/fuzz/${fuzzer}_fuzzer.cpp" -o "$out/$fuzzer"
  corpus=tests/fuzz/corpus/$fuzzer
  scratch=$out/$fuzzer.corpus
  mkdir -p "$corpus" "$scratch"
  echo "=== $fuzzer: ${seconds} s"
  status=0
  "$out/$fuzzer" -max_total_time="$seconds" -max_len=512 -print_final_stats=1 -artifact_prefix="$out/$fuzzer-" \
    "$scratch" "$corpus" >"$out/$fuzzer.log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|==[0-9]+== ?ERROR|SUMMARY)' "$out/$fuzzer.log" || true
  if ((status != 0)); then
    echo "$fuzzer: failed; see $out/$fuzzer.log and the input saved beside it"
    exit 1
  fi
  # Keep the corpus small: only inputs that add coverage.
  "$out/$fuzzer" -merge=1 "$corpus" "$scratch" >/dev/null 2>&1
  echo "=== $fuzzer: corpus of $(find "$corpus" -type f | wc -l) inputs"
done
