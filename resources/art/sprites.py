"""SVG for the pictures made of many small parts: the sixteen faces and the fifteen runners.

Both are drawn from parameters so that one change (a colour, a leg angle, an expression) stays
consistent across every cell. The style matches the hand-drawn SVG files: flat colours, a soft
dark-navy outline (never black: black is the transparent key), rounded joins.
"""

import math
import re
import subprocess

import person

OUTLINE = "#2a2140"
SKIN = "#ffd6b0"
SKIN_SHADE = "#f4b48f"
HAIR = "#6b4330"
HAIR_LIGHT = "#93613f"
SHIRT = "#f26d3d"
SHIRT_SHADE = "#d4552b"
BLUSH = "#ff8c98"
WHITE = "#fffdf7"
TEAR = "#7fd0ff"


def font_file(pattern):
    """The file fontconfig picks for a pattern, or None when fontconfig is missing."""
    try:
        out = subprocess.run(["fc-match", "-f", "%{file}", pattern], capture_output=True,
                             text=True, check=True).stdout.strip()
    except (OSError, subprocess.CalledProcessError):
        return None
    return out or None


def svg(width, height, body):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
            f'viewBox="0 0 {width} {height}">\n{body}\n</svg>\n')


# =============================================================================================
# Faces: one young man, sixteen expressions. Each cell is 150 x 155.

FACE_W, FACE_H = 150, 155
EYE_L, EYE_R, EYE_Y = 57, 93, 86


def heart(cx, cy, s, fill, stroke=OUTLINE, sw=2):
    return (f'<path d="M{cx},{cy + s * 0.9} C{cx - s * 1.3},{cy} {cx - s * 0.9},{cy - s * 0.9} '
            f'{cx},{cy - s * 0.35} C{cx + s * 0.9},{cy - s * 0.9} {cx + s * 1.3},{cy} '
            f'{cx},{cy + s * 0.9} Z" fill="{fill}" stroke="{stroke}" stroke-width="{sw}" '
            f'stroke-linejoin="round"/>')


def star(cx, cy, r, fill, points=4, inner=0.4, sw=1.5):
    pts = []
    for i in range(points * 2):
        a = math.pi * i / points - math.pi / 2
        rr = r if i % 2 == 0 else r * inner
        pts.append(f"{cx + rr * math.cos(a):.2f},{cy + rr * math.sin(a):.2f}")
    return (f'<polygon points="{" ".join(pts)}" fill="{fill}" stroke="{OUTLINE}" '
            f'stroke-width="{sw}" stroke-linejoin="round"/>')


def face_background(colour, pattern):
    parts = [f'<rect width="{FACE_W}" height="{FACE_H}" fill="{colour}"/>',
             f'<circle cx="75" cy="80" r="70" fill="#ffffff" opacity="0.28"/>']
    if pattern == "dots":
        for i in range(14):
            x, y = (i * 47) % 150, (i * 71) % 155
            parts.append(f'<circle cx="{x}" cy="{y}" r="4" fill="#ffffff" opacity="0.35"/>')
    elif pattern == "rays":
        for i in range(12):
            a = math.tau * i / 12
            x1, y1 = 75 + 200 * math.cos(a), 80 + 200 * math.sin(a)
            x2, y2 = 75 + 200 * math.cos(a + 0.2), 80 + 200 * math.sin(a + 0.2)
            parts.append(f'<polygon points="75,80 {x1:.1f},{y1:.1f} {x2:.1f},{y2:.1f}" '
                         f'fill="#ffffff" opacity="0.22"/>')
    elif pattern == "stripes":
        for i in range(-4, 12):
            parts.append(f'<rect x="{i * 24}" y="-40" width="10" height="260" fill="#ffffff" '
                         f'opacity="0.18" transform="rotate(25 75 77)"/>')
    # A soft frame so each face reads as its own card.
    parts.append(f'<rect x="2" y="2" width="{FACE_W - 4}" height="{FACE_H - 4}" rx="12" '
                 f'fill="none" stroke="#ffffff" stroke-width="3" opacity="0.7"/>')
    return "\n".join(parts)


def face_shoulders(shirt=SHIRT):
    return f'''
<path d="M14,158 C18,138 38,130 56,128 L94,128 C112,130 132,138 136,158 Z" fill="{shirt}"
  stroke="{OUTLINE}" stroke-width="3" stroke-linejoin="round"/>
<path d="M58,128 L75,142 L92,128" fill="none" stroke="{SHIRT_SHADE}" stroke-width="3"
  stroke-linecap="round" stroke-linejoin="round"/>'''


def face_base():
    """Neck, ears, head and the back of the hair."""
    return f'''
<rect x="63" y="112" width="24" height="22" rx="6" fill="{SKIN_SHADE}" stroke="{OUTLINE}"
  stroke-width="3"/>
<path d="M30,70 C26,38 48,20 75,20 C102,20 124,38 120,70 Z" fill="{HAIR}" stroke="{OUTLINE}"
  stroke-width="3" stroke-linejoin="round"/>
<ellipse cx="32" cy="88" rx="8" ry="11" fill="{SKIN}" stroke="{OUTLINE}" stroke-width="3"/>
<ellipse cx="118" cy="88" rx="8" ry="11" fill="{SKIN}" stroke="{OUTLINE}" stroke-width="3"/>
<path d="M33,84 C32,90 34,92 36,93" fill="none" stroke="{SKIN_SHADE}" stroke-width="2.5"
  stroke-linecap="round"/>
<path d="M117,84 C118,90 116,92 114,93" fill="none" stroke="{SKIN_SHADE}" stroke-width="2.5"
  stroke-linecap="round"/>
<path d="M33,78 C33,48 52,36 75,36 C98,36 117,48 117,78 C117,108 99,127 75,127
  C51,127 33,108 33,78 Z" fill="{SKIN}" stroke="{OUTLINE}" stroke-width="3"/>'''


def face_hair():
    """The fringe and the cowlick that make him recognisable in every cell."""
    return f'''
<path d="M29,82 C22,46 42,18 76,17 C110,17 129,44 121,82 L116,66 C113,60 110,57 106,53
  L100,64 L92,50 L82,62 L72,48 L62,62 L54,52 L46,66 C41,64 37,68 34,72 Z" fill="{HAIR}"
  stroke="{OUTLINE}" stroke-width="3" stroke-linejoin="round"/>
<path d="M50,30 C60,24 72,22 84,24" fill="none" stroke="{HAIR_LIGHT}" stroke-width="4"
  stroke-linecap="round"/>
<path d="M77,19 C72,7 82,1 92,6 C85,7 82,12 82,19" fill="{HAIR}" stroke="{OUTLINE}"
  stroke-width="3" stroke-linejoin="round"/>'''


