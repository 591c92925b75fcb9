#!/bin/busybox sh
# /init of the test machine: loads the drivers, runs kavrin-cli through each
# adapter and reports on the console between @@ markers, which the host
# script reads (run_adapter_tests.py). "@@unplug NAME N" asks the host to
# pull QEMU's FTDI adapter NAME (ftdi, ftdi2) out once its reader has had N
# more requests, "@@plug NAME" to plug it in, "@@sim NAME COMMAND" to give
# its reader a control command (answered "go" on the console).
. /guest_common.sh

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
echo "@@plug ftdi"
await /dev/ttyUSB0 || note "no ttyUSB0 after replug"
sleep 1
# Out during the seventh block, after the version, the erase and the start.
echo "@@unplug ftdi 10"
run ftdi-upgrade-unplugged kavrin-cli -p /dev/ttyUSB0 upgrade /image.bin --yes

# CDC-ACM: the reader is the machine's own USB gadget, served on ttyGS0.
gadget_reader() { start_reader --tty /dev/ttyGS0 --records 60; }
gadget=/sys/bus/gadget/drivers/g_serial
gadget_reader
run acm-info kavrin-cli -p /dev/ttyACM0 info
export_through acm-export /dev/ttyACM0
run acm-upgrade kavrin-cli -p /dev/ttyACM0 upgrade /image.bin --yes
echo "image /tmp/acm-image.bin" >&3
sleep 0.5
note "acm-image $(sha256sum </tmp/acm-image.bin | cut -d' ' -f1)"

# Unbinds the gadget (the cable pulled) once its reader has had N more
# requests, or after 20 s. Runs in the background, so it leaves fd 3 to
# the shell: the reader ends only when the shell closes it.
unbind_after() {
    exec 3>&-
    await_requests "$1"
    echo gadget.0 >$gadget/unbind
}

# The gadget unbound is the cable pulled; bound again, it is plugged back.
echo "fault 41:late:1500:2" >&3
unbind_after 5 &
export_through acm-export-unplugged /dev/ttyACM0
# Unbinding waits until ttyGS0 is closed: the reader must end first.
stop_reader
wait
echo gadget.0 >$gadget/bind
await /dev/ttyACM0 || note "no ttyACM0 after rebinding"
await /dev/ttyGS0
sleep 1
gadget_reader
echo "fault 32:late:300:5" >&3
unbind_after 10 &
run acm-upgrade-unplugged kavrin-cli -p /dev/ttyACM0 upgrade /image.bin --yes
stop_reader
wait

# The watch: kavrin-cli watch runs in the background with the FTDI
# adapter plugged in before it starts, and watch-events beside it shows
# what the watch sees. A second adapter comes while the first is being
# read: both are read at once into one book. Then the second goes and
# comes back, is pulled out in the middle of its download and plugged in
# again. The host's readers answer each block late, so that downloads
# overlap and a cut falls in the middle.
# NAME COMMAND...: a control command to the host's reader NAME, once carried out.
host_sim() {
    echo "@@sim $*"
    read -t 30 ack </dev/ttyS0
}
event_seen() {
    for i in $(seq 100); do [ "$(grep -cx "$1" /tmp/events)" -ge "$2" ] && return 0; sleep 0.2; done
    note "no $1 (x$2) from the watch"
}
# Waits up to 30 s for the watch's Nth line that begins with TEXT.
watch_said() {
    for i in $(seq 150); do [ "$(grep -c "^$1" /tmp/watch.err)" -ge "$2" ] && return 0; sleep 0.2; done
    note "the watch did not say $1 (x$2)"
}
for reader in ftdi ftdi2; do
    host_sim $reader clear-faults
    host_sim $reader fault 41:late:300
done
echo "@@plug ftdi"
await /dev/ttyUSB0 || note "no ttyUSB0 for the watch"
udevadm settle --timeout=30
mkdir -p /tmp/watch
watch-events 90 >/tmp/events 2>&1 &
watcher=$!
kavrin-cli --book /tmp/watch.db watch -o /tmp/watch >/tmp/watch.out 2>/tmp/watch.err &
watch=$!
event_seen "appeared /dev/ttyUSB0" 1
watch_said "/dev/ttyUSB0: Reader firmvare version" 1
echo "@@plug ftdi2"
event_seen "appeared /dev/ttyUSB1" 1
watch_said "/dev/ttyUSB1: download finished" 1
watch_said "/dev/ttyUSB0: download finished" 1
echo "@@unplug ftdi2 0"
event_seen "gone /dev/ttyUSB1" 1
echo "@@plug ftdi2"
event_seen "appeared /dev/ttyUSB1" 2
# Out after the version, the count and a block of its download.
echo "@@unplug ftdi2 3"
watch_said "/dev/ttyUSB1: download failed" 1
event_seen "gone /dev/ttyUSB1" 2
echo "@@plug ftdi2"
watch_said "/dev/ttyUSB1: download finished" 2
kill -INT $watch
wait $watch
note "watch-rc $?"
kill $watcher
note "watch-events $(tr '\n' ';' </tmp/events)"
note "watch-err $(tr '\n' ';' </tmp/watch.err)"
note "watch-out $(tr '\n' ';' </tmp/watch.out)"
for file in /tmp/watch/*.csv; do
    note "watch-file-$file $(sha256sum <"$file" | cut -d' ' -f1) $(wc -l <"$file")"
done
run watch-book kavrin-cli --book /tmp/watch.db book

echo "@@done"
poweroff -f
