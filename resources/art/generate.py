#!/usr/bin/env python3
"""Builds the greeting's built-in pictures, the icon and the contact sheet from the sources here.

Single pictures are hand-written SVG files in svg/; the faces and the runners are SVG made by
sprites.py from parameters; the spotlight is computed. Every SVG is rendered with rsvg-convert,
reduced to a palette where the picture is 8-bit, written as an uncompressed bottom-up BMP, read
back and checked against the keying rules the program relies on. Any broken rule fails the build.
"""

import argparse
import os
import struct
import subprocess
import sys
import tempfile

import numpy as np
from PIL import Image, ImageDraw, ImageFont

import person
import sprites

ART = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(ART)
PICTURES = os.path.join(RESOURCES, "pictures")
ICONS = os.path.join(RESOURCES, "icon")
SHEET = os.path.join(os.path.dirname(RESOURCES), "docs", "pictures.png")

GREEN = (0, 255, 0)

# How the picture is drawn by the program decides what its background may be:
#   keyed   black (0,0,0) is transparent, so nothing visible may turn into the 16-bit value 0
#   opaque  the whole rectangle is shown
#   green   pure green is transparent (the runners)
#   light   added to the screen (the spotlight); black adds nothing
# name, source, width, height, bits, drawing
CATALOGUE = [
    ("FIGHTER", "fighter.svg", 200, 150, 8, "keyed"),
    ("MACHINE", "machine.svg", 200, 150, 8, "keyed"),
    ("PRINCESS", "princess.svg", 200, 150, 8, "keyed"),
    ("TANUKI", "tanuki.svg", 200, 150, 8, "keyed"),
    ("MONSTER", "monster.svg", 320, 320, 8, "opaque"),
    ("SEAGIRL", "seagirl.svg", 640, 480, 24, "keyed"),
    ("BODY", "body.svg", 336, 336, 8, "opaque"),
    ("OKUJYO", "okujyo.svg", 158, 299, 8, "opaque"),
    ("E1", "e1.svg", 240, 240, 8, "opaque"),
    # Shown opaque in the gallery and once scaled and keyed, so it obeys both.
    ("PAJAMA", "pajama.svg", 420, 372, 8, "keyed+opaque"),
    ("SONET", "sonet.svg", 372, 420, 8, "opaque"),
    ("RACE", "race.svg", 640, 480, 8, "keyed"),
    ("FACE1", "faces:0", 150, 1240, 8, "opaque"),
    ("FACE2", "faces:1", 150, 1240, 8, "opaque"),
    ("RUNNER", "runners", 104, 1020, 8, "green"),
    ("GALABG", "galabg.svg", 640, 480, 8, "keyed"),
    ("SPOT", "spot", 128, 128, 8, "light"),
    ("FIN", "fin.svg", 640, 480, 8, "keyed"),
]


class ArtError(Exception):
    pass


# ---------------------------------------------------------------------------------------------
# Rendering


def render_svg(svg, width, height, workdir):
    """Renders an SVG file (path) or SVG text to an RGBA uint8 array of exactly width x height."""
    if svg.lstrip().startswith("<"):
        path = os.path.join(workdir, "inline.svg")
        with open(path, "w", encoding="utf-8") as f:
            f.write(svg)
    else:
        path = svg
    out = os.path.join(workdir, "render.png")
    subprocess.run(
        ["rsvg-convert", "-w", str(width), "-h", str(height), "-f", "png", "-o", out, path],
        check=True,
    )
    with Image.open(out) as im:
        im = im.convert("RGBA")
        if im.size != (width, height):
            raise ArtError(f"{path}: rendered {im.size}, wanted {(width, height)}")
        return np.array(im)


def is_black_key(rgb):
    """True where a colour becomes 0 in 5-6-5, the program's black key."""
    return (rgb[..., 0] < 8) & (rgb[..., 1] < 4) & (rgb[..., 2] < 8)


def is_green_key(rgb):
    """True where a colour becomes 0x07E0 in 5-6-5, the runners' green key."""
    return (rgb[..., 0] < 8) & (rgb[..., 1] >= 252) & (rgb[..., 2] < 8)


