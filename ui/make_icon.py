#!/usr/bin/env python3
"""Draws the application icon: a handheld reader with a ring antenna reading a
yellow ear tag. Writes Kavrin.ico (16 to 48 pixels as 32-bit bitmaps, 256 as
PNG) next to this script, or to the path given.

The picture is drawn on a 256-unit canvas from a few shapes; every size is
rendered from the same shapes with 4x4 supersampling. The smallest sizes
leave out the waves and the print on the tag, which would only blur there.
"""
import math
import struct
import sys
import zlib
from pathlib import Path

SIZES = (16, 24, 32, 48, 256)
SAMPLES = 4

SLATE = (0x2C, 0x3E, 0x50)
SLATE_EDGE = (0x17, 0x22, 0x2D)
LCD = (0x9B, 0xD7, 0x70)
LCD_INK = (0x2F, 0x5A, 0x1E)
KEY = (0xE6, 0x7E, 0x22)
TAG = (0xF6, 0xC3, 0x1B)
TAG_EDGE = (0xA8, 0x7B, 0x00)
TAG_INK = (0x5B, 0x43, 0x00)
WAVE = (0x29, 0x80, 0xB9)


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def ring(cx, cy, r_out, r_in):
    return lambda x, y: r_in * r_in <= (x - cx) ** 2 + (y - cy) ** 2 <= r_out * r_out


def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def arc(cx, cy, r_out, r_in, from_deg, to_deg):
    band = ring(cx, cy, r_out, r_in)

    def inside(x, y):
        angle = math.degrees(math.atan2(y - cy, x - cx))
        return from_deg <= angle <= to_deg and band(x, y)
    return inside


def union(*shapes):
    return lambda x, y: any(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: shape(x, y) and not hole(x, y)


def layers(detailed):
    """Back to front: (shape, colour)."""
    head = lambda g: ring(74, 74, 52 + g, 32 - g)
    body = lambda g: rounded_rect(22 - g, 112 - g, 126 + g, 246 + g, 20 + g)
    tag_outline = lambda g: union(circle(192, 62, 34 + g), rounded_rect(150 - g, 70 - g, 234 + g, 176 + g, 22 + g))
    hole = circle(192, 56, 11)

    scene = [
        (minus(tag_outline(7), hole), TAG_EDGE),
        (minus(tag_outline(0), circle(192, 56, 18)), TAG),
        (ring(192, 56, 18, 11), TAG_EDGE),
        (head(7), SLATE_EDGE),
        (body(7), SLATE_EDGE),
        (head(0), SLATE),
        (body(0), SLATE),
        (rounded_rect(40, 130, 108, 182, 8), LCD),
        (circle(74, 214, 15), KEY),
    ]
    if detailed:
        scene += [
            (rounded_rect(50, 146, 98, 152, 2), LCD_INK),
            (rounded_rect(50, 160, 86, 166, 2), LCD_INK),
            (rounded_rect(168, 114, 216, 124, 4), TAG_INK),
            (rounded_rect(168, 136, 204, 146, 4), TAG_INK),
            (arc(74, 74, 78, 68, -40, 40), WAVE),
            (arc(74, 74, 98, 88, -34, 34), WAVE),
        ]
    return scene


def render(size):
    scene = layers(detailed=size >= 32)
    scale = 256.0 / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    for shape, colour in reversed(scene):
                        if shape(x, y):
                            r += colour[0]
                            g += colour[1]
                            b += colour[2]
                            a += 1
                            break
            n = SAMPLES * SAMPLES
            if a:
                row.append((r // a, g // a, b // a, 255 * a // n))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def png(pixels):
    size = len(pixels)
    raw = b"".join(b"\0" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def bitmap(pixels):
    """A 32-bit DIB as icons hold it: bottom-up BGRA, then a 1-bit mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colour = b"".join(bytes((p[2], p[1], p[0], p[3])) for row in reversed(pixels) for p in row)
    mask_stride = (size + 31) // 32 * 4
    mask = b""
    for row in reversed(pixels):
        bits = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(bits)
    return header + colour + mask


def icon(images):
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, data in images:
        edge = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", edge, edge, 0, 0, 1, 32, len(data), offset)
        blobs += data
        offset += len(data)
    return directory + entries + blobs


def main():
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else Path(__file__).with_name("Kavrin.ico")
    images = []
    for size in SIZES:
        pixels = render(size)
        images.append((size, png(pixels) if size >= 256 else bitmap(pixels)))
    out.write_bytes(icon(images))


if __name__ == "__main__":
    main()
