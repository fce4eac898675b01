#!/usr/bin/env python3
"""Draws the application icon from icon.txt: icons/tessellane.svg and
icons/NxN.png for every size the desktops ask for. The results are committed,
so the build needs no image tools; run this again after editing icon.txt."""
import pathlib
import re
import struct
import zlib

HERE = pathlib.Path(__file__).resolve().parent
# Whole multiples of the 16-pixel art only: a fractional scale would make the
# pixels uneven, and desktops scale the SVG for the sizes in between.
SIZES = (16, 32, 48, 64, 128, 256)


def read_art(path):
    colours, rows = {}, []
    for line in path.read_text().splitlines():
        if not line or line.startswith("#"):
            continue
        if " " in line:
            char, rgb = line.split()
            colours[char] = tuple(int(rgb[i:i + 2], 16) for i in (1, 3, 5))
        else:
            rows.append(line)
    return colours, rows


def svg(colours, rows):
    # One path a colour, one rectangle a run of pixels in a row; crispEdges
    # keeps the seams between them sharp.
    paths = []
    for char, (r, g, b) in colours.items():
        runs = "".join(f"M{m.start()} {y}h{len(m.group())}v1h-{len(m.group())}z"
                       for y, row in enumerate(rows)
                       for m in re.finditer(re.escape(char) + "+", row))
        paths.append(f'  <path fill="#{r:02x}{g:02x}{b:02x}" d="{runs}"/>')
    size = len(rows)
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{size}" height="{size}" '
            f'viewBox="0 0 {size} {size}" shape-rendering="crispEdges">\n'
            + "\n".join(paths) + "\n</svg>\n")


def png(colours, rows, size):
    scale = size // len(rows)
    lines = []
    for row in rows:
        pixels = b"".join(bytes(colours[c] + (255,)) if c in colours else bytes(4)
                          for c in row for _ in range(scale))
        lines += [b"\0" + pixels] * scale

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(b"".join(lines), 9)) + chunk(b"IEND", b""))


def main():
    colours, rows = read_art(HERE / "icon.txt")
    out = HERE / "icons"
    out.mkdir(exist_ok=True)
    (out / "tessellane.svg").write_text(svg(colours, rows))
    for size in SIZES:
        (out / f"{size}x{size}.png").write_bytes(png(colours, rows, size))


if __name__ == "__main__":
    main()
