#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and tests need, only those that are missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libsqlite3-dev zlib1g-dev libhidapi-dev libudev-dev libevdev-dev
  libcurl4-openssl-dev libpulse-dev libsystemd-dev
  libsdl2-dev libcairo2-dev libpango1.0-dev libgif-dev
  libpugixml-dev
  fonts-dejavu-core fonts-wqy-microhei
  xvfb xauth xdotool unzip zip python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
