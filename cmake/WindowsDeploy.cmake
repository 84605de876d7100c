# Puts the Windows programs and everything they load into one folder, the folder the
# installer and the portable zip are made from, and checks that folder. windeployqt does
# not run on the build machine; instead the DLLs come from the programs' import tables.
#
#   cmake -DMODE=deploy|check -DCONFIG=<deploy-config.cmake> [-D<NAME>=<value>...]
#         -P WindowsDeploy.cmake
#
# The build writes CONFIG (cmake/WindowsPackage.cmake); it sets, unless given with -D:
#   DEST          the folder
#   PROGRAMS      the programs (exe;...)
#   SEARCH_DIRS   where DLLs are taken from (dir;...)
#   PLUGIN_DIR    Qt's plugins folder, PLUGINS the plugins under it (platforms/qwindows.dll;...)
#   TEXT_FILES    documents, as name in DEST=source file;...
#   OBJDUMP       the MinGW objdump, STRIP its strip: the copies in the folder lose their
#                 debugging information (Debian's libstdc++-6.dll is 24 MB with it, 2 MB
#                 without), as Qt's DLLs did when Qt was installed
#   WINE_DLL_DIR  Wine's folder of 64-bit DLLs
#
# deploy empties DEST and copies into it the programs, the plugins Qt loads at run time
# (under plugins/, which qt.conf names), every DLL the programs and plugins import, found
# by walking their import tables recursively in SEARCH_DIRS (Qt's bin folder, the MinGW
# run-time folders), and the text files TEXT_FILES (name in DEST = source file, written
# with CR LF line ends). Then it checks the folder as check does.
#
# check looks at DEST alone and fails
#   - on a missing DLL: an import that is neither a Windows system DLL nor in the folder;
#   - on a DLL that would only be found in Wine's own folder: Wine offers many DLLs that
#     a Windows system lacks (msvcp140, d3dcompiler_47, ...), so a program that runs
#     under Wine may still not start on Windows;
#   - on an extra file: a DLL nobody imports and not on the plugin list, or any other file
#     that is neither a program, qt.conf nor one of TEXT_FILES.
cmake_minimum_required(VERSION 3.25)

# DLLs every Windows 10 and 11 holds in System32 (and API sets, which its loader maps
# onto them): never deployed. Lower case.
set(SYSTEM_DLLS
    advapi32.dll authz.dll bcrypt.dll comctl32.dll comdlg32.dll crypt32.dll d2d1.dll
    d3d11.dll d3d9.dll dwmapi.dll dwrite.dll dxgi.dll gdi32.dll glu32.dll imm32.dll
    kernel32.dll mpr.dll msvcrt.dll netapi32.dll ntdll.dll ole32.dll oleaut32.dll
    opengl32.dll rpcrt4.dll setupapi.dll shcore.dll shell32.dll shlwapi.dll user32.dll
    userenv.dll uxtheme.dll version.dll winmm.dll ws2_32.dll wtsapi32.dll)

if(CONFIG)
    include("${CONFIG}")
endif()
foreach(arg MODE DEST PROGRAMS OBJDUMP WINE_DLL_DIR)
    if(NOT DEFINED ${arg} OR "${${arg}}" STREQUAL "")
        message(FATAL_ERROR "WindowsDeploy.cmake: -D${arg}=... is missing")
    endif()
endforeach()

set(errors "")
macro(fail text)
    string(APPEND errors "  ${text}\n")
endmacro()

function(is_system_dll name out)
    string(TOLOWER "${name}" lower)
    if(lower IN_LIST SYSTEM_DLLS OR lower MATCHES "^(api|ext)-ms-win-")
        set(${out} TRUE PARENT_SCOPE)
    else()
        set(${out} FALSE PARENT_SCOPE)
    endif()
endfunction()

