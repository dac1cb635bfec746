#!/usr/bin/env python3
# Makes resources/BannerImage.jpg and resources/MainWindowIcon.ico; run from the checkout root: python3 tools/make_images.py
"""Draws the main window's banner and icon.

Both pictures are drawn here from shapes and gradients; the only outside help
is ImageMagick's `convert`, which rasterises the banner's two lines of text
(as grey-scale masks) and encodes the finished banner as a baseline JPEG.
The icon is written byte by byte: five uncompressed 32-bit BGRA images with
their 1-bit AND masks.

Every run gives the same bytes. After writing, the script reads both files
back and checks the properties the program relies on; a failed check stops
it with a message and a non-zero exit status.

    python3 tools/make_images.py [--out DIR] [--preview DIR]

--preview DIR also writes each icon image and the banner as PNG files to DIR
for looking at them.
"""
import argparse
import math
import pathlib
import struct
import subprocess
import sys
import zlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

BANNER_W, BANNER_H = 700, 70
BANNER_QUALITY = 85
TITLE = "入党申请书范文生成"
SUBTITLE = "Corvane V1.4"

ICON_SIZES = (128, 48, 32, 24, 16)
ICON_FILE_SIZE = 85182


class CheckError(Exception):
    pass


# ---------------------------------------------------------------- small helpers

