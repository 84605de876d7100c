# The program's icon, rendered from its SVG at build time by a small Qt tool of the build
# machine (packaging/render_icon.cpp): the Linux package's fixed-size PNGs
# (packaging/CMakeLists.txt) and the Windows icon file, whose images are PNGs too. A
# cross build for Windows takes the icon file from a native build (cmake/HostData.cmake).

set(SKYFETCH_ICON_SVG "${PROJECT_SOURCE_DIR}/packaging/org.skyfetch.Skyfetch.svg")

add_executable(skyfetch_render_icon "${PROJECT_SOURCE_DIR}/packaging/render_icon.cpp")
target_link_libraries(skyfetch_render_icon PRIVATE Qt6::Gui Qt6::Svg skyfetch_options)
set_target_properties(skyfetch_render_icon PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY "${CMAKE_BINARY_DIR}/icons")

# The sizes the Windows shell and title bars ask for at 100 to 200 % scaling, and the
# large one of Explorer's big views.
set(SKYFETCH_WINDOWS_ICON "${CMAKE_BINARY_DIR}/icons/skyfetch.ico")
add_custom_command(OUTPUT "${SKYFETCH_WINDOWS_ICON}"
    COMMAND skyfetch_render_icon --ico "${SKYFETCH_ICON_SVG}" "${SKYFETCH_WINDOWS_ICON}"
        16 20 24 32 40 48 64 256
    DEPENDS skyfetch_render_icon "${SKYFETCH_ICON_SVG}"
    COMMENT "Rendering the Windows icon file" VERBATIM)
add_custom_target(skyfetch_windows_icon DEPENDS "${SKYFETCH_WINDOWS_ICON}")
