#!/usr/bin/python3
"""The greeting made for other people: the first friend's pictures come out as committed, other
names and ages change only the places that show them, and what cannot be drawn is refused before
anything is written. Run by ctest with the source tree and greeting-render as arguments."""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SOURCE = os.path.realpath(sys.argv.pop(1))
RENDERER = os.path.realpath(sys.argv.pop(1))
sys.path.insert(0, os.path.join(SOURCE, "resources", "art"))

import numpy as np  # noqa: E402

import generate  # noqa: E402
import person  # noqa: E402

TOOL = os.path.join(SOURCE, "tools", "make-greeting", "greeting-make")
PICTURES = ("E1", "BODY", "SONET", "RACE", "RUNNER", "FIN")

# Where each picture shows the name, the age or the message: x0, y0, x1, y1 (x1, y1 excluded),
# read off the SVG sources. Nothing outside these may change.
REGIONS = {
    "E1": [(18, 210, 222, 234)],  # the brass name plate, which may widen to 200 pixels
    "BODY": [(26, 244, 102, 268), (126, 170, 210, 204)],  # the dumbbell, the tank top
    "SONET": [(40, 78, 330, 97), (56, 112, 297, 131), (72, 358, 323, 377)],
    "RACE": [(0, 180, 160, 204), (320, 180, 480, 204)],  # two advertising boards
    "RUNNER": [(18, 26, 38, 44), (70, 26, 90, 44)],  # the birthday boy's bib, both frames
    "FIN": [(0, 40, 640, 222), (228, 196, 412, 312)],  # the two big lines, the candles
}

ANNA = ("Anna", 7, "Happy birthday!")
# 24 characters, the longest name allowed, at the oldest age: everything must shrink or wrap.
LONG = ("さくら子ちゃんとみんなの大好きな長い名前です", 199, None)


def pixels(path):
    return generate.read_bmp(path)[0]


def outside(name):
    mask = np.ones(pixels(os.path.join(SOURCE, "resources", "pictures",
                                       name.lower() + ".bmp")).shape[:2], bool)
    for x0, y0, x1, y1 in REGIONS[name]:
        mask[y0:y1, x0:x1] = False
    return mask


def run_tool(*args):
    return subprocess.run([TOOL, "--renderer", RENDERER, *args], capture_output=True,
                          text=True)


