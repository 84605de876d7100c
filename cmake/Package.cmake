# The Debian package: `cmake --build build --target package` writes
# build/skyfetch_<project version>_amd64.deb with CPack's DEB generator. The files come
# from the install() rules in packaging/CMakeLists.txt.

set(SKYFETCH_PACKAGE_MAINTAINER "The Skyfetch developers <skyfetch@example.org>" CACHE STRING
    "Maintainer field of the Debian package (name <address>)")

# Directories the install rules create get the usual 0755, whatever the builder's umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

add_subdirectory(packaging)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME skyfetch)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_VENDOR "The Skyfetch developers")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debian packages carry stripped programs (lintian reports unstripped ones as errors).
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "climate driver files for the PHYTOMOD vegetation model")
# Lines stay under 80 columns, as Debian's package descriptions want.
set(CPACK_PACKAGE_DESCRIPTION
    "Skyfetch makes environmental driver files for the education edition of the
PHYTOMOD vegetation model. Pick a 0.5-degree land cell on a rotating globe or
type its longitude and latitude, set the spin-up and scenario years and the
change of temperature, precipitation and CO2, and Skyfetch writes a
tab-delimited text file with one row of monthly temperature, precipitation,
sunshine and rain days per simulated year.

The climate archive (CRU CL 1.0, the 1961-90 mean monthly climatology) and the
soil codes are built into the programs. skyfetch-cli writes the same files from
the command line, also for a table of sites.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${SKYFETCH_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# Depends is what dpkg-shlibdeps finds the two programs linked against (Qt 6, GLU,
# libOpenGL, the C and C++ libraries). What Qt and libglvnd load at run time with
# dlopen() comes with those libraries on Debian 12: the xcb and offscreen platform
# plugins and the GLX integration are part of libqt6gui6 (qt6-qpa-plugins only holds
# the VNC and TUIO plugins, which Skyfetch does not use), and libqt6gui6 -> libglx0 ->
# libglx-mesa0 -> libgl1-mesa-dri brings the OpenGL driver the globe draws with. So no
# run-time dependency is written here by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The chart is laid out for Arial's metrics, which Liberation Sans has; "View" and
# "Explore" hand files and folders to xdg-open; "View" prefers a spreadsheet program.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation2, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libreoffice-calc | gnumeric")

include(CPack)