def glasses(kind="clear"):
    if kind == "sun":
        return f'''
<path d="M40,76 L72,76 C73,90 68,97 56,97 C44,97 40,90 40,76 Z" fill="#2f3a6b"
  stroke="{OUTLINE}" stroke-width="3" stroke-linejoin="round"/>
<path d="M78,76 L110,76 C110,90 106,97 94,97 C82,97 77,90 78,76 Z" fill="#2f3a6b"
  stroke="{OUTLINE}" stroke-width="3" stroke-linejoin="round"/>
<path d="M72,79 C74,77 76,77 78,79" fill="none" stroke="{OUTLINE}" stroke-width="3"/>
<path d="M40,78 L33,80 M110,78 L117,80" stroke="{OUTLINE}" stroke-width="3"/>
<path d="M46,81 L54,81 M84,81 L92,81" stroke="#a7c4ff" stroke-width="3" stroke-linecap="round"/>
<path d="M47,87 L51,84 M85,87 L89,84" stroke="#a7c4ff" stroke-width="2" stroke-linecap="round"/>'''
    return f'''
<circle cx="{EYE_L}" cy="{EYE_Y}" r="14" fill="#dff4ff" fill-opacity="0.35" stroke="#3b3470"
  stroke-width="3"/>
<circle cx="{EYE_R}" cy="{EYE_Y}" r="14" fill="#dff4ff" fill-opacity="0.35" stroke="#3b3470"
  stroke-width="3"/>
<path d="M71,84 C73,81 77,81 79,84" fill="none" stroke="#3b3470" stroke-width="3"/>
<path d="M43,84 L34,82 M107,84 L116,82" stroke="#3b3470" stroke-width="3"
  stroke-linecap="round"/>
<path d="M{EYE_L - 8},{EYE_Y - 6} A10,10 0 0 1 {EYE_L - 2},{EYE_Y - 10}" fill="none"
  stroke="#ffffff" stroke-width="2.5" stroke-linecap="round" opacity="0.9"/>
<path d="M{EYE_R - 8},{EYE_Y - 6} A10,10 0 0 1 {EYE_R - 2},{EYE_Y - 10}" fill="none"
  stroke="#ffffff" stroke-width="2.5" stroke-linecap="round" opacity="0.9"/>'''


def eye(kind, x, y):
    """One eye at (x, y) inside its lens."""
    o = OUTLINE
    if kind == "open":
        return (f'<ellipse cx="{x}" cy="{y}" rx="4.5" ry="6" fill="{o}"/>'
                f'<circle cx="{x + 1.5}" cy="{y - 2.5}" r="1.8" fill="#ffffff"/>')
    if kind == "happy":  # closed, smiling: an upward arch
        return (f'<path d="M{x - 7},{y + 3} Q{x},{y - 7} {x + 7},{y + 3}" fill="none" '
                f'stroke="{o}" stroke-width="3.5" stroke-linecap="round"/>')
    if kind == "calm":  # closed, relaxed: a downward curve
        return (f'<path d="M{x - 7},{y - 1} Q{x},{y + 6} {x + 7},{y - 1}" fill="none" '
                f'stroke="{o}" stroke-width="3.5" stroke-linecap="round"/>')
    if kind in ("squeeze_l", "squeeze_r"):  # > and < for laughing
        d = 1 if kind == "squeeze_l" else -1
        return (f'<path d="M{x - 6 * d},{y - 6} L{x + 6 * d},{y} L{x - 6 * d},{y + 6}" '
                f'fill="none" stroke="{o}" stroke-width="3.5" stroke-linecap="round" '
                f'stroke-linejoin="round"/>')
    if kind == "wide":
        return (f'<circle cx="{x}" cy="{y}" r="9" fill="{WHITE}" stroke="{o}" stroke-width="2.5"/>'
                f'<circle cx="{x}" cy="{y}" r="3.5" fill="{o}"/>')
    if kind == "tiny":  # scared: wide whites, pinprick pupils
        return (f'<circle cx="{x}" cy="{y}" r="9" fill="{WHITE}" stroke="{o}" stroke-width="2.5"/>'
                f'<circle cx="{x}" cy="{y + 1}" r="2" fill="{o}"/>')
    if kind == "sleepy":
        return (f'<path d="M{x - 8},{y} Q{x},{y + 5} {x + 8},{y}" fill="{o}" stroke="{o}" '
                f'stroke-width="3" stroke-linecap="round"/>'
                f'<path d="M{x - 8},{y - 1} L{x + 8},{y - 1}" stroke="{o}" stroke-width="3.5" '
                f'stroke-linecap="round"/>')
    if kind == "up":  # looking up and aside while thinking
        return (f'<ellipse cx="{x + 3}" cy="{y - 4}" rx="4.5" ry="5.5" fill="{o}"/>'
                f'<circle cx="{x + 4.5}" cy="{y - 6}" r="1.6" fill="#ffffff"/>')
    if kind == "aside":  # shy: looking down and away
        return (f'<ellipse cx="{x - 3}" cy="{y + 3}" rx="4" ry="5" fill="{o}"/>'
                f'<circle cx="{x - 2}" cy="{y + 1}" r="1.5" fill="#ffffff"/>')
    if kind == "heart":
        return heart(x, y, 8, "#ff4f7a", "#b0234f", 2)
    if kind == "star":
        return star(x, y, 9, "#ffd54a", points=5, inner=0.45, sw=2)
    if kind == "glare":  # angry but funny: half-moon eyes under a lowered lid
        return (f'<path d="M{x - 6},{y - 2} L{x + 6},{y - 2} Q{x + 6},{y + 7} {x},{y + 7} '
                f'Q{x - 6},{y + 7} {x - 6},{y - 2} Z" fill="{o}"/>'
                f'<circle cx="{x + 1}" cy="{y + 2}" r="1.6" fill="#ffffff"/>')
    raise ValueError(kind)


def brows(kind):
    o, w = HAIR, 4.5
    shapes = {
        "normal": ((45, 66, 55, 63, 66, 65), (84, 65, 95, 63, 105, 66)),
        "raised": ((44, 60, 55, 54, 67, 58), (83, 58, 95, 54, 106, 60)),
        "angry": ((45, 62, 56, 66, 68, 72), (82, 72, 94, 66, 105, 62)),
        "worried": ((45, 69, 56, 64, 67, 60), (83, 60, 94, 64, 105, 69)),
        "soft": ((46, 67, 55, 65, 65, 66), (85, 66, 95, 65, 104, 67)),
        "thinking": ((45, 66, 55, 62, 66, 64), (83, 60, 94, 56, 105, 59)),
        "proud": ((45, 64, 55, 59, 66, 62), (84, 62, 95, 59, 105, 64)),
    }
    out = []
    for x1, y1, cx, cy, x2, y2 in shapes[kind]:
        out.append(f'<path d="M{x1},{y1} Q{cx},{cy} {x2},{y2}" fill="none" stroke="{o}" '
                   f'stroke-width="{w}" stroke-linecap="round"/>')
    return "\n".join(out)


