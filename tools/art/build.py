"""Writes every picture and the bitmap font into OUTDIR (default: the repository's media/).

    /usr/bin/python3 tools/art/build.py [OUTDIR]
"""

import os
import sys

import bitmapfont
import sprites


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    outdir = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "media")
    sprites.write(outdir)
    bitmapfont.write(outdir)


if __name__ == "__main__":
    main()
