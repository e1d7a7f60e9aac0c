#!/usr/bin/env bash
# Installs the Debian packages the build, the program and the tests need; quick when all are there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config python3
  qt6-base-dev qt6-base-dev-tools qt6-pdf-dev libqt6sql6-sqlite qt6-translations-l10n libgl-dev
  libfreexl-dev libxlsxwriter-dev libzip-dev zlib1g-dev libsqlite3-dev sqlite3
  libcups2-dev
  # a 账套 on a database server: the driver, and a private server for the tests
  libqt6sql6-psql postgresql-15
  # the readings of Chinese characters, made into a table at build time (src/text/generator)
  unicode-data libbz2-dev
  fonts-arphic-uming fonts-wqy-zenhei
  libgtest-dev libbenchmark-dev
  xvfb xauth poppler-utils cups printer-driver-cups-pdf
  # building the .deb and checking it (tests/package)
  dpkg-dev binutils file desktop-file-utils librsvg2-bin fontconfig
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "== installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
