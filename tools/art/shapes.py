"""SVG fragments for every character, object and piece of scenery.

Each function returns SVG markup in its own box (64 x 64 for sprites, 128 x 128 for clouds
and the ground tile, 800 x 600 for the sky), so the same drawing serves as a sprite and,
scaled and translated, inside the full-screen pictures. Characters face right, the way the
hopling flies; objects face left, towards it.
"""

import math

from artlib import (BRASS, COPPER, COPPER_DARK, CREAM, CREAM_SHADE, DIRT, DIRT_DARK,
                    FLAME_CORE, FLAME_EDGE, FLAME_MID, GOLD, GOLD_DARK, GRASS, GRASS_DARK,
                    GRASS_LIGHT, LINE, OUTLINE, PEBBLE, PINK, SKY_LOW, SKY_TOP, STEAM)


def _f(v):
    return f"{v:.2f}".rstrip("0").rstrip(".")


def stroke(lw=LINE, colour=OUTLINE):
    return (f'stroke="{colour}" stroke-width="{_f(lw)}" stroke-linejoin="round" '
            'stroke-linecap="round"')


def path(d, fill, lw=LINE, colour=OUTLINE, extra=""):
    s = stroke(lw, colour) if lw else 'stroke="none"'
    return f'<path d="{d}" fill="{fill}" {s} {extra}/>'


def ellipse(cx, cy, rx, ry, fill, lw=LINE, colour=OUTLINE, extra=""):
    s = stroke(lw, colour) if lw else 'stroke="none"'
    return (f'<ellipse cx="{_f(cx)}" cy="{_f(cy)}" rx="{_f(rx)}" ry="{_f(ry)}" '
            f'fill="{fill}" {s} {extra}/>')


def circle(cx, cy, r, fill, lw=LINE, colour=OUTLINE, extra=""):
    return ellipse(cx, cy, r, r, fill, lw, colour, extra)


def line(d, colour, width, extra=""):
    """An open stroke, drawn as a dark outline with the colour inside it."""
    return (f'<path d="{d}" fill="none" {stroke(width + 2 * LINE)} {extra}/>'
            f'<path d="{d}" fill="none" {stroke(width, colour)} {extra}/>')


def group(body, transform):
    return f'<g transform="{transform}">{body}</g>'


def place(body, x, y, scale=1.0):
    return group(body, f"translate({_f(x)},{_f(y)}) scale({_f(scale)})")


def star(cx, cy, r, fill, lw=1.4, points=4, inner=0.38):
    pts = []
    for i in range(points * 2):
        a = math.pi * i / points - math.pi / 2
        rr = r if i % 2 == 0 else r * inner
        pts.append(f"{_f(cx + rr * math.cos(a))},{_f(cy + rr * math.sin(a))}")
    return path("M" + " L".join(pts) + " Z", fill, lw)


def flame(x, y, length, width, angle):
    """A three-layer flame whose base is at (x, y), pointing down, turned by `angle`."""
    def drop(L, w):
        return (f"M{_f(-w / 2)},0 Q{_f(-w / 2)},{_f(L * 0.55)} 0,{_f(L)} "
                f"Q{_f(w / 2)},{_f(L * 0.55)} {_f(w / 2)},0 "
                f"Q0,{_f(-w * 0.35)} {_f(-w / 2)},0 Z")
    body = (path(drop(length, width), FLAME_EDGE) +
            path(drop(length * 0.72, width * 0.66), FLAME_MID, 0) +
            path(drop(length * 0.45, width * 0.36), FLAME_CORE, 0))
    return group(body, f"translate({_f(x)},{_f(y)}) rotate({_f(angle)})")


def puff(cx, cy, r, fill=STEAM, lw=1.6, colour="#9fb4d0"):
    return circle(cx, cy, r, fill, lw, colour)


# --- The hopling with its kettle ------------------------------------------------------

def kettle_pack():
    """The kettle strapped to the hopling's back (left side of the body)."""
    handle = "M9.5,31 C9.5,21 21.5,21 21.5,31"
    return (
        line(handle, BRASS, 2.2) +
        path("M5.5,51 C3.5,41 7,33 15.5,33 C24,33 27.5,41 25.5,51 Z", COPPER) +
        path("M8,48 C7,42 9,37 13,35.5", "none", 1.8, "#f08a66") +
        path("M5.8,50.5 L25.2,50.5 L24.5,53.5 L6.5,53.5 Z", COPPER_DARK) +
        ellipse(15.5, 33, 7.5, 2.6, BRASS) +
        circle(15.5, 29.8, 2.2, BRASS)
    )


