#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each for a given time, on the corpus kept in build-fuzz/corpus (seeded from real
# chunks, event lists, host transports and assignments files).
#   scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
# Targets: program_chunk bank_chunk events time_info parameters assignments (all by default).
# Logs go to build-fuzz/logs/TARGET.log (or $FUZZ_LOGS/TARGET.log); a crash leaves its input in build-fuzz/crashes/ and
# the script exits non-zero. Replay one with: build-fuzz/bin/fuzz_TARGET FILE
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(program_chunk bank_chunk events time_info parameters assignments)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKAVREL_SANITIZE=address,undefined,fuzzer-no-link -DKAVREL_TESTS=OFF -DKAVREL_FUZZ=ON \
  -DKAVREL_WERROR=ON >/dev/null
cmake --build "$build" --target fuzz-targets -j "$(nproc)"

export ASAN_OPTIONS=detect_leaks=0:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
seeds="$build/seeds"
rm -rf "$seeds"
"$build/bin/kavrel-fuzz-seeds" "$seeds"
logs=${FUZZ_LOGS:-$build/logs}
mkdir -p "$logs" "$build/crashes"

# Chunks are large by nature: a bank of lean programs is 1.8 MB, a factory program 300 kB.
max_len() {
  case "$1" in
    bank_chunk) echo 2400000 ;;
    program_chunk) echo 400000 ;;
    assignments) echo 4096 ;;
    *) echo 65536 ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  log="$logs/$target.log"
  # Inputs that once crashed a target stay fixed: replay them first.
  regressions=("$root/tests/fuzz/regressions/$target"/*)
  if [ -e "${regressions[0]}" ]; then
    if ! "$build/bin/fuzz_$target" "${regressions[@]}" >"$logs/$target-regressions.log" 2>&1; then
      echo "fuzz: $target regression input FAILED, see $logs/$target-regressions.log" >&2
      tail -n 40 "$logs/$target-regressions.log" >&2
      status=1
      continue
    fi
    echo "fuzz: $target replayed ${#regressions[@]} regression input(s)"
  fi
  echo "fuzz: $target for ${seconds}s"
  if ! "$build/bin/fuzz_$target" "$corpus" "$seeds/$target" -max_total_time="$seconds" \
      -max_len="$(max_len "$target")" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$target-" >"$log" 2>&1; then
    echo "fuzz: $target FAILED, see $log" >&2
    tail -n 40 "$log" >&2
    status=1
    continue
  fi
  grep -E '^stat::number_of_executed_units|^#[0-9]+.*DONE' "$log" | tail -n 2 || true
done
exit $status
