#!/usr/bin/env bash
# Installs the Debian packages that building and testing Parcelo need.
set -euo pipefail
packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev
  libzip-dev zlib1g-dev libisal-dev libdeflate-dev
  libgtest-dev
  clang libclang-rt-14-dev clang-tidy
  zip unzip 7zip libarchive-tools
  dpkg-dev desktop-file-utils file util-linux lintian binutils
  shared-mime-info libglib2.0-bin
  libssl-dev dash busybox 7zip
  xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