def hopling(pose):
    """The player: 0 standing, 1 flying, 2 flying high (more fire, ears streaming)."""
    ear_tilt = (0, -38, -62)[pose]
    back_ear = group(ellipse(27, 13, 4.6, 11.5, CREAM) + ellipse(27, 14, 2.2, 8, PINK, 0),
                     f"rotate({_f(-10 + ear_tilt)} 28 24)")
    front_ear = group(ellipse(35, 12, 5, 12.5, CREAM) + ellipse(35, 13, 2.5, 8.8, PINK, 0),
                      f"rotate({_f(10 + ear_tilt)} 34 24)")
    strap = line("M21.5,26.5 Q28,41 21.5,56.5", "#7a4a2a", 3.2)
    body = ellipse(32, 41, 18, 17, CREAM)
    shade = path("M16,45 C18,54 26,58 34,58 C24,56 18,52 16,45 Z", CREAM_SHADE, 0)
    belly = ellipse(39, 47, 8.5, 7.5, "#fffaf2", 0)
    if pose == 2:
        eye = path("M37.5,37.5 Q40.5,33 43.5,37.5", "none", 2.2)
        mouth = path("M43.5,44 Q47,50.5 50.2,43.5 Z", "#c2364a", 1.6)
    else:
        eye = (ellipse(40.5, 37, 2.9, 3.7, OUTLINE, 0) +
               circle(41.4, 35.6, 1.15, "#ffffff", 0))
        mouth = path("M44.5,44.5 Q46.5,46.8 48.5,44.5", "none", 1.5)
    face = (eye + ellipse(44.5, 43.5, 3.4, 2.1, PINK, 0, extra='opacity="0.75"') +
            ellipse(49.2, 40.3, 1.9, 1.5, PINK, 1.3) + mouth)
    feet = ellipse(25, 59, 6, 3.3, CREAM) + ellipse(39, 59, 6.5, 3.3, CREAM)
    if pose:
        feet = (group(ellipse(25, 58.5, 6, 3.3, CREAM), "rotate(-25 25 58.5)") +
                group(ellipse(39, 58.5, 6.5, 3.3, CREAM), "rotate(-25 39 58.5)"))
    figure = back_ear + feet + body + shade + belly + strap + front_ear + face
    figure += kettle_pack()
    if pose == 0:
        # Idle: the kettle simmers.
        wisp = puff(8, 24, 3.2) + puff(4.8, 18.5, 2.4) + puff(7, 13.5, 1.7)
        return figure + wisp
    # In the air the kettle becomes a rocket: fire out of its base, body tipped forward.
    tilt = (0, -10, -16)[pose]
    length = (0, 17, 25)[pose]
    fire = flame(15.5, 53, length, 11 if pose == 1 else 13, 28)
    extra = ""
    if pose == 2:
        extra = (star(4, 46, 3.2, FLAME_CORE, 1.1) + star(13, 62 - 1.5, 2.4, FLAME_MID, 1.0) +
                 puff(3, 60, 2.2))
    scale = 0.86 if pose == 1 else 0.8
    moved = group(fire + figure, f"translate(40 26) rotate({tilt}) scale({scale}) "
                  "translate(-36 -30)")
    return moved + extra


# --- Points: prawns -------------------------------------------------------------------

PRAWN_SEGMENTS = [(51, 45, 5.4), (46.5, 39.3, 6.4), (40, 35.4, 7.4), (32, 34.5, 8.4),
                  (24.5, 37, 9.2)]


