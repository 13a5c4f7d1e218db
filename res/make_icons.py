#!/usr/bin/env python3
"""Draws the program's icons from geometry, so that no binary image is kept in git.

TTICON: function on  - a green power symbol on a light disc.
TFICON: function off - the same symbol in grey, crossed by a red bar.
MAINICON: the window's icon - the power symbol on a blue disc.
ABOUT.bmp: the 48 x 48 picture of the About box - the power symbol and a green
           leaf on a framed blue tile, opaque to the edge; ABOUT72.bmp and
           ABOUT96.bmp the same drawn for 144 and 192 DPI.
"""
import math
import struct
import sys
from pathlib import Path

SUPER = 4  # samples per pixel side for smooth edges

# Every icon holds an image for each size Windows asks for: the small icon at
# 100, 125, 150 and 200 % (16, 20, 24, 32), the large one at the same scales
# (32, 40, 48, 64). Each is drawn from the geometry at its size, so none is a
# blurred copy of another.
ICON_SIZES = (16, 20, 24, 32, 40, 48, 64)


def power_symbol(x, y, cx=0.5, cy=0.54, scale=1.0):
    """Coverage shapes in a unit square (0..1): returns 'ring', 'bar' or None."""
    # Work in the symbol's own frame, so that it can be drawn smaller or moved.
    x = cx + (x - cx) / scale
    y = cy + (y - cy) / scale
    r = math.hypot(x - cx, y - cy)
    angle = math.degrees(math.atan2(x - cx, cy - y))  # 0 = straight up
    if 0.24 <= r <= 0.34 and abs(angle) > 35:
        return "ring"
    if abs(x - cx) <= 0.055 and cy - 0.42 <= y <= cy - 0.02:
        return "bar"
    return None


def leaf(x, y, mx=0.75, my=0.75, half_length=0.21, half_width=0.085):
    """A leaf pointing up and to the right: 'edge', 'rib', 'blade', 'halo' or None.

    The blade is the lens where two circles overlap; the halo is a thin light
    rim that keeps it apart from whatever lies behind.
    """
    ux, uy = 1 / math.sqrt(2), -1 / math.sqrt(2)  # along the leaf
    nx, ny = 1 / math.sqrt(2), 1 / math.sqrt(2)   # across it
    radius = (half_length ** 2 + half_width ** 2) / (2 * half_width)
    d = radius - half_width
    dx, dy = x - mx, y - my
    d1 = math.hypot(dx - d * nx, dy - d * ny)
    d2 = math.hypot(dx + d * nx, dy + d * ny)
    inside = max(d1, d2)
    if inside > radius + 0.035:
        return None
    if inside > radius:
        return "halo"
    if inside > radius - 0.022:
        return "edge"
    along = dx * ux + dy * uy
    across = dx * nx + dy * ny
    if abs(across) <= 0.012 and abs(along) <= half_length * 0.85:
        return "rib"
    return "blade"


def about_sample(x, y):
    """The About picture: a framed blue tile, the power symbol, a green leaf.

    Every pixel is opaque, so the picture looks the same on any dialog colour.
    """
    border = 1.0 / 48
    if x < border or y < border or x > 1 - border or y > 1 - border:
        return (20, 55, 120, 255)
    part = leaf(x, y)
    if part == "edge":
        return (30, 110, 40, 255)
    if part == "rib":
        return (40, 130, 50, 255)
    if part == "blade":
        return (95, 195, 80, 255)
    if part == "halo":
        return (235, 245, 255, 255)
    if power_symbol(x, y, cx=0.45, cy=0.5, scale=0.95):
        return (255, 255, 255, 255)
    # A sky from light at the top to deep blue at the bottom.
    t = y
    return (int(95 + (25 - 95) * t), int(165 + (80 - 165) * t), int(235 + (170 - 235) * t), 255)


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
    if style == "about":
        return about_sample(x, y)
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


def write_ico(path, style, sizes=ICON_SIZES):
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
    write_bmp(out / "ABOUT.bmp", "about")
    for size in (72, 96):
        write_bmp(out / f"ABOUT{size}.bmp", "about", size)


if __name__ == "__main__":
    main()
