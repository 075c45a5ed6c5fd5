#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite without a
# display. --sanitize runs it built with AddressSanitizer and UBSan.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
dir=$(bash "$root/scripts/build.sh" "$@" | tail -n 1)
export QT_QPA_PLATFORM=offscreen
cd "$dir"
ctest --output-on-failure -j"$(nproc)"
