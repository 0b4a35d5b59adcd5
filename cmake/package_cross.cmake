# The Debian package of a cross build (included by package.cmake): the
# target's architecture, and dependencies given explicitly, because
# dpkg-shlibdeps looks libraries up in the host's package database, which
# knows no C library of the target architecture.  The versions are those the
# cross toolchain builds against, so they never promise less than the
# binaries need.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "aarch64")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
else()
  message(FATAL_ERROR "no Debian architecture known for ${CMAKE_SYSTEM_PROCESSOR}")
endif()

find_file(VELKOR_TARGET_GLIBC_FEATURES features.h REQUIRED)
file(STRINGS ${VELKOR_TARGET_GLIBC_FEATURES} velkor_glibc_lines
     REGEX "^#define[ \t]+__GLIBC(_MINOR)?__[ \t]+[0-9]+")
string(REGEX REPLACE ".*__GLIBC__[ \t]+([0-9]+).*" "\\1" velkor_glibc_major "${velkor_glibc_lines}")
string(REGEX REPLACE ".*__GLIBC_MINOR__[ \t]+([0-9]+).*" "\\1" velkor_glibc_minor "${velkor_glibc_lines}")
string(REGEX MATCH "^[0-9]+" velkor_gcc_major "${CMAKE_CXX_COMPILER_VERSION}")

set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6 (>= ${velkor_glibc_major}.${velkor_glibc_minor}), libgcc-s1 (>= 3.0), libstdc++6 (>= ${velkor_gcc_major})")
# Packages that name their own dependencies get the toolchain's too: in a
# native build dpkg-shlibdeps adds them.
foreach(component DEV TOOLS)
  if(DEFINED CPACK_DEBIAN_${component}_PACKAGE_DEPENDS)
    string(APPEND CPACK_DEBIAN_${component}_PACKAGE_DEPENDS ", ${CPACK_DEBIAN_PACKAGE_DEPENDS}")
  endif()
endforeach()
