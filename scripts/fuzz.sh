#!/usr/bin/env bash
# A fuzzing campaign: builds the targets of fuzz/ with clang and libFuzzer
# (AddressSanitizer and UndefinedBehaviorSanitizer on) in build-fuzz/, runs
# each for SECONDS from its seed corpus, one process at a time, and prints
# per target the executions and the findings.
#   scripts/fuzz.sh SECONDS [TARGET...]
# New inputs go to build-fuzz/corpus/TARGET (kept between campaigns), the
# inputs of findings to build-fuzz/findings/TARGET; the committed seeds in
# fuzz/corpus/ are never written. A campaign goes on after a finding.
# KX_FUZZ_IGNORE=name,... passes over named checks whose fault is known.
set -euo pipefail
seconds=${1:?usage: scripts/fuzz.sh SECONDS [TARGET...]}
shift
cd "$(dirname "$0")/.."

# The project's packages, and clang with libFuzzer's runtime.
bash scripts/setup.sh clang libclang-rt-14-dev

if [ $# -gt 0 ]; then
  targets=("$@")
else
  targets=()
  for f in fuzz/*.cpp; do
    n=$(basename "$f" .cpp)
    [ "$n" = replay_main ] || targets+=("$n")
  done
fi

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKX_FUZZ=ON \
  -DKX_TESTS=OFF -DKX_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

# The targets' own files go to shared memory where there is any.
parent=/dev/shm
[ -w "$parent" ] || parent=${TMPDIR:-/tmp}
scratch=$(mktemp -d "$parent/kx-fuzz.XXXXXX")
trap 'rm -rf "$scratch"' EXIT

summary=()
for t in "${targets[@]}"; do
  corpus=build-fuzz/corpus/$t findings=build-fuzz/findings/$t log=build-fuzz/fuzz-$t.log
  mkdir -p "$corpus" "$findings"
  echo "== $t: $seconds s"
  KX_FUZZ_SCRATCH=$scratch ./build-fuzz/fuzz/fuzz_"$t" -fork=1 -ignore_crashes=1 \
    -ignore_timeouts=1 -ignore_ooms=1 -timeout=30 -max_total_time="$seconds" \
    -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$t" >"$log" 2>&1 || true
  # The last status line: "#EXECS: cov: ... oom/timeout/crash: O/T/C ...".
  status=$(grep -E '^#[0-9]+: cov:' "$log" | tail -1 || true)
  execs=$(sed -E 's/^#([0-9]+):.*/\1/' <<<"$status")
  found=$(sed -E 's/.*oom\/timeout\/crash: ([0-9/]+).*/\1/' <<<"$status")
  summary+=("$t: ${execs:-0} executions, oom/timeout/crash ${found:-0/0/0}")
  # What each finding broke, from a replay of its input.
  for a in "$findings"/*; do
    [ -e "$a" ] || continue
    KX_FUZZ_SCRATCH=$scratch ./build-fuzz/fuzz/fuzz_"$t" "$a" 2>&1 |
      grep -m1 -E -A1 'check failed|^SUMMARY: (Address|UndefinedBehavior)|ERROR: libFuzzer' |
      grep -v -E 'check failed|^--' | sed -E 's/[0-9]+ messages/N messages/; s/line [0-9]+/line N/; s/entry [0-9]+/entry N/g' || true
  done | sort | uniq -c | sed 's/^/   /' >"build-fuzz/findings-$t.txt"
  cat "build-fuzz/findings-$t.txt"
done
echo "== summary ($seconds s per target)"
printf '%s\n' "${summary[@]}"
