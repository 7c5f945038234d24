"""Who the greeting is for: a name, an age and a short message, checked, and the texts made from
them for the pictures and the window's title.

Every text in the SVG sources that shows the name or the age is a <text> element with a
data-text attribute: a template such as "{name} {age}". Its content is the text for the friend
the greeting was first made for, so the sources still show the real picture; the generator puts
the template's text for another person in its place and fits it into data-width (pixels, the
stroke included) by making the type smaller and, where data-lines="2" allows, by breaking it into
two lines that stay inside data-band ("TOP BOTTOM"). A text with data-grow="ID LIMIT" first
widens the <rect id="ID"> behind it, keeping its centre, until the text has LIMIT pixels.
"""

import html
import re
import subprocess
import unicodedata
from dataclasses import dataclass

MAX_NAME_CHARS = 24
MAX_MESSAGE_CHARS = 16
MIN_AGE, MAX_AGE = 1, 199

DEFAULT_NAME = "ポポロ君"
DEFAULT_AGE = 23
DEFAULT_MESSAGE = "誕生日おめでとう！"
# The sonnet is in English and called him by his name in Latin letters.
DEFAULT_VERSE_NAME = "Popolo"

TITLE_PATTERN = "{name}　{age_wide}歳誕生日おめでとう！"

# Measured widths are made this much larger before they are compared with the room: the
# renderer lays text out with its own hinting and may come out a little wider than FreeType says.
WIDTH_MARGIN = 1.03

FONTS = ("IPAPGothic", "IPAPMincho")


class PersonError(Exception):
    pass


@dataclass(frozen=True)
class Person:
    name: str = DEFAULT_NAME
    age: int = DEFAULT_AGE
    message: str = DEFAULT_MESSAGE

    @property
    def is_default(self):
        return self == Person()

    def fields(self):
        return {
            "name": self.name,
            "verse_name": DEFAULT_VERSE_NAME if self.name == DEFAULT_NAME else self.name,
            "age": str(self.age),
            "age_wide": wide_digits(self.age),
            "age_words": number_words(self.age),
            "message": self.message,
        }

    def title(self):
        return TITLE_PATTERN.format(**self.fields())


def wide_digits(number):
    return "".join(chr(ord("０") + int(d)) for d in str(number))


_ONES = ("zero one two three four five six seven eight nine ten eleven twelve thirteen fourteen "
         "fifteen sixteen seventeen eighteen nineteen").split()
_TENS = "_ _ twenty thirty forty fifty sixty seventy eighty ninety".split()


def number_words(number):
    """English words for 1 to 199, as the sonnet writes the age ("twenty-three")."""
    if number >= 100:
        rest = number % 100
        return "one hundred" + (f" and {number_words(rest)}" if rest else "")
    if number < 20:
        return _ONES[number]
    tens, ones = divmod(number, 10)
    return _TENS[tens] + (f"-{_ONES[ones]}" if ones else "")


def _clean(text, what, limit):
    text = unicodedata.normalize("NFC", text).strip()
    if not text:
        raise PersonError(f"the {what} is empty")
    bad = [c for c in text if unicodedata.category(c)[0] in "C" or c in "\u2028\u2029"]
    if bad:
        raise PersonError(f"the {what} contains a control or invisible character "
                          f"(U+{ord(bad[0]):04X})")
    if len(text) > limit:
        raise PersonError(f"the {what} has {len(text)} characters; at most {limit} fit the "
                          "pictures")
    return text


def make_person(name=None, age=None, message=None):
    """Checks and normalises what a user gave; None keeps the first friend's value."""
    person = Person()
    if name is not None:
        name = _clean(name, "name", MAX_NAME_CHARS)
    if message is not None:
        message = _clean(message, "message", MAX_MESSAGE_CHARS)
    if age is not None:
        try:
            age = int(str(age).strip(), 10)
        except ValueError:
            raise PersonError(f"the age must be a whole number from {MIN_AGE} to {MAX_AGE}, "
                              f"not '{age}'") from None
        if not MIN_AGE <= age <= MAX_AGE:
            raise PersonError(f"the age must be from {MIN_AGE} to {MAX_AGE}, not {age}")
    return Person(name if name is not None else person.name,
                  age if age is not None else person.age,
                  message if message is not None else person.message)


# ---------------------------------------------------------------------------------------------
# Fonts


_FONT_FILES = {}
_CHARSETS = {}