def over_black(rgba, name):
    """Composites over black. Returns the RGB image and the mask of the intended shape.

    An edge pixel less than half covered that would turn into the key is made exact black: it was
    meant to fade into the background. A pixel at least half covered is part of the shape, and the
    shape may not contain the key colour: that would punch a hole in it.
    """
    alpha = rgba[..., 3:4].astype(np.float64) / 255.0
    rgb = np.rint(rgba[..., :3].astype(np.float64) * alpha).astype(np.uint8)
    shape = rgba[..., 3] >= 128
    holes = int(np.count_nonzero(shape & is_black_key(rgb)))
    if holes:
        raise ArtError(f"{name}: {holes} pixels inside the picture would become transparent")
    rgb[~shape & is_black_key(rgb)] = 0
    return rgb, shape


def opaque(rgba, name):
    uncovered = int(np.count_nonzero(rgba[..., 3] != 255))
    if uncovered:
        raise ArtError(f"{name}: {uncovered} pixels are not covered by the picture")
    return rgba[..., :3].copy()


def on_green(rgba, name):
    """Hard-edged runner on the green key: edges keep the runner's own colour, never a blend
    with the green, so no fringe shows when the green is keyed out."""
    shape = rgba[..., 3] >= 128
    rgb = rgba[..., :3].copy()
    clash = int(np.count_nonzero(shape & is_green_key(rgb)))
    if clash:
        raise ArtError(f"{name}: {clash} runner pixels are the transparent green")
    rgb[~shape] = GREEN
    return rgb, shape


# ---------------------------------------------------------------------------------------------
# Palette reduction


def quantize(rgb, reserved):
    """Reduces to at most 256 colours. Colours in `reserved` (the key) keep an exact entry.

    Returns (indices, palette). The palette comes from median cut over the other pixels; each
    pixel then takes the nearest entry, found exactly per distinct colour.
    """
    h, w, _ = rgb.shape
    flat = rgb.reshape(-1, 3)
    keep = np.ones(len(flat), dtype=bool)
    for colour in reserved:
        keep &= np.any(flat != np.array(colour, dtype=np.uint8), axis=1)
    rest = flat[keep]
    room = 256 - len(reserved)
    uniq = np.unique(rest, axis=0) if len(rest) else np.zeros((0, 3), np.uint8)
    if len(uniq) <= room:
        chosen = uniq
    else:
        strip = Image.fromarray(rest.reshape(1, -1, 3), "RGB")
        q = strip.quantize(colors=room, method=Image.Quantize.MEDIANCUT, kmeans=2)
        pal = np.array(q.getpalette()[: 3 * room], dtype=np.uint8).reshape(-1, 3)
        used = np.unique(np.array(q).reshape(-1))
        chosen = np.unique(pal[used], axis=0)
    palette = np.concatenate([np.array(reserved, dtype=np.uint8).reshape(-1, 3), chosen])
    return nearest_entries(rgb, palette, len(reserved)), palette


def nearest_entries(rgb, palette, reserved):
    """Each pixel's nearest palette entry. The first `reserved` entries (the key) are only for
    pixels that are exactly that colour."""
    h, w, _ = rgb.shape
    flat = rgb.reshape(-1, 3)
    colours, inverse = np.unique(flat, axis=0, return_inverse=True)
    inverse = inverse.reshape(-1)
    nearest = np.empty(len(colours), dtype=np.uint8)
    pal16 = palette.astype(np.int32)
    for start in range(0, len(colours), 4096):
        block = colours[start : start + 4096].astype(np.int32)
        d = ((block[:, None, :] - pal16[None, :, :]) ** 2).sum(axis=2)
        for i in range(reserved):
            exact = np.all(block == pal16[i], axis=1)
            d[~exact, i] = 1 << 30
        nearest[start : start + 4096] = np.argmin(d, axis=1)
    return nearest[inverse].reshape(h, w)


# ---------------------------------------------------------------------------------------------
# BMP files


