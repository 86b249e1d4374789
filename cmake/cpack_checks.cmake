# Read by cpack before it packs. The DEB generator finds the dependencies with
# dpkg-shlibdeps, which needs file; without them CPack stops with a message
# that names neither Debian package.
if(CPACK_GENERATOR STREQUAL "DEB")
  find_program(GC5016_CPACK_FILE file)
  find_program(GC5016_CPACK_SHLIBDEPS dpkg-shlibdeps)
  if(NOT GC5016_CPACK_FILE OR NOT GC5016_CPACK_SHLIBDEPS)
    message(FATAL_ERROR "cpack -G DEB needs the programs file and dpkg-shlibdeps: "
                        "apt-get install file dpkg-dev (or run scripts/deps.sh)")
  endif()
endif()