def mouth(kind):
    o = OUTLINE
    red, tongue = "#c2334d", "#ff8a8a"
    m = {
        "smile": f'<path d="M60,106 Q75,120 90,106" fill="none" stroke="{o}" stroke-width="3.5" '
                 f'stroke-linecap="round"/>',
        "grin": f'<path d="M58,104 Q75,104 92,104 Q90,122 75,123 Q60,122 58,104 Z" fill="{red}" '
                f'stroke="{o}" stroke-width="3" stroke-linejoin="round"/>'
                f'<path d="M60,105 L90,105 L89,109 L61,109 Z" fill="{WHITE}"/>'
                f'<path d="M66,119 Q75,113 84,119 Q80,123 75,123 Q70,123 66,119 Z" fill="{tongue}"/>',
        "laugh": f'<path d="M54,102 Q75,100 96,102 Q94,126 75,127 Q56,126 54,102 Z" fill="{red}" '
                 f'stroke="{o}" stroke-width="3" stroke-linejoin="round"/>'
                 f'<path d="M57,103 L93,103 L92,108 L58,108 Z" fill="{WHITE}"/>'
                 f'<path d="M63,121 Q75,112 87,121 Q82,127 75,127 Q68,127 63,121 Z" fill="{tongue}"/>',
        "o": f'<ellipse cx="75" cy="112" rx="8" ry="10" fill="{red}" stroke="{o}" stroke-width="3"/>'
             f'<ellipse cx="75" cy="117" rx="5" ry="3" fill="{tongue}"/>',
        "small_o": f'<ellipse cx="77" cy="111" rx="4" ry="4.5" fill="{red}" stroke="{o}" '
                   f'stroke-width="2.5"/>',
        "smirk": f'<path d="M64,110 Q78,114 90,104" fill="none" stroke="{o}" stroke-width="3.5" '
                 f'stroke-linecap="round"/>',
        "wavy": f'<path d="M60,112 Q64,106 68,112 Q72,118 76,112 Q80,106 84,112 Q88,118 92,112" '
                f'fill="none" stroke="{o}" stroke-width="3" stroke-linecap="round"/>',
        "shy": f'<path d="M66,110 Q70,106 74,110 Q78,114 82,110" fill="none" stroke="{o}" '
               f'stroke-width="3" stroke-linecap="round"/>',
        "hmm": f'<path d="M66,112 L84,108" fill="none" stroke="{o}" stroke-width="3.5" '
               f'stroke-linecap="round"/>',
        "teeth": f'<rect x="58" y="103" width="34" height="16" rx="6" fill="{WHITE}" stroke="{o}" '
                 f'stroke-width="3"/>'
                 f'<path d="M58,111 L92,111 M66,103 L66,119 M75,103 L75,119 M84,103 L84,119" '
                 f'stroke="{o}" stroke-width="1.8"/>',
        "chew": f'<path d="M62,108 Q75,120 88,108 Q75,114 62,108 Z" fill="{red}" stroke="{o}" '
                f'stroke-width="3" stroke-linejoin="round"/>',
        "sing": f'<ellipse cx="75" cy="112" rx="11" ry="13" fill="{red}" stroke="{o}" '
                f'stroke-width="3"/>'
                f'<path d="M66,120 Q75,113 84,120 Q80,125 75,125 Q70,125 66,120 Z" fill="{tongue}"/>',
        "scared": f'<path d="M58,116 Q62,104 66,112 Q70,104 75,112 Q80,104 84,112 Q88,104 92,116 '
                  f'Q75,122 58,116 Z" fill="{WHITE}" stroke="{o}" stroke-width="3" '
                  f'stroke-linejoin="round"/>',
        "proud": f'<path d="M56,104 Q75,126 94,104 Q75,112 56,104 Z" fill="{WHITE}" '
                 f'stroke="{o}" stroke-width="3" stroke-linejoin="round"/>',
        "drool": f'<ellipse cx="70" cy="112" rx="5" ry="3.5" fill="{red}" stroke="{o}" '
                 f'stroke-width="2.5"/>'
                 f'<path d="M73,114 Q75,121 73,124" fill="none" stroke="{TEAR}" stroke-width="3" '
                 f'stroke-linecap="round"/>',
    }
    return m[kind]


def cheeks(strength=0.55, big=False):
    rx, ry = (12, 7) if big else (9, 5)
    parts = [f'<ellipse cx="46" cy="104" rx="{rx}" ry="{ry}" fill="{BLUSH}" opacity="{strength}"/>',
             f'<ellipse cx="104" cy="104" rx="{rx}" ry="{ry}" fill="{BLUSH}" opacity="{strength}"/>']
    if big:
        for x in (40, 46, 52, 98, 104, 110):
            parts.append(f'<path d="M{x},100 L{x - 3},107" stroke="#e0566c" stroke-width="2" '
                         f'stroke-linecap="round"/>')
    return "\n".join(parts)


def nose():
    return (f'<path d="M74,94 Q77,99 73,101" fill="none" stroke="{SKIN_SHADE}" stroke-width="3" '
            f'stroke-linecap="round"/>')


