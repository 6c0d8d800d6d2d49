#!/usr/bin/env python3
"""Draws the program's icons and button glyphs and writes them as .ico and .bmp.

Plain Python with no libraries, so that the output is the same byte for byte on
every machine: the files are committed and --check compares them.

  make-artwork.py OUTDIR           write the files into OUTDIR
  make-artwork.py --check OUTDIR   draw again and compare with the files in OUTDIR
"""

import math
import os
import struct
import sys

SILVER = (192, 192, 192)

# The 16 colours of a 4-bit icon, in the order Windows' own 16-colour palette has them.
VGA16 = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]


class Image:
    """Square RGBA picture, straight (not premultiplied) alpha, values 0..255."""

    def __init__(self, size, fill=(0, 0, 0, 0)):
        self.size = size
        self.px = [list(fill) for _ in range(size * size)]

    def get(self, x, y):
        return self.px[y * self.size + x]

    def put(self, x, y, rgba):
        if 0 <= x < self.size and 0 <= y < self.size:
            self.px[y * self.size + x] = list(rgba)

    def blend(self, x, y, rgb, cover):
        """Paints rgb over pixel (x, y) with coverage 0..1 (Porter-Duff over)."""
        if cover <= 0 or not (0 <= x < self.size and 0 <= y < self.size):
            return
        d = self.get(x, y)
        sa = min(cover, 1.0)
        da = d[3] / 255.0
        oa = sa + da * (1 - sa)
        out = [0, 0, 0, oa * 255]
        for i in range(3):
            out[i] = (rgb[i] * sa + d[i] * da * (1 - sa)) / oa
        self.px[y * self.size + x] = out


def clamp8(v):
    return max(0, min(255, int(round(v))))


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def from_map(rows, palette):
    """A picture from rows of characters; palette maps a character to an RGB
    tuple or to a function (x, y) -> RGB; '.' is transparent."""
    img = Image(len(rows))
    for y, row in enumerate(rows):
        assert len(row) == img.size, (y, row)
        for x, ch in enumerate(row):
            if ch == '.':
                continue
            c = palette[ch]
            if callable(c):
                c = c(x, y)
            img.put(x, y, tuple(c) + (255,))
    return img


# ---------------------------------------------------------------- shapes

SS = 5  # samples per pixel along each axis


def fill_shape(img, inside, paint, box=None):
    """Fills the points where inside(x, y) holds, anti-aliased by supersampling;
    paint(x, y) gives the colour at the pixel centre."""
    x0, y0, x1, y1 = box or (0, 0, img.size, img.size)
    for py in range(max(0, int(y0)), min(img.size, int(math.ceil(y1)) + 1)):
        for px in range(max(0, int(x0)), min(img.size, int(math.ceil(x1)) + 1)):
            hits = 0
            for j in range(SS):
                for i in range(SS):
                    if inside(px + (i + 0.5) / SS, py + (j + 0.5) / SS):
                        hits += 1
            if hits:
                img.blend(px, py, paint(px + 0.5, py + 0.5), hits / (SS * SS))


def solid(rgb):
    return lambda x, y: rgb


def vgrad(top, bottom, y0, y1):
    return lambda x, y: mix(top, bottom, (y - y0) / max(1e-9, y1 - y0))


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def bezier(p0, p1, p2, p3, steps=48):
    pts = []
    for k in range(steps + 1):
        t = k / steps
        u = 1 - t
        pts.append(tuple(u * u * u * p0[i] + 3 * u * u * t * p1[i] + 3 * u * t * t * p2[i]
                         + t * t * t * p3[i] for i in range(2)))
    return pts


def near_polyline(pts, half):
    def inside(x, y):
        for (ax, ay), (bx, by) in zip(pts, pts[1:]):
            dx, dy = bx - ax, by - ay
            ll = dx * dx + dy * dy
            t = 0 if ll == 0 else max(0, min(1, ((x - ax) * dx + (y - ay) * dy) / ll))
            if (x - ax - t * dx) ** 2 + (y - ay - t * dy) ** 2 <= half * half:
                return True
        return False
    return inside


