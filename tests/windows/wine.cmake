# Windows test programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), in a
# prefix of their own inside the build tree: nothing in HOME is read or
# written, and a fresh container needs no display.  The prefix is set up
# once, before the first test that needs it, so that tests running in
# parallel never race to create it.
set(VELKOR_WINE_PREFIX ${CMAKE_BINARY_DIR}/wine-prefix)
set(VELKOR_WINE_ENVIRONMENT
    "WINEPREFIX=${VELKOR_WINE_PREFIX}"
    "WINEDEBUG=-all"
    # No offer to install the .NET and HTML engines into the prefix.
    "WINEDLLOVERRIDES=mscoree,mshtml=")

add_test(NAME wine_prefix COMMAND ${CMAKE_CROSSCOMPILING_EMULATOR} wineboot --init)
set_tests_properties(wine_prefix PROPERTIES
  ENVIRONMENT "${VELKOR_WINE_ENVIRONMENT}" FIXTURES_SETUP wine_prefix
  LABELS windows TIMEOUT 600)

# Gives a test (of the current directory) the Wine environment and prefix.
function(velkor_run_under_wine test)
  set_tests_properties(${test} PROPERTIES
    ENVIRONMENT "${VELKOR_WINE_ENVIRONMENT}" FIXTURES_REQUIRED wine_prefix)
  set_property(TEST ${test} APPEND PROPERTY LABELS windows)
endfunction()