def prawn(body, shade, scale, crown=False, glow=False, sparkles=0):
    parts = []
    for (x1, x2) in ((22, 19), (29, 27), (35, 34), (41, 41)):
        parts.append(line(f"M{x1},46 L{x2},55", shade, 1.6))
    parts.append(path("M51,48 L47.5,58.5 Q54,60.5 58.5,57 Z", shade))
    parts.append(path("M53,47.5 L56.5,58 Q61,56 61.5,51 Z", body))
    for (x, y, r) in PRAWN_SEGMENTS:
        parts.append(circle(x, y, r, body))
        parts.append(ellipse(x + r * 0.1, y - r * 0.45, r * 0.45, r * 0.22, "#ffffff", 0,
                             extra='opacity="0.55"'))
    # Head and carapace.
    parts.append(path("M25,33 C17,30 8,36 9,44 C10,51 19,54 26,51 C31,47 31,37 25,33 Z",
                      body))
    parts.append(path("M14,48.5 C17,51 21,51.5 24,50", "none", 1.4))
    parts.append(line("M11,38 C5,30 3,22 6,14", shade, 1.2))
    parts.append(line("M13,36 C11,26 14,18 20,13", shade, 1.2))
    parts.append(path("M10,43 L3,42 L9.5,40.5", body, 1.6))
    parts.append(circle(15.5, 38.5, 3.1, "#ffffff", 1.5))
    parts.append(circle(14.7, 38.6, 1.7, OUTLINE, 0))
    parts.append(ellipse(20, 45.5, 2.8, 1.7, PINK, 0, extra='opacity="0.8"'))
    for (x, y) in ((20, 51), (26, 50)):
        parts.append(line(f"M{x},{y} L{x - 1},{y + 10}", shade, 1.4))
    if crown:
        parts.append(path("M12,31 L10.5,20 L15.5,25 L19,17 L22.5,25 L27.5,20 L26,31 Z",
                          GOLD, 1.8))
        parts.append(circle(19, 27.5, 2, "#e23a4f", 1.1))
        parts.append(circle(10.5, 19.5, 1.4, "#fff6c0", 1.0))
        parts.append(circle(27.5, 19.5, 1.4, "#fff6c0", 1.0))
        parts.append(circle(19, 16.5, 1.4, "#fff6c0", 1.0))
    figure = "".join(parts)
    out = ""
    if glow:
        out += ('<defs><radialGradient id="royalGlow"><stop offset="0" stop-color="#fff3a0" '
                'stop-opacity="0.6"/><stop offset="1" stop-color="#fff3a0" '
                'stop-opacity="0"/></radialGradient></defs>'
                '<circle cx="30" cy="38" r="30" fill="url(#royalGlow)"/>')
    out += group(figure, f"translate(32 63) scale({_f(scale)}) translate(-32 -62)")
    spots = [(52, 10, 5.5), (7, 26, 3.8), (57, 30, 3.2), (44, 5, 2.8)][:sparkles]
    for (x, y, r) in spots:
        out += star(x, y, r, "#fffbe0", 1.2)
    return out


def points100():
    return prawn("#ff8f7e", "#e15f52", 0.62)


def points500():
    return prawn(GOLD, GOLD_DARK, 0.8, sparkles=1)


def points1000():
    return prawn("#ffd84a", "#e88a12", 0.96, crown=True, glow=True, sparkles=4)


# --- Penalty: a rotten fish -----------------------------------------------------------

def rotten_fish():
    body = ("M5,50 C9,40 18,38 24,40 Q28,44 33,40 Q37,36 42,40 C46,42 49,45 51,47 "
            "L61,39 L59,50 L61,61 L51,54 C44,61 26,63 14,60 C8,58 4,54 5,50 Z")
    parts = [
        line("M17,35 C13,31 20,28 16,23 C13,20 18,17 16,14", "#a6d94a", 1.6),
        line("M31,33 C27,29 34,26 30,21 C27,18 32,15 30,11", "#a6d94a", 1.6),
        line("M45,36 C41,32 48,29 44,24 C41,21 46,18 44,15", "#a6d94a", 1.6),
        path(body, "#9aac6e"),
        path("M8,54 C18,61 40,61 50,54 C40,57 20,58 8,54 Z", "#c9d49c", 0),
        # The bite shows the ribs.
        path("M24,40.5 Q28,48 33,40.5 Q37.5,36.5 42,40.5 Q36,49 24,40.5 Z", "#5a3a4a", 1.6),
        line("M27,43 L27.5,47", "#f4ecd8", 1.2),
        line("M31,43.5 L31.5,48", "#f4ecd8", 1.2),
        line("M35,43 L35.3,47.5", "#f4ecd8", 1.2),
        line("M39,42 L38.8,46", "#f4ecd8", 1.2),
        circle(44, 53, 2.6, "#7b6a3a", 0),
        circle(22, 55, 2, "#7b6a3a", 0),
        path("M11,45.5 L16,50.5 M16,45.5 L11,50.5", "none", 2.0),
        path("M5.5,53 Q8.5,51 10,54", "none", 1.6),
        path("M52,47 L56,43 M52,53 L56,56", "none", 1.2),
    ]
    fly = (ellipse(0, 0, 2.4, 2, OUTLINE, 0) +
           ellipse(-1.8, -2.6, 2.2, 1.3, "#e8f4ff", 0.9) +
           ellipse(1.8, -2.6, 2.2, 1.3, "#e8f4ff", 0.9))
    parts.append(place(fly, 8, 30))
    parts.append(place(fly, 55, 24))
    parts.append(place(fly, 38, 12))
    return "".join(parts)


