#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the sample run need.
# The one place in the project that installs anything.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libxml2-dev libxml2-utils libzip-dev
  libgtest-dev libgmock-dev
  qt6-base-dev qt6-base-dev-tools
  fonts-ipafont-mincho fonts-ipafont-gothic
  xvfb x11-apps imagemagick
  clang libclang-rt-dev
)

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
