#!/usr/bin/env python3
"""Writes the program's icon as PNG files of the given sizes, drawn by the
same shapes as the Windows icon (ui/make_icon.py): OUTDIR/kavrin-gui-N.png.

usage: make_png_icons.py OUTDIR SIZE...
"""
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent.parent / "ui"))
import make_icon  # noqa: E402


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    for size in map(int, sys.argv[2:]):
        (out / f"kavrin-gui-{size}.png").write_bytes(make_icon.png(make_icon.render(size)))


if __name__ == "__main__":
    main()