# ---------------------------------------------------------------- the application icon

KB_EDGE = (62, 66, 74)
KB_BODY_TOP = (222, 224, 228)
KB_BODY_BOTTOM = (188, 191, 198)
KB_FRONT = (138, 142, 150)
KEY_TOP = (252, 252, 253)
KEY_SIDE = (160, 164, 172)
CABLE = (44, 46, 52)
CABLE_SHINE = (118, 122, 132)


def keyboard(size, body, key, rows, cable, cable_w, front):
    """A keyboard seen from the front and above, its cable leaving at the top.

    body: x0, y0, x1, y1, corner radius; key: width, height, gap, left, top;
    rows: keys per row for the upper rows (the last row is a space bar between two
    keys); cable: the four control points; front: height of the front face."""
    img = Image(size)
    bx0, by0, bx1, by1, br = body
    kw, kh, gap, kx, ky = key

    fill_shape(img, near_polyline(bezier(*cable), cable_w / 2), solid(CABLE))
    if cable_w >= 2:
        shine = bezier(*[(p[0] - 0.35 * cable_w / 2, p[1]) for p in cable])
        fill_shape(img, near_polyline(shine[:-8], cable_w / 5), solid(CABLE_SHINE))

    fill_shape(img, round_rect(bx0, by0, bx1, by1, br), solid(KB_EDGE))
    fill_shape(img, round_rect(bx0 + 1, by0 + 1, bx1 - 1, by1 - 1, br - 1),
               vgrad(KB_BODY_TOP, KB_BODY_BOTTOM, by0, by1 - front))
    fill_shape(img, lambda x, y: y >= by1 - front and round_rect(
        bx0 + 1, by0 + 1, bx1 - 1, by1 - 1, br - 1)(x, y), solid(KB_FRONT))

    def cap(x, y, w):
        for yy in range(y, y + kh):
            for xx in range(x, x + w):
                img.put(xx, yy, (KEY_SIDE if yy == y + kh - 1 else KEY_TOP) + (255,))

    for r, count in enumerate(rows):
        y = ky + r * (kh + gap)
        # Each row starts a little further right, as on a real keyboard.
        x = kx + (r * (kw + gap)) // 2 if r else kx
        for _ in range(count):
            cap(x, y, kw)
            x += kw + gap
    y = ky + len(rows) * (kh + gap)
    right = kx + rows[0] * (kw + gap) - gap
    cap(kx, y, kw)
    cap(right - kw + 1, y, kw)
    cap(kx + kw + gap, y, right - kw + 1 - gap - (kx + kw + gap))
    return img


def main_icon_16():
    rows = [
        "............KK..",
        "..........KK....",
        ".........K......",
        "........K.......",
        "........K.......",
        "KKKKKKKKKKKKKKKK",
        "KGGGGGGGGGGGGGGK",
        "KGWGWGWGWGWGWGGK",
        "KGGGGGGGGGGGGGGK",
        "KGGWGWGWGWGWGWGK",
        "KGGGGGGGGGGGGGGK",
        "KGWGWWWWWWWWGWGK",
        "KGGGGGGGGGGGGGGK",
        "KFFFFFFFFFFFFFFK",
        "KKKKKKKKKKKKKKKK",
        "................",
    ]
    return from_map(rows, {'K': KB_EDGE, 'G': vgrad(KB_BODY_TOP, KB_BODY_BOTTOM, 6, 12),
                           'W': KEY_TOP, 'F': KB_FRONT})


def main_icon(size):
    if size == 48:
        return keyboard(48, body=(1, 20, 47, 46, 3), key=(3, 4, 1, 5, 23), rows=[10, 9, 9],
                        cable=((24, 21), (24, 9), (36, 13), (40, 0.5)), cable_w=3.2, front=3)
    if size == 32:
        return keyboard(32, body=(0, 12, 32, 32, 2), key=(2, 3, 1, 3, 14), rows=[9, 8, 8],
                        cable=((16, 13), (16, 5), (24, 8), (27, 0.5)), cable_w=2.4, front=2)
    return main_icon_16()


