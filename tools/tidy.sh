#!/usr/bin/env bash
# Builds everything in build-tidy with clang-tidy checking each source as it
# is compiled (.clang-tidy); any finding fails the build. Configured as the
# fuzzers are built (clang, ASan and UBSan), with the window and tests on
# too, so every source the project compiles anywhere is checked.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-tidy"
cd "$root"

./tools/install-deps.sh build fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DKENSHIN_BUILD_FUZZERS=ON -DKENSHIN_SANITIZE=address,undefined -DKENSHIN_CLANG_TIDY=ON >/dev/null
cmake --build "$build" -j"$(nproc)"
