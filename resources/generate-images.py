#!/usr/bin/python3
"""Draws every image of the resource bundle from code.

Writes the SVG sources to images/src/ (and the five link-button SVGs straight to
images/), then renders them into images/ as PNG, JPG and ICO. The results are
committed, so building the program never needs this script; run it again only
after changing a drawing:

    resources/generate-images.py

Tools it needs (Debian packages, not installed by tools/setup-deps.sh on purpose):
    python3-pil    JPG and ICO output
    librsvg2-bin   rsvg-convert, SVG to PNG

All lettering is drawn with the small stroke alphabet below rather than a font,
so the output does not depend on which fonts the machine has.
"""

import io
import math
import os
import subprocess
import sys
import tempfile

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "images")
SRC = os.path.join(OUT, "src")

# The program's dark palette.
FRAME = "#121212"
BACKGROUND = "#111213"
PANEL = "#282B2E"
CAPTION = "#909090"
INPUT = "#505050"
GREEN = "#22b24c"
WHITE = "#ffffff"
COMBO_TEXT = "#bebebe"
STOP_RED = "#d93b30"

# ---------------------------------------------------------------------------
# Stroke alphabet: capitals on a grid 10 units high, drawn as round-capped
# lines. Each entry is (advance width, path data).
GLYPHS = {
    "A": (8, "M0 10 L4 0 L8 10 M1.6 6.5 H6.4"),
    "B": (7, "M0 5 H4.5 A2.5 2.5 0 0 1 4.5 10 H0 V0 H4 A2.5 2.5 0 0 1 4 5"),
    "D": (8, "M0 0 V10 H3 A5 5 0 0 0 3 0 Z"),
    "E": (7, "M7 0 H0 V10 H7 M0 5 H5.5"),
    "F": (7, "M7 0 H0 V10 M0 5 H5.5"),
    "G": (10, "M8.83 1.79 A5 5 0 1 0 10 5 H5.5"),
    "I": (0, "M0 0 V10"),
    "K": (7, "M0 0 V10 M7 0 L0 6.2 M2.7 3.8 L7 10"),
    "L": (6, "M0 0 V10 H6"),
    "N": (8, "M0 10 V0 L8 10 V0"),
    "O": (10, "M5 0 A5 5 0 1 1 5 10 A5 5 0 1 1 5 0 Z"),
    "R": (7, "M0 10 V0 H4 A2.75 2.75 0 0 1 4 5.5 H0 M3.6 5.5 L7 10"),
    "T": (8, "M0 0 H8 M4 0 V10"),
    "V": (8, "M0 0 L4 10 L8 0"),
    "W": (10, "M0 0 L2.5 10 L5 2.5 L7.5 10 L10 0"),
    "Y": (8, "M0 0 L4 5 L8 0 M4 5 V10"),
    " ": (4, ""),
}
TRACKING = 3.2


def text_width(text, cap):
    """Width in pixels of text at cap height cap, stroke excluded."""
    units = sum(GLYPHS[c][0] for c in text) + TRACKING * (len(text) - 1)
    return units * cap / 10.0


def text(s, x, y, cap, colour, weight=0.16):
    """Lettering with its top-left corner at (x, y); weight is the stroke width
    as a share of the cap height."""
    scale = cap / 10.0
    parts = []
    pen = 0.0
    for c in s:
        advance, d = GLYPHS[c]
        if d:
            parts.append('<path transform="translate(%.2f 0)" d="%s"/>' % (pen, d))
        pen += advance + TRACKING
    return ('<g transform="translate(%.2f %.2f) scale(%.4f)" fill="none" stroke="%s" '
            'stroke-width="%.3f" stroke-linecap="round" stroke-linejoin="round">%s</g>'
            % (x, y, scale, colour, weight * 10.0, "".join(parts)))


def centred_text(s, cx, y, cap, colour, weight=0.16):
    return text(s, cx - text_width(s, cap) / 2.0, y, cap, colour, weight)


def svg(w, h, body):
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" '
            'viewBox="0 0 %d %d">\n%s\n</svg>\n' % (w, h, w, h, body))


def stroke(d, colour, width, extra=""):
    return ('<path d="%s" fill="none" stroke="%s" stroke-width="%.2f" stroke-linecap="round" '
            'stroke-linejoin="round"%s/>' % (d, colour, width, extra))


# ---------------------------------------------------------------------------
# Shapes shared by several images.