def font_path(family):
    if family not in _FONT_FILES:
        try:
            out = subprocess.run(["fc-match", "-f", "%{file}", family], capture_output=True,
                                 text=True, check=True).stdout.strip()
        except (OSError, subprocess.CalledProcessError) as e:
            raise PersonError(f"fontconfig cannot find the font {family}: {e}") from None
        if not out:
            raise PersonError(f"fontconfig cannot find the font {family}")
        _FONT_FILES[family] = out
    return _FONT_FILES[family]


def charset(family):
    """The code points the font has glyphs for, from fontconfig's view of the file."""
    if family not in _CHARSETS:
        path = font_path(family)
        out = subprocess.run(["fc-query", "--format", "%{charset}", path], capture_output=True,
                             text=True, check=True).stdout
        ranges = []
        for part in out.split():
            low, _, high = part.partition("-")
            ranges.append((int(low, 16), int(high or low, 16)))
        _CHARSETS[family] = ranges
    return _CHARSETS[family]


def missing_glyphs(text, family):
    ranges = charset(family)
    return [c for c in dict.fromkeys(text)
            if not c.isspace() and not any(lo <= ord(c) <= hi for lo, hi in ranges)]


def check_drawable(person):
    """Refuses a name or message the pictures' fonts have no glyphs for: another font would
    stand in for them in a different style, or nothing would be drawn."""
    for what, text in (("name", person.name), ("message", person.message)):
        for family in FONTS:
            missing = missing_glyphs(text, family)
            if missing:
                shown = " ".join(f"'{c}' (U+{ord(c):04X})" for c in missing[:5])
                raise PersonError(f"the {what} has characters the font {family} cannot draw: "
                                  f"{shown}")


_MEASURE_SIZE = 200
_PIL_FONTS = {}


def text_width(text, family, size):
    """The advance width of a line of text in pixels at a font size in pixels."""
    from PIL import ImageFont

    if family not in _PIL_FONTS:
        _PIL_FONTS[family] = ImageFont.truetype(font_path(family), _MEASURE_SIZE)
    return _PIL_FONTS[family].getlength(text) * size / _MEASURE_SIZE


# ---------------------------------------------------------------------------------------------
# Putting the texts into the SVG


TEXT_ELEMENT = re.compile(r"<text\b([^>]*)>([^<]*)</text>", re.S)
ATTRIBUTE = re.compile(r'([\w:-]+)="([^"]*)"')


def _breakable(a, b):
    """A line may break at a space, or between two characters when one of them is CJK (which
    has no spaces between words); never inside a word of Latin letters."""
    return a in " 　" or b in " 　" or ord(a) >= 0x2E80 or ord(b) >= 0x2E80


def split_lines(text, family, size):
    """The two lines that make the widest of them narrowest, or None when the text has no
    place to break."""
    best = None
    for i in range(1, len(text)):
        if not _breakable(text[i - 1], text[i]):
            continue
        first, second = text[:i].rstrip(" 　"), text[i:].lstrip(" 　")
        if not first or not second:
            continue
        widest = max(text_width(first, family, size), text_width(second, family, size))
        if best is None or widest < best[0]:
            best = (widest, (first, second))
    return best[1] if best else None


def fit(text, family, size, width, stroke=0.0, lines=1, band=None):
    """The largest layout of `text` that fits `width`: (font size, [lines]). One line at a
    smaller size, or two lines where that gives larger type and both fit the band."""

    def widest(parts, s):
        # Never nothing: a text of marks without advance would otherwise divide by zero.
        return max(max(text_width(p, family, s) for p in parts), 0.01) * WIDTH_MARGIN + stroke

    best = (size * min(1.0, (width - stroke) / (widest([text], size) - stroke)), [text])
    if lines >= 2 and band is not None and best[0] < size:
        parts = split_lines(text, family, size)
        if parts:
            two = size * min(1.0, (width - stroke) / (widest(parts, size) - stroke))
            # Two lines one em apart, ascent 0.88 em and descent 0.12 em, plus the stroke.
            two = min(two, (band[1] - band[0] - stroke) / 2.0)
            if two > best[0]:
                best = (two, list(parts))
    return best


def _number(text):
    return float(re.sub(r"[^0-9.]", "", text) or 0)


def _format(value):
    return f"{value:.2f}".rstrip("0").rstrip(".")


CANDLES = re.compile(r'<g data-candles="([^"]*)">.*?</g>', re.S)
CANDLE_COLOURS = ("#7fd0ff", "#ffd54a", "#ff9ac0")
# How tall the digits of IPAPGothic stand, in em.
DIGIT_HEIGHT = 0.73


