# The Windows release of skyfetch-cli: one ZIP (CPack's ZIP generator) holding the
# program, which stands alone, the README, and the licence with the data citations.
#
#   cmake --build build-windows --target package
#   -> build-windows/skyfetch-cli-<version>-windows-x64.zip

install(TARGETS skyfetch-cli RUNTIME DESTINATION . COMPONENT cli)
install(FILES README.md DESTINATION . COMPONENT cli)
install(FILES packaging/copyright DESTINATION . RENAME COPYRIGHT.txt COMPONENT cli)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME skyfetch-cli)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME "skyfetch-cli-${PROJECT_VERSION}-windows-x64")
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
# Without the debugging information the program is about the size of its data.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_COMPONENTS_ALL cli)
include(CPack)