def mark(x, y, size, colour):
    """Our own mark: a lens with speed lines trailing it, in a size x size box."""
    s = size / 60.0
    body = (stroke("M2 21 H14 M0 30 H12 M2 39 H14", colour, 4.5)
            + '<circle cx="38" cy="30" r="18" fill="none" stroke="%s" stroke-width="5"/>' % colour
            + '<circle cx="38" cy="30" r="7" fill="%s"/>' % colour)
    return '<g transform="translate(%.2f %.2f) scale(%.4f)">%s</g>' % (x, y, s, body)


def button_state(size, state):
    """Window buttons carry their hover and pressed look in the image, because
    their style sheets give them no background."""
    if state == "hover":
        return '<rect width="%d" height="%d" rx="4" fill="%s" fill-opacity="0.22"/>' % (
            size, size, WHITE)
    if state == "pressed":
        return '<rect width="%d" height="%d" rx="4" fill="#000000" fill-opacity="0.28"/>' % (
            size, size)
    return ""


def polar(cx, cy, r, degrees):
    a = math.radians(degrees)
    return cx + r * math.cos(a), cy - r * math.sin(a)


def gear(cx, cy, outer, inner, hole, teeth, colour):
    points = []
    step = 360.0 / teeth
    for i in range(teeth):
        base = i * step
        for angle, r in ((base - step * 0.32, inner), (base - step * 0.18, outer),
                         (base + step * 0.18, outer), (base + step * 0.32, inner)):
            points.append("%.2f %.2f" % polar(cx, cy, r, angle))
    ring = "M" + " L".join(points) + " Z"
    hole_path = "M%.2f %.2f A%.2f %.2f 0 1 0 %.2f %.2f A%.2f %.2f 0 1 0 %.2f %.2f Z" % (
        cx + hole, cy, hole, hole, cx - hole, cy, hole, hole, cx + hole, cy)
    return '<path d="%s %s" fill="%s" fill-rule="evenodd" stroke="%s" stroke-width="1" ' \
           'stroke-linejoin="round"/>' % (ring, hole_path, colour, colour)


# ---------------------------------------------------------------------------
# The drawings. Each returns (width, height, svg body).

WINDOW_GLYPHS = {
    "minimize": "M6.5 12 H17.5",
    "maximize": "M6.5 7.5 A1 1 0 0 1 7.5 6.5 H16.5 A1 1 0 0 1 17.5 7.5 V16.5 "
                "A1 1 0 0 1 16.5 17.5 H7.5 A1 1 0 0 1 6.5 16.5 Z",
    "restore": "M5.5 9.5 H14.5 V18.5 H5.5 Z M9.5 9.5 V5.5 H18.5 V14.5 H14.5",
    "close": "M7 7 L17 17 M17 7 L7 17",
}


def window_button(kind, state):
    return 24, 24, button_state(24, state) + stroke(WINDOW_GLYPHS[kind], WHITE, 2)


def settings(state):
    return 36, 36, button_state(36, state) + gear(18, 18, 13, 10, 4.5, 8, WHITE)


ARROWS = {
    "larrow": "M14.5 6.5 L9 12 L14.5 17.5",
    "rarrow": "M9.5 6.5 L15 12 L9.5 17.5",
    "tarrow": "M6.5 14.5 L12 9 L17.5 14.5",
    "darrow": "M6.5 9.5 L12 15 L17.5 9.5",
}


def arrow(kind):
    return 24, 24, stroke(ARROWS[kind], CAPTION, 2.5)


def combo_arrow():
    return 16, 16, stroke("M4 6 L8 10 L12 6", COMBO_TEXT, 2)


def slider_arrow():
    # A pointer that hangs below the groove; light enough for the green-to-orange
    # speed groove and the grey panel grooves alike.
    return 18, 26, (
        '<path d="M3 1 H15 Q17 1 17 3 V15 L9 24.5 L1 15 V3 Q1 1 3 1 Z" fill="%s" '
        'stroke="%s" stroke-width="1" stroke-linejoin="round"/>' % (WHITE, FRAME)
        + stroke("M6.5 6 V13 M9 6 V13 M11.5 6 V13", INPUT, 1.2))


def play():
    return 48, 48, ('<circle cx="24" cy="24" r="22" fill="%s"/>' % GREEN
                    + '<path d="M19 14.5 L34 24 L19 33.5 Z" fill="%s" stroke="%s" '
                      'stroke-width="2" stroke-linejoin="round"/>' % (WHITE, WHITE))


def stop():
    return 48, 48, ('<circle cx="24" cy="24" r="22" fill="%s"/>' % STOP_RED
                    + '<rect x="16" y="16" width="16" height="16" rx="2.5" fill="%s"/>' % WHITE)


