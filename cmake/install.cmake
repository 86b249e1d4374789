# What `cmake --install` puts where, and the Debian package made from it by
# `cpack -G DEB`. Included from the top-level CMakeLists.txt after the targets.
include(GNUInstallDirs)

find_program(GC5016_GZIP gzip REQUIRED)
set(GC5016_LIBEXEC_DIR ${CMAKE_INSTALL_LIBEXECDIR}/gc5016-config)
set(GC5016_DATA_DIR ${CMAKE_INSTALL_DATADIR}/gc5016-config)

# The chip-tool stand-in is found in libexec only after the program's own
# folder and PATH, so an installed vendor tool always wins; the path is kept
# relative to bin/ so that the package works under any prefix.
file(RELATIVE_PATH GC5016_STANDIN_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBEXECDIR}/gc5016-config)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/chip/chip_tool.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             GC5016_STANDIN_FROM_BIN="${GC5016_STANDIN_FROM_BIN}")
# The first start offers a working folder made from the installed example,
# found the same way; a program run from its build folder takes the source tree's.
file(RELATIVE_PATH GC5016_EXAMPLE_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR}
     ${CMAKE_INSTALL_FULL_DATADIR}/gc5016-config/examples/workspace)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/src/gui/app/work_folder_dialog.cpp APPEND PROPERTY COMPILE_DEFINITIONS
             GC5016_EXAMPLE_FROM_BIN="${GC5016_EXAMPLE_FROM_BIN}"
             GC5016_SOURCE_EXAMPLE="${PROJECT_SOURCE_DIR}/examples/workspace")

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

# Manual pages from the programs' own --help and --version, compressed as
# Debian installs them. A sanitizer or fuzzing build would have to run
# instrumented programs at build time: those builds are never installed, so
# they skip the pages. Elsewhere a missing help2man stops the configuration
# rather than leave the pages silently out of the installation and the package.
option(GC5016_MAN_PAGES "Make the manual pages with help2man" ON)
if(GC5016_MAN_PAGES AND NOT GC5016_SANITIZE AND NOT GC5016_FUZZ)
  find_program(GC5016_HELP2MAN help2man)
  if(NOT GC5016_HELP2MAN)
    message(FATAL_ERROR "help2man not found: it makes the manual pages of the installation and the package. "
                        "Install it (apt-get install help2man, or scripts/deps.sh), "
                        "or configure with -DGC5016_MAN_PAGES=OFF to build without manual pages.")
  endif()
  set(GC5016_MAN_PAGES_GZ "")
  macro(gc5016_man_page target summary)
    set(page ${PROJECT_BINARY_DIR}/man/${target}.1)
    # gzip -n keeps the name and time out of the archive, so a rebuild gives the same bytes.
    add_custom_command(
      OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/man
      COMMAND ${GC5016_HELP2MAN} --no-info --section=1 --locale=C.UTF-8 "--name=${summary}" --output=${page} $<TARGET_FILE:${target}>
      # The Russian labels must not vanish where the reader's locale is not UTF-8.
      COMMAND ${CMAKE_COMMAND} -DPAGE=${page} -P ${PROJECT_SOURCE_DIR}/packaging/man_fallback.cmake
      COMMAND ${GC5016_GZIP} -9nf ${page}
      DEPENDS ${target} ${PROJECT_SOURCE_DIR}/packaging/man_fallback.cmake
      COMMENT "Manual page ${target}.1.gz"
      VERBATIM)
    list(APPEND GC5016_MAN_PAGES_GZ ${page}.gz)
  endmacro()
  gc5016_man_page(gc5016-batch "run the GC5016 configurator's commands without a window")
  if(TARGET gc5016-config)
    gc5016_man_page(gc5016-config "configure the GC5016 down-converter of the TORVIN board")
  endif()
  add_custom_target(man_pages ALL DEPENDS ${GC5016_MAN_PAGES_GZ})
  install(FILES ${GC5016_MAN_PAGES_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# The package's maintainer, named in the control file and the changelog. The
# default is a placeholder: set the real address with -DGC5016_PACKAGE_CONTACT.
set(GC5016_PACKAGE_CONTACT "GC5016 configurator developers <gc5016-config@example.invalid>"
    CACHE STRING "Maintainer of the Debian package: Name <address>")

# Debian's documentation files: the copyright and a compressed changelog whose
# newest entry must be this version (a version bump without an entry fails here).
set(GC5016_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/gc5016-config)
file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog.in GC5016_CHANGELOG_TOP LIMIT_COUNT 1)
if(NOT GC5016_CHANGELOG_TOP MATCHES "^gc5016-config \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog.in does not begin with an entry for version ${PROJECT_VERSION}")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
add_custom_command(
  OUTPUT ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  COMMAND ${GC5016_GZIP} -9nkf ${PROJECT_BINARY_DIR}/packaging/changelog
  DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog
  VERBATIM)
add_custom_target(package_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
        DESTINATION ${GC5016_DOC_DIR})

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gc5016-config)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Configurator of the GC5016 quad digital down-converter")
# Debian wants the long description in lines of under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Sets the four receive channels of the GC5016 on the TORVIN board, shows the
filter responses and writes the register-program file for the board software;
gc5016-batch runs the same commands for scripts.")
set(CPACK_PACKAGE_CONTACT "${GC5016_PACKAGE_CONTACT}")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
# The dependencies are the Debian packages of the libraries the programs link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Debian ships stripped programs; the build folder keeps the symbols.
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Read by cpack itself: names the Debian packages its DEB step needs when they are missing.
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/cpack_checks.cmake)
include(CPack)
