#!/usr/bin/env bash
# Preset files travel between the Windows and the Linux build: a bank or program saved by one
# must load into the other and save again byte for byte, and both must ship the same factory
# bank. Runs kavrel-preset from build/bin natively and from build-win/bin under wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
native_bin="$root/build/bin"
windows_bin="$root/build-win/bin"
for file in "$native_bin/kavrel-preset" "$native_bin/Kavrel.so" \
  "$windows_bin/kavrel-preset.exe" "$windows_bin/Kavrel.dll"; do
  if [ ! -f "$file" ]; then
    echo "test-presets: $file is missing: build the native and the Windows flavour first" >&2
    exit 1
  fi
done
source "$root/scripts/wine-env.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/kavrel-presets.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"
# The Linux plug-in reads the learned controllers of the user running it; keep them out.
export XDG_CONFIG_HOME="$work/config"

run() {
  local platform=$1
  shift
  local status=0
  if [ "$platform" = linux ]; then
    "$native_bin/kavrel-preset" "$native_bin/Kavrel.so" "$@" >"$work/out" 2>&1 || status=$?
  else
    wine "$windows_bin/kavrel-preset.exe" "$windows_bin/Kavrel.dll" "$@" >"$work/out" 2>&1 ||
      status=$?
  fi
  if [ "$status" -ne 0 ]; then
    echo "FAILED: kavrel-preset on $platform exited with $status: $*" >&2
    sed 's/^/  /' "$work/out" >&2
    exit 1
  fi
}

passed=0
failed=0
expect_same() {
  local what=$1 first=$2 second=$3
  if cmp -s "$first" "$second"; then
    echo "ok: $what ($(stat -c %s "$first") bytes)"
    passed=$((passed + 1))
  else
    echo "FAILED: $what: $(cmp "$first" "$second" 2>&1 | head -n 1)"
    failed=$((failed + 1))
  fi
}
expect_different() {
  local what=$1 first=$2 second=$3
  if cmp -s "$first" "$second"; then
    echo "FAILED: $what: the files are identical"
    failed=$((failed + 1))
  else
    echo "ok: $what"
    passed=$((passed + 1))
  fi
}

# The factory banks as each build starts.
run linux save-bank factory-linux.fxb
run windows save-bank factory-windows.fxb
expect_same "the DLL and the .so start with byte-identical factory banks" \
  factory-linux.fxb factory-windows.fxb

# Windows saves a bank that is not the factory's (program 24 copied over program 3, which
# carries lock entries the factory's program 3 does not), Linux loads and saves it.
run windows save-program 24 p24-windows.fxp program 3 load-program p24-windows.fxp \
  save-bank windows.fxb
expect_different "the bank saved under wine holds the copied program" windows.fxb factory-windows.fxb
run linux load-bank windows.fxb save-bank windows-via-linux.fxb
expect_same "a bank saved by the DLL, loaded and saved by the .so" windows.fxb windows-via-linux.fxb
run linux program 9 load-program p24-windows.fxp save-program 9 p24-via-linux.fxp
expect_same "a program saved by the DLL, loaded and saved by the .so" \
  p24-windows.fxp p24-via-linux.fxp
run linux save-program 24 p24-linux.fxp program 3 load-program p24-linux.fxp save-bank linux-24.fxb
expect_same "the same edit gives the same bank on both platforms" windows.fxb linux-24.fxb

# And the other way round.
run linux save-program 47 p47-linux.fxp program 10 load-program p47-linux.fxp save-bank linux.fxb
expect_different "the bank saved on Linux holds the copied program" linux.fxb factory-linux.fxb
run windows load-bank linux.fxb save-bank linux-via-windows.fxb
expect_same "a bank saved by the .so, loaded and saved by the DLL" linux.fxb linux-via-windows.fxb
run windows program 20 load-program p47-linux.fxp save-program 20 p47-via-windows.fxp
expect_same "a program saved by the .so, loaded and saved by the DLL" \
  p47-linux.fxp p47-via-windows.fxp

echo "test-presets: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