def gauge(needle_degrees):
    cx, cy, r = 16, 19, 11
    x0, y0 = polar(cx, cy, r, 210)
    x1, y1 = polar(cx, cy, r, -30)
    nx, ny = polar(cx, cy, 8, needle_degrees)
    return 32, 32, (
        stroke("M%.2f %.2f A%d %d 0 1 1 %.2f %.2f" % (x0, y0, r, r, x1, y1), CAPTION, 2.5)
        + stroke("M%d %d L%.2f %.2f" % (cx, cy, nx, ny), WHITE, 2.5)
        + '<circle cx="%d" cy="%d" r="2.6" fill="%s"/>' % (cx, cy, WHITE))


def refresh():
    cx, cy, r = 10, 10, 6.2
    start, end = 100, 160 - 360  # clockwise on screen, 300 degrees
    x0, y0 = polar(cx, cy, r, start)
    x1, y1 = polar(cx, cy, r, end)
    # Arrowhead at the end, pointing along the direction of travel.
    a = math.radians(end)
    tx, ty = math.sin(a), math.cos(a)
    nx, ny = -ty, tx
    tip = (x1 + tx * 3.2, y1 + ty * 3.2)
    left = (x1 + nx * 3.0 - tx * 0.8, y1 + ny * 3.0 - ty * 0.8)
    right = (x1 - nx * 3.0 - tx * 0.8, y1 - ny * 3.0 - ty * 0.8)
    return 20, 20, (
        stroke("M%.2f %.2f A%.1f %.1f 0 1 1 %.2f %.2f" % (x0, y0, r, r, x1, y1), WHITE, 2)
        + '<path d="M%.2f %.2f L%.2f %.2f L%.2f %.2f Z" fill="%s"/>'
        % (tip[0], tip[1], left[0], left[1], right[0], right[1], WHITE))


def link():
    return 20, 20, ('<g transform="rotate(-45 10 10)" fill="none" stroke="%s" stroke-width="2">'
                    '<rect x="1.8" y="7" width="9.4" height="6" rx="3"/>'
                    '<rect x="8.8" y="7" width="9.4" height="6" rx="3"/></g>' % WHITE)


def edit_pen():
    return 20, 20, ('<g transform="rotate(45 10 10)" fill="%s">'
                    '<rect x="8" y="1.5" width="4" height="2.2" rx="0.8"/>'
                    '<rect x="8" y="4.6" width="4" height="9.4"/>'
                    '<path d="M8 14.8 H12 L10 18.6 Z"/></g>' % CAPTION)


SOCIAL = {  # file stem of the PNG, stem of the SVGs, lettering
    "fb": ("fb_icon", "FB", "FB"),
    "twitter": ("twitter_icon", "TW", "TW"),
    "instagram": ("instagram_icon", "IG", "IG"),
    "youtube": ("youtube_icon", "YT", "YT"),
    "linkedin": ("linkedin_icon", "IN", "IN"),
}


def social(letters, hover):
    # Plain lettered tiles: generic, in our palette, and readable at 36 px.
    fill = GREEN if hover else INPUT
    return 40, 40, ('<rect x="1" y="1" width="38" height="38" rx="9" fill="%s"/>' % fill
                    + centred_text(letters, 20, 14, 12, WHITE, 0.2))


def korvane_logo():
    # Sits at 1:1 in a 258 x 80 label on the green title bar.
    return 258, 80, mark(14, 10, 60, WHITE) + text("KORVANE", 88, 29, 22, WHITE, 0.17)


def ndi_logo():
    # Sits at 1:1 in a 134 x 80 label on the green title bar.
    return 134, 80, ('<rect x="27" y="21" width="80" height="38" rx="8" fill="%s"/>' % WHITE
                     + centred_text("NDI", 67, 30, 20, GREEN, 0.19))


def app_icon():
    return 256, 256, ('<rect x="8" y="8" width="240" height="240" rx="48" fill="%s"/>' % GREEN
                      + mark(44, 50, 156, WHITE))


def splash():
    w, h = 640, 360
    cx, cy, rx, ry = 320, 292, 262, 40
    dots = "".join('<circle cx="%.1f" cy="%.1f" r="5" fill="%s"/>'
                   % (cx + rx * math.cos(math.radians(a)), cy + ry * math.sin(math.radians(a)),
                      GREEN)
                   for a in range(0, 360, 30))
    return w, h, (
        '<rect width="%d" height="%d" fill="%s"/>' % (w, h, FRAME)
        + '<ellipse cx="%d" cy="%d" rx="%d" ry="%d" fill="none" stroke="%s" stroke-width="12"/>'
        % (cx, cy, rx, ry, PANEL)
        + dots
        + mark(284, 34, 72, GREEN)
        + centred_text("TREVALO", 320, 130, 40, WHITE, 0.16)
        + centred_text("KORVANE", 320, 194, 14, CAPTION, 0.17)
        + '<rect y="%d" width="%d" height="6" fill="%s"/>' % (h - 6, w, GREEN))


