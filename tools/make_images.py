#!/usr/bin/env python3
"""Draws Wendlock's images and writes them as Windows resource files.

    python3 tools/make_images.py [--preview DIR]

Writes into src/platform/win32/res/:
  magnet.ico  the tray icon: a red horseshoe magnet, 32x32 and 16x16, 16 colours
  form.ico    the window icon: a message box held by the magnet, 32x32, 16 colours
  finder.cur  the finder tool: a pointing hand over a dashed rectangle, 32x32,
              monochrome, hot spot at the fingertip
  logo.bmp    the maker's logo: a stylised "Z" on silver, 46x46, 256 colours

The generated files are committed, so building needs no Python. With
--preview DIR, PNG enlargements of every image are written there as well.
Standard library only.
"""

import argparse
import math
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "src", "platform", "win32", "res")

# The 16-colour palette of the Windows icons (the standard VGA order).
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, NAVY, SILVER, GREY, RED, YELLOW, BLUE, WHITE = 0, 1, 4, 7, 8, 9, 11, 12, 15
CLEAR = None  # transparent pixel


# ---------------------------------------------------------------------------
# Drawing: images are lists of rows of palette indexes (or CLEAR).

def blank(width, height, fill=CLEAR):
    return [[fill] * width for _ in range(height)]


def inside_magnet(x, y, size):
    """The horseshoe: a half ring at the bottom and two arms, opening upwards."""
    s = size / 32.0
    cx, cy = 16 * s, 17 * s
    outer, inner = 13 * s, 5.5 * s
    top = 2 * s
    if y >= cy:
        d = math.hypot(x - cx, y - cy)
        return inner <= d <= outer
    if y < top:
        return False
    return cx - outer <= x <= cx - inner or cx + inner <= x <= cx + outer


def magnet_region(x, y, size):
    """Which part of the magnet the point is in: 'pole', 'body' or None."""
    if not inside_magnet(x, y, size):
        return None
    pole_end = size * 8.5 / 32.0
    return "pole" if y < pole_end else "body"


