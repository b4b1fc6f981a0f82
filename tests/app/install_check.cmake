# Installs the build into an empty prefix and checks what a desktop needs to offer the program:
# cmake -DBUILD_DIR=... -DPREFIX=... -P install_check.cmake
file(REMOVE_RECURSE "${PREFIX}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${PREFIX}"
                COMMAND_ERROR_IS_FATAL ANY OUTPUT_QUIET)

set(entry share/applications/durnmoor.desktop)
set(metainfo share/metainfo/org.durnmoor.Durnmoor.metainfo.xml)
set(icons share/icons/hicolor)
foreach(file bin/durnmoor share/durnmoor/durn.rtf ${entry} ${metainfo}
        ${icons}/scalable/apps/durnmoor.svg 16 32 48 64 128 256)
  if(file MATCHES "^[0-9]+$")
    set(file ${icons}/${file}x${file}/apps/durnmoor.png)
  endif()
  if(NOT EXISTS "${PREFIX}/${file}")
    message(SEND_ERROR "not installed: ${file}")
  endif()
endforeach()

# The menu starts the program by name, with no argument, under the icon installed above.
file(STRINGS "${PREFIX}/${entry}" lines REGEX "^(Exec|Icon)=")
if(NOT lines STREQUAL "Exec=durnmoor;Icon=durnmoor")
  message(SEND_ERROR "${entry} starts \"${lines}\"")
endif()

# A machine without the validators still checks the layout above.
find_program(desktop_file_validate desktop-file-validate)
find_program(appstreamcli appstreamcli)
if(desktop_file_validate)
  execute_process(COMMAND ${desktop_file_validate} ${entry} WORKING_DIRECTORY "${PREFIX}"
                  COMMAND_ERROR_IS_FATAL ANY)
endif()
if(appstreamcli)
  execute_process(COMMAND ${appstreamcli} validate --no-net ${metainfo}
                  WORKING_DIRECTORY "${PREFIX}" COMMAND_ERROR_IS_FATAL ANY)
endif()
