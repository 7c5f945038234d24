#!/usr/bin/env python3
"""Checks that the generator's rule checks really catch broken pictures, and that its BMP
writer and palette reduction keep what they must. Run by build.sh before any picture is made."""

import os
import tempfile
import unittest

import numpy as np

import generate as g


def rgba(colour, size=(4, 4), alpha=255):
    a = np.zeros(size + (4,), np.uint8)
    a[..., :3] = colour
    a[..., 3] = alpha
    return a


class KeyRules(unittest.TestCase):
    def test_near_black_inside_a_keyed_shape_is_refused(self):
        pic = rgba((40, 30, 60))
        pic[1, 1, :3] = (4, 2, 6)  # turns into the 16-bit key: a hole in the shape
        with self.assertRaises(g.ArtError):
            g.over_black(pic, "test")

    def test_exact_black_inside_a_keyed_shape_is_refused(self):
        pic = rgba((40, 30, 60))
        pic[2, 2, :3] = 0
        with self.assertRaises(g.ArtError):
            g.over_black(pic, "test")

    def test_faint_edges_fade_to_exact_black(self):
        pic = rgba((42, 33, 64))
        pic[0, :, 3] = 20  # a faint anti-aliased edge: (3,3,5) over black
        pic[1, :, 3] = 0
        rgb, shape = g.over_black(pic, "test")
        self.assertTrue(np.all(rgb[:2] == 0))
        self.assertFalse(shape[:2].any())
        self.assertTrue(np.all(rgb[2:] == (42, 33, 64)))

    def test_runner_in_key_green_is_refused(self):
        pic = rgba((200, 60, 60))
        pic[0, 0, :3] = (3, 254, 5)
        with self.assertRaises(g.ArtError):
            g.on_green(pic, "test")

    def test_runner_edges_keep_their_colour_not_a_green_blend(self):
        pic = rgba((200, 60, 60))
        pic[0, :, 3] = 200  # mostly covered: stays the runner's colour
        pic[1, :, 3] = 60  # mostly uncovered: becomes the exact key
        rgb, shape = g.on_green(pic, "test")
        self.assertTrue(np.all(rgb[0] == (200, 60, 60)))
        self.assertTrue(np.all(rgb[1] == g.GREEN))
        self.assertTrue(shape[0].all() and not shape[1].any())

    def test_uncovered_opaque_picture_is_refused(self):
        pic = rgba((120, 120, 120))
        pic[3, 3, 3] = 254
        with self.assertRaises(g.ArtError):
            g.opaque(pic, "test")


class Files(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.path = os.path.join(self.dir.name, "t.bmp")

    def tearDown(self):
        self.dir.cleanup()

    def test_8_bit_round_trip_with_odd_width(self):
        idx = (np.arange(5 * 3).reshape(3, 5) % 4).astype(np.uint8)
        pal = np.array([[0, 0, 0], [255, 0, 0], [0, 200, 0], [10, 20, 250]], np.uint8)
        g.write_bmp(self.path, 5, 3, 8, idx, pal)
        rgb, bits, colours, size = g.read_bmp(self.path)
        self.assertEqual((bits, colours, size), (8, 4, (5, 3)))
        self.assertTrue(np.array_equal(rgb, pal[idx]))

    def test_24_bit_round_trip(self):
        rng = np.random.default_rng(1)
        pix = rng.integers(0, 256, (3, 7, 3), dtype=np.uint8)
        g.write_bmp(self.path, 7, 3, 24, pix)
        rgb, bits, _, size = g.read_bmp(self.path)
        self.assertEqual((bits, size), (24, (7, 3)))
        self.assertTrue(np.array_equal(rgb, pix))

    def test_verify_catches_wrong_size_depth_and_stray_near_black(self):
        idx = np.array([[0, 1], [1, 1]], np.uint8)
        pal = np.array([[0, 0, 0], [3, 1, 2]], np.uint8)  # entry 1 would become the key
        g.write_bmp(self.path, 2, 2, 8, idx, pal)
        shape = np.array([[False, True], [True, True]])
        with self.assertRaises(g.ArtError):
            g.verify(self.path, "t", 2, 2, 8, "keyed", shape)
        pal[1] = (8, 0, 0)
        g.write_bmp(self.path, 2, 2, 8, idx, pal)
        g.verify(self.path, "t", 2, 2, 8, "keyed", shape)
        with self.assertRaises(g.ArtError):
            g.verify(self.path, "t", 2, 3, 8, "keyed", shape)
        with self.assertRaises(g.ArtError):
            g.verify(self.path, "t", 2, 2, 24, "keyed", shape)

    def test_verify_catches_near_green_in_runners(self):
        idx = np.array([[0, 1]], np.uint8)
        pal = np.array([[0, 255, 0], [4, 252, 0]], np.uint8)
        g.write_bmp(self.path, 2, 1, 8, idx, pal)
        with self.assertRaises(g.ArtError):
            g.verify(self.path, "t", 2, 1, 8, "green", np.array([[False, True]]))

    def test_verify_catches_light_outside_the_spot(self):
        idx, pal = g.spotlight(128)
        idx[0, 0] = 5
        g.write_bmp(self.path, 128, 128, 8, idx, pal)
        with self.assertRaises(g.ArtError):
            g.verify(self.path, "t", 128, 128, 8, "light", idx > 0)


class Palette(unittest.TestCase):
    def test_many_colours_reduce_to_256_keeping_the_key_exact(self):
        rng = np.random.default_rng(7)
        rgb = rng.integers(16, 256, (64, 64, 3), dtype=np.uint8)
        rgb[:8, :8] = 0
        idx, pal = g.quantize(rgb, [(0, 0, 0)])
        self.assertLessEqual(len(pal), 256)
        key = np.all(pal[idx] == 0, axis=-1)
        self.assertTrue(np.array_equal(key, np.all(rgb == 0, axis=-1)))

    def test_few_colours_are_kept_exactly(self):
        rgb = np.zeros((4, 4, 3), np.uint8)
        rgb[0] = (10, 20, 30)
        rgb[1] = (200, 100, 50)
        rgb[2:] = (0, 255, 0)
        idx, pal = g.quantize(rgb, [g.GREEN])
        self.assertTrue(np.array_equal(pal[idx], rgb))

    def test_spot_falls_smoothly_to_black(self):
        idx, pal = g.spotlight(128)
        self.assertEqual(int(idx[64, 64]), 255)
        self.assertGreaterEqual(len(np.unique(idx)), 240)  # nearly every level is used
        row = idx[64, 64:].astype(int)
        self.assertTrue(np.all(np.diff(row) <= 0))
        self.assertTrue(np.all(pal[idx[0, 0]] == 0))


if __name__ == "__main__":
    unittest.main()
