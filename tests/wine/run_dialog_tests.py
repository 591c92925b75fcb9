#!/usr/bin/env python3
"""Runs the end-to-end cases of Kavrin.exe (dialog_*_test.py) under Wine and Xvfb.

Usage: run_dialog_tests.py --sim KAVRIN_SIM --prefix WINEPREFIX --kavrin Kavrin.exe
                           --driver kavrin_window_driver.exe --artifacts DIR [-k PATTERN ...]
                           [--records kavrin-records.exe --cases records_*_test.py]
Screenshots go to DIR; -k picks cases whose names contain PATTERN, as unittest's -k does.
--cases picks the files of cases (Kavrin Records' own run them with --records).
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
import dialog_harness  # noqa: E402
import wine_env  # noqa: E402

# Without a window manager under Xvfb, Wine draws the window frames itself and
# does not wait for one to confirm that a window was hidden.
SESSION_SETTINGS = [
    "REGEDIT4", "",
    "[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]",
    '"Decorated"="N"',
    '"Managed"="N"',
    # Every run starts with the record book kept, as a new user has it.
    "[HKEY_CURRENT_USER\\Software\\Kavrin]",
    '"KeepBook"=dword:00000001',
]


def import_registry(prefix, lines):
    with tempfile.NamedTemporaryFile("w", suffix=".reg", delete=False) as reg:
        reg.write("\r\n".join(lines) + "\r\n")
    try:
        subprocess.run(wine_env.wine_command("wine", "regedit", "/S", reg.name), env=wine_env.wine_environment(prefix),
                       check=True, timeout=120, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    finally:
        os.unlink(reg.name)


WINE_FONTS = "/usr/share/wine/fonts"


def install_wine_fonts(prefix):
    """Wine's own Tahoma and friends (package fonts-wine), which this Wine
    finds only in the prefix's Fonts folder. Without them the dialog font
    falls back to a wider one and labels are clipped as they never are on
    Windows."""
    fonts = os.path.join(prefix, "drive_c", "windows", "Fonts")
    if not os.path.isdir(WINE_FONTS):
        print("warning: %s is missing (package fonts-wine); the window will use a wider font" % WINE_FONTS)
        return
    os.makedirs(fonts, exist_ok=True)
    for name in os.listdir(WINE_FONTS):
        target = os.path.join(fonts, name)
        if name.endswith(".ttf") and not os.path.exists(target):
            os.symlink(os.path.join(WINE_FONTS, name), target)


LOCAL_ZONE = "KVT-5:30"


def start_xvfb():
    """Xvfb on a free display; gives the process and ":N"."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        raise RuntimeError("Xvfb did not start")
    return xvfb, ":" + number


def main():
    parser = argparse.ArgumentParser()
    for name in ("--sim", "--prefix", "--kavrin", "--driver", "--artifacts"):
        parser.add_argument(name, required=True)
    parser.add_argument("--records")
    parser.add_argument("--cases", default="dialog_*_test.py")
    parser.add_argument("-k", dest="patterns", action="append")
    args = parser.parse_args()
    for name in ("sim", "prefix", "kavrin", "driver", "artifacts"):
        setattr(args, name, os.path.abspath(getattr(args, name)))
    loader = unittest.TestLoader()
    loader.testNamePatterns = ["*%s*" % p for p in args.patterns] if args.patterns else None
    cases = loader.discover(HERE, pattern=args.cases, top_level_dir=HERE)

    # A zone east of UTC for the whole session, Wine and these tests alike, so
    # that a program showing UTC where local time belongs cannot pass.
    os.environ["TZ"] = LOCAL_ZONE
    time.tzset()
    started = time.monotonic()
    os.makedirs(args.artifacts, exist_ok=True)
    wine_env.ensure_prefix(args.prefix)
    links = tempfile.mkdtemp(prefix="kavrin-dialog-ports-")
    install_wine_fonts(args.prefix)
    import_registry(args.prefix, SESSION_SETTINGS)
    wine_env.map_ports(args.prefix, {n: os.path.join(links, "com%d" % n)
                                     for n in [*range(1, 19), wine_env.LISTED_PORT]})

    host_ports = wine_env.hold_host_ports()
    xvfb, display = start_xvfb()
    env = wine_env.wine_environment(args.prefix)
    env["DISPLAY"] = display
    session = dialog_harness.Session
    session.sim, session.kavrin, session.artifacts = args.sim, args.kavrin, args.artifacts
    session.records = args.records and os.path.abspath(args.records)
    session.links, session.env, session.display = links, env, display
    session.wine_log = open(os.path.join(args.artifacts, "wine.log"), "w")
    session.driver = dialog_harness.Driver(args.driver, env, session.wine_log)
    try:
        print("Wine session ready in %.1f s" % (time.monotonic() - started), flush=True)
        result = unittest.TextTestRunner(verbosity=2).run(cases)
    finally:
        session.driver.stop()
        subprocess.run(wine_env.wine_command("wineserver", "-k"), env=env, stderr=session.wine_log, timeout=60)
        session.wine_log.close()
        xvfb.terminate()
        xvfb.wait()
        shutil.rmtree(links, ignore_errors=True)
        for fd in host_ports:
            os.close(fd)
    print("%d cases in %.1f s" % (result.testsRun, time.monotonic() - started))
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
