"""Composes what a player sees from the built media, for looking at by eye.

    /usr/bin/python3 tools/art/preview.py [MEDIADIR] [OUTDIR]

MEDIADIR defaults to the repository's media/, OUTDIR to /tmp/pyrokettle-preview. Pictures
are placed at the sizes and positions the game draws them, and text is laid out glyph by
glyph from font.fnt the way the game prints it (white, pen at the top of the line).
"""

import os
import sys

from PIL import Image


class Font:
    def __init__(self, media):
        self.page = Image.open(os.path.join(media, "font.png")).convert("RGBA")
        self.glyphs = {}
        with open(os.path.join(media, "font.fnt"), encoding="ascii") as fh:
            lines = fh.read().split("\n")
        for ln in lines[2:]:
            if not ln.startswith("char "):
                continue
            v = [int(w.split("=", 1)[1]) for w in ln.split()[1:]]
            self.glyphs[v[0]] = v[1:]

    def print(self, im, s, x, y):
        pen = x
        for ch in s:
            g = self.glyphs.get(ord(ch))
            if g is None:
                continue
            gx, gy, w, h, xo, yo, adv = g[:7]
            if w and h:
                im.alpha_composite(self.page.crop((gx, gy, gx + w, gy + h)),
                                   (pen + xo, y + yo))
            pen += adv


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    media = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "media")
    out = sys.argv[2] if len(sys.argv) > 2 else "/tmp/pyrokettle-preview"
    os.makedirs(out, exist_ok=True)
    spr = {}

    def sprite(i, size):
        key = (i, size)
        if key not in spr:
            spr[key] = Image.open(os.path.join(media, "sprites", f"{i}.png")).convert(
                "RGBA").resize(size, Image.BILINEAR)
        return spr[key]

    def screen():
        return Image.new("RGBA", (800, 600), (0, 0, 0, 255))

    def draw(im, i, x, y, w, h):
        im.alpha_composite(sprite(i, (w, h)), (x, y)) if x >= 0 and y >= 0 else \
            im.paste(sprite(i, (w, h)), (x, y), sprite(i, (w, h)))

    font = Font(media)

    menu = screen()
    draw(menu, 18, 0, 0, 800, 600)
    draw(menu, 19, 7, 177, 64, 64)
    menu.save(os.path.join(out, "menu.png"))

    info = screen()
    draw(info, 20, 0, 0, 800, 600)
    info.save(os.path.join(out, "info.png"))

    # The play screen at the game's own positions: tiles and boxes of standing sprites
    # start on the ground line; the ground row is drawn after the objects, before the
    # player. An object at height h has its top at GROUND - h; the player at
    # GROUND + playerHeight (0 on the ground, negative in the air).
    ground = 472
    play = screen()
    draw(play, 0, 0, 0, 800, 600)
    for kind, x, y in ((0, 20, 10), (1, 260, 40), (2, 480, 0), (3, 690, 30)):
        draw(play, kind + 1, x, y, 128, 128)
    heights = {4: 150}          # the springfrog in the middle of a leap
    for n, kind in enumerate(range(7)):
        draw(play, kind + 9, 225 + 72 * n, ground - heights.get(kind, 0), 64, 64)
    draw(play, 13, 730, ground, 64, 64)        # another springfrog, still waiting
    for x in range(-128 + -37, 800 + 128, 128):
        draw(play, 5, x, ground, 128, 128)
    # The game keeps the player at x 133; the two flying poses are shown beside it.
    for pose, x, player_height in ((0, 133, 0), (1, 40, -230), (2, 330, -472)):
        draw(play, 6 + pose, x, ground + player_height, 64, 64)
    font.print(play, " Prawnage: 12345", 0, 0)
    font.print(play, " Health: 100", 0, 45)
    play.save(os.path.join(out, "play.png"))

    entry = screen()
    draw(entry, 22, 0, 0, 800, 600)
    font.print(entry, "Final Score: 12345", 200, 200)
    font.print(entry, "The Great Sky Rabbit deems you worthy.  Enter your name.", 10, 235)
    font.print(entry, "hopling42_", 200, 270)
    entry.save(os.path.join(out, "name-entry.png"))

    scores = screen()
    draw(scores, 21, 0, 0, 800, 600)
    names = ["anonymous", "hopling", "prawnmaster", "zz", "kettle9", "a" * 31, "wwwwwwwwwwww",
             "q", "skyrabbit", "rusty"]
    for i, name in enumerate(names):
        font.print(scores, "%32s   %f" % (name, 98765 - 4321 * i - (750 if i == 9 else 0)),
                   50, 120 + 25 * i)
    scores.save(os.path.join(out, "high-scores.png"))

    loading = screen()
    draw(loading, 23, 0, 0, 800, 600)
    loading.save(os.path.join(out, "loading.png"))
    print(f"previews in {out}")


if __name__ == "__main__":
    main()
