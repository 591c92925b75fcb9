#!/bin/busybox sh
# /init of the test machine: loads the drivers, runs kavrin-cli through each
# adapter and reports on the console between @@ markers, which the host
# script reads (run_adapter_tests.py). "@@unplug ftdi N" asks the host to
# pull QEMU's FTDI adapter out once its reader has had N more requests,
# "@@replug ftdi" to plug it back.
# Each applet where it belongs: the kernel asks for /sbin/modprobe (g_serial
# has usb_f_acm loaded through its alias).
/bin/busybox mkdir -p /sbin /usr/bin /usr/sbin
/bin/busybox --install -s
export PATH=/bin:/sbin:/usr/bin:/usr/sbin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs run /run
mount -t tmpfs tmp /tmp
cd /tmp

# NAME COMMAND...: its standard output, error and status between markers.
run() {
    name=$1
    shift
    timeout 90 "$@" >/tmp/out 2>/tmp/err
    rc=$?
    echo "@@begin $name"
    cat /tmp/out
    echo "@@stderr"
    cat /tmp/err
    echo "@@end $name $rc"
}
note() { echo "@@note $*"; }
# Waits up to 20 s for a path.
await() {
    for i in $(seq 100); do [ -e "$1" ] && return 0; sleep 0.2; done
    return 1
}
# NAME DEV: the file an export left in a fresh folder, by its hash and lines.
export_through() {
    rm -rf /tmp/export && mkdir /tmp/export
    run "$1" kavrin-cli -p "$2" export -o /tmp/export
    for file in /tmp/export/*.csv; do
        [ -f "$file" ] && note "$1-file $(sha256sum <"$file" | cut -d' ' -f1) $(wc -l <"$file")"
    done
}

# The FTDI adapter is on the bus before its driver is loaded (nothing
# loads drivers before udev runs): doctor names the module to load.
modprobe xhci_pci || note "modprobe xhci_pci failed"
for i in $(seq 100); do grep -qs 0403 /sys/bus/usb/devices/*/idVendor && break; sleep 0.2; done
run doctor-before-driver kavrin-cli doctor
for module in ftdi_sio cdc_acm dummy_hcd g_serial; do
    modprobe "$module" || note "modprobe $module failed"
done
if [ -x /lib/systemd/systemd-udevd ]; then
    /lib/systemd/systemd-udevd --daemon --resolve-names=never
    udevadm trigger --action=add
    udevadm settle --timeout=30
    note "udev running"
else
    mdev -s
fi
await /dev/ttyUSB0 || note "no ttyUSB0"
await /dev/ttyACM0 || note "no ttyACM0"
udevadm settle --timeout=30 2>/dev/null
ftdi_latency=/sys/class/tty/ttyUSB0/device/latency_timer
note "latency-at-plug $(cat $ftdi_latency)"
note "by-id $(ls /dev/serial/by-id 2>/dev/null | tr '\n' ' ')"

run ports kavrin-cli ports
run ports-long kavrin-cli ports --long

# The 16550 UART and the FTDI adapter: readers on the host.
run uart-info kavrin-cli -p /dev/ttyS1 info
export_through uart-export /dev/ttyS1
run uart-upgrade kavrin-cli -p /dev/ttyS1 upgrade /image.bin --yes

echo 16 >$ftdi_latency
run ftdi-info kavrin-cli -p /dev/ttyUSB0 info
note "latency-after-info $(cat $ftdi_latency)"
export_through ftdi-export /dev/ttyUSB0
run ftdi-upgrade kavrin-cli -p /dev/ttyUSB0 upgrade /image.bin --yes

# The host slows the reader's answers down, then pulls the adapter out.
echo "@@slow ftdi"
read -t 30 ack </dev/ttyS0
rm -rf /tmp/export && mkdir /tmp/export
# Out during the third block: after the version, the count and three requests.
echo "@@unplug ftdi 5"
export_through ftdi-export-unplugged /dev/ttyUSB0
echo "@@replug ftdi"
await /dev/ttyUSB0 || note "no ttyUSB0 after replug"
sleep 1
# Out during the seventh block, after the version, the erase and the start.
echo "@@unplug ftdi 10"
run ftdi-upgrade-unplugged kavrin-cli -p /dev/ttyUSB0 upgrade /image.bin --yes

# CDC-ACM: the reader is the machine's own USB gadget, served on ttyGS0.
gadget_reader() {
    rm -f /tmp/sim.in
    mkfifo /tmp/sim.in
    kavrin-sim --tty /dev/ttyGS0 --records 60 --control </tmp/sim.in >/tmp/sim.out 2>&1 &
    exec 3>/tmp/sim.in
    sleep 0.5
}
gadget=/sys/bus/gadget/drivers/g_serial
gadget_reader
run acm-info kavrin-cli -p /dev/ttyACM0 info
export_through acm-export /dev/ttyACM0
run acm-upgrade kavrin-cli -p /dev/ttyACM0 upgrade /image.bin --yes
echo "image /tmp/acm-image.bin" >&3
sleep 0.5
note "acm-image $(sha256sum </tmp/acm-image.bin | cut -d' ' -f1)"

# The requests the gadget's reader has had.
gadget_requests() {
    echo state >/tmp/sim.in
    sleep 0.2
    grep '^received=' /tmp/sim.out | tail -n 1 | cut -d= -f2
}
# Unbinds the gadget (the cable pulled) once its reader has had N more
# requests, or after 20 s. Runs in the background, so it leaves fd 3 to
# the shell: the reader ends only when the shell closes it.
unbind_after() {
    exec 3>&-
    target=$(($(gadget_requests) + $1))
    for i in $(seq 100); do [ "$(gadget_requests)" -ge "$target" ] && break; done
    echo gadget.0 >$gadget/unbind
}
# Unbinding waits until ttyGS0 is closed: the reader must end first.
stop_gadget_reader() {
    echo quit >&3
    exec 3>&-
}

# The gadget unbound is the cable pulled; bound again, it is plugged back.
echo "fault 41:late:1500:2" >&3
unbind_after 5 &
export_through acm-export-unplugged /dev/ttyACM0
stop_gadget_reader
wait
echo gadget.0 >$gadget/bind
await /dev/ttyACM0 || note "no ttyACM0 after rebinding"
await /dev/ttyGS0
sleep 1
gadget_reader
echo "fault 32:late:300:5" >&3
unbind_after 10 &
run acm-upgrade-unplugged kavrin-cli -p /dev/ttyACM0 upgrade /image.bin --yes
stop_gadget_reader
wait

echo "@@done"
poweroff -f