def draw_magnet(size, offset=(0, 0), image=None, scale_to=None):
    """A magnet of `size` pixels, drawn into `image` at `offset`."""
    side = scale_to or size
    image = image if image is not None else blank(side, side)
    ox, oy = offset
    region = {}
    for y in range(size):
        for x in range(size):
            # Sample the pixel centre.
            region[(x, y)] = magnet_region(x + 0.5, y + 0.5, size)
    highlight_x = size * 0.22
    for (x, y), part in region.items():
        if part is None:
            continue
        edge = any(region.get((x + dx, y + dy)) is None
                   for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        if edge:
            colour = BLACK
        elif part == "pole":
            colour = WHITE if x < size / 2 else SILVER
            if region.get((x, y + 1)) == "body":
                colour = GREY  # the seam between pole and body
        else:
            # Lit from the upper left: a light streak on the left arm and the
            # left side of the bend, shade on the right.
            colour = RED
            if x >= size * 0.62 or (y > size * 0.75 and x > size * 0.45):
                colour = MAROON
            if abs(x + 0.5 - highlight_x) < max(1, size / 32.0) and y < size * 0.7:
                colour = WHITE if size >= 32 else RED
        px, py = x + ox, y + oy
        if 0 <= px < side and 0 <= py < side:
            image[py][px] = colour
    return image


def draw_rect(image, left, top, right, bottom, colour):
    for y in range(top, bottom):
        for x in range(left, right):
            image[y][x] = colour


def draw_frame(image, left, top, right, bottom, colour):
    for x in range(left, right):
        image[top][x] = colour
        image[bottom - 1][x] = colour
    for y in range(top, bottom):
        image[y][left] = colour
        image[y][right - 1] = colour


def form_icon():
    """A message box (title bar, text lines, one button) and the magnet
    pulling at it from the lower right."""
    image = blank(32, 32)
    draw_rect(image, 0, 2, 23, 21, SILVER)
    draw_frame(image, 0, 2, 23, 21, BLACK)
    draw_rect(image, 1, 3, 22, 7, NAVY)
    draw_rect(image, 18, 4, 21, 6, SILVER)  # the close box
    draw_rect(image, 3, 9, 6, 12, BLUE)  # the information mark
    image[9][3] = image[11][5] = SILVER
    draw_rect(image, 8, 9, 20, 10, BLACK)  # text lines
    draw_rect(image, 8, 11, 17, 12, BLACK)
    draw_rect(image, 6, 14, 16, 19, SILVER)  # the button
    draw_frame(image, 6, 14, 16, 19, BLACK)
    for x in range(7, 15):
        image[15][x] = WHITE
    draw_rect(image, 9, 16, 13, 17, BLACK)
    magnet = draw_magnet(16)
    for y in range(16):
        for x in range(16):
            if magnet[y][x] is not CLEAR:
                image[16 + y][16 + x] = magnet[y][x]
    # Pull lines from the poles towards the box.
    for x, y in ((18, 15), (19, 14), (24, 15), (25, 14), (24, 13)):
        image[y][x] = YELLOW
    return image


HAND = [
    "      XX        ",
    "     X..X       ",
    "     X..X       ",
    "     X..X       ",
    "     X..X       ",
    "     X..XXX     ",
    "     X..X..XXX  ",
    "     X..X..X..XX",
    " XXX X..X..X..X.X",
    " X..XX........X.X",
    " X...X..........X",
    "  X.............X",
    "  X.............X",
    "   X............X",
    "   X...........X ",
    "    X..........X ",
    "    X.........X  ",
    "     X........X  ",
    "     X........X  ",
    "     XXXXXXXXXX  ",
]
HAND_TIP = (6, 0)  # the fingertip in HAND


def finder_cursor():
    """Rows of 'X' (black), '.' (white) and ' ' (transparent); the hot spot."""
    size = 32
    rows = [[" "] * size for _ in range(size)]
    # The dashed target rectangle, two on, two off.
    left, top, right, bottom = 1, 1, 30, 21
    for x in range(left, right + 1):
        if (x - left) % 4 < 2:
            rows[top][x] = "X"
            rows[bottom][x] = "X"
    for y in range(top, bottom + 1):
        if (y - top) % 4 < 2:
            rows[y][left] = "X"
            rows[y][right] = "X"
    # The hand, its fingertip in the middle of the rectangle.
    hot = (15, 11)
    ox, oy = hot[0] - HAND_TIP[0], hot[1] - HAND_TIP[1]
    for y, line in enumerate(HAND):
        for x, ch in enumerate(line):
            if ch != " ":
                rows[oy + y][ox + x] = ch
    return ["".join(r) for r in rows], hot


def supersampled(width, height, inside, samples=4):
    """Coverage 0..1 of each pixel by the shape `inside(x, y)`."""
    cover = [[0.0] * width for _ in range(height)]
    step = 1.0 / samples
    for y in range(height):
        for x in range(width):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                        hits += 1
            cover[y][x] = hits / float(samples * samples)
    return cover


def inside_polygon(points, x, y):
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def logo():
    """A bold italic "Z" in a blue gradient with a grey shadow, on silver."""
    size = 46
    silver = (192, 192, 192)
    z = [(9, 7), (39, 7), (37, 14), (20, 32), (36, 32), (34, 39),
         (5, 39), (7, 32), (24, 14), (11, 14)]
    shadow = [(x + 2.5, y + 2.5) for x, y in z]
    z_cover = supersampled(size, size, lambda x, y: inside_polygon(z, x, y))
    s_cover = supersampled(size, size, lambda x, y: inside_polygon(shadow, x, y))
    pixels = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = silver
            if s_cover[y][x] > 0:
                colour = mix(colour, (96, 96, 96), s_cover[y][x] * 0.8)
            if z_cover[y][x] > 0:
                t = y / float(size - 1)
                blue = mix((80, 140, 255), (0, 0, 128), t)
                colour = mix(colour, blue, z_cover[y][x])
            row.append(colour)
        pixels.append(row)
    # A thin red underline: the maker's mark.
    for x in range(6, 40):
        pixels[42][x] = (200, 0, 0)
    return pixels


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


# ---------------------------------------------------------------------------
# File formats.

def pack_rows(rows, bits):
    """Bottom-up rows of palette indexes packed at `bits` per pixel, each row
    padded to 4 bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        acc, n = 0, 0
        for value in row:
            acc = (acc << bits) | value
            n += bits
            if n == 8:
                line.append(acc)
                acc, n = 0, 0
        if n:
            line.append(acc << (8 - n))
        while len(line) % 4:
            line.append(0)
        out += line
    return bytes(out)


def bitmap_info(width, height, bits, colours):
    # For icon and cursor images the height counts the XOR and AND masks.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, 0, 0, 0, colours, 0)


def palette_bytes(colours):
    return b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in colours)


def icon_image(image):
    """The DIB of one 16-colour icon image: header, palette, XOR, AND mask."""
    size = len(image)
    xor = [[0 if v is CLEAR else v for v in row] for row in image]
    mask = [[1 if v is CLEAR else 0 for v in row] for row in image]
    return (bitmap_info(size, size * 2, 4, 16) + palette_bytes(VGA) +
            pack_rows(xor, 4) + pack_rows(mask, 1))


def write_icon(path, images):
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, data = b"", b""
    for image in images:
        size = len(image)
        dib = icon_image(image)
        entries += struct.pack("<BBBBHHII", size, size, 16, 0, 1, 4, len(dib), offset)
        data += dib
        offset += len(dib)
    with open(path, "wb") as f:
        f.write(header + entries + data)


def write_cursor(path, rows, hot):
    """A monochrome cursor: 'X' black, '.' white, ' ' transparent."""
    size = len(rows)
    # Colour 0 black, colour 1 white; AND 1 keeps the screen.
    xor = [[1 if ch == "." else 0 for ch in row] for row in rows]
    mask = [[1 if ch == " " else 0 for ch in row] for row in rows]
    dib = (bitmap_info(size, size * 2, 1, 2) + palette_bytes([(0, 0, 0), (255, 255, 255)]) +
           pack_rows(xor, 1) + pack_rows(mask, 1))
    header = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, hot[0], hot[1], len(dib), 22)
    with open(path, "wb") as f:
        f.write(header + entry + dib)


def write_bmp8(path, pixels):
    """A 256-colour BMP: the image's colours (at most 256) as its palette."""
    height, width = len(pixels), len(pixels[0])
    colours = sorted({c for row in pixels for c in row})
    if len(colours) > 256:
        raise ValueError("the logo has more than 256 colours")
    index = {c: i for i, c in enumerate(colours)}
    colours += [(0, 0, 0)] * (256 - len(colours))
    bits = pack_rows([[index[c] for c in row] for row in pixels], 8)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(bits), 3780, 3780, 256, 0)
    offset = 14 + len(info) + 256 * 4
    header = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(header + info + palette_bytes(colours) + bits)


