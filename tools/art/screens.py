"""The full-screen pictures: title menu, information page, high-score and game-over
backdrops, and the loading picture (all 800 x 600).

The game prints its own white text on the high-score and game-over screens, so those keep
dark panels where that text goes; everything else written here is part of the picture.
"""

import artlib
from artlib import BODY_FONT, OUTLINE, PANEL, TEXT_LIGHT, TITLE_FONT
import shapes
from shapes import path, place

W, H = 800, 600
GROUND = 472       # where figures stand in these pictures: the grass surface


def ground_row(y=GROUND):
    """The ground tiles with their grass surface on row y, and dirt down to the bottom."""
    tile = shapes.ground_tile()
    top = y - shapes.SURFACE
    clip = f'<clipPath id="tileClip"><rect width="128" height="128"/></clipPath>'
    return (f"<defs>{clip}</defs>" + shapes.ground_fill(top + 120, H, W) +
            "".join(place(f'<g clip-path="url(#tileClip)">{tile}</g>', x, top)
                    for x in range(0, W, 128)))


def panel(x, y, w, h, opacity=0.84, radius=18):
    return (f'<rect x="{x}" y="{y}" width="{w}" height="{h}" rx="{radius}" fill="{PANEL}" '
            f'fill-opacity="{opacity}" stroke="{OUTLINE}" stroke-width="3"/>'
            f'<rect x="{x + 5}" y="{y + 5}" width="{w - 10}" height="{h - 10}" '
            f'rx="{radius - 4}" fill="none" stroke="#f5b83d" stroke-opacity="0.55" '
            'stroke-width="2"/>')


def on_ground(frag, x, scale=1.0, y=GROUND):
    """A 64-box sprite standing on the grass surface at y (its feet are near the box's
    bottom, 3 of 64 rows above it)."""
    return place(frag, x, y + 3 * scale - 64 * scale, scale)


