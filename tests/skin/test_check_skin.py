#!/usr/bin/python3
"""The skin check must catch the faults it exists for: wrong image formats, illegible
text and captions under controls."""

import os
import sys
import tempfile
import unittest

import cairo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..",
                                "tools", "skin"))
import build_skin  # noqa: E402
import check_skin  # noqa: E402
import skin  # noqa: E402


class CheckTestCase(unittest.TestCase):
    def setUp(self):
        check_skin.failures.clear()
        check_skin.verbose = False

    def tearDown(self):
        check_skin.failures.clear()


class Contrast(CheckTestCase):
    def test_known_ratios(self):
        self.assertAlmostEqual(check_skin.contrast((255, 255, 255), (0, 0, 0)), 21.0)
        self.assertAlmostEqual(check_skin.contrast((90, 90, 90), (90, 90, 90)), 1.0)
        # the usual grey that just passes on white
        self.assertGreater(check_skin.contrast((118, 118, 118), (255, 255, 255)), 4.5)
        self.assertLess(check_skin.contrast((119, 119, 119), (255, 255, 255)), 4.5)
        self.assertEqual(check_skin.contrast((255, 0, 0), (60, 60, 60)),
                         check_skin.contrast((60, 60, 60), (255, 0, 0)))

    def test_faint_caption_fails(self):
        saved = skin.COLOURS["text"]
        skin.COLOURS["text"] = (60, 64, 70)
        try:
            check_skin.check_texts(build_skin.build(1.0, draw_text=False))
        finally:
            skin.COLOURS["text"] = saved
        self.assertTrue(any("'Level'" in f and "contrast" in f for f in check_skin.failures))

    def test_committed_skin_reads(self):
        lowest = check_skin.check_texts(build_skin.build(1.0, draw_text=False))
        self.assertEqual(check_skin.failures, [])
        self.assertGreaterEqual(lowest[0], check_skin.MIN_CONTRAST)


class ControlsOwnText(CheckTestCase):
    def test_light_panel_under_light_labels_fails(self):
        images = {i: check_skin.Pixels(cv.surface) for i, cv in build_skin.build(1.0).items()}
        pale = cairo.ImageSurface(cairo.FORMAT_RGB24, 728, 595)
        ctx = cairo.Context(pale)
        ctx.set_source_rgb(0.8, 0.8, 0.8)
        ctx.paint()
        images[10000] = check_skin.Pixels(pale)
        check_skin.check_font_areas(images)
        self.assertTrue(any("lane title" in f for f in check_skin.failures))
        self.assertTrue(any("knob A label" in f for f in check_skin.failures))

    def test_committed_background_passes(self):
        images = {i: check_skin.Pixels(cv.surface) for i, cv in build_skin.build(1.0).items()}
        lowest = check_skin.check_font_areas(images)
        self.assertEqual(check_skin.failures, [])
        self.assertGreaterEqual(lowest[0], check_skin.MIN_CONTRAST)


class Placement(CheckTestCase):
    def test_caption_on_a_control_fails(self):
        check_skin.check_clear_of_controls("Swing", (630, 405, 660, 414), (630, 405, 660, 414))
        self.assertTrue(any("swing" in f for f in check_skin.failures))

    def test_caption_beside_a_control_passes(self):
        lane = skin.CONTROLS["lane"]
        box = (lane[0], lane[3], lane[2], lane[3] + 3)  # touching, not overlapping
        check_skin.check_clear_of_controls("ticks", box, box)
        self.assertEqual(check_skin.failures, [])


