# Paquet Debian fait par CPack (scripts/paquet) : nom et version viennent de
# project(), les dependances de dpkg-shlibdeps sur les binaires, les executables
# sont depouilles. Les fichiers que Debian attend dans /usr/share/doc/karvela :
# copyright et, paquet natif, changelog.gz.
set(KARVELA_MAINTENEUR "Équipe karvela <karvela@example.org>" CACHE STRING
    "Responsable du paquet Debian")
set(KARVELA_SITE "" CACHE STRING "Page d'accueil du projet (champ Homepage, omis si vide)")

file(STRINGS paquet/changelog entree LIMIT_COUNT 1)
if(NOT entree MATCHES "^karvela \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "paquet/changelog : la premiere entree doit etre celle de la version "
                      "${PROJECT_VERSION}")
endif()
add_custom_command(OUTPUT changelog.gz
  COMMAND gzip -9n -c ${PROJECT_SOURCE_DIR}/paquet/changelog > changelog.gz
  DEPENDS paquet/changelog)
add_custom_target(journal_paquet ALL DEPENDS changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/changelog.gz paquet/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_CONTACT "${KARVELA_MAINTENEUR}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libzip4") # karvela-note lit et ecrit les .zip des classes
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(KARVELA_SITE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KARVELA_SITE}")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "simulateur pédagogique d'une machine à pile 8 bits")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Une fenêtre, « Machine a pile », montre une petite machine à pile : 64 Kio
de mémoire, une pile interne de 16 octets, les registres et les drapeaux,
le désassemblage autour du compteur ordinal, un vidage de la mémoire et
cinq ports d'entrée-sortie dont on clique les bits. On y exécute un
programme pas à pas, en continu, jusqu'à un point d'arrêt, et l'on revient
en arrière.
.
karvela-asm assemble les sources .asm avec des messages en français qui
donnent ligne et colonne ; karvela-run exécute un programme sans fenêtre et
rend son état final en texte ou en JSON ; karvela-note corrige un dossier de
copies d'après un exercice TOML (entrées, mémoire, événements, résultats
attendus) et écrit un tableau CSV, et « Vérifier » fait de même dans la
fenêtre pour l'étudiant.
Le paquet contient des exemples commentés et leurs sources.")
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)

# Construit le paquet (build/paquet, a part) : deux coeurs pour ctest, et l'etiquette
# paquet pour le laisser de cote (ctest -LE 'gui|paquet') : il prend a lui seul
# presque tout le temps des tests sans ecran.
if(KARVELA_TESTS)
  add_test(NAME paquet_debian COMMAND ${PROJECT_SOURCE_DIR}/tests/paquet/paquet.sh
           ${PROJECT_SOURCE_DIR} ${PROJECT_VERSION} $<TARGET_FILE:karvela-asm> ${KARVELA_COMMANDES})
  set_tests_properties(paquet_debian PROPERTIES PROCESSORS 2 TIMEOUT 900 LABELS paquet)
endif()
