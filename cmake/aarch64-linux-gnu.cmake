# Cross-compiles for 64-bit ARM Linux with Debian's cross toolchain
# (g++-aarch64-linux-gnu):
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# Test programs run under qemu-user (qemu-aarch64) when it is installed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(VELKOR_CROSS_TRIPLET aarch64-linux-gnu)
# Where the cross toolchain keeps the target's C library and headers.
set(VELKOR_CROSS_ROOT /usr/${VELKOR_CROSS_TRIPLET})

find_program(CMAKE_C_COMPILER NAMES ${VELKOR_CROSS_TRIPLET}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VELKOR_CROSS_TRIPLET}-g++ REQUIRED)

# Header-only libraries (CLI11, nlohmann-json) are the same on every
# architecture, so the host's serve.  Their package files name the host's
# /usr/include, which must never reach the cross compiler (it holds the
# host's C library headers); a tree of links in the build directory holds
# just those libraries, and their package files are found there.
set(VELKOR_CROSS_HEADERS ${CMAKE_BINARY_DIR}/cross-headers)
if(NOT CMAKE_IN_TRY_COMPILE)
  foreach(link IN ITEMS include/CLI include/nlohmann share/cmake/CLI11 share/cmake/nlohmann_json)
    if(EXISTS /usr/${link} AND NOT EXISTS ${VELKOR_CROSS_HEADERS}/usr/${link})
      get_filename_component(parent ${VELKOR_CROSS_HEADERS}/usr/${link} DIRECTORY)
      file(MAKE_DIRECTORY ${parent})
      file(CREATE_LINK /usr/${link} ${VELKOR_CROSS_HEADERS}/usr/${link} SYMBOLIC)
    endif()
  endforeach()
endif()

set(CMAKE_FIND_ROOT_PATH ${VELKOR_CROSS_ROOT} ${VELKOR_CROSS_HEADERS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config must not hand out the host's libraries either.
set(ENV{PKG_CONFIG_LIBDIR} ${VELKOR_CROSS_ROOT}/lib/pkgconfig)

# Without binfmt_misc the kernel cannot start an aarch64 program: every test
# program is started through qemu-aarch64 with the cross toolchain's loader.
find_program(VELKOR_QEMU_AARCH64 NAMES qemu-aarch64 qemu-aarch64-static)
if(VELKOR_QEMU_AARCH64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VELKOR_QEMU_AARCH64} -L ${VELKOR_CROSS_ROOT})
endif()