def title(im, s, xy, size, anchor="mm"):
    artlib.gradient_text(im, xy, s, TITLE_FONT, size, "#fff27a", "#f0561e",
                         stroke=max(3, size // 14), anchor=anchor, shadow=max(2, size // 18))


def body_text(im, xy, s, size=21, fill=TEXT_LIGHT, anchor="la", limit=None):
    if limit is not None:
        width = artlib.text_width(s, BODY_FONT, size)
        if width > limit:
            raise SystemExit(f"text too wide ({width:.0f} > {limit}): {s}")
    artlib.text(im, xy, s, BODY_FONT, size, fill=fill, anchor=anchor, stroke=2)


def menu():
    art = shapes.sky() + ground_row()
    art += place(shapes.cloud(0), 300, -30, 1.3)
    art += place(shapes.cloud(3), 610, 150, 1.1)
    art += place(shapes.hopling(2), 440, 150, 3.4)
    art += on_ground(shapes.points1000(), 660, 1.2)
    art += on_ground(shapes.jumper(), 560)
    art += on_ground(shapes.carrot(), 735)
    for i in range(4):
        cy = 209 + 56 * i
        art += path(f"M76,{cy - 22} L318,{cy - 22} Q326,{cy - 22} 326,{cy - 14} L326,{cy + 14} "
                    f"Q326,{cy + 22} 318,{cy + 22} L76,{cy + 22} Q68,{cy + 22} 68,{cy + 14} "
                    f"L68,{cy - 14} Q68,{cy - 22} 76,{cy - 22} Z", "#9a6538", 3)
        art += path(f"M76,{cy - 16} L318,{cy - 16}", "none", 2.2, "#c08a55")
        art += shapes.circle(78, cy, 2.2, "#5a3a22", 0) + shapes.circle(316, cy, 2.2,
                                                                       "#5a3a22", 0)
    im = artlib.render(art, W, H)
    title(im, "Pyrokettle", (400, 84), 104)
    for i, label in enumerate(["Start game", "Information", "High scores", "Quit"]):
        artlib.text(im, (92, 209 + 56 * i), label, TITLE_FONT, 31, stroke=3, anchor="lm",
                    shadow=2)
    artlib.text(im, (400, 532), "Here be hoplings...", TITLE_FONT, 30, anchor="mm",
                stroke=3, shadow=2)
    body_text(im, (400, 574), "Up and Down to choose,  Enter to go,  Esc to quit", 19,
              anchor="mm", limit=780)
    return im


INFO_ITEMS = [
    (shapes.points100, "Prawn", "+100 Prawnage"),
    (shapes.points500, "Golden prawn", "+500 Prawnage"),
    (shapes.points1000, "Royal prawn", "+1000 Prawnage"),
    (shapes.rotten_fish, "Rotten fish", "-750 Prawnage and -20 health"),
    (shapes.jumper, "Springfrog", "Leaps at you: -50 health"),
    (shapes.spent_jumper, "Dazed springfrog", "Has had its leap. Harmless."),
    (shapes.carrot, "Carrot", "+25 health"),
]


def info():
    art = shapes.sky(sun=False) + ground_row()
    art += panel(16, 12, 768, 576)
    art += f'<rect x="36" y="238" width="728" height="2" fill="#f5b83d" fill-opacity="0.5"/>'
    # The three poses, climbing.
    art += on_ground(shapes.hopling(0), 40, 1.0, 222)
    art += place(shapes.hopling(1), 104, 120)
    art += place(shapes.hopling(2), 168, 88)
    cells = []
    for n, (draw, name, what) in enumerate(INFO_ITEMS):
        x = 44 if n < 4 else 414
        y = 252 + 76 * (n % 4)
        art += place(draw(), x, y)
        cells.append((x + 78, y, name, what))
    tip_x, tip_y = 414, 252 + 76 * 3
    art += place(shapes.hopling(0), tip_x, tip_y)
    im = artlib.render(art, W, H)
    title(im, "How to fly", (400, 50), 50)
    lines = ["Hold SPACE: the kettle fires and you rise.",
             "Let go, and down you come.",
             "The higher you fly, the faster the world rushes",
             "in, and the harder the ground pulls you back.",
             "While you stand on the ground, the world waits."]
    for i, s in enumerate(lines):
        body_text(im, (250, 92 + 28 * i), s, 22, limit=520)
    for (x, y, name, what) in cells:
        artlib.text(im, (x, y + 4), name, TITLE_FONT, 23, fill="#ffe27a", stroke=2)
        body_text(im, (x, y + 34), what, 19, limit=760 - x)
    artlib.text(im, (tip_x + 78, tip_y + 4), "Skim low", TITLE_FONT, 23, fill="#ffe27a",
                stroke=2)
    body_text(im, (tip_x + 78, tip_y + 34), "to scoop things up. No health", 19,
              limit=760 - tip_x - 78)
    body_text(im, (tip_x + 78, tip_y + 55), "left: the game is over.", 19)
    body_text(im, (400, 572), "Press Enter to go back", 20, fill="#ffe27a", anchor="mm")
    return im


def high_scores():
    art = shapes.sky() + ground_row()
    art += place(shapes.cloud(3), -10, -38, 1.0)
    art += place(shapes.cloud(1), 650, -30, 1.0)
    art += panel(30, 108, 740, 276)
    for i in range(10):
        if i % 2 == 0:
            art += (f'<rect x="40" y="{118 + 25 * i}" width="720" height="25" '
                    'fill="#ffffff" fill-opacity="0.06"/>')
    art += on_ground(shapes.hopling(0), 330, 1.5)
    art += on_ground(shapes.points1000(), 420, 1.5)
    art += on_ground(shapes.points500(), 250, 1.1)
    art += place(shapes.hopling(1), 620, 400)
    im = artlib.render(art, W, H)
    title(im, "High Scores", (400, 56), 60)
    body_text(im, (400, 566), "Press Enter to go back", 20, fill="#ffe27a", anchor="mm")
    return im


def dusk():
    return ('<defs><linearGradient id="dusk" x1="0" y1="0" x2="0" y2="472" '
            'gradientUnits="userSpaceOnUse"><stop offset="0" stop-color="#2c2a6b"/>'
            '<stop offset="0.6" stop-color="#8a5a9e"/><stop offset="1" stop-color="#f29a62"/>'
            '</linearGradient></defs><rect width="800" height="600" fill="url(#dusk)"/>')


def game_over():
    art = dusk()
    for (x, y, r) in [(60, 40, 1.6), (150, 120, 1.2), (250, 30, 1.4), (420, 150, 1.2),
                      (520, 60, 1.5), (90, 160, 1.0), (360, 20, 1.1), (720, 330, 1.2)]:
        art += shapes.star(x, y, r * 3, "#fff6c8", 0.8)
    hills = ("M0,410 C90,380 180,382 260,404 C340,426 420,384 520,388 C620,392 700,420 800,404 "
             "L800,600 L0,600 Z")
    art += path(hills, "#5d7f6a", 2.0, "#3c5a4c")
    art += ground_row()
    # The Great Sky Rabbit looks down from the evening sky.
    art += ('<defs><radialGradient id="rabbitGlow"><stop offset="0.3" stop-color="#ffe9a8" '
            'stop-opacity="0.75"/><stop offset="1" stop-color="#ffe9a8" stop-opacity="0"/>'
            '</radialGradient></defs><circle cx="660" cy="100" r="150" '
            'fill="url(#rabbitGlow)"/>')
    art += place(shapes.cloud(3), 510, -70, 2.3)
    art += panel(-12, 186, 824, 122, 0.86, 14)
    art += on_ground(shapes.hopling(0), 120, 1.6)
    art += on_ground(shapes.spent_jumper(), 300, 1.0)
    art += on_ground(shapes.points100(), 380, 1.0)
    im = artlib.render(art, W, H)
    title(im, "Game Over", (40, 96), 70, anchor="lm")
    return im


def loading():
    art = shapes.sky() + ground_row()
    art += place(shapes.cloud(2), 80, 40, 1.2)
    art += place(shapes.cloud(0), 560, 160, 1.0)
    art += on_ground(shapes.hopling(0), 304, 3.0)
    im = artlib.render(art, W, H)
    title(im, "Pyrokettle", (400, 92), 88)
    artlib.text(im, (400, 530), "Heating the kettle...", TITLE_FONT, 34, anchor="mm",
                stroke=3, shadow=2)
    return im
