# What `cmake --install` puts where, and the Debian package made from it by
# `cpack -G DEB`. Included from the top-level CMakeLists.txt after the targets.
include(GNUInstallDirs)

set(GC5016_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/gc5016-config)
set(GC5016_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gc5016-config)

# The chip-tool stand-in is found in libexec only after the program's own
# folder and PATH, so an installed vendor tool always wins; the path is kept
# relative to bin/ so that the package works under any prefix.
file(RELATIVE_PATH GC5016_STANDIN_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/gc5016-config)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/chip/chip_tool.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             GC5016_STANDIN_FROM_BIN="${GC5016_STANDIN_FROM_BIN}")

install(TARGETS gc5016-batch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET gc5016-config)
  install(TARGETS gc5016-config RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET cmd5016)
  install(TARGETS cmd5016 RUNTIME DESTINATION ${GC5016_LIBEXEC_DIR})
endif()
install(DIRECTORY ${PROJECT_SOURCE_DIR}/examples/workspace DESTINATION ${GC5016_DATA_DIR}/examples)

if(GC5016_GUI)
  set(GC5016_BOARD_NAMES TORVIN-A TORVIN-B TORVIN-C TORVIN-D)
  list(GET GC5016_BOARD_NAMES ${GC5016_BOARD_MODEL} GC5016_BOARD_NAME)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/gc5016-config.desktop.in
                 ${PROJECT_BINARY_DIR}/packaging/gc5016-config.desktop @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/packaging/gc5016-config.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/gc5016-config.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()

# Manual pages from the programs' own --help and --version. A sanitizer or
# fuzzing build would have to run instrumented programs at build time: those
# builds are never installed, so they skip the pages.
find_program(GC5016_HELP2MAN help2man)
if(GC5016_HELP2MAN AND NOT GC5016_SANITIZE AND NOT GC5016_FUZZ)
  set(GC5016_MAN_PAGES "")
  macro(gc5016_man_page target summary)
    set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
    add_custom_command(
      OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${GC5016_HELP2MAN} --no-info --section=1 --locale=C.UTF-8 "--name=${summary}" --output=${page} $<TARGET_FILE:${target}>
      DEPENDS ${target}
      COMMENT "Manual page ${target}.1"
      VERBATIM)
    list(APPEND GC5016_MAN_PAGES ${page})
  endmacro()
  gc5016_man_page(gc5016-batch "run the GC5016 configurator's commands without a window")
  if(TARGET gc5016-config)
    gc5016_man_page(gc5016-config "configure the GC5016 down-converter of the TORVIN board")
  endif()
  add_custom_target(man_pages ALL DEPENDS ${GC5016_MAN_PAGES})
  install(FILES ${GC5016_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
elseif(NOT GC5016_HELP2MAN)
  message(STATUS "help2man not found: no manual pages")
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gc5016-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the GC5016 quad digital down-converter")
set(CPACK_PACKAGE_DESCRIPTION
    "Sets the four receive channels of the GC5016 on the TORVIN board, shows the filter responses and writes the register-program file for the board software; gc5016-batch runs the same commands for scripts.")
set(CPACK_PACKAGE_CONTACT "GC5016 configurator developers <gc5016-config@localhost>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The dependencies are the Debian packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
