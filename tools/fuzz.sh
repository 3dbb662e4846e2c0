#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang (ASan + UBSan) and runs each of
# them for SECONDS (default 60). Seed corpora are made from the test fixtures
# and the sample archive; what the fuzzers find is kept in build-fuzz/corpus
# between runs, crashes in build-fuzz/crashes.
#
#   tools/fuzz.sh [SECONDS]
set -euo pipefail
seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"
cd "$root"

./tools/install-deps.sh build fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DKENSHIN_BUILD_GUI=OFF -DKENSHIN_BUILD_FUZZERS=ON \
  -DKENSHIN_SANITIZE=address,undefined >/dev/null
cmake --build "$build" -j"$(nproc)" --target document_fuzzer archive_fuzzer kenshin-make-sample

corpus="$build/corpus"
mkdir -p "$corpus/document" "$corpus/archive" "$build/crashes" "$build/seeds"
"$build/tests/kenshin-make-sample" "$build/seeds" >/dev/null
cp tests/fixtures/*.xml tests/fixtures/sample/*.xml "$corpus/document/"
cp "$build"/seeds/*.zip "$corpus/archive/"

export TMPDIR="$build/tmp"
rm -rf "$TMPDIR" && mkdir -p "$TMPDIR"
trap 'rm -rf "$TMPDIR"' EXIT
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
status=0
for fuzzer in document archive; do
  echo "== ${fuzzer}_fuzzer for ${seconds}s"
  "$build/fuzz/${fuzzer}_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=$((256 * 1024)) -print_final_stats=1 -artifact_prefix="$build/crashes/${fuzzer}-" \
    "$corpus/$fuzzer" 2>"$build/${fuzzer}.log" || { status=1; tail -n 60 "$build/${fuzzer}.log"; }
  grep -E '^stat::(number_of_executed_units|new_units_added)|^Done' "$build/${fuzzer}.log" || true
done
exit "$status"
