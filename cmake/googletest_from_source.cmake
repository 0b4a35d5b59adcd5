# GoogleTest built from source with the project's compiler, for builds that
# cannot use the host's prebuilt library (cross-compiling).  Debian's
# googletest package installs the source under /usr/src/googletest.
set(VELKOR_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH
    "GoogleTest source tree, built with the project's toolchain")
if(NOT EXISTS ${VELKOR_GTEST_SOURCE_DIR}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest source at ${VELKOR_GTEST_SOURCE_DIR} "
                      "(install Debian's googletest package)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${VELKOR_GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest
                 EXCLUDE_FROM_ALL)
