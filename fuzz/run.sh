#!/bin/sh
# Builds one of the sheet readers' fuzzers with clang (libFuzzer + AddressSanitizer + UBSan) and
# runs it. Not part of the normal build or CI. Needs the Debian packages clang and
# libclang-rt-14-dev (the fuzzer runtime), besides the libraries the project needs anyway:
#     apt-get install clang libclang-rt-14-dev
# The libraries (FreeXL, libzip, Qt) are the system's, not instrumented: AddressSanitizer still
# checks the memory they allocate and copy through the C library, not their plain reads and writes.
#
# Usage: fuzz/run.sh [workbook|xlsx|csv] [seconds]     (default: workbook, the .xls reader; 300 s)
# Work files go to $FUZZ_WORK (default /tmp/lanshi-fuzz/<target>): corpus/, crashes in artifacts/.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
target=${1:-workbook}
seconds=${2:-300}
case "$target" in
    workbook) kind=xls ;;
    xlsx) kind=xlsx ;;
    csv) kind=csv ;;
    *) echo "unknown target $target" >&2; exit 2 ;;
esac
work=${FUZZ_WORK:-/tmp/lanshi-fuzz/$target}
mkdir -p "$work/corpus" "$work/artifacts" "$work/seeds"

libs=$(pkg-config --cflags --libs Qt6Core freexl libzip xlsxwriter zlib)
common="-std=c++17 -g -O1 -fPIC -I$root/src"
sources=$(ls "$root"/src/sheets/*.cpp)

clang++ $common -o "$work/make_seeds" "$here/make_seeds.cpp" $libs
"$work/make_seeds" "$kind" "$work/seeds"

clang++ $common -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -o "$work/fuzz_$target" "$here/fuzz_$target.cpp" $sources $libs

cd "$work"
start=$(date +%s)
status=0
# Fork mode keeps fuzzing after a crash, so one known library fault does not end the run.
./"fuzz_$target" -fork=1 -ignore_crashes=1 -ignore_timeouts=1 -ignore_ooms=1 \
    -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/artifacts/" corpus seeds >"$work/fuzz.log" 2>&1 || status=$?
end=$(date +%s)
echo "ran $((end - start)) s (exit $status); corpus $(ls corpus | wc -l) files; $(grep -c '^#' "$work/fuzz.log") progress lines"
echo "last progress: $(grep -E '^#[0-9]+' "$work/fuzz.log" | tail -1)"
# One line per finding: the kind of error and the first frames that are not the sanitizer's.
for f in "$work"/artifacts/*; do
    [ -e "$f" ] || continue
    out=$(timeout 20 ./"fuzz_$target" "$f" 2>&1 || true)
    kind=$(printf '%s\n' "$out" | grep -m1 -oE "ERROR: [A-Za-z]+: [A-Za-z-]+|runtime error: .*|deadly signal|Timeout" || true)
    where=$(printf '%s\n' "$out" | grep -E "^ +#[0-9]+ " | grep -v -E "interceptor|sanitizer|libFuzzer|fuzzer::" | head -3 | awk '{print ($3 == "in" ? $4 : $3)}' | tr '\n' ' ' || true)
    echo "$(basename "$f"): $kind at $where"
done >"$work/findings.txt"
echo "findings by kind and place (count, kind, first frames):"
cut -d: -f2- "$work/findings.txt" | sort | uniq -c | sort -rn
