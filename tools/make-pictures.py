#!/usr/bin/env python3
"""Draws the pictures of the status monitor and of the installer and writes
them as the files the resource scripts embed (Python 3 standard library only).

    tools/make-pictures.py [repository root]

Writes statmon/ui/res/{printer.bmp,app.ico,tray.ico,error.ani,info.ani} and
setup/ui/res/{filecopy.bmp,model.bmp,connect.bmp} and installation/res/setup.ico
(the icon of Setup and of the uninstaller). The output is the same on every run.
"""

import math
import os
import struct
import sys
from array import array

# ---------------------------------------------------------------------------
# Drawing: shapes are filled on a supersampled canvas and averaged down, so
# edges are smooth and icons get a soft alpha edge.


def mix(c1, c2, t):
    t = max(0.0, min(1.0, t))
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


class Canvas:
    def __init__(self, width, height, ss=4, background=None):
        self.w, self.h, self.ss = width, height, ss
        self.W, self.H = width * ss, height * ss
        n = self.W * self.H
        self.px = [array('f', bytes(4 * n)) for _ in range(4)]  # premultiplied r, g, b, a
        self.k, self.ox, self.oy = 1.0, 0.0, 0.0
        if background is not None:
            self.place(0, 0, 1)
            self.rect(0, 0, width, height, background)

    def place(self, ox, oy, k):
        """Design coordinates (x, y) land at pixel (ox + k*x, oy + k*y)."""
        self.ox, self.oy, self.k = ox, oy, k

    def fill(self, bbox, inside, color):
        x0, y0, x1, y1 = bbox
        s = self.ss
        k, ox, oy = self.k, self.ox, self.oy
        X0 = max(0, int(math.floor((ox + k * x0) * s)))
        X1 = min(self.W, int(math.ceil((ox + k * x1) * s)))
        Y0 = max(0, int(math.floor((oy + k * y0) * s)))
        Y1 = min(self.H, int(math.ceil((oy + k * y1) * s)))
        R, G, B, A = self.px
        const = not callable(color)
        if const:
            cr, cg, cb = color[0] / 255.0, color[1] / 255.0, color[2] / 255.0
            ca = color[3] if len(color) > 3 else 1.0
        for Y in range(Y0, Y1):
            y = ((Y + 0.5) / s - oy) / k
            row = Y * self.W
            for X in range(X0, X1):
                x = ((X + 0.5) / s - ox) / k
                if not inside(x, y):
                    continue
                if not const:
                    c = color(x, y)
                    cr, cg, cb = c[0] / 255.0, c[1] / 255.0, c[2] / 255.0
                    ca = c[3] if len(c) > 3 else 1.0
                i = row + X
                keep = 1.0 - ca
                R[i] = cr * ca + R[i] * keep
                G[i] = cg * ca + G[i] * keep
                B[i] = cb * ca + B[i] * keep
                A[i] = ca + A[i] * keep

    # Shapes -----------------------------------------------------------------
    def rect(self, x0, y0, x1, y1, color, radius=0.0):
        if radius <= 0:
            self.fill((x0, y0, x1, y1), lambda x, y: x0 <= x <= x1 and y0 <= y <= y1, color)
            return
        r2 = radius * radius

        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            cx = min(max(x, x0 + radius), x1 - radius)
            cy = min(max(y, y0 + radius), y1 - radius)
            return (x - cx) ** 2 + (y - cy) ** 2 <= r2
        self.fill((x0, y0, x1, y1), inside, color)

    def ellipse(self, cx, cy, rx, ry, color, inner=0.0):
        """Filled ellipse; with inner > 0 a ring of that relative inner size."""
        def inside(x, y):
            d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
            return inner * inner <= d <= 1.0
        self.fill((cx - rx, cy - ry, cx + rx, cy + ry), inside, color)

    def circle(self, cx, cy, r, color, inner=0.0):
        self.ellipse(cx, cy, r, r, color, inner)

    def polygon(self, points, color):
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        n = len(points)

        def inside(x, y):
            c = False
            j = n - 1
            for i in range(n):
                xi, yi = points[i]
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    c = not c
                j = i
            return c
        self.fill((min(xs), min(ys), max(xs), max(ys)), inside, color)

    def line(self, x0, y0, x1, y1, width, color):
        r = width / 2.0
        dx, dy = x1 - x0, y1 - y0
        ll = dx * dx + dy * dy

        def inside(x, y):
            t = 0.0 if ll == 0 else max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / ll))
            px, py = x0 + t * dx - x, y0 + t * dy - y
            return px * px + py * py <= r * r
        self.fill((min(x0, x1) - r, min(y0, y1) - r, max(x0, x1) + r, max(y0, y1) + r),
                  inside, color)

    def polyline(self, points, width, color):
        for a, b in zip(points, points[1:]):
            self.line(a[0], a[1], b[0], b[1], width, color)

    # Output -----------------------------------------------------------------
    def pixels(self, background=None):
        """Rows top to bottom of (r, g, b, a) bytes; composited on a background if given."""
        s, W = self.ss, self.W
        R, G, B, A = self.px
        n = float(s * s)
        rows = []
        for y in range(self.h):
            row = []
            for x in range(self.w):
                r = g = b = a = 0.0
                for sy in range(s):
                    base = (y * s + sy) * W + x * s
                    for sx in range(s):
                        i = base + sx
                        r += R[i]
                        g += G[i]
                        b += B[i]
                        a += A[i]
                r, g, b, a = r / n, g / n, b / n, a / n
                if background is not None:
                    keep = 1.0 - a
                    r += background[0] / 255.0 * keep
                    g += background[1] / 255.0 * keep
                    b += background[2] / 255.0 * keep
                    a = 1.0
                if a > 0:
                    r, g, b = r / a, g / a, b / a
                row.append(tuple(int(round(max(0.0, min(1.0, v)) * 255)) for v in (r, g, b, a)))
            rows.append(row)
        return rows


