# What `cmake --install` lays out under the prefix. The programs read their
# databases beside their real executable, so the programs, the compression
# library, game.mdb and the demo game share one program folder; bin/ holds
# symbolic links into it. The desktop entry, icons, metainfo, manuals and
# completion go where the desktop, man and bash look for them.
include(GNUInstallDirs)

# The name desktops know the program by, the project's web address reversed:
# the desktop entry, the icon and the metainfo are called after it.
set(TESSELLANE_APP_ID example.tessellane.Tessellane)
set(TESSELLANE_PROGRAM_DIR lib/tessellane)

set(built ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(staged ${CMAKE_BINARY_DIR}/to-install)  # files made for installing only
set(desktop ${PROJECT_SOURCE_DIR}/data/desktop)

# The programs find libNemesis.so in their own folder, wherever that is.
set_target_properties(tessellane tessellane-cli PROPERTIES INSTALL_RPATH "$ORIGIN")
install(TARGETS tessellane tessellane-cli Nemesis
        RUNTIME DESTINATION ${TESSELLANE_PROGRAM_DIR}
        LIBRARY DESTINATION ${TESSELLANE_PROGRAM_DIR})
install(FILES ${built}/game.mdb ${built}/tessdemo.mdb ${built}/demo.bin
        DESTINATION ${TESSELLANE_PROGRAM_DIR})

# Relative links, so that the tree works wherever it is unpacked.
file(RELATIVE_PATH program_dir_from_bin /${CMAKE_INSTALL_BINDIR} /${TESSELLANE_PROGRAM_DIR})
file(MAKE_DIRECTORY ${staged}/bin)
foreach(program tessellane tessellane-cli)
  file(CREATE_LINK ${program_dir_from_bin}/${program} ${staged}/bin/${program} SYMBOLIC)
  install(FILES ${staged}/bin/${program} DESTINATION ${CMAKE_INSTALL_BINDIR})
endforeach()

configure_file(${desktop}/tessellane.desktop.in
               ${staged}/applications/${TESSELLANE_APP_ID}.desktop @ONLY)
configure_file(${desktop}/tessellane.metainfo.xml.in
               ${staged}/metainfo/${TESSELLANE_APP_ID}.metainfo.xml @ONLY)
install(DIRECTORY ${staged}/applications ${staged}/metainfo
        DESTINATION ${CMAKE_INSTALL_DATADIR})

file(GLOB icon_pngs ${desktop}/icons/*x*.png)
foreach(png ${icon_pngs})
  get_filename_component(size ${png} NAME_WE)
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps
          RENAME ${TESSELLANE_APP_ID}.png)
endforeach()
install(FILES ${desktop}/icons/tessellane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TESSELLANE_APP_ID}.svg)

install(FILES ${PROJECT_SOURCE_DIR}/data/completion/tessellane-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

# Manual pages carry the version. They and the changelog are installed
# compressed, as Debian asks.
find_program(GZIP gzip REQUIRED)
foreach(page tessellane.1 tessellane-cli.1)
  configure_file(${PROJECT_SOURCE_DIR}/docs/${page}.in ${staged}/man/${page} @ONLY)
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/docs/changelog ${staged}/doc/changelog COPYONLY)
set(compressed)
foreach(file man/tessellane.1 man/tessellane-cli.1 doc/changelog)
  add_custom_command(OUTPUT ${staged}/${file}.gz
                     COMMAND ${GZIP} -9nkf ${staged}/${file}
                     DEPENDS ${staged}/${file})
  list(APPEND compressed ${staged}/${file}.gz)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed})
install(FILES ${staged}/man/tessellane.1.gz ${staged}/man/tessellane-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${staged}/doc/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessellane)
