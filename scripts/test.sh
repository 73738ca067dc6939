#!/usr/bin/env bash
# Builds and runs every test: once normally, once under AddressSanitizer and
# UndefinedBehaviorSanitizer; and checks that a Release build of every target
# compiles without warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
jobs=$(nproc)
configure() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DKX_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
}
run() {
  local dir=$1; shift
  configure "$dir" "$@"
  (cd "$dir" && ctest --output-on-failure -j "$jobs" --timeout 600)
}
run build -DCMAKE_BUILD_TYPE=RelWithDebInfo
# Qt and fontconfig keep caches for the life of the process; leaks are not
# what this run looks for.
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  run build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_SANITIZE=ON -DKX_BENCH=OFF
configure build-release -DCMAKE_BUILD_TYPE=Release
echo "all tests passed"
