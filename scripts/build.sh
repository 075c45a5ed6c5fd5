#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with --sanitize).
# Further arguments name the targets to build (default: everything).
# Prints the build folder on its last line.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build"
extra=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-asan"
  extra=(-DVELLUMIX_SANITIZE=ON)
  shift
fi
targets=()
for target in "$@"; do
  targets+=(--target "$target")
done
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${extra[@]}" >/dev/null
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
echo "$dir"
