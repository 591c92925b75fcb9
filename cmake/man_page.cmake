# kavrin_install_man_page(SOURCE.N.in): fills in the project's version and the
# date (from SOURCE_DATE_EPOCH when set, so a rebuild gives the same page),
# compresses the page as Debian wants it and installs it in section N.
string(TIMESTAMP KAVRIN_DATE "%Y-%m-%d" UTC)

function(kavrin_install_man_page source)
  get_filename_component(page ${source} NAME_WLE)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section ${page})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${page})
  configure_file(${source} ${out} @ONLY)
  add_custom_command(OUTPUT ${out}.gz
                     COMMAND gzip -9 -n -c ${out} > ${out}.gz
                     DEPENDS ${out})
  add_custom_target(man_${page} ALL DEPENDS ${out}.gz)
  install(FILES ${out}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endfunction()
