#!/usr/bin/env bash
# Measures a whole check against its floor on realistic archives.
#
#   tools/bench.sh [N...]      (default: 1000 10000)
#
# For every N: builds an N-pair archive from the test fixtures (most pairs
# clean, the others with findings of varied kinds), then measures, best of
# three runs (one run for N > 20000):
#   floor  decompress every document in memory and parse it once, one thread
#   check  kenshin-check on the archive (KENSHIN_THREADS=1 and =2)
# and prints wall seconds, the ratio to the floor, pairs per second and the
# peak resident set. Everything is written below a tmpfs folder when there
# is one, and removed at the end. Uses the build in ./build (BUILD=dir).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${BUILD:-build}
checker=$build/src/app/kenshin-check
[ -x "$checker" ] || { echo "bench: build first ($checker missing)" >&2; exit 2; }
[ $# -eq 0 ] && set -- 1000 10000

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kenshin-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

tool=$work/bench_tool
# shellcheck disable=SC2046
g++ -std=c++20 -O2 -o "$tool" tools/bench/bench_tool.cpp $(pkg-config --cflags --libs libzip libxml-2.0)

# Prints "wall_seconds peak_kib" of the best of $runs runs of the command.
measure() {
  local best="" line
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%e %M" -o "$work/time" "$@" >/dev/null 2>&1 || [ $? -le 1 ] || {
      echo "bench: failed: $*" >&2; exit 2; }
    line=$(tail -n 1 "$work/time")
    if [ -z "$best" ] || awk -v a="${line% *}" -v b="${best% *}" 'BEGIN{exit !(a<b)}'; then best=$line; fi
  done
  echo "$best"
}

printf '| pairs | floor s | check 1 thread s | ratio | check 2 threads s | ratio | pairs/s (1 thread) | peak RSS MB |\n'
printf '|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for n in "$@"; do
  runs=3
  [ "$n" -gt 20000 ] && runs=1
  archive=$work/1311234567_95899071_201812060_1.zip
  "$tool" make "$n" tests/fixtures "$archive"
  mkdir -p "$work/desktop" "$work/tmp"
  read -r floor _ < <(measure "$tool" floor "$archive")
  read -r one rss1 < <(TMPDIR=$work/tmp KENSHIN_THREADS=1 measure "$checker" --desktop "$work/desktop" --quiet "$archive")
  read -r two rss2 < <(TMPDIR=$work/tmp KENSHIN_THREADS=2 measure "$checker" --desktop "$work/desktop" --quiet "$archive")
  rss=$(( (rss1 > rss2 ? rss1 : rss2) / 1024 ))
  awk -v n="$n" -v f="$floor" -v a="$one" -v b="$two" -v r="$rss" 'BEGIN {
    f = (f > 0 ? f : 0.01)
    printf "| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %d |\n", n, f, a, a / f, b, b / f, n / (a > 0 ? a : 0.01), r }'
  rm -f "$archive"
done
