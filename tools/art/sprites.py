"""Writes sprites/0.png .. 23.png: the play-screen pieces and the full-screen pictures."""

import os

import artlib
import screens
import shapes

GROUND_LINE = 472   # the screen row the game puts the top of the ground tiles on


def sprite(frag, size):
    return artlib.bleed(artlib.render(frag, size, size))


def tiny(colour):
    """Ids 16 and 17 are loaded but never shown: a small valid picture each."""
    return artlib.render(shapes.circle(4, 4, 3, colour, 1.0), 8, 8)


def build_all():
    """Every sprite by id, as RGBA images."""
    pics = {
        # The game's ground row starts at screen row 472, so its grass is at 472 + SURFACE.
        0: artlib.render(shapes.sky(ground=GROUND_LINE + shapes.SURFACE), 800, 600),
        5: artlib.bleed(artlib.render(shapes.ground_tile(), 128, 128)),
        9: sprite(shapes.points100(), 64),
        10: sprite(shapes.points500(), 64),
        11: sprite(shapes.points1000(), 64),
        12: sprite(shapes.rotten_fish(), 64),
        13: sprite(shapes.jumper(), 64),
        14: sprite(shapes.spent_jumper(), 64),
        15: sprite(shapes.carrot(), 64),
        16: artlib.bleed(tiny(artlib.FLAME_MID)),
        17: artlib.bleed(tiny(artlib.STEAM)),
        19: sprite(shapes.cursor_kettle(), 64),
    }
    for kind in range(4):
        pics[1 + kind] = sprite(shapes.cloud(kind), 128)
    for pose in range(3):
        pics[6 + pose] = sprite(shapes.hopling(pose), 64)
    pics[18] = screens.menu()
    pics[20] = screens.info()
    pics[21] = screens.high_scores()
    pics[22] = screens.game_over()
    pics[23] = screens.loading()
    return pics


def write(outdir):
    folder = os.path.join(outdir, "sprites")
    os.makedirs(folder, exist_ok=True)
    for sid, im in sorted(build_all().items()):
        artlib.check_no_magenta(im, f"sprite {sid}")
        if im.getextrema()[3] == (255, 255):
            im = im.convert("RGB")   # fully opaque: no alpha channel needed
        artlib.save_png(im, os.path.join(folder, f"{sid}.png"))
