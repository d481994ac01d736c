#!/usr/bin/python3
"""Previews of the artwork for people: a contact sheet of every image, and mock-ups of the
three clock faces with sample texts in the digital font, laid out as the windows draw them
(every text centred on its point, the time texts with a black copy one pixel right and up).

Usage: make_previews.py ARTDIR FONT OUTDIR

Writes OUTDIR/contact_sheet.png, OUTDIR/full_window.png, OUTDIR/compact_window.png and
OUTDIR/world_clock.png. The windows clear their surface to transparent before drawing the
artwork, so the mock-ups show the faces over a desktop picture."""
import os
import sys

from PIL import Image, ImageDraw, ImageFont

LABEL_FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
DESKTOP = (38, 52, 74)
WHITE = (255, 255, 255, 255)
BLACK = (0, 0, 0, 255)

# Id, what it is: the order of the contact sheet.
IMAGES = [
    (222, "full face"), (215, "stand shadow"), (214, "world-clock row"),
    (243, "compact strip"), (242, "compact shadow"),
    (227, "close hover"), (228, "close"), (229, "close pressed"),
    (230, "minimise hover"), (231, "minimise"), (232, "minimise pressed"),
    (233, "Adjust hover"), (234, "Adjust"), (235, "Adjust pressed"),
    (236, "Get hover"), (237, "Get"), (238, "Get pressed"),
    (239, "Options hover"), (240, "Options"), (241, "Options pressed"),
    (244, "chevron hover"), (245, "chevron"), (246, "chevron pressed"),
]


class Face:
    """A transparent surface that is drawn on the way the clock windows draw."""

    def __init__(self, art, font, size):
        self.art, self.font_path = art, font
        self.img = Image.new("RGBA", size, (0, 0, 0, 0))
        self.fonts = {}

    def image(self, rid, x=0, y=0):
        src = self.art[rid]
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        layer.paste(src, (x, y))
        self.img = Image.alpha_composite(self.img, layer)

    def fill(self, box, colour):
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        ImageDraw.Draw(layer).rectangle([box[0], box[1], box[0] + box[2] - 1, box[1] + box[3] - 1], fill=colour)
        self.img = Image.alpha_composite(self.img, layer)

    def text(self, text, size, x, y, shadow=False, colour=WHITE):
        font = self.fonts.setdefault(size, ImageFont.truetype(self.font_path, size))
        layer = Image.new("RGBA", self.img.size, (0, 0, 0, 0))
        d = ImageDraw.Draw(layer)
        if shadow:
            d.text((x + 1, y - 1), text, font=font, fill=BLACK, anchor="mm")
        d.text((x, y), text, font=font, fill=colour, anchor="mm")
        self.img = Image.alpha_composite(self.img, layer)


def desktop(size):
    """A plain dark desktop with a soft diagonal light, so translucency shows."""
    w, h = size
    img = Image.new("RGBA", size, DESKTOP + (255,))
    glow = Image.linear_gradient("L").rotate(35, expand=False).resize(size)
    light = Image.new("RGBA", size, (120, 150, 175, 255))
    return Image.composite(light, img, glow.point(lambda v: v * 0.45))


def on_desktop(face, margin=24, scale=2):
    w, h = face.size
    bg = desktop((w + 2 * margin, h + 2 * margin))
    bg.alpha_composite(face, (margin, margin))
    # Whole pixels, as the screen shows them, only bigger.
    return bg.resize((bg.width * scale, bg.height * scale), Image.NEAREST)


def full_window(art, font):
    f = Face(art, font, (258, 321))
    f.image(222)
    f.text("local", 12, 25, 35)
    for rid, pos in ((240, (138, 211)), (231, (215, 0)), (228, (240, 0)), (234, (11, 211)), (237, (77, 252))):
        f.image(rid, *pos)
    f.text("10:42:17", 50, 130, 65, shadow=True)
    f.text("Wed, 04 March, 2026", 17, 130, 95)
    f.text("server", 12, 30, 120)
    f.text("10:42:16", 30, 130, 125, shadow=True)
    f.text("Wed, 04 March, 2026", 14, 130, 155)
    f.text("Difference: -250 ms", 22, 130, 180, shadow=True)
    return f.img


