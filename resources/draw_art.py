#!/usr/bin/env python3
"""Draws CommonQ's icons and bitmap from geometry, so they can be changed and rebuilt from source.

    draw_art.py OUTDIR            draw everything into OUTDIR, then check the files written
    draw_art.py --check OUTDIR    only check the files already in OUTDIR

Files (resource ids in CommonQ.rc):
    arrow_hot.ico 1027, arrow.ico 1028          command-link arrow, hot and normal
    expando_expanded.ico 1029,
    expando_collapsed.ico 1030                  task dialog "details" button
    favorites.ico 1034                          Favorites star
    disclosure.bmp 1035                         40 x 20, open | closed, magenta = transparent

Icons hold 16 x 16 and 32 x 32 images, 32-bit BGRA plus AND mask. Shapes are rasterised with an
8 x 8 sample grid per pixel; only the standard library is used, and the output is the same bytes
on every run (no timestamps, pure arithmetic).
"""

import math
import os
import struct
import sys

GRID = 8  # samples per pixel side
SAMPLES = [(i + 0.5) / GRID for i in range(GRID)]
MAGENTA = (255, 0, 255)
# Disclosure edges are pre-blended with the usual dialog face colour, since a colour-keyed
# bitmap has no partial transparency; a pixel under half covered becomes background instead.
FACE = (240, 240, 240)
ICON_SIZES = (16, 32)


# Shapes: contains(x, y) in pixel coordinates (pixel (i, j) spans [i, i+1) x [j, j+1)) and a
# bounding box, so painting only samples where the shape can be.

class Polygon:
    def __init__(self, points):
        self.points = points
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.box = (min(xs), min(ys), max(xs), max(ys))
        self.edges = list(zip(points, points[1:] + points[:1]))

    def contains(self, x, y):
        inside = False
        for (x0, y0), (x1, y1) in self.edges:
            if (y0 > y) != (y1 > y) and x < x0 + (y - y0) * (x1 - x0) / (y1 - y0):
                inside = not inside
        return inside


class Circle:
    def __init__(self, cx, cy, r):
        self.cx, self.cy, self.r2 = cx, cy, r * r
        self.box = (cx - r, cy - r, cx + r, cy + r)

    def contains(self, x, y):
        return (x - self.cx) ** 2 + (y - self.cy) ** 2 <= self.r2


class Stroke:
    """A polyline of the given width with round caps and joins."""

    def __init__(self, points, width):
        self.segments = list(zip(points, points[1:]))
        self.h2 = (width / 2) ** 2
        h = width / 2
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        self.box = (min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h)

    def contains(self, x, y):
        for (x0, y0), (x1, y1) in self.segments:
            dx, dy = x1 - x0, y1 - y0
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy)))
            if (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= self.h2:
                return True
        return False


class Clip:
    """The part of a shape above (or below) a horizontal line, for highlights."""

    def __init__(self, shape, y, above=True):
        self.shape, self.y, self.above = shape, y, above
        x0, y0, x1, y1 = shape.box
        self.box = (x0, y0, x1, min(y1, y)) if above else (x0, max(y0, y), x1, y1)

    def contains(self, x, y):
        return (y < self.y) == self.above and self.shape.contains(x, y)


def inset(points, d):
    """The polygon with every edge moved d inwards (mitred corners): an outline drawn as the
    difference of the two stays inside the shape, so it is crisp where edges fall on pixel
    boundaries instead of smeared across two half-covered pixels."""
    area = sum(x0 * y1 - x1 * y0 for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]))
    sign = 1 if area > 0 else -1
    lines = []
    for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
        length = math.hypot(x1 - x0, y1 - y0)
        nx, ny = -(y1 - y0) / length * sign, (x1 - x0) / length * sign
        lines.append(((x0 + nx * d, y0 + ny * d), (x1 - x0, y1 - y0)))
    result = []
    for (p, u), (q, v) in zip(lines[-1:] + lines[:-1], lines):
        cross = u[0] * v[1] - u[1] * v[0]
        t = ((q[0] - p[0]) * v[1] - (q[1] - p[1]) * v[0]) / cross
        result.append((p[0] + t * u[0], p[1] + t * u[1]))
    return result


def star(cx, cy, outer, inner):
    points = []
    for i in range(10):
        r = outer if i % 2 == 0 else inner
        a = math.radians(-90 + 36 * i)
        points.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return points


# Paints: a colour (r, g, b) or (r, g, b, a) in 0..255, or a vertical gradient.

def vertical(y0, top, y1, bottom):
    def paint(x, y):
        t = max(0.0, min(1.0, (y - y0) / (y1 - y0)))
        return tuple(a + (b - a) * t for a, b in zip(top, bottom))
    return paint


