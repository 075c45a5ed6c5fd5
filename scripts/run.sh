#!/usr/bin/env bash
# Installs what is missing, builds, prepares the sample database and its
# data source, then opens the sample diagram:  bash scripts/run.sh
#
# The sample database lives in the user's data folder and is built from
# samples/sample.sql only when it does not exist yet, so changes made to it
# with the designer survive the next run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dsn=VellumixSample

# Without a display the program cannot show anything: say so before the
# installing and building, and say how to get a virtual display on a
# machine that has none yet.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display is available. Run it inside a desktop session, or under a virtual display:" >&2
  if ! command -v xvfb-run >/dev/null 2>&1; then
    echo "  apt-get install xvfb            (as root; it provides xvfb-run)" >&2
  fi
  echo "  xvfb-run -a bash scripts/run.sh" >&2
  exit 1
fi

bash "$root/scripts/deps.sh"
# Only the program: a test that fails to build must not keep it from starting.
bash "$root/scripts/build.sh" vellumix

data_dir=${XDG_DATA_HOME:-$HOME/.local/share}/vellumix
database=$data_dir/sample.db
if [ ! -e "$database" ]; then
  echo "Building the sample database $database"
  mkdir -p -- "$data_dir"
  # Built beside its final place and renamed into it, so that an
  # interrupted build never leaves a half-made database behind.
  partial=$(mktemp "$data_dir/.sample.db.XXXXXX")
  trap 'rm -f -- "$partial"' EXIT
  sqlite3 -bail "$partial" <"$root/samples/sample.sql"
  mv -n -- "$partial" "$database"
  trap - EXIT
  rm -f -- "$partial"
fi

bash "$root/scripts/register-dsn.sh" "$dsn" "$database" "Vellumix sample order-entry database"

exec "$root/build/vellumix" "$root/samples/sample.vmx"
