#!/usr/bin/python3
"""Checks the generated clock artwork, the derived digital font and that Velmora.exe
carries both.

Usage: artwork_test.py ARTDIR FONT EXE [unittest arguments, e.g. a test class name]"""
import hashlib
import io
import math
import os
import struct
import subprocess
import sys
import tempfile
import unittest

import numpy as np
from fontTools.ttLib import TTFont
from PIL import Image

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
ART_SCRIPT = os.path.join(ROOT, "resources", "artwork", "make_artwork.py")
FONT_SCRIPT = os.path.join(ROOT, "resources", "fonts", "make_digital_font.py")
DSEG_SOURCE = "/usr/share/fonts/truetype/dseg/DSEG14Classic-Regular.ttf"
ART_DIR = FONT_FILE = EXE_FILE = None

# Every image the clock windows load, with its size (width, height).
SIZES = {
    214: (258, 135), 215: (258, 25), 222: (258, 321), 242: (201, 57), 243: (201, 57),
    **{i: (17, 18) for i in range(227, 233)},
    **{i: (110, 33) for i in range(233, 242)},
    **{i: (35, 36) for i in range(244, 247)},
}

# Every image is drawn again at 1.5 and 2 times its size: file suffix and resource id offset.
SCALED = {1.5: ("_150", 1000), 2.0: ("_200", 2000)}


def scaled_size(size, scale):
    return tuple(math.ceil(v * scale) for v in size)


# Image buttons: first id of three in the order Hover, Normal, Pressed, and what the
# pressed look is: "dark" (white mark on dark grey), "white" or "grey".
BUTTONS = [
    ("close", 227, "dark", True),
    ("minimise", 230, "dark", True),
    ("adjust", 233, "white", False),
    ("get", 236, "white", False),
    ("options", 239, "white", False),
    ("chevron", 244, "grey", True),
]


def load(rid, suffix=""):
    return np.asarray(Image.open(os.path.join(ART_DIR, f"{rid}{suffix}.png")).convert("RGBA")).astype(np.int32)


