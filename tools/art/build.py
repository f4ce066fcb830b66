"""Writes every picture and the bitmap font into OUTDIR (default: the repository's media/),
and the desktop icons into PACKAGINGDIR (default: the repository's packaging/).

    /usr/bin/python3 tools/art/build.py [OUTDIR [PACKAGINGDIR]]
"""

import os
import sys

import bitmapfont
import icons
import sprites


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "media")
    packaging = sys.argv[2] if len(sys.argv) > 2 else os.path.join(here, "..", "..", "packaging")
    sprites.write(outdir)
    bitmapfont.write(outdir)
    icons.write(packaging)


if __name__ == "__main__":
    main()