def extra(kind):
    o = OUTLINE
    if kind == "tears_joy":
        return (f'<path d="M46,93 Q40,110 44,126 Q49,132 52,124 Q54,110 50,93 Z" fill="{TEAR}" '
                f'stroke="{o}" stroke-width="2" stroke-linejoin="round"/>'
                f'<path d="M104,93 Q110,110 106,126 Q101,132 98,124 Q96,110 100,93 Z" '
                f'fill="{TEAR}" stroke="{o}" stroke-width="2" stroke-linejoin="round"/>'
                f'<circle cx="30" cy="64" r="4" fill="{TEAR}" stroke="{o}" stroke-width="1.5"/>'
                f'<circle cx="122" cy="60" r="3" fill="{TEAR}" stroke="{o}" stroke-width="1.5"/>'
                f'<circle cx="128" cy="72" r="4" fill="{TEAR}" stroke="{o}" stroke-width="1.5"/>')
    if kind == "zzz":
        return (f'<g font-family="IPAPGothic" font-weight="bold" fill="#5b6bd6" stroke="{o}" '
                f'stroke-width="1">'
                f'<text x="112" y="40" font-size="20">Z</text>'
                f'<text x="126" y="24" font-size="15">z</text>'
                f'<text x="136" y="13" font-size="11">z</text></g>'
                f'<circle cx="90" cy="101" r="6" fill="#dff4ff" fill-opacity="0.8" stroke="#7fb4e0" '
                f'stroke-width="2"/>')
    if kind == "exclaim":
        return (f'<path d="M14,14 L22,14 L20,44 L16,44 Z" fill="#ffd54a" stroke="{o}" '
                f'stroke-width="2.5" stroke-linejoin="round"/>'
                f'<circle cx="18" cy="52" r="4" fill="#ffd54a" stroke="{o}" stroke-width="2.5"/>'
                f'<path d="M128,22 L136,16 M130,34 L142,32 M124,12 L126,4" stroke="{o}" '
                f'stroke-width="3" stroke-linecap="round"/>')
    if kind == "sparkle_wink":
        return star(118, 84, 8, "#ffd54a") + star(130, 70, 5, "#ffffff")
    if kind == "anger":
        return (f'<g transform="translate(112 36)" stroke="#e53950" stroke-width="3.5" '
                f'fill="none" stroke-linecap="round">'
                f'<path d="M-8,-2 Q-2,-2 -2,-8"/><path d="M2,-8 Q2,-2 8,-2"/>'
                f'<path d="M8,2 Q2,2 2,8"/><path d="M-2,8 Q-2,2 -8,2"/></g>'
                f'<path d="M18,96 q-6,-6 0,-12 q6,-6 0,-12" fill="none" stroke="#ffffff" '
                f'stroke-width="4" stroke-linecap="round" opacity="0.9"/>'
                f'<path d="M132,96 q6,-6 0,-12 q-6,-6 0,-12" fill="none" stroke="#ffffff" '
                f'stroke-width="4" stroke-linecap="round" opacity="0.9"/>'
                f'<path d="M33,104 Q28,96 32,88" fill="none" stroke="#ff8c98" stroke-width="3"/>')
    if kind == "shy_hearts":
        return heart(126, 40, 7, "#ff8fb1") + heart(136, 58, 4.5, "#ff8fb1")
    if kind == "thinking":
        return (f'<circle cx="112" cy="42" r="4" fill="{WHITE}" stroke="{o}" stroke-width="2"/>'
                f'<circle cx="122" cy="30" r="6" fill="{WHITE}" stroke="{o}" stroke-width="2"/>'
                f'<ellipse cx="130" cy="15" rx="15" ry="11" fill="{WHITE}" stroke="{o}" '
                f'stroke-width="2"/>'
                f'<text x="130" y="21" font-family="IPAPGothic" font-weight="bold" '
                f'font-size="17" text-anchor="middle" fill="#5b6bd6">?</text>'
                # the hand on the chin
                f'<path d="M52,140 C50,128 56,120 64,118 C70,116 78,118 80,124 C82,130 76,132 72,130 '
                f'L66,128 C62,132 62,138 62,142 Z" fill="{SKIN}" stroke="{o}" stroke-width="3" '
                f'stroke-linejoin="round"/>'
                f'<path d="M66,121 C70,119 76,120 78,124" fill="none" stroke="{SKIN_SHADE}" '
                f'stroke-width="2"/>')
    if kind == "cake":
        return (  # a slice on a plate, a fork with a bite, cream on the cheek
            f'<ellipse cx="120" cy="150" rx="28" ry="6" fill="#ffffff" stroke="{o}" '
            f'stroke-width="2.5"/>'
            f'<path d="M94,146 L142,124 L142,150 L94,150 Z" fill="#fff1d6" stroke="{o}" '
            f'stroke-width="2.5" stroke-linejoin="round"/>'
            f'<path d="M96,148 L142,138" stroke="#ff9db5" stroke-width="4"/>'
            f'<path d="M92,146 Q112,130 143,121 L143,128 L96,149 Z" fill="#ff9db5" stroke="{o}" '
            f'stroke-width="2" stroke-linejoin="round"/>'
            f'<circle cx="133" cy="118" r="6" fill="#e8283f" stroke="{o}" stroke-width="2"/>'
            f'<path d="M133,112 Q135,107 139,106" fill="none" stroke="#3c9a48" stroke-width="2.5"/>'
            f'<path d="M88,114 L116,136" stroke="{o}" stroke-width="6" stroke-linecap="round"/>'
            f'<path d="M88,114 L116,136" stroke="#d5d8e4" stroke-width="3.5" stroke-linecap="round"/>'
            f'<rect x="80" y="104" width="12" height="10" rx="2" fill="#fff1d6" stroke="{o}" '
            f'stroke-width="2" transform="rotate(-12 86 109)"/>'
            f'<path d="M80,106 L92,104" stroke="#ff9db5" stroke-width="3" '
            f'transform="rotate(-12 86 109)"/>'
            f'<circle cx="55" cy="110" r="3" fill="#fff1d6" stroke="{o}" stroke-width="1.2"/>'
            f'<circle cx="50" cy="116" r="2" fill="#ff9db5"/>'
            f'<text x="12" y="40" font-family="IPAPGothic" font-weight="bold" font-size="17" '
            f'fill="#e2456a" stroke="#ffffff" stroke-width="0.6">yum!</text>')
    if kind == "sing":
        note = (lambda x, y, c: f'<g transform="translate({x} {y})"><ellipse cx="0" cy="0" '
                f'rx="5" ry="4" fill="{c}" stroke="{o}" stroke-width="1.5" '
                f'transform="rotate(-20)"/><path d="M4,-1 L4,-18 Q9,-15 11,-10" fill="none" '
                f'stroke="{o}" stroke-width="2.5" stroke-linecap="round"/></g>')
        return (note(124, 40, "#ff7ab8") + note(136, 70, "#5b9bff") + note(18, 52, "#ffd54a") +
                # a microphone held below the mouth
                f'<path d="M66,160 L72,134" stroke="#5a5f78" stroke-width="6" '
                f'stroke-linecap="round"/>'
                f'<circle cx="74" cy="128" r="9" fill="#c9cbd6" stroke="{o}" stroke-width="2.5"/>'
                f'<path d="M68,124 L80,132 M70,121 L82,129" stroke="#8f93a8" stroke-width="1.5"/>')
    if kind == "cool":
        return (star(126, 28, 9, "#ffffff") + star(22, 118, 6, "#fff27a") +
                f'<path d="M104,30 Q118,38 120,52" fill="none" stroke="#ffffff" stroke-width="3" '
                f'stroke-linecap="round" opacity="0.8"/>')
    if kind == "scared":
        return (f'<path d="M50,50 L50,64 M58,48 L58,62 M66,47 L66,60 M84,47 L84,60 M92,48 L92,62 '
                f'M100,50 L100,64" stroke="#6f83d6" stroke-width="2.5" stroke-linecap="round" '
                f'opacity="0.8"/>'
                f'<path d="M118,62 Q126,74 120,80 Q114,78 118,62 Z" fill="{TEAR}" stroke="{o}" '
                f'stroke-width="2"/>'
                f'<path d="M14,40 l6,4 M12,56 l8,0 M136,100 l8,-3 M134,114 l8,2" stroke="{o}" '
                f'stroke-width="3" stroke-linecap="round"/>')
    if kind == "love":
        return (heart(22, 30, 9, "#ff4f7a", "#b0234f") + heart(128, 24, 7, "#ff7a9c", "#b0234f") +
                heart(134, 54, 5, "#ff4f7a", "#b0234f") + heart(16, 62, 5, "#ff7a9c", "#b0234f"))
    if kind == "proud":
        return (star(22, 30, 10, "#ffd54a") + star(130, 40, 8, "#ffd54a") +
                star(14, 84, 5, "#ffffff") +
                # a thumbs-up
                f'<path d="M108,156 L108,132 L116,132 L120,116 C121,111 128,112 127,118 L125,130 '
                f'L136,130 C141,130 142,136 138,138 C142,140 141,146 137,147 C140,149 139,155 '
                f'134,156 Z" fill="{SKIN}" stroke="{o}" stroke-width="2.5" stroke-linejoin="round"/>'
                f'<path d="M126,139 L137,139 M126,147 L136,147" stroke="{SKIN_SHADE}" '
                f'stroke-width="2"/>')
    if kind == "party":
        hat = 'transform="rotate(14 80 34)"'
        parts = [f'<path d="M63,36 L80,9 L97,36 Q80,41 63,36 Z" fill="#5b9bff" stroke="{o}" '
                 f'stroke-width="3" stroke-linejoin="round" {hat}/>',
                 f'<path d="M69,27 L91,27 M74,18 L86,18" stroke="#ffd54a" stroke-width="4.5" {hat}/>',
                 f'<path d="M63,36 Q80,41 97,36" fill="none" stroke="{o}" stroke-width="3" {hat}/>',
                 f'<circle cx="80" cy="9" r="6" fill="#ff4f7a" stroke="{o}" stroke-width="2.5" '
                 f'{hat}/>']
        colours = ["#ff4f7a", "#ffd54a", "#5b9bff", "#4fd08a", "#b07aff", "#ff9a3d"]
        spots = [(14, 20), (30, 46), (124, 16), (138, 46), (12, 96), (140, 92), (26, 132),
                 (120, 60), (40, 12), (110, 8), (132, 130), (18, 70)]
        for i, (x, y) in enumerate(spots):
            c = colours[i % len(colours)]
            parts.append(f'<rect x="{x - 4}" y="{y - 2}" width="8" height="4" rx="1" fill="{c}" '
                         f'stroke="{o}" stroke-width="1" transform="rotate({i * 37 % 180} {x} {y})"/>')
        return "\n".join(parts)
    raise ValueError(kind)