class Canvas:
    """Premultiplied RGBA in 0..1, painted with 'over'."""

    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[0.0, 0.0, 0.0, 0.0] for _ in range(width * height)]

    def paint(self, shape, colour, opacity=1.0):
        x0, y0, x1, y1 = shape.box
        for y in range(max(0, math.floor(y0)), min(self.height, math.ceil(y1))):
            for x in range(max(0, math.floor(x0)), min(self.width, math.ceil(x1))):
                hits = sum(shape.contains(x + sx, y + sy) for sy in SAMPLES for sx in SAMPLES)
                if not hits:
                    continue
                c = colour(x + 0.5, y + 0.5) if callable(colour) else colour
                alpha = (c[3] / 255 if len(c) > 3 else 1.0) * opacity * hits / (GRID * GRID)
                px = self.pixels[y * self.width + x]
                for i in range(3):
                    px[i] = c[i] / 255 * alpha + px[i] * (1 - alpha)
                px[3] = alpha + px[3] * (1 - alpha)

    def straight(self, x, y):
        """(r, g, b, a) in 0..255, colour no longer premultiplied; fully transparent is all 0."""
        r, g, b, a = self.pixels[y * self.width + x]
        alpha = round(a * 255)
        if alpha == 0:
            return (0, 0, 0, 0)
        return tuple(min(255, round(c / a * 255)) for c in (r, g, b)) + (alpha,)


# The pictures. Each takes the pixel size and draws in a 32-unit design grid scaled to it.

ARROW = [(4, 12), (16, 12), (16, 4.5), (28.5, 16), (16, 27.5), (16, 20), (4, 20)]


def draw_arrow(canvas, n, hot):
    k = n / 32
    outline = (24, 110, 34) if hot else (34, 104, 40)
    top, bottom = ((166, 240, 128), (52, 178, 56)) if hot else ((128, 206, 106), (42, 146, 48))
    shape = [(x * k, y * k) for x, y in ARROW]
    inner = Polygon(inset(shape, 1.0 if n <= 16 else 1.5))
    canvas.paint(Polygon(shape), outline)
    canvas.paint(inner, vertical(4.5 * k, top, 27.5 * k, bottom))
    # A gloss on the upper half, as on the glass-style buttons the arrow sits beside.
    canvas.paint(Clip(inner, 15 * k), (255, 255, 255), 0.35 if hot else 0.25)


def draw_expando(canvas, n, expanded):
    k = n / 32
    c = 16 * k
    canvas.paint(Circle(c, c, 15.5 * k), (112, 120, 134))
    canvas.paint(Circle(c, c, 15.5 * k - (1.0 if n <= 16 else 1.5)),
                 vertical(1 * k, (255, 255, 255), 31 * k, (206, 214, 226)))
    # The chevron points where the details go: up to fold them away, down to open them.
    d = -1 if expanded else 1
    tip = 16 + 3 * d
    chevron = [(9.5, tip - 6.5 * d), (16, tip), (22.5, tip - 6.5 * d)]
    canvas.paint(Stroke([(x * k, y * k) for x, y in chevron], 3.0 * k if n > 16 else 1.7), (52, 62, 80))


def draw_favorites(canvas, n):
    k = n / 32
    shape = star(16 * k, 17.2 * k, 15.2 * k, 7.0 * k)
    inner = Polygon(inset(shape, 1.0 if n <= 16 else 1.3))
    canvas.paint(Polygon(shape), (184, 116, 0))
    canvas.paint(inner, vertical(2 * k, (255, 240, 128), 29 * k, (242, 164, 12)))
    canvas.paint(Clip(inner, 15 * k), (255, 255, 255), 0.3)


def draw_disclosure(canvas, x0, expanded):
    """One 20 x 20 picture at column x0: the expando's round button at bitmap size."""
    canvas.paint(Circle(x0 + 10, 10, 9), (112, 120, 134))
    canvas.paint(Circle(x0 + 10, 10, 8), vertical(1, (255, 255, 255), 19, (206, 214, 226)))
    d = -1 if expanded else 1
    tip = 10 + 2 * d
    canvas.paint(Stroke([(x0 + 6, tip - 4 * d), (x0 + 10, tip), (x0 + 14, tip - 4 * d)], 1.8), (52, 62, 80))


ICONS = {
    "arrow_hot.ico": lambda c, n: draw_arrow(c, n, hot=True),
    "arrow.ico": lambda c, n: draw_arrow(c, n, hot=False),
    "expando_expanded.ico": lambda c, n: draw_expando(c, n, expanded=True),
    "expando_collapsed.ico": lambda c, n: draw_expando(c, n, expanded=False),
    "favorites.ico": draw_favorites,
}
BITMAP = "disclosure.bmp"


def bitmapinfoheader(width, height, bits, image_size):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, 0, 0)