# ---------------------------------------------------------------- the tray image


def screen_blue(x, y):
    return mix((70, 140, 255), (0, 40, 190), (x + y - 7) / 14.0)


def tray_icon(vga):
    rows = [
        "................",
        ".KKKKKKKKKKKKKK.",
        ".KWWWWWWWWWWWSK.",
        ".KWNNNNNNNNNNDK.",
        ".KWNLLBBBBBBBDK.",
        ".KWNLBBBBBBBBDK.",
        ".KWNBBBBBBBBBDK.",
        ".KWNBBBBBBBBBDK.",
        ".KWNBBBBBBBBBDK.",
        ".KWNBBBBBBBBBDK.",
        ".KSDDDDDDDDDDDK.",
        ".KKKKKKKKKKKKKK.",
        "......KDDK......",
        "....KKDDDDKK....",
        "...KSSSSSSSSK...",
        "...KKKKKKKKKK...",
    ]
    if vga:
        pal = {'K': (0, 0, 0), 'W': (255, 255, 255), 'S': (192, 192, 192),
               'D': (128, 128, 128), 'N': (0, 0, 128), 'B': (0, 0, 255), 'L': (0, 255, 255)}
    else:
        pal = {'K': (40, 42, 48), 'W': (244, 245, 247), 'S': (196, 199, 205),
               'D': (128, 132, 140), 'N': (0, 26, 120), 'B': screen_blue, 'L': (170, 215, 255)}
    return from_map(rows, pal)


# ---------------------------------------------------------------- the button glyphs


