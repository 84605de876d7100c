#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from source, once, and prints its install prefix as the
# last line of standard output:  prefix=$(bash scripts/windows-qt.sh | tail -1)
#
# qtbase comes from Debian's source package of the Qt installed here (apt-get source
# qt6-base), Qt SVG from the checked tarball in ../shared/deps. Both are cross-built with
# Debian's mingw-w64 (POSIX threads) against Debian's own Qt as host tools (moc, rcc,
# uic), so the versions must match. Only the modules Skyfetch uses are built.
#
# Shared libraries, not static. Licence: Qt is LGPL; as separate DLLs a user can replace
# it without relinking, which a static program would need our object files for. Size:
# a static link drops the parts of Qt we do not use, so the installer would be somewhat
# smaller (the stripped DLLs we ship come to about 24 MB), but every Qt test program
# would carry its own copy and take long to link. Start-up: loading and relocating the
# DLLs costs a little, small next to creating the OpenGL context.
#
# The result is cached outside the source tree, keyed by Qt and compiler version:
#   ${SKYFETCH_CACHE_DIR:-/var/cache/skyfetch}/qt-<ver>-x86_64-w64-mingw32-gcc<ver>-posix
# A stamp file written after the last install step marks it complete; a run that was
# stopped half way is resumed (the build folders are kept) and never taken as complete.
# The full build log goes to <prefix>.work/build.log.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
toolchain="$here/cmake/toolchains/x86_64-w64-mingw32.cmake"
deps_dir="$here/../shared/deps"
cache_dir="${SKYFETCH_CACHE_DIR:-/var/cache/skyfetch}"
jobs="${SKYFETCH_JOBS:-$(nproc)}"
triplet=x86_64-w64-mingw32

say() { echo "windows-qt: $*" >&2; }
die() { say "error: $*"; exit 1; }

sudo=()
if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
fi

qt_deb_version="$(dpkg-query -W -f '${Version}' qt6-base-dev 2>/dev/null)" ||
    die "qt6-base-dev is not installed (run scripts/deps.sh)"
qt_version="${qt_deb_version%%+*}"     # 6.4.2+dfsg-10 -> 6.4.2
qt_version="${qt_version%%-*}"
gcc_deb_version="$(dpkg-query -W -f '${Version}' gcc-mingw-w64-x86-64-posix 2>/dev/null)" ||
    die "gcc-mingw-w64-x86-64-posix is not installed (run scripts/deps.sh)"
gcc_version="${gcc_deb_version%%-*}"   # 12.2.0-14+deb12u1+25.2+b1 -> 12.2.0

prefix="$cache_dir/qt-$qt_version-$triplet-gcc$gcc_version-posix"
work="$prefix.work"
stamp="$prefix/.skyfetch-qt-complete"
log="$work/build.log"

# Everything that decides what gets built; a stamp from other options is not ours.
qtbase_options=(
    -G Ninja
    -DCMAKE_BUILD_TYPE=Release
    -DBUILD_SHARED_LIBS=ON
    -DQT_HOST_PATH=/usr
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
    -DQT_BUILD_TESTS=OFF
    -DQT_BUILD_EXAMPLES=OFF
    -DQT_BUILD_BENCHMARKS=OFF
    # Modules: Core, Gui, Widgets, OpenGL, OpenGLWidgets and Test stay.
    -DFEATURE_sql=OFF
    -DFEATURE_network=OFF
    -DFEATURE_dbus=OFF
    -DFEATURE_printsupport=OFF
    -DFEATURE_concurrent=OFF
    -DFEATURE_xml=OFF
    # Desktop OpenGL through opengl32.dll: the globe makes legacy GL 1.1 and GLU calls,
    # which neither ANGLE nor the dynamic GL loader offer.
    -DINPUT_opengl=desktop
    -DFEATURE_opengl_desktop=ON
    -DFEATURE_opengl_dynamic=OFF
    -DFEATURE_opengles2=OFF
    -DFEATURE_vulkan=OFF
    # Debian's repacked sources lack the Wintab headers of src/3rdparty/wintab.
    -DFEATURE_tabletevent=OFF
    # Not used by Skyfetch.
    -DFEATURE_sessionmanager=OFF
    -DFEATURE_ico=OFF
    -DFEATURE_gif=OFF
    -DFEATURE_zstd=OFF
    -DFEATURE_sql_sqlite=OFF
    # Qt's bundled third-party libraries, never a library found on the build machine.
    -DFEATURE_system_zlib=OFF
    -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF
    -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_freetype=OFF
    -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_system_textmarkdownreader=OFF
)
fingerprint="qt $qt_deb_version; $gcc_deb_version; qtsvg $qt_version; stripped; ${qtbase_options[*]}"

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$fingerprint" ]; then
    say "Qt $qt_version for Windows is ready"
    echo "$prefix"
    exit 0
fi

mkdir -p "$work"
# One build at a time per prefix: a second caller waits and then finds the stamp.
exec 9>"$work/lock"
if ! flock -n 9; then
    say "another run is building Qt in $work; waiting for it"
    flock 9
    if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$fingerprint" ]; then
        echo "$prefix"
        exit 0
    fi
fi

