# What an installed copy puts on the machine, and the Debian package that carries it.
# The program finds its guide and tells an installed copy from one of its own by this
# layout (store/data_folder.h): bin/durnmoor beside share/durnmoor, whatever the prefix.

# One icon for every window, compiled into the program.
target_sources(durnmoor PRIVATE ${CMAKE_CURRENT_LIST_DIR}/durnmoor.qrc)
set_target_properties(durnmoor PROPERTIES AUTORCC ON)

set(DURNMOOR_ICON_SIZES 16 32 48 64 128 256)

install(TARGETS durnmoor RUNTIME DESTINATION bin)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/../docs/durn.rtf DESTINATION share/durnmoor)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/durnmoor.desktop DESTINATION share/applications)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/org.durnmoor.Durnmoor.metainfo.xml
        DESTINATION share/metainfo)
install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/durnmoor.svg
        DESTINATION share/icons/hicolor/scalable/apps)
foreach(size IN LISTS DURNMOOR_ICON_SIZES)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/icons/${size}/durnmoor.png
          DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# The PNGs are kept in the tree so that a build needs no SVG renderer; after a change to
# the drawing, the "icons" target renders them again.
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  set(render)
  foreach(size IN LISTS DURNMOOR_ICON_SIZES)
    list(APPEND render COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} icons/durnmoor.svg
         -o icons/${size}/durnmoor.png)
  endforeach()
  add_custom_target(icons ${render} WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR})
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME durnmoor)
set(CPACK_PACKAGE_VENDOR Durnmoor)
set(CPACK_PACKAGE_CONTACT "Durnmoor maintainers <maintainers@durnmoor.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Calibration records of test and measuring instruments")
set(CPACK_PACKAGE_DESCRIPTION
    "Keeps the register of test and measuring instruments, works out when each one next
falls due for calibration, records every calibration with its cost and result, and keeps
an address book of calibration companies. Data lives in ~/.local/share/Durnmoor.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its display plugins at run time, out of sight of the library dependencies.
set(CPACK_DEBIAN_PACKAGE_DEPENDS qt6-qpa-plugins)
# Opens the user guide with the desktop's program for it.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS xdg-utils)
include(CPack)
