#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the printed forms need.
# Safe to run again: packages already present are skipped.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev qt6-translations-l10n
  libsqlite3-dev libbenchmark-dev pxlib-dev
  # Excel files are written with libxlsxwriter; the tests read them back with openpyxl.
  libxlsxwriter-dev python3-openpyxl
  fonts-ipafont-mincho fonts-ipafont-gothic fontconfig
  xvfb xauth imagemagick poppler-utils xdg-utils strace
  # Printing to CUPS queues: Qt's CUPS print support plugin, the CUPS client library and
  # lpstat/lpadmin. The CUPS server itself (cups) is the machine's own choice.
  libqt6printsupport6 libcups2 cups-client
  # The office server: Qt's PostgreSQL driver and libpq; the tests start their own
  # throw-away cluster with the server programs of postgresql.
  libqt6sql6-psql libpq-dev postgresql
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi

echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
