# Runs at install time before anything is copied: notes in LUMARET_CREATED the folders this
# installation is about to create outside what it owns (~/.local/opt, ~/.local/bin, the hicolor
# size folders, ...) and the desktop database when there is none yet. InstallEntries.cmake writes
# the note to uninstall-created.txt; the uninstaller removes what of it is left empty. What an
# earlier installation into the same folder noted is kept, since its folders exist by now.
include("${CMAKE_CURRENT_LIST_DIR}/InstallPlaces.cmake")

set(LUMARET_CREATED "")
set(destinations "${prefix}" "${binFolder}" "${dataFolder}/applications")
foreach(size 16 32 48 256)
  list(APPEND destinations "${dataFolder}/icons/hicolor/${size}x${size}/apps")
endforeach()
foreach(folder IN LISTS destinations)
  # Every folder from the destination up to the first that exists is new.
  while(NOT EXISTS "${folder}")
    list(APPEND LUMARET_CREATED "${folder}")
    cmake_path(GET folder PARENT_PATH parent)
    if(parent STREQUAL folder)
      break()
    endif()
    set(folder "${parent}")
  endwhile()
endforeach()
if(NOT EXISTS "${dataFolder}/applications/mimeinfo.cache")
  list(APPEND LUMARET_CREATED "${dataFolder}/applications/mimeinfo.cache")
endif()

set(earlierNote "${prefix}/uninstall-created.txt")
if(EXISTS "${earlierNote}" AND NOT IS_DIRECTORY "${earlierNote}")
  file(STRINGS "${earlierNote}" earlier)
  if(earlier)
    list(REMOVE_AT earlier 0)   # the count
    list(APPEND LUMARET_CREATED ${earlier})
  endif()
endif()
list(REMOVE_DUPLICATES LUMARET_CREATED)
