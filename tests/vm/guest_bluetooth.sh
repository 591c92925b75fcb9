#!/bin/busybox sh
# /init of the Bluetooth test machine (run_bluetooth_tests.py): two virtual
# controllers from btvirt, hci1 the reader's (kavrin-sim listening on
# RFCOMM channel 1), hci0 kavrin-cli's, through /dev/rfcomm0 and by
# address. Reports on the console between @@ markers.
. /guest_common.sh
# The pty the benchmark's reader makes.
mkdir -p /dev/pts
mount -t devpts devpts /dev/pts

for module in bluetooth rfcomm hci_vhci af_alg algif_skcipher algif_hash ecb cmac; do
    modprobe "$module" || note "modprobe $module failed"
done
btvirt -l2 >/tmp/btvirt.log 2>&1 &
await /sys/class/bluetooth/hci1 || note "no hci1: $(tr "\n" " " </tmp/btvirt.log)"
hciconfig hci0 up
# The reader's controller takes connections; Simple Secure Pairing stays off.
hciconfig hci1 up piscan
reader=$(hciconfig hci1 | sed -n 's/.*BD Address: \([0-9A-F:]*\).*/\1/p')
note "reader $reader"

start_reader --rfcomm 1 --records 60
rfcomm -i hci0 bind 0 "$reader" 1
await /dev/rfcomm0 || note "no rfcomm0"

run ports-long kavrin-cli ports --long
run auto-info kavrin-cli info

# NAME PORT: info, an export and an upgrade, and the image the reader got.
transfers() {
    run "$1-info" kavrin-cli -p "$2" info
    export_through "$1-export" "$2"
    run "$1-upgrade" kavrin-cli -p "$2" upgrade /image.bin --yes
    echo "image /tmp/$1-image.bin" >&3
    sleep 0.5
    note "$1-image $(sha256sum </tmp/$1-image.bin | cut -d' ' -f1)"
}
transfers tty /dev/rfcomm0
transfers bt "bt:$reader"
run bt-channel-info kavrin-cli -p "bt:$reader/1" info
# A channel nobody listens on. (A device that is not there cannot be tried
# here: this kernel oopses in hci_chan_del when a page fails under btvirt.)
run bt-refused kavrin-cli -p "bt:$reader/5" info

uptime_cs() { tr -d . </proc/uptime | cut -d' ' -f1; }
# FUNCTION NAME ARGS...: what FUNCTION reports, and the seconds it took.
timed() {
    start=$(uptime_cs)
    "$@"
    note "$2-seconds $((($(uptime_cs) - start) / 100))"
}

# The reader walks away. First it ends the connection itself.
echo "fault 41:hangup:0:2:1" >&3
timed export_through tty-export-hangup /dev/rfcomm0
echo "fault 32:hangup:0:5:1" >&3
timed run bt-upgrade-hangup kavrin-cli -p "bt:$reader" upgrade /image.bin --yes

# Then its controller is simply gone: no end of file ever comes. Answers
# are slowed first, so that the controller goes in the middle.
down_after() {
    await_requests "$1"
    hciconfig hci1 down
}
# Both controllers afresh: hci0 would otherwise keep the link it lost.
both_up() {
    echo clear-faults >&3
    hciconfig hci0 down
    hciconfig hci0 up
    hciconfig hci1 up piscan
}
echo "fault 41:late:1000:2" >&3
down_after 4 &
downer=$!
timed export_through bt-export-down "bt:$reader"
wait $downer
both_up
echo "fault 32:late:300:5" >&3
down_after 9 &
downer=$!
timed run tty-upgrade-down kavrin-cli -p /dev/rfcomm0 upgrade /image.bin --yes
wait $downer
both_up

# What the radio costs an export of 1,000 records, against a pty.
timed_export() {
    rm -rf /tmp/export && mkdir /tmp/export
    start=$(uptime_cs)
    kavrin-cli -p "$2" export -o /tmp/export >/dev/null 2>&1
    note "bench-$1 $? $(($(uptime_cs) - start))0"
}
echo "records 1000" >&3
timed_export bluetooth "bt:$reader"
stop_reader
start_reader --records 1000
timed_export pty "$(head -n 1 /tmp/sim.out)"
stop_reader

# A device whose SDP server takes the query and never answers: the whole
# connect ends at its one deadline, before libbluetooth's own 20 s.
kavrin-sim --rfcomm 1 --silent-sdp >/tmp/silent.out 2>&1 &
silent=$!
sleep 0.5
timed run bt-sdp-silent kavrin-cli -p "bt:$reader" info
kill "$silent"
wait "$silent"

echo "@@done"
poweroff -f