def write_bmp(path, width, height, bits, pixels, palette=None):
    """Writes an uncompressed bottom-up BMP with a BITMAPINFOHEADER."""
    if bits == 8:
        stride = (width + 3) & ~3
        pal = np.zeros((256, 4), dtype=np.uint8)
        pal[: len(palette), 0] = palette[:, 2]
        pal[: len(palette), 1] = palette[:, 1]
        pal[: len(palette), 2] = palette[:, 0]
        table = pal.tobytes()
        rows = [pixels[y].astype(np.uint8).tobytes() for y in range(height)]
    else:
        stride = (width * 3 + 3) & ~3
        table = b""
        rows = [pixels[y][:, ::-1].astype(np.uint8).tobytes() for y in range(height)]
    pad = b"\0" * (stride - len(rows[0]))
    data = b"".join(row + pad for row in reversed(rows))
    offset = 14 + 40 + len(table)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack(
        "<IiiHHIIiiII",
        40, width, height, 1, bits, 0, len(data), 2835, 2835, 256 if bits == 8 else 0, 0,
    )
    with open(path, "wb") as f:
        f.write(header + info + table + data)


def read_bmp(path):
    """Reads back what write_bmp wrote, checking the header. Returns (rgb array, bits, colours)."""
    with open(path, "rb") as f:
        blob = f.read()
    magic, size, _, _, offset = struct.unpack_from("<2sIHHI", blob, 0)
    hsize, width, height, planes, bits, compression, _, _, _, used, _ = struct.unpack_from(
        "<IiiHHIIiiII", blob, 14
    )
    if magic != b"BM" or size != len(blob) or hsize != 40 or planes != 1 or compression != 0:
        raise ArtError(f"{path}: not an uncompressed BMP with a BITMAPINFOHEADER")
    if height <= 0:
        raise ArtError(f"{path}: not bottom-up")
    if bits == 8:
        count = used or 256
        pal = np.frombuffer(blob, np.uint8, count * 4, 54).reshape(-1, 4)[:, [2, 1, 0]]
        stride = (width + 3) & ~3
    elif bits == 24:
        stride = (width * 3 + 3) & ~3
    else:
        raise ArtError(f"{path}: {bits} bits per pixel")
    if offset + stride * height != len(blob):
        raise ArtError(f"{path}: pixel data of the wrong length")
    rows = np.frombuffer(blob, np.uint8, stride * height, offset).reshape(height, stride)[::-1]
    if bits == 8:
        idx = rows[:, :width]
        rgb = pal[idx]
        colours = len(np.unique(idx))
    else:
        rgb = rows[:, : width * 3].reshape(height, width, 3)[:, :, ::-1]
        colours = len(np.unique(rgb.reshape(-1, 3), axis=0))
    return np.ascontiguousarray(rgb), bits, colours, (width, height)


def verify(path, name, width, height, bits, drawing, shape):
    """Reads a written picture back and checks size, depth, colours and the key rules."""
    rgb, got_bits, colours, size = read_bmp(path)
    problems = []
    if size != (width, height):
        problems.append(f"size {size}, wanted {(width, height)}")
    if got_bits != bits:
        problems.append(f"{got_bits} bits, wanted {bits}")
    if bits == 8 and colours > 256:
        problems.append(f"{colours} colours")
    black = np.all(rgb == 0, axis=-1)
    if "keyed" in drawing:
        stray = int(np.count_nonzero(is_black_key(rgb) & ~black))
        if stray:
            problems.append(f"{stray} near-black pixels that are not exact black")
        holes = int(np.count_nonzero(shape & black))
        if holes:
            problems.append(f"{holes} pixels of the picture became the black key")
    if drawing == "green":
        exact = np.all(rgb == np.array(GREEN, np.uint8), axis=-1)
        stray = int(np.count_nonzero(is_green_key(rgb) & ~exact))
        if stray:
            problems.append(f"{stray} near-green pixels that are not the exact key")
        if np.any(shape & exact) or np.any(~shape & ~exact):
            problems.append("runner and background do not match the key")
    if drawing == "light":
        yy, xx = np.mgrid[0:height, 0:width]
        r = np.hypot(xx + 0.5 - width / 2, yy + 0.5 - height / 2)
        if np.any(rgb[r >= 64] != 0):
            problems.append("light outside the circle")
    if problems:
        raise ArtError(f"{name}: " + "; ".join(problems))
    return colours


