#!/usr/bin/env bash
# A throwaway MariaDB server for the tests and the benchmark: a new data
# folder in a temporary folder, run by an unprivileged user, reachable only
# through a Unix socket in that folder (no TCP port), removed afterwards.
#
#   mariadb-server.sh run COMMAND [ARGS...]
#       Starts a server (unless VELLUMIX_MARIADB_SOCKET already names a
#       running one), runs the command with VELLUMIX_MARIADB_SOCKET (the
#       socket's path), VELLUMIX_MARIADB_USER and VELLUMIX_MARIADB_DATABASE
#       (an empty database the command may use) set, then stops the server
#       and removes its folder, also when the command fails or is
#       interrupted. Exits with the command's status.
#   mariadb-server.sh start FOLDER    starts a server in the new FOLDER
#   mariadb-server.sh stop FOLDER     stops it and removes FOLDER
#
# The user "vellumix" holds every privilege and has no password; only the
# folder's owner (and root) can reach the socket, so nobody else can use it.
# As root the server runs as the system user "mysql" (created when it is
# missing), since the server refuses to run as root.
set -euo pipefail
# shellcheck source=scripts/server-common.sh
source "$(dirname "${BASH_SOURCE[0]}")/server-common.sh"

user_name=vellumix
database_name=vellumix
socket_name=mariadb.sock

die() {
  echo "mariadb-server.sh: $*" >&2
  exit 1
}

# The server's settings. No option file of the machine is read: the server
# owes nothing to /etc/mysql. Durability is not wanted for data that lives
# as long as one test run.
server_options() {
  local folder=$1
  printf '%s\n' \
    "--datadir=$folder/data" \
    "--socket=$folder/$socket_name" \
    "--pid-file=$folder/mariadbd.pid" \
    "--log-error=$folder/server.log" \
    --skip-networking \
    --skip-log-bin \
    --character-set-server=utf8mb4 \
    --collation-server=utf8mb4_general_ci \
    --default-storage-engine=InnoDB \
    --innodb-buffer-pool-size=128M \
    --innodb-log-file-size=64M \
    --innodb-flush-log-at-trx-commit=0 \
    --innodb-doublewrite=0 \
    --sync-binlog=0 \
    --max-connections=200
}

start() {
  local folder=$1 user
  command -v mariadbd >/dev/null 2>&1 || [ -x /usr/sbin/mariadbd ] \
    || die "MariaDB is not installed (mariadbd is missing; package mariadb-server)"
  local mariadbd
  mariadbd=$(command -v mariadbd 2>/dev/null || echo /usr/sbin/mariadbd)
  user=$(server_user mysql)
  mkdir -p -- "$folder"
  chmod 700 -- "$folder"
  [ "$(id -u)" -eq 0 ] && chown "$user:" -- "$folder"
  # The test user is made while the data folder is made, so that no
  # privileged login is ever needed afterwards. The grant tables are not
  # loaded then, so the user is written into them directly: every
  # privilege (an access mask of all ones) and an empty password.
  cat >"$folder/users.sql" <<EOF
INSERT INTO mysql.global_priv (Host, User, Priv) VALUES ('localhost', '$user_name',
  json_object('access', cast(-1 as unsigned), 'plugin', 'mysql_native_password',
              'authentication_string', '', 'password_last_changed', unix_timestamp()));
CREATE DATABASE \`$database_name\` CHARACTER SET utf8mb4;
EOF
  local options install=(mariadb-install-db)
  mapfile -t options < <(server_options "$folder")
  # As root the install program itself hands the data folder to the
  # server's user.
  [ "$(id -u)" -eq 0 ] && install+=(--user="$user")
  if ! "${install[@]}" --no-defaults --datadir="$folder/data" \
      --auth-root-authentication-method=socket --skip-test-db --skip-name-resolve \
      --extra-file="$folder/users.sql" >"$folder/install.log" 2>&1; then
    cat -- "$folder/install.log" >&2
    die "mariadb-install-db failed in $folder"
  fi
  # A session of its own, so that an interrupt meant for the command does
  # not reach the server before the stop does.
  as_server "$user" setsid "$mariadbd" --no-defaults "${options[@]}" </dev/null >/dev/null 2>&1 &
  local waited=0
  until [ -S "$folder/$socket_name" ] && [ -s "$folder/mariadbd.pid" ] \
      && mariadb-admin --no-defaults -S "$folder/$socket_name" -u "$user_name" ping >/dev/null 2>&1; do
    if [ $waited -ge 600 ]; then
      cat -- "$folder/server.log" >&2 2>/dev/null || true
      die "the server did not start in $folder"
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
}

stop() {
  local folder=$1
  [ -n "$folder" ] && [ -d "$folder" ] || return 0
  if [ -s "$folder/mariadbd.pid" ]; then
    local pid waited=0
    pid=$(cat -- "$folder/mariadbd.pid")
    # Nothing in the folder needs to survive, so no clean shutdown is
    # waited for. The pid is checked to be this folder's server first.
    if [ -n "$pid" ] && grep -qF -- "$folder/data" "/proc/$pid/cmdline" 2>/dev/null; then
      kill -KILL "$pid" 2>/dev/null || true
      while kill -0 "$pid" 2>/dev/null && [ $waited -lt 100 ]; do
        sleep 0.1
        waited=$((waited + 1))
      done
    fi
  fi
  rm -rf -- "$folder"
}

run() {
  [ $# -gt 0 ] || die "run: no command given"
  if [ -n "${VELLUMIX_MARIADB_SOCKET:-}" ] && [ -S "$VELLUMIX_MARIADB_SOCKET" ]; then
    exec "$@"
  fi
  # /tmp rather than $TMPDIR: the server's user must be able to reach it.
  # The folder is global: the exit trap runs after this function returned.
  server_folder=$(mktemp -d /tmp/vellumix-maria.XXXXXX)
  trap 'stop "$server_folder"' EXIT
  trap 'interrupted 130' INT
  trap 'interrupted 143' TERM
  start "$server_folder"
  export VELLUMIX_MARIADB_SOCKET=$server_folder/$socket_name VELLUMIX_MARIADB_USER=$user_name \
    VELLUMIX_MARIADB_DATABASE=$database_name
  run_command "$@"
}

case "${1:-}" in
  run) shift; run "$@" ;;
  start) [ $# -eq 2 ] || die "usage: $0 start FOLDER"; start "$2" ;;
  stop) [ $# -eq 2 ] || die "usage: $0 stop FOLDER"; stop "$2" ;;
  *) echo "usage: $0 run COMMAND [ARGS...] | start FOLDER | stop FOLDER" >&2; exit 2 ;;
esac
