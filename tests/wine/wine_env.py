"""A private Wine session with COM ports mapped to virtual readers.

Wine maps COMn to a Unix path through HKLM\\Software\\Wine\\Ports and rebuilds
its dosdevices links from that key when the session starts, so every mapping
change is followed by `wineserver -k`. All of COM1 to COM18 are mapped, the
unused ones to a path that does not exist. Wine gives the host's own serial
ports the numbers after and lists them, as it lists every port, under
SERIALCOMM, where the programs look too: a session holds them, so that they
do not open.

A session lasts while a Wine program runs, and after the last one for as
long as its server was told (`wineserver -pN`; Debian's wineserver script
tells 0 to a server that a program starts). A command that comes after a
session has ended runs in a new one, or meets one that is ending:
SERIALCOMM, rebuilt for each session, no longer holds what a case planted
there, and the ending server kills the command, or takes its change and
ends without it reaching the next session. So a run whose cases plant
registry state holds one session from start to end (hold_session) and
plants through RegistryPlants.
"""

import glob
import os
import subprocess
import tempfile
import time

MISSING = "/nonexistent/kavrin-no-port"
SERIALCOMM = "HKEY_LOCAL_MACHINE\\HARDWARE\\DEVICEMAP\\SERIALCOMM"
# A port past COM18 that only Windows' own list (SERIALCOMM) names.
LISTED_PORT = 23
HOST_PORTS = ["/dev/ttyS*", "/dev/ttyUSB*", "/dev/ttyACM*"]

# Wine and its server run without CAP_SYS_ADMIN, so that a port another
# program holds with TIOCEXCL refuses them as a busy port refuses a Windows
# program, even though the tests run as root.
UNPRIVILEGED = ["setpriv", "--bounding-set", "-sys_admin"]


def serialcomm_entry(port):
    """The name of COM<port>'s value in SERIALCOMM as Wine makes it."""
    return "\\Device\\Serial%d" % (port - 1)


def wine_command(*argv):
    return UNPRIVILEGED + list(argv)


def wine_environment(prefix):
    env = dict(os.environ)
    env["WINEPREFIX"] = prefix
    env["WINEDEBUG"] = "-all"
    env["WINEDLLOVERRIDES"] = "mscoree,mshtml="
    return env


def ensure_prefix(prefix):
    """Creates the prefix once; later runs reuse it."""
    if not os.path.exists(os.path.join(prefix, "system.reg")):
        os.makedirs(prefix, exist_ok=True)
        subprocess.run(wine_command("wineboot", "-i"), env=wine_environment(prefix), check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        subprocess.run(wine_command("wineserver", "-w"), env=wine_environment(prefix), timeout=300)


def reg_text(text):
    """A name or a string as a registry file quotes it."""
    return '"%s"' % text.replace("\\", "\\\\").replace('"', '\\"')


def reg_value(name, value):
    """The line of a registry file that sets a value to a string or, given
    an int, a DWORD, or that removes it (None)."""
    if value is None:
        return reg_text(name) + "=-"
    if isinstance(value, int):
        return reg_text(name) + "=dword:%08x" % value
    return reg_text(name) + "=" + reg_text(value)


def import_registry(env, lines):
    """Applies the lines of a registry file (REGEDIT4) in one `reg import`.
    Removing a key or value that is not there is no error."""
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as reg:
        reg.write("\r\n".join(["REGEDIT4", ""] + lines) + "\r\n")
    try:
        subprocess.run(wine_command("wine", "reg", "import", reg.name), env=env, check=True, timeout=120,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    finally:
        os.unlink(reg.name)


class RegistryPlants:
    """The registry state a run's cases plant, each plant one import, and
    the state every case starts from (`known`: registry file lines that
    undo every plant), brought back by one more import before the first
    case and before the case after a plant, however that case ended: no
    case sees what another planted. A run whose plants are saved with the
    registry restores once more at its end."""

    def __init__(self, known):
        self.known = known
        self.changed = True  # what an earlier run left is not known

    def plant(self, env, lines):
        # Marked first: an import that stops halfway is undone as a whole one.
        self.changed = True
        import_registry(env, lines)

    def restore(self, env):
        if self.changed:
            import_registry(env, self.known)
            self.changed = False


def hold_session(env):
    """Starts the session in which every later command of the run is to
    run: a Wine program that waits on its input until the returned
    process's stdin is closed, or this script ends."""
    return subprocess.Popen(wine_command("wine", "cmd"), env=env, stdin=subprocess.PIPE,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def map_ports(prefix, mapping):
    """mapping: {port number: unix path}, numbers past 18 too; every other
    COM1..COM18 goes nowhere. Wine lists each mapped port under SERIALCOMM."""
    # The key is made anew: a mapping left by an earlier run would stay.
    lines = ["REGEDIT4", "", "[-HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]",
             "[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]"]
    for n in sorted(set(range(1, 19)) | set(mapping)):
        lines.append('"COM%d"="%s"' % (n, mapping.get(n, MISSING)))
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as reg:
        reg.write("\r\n".join(lines) + "\r\n")
    env = wine_environment(prefix)
    subprocess.run(wine_command("wine", "regedit", "/S", reg.name), env=env, check=True, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.unlink(reg.name)
    subprocess.run(wine_command("wineserver", "-k"), env=env, timeout=60)
    subprocess.run(wine_command("wineserver", "-w"), env=env, timeout=60)


class Sim:
    """A kavrin-sim process with its control channel on stdin/stdout."""

    def __init__(self, sim_path, link, *args):
        self.link = link
        self.proc = subprocess.Popen([sim_path, "--control", "--link", link, *args],
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
        self.path = self.proc.stdout.readline().strip()
        if not self.path:
            raise RuntimeError("kavrin-sim did not start: %s" % " ".join(args))

    def command(self, line):
        """Sends one control command; returns its output lines without the final ok."""
        self.proc.stdin.write(line + "\n")
        self.proc.stdin.flush()
        out = []
        while True:
            reply = self.proc.stdout.readline()
            if not reply:
                raise RuntimeError("kavrin-sim ended during: " + line)
            reply = reply.rstrip("\n")
            if reply == "ok":
                return out
            if reply.startswith("error:"):
                raise RuntimeError(reply)
            out.append(reply)

    def state(self):
        return dict(line.split("=", 1) for line in self.command("state"))

    def received(self):
        return self.command("received")

    def stop(self):
        if self.proc.poll() is None:
            try:
                self.proc.stdin.write("quit\n")
                self.proc.stdin.flush()
                self.proc.wait(timeout=5)
            except (BrokenPipeError, subprocess.TimeoutExpired):
                self.proc.kill()
                self.proc.wait()


def run_wine(prefix, argv, timeout, extra_env=None):
    env = wine_environment(prefix)
    env.update(extra_env or {})
    start = time.monotonic()
    result = subprocess.run(wine_command("wine", *argv), env=env, timeout=timeout)
    return result.returncode, time.monotonic() - start


def hold_exclusively(path):
    """Opens a tty and marks it exclusive, as a program using the port would.

    Returns the file descriptor; closing it lets the port go."""
    import fcntl
    import termios
    # Without waiting for a carrier a real port may never raise.
    fd = os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK)
    fcntl.ioctl(fd, termios.TIOCEXCL)
    return fd


def hold_host_ports():
    """Holds each of the host's serial ports that opens; gives the descriptors."""
    held = []
    for path in sorted(p for pattern in HOST_PORTS for p in glob.glob(pattern)):
        try:
            held.append(hold_exclusively(path))
        except OSError:
            pass
    return held
