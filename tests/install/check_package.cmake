# Builds the Debian packages with CPack and checks them as a distribution
# would: which files each holds (dpkg-deb --contents), their fields, lintian
# (no errors), and then, installed into a scratch root, the tool, a C program
# built against the installed -dev package and the Python package each run
# an emulated inventory.
#   cmake -DBUILD_DIR=... -DWORK_DIR=... -DVERSION=x.y.z -DDPKG_DEB=... -DDPKG=...
#         -DLINTIAN=... -DPKG_CONFIG=... -DC_COMPILER=... -DPYTHON=... -DREADELF=...
#         -P check_package.cmake
cmake_minimum_required(VERSION 3.24)
include(${CMAKE_CURRENT_LIST_DIR}/run_checked.cmake)

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
string(REGEX MATCH "^[0-9]+" major "${VERSION}")
velkor_run_checked(OUTPUT arch COMMAND ${DPKG} --print-architecture)
string(STRIP "${arch}" arch)

velkor_run_checked(OUTPUT ignored
  COMMAND ${CMAKE_CPACK_COMMAND} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake
          -B ${WORK_DIR})
file(GLOB packages RELATIVE ${WORK_DIR} ${WORK_DIR}/*.deb)
list(SORT packages)
set(expected libvelkor-app1_${VERSION}_${arch}.deb
             libvelkor-dev_${VERSION}_${arch}.deb libvelkor-epc1_${VERSION}_${arch}.deb
             libvelkor-mqtt1_${VERSION}_${arch}.deb libvelkor1_${VERSION}_${arch}.deb
             python3-velkor_${VERSION}_all.deb velkor-tools_${VERSION}_${arch}.deb)
if(NOT packages STREQUAL expected)
  message(FATAL_ERROR "packages built: ${packages}\nexpected: ${expected}")
endif()

# Per package: entries it must hold, a pattern no entry may match, and a
# pattern its Depends field must match.
set(usr " ./usr")
set(doc "share/doc")
set(libvelkor1_has
  "${usr}/lib/libVelkor.so.${VERSION}\n"
  "${usr}/lib/libVelkor.so.${major} -> libVelkor.so.${VERSION}\n"
  "${usr}/lib/udev/rules.d/70-velkor.rules\n")
set(libvelkor1_not "/include/|/bin/|\\.so( |\n)|emulator|\\.pc\n|/cmake/")
set(libvelkor1_depends "libc6")
# Each further library in a package named after its soname, as Debian splits them.
foreach(library epc mqtt app)
  set(libvelkor-${library}1_has
    "${usr}/lib/libvelkor_${library}.so.${VERSION}\n"
    "${usr}/lib/libvelkor_${library}.so.${major} -> libvelkor_${library}.so.${VERSION}\n")
  set(libvelkor-${library}1_not "/include/|/bin/|\\.so( |\n)|emulator|libVelkor|udev")
  set(libvelkor-${library}1_depends "libc6")
endforeach()
set(libvelkor-dev_has
  "${usr}/include/velkor.h\n" "${usr}/include/velkor_link.hpp\n" "${usr}/include/velkor.hpp\n"
  "${usr}/include/velkor_emulator.h\n" "${usr}/include/velkor_epc.h\n"
  "${usr}/include/velkor_epc.hpp\n"
  "${usr}/include/velkor_mqtt.h\n" "${usr}/include/velkor_mqtt.hpp\n"
  "${usr}/include/velkor_app.h\n"
  "${usr}/lib/libVelkor.so -> libVelkor.so.${major}\n"
  "${usr}/lib/libvelkor_epc.so -> libvelkor_epc.so.${major}\n"
  "${usr}/lib/libvelkor_mqtt.so -> libvelkor_mqtt.so.${major}\n"
  "${usr}/lib/libvelkor_app.so -> libvelkor_app.so.${major}\n"
  "${usr}/lib/libvelkor_emulator.so\n"
  "${usr}/lib/pkgconfig/velkor.pc\n" "${usr}/lib/pkgconfig/velkor-emulator.pc\n"
  "${usr}/lib/pkgconfig/velkor-app.pc\n"
  "${usr}/lib/pkgconfig/velkor-epc.pc\n" "${usr}/lib/pkgconfig/velkor-mqtt.pc\n"
  "${usr}/lib/cmake/Velkor/VelkorConfig.cmake\n" "${usr}/lib/cmake/Velkor/VelkorTargets.cmake\n"
  "${usr}/${doc}/libvelkor-dev/README.md\n" "${usr}/${doc}/libvelkor-dev/docs/index.md\n"
  "${usr}/${doc}/libvelkor-dev/examples/first_inventory.c\n")
set(libvelkor-dev_not "\\./[^ ]*\\.so\\.[0-9]|/bin/|udev|_tests|gtest|gmock|_core")
set(libvelkor-dev_depends
  "libvelkor1 \\(= ${VERSION}\\), libvelkor-epc1 \\(= ${VERSION}\\), libvelkor-mqtt1 \\(= ${VERSION}\\), libvelkor-app1 \\(= ${VERSION}\\)")
set(velkor-tools_has "${usr}/bin/velkor\n" "${usr}/share/man/man1/velkor.1.gz\n"
  "${usr}/share/bash-completion/completions/velkor\n"
  "${usr}/share/zsh/vendor-completions/_velkor\n"
  "${usr}/share/fish/vendor_completions.d/velkor.fish\n")
set(velkor-tools_not "/lib/lib|/include/")
set(velkor-tools_depends
  "libvelkor1 \\(= ${VERSION}\\), libvelkor-epc1 \\(= ${VERSION}\\)[^\n]*libc6|libc6[^\n]*libvelkor1 \\(= ${VERSION}\\), libvelkor-epc1")
set(python3-velkor_has
  "${usr}/lib/python3/dist-packages/velkor/__init__.py\n"
  "${usr}/lib/python3/dist-packages/velkor/_lib.py\n")
set(python3-velkor_not "\\.so|\\.pyc|/bin/")
set(python3-velkor_depends "python3:any, libvelkor1")

foreach(file IN LISTS packages)
  string(REGEX MATCH "^[^_]+" package ${file})
  velkor_run_checked(OUTPUT contents COMMAND ${DPKG_DEB} --contents ${WORK_DIR}/${file})
  foreach(entry IN LISTS ${package}_has
      "${usr}/${doc}/${package}/copyright\n" "${usr}/${doc}/${package}/changelog.gz\n")
    velkor_expect_part("${contents}" "${entry}" "dpkg-deb --contents ${file}")
  endforeach()
  string(REGEX MATCH "[^\n]*(${${package}_not})[^\n]*" stray "${contents}")
  if(stray)
    message(FATAL_ERROR "${file} holds what belongs elsewhere: ${stray}")
  endif()
  velkor_run_checked(OUTPUT fields
    COMMAND ${DPKG_DEB} --field ${WORK_DIR}/${file} Package Version Depends)
  velkor_expect_output("${fields}" "Package: ${package}\nVersion: ${VERSION}\n" "${file}'s fields")
  velkor_expect_output("${fields}" "Depends: [^\n]*(${${package}_depends})" "${file}'s Depends")
endforeach()

if(LINTIAN)
  # Errors fail; warnings and notes are a packager's judgement.
  execute_process(COMMAND ${LINTIAN} --fail-on error --tag-display-limit 0 ${packages}
                  WORKING_DIRECTORY ${WORK_DIR} OUTPUT_VARIABLE out ERROR_VARIABLE err
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "lintian reports errors:\n${out}${err}")
  endif()
endif()

# The scratch root: every package unpacked into it, as dpkg would place them.
set(root ${WORK_DIR}/root)
foreach(file IN LISTS packages)
  velkor_run_checked(OUTPUT ignored COMMAND ${DPKG_DEB} --extract ${WORK_DIR}/${file} ${root})
endforeach()
file(READ ${root}/usr/lib/pkgconfig/velkor.pc pc)
velkor_expect_output("${pc}" "^prefix=/usr\n" "velkor.pc in the package")
set(in_root ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${root}/usr/lib
    --unset=VELKOR_LIBRARY --unset=VELKOR_EMULATOR_LIBRARY)

# The packaged tool has no search path of its own and finds the library
# where the system's search path would.
velkor_run_checked(OUTPUT dynamic COMMAND ${READELF} -d ${root}/usr/bin/velkor)
if(dynamic MATCHES "R(UN)?PATH")
  message(FATAL_ERROR "the packaged tool keeps a search path:\n${dynamic}")
endif()
velkor_run_checked(OUTPUT tool COMMAND ${in_root} ${root}/usr/bin/velkor --emulate inventory)
# EPCs only on standard output, one a line (the count goes to standard error).
velkor_expect_output("${tool}" "^([0-9A-F]+\n)+$" "the packaged tool's inventory")

# A C program built against the -dev package, as pkg-config gives it.
velkor_run_checked(OUTPUT flags
  COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_SYSROOT_DIR=${root}
          PKG_CONFIG_LIBDIR=${root}/usr/lib/pkgconfig
          ${PKG_CONFIG} --cflags --libs velkor-emulator)
separate_arguments(flags UNIX_COMMAND "${flags}")
velkor_run_checked(OUTPUT ignored
  COMMAND ${C_COMPILER} -std=c99 -Wall -Wextra -Werror
          ${root}/usr/share/doc/libvelkor-dev/examples/first_inventory.c ${flags}
          -o ${WORK_DIR}/first_inventory)
velkor_run_checked(OUTPUT example COMMAND ${in_root} ${WORK_DIR}/first_inventory --emulate)
velkor_expect_output("${example}" "\ninventory: 5 tags\n.*\nTID of tag 1: [0-9A-F]+\n$"
                     "the example against the -dev package")

# The Python package finds both libraries in the root's /usr/lib by itself.
velkor_run_checked(OUTPUT run
  COMMAND ${in_root} --unset=LD_LIBRARY_PATH PYTHONPATH=${root}/usr/lib/python3/dist-packages
          ${PYTHON} ${CMAKE_CURRENT_LIST_DIR}/emulated_inventory.py
  WORKING_DIRECTORY ${WORK_DIR})
velkor_expect_output("${run}" "^library ${root}/usr/lib/libVelkor\\.so[^\n]*\nemulator ${root}/usr/lib/libvelkor_emulator\\.so\nmqtt ${root}/usr/lib/libvelkor_mqtt\\.so[^\n]*\nepc ${root}/usr/lib/libvelkor_epc\\.so[^\n]*\ncore ${root}/usr/lib/libvelkor_app\\.so[^\n]*\n6 tags\n$"
                     "python3-velkor in the scratch root")
