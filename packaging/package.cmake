# The Debian packages, split as a distribution splits a C library; one
# package per install component (the doc component goes with dev):
#   libvelkor1      runtime  libVelkor.so.1 and the udev rule
#   libvelkor-epc1  epc      libvelkor_epc.so.1, the EPC codec
#   libvelkor-mqtt1 mqtt     libvelkor_mqtt.so.1, the MQTT publisher
#   libvelkor-app1  app      libvelkor_app.so.1, the application core
#   libvelkor-dev   dev doc  headers, the links, pkg-config and CMake package
#                            files, the emulator library and header, the
#                            documentation and examples
#   velkor-tools    tools    the velkor tool, its man page and completions
#   python3-velkor  python   the velkor Python package
# Each holds /usr/share/doc/<package>/copyright and changelog.gz.
#   cd build && cpack -G DEB
set(CPACK_GENERATOR DEB CACHE STRING "Package generators cpack runs by default")
set(CPACK_PACKAGE_NAME velkor)
set(CPACK_PACKAGE_VENDOR "Velkor")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "SDK for the Velkor UHF RFID reader")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Debug information stays in the build tree, out of the packages.
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Velkor SDK maintainers <sdk@velkor.invalid>")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://velkor.invalid/sdk")
# Dependencies from the binaries themselves.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Read by cpack: the tool's dependency on libVelkor.so.1 is found in the
# runtime package being built, and the tool loses the search path it has in
# a plain install.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_options.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/drop_rpath.cmake)

set(VELKOR_DEB_DESCRIPTION
    "Host-side SDK for the Velkor desktop UHF RFID reader, a USB HID device.")
set(VELKOR_DEB_EXACT "(= ${PROJECT_VERSION})")

set(CPACK_COMPONENT_RUNTIME_GROUP runtime)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libvelkor1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# The shlibs files let other packages depend on the shared libraries; their
# triggers run ldconfig.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
# dpkg runs ldconfig once after installing the packages with libraries.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
set(CPACK_DEBIAN_DEV_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_RUNTIME_DESCRIPTION "Velkor reader SDK: shared library
${VELKOR_DEB_DESCRIPTION}

This package holds the shared library libVelkor with its flat C API and
the udev rule that gives the user at the seat access to the reader.")

# The codec and the publisher: a library package each, named after its soname.
set(velkor_epc_summary "EPC codec library")
set(velkor_epc_text "This package holds libvelkor_epc, which decodes and encodes GS1 EPC
identities (SGTIN, SSCC, SGLN, GRAI, GIAI, GID, GSRN, GDTI) to and from
tag memory, tag URIs and GS1 element strings.")
set(velkor_mqtt_summary "MQTT publisher library")
set(velkor_mqtt_text "This package holds libvelkor_mqtt, which publishes tag reads to an MQTT
broker with a store-and-forward spool, as velkor inventory --watch --mqtt
does.")
set(velkor_app_summary "application core library")
set(velkor_app_text "This package holds libvelkor_app, the application core under the velkor
tool and the bindings: reader sessions, the watch, the one-tag rule of every
tag-changing operation, the reader's settings decoded, commissioning with
its journal, and the JSON event model, behind a C API.")
foreach(group epc mqtt app)
  string(TOUPPER ${group} upper)
  set(CPACK_COMPONENT_${upper}_GROUP ${group})
  set(CPACK_DEBIAN_${upper}_PACKAGE_NAME libvelkor-${group}1)
  set(CPACK_DEBIAN_${upper}_PACKAGE_SECTION libs)
  set(CPACK_DEBIAN_${upper}_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
  set(CPACK_DEBIAN_${upper}_DESCRIPTION "Velkor reader SDK: ${velkor_${group}_summary}
${VELKOR_DEB_DESCRIPTION}

${velkor_${group}_text}")
endforeach()

set(CPACK_COMPONENT_DEV_GROUP dev)
set(CPACK_COMPONENT_DOC_GROUP dev)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvelkor-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS
    "libvelkor1 ${VELKOR_DEB_EXACT}, libvelkor-epc1 ${VELKOR_DEB_EXACT}, libvelkor-mqtt1 ${VELKOR_DEB_EXACT}, libvelkor-app1 ${VELKOR_DEB_EXACT}")
set(CPACK_DEBIAN_DEV_DESCRIPTION "Velkor reader SDK: development files
${VELKOR_DEB_DESCRIPTION}

This package holds the headers, the pkg-config and CMake package files, the
reader emulator (libvelkor_emulator and velkor_emulator.h) for tests and
for trying the SDK without a reader, the documentation and the examples.")

set(CPACK_COMPONENT_TOOLS_GROUP tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_NAME velkor-tools)
set(CPACK_DEBIAN_TOOLS_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_TOOLS_PACKAGE_DEPENDS "libvelkor1 ${VELKOR_DEB_EXACT}, libvelkor-epc1 ${VELKOR_DEB_EXACT}")
set(CPACK_DEBIAN_TOOLS_DESCRIPTION "Velkor reader SDK: command-line tool
${VELKOR_DEB_DESCRIPTION}

This package holds the velkor tool: inventories, tag memory, reader
settings and scripts from the terminal, on a reader or on its built-in
emulator.")

set(CPACK_COMPONENT_PYTHON_GROUP python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-velkor)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PYTHON_PACKAGE_ARCHITECTURE all)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SHLIBDEPS OFF)
# The binding sits on the application core (its inventory, settings, one-tag
# rule, watch and commissioning).
set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
    "python3:any, libvelkor1 (>= ${PROJECT_VERSION}), libvelkor-app1 (>= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS
    "libvelkor-epc1 (>= ${PROJECT_VERSION}), libvelkor-mqtt1 (>= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PYTHON_PACKAGE_SUGGESTS "libvelkor-dev")
set(CPACK_DEBIAN_PYTHON_DESCRIPTION "Velkor reader SDK: Python binding
${VELKOR_DEB_DESCRIPTION}

This package holds the velkor Python package, which drives libVelkor
through ctypes; its emulated reader needs libvelkor-dev, velkor.mqtt needs
libvelkor-mqtt1.")

# /usr/share/doc/<package>: the copyright file and the changelog, in every
# package.  Only packages carry them (EXCLUDE_FROM_ALL keeps them out of a
# plain install).
configure_file(${CMAKE_CURRENT_LIST_DIR}/changelog.in
               ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog @ONLY)
file(ARCHIVE_CREATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
     PATHS ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog
     FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
foreach(group runtime epc mqtt app dev tools python)
  string(TOUPPER ${group} upper)
  set(package ${CPACK_DEBIAN_${upper}_PACKAGE_NAME})
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/copyright
                ${CMAKE_CURRENT_BINARY_DIR}/packaging/changelog.gz
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package}
          COMPONENT ${group}_package EXCLUDE_FROM_ALL)
  set(CPACK_COMPONENT_${upper}_PACKAGE_GROUP ${group})
endforeach()
# The .NET binding ships as a NuGet package (velkor_nuget), not as a Debian one.
get_cmake_property(CPACK_COMPONENTS_ALL COMPONENTS)
list(REMOVE_ITEM CPACK_COMPONENTS_ALL dotnet)
# A cross build's packages: the target's architecture and dependencies.
if(CMAKE_CROSSCOMPILING)
  include(${PROJECT_SOURCE_DIR}/cmake/package_cross.cmake)
endif()
include(CPack)