def ico_bytes(canvases):
    """A classic ICO: per image a BITMAPINFOHEADER with doubled height, bottom-up BGRA rows, then
    the AND mask. The mask marks exactly the pixels with alpha 0 (whose colour is 0), so code that
    draws through the mask instead of the alpha channel still gets the right outline."""
    images = []
    for canvas in canvases:
        n = canvas.width
        xor, mask = bytearray(), bytearray()
        stride = (n + 31) // 32 * 4
        for y in reversed(range(n)):
            row = bytearray(stride)
            for x in range(n):
                r, g, b, a = canvas.straight(x, y)
                xor += bytes((b, g, r, a))
                if a == 0:
                    row[x // 8] |= 0x80 >> (x % 8)
            mask += row
        images.append(bitmapinfoheader(n, 2 * n, 32, len(xor) + len(mask)) + xor + mask)
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for canvas, image in zip(canvases, images):
        n = canvas.width
        out += struct.pack("<BBBBHHII", n % 256, n % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


def bmp_bytes(canvas):
    rows = bytearray()
    for y in reversed(range(canvas.height)):
        row = bytearray()
        for x in range(canvas.width):
            r, g, b, a = canvas.straight(x, y)
            if a < 128:
                r, g, b = MAGENTA
            elif a < 255:
                r, g, b = (round((c * a + f * (255 - a)) / 255) for c, f in zip((r, g, b), FACE))
            row += bytes((b, g, r))
        rows += row + bytes(-len(row) % 4)
    header = bitmapinfoheader(canvas.width, canvas.height, 24, len(rows))
    return b"BM" + struct.pack("<IHHI", 14 + len(header) + len(rows), 0, 0, 14 + len(header)) + header + rows


# Checks read the files back independently of the writers above.

class Bad(Exception):
    pass


def need(condition, message):
    if not condition:
        raise Bad(message)


def check_ico(data):
    need(len(data) >= 6, "shorter than an ICONDIR")
    reserved, kind, count = struct.unpack_from("<HHH", data)
    need((reserved, kind) == (0, 1), "not an icon file")
    need(count == len(ICON_SIZES), f"{count} images, expected {len(ICON_SIZES)}")
    images, end = {}, 6 + 16 * count
    for i in range(count):
        w, h, colours, res, planes, bits, size, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        n = w or 256
        need(w == h and colours == 0 and res == 0, f"image {i}: bad directory entry")
        need(planes == 1 and bits == 32, f"image {i}: {bits} bits, expected 32")
        need(offset == end and offset + size <= len(data), f"image {i}: data out of place")
        end = offset + size
        hsize, bw, bh, bplanes, bbits, compression = struct.unpack_from("<IiiHHI", data, offset)
        need((hsize, bw, bh, bplanes, bbits, compression) == (40, n, 2 * n, 1, 32, 0),
             f"image {i}: BITMAPINFOHEADER is not {n} x 2*{n}, 32 bits, BI_RGB")
        stride = (n + 31) // 32 * 4
        need(size == 40 + 4 * n * n + stride * n, f"image {i}: {size} bytes, expected {40 + 4 * n * n + stride * n}")
        pixels = data[offset + 40 : offset + 40 + 4 * n * n]
        mask = data[offset + 40 + 4 * n * n : offset + size]
        opaque = clear = 0
        image = [[None] * n for _ in range(n)]
        for y in range(n):
            for x in range(n):
                b, g, r, a = pixels[4 * (y * n + x) : 4 * (y * n + x) + 4]
                masked = mask[y * stride + x // 8] >> (7 - x % 8) & 1
                need(masked == (a == 0), f"image {i}: mask disagrees with alpha at ({x}, {n - 1 - y})")
                need(a or (r, g, b) == (0, 0, 0), f"image {i}: transparent pixel has colour at ({x}, {n - 1 - y})")
                opaque += a == 255
                clear += a == 0
                image[n - 1 - y][x] = (r, g, b, a)
        for x, y in ((0, 0), (n - 1, 0), (0, n - 1), (n - 1, n - 1)):
            need(pixels[4 * (y * n + x) + 3] == 0, f"image {i}: corner ({x}, {y}) is not transparent")
        need(opaque >= n * n // 5 and clear >= n * n // 10, f"image {i}: {opaque} opaque pixels of {n * n}, drawing lost?")
        images[n] = image
    need(sorted(images) == sorted(ICON_SIZES), f"sizes {sorted(images)}, expected {list(ICON_SIZES)}")
    need(end == len(data), "trailing bytes")
    return images


def check_bmp(data):
    need(data[:2] == b"BM" and len(data) >= 54, "not a BMP")
    file_size, _, _, offset = struct.unpack_from("<IHHI", data, 2)
    hsize, w, h, planes, bits, compression, image_size = struct.unpack_from("<IiiHHII", data, 14)
    need(file_size == len(data) and offset == 54 and hsize == 40, "headers are not BITMAPFILEHEADER + BITMAPINFOHEADER")
    need((w, h, planes, bits, compression) == (40, 20, 1, 24, 0), f"{w} x {h} x {bits} bits, expected bottom-up 40 x 20 x 24")
    need(image_size == 40 * 3 * 20 == len(data) - offset, "pixel data size")

    def pixel(x, y):
        at = offset + (h - 1 - y) * w * 3 + 3 * x
        return tuple(data[at : at + 3][::-1])

    halves = []
    for x0 in (0, 20):
        half = [pixel(x0 + x, y) for y in range(20) for x in range(20)]
        for x, y in ((0, 0), (19, 0), (0, 19), (19, 19)):
            need(pixel(x0 + x, y) == MAGENTA, f"corner ({x0 + x}, {y}) is not the transparent magenta")
        drawn = sum(p != MAGENTA for p in half)
        need(150 <= drawn <= 400, f"picture at x={x0} has {drawn} drawn pixels")
        # A drawn pixel that merely comes close to magenta would look like a hole or a smudge.
        need(all(p == MAGENTA or abs(p[0] - p[2]) < 64 for p in half), f"picture at x={x0} has magenta-ish pixels")
        halves.append([half[20 * y : 20 * y + 20] for y in range(20)])
    need(halves[0] != halves[1], "open and closed pictures are the same")
    # The options toggle shows the left picture while its options are open.
    return {"open": halves[0], "closed": halves[1]}


def luma(p):
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]


def pointing(image):
    """'up' or 'down' for a chevron: the dark glyph is wide where its arms end and narrow at
    its tip. Catches a flipped row order or swapped pictures, which the headers cannot."""
    rows = [[x for x, p in enumerate(row) if (len(p) < 4 or p[3] == 255) and luma(p) < 100] for row in image]
    rows = [r for r in rows if r]
    need(len(rows) >= 2, "no chevron found")
    spread = [max(r) - min(r) for r in rows]
    return "down" if spread[0] > spread[-1] else "up" if spread[0] < spread[-1] else "neither"


def brightness(image):
    values = [luma(p) for row in image for p in row if p[3] == 255]
    return sum(values) / len(values)


def draw(outdir):
    os.makedirs(outdir, exist_ok=True)
    for name, paint in ICONS.items():
        canvases = []
        for n in ICON_SIZES:
            canvas = Canvas(n, n)
            paint(canvas, n)
            canvases.append(canvas)
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(ico_bytes(canvases))
    canvas = Canvas(40, 20)
    # The options toggle shows the left picture while its options are open, the right one while
    # they are closed.
    draw_disclosure(canvas, 0, expanded=True)
    draw_disclosure(canvas, 20, expanded=False)
    with open(os.path.join(outdir, BITMAP), "wb") as f:
        f.write(bmp_bytes(canvas))


def check(outdir):
    failed, read = False, {}
    for name in list(ICONS) + [BITMAP]:
        path = os.path.join(outdir, name)
        try:
            with open(path, "rb") as f:
                data = f.read()
            read[name] = (check_bmp if name.endswith(".bmp") else check_ico)(data)
        except (OSError, Bad, struct.error) as e:
            print(f"{path}: {e}", file=sys.stderr)
            failed = True
    if failed:
        return False
    # What the pictures mean: the code shows them by state, so a swap would go unnoticed.
    expected = [(read[BITMAP][state], f"{BITMAP} {state}", direction)
                for state, direction in (("closed", "down"), ("open", "up"))]
    for name, direction in (("expando_expanded.ico", "up"), ("expando_collapsed.ico", "down")):
        expected += [(read[name][n], f"{name} {n} x {n}", direction) for n in ICON_SIZES]
    for image, what, direction in expected:
        try:
            found = pointing(image)
        except Bad as e:
            found = str(e)
        if found != direction:
            print(f"{outdir}: {what} points {found}, expected {direction}", file=sys.stderr)
            failed = True
    for n in ICON_SIZES:
        if brightness(read["arrow_hot.ico"][n]) <= brightness(read["arrow.ico"][n]):
            print(f"{outdir}: the hot arrow is not brighter than the normal one at {n} x {n}", file=sys.stderr)
            failed = True
    return not failed


def main(argv):
    if len(argv) == 2 and argv[0] == "--check":
        return 0 if check(argv[1]) else 1
    if len(argv) != 1 or argv[0].startswith("-"):
        print("usage: draw_art.py [--check] OUTDIR", file=sys.stderr)
        return 2
    draw(argv[0])
    return 0 if check(argv[0]) else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