def vgrad(y0, y1, c0, c1):
    return lambda x, y: mix(c0, c1, (y - y0) / float(y1 - y0))


def hgrad(x0, x1, c0, c1):
    return lambda x, y: mix(c0, c1, (x - x0) / float(x1 - x0))


def bezier(p0, p1, p2, p3, steps=24):
    pts = []
    for i in range(steps + 1):
        t = i / float(steps)
        u = 1 - t
        pts.append((u * u * u * p0[0] + 3 * u * u * t * p1[0] + 3 * u * t * t * p2[0] + t * t * t * p3[0],
                    u * u * u * p0[1] + 3 * u * u * t * p1[1] + 3 * u * t * t * p2[1] + t * t * t * p3[1]))
    return pts


# ---------------------------------------------------------------------------
# File formats.

def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, _ in row:
            line += bytes((b, g, r))
        line += bytes(stride - len(line))
        data += line
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + 40 + len(data), 0, 0, 14 + 40)
    return head + info + bytes(data)


def median_cut(colors, count):
    """A palette of at most `count` colours for the given list of colours."""
    boxes = [list(set(colors))]
    while len(boxes) < count:
        best = None
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            ranges = [max(c[ch] for c in box) - min(c[ch] for c in box) for ch in range(3)]
            spread = max(ranges)
            if best is None or spread > best[0]:
                best = (spread, i, ranges.index(spread))
        if best is None or best[0] == 0:
            break
        _, i, ch = best
        box = sorted(boxes.pop(i), key=lambda c: c[ch])
        mid = len(box) // 2
        boxes += [box[:mid], box[mid:]]
    palette = []
    for box in boxes:
        palette.append(tuple(int(round(sum(c[ch] for c in box) / float(len(box)))) for ch in range(3)))
    return sorted(set(palette))


