#!/bin/busybox sh
# SPDX-License-Identifier: GPL-3.0-or-later
# The guest's first process, inside a small initramfs of static busybox and the few modules that
# reach the host's file system: mounts the host's / read-only over 9p with a tmpfs on top, mounts
# the results share beside it, and hands over to the guest's main script on that root.
/bin/busybox --install -s /bin
export PATH=/bin

mount -t proc proc /proc
mount -t sysfs sysfs /sys
mount -t devtmpfs devtmpfs /dev

fail() {
  echo "kdsp-guest: $*" >/dev/console
  echo o >/proc/sysrq-trigger
  sleep 30
}

# Modules in dependency order, as the harness wrote them.
while read -r module; do
  insmod "/modules/$module" || fail "cannot load $module"
done </modules/order

mkdir -p /lower /rw /root
# A large message size: the guest reads libraries and programs over this share.
mount -t 9p -o trans=virtio,version=9p2000.L,ro,cache=loose,msize=524288 hostroot /lower ||
  fail "cannot mount the host's file system"
mount -t tmpfs -o size=512m tmpfs /rw
mkdir -p /rw/upper /rw/work
mount -t overlay overlay -o lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work /root ||
  fail "cannot make the guest's root"
mkdir -p /root/kdsp-results
mount -t 9p -o trans=virtio,version=9p2000.L,msize=524288 results /root/kdsp-results ||
  fail "cannot mount the results share"

. /root/kdsp-results/harness.env
[ -n "$KDSP_GUEST_MAIN" ] || fail "no guest main script named in harness.env"

umount /proc /sys /dev
exec switch_root /root /bin/bash "$KDSP_GUEST_MAIN"
