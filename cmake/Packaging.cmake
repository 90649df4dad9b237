# Installation and the Debian package.
#
# The programs, the help file and the shipped config.xml go together into lib/parcelo, so
# each program finds its files beside itself (the links in bin resolve to that folder).
# An installed folder cannot be written: Parcelo then keeps its options, log and working
# folders in the user's own folders.

set(parcelo_program_dir lib/parcelo)
set(parcelo_packaging ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS parcelo-cli RUNTIME DESTINATION ${parcelo_program_dir})
install(FILES ${PROJECT_SOURCE_DIR}/src/app/config.xml DESTINATION ${parcelo_program_dir})
set(parcelo_linked parcelo-cli)
if(PARCELO_BUILD_GUI)
  install(TARGETS Parcelo PcxAssembler RUNTIME DESTINATION ${parcelo_program_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/src/ui/help/Parcelo.html DESTINATION ${parcelo_program_dir})
  install(FILES ${parcelo_packaging}/Parcelo.desktop DESTINATION share/applications)
  install(FILES ${parcelo_packaging}/parcelo.svg DESTINATION share/icons/hicolor/scalable/apps)
  list(APPEND parcelo_linked Parcelo)
endif()

# Relative links, so that a copy of the installed tree works wherever it lies.
foreach(program ${parcelo_linked})
  set(link ${CMAKE_BINARY_DIR}/install-links/${program})
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/install-links)
  file(CREATE_LINK ../${parcelo_program_dir}/${program} ${link} SYMBOLIC)
  install(FILES ${link} DESTINATION bin)
endforeach()

install(FILES ${parcelo_packaging}/parcelo-cli.bash-completion
        DESTINATION share/bash-completion/completions RENAME parcelo-cli)

# The manual pages, compressed: parcelo-cli's, and the windowed program's with it.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(man_pages parcelo-cli)
if(PARCELO_BUILD_GUI)
  list(APPEND man_pages Parcelo)
endif()
set(compressed_man_pages)
foreach(page ${man_pages})
  set(man_page ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${man_page}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${parcelo_packaging}/${page}.1 > ${man_page}
    DEPENDS ${parcelo_packaging}/${page}.1
    COMMENT "Compressing the ${page} manual page")
  list(APPEND compressed_man_pages ${man_page})
endforeach()
add_custom_target(parcelo_man_page ALL DEPENDS ${compressed_man_pages})
install(FILES ${compressed_man_pages} DESTINATION share/man/man1)

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION share/doc/parcelo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parcelo)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file splitter and joiner")
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Parcelo cuts a large file into numbered pieces by size, by number of pieces or, for\n"
  "text, by number of lines, optionally compressed first, and joins any set back from\n"
  "one of its pieces. It ships the windowed program, a small joiner (PcxAssembler) and\n"
  "parcelo-cli for the terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.norvane.example/)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
