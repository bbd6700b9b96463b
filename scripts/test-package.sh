#!/usr/bin/env bash
# The release archives as a producer gets them: scripts/package.sh writes both, each unpacks
# into an empty folder with exactly the expected files, the plug-in loads from there through
# its entry point as a host loads it (the DLL under wine) and reports the whole factory bank,
# the manual carries its own pictures, and packaging again under another time zone and umask
# gives byte-identical archives.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# The tools that load the plug-ins; already built when the whole test command runs.
KAVREL_TARGETS="Kavrel kavrel-info" "$root/scripts/build.sh" native >/dev/null
KAVREL_TARGETS="Kavrel kavrel-info" "$root/scripts/build.sh" windows >/dev/null

work=$(mktemp -d "${TMPDIR:-/tmp}/kavrel-package-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The Linux plug-in reads the learned controllers of the user running it; keep them out.
export XDG_CONFIG_HOME="$work/config"

failed=0
fail() {
  echo "FAILED: $*"
  failed=$((failed + 1))
}

"$root/scripts/package.sh" | tee "$work/first.txt"
mapfile -t archives < <(awk '{print $1}' "$work/first.txt")
[ "${#archives[@]}" -eq 2 ] || { echo "FAILED: package.sh names ${#archives[@]} archives"; exit 1; }
zip_file=$(printf '%s\n' "${archives[@]}" | grep '\.zip$')
tar_file=$(printf '%s\n' "${archives[@]}" | grep '\.tar\.gz$')
cp "$zip_file" "$tar_file" "$work/"

(umask 077 && TZ=Pacific/Chatham "$root/scripts/package.sh" >/dev/null)
for archive in "$zip_file" "$tar_file"; do
  if cmp -s "$archive" "$work/$(basename "$archive")"; then
    echo "ok: packaging again gives the same $(basename "$archive")"
  else
    fail "$(basename "$archive") differs between two runs on the same tree"
  fi
done

mkdir "$work/windows" "$work/linux"
unzip -q "$zip_file" -d "$work/windows"
tar -xzf "$tar_file" -C "$work/linux"

# The archive's files, one per line, relative to where it was unpacked.
listing() { (cd "$1" && find . -mindepth 1 -type f | sed 's|^\./||' | LC_ALL=C sort); }
expected() {
  local top=$1 plugin=$2
  printf '%s\n' "$top/CHANGES.md" "$top/$plugin" "$top/README.txt" "$top/manual.html" |
    LC_ALL=C sort
}
windows_top=$(basename "$zip_file" .zip)
linux_top=$(basename "$tar_file" .tar.gz)
for pair in "windows $windows_top Kavrel.dll" "linux $linux_top Kavrel.so"; do
  read -r platform top plugin <<<"$pair"
  if [ "$(listing "$work/$platform")" = "$(expected "$top" "$plugin")" ]; then
    echo "ok: the $platform archive holds $top/ with $plugin, README.txt, manual.html, CHANGES.md"
  else
    fail "the $platform archive holds:"
    listing "$work/$platform" | sed 's/^/  /'
  fi
  manual="$work/$platform/$top/manual.html"
  if [ -f "$manual" ] && ! grep -Eo '<img [^>]*src="[^"]*"' "$manual" | grep -qv 'src="data:'; then
    echo "ok: the $platform manual carries its pictures"
  else
    fail "the $platform manual refers to pictures outside itself"
  fi
done

# The plug-in straight from the unpacked folder, through its entry point: the identity a host
# lists, and all 48 factory programs from the bank inside the binary.
check_load() {
  local platform=$1
  shift
  local status=0
  "$@" >"$work/info.txt" 2>&1 && "$@" --programs >"$work/programs.txt" 2>&1 || status=$?
  tr -d '\r' <"$work/info.txt" >"$work/info" && tr -d '\r' <"$work/programs.txt" >"$work/programs"
  if [ "$status" -ne 0 ]; then
    fail "the unpacked $platform plug-in does not load (exit $status)"
    sed 's/^/  /' "$work/info" "$work/programs" | head -n 20 || true
  elif grep -q '^Name *Kavrel$' "$work/info" && grep -q 'outputs 12' "$work/info" &&
    [ "$(wc -l <"$work/programs")" -eq 48 ] &&
    head -n 1 "$work/programs" | grep -q '00 Kit - Light House'; then
    echo "ok: the unpacked $platform plug-in loads and lists the 48 factory programs"
  else
    fail "the unpacked $platform plug-in reports:"
    sed 's/^/  /' "$work/info" "$work/programs" | head -n 20 || true
  fi
}
check_load linux "$root/build/bin/kavrel-info" "$work/linux/$linux_top/Kavrel.so"
source "$root/scripts/wine-env.sh"
check_load windows wine "$root/build-win/bin/kavrel-info.exe" "$work/windows/$windows_top/Kavrel.dll"

if [ "$failed" -ne 0 ]; then
  echo "test-package: $failed check(s) failed" >&2
  exit 1
fi
echo "test-package: the archives are complete, reproducible and load"
