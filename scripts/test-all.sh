#!/usr/bin/env bash
# Builds everything and runs every test suite: the Release build a user
# makes, with its tests; the library and the tool with Debian's hardening
# flags, as a distribution builds them; the whole suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer; the integration suite
# (threads, socket pairs, signals) and the application core's suite (jobs on
# several threads) under ThreadSanitizer; a short run of each
# libFuzzer target; the aarch64 build under qemu-user; then the Windows build
# under Wine (SKIP_WINDOWS=1 leaves it out), and last the .NET binding's
# NuGet package with the libraries of those builds.  Every build here stops
# on a warning (VELKOR_WERROR).  scripts/install-deps.sh --tests installs
# what all of it needs.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVELKOR_TESTS=ON -DVELKOR_REQUIRE_TEST_TOOLS=ON \
  -DVELKOR_WERROR=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# A package build's flags (hardening=+all: also PIE and immediate binding);
# CMake reads no CPPFLAGS, so they go in front of the compilers' flags, as
# debhelper puts them.
flags() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
cmake -S . -B build-hardened -DCMAKE_BUILD_TYPE=None -DVELKOR_TESTS=OFF -DVELKOR_WERROR=ON \
  -DCMAKE_C_FLAGS="$(flags CPPFLAGS) $(flags CFLAGS)" \
  -DCMAKE_CXX_FLAGS="$(flags CPPFLAGS) $(flags CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(flags LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flags LDFLAGS)"
cmake --build build-hardened -j"$jobs" --target Velkor velkor
./build-hardened/tools/velkor --emulate inventory

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELKOR_SANITIZE=ON -DVELKOR_WERROR=ON
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_SANITIZE=thread \
  -DVELKOR_WERROR=ON
cmake --build build-tsan -j"$jobs" --target velkor_integration_tests velkor_app_tests velkor_app
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan -L '^(integration|app)$' --output-on-failure -j"$jobs"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_FUZZ=ON \
  -DVELKOR_WERROR=ON
cmake --build build-fuzz -j"$jobs" \
  --target velkor_command_fuzzer velkor_device_list_fuzzer velkor_serve_request_fuzzer \
  velkor_fuzz_seeds
./scripts/fuzz.sh 60

./scripts/test-arm64.sh

runtimes="linux-x64 linux-arm64"
if [ -z "${SKIP_WINDOWS:-}" ]; then
  ./scripts/test-windows.sh
  runtimes="$runtimes win-x64"
fi

# The .NET binding's NuGet package, with the native libraries of every
# runtime built above; it fails when one is missing.
VELKOR_NUGET_RUNTIMES="$runtimes" cmake --build build --target velkor_nuget

