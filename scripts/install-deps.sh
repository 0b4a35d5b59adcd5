#!/usr/bin/env bash
# Installs the Debian (or Ubuntu) packages the build needs, and with --tests
# those the tests need as well.  The one list of packages: nothing else in the
# project installs any.  Only what is missing is installed, through sudo when
# not run as root; the script says what it installs before it does.
#
#   scripts/install-deps.sh            the library, the tool (MQTT included) and the examples
#   scripts/install-deps.sh --tests    and every test (the Windows build included),
#                                      with the browser tests' npm package
#   scripts/install-deps.sh --windows  and the Windows cross build with Wine
#   scripts/install-deps.sh --list ... print the packages and install nothing
#
# A package's comment names, in backquotes, what the CMake files look for
# that it provides (find_package, find_program, velkor_find_test_program and
# pkg_check_modules names); the build_dependencies test checks that every name
# the CMake files use is named here, by the package that provides it, and
# that what the build itself (not its tests) looks for is on the first list.
set -euo pipefail

build_packages=(
  build-essential      # the C and C++ compilers, `c++filt`
  cmake
  ninja-build          # the quicker build tool README.md's first command uses
  pkg-config           # `pkg-config` `PkgConfig`
  libcli11-dev         # `CLI11`
  nlohmann-json3-dev   # `nlohmann_json`
  libmosquitto-dev     # `libmosquitto`, for velkor --mqtt and libvelkor_mqtt
  libboost-dev         # Boost.Beast and Asio for velkor serve, `Boost`
  libssl-dev           # its TLS, `OpenSSL`
)

test_packages=(
  libgtest-dev         # `GTest`
  libgmock-dev
  googletest           # the sources the Windows and aarch64 builds build GoogleTest from
  libbenchmark-dev     # `benchmark`
  clang                # the fuzz build
  libclang-rt-14-dev   # libFuzzer and the sanitizer runtimes for clang
  python3              # `Python3` `python3`
  python3-venv         # a fresh virtual environment for the pip install test
  file                 # cpack's dependency scan of the packaged binaries
  dpkg-dev             # `dpkg-shlibdeps`, `dpkg-buildflags`, and through dpkg `dpkg-deb` `dpkg`
  fakeroot             # `fakeroot`
  lintian              # `lintian`
  mmdebstrap           # `mmdebstrap`, the scratch Debian root apt-get installs the packages into
  doxygen              # `doxygen`
  mosquitto            # the broker, `mosquitto` `mosquitto_passwd`
  mosquitto-clients    # `mosquitto_sub` `mosquitto_pub`
  mono-mcs             # the C# compiler, `mcs`
  mono-runtime         # `mono`
  nuget                # `nuget`, which packs the .NET binding's NuGet package
  # The Mono assemblies the .NET binding's tests reference go here.
  mypy                 # `mypy`
  python3-jsonschema   # the event schema checks (the MQTT messages, the tool's --json)
  openssl              # `openssl`
  tmux                 # the live watch table in a real terminal, `tmux`
  wrk                  # `wrk`: bench/serve_bench.py loads velkor serve with it
  qemu-user            # `qemu-aarch64`
  chromium             # the console's browser tests, `chromium`
  nodejs               # which drive it through playwright-core, `node`
  qemu-system-x86      # `qemu-system-x86_64`: the kernel suite's guest
  busybox-static       # `busybox`: the kernel suite's guest userland (its kernel is fetched at test time)
  g++-aarch64-linux-gnu  # `aarch64-linux-gnu-g++` `aarch64-linux-gnu-gcc` `aarch64-linux-gnu-strip`
)

windows_packages=(
  mingw-w64            # the cross compilers, `windres` and `x86_64-w64-mingw32-strip`
  wine                 # `wine`
  wine64               # `wine64`
)

tests=0 windows=0 list=0
for arg in "$@"; do
  case $arg in
    --tests) tests=1 windows=1 ;;
    --windows) windows=1 ;;
    --list) list=1 ;;
    -h|--help) sed -n '2,15s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "install-deps.sh: unknown option $arg (see --help)" >&2; exit 2 ;;
  esac
done

wanted=("${build_packages[@]}")
if [ $tests = 1 ]; then wanted+=("${test_packages[@]}"); fi
if [ $windows = 1 ]; then wanted+=("${windows_packages[@]}"); fi
# npm comes apart from Debian's nodejs; a Node.js that brings its own needs none.
if [ $tests = 1 ] && ! command -v npm >/dev/null; then wanted+=(npm); fi
if [ $list = 1 ]; then printf '%s\n' "${wanted[@]}"; exit 0; fi

if ! command -v dpkg-query >/dev/null || ! command -v apt-get >/dev/null; then
  echo "install-deps.sh: this is not a Debian or Ubuntu system; install by hand:" >&2
  printf '  %s\n' "${wanted[@]}" >&2
  exit 1
fi

missing=()
for package in "${wanted[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  if [ "$status" != "install ok installed" ]; then missing+=("$package"); fi
done

# The browser tests' one npm package (playwright-core), as its lock file has
# it, into tests/browser/node_modules.
install_npm_packages() {
  if [ $tests = 1 ]; then
    echo "install-deps.sh: npm ci in tests/browser"
    (cd "$(dirname "$0")/../tests/browser" && npm ci --no-audit --no-fund --loglevel=error)
  fi
}

if [ ${#missing[@]} = 0 ]; then
  echo "install-deps.sh: all ${#wanted[@]} packages are installed"
  install_npm_packages
  exit 0
fi

if [ "$(id -u)" = 0 ]; then
  as_root=()
elif command -v sudo >/dev/null; then
  as_root=(sudo)
else
  echo "install-deps.sh: not root and no sudo; as root, run:" >&2
  echo "  apt-get install ${missing[*]}" >&2
  exit 1
fi

echo "install-deps.sh: installing ${missing[*]}"
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
install_npm_packages
