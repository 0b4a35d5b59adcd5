#!/bin/busybox sh
# shellcheck shell=dash
# The guest's first process: mounts what the tests need, loads the kernel's
# HID modules (those not built in), runs the suite and powers the guest off.
# The host reads the suite's output and its exit line on the serial console.
/bin/busybox --install -s /bin
export PATH=/bin HOME=/tmp
mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mount -t tmpfs tmpfs /tmp
# uhid and hid-generic need the HID core; insmod resolves no dependencies.
for module in hid uhid hid-generic; do
  if [ -f /lib/modules/$module.ko ]; then
    insmod /lib/modules/$module.ko || echo "velkor-kernel-suite: insmod $module failed"
  fi
done
echo "velkor-kernel-suite: kernel $(uname -r), $(grep -c ^processor /proc/cpuinfo) processor"
cd /tmp || exit 1
# shellcheck disable=SC2046 # the arguments file holds whitespace-separated words
LD_LIBRARY_PATH=/lib VELKOR_TOOL=/bin/velkor \
  /bin/velkor_kernel_suite --gtest_color=no $(cat /suite.args 2>/dev/null)
status=$?
if [ $status != 0 ]; then
  echo "velkor-kernel-suite: the kernel's HID messages:"
  dmesg | grep -i -e hid -e uhid | tail -n 40
fi
echo "velkor-kernel-suite: exit $status"
poweroff -f
