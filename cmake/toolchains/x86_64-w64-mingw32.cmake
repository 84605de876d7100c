# Cross-compiling for 64-bit Windows on Debian with mingw-w64, used both for the Qt built
# by scripts/windows-qt.sh and for Skyfetch itself.
#
# The -posix compilers use winpthreads, so std::thread, std::mutex and
# std::condition_variable work (the -win32 variants lack them in GCC 12).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_mingw x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set(CMAKE_RC_COMPILER ${_mingw}-windres)
# The assembler files go through the C compiler driver, which picks the mingw assembler.
set(CMAKE_ASM_COMPILER ${_mingw}-gcc-posix)

# Libraries, headers and CMake packages come from the mingw tree and from prefixes given
# in CMAKE_PREFIX_PATH (the Qt built for Windows); programs run during the build are the
# build machine's own.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_mingw})
foreach(_prefix IN LISTS CMAKE_PREFIX_PATH)
    list(APPEND CMAKE_FIND_ROOT_PATH "${_prefix}")
endforeach()
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# CTest and custom commands run the Windows programs under Wine. Debian's wine64 package
# installs the 64-bit loader outside PATH; /usr/bin/wine is a wrapper that picks it when
# the 32-bit loader is absent.
find_program(SKYFETCH_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(SKYFETCH_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${SKYFETCH_WINE})
endif()