# --- Jumper: a grumpy spring-legged frog --------------------------------------------------

FROG = "#3f7fe0"
FROG_DARK = "#24539e"
FROG_BELLY = "#a9d6ff"
SPENT = "#8aa3cf"
SPENT_DARK = "#5e76a6"


def spring(top, bottom, squash=1.0):
    coils = []
    n = 5
    step = (bottom - top) / n
    for i in range(n):
        y = top + step * (i + 0.5)
        coils.append(ellipse(32, y, 8, 2.6 * squash, "none", 2.0 + 2 * LINE, OUTLINE))
    for i in range(n):
        y = top + step * (i + 0.5)
        coils.append(ellipse(32, y, 8, 2.6 * squash, "none", 2.0, "#c4ccd8"))
    return "".join(coils)


def frog(spent):
    skin, dark = (SPENT, SPENT_DARK) if spent else (FROG, FROG_DARK)
    parts = []
    if spent:
        parts.append(spring(51, 59, 0.6))
    else:
        parts.append(spring(41, 59))
    parts.append(path("M19,58.5 L45,58.5 L44,62.5 L20,62.5 Z", "#6a7282", 1.8))
    body_dy = 10 if spent else 0
    b = []
    b.append(ellipse(32, 31, 22, 14.5, skin))
    b.append(ellipse(32, 36, 13, 8, FROG_BELLY, 0))
    b.append(circle(18, 27, 2.2, dark, 0))
    b.append(circle(47, 26, 1.8, dark, 0))
    b.append(circle(40, 40, 1.6, dark, 0))
    b.append(circle(22, 17, 7.2, skin))
    b.append(circle(42, 17, 7.2, skin))
    b.append(ellipse(11, 41, 5, 3, skin))
    b.append(ellipse(53, 41, 5, 3, skin))
    if spent:
        for cx in (22, 42):
            b.append(circle(cx, 17, 4.8, "#ffffff", 1.2))
            b.append(path(f"M{cx},17 m0,-0.8 a0.8,0.8 0 1,1 -0.1,0 "
                          f"M{cx},17 m-2.6,0 a2.6,2.6 0 1,1 2.6,2.6", "none", 1.2))
        b.append(path("M22,33 Q32,29 42,33", "none", 1.8))
        b.append(path("M33,32 Q34,40 38,39 Q40,36 37,31.5 Z", "#ff7d92", 1.5))
    else:
        for cx in (22, 42):
            b.append(circle(cx, 18, 4.8, "#ffffff", 1.2))
            b.append(circle(cx + (2 if cx < 32 else -2), 19, 2.3, "#d8262f", 0))
            b.append(circle(cx + (2 if cx < 32 else -2), 19, 1.1, OUTLINE, 0))
        b.append(path("M14,11 L28,15", "none", 3.2))
        b.append(path("M50,11 L36,15", "none", 3.2))
        b.append(path("M19,35 Q32,27 45,35", "none", 2.2))
        b.append(path("M27.5,31.2 L29.5,35.2 L31.2,30.5 Z", "#ffffff", 1.2))
    body = "".join(b)
    if spent:
        body = group(body, f"translate(0 {body_dy}) rotate(10 32 34)")
        body += ellipse(32, 8, 16, 4, "none", 1.0, "#ffe27a",
                        extra='stroke-dasharray="3 3" opacity="0.9"')
        body += star(17, 8, 4.6, "#ffe45c", 1.2, 5, 0.45)
        body += star(44, 5, 3.8, "#ffe45c", 1.2, 5, 0.45)
        body += star(51, 11, 3.0, "#fff3b0", 1.1, 5, 0.45)
    parts.append(body)
    return "".join(parts)


