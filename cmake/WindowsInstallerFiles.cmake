# Writes the installer's file lists from the deployment folder (cmake/WindowsDeploy.cmake):
#
#   cmake -DDEPLOY_DIR=<folder> -DOUTPUT=<installer-files.nsh> -P WindowsInstallerFiles.cmake
#
# One walk of the folder gives both NSIS macros, so the install and uninstall lists cannot
# disagree: SkyfetchInstallFiles installs each file into its subfolder of $INSTDIR, and
# SkyfetchUninstallFiles deletes each by name and then removes its subfolders, deepest
# first, only when they are empty. SKYFETCH_SIZE_KB is the files' size for the uninstall
# entry.
cmake_minimum_required(VERSION 3.25)
foreach(arg DEPLOY_DIR OUTPUT)
    if(NOT ${arg})
        message(FATAL_ERROR
            "usage: cmake -DDEPLOY_DIR=... -DOUTPUT=... -P WindowsInstallerFiles.cmake")
    endif()
endforeach()

file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE "${DEPLOY_DIR}" "${DEPLOY_DIR}/*")
list(SORT files)
if(NOT files)
    message(FATAL_ERROR "${DEPLOY_DIR} holds no files")
endif()

set(install "")
set(uninstall "")
set(folders "")
set(bytes 0)
set(current_folder "-")
foreach(file IN LISTS files)
    if(file MATCHES "[\"$`]")
        message(FATAL_ERROR "${file}: a name NSIS would read differently")
    endif()
    get_filename_component(folder "${file}" DIRECTORY)
    string(REPLACE "/" "\\" windows_file "${file}")
    string(REPLACE "/" "\\" windows_folder "${folder}")
    if(NOT folder STREQUAL current_folder)
        if(folder STREQUAL "")
            string(APPEND install "    SetOutPath \"$INSTDIR\"\n")
        else()
            string(APPEND install "    SetOutPath \"$INSTDIR\\${windows_folder}\"\n")
        endif()
        set(current_folder "${folder}")
    endif()
    string(APPEND install "    File \"${DEPLOY_DIR}/${file}\"\n")
    string(APPEND uninstall "    Delete \"$INSTDIR\\${windows_file}\"\n")
    # Every folder on the way up, so that plugins\platforms goes before plugins.
    while(NOT folder STREQUAL "")
        list(APPEND folders "${folder}")
        get_filename_component(folder "${folder}" DIRECTORY)
    endwhile()
    file(SIZE "${DEPLOY_DIR}/${file}" size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()

list(REMOVE_DUPLICATES folders)
# Deepest first: longer paths of one branch sort after their parents.
list(SORT folders ORDER DESCENDING)
foreach(folder IN LISTS folders)
    string(REPLACE "/" "\\" windows_folder "${folder}")
    string(APPEND uninstall "    RMDir \"$INSTDIR\\${windows_folder}\"\n")
endforeach()
math(EXPR kilobytes "(${bytes} + 1023) / 1024")

file(WRITE "${OUTPUT}"
    "; Written by cmake/WindowsInstallerFiles.cmake from ${DEPLOY_DIR}.\n"
    "!define SKYFETCH_SIZE_KB ${kilobytes}\n"
    "!macro SkyfetchInstallFiles\n${install}!macroend\n"
    "!macro SkyfetchUninstallFiles\n${uninstall}!macroend\n")
