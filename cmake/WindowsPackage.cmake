# The Windows desktop program as users get it (included by the top CMakeLists.txt in a
# cross build with the desktop program):
#   - resources of both programs: icon, version information, manifest;
#   - skyfetch_windows_deploy: <build>/deploy/Skyfetch, the programs with every DLL they
#     load, Qt's run-time plugins, qt.conf and the documents (cmake/WindowsDeploy.cmake);
#   - skyfetch_windows_installer: <build>/skyfetch-<version>-windows-x64-setup.exe (NSIS);
#   - skyfetch_windows_zip: <build>/skyfetch-<version>-windows-x64.zip, the same files.
# `cmake --build <build> --target skyfetch_windows_packages` makes all of them.

# The version as Windows wants it: four numbers (2008.11.03 -> 2008,11,3,0), and as the
# programs show it (2008-11-03, resources/Version.h).
set(SKYFETCH_RC_VERSION_COMMAS
    "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")
math(EXPR _minor "${PROJECT_VERSION_MINOR}")
math(EXPR _patch "${PROJECT_VERSION_PATCH}")
set(SKYFETCH_RC_VERSION_DOTS "${PROJECT_VERSION_MAJOR}.${_minor}.${_patch}.0")
set(_nsis_version "${PROJECT_VERSION_MAJOR}.${_minor}.${_patch}")
string(REPLACE "." "-" SKYFETCH_RC_VERSION_TEXT "${PROJECT_VERSION}")
file(STRINGS "${PROJECT_SOURCE_DIR}/resources/Version.h" _version_line REGEX "kVersionString =")
if(NOT _version_line MATCHES "\"${SKYFETCH_RC_VERSION_TEXT}\"")
    message(FATAL_ERROR "resources/Version.h (${_version_line}) does not match the project "
        "version ${PROJECT_VERSION} in CMakeLists.txt; change both together.")
endif()

# --- Resources ----------------------------------------------------------------------------
# The icon file comes from the native build (cmake/HostData.cmake), rendered from the SVG.
set(_windows_dir "${PROJECT_SOURCE_DIR}/packaging/windows")
function(skyfetch_windows_resources target description)
    set(SKYFETCH_RC_NAME "${target}")
    set(SKYFETCH_RC_FILE "${target}.exe")
    set(SKYFETCH_RC_DESCRIPTION "${description}")
    set(SKYFETCH_RC_ICON "${SKYFETCH_WINDOWS_ICON}")
    set(SKYFETCH_RC_MANIFEST "${CMAKE_CURRENT_BINARY_DIR}/windows/${target}.manifest")
    configure_file("${_windows_dir}/program.manifest.in" "${SKYFETCH_RC_MANIFEST}" @ONLY)
    set(rc "${CMAKE_CURRENT_BINARY_DIR}/windows/${target}.rc")
    configure_file("${_windows_dir}/program.rc.in" "${rc}" @ONLY)
    set_source_files_properties("${rc}" PROPERTIES
        OBJECT_DEPENDS "${SKYFETCH_WINDOWS_ICON};${SKYFETCH_RC_MANIFEST}")
    target_sources(${target} PRIVATE "${rc}")
    add_dependencies(${target} skyfetch_host_data)
endfunction()
skyfetch_windows_resources(skyfetch "Skyfetch: climate driver files for PHYTOMOD")
skyfetch_windows_resources(skyfetch-cli "Skyfetch command line: climate driver files for PHYTOMOD")

# The window is a GUI program (no console window opens with it). The command-line program
# stands alone: its C++ run-time is linked in, as in the build without Qt.
set_target_properties(skyfetch PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(skyfetch-cli PRIVATE -static)

# --- Deployment ---------------------------------------------------------------------------
get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION_RELEASE)
if(NOT _qt_core_dll)
    get_target_property(_qt_core_dll Qt6::Core IMPORTED_LOCATION)
