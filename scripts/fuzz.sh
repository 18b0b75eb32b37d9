#!/usr/bin/env bash
# Builds the libFuzzer targets under fuzz/ with clang++ in build-fuzz/ and runs
# each on its seed corpus (fuzz/corpus/NAME) for a while. New inputs go to a
# scratch folder, never into the committed seeds; an input that fails is kept
# in build-fuzz/findings/ and fails the script.
#   scripts/fuzz.sh [seconds per target]   (default 20)
#   NOCTAVI_JOBS=N limits the parallel build jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-20}"
jobs="${NOCTAVI_JOBS:-$(nproc)}"

bash scripts/install-deps.sh
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DNOCTAVI_WERROR=ON -DNOCTAVI_FUZZ=ON -DNOCTAVI_SANITIZE=address,undefined
cmake --build build-fuzz --parallel "$jobs" --target noctavi_fuzz

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
findings="$PWD/build-fuzz/findings"
mkdir -p "$findings"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

for seeds in fuzz/corpus/*/; do
  name="$(basename "$seeds")"
  options=(-max_total_time="$seconds" -timeout=10 -artifact_prefix="$findings/$name-" -print_final_stats=1)
  [ -f "fuzz/$name.dict" ] && options+=(-dict="fuzz/$name.dict")
  mkdir "$scratch/$name"
  echo "== fuzz_$name for ${seconds}s"
  "build-fuzz/fuzz/fuzz_$name" "${options[@]}" "$scratch/$name" "$seeds"
done
