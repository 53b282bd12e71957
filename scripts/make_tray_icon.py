#!/usr/bin/env python3
"""Draws the tray program's icon and writes it as a Windows .ico file.

Nine images, in this order: 48, 32, 24 and 16 pixels at 8 bits per pixel (palette plus
transparency mask), 256 pixels as PNG, and 48, 32, 24 and 16 pixels at 32 bits per pixel.
The picture: a blue round badge with a white ring and a white check mark.

Usage: make_tray_icon.py <output.ico> [<preview.png>]
"""
import math
import struct
import sys
import zlib

SAMPLES = 4  # per axis, for smooth edges

TOP = (0x3C, 0x8D, 0xF0)
BOTTOM = (0x0B, 0x3D, 0x91)
WHITE = (0xFF, 0xFF, 0xFF)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def shade(u, v):
    """Colour and coverage (0 or 1) of one sample at (u, v) in the unit square."""
    r = math.hypot(u - 0.5, v - 0.5)
    if r > 0.47:
        return None
    check = min(segment_distance(u, v, 0.29, 0.52, 0.44, 0.67),
                segment_distance(u, v, 0.44, 0.67, 0.72, 0.35))
    if check < 0.045 or abs(r - 0.39) < 0.018:
        return WHITE
    t = max(0.0, min(1.0, (v - 0.03) / 0.94))
    return tuple(round(a + (b - a) * t) for a, b in zip(TOP, BOTTOM))


def render(size):
    """Rows of (r, g, b, a) from the top."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = shade((x + (sx + 0.5) / SAMPLES) / size, (y + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += c[i]
            if hits == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(tuple(round(a / hits) for a in acc) + (round(255 * hits / SAMPLES ** 2),))
        rows.append(row)
    return rows


def and_mask(rows, opaque):
    """1-bit mask rows from the bottom, padded to 32 bits: 1 where transparent."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4
    out = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if not opaque(px):
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return bytes(out)


def bitmap_header(size, bits, image_bytes, colours):
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, image_bytes, 0, 0, colours, 0)


# A 6x7x6 colour cube (252 entries) plus 4 greys: the 256-colour palette of the 8-bit images.
PALETTE = [(round(r * 255 / 5), round(g * 255 / 6), round(b * 255 / 5))
           for r in range(6) for g in range(7) for b in range(6)] + [(0, 0, 0), (64, 64, 64), (128, 128, 128), (192, 192, 192)]


def nearest(colour):
    r, g, b = colour
    return min(range(len(PALETTE)), key=lambda i: (PALETTE[i][0] - r) ** 2 + (PALETTE[i][1] - g) ** 2 + (PALETTE[i][2] - b) ** 2)


def bmp8(rows):
    size = len(rows)
    stride = (size + 3) & ~3
    cache = {}
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, px in enumerate(row):
            if px[3] >= 128:
                key = px[:3]
                if key not in cache:
                    cache[key] = nearest(key)
                line[x] = cache[key]
        pixels += line
    mask = and_mask(rows, lambda px: px[3] >= 128)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return bitmap_header(size, 8, len(pixels) + len(mask), 256) + palette + bytes(pixels) + mask


def bmp32(rows):
    size = len(rows)
    pixels = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask = and_mask(rows, lambda px: px[3] > 0)
    return bitmap_header(size, 32, len(pixels) + len(mask), 0) + bytes(pixels) + mask


def png(rows):
    size = len(rows)
    raw = bytearray()
    for row in rows:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    rendered = {size: render(size) for size in (256, 48, 32, 24, 16)}
    images = [(s, 8, bmp8(rendered[s])) for s in (48, 32, 24, 16)]
    images.append((256, 32, png(rendered[256])))
    images += [(s, 32, bmp32(rendered[s])) for s in (48, 32, 24, 16)]

    offset = 6 + 16 * len(images)
    directory = struct.pack("<HHH", 0, 1, len(images))
    for size, bits, data in images:
        directory += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(sys.argv[1], "wb") as f:
        f.write(directory + b"".join(data for _, _, data in images))
    if len(sys.argv) == 3:
        with open(sys.argv[2], "wb") as f:
            f.write(png(rendered[256]))


if __name__ == "__main__":
    main()
