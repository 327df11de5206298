# Runs at install time, after the programs and pictures are in place. Writes the two desktop
# entries (the applications menu, and the desktop folder when there is one), the theme icons and
# the "lumaret" link, refreshes the desktop database, and writes uninstall.txt: the count of files,
# then the absolute path of each, one a line, UTF-8, the list itself included. The uninstaller
# removes exactly these files and refuses anything else.
#
# What the installer creates that other programs share (the folders it had to make, noted before
# anything was copied by InstallCreated.cmake, and the desktop database) goes to
# uninstall-created.txt in the same format, so that the uninstaller can remove what is left
# empty of it.

include("${CMAKE_CURRENT_LIST_DIR}/InstallPlaces.cmake")

# Every video and audio type the encoders read, named one by one: GLib's "Open with" ignores
# wildcards such as video/*.
set(mimeTypes
  video/mp4 video/x-m4v video/mpeg video/x-mpeg2 video/mp2t video/quicktime video/x-msvideo
  video/x-matroska video/webm video/x-flv video/x-ms-wmv video/x-ms-asf video/3gpp video/3gpp2
  video/ogg video/x-ogm+ogg video/dv video/vnd.rn-realvideo application/vnd.rn-realmedia
  video/x-theora+ogg audio/mpeg audio/mp4 audio/x-m4a audio/aac audio/x-wav audio/x-ms-wma
  audio/ogg audio/x-vorbis+ogg audio/flac audio/x-flac audio/ac3 audio/amr audio/x-ape
  audio/x-matroska audio/vnd.rn-realaudio)
list(JOIN mimeTypes ";" mimeList)

set(menuText "[Desktop Entry]
Type=Application
Version=1.0
Name=Lumaret
GenericName=视频格式转换
Comment=把视频和音频文件转换成其他格式
Icon=lumaret
Exec=\"${prefix}/lumaret\" --open %F
Terminal=false
Categories=AudioVideo;Video;AudioVideoEditing;
MimeType=${mimeList};
")
set(uninstallText "[Desktop Entry]
Type=Application
Version=1.0
Name=卸载Lumaret
Comment=从这台电脑上移除Lumaret
Icon=lumaret
Exec=\"${prefix}/LumaretUninstall\"
Terminal=false
Categories=AudioVideo;Video;
")
# Each run stages its entries in a folder of its own: two installs from one build tree into
# different folders (the tests do that) must not hand each other their Exec lines.
string(RANDOM LENGTH 12 stamp)
set(staging "${LUMARET_ENTRY_DIR}/${stamp}")
file(WRITE "${staging}/Lumaret.desktop" "${menuText}")
file(WRITE "${staging}/卸载Lumaret.desktop" "${uninstallText}")

file(INSTALL "${staging}/Lumaret.desktop" "${staging}/卸载Lumaret.desktop"
     DESTINATION "${dataFolder}/applications")
if(NOT desktopFolder STREQUAL "")
  # A launcher on the desktop must be executable for the file managers to run it.
  file(INSTALL "${staging}/Lumaret.desktop" DESTINATION "${desktopFolder}"
       FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
endif()
file(REMOVE_RECURSE "${staging}")
foreach(size 16 32 48 256)
  file(INSTALL "${LUMARET_HICOLOR_DIR}/${size}x${size}/apps/lumaret.png"
       DESTINATION "${dataFolder}/icons/hicolor/${size}x${size}/apps")
endforeach()

# The link on PATH. A file of that name that is no link belongs to someone else and stays.
set(link "${binFolder}/lumaret")
if(EXISTS "${link}" AND NOT IS_SYMLINK "${link}")
  message(WARNING "${link} exists and is not a link; it is left as it is")
else()
  file(MAKE_DIRECTORY "${binFolder}")
  file(REMOVE "${link}")
  file(CREATE_LINK "${prefix}/lumaret" "${link}" SYMBOLIC)
  message(STATUS "Installing: ${link}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${link}")
endif()

find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
if(UPDATE_DESKTOP_DATABASE)
  execute_process(COMMAND ${UPDATE_DESKTOP_DATABASE} "${dataFolder}/applications" ERROR_QUIET)
endif()

# The note of what this installation created that others share (see InstallCreated.cmake).
set(createdFile "${prefix}/uninstall-created.txt")
list(LENGTH LUMARET_CREATED createdCount)
string(REPLACE ";" "\n" createdLines "${LUMARET_CREATED}")
file(WRITE "${createdFile}" "${createdCount}\n${createdLines}\n")
message(STATUS "Installing: ${createdFile}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${createdFile}")

set(listFile "${prefix}/uninstall.txt")
# The uninstaller takes only plain absolute paths ("/./" and "/../" are refused), so every path is
# written in its normal form.
set(files "")
foreach(file IN LISTS CMAKE_INSTALL_MANIFEST_FILES listFile)
  cmake_path(ABSOLUTE_PATH file NORMALIZE)
  list(APPEND files "${file}")
endforeach()
list(REMOVE_DUPLICATES files)
list(LENGTH files count)
string(REPLACE ";" "\n" lines "${files}")
file(WRITE "${listFile}" "${count}\n${lines}\n")
message(STATUS "Installing: ${listFile}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${listFile}")
