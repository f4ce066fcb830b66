"""Writes the desktop icon, the flying hopling on a round patch of sky, as
icons/hicolor/NxN/apps/pyrokettle.png for every size desktops ask for and as
icons/hicolor/scalable/apps/pyrokettle.svg."""

import os

import artlib
import shapes
from artlib import OUTLINE, SKY_LOW, SKY_TOP

SIZES = (16, 24, 32, 48, 64, 128, 256)


def icon():
    """The icon's SVG body in a 64 x 64 box."""
    sky = ('<defs><linearGradient id="iconSky" x1="0" y1="4" x2="0" y2="62" '
           'gradientUnits="userSpaceOnUse">'
           f'<stop offset="0" stop-color="{SKY_TOP}"/>'
           f'<stop offset="1" stop-color="{SKY_LOW}"/></linearGradient></defs>')
    disc = shapes.circle(32, 33, 29, "url(#iconSky)", 2.4, OUTLINE)
    # The flying pose fills x 14-55, y 2-64 of its box: centred on the disc, a little smaller.
    return sky + disc + shapes.place(shapes.hopling(1), -0.5, 2.5, 0.94)


def write(outdir):
    body = icon()
    folder = os.path.join(outdir, "icons", "hicolor")
    for size in SIZES:
        apps = os.path.join(folder, f"{size}x{size}", "apps")
        os.makedirs(apps, exist_ok=True)
        artlib.save_png(artlib.render(body, size, size, view=(64, 64)),
                        os.path.join(apps, "pyrokettle.png"))
    apps = os.path.join(folder, "scalable", "apps")
    os.makedirs(apps, exist_ok=True)
    with open(os.path.join(apps, "pyrokettle.svg"), "w", encoding="utf-8") as out:
        out.write(artlib.svg_doc(64, 64, body) + "\n")
