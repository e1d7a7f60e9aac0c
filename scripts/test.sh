#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
bash "$root/scripts/deps.sh"
bash "$root/scripts/build.sh"
if [ "$(id -u)" -eq 0 ]; then bash "$root/scripts/printer.sh"; fi
cd "${LANSHI_BUILD_DIR:-$root/build}"
exec ctest --output-on-failure -j "$(nproc)"
