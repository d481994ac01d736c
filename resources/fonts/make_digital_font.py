#!/usr/bin/python3
"""Builds the clock's digital font, "Digital-VLM", from Debian's DSEG14 Classic Regular.

The clock faces size their text for a digital face whose digits stand about 0.72 em tall
and run about half an em wide. DSEG14's digits fill the whole em and are 0.82 em apart, so
at the faces' pixel sizes a time ran off the 258-pixel panel, a 12-hour time by a third of
its width, and the local date overlapped the time above it. This script makes a Modified
Version under the SIL Open Font License 1.1:

- outlines scaled to 66 % of the width and 72 % of the height, advances with them;
- ascent and descent chosen so that a text centred vertically on a point (as the faces
  draw it) has its ink centred on that point; no line gap, which would push it upwards;
- a '#' (status texts such as "Network error #1" carry one) built from the font's own
  segments; a narrower comma and a wider word space, so dates and status lines read as
  text rather than as a row of display cells;
- hinting dropped, since it no longer matches the scaled outlines; anti-aliasing everywhere.

The licence forbids the Reserved Font Name "DSEG" in a Modified Version, hence the new
family name. The copyright notice and licence travel in the font's name table and in
resources/fonts/DSEG-LICENSE.txt.

Usage: make_digital_font.py SOURCE.ttf OUTPUT.ttf
Deterministic: the same source gives the same bytes (timestamps are kept from the source)."""
import sys

from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont

FAMILY = "Digital-VLM"
POSTSCRIPT_NAME = "DigitalVLM-Regular"
SCALE_X = 0.66
SCALE_Y = 0.72
# Ink runs from the baseline to 0.72 em: ascent - descent = 0.72 em puts its centre in
# the middle of a 1 em line box.
ASCENT = 860
DESCENT = 140
COMMA_ADVANCE = 190      # in the source's units, before scaling (a digit cell is 816)
SPACE_ADVANCE = 400      # the source's 200 left words running into each other
COPYRIGHT = ("Copyright (c) 2018, keshikan (http://www.keshikan.net), "
             "with Reserved Font Name \"DSEG\". "
             "Modified for Velmora (scaled, metrics changed, '#' added) as \"Digital-VLM\".")


def scaled_glyphs(font):
    """Scales every outline and advance; returns nothing, changes the font in place."""
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.isComposite():
            for component in glyph.components:
                component.x = round(component.x * SCALE_X)
                component.y = round(component.y * SCALE_Y)
        elif glyph.numberOfContours > 0:
            coords = glyph.coordinates
            for i, (x, y) in enumerate(coords):
                coords[i] = (round(x * SCALE_X), round(y * SCALE_Y))
        if hasattr(glyph, "program"):
            glyph.program.fromBytecode(b"")
        advance, _ = hmtx[name]
        glyph.recalcBounds(glyf)
        hmtx[name] = (round(advance * SCALE_X), getattr(glyph, "xMin", 0))


def contours(font, name):
    """The contours of a simple glyph as lists of (x, y, on-curve) points."""
    glyf = font["glyf"]
    glyph = glyf[name]
    coords, ends, flags = glyph.getCoordinates(glyf)
    out, start = [], 0
    for end in ends:
        out.append([(coords[i][0], coords[i][1], flags[i] & 1) for i in range(start, end + 1)])
        start = end + 1
    return out


def draw_contour(pen, points, dx=0, dy=0):
    # The segments are straight-edged polygons; any off-curve point would be drawn as a
    # corner, which is what these outlines mean anyway.
    pen.moveTo((points[0][0] + dx, points[0][1] + dy))
    for x, y, _ in points[1:]:
        pen.lineTo((x + dx, y + dy))
    pen.closePath()


def add_number_sign(font):
    """'#': the two middle verticals of '+' moved apart, its middle bars moved up and down."""
    plus = contours(font, "plus")
    verticals = [c for c in plus if max(p[1] for p in c) - min(p[1] for p in c) > 200]
    bars = [c for c in plus if c not in verticals]
    cell = font["hmtx"]["plus"][0]
    pen = TTGlyphPen(font.getGlyphSet())
    spread = round(cell * 0.14)
    lift = round(font["head"].unitsPerEm * 0.72 * 0.17)
    for c in verticals:
        draw_contour(pen, c, dx=-spread)
        draw_contour(pen, c, dx=spread)
    for c in bars:
        draw_contour(pen, c, dy=lift)
        draw_contour(pen, c, dy=-lift)
    glyph = pen.glyph()
    name = "numbersign"
    font.setGlyphOrder(font.getGlyphOrder() + [name])
    font["glyf"][name] = glyph
    glyph.recalcBounds(font["glyf"])
    font["hmtx"][name] = (cell, glyph.xMin)
    for table in font["cmap"].tables:
        if table.format in (0, 4):
            table.cmap[0x23] = name
    # The post table (format 2) names glyphs from the glyph order on save.


def respace(font):
    """A comma that sits just after its word, and a word space that separates words."""
    glyf, hmtx = font["glyf"], font["hmtx"]
    comma = glyf["comma"]
    shift = 20 - comma.xMin        # leaves a small side bearing after the preceding letter
    comma.coordinates.translate((shift, 0))
    comma.recalcBounds(glyf)
    hmtx["comma"] = (round(COMMA_ADVANCE * SCALE_X), comma.xMin)
    hmtx["space"] = (round(SPACE_ADVANCE * SCALE_X), 0)


def set_metrics(font):
    hhea, os2 = font["hhea"], font["OS/2"]
    hhea.ascent, hhea.descent, hhea.lineGap = ASCENT, -DESCENT, 0
    os2.sTypoAscender, os2.sTypoDescender, os2.sTypoLineGap = ASCENT, -DESCENT, 0
    os2.usWinAscent, os2.usWinDescent = ASCENT, DESCENT
    os2.fsSelection |= 1 << 7            # USE_TYPO_METRICS: the same numbers everywhere
    os2.sxHeight = round(os2.sxHeight * SCALE_Y) if os2.sxHeight else 0
    os2.sCapHeight = round(os2.sCapHeight * SCALE_Y) if os2.sCapHeight else 0
    widths = [w for w, _ in font["hmtx"].metrics.values() if w > 0]
    os2.xAvgCharWidth = round(sum(widths) / len(widths))
    font["gasp"].gaspRange = {0xFFFF: 0x000A}   # smooth and grid-fit off at every size
    for tag in ("cvt ", "fpgm", "prep", "FFTM"):
        if tag in font:
            del font[tag]


def rename(font):
    names = font["name"]
    for record in list(names.names):
        if record.nameID in (3, 16, 17, 18, 19, 21, 22):
            names.removeNames(nameID=record.nameID)
    values = {
        0: COPYRIGHT,
        1: FAMILY,
        2: "Regular",
        3: f"{FAMILY} Regular; derived from DSEG14 Classic 0.46",
        4: f"{FAMILY} Regular",
        5: "Version 0.46.1",
        6: POSTSCRIPT_NAME,
    }
    for name_id, text in values.items():
        names.setName(text, name_id, 3, 1, 0x409)
        names.setName(text, name_id, 1, 0, 0)
    font["post"].italicAngle = 0


def main(argv):
    if len(argv) != 3:
        sys.exit(__doc__)
    font = TTFont(argv[1], recalcTimestamp=False)
    scaled_glyphs(font)
    add_number_sign(font)
    respace(font)
    set_metrics(font)
    rename(font)
    font.save(argv[2])


if __name__ == "__main__":
    main(sys.argv)
