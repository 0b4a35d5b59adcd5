#!/usr/bin/env bash
# Cross-builds the library, the tool and their tests for 64-bit ARM Linux
# with Debian's cross toolchain, runs the unit and tool suites under
# qemu-user, and builds and checks the arm64 Debian packages.  Only what
# this run needs is built.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
build=build-arm64

# No install rule waits for the whole tree: the packages hold only the
# targets built below.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_WERROR=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake \
  -DVELKOR_REQUIRE_TEST_TOOLS=ON -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON
cmake --build "$build" -j"$jobs" \
  --target Velkor velkor velkor_docs velkor_emulator_shared velkor_epc velkor_mqtt velkor_app \
  velkor_unit_tests \
  velkor_epc_tests velkor_tool_tests

# Every test program, and the tool the tool tests start, runs under
# qemu-aarch64 (the toolchain's CMAKE_CROSSCOMPILING_EMULATOR).
# The completion and terminal checks are host scripts that run the tool
# directly, so they belong to the native run.
ctest --test-dir "$build" --output-on-failure -j"$jobs" -L '^(unit|tool|package)$' \
  -E '^tool\.(completions|watch_terminal)$'
