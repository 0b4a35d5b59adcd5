# The HTML reference of the public headers, built with everything else when
# Doxygen is present and installed with the documentation (component doc).
# The test `api_reference` builds it again with every warning an error.
velkor_find_test_program(VELKOR_DOXYGEN doxygen)
if(NOT VELKOR_DOXYGEN)
  return()
endif()

function(velkor_doxyfile output_dir warn_as_error file)
  set(VELKOR_DOC_OUTPUT ${output_dir})
  set(VELKOR_DOC_WARN_AS_ERROR ${warn_as_error})
  configure_file(${PROJECT_SOURCE_DIR}/docs/Doxyfile.in ${file} @ONLY)
endfunction()

set(VELKOR_REFERENCE_DIR ${PROJECT_BINARY_DIR}/reference)
velkor_doxyfile(${VELKOR_REFERENCE_DIR} NO ${PROJECT_BINARY_DIR}/Doxyfile)
file(GLOB VELKOR_PUBLIC_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/include/*.h
     ${PROJECT_SOURCE_DIR}/include/*.hpp ${PROJECT_SOURCE_DIR}/emulator/velkor_emulator.h)
add_custom_command(OUTPUT ${VELKOR_REFERENCE_DIR}/html/index.html
                   COMMAND ${VELKOR_DOXYGEN} ${PROJECT_BINARY_DIR}/Doxyfile
                   DEPENDS ${VELKOR_PUBLIC_HEADERS} ${PROJECT_BINARY_DIR}/Doxyfile
                   COMMENT "Building the API reference")
add_custom_target(reference ALL DEPENDS ${VELKOR_REFERENCE_DIR}/html/index.html)
install(DIRECTORY ${VELKOR_REFERENCE_DIR}/html/
        DESTINATION ${VELKOR_DOC_DIR}/reference COMPONENT doc)

if(VELKOR_TESTS AND NOT VELKOR_FUZZ)
  velkor_doxyfile(${PROJECT_BINARY_DIR}/reference-check FAIL_ON_WARNINGS
                  ${PROJECT_BINARY_DIR}/Doxyfile.check)
  add_test(NAME api_reference COMMAND ${VELKOR_DOXYGEN} ${PROJECT_BINARY_DIR}/Doxyfile.check)
  set_tests_properties(api_reference PROPERTIES LABELS docs TIMEOUT 120)
endif()
