#!/usr/bin/env bash
# Sets everything up and runs every test: formatting, the native suite with warnings as
# errors, the same suite under AddressSanitizer and UndefinedBehaviorSanitizer, and the
# Windows build's suite under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
start=$(date +%s)

"$root/scripts/setup.sh"

echo "== formatting"
mapfile -t sources < <(git ls-files --cached --others --exclude-standard -- \
  '*.cpp' '*.h' | grep -v '^build')
if ! clang-format --dry-run --Werror "${sources[@]}"; then
  echo "formatting: run clang-format -i on the files above" >&2
  exit 1
fi

echo "== native build and tests"
"$root/scripts/build.sh" native -DKAVREL_WERROR=ON -DKAVREL_BENCH=ON
ctest --test-dir "$root/build" --output-on-failure

echo "== sanitizer build and tests"
"$root/scripts/build.sh" asan -DKAVREL_WERROR=ON
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure

echo "== Windows build and tests under wine"
"$root/scripts/build.sh" windows -DKAVREL_WERROR=ON
"$root/scripts/check-dll.sh" "$root/build-win/bin/Kavrel.dll"
source "$root/scripts/wine-env.sh"
ctest --test-dir "$root/build-win" --output-on-failure

for extra in "$root"/scripts/test-*.sh; do
  [ -x "$extra" ] || continue
  echo "== $(basename "$extra")"
  "$extra"
done

echo "== all tests passed in $(( $(date +%s) - start )) s"
