#!/usr/bin/env bash
# Configures (once) and builds the project in build/; extra arguments go to cmake --build.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LANSHI_BUILD_DIR:-$root/build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${LANSHI_BUILD_TYPE:-Debug}" \
    -DLANSHI_WERROR="${LANSHI_WERROR:-OFF}" >/dev/null
fi
cmake --build "$build" -j "$(nproc)" "$@"