endif()
get_filename_component(_qt_bin "${_qt_core_dll}" DIRECTORY)
get_filename_component(_qt_prefix "${_qt_bin}" DIRECTORY)
execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-libgcc-file-name
    OUTPUT_VARIABLE _libgcc OUTPUT_STRIP_TRAILING_WHITESPACE)
get_filename_component(_gcc_runtime_dir "${_libgcc}" DIRECTORY)
set(SKYFETCH_WINDOWS_SEARCH_DIRS "${_qt_bin};${_gcc_runtime_dir};/usr/x86_64-w64-mingw32/lib"
    CACHE STRING "Folders the Windows deployment takes DLLs from (Qt, the MinGW run-time)")
find_program(SKYFETCH_MINGW_OBJDUMP NAMES x86_64-w64-mingw32-objdump REQUIRED)
find_program(SKYFETCH_MINGW_STRIP NAMES x86_64-w64-mingw32-strip REQUIRED)
set(SKYFETCH_WINE_DLL_DIR "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows" CACHE PATH
    "Wine's own 64-bit DLLs: a deployed program must not need one that Windows lacks")

# Loaded by Qt at run time, so no import table names them: the Windows platform and the
# native widget style. The program reads no image files, so no image format plugin.
set(SKYFETCH_WINDOWS_PLUGINS platforms/qwindows.dll styles/qwindowsvistastyle.dll)
# name in the folder = source; written with CR LF line ends.
set(SKYFETCH_WINDOWS_TEXT_FILES
    "README.txt=${PROJECT_SOURCE_DIR}/README.md"
    "COPYRIGHT.txt=${PROJECT_SOURCE_DIR}/packaging/copyright"
    "THIRD-PARTY.txt=${_windows_dir}/third-party.txt"
    "licenses/LGPL-3.0.txt=/usr/share/common-licenses/LGPL-3"
    "licenses/GPL-3.0.txt=/usr/share/common-licenses/GPL-3")

set(SKYFETCH_DEPLOY_DIR "${CMAKE_BINARY_DIR}/deploy/Skyfetch")
# Everything the deployment needs to know, for the build step and for tests that deploy
# elsewhere (a value given with -D on the command line comes first).
set(SKYFETCH_DEPLOY_CONFIG "${CMAKE_BINARY_DIR}/deploy/deploy-config.cmake")
set(_config "# Written by cmake/WindowsPackage.cmake for cmake/WindowsDeploy.cmake.\n")
foreach(_pair
        "DEST|${SKYFETCH_DEPLOY_DIR}"
        "PROGRAMS|$<TARGET_FILE:skyfetch>$<SEMICOLON>$<TARGET_FILE:skyfetch-cli>"
        "SEARCH_DIRS|${SKYFETCH_WINDOWS_SEARCH_DIRS}"
        "PLUGIN_DIR|${_qt_prefix}/plugins"
        "PLUGINS|${SKYFETCH_WINDOWS_PLUGINS}"
        "TEXT_FILES|${SKYFETCH_WINDOWS_TEXT_FILES}"
        "OBJDUMP|${SKYFETCH_MINGW_OBJDUMP}"
        "STRIP|${SKYFETCH_MINGW_STRIP}"
        "WINE_DLL_DIR|${SKYFETCH_WINE_DLL_DIR}")
    string(FIND "${_pair}" "|" _bar)
    string(SUBSTRING "${_pair}" 0 ${_bar} _name)
    math(EXPR _bar "${_bar} + 1")
    string(SUBSTRING "${_pair}" ${_bar} -1 _value)
    string(APPEND _config
        "if(NOT DEFINED ${_name})\n    set(${_name} [==[${_value}]==])\nendif()\n")
endforeach()
file(GENERATE OUTPUT "${SKYFETCH_DEPLOY_CONFIG}" CONTENT "${_config}")
set(_text_sources "")
foreach(_entry IN LISTS SKYFETCH_WINDOWS_TEXT_FILES)
    string(REGEX REPLACE "^[^=]*=" "" _source "${_entry}")
    list(APPEND _text_sources "${_source}")
