# Creates the Wine prefix the Windows tests run in, once per build tree; CTest runs this
# before the tests (CTestCustom.cmake, written by cmake/CrossBuild.cmake).
#
#   cmake -DWINE=<wine loader> -DWINESERVER=<wineserver> -DPREFIX=<folder> -P WinePrefix.cmake
#
# A prefix that was not completed (a stopped run) is made again from nothing; delete the
# folder to start the tests with a fresh one.

cmake_minimum_required(VERSION 3.25)
foreach(arg WINE WINESERVER PREFIX)
    if(NOT ${arg})
        message(FATAL_ERROR "usage: cmake -DWINE=... -DWINESERVER=... -DPREFIX=... -P WinePrefix.cmake")
    endif()
endforeach()

set(stamp "${PREFIX}/.skyfetch-prefix-ready")
if(EXISTS "${stamp}")
    return()
endif()

file(REMOVE_RECURSE "${PREFIX}")
set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe=d")
string(TIMESTAMP start "%s")
execute_process(COMMAND "${WINE}" wineboot --init
    RESULT_VARIABLE boot_result OUTPUT_VARIABLE boot_output ERROR_VARIABLE boot_output)
# wineboot returns before the prefix is written out; the server ends when it is.
execute_process(COMMAND "${WINESERVER}" -w)
string(TIMESTAMP end "%s")
if(NOT boot_result EQUAL 0 OR NOT EXISTS "${PREFIX}/system.reg")
    message(FATAL_ERROR "wineboot --init failed in ${PREFIX} (${boot_result}):\n${boot_output}")
endif()
file(WRITE "${stamp}" "")
math(EXPR seconds "${end} - ${start}")
message(STATUS "Wine prefix ${PREFIX} initialised in ${seconds} s")