# name, left eye, right eye, brows, mouth, cheeks, glasses, extras, background, pattern
EXPRESSIONS = [
    ("happy", "open", "open", "normal", "smile", "soft", "clear", [], "#ffe48a", "dots"),
    ("laughing", "squeeze_l", "squeeze_r", "raised", "laugh", "soft", "clear", [],
     "#ffc27a", "rays"),
    ("surprised", "wide", "wide", "raised", "o", None, "clear", ["exclaim"], "#9ee6ff", "rays"),
    ("sleepy", "sleepy", "sleepy", "soft", "drool", None, "clear", ["zzz"], "#b9b3f0", "dots"),
    ("wink", "open", "happy", "normal", "grin", "soft", "clear", ["sparkle_wink"],
     "#b8f0a8", "stripes"),
    ("crying with joy", "happy", "happy", "worried", "laugh", "soft", "clear", ["tears_joy"],
     "#a8d8ff", "dots"),
    ("angry-funny", "glare", "glare", "angry", "teeth", None, "clear", ["anger"],
     "#ff9a8a", "rays"),
    ("shy", "aside", "aside", "worried", "shy", "big", "clear", ["shy_hearts"],
     "#ffc6de", "dots"),
    ("thinking", "up", "up", "thinking", "hmm", None, "clear", ["thinking"], "#c8e6c0", "stripes"),
    ("eating cake", "happy", "happy", "soft", "chew", "soft", "clear", ["cake"],
     "#ffd9ec", "dots"),
    ("singing", "calm", "calm", "raised", "sing", "soft", "clear", ["sing"], "#c9b6ff", "stripes"),
    ("cool", None, None, "normal", "smirk", None, "sun", ["cool"], "#7fd6d0", "rays"),
    ("scared", "tiny", "tiny", "worried", "scared", None, "clear", ["scared"], "#b7c7e8", "stripes"),
    ("in love", "heart", "heart", "soft", "smile", "soft", "clear", ["love"], "#ffb3c6", "dots"),
    ("proud", "calm", "calm", "proud", "proud", "soft", "clear", ["proud"], "#ffd36b", "rays"),
    ("party", "star", "star", "raised", "grin", "soft", "clear", ["party"], "#a6f0d8", "dots"),
]


def head_parts(expression, with_extras=True):
    """The birthday boy's head with one expression, in face-cell coordinates (150 x 155)."""
    name, left, right, brow, mouth_kind, cheek, lens, extras, bg, pattern = expression
    parts = [face_base()]
    if cheek:
        parts.append(cheeks(0.55, big=(cheek == "big")))
    parts.append(nose())
    parts.append(mouth(mouth_kind))
    if left:
        parts.append(eye(left, EYE_L, EYE_Y))
    if right:
        parts.append(eye(right, EYE_R, EYE_Y))
    parts.append(face_hair())
    parts.append(brows(brow))
    parts.append(glasses(lens))
    if with_extras:
        for e in extras:
            parts.append(extra(e))
    return "\n".join(parts)


def face_svg(expression):
    name, bg, pattern = expression[0], expression[8], expression[9]
    body = [f"<!-- {name} -->", face_background(bg, pattern), face_shoulders(),
            head_parts(expression)]
    return svg(FACE_W, FACE_H, "\n".join(body))


HEAD_MARK = re.compile(r'<g data-head="([^"]+)"([^>]*?)\s*/>')


def insert_heads(text):
    """Fills each <g data-head="EXPRESSION" transform="..."/> of a hand-drawn SVG with the
    birthday boy's head, so that every picture of him is the same face.
    An expression name may end in "+extras" to bring its props (hearts, notes...) along."""
    by_name = {e[0]: e for e in EXPRESSIONS}

    def fill(match):
        name, attrs = match.group(1), match.group(2)
        with_extras = name.endswith("+extras")
        name = name.removesuffix("+extras")
        if name not in by_name:
            raise ValueError(f"unknown expression {name!r}")
        return f"<g{attrs}>\n{head_parts(by_name[name], with_extras)}\n</g>"

    return HEAD_MARK.sub(fill, text)


def face_column(column):
    """Eight faces for FACE1 (column 0) or FACE2 (column 1)."""
    return [face_svg(e) for e in EXPRESSIONS[column * 8 : column * 8 + 8]]


# =============================================================================================
# Runners: side view facing right, 52 x 68 a frame, two frames of a running cycle each.

RUN_W, RUN_H = 52, 68

# Segment angles in degrees from straight down, positive pointing forward (to the right):
# (thigh, shin) for a leg, (upper arm, forearm) for an arm. Frame 0 is the long stride, frame 1
# the tucked passing pose; each limb that is forward in one frame is back in the other, and each
# arm swings against the leg on its side.
POSES = [
    {"near_leg": (50, 8), "far_leg": (-35, -95), "near_arm": (-55, 25), "far_arm": (50, 125)},
    {"near_leg": (-22, -115), "far_leg": (75, 8), "near_arm": (40, 130), "far_arm": (-40, 20)},
]

HUMAN_HAIR = ["short", "spiky", "ponytail", "bob", "afro", "buzz", "long", "bun", "cap", "mohawk"]


def limb(x, y, a1, l1, a2, l2):
    """Joint positions of a two-part limb hanging from (x, y), angles as in STRIDE."""
    kx = x + l1 * math.sin(math.radians(a1))
    ky = y + l1 * math.cos(math.radians(a1))
    fx = kx + l2 * math.sin(math.radians(a2))
    fy = ky + l2 * math.cos(math.radians(a2))
    return (kx, ky), (fx, fy)


def stroke_path(points, colour, width, outline=OUTLINE, ow=1.4):
    d = "M" + " L".join(f"{x:.2f},{y:.2f}" for x, y in points)
    return (f'<path d="{d}" fill="none" stroke="{outline}" stroke-width="{width + 2 * ow}" '
            f'stroke-linecap="round" stroke-linejoin="round"/>'
            f'<path d="{d}" fill="none" stroke="{colour}" stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round"/>')


