# Installs the build tree, stripped, into a fresh prefix and uses it as an
# application would: the C and C++ examples are built against the installed
# tree through find_package(Velkor) and through pkg-config, and each build
# runs an emulated session; the installed documentation's links hold.
# Getting started's table of installed files and its section on linking the
# codec and the publisher hold for the installed tree.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DSOURCE_DIR=... -DVERSION=x.y.z
#         -DC_COMPILER=... -DREADELF=... -DPKG_CONFIG=... -DPYTHON=...
#         [-DMOSQUITTO=...] -P check_install.cmake
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

set(prefix ${WORK_DIR}/prefix)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
string(REGEX MATCH "^[0-9]+" major "${VERSION}")

velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} --strip)

set(docdir share/doc/libvelkor-dev)
set(expected
  bin/velkor
  include/velkor.h
  include/velkor_link.hpp
  include/velkor.hpp
  include/velkor_emulator.h
  include/velkor_epc.h
  include/velkor_epc.hpp
  include/velkor_mqtt.h
  include/velkor_mqtt.hpp
  include/velkor_app.h
  lib/libvelkor_epc.so
  lib/libvelkor_epc.so.${major}
  lib/libvelkor_mqtt.so
  lib/libvelkor_mqtt.so.${major}
  lib/libvelkor_app.so
  lib/libvelkor_app.so.${major}
  lib/libVelkor.so
  lib/libVelkor.so.${major}
  lib/libVelkor.so.${VERSION}
  lib/libvelkor_emulator.so
  lib/cmake/Velkor/VelkorConfig.cmake
  lib/cmake/Velkor/VelkorConfigVersion.cmake
  lib/cmake/Velkor/VelkorTargets.cmake
  lib/pkgconfig/velkor.pc
  lib/pkgconfig/velkor-emulator.pc
  lib/pkgconfig/velkor-app.pc
  lib/pkgconfig/velkor-epc.pc
  lib/pkgconfig/velkor-mqtt.pc
  lib/udev/rules.d/70-velkor.rules
  lib/python3/dist-packages/velkor/__init__.py
  ${docdir}/README.md
  ${docdir}/docs/index.md
  ${docdir}/examples/first_inventory.c
  ${docdir}/examples/tag_session.cpp
  ${docdir}/examples/CMakeLists.txt)
