#!/usr/bin/env bash
# Builds both plug-ins and writes the release archives a producer downloads:
#   dist/Kavrel-<version>-windows-x64.zip     Kavrel.dll and the documents
#   dist/Kavrel-<version>-linux-x64.tar.gz    Kavrel.so and the documents
# The version is the one in CMakeLists.txt. The same tree gives byte-identical archives: every
# file gets the time of the last commit (or SOURCE_DATE_EPOCH), fixed permissions and owner,
# and the archives list them in a fixed order.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/setup.sh"

version=$(sed -nE 's/^project\(Kavrel VERSION ([0-9]+\.[0-9]+\.[0-9]+).*/\1/p' CMakeLists.txt)
if [ -z "$version" ]; then
  echo "package: no version in CMakeLists.txt" >&2
  exit 1
fi
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 315532800)}

# Only the plug-ins: build folders that the tests have built already are reused as they are.
KAVREL_TARGETS=Kavrel "$root/scripts/build.sh" native >/dev/null
KAVREL_TARGETS=Kavrel "$root/scripts/build.sh" windows >/dev/null
"$root/scripts/check-dll.sh" "$root/build-win/bin/Kavrel.dll" >/dev/null

stage=$(mktemp -d "${TMPDIR:-/tmp}/kavrel-package.XXXXXX")
trap 'rm -rf "$stage"' EXIT
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" "$root/tools/manual/build_manual.py" docs/manual.md "$stage/manual.html" \
  --version "$version"

windows=Kavrel-$version-windows-x64
linux=Kavrel-$version-linux-x64
mkdir -p "$stage/$windows" "$stage/$linux"
for dir in "$stage/$windows" "$stage/$linux"; do
  cp "$stage/manual.html" "$dir/manual.html"
  cp CHANGES.md "$dir/CHANGES.md"
done
cp build-win/bin/Kavrel.dll "$stage/$windows/Kavrel.dll"
cp build/bin/Kavrel.so "$stage/$linux/Kavrel.so"

# A title and its underline, as long as the title.
title() { printf '%s\n%s\n' "$1" "$(printf '%s' "$1" | tr -c '' '=')"; }

# Windows read-me with Windows line ends, so that every editor there shows its lines.
sed 's/$/\r/' >"$stage/$windows/README.txt" <<EOF
$(title "Kavrel $version for 64-bit Windows")

Kavrel is a drum machine for your host: a VST 2 instrument that synthesises twelve drum
voices and plays them from MIDI and from its own step sequencer.

Install
  1. Copy Kavrel.dll into your host's VST 2 plug-in folder,
     for example C:\\Program Files\\VSTPlugins\\
  2. Rescan plug-ins in your host.
  3. Load Kavrel on an instrument track.

It needs a 64-bit host and nothing else: Kavrel.dll uses only what comes with Windows.

manual.html is the manual (open it in any web browser); CHANGES.md says what each
version changed.
EOF

# What the Linux library loads at run time, read from the library itself: the newest C library
# version it asks for, and the shared libraries beyond the C library that it names.
runtime=""
for lib in $(objdump -p build/bin/Kavrel.so | awk '/NEEDED/ {print $2}'); do
  case "$lib" in libc.so.* | libm.so.* | libdl.so.* | libpthread.so.* | librt.so.* | ld-linux*) continue ;; esac
  # awk reads the whole list: leaving early would end ldconfig with SIGPIPE, which pipefail
  # turns into a failure.
  path=$(ldconfig -p | awk -v lib="$lib" '!found && $1 == lib && /x86-64/ {print $NF; found = 1}')
  package=""
  if [ -n "$path" ]; then
    package=$(dpkg -S "$path" 2>/dev/null || dpkg -S "$(readlink -f "$path")" 2>/dev/null || true)
    package=${package%%:*}
  fi
  runtime+=$(printf '    %-15s%s' "$lib" "${package:+ on Debian and Ubuntu in the package $package}")$'\n'
done
glibc=$(objdump -T build/bin/Kavrel.so | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' |
  sort -uV | tail -n 1)

cat >"$stage/$linux/README.txt" <<EOF
$(title "Kavrel $version for 64-bit Linux")

Kavrel is a drum machine for your host: a VST 2 instrument that synthesises twelve drum
voices and plays them from MIDI and from its own step sequencer.

Install
  1. Copy Kavrel.so into ~/.vst/ (or another folder your host scans for VST 2 plug-ins).
  2. Rescan plug-ins in your host.
  3. Load Kavrel on an instrument track.

It needs a 64-bit host, the GNU C library $glibc or newer, and these libraries, which
desktop systems have installed already:
$runtime
Check with: ldd ~/.vst/Kavrel.so   (no line may say "not found")

manual.html is the manual (open it in any web browser); CHANGES.md says what each
version changed.
EOF

# Fixed metadata on everything that goes into an archive.
find "$stage/$windows" "$stage/$linux" -type d -exec chmod 0755 {} +
find "$stage/$windows" "$stage/$linux" -type f -exec chmod 0644 {} +
chmod 0755 "$stage/$linux/Kavrel.so"
find "$stage/$windows" "$stage/$linux" -exec touch -h -d "@$epoch" {} +

mkdir -p dist
zip_out="dist/$windows.zip"
tar_out="dist/$linux.tar.gz"
# Written beside the final names and then moved: an interrupted run never leaves a partial
# archive under a release name.
rm -f dist/.partial.zip dist/.partial.tar.gz
(cd "$stage" && find "$windows" -type f | LC_ALL=C sort |
  TZ=UTC zip -q -X -D -9 "$root/dist/.partial.zip" -@)
tar -C "$stage" --sort=name --format=gnu --mtime="@$epoch" --owner=0 --group=0 \
  --numeric-owner -cf - "$linux" | gzip -9 -n >dist/.partial.tar.gz
chmod 0644 dist/.partial.zip dist/.partial.tar.gz
mv dist/.partial.zip "$zip_out"
mv dist/.partial.tar.gz "$tar_out"

for archive in "$zip_out" "$tar_out"; do
  printf '%s  %s bytes  sha256 %s\n' "$archive" "$(stat -c %s "$archive")" \
    "$(sha256sum "$archive" | cut -d' ' -f1)"
done