def digest(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def luminance(px):
    return 0.299 * px[..., 0] + 0.587 * px[..., 1] + 0.114 * px[..., 2]


class ArtworkImages(unittest.TestCase):

    def test_every_image_has_its_size_and_is_8_bit_rgba(self):
        for rid, (w, h) in SIZES.items():
            with self.subTest(id=rid):
                with open(os.path.join(ART_DIR, f"{rid}.png"), "rb") as f:
                    head = f.read(33)
                self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
                width, height, depth, colour_type = struct.unpack(">IIBB", head[16:26])
                self.assertEqual((width, height), (w, h))
                self.assertEqual((depth, colour_type), (8, 6), "8-bit RGBA")

    def test_each_image_is_drawn_again_at_one_and_a_half_and_twice_its_size(self):
        for rid, size in SIZES.items():
            for scale, (suffix, _) in SCALED.items():
                with self.subTest(id=rid, scale=scale):
                    img = Image.open(os.path.join(ART_DIR, f"{rid}{suffix}.png"))
                    self.assertEqual(img.size, scaled_size(size, scale), "rounded up to whole pixels")
                    self.assertEqual(img.mode, "RGBA")

    def test_the_larger_drawings_are_the_same_artwork(self):
        # Twice the size, reduced by two: the same picture, its edges finer.
        for rid, (w, h) in SIZES.items():
            with self.subTest(id=rid):
                big = load(rid, "_200").astype(np.float64)
                alpha = big[..., 3:4] / 255.0
                premultiplied = np.concatenate([big[..., :3] * alpha, big[..., 3:4]], axis=-1)
                reduced = premultiplied.reshape(h, 2, w, 2, 4).mean(axis=(1, 3))
                small = load(rid).astype(np.float64)
                small = np.concatenate([small[..., :3] * small[..., 3:4] / 255.0, small[..., 3:4]], axis=-1)
                self.assertLess(np.abs(reduced - small).mean(), 4.0)

    def test_the_larger_drawings_keep_the_alpha_of_each_region(self):
        # (id, first row, one past the last, alpha), in logical rows: scaled with the image.
        for scale, (suffix, _) in SCALED.items():
            for rid, r0, r1, alpha in ((222, 0, 24, 0), (222, 200, 296, 255), (214, 0, 135, 133)):
                with self.subTest(id=rid, scale=scale, rows=(r0, r1)):
                    region = load(rid, suffix)[int(r0 * scale):int(r1 * scale), :, 3]
                    self.assertEqual((region.min(), region.max()), (alpha, alpha))

    def test_alpha_of_each_region(self):
        # (id, first row, last row, first column, last column, lowest, highest, median or None)
        cases = [
            (222, 0, 23, 0, 257, 0, 0, None),        # where "-" and "x" sit: clear
            (222, 24, 199, 0, 257, 100, 190, 120),   # glass panel
            (222, 200, 295, 0, 257, 255, 255, None),  # brushed metal: opaque
            (222, 296, 320, 0, 257, 0, 160, None),   # the stand's shadow
            (243, 0, 35, 6, 196, 100, 190, 126),     # compact strip
            (243, 0, 35, 0, 5, 0, 0, None),          # left of the strip
            (243, 0, 35, 197, 200, 0, 0, None),      # right of the strip
            (243, 36, 56, 0, 200, 0, 0, None),       # below the strip
            (242, 0, 34, 0, 200, 0, 0, None),        # the shadow line only ...
            (242, 56, 56, 0, 200, 0, 0, None),       # ... in rows 35 to 55
            (242, 35, 55, 0, 200, 0, 160, None),
            (214, 0, 134, 0, 257, 133, 133, None),   # world-clock row: one alpha
        ]
        for rid, r0, r1, c0, c1, lo, hi, median in cases:
            with self.subTest(id=rid, rows=(r0, r1), columns=(c0, c1)):
                alpha = load(rid)[r0:r1 + 1, c0:c1 + 1, 3]
                self.assertGreaterEqual(alpha.min(), lo)
                self.assertLessEqual(alpha.max(), hi)
                if median is not None:
                    self.assertAlmostEqual(float(np.median(alpha)), median, delta=3)

    def test_panel_shades_from_grey_green_to_dark_navy(self):
        face = load(222)
        r, g, b, _ = face[30, 129]
        self.assertGreater(g, r, "green at the top")
        self.assertGreaterEqual(g, b, "green at the top")
        r, g, b, _ = face[195, 129]
        self.assertGreater(b, max(r, g), "blue at the bottom")
        self.assertLess(luminance(face[195, 129]), 40, "dark at the bottom")

    def test_shadows_are_black_and_fade_downwards(self):
        # (id, first row, last row): a column through the middle.
        for rid, r0, r1 in ((222, 296, 320), (242, 35, 55)):
            with self.subTest(id=rid):
                img = load(rid)
                column = img[r0:r1 + 1, img.shape[1] // 2, 3]
                self.assertGreaterEqual(column[0], 60, "visible right under the edge")
                self.assertLessEqual(column[-1], 8, "gone at the bottom")
                self.assertTrue(np.all(np.diff(column) <= 0), f"fades: {column.tolist()}")
                shaded = img[r0:r1 + 1][img[r0:r1 + 1, :, 3] > 0]
                self.assertLessEqual(shaded[:, :3].max(), 30)

    def test_stand_shadow_is_the_last_25_rows_of_the_full_face(self):
        self.assertTrue(np.array_equal(load(215), load(222)[296:321]))

    def test_button_looks(self):
        for name, first, pressed, blue_mark in BUTTONS:
            with self.subTest(button=name):
                hover, normal, down = (load(first + i) for i in range(3))
                for a, b, which in ((hover, normal, "hover/normal"), (normal, down, "normal/pressed"),
                                    (hover, down, "hover/pressed")):
                    self.assertGreater(np.abs(a - b).mean(), 1.0, f"{which} look alike")
                for look in (hover, normal, down):
                    h, w = look.shape[:2]
                    self.assertLessEqual(look[0, 0, 3], 10, "rounded: clear corner")
                    self.assertEqual(look[h // 2, w // 2, 3], 255, "opaque body")

                def face(img):
                    return luminance(img)[img[..., 3] == 255].mean()
                self.assertGreater(face(hover), face(normal), "hover is lighter")
                if pressed == "dark":
                    self.assertLess(face(down), 130)
                    self.assertGreater(luminance(down)[down[..., 3] == 255].max(), 235, "white mark")
                elif pressed == "white":
                    self.assertGreater(face(down), face(hover))
                    self.assertGreaterEqual(luminance(down[16, 6]), 245)
                else:
                    self.assertLess(face(down), face(normal) - 20)
                if blue_mark:
                    bluish = (normal[..., 2] - normal[..., 0] > 80) & (normal[..., 3] == 255)
                    self.assertGreater(bluish.sum(), 5, "blue mark")

    def test_lettering_names_the_button(self):
        # The three wide buttons share a body, so their lettering alone sets them apart;
        # a longer word darkens more of the face.
        ink = {rid: (luminance(load(rid))[8:26, 10:100] < 160).sum() for rid in (234, 237, 240)}
        self.assertGreater(ink[240], ink[234])   # OPTIONS > ADJUST
        self.assertGreater(ink[234], ink[237])   # ADJUST > GET
        self.assertGreater(ink[237], 20)

    def test_drawing_again_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            subprocess.run([sys.executable, ART_SCRIPT, tmp], check=True)
            for rid in SIZES:
                for suffix in [""] + [suffix for suffix, _ in SCALED.values()]:
                    with self.subTest(id=rid, suffix=suffix):
                        self.assertEqual(digest(os.path.join(tmp, f"{rid}{suffix}.png")),
                                         digest(os.path.join(ART_DIR, f"{rid}{suffix}.png")))


class DigitalFont(unittest.TestCase):
    # Every character the faces draw: times, dates, status lines, labels.
    TEXTS = ["0123456789:", "-- : -- : --", "AM PM", "Wed, 04 March, 2026",
             "Difference: -250 ms", "Time is correct", "Synchronized", "Could not connect",
             "Network error #1", "Service error #1314", "local server",
             "Syncronize Now Extended Mode Minimize",
             "ABCDEFGHIJKLMNOPQRSTUVWXYZ abcdefghijklmnopqrstuvwxyz"]

    @classmethod
    def setUpClass(cls):
        cls.font = TTFont(FONT_FILE)

    def name(self, name_id):
        return self.font["name"].getName(name_id, 3, 1, 0x409).toUnicode()

    def advance(self, text, px):
        cmap, hmtx = self.font.getBestCmap(), self.font["hmtx"]
        upem = self.font["head"].unitsPerEm
        return sum(hmtx[cmap[ord(c)]][0] for c in text) * px / upem

    def test_registers_as_digital_vlm_regular(self):
        self.assertEqual(self.name(1), "Digital-VLM")
        self.assertEqual(self.name(2), "Regular")
        self.assertEqual(self.font["OS/2"].usWeightClass, 400)

    def test_keeps_the_licence_and_not_the_reserved_name(self):
        for name_id in (1, 4, 6):
            self.assertNotIn("DSEG", self.name(name_id).upper())
        self.assertIn("keshikan", self.name(0))
        self.assertIn("OFL", self.name(14))

    def test_has_a_glyph_for_every_character_the_faces_draw(self):
        cmap = self.font.getBestCmap()
        glyf = self.font["glyf"]
        for text in self.TEXTS:
            for ch in text:
                with self.subTest(char=ch):
                    self.assertIn(ord(ch), cmap)
                    if not ch.isspace():
                        self.assertGreater(glyf[cmap[ord(ch)]].numberOfContours, 0, "draws something")

    def test_ink_is_centred_in_the_line_box(self):
        # The faces centre each text on a point; the line box (ascent + descent) is what
        # gets centred, so the digits' ink must sit in its middle.
        glyf, cmap = self.font["glyf"], self.font.getBestCmap()
        tops = [glyf[cmap[ord(c)]].yMax for c in "0123456789"]
        bottoms = [glyf[cmap[ord(c)]].yMin for c in "0123456789"]
        hhea, os2 = self.font["hhea"], self.font["OS/2"]
        for ascent, descent in ((hhea.ascent, -hhea.descent), (os2.usWinAscent, os2.usWinDescent),
                                (os2.sTypoAscender, -os2.sTypoDescender)):
            ink_centre = (max(tops) + min(bottoms)) / 2
            box_centre = (ascent - descent) / 2
            self.assertAlmostEqual(ink_centre, box_centre, delta=10)
        # A line gap joins the centred box and would lift the ink off the point.
        self.assertEqual((hhea.lineGap, os2.sTypoLineGap), (0, 0))

    def test_longest_texts_fit_the_258_pixel_faces(self):
        # (text, pixel size the face draws it at, room in pixels)
        cases = [
            ("12:59:59 PM", 50, 250),                      # local time, world clock
            ("12:59:59 PM", 30, 250),                      # server time
            ("Wed, 30 September, 2026", 17, 250),          # local date
            ("Wednesday, 30 September, 2026", 17, 250),    # world-clock date
            ("Difference: -99999 ms", 22, 250),            # status line
            ("12:59:59 PM", 26, 150),                      # compact time, band 154 wide
            ("Wed, 30 September, 2026", 12, 150),          # compact date
            ("Syncronize Now", 21, 185),                   # compact menu, 191 wide
        ]
        for text, px, room in cases:
            with self.subTest(text=text, size=px):
                self.assertLessEqual(self.advance(text, px), room)

    def test_deriving_again_gives_the_same_bytes(self):
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "again.ttf")
            subprocess.run([sys.executable, FONT_SCRIPT, DSEG_SOURCE, out], check=True)
            self.assertEqual(digest(out), digest(FONT_FILE))


def pe_resources(path):
    """{(type, id): bytes} from a PE file's resource section; type is a string for named
    types ("PNG") and a number for the standard ones (10 is RT_RCDATA)."""
    data = open(path, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    assert data[pe:pe + 4] == b"PE\0\0"
    sections, optional_size = struct.unpack_from("<H", data, pe + 6)[0], struct.unpack_from("<H", data, pe + 20)[0]
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
    table = optional + optional_size

    def offset(rva):
        for i in range(sections):
            _, vsize, vaddr, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            if vaddr <= rva < vaddr + max(vsize, rawsize):
                return rawptr + rva - vaddr
        raise ValueError(f"RVA {rva:#x} outside every section")
    base = offset(rsrc_rva)

    def entries(at):
        named, ids = struct.unpack_from("<HH", data, base + at + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + at + 16 + 8 * i)
            if name & 0x80000000:
                n = struct.unpack_from("<H", data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                name = data[start:start + 2 * n].decode("utf-16-le")
            yield name, target

    found = {}
    for rtype, to_names in entries(0):
        for rid, to_langs in entries(to_names & 0x7FFFFFFF):
            for _, leaf in entries(to_langs & 0x7FFFFFFF):
                rva, size = struct.unpack_from("<II", data, base + leaf)
                found[(rtype, rid)] = data[offset(rva):offset(rva) + size]
    return found


def header_ids():
    """The #define NAME number lines of resources/resource_ids.h."""
    ids = {}
    with open(os.path.join(ROOT, "resources", "resource_ids.h")) as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 3 and parts[0] == "#define" and parts[2].isdigit():
                ids[parts[1]] = int(parts[2])
    return ids


class VelmoraResources(unittest.TestCase):

    @classmethod
    def setUpClass(cls):
        cls.resources = pe_resources(EXE_FILE)
        cls.ids = header_ids()

    def test_header_names_every_image(self):
        images = {v for k, v in self.ids.items() if k.startswith("IDB_")}
        self.assertEqual(sorted(images), sorted(SIZES))

    def test_carries_every_image_as_it_was_drawn(self):
        embedded = {rid: blob for (rtype, rid), blob in self.resources.items() if rtype == "PNG"}
        expected = {rid: ("", size) for rid, size in SIZES.items()}
        for scale, (suffix, offset) in SCALED.items():
            expected.update({rid + offset: (suffix, scaled_size(size, scale)) for rid, size in SIZES.items()})
        self.assertEqual(sorted(embedded), sorted(expected), "each image at its own id, and its larger drawings")
        for rid, blob in embedded.items():
            suffix, size = expected[rid]
            base = rid % 1000
            with self.subTest(id=rid):
                self.assertEqual(hashlib.sha256(blob).hexdigest(), digest(os.path.join(ART_DIR, f"{base}{suffix}.png")))
                self.assertEqual(Image.open(io.BytesIO(blob)).size, size)

    def test_the_program_icon_has_an_image_for_every_small_icon_size(self):
        # RT_GROUP_ICON 128: a header, then one 14-byte entry per image (width, height, ...).
        group = self.resources.get((14, self.ids["IDI_VELMORA"]), b"")
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual((reserved, kind), (0, 1))
        sizes = {(group[6 + 14 * i] or 256, group[7 + 14 * i] or 256) for i in range(count)}
        for px in (16, 20, 24, 32, 48):
            with self.subTest(size=px):
                self.assertIn((px, px), sizes, "the tray's size at 96, 120, 144 and 192 DPI, and the large icon")

    def test_carries_the_digital_font(self):
        blob = self.resources.get((10, self.ids["IDR_DIGITAL_FONT"]), b"")
        self.assertEqual(hashlib.sha256(blob).hexdigest(), digest(FONT_FILE))


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    ART_DIR, FONT_FILE, EXE_FILE = sys.argv[1:4]
    unittest.main(argv=[sys.argv[0]] + sys.argv[4:], verbosity=2)
