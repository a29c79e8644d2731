# The manual pages, with the project's version in their headers, compressed
# as Debian wants them (gzip -9n: no name, no time stamp, so the same bytes
# in every build). x86ident_man_page(NAME) makes and installs one.
find_program(X86IDENT_GZIP gzip)

function(x86ident_man_page name)
  set(page ${CMAKE_BINARY_DIR}/doc/${name}.1)
  configure_file(${PROJECT_SOURCE_DIR}/doc/${name}.1.in ${page} @ONLY)
  if(X86IDENT_GZIP)
    add_custom_command(OUTPUT ${page}.gz
                       COMMAND ${X86IDENT_GZIP} -9n -c ${page} > ${page}.gz
                       DEPENDS ${page} VERBATIM)
    add_custom_target(${name}_man_page ALL DEPENDS ${page}.gz)
    install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
  else()
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
  endif()
endfunction()
