"""Writes font.png (a 256 x 256 page of outlined glyphs) and font.fnt (the text metrics the
game reads) for printable ASCII 32..126.

Each glyph is white inside a dark outline, so the game's white text reads over bright sky
and clouds alike. Colours are stored straight (not premultiplied), coverage in alpha. The
glyphs come from Comic Neue Bold (Debian package fonts-comic-neue, SIL Open Font License
1.1). The game keys out pure black, so the empty parts of the page are (0, 0, 0, 0) and no
drawn pixel is ever black.
"""

import os

from PIL import Image, ImageDraw

import artlib

SIZE = 21          # pixel size the outlines are rendered at; rows of text are 25 apart
RIM = 2            # outline width in pixels around every glyph
SPACING = 2        # extra advance per character, so one glyph's rim stays off the next
PAGE = 256         # the game maps texels with a fixed 1/256
PAD = 2            # empty texels around each glyph on the page
FIRST, LAST = 32, 126
INSIDE = (255, 255, 255)
RIM_COLOUR = artlib.hex_rgb(artlib.OUTLINE)


def glyph_cells(f):
    """(code, RGBA cell or None, left, top, advance) for every character; left and top
    place the cell's corner relative to the pen, rim included."""
    out = []
    for code in range(FIRST, LAST + 1):
        ch = chr(code)
        advance = round(f.getlength(ch)) + SPACING
        box = f.getbbox(ch, anchor="la")
        if code == 32 or box[2] <= box[0] or box[3] <= box[1]:
            out.append((code, None, 0, 0, advance))
            continue
        w, h = box[2] - box[0] + 2 * RIM, box[3] - box[1] + 2 * RIM
        origin = (RIM - box[0], RIM - box[1])
        inner = Image.new("L", (w, h), 0)
        outer = Image.new("L", (w, h), 0)
        ImageDraw.Draw(inner).text(origin, ch, font=f, fill=255, anchor="la")
        ImageDraw.Draw(outer).text(origin, ch, font=f, fill=255, anchor="la",
                                   stroke_width=RIM, stroke_fill=255)
        cell = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        pixels = []
        for a_in, a_out in zip(inner.getdata(), outer.getdata()):
            a_out = max(a_in, a_out)
            if a_out == 0:
                pixels.append((0, 0, 0, 0))
                continue
            # White over the rim, then un-premultiplied: opaque inside is pure white.
            pixels.append(tuple(round((INSIDE[i] * a_in + RIM_COLOUR[i] * (a_out - a_in)) /
                                      a_out) for i in range(3)) + (a_out,))
        cell.putdata(pixels)
        # Shifted right by the rim: the outline starts where the bare glyph did.
        out.append((code, cell, box[0], box[1] - RIM, advance))
    return out


def build():
    f = artlib.font(artlib.BODY_FONT, SIZE)
    glyphs = glyph_cells(f)
    drawn = [g for g in glyphs if g[1] is not None]
    top = min(g[3] for g in drawn)
    bottom = max(g[3] + g[1].size[1] for g in drawn)
    line_height = bottom - top
    if line_height > 25:
        raise SystemExit(f"lines are {line_height} pixels: the score rows are 25 apart")
    base = f.getmetrics()[0] - top

    page = Image.new("RGBA", (PAGE, PAGE), (0, 0, 0, 0))
    x, y, shelf = PAD, PAD, 0
    lines = [f'info face="Comic Neue Bold" size={SIZE} outline={RIM}',
             f"common lineHeight={line_height} base={base} scaleW={PAGE} scaleH={PAGE} "
             "pages=1"]
    for code, cell, left, gtop, advance in glyphs:
        if cell is None:
            lines.append(f"char id={code} x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 "
                         f"xadvance={advance} page=0")
            continue
        w, h = cell.size
        if x + w + PAD > PAGE:
            x, y, shelf = PAD, y + shelf + PAD, 0
        if y + h + PAD > PAGE:
            raise SystemExit("font page is full: lower SIZE")
        page.paste(cell, (x, y))
        lines.append(f"char id={code} x={x} y={y} width={w} height={h} xoffset={left} "
                     f"yoffset={gtop - top} xadvance={advance} page=0")
        x += w + PAD
        shelf = max(shelf, h)
    for (r, g, b, a) in page.getdata():
        if a and (r, g, b) == (0, 0, 0):
            raise SystemExit("a drawn font pixel is the transparent key colour")
    return page, "\n".join(lines) + "\n"


def write(outdir):
    os.makedirs(outdir, exist_ok=True)
    page, definition = build()
    artlib.save_png(page, os.path.join(outdir, "font.png"))
    with open(os.path.join(outdir, "font.fnt"), "w", encoding="ascii", newline="\n") as fh:
        fh.write(definition)
