#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite without a
# display. --sanitize runs it built with AddressSanitizer and UBSan.
# The PostgreSQL tests share one throwaway server, started here and removed
# afterwards (scripts/postgres-server.sh); so do the MariaDB tests
# (scripts/mariadb-server.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/deps.sh"
dir=$(bash "$root/scripts/build.sh" "$@" | tail -n 1)
export QT_QPA_PLATFORM=offscreen
cd "$dir"
bash "$root/scripts/postgres-server.sh" run \
  bash "$root/scripts/mariadb-server.sh" run ctest --output-on-failure -j"$(nproc)"
