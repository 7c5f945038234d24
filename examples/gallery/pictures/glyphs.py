#!/usr/bin/python3
"""Draws glyphs.bmp: the printable ASCII characters (32..126) in a 16 x 6 grid of 10 x 18 cells,
white with a dark navy rim on pure black (the key), for the gallery's captions.

Needs Python 3 with PIL (python3-pil) and DejaVu Sans Mono Bold (fonts-dejavu-core). Run it
from anywhere; it writes beside itself. The output is committed, so the build needs neither.
"""
import os
import sys

from PIL import Image, ImageDraw, ImageFilter, ImageFont

CELL_W, CELL_H = 10, 18
COLUMNS, ROWS = 16, 6
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
RIM = (24, 24, 72)  # not pure black, which is the key


def main():
    if not os.path.exists(FONT):
        sys.exit("glyphs.py: " + FONT + " is missing (Debian package fonts-dejavu-core)")
    font = ImageFont.truetype(FONT, 15)
    # The letters alone, as a mask, then the rim as the mask grown by one pixel.
    mask = Image.new("L", (CELL_W * COLUMNS, CELL_H * ROWS), 0)
    draw = ImageDraw.Draw(mask)
    for code in range(32, 127):
        index = code - 32
        x = (index % COLUMNS) * CELL_W
        y = (index // COLUMNS) * CELL_H
        draw.text((x + 1, y + 1), chr(code), font=font, fill=255)
    # Hard edges: a 16-bit picture keyed on black has no use for grey anti-aliasing.
    letters = mask.point(lambda v: 255 if v >= 112 else 0)
    rim = letters.filter(ImageFilter.MaxFilter(3))
    out = Image.new("RGB", mask.size, (0, 0, 0))
    out.paste(RIM, (0, 0), rim)
    out.paste((255, 255, 255), (0, 0), letters)
    out.save(os.path.join(os.path.dirname(os.path.abspath(__file__)), "glyphs.bmp"))


if __name__ == "__main__":
    main()
