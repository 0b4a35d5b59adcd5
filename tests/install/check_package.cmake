# Builds the Debian package with CPack and checks what it holds: the headers,
# the versioned library and its links, the pkg-config file (prefix /usr), the
# CMake package, the udev rule and the tool; and that it names its
# dependencies.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=x.y.z -DDPKG_DEB=...
#         -P check_package.cmake
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
string(REGEX MATCH "^[0-9]+" major "${VERSION}")

velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
          -B ${WORK_DIR})
file(GLOB packages ${WORK_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK_DIR}, found: ${packages}")
endif()

velkor_run_checked(OUTPUT contents COMMAND ${DPKG_DEB} --contents ${packages})
foreach(entry
    " ./usr/include/velkor.h\n"
    " ./usr/include/velkor_link.hpp\n"
    " ./usr/lib/libVelkor.so.${VERSION}\n"
    " ./usr/lib/libVelkor.so.${major} -> libVelkor.so.${VERSION}\n"
    " ./usr/lib/libVelkor.so -> libVelkor.so.${major}\n"
    " ./usr/lib/pkgconfig/velkor.pc\n"
    " ./usr/lib/cmake/Velkor/VelkorConfig.cmake\n"
    " ./usr/lib/cmake/Velkor/VelkorTargets.cmake\n"
    " ./usr/lib/udev/rules.d/70-velkor.rules\n"
    " ./usr/bin/velkor\n")
  velkor_expect_part("${contents}" "${entry}" "dpkg-deb --contents")
endforeach()
if(contents MATCHES "/usr/(bin|lib|include)/[^\n]*(emulator|_tests|gtest|gmock)")
  message(FATAL_ERROR "the package holds test or emulator files:\n${contents}")
endif()

velkor_run_checked(OUTPUT fields
  COMMAND ${DPKG_DEB} --field ${packages} Package Version Depends)
velkor_expect_output("${fields}" "Package: velkor\n" "the package name")
velkor_expect_output("${fields}" "Version: ${VERSION}\n" "the package version")
velkor_expect_output("${fields}" "Depends: [^\n]*libc6" "the package's dependencies")

# The pkg-config file names the packaging prefix, not the build's.
velkor_run_checked(OUTPUT ignored
  COMMAND ${DPKG_DEB} --extract ${packages} ${WORK_DIR}/root)
file(READ ${WORK_DIR}/root/usr/lib/pkgconfig/velkor.pc pc)
velkor_expect_output("${pc}" "^prefix=/usr\n" "velkor.pc in the package")