def bmp8(rows):
    h, w = len(rows), len(rows[0])
    colors = [p[:3] for row in rows for p in row]
    palette = median_cut(colors, 256)
    cache = {}

    def index(c):
        if c not in cache:
            cache[c] = min(range(len(palette)),
                           key=lambda i: sum((palette[i][ch] - c[ch]) ** 2 for ch in range(3)))
        return cache[c]
    stride = (w + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray(index(p[:3]) for p in row)
        line += bytes(stride - len(line))
        data += line
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 8, 0, len(data), 2835, 2835,
                       len(palette), 0)
    offset = 14 + 40 + len(pal)
    head = struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset)
    return head + info + pal + bytes(data)


def icon_image(rows):
    """One 32-bit image of an icon or cursor file: header, colour and mask."""
    h, w = len(rows), len(rows[0])
    xor = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
    mask_stride = ((w + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, p in enumerate(row):
            if p[3] < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def icon_file(images, kind=1, hotspot=(0, 0)):
    """An .ico (kind 1) or .cur (kind 2) file of the given pixel rows."""
    blobs = [icon_image(rows) for rows in images]
    out = struct.pack('<HHH', 0, kind, len(blobs))
    offset = 6 + 16 * len(blobs)
    for rows, blob in zip(images, blobs):
        w, h = len(rows[0]), len(rows)
        if kind == 1:
            planes, bits = 1, 32
        else:
            planes, bits = hotspot
        out += struct.pack('<BBBBHHII', w & 0xFF, h & 0xFF, 0, 0, planes, bits, len(blob), offset)
        offset += len(blob)
    return out + b''.join(blobs)


def chunk(tag, data):
    out = tag + struct.pack('<I', len(data)) + data
    return out + (b'\0' if len(data) & 1 else b'')


def ani_file(title, author, frames, rate=12):
    """An animated cursor (RIFF "ACON") of cursor-format frames, shown in order."""
    info = chunk(b'INAM', title.encode('cp1252') + b'\0') + \
        chunk(b'IART', author.encode('cp1252') + b'\0')
    anih = struct.pack('<9I', 36, len(frames), len(frames), 0, 0, 0, 1, rate, 1)
    fram = b''.join(chunk(b'icon', f) for f in frames)
    body = b'ACON' + chunk(b'LIST', b'INFO' + info) + chunk(b'anih', anih) + \
        chunk(b'LIST', b'fram' + fram)
    return b'RIFF' + struct.pack('<I', len(body)) + body


# ---------------------------------------------------------------------------
# Pictures.

WHITE = (255, 255, 255)
SHADOW = (0, 0, 0, 0.22)


def receipt_printer(c, led=(60, 220, 90), paper=True):
    """The receipt printer, three-quarter view, in a 102 by 74 design box."""
    c.ellipse(51, 65, 45, 6.5, SHADOW)
    # Paper strip rising out of the slot, with a serrated tear-off edge.
    if paper:
        c.polygon([(34, 25), (68, 25), (66, 6), (36, 6)], vgrad(6, 25, (250, 250, 246), (222, 222, 214)))
        teeth = [(36 + i * 3.0, 6 if i % 2 == 0 else 4.2) for i in range(11)]
        c.polygon([(36, 7)] + teeth + [(66, 7)], (250, 250, 246))
        for i, (y, length) in enumerate(((9.5, 22), (12.5, 16), (15.5, 24), (18.5, 12), (21.5, 19))):
            c.line(39, y, 39 + length * (1 - 0.02 * i), y, 1.0, (120, 120, 128))
    # Top surface (narrower at the back).
    c.polygon([(12, 36), (90, 36), (82, 20), (20, 20)], vgrad(20, 36, (128, 132, 140), (96, 100, 108)))
    c.line(20.5, 20.3, 81.5, 20.3, 1.0, (160, 164, 172))
    # Paper slot and the cutter bar in front of it.
    c.rect(31, 23.2, 71, 25.6, (28, 28, 32), radius=1.0)
    c.rect(29, 26.4, 73, 28.0, (170, 172, 178), radius=0.8)
    # Cover seam.
    c.line(17, 31.5, 85, 31.5, 0.8, (70, 72, 80))
    # Front face.
    c.rect(12, 35, 90, 62, vgrad(35, 62, (78, 80, 88), (44, 46, 52)), radius=2.5)
    c.line(14, 36.2, 88, 36.2, 0.9, (140, 144, 152))
    # Control panel: LEDs and the feed button.
    c.rect(58, 40, 86, 48, (34, 35, 40), radius=1.5)
    c.circle(62.5, 44, 1.9, led)
    c.circle(62.5, 44, 3.2, led[:3] + (0.25,))
    c.circle(68.5, 44, 1.6, (230, 150, 40))
    c.rect(73, 41.6, 84, 46.4, vgrad(41.6, 46.4, (190, 192, 198), (130, 132, 138)), radius=1.6)
    # Brand plate and ventilation slits.
    c.rect(17, 41, 40, 44.5, (105, 108, 118), radius=1.0)
    for i in range(5):
        c.line(18, 50 + i * 2.2, 44, 50 + i * 2.2, 0.8, (36, 37, 42))
    # Feet.
    c.rect(15, 61, 87, 63.5, (30, 30, 34), radius=1.0)


def printer_bmp():
    c = Canvas(102, 74, ss=4, background=vgrad(0, 74, (240, 242, 246), (206, 211, 220)))
    c.place(0, 0, 1.0)
    receipt_printer(c)
    return bmp24(c.pixels())


def icon_printer(c, body=(64, 104, 168), body2=(36, 64, 116)):
    """A printer with paper for icons, in a 32 by 32 design box."""
    c.rect(8, 1.5, 24, 15, (70, 70, 80), radius=1.0)
    c.rect(9, 2.5, 23, 15, vgrad(2, 15, (255, 255, 255), (226, 228, 232)))
    for y in (5.5, 8.0, 10.5):
        c.line(11, y, 21, y, 1.0, (120, 124, 140))
    c.rect(2, 12, 30, 26, (24, 36, 64), radius=3.0)
    c.rect(3, 13, 29, 25, vgrad(13, 25, body, body2), radius=2.3)
    c.line(4.5, 14.2, 27.5, 14.2, 1.0, mix(body, WHITE, 0.5))
    c.rect(7, 15.5, 25, 17.5, (20, 26, 40), radius=0.8)
    c.circle(25.5, 21, 1.6, (80, 240, 110))
    c.rect(5, 22, 27, 30, (60, 60, 70), radius=1.5)
    c.rect(6, 22.5, 26, 29, vgrad(22, 29, (250, 250, 250), (205, 208, 214)), radius=1.0)


def render_icon(draw, size):
    c = Canvas(size, size, ss=8 if size <= 24 else 4)
    c.place(0, 0, size / 32.0)
    draw(c)
    return c.pixels()


def app_ico():
    return icon_file([render_icon(icon_printer, s) for s in (16, 32, 48)])


def tray_printer(c):
    icon_printer(c, body=(52, 132, 92), body2=(28, 88, 58))


def tray_ico():
    return icon_file([render_icon(tray_printer, s) for s in (24, 16)])


def setup_icon(c):
    icon_printer(c)
    # The installation disc in front of the printer.
    c.circle(23, 23, 8.6, (60, 60, 72))
    c.circle(23, 23, 7.8, lambda x, y: mix((250, 250, 255), (170, 180, 205), (x + y - 30) / 16.0))
    c.circle(23, 23, 5.2, (140, 190, 240, 0.45), inner=0.55)
    c.circle(23, 23, 2.2, (60, 60, 72))


def setup_ico():
    images = []
    for s in (16, 32, 48):
        c = Canvas(s, s, ss=8 if s <= 24 else 4)
        c.place(0, 0, s / 32.0)
        setup_icon(c)
        rows = c.pixels()
        # Punch the disc's centre hole.
        k = s / 32.0
        for y in range(s):
            for x in range(s):
                if ((x + 0.5) / k - 23) ** 2 + ((y + 0.5) / k - 23) ** 2 <= 1.2 ** 2:
                    rows[y][x] = (0, 0, 0, 0)
        images.append(rows)
    return icon_file(images)


def sign(c, on, face, face_dark, pale, glyph):
    if on:
        c.circle(16, 16, 14.5, (0, 0, 0, 0.25))
        c.circle(16, 16, 14, face_dark)
        c.circle(16, 16, 12.6, lambda x, y: mix(face, face_dark, (y - 4) / 26.0))
        c.ellipse(16, 9, 8, 4.2, (255, 255, 255, 0.28))
        glyph(c, WHITE)
    else:
        c.circle(16, 16, 14, face_dark)
        c.circle(16, 16, 12.6, pale)
        glyph(c, face_dark)


def cross(c, color):
    c.line(10.5, 10.5, 21.5, 21.5, 3.6, color)
    c.line(21.5, 10.5, 10.5, 21.5, 3.6, color)


def letter_i(c, color):
    c.circle(16, 9.2, 2.3, color)
    c.rect(14.2, 13, 17.8, 24.5, color, radius=0.6)
    c.rect(12.5, 13, 17.8, 15, color, radius=0.5)
    c.rect(12.5, 22.5, 19.5, 24.8, color, radius=0.5)


def cursor_frame(on, face, face_dark, pale, glyph):
    c = Canvas(32, 32, ss=6)
    sign(c, on, face, face_dark, pale, glyph)
    return icon_file([c.pixels()], kind=2, hotspot=(16, 16))


def error_ani():
    args = ((236, 64, 56), (168, 16, 16), (252, 222, 218), cross)
    return ani_file('Printer error', 'Kelrona Limited',
                    [cursor_frame(True, *args), cursor_frame(False, *args)])


def info_ani():
    args = ((70, 140, 235), (20, 70, 170), (222, 234, 252), letter_i)
    return ani_file('Printer information', 'Kelrona Limited',
                    [cursor_frame(True, *args), cursor_frame(False, *args)])


# Installer pictures ----------------------------------------------------------

def floppy(c, x, y, s):
    """A 3.5-inch disk with its top left corner at (x, y), side s."""
    c.rect(x + s * 0.04, y + s * 0.06, x + s * 1.04, y + s * 1.06, SHADOW, radius=s * 0.05)
    c.polygon([(x, y), (x + s * 0.88, y), (x + s, y + s * 0.12), (x + s, y + s), (x, y + s)],
              vgrad(y, y + s, (60, 90, 160), (30, 50, 110)))
    c.rect(x + s * 0.22, y, x + s * 0.74, y + s * 0.3, vgrad(y, y + s * 0.3, (214, 218, 226), (160, 166, 178)))
    c.rect(x + s * 0.56, y + s * 0.04, x + s * 0.66, y + s * 0.25, (60, 64, 76))
    c.rect(x + s * 0.12, y + s * 0.45, x + s * 0.88, y + s, vgrad(y, y + s, (255, 255, 255), (225, 228, 235)))
    for i in range(3):
        c.line(x + s * 0.2, y + s * (0.58 + i * 0.12), x + s * 0.8, y + s * (0.58 + i * 0.12),
               max(0.8, s * 0.03), (150, 155, 170))


def filecopy_bmp():
    c = Canvas(112, 128, ss=3, background=vgrad(0, 128, (255, 255, 255), (226, 232, 242)))
    floppy(c, 10, 8, 36)
    # Dotted arc from the disk to the printer, ending in an arrow head.
    pts = bezier((50, 26), (86, 22), (98, 44), (78, 66), steps=14)
    for i, (x, y) in enumerate(pts[:-2]):
        c.circle(x, y, 1.5 + 0.08 * i, (40, 120, 220, 0.35 + 0.045 * i))
    c.polygon([(70, 62), (84, 60), (77, 73)], (40, 120, 220))
    # A page on its way.
    c.polygon([(60, 36), (74, 32), (78, 47), (64, 51)], (0, 0, 0, 0.15))
    c.polygon([(58, 34), (72, 30), (76, 45), (62, 49)], (255, 255, 255))
    for i in range(3):
        c.line(61 + i * 0.4, 37 + i * 3.2, 71 + i * 0.4, 34.5 + i * 3.2, 0.9, (130, 130, 140))
    c.place(4, 60, 1.02)
    receipt_printer(c)
    return bmp24(c.pixels())


def model_bmp():
    c = Canvas(96, 96, ss=3, background=vgrad(0, 96, (255, 255, 255), (214, 220, 230)))
    c.place(-2.5, 14, 0.99)
    receipt_printer(c)
    return bmp8(c.pixels())


def digit(c, cx, cy, n, color):
    if n == 1:
        c.polyline([(cx - 2.5, cy - 4), (cx + 0.5, cy - 6.5), (cx + 0.5, cy + 6.5)], 2.4, color)
    else:
        c.polyline([(cx - 4, cy - 3.5), (cx - 2, cy - 6), (cx + 2, cy - 6), (cx + 4, cy - 3.5),
                    (cx + 3.5, cy - 1), (cx - 4, cy + 6.2), (cx + 4.5, cy + 6.2)], 2.4, color)


def badge(c, cx, cy, n):
    c.circle(cx, cy, 11, (20, 70, 160))
    c.circle(cx, cy, 10, vgrad(cy - 10, cy + 10, (70, 140, 235), (30, 90, 190)))
    digit(c, cx, cy, n, WHITE)


def usb_symbol(c, cx, cy, s, color):
    w = 1.6 * s
    c.line(cx, cy + 9 * s, cx, cy - 8 * s, w, color)
    c.polygon([(cx, cy - 12 * s), (cx - 3 * s, cy - 7 * s), (cx + 3 * s, cy - 7 * s)], color)
    c.circle(cx, cy + 10 * s, 2.6 * s, color)
    c.polyline([(cx, cy + 4 * s), (cx - 6 * s, cy - 1 * s), (cx - 6 * s, cy - 4 * s)], w, color)
    c.circle(cx - 6 * s, cy - 5 * s, 1.9 * s, color)
    c.polyline([(cx, cy + 2 * s), (cx + 6 * s, cy - 3 * s), (cx + 6 * s, cy - 6 * s)], w, color)
    c.rect(cx + 4.3 * s, cy - 9.5 * s, cx + 7.7 * s, cy - 6 * s, color)


def computer(c, x, y):
    """A monitor on a stand and a tower, top left at (x, y)."""
    c.ellipse(x + 42, y + 92, 46, 5, SHADOW)
    c.rect(x, y, x + 62, y + 46, (40, 42, 48), radius=3)
    c.rect(x + 4, y + 4, x + 58, y + 40, vgrad(y, y + 40, (120, 180, 240), (40, 90, 170)))
    c.polygon([(x + 4, y + 4), (x + 30, y + 4), (x + 4, y + 26)], (255, 255, 255, 0.18))
    c.polygon([(x + 24, y + 46), (x + 38, y + 46), (x + 42, y + 58), (x + 20, y + 58)], (70, 72, 80))
    c.rect(x + 12, y + 58, x + 50, y + 62, (50, 52, 58), radius=1.5)
    # Tower with the USB ports in front.
    c.rect(x + 68, y + 8, x + 92, y + 90, vgrad(y, y + 90, (210, 212, 218), (150, 154, 162)), radius=2.5)
    c.rect(x + 72, y + 14, x + 88, y + 18, (90, 92, 100), radius=1)
    c.rect(x + 72, y + 22, x + 88, y + 26, (90, 92, 100), radius=1)
    c.circle(x + 80, y + 36, 3.2, (100, 104, 112))
    c.circle(x + 80, y + 36, 2.0, (90, 220, 120))
    for i in range(2):
        c.rect(x + 73, y + 56 + i * 8, x + 87, y + 60 + i * 8, (30, 30, 34), radius=0.6)
        c.rect(x + 74.5, y + 57 + i * 8, x + 85.5, y + 58.2 + i * 8, (200, 200, 206))


def power_switch(c, cx, cy, r):
    """A callout of the printer's rocker switch pressed to "I"."""
    c.circle(cx, cy, r + 1.5, (150, 156, 168))
    c.circle(cx, cy, r, (250, 251, 253))
    c.rect(cx - r * 0.42, cy - r * 0.62, cx + r * 0.42, cy + r * 0.62, (30, 30, 34), radius=2)
    c.polygon([(cx - r * 0.34, cy - r * 0.54), (cx + r * 0.34, cy - r * 0.54),
               (cx + r * 0.34, cy - r * 0.02), (cx - r * 0.34, cy + r * 0.06)],
              vgrad(cy - r * 0.5, cy, (120, 124, 132), (80, 82, 90)))
    c.rect(cx - r * 0.34, cy + r * 0.06, cx + r * 0.34, cy + r * 0.54, (58, 60, 66))
    c.line(cx, cy - r * 0.44, cx, cy - r * 0.14, 2.2, WHITE)                     # "I"
    c.circle(cx, cy + r * 0.3, r * 0.13, WHITE, inner=0.45)                      # "O"
    # Arrow: press here.
    c.line(cx + r * 1.25, cy - r * 1.1, cx + r * 0.55, cy - r * 0.5, 2.6, (220, 60, 40))
    c.polygon([(cx + r * 0.38, cy - r * 0.34), (cx + r * 0.5, cy - r * 0.88), (cx + r * 0.96, cy - r * 0.44)],
              (220, 60, 40))


def connect_bmp():
    c = Canvas(425, 160, ss=3, background=vgrad(0, 160, (255, 255, 255), (228, 233, 242)))
    # Step 1: switch the printer on.
    badge(c, 18, 18, 1)
    c.place(14, 42, 1.3)
    receipt_printer(c)
    c.place(0, 0, 1)
    c.line(122, 106, 150, 86, 1.2, (150, 156, 168))
    power_switch(c, 160, 66, 24)
    # Divider.
    c.line(212, 16, 212, 144, 1.2, (190, 196, 208))
    c.polygon([(206, 72), (218, 80), (206, 88)], (190, 196, 208))
    # Step 2: plug the USB cable into the printer and the computer.
    badge(c, 236, 18, 2)
    c.place(222, 66, 0.9)
    receipt_printer(c)
    c.place(0, 0, 1)
    computer(c, 318, 30)
    # The cable from the printer's side into the tower's lower USB port.
    cable = bezier((304, 108), (336, 146), (346, 96), (372, 96), steps=30)
    c.polyline(cable, 4.2, (40, 40, 46))
    c.polyline(cable, 2.0, (90, 92, 100))
    c.rect(299, 102, 307, 113, (60, 62, 70), radius=1.5)
    c.rect(370, 92, 388, 100, (205, 208, 214), radius=1.5)
    c.rect(388, 93.5, 393, 98.5, (170, 174, 182))
    c.line(369, 84, 381, 84, 2.2, (220, 60, 40))
    c.polygon([(381, 79.5), (387, 84), (381, 88.5)], (220, 60, 40))
    usb_symbol(c, 270, 40, 1.1, (40, 90, 180))
    return bmp24(c.pixels())


OUTPUTS = [
    ('statmon/ui/res/printer.bmp', printer_bmp),
    ('statmon/ui/res/app.ico', app_ico),
    ('statmon/ui/res/tray.ico', tray_ico),
    ('statmon/ui/res/error.ani', error_ani),
    ('statmon/ui/res/info.ani', info_ani),
    ('setup/ui/res/filecopy.bmp', filecopy_bmp),
    ('setup/ui/res/model.bmp', model_bmp),
    ('setup/ui/res/connect.bmp', connect_bmp),
    ('installation/res/setup.ico', setup_ico),
]


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..')
    only = sys.argv[2:]
    for path, make in OUTPUTS:
        if only and path not in only:
            continue
        data = make()
        full = os.path.join(root, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, 'wb') as f:
            f.write(data)
        print('%s: %d bytes' % (path, len(data)))


if __name__ == '__main__':
    main()