def candles(age, layout):
    """Number candles for the age on the cake: one bold digit each, in turn blue, yellow and
    pink, each with a wick and a flame on top, standing on `base` and centred on `x`, `height`
    pixels tall and together at most `width` wide."""
    x, base, height, width = (float(v) for v in layout.split())
    digits = str(age)
    size = height / DIGIT_HEIGHT
    gap = 0.06 * size
    advances = [text_width(d, "IPAPGothic", size) for d in digits]
    total = sum(advances) + gap * (len(digits) - 1)
    if total > width:
        scale = width / total
        size, gap, advances, total = size * scale, gap * scale, [a * scale for a in advances], width
    top = base - size * DIGIT_HEIGHT
    parts = []
    left = x - total / 2
    for i, (digit, advance) in enumerate(zip(digits, advances)):
        cx = left + advance / 2
        parts.append(
            f'<text x="{_format(cx)}" y="{_format(base)}" font-family="IPAPGothic" '
            f'font-weight="bold" font-size="{_format(size)}" text-anchor="middle" '
            f'stroke-width="7" paint-order="stroke" '
            f'fill="{CANDLE_COLOURS[i % len(CANDLE_COLOURS)]}">{digit}</text>'
            f'<path d="M{_format(cx)},{_format(top)} L{_format(cx)},{_format(top - 12)}" '
            f'fill="none" stroke-width="2.5"/>'
            f'<path d="M{_format(cx)},{_format(top - 12)} q-8,-12 0,-26 q8,14 0,26 Z" '
            f'fill="#ffb43a" stroke="#ff7a2a" stroke-width="2"/>'
            f'<path d="M{_format(cx)},{_format(top - 16)} q-3,-6 0,-12 q3,6 0,12 Z" '
            f'fill="#fff6c9" stroke="none"/>')
        left += advance + gap
    return "<g>" + "".join(parts) + "</g>"


def personalise(svg, person):
    """The SVG text with every data-text element made for `person`. The first friend's texts are
    left exactly as written."""
    fields = person.fields()
    grown = {}  # id of a plate: how much wider it became

    def replace(match):
        attrs, content = match.group(1), match.group(2)
        found = dict(ATTRIBUTE.findall(attrs))
        if "data-text" not in found:
            return match.group(0)
        text = html.unescape(found["data-text"]).format(**fields)
        if text == html.unescape(content):
            return match.group(0)
        family = found.get("font-family", found.get("data-font", "IPAPGothic"))
        size = _number(found.get("font-size", found.get("data-size", "16")))
        # data-stroke lays a text out as its outlined twin is, so the two stay one over the other.
        stroke = _number(found.get("data-stroke", found.get("stroke-width", "0")))
        band = [float(v) for v in found["data-band"].split()] if "data-band" in found else None
        width = float(found["data-width"])
        if "data-grow" in found:
            # The plate behind the text widens, up to a limit, before the type gets smaller.
            plate, limit = found["data-grow"].split()
            needed = text_width(text, family, size) * WIDTH_MARGIN + stroke
            room = min(max(width, needed), float(limit))
            grown[plate] = room - width
            width = room
        new_size, parts = fit(text, family, size, width, stroke,
                              int(found.get("data-lines", "1")), band)
        attrs = re.sub(r'\sfont-size="[^"]*"', "", attrs)
        attrs += f' font-size="{_format(new_size)}"'
        if len(parts) == 1:
            return f"<text{attrs}>{html.escape(text, quote=False)}</text>"
        # Two lines centred on the band.
        # The block runs from 0.88 em above the first baseline to 0.12 em below the second.
        base = (band[0] + band[1]) / 2.0 - 0.12 * new_size
        attrs = re.sub(r'\sy="[^"]*"', "", attrs)
        return "".join(f'<text{attrs} y="{_format(base + i * new_size)}">'
                       f"{html.escape(part, quote=False)}</text>" for i, part in enumerate(parts))

    if person.age != DEFAULT_AGE:
        svg = CANDLES.sub(lambda m: candles(person.age, m.group(1)), svg)
    svg = TEXT_ELEMENT.sub(replace, svg)
    for plate, extra in grown.items():
        svg = re.sub(r'<rect id="%s"([^>]*?) x="([^"]*)"([^>]*?) width="([^"]*)"' % plate,
                     lambda m: (f'<rect id="{plate}"{m.group(1)} '
                                f'x="{_format(float(m.group(2)) - extra / 2)}"{m.group(3)} '
                                f'width="{_format(float(m.group(4)) + extra)}"'), svg)
    return svg