: >"$log"
say "building Qt $qt_version for Windows into $prefix (log: $log)"
step() {
    local what="$1"
    shift
    say "$what"
    echo "=== $what: $*" >>"$log"
    if ! "$@" >>"$log" 2>&1; then
        tail -n 30 "$log" >&2
        die "$what failed; see $log"
    fi
}
timed() {
    local what="$1" start
    shift
    start=$(date +%s)
    step "$what" "$@"
    say "$what took $(($(date +%s) - start)) s"
}

# --- Sources -------------------------------------------------------------------------
qtbase_src="$work/qtbase-src"
if [ ! -f "$qtbase_src/.complete" ]; then
    # apt-get source needs deb-src lines for the mirror and suites apt already uses.
    sources=/etc/apt/sources.list.d/skyfetch-deb-src.sources
    debian_sources=/etc/apt/sources.list.d/debian.sources
    [ -f "$debian_sources" ] || die "$debian_sources not found; cannot derive deb-src entries"
    wanted="$(printf '# Source packages for the mirror and suites of debian.sources (scripts/windows-qt.sh)\n';
              sed 's/^Types:.*/Types: deb-src/' "$debian_sources")"
    if [ ! -f "$sources" ] || [ "$(cat "$sources")" != "$wanted" ]; then
        echo "$wanted" | "${sudo[@]}" tee "$sources" >/dev/null
        step "apt-get update (added $sources)" "${sudo[@]}" apt-get update
    fi
    command -v dpkg-source >/dev/null || die "dpkg-source not found (install dpkg-dev)"
    rm -rf "$work/apt-source"
    mkdir -p "$work/apt-source"
    # The exact Debian version of the installed Qt, so the host tools match.
    step "apt-get source qt6-base=$qt_deb_version" \
        bash -c "cd '$work/apt-source' && apt-get source --only-source 'qt6-base=$qt_deb_version'"
    unpacked="$(find "$work/apt-source" -mindepth 1 -maxdepth 1 -type d -name 'qt6-base-*')"
    [ -n "$unpacked" ] && [ -f "$unpacked/.cmake.conf" ] || die "apt-get source did not unpack qt6-base"
    src_version="$(sed -n 's/^set(QT_REPO_MODULE_VERSION "\(.*\)")/\1/p' "$unpacked/.cmake.conf")"
    [ "$src_version" = "$qt_version" ] ||
        die "qt6-base source is Qt $src_version, the installed Qt is $qt_version"
    rm -rf "$qtbase_src"
    mv "$unpacked" "$qtbase_src"
    touch "$qtbase_src/.complete"
fi

qtsvg_tarball="qtsvg-everywhere-src-$qt_version.tar.xz"
qtsvg_src="$work/qtsvg-everywhere-src-$qt_version"
if [ ! -f "$qtsvg_src/.complete" ]; then
    [ -f "$deps_dir/$qtsvg_tarball" ] || die "$deps_dir/$qtsvg_tarball not found"
    step "checking $qtsvg_tarball" bash -c "cd '$deps_dir' && sha256sum -c SHA256SUMS"
    rm -rf "$qtsvg_src"
    step "unpacking $qtsvg_tarball" tar -C "$work" -xf "$deps_dir/$qtsvg_tarball"
    touch "$qtsvg_src/.complete"
fi

# --- Build ---------------------------------------------------------------------------
# Whatever a stopped run left in the prefix is removed; the build folders are kept, so
# Ninja resumes where it stopped.
rm -rf "$prefix"
# Qt's qt.toolchain.cmake loads the toolchain it was built with from this copy, so the
# installed Qt does not depend on where this checkout lives.
mkdir -p "$prefix/lib/cmake/skyfetch"
cp "$toolchain" "$prefix/lib/cmake/skyfetch/$triplet.cmake"

timed "configuring qtbase" nice -n 10 cmake -S "$qtbase_src" -B "$work/qtbase-build" \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/skyfetch/$triplet.cmake" \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${qtbase_options[@]}"
timed "building qtbase (40 to 70 minutes on 2 cores)" \
    nice -n 10 cmake --build "$work/qtbase-build" -j "$jobs"
# Stripped: the symbol tables are a third of each DLL and only a debugger wants them.
step "installing qtbase" cmake --install "$work/qtbase-build" --strip

timed "configuring and building qtsvg" bash -c "
    nice -n 10 cmake -S '$qtsvg_src' -B '$work/qtsvg-build' -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE='$prefix/lib/cmake/Qt6/qt.toolchain.cmake' \
        -DCMAKE_BUILD_TYPE=Release -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF &&
    nice -n 10 cmake --build '$work/qtsvg-build' -j '$jobs'"
step "installing qtsvg" cmake --install "$work/qtsvg-build" --strip

for dll in Qt6Core Qt6Gui Qt6Widgets Qt6OpenGL Qt6OpenGLWidgets Qt6Svg Qt6Test; do
    [ -f "$prefix/bin/$dll.dll" ] || die "$prefix/bin/$dll.dll was not installed"
done
[ -f "$prefix/plugins/platforms/qwindows.dll" ] || die "the qwindows platform plugin was not installed"

echo "$fingerprint" >"$stamp"
say "Qt $qt_version for Windows is ready"
echo "$prefix"