endforeach()
set(_deploy_stamp "${CMAKE_BINARY_DIR}/deploy/deployed.stamp")
add_custom_command(OUTPUT "${_deploy_stamp}"
    COMMAND ${CMAKE_COMMAND} -DMODE=deploy "-DCONFIG=${SKYFETCH_DEPLOY_CONFIG}"
        -P "${PROJECT_SOURCE_DIR}/cmake/WindowsDeploy.cmake"
    COMMAND ${CMAKE_COMMAND} -E touch "${_deploy_stamp}"
    DEPENDS skyfetch skyfetch-cli "${PROJECT_SOURCE_DIR}/cmake/WindowsDeploy.cmake"
        "${SKYFETCH_DEPLOY_CONFIG}" ${_text_sources}
    COMMENT "Deploying the Windows programs into ${SKYFETCH_DEPLOY_DIR}" VERBATIM)
add_custom_target(skyfetch_windows_deploy DEPENDS "${_deploy_stamp}")

# --- Installer and zip --------------------------------------------------------------------
find_program(SKYFETCH_MAKENSIS makensis)
set(SKYFETCH_PACKAGE_BASE "skyfetch-${PROJECT_VERSION}-windows-x64")
set(SKYFETCH_INSTALLER "${CMAKE_BINARY_DIR}/${SKYFETCH_PACKAGE_BASE}-setup.exe")
set(SKYFETCH_ZIP "${CMAKE_BINARY_DIR}/${SKYFETCH_PACKAGE_BASE}.zip")
set(_files_nsh "${CMAKE_BINARY_DIR}/deploy/installer-files.nsh")
if(SKYFETCH_MAKENSIS)
    add_custom_command(OUTPUT "${SKYFETCH_INSTALLER}"
        COMMAND ${CMAKE_COMMAND} "-DDEPLOY_DIR=${SKYFETCH_DEPLOY_DIR}" "-DOUTPUT=${_files_nsh}"
            -P "${PROJECT_SOURCE_DIR}/cmake/WindowsInstallerFiles.cmake"
        COMMAND "${SKYFETCH_MAKENSIS}" -V2 -NOCD
            "-DVERSION=${_nsis_version}" "-DVERSION_TEXT=${SKYFETCH_RC_VERSION_TEXT}"
            "-DOUTFILE=${SKYFETCH_INSTALLER}" "-DFILES=${_files_nsh}"
            "-DICON=${SKYFETCH_WINDOWS_ICON}"
            "${_windows_dir}/installer.nsi"
        DEPENDS "${_deploy_stamp}" "${_windows_dir}/installer.nsi"
            "${PROJECT_SOURCE_DIR}/cmake/WindowsInstallerFiles.cmake"
        COMMENT "Making the Windows installer ${SKYFETCH_INSTALLER}" VERBATIM)
    add_custom_target(skyfetch_windows_installer DEPENDS "${SKYFETCH_INSTALLER}")
else()
    add_custom_target(skyfetch_windows_installer
        COMMAND ${CMAKE_COMMAND} -E echo "makensis not found (Debian package nsis)"
        COMMAND ${CMAKE_COMMAND} -E false)
endif()

# The zip holds the folder Skyfetch itself, so that it unpacks into one folder.
add_custom_command(OUTPUT "${SKYFETCH_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E rm -f "${SKYFETCH_ZIP}"
    COMMAND ${CMAKE_COMMAND} -E tar cf "${SKYFETCH_ZIP}" --format=zip Skyfetch
    WORKING_DIRECTORY "${CMAKE_BINARY_DIR}/deploy"
    DEPENDS "${_deploy_stamp}"
    COMMENT "Making the portable zip ${SKYFETCH_ZIP}" VERBATIM)
add_custom_target(skyfetch_windows_zip DEPENDS "${SKYFETCH_ZIP}")

add_custom_target(skyfetch_windows_packages)
add_dependencies(skyfetch_windows_packages skyfetch_windows_installer skyfetch_windows_zip)
