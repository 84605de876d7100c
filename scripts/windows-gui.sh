#!/usr/bin/env bash
# Cross-builds the Windows desktop program into build-windows-gui, makes its deployment
# folder, installer and portable zip, and tests them under Wine (scripts/windows-gui-test.sh).
# Qt for Windows is built first if it is not cached yet (scripts/windows-qt.sh, about 40
# minutes once). Prints the time of each step.
#
#   bash scripts/windows-gui.sh
#
# SKYFETCH_HOST_BUILD_DIR names the native build tree (default: build) whose data blocks
# and icon the Windows build takes and whose skyfetch-cli writes the reference file of the
# test; it must be configured with the desktop program (the default). It is built here if
# needed.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs="${SKYFETCH_JOBS:-$(nproc)}"
host_build_dir="$(cd "${SKYFETCH_HOST_BUILD_DIR:-build}" 2>/dev/null && pwd)" ||
    { echo "windows-gui: configure the native build first (cmake -S . -B build)" >&2; exit 1; }

times=()
timed() {
    local what="$1" start
    shift
    start=$(date +%s)
    "$@"
    times+=("$what: $(($(date +%s) - start)) s")
}

qt_prefix="$(bash scripts/windows-qt.sh | tail -1)"
all_start=$(date +%s)

# The reference program of the test; the Windows build brings the data and icon targets of
# this tree up to date itself.
timed "native skyfetch-cli" nice -n 10 cmake --build "$host_build_dir" -j "$jobs" --target skyfetch-cli

timed "configure" cmake -S . -B build-windows-gui -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/x86_64-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DSKYFETCH_HOST_BUILD_DIR="$host_build_dir" \
    -DSKYFETCH_WITH_GUI=ON
timed "build (skyfetch.exe, skyfetch-cli.exe, test programs)" \
    nice -n 10 cmake --build build-windows-gui -j "$jobs"
timed "deployment folder" cmake --build build-windows-gui --target skyfetch_windows_deploy
timed "installer" nice -n 10 cmake --build build-windows-gui --target skyfetch_windows_installer
timed "zip" nice -n 10 cmake --build build-windows-gui --target skyfetch_windows_zip
timed "tests under Wine" bash scripts/windows-gui-test.sh build-windows-gui "$host_build_dir"

echo "windows-gui: times with Qt cached"
printf '  %s\n' "${times[@]}"
echo "  all: $(($(date +%s) - all_start)) s"
