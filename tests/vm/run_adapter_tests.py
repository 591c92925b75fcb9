#!/usr/bin/env python3
"""kavrin-cli through the kernel's own serial drivers, in one virtual machine.

Debian's kernel (fetched with apt-get download, unpacked, never installed)
boots under qemu-system-x86_64 (TCG: KVM hangs at boot on the machines we
test on) with a busybox initramfs holding kavrin-cli, kavrin-sim, the
driver modules and systemd-udevd (from Debian's udev package, fetched the
same way) with the shipped rules. Three adapters:

- a 16550 UART (ttyS1, 8250): QEMU's second serial port on a kavrin-sim pty;
- QEMU's FTDI adapter (ttyUSB0, ftdi_sio) behind xHCI, its far end another
  kavrin-sim pty, on the bus before ftdi_sio is loaded (kavrin-cli doctor
  must name the module); QMP's device_del pulls it out in the middle of an
  export and of an upgrade;
- CDC-ACM (ttyACM0, cdc_acm) to the machine's own gadget (dummy_hcd and
  g_serial), whose ttyGS0 a kavrin-sim inside serves; the gadget is
  unbound in the middle of an export and of an upgrade.

Last, the watch: with the FTDI adapter plugged back in, kavrin-cli watch
runs in the guest, and beside it a program that prints what the watch sees
(watch_events), while QMP's device_add plugs in a second FTDI adapter
(ttyUSB1, its far end a third kavrin-sim) during the first one's download:
both are read at once into one book. device_del pulls the second out and
device_add plugs it back; it is pulled out again in the middle of its
download (whole rows kept) and plugged back once more, to be read whole.

The guest (guest_init.sh) reports on the console between @@ markers. Each
check prints "ok NAME" or "FAILED NAME: why"; the exit status is 0 only
when all passed.
"""
import argparse
import glob
import hashlib
import json
import os
import re
import select
import shutil
import socket
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
RULES = os.path.join(HERE, "..", "..", "packaging", "99-kavrin-usb-serial.rules")
RECORDS = 60
IMAGE_LENGTH = 8200
BLOCK = 128
BOOT_SECONDS = 150
MODULES = ["xhci_pci", "ftdi_sio", "cdc_acm", "dummy_hcd", "g_serial", "usb_f_acm"]
UDEV_RULES = ["50-udev-default.rules", "60-serial.rules"]


def sh(*args, **kw):
    return subprocess.run(args, check=True, stdout=subprocess.PIPE, text=True, **kw).stdout


def fetch(cache, package):
    """The .deb of `package`, downloaded once into `cache`."""
    found = glob.glob(os.path.join(cache, package + "_*.deb"))
    if not found:
        if subprocess.run(["apt-get", "download", package], cwd=cache).returncode != 0:
            subprocess.run(["apt-get", "update"], check=True)
            subprocess.run(["apt-get", "download", package], cwd=cache, check=True)
        found = glob.glob(os.path.join(cache, package + "_*.deb"))
    return found[0]


def unpacked(cache, package):
    folder = os.path.join(cache, package)
    if not os.path.isdir(folder):
        deb = fetch(cache, package)
        subprocess.run(["dpkg-deb", "-x", deb, folder + ".part"], check=True)
        os.rename(folder + ".part", folder)
    return folder


def kernel_package():
    def depends():
        out = subprocess.run(["apt-cache", "depends", "linux-image-amd64"], stdout=subprocess.PIPE, text=True).stdout
        return re.findall(r"Depends: (linux-image-[0-9][^\s]*)", out)
    names = depends()
    if not names:
        subprocess.run(["apt-get", "update"], check=True)
        names = depends()
    return names[0]


def copy_with_libraries(root, program, dest):
    target = os.path.join(root, dest.lstrip("/"))
    os.makedirs(os.path.dirname(target), exist_ok=True)
    shutil.copy2(program, target)
    for line in sh("ldd", program).splitlines():
        m = re.search(r"(/\S+) \(0x", line)
        if m:
            lib = os.path.realpath(m.group(1))
            path = os.path.join(root, m.group(1).lstrip("/"))
            os.makedirs(os.path.dirname(path), exist_ok=True)
            if not os.path.exists(path):
                shutil.copy2(lib, path)


