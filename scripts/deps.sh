#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need,
# skipping the package manager entirely when everything is already present.
set -euo pipefail

packages=(
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgl-dev
  unixodbc unixodbc-dev odbcinst libsqliteodbc sqlite3
  postgresql-15 postgresql-client-15 odbc-postgresql
  mariadb-server mariadb-client odbc-mariadb
  fonts-liberation2 poppler-utils
  desktop-file-utils appstream libxml2-utils shared-mime-info groff-base
  clang libclang-rt-dev libsqlite3-dev libpng-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y "${missing[@]}"
fi
