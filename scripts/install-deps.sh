#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running, testing and
# packaging tolvane need, and any named as arguments, only those that are
# missing.
#
#   scripts/install-deps.sh [PACKAGE...]
set -euo pipefail

packages=(
  cmake ninja-build g++ libasound2-dev googletest python3
  g++-mingw-w64-x86-64 wine64 wine
  pulseaudio pulseaudio-utils libasound2-plugins sox alsa-utils e2fsprogs
  clang-format clang-tidy clang-14 libclang-rt-14-dev
  dpkg-dev lintian python3-pefile man-db unzip
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -q
  "${sudo[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
