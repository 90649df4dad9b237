# Installation and the Debian package.
#
# The programs, the help file and the shipped config.xml go together into lib/parcelo, so
# each program finds its files beside itself (the links in bin resolve to that folder).
# The marker parcelo.installed beside them tells the programs that they are installed:
# they then keep their options, log and working folders in each user's own folders and
# never write into lib/parcelo, root's runs included (a build folder has no marker).

set(parcelo_program_dir lib/parcelo)
set(parcelo_doc_dir share/doc/parcelo)
set(parcelo_packaging ${PROJECT_SOURCE_DIR}/packaging)

install(TARGETS parcelo-cli RUNTIME DESTINATION ${parcelo_program_dir})
install(FILES ${PROJECT_SOURCE_DIR}/src/app/config.xml ${parcelo_packaging}/parcelo.installed
        DESTINATION ${parcelo_program_dir})
set(parcelo_linked parcelo-cli)
set(parcelo_man_pages parcelo-cli.1)
if(PARCELO_BUILD_GUI)
  install(TARGETS Parcelo PcxAssembler RUNTIME DESTINATION ${parcelo_program_dir})
  install(FILES ${PROJECT_SOURCE_DIR}/src/ui/help/Parcelo.html DESTINATION ${parcelo_program_dir})
  install(FILES ${parcelo_packaging}/Parcelo.desktop DESTINATION share/applications)
  install(FILES ${parcelo_packaging}/parcelo.svg DESTINATION share/icons/hicolor/scalable/apps)
  # The piece type that file managers offer Parcelo for (the desktop entry's MimeType).
  install(FILES ${parcelo_packaging}/parcelo.xml DESTINATION share/mime/packages)
  list(APPEND parcelo_linked Parcelo)
  list(APPEND parcelo_man_pages Parcelo.1)
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

# Manual pages and the changelog are installed compressed (gzip -9 -n: the same bytes on
# every build).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(parcelo_gz_dir ${CMAKE_BINARY_DIR}/compressed)
set(parcelo_compressed_docs)
function(parcelo_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${parcelo_gz_dir}
    COMMAND ${GZIP_PROGRAM} -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    COMMENT "Compressing ${source}")
  set(parcelo_compressed_docs ${parcelo_compressed_docs} ${output} PARENT_SCOPE)
endfunction()
foreach(page ${parcelo_man_pages})
  parcelo_gzip(${parcelo_packaging}/${page} ${parcelo_gz_dir}/${page}.gz)
  install(FILES ${parcelo_gz_dir}/${page}.gz DESTINATION share/man/man1)
endforeach()

# The package is native (its version is the program's), so its changelog is changelog.gz;
# its newest entry must name this version.
file(STRINGS ${parcelo_packaging}/changelog newest_entry LIMIT_COUNT 1)
if(NOT newest_entry MATCHES "^parcelo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog: the newest entry is not ${PROJECT_VERSION}: ${newest_entry}")
endif()
parcelo_gzip(${parcelo_packaging}/changelog ${parcelo_gz_dir}/changelog.gz)
add_custom_target(parcelo_compressed_docs ALL DEPENDS ${parcelo_compressed_docs})
install(FILES ${parcelo_gz_dir}/changelog.gz ${parcelo_packaging}/copyright
              ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${parcelo_doc_dir})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME parcelo)
set(CPACK_PACKAGE_VENDOR Norvane)
set(CPACK_PACKAGE_CONTACT "Norvane <support@norvane.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "file splitter and joiner")
# The package's description: lines of at most 79 columns.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "Parcelo cuts a large file into numbered pieces by size, by number of\n"
  "pieces or, for text, by number of lines, optionally compressed first, and\n"
  "joins any set back from one of its pieces. Checksum files, join scripts\n"
  "and recovery pieces travel with the pieces. It ships the windowed program,\n"
  "a small joiner (PcxAssembler) and parcelo-cli for the terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.norvane.example/)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/package)
include(CPack)
