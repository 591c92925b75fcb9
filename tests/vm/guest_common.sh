# What every test machine's /init starts with (sourced): busybox's applets,
# the kernel's file systems, and the functions that report on the console
# between @@ markers for the host script to read.
# Each applet where it belongs: the kernel asks for /sbin/modprobe (a
# module's dependencies and aliases load through it).
/bin/busybox mkdir -p /sbin /usr/bin /usr/sbin
/bin/busybox --install -s
export PATH=/bin:/sbin:/usr/bin:/usr/sbin
# kavrin-cli's record book goes to the tmpfs mounted below.
export XDG_DATA_HOME=/tmp
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

# ARGS...: a kavrin-sim inside the machine, taking its commands on fd 3.
start_reader() {
    rm -f /tmp/sim.in
    mkfifo /tmp/sim.in
    kavrin-sim "$@" --control </tmp/sim.in >/tmp/sim.out 2>&1 &
    reader_pid=$!
    exec 3>/tmp/sim.in
    sleep 0.5
}
# The requests that reader has accepted.
reader_requests() {
    echo state >/tmp/sim.in
    sleep 0.2
    grep '^received=' /tmp/sim.out | tail -n 1 | cut -d= -f2
}
# Returns once that reader has had N more requests, or after about 20 s.
await_requests() {
    target=$(($(reader_requests) + $1))
    for i in $(seq 100); do [ "$(reader_requests)" -ge "$target" ] && break; done
}
# Returns once that reader has ended: a child ending meanwhile would
# interrupt the next one's start.
stop_reader() {
    echo quit >&3
    exec 3>&-
    wait "$reader_pid"
}