def kernel_tree(cache):
    """Debian's kernel, unpacked in `cache`: its folder and its version."""
    kernel = unpacked(cache, kernel_package())
    version = os.listdir(os.path.join(kernel, "lib/modules"))[0]
    if not os.path.exists(os.path.join(kernel, "lib/modules", version, "modules.dep")):
        subprocess.run(["depmod", "-b", kernel, version], check=True)
    return kernel, version


def new_root(work, init, args, image):
    """The initramfs's tree: busybox, `init` as /init with the shell
    functions every guest uses, kavrin-cli, kavrin-sim, watch-events where
    given, and the image."""
    root = os.path.join(work, "root")
    for folder in ("bin", "sbin", "proc", "sys", "dev", "run", "tmp", "etc"):
        os.makedirs(os.path.join(root, folder), exist_ok=True)
    shutil.copy2(shutil.which("busybox") or "/bin/busybox", os.path.join(root, "bin/busybox"))
    shutil.copy2(os.path.join(HERE, init), os.path.join(root, "init"))
    os.chmod(os.path.join(root, "init"), 0o755)
    shutil.copy2(os.path.join(HERE, "guest_common.sh"), os.path.join(root, "guest_common.sh"))
    copy_with_libraries(root, args.cli, "/bin/kavrin-cli")
    copy_with_libraries(root, args.sim, "/bin/kavrin-sim")
    if args.watch_events:
        copy_with_libraries(root, args.watch_events, "/bin/watch-events")
    with open(os.path.join(root, "image.bin"), "wb") as f:
        f.write(image)
    return root


def copy_modules(kernel, version, root, modules):
    """`modules` with what they depend on; depmod then writes modules.dep
    and modules.alias for just these."""
    for module in modules:
        for line in sh("modprobe", "-d", kernel, "-S", version, "-D", module).splitlines():
            if line.startswith("insmod "):
                ko = line.split()[1]
                dest = os.path.join(root, os.path.relpath(ko, kernel))
                os.makedirs(os.path.dirname(dest), exist_ok=True)
                shutil.copy2(ko, dest)
    for name in ("modules.builtin", "modules.builtin.modinfo", "modules.order"):
        shutil.copy2(os.path.join(kernel, "lib/modules", version, name), os.path.join(root, "lib/modules", version, name))
    subprocess.run(["depmod", "-b", root, version], check=True)


def write_initramfs(root, work):
    initrd = os.path.join(work, "initrd.cpio")
    files = sh("find", ".", cwd=root)
    with open(initrd, "wb") as out:
        subprocess.run(["cpio", "-o", "-H", "newc", "--quiet"], input=files.encode(), stdout=out, cwd=root, check=True)
    return initrd


def build_initramfs(args, cache, work, image):
    kernel, version = kernel_tree(cache)
    root = new_root(work, "guest_init.sh", args, image)
    copy_modules(kernel, version, root, MODULES)

    udev = unpacked(cache, "udev")
    udevadm = os.path.join(udev, "bin/udevadm")
    copy_with_libraries(root, udevadm, "/bin/udevadm")
    os.makedirs(os.path.join(root, "lib/systemd"), exist_ok=True)
    os.symlink("/bin/udevadm", os.path.join(root, "lib/systemd/systemd-udevd"))
    rules = os.path.join(root, "lib/udev/rules.d")
    os.makedirs(rules)
    for name in UDEV_RULES:
        shutil.copy2(os.path.join(udev, "lib/udev/rules.d", name), rules)
    shutil.copy2(RULES, rules)
    return os.path.join(kernel, "boot", "vmlinuz-" + version), write_initramfs(root, work)


