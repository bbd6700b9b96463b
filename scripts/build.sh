#!/usr/bin/env bash
# Configures and builds one flavour of the tree.
#   scripts/build.sh native|asan|windows [extra cmake arguments]
# KAVREL_TARGETS="Kavrel ..." builds only those targets; KAVREL_JOBS sets the parallel jobs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
flavour=${1:-native}
shift || true

case "$flavour" in
  native)  dir=build;      args=(-DCMAKE_BUILD_TYPE=Release) ;;
  asan)    dir=build-asan; args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DKAVREL_SANITIZE=address,undefined) ;;
  windows) dir=build-win;  args=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake") ;;
  *) echo "usage: $0 native|asan|windows" >&2; exit 2 ;;
esac

cmake -S "$root" -B "$root/$dir" -G Ninja "${args[@]}" "$@" >/dev/null
targets=()
for target in ${KAVREL_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$root/$dir" -j "${KAVREL_JOBS:-$(nproc)}" "${targets[@]}"
echo "$root/$dir"
