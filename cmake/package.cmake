# The Debian package: what `cmake --install` puts in place, under /usr, the
# udev rule in /usr/lib/udev/rules.d included.
#   cd build && cpack -G DEB
set(CPACK_GENERATOR DEB CACHE STRING "Package generators cpack runs by default")
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "Velkor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "SDK for the Velkor UHF RFID reader: C library, headers, udev rule and tool")
set(CPACK_PACKAGE_DESCRIPTION
    "Host-side SDK for the Velkor desktop UHF RFID reader, a USB HID device: the shared \
library libVelkor with its flat C API, its headers, pkg-config and CMake package files, \
the udev rule that gives the user at the seat access to the reader, and the velkor \
command-line tool.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays in the build tree, out of the package.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velkor SDK maintainers <sdk@velkor.invalid>")
set(CPACK_DEBIAN_PACKAGE_SECTION libs)
# Dependencies from the binaries themselves; the shlibs file lets other
# packages depend on libVelkor.so.1, and its trigger runs ldconfig.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
if(CMAKE_CROSSCOMPILING)
  include(${CMAKE_CURRENT_LIST_DIR}/package_cross.cmake)
endif()
include(CPack)