# ---------------------------------------------------------------------------------------------
# Pictures that are not single SVG files


def spotlight(size=128, radius=64.0):
    """A warm round light whose brightness falls smoothly to exact black at the radius.

    Palette entry i is the light at i/255 strength, so the gradient uses the whole palette.
    """
    yy, xx = np.mgrid[0:size, 0:size]
    r = np.hypot(xx + 0.5 - size / 2, yy + 0.5 - size / 2) / radius
    t = np.clip(1.0 - r, 0.0, 1.0)
    # Smoothstep on the distance: flat top, soft shoulder, no visible rim at the edge.
    strength = t * t * (3.0 - 2.0 * t)
    idx = np.rint(strength * 255).astype(np.uint8)
    idx[r >= 1.0] = 0
    warm = np.array([255, 246, 226], dtype=np.float64)
    levels = np.arange(256, dtype=np.float64)[:, None] / 255.0
    palette = np.rint(warm[None, :] * levels).astype(np.uint8)
    return idx, palette


def strip_of(svgs, cell_w, cell_h, columns, drawing, name, workdir):
    """Renders each SVG into a cell and lays the cells out row by row."""
    rows = (len(svgs) + columns - 1) // columns
    rgb = np.zeros((rows * cell_h, columns * cell_w, 3), np.uint8)
    shape = np.zeros((rows * cell_h, columns * cell_w), bool)
    for i, svg in enumerate(svgs):
        rgba = render_svg(svg, cell_w, cell_h, workdir)
        part = f"{name} cell {i}"
        if drawing == "green":
            cell, mask = on_green(rgba, part)
        else:
            cell, mask = opaque(rgba, part), np.ones((cell_h, cell_w), bool)
        y, x = (i // columns) * cell_h, (i % columns) * cell_w
        rgb[y : y + cell_h, x : x + cell_w] = cell
        shape[y : y + cell_h, x : x + cell_w] = mask
    return rgb, shape


# ---------------------------------------------------------------------------------------------
# Build


def picture_rgb(entry, workdir, who):
    """Renders a picture for a person: (RGB array, mask of the intended shape)."""
    name, source, width, height, bits, drawing = entry
    if source.startswith("faces:"):
        column = int(source.split(":")[1])
        svgs = sprites.face_column(column)
        rgb, shape = strip_of(svgs, 150, 155, 1, drawing, name, workdir)
    elif source == "runners":
        svgs = [frame for runner in sprites.runner_frames(who.age) for frame in runner]
        rgb, shape = strip_of(svgs, 52, 68, 2, drawing, name, workdir)
    else:
        with open(os.path.join(ART, "svg", source), encoding="utf-8") as f:
            text = sprites.insert_heads(person.personalise(f.read(), who))
        rgba = render_svg(text, width, height, workdir)
        if "keyed" in drawing:
            if drawing == "keyed+opaque":
                opaque(rgba, name)
            rgb, shape = over_black(rgba, name)
        else:
            rgb, shape = opaque(rgba, name), np.ones((height, width), bool)
    if rgb.shape[:2] != (height, width):
        raise ArtError(f"{name}: laid out {rgb.shape[1]}x{rgb.shape[0]}, wanted {width}x{height}")
    return rgb, shape


_DEFAULT_PALETTES = {}


def build_picture(entry, workdir, who=person.Person(), path=None):
    """Makes one picture and writes it to `path` (by default the built-in picture's file).

    For anyone but the first friend a picture keeps the palette his picture has, so every pixel
    their texts leave alone comes out exactly as in the built-in picture.
    """
    name, source, width, height, bits, drawing = entry
    path = path or os.path.join(PICTURES, name.lower() + ".bmp")
    if source == "spot":
        idx, palette = spotlight(width)
        write_bmp(path, width, height, bits, idx, palette)
        shape = idx > 0
        colours = verify(path, name, width, height, bits, drawing, shape)
        return path, colours
    rgb, shape = picture_rgb(entry, workdir, who)
    if bits == 24:
        write_bmp(path, width, height, 24, rgb)
    else:
        reserved = [GREEN] if drawing == "green" else ([(0, 0, 0)] if "keyed" in drawing else [])
        if who.is_default:
            idx, palette = quantize(rgb, reserved)
            _DEFAULT_PALETTES[name] = palette
        else:
            if name not in _DEFAULT_PALETTES:
                _DEFAULT_PALETTES[name] = quantize(picture_rgb(entry, workdir, person.Person())[0],
                                                   reserved)[1]
            palette = _DEFAULT_PALETTES[name]
            idx = nearest_entries(rgb, palette, len(reserved))
        write_bmp(path, width, height, 8, idx, palette)
    colours = verify(path, name, width, height, bits, drawing, shape)
    return path, colours


def build_icons(workdir):
    source = os.path.join(ART, "svg", "icon.svg")
    written = []
    for size, file in ((256, "greeting.png"), (64, "greeting-64.png")):
        rgba = render_svg(source, size, size, workdir)
        path = os.path.join(ICONS, file)
        Image.fromarray(rgba, "RGBA").save(path, optimize=False)
        with Image.open(path) as check:
            if check.size != (size, size) or check.mode != "RGBA":
                raise ArtError(f"{path}: {check.size} {check.mode}")
        written.append(path)
    return written


def contact_sheet(entries):
    """All pictures on one sheet with their names: the single pictures in a grid of five
    columns, the three tall strips (faces, runners) standing at the right."""
    bold = sprites.font_file("IPAexGothic") or sprites.font_file("IPAPGothic")
    plain = bold
    name_font = ImageFont.truetype(bold, 16) if bold else ImageFont.load_default()
    size_font = ImageFont.truetype(plain, 12) if plain else ImageFont.load_default()
    pad, label_h, box = 14, 38, (220, 200)
    columns, rows = 5, 3
    tall_box = (120, rows * (box[1] + label_h + pad) - pad - label_h)
    normal, tall = [], []
    for name, _, width, height, _, _ in entries:
        rgb, _, _, _ = read_bmp(os.path.join(PICTURES, name.lower() + ".bmp"))
        im = Image.fromarray(rgb, "RGB")
        target = tall_box if height > 3 * width else box
        scale = min(target[0] / width, target[1] / height, 1.0)
        if scale < 1:
            size = (max(1, round(width * scale)), max(1, round(height * scale)))
            im = im.resize(size, Image.Resampling.LANCZOS)
        (tall if target is tall_box else normal).append((im, name, f"{width} x {height}"))
    if len(normal) > columns * rows:
        raise ArtError("contact sheet: more pictures than cells")
    cell_w, tall_w = box[0] + pad, tall_box[0] + pad
    sheet_w = pad + columns * cell_w + len(tall) * tall_w
    sheet_h = pad + rows * (box[1] + label_h + pad) + 8
    sheet = Image.new("RGB", (sheet_w, sheet_h), (52, 46, 70))
    draw = ImageDraw.Draw(sheet)

    def place(im, name, size, x, y, w, h):
        sheet.paste(im, (x + (w - im.width) // 2, y + (h - im.height) // 2))
        draw.text((x + w // 2, y + h + 4), name, fill=(250, 244, 230), font=name_font, anchor="mt")
        draw.text((x + w // 2, y + h + 23), size, fill=(190, 182, 210), font=size_font, anchor="mt")

    for i, (im, name, size) in enumerate(normal):
        x = pad + (i % columns) * cell_w
        y = pad + (i // columns) * (box[1] + label_h + pad)
        place(im, name, size, x, y, box[0], box[1])
    for i, (im, name, size) in enumerate(tall):
        place(im, name, size, pad + columns * cell_w + i * tall_w, pad, tall_box[0], tall_box[1])
    os.makedirs(os.path.dirname(SHEET), exist_ok=True)
    sheet.save(SHEET, optimize=False)
    return SHEET


# The pictures that show the name, the age or the message.
PERSONAL = ("E1", "BODY", "SONET", "RACE", "RUNNER", "FIN")


def build_for(who, out, progress=print):
    """Writes into the folder `out` the files that make the greeting someone's when they are
    placed next to the player: the pictures that show the name, age or message, under their bare
    names, and TITLE, the window's title. Each file appears complete or not at all."""
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory(prefix="greeting-art-") as workdir:
        for entry in CATALOGUE:
            if entry[0] not in PERSONAL:
                continue
            part = os.path.join(out, entry[0] + ".part")
            try:
                _, colours = build_picture(entry, workdir, who, part)
            except BaseException:
                if os.path.exists(part):
                    os.remove(part)
                raise
            os.replace(part, os.path.join(out, entry[0]))
            progress(f"{entry[0]:9} {entry[2]:4}x{entry[3]:<5} {colours:6} colours")
    part = os.path.join(out, "TITLE.part")
    with open(part, "w", encoding="utf-8") as f:
        f.write(who.title() + "\n")
    os.replace(part, os.path.join(out, "TITLE"))
    progress(f"TITLE     {who.title()}")


def parse_arguments(argv):
    parser = argparse.ArgumentParser(
        prog="generate.py",
        description="Builds the built-in pictures from the SVG sources; with --out, builds the "
        "pictures that show the name and age, and the window's title, for someone else.")
    parser.add_argument("pictures", nargs="*", metavar="PICTURE",
                        help="built-in pictures to rebuild (all when none is named), or ICON, "
                        "SHEET")
    parser.add_argument("--name", help=f"the friend's name (at most {person.MAX_NAME_CHARS} "
                        f"characters; default {person.DEFAULT_NAME})")
    parser.add_argument("--age", help=f"their age, {person.MIN_AGE} to {person.MAX_AGE} "
                        f"(default {person.DEFAULT_AGE})")
    parser.add_argument("--message", help="the closing card's second line (at most "
                        f"{person.MAX_MESSAGE_CHARS} characters; default "
                        f"{person.DEFAULT_MESSAGE})")
    parser.add_argument("--out", metavar="DIR", help="write the person's override files here")
    args = parser.parse_args(argv[1:])
    if args.out is None and (args.name, args.age, args.message) != (None, None, None):
        parser.error("--name, --age and --message need --out: the built-in pictures are "
                     "always the first friend's")
    if args.out is not None and args.pictures:
        parser.error("--out makes every picture that shows the name or age; name none")
    return args


def main(argv):
    args = parse_arguments(argv)
    if args.out is not None:
        try:
            who = person.make_person(args.name, args.age, args.message)
            person.check_drawable(who)
            build_for(who, args.out)
        except (person.PersonError, ArtError, OSError, subprocess.CalledProcessError) as e:
            print(f"generate.py: {e}", file=sys.stderr)
            return 1
        return 0
    only = set(a.upper() for a in args.pictures)
    os.makedirs(PICTURES, exist_ok=True)
    os.makedirs(ICONS, exist_ok=True)
    failed = 0
    with tempfile.TemporaryDirectory(prefix="greeting-art-") as workdir:
        for entry in CATALOGUE:
            if only and entry[0] not in only:
                continue
            try:
                path, colours = build_picture(entry, workdir)
                print(f"{entry[0]:9} {entry[2]:4}x{entry[3]:<5} {entry[4]:2}-bit "
                      f"{colours:6} colours  {os.path.relpath(path, RESOURCES)}")
            except (ArtError, subprocess.CalledProcessError) as e:
                print(f"error: {e}", file=sys.stderr)
                failed += 1
        if not only or "ICON" in only:
            for path in build_icons(workdir):
                print(f"icon      {os.path.relpath(path, RESOURCES)}")
    if failed:
        print(f"error: {failed} pictures broke the rules", file=sys.stderr)
        return 1
    if not only or "SHEET" in only:
        print(f"sheet     {os.path.relpath(contact_sheet(CATALOGUE), RESOURCES)}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
