#!/usr/bin/env bash
# skyfetch-cli.exe under Wine against the Linux skyfetch-cli: the same driver files (line
# ends and the creation line aside) for cells around the world, protocols and changes,
# a batch of 2,000 sites, the same exit statuses, and the rules of Windows names.
#
#   compare_cli.sh LINUX_CLI WINDOWS_CLI WINE WORK_FOLDER
#
# WINEPREFIX must name an initialised prefix.
set -uo pipefail
linux="$1"
windows="$2"
wine="$3"
work="$4"

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

rm -rf "$work"
mkdir -p "$work/linux" "$work/windows"
cd "$work" || exit 1

# One Wine server for all the runs below instead of one each (it ends a while after the
# last), which halves the time of a start.
"$(dirname "$wine")/wineserver" -p10 2>/dev/null || true

run_linux() { (cd linux && "$linux" "$@"); }
run_windows() { (cd windows && "$wine" "$windows" "$@"); }

# Windows driver files end every line with CR LF; without them and without their first
# lines (the creation time) they are the Linux files. Takes pairs: Linux file, Windows
# file, ...; one pass over all of them.
same_files() {
    local lin=() win=()
    while [ $# -gt 0 ]; do
        [ -f "$1" ] && [ -f "$2" ] || { fail "missing file: $1 or $2"; shift 2; continue; }
        lin+=("$1")
        win+=("$2")
        shift 2
    done
    [ ${#lin[@]} -gt 0 ] || return
    local bare
    bare=$(awk '!/\r$/ { n++ } END { print n + 0 }' "${win[@]}")
    [ "$bare" -eq 0 ] || fail "$bare lines of ${win[0]} ... end without CR"
    cmp -s <(awk 'FNR > 1' "${lin[@]}") <(awk 'FNR > 1 { sub(/\r$/, ""); print }' "${win[@]}") ||
        fail "${win[0]} ... differ from ${lin[0]} ..."
}
same_file() { same_files "$1" "$2"; }

# The same arguments on both platforms: the same status, and the same file if one is
# named by --output.
both() {
    local expected="$1" output="$2"
    shift 2
    run_linux "$@" >linux.out 2>linux.err
    local ls=$?
    run_windows "$@" >windows.out 2>windows.err
    local ws=$?
    [ "$ls" -eq "$expected" ] || fail "Linux status $ls, not $expected: $* ($(cat linux.err))"
    [ "$ws" -eq "$expected" ] || fail "Windows status $ws, not $expected: $* ($(tr -d '\r' <windows.err))"
    if [ -n "$output" ] && [ "$expected" -eq 0 ]; then
        same_file "linux/$output" "windows/$output"
    fi
}

# --- Cells, protocols and changes --------------------------------------------------------
cells=("13.25 55.75" "147.25 -42.75" "-60.0 -3.1" "2.35 48.85" "-74.0 40.7" "116.4 39.9"
    "37.6 55.75" "-43.2 -22.9" "151.2 -33.85" "18.4 -33.9" "28.0 -26.2" "-99.1 19.4"
    "77.2 28.6" "139.7 35.7" "-122.4 37.8" "31.2 30.05" "-3.7 40.4" "103.8 1.35"
    "36.8 -1.3" "-58.4 -34.6" "-149.9 61.2" "174.8 -41.3" "-21.9 64.1" "44.5 40.2"
    "69.2 34.5" "-77.0 -12.05" "100.5 13.75" "3.4 6.45" "-17.45 14.7" "90.4 23.8"
    "180 66.25" "179.9 -16.25")
protocols=("1000 100" "3 2" "0 50" "250 0" "120 300")
changes=("0 0 0" "2.5 -10 100" "-30 1000 -100" "0.1 0.1 0.1" "30 -100 1000" "-1.75 33 -50")
for i in "${!cells[@]}"; do
    read -r lon lat <<<"${cells[$i]}"
    read -r spinup scenario <<<"${protocols[$((i % ${#protocols[@]}))]}"
    read -r temp precip co2 <<<"${changes[$((i % ${#changes[@]}))]}"
    both 0 "cell$i.txt" --lon "$lon" --lat "$lat" --spinup "$spinup" --scenario "$scenario" \
        --temp-change "$temp" --precip-change "$precip" --co2-change "$co2" \
        --output "cell$i.txt"
done

# --- A batch of 2,000 sites --------------------------------------------------------------
{
    echo "name,lon,lat,spinup,scenario,temp_change,precip_change,co2_change"
    for n in $(seq 0 1999); do
        read -r lon lat <<<"${cells[$((n % ${#cells[@]}))]}"
        read -r temp precip co2 <<<"${changes[$((n % ${#changes[@]}))]}"
        echo "site$n,$lon,$lat,$((20 + n % 7)),$((n % 11)),$temp,$precip,$co2"
    done
} >sites.csv
cp sites.csv linux/ && cp sites.csv windows/
both 0 "" --batch sites.csv --output-dir out --quiet
[ "$(ls linux/out | wc -l)" -eq 2000 ] || fail "Linux batch wrote $(ls linux/out | wc -l) files"
[ "$(ls windows/out | wc -l)" -eq 2000 ] || fail "Windows batch wrote $(ls windows/out | wc -l) files"
pairs=()
for name in $(ls linux/out); do
    pairs+=("linux/out/$name" "windows/out/$name")
done
same_files "${pairs[@]}"

# --- Exit statuses -----------------------------------------------------------------------
both 2 "" --lon 13.25 --lat 55.75 --spinup 20000
both 2 "" --lon 13.25 --lat 55.75 --output cell0.txt # exists, no --force
both 3 "" --lon -0.5 --lat 2
both 4 "" --lon 13.25 --lat 55.75 --output gone/x.txt
# Standard output that refuses every byte: the file is written, the report lost.
run_linux --lon 13.25 --lat 55.75 --output lost.txt >/dev/full 2>/dev/null
[ $? -eq 5 ] || fail "Linux: a lost standard output is not status 5"
run_windows --lon 13.25 --lat 55.75 --output lost.txt >/dev/full 2>/dev/null
[ $? -eq 5 ] || fail "Windows: a lost standard output is not status 5"
same_file linux/lost.txt windows/lost.txt
# The texts of refusals that do not quote the system are the same.
for args in "--lon 13.25 --lat 55.75 --spinup 20000" "--lon -0.5 --lat 2"; do
    run_linux $args 2>linux.err >/dev/null
    run_windows $args 2>windows.err >/dev/null
    cmp -s linux.err <(tr -d '\r' <windows.err) || fail "messages differ for $args"
done

# --- Names -------------------------------------------------------------------------------
# Letters beyond ASCII, in the name and in the folder.
mkdir -p "linux/Daten_Ä" "windows/Daten_Ä"
both 0 "Daten_Ä/Lund_Å_北京.txt" --lon 13.25 --lat 55.75 --output "Daten_Ä/Lund_Å_北京.txt"
# Windows refuses device names, its reserved characters and a trailing dot, with a reason.
for name in CON.txt con nul.csv COM1.txt LPT9 "ab:c.txt" "why?.txt" "x|y.txt" "end."; do
    run_windows --lon 13.25 --lat 55.75 --output "$name" >/dev/null 2>windows.err
    status=$?
    [ "$status" -eq 2 ] || fail "Windows status $status for the name $name"
    grep -q "Windows" windows.err || fail "no reason for $name: $(cat windows.err)"
done
run_windows --lon 13.25 --lat 55.75 --output CELL0.TXT >/dev/null 2>windows.err
[ $? -eq 2 ] || fail "Windows: CELL0.TXT is not taken as cell0.txt"
# A drive letter and Windows' separators in --output and --output-dir.
drive_path="$("$wine" winepath -w "$PWD/windows" 2>/dev/null | tr -d '\r' || true)"
if [ -n "$drive_path" ]; then
    run_windows --lon 13.25 --lat 55.75 --output "$drive_path\\drive.txt" >/dev/null 2>&1 ||
        fail "Windows: --output with a drive letter ($drive_path\\drive.txt)"
    run_linux --lon 13.25 --lat 55.75 --output drive.txt >/dev/null 2>&1
    same_file linux/drive.txt windows/drive.txt
    printf 'name,lon,lat\nd1,13.25,55.75\nd2,147.25,-42.75\n' >windows/two.csv
    run_windows --batch two.csv --output-dir "$drive_path\\sub\\deeper" --quiet >/dev/null 2>&1 ||
        fail "Windows: --output-dir with a drive letter"
    [ -f windows/sub/deeper/d2.txt ] || fail "Windows: no batch files under $drive_path\\sub\\deeper"
else
    fail "winepath gave no Windows path"
fi

echo "$failures failures"
[ "$failures" -eq 0 ]