def shade(colour, factor):
    c = colour.lstrip("#")
    rgb = [int(c[i : i + 2], 16) for i in (0, 2, 4)]
    return "#" + "".join(f"{max(0, min(255, round(v * factor))):02x}" for v in rgb)


def runner_leg(hip, angles, skin, shorts, shoe, far):
    thigh, shin = angles
    knee, foot = limb(hip[0], hip[1], thigh, 11.5, shin, 11)
    k = 0.72 if far else 1.0
    out = stroke_path([hip, knee], shade(shorts, k), 6.5)
    out += stroke_path([knee, foot], shade(skin, k), 4.6)
    # The shoe stands square to the shin: flat when planted, toe-down when kicked back.
    ang = math.radians(shin)
    toe = (foot[0] + 5 * math.cos(ang), foot[1] - 5 * math.sin(ang))
    out += stroke_path([foot, toe], shade(shoe, k), 4.4)
    # Shorts cover the top of the thigh.
    out += f'<circle cx="{hip[0]:.2f}" cy="{hip[1]:.2f}" r="4.2" fill="{shade(shorts, k)}"/>'
    return out


def runner_arm(shoulder, angles, skin, sleeve, far):
    upper, fore = angles
    elbow, hand = limb(shoulder[0], shoulder[1], upper, 8.5, fore, 8)
    k = 0.72 if far else 1.0
    out = stroke_path([shoulder, elbow], shade(sleeve, k), 5)
    out += stroke_path([elbow, hand], shade(skin, k), 4)
    out += (f'<circle cx="{hand[0]:.2f}" cy="{hand[1]:.2f}" r="2.6" fill="{shade(skin, k)}" '
            f'stroke="{OUTLINE}" stroke-width="1.2"/>')
    return out


def human_head(cx, cy, r, skin, hair, style, glasses_on, mouth_open):
    o = OUTLINE
    back = []
    front = []
    if style == "ponytail":
        back.append(f'<path d="M{cx - r + 1},{cy - 3} Q{cx - r - 8},{cy + 2} {cx - r - 5},'
                    f'{cy + 12} Q{cx - r - 2},{cy + 6} {cx - r + 3},{cy + 4} Z" fill="{hair}" '
                    f'stroke="{o}" stroke-width="1.3" stroke-linejoin="round"/>')
        back.append(f'<circle cx="{cx - r + 1}" cy="{cy - 1}" r="2" fill="#ff4f7a"/>')
    if style == "long":
        back.append(f'<path d="M{cx - r},{cy - 4} Q{cx - r - 6},{cy + 10} {cx - r + 2},{cy + 17} '
                    f'L{cx + 1},{cy + 8} Z" fill="{hair}" stroke="{o}" stroke-width="1.3" '
                    f'stroke-linejoin="round"/>')
    if style == "bun":
        back.append(f'<circle cx="{cx - r + 1}" cy="{cy - r + 2}" r="5" fill="{hair}" '
                    f'stroke="{o}" stroke-width="1.3"/>')
    if style == "afro":
        back.append(f'<circle cx="{cx - 2}" cy="{cy - 3}" r="{r + 5}" fill="{hair}" stroke="{o}" '
                    f'stroke-width="1.3"/>')
    head = (f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{skin}" stroke="{o}" '
            f'stroke-width="1.4"/>')
    # hair caps, drawn over the back of the head
    cap = {
        "short": f'M{cx - r - 0.5},{cy + 1} Q{cx - r},{cy - r - 2} {cx + 2},{cy - r - 1} '
                 f'Q{cx + r + 2},{cy - r + 2} {cx + r + 0.5},{cy - 3} L{cx + 3},{cy - 5} '
                 f'L{cx - 1},{cy - 2} L{cx - 4},{cy + 3} Z',
        "spiky": f'M{cx - r - 1},{cy + 2} L{cx - r - 4},{cy - 6} L{cx - r + 1},{cy - 8} '
                 f'L{cx - r},{cy - r - 3} L{cx - 3},{cy - r - 1} L{cx},{cy - r - 6} '
                 f'L{cx + 4},{cy - r} L{cx + r + 3},{cy - r + 1} L{cx + r},{cy - 4} '
                 f'L{cx + 2},{cy - 5} L{cx - 3},{cy + 2} Z',
        "ponytail": f'M{cx - r - 0.5},{cy + 2} Q{cx - r},{cy - r - 2} {cx + 2},{cy - r - 1} '
                    f'Q{cx + r + 2},{cy - r + 2} {cx + r + 0.5},{cy - 2} L{cx + 4},{cy - 6} '
                    f'L{cx - 3},{cy + 2} Z',
        "bob": f'M{cx - r - 1.5},{cy + 8} Q{cx - r - 2},{cy - r - 2} {cx + 2},{cy - r - 1} '
               f'Q{cx + r + 3},{cy - r + 2} {cx + r + 1},{cy} L{cx + r - 3},{cy - 5} '
               f'L{cx + 1},{cy - 6} L{cx - 2},{cy + 8} Z',
        "afro": f'M{cx - r - 2},{cy + 3} Q{cx - r - 4},{cy - r - 4} {cx + 2},{cy - r - 4} '
                f'Q{cx + r + 5},{cy - r - 2} {cx + r + 1},{cy - 6} L{cx + 3},{cy - 7} '
                f'L{cx - 3},{cy + 3} Z',
        "buzz": f'M{cx - r},{cy - 1} Q{cx - r + 1},{cy - r} {cx + 2},{cy - r - 0.5} '
                f'Q{cx + r},{cy - r + 2} {cx + r},{cy - 4} L{cx + 2},{cy - 5} Z',
        "long": f'M{cx - r - 1},{cy + 6} Q{cx - r - 2},{cy - r - 2} {cx + 2},{cy - r - 1} '
                f'Q{cx + r + 2},{cy - r + 2} {cx + r + 0.5},{cy - 1} L{cx + 3},{cy - 5} '
                f'L{cx - 2},{cy + 5} Z',
        "bun": f'M{cx - r - 0.5},{cy + 2} Q{cx - r},{cy - r - 2} {cx + 2},{cy - r - 1} '
               f'Q{cx + r + 2},{cy - r + 2} {cx + r + 0.5},{cy - 3} L{cx + 2},{cy - 5} '
               f'L{cx - 3},{cy + 2} Z',
        "cap": f'M{cx - r - 0.5},{cy - 1} Q{cx - r},{cy - r - 2} {cx + 1},{cy - r - 1.5} '
               f'Q{cx + r},{cy - r} {cx + r},{cy - 4} L{cx + r + 7},{cy - 3} '
               f'L{cx + r + 6},{cy - 6} L{cx + r - 1},{cy - 7} Z',
        "mohawk": f'M{cx - r + 2},{cy - 4} L{cx - r - 1},{cy - r - 1} L{cx - 4},{cy - r - 4} '
                  f'L{cx - 1},{cy - r - 9} L{cx + 3},{cy - r - 3} L{cx + 8},{cy - r - 5} '
                  f'L{cx + 7},{cy - r} L{cx + 2},{cy - r + 3} Z',
    }[style]
    colour = hair
    front.append(f'<path d="{cap}" fill="{colour}" stroke="{o}" stroke-width="1.3" '
                 f'stroke-linejoin="round"/>')
    if style == "cap":
        front.append(f'<path d="M{cx - 4},{cy - r + 1} L{cx + 2},{cy - r}" stroke="#ffffff" '
                     f'stroke-width="1.5" stroke-linecap="round"/>')
    if style == "long":
        front.append(f'<path d="M{cx - r + 2},{cy - 6} Q{cx + 1},{cy - r - 1} {cx + r - 1},'
                     f'{cy - 5}" fill="none" stroke="#ffd54a" stroke-width="2.2"/>')
    ex, ey = cx + r * 0.5, cy - 1
    face = [f'<ellipse cx="{cx - 4.5}" cy="{cy + 1.5}" rx="1.8" ry="2.4" fill="{shade(skin, 0.85)}" '
            f'stroke="{o}" stroke-width="1"/>',  # ear, towards the back of the head
            f'<ellipse cx="{ex:.2f}" cy="{ey}" rx="2.1" ry="2.5" fill="{WHITE}"/>',
            f'<ellipse cx="{ex + 0.5:.2f}" cy="{ey}" rx="1.3" ry="1.9" fill="{o}"/>',
            f'<ellipse cx="{cx + r * 0.28:.2f}" cy="{cy + 4.5}" rx="2" ry="1.2" fill="{BLUSH}" '
            f'opacity="0.8"/>']
    if mouth_open:
        face.append(f'<path d="M{cx + r - 4},{cy + 5} Q{cx + r - 1},{cy + 9} {cx + r},{cy + 4} Z" '
                    f'fill="#c2334d" stroke="{o}" stroke-width="1"/>')
    else:
        face.append(f'<path d="M{cx + r - 5},{cy + 5} Q{cx + r - 2},{cy + 7} {cx + r - 0.5},'
                    f'{cy + 4}" fill="none" stroke="{o}" stroke-width="1.2" '
                    f'stroke-linecap="round"/>')
    if glasses_on:
        face.append(f'<circle cx="{ex:.2f}" cy="{ey}" r="3.4" fill="none" stroke="#3b3470" '
                    f'stroke-width="1.2"/>'
                    f'<path d="M{ex - 3.4:.2f},{ey} L{cx - 3},{cy - 1}" stroke="#3b3470" '
                    f'stroke-width="1.1"/>')
    return "".join(back) + head + "".join(face) + "".join(front)


