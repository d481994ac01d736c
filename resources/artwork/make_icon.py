#!/usr/bin/python3
"""Draws the program icon (a clock face on a dark glass disc) into velmora.ico.

Run by hand when the design changes; the .ico is committed."""
import math
import sys

from PIL import Image, ImageDraw, ImageFilter

SIZE = 256


def draw(size=SIZE):
    scale = 4  # supersample for smooth edges
    s = size * scale
    img = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    pad = s * 0.04
    # Bezel: brushed-metal ring.
    d.ellipse([pad, pad, s - pad, s - pad], fill=(150, 158, 170, 255))
    ring = s * 0.07
    d.ellipse([pad + ring, pad + ring, s - pad - ring, s - pad - ring], fill=(18, 26, 38, 255))
    # Glass highlight on the upper half.
    glass = Image.new("RGBA", (s, s), (0, 0, 0, 0))
    g = ImageDraw.Draw(glass)
    g.ellipse([pad + ring * 1.4, pad + ring * 1.2, s - pad - ring * 1.4, s * 0.55], fill=(255, 255, 255, 38))
    img = Image.alpha_composite(img, glass.filter(ImageFilter.GaussianBlur(s * 0.01)))
    d = ImageDraw.Draw(img)
    c = s / 2
    r = c - pad - ring * 1.6
    # Hour ticks.
    for i in range(12):
        a = math.radians(i * 30)
        inner = r * (0.78 if i % 3 == 0 else 0.86)
        w = s * (0.035 if i % 3 == 0 else 0.018)
        d.line([c + inner * math.sin(a), c - inner * math.cos(a), c + r * math.sin(a), c - r * math.cos(a)],
               fill=(90, 220, 255, 255), width=int(w))
    # Hands at 10:10, the classic readable pose.
    for angle, length, width in ((-60, 0.5, 0.055), (60, 0.72, 0.04)):
        a = math.radians(angle)
        d.line([c, c, c + r * length * math.sin(a), c - r * length * math.cos(a)],
               fill=(235, 245, 255, 255), width=int(s * width))
    d.ellipse([c - s * 0.04, c - s * 0.04, c + s * 0.04, c + s * 0.04], fill=(90, 220, 255, 255))
    return img.resize((size, size), Image.LANCZOS)


if __name__ == "__main__":
    out = sys.argv[1] if len(sys.argv) > 1 else "velmora.ico"
    draw().save(out, sizes=[(16, 16), (24, 24), (32, 32), (48, 48), (64, 64), (256, 256)])
