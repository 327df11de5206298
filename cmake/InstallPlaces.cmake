# Included by the install-time scripts: where an installation goes. Sets prefix (the install
# folder, absolute, normal), dataFolder (whose applications/ and icons/ get our entries), binFolder
# (for the "lumaret" link) and desktopFolder (empty when there is none), and refuses an install
# folder the desktop entries could not name.
#
# Outside folders: below the home folder ($XDG_DATA_HOME, ~/.local/bin, the desktop folder) for an
# installation inside the home folder; /usr/local/share and /usr/local/bin for any other.

set(prefix "${CMAKE_INSTALL_PREFIX}")
cmake_path(ABSOLUTE_PATH prefix NORMALIZE)
string(REGEX REPLACE "(.)/$" "\\1" prefix "${prefix}")
if(DEFINED ENV{DESTDIR} AND NOT "$ENV{DESTDIR}" STREQUAL "")
  message(FATAL_ERROR "Lumaret installs into a live system: DESTDIR is not supported")
endif()
# The Exec lines quote the install folder; these characters would need escapes that the desktop
# entry readers do not all agree on.
if(prefix MATCHES "[\"`$\\\\%;\n]")
  message(FATAL_ERROR "The install folder must not contain \" ` $ \\ or %: ${prefix}")
endif()

set(home "$ENV{HOME}")
string(LENGTH "${home}/" homeLength)
string(SUBSTRING "${prefix}/" 0 ${homeLength} prefixStart)
if(NOT home STREQUAL "" AND NOT home STREQUAL "/" AND prefixStart STREQUAL "${home}/")
  if(DEFINED ENV{XDG_DATA_HOME} AND "$ENV{XDG_DATA_HOME}" MATCHES "^/")
    set(dataFolder "$ENV{XDG_DATA_HOME}")
  else()
    set(dataFolder "${home}/.local/share")
  endif()
  set(binFolder "${home}/.local/bin")
  set(desktopFolder "")
  find_program(XDG_USER_DIR xdg-user-dir)
  if(XDG_USER_DIR)
    execute_process(COMMAND ${XDG_USER_DIR} DESKTOP OUTPUT_VARIABLE desktopFolder
                    OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  endif()
  if(desktopFolder STREQUAL "")
    set(desktopFolder "${home}/Desktop")
  endif()
  # xdg-user-dir answers the home folder itself when there is no desktop folder.
  if(desktopFolder STREQUAL home OR NOT IS_DIRECTORY "${desktopFolder}")
    set(desktopFolder "")
  endif()
else()
  set(dataFolder "/usr/local/share")
  set(binFolder "/usr/local/bin")
  set(desktopFolder "")
endif()