class MadeForSomeoneElse(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.mkdtemp(prefix="make-greeting-test-")
        cls.default = os.path.join(cls.tmp, "default")
        generate.build_for(person.Person(), cls.default, progress=lambda _: None)
        # Anna's folder comes from the whole command, with a short video.
        cls.anna = os.path.join(cls.tmp, "anna")
        args = ["--name", ANNA[0], "--age", str(ANNA[1]), "--message", ANNA[2], "--out",
                cls.anna, "--max-passes", "20"]
        if shutil.which("ffmpeg") is None:
            args.append("--no-video")
        cls.anna_run = run_tool(*args)
        cls.long = os.path.join(cls.tmp, "long")
        generate.build_for(person.make_person(*LONG), cls.long, progress=lambda _: None)

    @classmethod
    def tearDownClass(cls):
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def test_the_first_friends_pictures_are_the_committed_ones(self):
        for name in PICTURES:
            with open(os.path.join(self.default, name), "rb") as made, \
                    open(os.path.join(SOURCE, "resources", "pictures", name.lower() + ".bmp"),
                         "rb") as committed:
                self.assertTrue(made.read() == committed.read(), name)

    def test_other_names_change_only_where_the_name_and_age_are(self):
        self.assertEqual(self.anna_run.returncode, 0, self.anna_run.stderr)
        for folder in (self.anna, self.long):
            for name in PICTURES:
                before = pixels(os.path.join(self.default, name))
                after = pixels(os.path.join(folder, name))
                changed = np.any(before != after, axis=-1)
                ys, xs = np.nonzero(changed & outside(name))
                self.assertEqual(len(xs), 0, f"{folder} {name}: changed outside at "
                                 f"{list(zip(xs[:5], ys[:5]))}")
                for x0, y0, x1, y1 in REGIONS[name]:
                    self.assertTrue(changed[y0:y1, x0:x1].any(),
                                    f"{folder} {name}: nothing new in {(x0, y0, x1, y1)}")

    def test_the_title_and_the_video(self):
        with open(os.path.join(self.anna, "TITLE"), encoding="utf-8") as f:
            self.assertEqual(f.read(), "Anna　７歳誕生日おめでとう！\n")
        with open(os.path.join(self.long, "TITLE"), encoding="utf-8") as f:
            self.assertEqual(f.read(), LONG[0] + "　１９９歳誕生日おめでとう！\n")
        # The player's own title is the first friend's, made from the same pattern.
        with open(os.path.join(SOURCE, "show", "greeting_program.cpp"), encoding="utf-8") as f:
            self.assertIn(f'.title = "{person.Person().title()}"', f.read())
        if shutil.which("ffmpeg") is not None:
            self.assertGreater(os.path.getsize(os.path.join(self.anna, "greeting.mp4")), 1000)
        self.assertEqual(sorted(f for f in os.listdir(self.anna) if f.endswith(".part")), [])


class RendererOverrides(unittest.TestCase):
    def test_the_renderer_reads_the_named_folder(self):
        with tempfile.TemporaryDirectory() as tmp:
            with open(os.path.join(tmp, "FIN"), "wb") as f:
                f.write(b"BM not a picture")
            result = subprocess.run([RENDERER, "--overrides", tmp, "--max-passes", "1"],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 3, result.stderr)
            self.assertIn(os.path.join(os.path.realpath(tmp), "FIN"), result.stderr)
            missing = os.path.join(tmp, "missing")
            result = subprocess.run([RENDERER, "--overrides", missing, "--max-passes", "1"],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 2)
            self.assertIn("not a folder", result.stderr)
            # A folder the loaders could not reach would quietly give the built-in pictures.
            deep = os.path.join(tmp, "d" * 240)
            os.mkdir(deep)
            result = subprocess.run([RENDERER, "--overrides", deep, "--max-passes", "1"],
                                    capture_output=True, text=True)
            self.assertEqual(result.returncode, 2)
            self.assertIn("longer than", result.stderr)


class Refusals(unittest.TestCase):
    def test_what_cannot_be_made_is_refused_before_anything_is_written(self):
        cases = [
            (["--name", "Zoë 😀", "--age", "30"], "U+1F600"),
            (["--name", "한글", "--age", "30"], "cannot draw"),
            (["--name", "Anna", "--age", "30", "--message", "✈✈"], "cannot draw"),
            (["--name", "x" * 25, "--age", "30"], "at most 24"),
            (["--name", "  ", "--age", "30"], "empty"),
            (["--name", "tab\there", "--age", "30"], "control"),
            (["--name", "Anna", "--age", "0"], "1 to 199"),
            (["--name", "Anna", "--age", "200"], "1 to 199"),
            (["--name", "Anna", "--age", "seven"], "whole number"),
            (["--age", "7"], "--name"),
        ]
        with tempfile.TemporaryDirectory() as tmp:
            out = os.path.join(tmp, "out")
            for args, reason in cases:
                result = run_tool(*args, "--out", out)
                self.assertEqual(result.returncode, 2, args)
                self.assertIn(reason, result.stderr, args)
                self.assertFalse(os.path.exists(out), args)

    def test_texts_are_fitted_to_their_room(self):
        # A table of known widths: the sonnet's first line, IPAPMincho at 12.2 pixels.
        size, lines = person.fit("Today the candles number twenty-three,", "IPAPMincho", 12.2,
                                 240)
        self.assertEqual((size, lines), (12.2, ["Today the candles number twenty-three,"]))
        size, _ = person.fit("Today the candles number one hundred and ninety-nine,",
                             "IPAPMincho", 12.2, 240)
        self.assertLess(size, 9.5)
        self.assertGreater(size, 8.0)
        # Latin words are never broken; Japanese breaks between any two characters.
        self.assertEqual(person.split_lines("Anna Maria Lopez", "IPAPGothic", 10),
                         ("Anna Maria", "Lopez"))
        self.assertEqual(person.split_lines("Maximiliana", "IPAPGothic", 10), None)
        self.assertEqual(person.split_lines("さくらこ", "IPAPGothic", 10), ("さく", "らこ"))

    def test_ages_in_words(self):
        for age, words in ((1, "one"), (13, "thirteen"), (20, "twenty"), (23, "twenty-three"),
                           (100, "one hundred"), (105, "one hundred and five"),
                           (199, "one hundred and ninety-nine")):
            self.assertEqual(person.number_words(age), words)


if __name__ == "__main__":
    unittest.main()
