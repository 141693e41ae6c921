# What `cmake --install` puts under the prefix (GNU layout): the tool and the editor in bin/,
# and for the editor the desktop entry, its icon and the chart files' type, so that a file
# manager lists the editor and opens .lcs files with it. The desktop caches (update-mime-database,
# update-desktop-database, gtk-update-icon-cache) are the installing system's to refresh.
include(GNUInstallDirs)

# One stable name for the desktop entry, the icon and the type's file.
set(ZOLVANE_APP_ID org.zolvane.FlowChart)

install(TARGETS zolvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

if(ZOLVANE_BUILD_GUI)
  install(TARGETS zolvane-flowchart RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZOLVANE_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  # The window's own icon (assets/icon.svg) under the entry's name.
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icon.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${ZOLVANE_APP_ID}.svg)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/${ZOLVANE_APP_ID}.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
endif()
