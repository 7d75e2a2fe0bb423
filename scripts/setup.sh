#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need, only those
# that are missing, so that a fresh Debian 12 machine can build at once.
set -euo pipefail

PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libpcre2-dev libpugixml-dev
  libgtest-dev libgmock-dev
  qt6-base-dev fonts-dejavu-core fonts-liberation2
  poppler-utils
  libdeflate-dev zlib1g-dev
  zip unzip libarchive-tools python3 python3-pefile
)

missing=()
for pkg in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$pkg")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=()
  if [[ $(id -u) -ne 0 ]]; then SUDO=(sudo); fi
  export DEBIAN_FRONTEND=noninteractive
  "${SUDO[@]}" apt-get update -qq
  "${SUDO[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
