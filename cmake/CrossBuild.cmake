# Settings of a cross build for Windows (cmake/toolchains/x86_64-w64-mingw32.cmake):
# GoogleTest from source, the C++ run-time linked in, and the tests run under Wine.
# The data blocks come from a native build (cmake/HostData.cmake).

if(NOT WIN32)
    message(FATAL_ERROR "Cross builds are only set up for Windows (mingw-w64); "
        "use cmake/toolchains/x86_64-w64-mingw32.cmake")
endif()
if(SKYFETCH_SANITIZE OR SKYFETCH_FUZZ OR SKYFETCH_BUILD_BENCHMARKS OR SKYFETCH_PACKAGE)
    message(FATAL_ERROR "The Windows build has no sanitizers, fuzz targets, benchmarks or "
        "Debian package: configure it with SKYFETCH_SANITIZE, SKYFETCH_FUZZ, "
        "SKYFETCH_BUILD_BENCHMARKS and SKYFETCH_PACKAGE off")
endif()

# Without Qt every program stands alone: libstdc++, libgcc and winpthreads are linked in,
# and only system DLLs (KERNEL32, msvcrt) stay in the import table. Programs that load
# the Qt DLLs must share Qt's C++ run-time DLL instead: they say so with the target
# property SKYFETCH_SHARED_RUNTIME (skyfetch_shared_runtime()).
target_link_options(skyfetch_options INTERFACE
    $<$<AND:$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>,$<NOT:$<BOOL:$<TARGET_PROPERTY:SKYFETCH_SHARED_RUNTIME>>>>:-static>)

if(NOT SKYFETCH_BUILD_TESTS)
    return()
endif()

# Debian's libgtest-dev holds libraries for the build machine; its googletest package
# holds the sources, built here with the cross compiler.
set(SKYFETCH_GOOGLETEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest sources for a cross build (Debian package googletest)")
if(NOT EXISTS "${SKYFETCH_GOOGLETEST_SOURCE_DIR}/CMakeLists.txt")
    message(FATAL_ERROR "GoogleTest sources not found in ${SKYFETCH_GOOGLETEST_SOURCE_DIR} "
        "(install Debian's googletest package)")
endif()
# GoogleTest's options take these values (its CMake files predate policy CMP0077).
set(CMAKE_POLICY_DEFAULT_CMP0077 NEW)
set(INSTALL_GTEST OFF)
# GoogleTest's own Win32 locking rather than winpthreads.
set(gtest_disable_pthreads ON)
add_subdirectory("${SKYFETCH_GOOGLETEST_SOURCE_DIR}" "${CMAKE_BINARY_DIR}/googletest"
    EXCLUDE_FROM_ALL SYSTEM)

# Every test program runs under Wine, in a prefix of the build tree's own, quietly, and
# without copying menu entries into the desktop.
if(NOT SKYFETCH_WINE)
    message(FATAL_ERROR "Wine is needed to run the Windows tests (Debian packages wine, wine64)")
endif()
find_program(SKYFETCH_WINESERVER NAMES wineserver PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
set(SKYFETCH_WINE_PREFIX "${CMAKE_BINARY_DIR}/wine-prefix")
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${CMAKE_COMMAND} -E env
    WINEPREFIX=${SKYFETCH_WINE_PREFIX} WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
    ${SKYFETCH_WINE})

# The prefix is initialised once before CTest starts the tests: test programs that start
# together in a missing prefix would each begin to create it. CTest reads CTestCustom.cmake
# from the top of the build tree.
set(_init_prefix "\"${CMAKE_COMMAND}\" \"-DWINE=${SKYFETCH_WINE}\" \"-DWINESERVER=${SKYFETCH_WINESERVER}\" \"-DPREFIX=${SKYFETCH_WINE_PREFIX}\" -P \"${CMAKE_CURRENT_LIST_DIR}/WinePrefix.cmake\"")
# Afterwards wait for Wine to shut down, so that no test's process outlives the run.
set(_wait_for_wine "\"${CMAKE_COMMAND}\" -E env \"WINEPREFIX=${SKYFETCH_WINE_PREFIX}\" \"${SKYFETCH_WINESERVER}\" -w")
file(WRITE "${CMAKE_BINARY_DIR}/CTestCustom.cmake"
    "# Written by cmake/CrossBuild.cmake.\n"
    "set(CTEST_CUSTOM_PRE_TEST [==[${_init_prefix}]==])\n"
    "set(CTEST_CUSTOM_POST_TEST [==[${_wait_for_wine}]==])\n")
