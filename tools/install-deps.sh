#!/usr/bin/env bash
# Installs the Debian packages a task needs. The one place in the project that
# installs anything.
#
#   tools/install-deps.sh [SET...]
#
#   build       compilers, libraries and tools to build and test (the default)
#   run         what the two programs need at run time, for a desk that runs a
#               build without the package (the package declares the same)
#   screenshot  a virtual X server and image tools for tools/screenshot.sh
#   package     build, plus the package checker lintian
#   fuzz        clang and its sanitizer and libFuzzer runtimes for tools/fuzz.sh
set -euo pipefail

build=(
  build-essential dpkg-dev cmake ninja-build pkg-config
  libxml2-dev libxml2-utils libzip-dev
  libgtest-dev libgmock-dev clang-tidy
  qt6-base-dev qt6-base-dev-tools
  # The window's tests: the translation it loads and every Japanese face it maps.
  qt6-translations-l10n
  fonts-ipafont-mincho fonts-ipafont-gothic fonts-noto-cjk fonts-takao-mincho fonts-takao-gothic
)
run=(
  libxml2 libzip4 libqt6widgets6 qt6-qpa-plugins qt6-translations-l10n
  fonts-ipafont-mincho fonts-ipafont-gothic
)
screenshot=(xvfb x11-apps imagemagick)
fuzz=(clang libclang-rt-dev)
package=("${build[@]}" lintian)

[ $# -eq 0 ] && set -- build
packages=()
for set_name in "$@"; do
  case "$set_name" in
    build) packages+=("${build[@]}") ;;
    run) packages+=("${run[@]}") ;;
    screenshot) packages+=("${screenshot[@]}") ;;
    fuzz) packages+=("${fuzz[@]}") ;;
    package) packages+=("${package[@]}") ;;
    *) echo "usage: tools/install-deps.sh [build|run|screenshot|package|fuzz]..." >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
