#!/usr/bin/python3
"""Draws the clock faces' PNG artwork: backgrounds, shadows and the three looks of every
image button. Run by the build; writes OUTDIR/<id>.png for each resource id, and the same
image drawn at 1.5 and 2 times its size as OUTDIR/<id>_150.png and <id>_200.png (rounded up
to whole pixels), which the clock windows use at 144 and 192 DPI instead of enlarging the
96-DPI image.

Usage: make_artwork.py OUTDIR

Every image is drawn SUPERSAMPLE times larger than it comes out and reduced with an exact
box filter on premultiplied colour, which gives smooth edges and keeps region borders on
whole pixels.
The output depends only on this script, numpy, Pillow and the DejaVu font: the noise of
the brushed metal comes from a fixed seed and the PNGs carry no time stamp."""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SUPERSAMPLE = 4             # samples per output pixel, each way
SCALES = {1.0: "", 1.5: "_150", 2.0: "_200"}   # output pixels per logical pixel: file suffix
SCALE = 1.0                 # the one being drawn (draw_all sets it)
RES = SUPERSAMPLE           # samples per logical pixel: SUPERSAMPLE x SCALE, a whole number
LABEL_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
METAL_SEED = 20260304

# Geometry the windows rely on (logical pixels at 96 DPI).
FULL_SIZE = (258, 321)
FULL_PANEL_ROWS = (24, 200)      # translucent glass, first row and one past the last
FULL_METAL_ROWS = (200, 296)     # opaque brushed metal
FULL_SHADOW_ROWS = (296, 321)    # the stand's shadow; image 215 is exactly these rows
FULL_BUTTONS = ((11, 211), (138, 211), (77, 252))   # Adjust, Options, Get: 110 x 33
COMPACT_SIZE = (201, 57)
COMPACT_STRIP = (6, 197, 0, 36)  # columns and rows of the strip: the window snaps and
                                 # lays out its menu as 191 pixels from x = 6
WORLD_SIZE = (258, 135)

PANEL_ALPHA = 120
COMPACT_ALPHA = 126
WORLD_ALPHA = 133

GREY_GREEN = (96, 118, 108)
NAVY = (12, 22, 52)
BLUE = (34, 102, 206)
BLUE_LIGHT = (40, 128, 238)


# ---------------------------------------------------------------------------------------
# A layer is a float32 array (height, width, 4) of premultiplied RGBA in 0..1, at the
# supersampled resolution. Coordinates are logical pixels (96 DPI) throughout; RES turns
# them into samples.

def grid(size):
    """(width, height) in samples of an image of `size` logical pixels: whole output pixels."""
    w, h = size
    return math.ceil(w * SCALE) * SUPERSAMPLE, math.ceil(h * SCALE) * SUPERSAMPLE


def layer(size):
    gw, gh = grid(size)
    return np.zeros((gh, gw, 4), np.float32)


def over(dst, src):
    """Composites src over dst in place (both premultiplied)."""
    dst *= (1.0 - src[..., 3:4])
    dst += src


def paint(colour, mask, alpha=1.0):
    """A premultiplied layer of one colour (RGB tuple, or an (h, w, 3) array in 0..255)
    through a coverage mask in 0..1."""
    a = (mask * alpha).astype(np.float32)[..., None]
    rgb = np.broadcast_to(np.asarray(colour, np.float32) / 255.0, mask.shape + (3,))
    return np.concatenate([rgb * a, a], axis=-1)


def mask(size, draw):
    """Coverage in 0..1 of whatever draw(ImageDraw, s) paints at the supersampled size;
    s converts logical coordinates."""
    img = Image.new("L", grid(size), 0)
    draw(ImageDraw.Draw(img), lambda v: v * RES)
    return np.asarray(img, np.float32) / 255.0


def blurred(m, radius):
    """A mask softened by a Gaussian blur of radius logical pixels."""
    img = Image.fromarray(np.clip(m * 255.0, 0, 255).astype(np.uint8), "L")
    img = img.filter(ImageFilter.GaussianBlur(radius * RES))
    return np.asarray(img, np.float32) / 255.0


def rect(size, x0, y0, x1, y1):
    """Coverage of the logical rectangle [x0, x1) x [y0, y1) (fractions allowed)."""
    return mask(size, lambda d, s: d.rectangle([s(x0), s(y0), s(x1) - 1, s(y1) - 1], fill=255))


def rounded(size, x0, y0, x1, y1, radius):
    return mask(size, lambda d, s: d.rounded_rectangle(
        [s(x0), s(y0), s(x1) - 1, s(y1) - 1], radius=s(radius), fill=255))


