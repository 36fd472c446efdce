# The korvane command's manual page (korvane.1) and bash completion, made at
# build time from its --help and --list by scripts/make-man.sh, so that they
# follow its options; cmake --install puts them where man and bash-completion
# look (share/man/man1, share/bash-completion/completions).
include(GNUInstallDirs)
set(KORVANE_MAN ${PROJECT_BINARY_DIR}/doc/korvane.1)
set(KORVANE_COMPLETION ${PROJECT_BINARY_DIR}/doc/korvane.bash)
add_custom_command(OUTPUT ${KORVANE_MAN} ${KORVANE_COMPLETION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/doc
  COMMAND ${PROJECT_SOURCE_DIR}/scripts/make-man.sh $<TARGET_FILE:korvane> ${KORVANE_MAN} ${KORVANE_COMPLETION}
  DEPENDS korvane ${PROJECT_SOURCE_DIR}/scripts/make-man.sh
  COMMENT "The korvane command's manual page and bash completion"
  VERBATIM)
add_custom_target(korvane_docs ALL DEPENDS ${KORVANE_MAN} ${KORVANE_COMPLETION})
install(FILES ${KORVANE_MAN} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${KORVANE_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions
  RENAME korvane)