class Collisions(CheckTestCase):
    def images(self):
        return {i: check_skin.Pixels(cv.surface) for i, cv in build_skin.build(1.0).items()}

    def test_committed_layout_is_clear(self):
        check_skin.check_placements(self.images())
        self.assertEqual(check_skin.failures, [])

    def test_opaque_knob_backgrounds_would_collide(self):
        # knobs A and B share one pixel column: only transparency keeps them apart
        images = self.images()
        solid = cairo.ImageSurface(cairo.FORMAT_ARGB32, 61, 52)
        ctx = cairo.Context(solid)
        ctx.set_source_rgb(0.5, 0.5, 0.5)
        ctx.paint()
        images[10002] = check_skin.Pixels(solid)
        check_skin.check_placements(images)
        self.assertTrue(any("knob A and the knob B" in f for f in check_skin.failures))

    def test_frame_that_does_not_fit_its_control_fails(self):
        saved = skin.CONTROLS["play"]
        skin.CONTROLS["play"] = (568, 314, 630, 350)
        try:
            check_skin.check_placements(self.images())
        finally:
            skin.CONTROLS["play"] = saved
        self.assertTrue(any("10029.png frames are 62 x 37" in f for f in check_skin.failures))


class Headers(CheckTestCase):
    def write(self, folder, image_id, fmt, w, h):
        cairo.ImageSurface(fmt, w, h).write_to_png(os.path.join(folder, f"{image_id}.png"))

    def test_wrong_size_type_and_missing_files_fail(self):
        with tempfile.TemporaryDirectory() as folder:
            self.write(folder, 10000, cairo.FORMAT_RGB24, 728, 594)
            self.write(folder, 10002, cairo.FORMAT_RGB24, 61, 52)  # needs alpha
            self.write(folder, 10001, cairo.FORMAT_RGB24, 53, 1884)
            saved = check_skin.IMAGE_DIR
            check_skin.IMAGE_DIR = folder
            try:
                check_skin.check_headers()
            finally:
                check_skin.IMAGE_DIR = saved
        text = "\n".join(check_skin.failures)
        self.assertIn("10000.png is 728 x 594", text)
        self.assertIn("10002.png has colour type 2", text)
        self.assertNotIn("10001", text)
        self.assertIn("10037.png is missing", text)

    def test_corrupt_file_is_reported(self):
        with tempfile.TemporaryDirectory() as folder:
            path = os.path.join(folder, "x.png")
            cairo.ImageSurface(cairo.FORMAT_ARGB32, 4, 4).write_to_png(path)
            with open(path, "rb") as f:
                data = bytearray(f.read())
            data[20] ^= 0xFF  # inside IHDR
            with open(path, "wb") as f:
                f.write(bytes(data))
            with self.assertRaises(ValueError):
                check_skin.png_header(path)


class Builder(CheckTestCase):
    def test_scaled_set_keeps_frames_and_proportions(self):
        images = build_skin.build(2.0)
        for i, (w, h, alpha, frames) in build_skin.IMAGES.items():
            s = images[i].surface
            self.assertEqual((s.get_width(), s.get_height()), (2 * w, 2 * h), i)
            self.assertEqual(s.get_format() == cairo.FORMAT_ARGB32, alpha, i)

    def test_voice_selector_frame_highlights_its_voice(self):
        # frame f selects voice 11 - f; the highlight sits on that voice's step row
        sel = build_skin.build(1.0)[10001]
        px = check_skin.Pixels(sel.surface)
        top = skin.CONTROLS["voice selector"][1]
        for f in (0, 5, 11):
            voice = 11 - f
            row_mid = skin.step_row(voice)[1] - top + 6 + f * sel.frame_height
            self.assertEqual(px[51, row_mid][:3], skin.COLOURS["handle"], f)
            other = skin.step_row((voice + 1) % 12)[1] - top + 6 + f * sel.frame_height
            self.assertEqual(px[51, other][:3], skin.COLOURS["sequencer"], f)

    def test_version_comes_from_the_project(self):
        self.assertRegex(build_skin.version(), r"^\d+\.\d+\.\d+$")
        about = build_skin.build(1.0)[10037]
        self.assertIn(f"Version {build_skin.version()}", [t.text for t in about.texts])


if __name__ == "__main__":
    unittest.main()