def vertical(size, y0, y1, top, bottom, ease=1.0):
    """An RGB array shading from top (at logical row y0) to bottom (at y1)."""
    gw, gh = grid(size)
    ys = (np.arange(gh, dtype=np.float32) + 0.5) / RES
    t = np.clip((ys - y0) / max(y1 - y0, 1e-6), 0.0, 1.0) ** ease
    col = np.asarray(top, np.float32) * (1 - t[:, None]) + np.asarray(bottom, np.float32) * t[:, None]
    return np.broadcast_to(col[:, None, :], (gh, gw, 3)).copy()


def finish(lay):
    """Reduces a supersampled layer to an 8-bit straight-alpha RGBA image."""
    h, w = lay.shape[0] // SUPERSAMPLE, lay.shape[1] // SUPERSAMPLE
    small = lay.reshape(h, SUPERSAMPLE, w, SUPERSAMPLE, 4).mean(axis=(1, 3))
    a = small[..., 3:4]
    rgb = np.where(a > 1e-6, small[..., :3] / np.maximum(a, 1e-6), 0.0)
    out = np.concatenate([rgb, a], axis=-1)
    out = np.clip(np.rint(out * 255.0), 0, 255).astype(np.uint8)
    out[out[..., 3] == 0] = 0          # fully transparent pixels carry no colour
    return Image.fromarray(out, "RGBA")


def out(v):
    """A logical coordinate in output pixels, rounded to the pixel edge nearest to it."""
    return int(math.floor(v * SCALE + 0.5))


def set_alpha(img, box, alpha):
    """Forces the alpha of a region (logical, end-exclusive) to one value, so the window's
    translucency is exact however the colour was shaded."""
    arr = np.asarray(img).copy()
    x0, y0, x1, y1 = (out(v) for v in box)
    arr[y0:y1, x0:x1, 3] = alpha
    return Image.fromarray(arr, "RGBA")


# ---------------------------------------------------------------------------------------
# Surfaces

def glass(size, box, top, bottom, alpha, sheen=True):
    """A dark glass pane over box (logical, end-exclusive): a vertical tint, a soft gloss
    over the upper part, a bright top rim and faint side rims."""
    x0, y0, x1, y1 = box
    area = rect(size, x0, y0, x1, y1)
    tint = vertical(size, y0, y1, top, bottom, ease=0.8)
    if sheen:
        # The gloss: lighter above a shallow curve that falls from right to left.
        gw, gh = grid(size)
        xs = (np.arange(gw, dtype=np.float32) + 0.5) / RES
        ys = (np.arange(gh, dtype=np.float32) + 0.5) / RES
        u = (xs - x0) / (x1 - x0)
        edge = y0 + (y1 - y0) * (0.42 - 0.16 * u + 0.05 * np.sin(u * np.pi))
        depth = np.clip((edge[None, :] - ys[:, None]) / 4.0, 0.0, 1.0)
        fade = np.clip(1.0 - (ys[:, None] - y0) / (edge[None, :] - y0 + 1e-6), 0.0, 1.0)
        gloss = depth * (0.05 + 0.10 * fade)
        tint = tint + (255.0 - tint) * gloss[..., None]
    lay = paint(tint, area, alpha / 255.0)
    rim = rect(size, x0, y0, x1, y0 + 1)
    lay[rim > 0] = 0
    over(lay, paint((214, 228, 224), rim, 0.70))
    under_rim = rect(size, x0, y0 + 1, x1, y0 + 2)
    lay[under_rim > 0] = 0
    over(lay, paint(tuple(int(c * 0.5 + 130) for c in top), under_rim, 0.52))
    for sx in (x0, x1 - 1):
        side = rect(size, sx, y0 + 2, sx + 1, y1)
        lay[side > 0] = 0
        over(lay, paint(tuple(int(c * 0.6 + 90) for c in top), side, 0.53))
    return lay


def hairline(size, y, x0, x1, light, alpha):
    """A short etched line: fades in and out along its length."""
    gw, _ = grid(size)
    xs = (np.arange(gw, dtype=np.float32) + 0.5) / RES
    along = np.clip(np.minimum(xs - x0, x1 - xs) / 40.0, 0.0, 1.0)
    line = rect(size, x0, y, x1, y + 1) * along[None, :]
    return paint(light, line, alpha)


