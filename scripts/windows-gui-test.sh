#!/usr/bin/env bash
# Tests the Windows desktop program as a user gets it, under Wine and one virtual X
# server: its Windows-side tests (CTest), then in a fresh Wine prefix a silent install,
# the installed skyfetch.exe up to its first frame (with a screenshot whose globe must be
# textured), a driver file made through the window's own "Generate file" and compared with
# the Linux one, and a silent uninstall that must leave nothing of the installer's behind.
#
#   bash scripts/windows-gui-test.sh [WINDOWS_BUILD_DIR [NATIVE_BUILD_DIR]]
#
# WINDOWS_BUILD_DIR (default build-windows) holds the built installer
# (scripts/windows.sh makes it); NATIVE_BUILD_DIR (default build) the Linux
# skyfetch-cli that writes the reference file. The screenshot is saved as
# WINDOWS_BUILD_DIR/first-frame.png. Each step's time goes to standard output.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$here/build-windows}" && pwd)"
native="$(cd "${2:-$here/build}" && pwd)"

# One X server for everything: parallel xvfb-run calls race for display numbers.
if [ -z "${SKYFETCH_WINDOWS_GUI_TEST_DISPLAY:-}" ]; then
    exec xvfb-run -a -s '-screen 0 1280x1024x24' \
        env SKYFETCH_WINDOWS_GUI_TEST_DISPLAY=1 bash "$0" "$build" "$native"
fi

say() { echo "windows-gui-test: $*"; }
fail() { say "FAILED: $*" >&2; exit 1; }
step_start=0
begin() { step_name="$1"; step_start=$(date +%s%N); say "$1"; }
end() {
    local ms=$((($(date +%s%N) - step_start) / 1000000))
    printf 'windows-gui-test: %s took %d.%d s\n' "$step_name" $((ms / 1000)) $((ms % 1000 / 100))
}
# A path of the build machine as Wine's drive Z: names it.
z_path() { local p="$1"; echo "Z:${p//\//\\}"; }

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
[ -x "$wine" ] || wine="$(command -v wine64 || command -v wine)"
[ -x "$wineserver" ] || wineserver="$(command -v wineserver)"
version="$(sed -n 's/^project(Skyfetch VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt")"
setup="$build/skyfetch-$version-windows-x64-setup.exe"
deploy="$build/deploy/Skyfetch"
[ -f "$setup" ] || fail "$setup is missing (bash scripts/windows.sh builds it)"
cli="$native/bin/skyfetch-cli"
[ -x "$cli" ] || fail "$cli is missing (build the native tree first)"

# --- The Windows-side tests of the build tree --------------------------------------------
begin "CTest in $build"
ctest --test-dir "$build" --output-on-failure --timeout 300
end

# --- A fresh prefix, as a new user's Windows -------------------------------------------
begin "fresh Wine prefix"
export WINEPREFIX="$build/wine-gui-test"
export WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
# Wine links the user's folders (Documents, ...) to those of HOME: a home of its own keeps
# them inside the prefix.
export HOME="$build/wine-gui-test-home"
rm -rf "$WINEPREFIX" "$HOME"
mkdir -p "$HOME"
"$wine" wineboot --init >/dev/null 2>&1
"$wineserver" -w
[ -f "$WINEPREFIX/system.reg" ] || fail "wineboot did not create the prefix"
# Windows has Arial and the dialog font; Wine without them picks a mathematics font whose
# tall lines hide the edit fields' text. Liberation Sans stands in for both, as its
# metrics are Arial's.
for face in "MS Shell Dlg" "MS Shell Dlg 2" "Arial"; do
    "$wine" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d "Liberation Sans" /f \
        >/dev/null 2>&1
done
"$wineserver" -w
user="$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -1)"
profile="$WINEPREFIX/drive_c/users/$user"
end

# --- Silent install -------------------------------------------------------------------------
begin "silent install"
"$wine" "$(z_path "$setup")" /S
"$wineserver" -w
installed="$profile/AppData/Local/Programs/Skyfetch"
[ -d "$installed" ] || fail "nothing installed in $installed"
# Every file of the deployment folder, byte for byte, and the uninstaller besides.
(cd "$deploy" && find . -type f | sort) >"$build/deployed-files.txt"
(cd "$installed" && find . -type f | sort) >"$build/installed-files.txt"
diff <(cat "$build/deployed-files.txt"; echo ./uninstall.exe) <(sort "$build/installed-files.txt") ||
    fail "the installed files differ from the deployment folder"
while read -r file; do
    cmp -s "$deploy/$file" "$installed/$file" || fail "$file differs from the deployed one"
done <"$build/deployed-files.txt"
shortcut="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Skyfetch.lnk"
[ -f "$shortcut" ] || fail "no Start-menu shortcut $shortcut"
grep -q 'Uninstall\\\\Skyfetch\]' "$WINEPREFIX/user.reg" || fail "no uninstall entry in user.reg"
grep -A12 'Uninstall\\\\Skyfetch\]' "$WINEPREFIX/user.reg" | grep -q '"QuietUninstallString"=.*/S' ||
    fail "the uninstall entry has no silent uninstall command"
# Both programs carry their icon, version information and manifest.
for program in skyfetch skyfetch-cli; do
    resources="$(x86_64-w64-mingw32-windres -i "$installed/$program.exe" -O rc)"
    for resource in '"IDI_ICON1" 14 /\* RT_GROUP_ICON' "VALUE \"FileVersion\", \"${version//./-}\"" \
        '1 24 /\* RT_MANIFEST'; do
        grep -q "$resource" <<<"$resources" || fail "$program.exe lacks the resource $resource"
    done