def disc_glyph(light, dark, edge, sign):
    """A shaded disc with a white sign on it; the sign is the set of pixels
    where sign(x, y) holds."""
    img = Image(16, SILVER + (255,))
    c = 7.5

    def on_disc(x, y):
        return (x - c) ** 2 + (y - c) ** 2 <= 7.0 ** 2

    for y in range(16):
        for x in range(16):
            if not on_disc(x, y):
                continue
            border = not all(on_disc(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
            if border:
                col = edge
            elif sign(x, y):
                col = (255, 255, 255)
            else:
                # Lit from the upper left.
                col = mix(light, dark, (x + y - 2) / 22.0)
            img.put(x, y, col + (255,))
    return img


def glyph_add():
    return disc_glyph((120, 226, 110), (16, 128, 24), (0, 80, 0),
                      lambda x, y: (7 <= x <= 8 and 4 <= y <= 11) or (7 <= y <= 8 and 4 <= x <= 11))


def glyph_remove():
    return disc_glyph((255, 120, 110), (190, 16, 16), (112, 0, 0),
                      lambda x, y: 7 <= y <= 8 and 4 <= x <= 11)


def glyph_hide():
    rows = [
        "................",
        "..AAA......AAA..",
        "..ABBA....ABBA..",
        "...ABBA..ABBA...",
        "....ABBAABBA....",
        ".....ABBBBA.....",
        "......ABBA......",
        ".......AA.......",
        "..AAA......AAA..",
        "..ABBA....ABBA..",
        "...ABBA..ABBA...",
        "....ABBAABBA....",
        ".....ABBBBA.....",
        "......ABBA......",
        ".......AA.......",
        "................",
    ]
    img = from_map(rows, {'A': (0, 24, 128),
                          'B': lambda x, y: mix((80, 150, 255), (0, 60, 220), ((y - 1) % 7) / 5.0)})
    return on_silver(img)


def glyph_close():
    rows = [
        "................",
        "..EEEEEEEEEEEE..",
        ".ERRRRRRRRRRRRE.",
        ".ERRRRRRRRRRRRE.",
        ".ERRWWRRRRWWRRE.",
        ".ERRWWWRRWWWRRE.",
        ".ERRRWWWWWWRRRE.",
        ".ERRRRWWWWRRRRE.",
        ".ERRRRWWWWRRRRE.",
        ".ERRRWWWWWWRRRE.",
        ".ERRWWWRRWWWRRE.",
        ".ERRWWRRRRWWRRE.",
        ".ERRRRRRRRRRRRE.",
        ".ERRRRRRRRRRRRE.",
        "..EEEEEEEEEEEE..",
        "................",
    ]
    pal = {'E': (112, 0, 0), 'W': (255, 255, 255),
           'R': lambda x, y: mix((255, 110, 96), (188, 12, 12), (x + y - 4) / 22.0)}
    return on_silver(from_map(rows, pal))


def glyph_browse():
    rows = [
        "................",
        ".OOOO...........",
        "OHHHHO..........",
        "OYYYYOOOOOOOO...",
        "OYYYYYYYYYYYYO..",
        "OYYYYYYYYYYYYO..",
        "OYYYYYYYRRRRYO..",
        "OYYYYYYRGGGGRO..",
        "OYYYYYRGLLGGGR..",
        "OYYYYYRGLGGGGR..",
        "OYYYYYRGGGGGGR..",
        "OYYYYYRGGGGGGR..",
        "OOOOOOORGGGGRM..",
        "........RRRRMM..",
        ".............MMM",
        "..............MM",
    ]
    pal = {'O': (128, 88, 0), 'R': (24, 24, 28), 'G': (196, 228, 255), 'L': (255, 255, 255),
           'M': (90, 56, 24), 'H': (255, 240, 160),
           'Y': lambda x, y: mix((255, 230, 110), (232, 172, 16), (y - 3) / 9.0)}
    return on_silver(from_map(rows, pal))


def on_silver(img):
    out = Image(img.size, SILVER + (255,))
    for i, p in enumerate(img.px):
        if p[3] >= 128:
            out.px[i] = list(p[:3]) + [255]
    return out


GLYPHS = {
    'glyph_add.bmp': glyph_add,
    'glyph_remove.bmp': glyph_remove,
    'glyph_hide.bmp': glyph_hide,
    'glyph_close.bmp': glyph_close,
    'glyph_browse.bmp': glyph_browse,
}

# ---------------------------------------------------------------- palettes


def median_cut(colours, limit):
    """At most limit representative colours for a {rgb: count} histogram."""
    boxes = [list(colours.items())]
    while len(boxes) < limit:
        best, axis, spread = None, 0, -1
        for bi, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for a in range(3):
                vals = [c[a] for c, _ in box]
                if max(vals) - min(vals) > spread:
                    best, axis, spread = bi, a, max(vals) - min(vals)
        if best is None or spread <= 0:
            break
        box = sorted(boxes.pop(best), key=lambda cn: (cn[0][axis], cn[0]))
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for k, (_, n) in enumerate(box):
            acc += n
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, k + 1))
                break
        boxes += [box[:cut], box[cut:]]
    out = []
    for box in boxes:
        total = sum(n for _, n in box)
        out.append(tuple(clamp8(sum(c[i] * n for c, n in box) / total) for i in range(3)))
    return out


def nearest(pal, c):
    return min(range(len(pal)), key=lambda k: sum((pal[k][i] - c[i]) ** 2 for i in range(3)))


# ---------------------------------------------------------------- file formats


def opaque(p):
    return p[3] >= 128


def dib_rows(size, row_bytes):
    # DIBs are stored bottom-up, each row padded to 4 bytes.
    out = b''
    for y in range(size - 1, -1, -1):
        r = row_bytes(y)
        out += r + b'\0' * (-len(r) % 4)
    return out


