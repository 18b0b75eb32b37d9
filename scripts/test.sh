#!/usr/bin/env bash
# Installs the dependencies, builds Noctavi with warnings as errors and runs the tests.
#   scripts/test.sh                     plain build in build/, every test
#   scripts/test.sh address,undefined   sanitizer build in build-address-undefined/, every test
#   scripts/test.sh thread              ThreadSanitizer build in build-thread/, the threaded tests
#   NOCTAVI_JOBS=N limits the parallel build and test jobs (default: every core).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="${NOCTAVI_JOBS:-$(nproc)}"

sanitize="${1:-}"
bash scripts/install-deps.sh

build_dir=build
test_filter=()
if [ -n "$sanitize" ]; then
  build_dir="build-${sanitize//,/-}"
  [ "$sanitize" = thread ] && test_filter=(-L threaded)
fi

cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DNOCTAVI_WERROR=ON \
  -DNOCTAVI_SANITIZE="$sanitize"
cmake --build "$build_dir" --parallel "$jobs"

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
ctest --test-dir "$build_dir" --output-on-failure --parallel "$jobs" "${test_filter[@]}"