def preview():
    # What a panel shows until its camera's first frame arrives.
    w, h = 640, 360
    return w, h, (
        '<rect width="%d" height="%d" fill="%s"/>' % (w, h, BACKGROUND)
        + '<rect x="258" y="118" width="92" height="70" rx="10" fill="%s"/>' % PANEL
        + '<path d="M356 142 L384 124 V182 L356 164 Z" fill="%s" stroke="%s" '
          'stroke-width="4" stroke-linejoin="round"/>' % (PANEL, PANEL)
        + '<circle cx="304" cy="153" r="18" fill="none" stroke="%s" stroke-width="5"/>' % INPUT
        + centred_text("NO VIDEO", 320, 218, 18, INPUT, 0.16))


# ---------------------------------------------------------------------------
# Output.

def write(path, content):
    with open(path, "w", encoding="utf-8") as f:
        f.write(content)


def render(svg_path, w, h):
    """SVG to an RGBA PIL image of w x h."""
    with tempfile.NamedTemporaryFile(suffix=".png") as tmp:
        subprocess.run(["rsvg-convert", "-w", str(w), "-h", str(h), "-o", tmp.name, svg_path],
                       check=True)
        return Image.open(tmp.name).convert("RGBA").copy()


def png(name, drawing):
    w, h, body = drawing
    src = os.path.join(SRC, name + ".svg")
    write(src, svg(w, h, body))
    render(src, w, h).save(os.path.join(OUT, name + ".png"), optimize=True)
    return src


def ico(name, src, sizes):
    # Each size rendered from the vector source, so the small ones stay crisp.
    frames = [render(src, size, size) for size in sizes]
    frames[-1].save(os.path.join(OUT, name + ".ico"), format="ICO",
                    sizes=[(s, s) for s in sizes], append_images=frames[:-1])


def main():
    os.makedirs(SRC, exist_ok=True)
    for old in os.listdir(SRC):
        if old.endswith(".svg"):
            os.remove(os.path.join(SRC, old))

    png("Zu_SplashScreen-1x", splash())
    png("Korvane-logo-only", korvane_logo())
    png("NDI-logo", ndi_logo())
    ico("icon", png("icon", app_icon()), [16, 24, 32, 48, 64, 128, 256])

    for kind in WINDOW_GLYPHS:
        png("icon_window_%s" % kind, window_button(kind, "normal"))
        png("icon_window_%s_hover" % kind, window_button(kind, "hover"))
        png("icon_window_%s_pressed" % kind, window_button(kind, "pressed"))
    png("icon_window_settings_36", settings("normal"))
    png("icon_window_settings_hover_36", settings("hover"))

    for kind in ARROWS:
        png("icon_%s" % kind, arrow(kind))
    png("icon_comboarrow", combo_arrow())
    png("icon_sliderarrow", slider_arrow())

    png("PlayIcon", play())
    png("StartIcon", play())
    png("StopIcon", stop())
    png("lspeed", gauge(165))
    png("hSpeed", gauge(15))
    png("refresh", refresh())
    ico("link", png("link", link()), [16, 20, 32, 48])
    png("editPen", edit_pen())

    for png_stem, svg_stem, letters in SOCIAL.values():
        w, h, body = social(letters, False)
        write(os.path.join(OUT, svg_stem + "_40x40.svg"), svg(w, h, body))
        w, h, body = social(letters, True)
        write(os.path.join(OUT, svg_stem + "_hover_40x40.svg"), svg(w, h, body))
        w, h, body = social(letters, False)
        src = os.path.join(SRC, png_stem + ".svg")
        write(src, svg(w, h, body))
        render(src, 36, 36).save(os.path.join(OUT, png_stem + ".png"), optimize=True)

    w, h, body = preview()
    src = os.path.join(SRC, "preview.svg")
    write(src, svg(w, h, body))
    buf = io.BytesIO()
    render(src, w, h).convert("RGB").save(buf, format="JPEG", quality=90)
    with open(os.path.join(OUT, "preview.jpg"), "wb") as f:
        f.write(buf.getvalue())
    return 0


if __name__ == "__main__":
    sys.exit(main())