# The DLL names in a PE file's import table (delay-loaded ones included), as written;
# `readable` is false when the file is no program or DLL objdump can read.
function(imports_of file out readable)
    execute_process(COMMAND "${OBJDUMP}" -p "${file}"
        OUTPUT_VARIABLE dump ERROR_VARIABLE dump_error RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        set(${out} "" PARENT_SCOPE)
        set(${readable} FALSE PARENT_SCOPE)
        return()
    endif()
    set(${readable} TRUE PARENT_SCOPE)
    string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
    set(names "")
    foreach(line IN LISTS lines)
        string(REGEX REPLACE "^DLL Name: " "" name "${line}")
        string(STRIP "${name}" name)
        list(APPEND names "${name}")
    endforeach()
    list(REMOVE_DUPLICATES names)
    set(${out} "${names}" PARENT_SCOPE)
endfunction()

# The file in one of the folders whose name equals name without regard to case (Windows
# finds DLLs that way); "" when there is none.
function(find_dll name folders out)
    string(TOLOWER "${name}" lower)
    foreach(folder IN LISTS folders)
        file(GLOB candidates LIST_DIRECTORIES false "${folder}/*")
        foreach(candidate IN LISTS candidates)
            get_filename_component(candidate_name "${candidate}" NAME)
            string(TOLOWER "${candidate_name}" candidate_lower)
            if(candidate_lower STREQUAL lower)
                set(${out} "${candidate}" PARENT_SCOPE)
                return()
            endif()
        endforeach()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Checks DEST on its own: every import resolves inside it or to the system, nothing is
# left over.
function(check_folder)
    set(errors "")
    file(GLOB_RECURSE present LIST_DIRECTORIES false RELATIVE "${DEST}" "${DEST}/*")
    set(expected "qt.conf")
    foreach(program IN LISTS PROGRAMS)
        get_filename_component(name "${program}" NAME)
        list(APPEND expected "${name}")
    endforeach()
    foreach(plugin IN LISTS PLUGINS)
        list(APPEND expected "plugins/${plugin}")
    endforeach()
    foreach(entry IN LISTS TEXT_FILES)
        string(REGEX REPLACE "=.*" "" name "${entry}")
        list(APPEND expected "${name}")
    endforeach()
    foreach(name IN LISTS expected)
        if(NOT EXISTS "${DEST}/${name}")
            string(APPEND errors "  missing: ${name}\n")
        endif()
    endforeach()

    set(imported "")
    foreach(file IN LISTS present)
        if(NOT file MATCHES "\\.([eE][xX][eE]|[dD][lL][lL])$")
            continue()
        endif()
        imports_of("${DEST}/${file}" names readable)
        if(NOT readable)
            string(APPEND errors "  ${file} is no program or DLL that objdump can read\n")
            continue()
        endif()
        foreach(name IN LISTS names)
            is_system_dll("${name}" system)
            if(system)
                continue()
            endif()
            # The loader looks in the program's folder first; plugins' DLLs too.
            find_dll("${name}" "${DEST}" found)
            if(found)
                get_filename_component(found_name "${found}" NAME)
                list(APPEND imported "${found_name}")
                continue()
            endif()
            find_dll("${name}" "${WINE_DLL_DIR}" in_wine)
            if(in_wine)
                string(APPEND errors "  ${file} imports ${name}, which only Wine provides: "
                    "it is no Windows system DLL and not in the folder\n")
            else()
                string(APPEND errors "  ${file} imports ${name}, which is missing\n")
            endif()
        endforeach()
    endforeach()

    foreach(file IN LISTS present)
        if(file IN_LIST expected)
            continue()
        endif()
        if(file MATCHES "^[^/]+\\.[dD][lL][lL]$" AND file IN_LIST imported)
            continue()
        endif()
        string(APPEND errors "  extra: ${file} (no program imports it and it is not on the "
            "plugin or file list)\n")
    endforeach()
    set(check_errors "${errors}" PARENT_SCOPE)
endfunction()

function(strip_copy file how)
    if(STRIP)
        execute_process(COMMAND "${STRIP}" ${how} "${file}" RESULT_VARIABLE status)
        if(NOT status EQUAL 0)
            message(FATAL_ERROR "${STRIP} ${how} ${file} failed")
        endif()
    endif()
endfunction()

if(MODE STREQUAL "deploy")
    foreach(arg SEARCH_DIRS PLUGIN_DIR)
        if(NOT DEFINED ${arg} OR "${${arg}}" STREQUAL "")
            message(FATAL_ERROR "WindowsDeploy.cmake: -D${arg}=... is missing")
        endif()
    endforeach()
    file(REMOVE_RECURSE "${DEST}")
    file(MAKE_DIRECTORY "${DEST}")

    set(queue "")
    foreach(program IN LISTS PROGRAMS)
        if(NOT EXISTS "${program}")
            message(FATAL_ERROR "WindowsDeploy.cmake: program ${program} not found")
        endif()
        file(COPY "${program}" DESTINATION "${DEST}")
        get_filename_component(name "${program}" NAME)
        strip_copy("${DEST}/${name}" --strip-all)
        list(APPEND queue "${program}")
    endforeach()
    foreach(plugin IN LISTS PLUGINS)
        if(NOT EXISTS "${PLUGIN_DIR}/${plugin}")
            fail("plugin ${PLUGIN_DIR}/${plugin} not found")
            continue()
        endif()
        get_filename_component(sub "${plugin}" DIRECTORY)
        file(COPY "${PLUGIN_DIR}/${plugin}" DESTINATION "${DEST}/plugins/${sub}")
        list(APPEND queue "${PLUGIN_DIR}/${plugin}")
    endforeach()

    # Breadth first through the import tables; each DLL is copied once.
    set(copied "")
    while(queue)
        list(POP_FRONT queue file)
        imports_of("${file}" names readable)
        if(NOT readable)
            message(FATAL_ERROR "${OBJDUMP} cannot read ${file}")
        endif()
        foreach(name IN LISTS names)
            is_system_dll("${name}" system)
            string(TOLOWER "${name}" lower)
            if(system OR lower IN_LIST copied)
                continue()
            endif()
            find_dll("${name}" "${SEARCH_DIRS}" found)
            if(NOT found)
                get_filename_component(importer "${file}" NAME)
                find_dll("${name}" "${WINE_DLL_DIR}" in_wine)
                if(in_wine)
                    fail("${importer} imports ${name}, which only Wine provides: it is no "
                        "Windows system DLL and none of the search folders holds it")
                else()
                    fail("${importer} imports ${name}, which none of the search folders "
                        "holds: ${SEARCH_DIRS}")
                endif()
                continue()
            endif()
            list(APPEND copied "${lower}")
            file(COPY "${found}" DESTINATION "${DEST}")
            get_filename_component(found_name "${found}" NAME)
            # A DLL keeps the symbols its relocations need.
            strip_copy("${DEST}/${found_name}" --strip-unneeded)
            list(APPEND queue "${found}")
        endforeach()
    endwhile()

    # Qt looks for its plugins beside the program, in plugins/.
    file(WRITE "${DEST}/qt.conf" "[Paths]\r\nPrefix = .\r\nPlugins = plugins\r\n")
    foreach(entry IN LISTS TEXT_FILES)
        if(NOT entry MATCHES "^([^=]+)=(.+)$")
            message(FATAL_ERROR
                "WindowsDeploy.cmake: TEXT_FILES entry '${entry}' is not name=source")
        endif()
        set(name "${CMAKE_MATCH_1}")
        set(source "${CMAKE_MATCH_2}")
        if(NOT EXISTS "${source}")
            fail("file ${source} (for ${name}) not found")
            continue()
        endif()
        # Text for Windows: lines end in CR LF, so that every editor shows them.
        file(READ "${source}" text)
        string(REPLACE "\r\n" "\n" text "${text}")
        string(REPLACE "\n" "\r\n" text "${text}")
        file(WRITE "${DEST}/${name}" "${text}")
    endforeach()
    if(NOT errors STREQUAL "")
        message(FATAL_ERROR "Windows deployment into ${DEST} failed:\n${errors}")
    endif()
elseif(NOT MODE STREQUAL "check")
    message(FATAL_ERROR "WindowsDeploy.cmake: MODE must be deploy or check, not '${MODE}'")
endif()

check_folder()
if(NOT check_errors STREQUAL "")
    message(FATAL_ERROR "The Windows deployment folder ${DEST} is not complete and exact:\n"
        "${check_errors}")
endif()
message(STATUS "Windows deployment folder ${DEST}: complete and exact")
