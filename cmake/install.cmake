# What `cmake --install` puts in place, by component:
#   runtime  the shared library (on Linux its soname file) and the udev rule
#   epc      the EPC codec library (its soname file)
#   mqtt     the MQTT publisher library (its soname file)
#   app      the application core's library (its soname file)
#   dev      the headers, the unversioned links or import libraries, the
#            pkg-config files (velkor, velkor-emulator, velkor-epc,
#            velkor-mqtt, velkor-app) and the CMake package (Velkor::Velkor,
#            Velkor::Emulator, Velkor::Epc, Velkor::Mqtt, Velkor::App), the
#            emulator library and its header
#   tools    the velkor tool (its man page and completions join it)
#   python   the velkor Python package
#   dotnet   the .NET binding and its config for Mono (bindings/dotnet)
#   doc      README.md, docs/ and examples/, in the same tree as the sources
#            so that their links hold
# `cmake --install build --strip` leaves the debug information behind.  The
# tests are never installed.
include(CMakePackageConfigHelpers)

set(VELKOR_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Velkor CACHE STRING
    "Where the CMake package files go, relative to the prefix")
set(VELKOR_UDEV_RULES_DIR lib/udev/rules.d CACHE STRING
    "Where the udev rule goes, relative to the prefix")
set(VELKOR_PYTHON_DIR lib/python3/dist-packages CACHE STRING
    "Where the velkor Python package goes, relative to the prefix")
set(VELKOR_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/libvelkor-dev CACHE STRING
    "Where the documentation and the examples go, relative to the prefix")

install(TARGETS Velkor EXPORT VelkorTargets
        RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime
        LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime
                NAMELINK_COMPONENT dev
        ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
install(FILES include/velkor.h include/velkor_link.hpp include/velkor.hpp
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)

# The emulator, for applications' own tests and for trying the SDK without a
# reader: Velkor::Emulator in the CMake package, velkor-emulator in
# pkg-config.  The shipped library never loads it.
if(TARGET velkor_emulator_shared AND NOT WIN32)
  set_target_properties(velkor_emulator_shared PROPERTIES EXPORT_NAME Emulator)
  target_include_directories(velkor_emulator_shared INTERFACE
    $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}/emulator>
    $<INSTALL_INTERFACE:${CMAKE_INSTALL_INCLUDEDIR}>)
  install(TARGETS velkor_emulator_shared EXPORT VelkorTargets
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev)
  install(FILES emulator/velkor_emulator.h
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} COMPONENT dev)
endif()

# The CMake package, relocatable: every path in it is relative to its own
# location, so an installed tree may be moved or installed with --prefix.
install(EXPORT VelkorTargets NAMESPACE Velkor::
        DESTINATION ${VELKOR_CMAKE_DIR} COMPONENT dev)
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
        DESTINATION ${VELKOR_CMAKE_DIR} COMPONENT dev)

install(FILES README.md DESTINATION ${VELKOR_DOC_DIR} COMPONENT doc)
install(DIRECTORY docs/ DESTINATION ${VELKOR_DOC_DIR}/docs COMPONENT doc
        FILES_MATCHING PATTERN "*.md" PATTERN "*.schema.json" PATTERN "*.png")
install(FILES examples/first_inventory.c examples/tag_session.cpp examples/CMakeLists.txt
        DESTINATION ${VELKOR_DOC_DIR}/examples COMPONENT doc)

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
# One file per library a program links: the reader library, the emulator,
# the codec, the publisher and the application core (pkg-config --libs velkor-epc, ...).
set(VELKOR_PC_FILES velkor velkor-epc)
if(TARGET velkor_emulator_shared)
  list(APPEND VELKOR_PC_FILES velkor-emulator)
endif()
if(TARGET velkor_mqtt)
  list(APPEND VELKOR_PC_FILES velkor-mqtt)
endif()
if(TARGET velkor_app)
  list(APPEND VELKOR_PC_FILES velkor-app)
endif()
foreach(pc IN LISTS VELKOR_PC_FILES)
  configure_file(${CMAKE_CURRENT_LIST_DIR}/${pc}.pc.in
                 ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc.body @ONLY)
  install(CODE "
    file(READ \"${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc.body\" body)
    file(WRITE \"${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc\" \"prefix=\${CMAKE_INSTALL_PREFIX}\\n\${body}\")
  " COMPONENT dev)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${pc}.pc
          DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()

install(FILES udev/70-velkor.rules DESTINATION ${VELKOR_UDEV_RULES_DIR} COMPONENT runtime)

# The tool finds the library beside it in the installed tree, wherever the
# tree was installed.  (The Debian package drops this search path: there the
# library is on the system's.)
if(TARGET velkor)
  file(RELATIVE_PATH VELKOR_BIN_TO_LIB
       ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
  set_target_properties(velkor PROPERTIES INSTALL_RPATH "$ORIGIN/${VELKOR_BIN_TO_LIB}")
  install(TARGETS velkor RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tools)
endif()

# The Python package; pip installs the same sources (bindings/python).
install(DIRECTORY bindings/python/velkor DESTINATION ${VELKOR_PYTHON_DIR}
        COMPONENT python FILES_MATCHING PATTERN "*.py" PATTERN "py.typed")
