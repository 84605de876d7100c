#!/usr/bin/env bash
# Installs the packages, builds Skyfetch and starts it. Arguments go to the program
# (an optional output folder).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
# The optional argument is a folder; resolve it before leaving the caller's directory.
args=()
for a in "$@"; do
    args+=("$(realpath -m -- "$a")")
done
cd "$here"

bash scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build --target skyfetch skyfetch-cli -j "$(nproc)"
exec build/bin/skyfetch "${args[@]}"
