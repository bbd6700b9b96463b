#!/usr/bin/env bash
# Hardening checks the test command runs after the native, sanitizer and Windows suites:
#  1. every fuzz target (clang, libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
#     replays its regression inputs and then fuzzes for a few seconds from its seeds;
#  2. the concurrency stress test under ThreadSanitizer (clang), with the documented
#     suppressions for plain single-value fields (tests/stress/tsan-suppressions.txt).
# The same stress test, the lock check and the identity check also run in the native and
# AddressSanitizer suites through ctest. Longer fuzzing: scripts/fuzz.sh SECONDS.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
start=$(date +%s)

echo "-- fuzz targets, briefly"
FUZZ_LOGS="$root/build-fuzz/logs-ci" "$root/scripts/fuzz.sh" "${KAVREL_FUZZ_SECONDS:-8}"

echo "-- concurrency stress test under ThreadSanitizer"
CC=clang CXX=clang++ cmake -S "$root" -B "$root/build-tsan" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVREL_SANITIZE=thread -DKAVREL_WERROR=ON >/dev/null
cmake --build "$root/build-tsan" --target kavrel_hardening_tests -j "$(nproc)"
KAVREL_STRESS_MS=${KAVREL_STRESS_MS:-4000} \
  TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 suppressions=$root/tests/stress/tsan-suppressions.txt" \
  "$root/build-tsan/bin/kavrel_hardening_tests" --gtest_brief=1 \
  --gtest_filter='Stress.*:KickWaveform.*:AssignmentsFile.*'

echo "-- hardening checks passed in $(( $(date +%s) - start )) s"
