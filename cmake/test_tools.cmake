# Programs some tests need (a broker, Mono, Doxygen, lintian, qemu-user).
# A test whose program is missing is left out of a developer's build; the
# test command configures with VELKOR_REQUIRE_TEST_TOOLS=ON, so there a
# missing program stops the configure instead of silently dropping a test.
#   velkor_find_test_program(VAR name [name...])  sets VAR to the path or leaves it false
function(velkor_find_test_program var)
  find_program(${var} NAMES ${ARGN})
  if(NOT ${var} AND VELKOR_REQUIRE_TEST_TOOLS)
    message(FATAL_ERROR "${ARGN} not found: the tests need it (scripts/install-deps.sh --tests installs it)")
  endif()
  set(${var} "${${var}}" PARENT_SCOPE)
endfunction()
