"""The pictures of the installer's skin. Each painter returns a Pillow RGBA
image at the exact size of its resource; make_skin.py writes them."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter

from skin_paint import (CJK, SANS, SERIF_BOLD, SS, blank, down, feather, font, from_array, glow, gradient,
                        masked, mix, outline, over, pad, rgba, shadow, shape_mask, text_gradient, text_layer)

# One palette for every image: night blues, gold, a vermilion call to action.
INK = (9, 11, 22)
PANEL_TOP = (24, 29, 50)
PANEL_BOTTOM = (13, 16, 29)
EDGE = (46, 54, 84)
GOLD_LIGHT = (255, 226, 150)
GOLD = (236, 180, 82)
GOLD_DEEP = (176, 118, 40)
CREAM = (252, 246, 230)

WINDOW_W, WINDOW_H = 600, 350
TITLE_H = 37
BANNER_Y0, BANNER_Y1 = 37, 211


# ---------------------------------------------------------------- emblem

def emblem(size):
    """The brand tile: a gold-rimmed night-blue square with a quill."""
    s = 8 if size <= 64 else 2
    n = size * s
    img = blank(n, n)
    r = n * 0.22
    body = Image.new("L", (n, n), 0)
    ImageDraw.Draw(body).rounded_rectangle((0, 0, n - 1, n - 1), r, fill=255)
    img.alpha_composite(masked(gradient(n, n, [(0, (44, 56, 110)), (1, (14, 16, 40))]), body))
    rim = Image.new("L", (n, n), 0)
    d = ImageDraw.Draw(rim)
    d.rounded_rectangle((0, 0, n - 1, n - 1), r, fill=255)
    inset = max(s, round(n * 0.055))
    d.rounded_rectangle((inset, inset, n - 1 - inset, n - 1 - inset), r - inset, fill=0)
    img.alpha_composite(masked(gradient(n, n, [(0, GOLD_LIGHT), (1, GOLD_DEEP)]), rim))
    img.alpha_composite(masked(glow(n, n, n * 0.62, n * 0.32, n * 0.6, n * 0.6, GOLD, 70), body))
    # The vane is shaded from cream at the tip to warm gold at the quill.
    vane = Image.new("L", (n, n), 0)
    feather(ImageDraw.Draw(vane), (0.2 * n, 0.86 * n), (0.8 * n, 0.13 * n), -0.07 * n, 0.15 * n,
            255, None, notches=size >= 32)
    quill = masked(gradient(n, n, [(0, CREAM), (0.45, CREAM), (1, (232, 196, 128))]), vane)
    if size >= 48:
        barbs = blank(n, n)
        d = ImageDraw.Draw(barbs)
        # Barbs leave the shaft on both sides and sweep towards the tip.
        for i in range(10):
            t = 0.3 + i * 0.065
            x, y = 0.2 * n + (0.6 * n) * t, 0.86 * n - (0.73 * n) * t
            for dx, dy in ((1.21, 0.09), (-0.33, -1.18)):
                d.line((x, y, x + dx * 0.12 * n, y + dy * 0.12 * n), fill=rgba(GOLD_DEEP, 55), width=max(1, n // 110))
        quill.alpha_composite(masked(barbs, vane))
    feather(ImageDraw.Draw(quill), (0.2 * n, 0.86 * n), (0.8 * n, 0.13 * n), -0.07 * n, 0.15 * n,
            None, rgba(GOLD_DEEP), notches=size >= 32)
    img.alpha_composite(shadow(quill, n * 0.03, 0.5))
    img.alpha_composite(quill)
    return down(img, s)


# ---------------------------------------------------------------- banner

def hill_mask(w, h, base, waves, scale):
    """Columns below a sum-of-sines ridge line, at supersampled size."""
    x = np.arange(w * scale, dtype=np.float32) / scale
    ridge = np.full_like(x, base)
    for amp, period, phase in waves:
        ridge += amp * np.sin(2 * math.pi * x / period + phase)
    y = np.arange(h * scale, dtype=np.float32)[:, None] / scale
    return Image.fromarray(((y >= ridge[None, :]) * 255).astype(np.uint8), "L"), ridge


def castle(draw, x, y, s, fill, light):
    """A small manor on a hill: keep, towers with pointed roofs, lit windows."""
    def box(x0, y0, x1, y1):
        draw.rectangle(((x + x0) * s, (y - y1) * s, (x + x1) * s, (y - y0) * s), fill=fill)

    def roof(cx, base, half, height):
        draw.polygon([((x + cx - half) * s, (y - base) * s), ((x + cx + half) * s, (y - base) * s),
                      ((x + cx) * s, (y - base - height) * s)], fill=fill)

    box(0, -6, 46, 14)           # hall
    box(8, 14, 22, 26)           # keep
    roof(15, 26, 9, 12)
    box(-6, -6, 4, 22)           # left tower
    roof(-1, 22, 7, 11)
    box(40, -6, 50, 30)          # tall right tower
    roof(45, 30, 7, 14)
    draw.line(((x + 45) * s, (y - 44) * s, (x + 45) * s, (y - 50) * s), fill=fill, width=s)
    draw.polygon([((x + 45) * s, (y - 50) * s), ((x + 51) * s, (y - 48) * s), ((x + 45) * s, (y - 46) * s)],
                 fill=fill)
    for wx, wy in ((12, 18), (17, 18), (28, 6), (33, 6), (-2, 12), (44, 20), (44, 10), (6, 6)):
        draw.rectangle(((x + wx) * s, (y - wy - 3) * s, (x + wx + 2) * s, (y - wy) * s), fill=light)


SUIT_RED = (200, 30, 44)
SUIT_BLACK = (24, 26, 38)


def card(rank, suit, red, w=50, h=72):
    """A playing card at SS: cream face, gold inner line, corner indices, big pip."""
    s = SS
    img = blank(w * s, h * s)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), 6 * s, fill=rgba((120, 110, 96)))
    d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), 5 * s, fill=rgba(CREAM))
    d.rounded_rectangle((5 * s, 5 * s, w * s - 1 - 5 * s, h * s - 1 - 5 * s), 3 * s,
                        outline=rgba(mix(CREAM, GOLD, 0.55)), width=s)
    ink = rgba(SUIT_RED if red else SUIT_BLACK)
    idx = text_layer(rank, SERIF_BOLD, 13, ink, s)
    pip = text_layer(suit, SANS, 11, ink, s)
    img.alpha_composite(idx, (4 * s, 4 * s))
    img.alpha_composite(pip, (4 * s + (idx.width - pip.width) // 2, 4 * s + idx.height + s))
    img.alpha_composite(idx.rotate(180), (w * s - 4 * s - idx.width, h * s - 4 * s - idx.height))
    big = text_layer(suit, SANS, 34, ink, s)
    img.alpha_composite(big, ((w * s - big.width) // 2, (h * s - big.height) // 2 + 2 * s))
    return img


def mahjong_tile(w=34, h=44):
    s = SS
    img = blank(w * s, h * s)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), 6 * s, fill=rgba((30, 120, 80)))          # green back
    d.rounded_rectangle((0, 0, w * s - 1, (h - 5) * s - 1), 6 * s, fill=rgba((236, 230, 210)))  # ivory body
    d.rounded_rectangle((s, s, w * s - 1 - s, (h - 6) * s - 1), 5 * s, fill=rgba(CREAM))
    glyph = text_layer("中", CJK, 26, (206, 28, 36), s)
    img.alpha_composite(glyph, ((w * s - glyph.width) // 2, ((h - 5) * s - glyph.height) // 2))
    return img


def die(size, pips):
    s = SS
    n = size * s
    img = blank(n, n)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, n - 1, n - 1), size * 0.22 * s, fill=rgba((200, 196, 188)))
    d.rounded_rectangle((s, s, n - 1 - s, n - 1 - 2 * s), size * 0.2 * s, fill=rgba((252, 250, 244)))
    spots = {1: [(0.5, 0.5)], 2: [(0.28, 0.28), (0.72, 0.72)], 3: [(0.26, 0.26), (0.5, 0.5), (0.74, 0.74)],
             4: [(0.28, 0.28), (0.72, 0.28), (0.28, 0.72), (0.72, 0.72)],
             5: [(0.26, 0.26), (0.74, 0.26), (0.5, 0.5), (0.26, 0.74), (0.74, 0.74)],
             6: [(0.28, 0.24), (0.72, 0.24), (0.28, 0.5), (0.72, 0.5), (0.28, 0.76), (0.72, 0.76)]}[pips]
    r = size * 0.09 * s
    colour = rgba(SUIT_RED if pips == 1 else SUIT_BLACK)
    for fx, fy in spots:
        d.ellipse((fx * n - r, fy * n - r, fx * n + r, fy * n + r), fill=colour)
    return img


def chip_stack(count, w=30):
    """Gaming chips seen from the side: a stack of striped ellipses."""
    s = SS
    eh, t = w * 0.42, 4.2
    h = eh + t * count + 2
    img = blank(w * s, math.ceil(h) * s)
    d = ImageDraw.Draw(img)
    for i in range(count):
        top = (h - eh - t * (i + 1) - 1) * s
        colour = [(196, 40, 40), (236, 180, 82), (40, 96, 170)][i % 3]
        d.ellipse((0, top + t * s, w * s - 1, top + (eh + t) * s), fill=rgba(mix(colour, INK, 0.45)))
        d.rectangle((0, top + eh * s / 2, w * s - 1, top + (eh / 2 + t) * s), fill=rgba(mix(colour, INK, 0.3)))
        d.ellipse((0, top, w * s - 1, top + eh * s), fill=rgba(colour))
        for k in range(6):
            a = 2 * math.pi * k / 6 + 0.3
            cx, cy = w * s / 2 + math.cos(a) * w * s * 0.4, top + eh * s / 2 + math.sin(a) * eh * s * 0.4
            d.ellipse((cx - 1.4 * s, cy - 1 * s, cx + 1.4 * s, cy + 1 * s), fill=rgba(CREAM))
        d.ellipse((w * s * 0.25, top + eh * s * 0.25, w * s * 0.75, top + eh * s * 0.75),
                  outline=rgba(mix(colour, CREAM, 0.5)), width=s)
    return img


def sparkle(draw, x, y, r, colour, s):
    """A four-pointed glint."""
    k = r * 0.22
    draw.polygon([(x * s, (y - r) * s), ((x + k) * s, (y - k) * s), ((x + r) * s, y * s), ((x + k) * s, (y + k) * s),
                  (x * s, (y + r) * s), ((x - k) * s, (y + k) * s), ((x - r) * s, y * s), ((x - k) * s, (y - k) * s)],
                 fill=colour)


def place(layer, item, cx, cy, angle=0.0, drop=3.0):
    """Rotates item (at SS) and sets it centred on (cx, cy) with a soft shadow."""
    s = SS
    if angle:
        item = item.rotate(angle, resample=Image.BICUBIC, expand=True)
    item = pad(item, 8 * s)
    x, y = round(cx * s - item.width / 2), round(cy * s - item.height / 2)
    if drop:
        over(layer, shadow(item, drop * s, 0.55), (x + round(drop * s * 0.6), y + round(drop * s)))
    over(layer, item, (x, y))


def banner(w, h):
    """The promotional picture behind the banner: a moonlit moor with a
    manor, the name and tag line on the left, a game table on the right."""
    s = SS
    W, H = w * s, h * s
    img = gradient(W, H, [(0.0, (12, 14, 40)), (0.42, (34, 32, 88)), (0.7, (82, 58, 122)), (1.0, (140, 84, 118))])
    img.alpha_composite(glow(W, H, 150 * s, 60 * s, 260 * s, 110 * s, (70, 90, 190), 70))

    # Stars, fewer near the horizon; a few with glints.
    rng = np.random.default_rng(1102)
    sky = blank(W, H)
    d = ImageDraw.Draw(sky)
    for i in range(90):
        x, y = rng.uniform(0, w), rng.uniform(0, 105) ** 1.15 / 105 ** 0.15
        b = rng.uniform(0.35, 1.0) * (1.0 - y / 140)
        r = rng.uniform(0.35, 0.9) * s
        d.ellipse((x * s - r, y * s - r, x * s + r, y * s + r), fill=(255, 250, 235, round(255 * b)))
        if i % 17 == 0:
            sparkle(d, x, y, 3.5, (255, 250, 235, round(200 * b)), s)
    img.alpha_composite(sky)

    # The moon behind the card table, and its light.
    mx, my, mr = 492, 50, 30
    img.alpha_composite(glow(W, H, mx * s, my * s, 230 * s, 150 * s, (255, 200, 140), 105, 1.6))
    moon = shape_mask(w, h, lambda dr, k: dr.ellipse(((mx - mr) * k, (my - mr) * k, (mx + mr) * k, (my + mr) * k),
                                                     fill=255)).resize((W, H), Image.BICUBIC)
    img.alpha_composite(masked(gradient(W, H, [(0, (255, 250, 230)), (0.5, (250, 226, 170)), (1, (240, 200, 140))]),
                               moon))
    craters = blank(W, H)
    d = ImageDraw.Draw(craters)
    for cx, cy, cr in ((480, 42, 6), (503, 62, 4), (498, 36, 3), (474, 63, 3)):
        d.ellipse(((cx - cr) * s, (cy - cr) * s, (cx + cr) * s, (cy + cr) * s), fill=(214, 180, 120, 60))
    img.alpha_composite(craters)

    # Three ridges of moor, mist between them, the manor on the middle one.
    far, _ = hill_mask(w, h, 118, [(7, 210, 0.6), (4, 90, 2.1)], s)
    img.alpha_composite(masked((58, 46, 104), far))
    img.alpha_composite(glow(W, H, 330 * s, 122 * s, 420 * s, 20 * s, (196, 170, 230), 70, 1.2))
    mid, ridge = hill_mask(w, h, 140, [(9, 260, 2.4), (3, 70, 0.3)], s)
    cx = 300
    layer = blank(W, H)
    castle(ImageDraw.Draw(layer), cx, float(ridge[cx * s]) + 4, s, rgba((30, 26, 62)), rgba((255, 196, 110)))
    img.alpha_composite(layer)
    img.alpha_composite(masked((32, 28, 68), mid))
    img.alpha_composite(glow(W, H, 250 * s, 150 * s, 380 * s, 16 * s, (170, 150, 210), 55, 1.2))
    near, _ = hill_mask(w, h, 162, [(6, 300, 4.0), (2, 55, 1.0)], s)
    img.alpha_composite(masked(gradient(W, H, [(0, (22, 20, 48)), (1, (12, 12, 28))]), near))

    # The game table: a fan of cards, a mahjong tile, dice and chips.
    table = blank(W, H)
    table.alpha_composite(glow(W, H, 500 * s, 120 * s, 140 * s, 70 * s, (255, 180, 100), 60))
    pivot = (508, 236)
    for i, (rank, suit, red) in enumerate((("J", "♣", False), ("Q", "♦", True), ("K", "♥", True), ("A", "♠", False))):
        theta = -30 + i * 20
        rad = math.radians(theta)
        place(table, card(rank, suit, red), pivot[0] + 140 * math.sin(rad), pivot[1] - 140 * math.cos(rad), -theta)
    place(table, chip_stack(5), 398, 150, 0, 2.5)
    place(table, mahjong_tile(), 424, 146, 8, 3)
    place(table, die(20, 5), 566, 160, -14, 2.5)
    place(table, die(16, 1), 586, 142, 18, 2.5)
    d = ImageDraw.Draw(table)
    for x, y, r in ((418, 68, 5), (575, 80, 4), (548, 40, 3), (450, 104, 3)):
        sparkle(d, x, y, r, (255, 236, 190, 230), s)
    img.alpha_composite(table)

    # Name, tag line and a badge on the left.
    words = blank(W, H)
    name = text_gradient("Quillmoor", SERIF_BOLD, 46, GOLD_LIGHT, GOLD_DEEP, s)
    name = outline(name, 2 * s, (40, 22, 8))
    quill = blank(W, H)
    feather(ImageDraw.Draw(quill), (18, 104), (58, 8), -8, 11, rgba(CREAM, 235), rgba(GOLD_DEEP), scale=s)
    words.alpha_composite(shadow(quill, 3 * s, 0.6))
    words.alpha_composite(quill)
    over(words, shadow(pad(name, 10 * s), 4 * s, 0.8), (30 * s, 18 * s))
    over(words, name, (40 * s, 28 * s))
    line = text_layer("好友同桌 · 棋牌畅玩", CJK, 19, (255, 255, 255), s)
    over(words, shadow(pad(line, 6 * s), 2 * s, 0.9), (38 * s, 82 * s))
    over(words, line, (44 * s, 88 * s))
    badge_text = text_layer("新版上线  奖品券天天送", CJK, 12, (64, 24, 0), s)
    bw, bh = badge_text.width // s + 22, 21
    badge = Image.new("L", (bw * s, bh * s), 0)
    ImageDraw.Draw(badge).rounded_rectangle((0, 0, bw * s - 1, bh * s - 1), bh * s // 2, fill=255)
    pill = masked(gradient(bw * s, bh * s, [(0, (255, 206, 110)), (1, (244, 140, 40))]), badge)
    pill.alpha_composite(badge_text, ((bw * s - badge_text.width) // 2, (bh * s - badge_text.height) // 2))
    over(words, shadow(pad(pill, 6 * s), 2 * s, 0.6), (38 * s, 117 * s))
    over(words, pill, (44 * s, 122 * s))
    img.alpha_composite(words)

    # Darken the edges a little so the picture sits in the frame.
    img.alpha_composite(vignette(W, H, 90))
    return down(img)


def vignette(W, H, alpha):
    y, x = np.mgrid[0:H, 0:W].astype(np.float32)
    d = np.maximum(np.abs(x / W - 0.5) * 2, np.abs(y / H - 0.5) * 2)
    arr = np.zeros((H, W, 4), np.float32)
    arr[..., 3] = alpha * np.clip((d - 0.75) / 0.25, 0, 1) ** 2
    return from_array(arr)


# ---------------------------------------------------------------- window

def title_bar(img):
    """Title bar into the window picture (at SS): brand left of the edition text."""
    s = SS
    w, h = 598, TITLE_H
    bar = gradient(w * s, h * s, [(0, (30, 36, 64)), (1, (17, 20, 37))])
    bar.alpha_composite(glow(w * s, h * s, 40 * s, 18 * s, 140 * s, 40 * s, (90, 110, 200), 45))
    lines = blank(w * s, h * s)
    d = ImageDraw.Draw(lines)
    d.rectangle((0, s, w * s, 2 * s - 1), fill=(255, 255, 255, 22))
    d.rectangle((0, (h - 1) * s, w * s, h * s), fill=rgba(INK))
    d.rectangle((100 * s, 11 * s, 101 * s - 1, 26 * s), fill=(255, 255, 255, 34))
    bar.alpha_composite(lines)
    img.alpha_composite(bar)
    tile = emblem(24).resize((24 * s, 24 * s), Image.BICUBIC)
    over(img, shadow(pad(tile, 4 * s), 2 * s, 0.6), (3 * s, 6 * s))
    img.alpha_composite(tile, (7 * s, 6 * s))
    # The edition text starts at x 105: the name is narrowed to end before the divider at 100.
    word = text_gradient("Quillmoor", SERIF_BOLD, 13, GOLD_LIGHT, GOLD, s, 0.8)
    over(img, shadow(pad(word, 4 * s), s, 0.9), (33 * s, (h * s - word.height) // 2 - 3 * s))
    img.alpha_composite(word, (36 * s, (h * s - word.height) // 2 - s))


def path_field(img):
    """The sunken field behind the install path and its change button."""
    s = SS
    x0, y0, x1, y1 = 24, 220, 576, 243
    field = blank(img.width, img.height)
    d = ImageDraw.Draw(field)
    d.rounded_rectangle((x0 * s, y0 * s, x1 * s, y1 * s), 5 * s, fill=rgba(EDGE, 210))
    d.rounded_rectangle(((x0 + 1) * s, (y0 + 1) * s, (x1 - 1) * s, (y1 - 1) * s), 4 * s, fill=rgba(INK, 230))
    img.alpha_composite(field)


def window_picture():
    """The whole 600 x 350 window: frame, title bar, banner, lower panel.
    The window background, both backdrops and the title bar are cut from it,
    so whichever of them lies on top the window looks the same."""
    s = SS
    W, H = WINDOW_W * s, WINDOW_H * s
    img = gradient(W, H, [(0, PANEL_TOP), (0.6, (19, 23, 40)), (1, PANEL_BOTTOM)])
    img.alpha_composite(glow(W, H, 300 * s, 212 * s, 420 * s, 60 * s, (70, 80, 150), 40))
    img.alpha_composite(glow(W, H, 500 * s, 302 * s, 140 * s, 46 * s, (240, 110, 50), 34))
    suits(img, 0.03)
    path_field(img)
    title_bar(img)
    img = down(img)
    img.alpha_composite(banner(598, BANNER_Y1 - BANNER_Y0), (1, BANNER_Y0))
    # A gold seam under the picture, fading out at both ends.
    seam = gradient(598, 1, [(0, rgba(GOLD, 0)), (0.2, rgba(GOLD, 200)), (0.8, rgba(GOLD, 200)), (1, rgba(GOLD, 0))],
                    vertical=False)
    img.alpha_composite(seam, (1, BANNER_Y1))
    img.alpha_composite(Image.new("RGBA", (598, 1), rgba(INK, 160)), (1, BANNER_Y1 + 1))
    d = ImageDraw.Draw(img)
    d.rectangle((0, 0, WINDOW_W - 1, WINDOW_H - 1), outline=rgba(EDGE))
    return img


def suits(img, strength):
    """Faint card suits scattered over the lower panel, as table felt texture."""
    s = SS
    layer = blank(img.width, img.height)
    d = ImageDraw.Draw(layer)
    f = font(SANS, 14 * s)
    alpha = round(255 * strength)
    for row, y in enumerate(range(216, 350, 22)):
        for col, x in enumerate(range(8 + (row % 2) * 18, 600, 36)):
            d.text((x * s, y * s), "♠♥♦♣"[(row + col) % 4], font=f, fill=(255, 255, 255, alpha))
    img.alpha_composite(layer)


# ---------------------------------------------------------------- buttons

NORMAL, HOVER, PRESSED, DISABLED = range(4)


def strip(cells):
    """Cells side by side, in the order normal, hover, pressed, disabled."""
    out = blank(sum(c.width for c in cells), cells[0].height)
    x = 0
    for c in cells:
        out.alpha_composite(c, (x, 0))
        x += c.width
    return out


# Face colours (top, bottom, rim) per state.
WARM = {NORMAL: ((242, 108, 52), (186, 48, 24), (110, 28, 12)),
        HOVER: ((255, 138, 76), (214, 70, 36), (130, 38, 16)),
        PRESSED: ((190, 62, 28), (160, 44, 20), (92, 22, 10)),
        DISABLED: ((96, 100, 116), (66, 70, 86), (42, 45, 58))}
COOL = {NORMAL: ((66, 78, 116), (38, 45, 72), (106, 118, 160)),
        HOVER: ((86, 100, 146), (50, 60, 94), (150, 162, 204)),
        PRESSED: ((34, 40, 64), (46, 54, 84), (90, 100, 140)),
        DISABLED: ((58, 60, 70), (44, 46, 54), (66, 68, 80))}


def face(w, h, state, colours, radius, caption=None, caption_px=14):
    """One raised button cell: shadow, rim, gradient face, gloss; pressed
    cells sink one pixel and lose their gloss."""
    s = SS
    top, bottom, rim = colours[state]
    dy = 1 if state == PRESSED else 0
    fw, fh = w - 2, h - 3
    img = blank(w * s, h * s)
    body = shape_mask(w, h, lambda d, k: d.rounded_rectangle((1 * k, (1 + dy) * k, (1 + fw) * k - 1, (1 + dy + fh) * k - 1),
                                                             radius * k, fill=255)).resize((w * s, h * s), Image.BICUBIC)
    if state != PRESSED:
        img.alpha_composite(shadow(masked((0, 0, 0), body), 1.2 * s, 0.7), (0, s + s // 2))
    img.alpha_composite(masked(rim, body))
    inner = shape_mask(w, h, lambda d, k: d.rounded_rectangle((2 * k, (2 + dy) * k, fw * k - 1, (dy + fh) * k - 1),
                                                              (radius - 1) * k, fill=255)).resize((w * s, h * s),
                                                                                                 Image.BICUBIC)
    img.alpha_composite(masked(gradient(w * s, h * s, [(0, top), (1, bottom)]), inner))
    if state in (NORMAL, HOVER):
        gloss = gradient(w * s, h * s, [(0, (255, 255, 255, 64)), (0.46, (255, 255, 255, 16)),
                                        (0.56, (255, 255, 255, 0)), (1, (255, 255, 255, 0))])
        img.alpha_composite(masked(gloss, inner))
        lip = blank(w * s, h * s)
        ImageDraw.Draw(lip).rectangle((0, 2 * s, w * s, 3 * s - 1), fill=(255, 255, 255, 70))
        img.alpha_composite(masked(lip, inner))
    else:
        inset = gradient(w * s, h * s, [(0, (0, 0, 0, 90 if state == PRESSED else 0)), (0.3, (0, 0, 0, 0))])
        img.alpha_composite(masked(inset, inner))
    img = down(img)
    if caption:
        colour = (150, 152, 162) if state == DISABLED else (255, 255, 255)
        text = text_layer(caption, CJK, caption_px, colour)
        x = (w - text.width) // 2
        y = (fh - text.height) // 2 + 1 + dy
        if state != DISABLED:
            img.alpha_composite(shadow(pad(text, 2), 0.8, 0.9), (x - 2, y - 1))
        img.alpha_composite(text, (x, y))
    return img


def install_button():
    return strip([face(148, 50, st, WARM, 10) for st in range(4)])


def dialog_button(caption, colours):
    return strip([face(89, 32, st, colours, 6, caption) for st in range(4)])


def caption_button(glyph_fn, danger):
    """34 x 34 title bar button: a bare glyph, lit on hover, sunk when pressed."""
    cells = []
    for st in range(4):
        s = SS
        n = 34 * s
        img = blank(n, n)
        d = ImageDraw.Draw(img)
        plate = {NORMAL: None,
                 HOVER: (214, 58, 48, 255) if danger else (255, 255, 255, 40),
                 PRESSED: (150, 34, 28, 255) if danger else (255, 255, 255, 22),
                 DISABLED: (255, 255, 255, 10)}[st]
        if plate:
            d.rounded_rectangle((4 * s, 4 * s, 30 * s - 1, 30 * s - 1), 6 * s, fill=plate)
        ink = {NORMAL: (196, 200, 214, 255), HOVER: (255, 255, 255, 255), PRESSED: (226, 226, 232, 255),
               DISABLED: (120, 124, 140, 150)}[st]
        glyph = blank(n, n)
        glyph_fn(ImageDraw.Draw(glyph), s, ink)
        if st == PRESSED:
            glyph = glyph.transform(glyph.size, Image.AFFINE, (1, 0, 0, 0, 1, -s))
        img.alpha_composite(glyph)
        cells.append(down(img))
    return strip(cells)


def close_glyph(d, s, ink):
    w = round(2.2 * s)
    d.line((12 * s, 12 * s, 22 * s, 22 * s), fill=ink, width=w)
    d.line((12 * s, 22 * s, 22 * s, 12 * s), fill=ink, width=w)


def minimise_glyph(d, s, ink):
    d.rounded_rectangle((11 * s, 20 * s, 23 * s, 22 * s), s, fill=ink)


def change_button():
    """25 x 12 pill with an open folder, beside the install path."""
    cells = []
    for st in range(4):
        s = SS
        w, h = 25, 12
        img = blank(w * s, h * s)
        d = ImageDraw.Draw(img)
        fill = {NORMAL: (52, 62, 96), HOVER: (236, 180, 82), PRESSED: (176, 118, 40), DISABLED: (40, 44, 58)}[st]
        rim = {NORMAL: (96, 108, 150), HOVER: (255, 226, 150), PRESSED: (120, 80, 28), DISABLED: (54, 58, 74)}[st]
        ink = {NORMAL: (236, 200, 120), HOVER: (40, 24, 8), PRESSED: (30, 18, 6), DISABLED: (90, 94, 110)}[st]
        d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), 4 * s, fill=rgba(rim))
        d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), 3 * s, fill=rgba(fill))
        # Three dots: the usual sign for "choose...".
        dy = s // 2 if st == PRESSED else 0
        for cx in (8.5, 12.5, 16.5):
            d.ellipse(((cx - 1.2) * s, 4.8 * s + dy, (cx + 1.2) * s, 7.2 * s + dy), fill=rgba(ink))
        cells.append(down(img))
    return strip(cells)


# ---------------------------------------------------------------- progress

def progress_track():
    s = SS
    w, h = 540, 18
    img = blank(w * s, h * s)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), 9 * s, fill=rgba(EDGE))
    d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), 8 * s, fill=rgba((5, 7, 14)))
    groove = shape_mask(w, h, lambda dr, k: dr.rounded_rectangle((k, k, (w - 1) * k - 1, (h - 1) * k - 1), 8 * k,
                                                                 fill=255)).resize((w * s, h * s), Image.BICUBIC)
    img.alpha_composite(masked(gradient(w * s, h * s, [(0, (0, 0, 0, 140)), (0.35, (0, 0, 0, 0)),
                                                       (0.85, (255, 255, 255, 0)), (1, (255, 255, 255, 22))]), groove))
    return down(img)


def progress_fill():
    """536 x 14, revealed from the left: blue with a sheen and faint stripes,
    dark enough for the light percentage text drawn across it."""
    s = SS
    w, h = 536, 14
    img = blank(w * s, h * s)
    body = shape_mask(w, h, lambda d, k: d.rounded_rectangle((0, 0, w * k - 1, h * k - 1), 7 * k, fill=255))
    body = body.resize((w * s, h * s), Image.BICUBIC)
    base = gradient(w * s, h * s, [(0, (64, 178, 226)), (0.45, (26, 112, 170)), (1, (12, 70, 122))])
    along = gradient(w * s, h * s, [(0, (0, 0, 0, 40)), (1, (0, 0, 0, 0))], vertical=False)
    base.alpha_composite(along)
    stripes = blank(w * s, h * s)
    d = ImageDraw.Draw(stripes)
    for x in range(-h, w + h, 12):
        d.polygon([(x * s, h * s), ((x + 6) * s, h * s), ((x + 6 + h) * s, 0), ((x + h) * s, 0)],
                  fill=(255, 255, 255, 18))
    base.alpha_composite(stripes)
    sheen = blank(w * s, h * s)
    ImageDraw.Draw(sheen).rounded_rectangle((4 * s, 1 * s, (w - 4) * s, 3 * s), s, fill=(255, 255, 255, 70))
    base.alpha_composite(sheen)
    img.alpha_composite(masked(base, body))
    return down(img)


def tip_backing():
    """416 x 18 strip behind the tip line, with a small lamp before
    the orange lead-in text."""
    s = SS
    w, h = 416, 18
    img = blank(w * s, h * s)
    d = ImageDraw.Draw(img)
    d.rounded_rectangle((0, 0, w * s - 1, h * s - 1), 9 * s, fill=rgba(GOLD_DEEP, 90))
    d.rounded_rectangle((s, s, w * s - 1 - s, h * s - 1 - s), 8 * s, fill=rgba(INK, 225))
    fade = gradient(w * s, h * s, [(0, (0, 0, 0, 0)), (0.75, (0, 0, 0, 0)), (1, (0, 0, 0, 255))], vertical=False)
    a = np.asarray(img.getchannel("A"), np.float32) * (1 - np.asarray(fade.getchannel("A"), np.float32) / 255 * 0.6)
    img.putalpha(Image.fromarray(np.rint(a).astype(np.uint8), "L"))
    lamp = blank(w * s, h * s)
    d = ImageDraw.Draw(lamp)
    cx, cy = 26, 8
    lamp.alpha_composite(glow(w * s, h * s, cx * s, cy * s, 12 * s, 9 * s, (255, 178, 62), 90))
    d.ellipse(((cx - 4.2) * s, (cy - 5) * s, (cx + 4.2) * s, (cy + 3.4) * s), fill=rgba((255, 200, 90)))
    d.rectangle(((cx - 2.2) * s, (cy + 2.6) * s, (cx + 2.2) * s, (cy + 5.6) * s), fill=rgba((200, 200, 210)))
    d.line(((cx - 2.2) * s, (cy + 4.1) * s, (cx + 2.2) * s, (cy + 4.1) * s), fill=rgba((120, 120, 136)), width=s)
    d.ellipse(((cx - 2.2) * s, (cy - 3.4) * s, (cx - 0.4) * s, (cy - 1.2) * s), fill=(255, 250, 220, 230))
    img.alpha_composite(lamp)
    return down(img)


# ---------------------------------------------------------------- runner

SKIN = (255, 214, 172)
HAIR = (70, 40, 26)
SHIRT = (255, 178, 62)
TROUSERS = (150, 112, 230)
SHOE = (245, 245, 250)
SCARF = (232, 62, 48)
LINE = (14, 10, 26)


def limb(d, points, width, colour, s):
    pts = [(x * s, y * s) for x, y in points]
    for w, c in ((width + 1.6, LINE), (width, colour)):
        d.line(pts, fill=rgba(c), width=round(w * s), joint="curve")
        r = w * s / 2
        for x, y in (pts[0], pts[-1]):
            d.ellipse((x - r, y - r, x + r, y + r), fill=rgba(c))


def runner_cell(phase):
    """One 25 x 41 cell of the runner, facing right. phase None is standing;
    otherwise 0..1 through one stride of both legs."""
    s = 8
    w, h = 25, 41
    img = blank(w * s, h * s)
    d = ImageDraw.Draw(img)
    standing = phase is None
    p = 0.0 if standing else 2 * math.pi * phase
    hip = (11.5, 25.0 - (0 if standing else 1.3 * abs(math.sin(p))))
    lean = math.radians(0 if standing else 14)
    neck = (hip[0] + 9 * math.sin(lean), hip[1] - 9 * math.cos(lean))
    head = (neck[0] + 5 * math.sin(lean) + 0.6, neck[1] - 5.2)

    def leg(q):
        if standing:
            thigh, knee = math.radians(5 if q else -5), math.radians(4)
        else:
            thigh = math.radians(15 + 45 * math.sin(q))
            # The knee folds while the leg swings through, straightens for
            # the landing and stays nearly straight while it pushes off.
            knee = math.radians(20 + 90 * ((1 + math.cos(q - 0.3)) / 2) ** 2)
        k = (hip[0] + 7 * math.sin(thigh), hip[1] + 7 * math.cos(thigh))
        shin = thigh - knee
        a = (k[0] + 7 * math.sin(shin), k[1] + 7 * math.cos(shin))
        toe = (a[0] + 2.6 * math.cos(shin), a[1] - 2.6 * math.sin(shin))
        return k, a, toe

    def arm(q):
        sh = (neck[0] - 0.3, neck[1] + 1.6)
        if standing:
            upper, elbow = math.radians(-6), math.radians(14)
        else:
            upper = math.radians(10 - 50 * math.sin(q))
            elbow = math.radians(100)
        e = (sh[0] + 5 * math.sin(upper), sh[1] + 5 * math.cos(upper))
        fore = upper + elbow
        hand = (e[0] + 4.4 * math.sin(fore), e[1] + 4.4 * math.cos(fore))
        return sh, e, hand

    ground = 39.6
    d.ellipse(((hip[0] - 6.5) * s, (ground - 1.2) * s, (hip[0] + 6.5) * s, (ground + 1.2) * s), fill=(0, 0, 0, 90))

    # Scarf: two tails streaming back from the neck, flapping with the stride.
    tail = [(neck[0], neck[1] + 0.5)]
    for i in range(1, 5):
        t = i / 4
        if standing:
            tail.append((neck[0] - 1.2 * t, neck[1] + 0.5 + 6 * t))
        else:
            tail.append((neck[0] - 9 * t, neck[1] + 1 + 2.5 * t + 1.4 * math.sin(p * 2 + t * 3) * t))
    limb(d, tail, 2.0, SCARF, s)

    back_leg, front_leg = leg(p + math.pi), leg(p)
    back_arm, front_arm = arm(p), arm(p + math.pi)
    limb(d, back_arm, 2.1, mix(SKIN, LINE, 0.25), s)
    k, a, toe = back_leg
    limb(d, [hip, k, a], 3.0, mix(TROUSERS, LINE, 0.3), s)
    limb(d, [a, toe], 2.4, mix(SHOE, LINE, 0.25), s)
    limb(d, [hip, neck], 5.2, SHIRT, s)
    k, a, toe = front_leg
    limb(d, [hip, k, a], 3.0, TROUSERS, s)
    limb(d, [a, toe], 2.4, SHOE, s)
    limb(d, [(neck[0] - 0.2, neck[1] + 0.3), (neck[0] + 0.8, neck[1] + 0.6)], 2.6, SCARF, s)
    limb(d, front_arm, 2.1, SKIN, s)

    hx, hy = head
    r = 5.0
    d.ellipse(((hx - r - 0.8) * s, (hy - r - 0.8) * s, (hx + r + 0.8) * s, (hy + r + 0.8) * s), fill=rgba(LINE))
    d.ellipse(((hx - r) * s, (hy - r) * s, (hx + r) * s, (hy + r) * s), fill=rgba(SKIN))
    d.chord(((hx - r) * s, (hy - r) * s, (hx + r) * s, (hy + r) * s), 160, 350, fill=rgba(HAIR))
    d.ellipse(((hx + 2.0) * s, (hy - 0.6) * s, (hx + 3.3) * s, (hy + 0.9) * s), fill=rgba(LINE))
    return down(img, s)


def runner():
    return strip([runner_cell(None)] + [runner_cell(i / 17) for i in range(17)])


# ---------------------------------------------------------------- panels

def bubble():
    """209 x 46 dark bubble pointing left at the desktop icon."""
    s = SS
    w, h = 209, 46
    shape = shape_mask(w, h, lambda d, k: (d.rounded_rectangle((7 * k, 1 * k, (w - 1) * k, (h - 1) * k), 9 * k, fill=255),
                                           d.polygon([(0, 20 * k), (8 * k, 14 * k), (8 * k, 27 * k)], fill=255)))
    shape = shape.resize((w * s, h * s), Image.BICUBIC)
    img = masked(rgba(GOLD, 170), shape)
    core = shape.filter(ImageFilter.MinFilter(s * 2 + 1))
    img.alpha_composite(masked(gradient(w * s, h * s, [(0, (30, 36, 62, 244)), (1, (12, 15, 28, 244))]), core))
    img.alpha_composite(masked(glow(w * s, h * s, 30 * s, 6 * s, 160 * s, 30 * s, (120, 130, 210), 40), core))
    return down(img)


def failure_panel():
    """440 x 184 panel: brand strip on top, a warning mark at the right,
    a darker foot where the two buttons sit."""
    s = SS
    w, h = 440, 184
    img = blank(w * s, h * s)
    shape = shape_mask(w, h, lambda d, k: d.rounded_rectangle((0, 0, w * k - 1, h * k - 1), 8 * k, fill=255))
    shape = shape.resize((w * s, h * s), Image.BICUBIC)
    core = shape.filter(ImageFilter.MinFilter(s * 2 + 1))
    img.alpha_composite(masked(rgba(mix(GOLD_DEEP, INK, 0.25)), shape))
    img.alpha_composite(masked(gradient(w * s, h * s, [(0, (30, 36, 62)), (1, (16, 19, 34))]), core))
    bands = blank(w * s, h * s)
    d = ImageDraw.Draw(bands)
    d.rectangle((0, 0, w * s, 30 * s), fill=(255, 255, 255, 14))
    d.rectangle((0, 30 * s, w * s, 31 * s - 1), fill=rgba(GOLD, 90))
    d.rectangle((0, 142 * s, w * s, h * s), fill=(0, 0, 0, 70))
    d.rectangle((0, 142 * s, w * s, 143 * s - 1), fill=(255, 255, 255, 20))
    img.alpha_composite(masked(bands, core))
    img.alpha_composite(glow(w * s, h * s, 380 * s, 80 * s, 110 * s, 70 * s, (236, 120, 60), 36))

    # Warning mark: a rounded triangle with an exclamation mark.
    mark = blank(w * s, h * s)
    d = ImageDraw.Draw(mark)
    cx, top, size = 380, 52, 50
    tri = [(cx * s, top * s), ((cx + size * 0.58) * s, (top + size) * s), ((cx - size * 0.58) * s, (top + size) * s)]
    amber = rgba((236, 150, 60), 210)
    d.polygon(tri, fill=amber)
    for x, y in tri:  # rounded corners
        d.ellipse((x - 2.5 * s, y - 2.5 * s, x + 2.5 * s, y + 2.5 * s), fill=amber)
    for a, b in zip(tri, tri[1:] + tri[:1]):
        d.line((a, b), fill=amber, width=5 * s)
    d.rounded_rectangle(((cx - 3) * s, (top + 15) * s, (cx + 3) * s, (top + 35) * s), 3 * s, fill=rgba((30, 20, 14)))
    d.ellipse(((cx - 3.4) * s, (top + 39) * s, (cx + 3.4) * s, (top + 45.8) * s), fill=rgba((30, 20, 14)))
    img.alpha_composite(shadow(mark, 3 * s, 0.5), (0, 2 * s))
    img.alpha_composite(mark)

    tile = emblem(18).resize((18 * s, 18 * s), Image.BICUBIC)
    img.alpha_composite(tile, (10 * s, 6 * s))
    img = down(img)
    word = text_layer("Quillmoor", SERIF_BOLD, 12, GOLD)
    img.alpha_composite(word, (34, 15 - word.height // 2))
    label = text_layer("客户端下载器", CJK, 12, (170, 176, 196))
    img.alpha_composite(label, (36 + word.width + 6, 15 - label.height // 2))
    return img
