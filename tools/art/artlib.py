"""Shared helpers for the picture generators: SVG rendering, edge bleeding, text, saving.

Everything here is deterministic: the same inputs give the same PNG bytes on the same
Debian release (rsvg-convert, FreeType and zlib come from its packages).
"""

import io
import subprocess
from collections import deque

from PIL import Image, ImageDraw, ImageFont

# One palette for the whole game.
OUTLINE = "#2a1b33"      # every dark outline
LINE = 2.2               # outline width in pixels at sprite scale (64 px)
CREAM = "#fff3e0"        # hopling fur
CREAM_SHADE = "#f0d3b4"
PINK = "#ff9fb2"         # ears, cheeks, nose
COPPER = "#d9482b"       # the kettle
COPPER_DARK = "#a93420"
BRASS = "#f5b83d"
FLAME_CORE = "#fff27a"
FLAME_MID = "#ffb12e"
FLAME_EDGE = "#f0561e"
STEAM = "#f4f8ff"
SKY_TOP = "#3f86d6"
SKY_LOW = "#a9def7"
GRASS = "#5cb83c"
GRASS_LIGHT = "#93e05c"
GRASS_DARK = "#3d8a2a"
DIRT = "#b27a46"
DIRT_DARK = "#8e5c33"
PEBBLE = "#dcc096"
PANEL = "#1d1838"        # dark panels behind white text
GOLD = "#ffcf3f"
GOLD_DARK = "#e0961c"
TEXT_LIGHT = "#fff8e8"

FONT_DIR = "/usr/share/fonts/opentype"
TITLE_FONT = FONT_DIR + "/cherrybomb/CherryBomb-Regular.otf"    # fonts-cherrybomb
BODY_FONT = FONT_DIR + "/comic-neue/ComicNeue-Bold.otf"          # fonts-comic-neue


def svg_doc(width, height, body, view=None):
    """A complete SVG document of width x height pixels around `body`."""
    vw, vh = view if view else (width, height)
    return (
        '<svg xmlns="http://www.w3.org/2000/svg" '
        'xmlns:xlink="http://www.w3.org/1999/xlink" '
        f'width="{width}" height="{height}" viewBox="0 0 {vw} {vh}">'
        f'{body}</svg>'
    )


def render_svg(svg, width, height):
    """Rasterises an SVG document with rsvg-convert into an RGBA image."""
    png = subprocess.run(
        ["rsvg-convert", "-w", str(width), "-h", str(height), "-f", "png"],
        input=svg.encode("utf-8"), stdout=subprocess.PIPE, check=True).stdout
    im = Image.open(io.BytesIO(png)).convert("RGBA")
    if im.size != (width, height):
        raise SystemExit(f"rsvg-convert gave {im.size}, wanted {(width, height)}")
    return im


def render(body, width, height, view=None):
    return render_svg(svg_doc(width, height, body, view), width, height)


def bleed(im, solid=128):
    """Gives every fully transparent pixel the colour of the nearest solid pixel.

    Linear filtering mixes a pixel with its transparent neighbours; when those carry the
    edge colour instead of black, no dark fringe appears around the sprite.
    """
    w, h = im.size
    px = list(im.getdata())
    colour = [None] * (w * h)
    queue = deque()
    for i, (r, g, b, a) in enumerate(px):
        if a >= solid:
            colour[i] = (r, g, b)
            queue.append(i)
    if not queue:
        return im
    while queue:
        i = queue.popleft()
        x, y = i % w, i // w
        for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            if 0 <= nx < w and 0 <= ny < h:
                j = ny * w + nx
                if colour[j] is None:
                    colour[j] = colour[i]
                    queue.append(j)
    out = [(c[0], c[1], c[2], 0) if p[3] == 0 else p for p, c in zip(px, colour)]
    res = Image.new("RGBA", (w, h))
    res.putdata(out)
    return res


def near_magenta(r, g, b):
    return r > 200 and b > 200 and g < 80


def check_no_magenta(im, name):
    """The sprite loader keys out pure magenta; keep the pictures well away from it."""
    for (r, g, b, a) in im.getdata():
        if near_magenta(r, g, b):
            raise SystemExit(f"{name}: near-magenta pixel ({r},{g},{b},{a})")


def save_png(im, path):
    """Writes a PNG with no timestamps or other varying chunks."""
    im.save(path, format="PNG", optimize=False, compress_level=9)


def font(path, size):
    return ImageFont.truetype(path, size)


def text(im, xy, s, path, size, fill=TEXT_LIGHT, outline=OUTLINE, stroke=0,
         anchor="la", shadow=0):
    """Draws `s` onto `im` with an optional dark stroke and a drop shadow."""
    f = font(path, size)
    d = ImageDraw.Draw(im)
    x, y = xy
    if shadow:
        d.text((x + shadow, y + shadow), s, font=f, fill=outline, anchor=anchor,
               stroke_width=stroke, stroke_fill=outline)
    d.text((x, y), s, font=f, fill=fill, anchor=anchor,
           stroke_width=stroke, stroke_fill=outline)


def gradient_text(im, xy, s, path, size, top, bottom, stroke, anchor="la", shadow=0):
    """Title lettering: a vertical colour gradient inside a dark stroke."""
    f = font(path, size)
    w, h = im.size
    outer = Image.new("L", (w, h), 0)
    inner = Image.new("L", (w, h), 0)
    x, y = xy
    ImageDraw.Draw(outer).text((x, y), s, font=f, fill=255, anchor=anchor,
                               stroke_width=stroke, stroke_fill=255)
    ImageDraw.Draw(inner).text((x, y), s, font=f, fill=255, anchor=anchor)
    box = outer.getbbox()
    if shadow:
        sh = Image.new("L", (w, h), 0)
        sh.paste(outer, (shadow, shadow))
        im.paste(Image.new("RGBA", (w, h), hex_rgb(OUTLINE) + (255,)), (0, 0),
                 sh.point(lambda v: v * 3 // 5))
    im.paste(Image.new("RGBA", (w, h), hex_rgb(OUTLINE) + (255,)), (0, 0), outer)
    grad = Image.new("RGBA", (w, h))
    t, b = hex_rgb(top), hex_rgb(bottom)
    y0, y1 = box[1], box[3]
    gd = ImageDraw.Draw(grad)
    for row in range(h):
        k = min(1.0, max(0.0, (row - y0) / max(1, y1 - y0)))
        gd.line([(0, row), (w, row)],
                fill=tuple(round(t[i] + (b[i] - t[i]) * k) for i in range(3)) + (255,))
    im.paste(grad, (0, 0), inner)


def hex_rgb(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


def text_width(s, path, size):
    return font(path, size).getlength(s)