def jumper():
    return frog(False)


def spent_jumper():
    return frog(True)


# --- Health: a carrot with a heart ----------------------------------------------------

def heart(cx, cy, s, fill="#e8354a"):
    d = (f"M{cx},{cy + 6 * s} C{cx - 9 * s},{cy} {cx - 7 * s},{cy - 7 * s} {cx},{cy - 3 * s} "
         f"C{cx + 7 * s},{cy - 7 * s} {cx + 9 * s},{cy} {cx},{cy + 6 * s} Z")
    return path(d, fill) + ellipse(cx - 3.2 * s, cy - 2.6 * s, 1.6 * s, 1.0 * s, "#ffd0d8",
                                   0, extra=f'transform="rotate(-30 {cx - 3.2 * s} '
                                   f'{cy - 2.6 * s})"')


def carrot():
    leaves = (path("M44,24 C42,14 44,8 47,5 C49,12 49,18 47,24 Z", "#4fb83a") +
              path("M46,25 C49,15 55,11 60,11 C58,18 54,23 48,27 Z", "#62c94a") +
              path("M43,26 C37,19 35,13 36,8 C41,12 44,17 46,24 Z", "#3e9e2e"))
    body = path("M14,61 C12,58 20,44 31,31 C36,25 44,21 49,26 C54,31 50,38 44,43 "
                "C33,52 17,63 14,61 Z", "#ff8c2a")
    marks = (path("M25,44 L30,47", "none", 1.5) + path("M33,35 L37,38.5", "none", 1.5) +
             path("M20,53 L23.5,55", "none", 1.4) +
             path("M38,29 C41,27 44,27 46,28", "none", 1.6, "#ffc48a"))
    return leaves + body + marks + heart(16, 24, 1.45) + star(30, 12, 3.2, "#fffbe0", 1.1)


# --- The menu cursor: a little live kettle -----------------------------------------------

def cursor_kettle():
    handle = "M15,27 C15,9 37,9 37,27"
    return (
        flame(54.5, 27, 9, 8, -115) +
        line(handle, BRASS, 3) +
        path("M38,45 L42,36 L54.5,24.5 L57.5,29 L44,46 Z", COPPER) +
        path("M9,52 C6,38 13,26 26,26 C39,26 46,38 43,52 Z", COPPER) +
        path("M13,47 C12,39 15,33 20,30", "none", 2.0, "#f08a66") +
        path("M9.5,51.5 L42.5,51.5 L41.5,56 L10.5,56 Z", COPPER_DARK) +
        ellipse(26, 26, 10, 3.2, BRASS) +
        circle(26, 21.5, 3, BRASS) +
        ellipse(22, 39, 2.3, 3, OUTLINE, 0) + ellipse(32, 39, 2.3, 3, OUTLINE, 0) +
        circle(22.7, 37.8, 0.9, "#ffffff", 0) + circle(32.7, 37.8, 0.9, "#ffffff", 0) +
        path("M23,44.5 Q27,48 31,44.5", "none", 1.6)
    )


# --- Clouds ---------------------------------------------------------------------------

CLOUD_EDGE = "#8fb0d8"
CLOUD_SHADE = "#dce9f8"


def cloud_from(circles, ellipses=()):
    outline = "".join(circle(x, y, r, CLOUD_EDGE, 3.0, CLOUD_EDGE) for x, y, r in circles)
    outline += "".join(group(ellipse(0, 0, rx, ry, CLOUD_EDGE, 3.0, CLOUD_EDGE),
                             f"translate({x} {y}) rotate({a})") for x, y, rx, ry, a in ellipses)
    fill = "".join(circle(x, y, r, CLOUD_SHADE, 0) for x, y, r in circles)
    fill += "".join(group(ellipse(0, 0, rx, ry, CLOUD_SHADE, 0),
                          f"translate({x} {y}) rotate({a})") for x, y, rx, ry, a in ellipses)
    light = "".join(circle(x - r * 0.12, y - r * 0.16, r * 0.8, "#ffffff", 0)
                    for x, y, r in circles)
    light += "".join(group(ellipse(0, -1, rx * 0.7, ry * 0.8, "#ffffff", 0),
                           f"translate({x} {y}) rotate({a})") for x, y, rx, ry, a in ellipses)
    return outline + fill + light


