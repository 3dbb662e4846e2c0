#!/usr/bin/env bash
# Measures a whole check against its floor on realistic archives.
#
#   tools/bench.sh [N...]        (default: 1000 10000)
#   tools/bench.sh --gui [N...]  the window against the command line instead
#
# For every N: builds an N-pair archive from the test fixtures (most pairs
# clean, the others with findings of varied kinds), then measures, best of
# three runs (one run for N > 20000):
#   floor  decompress every document in memory and parse it once, one thread
#   check  kenshin-check on the archive, KENSHIN_THREADS=1 and =2
#   further  kenshin-check --schema --archive-checks --csv FILE, KENSHIN_THREADS=1
# and prints CPU seconds (user + system) of the floor and of the one-thread
# check with their ratio, the wall seconds of both checks (the two-thread one
# against the floor's CPU seconds), pairs per CPU second and the peak
# resident set of either check; then, in a second table, the CPU seconds and
# peak resident set of the further checks against the one-thread check. Everything is written below a tmpfs folder when there
# is one, and removed at the end. Uses the build in ./build (BUILD=dir).
#
# With --gui: for every N, kenshin-check and kenshin-check-gui (offscreen,
# checking the archive given and ending once its report is shown) in turn,
# two runs each, and the wall seconds and peak resident set of each run with
# the load average before it.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build=${BUILD:-build}
checker=$build/src/app/kenshin-check
[ -x "$checker" ] || { echo "bench: build first ($checker missing)" >&2; exit 2; }
gui=""
if [ "${1:-}" = --gui ]; then
  gui=$build/src/app/window/kenshin-check-gui
  [ -x "$gui" ] || { echo "bench: build first ($gui missing)" >&2; exit 2; }
  shift
fi
[ $# -eq 0 ] && set -- 1000 10000

base=/dev/shm
[ -d "$base" ] && [ -w "$base" ] || base=${TMPDIR:-/tmp}
work=$(mktemp -d "$base/kenshin-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

tool=$work/bench_tool
# shellcheck disable=SC2046
g++ -std=c++20 -O2 -o "$tool" tools/bench/bench_tool.cpp $(pkg-config --cflags --libs libzip libxml-2.0)

# Prints "cpu_seconds wall_seconds peak_kib" of the run with the least CPU
# time: on a shared machine CPU time is the steadier measure.
measure() {
  local best="" line
  for _ in $(seq "$runs"); do
    /usr/bin/time -f "%U %S %e %M" -o "$work/time" "$@" >/dev/null 2>&1 || [ $? -le 1 ] || {
      echo "bench: failed: $*" >&2; exit 2; }
    line=$(tail -n 1 "$work/time" | awk '{ printf "%.2f %s %s", $1 + $2, $3, $4 }')
    if [ -z "$best" ] || awk -v a="${line%% *}" -v b="${best%% *}" 'BEGIN{exit !(a<b)}'; then best=$line; fi
  done
  echo "$best"
}

if [ -n "$gui" ]; then
  printf '| pairs | run | program | wall s | peak RSS MB | load average (1 min) |\n|---:|---:|---|---:|---:|---:|\n'
  for n in "$@"; do
    archive=$work/1311234567_95899071_201812060_1.zip
    "$tool" make "$n" tests/fixtures "$archive"
    mkdir -p "$work/home/Desktop"
    for run in 1 2; do
      for program in command-line window; do
        load=$(cut -d' ' -f1 /proc/loadavg)
        if [ "$program" = window ]; then
          HOME=$work/home XDG_CONFIG_HOME=$work/home/.config QT_QPA_PLATFORM=offscreen \
            /usr/bin/time -f "%e %M" -o "$work/time" "$gui" --exit-when-checked "$archive" >/dev/null 2>&1
        else
          /usr/bin/time -f "%e %M" -o "$work/time" "$checker" --desktop "$work/home/Desktop" --quiet "$archive" \
            >/dev/null 2>&1 || [ $? -le 1 ]
        fi
        read -r wall peak < <(tail -n 1 "$work/time")
        printf '| %d | %d | %s | %.2f | %d | %s |\n' "$n" "$run" "$program" "$wall" $((peak / 1024)) "$load"
      done
    done
    rm -f "$archive"
  done
  exit 0
fi

further_rows=()
printf '| pairs | floor CPU s | 1 thread CPU s | ratio | 1 thread wall s | 2 threads wall s | ratio | pairs/s (1 thread CPU) | peak RSS MB |\n'
printf '|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n'
for n in "$@"; do
  runs=3
  [ "$n" -gt 20000 ] && runs=1
  archive=$work/1311234567_95899071_201812060_1.zip
  "$tool" make "$n" tests/fixtures "$archive"
  mkdir -p "$work/desktop" "$work/tmp"
  read -r floor _ _ < <(measure "$tool" floor "$archive")
  read -r cpu wall rss1 < <(KENSHIN_THREADS=1 measure "$checker" --desktop "$work/desktop" --quiet "$archive")
  read -r _ wall2 rss2 < <(KENSHIN_THREADS=2 measure "$checker" --desktop "$work/desktop" --quiet "$archive")
  awk -v n="$n" -v f="$floor" -v c="$cpu" -v w="$wall" -v w2="$wall2" -v r1="$rss1" -v r2="$rss2" 'BEGIN {
    f = (f > 0 ? f : 0.01)
    printf "| %d | %.2f | %.2f | %.2f | %.2f | %.2f | %.2f | %.0f | %d |\n", n, f, c, c / f, w, w2, w2 / f,
           n / (c > 0 ? c : 0.01), (r1 > r2 ? r1 : r2) / 1024 }'
  read -r fcpu _ frss < <(KENSHIN_THREADS=1 measure "$checker" --desktop "$work/desktop" --quiet --schema \
    --archive-checks --csv "$work/findings.csv" "$archive")
  further_rows+=("$(awk -v n="$n" -v c="$cpu" -v f="$fcpu" -v r="$rss1" -v fr="$frss" 'BEGIN {
    printf "| %d | %.2f | %d | %.2f | %.2f | %d |", n, c, r / 1024, f, f / (c > 0 ? c : 0.01), fr / 1024 }')")
  rm -f "$archive"
done

printf '\n| pairs | quick check CPU s | quick check peak RSS MB | --schema --archive-checks --csv CPU s | ratio | peak RSS MB |\n'
printf '|---:|---:|---:|---:|---:|---:|\n'
printf '%s\n' "${further_rows[@]}"