# ---------------------------------------------------------------------------
# Previews.

def write_png(path, rgb_rows, scale=8):
    width = len(rgb_rows[0]) * scale
    raw = bytearray()
    for row in rgb_rows:
        line = bytearray([0])
        for colour in row:
            line += bytes(colour) * scale
        raw += bytes(line) * scale
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))
    png = (b"\x89PNG\r\n\x1a\n" +
           chunk(b"IHDR", struct.pack(">IIBBBBB", width, len(rgb_rows) * scale, 8, 2, 0, 0, 0)) +
           chunk(b"IDAT", zlib.compress(bytes(raw))) + chunk(b"IEND", b""))
    with open(path, "wb") as f:
        f.write(png)


def checker(x, y):
    return (230, 230, 230) if (x // 4 + y // 4) % 2 else (255, 255, 255)


def indexed_to_rgb(image):
    return [[checker(x, y) if v is CLEAR else VGA[v] for x, v in enumerate(row)]
            for y, row in enumerate(image)]


def cursor_to_rgb(rows):
    table = {"X": (0, 0, 0), ".": (255, 255, 255)}
    return [[table.get(ch) or checker(x, y) for x, ch in enumerate(row)]
            for y, row in enumerate(rows)]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="folder for PNG previews")
    args = parser.parse_args()

    os.makedirs(OUT, exist_ok=True)
    magnet32, magnet16 = draw_magnet(32), draw_magnet(16)
    form = form_icon()
    cursor, hot = finder_cursor()
    pixels = logo()
    write_icon(os.path.join(OUT, "magnet.ico"), [magnet32, magnet16])
    write_icon(os.path.join(OUT, "form.ico"), [form])
    write_cursor(os.path.join(OUT, "finder.cur"), cursor, hot)
    write_bmp8(os.path.join(OUT, "logo.bmp"), pixels)

    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        write_png(os.path.join(args.preview, "magnet32.png"), indexed_to_rgb(magnet32))
        write_png(os.path.join(args.preview, "magnet16.png"), indexed_to_rgb(magnet16), 16)
        write_png(os.path.join(args.preview, "form.png"), indexed_to_rgb(form))
        write_png(os.path.join(args.preview, "finder.png"), cursor_to_rgb(cursor))
        write_png(os.path.join(args.preview, "logo.png"), pixels)


if __name__ == "__main__":
    main()