def cloud(kind):
    shapes = [
        [(36, 72, 20), (60, 60, 27), (88, 70, 22), (64, 82, 20), (108, 80, 13),
         (20, 84, 12)],
        [(30, 64, 18), (52, 52, 22), (78, 56, 20), (98, 68, 17), (64, 74, 18),
         (42, 76, 14), (14, 72, 10)],
        [(44, 70, 26), (80, 66, 30), (60, 86, 18), (102, 84, 14), (20, 86, 13)],
    ]
    if kind < 3:
        return cloud_from(shapes[kind])
    # The fourth cloud is a small sky rabbit, keeping an eye on things.
    body = [(56, 84, 24), (34, 90, 14), (80, 90, 14), (86, 64, 18), (22, 80, 9)]
    ears = [(80, 36, 6.5, 17, -14), (95, 38, 6.5, 17, 14)]
    art = cloud_from(body, ears)
    art += ellipse(91, 62, 2.2, 2.8, "#7d9cc6", 0) + ellipse(101, 69, 2, 1.5, "#f5b8c8", 0)
    return art


# --- Ground tile and sky ------------------------------------------------------------------

# The game draws the ground tile with its top edge on the ground line, after the objects
# standing there and before the player, whose 64-pixel boxes also start on that line. So
# the tile is see-through at the top and its grass surface lies where their feet are.
SURFACE = 61          # tile row the feet stand on
TILE = 128


def _wave(x, base, amp, periods, phase=0.0):
    return base + amp * math.sin(x / TILE * periods * 2 * math.pi + phase)


def _wrap(frag, width=TILE):
    return "".join(place(frag, dx, 0) for dx in (-width, 0, width))


def tuft(x, base, height, lean=0.0, light=False):
    """A clump of three grass blades rising from (x, base)."""
    blades = ""
    for dx, h, tilt in ((-3, 0.75, -3.2), (3, 0.8, 3.4), (0, 1.0, 0.6)):
        tip_x, tip_y = x + dx + tilt + lean, base - height * h
        root = x + dx
        blades += path(f"M{_f(root - 2.2)},{_f(base)} Q{_f(root - 0.6 + tilt * 0.3)},"
                       f"{_f(base - height * h * 0.55)} {_f(tip_x)},{_f(tip_y)} "
                       f"Q{_f(root + 1.2 + tilt * 0.4)},{_f(base - height * h * 0.5)} "
                       f"{_f(root + 2.2)},{_f(base)} Z",
                       GRASS_LIGHT if light else GRASS, 1.3, GRASS_DARK)
    return blades


def daisy(x, base, height, petals="#ffffff"):
    stem = path(f"M{_f(x)},{_f(base)} Q{_f(x - 1.5)},{_f(base - height / 2)} "
                f"{_f(x)},{_f(base - height)}", "none", 1.4, GRASS_DARK)
    head = "".join(circle(x + 2.3 * math.cos(a * math.pi / 3), base - height +
                          2.3 * math.sin(a * math.pi / 3), 1.7, petals, 0.9)
                   for a in range(6))
    return stem + head + circle(x, base - height, 1.5, "#ffc93c", 0.8)


def dirt_details(top, bottom):
    """Specks, pebbles and a shell scattered over dirt rows top..bottom, seamless
    left to right (the pattern repeats every 128 pixels)."""
    span = bottom - top

    def at(fy):
        return top + fy * span

    pebbles = "".join(group(ellipse(0, 0, rx, ry, PEBBLE, 1.6), f"translate({x} {_f(at(fy))}) "
                            f"rotate({a})") for x, fy, rx, ry, a in
                      [(18, 0.12, 5, 3.4, 10), (70, 0.2, 4, 2.8, -15), (104, 0.1, 4.5, 3, 5),
                       (44, 0.62, 6, 3.8, -8), (96, 0.72, 4.5, 3.2, 20), (8, 0.86, 3.6, 2.6, 0),
                       (62, 0.9, 3.2, 2.3, 0)])
    shell = group(path("M0,5 C-5,5 -7,-1 -3.5,-4.5 C-1,-7 3.5,-6 5,-2.5 C7,1 5,5 0,5 Z",
                       "#f3e2c4", 1.4) + path("M-1,4 L-2,-3.5 M2,4 L2.6,-2.6", "none", 0.9),
                  f"translate(30 {_f(at(0.4))}) rotate(-20)")
    specks = "".join(circle(x, at(fy), 1.2, DIRT_DARK, 0) for x, fy in
                     [(30, 0.05), (86, 0.04), (52, 0.16), (118, 0.3), (24, 0.3), (80, 0.55),
                      (14, 0.64), (110, 0.5), (36, 0.88), (76, 0.82), (120, 0.93),
                      (58, 0.44)])
    return _wrap(specks + pebbles + shell)


