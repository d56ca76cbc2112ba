#!/usr/bin/env python3
"""Writes the installer's placeholder skin: PNG images 1101-1119 at the sizes
the window layout expects, and the program icon. Plain stdlib, so the build
needs no image tools."""
import os
import struct
import sys
import zlib

# id: (width, height, top colour, bottom colour); buttons are strips of four cells.
IMAGES = {
    1101: (600, 350, (22, 36, 58), (10, 16, 28)),      # window background
    1102: (598, 200, (40, 70, 110), (30, 50, 80)),     # banner backdrop
    1103: (598, 430, (28, 44, 70), (18, 28, 44)),      # lower backdrop
    1104: (16, 16, (90, 90, 90), (60, 60, 60)),
    1105: (16, 16, (90, 90, 90), (60, 60, 60)),
    1106: (598, 37, (12, 22, 40), (8, 14, 26)),        # title bar
    1107: (136, 34, (200, 60, 60), (140, 40, 40)),     # close, 4 x 34x34
    1108: (136, 34, (70, 110, 170), (50, 80, 130)),    # minimise, 4 x 34x34
    1109: (16, 16, (90, 90, 90), (60, 60, 60)),
    1110: (592, 50, (250, 160, 40), (210, 110, 20)),   # main button, 4 x 148x50
    1111: (540, 18, (50, 60, 75), (35, 42, 55)),       # progress track
    1112: (100, 12, (120, 170, 230), (90, 130, 190)),  # change dir, 4 x 25x12
    1113: (536, 14, (90, 210, 90), (40, 150, 60)),     # progress fill
    1114: (450, 41, (240, 220, 120), (200, 170, 60)),  # runner, 18 x 25x41
    1115: (416, 18, (30, 40, 55), (30, 40, 55)),       # tip line backing
    1116: (209, 46, (40, 40, 40), (20, 20, 20)),       # desktop tip bubble
    1117: (440, 184, (50, 55, 65), (30, 33, 40)),      # failure panel
    1118: (356, 32, (80, 140, 220), (50, 100, 180)),   # OK, 4 x 89x32
    1119: (356, 32, (240, 150, 40), (200, 110, 20)),   # retry, 4 x 89x32
}
CELLS = {1107: 4, 1108: 4, 1110: 4, 1112: 4, 1118: 4, 1119: 4, 1114: 18}
# Shade per button state: normal, hover, pressed, disabled.
CELL_SHADE = [1.0, 1.25, 0.75, 0.45]


def png(width, height, rgba_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + row for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(raw, 9))
            + chunk(b"IEND", b""))


def pixels(image_id, width, height, top, bottom):
    cells = CELLS.get(image_id, 1)
    cell_w = width // cells
    rows = []
    for y in range(height):
        t = y / max(1, height - 1)
        base = [round(a + (b - a) * t) for a, b in zip(top, bottom)]
        row = bytearray()
        for x in range(width):
            cell, cx = divmod(x, cell_w)
            shade = CELL_SHADE[cell] if cells == 4 else 1.0
            edge = cx == 0 or cx == cell_w - 1 or y == 0 or y == height - 1
            if cells == 18:   # runner: a small figure bobbing from cell to cell
                r = abs(cx - cell_w // 2) + abs(y - 20 - (cell % 6) - 4)
                alpha = 255 if r < 9 else 0
                row += bytes(base) + bytes([alpha])
                continue
            c = [min(255, round(v * shade)) for v in base]
            if edge:
                c = [min(255, v + 40) for v in c]
            row += bytes(c) + b"\xff"
        rows.append(bytes(row))
    return rows


def icon(size=32):
    # One 32-bit DIB image: XOR bitmap bottom-up, then an all-zero AND mask.
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            inside = (x - 15.5) ** 2 + (y - 15.5) ** 2 < 15 ** 2
            xor += bytes([40, 160, 250, 255]) if inside else b"\0\0\0\0"
    mask = bytes(((size + 31) // 32) * 4 * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + mask
    return (struct.pack("<HHH", 0, 1, 1)
            + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22)
            + image)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for image_id, (w, h, top, bottom) in IMAGES.items():
        with open(os.path.join(out, f"{image_id}.png"), "wb") as f:
            f.write(png(w, h, pixels(image_id, w, h, top, bottom)))
    with open(os.path.join(out, "1100.ico"), "wb") as f:
        f.write(icon())


if __name__ == "__main__":
    main()
