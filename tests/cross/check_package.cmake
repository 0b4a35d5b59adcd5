# Builds the Debian packages of a cross build with CPack and checks that they
# are what a machine of the target architecture installs: every package is
# of that architecture, every ELF file in it is a binary for the target
# machine, and each shared library such a file needs is provided by a
# package it depends on.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DARCHITECTURE=arm64 -DMACHINE=AArch64
#         -DDPKG_DEB=... -DREADELF=... -P check_package.cmake
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/../install/run_checked.cmake)

# The Debian package providing each library the binaries may need; the
# project's own libraries come from its own packages.
set(provider_libc.so.6 libc6)
set(provider_libm.so.6 libc6)
set(provider_libstdc++.so.6 libstdc++6)
set(provider_libgcc_s.so.1 libgcc-s1)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${WORK_DIR})
file(GLOB packages ${WORK_DIR}/*.deb)
if(NOT packages)
  message(FATAL_ERROR "cpack made no .deb in ${WORK_DIR}")
endif()

set(libraries_checked 0)
foreach(package IN LISTS packages)
  get_filename_component(name ${package} NAME)
  velkor_run_checked(OUTPUT architecture COMMAND ${DPKG_DEB} --field ${package} Architecture)
  # The Python package holds no binary: it is for every architecture.
  if(name MATCHES "^python3-")
    velkor_expect_output("${architecture}" "^all\n$" "${name}: Architecture")
    continue()
  endif()
  velkor_expect_output("${architecture}" "^${ARCHITECTURE}\n$" "${name}: Architecture")
  velkor_run_checked(OUTPUT depends COMMAND ${DPKG_DEB} --field ${package} Depends)
  # The package names alone: "a (>= 1), b" gives the list a;b.
  string(REGEX REPLACE " *\\([^)]*\\)" "" depended "${depends}")
  string(STRIP "${depended}" depended)
  string(REPLACE ", " ";" depended "${depended}")

  set(root ${WORK_DIR}/root-${name})
  velkor_run_checked(OUTPUT ignored COMMAND ${DPKG_DEB} --extract ${package} ${root})
  file(GLOB_RECURSE files LIST_DIRECTORIES false ${root}/*)
  foreach(file IN LISTS files)
    if(IS_SYMLINK ${file})
      continue()
    endif()
    file(READ ${file} magic LIMIT 4 HEX)
    if(NOT magic STREQUAL "7f454c46")  # not an ELF file
      continue()
    endif()
    file(RELATIVE_PATH shown ${root} ${file})
    velkor_run_checked(OUTPUT header COMMAND ${READELF} --file-header ${file})
    velkor_expect_output("${header}" "Machine:[ \t]+${MACHINE}\n" "${name}: ${shown}")
    velkor_run_checked(OUTPUT dynamic COMMAND ${READELF} --dynamic ${file})
    string(REGEX MATCHALL "Shared library: \\[[^]]+\\]" needed "${dynamic}")
    foreach(entry IN LISTS needed)
      string(REGEX REPLACE "Shared library: \\[(.+)\\]" "\\1" library "${entry}")
      if(library MATCHES "^lib[Vv]elkor")
        continue()
      endif()
      if(NOT DEFINED provider_${library})
        message(FATAL_ERROR "${name}: ${shown} needs ${library}, which no known package provides")
      endif()
      if(NOT provider_${library} IN_LIST depended)
        message(FATAL_ERROR "${name}: ${shown} needs ${library}, but Depends "
                            "(${depends}) does not name ${provider_${library}}")
      endif()
    endforeach()
    if(shown MATCHES "libVelkor\\.so")
      math(EXPR libraries_checked "${libraries_checked} + 1")
    endif()
  endforeach()
endforeach()
if(libraries_checked EQUAL 0)
  message(FATAL_ERROR "no package holds libVelkor.so: ${packages}")
endif()