def clamp(x, lo=0.0, hi=1.0):
    return lo if x < lo else hi if x > hi else x


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def smoothstep(e0, e1, x):
    t = clamp((x - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def png_bytes(width, height, rows, channels):
    """PNG file bytes for 8-bit RGB (channels=3) or RGBA (channels=4) rows."""
    colour_type = {3: 2, 4: 6}[channels]
    raw = b"".join(b"\x00" + bytes(row) for row in rows)

    def chunk(tag, data):
        return (struct.pack(">I", len(data)) + tag + data
                + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def run_convert(args, stdin=None):
    try:
        done = subprocess.run(["convert"] + args, input=stdin,
                              stdout=subprocess.PIPE, stderr=subprocess.PIPE, check=False)
    except FileNotFoundError:
        raise CheckError("ImageMagick's convert is not installed")
    if done.returncode != 0:
        raise CheckError("convert failed: " + done.stderr.decode("utf-8", "replace").strip())
    return done.stdout


def parse_pnm(data, magic):
    """Parses a binary P5 (grey) or P6 (RGB) file with maxval 255."""
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        start = pos
        while not data[pos:pos + 1].isspace():
            pos += 1
        fields.append(data[start:pos])
    pos += 1
    if fields[0] != magic or fields[3] != b"255":
        raise CheckError("unexpected output from convert: %r" % fields)
    return int(fields[1]), int(fields[2]), data[pos:]


# ---------------------------------------------------------------- banner

def text_mask(text, pointsize):
    """Renders `text` in white on black; returns (width, height, coverage rows
    0..1) cropped to the ink, plus the baseline's row inside the crop."""
    canvas_w, canvas_h, base_y = 900, 120, 90
    pgm = run_convert(["-size", "%dx%d" % (canvas_w, canvas_h), "xc:black",
                       "-font", FONT, "-pointsize", str(pointsize), "-fill", "white",
                       "-annotate", "+20+%d" % base_y, text,
                       "-colorspace", "Gray", "-depth", "8", "pgm:-"])
    w, h, pix = parse_pnm(pgm, b"P5")
    if (w, h) != (canvas_w, canvas_h):
        raise CheckError("text mask has the wrong size")
    ink_rows = [y for y in range(h) if any(pix[y * w:(y + 1) * w])]
    ink_cols = [x for x in range(w) if any(pix[y * w + x] for y in ink_rows)]
    if not ink_rows:
        raise CheckError("convert rendered no ink for %r" % text)
    x0, x1, y0, y1 = ink_cols[0], ink_cols[-1] + 1, ink_rows[0], ink_rows[-1] + 1
    if x0 == 0 or y0 == 0 or x1 == w or y1 == h:
        raise CheckError("text %r does not fit its canvas" % text)
    rows = [[pix[y * w + x] / 255.0 for x in range(x0, x1)] for y in range(y0, y1)]
    return x1 - x0, y1 - y0, rows, base_y - y0


def box_blur(plane, w, h, radius, passes=3):
    """Approximate Gaussian blur of a w x h float plane (list of rows)."""
    for _ in range(passes):
        for horizontal in (True, False):
            out = [[0.0] * w for _ in range(h)]
            n = 2 * radius + 1
            if horizontal:
                for y in range(h):
                    row = plane[y]
                    for x in range(w):
                        s = 0.0
                        for k in range(x - radius, x + radius + 1):
                            if 0 <= k < w:
                                s += row[k]
                        out[y][x] = s / n
            else:
                for x in range(w):
                    for y in range(h):
                        s = 0.0
                        for k in range(y - radius, y + radius + 1):
                            if 0 <= k < h:
                                s += plane[k][x]
                        out[y][x] = s / n
            plane = out
    return plane


def lcg(seed):
    """A tiny fixed pseudo-random sequence, so the pattern never changes."""
    state = seed
    while True:
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        yield state / 0x7FFFFFFF


def banner_background():
    """Deep red to crimson, with soft gold light streaks and faint glints."""
    w, h = BANNER_W, BANNER_H
    left, middle, right = (112, 6, 14), (190, 20, 34), (150, 12, 24)
    gold = (255, 206, 110)

    # Diagonal streaks: (centre x at the top edge, slope in x per y, half-width, strength).
    streaks = [(300, -1.6, 9.0, 0.10), (345, -1.6, 3.0, 0.16), (420, -1.6, 14.0, 0.07),
               (505, -1.6, 4.0, 0.14), (560, -1.6, 22.0, 0.06), (610, -1.6, 2.5, 0.18),
               (660, -1.6, 10.0, 0.08)]
    rnd = lcg(1404)
    glints = []
    for _ in range(26):
        gx = 300 + next(rnd) * 400
        gy = next(rnd) * h
        gr = 2.0 + next(rnd) * 9.0
        ga = 0.05 + next(rnd) * 0.10
        glints.append((gx, gy, gr, ga))

    # Thin silk-like ribbons of light: (centre y, amplitude, wavelength, phase, half-width, strength).
    ribbons = [(34, 16, 520, 0.3, 0.9, 0.30), (38, 18, 470, 0.9, 0.7, 0.22),
               (30, 13, 610, 1.7, 1.2, 0.16)]
    grain = [(next(rnd) - 0.5) * 3.0 for _ in range(509)]

    img = []
    for y in range(h):
        fy = y / (h - 1)
        row = []
        for x in range(w):
            fx = x / (w - 1)
            if fx < 0.62:
                c = mix(left, middle, smoothstep(0.0, 0.62, fx))
            else:
                c = mix(middle, right, smoothstep(0.62, 1.0, fx))
            # a soft sheen across the upper half, a little shade at the foot
            sheen = 0.10 * math.exp(-((fy - 0.28) / 0.30) ** 2)
            shade = 0.22 * smoothstep(0.55, 1.0, fy)
            c = tuple(v + (255 - v) * sheen for v in c)
            c = tuple(v * (1.0 - shade) for v in c)
            light = 0.0
            for cx, slope, half, strength in streaks:
                d = abs(x - (cx + slope * y)) / math.sqrt(1 + slope * slope)
                fade = smoothstep(260, 420, x)  # streaks keep clear of the title
                light += strength * fade * math.exp(-(d / half) ** 2)
            for gx, gy, gr, ga in glints:
                d2 = (x - gx) ** 2 + (y - gy) ** 2
                if d2 < (3 * gr) ** 2:
                    light += ga * smoothstep(260, 420, x) * math.exp(-d2 / (gr * gr))
            for yc, amp, wavelength, phase, half, strength in ribbons:
                ry = yc + amp * math.sin(2 * math.pi * x / wavelength + phase)
                slope = amp * 2 * math.pi / wavelength * math.cos(2 * math.pi * x / wavelength + phase)
                d = abs(y - ry) / math.sqrt(1 + slope * slope)
                if d < 4 * half:
                    light += strength * smoothstep(330, 520, x) * math.exp(-(d / half) ** 2)
            light = clamp(light, 0.0, 0.6)
            # a faint fixed grain, so the long gradients do not break into bands
            c = tuple(v + grain[(x * 7 + y * 13 + k * 5) % len(grain)] for k, v in enumerate(c))
            c = tuple(v + (g - v) * light for v, g in zip(c, gold))
            row.append(c)
        img.append(row)

    # A thin gold rule along the foot, fading out towards both ends.
    for x in range(w):
        t = smoothstep(0, 140, x) * smoothstep(w, w - 140, x)
        for y, a in ((h - 4, 0.55 * t), (h - 3, 0.25 * t)):
            img[y][x] = mix(img[y][x], (236, 186, 92), a)
    return img


def paint_text(img, mask_w, mask_h, mask, left, top, fill_top, fill_bottom,
               shadow_alpha, shadow_offset, shadow_radius):
    w, h = BANNER_W, BANNER_H
    # shadow: the mask, blurred and darkened, a little below and to the right
    pad = shadow_radius * 3 + 2
    sw, sh = mask_w + 2 * pad, mask_h + 2 * pad
    plane = [[0.0] * sw for _ in range(sh)]
    for y in range(mask_h):
        for x in range(mask_w):
            plane[y + pad][x + pad] = mask[y][x]
    plane = box_blur(plane, sw, sh, shadow_radius)
    ox, oy = shadow_offset
    for y in range(sh):
        by = top - pad + oy + y
        if 0 <= by < h:
            for x in range(sw):
                bx = left - pad + ox + x
                if 0 <= bx < w and plane[y][x] > 0.0:
                    a = clamp(plane[y][x] * shadow_alpha)
                    img[by][bx] = mix(img[by][bx], (40, 0, 4), a)
    # the letters themselves, with a gentle top-to-bottom gold gradient
    for y in range(mask_h):
        fill = mix(fill_top, fill_bottom, y / max(1, mask_h - 1))
        by = top + y
        if 0 <= by < h:
            for x in range(mask_w):
                a = mask[y][x]
                bx = left + x
                if a > 0.0 and 0 <= bx < w:
                    img[by][bx] = mix(img[by][bx], fill, a)


def make_banner(path, preview_dir):
    img = banner_background()

    tw, th, tmask, tbase = text_mask(TITLE, 34)
    sw, sh, smask, sbase = text_mask(SUBTITLE, 14)
    title_left = 34
    title_top = (BANNER_H - 3 - th) // 2
    title_base = title_top + tbase
    paint_text(img, tw, th, tmask, title_left, title_top,
               (255, 236, 178), (232, 172, 62), 0.85, (2, 2), 2)
    sub_left = BANNER_W - 30 - sw
    paint_text(img, sw, sh, smask, sub_left, title_base - sbase,
               (255, 240, 206), (246, 214, 150), 0.75, (1, 1), 1)

    rows = [bytes(int(round(clamp(v, 0, 255))) for c in row for v in c) for row in img]
    ppm = b"P6\n%d %d\n255\n" % (BANNER_W, BANNER_H) + b"".join(rows)
    if preview_dir:
        (preview_dir / "banner.png").write_bytes(png_bytes(BANNER_W, BANNER_H, rows, 3))
    # Baseline JPEG, full-resolution chroma (keeps the thin gold strokes clean on red),
    # nothing but the image data and a JFIF header.
    jpeg = run_convert(["ppm:-", "-strip", "-interlace", "None", "-quality", str(BANNER_QUALITY),
                        "-sampling-factor", "1x1", "-type", "TrueColor", "jpeg:-"], stdin=ppm)
    path.write_bytes(jpeg)


def check_jpeg(data):
    """Walks the JPEG markers: baseline frame, 700 x 70, three 8-bit components."""
    if data[:2] != b"\xff\xd8" or data[-2:] != b"\xff\xd9":
        raise CheckError("banner: not a complete JPEG stream")
    pos, frame = 2, None
    while pos < len(data):
        if data[pos] != 0xFF:
            raise CheckError("banner: broken marker at byte %d" % pos)
        marker = data[pos + 1]
        if marker == 0xFF:
            pos += 1
            continue
        length = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            if frame is not None:
                raise CheckError("banner: more than one frame header")
            frame = marker, data[pos + 4:pos + 2 + length]
        if marker == 0xDA:
            break
        pos += 2 + length
    if frame is None:
        raise CheckError("banner: no frame header before the scan")
    marker, body = frame
    if marker != 0xC0:
        raise CheckError("banner: frame type FF%02X, not baseline FFC0" % marker)
    precision, height, width, components = struct.unpack(">BHHB", body[:6])
    if (width, height) != (BANNER_W, BANNER_H):
        raise CheckError("banner: %d x %d, not %d x %d" % (width, height, BANNER_W, BANNER_H))
    if precision != 8 or components != 3:
        raise CheckError("banner: %d components of %d bits, not 3 of 8" % (components, precision))
    if data.count(b"\xff\xda") != 1:
        raise CheckError("banner: more than one scan")


# ---------------------------------------------------------------- icon

def sd_round_box(px, py, cx, cy, hx, hy, r):
    """Signed distance to a rounded box centred at (cx, cy) with half sizes hx, hy."""
    qx = abs(px - cx) - (hx - r)
    qy = abs(py - cy) - (hy - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def over(dst, src, a):
    """Paints colour `src` with opacity `a` over the RGBA sample `dst`."""
    if a <= 0.0:
        return dst
    r, g, b, da = dst
    na = a + da * (1.0 - a)
    if na <= 0.0:
        return dst
    k = da * (1.0 - a)
    return ((src[0] * a + r * k) / na, (src[1] * a + g * k) / na,
            (src[2] * a + b * k) / na, na)


class IconScene:
    """A red rounded square holding a cream letter sheet and a gold quill.

    Coordinates run 0..1 across the icon. Edges that are straight and upright
    are placed on whole pixels for each size so the small icons stay crisp;
    the detail (writing lines, notches in the feather) thins out as the icon
    gets smaller.
    """

    def __init__(self, size):
        self.size = size
        px = 1.0 / size

        def snap(v):
            return round(v * size) / size

        m = round(0.03 * size) / size
        self.bg = (0.5, 0.5, 0.5 - m, 0.5 - m, 0.20)
        self.rim = max(0.018, 0.9 * px)

        x0, x1 = snap(0.19), snap(0.67)
        y0, y1 = snap(0.17), snap(0.81)
        if size <= 16:
            x0, x1, y0, y1 = 3 * px, 11 * px, 2 * px, 13 * px
        self.sheet = (x0, y0, x1, y1)
        self.fold = snap(0.13) if size > 16 else 3 * px

        if size >= 48:
            count = 5
        elif size >= 24:
            count = 4
        else:
            count = 3
        thick = max(px, snap(0.028))
        left = x0 + max(px, snap(0.07))
        top = y0 + self.fold + max(px, snap(0.07))
        bottom = y1 - max(2 * px, snap(0.12))
        step = (bottom - top) / max(1, count - 1)
        self.lines = []
        for i in range(count):
            ly = round((top + i * step) * size) / size
            right = x1 - max(px, snap(0.07))
            if i == 0:
                right = x1 - self.fold - max(px, snap(0.04))
            if i == count - 1:
                right = left + (right - left) * 0.55
            self.lines.append((left, ly, right, ly + thick))

        # quill: nib at the lower middle, feather reaching to the top right corner
        self.nib = (0.42, 0.80) if size > 16 else (0.40, 0.84)
        tip = (0.88, 0.13) if size > 16 else (0.90, 0.10)
        dx, dy = tip[0] - self.nib[0], tip[1] - self.nib[1]
        self.length = math.hypot(dx, dy)
        self.dir = (dx / self.length, dy / self.length)
        self.normal = (-self.dir[1], self.dir[0])
        self.nib_len = 0.17 * self.length
        self.wide = 0.125 if size > 16 else 0.14
        self.narrow = 0.065 if size > 16 else 0.08
        self.outline = max(0.016, 0.75 * px)
        self.shaft = max(0.010, 0.35 * px)
        self.notches = size >= 48
        # drop shadows give depth when there is room for them; on the tiniest icon they only muddy it
        self.shadow = 0.0 if size <= 16 else 0.7 if size <= 32 else 1.0

    def quill_width(self, u, v):
        """Half-width of the quill at distance u from the nib, on the side of v."""
        if u < 0.0 or u > self.length:
            return -1.0
        if u < self.nib_len:
            return 0.050 * (u / self.nib_len) ** 0.9
        t = (u - self.nib_len) / (self.length - self.nib_len)
        side = self.wide if v > 0 else self.narrow
        # grows from the nib's width, is fullest past the middle, closes in a point
        base = 0.050 * (1.0 - t) ** 2
        return max(base, side * math.sin(math.pi * min(1.0, t ** 0.85)) ** 0.75)

    def quill_at(self, x, y, shift=(0.0, 0.0)):
        """(u, v, signed distance-ish to the quill's edge) for the point."""
        px, py = x - self.nib[0] - shift[0], y - self.nib[1] - shift[1]
        u = px * self.dir[0] + py * self.dir[1]
        v = px * self.normal[0] + py * self.normal[1]
        w = self.quill_width(u, v)
        if w < 0.0:
            end = -u if u < 0.0 else u - self.length
            return u, v, end + abs(v)
        return u, v, abs(v) - w

    def sample(self, x, y):
        c = (0.0, 0.0, 0.0, 0.0)
        bx, by, hx, hy, r = self.bg
        d_bg = sd_round_box(x, y, bx, by, hx, hy, r)
        if d_bg > 0.0:
            return c
        # background: red, lighter at the top, with a darker rim
        t = clamp((y - (by - hy)) / (2 * hy))
        red = mix((222, 44, 50), (150, 12, 22), t)
        c = over(c, red, 1.0)
        c = over(c, (255, 255, 255), 0.16 * (1.0 - smoothstep(0.0, 0.5, t)))
        if d_bg > -self.rim:
            c = over(c, (112, 6, 14), 0.85)

        # the sheet's soft shadow on the red
        x0, y0, x1, y1 = self.sheet
        soft = 0.05
        d_sh = sd_round_box(x, y, (x0 + x1) / 2 + 0.025, (y0 + y1) / 2 + 0.035,
                            (x1 - x0) / 2, (y1 - y0) / 2, 0.01)
        if d_sh < soft and self.shadow:
            c = over(c, (70, 0, 6), 0.45 * self.shadow * (1.0 - smoothstep(-soft, soft, d_sh)))

        # the sheet, with its top right corner folded down
        f = self.fold
        inside = x0 <= x < x1 and y0 <= y < y1
        if inside and (y - y0) < (x - (x1 - f)):
            inside = False  # cut-away corner
        if inside:
            paper = mix((255, 250, 238), (238, 226, 204), clamp((y - y0) / (y1 - y0)))
            c = over(c, paper, 1.0)
            if x >= x1 - f and y < y0 + f:
                c = over(c, (222, 200, 164), 1.0)  # the folded flap
            for lx0, ly0, lx1, ly1 in self.lines:
                if lx0 <= x < lx1 and ly0 <= y < ly1:
                    c = over(c, (196, 120, 104), 1.0)

        # quill: a shadow on whatever lies beneath, then dark outline, then gold
        if self.shadow:
            _, _, d_s = self.quill_at(x, y, (0.02, 0.03))
            if d_s < 0.04:
                c = over(c, (60, 0, 4), 0.35 * self.shadow * (1.0 - smoothstep(-0.04, 0.04, d_s)))
        u, v, d = self.quill_at(x, y)
        if d < self.outline:
            c = over(c, (92, 30, 8), 1.0)
            if d < 0.0:
                if u < self.nib_len:
                    nib_t = u / self.nib_len
                    col = mix((120, 78, 24), (196, 140, 52), nib_t)
                    if abs(v) < self.shaft * 0.8 and nib_t > 0.25:
                        col = (72, 36, 8)  # the nib's slit
                else:
                    w = self.quill_width(u, v)
                    across = clamp(abs(v) / max(w, 1e-6))
                    if v > 0:
                        col = mix((255, 222, 120), (240, 178, 58), across)
                    else:
                        col = mix((236, 176, 64), (204, 136, 36), across)
                    if self.notches and v > 0:
                        # two notches cut into the broad vane, slanting back towards the nib
                        for n_u in (0.46, 0.70):
                            along = u - n_u * self.length + 0.9 * v
                            if abs(along) < 0.010 and v > 0.35 * w:
                                col = (92, 30, 8)
                    if abs(v) < self.shaft:
                        col = (255, 244, 204)
                c = over(c, col, 1.0)
        return c

    def render(self, samples):
        """Rows of (r, g, b, a) bytes, top row first, averaged over samples^2 points."""
        s = self.size
        offsets = [(k + 0.5) / samples for k in range(samples)]
        n = samples * samples
        rows = []
        for j in range(s):
            row = []
            for i in range(s):
                pr = pg = pb = pa = 0.0
                for oy in offsets:
                    y = (j + oy) / s
                    for ox in offsets:
                        r, g, b, a = self.sample((i + ox) / s, y)
                        pr += r * a
                        pg += g * a
                        pb += b * a
                        pa += a
                alpha = int(round(255.0 * pa / n))
                if alpha == 0:
                    row.append((0, 0, 0, 0))
                else:
                    row.append((int(round(clamp(pr / pa, 0, 255))),
                                int(round(clamp(pg / pa, 0, 255))),
                                int(round(clamp(pb / pa, 0, 255))), alpha))
            rows.append(row)
        return rows


def icon_image(size, rows):
    """BITMAPINFOHEADER, bottom-up BGRA pixels and the 1-bit AND mask for one size."""
    mask_stride = ((size + 31) // 32) * 4
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         len(pixels) + len(mask), 0, 0, 0, 0)
    return header + bytes(pixels) + bytes(mask)


def build_icon(images):
    """images: list of (size, image bytes) in file order."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, data in images:
        dim = size if size < 256 else 0
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def read_icon(data):
    """Parses an icon file; returns a list of (size, rows of (r, g, b, a), AND bits)."""
    if len(data) < 6:
        raise CheckError("icon: shorter than its header")
    reserved, kind, count = struct.unpack("<HHH", data[:6])
    if reserved != 0 or kind != 1:
        raise CheckError("icon: header %d/%d is not an icon file" % (reserved, kind))
    result = []
    expected_offset = 6 + 16 * count
    for k in range(count):
        w, h, colours, res, planes, bpp, nbytes, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * k:22 + 16 * k])
        size = w or 256
        if h != w or colours != 0 or res != 0 or planes != 1 or bpp != 32:
            raise CheckError("icon: entry %d has fields %r" % (k, (w, h, colours, res, planes, bpp)))
        if offset != expected_offset or offset + nbytes > len(data):
            raise CheckError("icon: entry %d points to %d+%d" % (k, offset, nbytes))
        expected_offset += nbytes
        hdr = struct.unpack("<IiiHHIIiiII", data[offset:offset + 40])
        if hdr[:6] != (40, size, 2 * size, 1, 32, 0):
            raise CheckError("icon: image %d has header %r" % (k, hdr[:6]))
        stride = ((size + 31) // 32) * 4
        if nbytes != 40 + size * size * 4 + stride * size:
            raise CheckError("icon: image %d holds %d bytes" % (k, nbytes))
        pix = data[offset + 40:offset + 40 + size * size * 4]
        mask = data[offset + 40 + size * size * 4:offset + nbytes]
        rows, and_bits = [], []
        for y in range(size):
            src = size - 1 - y  # stored bottom-up
            rows.append([(pix[(src * size + x) * 4 + 2], pix[(src * size + x) * 4 + 1],
                          pix[(src * size + x) * 4], pix[(src * size + x) * 4 + 3])
                         for x in range(size)])
            and_bits.append([(mask[src * stride + x // 8] >> (7 - x % 8)) & 1
                             for x in range(size)])
        result.append((size, rows, and_bits))
    if expected_offset != len(data):
        raise CheckError("icon: %d bytes after the last image" % (len(data) - expected_offset))
    return result


def check_icon(data):
    if len(data) != ICON_FILE_SIZE:
        raise CheckError("icon: %d bytes, not %d" % (len(data), ICON_FILE_SIZE))
    images = read_icon(data)
    if tuple(size for size, _, _ in images) != ICON_SIZES:
        raise CheckError("icon: sizes %r" % [size for size, _, _ in images])
    for size, rows, and_bits in images:
        for y in range(size):
            for x in range(size):
                r, g, b, a = rows[y][x]
                if and_bits[y][x] != (a == 0):
                    raise CheckError("icon %d: AND mask disagrees with alpha at %d,%d" % (size, x, y))
        # opaque in the middle, clear in the corners
        if rows[size // 2][size // 2][3] != 255:
            raise CheckError("icon %d: centre is not opaque" % size)
        if size > 16 and rows[0][0][3] != 0:
            raise CheckError("icon %d: corner is not transparent" % size)


def make_icon(path, preview_dir):
    images = []
    for size in ICON_SIZES:
        rows = IconScene(size).render(6 if size >= 100 else 8)
        images.append((size, icon_image(size, rows)))
        if preview_dir:
            flat = [[v for px in row for v in px] for row in rows]
            (preview_dir / ("icon%d.png" % size)).write_bytes(png_bytes(size, size, flat, 4))
    path.write_bytes(build_icon(images))


# ---------------------------------------------------------------- main

def main(argv=None):
    parser = argparse.ArgumentParser(description="Draws the banner and the window icon.")
    parser.add_argument("--out", type=pathlib.Path, default=ROOT / "resources",
                        help="folder to write BannerImage.jpg and MainWindowIcon.ico to")
    parser.add_argument("--preview", type=pathlib.Path,
                        help="also write PNG copies of the pictures to this folder")
    args = parser.parse_args(argv)
    if args.preview:
        args.preview.mkdir(parents=True, exist_ok=True)
    banner = args.out / "BannerImage.jpg"
    icon = args.out / "MainWindowIcon.ico"
    try:
        make_banner(banner, args.preview)
        make_icon(icon, args.preview)
        check_jpeg(banner.read_bytes())
        check_icon(icon.read_bytes())
    except CheckError as e:
        print("make_images: " + str(e), file=sys.stderr)
        return 1
    print("%s: %d bytes" % (banner, banner.stat().st_size))
    print("%s: %d bytes" % (icon, icon.stat().st_size))
    return 0


if __name__ == "__main__":
    sys.exit(main())