def ground_tile():
    """128 x 128, seamless left to right. Rows above the grass are see-through, the grass
    edge runs along row SURFACE where feet touch, dirt fills the rest. A few tufts and
    daisies stand in front of the surface, over the feet of what stands there."""
    lip = SURFACE - 2.5           # top edge of the grass, just above the feet
    top = f"M-2,{_f(_wave(-2, lip, 0.8, 3))}"
    for i in range(0, TILE + 3, 4):
        top += f" L{i},{_f(_wave(i, lip, 0.8, 3))}"
    grass = top + f" L{TILE + 2},{SURFACE + 10}"
    for i in range(8):
        x0 = TILE - i * 16
        grass += f" Q{x0 - 8},{SURFACE + (15 if i % 2 else 12.5)} {x0 - 16},{SURFACE + 10}"
    grass += " L-2,{} Z".format(SURFACE + 10)
    shine = top
    for i in range(TILE + 2, -3, -4):
        shine += f" L{i},{_f(_wave(i, lip + 3.2, 0.8, 3))}"
    shine += " Z"
    dirt_top = SURFACE + 6
    band = f"M0,{_f(_wave(0, 96, 3.5, 2))}"
    for i in range(0, TILE + 1, 4):
        band += f" L{i},{_f(_wave(i, 96, 3.5, 2))}"
    for i in range(TILE, -1, -4):
        band += f" L{i},{_f(_wave(i, 105, 2.5, 3, 1))}"
    band += " Z"
    front = (tuft(9, SURFACE + 2, 10) + tuft(47, SURFACE + 2.5, 8, 1, True) +
             tuft(83, SURFACE + 2, 11, -1) + tuft(116, SURFACE + 2.5, 7, 0.5, True) +
             daisy(28, SURFACE + 1.5, 9) + daisy(99, SURFACE + 1.5, 7, "#ffd6e0"))
    return (
        f'<rect y="{dirt_top}" width="{TILE}" height="{TILE - dirt_top}" fill="{DIRT}"/>' +
        path(band, DIRT_DARK, 0) +
        dirt_details(SURFACE + 20, TILE - 4) +
        path(grass, GRASS, 2.2, GRASS_DARK) +
        path(shine, GRASS_LIGHT, 0) +
        _wrap(front)
    )


def ground_fill(top, bottom, width):
    """Plain dirt in the ground's colours, for pictures whose ground reaches below a tile."""
    out = f'<rect y="{top}" width="{width}" height="{bottom - top}" fill="{DIRT}"/>'
    for x in range(0, width, TILE):
        out += place(dirt_details(4, bottom - top - 4), x, top)
    return out


def meadow_tree(x, y, s):
    tree = (path("M-3,0 L-3,16 L3,16 L3,0 Z", "#8a5a36", 1.6) +
            circle(0, -6, 13, "#4ea347", 1.8, "#2f6e2c") +
            circle(-4, -10, 5, "#6fc564", 0))
    return place(tree, x, y, s)


