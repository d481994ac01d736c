#!/usr/bin/python3
"""Draws the program icon (a clock face on a dark glass disc) into velmora.ico.

Each size is drawn on its own rather than reduced from the largest: at 16 to 24 pixels the
face keeps only what reads at that size (four ticks, heavier hands, a thicker bezel), so
the tray shows a clear clock at every DPI (16 pixels at 96 DPI, 20 at 120, 24 at 144, 32
at 192). Run by hand when the design changes; the .ico is committed."""
import math
import sys

from PIL import Image, ImageDraw, ImageFilter

# The sizes the system asks for: small icons at 96 to 192 DPI (16, 20, 24, 32), large ones
# (32, 48), and the shell's big views (64, 256).
SIZES = (16, 20, 24, 32, 48, 64, 256)


def draw(size):
    scale = 8 if size <= 32 else 4  # supersample for smooth edges
    s = size * scale
    small = size <= 24
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    pad = s * (0.02 if small else 0.04)
    # Bezel: brushed-metal ring.
    d.ellipse([pad, pad, s - pad, s - pad], fill=(150, 158, 170, 255))
    ring = s * (0.10 if small else 0.07)
    d.ellipse([pad + ring, pad + ring, s - pad - ring, s - pad - ring], fill=(18, 26, 38, 255))
    if not small:
        # Glass highlight on the upper half.
        glass = Image.new("RGBA", (s, s), (0, 0, 0, 0))
        g = ImageDraw.Draw(glass)
        g.ellipse([pad + ring * 1.4, pad + ring * 1.2, s - pad - ring * 1.4, s * 0.55], fill=(255, 255, 255, 38))
        img = Image.alpha_composite(img, glass.filter(ImageFilter.GaussianBlur(s * 0.01)))
        d = ImageDraw.Draw(img)
    c = s / 2
    r = c - pad - ring * (1.3 if small else 1.6)
    # Hour ticks: the four quarters only when small.
    for i in range(12):
        if small and i % 3:
            continue
        a = math.radians(i * 30)
        inner = r * (0.70 if small else (0.78 if i % 3 == 0 else 0.86))
        w = s * (0.075 if small else (0.035 if i % 3 == 0 else 0.018))
        d.line([c + inner * math.sin(a), c - inner * math.cos(a), c + r * math.sin(a), c - r * math.cos(a)],
               fill=(90, 220, 255, 255), width=max(1, int(w)))
    # Hands at 10:10, the classic readable pose.
    for angle, length, width in ((-60, 0.5, 0.055), (60, 0.72, 0.04)):
        if small:
            width *= 2.0
        a = math.radians(angle)
        d.line([c, c, c + r * length * math.sin(a), c - r * length * math.cos(a)],
               fill=(235, 245, 255, 255), width=int(s * width))
    hub = s * (0.06 if small else 0.04)
    d.ellipse([c - hub, c - hub, c + hub, c + hub], fill=(90, 220, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "velmora.ico"
    images = [draw(size) for size in SIZES]
    images[-1].save(out, sizes=[(n, n) for n in SIZES], append_images=images[:-1])
