# What `cmake --install` puts in place: the headers, the shared library (with
# its version links on Linux, its import library on Windows), a CMake package
# (find_package(Velkor) gives Velkor::Velkor) and, on Linux, a pkg-config file,
# the udev rule and the velkor tool.  The emulator and the tests are never
# installed.
include(CMakePackageConfigHelpers)

set(VELKOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velkor CACHE STRING
    "Where the CMake package files go, relative to the prefix")
set(VELKOR_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the udev rule goes, relative to the prefix")

install(TARGETS Velkor EXPORT VelkorTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR}
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/velkor.h include/velkor_link.hpp include/velkor.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})

# The CMake package, relocatable: every path in it is relative to its own
# location, so an installed tree may be moved or installed with --prefix.
install(EXPORT VelkorTargets NAMESPACE Velkor::
        DESTINATION ${VELKOR_CMAKE_DIR})
configure_package_config_file(
  ${CMAKE_CURRENT_LIST_DIR}/VelkorConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/VelkorConfig.cmake
  INSTALL_DESTINATION ${VELKOR_CMAKE_DIR})
# 1.x is compatible with every 1.y no newer than itself: the soname's major.
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/VelkorConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/VelkorConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/VelkorConfigVersion.cmake
        DESTINATION ${VELKOR_CMAKE_DIR})

install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(DIRECTORY docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR}
        FILES_MATCHING PATTERN "*.md")
install(FILES examples/first_inventory.c examples/tag_session.cpp examples/CMakeLists.txt
        DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples)

if(NOT CMAKE_SYSTEM_NAME STREQUAL "Linux")
  return()
endif()

# pkg-config: the prefix is the one installed into (--prefix, or the
# packaging prefix), known only at install time.
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
  set(VELKOR_PC_LIBDIR "${CMAKE_INSTALL_LIBDIR}")
else()
  set(VELKOR_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
endif()
if(IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
  set(VELKOR_PC_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}")
else()
  set(VELKOR_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/velkor.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/velkor.pc.body @ONLY)
set(VELKOR_PC_FILE ${CMAKE_CURRENT_BINARY_DIR}/velkor.pc)
install(CODE "
  file(READ \"${CMAKE_CURRENT_BINARY_DIR}/velkor.pc.body\" body)
  file(WRITE \"${VELKOR_PC_FILE}\" \"prefix=\${CMAKE_INSTALL_PREFIX}\\n\${body}\")
")
install(FILES ${VELKOR_PC_FILE} DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

install(FILES udev/70-velkor.rules DESTINATION ${VELKOR_UDEV_RULES_DIR})

# The tool finds the library beside it in the installed tree, wherever the
# tree was installed.
if(TARGET velkor)
  file(RELATIVE_PATH VELKOR_BIN_TO_LIB
       ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(velkor PROPERTIES INSTALL_RPATH "$ORIGIN/${VELKOR_BIN_TO_LIB}")
  install(TARGETS velkor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
