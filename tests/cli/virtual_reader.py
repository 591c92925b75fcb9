"""kavrin-sim for the Python tests of kavrin-cli, and the records it holds."""

import os
import subprocess
import time

SAMPLE_TIME = 1600000000  # 2020-09-13 12:26:40 UTC


def fdxb(country, national, seconds=SAMPLE_TIME):
    """The 16 bytes of an FDX-B record, as 32 hex digits."""
    low = national & 0xFFFFFFFF
    b5 = ((country & 3) << 6) | (national >> 32)
    body = bytes([0]) + low.to_bytes(4, "little") + bytes([b5, country >> 2]) + bytes(5)
    return (body + seconds.to_bytes(4, "big")).hex().upper()


def hdx(country, national, seconds=SAMPLE_TIME):
    """The 16 bytes of an HDX record, as 32 hex digits."""
    word = country << 6
    body = bytes([1, 0, 0]) + word.to_bytes(2, "big") + national.to_bytes(4, "big") + bytes(3)
    return (body + seconds.to_bytes(4, "big")).hex().upper()


class Reader:
    """kavrin-sim in `folder` holding `records` (32 hex digits each), with its other `args`."""

    def __init__(self, sim, folder, records=(), *args):
        self.link = os.path.join(folder, "reader")
        if records:
            path = os.path.join(folder, "records.txt")
            with open(path, "w") as out:
                out.write("\n".join(records) + "\n")
            args = ("--records-file", path) + args
        self.proc = subprocess.Popen([sim, "--link", self.link, *args], stdout=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(self.link):
                return
            time.sleep(0.05)
        raise RuntimeError("kavrin-sim did not start")

    def stop(self):
        self.proc.terminate()
        self.proc.wait(timeout=10)
