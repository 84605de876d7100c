#!/usr/bin/env bash
# The Windows programs, cross-built with mingw-w64 into build-windows against the Qt built
# here for Windows (scripts/windows-qt.sh: about 40 minutes once, then cached), and tested
# under Wine: skyfetch.exe and skyfetch-cli.exe, the Qt-free tests and the tests of the
# Windows side (CTest), the ZIP of skyfetch-cli.exe, the deployment folder of the desktop
# program, its per-user installer and portable zip, then the installer and the installed
# window in a fresh Wine prefix (scripts/windows-gui-test.sh). Prints the time of each step.
#
#   bash scripts/windows.sh
#
# SKYFETCH_HOST_BUILD_DIR names the native build tree (default: build) whose data blocks and
# icon the Windows build takes and whose skyfetch-cli the Windows one is compared with; it
# must be configured with the desktop program (the default), and is brought up to date here.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs="${SKYFETCH_JOBS:-$(nproc)}"
host_build_dir="$(cd "${SKYFETCH_HOST_BUILD_DIR:-build}" 2>/dev/null && pwd)" ||
    { echo "windows: configure the native build first (cmake -S . -B build)" >&2; exit 1; }

times=()
timed() {
    local what="$1" start
    shift
    start=$(date +%s)
    "$@"
    times+=("$what: $(($(date +%s) - start)) s")
}

timed "Qt for Windows" bash scripts/windows-qt.sh >/tmp/skyfetch-windows-qt.$$ 2>&1 ||
    { cat /tmp/skyfetch-windows-qt.$$ >&2; exit 1; }
qt_prefix="$(tail -1 /tmp/skyfetch-windows-qt.$$)"
rm -f /tmp/skyfetch-windows-qt.$$
all_start=$(date +%s)

timed "configure" cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/x86_64-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DSKYFETCH_HOST_BUILD_DIR="$host_build_dir" \
    -DSKYFETCH_WITH_GUI=ON
timed "build" nice -n 10 cmake --build build-windows -j "$jobs"

# skyfetch-cli.exe stands alone: nothing but system DLLs in its import table.
system_dlls='^(KERNEL32|msvcrt|ADVAPI32|SHELL32|USER32|OLE32|SHLWAPI|WS2_32|bcrypt)\.dll$'
extra="$(x86_64-w64-mingw32-objdump -p build-windows/bin/skyfetch-cli.exe |
    sed -n 's/^\s*DLL Name: //p' | grep -Eiv "$system_dlls" || true)"
if [ -n "$extra" ]; then
    echo "windows: skyfetch-cli.exe needs DLLs that do not come with Windows:" $extra >&2
    exit 1
fi

# The release archive of skyfetch-cli, and a look that it holds what it should.
timed "skyfetch-cli zip" bash -c "cd build-windows && cpack -C RelWithDebInfo >/dev/null"
zip="$(ls build-windows/skyfetch-cli-*-windows-x64.zip)"
for entry in skyfetch-cli.exe README.md COPYRIGHT.txt; do
    unzip -l "$zip" | grep -q "/$entry\$" || { echo "windows: $zip lacks $entry" >&2; exit 1; }
done

timed "deployment folder" cmake --build build-windows --target skyfetch_windows_deploy
timed "installer" nice -n 10 cmake --build build-windows --target skyfetch_windows_installer
timed "zip" nice -n 10 cmake --build build-windows --target skyfetch_windows_zip
timed "tests under Wine" bash scripts/windows-gui-test.sh build-windows "$host_build_dir"

echo "windows: $zip, $(ls build-windows/skyfetch-*-setup.exe) and $(ls build-windows/skyfetch-2*-windows-x64.zip)"
echo "windows: times with Qt cached"
printf '  %s\n' "${times[@]}"
echo "  all: $(($(date +%s) - all_start)) s"
