#!/usr/bin/env bash
# A throwaway PostgreSQL 15 server for the tests and the benchmark: a new
# cluster in a temporary folder, run by an unprivileged user, reachable only
# through a Unix socket in that folder (no TCP port), removed afterwards.
#
#   postgres-server.sh run COMMAND [ARGS...]
#       Starts a server (unless VELLUMIX_PGHOST already names a running one),
#       runs the command with VELLUMIX_PGHOST (the socket folder),
#       VELLUMIX_PGPORT and VELLUMIX_PGUSER set, then stops the server and
#       removes its folder, also when the command fails or is interrupted.
#       Exits with the command's status.
#   postgres-server.sh start FOLDER    starts a server in the new FOLDER
#   postgres-server.sh stop FOLDER     stops it and removes FOLDER
#
# The database superuser is "vellumix"; only the folder's owner (and root)
# can reach the socket, so connections need no password.
# As root the server runs as the system user "postgres" (created when it is
# missing), since the server refuses to run as root.
set -euo pipefail
# shellcheck source=scripts/server-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/server-common.sh"

bindir=${VELLUMIX_PG_BINDIR:-/usr/lib/postgresql/15/bin}
port=${VELLUMIX_PGPORT:-5432}
superuser=vellumix

die() {
  echo "postgres-server.sh: $*" >&2
  exit 1
}

start() {
  local folder=$1 user
  [ -x "$bindir/initdb" ] || die "PostgreSQL 15 is not installed ($bindir/initdb is missing; package postgresql-15)"
  user=$(server_user postgres)
  mkdir -p -- "$folder"
  chmod 700 -- "$folder"
  [ "$(id -u)" -eq 0 ] && chown "$user:" -- "$folder"
  if ! as_server "$user" "$bindir/initdb" -D "$folder/data" -U "$superuser" --auth=trust \
      --encoding=UTF8 --locale=C.UTF-8 >"$folder/initdb.log" 2>&1; then
    cat -- "$folder/initdb.log" >&2
    die "initdb failed in $folder"
  fi
  # Durability is not wanted for a cluster that lives as long as one test run.
  if ! as_server "$user" "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
      -o "-c listen_addresses='' -k $folder -p $port -c fsync=off -c synchronous_commit=off -c full_page_writes=off" \
      start >/dev/null; then
    cat -- "$folder/server.log" >&2 2>/dev/null || true
    die "the server did not start in $folder"
  fi
}

stop() {
  local folder=$1
  [ -n "$folder" ] && [ -d "$folder" ] || return 0
  if [ -f "$folder/data/postmaster.pid" ]; then
    local owner
    owner=$(stat -c %U -- "$folder/data")
    as_server "$owner" "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null 2>&1 || true
  fi
  rm -rf -- "$folder"
}

run() {
  [ $# -gt 0 ] || die "run: no command given"
  if [ -n "${VELLUMIX_PGHOST:-}" ] && [ -S "$VELLUMIX_PGHOST/.s.PGSQL.${VELLUMIX_PGPORT:-5432}" ]; then
    exec "$@"
  fi
  # /tmp rather than $TMPDIR: the server's user must be able to reach it.
  # The folder is global: the exit trap runs after this function returned.
  server_folder=$(mktemp -d /tmp/vellumix-pg.XXXXXX)
  trap 'stop "$server_folder"' EXIT
  trap 'interrupted 130' INT
  trap 'interrupted 143' TERM
  start "$server_folder"
  export VELLUMIX_PGHOST=$server_folder VELLUMIX_PGPORT=$port VELLUMIX_PGUSER=$superuser
  run_command "$@"
}

case "${1:-}" in
  run) shift; run "$@" ;;
  start) [ $# -eq 2 ] || die "usage: $0 start FOLDER"; start "$2" ;;
  stop) [ $# -eq 2 ] || die "usage: $0 stop FOLDER"; stop "$2" ;;
  *) echo "usage: $0 run COMMAND [ARGS...] | start FOLDER | stop FOLDER" >&2; exit 2 ;;
esac
