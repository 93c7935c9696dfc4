# Ce que « cmake --install » pose : les quatre commandes, l'entree de menu, l'icone
# (SVG et PNG du theme hicolor, la ou les bureaux la cherchent),
# le type des programmes .bin, les exemples avec leurs sources et les pages de
# manuel, construites par scdoc quand il est la (scripts/run s'en passe).
include(GNUInstallDirs)

# Les commandes installees, chacune avec sa page de manuel.
set(KARVELA_COMMANDES karvela karvela-asm karvela-run karvela-note)
install(TARGETS ${KARVELA_COMMANDES} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES paquet/karvela.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES paquet/karvela.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Et rendue aux tailles que les menus et les barres de taches prennent sans SVG.
set(KARVELA_TAILLES_ICONE 48 64 128 256)
set(icones)
foreach(taille ${KARVELA_TAILLES_ICONE})
  set(png ${PROJECT_BINARY_DIR}/icones/${taille}/karvela.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/icones/${taille}
    COMMAND ${RSVG_CONVERT} -w ${taille} -h ${taille} -o ${png} ${PROJECT_SOURCE_DIR}/paquet/karvela.svg
    DEPENDS paquet/karvela.svg)
  list(APPEND icones ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${taille}x${taille}/apps)
endforeach()
add_custom_target(icones ALL DEPENDS ${icones})
install(FILES paquet/karvela-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
        RENAME karvela.xml)
file(GLOB exemples CONFIGURE_DEPENDS examples/*.bin examples/*.asm examples/*.txt)
install(FILES ${exemples} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)
file(GLOB exercices CONFIGURE_DEPENDS examples/exercices/*.toml examples/exercices/*.asm)
install(FILES ${exercices} DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples/exercices)

find_program(KARVELA_SCDOC scdoc)
if(KARVELA_SCDOC)
  # Les tableaux que les pages partagent avec le code (ports) viennent du coeur :
  # la version par configure_file, puis les lignes "%..." par remplit_manuel.
  add_executable(remplit_manuel docs/man/remplit_manuel.cpp)
  target_link_libraries(remplit_manuel PRIVATE karvela_core)
  set(pages)
  foreach(page ${KARVELA_COMMANDES})
    configure_file(docs/man/${page}.1.scd man/${page}.1.scd.in @ONLY)
    add_custom_command(OUTPUT man/${page}.1.scd
      COMMAND remplit_manuel ${page}.1.scd.in ${page}.1.scd
      DEPENDS remplit_manuel ${PROJECT_BINARY_DIR}/man/${page}.1.scd.in
      WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/man VERBATIM)
    # .nh : sans cesure, que groff ferait avec ses motifs anglais sur du francais.
    add_custom_command(OUTPUT man/${page}.1.gz
      COMMAND sh -c "'${KARVELA_SCDOC}' < ${page}.1.scd > ${page}.1"
      COMMAND sed -i "/^[.]TH/a .nh" ${page}.1
      COMMAND gzip -9nf ${page}.1
      DEPENDS ${PROJECT_BINARY_DIR}/man/${page}.1.scd
      WORKING_DIRECTORY ${PROJECT_BINARY_DIR}/man VERBATIM)
    list(APPEND pages ${PROJECT_BINARY_DIR}/man/${page}.1.gz)
  endforeach()
  add_custom_target(manuels ALL DEPENDS ${pages})
  install(FILES ${pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "scdoc introuvable : pages de manuel ni construites ni installees")
endif()