def compact_window(art, font, menu_open):
    f = Face(art, font, (201, 153))
    f.image(243)
    f.text("10:42:17", 26, 85, 12, shadow=True)
    f.text("Wed, 04 March, 2026", 12, 85, 28)
    f.image(242, 0, 83 if menu_open else 0)
    f.image(246 if menu_open else 245, 162, 0)
    if menu_open:
        for caption, y in (("Syncronize Now", 36), ("Extended Mode", 63), ("Minimize", 91)):
            f.fill((6, y, 191, 28), (0xED, 0xED, 0xED, 0xFE))
            f.text(caption, 21, 6 + 191 // 2, y + 28 // 2, colour=(0x80, 0x80, 0x80, 255))
    return f.img


def world_clock(art, font, clocks):
    pitch = 135 + 15
    total = pitch * len(clocks) + 25 - 15
    f = Face(art, font, (258, total))
    for k, (label, time, date) in enumerate(clocks):
        y = pitch * k
        f.image(214, 0, y)
        f.text(time, 50, 130, y + 65, shadow=True)
        f.text(date, 17, 130, y + 95)
        f.text(label, 20, 130, y + 20)
    f.image(215, 0, total - 25)
    return f.img


def checkerboard(size, cell=8):
    img = Image.new("RGBA", size, (204, 204, 204, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, size[1], cell):
        for x in range(0, size[0], cell):
            if (x // cell + y // cell) % 2:
                d.rectangle([x, y, x + cell - 1, y + cell - 1], fill=(160, 160, 160, 255))
    return img


def contact_sheet(art):
    """Each image twice, 2x: on a checkerboard and on the desktop colour, with its id."""
    label = ImageFont.truetype(LABEL_FONT, 13)
    scale, pad, col_w = 2, 14, 2 * 258 * 2 + 3 * 14
    tiles = []
    for rid, what in IMAGES:
        im = art[rid]
        big = im.resize((im.width * scale, im.height * scale), Image.NEAREST)
        cell = Image.new("RGBA", (max(big.width * 2 + pad, 150), big.height + 20), (250, 250, 250, 255))
        board = checkerboard(big.size)
        board.alpha_composite(big)
        dark = Image.new("RGBA", big.size, DESKTOP + (255,))
        dark.alpha_composite(big)
        cell.paste(board, (0, 20))
        cell.paste(dark, (big.width + pad, 20))
        ImageDraw.Draw(cell).text((0, 2), f"{rid} {what}", font=label, fill=(30, 30, 30))
        tiles.append(cell)
    # Flow the tiles into rows as wide as two full faces side by side.
    rows, row, width = [], [], 0
    for t in tiles:
        if row and width + t.width > col_w:
            rows.append(row)
            row, width = [], 0
        row.append(t)
        width += t.width + pad
    rows.append(row)
    height = sum(max(t.height for t in r) + pad for r in rows) + pad
    sheet = Image.new("RGBA", (col_w + 2 * pad, height), (250, 250, 250, 255))
    y = pad
    for r in rows:
        x = pad
        for t in r:
            sheet.paste(t, (x, y))
            x += t.width + pad
        y += max(t.height for t in r) + pad
    return sheet


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    artdir, font, outdir = argv[1:]
    os.makedirs(outdir, exist_ok=True)
    art = {rid: Image.open(os.path.join(artdir, f"{rid}.png")).convert("RGBA") for rid, _ in IMAGES}

    def save(img, name):
        img.convert("RGB").save(os.path.join(outdir, name), "PNG", optimize=True)

    save(contact_sheet(art), "contact_sheet.png")
    save(on_desktop(full_window(art, font)), "full_window.png")
    closed = on_desktop(compact_window(art, font, False))
    opened = on_desktop(compact_window(art, font, True))
    both = Image.new("RGBA", (closed.width + opened.width, closed.height))
    both.paste(closed, (0, 0))
    both.paste(opened, (closed.width, 0))
    save(both, "compact_window.png")
    save(on_desktop(world_clock(art, font, [("Tokyo", "7:42:17 PM", "Wednesday, 04 March, 2026"),
                                            ("New York", "5:42:17 AM", "Wednesday, 04 March, 2026")])),
         "world_clock.png")


if __name__ == "__main__":
    main(sys.argv)