def animal_head(cx, cy, r, kind, fur, mouth_open):
    o = OUTLINE
    parts = []
    if kind == "rabbit":
        # ears streaming back in the wind, so they stay inside the frame
        for dx, k, a in ((-5, 0.8, -62), (-1, 1.0, -50)):
            pivot = f"{cx + dx} {cy - r + 3}"
            parts.append(f'<ellipse cx="{cx + dx}" cy="{cy - r - 5}" rx="3.2" ry="9" '
                         f'fill="{shade(fur, k)}" stroke="{o}" stroke-width="1.3" '
                         f'transform="rotate({a} {pivot})"/>'
                         f'<ellipse cx="{cx + dx}" cy="{cy - r - 5}" rx="1.4" ry="6" fill="#ffb3c6" '
                         f'transform="rotate({a} {pivot})"/>')
    if kind == "cat":
        for dx in (-7, 3):
            parts.append(f'<path d="M{cx + dx - 3},{cy - r + 4} L{cx + dx + 1},{cy - r - 4} '
                         f'L{cx + dx + 6},{cy - r + 3} Z" fill="{fur}" stroke="{o}" '
                         f'stroke-width="1.3" stroke-linejoin="round"/>')
    if kind in ("tanuki", "bear"):
        for dx in (-7, 4):
            parts.append(f'<circle cx="{cx + dx}" cy="{cy - r + 2}" r="4" fill="{shade(fur, 0.7)}" '
                         f'stroke="{o}" stroke-width="1.3"/>')
    parts.append(f'<circle cx="{cx}" cy="{cy}" r="{r}" fill="{fur}" stroke="{o}" '
                 f'stroke-width="1.4"/>')
    ex, ey = cx + r * 0.45, cy - 1
    if kind == "tanuki":  # the dark mask around the eye
        parts.append(f'<ellipse cx="{ex - 0.5:.2f}" cy="{ey + 0.5}" rx="4.4" ry="3.4" '
                     f'fill="#5a3e30" transform="rotate(-15 {ex:.2f} {ey})"/>')
        parts.append(f'<ellipse cx="{cx + r - 2}" cy="{cy + 3}" rx="4.5" ry="3.6" '
                     f'fill="#f3e3c8" stroke="{o}" stroke-width="1"/>')
    if kind == "tanuki":  # the leaf every tanuki keeps on its head
        parts.append(f'<path d="M{cx - 3},{cy - r + 1} Q{cx + 1},{cy - r - 7} {cx + 7},{cy - r - 4} '
                     f'Q{cx + 3},{cy - r + 2} {cx - 3},{cy - r + 1} Z" fill="#5fbf4a" stroke="{o}" '
                     f'stroke-width="1.1" stroke-linejoin="round"/>')
    if kind in ("cat", "rabbit", "bear"):
        parts.append(f'<ellipse cx="{cx + r - 2.5}" cy="{cy + 3.5}" rx="3.8" ry="3" '
                     f'fill="{shade(fur, 1.18)}"/>')
    eye_fill = "#ffffff" if kind == "tanuki" else OUTLINE
    parts.append(f'<ellipse cx="{ex:.2f}" cy="{ey}" rx="1.3" ry="1.9" fill="{OUTLINE}"/>')
    if kind == "tanuki":
        parts.append(f'<circle cx="{ex + 0.4:.2f}" cy="{ey - 0.7}" r="0.6" fill="{eye_fill}"/>')
    parts.append(f'<circle cx="{cx + r + 0.3}" cy="{cy + 1.8}" r="1.5" fill="#5a3e56"/>')  # nose
    if kind == "cat":
        parts.append(f'<path d="M{cx + r - 3},{cy + 3} L{cx + r + 5},{cy + 1} '
                     f'M{cx + r - 3},{cy + 4.5} L{cx + r + 5},{cy + 5}" stroke="{OUTLINE}" '
                     f'stroke-width="0.8"/>')
    if mouth_open:
        parts.append(f'<path d="M{cx + r - 4},{cy + 5.5} Q{cx + r - 1},{cy + 9} {cx + r},'
                     f'{cy + 5}" fill="#c2334d" stroke="{o}" stroke-width="1"/>')
    parts.append(f'<ellipse cx="{cx + r * 0.15:.2f}" cy="{cy + 4.5}" rx="2" ry="1.2" '
                 f'fill="{BLUSH}" opacity="0.8"/>')
    return "".join(parts)


