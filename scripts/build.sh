#!/usr/bin/env bash
# Builds targets in build/ with the settings that scripts/test.sh uses, so
# that the two share one build. NOCTAVI_JOBS=N limits the parallel jobs.
#   scripts/build.sh TARGET...
set -euo pipefail
cd "$(dirname "$0")/.."
[ -f build/CMakeCache.txt ] ||
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNOCTAVI_WERROR=ON -DNOCTAVI_SANITIZE=
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build build --parallel "${NOCTAVI_JOBS:-$(nproc)}" "${targets[@]}"
