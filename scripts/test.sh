#!/usr/bin/env bash
# Installs the packages, builds everything and runs every test: first the whole
# program (widgets under a virtual X server), then the Windows programs, cross-built and
# tested under Wine (Qt for Windows is built once and cached), then the Qt-free core again
# with AddressSanitizer and UndefinedBehaviorSanitizer; then the Debian package is built,
# checked, installed and removed again; last each fuzz target runs for 15 seconds.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
jobs="$(nproc)"

bash scripts/deps.sh

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
# One X server for the whole run: parallel xvfb-run calls would race for displays.
xvfb-run -a -s '-screen 0 1280x1024x24' \
    ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

SKYFETCH_HOST_BUILD_DIR=build bash scripts/windows.sh

cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug \
    -DSKYFETCH_WITH_GUI=OFF -DSKYFETCH_SANITIZE=ON -DSKYFETCH_BUILD_BENCHMARKS=OFF
cmake --build build-sanitize -j "$jobs"
# The data builder is a build tool built without sanitizers; its tests ran above.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure -j "$jobs" --timeout 600 -E '^databuild_'

bash scripts/check_package.sh build

bash scripts/fuzz.sh 15