done
say "installed $(wc -l <"$build/installed-files.txt") files into $installed"
end

windows_path() { # a path below the prefix's C: as Windows writes it
    local rest="${1#"$WINEPREFIX/drive_c/"}"
    echo "C:\\${rest//\//\\}"
}
installed_win="$(windows_path "$installed")"

# The test programs run with the installed DLLs and plugins: from a folder of their own
# (the installed one must hold only what the installer put there), whose qt.conf names the
# installed folder as Qt's.
tools="$WINEPREFIX/drive_c/skyfetch-test"
mkdir -p "$tools"
cp "$build/bin/window_generate_probe.exe" "$build/bin/window_screenshot_check.exe" "$tools/"
printf '[Paths]\r\nPrefix = %s\r\nPlugins = plugins\r\n' "${installed_win//\\//}" >"$tools/qt.conf"
tools_win="$(windows_path "$tools")"

# --- First frame and screenshot ---------------------------------------------------------
begin "installed skyfetch.exe to its first frame"
screenshot="$build/first-frame.png"
rm -f "$screenshot"
frame_output="$(SKYFETCH_FIRST_FRAME_SCREENSHOT="$(z_path "$screenshot")" \
    "$wine" "$installed_win\\skyfetch.exe")" || fail "skyfetch.exe ended with status $?"
# Standard output in text mode: lines end in CR LF.
frame_output="$(tr -d '\r' <<<"$frame_output")"
echo "$frame_output"
grep -q '^first frame ' <<<"$frame_output" || fail "skyfetch.exe reported no first frame"
globe="$(sed -n 's/^globe \([0-9]* [0-9]* [0-9]* [0-9]*\)$/\1/p' <<<"$frame_output")"
[ -n "$globe" ] && [ -f "$screenshot" ] || fail "no screenshot of the first frame"
end
begin "screenshot shows a textured globe"
# The checker uses the installed Qt DLLs.
# shellcheck disable=SC2086
WINEPATH="$installed_win" "$wine" "$tools_win\\window_screenshot_check.exe" \
    "$(z_path "$screenshot")" $globe || fail "the first frame shows no textured globe ($screenshot)"
say "screenshot: $screenshot"
end

# --- A driver file through the window -------------------------------------------------------
begin "a driver file through the window's Generate"
documents="$profile/Documents"
name=lund.txt
rm -f "$documents/$name"
WINEPATH="$installed_win" \
    "$wine" "$tools_win\\window_generate_probe.exe" 13.25 55.75 500 100 2.5 -10 50 "$name" ||
    fail "the window did not write the file and finish its report"
[ -f "$documents/$name" ] || fail "no $name in $documents"
reference="$build/lund-linux.txt"
"$cli" --lon 13.25 --lat 55.75 --spinup 500 --scenario 100 --temp-change 2.5 \
    --precip-change -10 --co2-change 50 --output "$reference" --force >/dev/null
# Every line ends in CR LF on Windows; the first line carries the time of writing.
if grep -qv $'\r$' "$documents/$name"; then fail "$name has a line without CR LF"; fi
diff <(tr -d '\r' <"$documents/$name" | sed '1s/ on .*\]$/]/') <(sed '1s/ on .*\]$/]/' "$reference") ||
    fail "$name differs from the Linux file beyond line ends and the date"
say "$name equals the Linux file apart from CR LF and the date ($(wc -l <"$reference") lines)"
# The model finds the last file in the user's system profile.
win_ini="$WINEPREFIX/drive_c/windows/win.ini"
tr -d '\r' <"$win_ini" | sed -n '/^\[PHYTOMOD\]/,/^\[/p' >"$build/phytomod-section.txt"
grep -qx "SKYFETCH_LAST_FILE=$name" "$build/phytomod-section.txt" ||
    fail "win.ini lacks SKYFETCH_LAST_FILE=$name: $(cat "$build/phytomod-section.txt")"
grep -qix "SKYFETCH_LAST_DIR=C:\\\\users\\\\$user\\\\Documents" "$build/phytomod-section.txt" ||
    fail "win.ini lacks SKYFETCH_LAST_DIR of the Documents folder: $(cat "$build/phytomod-section.txt")"
# The typed location went to the program's own profile in %APPDATA%.
app_ini="$profile/AppData/Roaming/Skyfetch/skyfetch.ini"
[ -f "$app_ini" ] || fail "no $app_ini"
for entry in LONGITUDE=21325 LATITUDE=25575 SPINUPYEARS=500; do
    tr -d '\r' <"$app_ini" | grep -qx "$entry" || fail "$app_ini lacks $entry: $(cat "$app_ini")"
done
end

# --- Silent uninstall -----------------------------------------------------------------------
begin "silent uninstall"
"$wine" "$installed_win\\uninstall.exe" /S
# The uninstaller runs from a copy of itself; the server ends when it has.
"$wineserver" -w
if [ -e "$installed" ]; then
    fail "the uninstaller left $(cd "$installed" && find . | sed 1d | tr '\n' ' ')"
fi
[ ! -e "$shortcut" ] || fail "the uninstaller left the Start-menu shortcut"
if grep -q 'Uninstall\\\\Skyfetch\]' "$WINEPREFIX/user.reg"; then
    fail "the uninstaller left its key in user.reg"
fi
end
say "all passed"
