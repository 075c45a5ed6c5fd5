# What the throwaway test servers' scripts share (postgres-server.sh,
# mariadb-server.sh): the unprivileged user a server runs as, and running a
# command beside the server so that an interrupt stops both. Sourced, not
# run; the sourcing script defines die().

# The user the server runs as: the caller, or as root the system user named
# (created when it is missing), since the servers refuse to run as root.
server_user() {
  local system_user=$1
  if [ "$(id -u)" -ne 0 ]; then
    id -un
    return
  fi
  if ! id -u "$system_user" >/dev/null 2>&1; then
    useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$system_user" \
      || die "cannot create the system user $system_user"
  fi
  echo "$system_user"
}

# Runs a server program as the server's user.
as_server() {
  local user=$1
  shift
  if [ "$(id -un)" = "$user" ]; then
    "$@"
  else
    runuser -u "$user" -- "$@"
  fi
}

command_pid=

interrupted() {
  [ -n "$command_pid" ] && kill -TERM "$command_pid" 2>/dev/null
  exit "$1"
}

# Runs the command in the background, so that a signal reaches the
# caller's trap at once instead of after the command has finished; returns
# its status.
run_command() {
  local status=0
  "$@" &
  command_pid=$!
  wait "$command_pid" || status=$?
  command_pid=
  return "$status"
}