def sky(ground=472, sun=True, hills=True):
    """The daytime sky, far mountains with a steaming peak, green hills and a meadow that
    runs down to `ground`, the screen row of the grass surface; below it the ground tile
    is opaque, so the meadow just continues to the bottom."""
    out = ('<defs><linearGradient id="sky" x1="0" y1="0" x2="0" y2="472" '
           'gradientUnits="userSpaceOnUse">'
           f'<stop offset="0" stop-color="{SKY_TOP}"/>'
           f'<stop offset="1" stop-color="{SKY_LOW}"/></linearGradient>'
           '<radialGradient id="sunGlow"><stop offset="0.45" stop-color="#fff6c8" '
           'stop-opacity="0.9"/><stop offset="1" stop-color="#fff6c8" stop-opacity="0"/>'
           '</radialGradient></defs>'
           f'<rect width="800" height="600" fill="url(#sky)"/>')
    if sun:
        out += ('<circle cx="668" cy="118" r="86" fill="url(#sunGlow)"/>' +
                circle(668, 118, 40, "#fff2a6", 2.5, "#f7d774"))
    if not hills:
        return out
    # With a lower ground the landscape sinks part of the way and a meadow fills the rest.
    d = round((ground - 472) * 0.45)
    land = ""
    far = ("M0,330 L70,300 L130,318 L210,262 L270,300 L330,286 L380,305 L450,250 L470,246 "
           "L500,248 L540,296 L610,270 L690,310 L760,282 L800,296 L800,600 L0,600 Z")
    land += path(far, "#a7b6e6", 1.8, "#8c9bd0")
    land += path("M210,262 L232,276 L222,280 L196,274 Z", "#eef2ff", 0)
    land += path("M450,250 L470,246 L500,248 L508,262 L488,258 L470,264 L454,258 L442,262 Z",
                 "#eef2ff", 0)
    for (x, y, r) in [(472, 240, 6), (466, 230, 7.5), (474, 218, 9), (466, 204, 10.5)]:
        land += circle(x, y, r, "#f2f6ff", 1.8, "#a9bce0", extra='opacity="0.85"')
    mid = ("M0,392 C80,352 150,352 230,380 C300,404 360,356 450,352 C540,348 590,392 660,380 "
           "C720,370 760,356 800,360 L800,600 L0,600 Z")
    land += path(mid, "#8fd18a", 2.0, "#5f9f5c")
    for (x, y, s) in [(160, 370, 0.6), (610, 372, 0.65)]:
        land += meadow_tree(x, y, s)
    near = ("M0,440 C60,418 120,416 190,432 C260,448 320,412 400,414 C480,416 520,446 600,438 "
            "C680,430 720,414 800,420 L800,600 L0,600 Z")
    land += path(near, "#66b95c", 2.0, "#3f8a3a")
    for (x, y, s) in [(96, 420, 1.0), (300, 418, 0.8), (520, 430, 1.1), (730, 418, 0.9)]:
        land += meadow_tree(x, y, s)
    out += place(land, 0, d)
    if ground - 472 >= 30:
        out += meadow(460 + d, ground)
    return out


def meadow(top, ground):
    """A flowery field from row `top` (its far edge) down to the ground surface."""
    edge = f"M0,{top + 8}"
    for x in range(0, 801, 20):
        edge += f" L{x},{_f(top + 6 + 5 * math.sin(x / 800 * 5 * math.pi + 0.7))}"
    edge += " L800,600 L0,600 Z"
    out = ('<defs><linearGradient id="meadow" x1="0" y1="0" x2="0" '
           f'y2="{ground}" gradientUnits="userSpaceOnUse">'
           f'<stop offset="{_f((top) / ground)}" stop-color="#a2da6c"/>'
           '<stop offset="1" stop-color="#84c957"/></linearGradient></defs>')
    out += path(edge, "url(#meadow)", 2.0, "#3f8a3a")
    # Bushes along the far edge, then tufts and flowers, larger as they come nearer.
    for (x, s) in [(40, 0.9), (250, 0.7), (455, 1.0), (640, 0.8)]:
        y = top + 8 + 5 * math.sin(x / 800 * 5 * math.pi + 0.7)
        bush = (circle(-9, 0, 8, "#4ea347", 1.6, "#2f6e2c") +
                circle(9, 0, 8, "#4ea347", 1.6, "#2f6e2c") +
                circle(0, -5, 10, "#5cb34f", 1.6, "#2f6e2c") + circle(-3, -8, 4, "#7fd06a", 0))
        out += place(bush, x, y, s)
    span = ground - top - 14
    n = 0
    for row in range(5):
        k = (row + 0.5) / 5
        y = top + 16 + span * k
        scale = 0.45 + 0.55 * k
        for col in range(9):
            x = (col * 97 + row * 53 + (n * 37) % 29) % 800
            n += 1
            if n % 3 == 0:
                colour = ("#ffffff", "#ffe066", "#ffb3c7")[n % 3 if n % 9 else 1]
                out += place(daisy(0, 0, 6, colour), x, y, scale)
            else:
                out += place(path("M-4,0 L-2,-6 L0,0 L2,-7 L4,0", "none", 1.6, "#4f9e40"),
                             x, y, scale)
    return out
