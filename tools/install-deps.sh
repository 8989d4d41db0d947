#!/usr/bin/env bash
# Installs what building and testing Velkora needs on Debian 12 (or Ubuntu): a C++17
# compiler, CMake, Ninja and the Qt 6 Widgets development files. Safe to run again.
set -euo pipefail
packages=(g++ cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update
$sudo apt-get install -y --no-install-recommends "${missing[@]}"
