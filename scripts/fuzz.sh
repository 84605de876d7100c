#!/usr/bin/env bash
# Builds the fuzz targets of fuzz/ with clang in build-fuzz and runs each for SECONDS
# (default 60) on a copy of its seed corpus, so that the inputs a run finds never land in
# the repository. Fails when a target crashes, leaks, times out or breaks an invariant;
# the input that did it is kept in build-fuzz/findings/<target>/ and the log beside it.
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]     (targets: cli_arguments site_table ...)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"

seconds="${1:-60}"
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: scripts/fuzz.sh [SECONDS] [TARGET...]" >&2
    exit 2
fi
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(cli_arguments site_table ini_store output_name bmp_reader)
fi

build="$here/build-fuzz"
cc="$(command -v clang)"
cxx="$(command -v clang++)"
# A folder configured with another compiler cannot switch; it is made anew.
if [ -f "$build/CMakeCache.txt" ] &&
    ! grep -qx "CMAKE_CXX_COMPILER:[A-Z]*=$cxx" "$build/CMakeCache.txt"; then
    rm -rf "$build"
fi
CC="$cc" CXX="$cxx" cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSKYFETCH_WITH_GUI=OFF -DSKYFETCH_FUZZ=ON -DSKYFETCH_BUILD_TESTS=OFF \
    -DSKYFETCH_BUILD_BENCHMARKS=OFF > /dev/null
cmake --build "$build" -j "$(nproc)" --target skyfetch_fuzz

# Scratch space for the corpus copies and the targets' own files, in memory when possible:
# the INI store target writes (and flushes) a file for every input.
base=/tmp
[ -d /dev/shm ] && [ -w /dev/shm ] && base=/dev/shm
work="$(mktemp -d "$base/skyfetch-fuzz.XXXXXX")"
trap 'rm -rf "$work"' EXIT

failed=0
summary=()
for target in "${targets[@]}"; do
    program="$build/fuzz/fuzz_$target"
    if [ ! -x "$program" ] || [ ! -d "fuzz/corpus/$target" ]; then
        echo "fuzz.sh: no target $target" >&2
        exit 2
    fi
    corpus="$work/$target/corpus"
    mkdir -p "$corpus" "$work/$target/tmp"
    cp -R "fuzz/corpus/$target/." "$corpus/"
    findings="$build/findings/$target"
    rm -rf "$findings"
    mkdir -p "$findings"
    log="$findings/fuzz.log"

    echo "== fuzz_$target: $seconds s"
    status=0
    TMPDIR="$work/$target/tmp" \
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        "$program" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$corpus" > "$log" 2>&1 || status=$?

    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)"
    speed="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)"
    found="$(find "$findings" -type f ! -name fuzz.log | wc -l)"
    if [ "$status" -eq 0 ] && [ "$found" -eq 0 ]; then
        result="ok"
    else
        result="FAILED (exit status $status; see $findings)"
        failed=1
        grep -E '^(==== |==[0-9]+==ERROR|SUMMARY|artifact_prefix)' "$log" | head -n 20 || true
    fi
    line="$(printf '%-22s %12s runs %9s exec/s   %s' "fuzz_$target" "${runs:--}" "${speed:--}" "$result")"
    echo "$line"
    summary+=("$line")
done

echo
echo "Fuzzing, $seconds s a target:"
printf '  %s\n' "${summary[@]}"
exit "$failed"
