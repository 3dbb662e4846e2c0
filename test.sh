#!/usr/bin/env bash
# Installs what the build needs, builds from scratch and runs every test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"

./tools/install-deps.sh build
rm -rf build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
./tests/fixtures/validate.sh
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$(nproc)"
