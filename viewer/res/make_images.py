#!/usr/bin/env python3
"""Draws the viewer's pictures: Corvelle.ico (icon 128, 32x32), Corvelle2.ico
(icon group 129, 32x32 and 16x16, 16 colours) and friend.bmp (bitmap 133,
15x17, 24-bit: a person's head and shoulders in blues on white).
Run it again after changing a picture; the outputs are committed."""
import struct

# The 16 standard colours of a 4-bit icon, as (r, g, b).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
NAVY, BLUE, WHITE, GREY, CYAN, BLACK = 4, 12, 15, 8, 14, 0


def bubble(size):
    """A chat bubble with three lines of text: (pixels as palette indexes, mask)."""
    px = [[None] * size for _ in range(size)]
    s = size / 32.0
    x0, y0, x1, y1 = round(2 * s), round(4 * s), round(29 * s), round(22 * s)
    r = max(2, round(5 * s))
    for y in range(size):
        for x in range(size):
            inside = x0 <= x <= x1 and y0 <= y <= y1
            for cx, cy in ((x0 + r, y0 + r), (x1 - r, y0 + r), (x0 + r, y1 - r), (x1 - r, y1 - r)):
                if abs(x - cx) <= r and abs(y - cy) <= r:
                    if (x < x0 + r or x > x1 - r) and (y < y0 + r or y > y1 - r):
                        inside = inside and (x - cx) ** 2 + (y - cy) ** 2 <= r * r
            if inside:
                edge = x in (x0, x1) or y in (y0, y1)
                px[y][x] = NAVY if edge else BLUE
    # The bubble's tail, bottom left.
    for i in range(round(7 * s)):
        for x in range(round(7 * s) + 0, round(7 * s) + round(7 * s) - i):
            y = y1 + 1 + i
            if y < size and x < size:
                px[y][x] = NAVY if x == round(7 * s) or x == round(7 * s) + round(7 * s) - i - 1 else BLUE
    # Text lines.
    for line, length in ((0, 19), (1, 15), (2, 10)):
        y = round((9 + line * 4.5) * s)
        for x in range(round(7 * s), round((7 + length) * s)):
            if px[y][x] is not None:
                px[y][x] = WHITE
    mask = [[1 if p is None else 0 for p in row] for row in px]
    pixels = [[0 if p is None else p for p in row] for row in px]
    return pixels, mask


def icon_image(size):
    pixels, mask = bubble(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_row = (size * 4 + 31) // 32 * 4
    and_row = (size + 31) // 32 * 4
    xor = bytearray()
    andm = bytearray()
    for y in reversed(range(size)):
        row = bytearray(xor_row)
        for x in range(size):
            row[x // 2] |= pixels[y][x] << (4 if x % 2 == 0 else 0)
        xor += row
        row = bytearray(and_row)
        for x in range(size):
            if mask[y][x]:
                row[x // 8] |= 0x80 >> (x % 8)
        andm += row
    return header + palette + bytes(xor) + bytes(andm)


def write_ico(path, sizes):
    images = [icon_image(s) for s in sizes]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for s, data in zip(sizes, images):
        out += struct.pack('<BBBBHHII', s, s, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    with open(path, 'wb') as f:
        f.write(out + b''.join(images))


def friend_bitmap(path):
    w, h = 15, 17
    white, light, mid, dark = (255, 255, 255), (120, 170, 235), (50, 110, 210), (20, 50, 140)
    px = [[white] * w for _ in range(h)]
    for y in range(h):
        for x in range(w):
            # Head: a disc around (7, 5).
            d_head = (x - 7) ** 2 + (y - 5) ** 2
            if d_head <= 13:
                px[y][x] = dark if d_head > 8 else (light if (x - 6) ** 2 + (y - 4) ** 2 <= 2 else mid)
            # Shoulders: the upper half of an ellipse around (7, 17).
            elif y >= 10:
                e = ((x - 7) / 7.0) ** 2 + ((y - 17) / 7.0) ** 2
                if e <= 1.0:
                    px[y][x] = dark if e > 0.7 else (light if x < 6 and y < 14 else mid)
    row_bytes = (w * 3 + 3) // 4 * 4
    data = bytearray()
    for y in reversed(range(h)):
        row = bytearray()
        for r, g, b in px[y]:
            row += bytes((b, g, r))
        data += row + bytes(row_bytes - len(row))
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    file_header = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    with open(path, 'wb') as f:
        f.write(file_header + info + bytes(data))


if __name__ == '__main__':
    write_ico('Corvelle.ico', [32])
    write_ico('Corvelle2.ico', [32, 16])
    friend_bitmap('friend.bmp')
