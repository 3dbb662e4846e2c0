#!/usr/bin/env bash
# Installs, builds and checks an archive (by default the bundled sample),
# then prints the report. The report itself is written to build/run/ERR.txt.
#
#   ./run.sh [OPTIONS] [ARCHIVE.zip]
#
# OPTIONS are those of kenshin-check (--edition 2024, --fiscal-year YYYY,
# --schema, --archive-checks, --csv FILE ...). With --edition 2024 and no
# archive, the FY2024 twin of the sample is checked, for fiscal year 2024
# unless --fiscal-year says otherwise; build/sample/2024-clean/ holds its
# sound version.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

options=()
archive=""
edition=2018
fiscal_year_given=0
while [ $# -gt 0 ]; do
  case "$1" in
    --edition) options+=("$1" "${2:-}"); edition="${2:-}"; shift 2 || shift ;;
    --edition=*) options+=("$1"); edition="${1#--edition=}"; shift ;;
    --fiscal-year) options+=("$1" "${2:-}"); fiscal_year_given=1; shift 2 || shift ;;
    --fiscal-year=*) options+=("$1"); fiscal_year_given=1; shift ;;
    --csv) options+=("$1" "${2:-}"); shift 2 || shift ;;
    -*) options+=("$1"); shift ;;
    *) archive="$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; shift ;;
  esac
done
if [ -z "$archive" ]; then
  if [ "$edition" = 2024 ]; then
    archive="$root/build/sample/2024/1311234567_95899071_202412060_1.zip"
    [ "$fiscal_year_given" = 1 ] || options+=(--fiscal-year 2024)
  else
    archive="$root/build/sample/1311234567_95899071_201812060_1.zip"
  fi
fi

cd "$root"
./tools/install-deps.sh build >/dev/null
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" >/dev/null

mkdir -p build/run
set +e
./build/src/app/kenshin-check --desktop build/run "${options[@]}" "$archive"
status=$?
set -e
echo "(exit status $status; report: build/run/ERR.txt)" >&2
[ "$status" -le 1 ]
