#!/usr/bin/python3
"""The installer's skin: PNG images 1101-1119 and icon group 1100.

    make_skin.py DIR          paint every image into DIR (Pillow and NumPy)
    make_skin.py --check DIR  check the images in DIR against the window
                              layout (standard library only, for the tests)

The images are committed under res/skin and the build takes them as they are;
repaint them only when the look changes. Painting is deterministic: the same
Pillow, NumPy and zlib give the same bytes on every run."""
import os
import struct
import sys
import zlib

# id: (cell width, cell height, cells in the row). Buttons are strips of four
# cells (normal, hover, pressed, disabled); the runner has 18.
LAYOUT = {
    1101: (600, 350, 1),   # window background; its size is the window's size
    1102: (598, 200, 1),   # banner backdrop
    1103: (598, 430, 1),   # backdrop over it, reaching below the window
    1104: (16, 16, 1),     # unused
    1105: (16, 16, 1),     # unused
    1106: (598, 37, 1),    # title bar
    1107: (34, 34, 4),     # close button
    1108: (34, 34, 4),     # minimise button
    1109: (16, 16, 1),     # unused
    1110: (148, 50, 4),    # install button (its caption is a label)
    1111: (540, 18, 1),    # progress track
    1112: (25, 12, 4),     # change-folder button
    1113: (536, 14, 1),    # progress fill, revealed from the left
    1114: (25, 41, 18),    # runner: standing, then a 17-cell run cycle
    1115: (416, 18, 1),    # tip line backing
    1116: (209, 46, 1),    # desktop greeting bubble
    1117: (440, 184, 1),   # failure panel
    1118: (89, 32, 4),     # OK button
    1119: (89, 32, 4),     # retry button
}
BUTTONS = [i for i, (_, _, cells) in LAYOUT.items() if cells == 4]
# The main window is an ordinary window: its background must cover every pixel.
OPAQUE = [1101, 1102, 1103, 1106]
ICON_SIZES = [16, 24, 32, 48, 256]
ICON_REQUIRED = {16, 32, 48}


# ---------------------------------------------------------------- reading

