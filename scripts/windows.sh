#!/usr/bin/env bash
# Cross-builds the Windows programs and their tests with mingw-w64 into build-windows and
# runs the tests under Wine, then makes the ZIP of skyfetch-cli.exe. Qt for Windows is
# built first if it is not cached yet
# (scripts/windows-qt.sh, about 40 minutes once).
#
# SKYFETCH_HOST_BUILD_DIR may name a native build tree of this checkout (e.g. build) whose
# data blocks the Windows build then uses; otherwise build-windows/host makes them.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs="${SKYFETCH_JOBS:-$(nproc)}"

qt_prefix="$(bash scripts/windows-qt.sh | tail -1)"

host_build_dir="${SKYFETCH_HOST_BUILD_DIR:-}"
if [ -n "$host_build_dir" ]; then
    host_build_dir="$(cd "$host_build_dir" && pwd)"
fi

# The desktop program stays off until the Qt-free code it needs is ported.
cmake -S . -B build-windows -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/x86_64-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_PREFIX_PATH="$qt_prefix" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DSKYFETCH_HOST_BUILD_DIR="$host_build_dir" \
    -DSKYFETCH_WITH_GUI=OFF
nice -n 10 cmake --build build-windows -j "$jobs"

# Without Qt every program must stand alone: nothing but system DLLs in its import table.
system_dlls='^(KERNEL32|msvcrt|ADVAPI32|SHELL32|USER32|OLE32|SHLWAPI|WS2_32|bcrypt)\.dll$'
status=0
for exe in build-windows/bin/*.exe; do
    extra="$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' |
        grep -Eiv "$system_dlls" || true)"
    if [ -n "$extra" ]; then
        echo "windows: $exe needs DLLs that do not come with Windows:" $extra >&2
        status=1
    fi
done
[ "$status" -eq 0 ] || exit 1

# CTest initialises the build tree's Wine prefix once before the tests start
# (build-windows/CTestCustom.cmake).
ctest --test-dir build-windows --output-on-failure -j "$jobs" --timeout 300

# The release archive of skyfetch-cli, and a look that it holds what it should.
(cd build-windows && cpack -C RelWithDebInfo >/dev/null)
zip="$(ls build-windows/skyfetch-cli-*-windows-x64.zip)"
for entry in skyfetch-cli.exe README.md COPYRIGHT.txt; do
    unzip -l "$zip" | grep -q "/$entry\$" || { echo "windows: $zip lacks $entry" >&2; exit 1; }
done
echo "windows: $zip"
