#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, only when one is missing.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
          libbenchmark-dev libssl-dev xdg-utils clang libclang-rt-14-dev
          dpkg-dev desktop-file-utils appstream
          fonts-liberation poppler-utils libxlsxwriter-dev libcsv-dev unzip "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
