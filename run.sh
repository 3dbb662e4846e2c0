#!/usr/bin/env bash
# Installs, builds and checks an archive (by default the bundled sample),
# then prints the report. The report itself is written to build/run/ERR.txt.
#
#   ./run.sh [ARCHIVE.zip]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
archive="${1:-$root/build/sample/1311234567_95899071_201812060_1.zip}"
[ -n "${1:-}" ] && archive="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"

cd "$root"
./tools/install-deps.sh build >/dev/null
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null

mkdir -p build/run
set +e
./build/src/app/kenshin-check --desktop build/run "$archive"
status=$?
set -e
echo "(exit status $status; report: build/run/ERR.txt)" >&2
[ "$status" -le 1 ]
