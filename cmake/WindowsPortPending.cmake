# TEMPORARY, while the Windows port is under way.
#
# Parts of the Qt-free code still call POSIX directly (lstat, sigaction, locale_t,
# strtod_l, ctime_r, getrandom, posix_spawn, getpwuid, ...) until those calls move behind
# putil's platform layer. The Windows build leaves that code out for now, so the rest
# is built and tested under Wine. Every entry below names code that does not compile
# for mingw-w64 yet, or a target that links it.
#
# To finish the port, empty these lists as the code compiles, then delete this file and
# its include at the end of CMakeLists.txt. -DSKYFETCH_WINDOWS_SKIP_UNPORTED=OFF builds
# everything (and shows what still fails).

option(SKYFETCH_WINDOWS_SKIP_UNPORTED
    "Windows: leave out the code that does not compile for Windows yet" ON)
if(NOT SKYFETCH_WINDOWS_SKIP_UNPORTED)
    return()
endif()

# putil's files that do not compile yet. The rest of the library is built: the climate
# code needs only the fatal message.
set(_unported_putil_sources
    BlockString.cpp FileSystem.cpp TemporaryFiles.cpp Timestamp.cpp)

# Libraries and programs with such code or linking it, and the tests of these.
set(_unported_targets
    skyfetch_driver skyfetch_rules skyfetch_settings skyfetch_dialog_core
    skyfetch_startup skyfetch_cli_core skyfetch-cli)
set(_unported_tests
    putil_tests driver_tests driver_data_tests rules_tests settings_tests
    cli_tests startup_tests dialog_core_tests globe_core_tests
    layering_build_refuses_upward_include)

get_target_property(_putil_sources skyfetch_putil SOURCES)
list(REMOVE_ITEM _putil_sources ${_unported_putil_sources})
set_property(TARGET skyfetch_putil PROPERTY SOURCES ${_putil_sources})

foreach(_target IN LISTS _unported_targets _unported_tests)
    if(TARGET ${_target})
        set_property(TARGET ${_target} PROPERTY EXCLUDE_FROM_ALL ON)
    endif()
endforeach()
if(SKYFETCH_BUILD_TESTS)
    list(JOIN _unported_tests " " _ignored)
    file(APPEND "${CMAKE_BINARY_DIR}/CTestCustom.cmake"
        "# Not ported to Windows yet (cmake/WindowsPortPending.cmake).\n"
        "set(CTEST_CUSTOM_TESTS_IGNORE ${_ignored})\n")
endif()
message(STATUS "Windows: not yet ported, left out: ${_unported_putil_sources} of putil; "
    "${_unported_targets}; tests ${_unported_tests}")
