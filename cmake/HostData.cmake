# The data blocks of a cross build (included by SourceData.cmake), and the Linux
# skyfetch-cli the Windows one is compared with (SKYFETCH_LINUX_CLI).
#
# The data builder under tools/ links the build machine's netCDF and libjpeg and must run
# during the build, so a cross build does not compile it for the target. Instead this
# source tree is built once more for the build machine, and only its data targets: the
# climate archive, the globe data, the climate source line and the expected header.
# The cross build embeds and tests exactly those files. A cross build of the desktop
# program also takes its icon file from there: it is rendered with the build machine's
# Qt SVG (cmake/Icon.cmake).
#
# SKYFETCH_HOST_BUILD_DIR may name an existing native build tree of this checkout (the
# test script builds one first); its data targets are then brought up to date in place,
# without touching its configuration. Left empty, a native tree of its own is configured
# in <build>/host with only what the data needs.

set(SKYFETCH_HOST_BUILD_DIR "" CACHE PATH
    "Native build tree of this checkout whose data blocks a cross build uses (empty: <build>/host)")

include(ExternalProject)

if(SKYFETCH_HOST_BUILD_DIR STREQUAL "")
    set(_host_dir "${CMAKE_BINARY_DIR}/host")
    set(_host_configure
        CMAKE_ARGS
            -DCMAKE_BUILD_TYPE=Release
            -DSKYFETCH_WITH_GUI=${SKYFETCH_WITH_GUI}
            -DSKYFETCH_BUILD_TESTS=OFF
            -DSKYFETCH_BUILD_BENCHMARKS=OFF
            -DSKYFETCH_PACKAGE=OFF
            -DSKYFETCH_SOURCE_DATA_DIR=${SKYFETCH_SOURCE_DATA_DIR}
            -DSKYFETCH_EARTH_IMAGE=${SKYFETCH_EARTH_IMAGE}
            -DSKYFETCH_CRU_TS_DIR=${SKYFETCH_CRU_TS_DIR}
            -DSKYFETCH_CRU_TS_FIRST_YEAR=${SKYFETCH_CRU_TS_FIRST_YEAR})
else()
    get_filename_component(_host_dir "${SKYFETCH_HOST_BUILD_DIR}" ABSOLUTE)
    # The tree must be a native build of this same checkout, or its blocks may not match
    # the code that reads them.
    if(NOT EXISTS "${_host_dir}/CMakeCache.txt")
        message(FATAL_ERROR "SKYFETCH_HOST_BUILD_DIR: ${_host_dir} is not a configured build tree")
    endif()
    load_cache("${_host_dir}" READ_WITH_PREFIX _host_
        CMAKE_HOME_DIRECTORY CMAKE_TOOLCHAIN_FILE SKYFETCH_WITH_GUI)
    get_filename_component(_host_source "${_host_CMAKE_HOME_DIRECTORY}" REALPATH)
    get_filename_component(_our_source "${PROJECT_SOURCE_DIR}" REALPATH)
    if(NOT _host_source STREQUAL _our_source OR _host_CMAKE_TOOLCHAIN_FILE)
        message(FATAL_ERROR "SKYFETCH_HOST_BUILD_DIR: ${_host_dir} is not a native build of "
            "${PROJECT_SOURCE_DIR} (its source: ${_host_CMAKE_HOME_DIRECTORY}; toolchain: "
            "'${_host_CMAKE_TOOLCHAIN_FILE}')")
    endif()
    # The icon renderer needs the build machine's Qt.
    if(SKYFETCH_WITH_GUI AND NOT _host_SKYFETCH_WITH_GUI)
        message(FATAL_ERROR "SKYFETCH_HOST_BUILD_DIR: ${_host_dir} is built without the "
            "desktop program; the Windows desktop program needs its icon renderer")
    endif()
    # (An empty CONFIGURE_COMMAND would vanish in the list expansion below and leave
    # ExternalProject's default, which reconfigures the tree with this build's generator.)
    set(_host_configure CONFIGURE_COMMAND
        ${CMAKE_COMMAND} -E echo "Native build tree: ${_host_dir}")
endif()

skyfetch_built_data_paths("${_host_dir}")
set(_host_targets skyfetch_data skyfetch_expected_header skyfetch-cli)
set(_host_products ${SKYFETCH_CLIMATE_ARCHIVE_BIN} ${SKYFETCH_GLOBE_DATA_BIN}
    ${SKYFETCH_CLIMATE_SOURCE_TXT} ${SKYFETCH_EXPECTED_HEADER_INC})
if(SKYFETCH_WITH_GUI)
    set(SKYFETCH_WINDOWS_ICON "${_host_dir}/icons/skyfetch.ico")
    list(APPEND _host_targets skyfetch_windows_icon)
    list(APPEND _host_products "${SKYFETCH_WINDOWS_ICON}")
endif()

ExternalProject_Add(skyfetch_host_data
    SOURCE_DIR "${PROJECT_SOURCE_DIR}"
    BINARY_DIR "${_host_dir}"
    ${_host_configure}
    BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target ${_host_targets}
    INSTALL_COMMAND ""
    # The native build decides itself whether anything changed.
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${_host_products})

# The Linux skyfetch-cli of the same sources, which the Windows program is compared with.
set(SKYFETCH_LINUX_CLI "${_host_dir}/bin/skyfetch-cli")

# The names the rest of the build depends on, as in a native build.
add_custom_target(skyfetch_data ALL)
add_dependencies(skyfetch_data skyfetch_host_data)
add_custom_target(skyfetch_expected_header)
add_dependencies(skyfetch_expected_header skyfetch_host_data)
message(STATUS "Data blocks: from the native build in ${_host_dir}")
