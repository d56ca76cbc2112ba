"""Drawing primitives for the skin generator: supersampled layers, gradients,
glows, rounded shapes, text and the quill feather. Pillow and NumPy only; no
randomness except seeded generators, so every run paints the same pixels."""
import math

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

# Shapes are drawn at SS times the final size and averaged down, which is
# what gives them clean anti-aliased edges.
SS = 4

FONT_DIR = "/usr/share/fonts/truetype"
SERIF_BOLD = FONT_DIR + "/dejavu/DejaVuSerif-Bold.ttf"
SANS = FONT_DIR + "/dejavu/DejaVuSans.ttf"
CJK = FONT_DIR + "/wqy/wqy-microhei.ttc"

_fonts = {}


def font(path, px):
    key = (path, px)
    if key not in _fonts:
        _fonts[key] = ImageFont.truetype(path, px)
    return _fonts[key]


def rgba(colour, alpha=255):
    return tuple(colour[:3]) + (colour[3] if len(colour) > 3 else alpha,)


def mix(a, b, t):
    return tuple(round(x + (y - x) * t) for x, y in zip(a, b))


def blank(w, h):
    return Image.new("RGBA", (w, h), (0, 0, 0, 0))


def from_array(arr):
    return Image.fromarray(np.clip(np.rint(arr), 0, 255).astype(np.uint8), "RGBA")


def down(img, factor=SS):
    """Averages a supersampled layer down; premultiplied so edges keep their colour."""
    w, h = img.size
    return img.convert("RGBa").resize((w // factor, h // factor), Image.BOX).convert("RGBA")


def over(dst, src, xy=(0, 0)):
    """Source-over of src onto dst at xy (may lie partly outside)."""
    dst.alpha_composite(src.crop((max(0, -xy[0]), max(0, -xy[1]), src.width, src.height)),
                        (max(0, xy[0]), max(0, xy[1])))


def gradient(w, h, stops, vertical=True):
    """Linear gradient through (position 0..1, RGBA) stops."""
    n = h if vertical else w
    t = np.linspace(0.0, 1.0, n) if n > 1 else np.zeros(1)
    pos = [s[0] for s in stops]
    line = np.stack([np.interp(t, pos, [rgba(s[1])[c] for s in stops]) for c in range(4)], axis=-1)
    arr = np.repeat(line[:, None, :], w, axis=1) if vertical else np.repeat(line[None, :, :], h, axis=0)
    return from_array(arr)


def glow(w, h, cx, cy, rx, ry, colour, alpha, power=2.0):
    """Soft elliptic light: alpha falls from `alpha` at the centre to 0 at the rim."""
    y, x = np.mgrid[0:h, 0:w].astype(np.float32)
    d = np.sqrt(((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2)
    a = alpha * np.clip(1.0 - d, 0.0, 1.0) ** power
    arr = np.zeros((h, w, 4), np.float32)
    arr[..., :3] = colour[:3]
    arr[..., 3] = a
    return from_array(arr)


def masked(fill, mask):
    """fill (an image or a colour) cut to mask, an L image of the same size."""
    if not isinstance(fill, Image.Image):
        fill = Image.new("RGBA", mask.size, rgba(fill))
    out = fill.copy()
    a = np.asarray(out.getchannel("A"), np.float32) * np.asarray(mask, np.float32) / 255.0
    out.putalpha(Image.fromarray(np.rint(a).astype(np.uint8), "L"))
    return out


def shape_mask(w, h, draw_fn):
    """Mask drawn by draw_fn(ImageDraw, scale) at SS and averaged down."""
    big = Image.new("L", (w * SS, h * SS), 0)
    draw_fn(ImageDraw.Draw(big), SS)
    return big.resize((w, h), Image.BOX)


def shadow(img, radius, alpha=0.6, colour=(0, 0, 0), grow=0):
    a = img.getchannel("A")
    if grow:
        a = a.filter(ImageFilter.MaxFilter(grow * 2 + 1))
    a = a.filter(ImageFilter.GaussianBlur(radius))
    a = a.point(lambda v: round(v * alpha))
    out = Image.new("RGBA", img.size, rgba(colour, 0))
    out.putalpha(a)
    return out


def pad(img, n):
    out = blank(img.width + 2 * n, img.height + 2 * n)
    out.alpha_composite(img, (n, n))
    return out


def text_layer(text, path, px, fill, scale=1, stretch=1.0):
    """Tightly cropped RGBA text; stretch < 1 narrows it."""
    f = font(path, px * scale)
    x0, y0, x1, y1 = f.getbbox(text)
    img = blank(x1 - x0 + 2 * scale, y1 - y0 + 2 * scale)
    ImageDraw.Draw(img).text((scale - x0, scale - y0), text, font=f, fill=rgba(fill))
    if stretch != 1.0:
        img = img.resize((max(1, round(img.width * stretch)), img.height), Image.LANCZOS)
    return img


def text_gradient(text, path, px, top, bottom, scale=1, stretch=1.0):
    shape = text_layer(text, path, px, (255, 255, 255), scale, stretch)
    return masked(gradient(shape.width, shape.height, [(0.0, top), (1.0, bottom)]), shape.getchannel("A"))


def outline(img, width, colour):
    """A solid rim of `width` pixels around img's shape, under it."""
    a = img.getchannel("A").filter(ImageFilter.MaxFilter(width * 2 + 1))
    rim = Image.new("RGBA", img.size, rgba(colour))
    rim = masked(rim, a)
    rim.alpha_composite(img)
    return rim


def bezier(p0, p1, p2, t):
    u = 1 - t
    return (u * u * p0[0] + 2 * u * t * p1[0] + t * t * p2[0], u * u * p0[1] + 2 * u * t * p1[1] + t * t * p2[1])


def feather(draw, base, tip, bend, width, vane, shaft, scale=1.0, notches=True):
    """A quill feather from its quill end `base` to its `tip`: vanes along a
    curved spine, wider on the left, with two cuts, and the shaft over them."""
    bx, by = base
    tx, ty = tip
    length = math.hypot(tx - bx, ty - by)
    nx, ny = -(ty - by) / length, (tx - bx) / length
    ctrl = ((bx + tx) / 2 + nx * bend, (by + ty) / 2 + ny * bend)
    steps = 48
    left, right, spine = [], [], []
    for i in range(steps + 1):
        t = i / steps
        px, py = bezier(base, ctrl, tip, t)
        spine.append((px * scale, py * scale))
        if t < 0.22:
            continue
        s = (t - 0.22) / 0.78
        w = width * math.sin(math.pi * min(1.0, s * 0.92 + 0.08)) ** 0.55
        cut = 1.0
        if notches and (abs(s - 0.35) < 0.035 or abs(s - 0.62) < 0.03):
            cut = 0.45
        qx, qy = bezier(base, ctrl, tip, min(1.0, t + 0.01))
        dx, dy = qx - px, qy - py
        d = math.hypot(dx, dy) or 1.0
        ox, oy = -dy / d, dx / d
        # Barbs sweep towards the tip, so the vane edge leads the spine.
        left.append(((px + ox * w * cut + dx / d * w * 0.35) * scale, (py + oy * w * cut + dy / d * w * 0.35) * scale))
        right.append(((px - ox * w * 0.72 + dx / d * w * 0.3) * scale, (py - oy * w * 0.72 + dy / d * w * 0.3) * scale))
    if vane is not None:
        draw.polygon(left + [(tx * scale, ty * scale)] + right[::-1], fill=vane)
    if shaft:
        draw.line(spine, fill=shaft, width=max(1, round(width * 0.16 * scale)), joint="curve")
