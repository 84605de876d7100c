#!/usr/bin/env bash
# Installs the Debian 12 packages Skyfetch needs to build, test and run.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev libqt6svg6-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libnetcdf-dev libjpeg-dev xplanet-images
    googletest libgtest-dev libbenchmark-dev
    xvfb xauth xdg-utils fonts-dejavu-core fonts-liberation2
)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${packages[@]}"