def read_png(path):
    """(width, height, rows of RGBA bytes) of an 8-bit RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, [], None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat.append(body)
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise ValueError(f"depth {depth}, colour type {colour}, interlace {interlace}: want 8-bit RGBA")
    raw = zlib.decompress(b"".join(idat))
    stride = width * 4
    rows, prev = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        row = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        if kind == 1:
            for i in range(4, stride):
                row[i] = (row[i] + row[i - 4]) & 0xFF
        elif kind == 2:
            row = bytearray((a + b) & 0xFF for a, b in zip(row, prev))
        elif kind == 3:
            for i in range(stride):
                left = row[i - 4] if i >= 4 else 0
                row[i] = (row[i] + ((left + prev[i]) >> 1)) & 0xFF
        elif kind == 4:
            for i in range(stride):
                a = row[i - 4] if i >= 4 else 0
                b, c = prev[i], prev[i - 4] if i >= 4 else 0
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 0xFF
        rows.append(bytes(row))
        prev = row
    return width, height, rows


def icon_sizes(path):
    """Sizes of the images in an .ico file, each checked to lie inside the file."""
    with open(path, "rb") as f:
        data = f.read()
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1:
        raise ValueError("not an icon file")
    sizes = []
    for i in range(count):
        w, h, _, _, _, bits, size, offset = struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        w, h = w or 256, h or 256
        image = data[offset:offset + size]
        if len(image) != size or w != h or bits != 32:
            raise ValueError(f"entry {i}: {w}x{h}, {bits} bits, {len(image)} of {size} bytes")
        if image[:4] == b"\x89PNG":
            pw, ph = struct.unpack(">II", image[16:24])
        else:
            _, pw, ph, _, depth = struct.unpack("<IiiHH", image[:16])
            ph //= 2  # a DIB in an icon counts its mask rows too
            if depth != 32:
                raise ValueError(f"entry {i}: {depth}-bit bitmap")
        if (pw, ph) != (w, h):
            raise ValueError(f"entry {i}: directory says {w}x{h}, image is {pw}x{ph}")
        sizes.append(w)
    return sizes


def cells_of(width, rows, count):
    w = width // count
    return [[row[c * w * 4:(c + 1) * w * 4] for row in rows] for c in range(count)]


def check(folder):
    """Problems found in folder, one line each; empty when it is all right."""
    problems = []
    expected = {f"{i}.png" for i in LAYOUT} | {"1100.ico"}
    present = set(os.listdir(folder))
    problems += [f"{name}: missing" for name in sorted(expected - present)]
    problems += [f"{name}: not part of the skin" for name in sorted(present - expected)]
    for image_id, (cw, ch, count) in LAYOUT.items():
        path = os.path.join(folder, f"{image_id}.png")
        if not os.path.exists(path):
            continue
        try:
            width, height, rows = read_png(path)
        except (ValueError, zlib.error, struct.error, TypeError) as e:
            problems.append(f"{image_id}.png: {e}")
            continue
        if (width, height) != (cw * count, ch):
            problems.append(f"{image_id}.png: {width}x{height}, want {count} cell(s) of {cw}x{ch}")
            continue
        if image_id in OPAQUE and any(any(a != 255 for a in row[3::4]) for row in rows):
            problems.append(f"{image_id}.png: has transparent pixels, must be opaque")
        cells = cells_of(width, rows, count)
        for n, cell in enumerate(cells):
            if not any(any(row[3::4]) for row in cell):
                problems.append(f"{image_id}.png: cell {n} is empty")
        if image_id in BUTTONS:
            for a in range(4):
                for b in range(a + 1, 4):
                    if cells[a] == cells[b]:
                        problems.append(f"{image_id}.png: cells {a} and {b} are the same, states look alike")
        if image_id == 1114:
            for n in range(1, count):
                if cells[n] == cells[n - 1]:
                    problems.append(f"1114.png: cells {n - 1} and {n} are the same, the figure stalls")
    path = os.path.join(folder, "1100.ico")
    if os.path.exists(path):
        try:
            missing = ICON_REQUIRED - set(icon_sizes(path))
            if missing:
                problems.append(f"1100.ico: no {', '.join(str(s) for s in sorted(missing))} px image")
        except (ValueError, struct.error) as e:
            problems.append(f"1100.ico: {e}")
    return problems


# ---------------------------------------------------------------- writing

def ico(images):
    """An icon file: small sizes as 32-bit DIBs (every Windows reads those),
    256 px as PNG."""
    import io
    entries = []
    for img in images:
        n = img.width
        if n >= 256:
            buf = io.BytesIO()
            img.save(buf, "PNG", optimize=True)
            entries.append((n, buf.getvalue()))
            continue
        bgra = img.tobytes("raw", "BGRA")
        xor = b"".join(bgra[y * n * 4:(y + 1) * n * 4] for y in range(n - 1, -1, -1))
        stride = (n + 31) // 32 * 4
        mask = bytearray()
        for y in range(n - 1, -1, -1):
            bits = bytearray(stride)
            for x in range(n):
                if bgra[(y * n + x) * 4 + 3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        header = struct.pack("<IiiHHIIiiII", 40, n, n * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        entries.append((n, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for n, data in entries:
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in entries)


def paint(folder):
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    from PIL import Image

    import skin_art as art

    window = art.window_picture()
    lower = Image.new("RGBA", (598, 430), art.rgba(art.PANEL_BOTTOM))
    lower.alpha_composite(window.crop((1, 1, 599, 350)))
    plain = Image.new("RGBA", (16, 16), art.rgba(art.PANEL_TOP))
    images = {
        1101: window,
        1102: window.crop((1, 1, 599, 201)),
        1103: lower,
        1104: plain, 1105: plain, 1109: plain,
        1106: window.crop((0, 0, 598, 37)),
        1107: art.caption_button(art.close_glyph, True),
        1108: art.caption_button(art.minimise_glyph, False),
        1110: art.install_button(),
        1111: art.progress_track(),
        1112: art.change_button(),
        1113: art.progress_fill(),
        1114: art.runner(),
        1115: art.tip_backing(),
        1116: art.bubble(),
        1117: art.failure_panel(),
        1118: art.dialog_button("确定", art.COOL),
        1119: art.dialog_button("重试", art.WARM),
    }
    os.makedirs(folder, exist_ok=True)
    for image_id, img in images.items():
        img.save(os.path.join(folder, f"{image_id}.png"), "PNG", optimize=True)
    with open(os.path.join(folder, "1100.ico"), "wb") as f:
        f.write(ico([art.emblem(n) for n in ICON_SIZES]))


def main(argv):
    if len(argv) == 3 and argv[1] == "--check":
        problems = check(argv[2])
        for line in problems:
            print(line)
        print(f"skin: {len(problems)} problem(s) in {argv[2]}")
        return 1 if problems else 0
    if len(argv) == 2 and not argv[1].startswith("-"):
        paint(argv[1])
        return 0
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
