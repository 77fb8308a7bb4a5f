#!/usr/bin/env python3
"""Checks for make_images.py: run with python3 resources/test_make_images.py."""

import pathlib
import sys
import unittest

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import make_images as mi  # noqa: E402

LEGEND = ". transparent\nK 000000\nR FF0000\npixels:\n"
GOOD_4 = LEGEND + "..KK\n.RR.\nKKKK\nR..R\n"


class ParseMap(unittest.TestCase):
    def test_reads_colours_and_transparency(self):
        pixels = mi.parse_map(GOOD_4, 4, "t")
        self.assertEqual(pixels[0], [None, None, (0, 0, 0), (0, 0, 0)])
        self.assertEqual(pixels[3][0], (255, 0, 0))

    def test_trailing_blank_lines_and_comments_are_ignored(self):
        text = "# note\n" + GOOD_4 + "\n\n"
        self.assertEqual(len(mi.parse_map(text, 4, "t")), 4)

    def test_refuses_bad_maps(self):
        cases = {
            "too few rows": LEGEND + "....\n....\n....\n",
            "too many rows": LEGEND + "....\n" * 5,
            "short row": LEGEND + "....\n...\n....\n....\n",
            "long row": LEGEND + "....\n.....\n....\n....\n",
            "unknown character": LEGEND + "....\n..X.\n....\n....\n",
            "no pixels line": ". transparent\n....\n....\n....\n....\n",
            "no transparent": "K 000000\npixels:\n" + "KKKK\n" * 4,
            "two transparent": ". transparent\n, transparent\npixels:\n"
                               + "....\n" * 4,
            "bad colour": ". transparent\nK 00000G\npixels:\n" + "....\n" * 4,
            "short colour": ". transparent\nK FFF\npixels:\n" + "....\n" * 4,
            "magenta drawn": ". transparent\nM ff00ff\npixels:\n"
                             + "....\n" * 4,
            "duplicate char": LEGEND.replace("pixels:", "K 111111\npixels:")
                              + "....\n" * 4,
            "hash in pixels": LEGEND + "....\n.#..\n....\n....\n",
            "two-char key": ". transparent\nKK 000000\npixels:\n"
                            + "....\n" * 4,
        }
        for name, text in cases.items():
            with self.subTest(name), self.assertRaises(mi.MapError):
                mi.parse_map(text, 4, "t")


def pattern(size, colours):
    """A map using the given colours plus transparent, in stripes."""
    cycle = list(colours) + [None]
    return [[cycle[(x + 3 * y) % len(cycle)] for x in range(size)]
            for y in range(size)]


class RoundTrip(unittest.TestCase):
    def test_icon_keeps_every_pixel_and_mask(self):
        colours = [(i * 16, 255 - i * 16, i) for i in range(15)]
        icons = [("a", pattern(32, colours)), ("b", pattern(16, colours[:3]))]
        decoded = mi.read_ico(mi.build_ico(icons))
        self.assertEqual([(s, p) for s, p in decoded],
                         [(32, icons[0][1]), (16, icons[1][1])])

    def test_icon_refuses_more_than_16_colours(self):
        colours = [(i * 16, 255 - i * 16, 1 + i) for i in range(16)]
        with self.assertRaises(mi.MapError):
            mi.build_ico([("a", pattern(32, colours))])

    def test_strip_marks_transparent_as_magenta(self):
        images = [pattern(16, [(1, 2, 3), (250, 0, 250)]),
                  pattern(16, [(9, 8, 7)])]
        data = mi.build_bmp(mi.strip_pixels(images))
        self.assertEqual(data[:2], b"BM")
        self.assertEqual(int.from_bytes(data[2:6], "little"), len(data))
        decoded = mi.read_bmp(data)
        self.assertEqual(len(decoded[0]), 32)
        self.assertEqual([row[:16] for row in decoded], images[0])
        self.assertEqual([row[16:] for row in decoded], images[1])

    def test_large_strip_doubles_every_other_pixel(self):
        image = pattern(16, [(1, 2, 3), (40, 50, 60)])
        large = mi.scaled(image, 24)
        self.assertEqual(len(large), 24)
        self.assertTrue(all(len(row) == 24 for row in large))
        # Each pixel of the 24 is the 16's pixel it falls on: even ones twice, odd ones once.
        for y in range(24):
            for x in range(24):
                self.assertEqual(large[y][x], image[y * 2 // 3][x * 2 // 3])
        self.assertEqual([row[0] for row in large[:3]],
                         [image[0][0], image[0][0], image[1][0]])
        decoded = mi.read_bmp(mi.build_bmp(mi.strip_pixels([large, large])))
        self.assertEqual(len(decoded), 24)
        self.assertEqual(len(decoded[0]), 48)

    def test_preview_is_a_png(self):
        ico, bmp, _ = mi.build_all()
        self.assertTrue(mi.preview(ico, bmp).startswith(b"\x89PNG\r\n\x1a\n"))


class CommittedFiles(unittest.TestCase):
    def test_generated_files_match_the_maps(self):
        self.assertEqual(mi.main(["--check"]), 0,
                         "run resources/make_images.py and commit the result")


if __name__ == "__main__":
    unittest.main()
