#!/bin/sh
# Builds the workbook fuzzer with clang (libFuzzer + AddressSanitizer + UBSan) and runs it.
# Not part of the normal build or CI. Needs the Debian packages clang and libclang-rt-14-dev
# (the fuzzer runtime), besides libfreexl-dev and qt6-base-dev that the project needs anyway:
#     apt-get install clang libclang-rt-14-dev
# FreeXL itself is the system library, not instrumented: AddressSanitizer still checks the
# memory it allocates and copies through the C library, not its plain reads and writes.
#
# Usage: fuzz/run.sh [seconds]        (default 300)
# Work files go to $FUZZ_WORK (default /tmp/lanshi-fuzz): corpus/, crashes in artifacts/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
work=${FUZZ_WORK:-/tmp/lanshi-fuzz}
seconds=${1:-300}
mkdir -p "$work/corpus" "$work/artifacts" "$work/seeds"

qt=$(pkg-config --cflags --libs Qt6Core freexl)
common="-std=c++17 -g -O1 -fPIC -I$root/src"

clang++ $common -o "$work/make_seeds" "$here/make_seeds.cpp" $qt
"$work/make_seeds" "$work/seeds"

clang++ $common -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -o "$work/fuzz_workbook" \
    "$here/fuzz_workbook.cpp" "$root/src/maintenance/workbook.cpp" "$root/src/maintenance/workbookscan.cpp" \
    "$root/src/text/numbers.cpp" $qt

cd "$work"
start=$(date +%s)
status=0
# Fork mode keeps fuzzing after a crash, so one known library fault does not end the run.
./fuzz_workbook -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/" corpus seeds >"$work/fuzz.log" 2>&1 || status=$?
end=$(date +%s)
echo "ran $((end - start)) s (exit $status); corpus $(ls corpus | wc -l) files; $(grep -c '^#' "$work/fuzz.log") progress lines"
echo "last progress: $(grep -E '^#[0-9]+' "$work/fuzz.log" | tail -1)"
# One line per finding: the kind of error and the first frames that are not the sanitizer's.
for f in "$work"/artifacts/*; do
    [ -e "$f" ] || continue
    out=$(timeout 20 ./fuzz_workbook "$f" 2>&1 || true)
    kind=$(printf '%s\n' "$out" | grep -m1 -oE "ERROR: [A-Za-z]+: [A-Za-z-]+|runtime error: .*|deadly signal|Timeout" || true)
    where=$(printf '%s\n' "$out" | grep -E "^ +#[0-9]+ " | grep -v -E "interceptor|sanitizer|libFuzzer|fuzzer::" | head -3 | awk '{print ($3 == "in" ? $4 : $3)}' | tr '\n' ' ' || true)
    echo "$(basename "$f"): $kind at $where"
done >"$work/findings.txt"
echo "findings by kind and place (count, kind, first frames):"
cut -d: -f2- "$work/findings.txt" | sort | uniq -c | sort -rn
