#!/bin/sh
# Installs the Debian packages that building, running and testing Kestrova need.
# Run as root (or through sudo). Packages already present are left as they are.
set -eu

PACKAGES="
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-psql postgresql
  libcurl4-openssl-dev zlib1g-dev libxlsxwriter-dev libsqlite3-dev
  fonts-dejavu-core fonts-urw-base35 fonts-liberation2 icc-profiles-free
  libbenchmark-dev libhpdf-dev
  mdbtools-dev libmdb3 mdbtools
  qpdf poppler-utils sqlite3 libxml2-utils
  desktop-file-utils appstream dpkg-dev
  python3 python3-aiosmtpd python3-pyftpdlib python3-openpyxl python3-icalendar
  libreoffice-calc-nogui
  openssl
  cups printer-driver-cups-pdf
"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
# The tests' reader of electronic invoices runs under node and comes through npm;
# a node installed otherwise (with its own npm) is kept.
command -v node >/dev/null 2>&1 || missing="$missing nodejs"
command -v npm >/dev/null 2>&1 || missing="$missing npm"

if [ -n "$missing" ]; then
  if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
  else
    SUDO=
  fi
  echo "Installing:$missing"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  # shellcheck disable=SC2086
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
fi
