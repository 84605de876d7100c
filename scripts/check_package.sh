#!/usr/bin/env bash
# Builds the Debian package and checks it as Debian's tools and a user see it: its file
# list and control fields, the desktop entry, the AppStream metainfo, the manual pages,
# the bash completion and lintian; then installs it with apt, runs the installed
# programs from PATH and removes the package again.
#
# As root on Debian 12 with scripts/deps.sh's packages, after the tree has been
# configured (scripts/test.sh does both). Argument: the build folder (default build).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
build="$(realpath -m -- "${1:-build}")"
app_id=org.skyfetch.Skyfetch

fail() {
    echo "check_package: $*" >&2
    exit 1
}
step() { echo "== $*"; }

work="$(mktemp -d)"
installed_here=0
cleanup() {
    if [ "$installed_here" = 1 ] && dpkg -s skyfetch >/dev/null 2>&1; then
        apt-get -o DPkg::Lock::Timeout=300 remove -y skyfetch >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

step "Building the package"
rm -f "$build"/skyfetch_*.deb
cmake --build "$build" --target package -j "$(nproc)"
version="$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
[ -n "$version" ] || fail "no CPACK_PACKAGE_VERSION in $build/CPackConfig.cmake"
deb="$build/skyfetch_${version}_amd64.deb"
[ -f "$deb" ] || fail "the package target made no $deb"
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"

step "Files and control fields"
expected="usr/bin/skyfetch
usr/bin/skyfetch-cli
usr/share/applications/$app_id.desktop
usr/share/bash-completion/completions/skyfetch-cli
usr/share/doc/skyfetch/changelog.gz
usr/share/doc/skyfetch/copyright
usr/share/icons/hicolor/128x128/apps/$app_id.png
usr/share/icons/hicolor/256x256/apps/$app_id.png
usr/share/icons/hicolor/48x48/apps/$app_id.png
usr/share/icons/hicolor/scalable/apps/$app_id.svg
usr/share/man/man1/skyfetch-cli.1.gz
usr/share/man/man1/skyfetch.1.gz
usr/share/metainfo/$app_id.metainfo.xml"
actual="$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | LC_ALL=C sort)"
if [ "$actual" != "$(LC_ALL=C sort <<<"$expected")" ]; then
    diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") || true
    fail "the package does not hold exactly the expected files (- expected, + found)"
fi
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer field"
# Depends comes from dpkg-shlibdeps: the Qt libraries the programs link must be there.
depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libc6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6openglwidgets6 libqt6svg6; do
    grep -qE "(^|, )$lib( |,|$)" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
for program in skyfetch skyfetch-cli; do
    if readelf -d "$root/usr/bin/$program" | grep -E 'RPATH|RUNPATH'; then
        fail "/usr/bin/$program carries a run path"
    fi
done
for size in 48 128 256; do
    file "$root/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png" |
        grep -q "PNG image data, $size x $size," || fail "the ${size}x$size icon is no $size pixel PNG"
done

step "Desktop entry and AppStream metainfo"
desktop="$root/usr/share/applications/$app_id.desktop"
desktop-file-validate "$desktop"
grep -qx "Icon=$app_id" "$desktop" || fail "the desktop entry does not name the icon $app_id"
metainfo="$root/usr/share/metainfo/$app_id.metainfo.xml"
appstreamcli validate --no-net "$metainfo"
grep -q "<release version=\"$version\"" "$metainfo" ||
    fail "the metainfo's release is not version $version"

step "Manual pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
    # As lintian reads them: any message from groff is a fault of the page.
    messages="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)"
    [ -z "$messages" ] || fail "$(basename "$page"): $messages"
done
# help2man only finds what --help lays out as it expects: the four forms of the
# synopsis, every option and the sections.
cli_page="$(LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$root/usr/share/man/man1/skyfetch-cli.1.gz" | col -b)"
synopsis="$(sed -n '/^SYNOPSIS/,/^DESCRIPTION/p' <<<"$cli_page")"
[ "$(grep -c '^ *skyfetch-cli --' <<<"$synopsis")" = 4 ] ||
    fail "skyfetch-cli(1) has not the four usage forms in its SYNOPSIS: $synopsis"
for section in OPTIONS FILES EXAMPLES "SEE ALSO" "   Exit status:"; do
    grep -q "^$section" <<<"$cli_page" || fail "skyfetch-cli(1) has no section '$section'"
done
options="$(sed -n '/^OPTIONS/,/^   Exit status:/p' <<<"$cli_page")"
for option in $("$build/bin/skyfetch-cli" --help | sed -n 's/^  \(--[a-z0-9-]*\).*/\1/p'); do
    grep -q "^ *$option\b" <<<"$options" || fail "skyfetch-cli(1) does not describe $option"
