# The program's folders in layers, from the bottom up. A folder may include headers of
# the folders in the layers below its own and nothing else: folders of one layer do not
# know each other. docs/design.md draws the same picture.
#
# The build enforces this: each library sees only its own folder's headers and those of
# the libraries it links (skyfetch_folder_headers below), never the whole source tree.
# cmake/CheckLayers.cmake checks the includes of every source file against this table,
# so that a relative path or a new folder cannot slip past.
set(SKYFETCH_LAYERS
    "putil"
    "resources"
    "climate"
    "driver"
    "rules settings"
    "globe graph msgdialog"
    "dialog"
    "app app/cli")

# Makes the headers of `folder` (a path below the source root, such as "app/cli")
# visible to `target` and, through it, to whatever links it: a link in the build tree
# stands for the folder, so "#include "app/cli/CliTool.h"" resolves while the rest of
# the source tree stays out of sight.
function(skyfetch_folder_headers target folder)
    string(REPLACE "/" "_" root_name "${folder}")
    set(root "${CMAKE_BINARY_DIR}/layers/${root_name}")
    set(link "${root}/${folder}")
    if(NOT EXISTS "${link}")
        get_filename_component(parent "${link}" DIRECTORY)
        file(MAKE_DIRECTORY "${parent}")
        file(CREATE_LINK "${PROJECT_SOURCE_DIR}/${folder}" "${link}" SYMBOLIC)
    endif()
    target_include_directories(${target} PUBLIC "${root}")
endfunction()
