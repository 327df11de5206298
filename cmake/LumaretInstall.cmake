# Install rules. A per-user installation goes to ~/.local/opt/Lumaret (the default); as root,
# `make install PREFIX=/opt/Lumaret` installs for all users. The programs and image/ sit side by
# side in the install folder, as in the build tree; the desktop entries, the theme icons and the
# "lumaret" link are written outside it by cmake/InstallEntries.cmake, which also writes the
# uninstaller's list of every installed file.
if(LUMARET_ENGINE_ONLY)
  return()
endif()

if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/opt/Lumaret" CACHE PATH "Install folder" FORCE)
endif()

# First of all, before a folder exists that was not there: which folders the installation creates.
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallCreated.cmake)
install(TARGETS lumaret lumaret-cli lumaret-shellext LumaretUninstall RUNTIME DESTINATION .)
install(DIRECTORY ${LUMARET_IMAGE_DIR}/ DESTINATION image)
# The about box links to the README beside the programs.
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
install(CODE "set(LUMARET_HICOLOR_DIR \"${LUMARET_HICOLOR_DIR}\")
set(LUMARET_ENTRY_DIR \"${CMAKE_BINARY_DIR}/desktop-entries\")")
install(SCRIPT ${CMAKE_CURRENT_LIST_DIR}/InstallEntries.cmake)