done
# The climate data --version names stand in a section DATA of their own, once.
data="$(sed -n '/^DATA$/,/^[A-Z]/{/^[A-Z]/d;p;}' <<<"$cli_page")"
grep -q "^ *Climate data: " <<<"$data" ||
    fail "skyfetch-cli(1) does not name the climate data in a section DATA"
[ "$(grep -c "Climate data: " <<<"$cli_page")" = 1 ] ||
    fail "skyfetch-cli(1) names the climate data outside its section DATA"

step "Bash completion"
completes() { # script, words ...: prints what completing the last word offers
    local script=$1
    shift
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _skyfetch_cli
             printf "%s\n" "${COMPREPLY[@]}"' _ "$script" "$@"
}
completion="$root/usr/share/bash-completion/completions/skyfetch-cli"
[ "$(completes "$completion" skyfetch-cli --ba)" = --batch ] || fail "--ba does not complete to --batch"
[ "$(completes "$completion" skyfetch-cli --lat 1 --la)" = "" ] || fail "--lat is offered twice"

step "lintian"
# Errors and warnings fail the check; informational tags are shown only. None is
# suppressed.
lintian --display-info --fail-on error,warning "$deb"

step "Installing with apt"
export DEBIAN_FRONTEND=noninteractive
if dpkg -s skyfetch >/dev/null 2>&1; then
    echo "skyfetch $(dpkg-query -W -f '${Version}' skyfetch) was installed; it is replaced and removed"
fi
installed_here=1
apt-get -o DPkg::Lock::Timeout=300 install -y "$deb"
hash -r
[ "$(command -v skyfetch)" = /usr/bin/skyfetch ] || fail "skyfetch is not /usr/bin/skyfetch on PATH"
[ "$(command -v skyfetch-cli)" = /usr/bin/skyfetch-cli ] || fail "skyfetch-cli is not on PATH"

step "Running the installed programs"
skyfetch-cli --version | tee "$work/version"
[ "$(head -n1 "$work/version")" = "skyfetch-cli Version ${version//./-}" ] ||
    fail "the installed skyfetch-cli is not version $version"
mkdir -p "$work/x"
# An empty configuration folder shows that the command-line program touches no settings.
(cd "$work" && XDG_CONFIG_HOME="$work/config" skyfetch-cli --lon 13.25 --lat 55.75 --output "$work/x/site.txt")
[ -s "$work/x/site.txt" ] || fail "no driver file written"
head -n1 "$work/x/site.txt" | grep -q "^\[Environmental driver file for PHYTOMOD Education - Created by Skyfetch Version ${version//./-} on " ||
    fail "the driver file has no header line: $(head -n1 "$work/x/site.txt")"
[ ! -e "$work/config" ] || fail "skyfetch-cli created a settings folder"
# The window needs a display, so skyfetch is not started here; what it loads must be
# there: every shared library, and Qt's X11 platform plugin, which is dlopened.
if ldd /usr/bin/skyfetch | grep 'not found'; then
    fail "/usr/bin/skyfetch lacks shared libraries"
fi
dpkg -L libqt6gui6 | grep -q '/qt6/plugins/platforms/libqxcb\.so$' ||
    fail "libqt6gui6 has no xcb platform plugin; Depends must name the package that has"
[ "$(completes /usr/share/bash-completion/completions/skyfetch-cli skyfetch-cli --output-d)" = --output-dir ] ||
    fail "the installed completion does not complete --output-d"

step "Manual pages installed"
if [ -f /usr/share/man/man1/skyfetch-cli.1.gz ]; then
    for page in skyfetch skyfetch-cli; do
        [ "$(man -w "$page")" = "/usr/share/man/man1/$page.1.gz" ] || fail "man -w $page finds no page"
    done
else
    # Slim Debian images keep dpkg from unpacking manual pages (a path-exclude line in
    # /etc/dpkg/dpkg.cfg.d/). Then there is nothing for man -w to find, and the pages'
    # presence in the package, checked above from dpkg-deb -c, is what counts.
    excluded="$(grep -lsE '^path-exclude[= ]+/usr/share/man' /etc/dpkg/dpkg.cfg.d/* || true)"
    [ -n "$excluded" ] || fail "the manual pages were not installed"
    echo "dpkg excludes /usr/share/man here ($excluded): man -w skipped, the pages are in the package"
fi

step "Removing the package"
apt-get -o DPkg::Lock::Timeout=300 remove -y skyfetch
hash -r
! command -v skyfetch-cli >/dev/null || fail "skyfetch-cli is still on PATH after removal"
[ ! -e /usr/share/applications/$app_id.desktop ] || fail "the desktop entry stayed after removal"
installed_here=0
echo "check_package: all checks passed for $(basename "$deb")"
