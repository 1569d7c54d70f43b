# Installation layout and the Debian package (make package).
include(GNUInstallDirs)

install(TARGETS tcese RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TCESE_BUILD_GUI)
  install(TARGETS tcese-gui RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(TARGETS tcese-report RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/tcese)
  install(FILES packaging/tcese-gui.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES packaging/icons/tcese-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tcese.png)
  endforeach()
endif()

# Manual pages, compressed as Debian wants them (gzip -9n: no name, no time stamp).
set(_man_pages tcese.1)
if(TCESE_BUILD_GUI)
  list(APPEND _man_pages tcese-gui.1)
endif()
set(_man_gz)
foreach(page ${_man_pages})
  set(_out ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9n -c ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${page} > ${_out}
    DEPENDS packaging/${page}
    COMMENT "Compressing the manual page ${page}")
  list(APPEND _man_gz ${_out})
endforeach()
add_custom_target(manpages ALL DEPENDS ${_man_gz})
install(FILES ${_man_gz} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES packaging/Vora.ini.exemplo DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tcese)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "tcese")
set(CPACK_PACKAGE_CONTACT "tcese <tcese@localhost>" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "exportação de arquivos para o TCE/SE (SISAP)")
# Below the summary line; CPack indents every line.
set(CPACK_PACKAGE_DESCRIPTION
    "Lê a base de dados Firebird do exercício de um município, confere o que lê,
grava os arquivos de texto de largura fixa que o Tribunal de Contas do Estado
de Sergipe importa e registra cada problema num log. Traz o programa de linha
de comando tcese e o programa de janelas tcese-gui, com as telas de cadastro.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies of the linked libraries come from dpkg-shlibdeps; the embedded
# Firebird engine is loaded at run time (a plugin of the client), not linked, so
# it is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "firebird3.0-server-core")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
