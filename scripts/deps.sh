#!/usr/bin/env bash
# Installs the Debian 12 packages Skyfetch needs to build, test and run, to make and
# check its Debian package (scripts/check_package.sh), and to cross-build and test the
# Windows programs.
set -euo pipefail

packages=(
    build-essential cmake pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libqt6opengl6-dev libqt6svg6-dev
    libgl-dev libglu1-mesa-dev libgl1-mesa-dri
    libnetcdf-dev libjpeg-dev xplanet-images
    googletest libgtest-dev libbenchmark-dev
    xvfb xauth xdg-utils fonts-dejavu-core fonts-liberation2 locales
    help2man dpkg-dev file desktop-file-utils appstream lintian man-db bsdextrautils
    # The Windows build (scripts/windows.sh, scripts/windows-qt.sh): mingw-w64 with POSIX
    # threads, Wine to run the tests, NSIS and zip for the installer and the portable zip.
    # Qt for Windows is built from Debian's qt6-base sources with the host tools above.
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
    mingw-w64-tools wine wine64 nsis zip unzip ninja-build xz-utils
)

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update
"${sudo[@]}" apt-get install -y --no-install-recommends "${packages[@]}"

# A decimal-comma locale, so the tests can show that numbers stay in the C form.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    "${sudo[@]}" sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
    "${sudo[@]}" locale-gen
fi
