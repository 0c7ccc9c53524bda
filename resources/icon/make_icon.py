#!/usr/bin/env python3
"""Draws Ombrix's icon, resources/icon/ombrix.ico: three share bars of
falling length on a dark rounded tile, the picture the window's rankings
show. Each size is drawn on its own pixel grid, so the 16 and 32 pixel
images stay crisp instead of being a blurred scale-down of the large one.

Run it after changing the design and commit the .ico with it; the build
only compiles the committed file. Needs ImageMagick 6 (imagemagick)."""
import pathlib
import shutil
import subprocess
import sys
import tempfile

SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
TILE = "#1F2937"
TILE_EDGE = "#4B5563"
TRACK = "#374151"
# (fraction of the track filled, colour), top to bottom.
BARS = ((1.0, "#4ADE80"), (0.66, "#2DD4BF"), (0.40, "#FBBF24"))


def draw_commands(size):
    """ImageMagick -draw primitives for one size, every edge on a whole
    pixel."""
    unit = size / 16.0
    radius = max(2, round(3 * unit))
    last = size - 1
    commands = [
        "fill %s stroke %s stroke-width %d roundrectangle 0,0 %d,%d %d,%d"
        % (TILE, TILE_EDGE, max(1, round(unit / 2)), last, last, radius, radius)
    ]
    left = round(3 * unit)
    right = size - round(3 * unit) - 1
    height = max(2, round(2 * unit))
    gap = max(2, round(2 * unit))
    top = (size - (3 * height + 2 * gap)) // 2
    for index, (share, colour) in enumerate(BARS):
        y0 = top + index * (height + gap)
        y1 = y0 + height - 1
        commands.append("fill %s stroke none rectangle %d,%d %d,%d" % (TRACK, left, y0, right, y1))
        filled_right = left + max(1, round((right - left + 1) * share)) - 1
        commands.append("fill %s rectangle %d,%d %d,%d" % (colour, left, y0, filled_right, y1))
    return commands


def main():
    convert = shutil.which("convert", path="/usr/bin")
    if convert is None:
        sys.exit("make_icon: ImageMagick's /usr/bin/convert is missing (apt-get install imagemagick)")
    out = pathlib.Path(__file__).resolve().parent / "ombrix.ico"
    with tempfile.TemporaryDirectory() as scratch:
        images = []
        for size in SIZES:
            image = pathlib.Path(scratch) / ("icon-%d.png" % size)
            command = [convert, "-size", "%dx%d" % (size, size), "xc:none", "+antialias"]
            if size >= 32:
                command.remove("+antialias")
            for primitive in draw_commands(size):
                command += ["-draw", primitive]
            subprocess.run(command + ["PNG32:%s" % image], check=True)
            images.append(str(image))
        subprocess.run([convert] + images + ["-depth", "8", str(out)], check=True)
    print(out)


if __name__ == "__main__":
    main()