def and_mask(img, transparent):
    def row(y):
        bits = bytearray((img.size + 7) // 8)
        for x in range(img.size):
            if transparent(img.get(x, y)):
                bits[x // 8] |= 0x80 >> (x % 8)
        return bytes(bits)
    return dib_rows(img.size, row)


def icon_image(img, bpp):
    """One image of an icon file: BITMAPINFOHEADER (height doubled for the mask),
    palette, colour bits, AND mask."""
    n = img.size
    px = [[clamp8(v) for v in p] for p in img.px]
    if bpp == 32:
        palette = []
        xor = dib_rows(n, lambda y: b''.join(
            bytes((p[2], p[1], p[0], p[3])) for p in px[y * n:(y + 1) * n]))
        mask = and_mask(img, lambda p: p[3] == 0)
    else:
        if bpp == 4:
            palette = VGA16
        else:
            hist = {}
            for p in px:
                if opaque(p):
                    hist[tuple(p[:3])] = hist.get(tuple(p[:3]), 0) + 1
            # Black first: transparent pixels must be black in the colour bits.
            palette = [(0, 0, 0)] + median_cut(hist, 255)
            palette += [(0, 0, 0)] * (256 - len(palette))
        cache = {}

        def index(p):
            if not opaque(p):
                return 0
            key = tuple(p[:3])
            if key not in cache:
                cache[key] = nearest(palette, key)
            return cache[key]

        if bpp == 8:
            xor = dib_rows(n, lambda y: bytes(index(p) for p in px[y * n:(y + 1) * n]))
        else:
            xor = dib_rows(n, lambda y: bytes(
                (index(px[y * n + x]) << 4) | index(px[y * n + x + 1]) for x in range(0, n, 2)))
        mask = and_mask(img, lambda p: not opaque(p))
    header = struct.pack('<IiiHHIIiiII', 40, n, 2 * n, 1, bpp, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    pal = b''.join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + pal + xor + mask


def ico_file(entries):
    """entries: (Image, bits per pixel) in the order they go into the file."""
    head = struct.pack('<HHH', 0, 1, len(entries))
    offset = len(head) + 16 * len(entries)
    dirs, blobs = b'', b''
    for img, bpp in entries:
        blob = icon_image(img, bpp)
        dirs += struct.pack('<BBBBHHII', img.size % 256, img.size % 256, 16 if bpp == 4 else 0,
                            0, 1, bpp, len(blob), offset)
        offset += len(blob)
        blobs += blob
    return head + dirs + blobs


def bmp24_file(img):
    n = img.size
    bits = dib_rows(n, lambda y: b''.join(
        bytes((clamp8(p[2]), clamp8(p[1]), clamp8(p[0]))) for p in img.px[y * n:(y + 1) * n]))
    info = struct.pack('<IiiHHIIiiII', 40, n, n, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(bits), 0, 0, 14 + len(info))
    return head + info + bits


# ---------------------------------------------------------------- output


def artwork():
    files = {}
    main = {s: main_icon(s) for s in (48, 32, 16)}
    files['mainicon.ico'] = ico_file([(main[s], bpp) for s in (48, 32, 16) for bpp in (32, 8)])
    files['tray.ico'] = ico_file([(tray_icon(False), 32), (tray_icon(False), 8),
                                  (tray_icon(True), 4)])
    for name, draw in GLYPHS.items():
        img = draw()
        # The button takes the bottom-left pixel as the transparent colour.
        assert [clamp8(v) for v in img.get(0, 15)[:3]] == list(SILVER), name
        files[name] = bmp24_file(img)
    return files


def main(argv):
    check = len(argv) == 3 and argv[1] == '--check'
    if len(argv) != 2 and not check:
        sys.stderr.write(__doc__)
        return 2
    outdir = argv[-1]
    stale = []
    for name, data in artwork().items():
        path = os.path.join(outdir, name)
        if check:
            try:
                with open(path, 'rb') as f:
                    if f.read() != data:
                        stale.append(name)
            except OSError:
                stale.append(name)
        else:
            with open(path, 'wb') as f:
                f.write(data)
    if stale:
        sys.stderr.write('out of date: %s\n' % ' '.join(stale))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
