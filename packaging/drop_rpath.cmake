# Run by cpack after it installs into its staging trees: a packaged program
# finds the library on the system's search path, so the search path a plain
# install gives it (beside it in the tree, wherever that was installed) goes.
file(GLOB programs "${CPACK_TEMPORARY_DIRECTORY}/*${CPACK_PACKAGING_INSTALL_PREFIX}/bin/*")
foreach(program IN LISTS programs)
  file(READ ${program} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    file(RPATH_REMOVE FILE ${program})
  endif()
endforeach()
