# Checks every include of the program's C and C++ files, of every extension, against the
# layers of cmake/Layers.cmake: a folder may include its own headers and those of the
# layers below it. Quoted includes and angle-bracket includes that name a folder of the
# checkout are checked alike; other angle-bracket includes (<vector>, <QWidget>) are the
# system's. Fails on an include of the same or a higher layer's folder, on a path with
# ".." anywhere in it, on an absolute path, on an include whose path is a macro, on a
# folder the table does not know, and on a data builder that includes the program.
#
#   cmake -DSOURCE_DIR=<checkout> -P cmake/CheckLayers.cmake

cmake_minimum_required(VERSION 3.25)
if(NOT SOURCE_DIR)
    message(FATAL_ERROR "usage: cmake -DSOURCE_DIR=<checkout> -P CheckLayers.cmake")
endif()
include("${CMAKE_CURRENT_LIST_DIR}/Layers.cmake")

# Folder -> layer number, longest folders first so that "app/cli" wins over "app".
set(folders "")
set(level 0)
foreach(layer IN LISTS SKYFETCH_LAYERS)
    string(REPLACE " " ";" members "${layer}")
    foreach(folder IN LISTS members)
        set(layer_of_${folder} ${level})
        list(APPEND folders "${folder}")
    endforeach()
    math(EXPR level "${level} + 1")
endforeach()
list(SORT folders COMPARE STRING ORDER DESCENDING)

# The folder of the table that holds `path` (a path below the checkout), or "".
function(owning_folder path out)
    foreach(folder IN LISTS folders)
        string(FIND "${path}" "${folder}/" at)
        if(at EQUAL 0)
            set(${out} "${folder}" PARENT_SCOPE)
            return()
        endif()
    endforeach()
    set(${out} "" PARENT_SCOPE)
endfunction()

# Folders that stand above every layer (tests, benchmarks, fuzz targets) or outside
# them (the data builder and the icon renderer, separate programs of the build).
set(free_folders tests bench fuzz)
set(isolated_folders tools packaging)

# The names of C and C++ sources, headers, inline parts and module units, in any case.
set(source_name "\\.(c|cc|cpp|cxx|c\\+\\+|h|hh|hpp|hxx|h\\+\\+|inc|inl|ipp|tpp|tcc|txx|ixx|cppm|ccm|cxxm|c\\+\\+m|mpp)$")

# An include in angle brackets that starts with a folder of the table, or with any folder
# at the top of the checkout, is the checkout's own.
set(checkout_folders ${free_folders} ${isolated_folders})
foreach(folder IN LISTS folders)
    string(REGEX MATCH "^[^/]+" top "${folder}")
    list(APPEND checkout_folders "${top}")
endforeach()

# Every folder at the top of the checkout except build trees and hidden ones.
file(GLOB tops RELATIVE "${SOURCE_DIR}" LIST_DIRECTORIES true "${SOURCE_DIR}/*")
set(sources "")
foreach(top IN LISTS tops)
    if(NOT IS_DIRECTORY "${SOURCE_DIR}/${top}" OR top MATCHES "^\\.")
        continue()
    endif()
    list(APPEND checkout_folders "${top}")
    if(IS_SYMLINK "${SOURCE_DIR}/${top}" OR top MATCHES "^build" OR top IN_LIST free_folders)
        continue()
    endif()
    file(GLOB_RECURSE found RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${top}/*")
    foreach(file IN LISTS found)
        string(TOLOWER "${file}" lower)
        if(lower MATCHES "${source_name}")
            list(APPEND sources "${file}")
        endif()
    endforeach()
endforeach()

set(faults "")
foreach(source IN LISTS sources)
    string(REGEX MATCH "^[^/]+" top "${source}")
    set(own "")
    if(NOT top IN_LIST isolated_folders)
        owning_folder("${source}" own)
        if(own STREQUAL "")
            list(APPEND faults "${source}: the folder is in no layer of cmake/Layers.cmake")
            continue()
        endif()
    endif()

    file(STRINGS "${SOURCE_DIR}/${source}" lines
        REGEX "^[ \t]*#[ \t]*(include_next|include|import)([^_a-zA-Z0-9]|$)")
    foreach(line IN LISTS lines)
        set(directive "^[ \t]*#[ \t]*(include_next|include|import)[ \t]*")
        if(line MATCHES "${directive}\"([^\"]*)\"")
            set(included "${CMAKE_MATCH_2}")
            set(spelled "\"${included}\"")
            set(angle FALSE)
        elseif(line MATCHES "${directive}<([^>]*)>")
            set(included "${CMAKE_MATCH_2}")
            set(spelled "<${included}>")
            set(angle TRUE)
        else()
            string(STRIP "${line}" line)
            list(APPEND faults "${source}: \"${line}\" names no path the check can read")
            continue()
        endif()
        # A backslash separates folders for some compilers; "." and empty steps go nowhere.
        string(REPLACE "\\" "/" included "${included}")
        if(included MATCHES "\\.\\.")
            list(APPEND faults "${source}: ${spelled} climbs out of its folder")
            continue()
        endif()
        if(included MATCHES "^/")
            list(APPEND faults "${source}: ${spelled} is an absolute path")
            continue()
        endif()
        string(REGEX REPLACE "/+" "/" included "${included}")
        string(REGEX REPLACE "(^|/)(\\./)+" "\\1" included "${included}")
        if(angle)
            string(REGEX MATCH "^[^/]+" first "${included}")
            if(NOT included MATCHES "/" OR NOT first IN_LIST checkout_folders)
                continue() # a system header
            endif()
        endif()
        if(NOT included MATCHES "/")
            continue() # a header beside the source
        endif()
        owning_folder("${included}" target)
        if(target STREQUAL "")
            if(own STREQUAL "")
                continue() # the data builder's own subfolders
            endif()
            list(APPEND faults "${source}: ${spelled} is in no folder of the layers")
        elseif(own STREQUAL "")
            list(APPEND faults "${source}: the data builder includes the program's ${spelled}")
        elseif(NOT target STREQUAL own AND NOT layer_of_${target} LESS layer_of_${own})
            list(APPEND faults
                "${source}: ${own}/ may not include ${spelled} (${target}/ is not below it)")
        endif()
    endforeach()
endforeach()

if(faults)
    list(JOIN faults "\n  " text)
    message(FATAL_ERROR "Includes against the layers:\n  ${text}")
endif()
list(LENGTH sources count)
message(STATUS "Layers respected by the includes of ${count} files")
