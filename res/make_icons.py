#!/usr/bin/env python3
"""Draws the program's icons from geometry, so that no binary image is kept in git.

TTICON: function on  - a green power symbol on a light disc.
TFICON: function off - the same symbol in grey, crossed by a red bar.
MAINICON: the window's icon - the power symbol on a blue disc.
ABOUT.bmp: the 48 x 48 picture of the About box.
"""
import math
import struct
import sys
from pathlib import Path

SUPER = 4  # samples per pixel side for smooth edges


def power_symbol(x, y):
    """Coverage shapes in a unit square (0..1): returns 'ring', 'bar' or None."""
    cx, cy = 0.5, 0.54
    r = math.hypot(x - cx, y - cy)
    angle = math.degrees(math.atan2(x - cx, cy - y))  # 0 = straight up
    if 0.24 <= r <= 0.34 and abs(angle) > 35:
        return "ring"
    if abs(x - cx) <= 0.055 and 0.12 <= y <= 0.52:
        return "bar"
    return None


def render(size, style):
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SUPER):
                for sx in range(SUPER):
                    x = (px + (sx + 0.5) / SUPER) / size
                    y = (py + (sy + 0.5) / SUPER) / size
                    c = sample(x, y, style)
                    if c:
                        a = c[3] / 255.0
                        for i in range(3):
                            acc[i] += c[i] * a
                        acc[3] += a
            n = SUPER * SUPER
            alpha = acc[3] / n
            if alpha > 0:
                rgb = [acc[i] / acc[3] for i in range(3)]
            else:
                rgb = [0, 0, 0]
            row.append((int(rgb[0]), int(rgb[1]), int(rgb[2]), int(round(alpha * 255))))
        pixels.append(row)
    return pixels


def sample(x, y, style):
    d = math.hypot(x - 0.5, y - 0.5)
    shape = power_symbol(x, y)
    if style == "off":
        # A red bar from top right to bottom left crosses everything.
        if abs((x + y) - 1.0) / math.sqrt(2) <= 0.07 and 0.12 <= x <= 0.88:
            return (220, 30, 30, 255)
    if shape:
        return {"on": (20, 140, 40, 255), "off": (110, 110, 110, 255), "main": (255, 255, 255, 255)}[style]
    if d <= 0.47:
        return {"on": (215, 245, 215, 255), "off": (225, 225, 225, 255), "main": (40, 100, 200, 255)}[style]
    if d <= 0.5:
        return {"on": (20, 110, 30, 255), "off": (90, 90, 90, 255), "main": (20, 60, 140, 255)}[style]
    return None


def dib(pixels):
    """A 32-bit icon image: BITMAPINFOHEADER (double height), BGRA rows bottom-up, AND mask."""
    size = len(pixels)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(pixels):
        bits = bytearray(mask_row_bytes)
        for i, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    return header + xor + bytes(mask)


def write_ico(path, style, sizes=(16, 32, 48)):
    images = [dib(render(s, style)) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, img in zip(sizes, images):
        out += struct.pack("<BBBBHHII", s, s, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    path.write_bytes(out + b"".join(images))


def write_bmp(path, style, size=48, background=(240, 240, 240)):
    pixels = render(size, style)
    row_bytes = (size * 3 + 3) // 4 * 4
    body = bytearray()
    for row in reversed(pixels):
        line = bytearray()
        for r, g, b, a in row:
            k = a / 255.0
            line += bytes((int(b * k + background[2] * (1 - k)), int(g * k + background[1] * (1 - k)),
                           int(r * k + background[0] * (1 - k))))
        body += line + bytes(row_bytes - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, size, size, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    path.write_bytes(b"BM" + struct.pack("<IHHI", 14 + len(header) + len(body), 0, 0, 14 + len(header)) + header + body)


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else ".")
    out.mkdir(parents=True, exist_ok=True)
    write_ico(out / "TTICON.ico", "on")
    write_ico(out / "TFICON.ico", "off")
    write_ico(out / "MAINICON.ico", "main")
    write_bmp(out / "ABOUT.bmp", "main")


if __name__ == "__main__":
    main()
