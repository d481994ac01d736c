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
- glyphs that read as themselves in running text: a narrow "1" centred in a cell of its
  own (DSEG14's sits at the right of a full cell, so "11:51" read "1 1:5 1" and a time
  starting with "1" stood off centre), a "-" of one bar (its two half bars read "--"), a
  comma with a head and a tail (DSEG14's is a slash), a "D" and an "S" with cut corners
  (DSEG14's read "]" and a slanted "5"), and an ellipsis for labels cut to fit;
- hinting dropped, since it no longer matches the scaled outlines; anti-aliasing everywhere.

The licence forbids the Reserved Font Name "DSEG" in a Modified Version, hence the new
family name. The copyright notice and licence travel in the font's name table and in
resources/fonts/DSEG-LICENSE.txt.

Usage: make_digital_font.py SOURCE.ttf OUTPUT.ttf
Deterministic: the same source gives the same bytes (timestamps are kept from the source)."""
import sys

from fontTools.pens.transformPen import TransformPen
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
ONE_ADVANCE = 400        # about half a digit cell, as proportional digital faces set "1"
ELLIPSIS_ADVANCE = 560
COPYRIGHT = ("Copyright (c) 2018, keshikan (http://www.keshikan.net), "
             "with Reserved Font Name \"DSEG\". "
             "Modified for Velmora (scaled, metrics changed, '#' and '\u2026' added, '1', '-', ',', "
             "'D' and 'S' redrawn) as \"Digital-VLM\".")


# The source's segments, in its units: the strokes are 93 thick, the outer verticals run
# x 99-192 and 624-717, the bars y 0-93 (bottom), 453-547 (middle) and 907-1000 (top).
# The polygons below are drawn in the same style, 20 units apart where two pieces meet.
CORNER = 210             # how far a cut corner reaches along each side
GAP = 20
_bar_end = 717 - CORNER - GAP          # where a bar meets a cut corner (right side)
_side_end = 1000 - CORNER - GAP        # where an upper vertical meets one (bottom: mirrored)
MIDDLE_BAR = [(144, 500), (192, 547), (624, 547), (671, 500), (624, 453), (192, 453)]
TOP_BAR_CUT_RIGHT = [(144, 969), (175, 1000), (_bar_end, 1000), (_bar_end, 907), (206, 907)]
TOP_BAR_CUT_LEFT = [(816 - _bar_end, 1000), (641, 1000), (672, 969), (610, 907), (816 - _bar_end, 907)]
BOTTOM_BAR_CUT_RIGHT = [(_bar_end, 0), (175, 0), (144, 31), (206, 93), (_bar_end, 93)]
UPPER_LEFT = [(130, 515), (126, 510), (99, 510), (99, 924), (130, 955), (192, 893), (192, 576)]
UPPER_LEFT_CUT = [(130, 515), (126, 510), (99, 510), (99, _side_end), (192, _side_end), (192, 576)]
LOWER_LEFT = [(130, 45), (99, 76), (99, 490), (126, 490), (130, 485), (192, 424), (192, 107)]
UPPER_RIGHT_CUT = [(624, _side_end), (717, _side_end), (717, 510), (690, 510), (685, 514), (624, 575)]
LOWER_RIGHT_CUT = [(685, 485), (690, 489), (717, 489), (717, 1000 - _side_end), (624, 1000 - _side_end), (624, 424)]
# The corner pieces: 45 degrees, between a bar's end and a vertical's end.
CORNER_TOP_RIGHT = [(717 - CORNER, 1000), (717, 1000 - CORNER), (624, 1000 - CORNER), (717 - CORNER, 907)]
CORNER_BOTTOM_RIGHT = [(x, 1000 - y) for x, y in CORNER_TOP_RIGHT]
CORNER_TOP_LEFT = [(816 - x, y) for x, y in CORNER_TOP_RIGHT]
# A head on the baseline and a tail below it, to the left.
COMMA = [(40, 124), (150, 124), (150, 20), (70, -70), (20, -70), (40, 20)]


def clockwise(points):
    """TrueType fills outer contours drawn clockwise (y up)."""
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    return points if area < 0 else list(reversed(points))


def polygon_glyph(font, polygons):
    pen = TTGlyphPen(font.getGlyphSet())
    for points in polygons:
        draw_contour(pen, [(x, y, 1) for x, y in clockwise(points)])
    return pen.glyph()


def set_glyph(font, name, glyph, advance, codepoint=None):
    glyf = font["glyf"]
    if name not in glyf:
        font.setGlyphOrder(font.getGlyphOrder() + [name])
    glyf[name] = glyph
    glyph.recalcBounds(glyf)
    font["hmtx"][name] = (advance, getattr(glyph, "xMin", 0))
    if codepoint is not None:
        for table in font["cmap"].tables:
            if table.format == 4 or (table.format == 0 and codepoint < 256):
                table.cmap[codepoint] = name


def redraw_glyphs(font):
    """The glyphs that do not read as themselves in running text, in the source's units."""
    cmap = font.getBestCmap()
    cell = font["hmtx"]["zero"][0]
    glyf = font["glyf"]

    # "1": the right-hand verticals, moved to the middle of a narrow cell of their own.
    one = contours(font, cmap[ord("1")])
    left = min(x for c in one for x, _, _ in c)
    right = max(x for c in one for x, _, _ in c)
    dx = (ONE_ADVANCE - (right - left)) // 2 - left
    pen = TTGlyphPen(font.getGlyphSet())
    for c in one:
        draw_contour(pen, c, dx=dx)
    set_glyph(font, cmap[ord("1")], pen.glyph(), ONE_ADVANCE)

    set_glyph(font, cmap[ord("-")], polygon_glyph(font, [MIDDLE_BAR]), cell)
    set_glyph(font, cmap[ord(",")], polygon_glyph(font, [COMMA]), COMMA_ADVANCE)
    # The lower-case letters are the capitals' shapes, as everywhere in this font.
    for letter in "Dd":
        set_glyph(font, cmap[ord(letter)], polygon_glyph(font, [
            TOP_BAR_CUT_RIGHT, CORNER_TOP_RIGHT, UPPER_RIGHT_CUT, LOWER_RIGHT_CUT, CORNER_BOTTOM_RIGHT,
            BOTTOM_BAR_CUT_RIGHT, LOWER_LEFT, UPPER_LEFT]), cell)
    for letter in "Ss":
        set_glyph(font, cmap[ord(letter)], polygon_glyph(font, [
            TOP_BAR_CUT_LEFT, CORNER_TOP_LEFT, UPPER_LEFT_CUT, MIDDLE_BAR, LOWER_RIGHT_CUT, CORNER_BOTTOM_RIGHT,
            BOTTOM_BAR_CUT_RIGHT]), cell)

    # "\u2026": three of the round dots of ".", which has no width of its own.
    dot = glyf[cmap[ord(".")]]
    pen = TTGlyphPen(font.getGlyphSet())
    pitch = (ELLIPSIS_ADVANCE - 40) // 3
    for k in range(3):
        centre = 20 + pitch // 2 + k * pitch
        dot.draw(TransformPen(pen, (1, 0, 0, 1, centre - (dot.xMin + dot.xMax) // 2, 0)), glyf)
    set_glyph(font, "ellipsis", pen.glyph(), ELLIPSIS_ADVANCE, 0x2026)


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
    redraw_glyphs(font)
    scaled_glyphs(font)
    add_number_sign(font)
    respace(font)
    set_metrics(font)
    rename(font)
    font.save(argv[2])


if __name__ == "__main__":
    main(sys.argv)
