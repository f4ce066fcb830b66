"""Writes font.png (a 256 x 256 page of white glyphs, coverage in the alpha channel) and
font.fnt (the text metrics the game reads) for printable ASCII 32..126.

The glyphs come from Comic Neue Bold (Debian package fonts-comic-neue, SIL Open Font
License 1.1). The game keys out pure black, so the empty parts of the page are (0, 0, 0, 0).
"""

import os

from PIL import Image, ImageDraw

import artlib

SIZE = 24          # pixel size the outlines are rendered at
PAGE = 256         # the game maps texels with a fixed 1/256
PAD = 2            # empty texels around each glyph on the page
FIRST, LAST = 32, 126


def glyph_masks(f):
    """(code, coverage mask or None, left, top, advance) for every character."""
    out = []
    for code in range(FIRST, LAST + 1):
        ch = chr(code)
        advance = round(f.getlength(ch))
        box = f.getbbox(ch, anchor="la")
        if code == 32 or box[2] <= box[0] or box[3] <= box[1]:
            out.append((code, None, 0, 0, advance))
            continue
        w, h = box[2] - box[0], box[3] - box[1]
        mask = Image.new("L", (w, h), 0)
        ImageDraw.Draw(mask).text((-box[0], -box[1]), ch, font=f, fill=255, anchor="la")
        out.append((code, mask, box[0], box[1], advance))
    return out


def build():
    f = artlib.font(artlib.BODY_FONT, SIZE)
    glyphs = glyph_masks(f)
    drawn = [g for g in glyphs if g[1] is not None]
    top = min(g[3] for g in drawn)
    bottom = max(g[3] + g[1].size[1] for g in drawn)
    line_height = bottom - top
    base = f.getmetrics()[0] - top

    page = Image.new("RGBA", (PAGE, PAGE), (0, 0, 0, 0))
    x, y, shelf = PAD, PAD, 0
    lines = [f'info face="Comic Neue Bold" size={SIZE}',
             f"common lineHeight={line_height} base={base} scaleW={PAGE} scaleH={PAGE} "
             "pages=1"]
    for code, mask, left, gtop, advance in glyphs:
        if mask is None:
            lines.append(f"char id={code} x=0 y=0 width=0 height=0 xoffset=0 yoffset=0 "
                         f"xadvance={advance} page=0")
            continue
        w, h = mask.size
        if x + w + PAD > PAGE:
            x, y, shelf = PAD, y + shelf + PAD, 0
        if y + h + PAD > PAGE:
            raise SystemExit("font page is full: lower SIZE")
        # White everywhere the glyph covers, its coverage as alpha.
        cell = Image.new("RGBA", (w, h), (255, 255, 255, 0))
        cell.putalpha(mask)
        page.paste(cell, (x, y))
        lines.append(f"char id={code} x={x} y={y} width={w} height={h} xoffset={left} "
                     f"yoffset={gtop - top} xadvance={advance} page=0")
        x += w + PAD
        shelf = max(shelf, h)
    # Pixels without coverage must be exactly (0, 0, 0, 0); covered ones pure white.
    page.putdata([(255, 255, 255, a) if a else (0, 0, 0, 0) for (_, _, _, a) in
                  page.getdata()])
    return page, "\n".join(lines) + "\n"


def write(outdir):
    os.makedirs(outdir, exist_ok=True)
    page, definition = build()
    artlib.save_png(page, os.path.join(outdir, "font.png"))
    with open(os.path.join(outdir, "font.fnt"), "w", encoding="ascii", newline="\n") as fh:
        fh.write(definition)