def brushed_metal(size, box):
    """Opaque brushed aluminium over box: fine horizontal grain from seeded noise, a soft
    sheen, a bevelled top edge and a dark bottom edge."""
    x0, y0, x1, y1 = box
    w, h = size
    rng = np.random.default_rng(METAL_SEED)
    rows = (y1 - y0) * RES
    cols, full_rows = grid(size)
    # Grain: noise stretched along x, so each scanline carries long faint streaks.
    coarse = rng.normal(0.0, 1.0, (rows, cols // 24 + 2)).astype(np.float32)
    xi = np.linspace(0, coarse.shape[1] - 1.001, cols, dtype=np.float32)
    i0 = xi.astype(np.int32)
    f = xi - i0
    grain = coarse[:, i0] * (1 - f) + coarse[:, i0 + 1] * f
    grain += 0.55 * rng.normal(0.0, 1.0, (rows, 1)).astype(np.float32)
    base = vertical((w, y1 - y0), 0, y1 - y0, (184, 189, 196), (138, 143, 151), ease=1.2)[:rows, :cols]
    # A broad, soft highlight across the band, as from a light above and to the left.
    u = (np.arange(cols, dtype=np.float32) + 0.5) / cols
    sheen = 10.0 * np.exp(-((u - 0.32) / 0.22) ** 2) - 4.0 * np.exp(-((u - 0.85) / 0.18) ** 2)
    metal = base + grain[..., None] * 5.0 + sheen[None, :, None]
    # Bevel: two bright rows on top, a darker row at the bottom.
    ss = RES                     # one logical row
    metal[0:ss] = metal[0:ss] * 0.25 + np.array([246, 248, 250], np.float32) * 0.75
    metal[ss:2 * ss] = metal[ss:2 * ss] * 0.55 + np.array([226, 229, 233], np.float32) * 0.45
    metal[-2 * ss:-ss] = metal[-2 * ss:-ss] * 0.8
    metal[-ss:] = metal[-ss:] * 0.55
    full = np.zeros((full_rows, cols, 3), np.float32)
    full[y0 * ss:y1 * ss] = metal
    return paint(np.clip(full, 0, 255), rect(size, x0, y0, x1, y1))


def stand_shadow(size, box, contact):
    """Black shadow over box, cast by a block whose lower edge is at row contact."""
    x0, y0, x1, y1 = box
    w, h = size
    caster = rect(size, 5, contact - 20, w - 5, contact + 3)
    soft = blurred(caster, 9.0)
    keep = rect(size, x0, y0, x1, y1)
    return paint((0, 0, 0), soft * keep, 0.85)


def button_shadow(size, x0, y0, x1, y1, radius, drop, blur, alpha):
    body = rounded(size, x0, y0 + drop, x1, y1 + drop, radius)
    return paint((20, 24, 30), blurred(body, blur), alpha)


# ---------------------------------------------------------------------------------------
# The images

def full_face():
    size = FULL_SIZE
    w, h = size
    lay = layer(size)
    over(lay, glass(size, (0, FULL_PANEL_ROWS[0], w, FULL_PANEL_ROWS[1]), GREY_GREEN, NAVY, PANEL_ALPHA))
    # Etched rules between the local band, the server band and the status line.
    for y in (107, 165):
        over(lay, hairline(size, y, 18, w - 18, (8, 14, 30), 0.40))
        over(lay, hairline(size, y + 1, 18, w - 18, (170, 190, 200), 0.22))
    over(lay, brushed_metal(size, (0, FULL_METAL_ROWS[0], w, FULL_METAL_ROWS[1])))
    # Shallow wells under the three buttons, so they sit in the metal rather than on it.
    for bx, by in FULL_BUTTONS:
        well = rounded(size, bx, by, bx + 110, by + 32, 9)
        over(lay, paint((62, 67, 76), blurred(well, 1.0), 0.40))
    over(lay, stand_shadow(size, (0, FULL_SHADOW_ROWS[0], w, FULL_SHADOW_ROWS[1]), FULL_SHADOW_ROWS[0]))
    img = finish(lay)
    img = set_alpha(img, (0, 0, w, FULL_PANEL_ROWS[0]), 0)
    img = set_alpha(img, (0, FULL_METAL_ROWS[0], w, FULL_METAL_ROWS[1]), 255)
    return img


def world_row():
    size = WORLD_SIZE
    w, h = size
    lay = layer(size)
    tint = vertical(size, 0, h, (92, 108, 134), (50, 62, 88), ease=0.9)
    over(lay, paint(tint, rect(size, 0, 0, w, h)))
    over(lay, paint((200, 214, 232), rect(size, 0, 0, w, 1), 0.55))
    # Beneath the clock's name.
    over(lay, hairline(size, 36, 44, w - 44, (20, 28, 46), 0.45))
    over(lay, hairline(size, 37, 44, w - 44, (170, 186, 210), 0.30))
    # The colour is drawn opaque above; the window's translucency is one alpha throughout.
    return set_alpha(finish(lay), (0, 0, w, h), WORLD_ALPHA)


def compact_panel():
    size = COMPACT_SIZE
    x0, x1, y0, y1 = COMPACT_STRIP
    lay = layer(size)
    over(lay, glass(size, (x0, y0, x1, y1), GREY_GREEN, NAVY, COMPACT_ALPHA, sheen=True))
    img = finish(lay)
    arr = np.asarray(img).copy()
    # Inside the rims (one logical pixel each), whole output pixels only.
    body = arr[math.ceil((y0 + 1) * SCALE):math.floor(y1 * SCALE),
               math.ceil((x0 + 1) * SCALE):math.floor((x1 - 1) * SCALE), 3]
    body[:] = COMPACT_ALPHA
    return Image.fromarray(arr, "RGBA")


def compact_shadow():
    size = COMPACT_SIZE
    x0, x1, _, y1 = COMPACT_STRIP
    caster = rect(size, x0 + 3, y1 - 6, x1 - 3, y1 + 1)
    soft = blurred(caster, 7.0)
    keep = rect(size, 0, 35, size[0], 56)
    lay = paint((0, 0, 0), soft * keep, 0.95)
    return finish(lay)


def tile(size, box, radius, face_top, face_bottom, border, border_alpha, shadow_alpha, inset=False):
    """A rounded button body with a soft shadow below it, returned as a layer."""
    x0, y0, x1, y1 = box
    lay = layer(size)
    if shadow_alpha:
        over(lay, button_shadow(size, x0, y0, x1, y1, radius, 1.0, 0.9, shadow_alpha))
    outer = rounded(size, x0, y0, x1, y1, radius)
    over(lay, paint(border, outer, border_alpha))
    inner = rounded(size, x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1)
    face = vertical(size, y0 + 1, y1 - 1, face_top, face_bottom)
    over(lay, paint(face, inner))
    if inset:
        # Pushed in: the upper edge falls into shade.
        shade = inner * np.clip(1.0 - (np.arange(inner.shape[0], dtype=np.float32)[:, None] / RES - (y0 + 1)) / 4.0, 0, 1)
        over(lay, paint((60, 66, 76), shade, 0.28))
    else:
        # A gloss line just inside the upper edge.
        gloss = inner * (1.0 - rounded(size, x0 + 1, y0 + 2, x1 - 1, y1 - 1, radius - 1))
        over(lay, paint((255, 255, 255), gloss, 0.85))
    return lay


def small_button(glyph, look):
    """17 x 18 close or minimise button: a white tile with a blue mark; dark when pressed."""
    size = (17, 18)
    box = (0.5, 0, 16.5, 16.5)
    if look == "hover":
        lay = tile(size, box, 3.5, (255, 255, 255), (240, 245, 251), (92, 140, 214), 0.95, 0.35)
        colour = BLUE_LIGHT
    elif look == "normal":
        lay = tile(size, box, 3.5, (248, 249, 251), (222, 227, 234), (118, 128, 144), 0.95, 0.35)
        colour = BLUE
    else:
        lay = tile(size, box, 3.5, (60, 64, 72), (82, 87, 96), (34, 37, 43), 0.95, 0.0, inset=True)
        colour = (255, 255, 255)
    if glyph == "x":
        def draw(d, s):
            for (a, b), (c, e) in (((5.2, 4.7), (11.8, 11.3)), ((11.8, 4.7), (5.2, 11.3))):
                d.line([s(a), s(b), s(c), s(e)], fill=255, width=int(s(1.9)))
                for px, py in ((a, b), (c, e)):
                    r = s(0.95)
                    d.ellipse([s(px) - r, s(py) - r, s(px) + r, s(py) + r], fill=255)
        mark = mask(size, draw)
    else:
        mark = rounded(size, 4.5, 10.0, 12.5, 12.2, 1.1)
    over(lay, paint(colour, mark))
    return finish(lay)


def lettering(size, text, centre, px, tracking):
    """Coverage of text in the label font, letter-spaced and centred on centre."""
    font = ImageFont.truetype(LABEL_FONT, int(round(px * RES)))
    widths = [font.getlength(ch) for ch in text]
    total = sum(widths) + tracking * RES * (len(text) - 1)
    cx, cy = centre

    def draw(d, s):
        x = s(cx) - total / 2.0
        for ch, wd in zip(text, widths):
            d.text((x, s(cy)), ch, font=font, fill=255, anchor="ls")
            x += wd + tracking * RES
    return mask(size, draw)


def wide_button(text, look):
    """110 x 33 rounded light-grey button with grey lettering."""
    size = (110, 33)
    box = (1, 0.5, 109, 31.5)
    baseline = 20.6
    if look == "hover":
        lay = tile(size, box, 8, (253, 253, 254), (226, 230, 236), (104, 132, 176), 1.0, 0.45)
        ink = (82, 90, 102)
    elif look == "normal":
        lay = tile(size, box, 8, (240, 242, 245), (200, 205, 212), (112, 118, 128), 1.0, 0.45)
        ink = (104, 110, 120)
    else:
        lay = tile(size, box, 8, (255, 255, 255), (250, 251, 252), (100, 106, 116), 1.0, 0.0, inset=True)
        ink = (96, 102, 112)
        baseline += 1.0           # the lettering sinks with the button
    letters = lettering(size, text, (55, baseline), 12.5, 1.4)
    if look != "pressed":
        emboss = np.zeros_like(letters)
        emboss[RES:] = letters[:-RES]       # one logical pixel lower
        over(lay, paint((255, 255, 255), emboss * (1 - letters), 0.55))
    over(lay, paint(ink, letters))
    return finish(lay)


def chevron_button(look):
    """35 x 36 square white button with a blue chevron pointing left; grey when pressed."""
    size = (35, 36)
    box = (2.5, 2.5, 32.5, 32.5)
    if look == "hover":
        lay = tile(size, box, 6, (255, 255, 255), (238, 243, 250), (92, 140, 214), 1.0, 0.45)
        colour = BLUE_LIGHT
    elif look == "normal":
        lay = tile(size, box, 6, (247, 248, 250), (220, 225, 232), (118, 128, 144), 1.0, 0.45)
        colour = BLUE
    else:
        lay = tile(size, box, 6, (170, 176, 185), (188, 193, 201), (98, 104, 114), 1.0, 0.0, inset=True)
        colour = (22, 78, 170)

    def draw(d, s):
        pts = [(19.8, 11.0), (13.6, 17.5), (19.8, 24.0)]
        d.line([(s(x), s(y)) for x, y in pts], fill=255, width=int(s(3.0)), joint="curve")
        r = s(1.5)
        for x, y in (pts[0], pts[2]):
            d.ellipse([s(x) - r, s(y) - r, s(x) + r, s(y) + r], fill=255)
    over(lay, paint(colour, mask(size, draw)))
    return finish(lay)


def images():
    """Every artwork image by resource id."""
    full = full_face()
    shadow_top = out(FULL_SHADOW_ROWS[0])
    shadow_rows = math.ceil((FULL_SHADOW_ROWS[1] - FULL_SHADOW_ROWS[0]) * SCALE)
    drawn = {
        222: full,
        215: full.crop((0, shadow_top, full.width, shadow_top + shadow_rows)),
        214: world_row(),
        243: compact_panel(),
        242: compact_shadow(),
    }
    looks = ("hover", "normal", "pressed")      # resource ids run Hover, Normal, Pressed
    for first, make in ((227, lambda l: small_button("x", l)),
                        (230, lambda l: small_button("-", l)),
                        (233, lambda l: wide_button("ADJUST", l)),
                        (236, lambda l: wide_button("GET", l)),
                        (239, lambda l: wide_button("OPTIONS", l)),
                        (244, chevron_button)):
        for i, look in enumerate(looks):
            drawn[first + i] = make(look)
    return drawn


def draw_at(scale):
    """Every image drawn at `scale` output pixels per logical pixel."""
    global SCALE, RES
    SCALE, RES = scale, int(SUPERSAMPLE * scale)
    assert RES == SUPERSAMPLE * scale
    return images()


def main(argv):
    if len(argv) != 2:
        sys.exit(__doc__)
    outdir = argv[1]
    os.makedirs(outdir, exist_ok=True)
    for scale, suffix in SCALES.items():
        for rid, img in sorted(draw_at(scale).items()):
            path = os.path.join(outdir, f"{rid}{suffix}.png")
            tmp = path + ".tmp"
            img.save(tmp, "PNG", optimize=True)
            os.replace(tmp, path)


if __name__ == "__main__":
    main(sys.argv)
