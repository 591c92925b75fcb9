#!/usr/bin/env python3
"""kavrin-cli over Bluetooth, through the kernel's own Bluetooth stack, in a
virtual machine.

The machine of run_adapter_tests.py (Debian's kernel under TCG, a busybox
initramfs), with the kernel's bluetooth, rfcomm and hci_vhci modules and
BlueZ's btvirt, hciconfig and rfcomm from this machine. btvirt makes two
controllers on /dev/vhci: the reader's (a kavrin-sim listening on RFCOMM
channel 1) and kavrin-cli's, which reaches the reader through /dev/rfcomm0
and by address (bt:ADDRESS). No bluetoothd and no D-Bus run there.

The guest (guest_bluetooth.sh) reports between @@ markers. Each check prints
"ok NAME" or "FAILED NAME: why", the export's cost over the radio against a
pty is printed as a figure, and the exit status is 0 only when all passed.
"""
import os
import select
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import run_adapter_tests as vm  # noqa: E402

MODULES = ["bluetooth", "rfcomm", "hci_vhci", "af_alg", "algif_skcipher", "algif_hash", "ecb", "cmac"]
TOOLS = ["btvirt", "hciconfig", "rfcomm"]
BOOT_SECONDS = 180
# A transfer the deadlines end: three requests of 2.8 s each, and room for a slow machine.
BOUNDED_SECONDS = 40
# A connect to a device whose SDP server never answers: its deadline is 8 s,
# libbluetooth alone would wait 20 s for the answer.
SDP_BOUNDED_SECONDS = 16


def build_initramfs(args, work, image):
    kernel, version = vm.kernel_tree(args.cache)
    root = vm.new_root(work, "guest_bluetooth.sh", args, image)
    vm.copy_modules(kernel, version, root, MODULES)
    for tool in TOOLS:
        vm.copy_with_libraries(root, shutil.which(tool), "/bin/" + tool)
    return os.path.join(kernel, "boot", "vmlinuz-" + version), vm.write_initramfs(root, work)


def boot(kernel, initrd):
    """Runs the machine; its console lines."""
    command = ["timeout", str(BOOT_SECONDS), "qemu-system-x86_64", "-accel", "tcg", "-m", "512", "-smp", "1",
               "-display", "none", "-no-reboot", "-monitor", "none", "-kernel", kernel, "-initrd", initrd,
               "-append", "console=ttyS0 loglevel=1 panic=-1", "-serial", "stdio"]
    qemu = subprocess.Popen(command, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output, deadline = b"", time.monotonic() + BOOT_SECONDS
    while time.monotonic() < deadline:
        ready, _, _ = select.select([qemu.stdout], [], [], 1)
        if ready:
            chunk = os.read(qemu.stdout.fileno(), 65536)
            if not chunk:
                break
            output += chunk
    qemu.kill()
    qemu.wait()
    return [line.decode("utf-8", "replace").rstrip("\r") for line in output.split(b"\n")]


def report(checks, runs, notes, lines, csv, padded):
    check = checks.check
    check("bt-vm-ran-every-step", "@@done" in lines, "console tail: %s" % lines[-15:])
    reader = notes.get("reader", "")
    ports = runs.get("ports-long", {"out": ""})["out"].splitlines()
    rfcomm = [l for l in ports if l.startswith("/dev/rfcomm0")]
    check("ports-long-names-rfcomm-and-address", reader != "" and len(rfcomm) == 1
          and ("Bluetooth %s channel 1" % reader) in rfcomm[0] and "driver rfcomm" in rfcomm[0], ports)
    auto = runs.get("auto-info", {})
    check("single-bluetooth-reader-is-the-adapter", auto.get("rc") == 0 and "using /dev/rfcomm0" in auto.get("err", ""),
          auto)

    for way in ("tty", "bt"):
        vm.check_transfers(check, way, runs, notes, csv, notes.get(way + "-image"), padded)
    channel = runs.get("bt-channel-info", {})
    check("bt-address-and-channel-info", channel.get("rc") == 0 and channel.get("out") == "1.0", channel)
    refused = runs.get("bt-refused", {})
    check("bt-refused-channel-fails-with-reason", refused.get("rc") == 1
          and "/5: cannot open the port: Connection refused" in refused.get("err", ""), refused)

    silent, seconds = runs.get("bt-sdp-silent", {}), notes.get("bt-sdp-silent-seconds")
    check("bt-silent-sdp-server-ends-the-connect-within-its-deadline", silent.get("rc") == 1
          and "cannot open the port: the device's SDP server did not answer; name its channel to skip the query: "
          "bt:%s/1" % reader in silent.get("err", "") and seconds is not None
          and int(seconds) < SDP_BOUNDED_SECONDS, (silent, seconds))

    for name in ("tty-export-hangup", "bt-export-down"):
        vm.check_cut_export(check, name, runs, notes, csv)
    for name in ("bt-upgrade-hangup", "tty-upgrade-down"):
        vm.check_cut_upgrade(check, name, runs)
    for name in ("tty-export-hangup", "bt-upgrade-hangup", "bt-export-down", "tty-upgrade-down"):
        seconds = notes.get(name + "-seconds")
        check(name + "-ends-bounded", seconds is not None and int(seconds) < BOUNDED_SECONDS, seconds)

    bench = {way: notes.get("bench-" + way, "").split() for way in ("pty", "bluetooth")}
    if all(len(b) == 2 and b[0] == "0" for b in bench.values()):
        pty, radio = (int(bench[w][1]) / 1000 for w in ("pty", "bluetooth"))
        print("bench: export of 1000 records in the machine (TCG): pty %.2f s, Bluetooth (RFCOMM) %.2f s, %+.2f s"
              % (pty, radio, radio - pty))
    check("bench-exports-ran", all(len(b) == 2 and b[0] == "0" for b in bench.values()), bench)


def main():
    started = time.monotonic()
    if not (prepared_args := vm.setup("bt-vm", TOOLS)):
        return 1
    args, image, padded = prepared_args
    work = tempfile.mkdtemp(prefix="kavrin-bt-vm-")
    checks = vm.Checks()
    try:
        kernel, initrd = build_initramfs(args, work, image)
        csv = vm.reference_csv(args, work)
        prepared = time.monotonic()
        lines = boot(kernel, initrd)
        booted = time.monotonic()
        with open(os.path.join(work, "console.log"), "w") as f:
            f.write("\n".join(lines))
        runs, notes = vm.parse(lines)
        report(checks, runs, notes, lines, csv, padded)
        print("bt-vm: prepared in %.1f s, machine ran %.1f s" % (prepared - started, booted - prepared))
    finally:
        if checks.failed == 0:
            shutil.rmtree(work, ignore_errors=True)
        else:
            print("console and files kept in " + work)
    return 0 if checks.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