foreach(file IN LISTS expected)
  if(NOT EXISTS ${prefix}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
# No test, no internal archive, no file a package alone carries.
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${prefix} ${prefix}/*)
foreach(file IN LISTS installed)
  if(file MATCHES "_tests|gtest|gmock|_core|\\.a$|/copyright$|changelog")
    message(FATAL_ERROR "installed but not part of the SDK: ${file}")
  endif()
endforeach()

# --strip: the symbol table and the debug information stay in the build tree
# (where every build type has a symbol table).
foreach(binary bin/velkor lib/libVelkor.so.${VERSION} lib/libvelkor_emulator.so)
  velkor_run_checked(OUTPUT sections COMMAND ${READELF} -S ${prefix}/${binary})
  if(sections MATCHES "\\.(symtab|debug_info)")
    message(FATAL_ERROR "cmake --install --strip left symbols or debug information in ${binary}")
  endif()
endforeach()

# Every relative link of the installed documentation names an installed file.
file(GLOB_RECURSE pages ${prefix}/${docdir}/*.md)
foreach(page IN LISTS pages)
  file(READ ${page} text)
  # Brackets would split CMake's lists: the link marker becomes a plain word.
  string(REPLACE "](" " LINK:" text "${text}")
  string(REGEX MATCHALL " LINK:[^)# ]+" links "${text}")
  get_filename_component(dir ${page} DIRECTORY)
  foreach(link IN LISTS links)
    string(SUBSTRING "${link}" 6 -1 target)
    if(NOT target MATCHES "^[a-z]+:" AND NOT EXISTS ${dir}/${target})
      file(RELATIVE_PATH shown ${prefix} ${page})
      message(FATAL_ERROR "${shown} links to ${target}, which is not installed")
    endif()
  endforeach()
endforeach()

# The versioned library: libVelkor.so -> .so.MAJOR -> .so.VERSION, soname .so.MAJOR.
file(READ_SYMLINK ${prefix}/lib/libVelkor.so dev_link)
file(READ_SYMLINK ${prefix}/lib/libVelkor.so.${major} soname_link)
if(NOT dev_link STREQUAL "libVelkor.so.${major}" OR
   NOT soname_link STREQUAL "libVelkor.so.${VERSION}")
  message(FATAL_ERROR "library links: libVelkor.so -> ${dev_link}, "
                      "libVelkor.so.${major} -> ${soname_link}")
endif()
velkor_run_checked(OUTPUT dynamic COMMAND ${READELF} -d ${prefix}/lib/libVelkor.so.${VERSION})
if(NOT dynamic MATCHES "soname: \\[libVelkor\\.so\\.${major}\\]")
  message(FATAL_ERROR "soname is not libVelkor.so.${major}:\n${dynamic}")
endif()

# The installed tool finds the installed library and its built-in emulator.
velkor_run_checked(OUTPUT tool COMMAND ${prefix}/bin/velkor --version)
velkor_expect_output("${tool}" "^velkor ${VERSION}\n$" "the installed tool's version")
velkor_run_checked(OUTPUT tool COMMAND ${prefix}/bin/velkor --emulate info)
velkor_expect_output("${tool}" "library +${VERSION}" "the installed tool's info")

# The example through find_package(Velkor), with the project's warnings.
set(cmake_build ${WORK_DIR}/find-package)
velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples -B ${cmake_build}
          -DCMAKE_PREFIX_PATH=${prefix} -DCMAKE_C_COMPILER=${C_COMPILER}
          -DCMAKE_CXX_COMPILER=${CXX_COMPILER}
          "-DCMAKE_C_FLAGS=-Wall -Wextra -Werror" "-DCMAKE_CXX_FLAGS=-Wall -Wextra -Werror")
file(STRINGS ${cmake_build}/CMakeCache.txt found_dir REGEX "^Velkor_DIR:")
if(NOT found_dir STREQUAL "Velkor_DIR:PATH=${prefix}/lib/cmake/Velkor")
  message(FATAL_ERROR "find_package(Velkor) found another package: ${found_dir}")
endif()
velkor_run_checked(OUTPUT ignored COMMAND ${CMAKE_COMMAND} --build ${cmake_build})
velkor_run_checked(OUTPUT example COMMAND ${cmake_build}/first_inventory --version)
velkor_expect_output("${example}" "^first_inventory: Velkor library ${VERSION}\n$"
                     "the find_package build")
velkor_run_checked(OUTPUT example COMMAND ${cmake_build}/first_inventory --emulate)
velkor_expect_output("${example}" "\ninventory: 5 tags\n.*\nTID of tag 1: [0-9A-F]+\n$"
                     "the find_package build's emulated inventory")

# The example through pkg-config, as a Makefile would build it.
set(ENV{PKG_CONFIG_PATH} ${prefix}/lib/pkgconfig)
velkor_run_checked(OUTPUT flags COMMAND ${PKG_CONFIG} --cflags --libs velkor-emulator)
velkor_expect_part("${flags}" "-I${prefix}/include " "pkg-config --cflags")
velkor_expect_part("${flags}" "-L${prefix}/lib -lvelkor_emulator -lVelkor" "pkg-config --libs")
velkor_run_checked(OUTPUT version COMMAND ${PKG_CONFIG} --modversion velkor)
velkor_expect_output("${version}" "^${VERSION}\n$" "pkg-config --modversion")
separate_arguments(flags UNIX_COMMAND "${flags}")
set(pc_program ${WORK_DIR}/pkg-config/first_inventory)
file(MAKE_DIRECTORY ${WORK_DIR}/pkg-config)
velkor_run_checked(OUTPUT ignored
  COMMAND ${C_COMPILER} -std=c99 -Wall -Wextra -Werror
          ${SOURCE_DIR}/examples/first_inventory.c ${flags} -o ${pc_program})
velkor_run_checked(OUTPUT example
  COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${pc_program} --version)
velkor_expect_output("${example}" "^first_inventory: Velkor library ${VERSION}\n$"
                     "the pkg-config build")
velkor_run_checked(OUTPUT example
  COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${pc_program} --emulate)
velkor_expect_output("${example}" "\ninventory: 5 tags\n" "the pkg-config build's emulated inventory")

# The C++ example (velkor.hpp) both ways: a real session on the installed
# emulator (inventory, TID read, user memory written and read back), and,
# without a reader, the failed call and its status in GetReturnCodeText's
# words (handle 999 is no open descriptor).
function(velkor_expect_cpp_session program what)
  velkor_run_checked(OUTPUT out
    COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib ${program} --emulate)
  velkor_expect_output("${out}"
    "^inventory: 5 tags\n.*\nTID of tag 1: [0-9A-F]+\nuser memory of tag 1: CAFEF00D\n$"
    "${what}'s emulated session")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${prefix}/lib
                          ${program} --handle 999
                  OUTPUT_VARIABLE out ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 1)
    message(FATAL_ERROR "${what}: exit ${rc}, expected 1:\n${out}${err}")
  endif()
  velkor_expect_part("${err}" "Inventory_G2 failed with 0x30: no complete reply in time" "${what}")
endfunction()
velkor_expect_cpp_session(${cmake_build}/tag_session "the find_package C++ build")
set(pc_cpp_program ${WORK_DIR}/pkg-config/tag_session)
velkor_run_checked(OUTPUT cpp_flags COMMAND ${PKG_CONFIG} --cflags --libs velkor-emulator velkor-app)
velkor_expect_part("${cpp_flags}" "-lvelkor_app" "pkg-config --libs velkor-app")
separate_arguments(cpp_flags UNIX_COMMAND "${cpp_flags}")
velkor_run_checked(OUTPUT ignored
  COMMAND ${CXX_COMPILER} -std=c++17 -Wall -Wextra -Werror
          ${SOURCE_DIR}/examples/tag_session.cpp ${cpp_flags} -o ${pc_cpp_program})
velkor_expect_cpp_session(${pc_cpp_program} "the pkg-config C++ build")

# Every file installed is in Getting started's table, and every file it
# names is installed.
velkor_run_checked(OUTPUT ignored
  COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_install_table.py
          ${SOURCE_DIR}/docs/getting-started.md ${prefix})
# Its section on linking the codec and the publisher, run as it stands.
if(NOT MOSQUITTO)
  set(MOSQUITTO "")
endif()
velkor_run_checked(OUTPUT ignored
  COMMAND ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/check_linking.py
          ${SOURCE_DIR}/docs/getting-started.md ${prefix} ${WORK_DIR}/linking
          ${CMAKE_COMMAND} ${MOSQUITTO})
