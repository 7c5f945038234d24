#!/usr/bin/python3
"""Draws the pictures of the gallery's layer pages, beside itself:

  tiles.bmp     the cover transition's strip: ten 64 x 48 tiles side by side, tile t a square
                of gold fading to orange, grown to (t + 1) tenths of the cell, on pure black (the
                key), so the tenth covers its cell;
  pagetile.bmp  the scroll page's 64 x 48 background tile, a soft two-tone diamond;
  page.bmp      the scroll page, 440 x 1440: three sheets of ruled paper with bars of "text",
                separated and bordered by pure black, which the background shows through.

Needs Python 3 only. The output is committed, so the build needs nothing of this.
"""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def write_bmp24(name, width, height, pixel):
    """pixel(x, y) -> (r, g, b); rows top to bottom, stored bottom-up, padded to 4 bytes."""
    pad = (4 - width * 3 % 4) % 4
    rows = []
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows.append(bytes(row) + b"\0" * pad)
    body = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(header + info + body)


def write_bmp8_rle(name, width, height, palette, index):
    """index(x, y) -> palette entry; run-length encoded, 8 bits a pixel."""
    body = bytearray()
    for y in reversed(range(height)):
        x = 0
        while x < width:
            value = index(x, y)
            run = 1
            while x + run < width and run < 255 and index(x + run, y) == value:
                run += 1
            body += bytes((run, value))
            x += run
        body += b"\0\0"  # end of line
    body += b"\0\1"  # end of picture
    table = b"".join(bytes((b, g, r, 0)) for (r, g, b) in palette)
    offset = 54 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(body), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 1, len(body), 2835, 2835,
                       len(palette), 0)
    with open(os.path.join(HERE, name), "wb") as out:
        out.write(header + info + table + bytes(body))


def tile_pixel(x, y):
    t, cx = divmod(x, 64)
    dx, dy = abs(cx - 31.5) / 32.0, abs(y - 23.5) / 24.0
    reach = (t + 1) / 10.0
    if max(dx, dy) > reach:
        return (0, 0, 0)
    shade = max(dx, dy) / reach
    return (255, int(220 - 110 * shade), int(90 + 12 * t - 60 * shade))


def pagetile_pixel(x, y):
    d = abs(x - 31.5) / 32.0 + abs(y - 23.5) / 24.0
    return (70, 90, 150) if d < 0.5 else (40, 55, 105)


PAGE_W, PAGE_H = 440, 1440
SHEET_H = 440  # each sheet, then 40 black rows
PALETTE = [(0, 0, 0), (250, 246, 232), (170, 200, 230), (220, 90, 90), (60, 60, 80),
           (40, 110, 170), (190, 70, 40)]


def lcg(seed):
    while True:
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        yield seed >> 16


def page_index_table():
    """The page as rows of palette indices, worked out once."""
    rand = lcg(2026)
    rows = []
    for y in range(PAGE_H):
        sheet, sy = divmod(y, SHEET_H + 40)
        if sy >= SHEET_H:
            rows.append([0] * PAGE_W)
            continue
        row = [0] * 40 + [1] * (PAGE_W - 80) + [0] * 40
        if sy % 22 == 21:
            row[40:PAGE_W - 40] = [2] * (PAGE_W - 80)  # ruled line
        row[76] = 3  # the margin
        rows.append(row)
    # Bars of "text" on the lines: a heading per sheet, then words of random lengths.
    for sheet in range(3):
        top = sheet * (SHEET_H + 40)
        for line in range(1, SHEET_H // 22 - 1):
            y0 = top + line * 22 + 8
            colour = 5 if line == 1 else (6 if line % 7 == 0 else 4)
            x = 90
            end = PAGE_W - 60 - (next(rand) % 120 if line % 5 == 4 else 0)
            while x < end:
                word = 12 + next(rand) % 50 if line > 1 else 30 + next(rand) % 60
                for yy in range(y0, y0 + (10 if line == 1 else 8)):
                    for xx in range(x, min(x + word, end)):
                        rows[yy][xx] = colour
                x += word + 8
    return rows


def main():
    write_bmp24("tiles.bmp", 640, 48, tile_pixel)
    write_bmp24("pagetile.bmp", 64, 48, pagetile_pixel)
    rows = page_index_table()
    write_bmp8_rle("page.bmp", PAGE_W, PAGE_H, PALETTE, lambda x, y: rows[y][x])


if __name__ == "__main__":
    main()
