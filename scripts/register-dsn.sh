#!/usr/bin/env bash
# Registers a user data source for a SQLite database file with the SQLite3
# ODBC driver:  register-dsn.sh NAME DATABASE [DESCRIPTION]
#
# The data source goes into the user data-source file the driver manager
# itself reads ($ODBCINI when set, otherwise the one `odbcinst -j` names).
# Only the section of that name is written; every other line of the file
# stays as it was. Running it again with the same arguments changes nothing.
# When no driver named SQLite3 is registered, it is registered too: in the
# system driver list when that is writable, otherwise in ~/.odbcinst.ini.
set -euo pipefail

if [ $# -lt 2 ] || [ -z "$1" ] || [ -z "$2" ]; then
  echo "usage: $0 NAME DATABASE [DESCRIPTION]" >&2
  exit 2
fi
if ! command -v odbcinst >/dev/null 2>&1; then
  echo "$0: odbcinst is missing (Debian package odbcinst)" >&2
  exit 1
fi
name=$1
database=$2
description=${3:-$name}
driver_name=SQLite3

case "$name" in
  *[][=\;\{\}]*) echo "$0: '$name' cannot be a data source name" >&2; exit 2 ;;
esac
case "$database$description" in
  *$'\n'*) echo "$0: line breaks are not allowed" >&2; exit 2 ;;
esac

# What the driver manager reports for one of its configuration files.
odbc_path() {
  odbcinst -j | sed -n "s/^$1\.*: //p" | head -n 1
}

driver_library() {
  local candidate
  for candidate in \
      $(dpkg -L libsqliteodbc 2>/dev/null | grep '/libsqlite3odbc\.so$' || true) \
      /usr/lib/x86_64-linux-gnu/odbc/libsqlite3odbc.so \
      /usr/lib/aarch64-linux-gnu/odbc/libsqlite3odbc.so \
      /usr/lib/odbc/libsqlite3odbc.so /usr/local/lib/libsqlite3odbc.so; do
    if [ -f "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "$0: the SQLite3 ODBC driver library is not installed (package libsqliteodbc)" >&2
  return 1
}

# Writes SECTION (a text of key=value lines) as the section [NAME] of the
# ini file FILE. An existing section of that name (compared without regard
# to case, as the driver manager does) is replaced where it stands; other
# lines are copied unchanged. The file is replaced atomically and keeps its
# permissions; when the result equals the file, nothing is written.
write_section() {
  local file=$1 section_name=$2 body=$3
  local target dir tmp source
  target=$(readlink -f -- "$file" 2>/dev/null || echo "$file")
  dir=$(dirname -- "$target")
  mkdir -p -- "$dir"
  tmp=$(mktemp "$dir/.vellumix-ini.XXXXXX")
  if [ -f "$target" ]; then
    chmod --reference="$target" -- "$tmp"
  else
    chmod 600 -- "$tmp"
  fi
  source=/dev/null
  [ -f "$target" ] && source=$target
  if ! SECTION_NAME=$section_name SECTION_BODY=$body awk '
    function header_name(line) {
      sub(/^[ \t]*\[/, "", line); sub(/\][ \t\r]*$/, "", line); return tolower(line)
    }
    function emit() {
      printf "[%s]\n%s\n", ENVIRON["SECTION_NAME"], ENVIRON["SECTION_BODY"]; done = 1
    }
    BEGIN { wanted = tolower(ENVIRON["SECTION_NAME"]) }
    /^[ \t]*\[.*\][ \t\r]*$/ {
      skipping = (header_name($0) == wanted)
      if (skipping) { if (!done) emit(); next }
    }
    skipping && /^[ \t\r]*$/ { print; next }
    skipping { next }
    { print; last = $0 }
    END {
      if (!done) {
        if (NR > 0 && last !~ /^[ \t\r]*$/) print ""
        emit()
      }
    }
  ' "$source" >"$tmp"; then
    rm -f -- "$tmp"
    return 1
  fi
  if [ -f "$target" ] && cmp -s -- "$tmp" "$target"; then
    rm -f -- "$tmp"
    return 0
  fi
  mv -f -- "$tmp" "$target"
}

ensure_driver() {
  if odbcinst -q -d -n "$driver_name" >/dev/null 2>&1; then
    return 0
  fi
  local library system_file template
  library=$(driver_library)
  system_file=$(odbc_path DRIVERS)
  if [ -n "$system_file" ] && { [ -w "$system_file" ] || { [ ! -e "$system_file" ] && [ -w "$(dirname -- "$system_file")" ]; }; }; then
    template=$(mktemp)
    printf '[%s]\nDescription=SQLite3 ODBC Driver\nDriver=%s\nSetup=%s\n' \
      "$driver_name" "$library" "$library" >"$template"
    odbcinst -i -d -f "$template" >/dev/null
    rm -f -- "$template"
  else
    write_section "$HOME/.odbcinst.ini" "$driver_name" \
      "$(printf 'Description=SQLite3 ODBC Driver\nDriver=%s\nSetup=%s' "$library" "$library")"
  fi
  if ! odbcinst -q -d -n "$driver_name" >/dev/null 2>&1; then
    echo "$0: could not register the $driver_name ODBC driver" >&2
    return 1
  fi
}

ensure_driver
user_file=${ODBCINI:-$(odbc_path 'USER DATA SOURCES')}
if [ -z "$user_file" ]; then
  echo "$0: the driver manager names no user data-source file" >&2
  exit 1
fi
write_section "$user_file" "$name" \
  "$(printf 'Description=%s\nDriver=%s\nDatabase=%s' "$description" "$driver_name" "$database")"
echo "Data source $name -> $database (in $user_file)"