class Sim:
    """A kavrin-sim under control on the host."""

    def __init__(self, binary):
        self.proc = subprocess.Popen([binary, "--records", str(RECORDS), "--control"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, text=True)
        self.port = self.proc.stdout.readline().strip()

    def command(self, line):
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        return self.proc.stdout.readline().strip()

    def requests(self):
        """The requests it has accepted so far."""
        self.proc.stdin.write("state\n")
        self.proc.stdin.flush()
        received = 0
        for line in iter(self.proc.stdout.readline, ""):
            if line.startswith("received="):
                received = int(line.split("=")[1])
            if line.strip() == "ok":
                break
        return received

    def await_requests(self, more, seconds=20):
        """Returns once `more` requests have arrived after the call, or after `seconds`."""
        target = self.requests() + more
        deadline = time.monotonic() + seconds
        while self.requests() < target and time.monotonic() < deadline:
            time.sleep(0.1)

    def image(self, work):
        path = os.path.join(work, "image-%d.bin" % self.proc.pid)
        self.command("image " + path)
        with open(path, "rb") as f:
            return f.read()

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(timeout=10)


class Qmp:
    def __init__(self, path):
        self.sock = socket.socket(socket.AF_UNIX)
        self.sock.connect(path)
        self.file = self.sock.makefile("rw")
        self.file.readline()
        self.execute("qmp_capabilities")

    def execute(self, command, **arguments):
        self.file.write(json.dumps({"execute": command, "arguments": arguments}) + "\n")
        self.file.flush()
        while True:
            reply = json.loads(self.file.readline())
            if "return" in reply or "error" in reply:
                return reply


def reference_csv(args, work):
    """The export of the same records through a pty: what every adapter must give."""
    sim = Sim(args.sim)
    folder = tempfile.mkdtemp(dir=work)
    subprocess.run([args.cli, "-p", sim.port, "export", "-o", folder], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, env=dict(os.environ, TZ="UTC"), timeout=60)
    sim.close()
    with open(glob.glob(os.path.join(folder, "*.csv"))[0], "rb") as f:
        return f.read()


def plug(qmp, chardev, device, seconds=10):
    """Plugs FTDI adapter `device` in, its far end `chardev`; QMP's reply.
    An adapter just pulled out holds its chardev until QEMU has finished
    deleting it, a moment after device_del returns."""
    deadline = time.monotonic() + seconds
    while True:
        reply = qmp.execute("device_add", driver="usb-serial", chardev=chardev, id=device)
        if "in use" not in reply.get("error", {}).get("desc", "") or time.monotonic() > deadline:
            return reply
        time.sleep(0.2)


def boot(kernel, initrd, sims, work):
    """Runs the machine; returns its console lines and the images the host's
    readers got. Acts on @@slow, "@@unplug NAME N" (pull FTDI adapter NAME
    out once its reader has had N more requests), "@@plug NAME" and "@@sim
    NAME COMMAND" (a control command to reader NAME, then "go" to the
    guest); the adapter ftdi2 is plugged in only when asked."""
    uart, ftdi = sims["uart"], sims["ftdi"]
    qmp_path = os.path.join(work, "qmp")
    command = ["timeout", str(BOOT_SECONDS), "qemu-system-x86_64", "-accel", "tcg", "-m", "512", "-smp", "1",
               "-display", "none", "-no-reboot", "-monitor", "none", "-kernel", kernel, "-initrd", initrd,
               "-append", "console=ttyS0 loglevel=1 panic=-1",
               "-serial", "stdio", "-serial", uart.port,
               "-chardev", "serial,id=ftdi,path=" + ftdi.port,
               "-device", "qemu-xhci", "-device", "usb-serial,chardev=ftdi,id=ftdi-0",
               "-chardev", "serial,id=ftdi2,path=" + sims["ftdi2"].port,
               "-qmp", "unix:%s,server=on,wait=off" % qmp_path]
    qemu = subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    lines, pending, qmp, images = [], b"", None, {}
    plugged = {"ftdi": 0, "ftdi2": 0}  # each adapter's times plugged in: its QMP id ends in it
    deadline = time.monotonic() + BOOT_SECONDS
    while time.monotonic() < deadline:
        ready, _, _ = select.select([qemu.stdout], [], [], 1)
        if not ready:
            continue
        chunk = os.read(qemu.stdout.fileno(), 65536)
        if not chunk:
            break
        pending += chunk
        *complete, pending = pending.split(b"\n")
        for raw in complete:
            line = raw.decode("utf-8", "replace").rstrip("\r")
            lines.append(line)
            if line.startswith("@@") and qmp is None:
                qmp = Qmp(qmp_path)
            if line == "@@slow ftdi":
                # What the first upgrades left, before the cut ones add theirs.
                images = {name: sim.image(work) for name, sim in sims.items() if name != "ftdi2"}
                ftdi.command("fault 41:late:1500:2")
                ftdi.command("fault 32:late:300:5")
                qemu.stdin.write(b"go\n")
                qemu.stdin.flush()
            elif line.startswith("@@sim "):
                _, name, command = line.split(" ", 2)
                sims[name].command(command)
                qemu.stdin.write(b"go\n")
                qemu.stdin.flush()
            elif line.startswith("@@unplug "):
                _, name, more = line.split()
                sims[name].await_requests(int(more))
                lines.append("@@host %s" % qmp.execute("device_del", id="%s-%d" % (name, plugged[name])))
            elif line.startswith("@@plug "):
                name = line.split()[1]
                plugged[name] += 1
                lines.append("@@host %s" % plug(qmp, name, "%s-%d" % (name, plugged[name])))
    qemu.kill()
    qemu.wait()
    return lines, images


def parse(lines):
    runs, notes, block, name = {}, {}, None, None
    for line in lines:
        if line.startswith("@@begin "):
            name, block, err = line.split()[1], [], None
        elif line == "@@stderr" and block is not None:
            err, block = block, []
        elif line.startswith("@@end ") and block is not None:
            runs[name] = {"out": "\n".join(err), "err": "\n".join(block), "rc": int(line.split()[2])}
            block = None
        elif block is not None:
            block.append(line)
        elif line.startswith("@@note "):
            key, _, value = line[7:].partition(" ")
            notes[key] = value
    return runs, notes


class Checks:
    def __init__(self):
        self.failed = 0

    def check(self, name, ok, why=""):
        if ok:
            print("ok " + name)
        else:
            self.failed += 1
            print("FAILED %s: %s" % (name, why))


def setup(name, tools=()):
    """The command line's arguments, the cache made, and the firmware image
    with what the reader holds after it (padded with 0xFF to whole blocks);
    None when a tool the machine needs is missing."""
    parser = argparse.ArgumentParser()
    parser.add_argument("--cli", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--watch-events", help="the watch's test program, run in the guest")
    parser.add_argument("--cache", required=True, help="folder that keeps the fetched packages between runs")
    args = parser.parse_args()
    for tool in ("qemu-system-x86_64", "busybox", "cpio", "depmod", "modprobe", "dpkg-deb") + tuple(tools):
        if not shutil.which(tool):
            print("FAILED %s-setup: %s is missing (scripts/install-deps.sh installs it)" % (name, tool))
            return None
    os.makedirs(args.cache, exist_ok=True)
    image = bytes((i * 7 + i // 256) & 0xFF for i in range(IMAGE_LENGTH))
    padded = image + b"\xff" * ((IMAGE_LENGTH // BLOCK + 1) * BLOCK - IMAGE_LENGTH)
    return args, image, padded


def main():
    started = time.monotonic()
    if not (prepared_args := setup("vm")):
        return 1
    args, image, padded = prepared_args
    work = tempfile.mkdtemp(prefix="kavrin-vm-")
    checks = Checks()
    uart = ftdi = ftdi2 = None
    try:
        kernel, initrd = build_initramfs(args, args.cache, work, image)
        csv = reference_csv(args, work)
        uart, ftdi, ftdi2 = Sim(args.sim), Sim(args.sim), Sim(args.sim)
        prepared = time.monotonic()
        sims = {"uart": uart, "ftdi": ftdi, "ftdi2": ftdi2}
        lines, images = boot(kernel, initrd, sims, work)
        booted = time.monotonic()
        with open(os.path.join(work, "console.log"), "w") as f:
            f.write("\n".join(lines))
        runs, notes = parse(lines)
        report(checks, runs, notes, lines, csv, padded, images)
        print("vm: prepared in %.1f s, machine ran %.1f s" % (prepared - started, booted - prepared))
    finally:
        for sim in (uart, ftdi, ftdi2):
            if sim:
                sim.close()
        if checks.failed == 0:
            shutil.rmtree(work, ignore_errors=True)
        else:
            print("console and files kept in " + work)
    return 0 if checks.failed == 0 else 1


def report(checks, runs, notes, lines, csv, padded, images):
    check = checks.check
    missing = [n for n in ("doctor-before-driver", "ports", "ports-long", "acm-upgrade-unplugged") if n not in runs]
    check("vm-ran-every-step", "@@done" in lines and not missing, "missing %s; console tail: %s" % (missing, lines[-15:]))
    ports = runs.get("ports", {"out": ""})["out"].splitlines()
    long_lines = {l.split()[0]: l for l in runs.get("ports-long", {"out": ""})["out"].splitlines() if l}
    check("ports-names-each-adapter-and-no-placeholder",
          all(any(l.startswith(d) for l in ports) for d in ("/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB0", "/dev/ttyACM0"))
          and not any(l.startswith(("/dev/ttyS2", "/dev/ttyS3")) for l in ports), ports)
    doctor = runs.get("doctor-before-driver", {"out": "", "rc": None})
    check("doctor-names-the-driver-an-adapter-waits-for", doctor["rc"] == 1 and re.search(
        r"^0403:6001 .*has no serial port: its driver ftdi_sio is not loaded: sudo modprobe ftdi_sio$",
        doctor["out"], re.M), doctor)
    ftdi_line = long_lines.get("/dev/ttyUSB0", "")
    check("ports-long-ftdi", "0403:6001" in ftdi_line and "driver ftdi_sio" in ftdi_line
          and re.search(r"latency timer \d+ ms", ftdi_line) and "/dev/serial/by-id/usb-" in ftdi_line, ftdi_line)
    acm_line = long_lines.get("/dev/ttyACM0", "")
    check("ports-long-acm", "driver cdc_acm" in acm_line and "Gadget Serial" in acm_line
          and re.search(r"\b[0-9a-f]{4}:[0-9a-f]{4}\b", acm_line), acm_line)
    uart_line = long_lines.get("/dev/ttyS1", "")
    check("ports-long-uart", uart_line.endswith("driver 8250"), uart_line)
    udev = notes.get("udev") == "running"
    check("udev-rules-set-ftdi-latency-and-by-id", udev and notes.get("latency-at-plug") == "1"
          and "usb-" in notes.get("by-id", ""), notes)

    for adapter in ("uart", "ftdi", "acm"):
        if adapter == "acm":
            received = notes.get("acm-image", "")
        else:
            received = hashlib.sha256(images.get(adapter, b"")).hexdigest()
        check_transfers(check, adapter, runs, notes, csv, received, padded)
    info = runs.get("ftdi-info", {}).get("err", "")
    check("ftdi-info-latency-from-driver-and-put-back", "adapter latency timer: 1 ms" in info
          and notes.get("latency-after-info") == "16", (info, notes.get("latency-after-info")))

    for adapter in ("ftdi", "acm"):
        check_cut_export(check, adapter + "-export-unplugged", runs, notes, csv)
        check_cut_upgrade(check, adapter + "-upgrade-unplugged", runs)
    check_watch(check, runs, notes, csv)


def check_watch(check, runs, notes, csv):
    """The watch saw the adapter present at its start once, and the second
    one each time it came and went; built-in ports never. kavrin-cli watch
    read both adapters at once into one book, each file byte for byte; the
    second, pulled out mid-download, kept whole rows, and was read whole
    when it came back; an interrupt ended the watch."""
    events = notes.get("watch-events", "").split(";")
    want = ["watching", "appeared /dev/ttyUSB0"] + ["appeared /dev/ttyUSB1", "gone /dev/ttyUSB1"] * 2 + [
        "appeared /dev/ttyUSB1"]
    check("watch-sees-adapters-present-once-and-each-coming-and-going", events[:len(want)] == want
          and events[len(want):] in ([], [""]), events)
    said = notes.get("watch-err", "").split(";")
    files = {k[len("watch-file-"):]: v.split() for k, v in notes.items() if k.startswith("watch-file-")}
    whole = [hashlib.sha256(csv).hexdigest(), str(csv.count(b"\n"))]
    done = [re.match(r"/dev/(ttyUSB\d): download finished: 60 records saved in (\S+)$", l) for l in said]
    done = [(m.group(1), m.group(2)) for m in done if m]
    check("watch-reads-each-adapter-byte-for-byte", sorted(p for p, _ in done) == ["ttyUSB0", "ttyUSB1", "ttyUSB1"]
          and all(files.get(f) == whole for _, f in done), (said, files))
    first_end = next((i for i, l in enumerate(said) if "download finished" in l), -1)
    versions = ["/dev/%s: Reader firmvare version:1.0" % p for p in ("ttyUSB0", "ttyUSB1")]
    check("watch-reads-two-adapters-at-once", all(v in said and said.index(v) < first_end for v in versions), said)
    cut = [re.match(r"/dev/ttyUSB1: download failed: (\d+) of 60 records saved in (\S+)$", l) for l in said]
    cut = [m for m in cut if m]
    kept = int(cut[0].group(1)) if cut else 0
    prefix = hashlib.sha256(b"\n".join(csv.split(b"\n")[:kept + 1]) + b"\n").hexdigest()
    check("watch-unplugged-mid-download-keeps-whole-rows", len(cut) == 1 and 0 < kept < 60
          and files.get(cut[0].group(2)) == [prefix, str(kept + 1)], (said, files))
    out = [l for l in notes.get("watch-out", "").split(";") if l]
    check("watch-prints-each-saved-file", sorted(out) == sorted(f for _, f in done), out)
    book = runs.get("watch-book", {"out": ""})["out"].splitlines()[1:]
    outcomes = sorted(l.split()[5] for l in book if len(l.split()) > 5)
    check("watch-keeps-all-in-one-book", outcomes == ["complete"] * 3 + ["failed"], book)
    check("watch-ends-by-the-interrupt", notes.get("watch-rc") == "130", notes.get("watch-rc"))


def check_transfers(check, way, runs, notes, csv, received, padded):
    """WAY-info, WAY-export and WAY-upgrade went through: the version, the
    export byte for byte as through a pty, and the image the reader
    received (`received`, its SHA-256) byte for byte."""
    info = runs.get(way + "-info", {})
    check(way + "-info", info.get("rc") == 0 and info.get("out") == "1.0", info)
    exported = runs.get(way + "-export", {})
    whole = "%s %d" % (hashlib.sha256(csv).hexdigest(), csv.count(b"\n"))
    check(way + "-export-byte-exact", exported.get("rc") == 0 and notes.get(way + "-export-file") == whole,
          (exported, notes.get(way + "-export-file")))
    upgraded = runs.get(way + "-upgrade", {})
    check(way + "-upgrade-byte-exact", upgraded.get("rc") == 0 and received == hashlib.sha256(padded).hexdigest(),
          upgraded)


def check_cut_export(check, name, runs, notes, csv):
    """The export run NAME was cut off: exit 1, the message, and the file
    holds the whole rows before the cut and nothing else."""
    cut = runs.get(name, {})
    file = notes.get(name + "-file", " 0").split()
    kept = int(file[1]) if len(file) == 2 else 0
    prefix = hashlib.sha256(b"\n".join(csv.split(b"\n")[:kept]) + b"\n").hexdigest()
    check(name + "-keeps-whole-rows", cut.get("rc") == 1 and 0 < kept < csv.count(b"\n") and file[0] == prefix
          and re.search(r"Only \d+ of %d records have been saved!" % RECORDS, cut.get("err", "")), (cut, file))


def check_cut_upgrade(check, name, runs):
    """The upgrade run NAME was cut off: exit 1, saying to run it again."""
    cut = runs.get(name, {})
    check(name + "-says-run-again", cut.get("rc") == 1 and "until the upgrade is run again" in cut.get("err", ""), cut)

if __name__ == "__main__":
    sys.exit(main())
