#!/usr/bin/env python3
"""Draws the Varnex icon (a biped skeleton over the grey shadow of another one) in the 16 colours
of the standard palette, and writes it as XPM (for GTK) and as a Windows .ico, 32x32 and 16x16.

Run from anywhere: python3 make_icon.py [preview-folder]. The outputs are written beside this
script; with a preview folder, enlarged PNG previews are written there too."""

import os
import struct
import sys
import zlib

PALETTE = [
    (0x00, 0x00, 0x00), (0x80, 0x00, 0x00), (0x00, 0x80, 0x00), (0x80, 0x80, 0x00),
    (0x00, 0x00, 0x80), (0x80, 0x00, 0x80), (0x00, 0x80, 0x80), (0xC0, 0xC0, 0xC0),
    (0x80, 0x80, 0x80), (0xFF, 0x00, 0x00), (0x00, 0xFF, 0x00), (0xFF, 0xFF, 0x00),
    (0x00, 0x00, 0xFF), (0xFF, 0x00, 0xFF), (0x00, 0xFF, 0xFF), (0xFF, 0xFF, 0xFF),
]
BLACK, NAVY, TEAL, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 4, 6, 7, 8, 9, 11, 12, 15
CLEAR = -1

# The running pose in a 32-unit square: joints, then the bones between them.
JOINTS = {
    "head": (16, 7), "neck": (16, 11), "pelvis": (15, 18),
    "l_elbow": (11, 15), "l_hand": (9, 19), "r_elbow": (21, 14), "r_hand": (24, 10),
    "l_knee": (11, 23), "l_foot": (9, 28), "r_knee": (19, 23), "r_foot": (23, 27),
}
BONES = [
    ("neck", "pelvis"), ("neck", "l_elbow"), ("l_elbow", "l_hand"), ("neck", "r_elbow"),
    ("r_elbow", "r_hand"), ("pelvis", "l_knee"), ("l_knee", "l_foot"), ("pelvis", "r_knee"),
    ("r_knee", "r_foot"),
]


def line(img, a, b, colour, thick):
    (x0, y0), (x1, y1) = a, b
    steps = max(abs(x1 - x0), abs(y1 - y0), 1)
    for i in range(steps + 1):
        x = round(x0 + (x1 - x0) * i / steps)
        y = round(y0 + (y1 - y0) * i / steps)
        for dx in range(thick):
            for dy in range(thick):
                put(img, x + dx, y + dy, colour)


def put(img, x, y, colour):
    if 0 <= y < len(img) and 0 <= x < len(img[0]):
        img[y][x] = colour


def disc(img, cx, cy, r, colour):
    for y in range(cy - r, cy + r + 1):
        for x in range(cx - r, cx + r + 1):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                put(img, x, y, colour)


def background(size):
    img = [[NAVY] * size for _ in range(size)]
    last = size - 1
    for y in range(size):
        for x in range(size):
            if x in (0, last) or y in (0, last):
                img[y][x] = BLACK
    # Rounded corners.
    for x, y in [(0, 0), (1, 0), (0, 1), (last, 0), (last - 1, 0), (last, 1),
                 (0, last), (1, last), (0, last - 1), (last, last), (last - 1, last),
                 (last, last - 1)]:
        img[y][x] = CLEAR
    for x, y in [(1, 1), (last - 1, 1), (1, last - 1), (last - 1, last - 1)]:
        img[y][x] = BLACK
    return img


def figure(img, scale, shift, body, joints, head, thick, head_radius):
    def at(name):
        x, y = JOINTS[name]
        return (round(x * scale) + shift, round(y * scale))

    for a, b in BONES:
        line(img, at(a), at(b), body, thick)
    hx, hy = at("head")
    disc(img, hx, hy, head_radius, head)
    if joints is not None:
        for name in ("pelvis", "l_elbow", "r_elbow", "l_knee", "r_knee"):
            x, y = at(name)
            put(img, x, y, joints)


def draw(size):
    img = background(size)
    if size == 32:
        figure(img, 1.0, -6, GREY, None, GREY, 2, 3)
        figure(img, 1.0, 2, WHITE, RED, YELLOW, 2, 3)
    else:
        # Too small for the shadow: the one skeleton.
        figure(img, 0.5, 0, WHITE, None, YELLOW, 1, 1)
    return img


XPM_CHARS = ".+@#$%&*=-;>,')!"


def xpm(img, name):
    size = len(img)
    used = sorted({c for row in img for c in row if c != CLEAR})
    lines = ["/* XPM */", "static const char* const %s[] = {" % name,
             '"%d %d %d 1",' % (size, size, len(used) + 1), '"  c None",']
    for c in used:
        lines.append('"%s c #%02X%02X%02X",' % ((XPM_CHARS[c],) + PALETTE[c]))
    rows = ['"%s"' % "".join(" " if c == CLEAR else XPM_CHARS[c] for c in row) for row in img]
    lines.append(",\n".join(rows))
    lines.append("};")
    return "\n".join(lines) + "\n"


def ico_image(img):
    size = len(img)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor_bits = b""
    and_bits = b""
    for row in reversed(img):  # bottom-up
        nibbles = [0 if c == CLEAR else c for c in row]
        packed = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, size, 2))
        xor_bits += packed.ljust(xor_row, b"\0")
        mask = 0
        for c in row:
            mask = (mask << 1) | (1 if c == CLEAR else 0)
        and_bits += mask.to_bytes(size // 8, "big").ljust(and_row, b"\0")
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 4, 0,
                         len(xor_bits) + len(and_bits), 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    return header + palette + xor_bits + and_bits


def ico(images):
    data = [ico_image(img) for img in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, data):
        size = len(img)
        out += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    return out + b"".join(data)


def png(img, zoom):
    size = len(img) * zoom
    raw = b""
    for row in img:
        line_bytes = b"\0"
        for c in row:
            rgb = (0xE0, 0xE0, 0xE0) if c == CLEAR else PALETTE[c]
            line_bytes += bytes(rgb) * zoom
        raw += line_bytes * zoom

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF))

    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    big, small = draw(32), draw(16)
    with open(os.path.join(here, "varnex_32.xpm"), "w", newline="\n") as f:
        f.write(xpm(big, "varnex_32_xpm"))
    with open(os.path.join(here, "varnex_16.xpm"), "w", newline="\n") as f:
        f.write(xpm(small, "varnex_16_xpm"))
    with open(os.path.join(here, "varnex.ico"), "wb") as f:
        f.write(ico([big, small]))
    if len(sys.argv) > 1:
        for img, name in ((big, "icon32.png"), (small, "icon16.png")):
            with open(os.path.join(sys.argv[1], name), "wb") as f:
                f.write(png(img, 8))


if __name__ == "__main__":
    main()
