#!/usr/bin/env bash
# Boots Debian's kernel under qemu-system-x86_64 (software emulation, no
# KVM) with a small initramfs holding busybox, the kernel's HID modules, the
# kernel suite and the velkor tool, and turns the suite's result in the guest
# into this script's exit status (docs/kernel-tests.md).
#
#   scripts/kernel-test.sh --suite PROGRAM --tool PROGRAM [options]
#     --cache DIR     where the kernel is kept between runs (default build/kernel-cache)
#     --work DIR      where the initramfs is made (default build/kernel-guest)
#     --qemu PATH     qemu-system-x86_64 (default: from PATH)
#     --busybox PATH  a statically linked busybox (default: from PATH)
#     --filter TESTS  a GoogleTest filter for the suite (default: every test)
#     --timeout S     the guest is stopped after S seconds (default 240)
#
# The kernel is the one linux-image-amd64 depends on today: its package is
# fetched with apt-get download (no root needed) and only the kernel image and
# the HID modules are unpacked from it.  Without network or apt lists, the
# newest kernel already in the cache is used.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
cache=$here/build/kernel-cache
work=$here/build/kernel-guest
qemu='qemu-system-x86_64'
busybox=busybox
suite='' tool='' filter='' timeout=240
while [ $# -gt 0 ]; do
  case $1 in
    --cache) cache=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --qemu) qemu=$2; shift 2 ;;
    --busybox) busybox=$2; shift 2 ;;
    --suite) suite=$2; shift 2 ;;
    --tool) tool=$2; shift 2 ;;
    --filter) filter=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    -h|--help) sed -n '2,20s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "kernel-test.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
say() { echo "kernel-test.sh: $*" >&2; }
fail() { say "$*"; exit 1; }
if [ -z "$suite" ] || [ -z "$tool" ]; then fail "--suite and --tool are needed (see --help)"; fi
for program in "$qemu" "$busybox" apt-cache apt-get dpkg-deb ldd; do
  command -v "$program" >/dev/null || fail "$program not found (scripts/install-deps.sh --tests)"
done
file -L "$(command -v "$busybox")" 2>/dev/null | grep -q 'statically linked' ||
  ldd "$(command -v "$busybox")" 2>&1 | grep -q 'not a dynamic' ||
  fail "$busybox is not statically linked (install busybox-static)"

# The HID modules the guest loads, in the order insmod needs them.
modules=(hid uhid hid-generic)

# --- The kernel: resolved, fetched and unpacked once per version. ----------
# Sets package and version to the kernel package linux-image-amd64 depends
# on and its candidate version; false when apt does not know them.
resolve() {
  package=$(apt-cache depends linux-image-amd64 2>/dev/null |
              awk '$1 == "Depends:" && $2 ~ /^linux-image-[0-9]/ { print $2; exit }')
  version=''
  if [ -n "$package" ]; then
    version=$(apt-cache policy "$package" 2>/dev/null | awk '$1 == "Candidate:" { print $2 }')
  fi
  [ -n "$package" ] && [ -n "$version" ] && [ "$version" != "(none)" ]
}

# Fetches the package into $cache/download; prints the .deb's path, or
# nothing when it could not be had.
download() {
  rm -rf "$cache/download"
  mkdir -p "$cache/download"
  (cd "$cache/download" && apt-get download -q "$package" 2>&1 |
     grep -v -e 'unsandboxed' -e '^Get:' -e '^Fetched' >&2 || true)
  ls "$cache/download"/*.deb 2>/dev/null | head -n 1 || true
}

# Unpacks the kernel image and the HID modules of a package into a directory.
unpack() {
  local deb=$1 into=$2 tree=$cache/download/tree image found
  mkdir -p "$tree" "$into"
  # Only the image and the three modules: the whole package unpacks to
  # several hundred megabytes.
  local members=('./boot/vmlinuz-*')
  for module in "${modules[@]}"; do members+=("*/kernel/drivers/hid/$module.ko*"); done
  dpkg-deb --fsys-tarfile "$deb" | tar -x -C "$tree" --wildcards "${members[@]}" 2>/dev/null || true
  image=$(ls "$tree"/boot/vmlinuz-* 2>/dev/null | head -n 1 || true)
  [ -n "$image" ] || fail "no kernel image in $deb"
  cp "$image" "$into/vmlinuz"
  for module in "${modules[@]}"; do
    found=$(find "$tree" -name "$module.ko*" | head -n 1)
    case $found in
      '') ;;  # built into the kernel
      *.ko) cp "$found" "$into/$module.ko" ;;
      *.xz) xz -dc "$found" > "$into/$module.ko" ;;
      *.zst) zstd -qdc "$found" > "$into/$module.ko" ;;
    esac
  done
  touch "$into/complete"
}

