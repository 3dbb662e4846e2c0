#!/usr/bin/env bash
# Builds the Debian package kenshin-check_<version>_<arch>.deb from a clean
# release build (hardened with Debian's own build flags) and checks it with
# lintian. The package lands in OUT_DIR, by default the project folder.
#
#   tools/package.sh [OUT_DIR]
#
# On each desk: sudo apt install ./kenshin-check_<version>_amd64.deb
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$(mkdir -p "${1:-$root}" && cd "${1:-$root}" && pwd)"
build="$root/build-package"

"$root/tools/install-deps.sh" package

export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS

rm -rf "$build"
mkdir -p "$build"
log="$build/package.log"
{
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DKENSHIN_BUILD_TESTS=OFF &&
    cmake --build "$build" -j2 &&
    (cd "$build" && cpack -G DEB -B "$build/package")
} >"$log" 2>&1 || { tail -n 40 "$log" >&2; echo "tools/package.sh: build failed, see $log" >&2; exit 1; }

deb="$(find "$build/package" -maxdepth 1 -name 'kenshin-check_*.deb' -print -quit)"
[ -n "$deb" ] || { echo "tools/package.sh: cpack made no package" >&2; exit 1; }
cp "$deb" "$out/"
deb="$out/$(basename "$deb")"

# lintian warns on standard error when run as root; only its findings count.
lintian --fail-on error "$deb" 2> >(grep -v 'root privileges' >&2 || true)
echo "$deb"
