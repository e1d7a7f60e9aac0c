#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and UndefinedBehaviorSanitizer in a
# build folder of its own (build-sanitize) and runs every test. Not part of CI: the build takes
# several minutes. Any sanitizer report fails the test that caused it.
#   bash scripts/sanitize.sh            (build folder: $LANSHI_SANITIZE_DIR, default build-sanitize)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LANSHI_SANITIZE_DIR:-$root/build-sanitize}"
bash "$root/scripts/deps.sh"
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" >/dev/null
fi
cmake --build "$build" -j "$(nproc)"
if [ "$(id -u)" -eq 0 ]; then bash "$root/scripts/printer.sh"; fi
# Leak reports are off: the system libraries the windows use (fontconfig, glib) keep memory for
# the life of the process, which LeakSanitizer would report on every test.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=0:halt_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
# The package test is left out: it would ship and start the instrumented program under a real X
# server, where ASan reports a read in libxkbcommon-x11's keymap set-up, not in this program.
exec ctest --output-on-failure -j "$(nproc)" -E '^package\.'