# The newest kernel in the cache, when today's cannot be had.
cached_kernel() {
  local newest
  newest=$(ls -d "$cache"/linux-image-*/complete 2>/dev/null | sort -V | tail -n 1 || true)
  [ -n "$newest" ] || fail "$1, and no kernel is cached in $cache"
  kernel_dir=${newest%/complete}
  say "$1; using the cached $(basename "$kernel_dir")"
}

kernel_dir=''
if resolve; then
  kernel_dir=$cache/${package}_$version
  if [ ! -f "$kernel_dir/complete" ]; then
    say "fetching $package $version"
    deb=$(download)
    # Lists older than the archive name a version it no longer holds.
    if [ -z "$deb" ] && [ "$(id -u)" = 0 ]; then
      say "refreshing apt's lists"
      apt-get update -qq || true
      if resolve; then
        kernel_dir=$cache/${package}_$version
        if [ -f "$kernel_dir/complete" ]; then deb=cached; else deb=$(download); fi
      fi
    fi
    if [ -z "$deb" ]; then
      cached_kernel "apt-get download $package fetched nothing (as root, apt-get update may help)"
    elif [ "$deb" != cached ]; then
      rm -rf "$kernel_dir"
      unpack "$deb" "$kernel_dir"
    fi
    rm -rf "$cache/download"
  fi
else
  cached_kernel "apt knows no linux-image-amd64 (apt-get update, as root, fetches its lists)"
fi

# --- The initramfs. ---------------------------------------------------------
root=$work/root
rm -rf "$root"
mkdir -p "$root"/{bin,lib,lib/modules,proc,sys,dev,tmp}
chmod 1777 "$root/tmp"
cp "$(command -v "$busybox")" "$root/bin/busybox"
cp "$here/tests/kernel/guest-init.sh" "$root/init"
chmod 755 "$root/init"
for module in "${modules[@]}"; do
  if [ -f "$kernel_dir/$module.ko" ]; then cp "$kernel_dir/$module.ko" "$root/lib/modules/"; fi
done
# A program, and every shared library it loads with the loader itself, all
# without their debugging sections (they would only make the guest slower to boot).
copy_stripped() {
  cp -L "$1" "$2"
  chmod u+w "$2"
  if command -v strip >/dev/null; then strip --strip-debug "$2"; fi
}
add_program() {
  copy_stripped "$1" "$root/bin/$(basename "$1")"
  ldd "$1" | while read -r first arrow path _; do
    if [ "$arrow" = "=>" ] && [ -f "$path" ]; then
      [ -f "$root/lib/$first" ] || copy_stripped "$path" "$root/lib/$first"
    elif [ -f "$first" ]; then  # the loader, at the path the program names
      mkdir -p "$root$(dirname "$first")"
      [ -f "$root$first" ] || copy_stripped "$first" "$root$first"
    fi
  done
}
add_program "$suite"
add_program "$tool"
if [ -n "$filter" ]; then echo "--gtest_filter=$filter" > "$root/suite.args"; fi
(cd "$root" && find . | "$busybox" cpio -o -H newc 2>/dev/null) > "$work/initramfs.cpio"

# --- The guest. -------------------------------------------------------------
say "booting $(basename "$kernel_dir") ($(du -m "$work/initramfs.cpio" | cut -f1) MB initramfs)"
log=$work/console.log
start=$(date +%s)
set +e
timeout -k 10 "$timeout" "$qemu" -accel tcg -machine pc -m 512 -smp 1 \
    -nographic -nic none -no-reboot \
    -kernel "$kernel_dir/vmlinuz" -initrd "$work/initramfs.cpio" \
    -append "console=ttyS0 quiet panic=-1" < /dev/null |
  tr -d '\r' | sed -u -e 's/\x1b\[[0-9;?]*[A-Za-z]//g' -e 's/\x1bc//g' | tee "$log"
qemu_status=${PIPESTATUS[0]}
set -e
say "the guest ran $(( $(date +%s) - start )) s"
if [ "$qemu_status" = 124 ] || [ "$qemu_status" = 137 ]; then
  fail "the guest did not power off within $timeout s"
fi
exit_line=$(grep -a '^velkor-kernel-suite: exit ' "$log" | tail -n 1)
[ -n "$exit_line" ] || fail "the guest ended without the suite's result (qemu status $qemu_status)"
[ "${exit_line##* }" = 0 ] || fail "the suite failed in the guest (${exit_line#velkor-kernel-suite: })"
say "the suite passed on the kernel"
