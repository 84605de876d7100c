# Creates the Wine prefix the Windows tests run in, once per build tree, and starts Wine
# there; CTest runs this before the tests (CTestCustom.cmake, written by
# cmake/CrossBuild.cmake).
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
set(ENV{WINEPREFIX} "${PREFIX}")
set(ENV{WINEDEBUG} "-all")
set(ENV{WINEDLLOVERRIDES} "winemenubuilder.exe=d")

# Wine's server and its service processes keep the standard streams of the program that
# started them. Started by a test, they would hold CTest's pipe to that test until the
# whole run ends, and CTest would count the test as running all that time. So they start
# here, on the null device, and stay for a while after the last test (-p).
macro(start_wine_session)
    execute_process(COMMAND "${WINESERVER}" -p5
        INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
    execute_process(COMMAND "${WINE}" wineboot
        INPUT_FILE /dev/null OUTPUT_FILE /dev/null ERROR_FILE /dev/null)
endmacro()

if(EXISTS "${stamp}")
    start_wine_session()
    return()
endif()

file(REMOVE_RECURSE "${PREFIX}")
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
start_wine_session()