def tail(kind, x, y, fur, frame):
    o = OUTLINE
    sway = 3 if frame else -3
    if kind == "tanuki":
        return (f'<path d="M{x},{y} Q{x - 10},{y - 2 + sway} {x - 13},{y + 6 + sway} '
                f'Q{x - 8},{y + 10} {x},{y + 4} Z" fill="{fur}" stroke="{o}" stroke-width="1.3" '
                f'stroke-linejoin="round"/>'
                f'<path d="M{x - 6},{y + 0 + sway * 0.5} L{x - 5},{y + 7} M{x - 10},'
                f'{y + 1 + sway} L{x - 9},{y + 8 + sway * 0.4}" stroke="#5a3e30" stroke-width="2"/>')
    if kind == "cat":
        return (f'<path d="M{x},{y} Q{x - 9},{y - 2} {x - 10},{y - 12 + sway}" fill="none" '
                f'stroke="{o}" stroke-width="4.6" stroke-linecap="round"/>'
                f'<path d="M{x},{y} Q{x - 9},{y - 2} {x - 10},{y - 12 + sway}" fill="none" '
                f'stroke="{fur}" stroke-width="2.2" stroke-linecap="round"/>')
    if kind == "rabbit":
        return f'<circle cx="{x - 2}" cy="{y + 1}" r="3.4" fill="#ffffff" stroke="{o}" stroke-width="1.2"/>'
    return ""


# kind (human hair style or animal), skin/fur, hair, shirt, shorts, shoes, glasses, bib number
RUNNERS = [
    ("short", SKIN, HAIR, SHIRT, "#3b5bdb", "#ffffff", True, "23"),  # the birthday boy
    ("ponytail", "#f7c9a3", "#e0a03a", "#ff5c8a", "#3a3a6a", "#ffd54a", False, None),
    ("spiky", "#e2a77c", "#2f3a8f", "#2fb86a", "#f0f0f0", "#e8283f", False, None),
    ("afro", "#8d5a3b", "#3d2a25", "#ffd23f", "#7a3fd1", "#5bc0eb", False, None),
    ("tanuki", "#b08560", None, "#5bc0eb", "#6b4a35", "#ff9a3d", False, None),
    ("bob", "#ffe0c4", "#3a2b45", "#7a5cff", "#ff7ab8", "#ffffff", True, None),
    ("cap", "#c98b62", "#2a1f30", "#e8283f", "#222a55", "#ffffff", False, None),
    ("long", "#f5d0b0", "#b5542f", "#4fd0c8", "#ffffff", "#7a5cff", False, None),
    ("cat", "#f2a65a", None, "#ffffff", "#e8283f", "#3b5bdb", False, None),
    ("buzz", "#6e4530", "#2e2226", "#ff9a3d", "#2f8f5b", "#ffd54a", False, None),
    ("bun", "#ffd9bd", "#6b3c2c", "#b8e05a", "#5a3ea0", "#ff5c8a", False, None),
    ("mohawk", "#f0bf94", "#ff4f7a", "#3c3f58", "#ffd23f", "#4fd0c8", False, None),
    ("rabbit", "#fbf6f0", None, "#ff9db5", "#5bc0eb", "#e8283f", False, None),
    ("spiky", "#d59a70", "#f1d36b", "#1f8fff", "#ff7a3d", "#ffffff", True, None),
    ("short", "#7a4a33", "#2a2026", "#c63fff", "#ffd23f", "#2fb86a", False, None),
]


def runner_svg(runner, frame, age=None):
    kind, skin, hair, shirt, shorts, shoes, glasses_on, number = runner
    if number and age is not None:
        number = str(age)
    animal = kind in ("tanuki", "cat", "rabbit", "bear")
    limb_skin = skin
    pose = POSES[frame]
    bob = 0 if frame == 0 else -1  # the body rises in the tucked pose
    hip = (24, 41 + bob)
    shoulder = (29, 28 + bob)
    head = (31.5, 15 + bob)
    parts = []
    if animal:
        parts.append(tail(kind, hip[0] - 4, hip[1] - 2, skin, frame))
    parts.append(runner_arm((shoulder[0] - 1, shoulder[1]), pose["far_arm"], limb_skin, shirt, True))
    parts.append(runner_leg((hip[0] - 1, hip[1]), pose["far_leg"], limb_skin, shorts, shoes, True))
    # torso leaning into the run
    parts.append(f'<path d="M{hip[0] - 6},{hip[1] + 2} L{hip[0] + 5},{hip[1] + 2} '
                 f'L{shoulder[0] + 6},{shoulder[1] - 1} Q{shoulder[0]},{shoulder[1] - 5} '
                 f'{shoulder[0] - 7},{shoulder[1] - 1} Z" fill="{shirt}" stroke="{OUTLINE}" '
                 f'stroke-width="1.4" stroke-linejoin="round"/>')
    parts.append(f'<path d="M{hip[0] - 6.5},{hip[1] - 1} L{hip[0] + 5.5},{hip[1] - 1} '
                 f'L{hip[0] + 5},{hip[1] + 4} L{hip[0] - 6},{hip[1] + 4} Z" fill="{shorts}" '
                 f'stroke="{OUTLINE}" stroke-width="1.3" stroke-linejoin="round"/>')
    if number:
        parts.append(f'<rect x="{hip[0] - 1}" y="{shoulder[1] + 3}" width="9" height="7" rx="1" '
                     f'fill="#ffffff" stroke="{OUTLINE}" stroke-width="0.8" '
                     f'transform="rotate(-14 {hip[0] + 3} {shoulder[1] + 6})"/>'
                     f'<text x="{hip[0] + 3.5}" y="{shoulder[1] + 9}" font-family="IPAPGothic" '
                     f'font-weight="bold" font-size="{bib_size(number)}" text-anchor="middle" fill="#e8283f" '
                     f'transform="rotate(-14 {hip[0] + 3} {shoulder[1] + 6})">{number}</text>')
    else:
        parts.append(f'<path d="M{hip[0] - 3},{shoulder[1] + 6} L{shoulder[0] + 3},'
                     f'{shoulder[1] + 3}" stroke="#ffffff" stroke-width="2" opacity="0.85"/>')
    if animal:
        parts.append(animal_head(head[0], head[1], 10.5, kind, skin, frame == 1))
    else:
        parts.append(human_head(head[0], head[1], 10.5, skin, hair, kind, glasses_on, frame == 1))
    parts.append(runner_leg(hip, pose["near_leg"], limb_skin, shorts, shoes, False))
    parts.append(runner_arm(shoulder, pose["near_arm"], limb_skin, shirt, False))
    return svg(RUN_W, RUN_H, "\n".join(parts))


def bib_size(number):
    """The number's type size: 5.5 pixels, smaller when the number is too wide for the bib."""
    size, _ = person.fit(number, "IPAPGothic", 5.5, 7.5)
    return f"{size:.2f}".rstrip("0").rstrip(".")


def runner_frames(age=None):
    """Fifteen runners, each as (frame 0, frame 1); the birthday boy's bib shows `age`."""
    return [(runner_svg(r, 0, age), runner_svg(r, 1, age)) for r in RUNNERS]
