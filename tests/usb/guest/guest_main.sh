#!/bin/bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The guest's main script, run as its first process on the host's file system (read-only, with
# a tmpfs on top): sets the guest up as a small Linux system with udev and the kernel's HID and
# USB/IP modules, runs the checks the harness asked for, and leaves their output and exit status
# in the results share before powering the guest off.
set -u
results=/kdsp-results
. "$results/harness.env"

# Whatever happens below, the guest ends: the harness would otherwise wait for its time limit.
power_off() {
  sync
  echo o >/proc/sysrq-trigger
  sleep 60
}
trap power_off EXIT

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev
mkdir -p /dev/pts /dev/shm
mount -t devpts devpts /dev/pts
mount -t tmpfs tmpfs /dev/shm
# /tmp stays as the host has it (a tmpfs over it would hide a build there); writes go to the
# guest's own layer.
mount -t tmpfs tmpfs /run
mkdir -p /run/udev /run/user
echo 1 >/proc/sys/kernel/sysrq
hostname kdsp-guest
# The USB/IP device talks to the kernel over a loopback socket.
busybox ip link set lo up
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
export HOME=/root LANG=C.UTF-8

log() { echo "guest: $*"; }
exec >"$results/guest.log" 2>&1
log "up after $(cut -d' ' -f1 /proc/uptime) s on kernel $(uname -r)"

# udev names the device nodes, applies the rules and tells the programs about plug-ins.
cp "$KDSP_UDEV_RULE" /etc/udev/rules.d/
/lib/systemd/systemd-udevd --daemon --resolve-names=never || log "udevd did not start"
for module in uhid vhci-hcd usbhid hid-generic; do
  modprobe "$module" || log "cannot load $module"
done
udevadm settle --timeout=30
log "udev and modules ready after $(cut -d' ' -f1 /proc/uptime) s"

# The HID platform's own tests, whose round trip through a kernel-made device needs uhid, then
# the guest checks.
status=0
cd "$results" || exit
KDSP_REQUIRE_UHID=1 "$KDSP_BUILD_DIR/tests/device/hid_tests" --gtest_filter='LinuxHidPlatform.*' \
  --gtest_output=xml:"$results/platform-report.xml" >"$results/checks.log" 2>&1 || status=1
"$KDSP_BUILD_DIR/tests/usb/kdsp_usb_guest_tests" --gtest_filter="$KDSP_CHECKS_FILTER" \
  --gtest_output=xml:"$results/report.xml" >>"$results/checks.log" 2>&1 || status=1
log "checks ended with status $status after $(cut -d' ' -f1 /proc/uptime) s"
echo "$status" >"$results/status"
