#!/usr/bin/python3
"""Draws the pictures that velkor.exe and dornat.exe carry as PNG resources
(toolbar buttons, tab strips, status bar, banner, menu, list and diagram icons,
the pie overlay) and writes them to assets/, together with assets/images.rc and
src/gfx/image_names.h.

Needs Debian's python3-pil and fonts-dejavu-core. Run it again after changing a
picture and commit its output:  /usr/bin/python3 tools/make_images.py

Scales: every picture is drawn at 100, 150 and 200 percent, for screens of 96,
144 and 192 DPI. The 100 percent pictures are name.png, the others
name_150.png and name_200.png beside them, listed in assets/images_scaled.rc
under the name with "_150" or "_200" appended. Every picture is redrawn from
its shapes at each scale; boundaries that the program hit-tests (the tab
strip's) are placed with the program's rounding, value × scale rounded to
the nearest pixel with halves away from zero. Lines that are one pixel wide at
100 percent stay one pixel wide at 150 and become two at 200 percent.
  /usr/bin/python3 tools/make_images.py [--scale 100|150|200] [name...]

Drawing model: every shape is a coverage mask drawn at SS times the target
size and averaged down (premultiplied), so straight edges that lie on whole
pixels stay sharp and curves get smooth edges. Shapes are placed on a design
grid of 16 units per icon; the outlines are exactly one device pixel wide
whatever the icon size, and box-like shapes snap to whole pixels.
"""
import math
import os
import re
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
TOP = os.path.normpath(os.path.join(HERE, ".."))
ASSETS = os.path.join(TOP, "assets")
HEADER = os.path.join(TOP, "src", "gfx", "image_names.h")
FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT = os.path.join(FONT_DIR, "DejaVuSans.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")

SS = 8  # supersampling factor

SCALES = (100, 150, 200)
SCALE = 1  # the picture scale being drawn, set by main()


def sc(v):
    """A 100-percent length in device pixels at SCALE, halves away from zero."""
    x = v * SCALE
    return int(math.floor(abs(x) + 0.5)) * (1 if x >= 0 else -1)


def lw():
    """The width of a line that is one pixel wide at 100 percent."""
    return max(1, int(SCALE))

# ---------------------------------------------------------------------------
# Palette: the blue of the program tile, its green and yellow load bars, and a
# few companions. Each ramp: light (top of a gradient), dark (bottom), outline.
# ---------------------------------------------------------------------------
BLUE = ((118, 168, 238), (41, 92, 184), (22, 52, 118))
NAVY = ((52, 96, 180), (13, 38, 97), (8, 24, 64))
GREEN = ((150, 228, 128), (58, 164, 62), (30, 100, 36))
YELLOW = ((255, 230, 128), (236, 176, 40), (150, 104, 16))
ORANGE = ((255, 196, 112), (232, 128, 32), (150, 72, 10))
RED = ((246, 124, 104), (204, 44, 34), (128, 22, 16))
STEEL = ((242, 245, 249), (170, 180, 194), (92, 102, 118))
PAPER = ((255, 255, 255), (226, 232, 242), (112, 124, 142))
FOLDER = ((255, 226, 140), (236, 182, 64), (160, 112, 28))
TEAL = ((120, 222, 214), (26, 150, 150), (12, 90, 92))
PURPLE = ((190, 150, 236), (110, 58, 178), (64, 30, 112))
DEEP_GREEN = ((96, 196, 84), (34, 128, 42), (20, 80, 24))
DEEP_ORANGE = ((252, 176, 64), (212, 100, 14), (140, 60, 8))
SKY = ((176, 218, 255), (92, 160, 236), (40, 96, 170))

PANEL = (204, 221, 255)   # view panels and dialog windows
WHITE = (255, 255, 255)


def rgba(c, a=255):
    return tuple(int(round(v)) for v in c[:3]) + (a,)


def mix(c1, c2, t):
    return tuple(a + (b - a) * t for a, b in zip(c1, c2))


# ---------------------------------------------------------------------------
# Drawing surface
# ---------------------------------------------------------------------------
class Pic:
    """An RGBA picture drawn at SS times its size."""

    def __init__(self, w, h, background=None):
        self.w, self.h = w, h
        self.img = Image.new("RGBA", (w * SS, h * SS), rgba(background) if background else (0, 0, 0, 0))

    # masks -----------------------------------------------------------------
    def blank(self):
        return Image.new("L", self.img.size, 0)

    def rect(self, x0, y0, x1, y1, r=0):
        m = self.blank()
        box = [x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1]
        if r > 0:
            ImageDraw.Draw(m).rounded_rectangle(box, radius=r * SS, fill=255)
        else:
            ImageDraw.Draw(m).rectangle(box, fill=255)
        return m

    def ellipse(self, x0, y0, x1, y1):
        m = self.blank()
        ImageDraw.Draw(m).ellipse([x0 * SS, y0 * SS, x1 * SS - 1, y1 * SS - 1], fill=255)
        return m

    def circle(self, cx, cy, r):
        return self.ellipse(cx - r, cy - r, cx + r, cy + r)

    def poly(self, pts):
        m = self.blank()
        ImageDraw.Draw(m).polygon([(x * SS, y * SS) for x, y in pts], fill=255)
        return m

    def line(self, pts, width, caps=True):
        m = self.blank()
        d = ImageDraw.Draw(m)
        sp = [(x * SS, y * SS) for x, y in pts]
        d.line(sp, fill=255, width=max(1, int(round(width * SS))), joint="curve")
        if caps:
            r = width * SS / 2
            for x, y in (sp[0], sp[-1]):
                d.ellipse([x - r, y - r, x + r, y + r], fill=255)
        return m

    def pie(self, cx, cy, r, a0, a1):
        m = self.blank()
        ImageDraw.Draw(m).pieslice([(cx - r) * SS, (cy - r) * SS, (cx + r) * SS - 1, (cy + r) * SS - 1],
                                   a0, a1, fill=255)
        return m

    def arc(self, cx, cy, r, a0, a1, width):
        """A stroke along a circle of radius r (centre line), angles clockwise from 3 o'clock."""
        m = self.blank()
        ro, ri = r + width / 2, r - width / 2
        d = ImageDraw.Draw(m)
        d.pieslice([(cx - ro) * SS, (cy - ro) * SS, (cx + ro) * SS, (cy + ro) * SS], a0, a1, fill=255)
        d.ellipse([(cx - ri) * SS, (cy - ri) * SS, (cx + ri) * SS, (cy + ri) * SS], fill=0)
        return m

    def text(self, x, y, s, size, bold=False, anchor="mm"):
        m = self.blank()
        f = ImageFont.truetype(FONT_BOLD if bold else FONT, int(size * SS))
        ImageDraw.Draw(m).text((x * SS, y * SS), s, font=f, fill=255, anchor=anchor)
        return m

    # mask arithmetic ---------------------------------------------------------
    @staticmethod
    def union(*ms):
        out = ms[0]
        for m in ms[1:]:
            out = ImageChops.lighter(out, m)
        return out

    @staticmethod
    def minus(a, b):
        return ImageChops.subtract(a, b)

    @staticmethod
    def both(a, b):
        return ImageChops.darker(a, b)

    @staticmethod
    def erode(m, px=1, open_bottom=False):
        """Shrinks a mask by px device pixels; the picture's edge counts as
        outside, except the bottom edge with open_bottom (shapes that go on)."""
        pad = px * SS
        big = Image.new("L", (m.width + 2 * pad, m.height + 2 * pad), 0)
        big.paste(m, (pad, pad))
        if open_bottom:
            big.paste(m.crop((0, m.height - 1, m.width, m.height)).resize((m.width, pad)), (pad, pad + m.height))
        n = 2 * pad + 1
        if n <= 17:
            big = big.filter(ImageFilter.MinFilter(n))
        else:
            # A large square minimum is the same as repeated 3×3 ones, and far cheaper.
            for _ in range(pad):
                big = big.filter(ImageFilter.MinFilter(3))
        return big.crop((pad, pad, pad + m.width, pad + m.height))

    # painting ----------------------------------------------------------------
    def vgrad(self, c0, c1, y0, y1):
        g = Image.new("RGBA", self.img.size)
        px = g.load()
        width, height = g.size
        col = Image.new("RGBA", (1, height))
        cp = col.load()
        for yy in range(height):
            t = min(1.0, max(0.0, (yy / SS - y0) / max(1e-6, (y1 - y0))))
            cp[0, yy] = rgba(mix(c0, c1, t))
        del px
        return col.resize((width, height), Image.NEAREST)

    def paint(self, mask, paint, alpha=1.0):
        """paint: an (r, g, b[, a]) colour or an RGBA image of the full size."""
        if isinstance(paint, tuple):
            layer = Image.new("RGBA", self.img.size, rgba(paint, paint[3] if len(paint) > 3 else 255))
        else:
            layer = paint.copy()
        a = ImageChops.multiply(layer.getchannel("A"), mask)
        if alpha < 1.0:
            a = a.point(lambda v: int(round(v * alpha)))
        layer.putalpha(a)
        self.img.alpha_composite(layer)

    def body(self, mask, ramp, y0, y1, outline=True, gloss=True):
        """A filled shape: gradient light→dark, 1-pixel outline, a soft inner highlight."""
        light, dark, line = ramp
        if outline:
            self.paint(mask, line)
            inner = self.erode(mask)
        else:
            inner = mask
        self.paint(inner, self.vgrad(light, dark, y0, y1))
        if gloss:
            rim = self.minus(inner, self.erode(inner))
            top = self.rect(0, 0, self.w, (y0 + y1) / 2)
            self.paint(self.both(rim, top), (255, 255, 255), 0.45)

    def shadow(self, mask, dx=0.0, dy=1.0, alpha=0.18, blur=0.8):
        m = ImageChops.offset(mask, int(dx * SS), int(dy * SS)).filter(ImageFilter.GaussianBlur(blur * SS))
        self.paint(m, (0, 0, 0), alpha)

    def erase(self, mask):
        a = ImageChops.subtract(self.img.getchannel("A"), mask)
        self.img.putalpha(a)

    def done(self):
        small = self.img.convert("RGBa").resize((self.w, self.h), Image.BOX).convert("RGBA")
        return small


class Grid:
    """Maps a 16-unit design grid onto a square of `size` pixels at (ox, oy)."""

    def __init__(self, pic, ox, oy, size):
        self.p, self.ox, self.oy, self.k = pic, ox, oy, size / 16.0

    def X(self, v, snap=False):
        r = self.ox + v * self.k
        return math.floor(r + 0.5) if snap else r

    def Y(self, v, snap=False):
        r = self.oy + v * self.k
        return math.floor(r + 0.5) if snap else r

    def L(self, v):
        return v * self.k

    def rect(self, x0, y0, x1, y1, r=0):
        return self.p.rect(self.X(x0, True), self.Y(y0, True), self.X(x1, True), self.Y(y1, True), r * self.k)

    def ellipse(self, x0, y0, x1, y1, snap=True):
        return self.p.ellipse(self.X(x0, snap), self.Y(y0, snap), self.X(x1, snap), self.Y(y1, snap))

    def circle(self, cx, cy, r):
        return self.ellipse(cx - r, cy - r, cx + r, cy + r)

    def poly(self, pts):
        return self.p.poly([(self.X(x), self.Y(y)) for x, y in pts])

    def line(self, pts, width, caps=True):
        return self.p.line([(self.X(x), self.Y(y)) for x, y in pts], max(1.0, width * self.k), caps)

    def pie(self, cx, cy, r, a0, a1):
        return self.p.pie(self.X(cx), self.Y(cy), self.L(r), a0, a1)

    def arc(self, cx, cy, r, a0, a1, width):
        return self.p.arc(self.X(cx), self.Y(cy), self.L(r), a0, a1, max(1.0, width * self.k))

    def text(self, x, y, s, size, bold=False):
        return self.p.text(self.X(x), self.Y(y), s, size * self.k, bold)

    def both(self, a, b):
        return self.p.both(a, b)

    def minus(self, a, b):
        return self.p.minus(a, b)

    def body(self, mask, ramp, y0, y1, outline=True, gloss=True):
        self.p.body(mask, ramp, self.Y(y0), self.Y(y1), outline, gloss)

    def paint(self, mask, paint, alpha=1.0):
        self.p.paint(mask, paint, alpha)


# ---------------------------------------------------------------------------
# Glyphs: each draws one motif into a Grid (16 design units).
# ---------------------------------------------------------------------------
def arrow_poly(x0, y, x1, shaft, head, head_len):
    """A right-pointing arrow from x0 to x1 centred on y."""
    hx = x1 - head_len
    return [(x0, y - shaft / 2), (hx, y - shaft / 2), (hx, y - head / 2), (x1, y),
            (hx, y + head / 2), (hx, y + shaft / 2), (x0, y + shaft / 2)]


def rotate(pts, cx, cy, deg):
    a = math.radians(deg)
    ca, sa = math.cos(a), math.sin(a)
    return [(cx + (x - cx) * ca - (y - cy) * sa, cy + (x - cx) * sa + (y - cy) * ca) for x, y in pts]


def g_tile(g):
    """The program tile: blue rounded square with green and yellow load bars."""
    tile = g.rect(0.5, 0.5, 15.5, 15.5, 3)
    g.body(tile, NAVY, 0.5, 15.5)
    for x0, h, ramp in ((3, 5, GREEN), (6.5, 8, GREEN), (10, 6, YELLOW)):
        g.body(g.rect(x0, 12.5 - h, x0 + 3, 12.5), ramp, 12.5 - h, 12.5, outline=False)
    g.paint(g.rect(2, 12.5, 14, 13.5), (214, 232, 255))


def g_window(g, x0=1, y0=2, x1=15, y1=14, title=BLUE):
    frame = g.rect(x0, y0, x1, y1, 1)
    g.body(frame, PAPER, y0, y1, gloss=False)
    g.body(g.both(frame, g.rect(x0, y0, x1, y0 + 3.5)), title, y0, y0 + 3.5, outline=False)
    g.paint(g.minus(frame, g.p.erode(frame)), title[2])


def g_gear(g, cx=8, cy=8, ro=7.5, ri=5.6, hole=2.2, teeth=8, ramp=STEEL):
    pts = []
    n = teeth * 4
    for i in range(n):
        a = 2 * math.pi * (i - 0.5) / n
        r = ro if (i % 4) in (0, 1) else ri
        pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    m = g.p.union(g.poly(pts), g.circle(cx, cy, ri + 0.3 * (ro - ri)))
    g.body(m, ramp, cy - ro, cy + ro)
    h = g.circle(cx, cy, hole)
    g.p.erase(h)
    g.paint(g.p.minus(g.circle(cx, cy, hole + 1), h), ramp[2], 0.8)


def g_pie(g, cx=8, cy=8.5, r=6.5):
    g.p.shadow(g.circle(cx, cy, r), 0, g.L(0.8), 0.15, g.L(0.5))
    g.body(g.pie(cx, cy, r, 0, 200), BLUE, cy - r, cy + r, gloss=False)
    g.body(g.pie(cx, cy, r, 200, 270), GREEN, cy - r, cy + r, gloss=False)
    g.body(g.pie(cx + 1, cy - 1, r, 270, 360), YELLOW, cy - r - 1, cy + r, gloss=False)


def g_disc(g, ramp, cx=8, cy=8, r=7):
    m = g.circle(cx, cy, r)
    g.body(m, ramp, cy - r, cy + r)
    return m


def g_info(g):
    g_disc(g, BLUE, r=7.5)
    g.paint(g.rect(7, 4, 9, 6), WHITE)
    g.paint(g.rect(7, 7, 9, 12.5), WHITE)


def g_help(g):
    g_disc(g, BLUE, r=7.5)
    g.paint(g.text(8, 8.3, "?", 11.5, True), WHITE)


def g_end(g):
    g_disc(g, RED, r=7.5)
    g.paint(g.line([(5.3, 5.3), (10.7, 10.7)], 2), WHITE)
    g.paint(g.line([(10.7, 5.3), (5.3, 10.7)], 2), WHITE)


def g_globe(g, cx=8, cy=8, r=7):
    m = g_disc(g, SKY, cx, cy, r)
    inner = g.p.erode(m)
    lines = g.p.union(
        g.ellipse(cx - r * 0.45, cy - r, cx + r * 0.45, cy + r, snap=False),
        g.rect(cx - r, cy - 0.3, cx + r, cy + 0.7))
    ring = g.p.minus(lines, g.p.erode(lines))
    g.paint(g.p.both(g.p.union(ring, g.rect(cx - r, cy - 0.3, cx + r, cy + 0.7)), inner), (40, 96, 170), 0.55)
    land = g.p.union(g.ellipse(cx - r * 0.9, cy - r * 0.75, cx - r * 0.1, cy + r * 0.1, snap=False),
                     g.ellipse(cx + r * 0.15, cy + r * 0.15, cx + r * 0.8, cy + r * 0.85, snap=False))
    g.paint(g.p.both(land, inner), (88, 178, 84), 0.85)


def g_magnifier(g, cx=6.5, cy=6.5, r=4.5, handle=((9.8, 9.8), (14.2, 14.2))):
    g.body(g.line(list(handle), 2.6), NAVY, handle[0][1], handle[1][1], gloss=False)
    ring = g.circle(cx, cy, r)
    g.paint(ring, (40, 52, 72))
    glass = g.p.erode(ring, max(1, round(g.L(1.2))))
    g.paint(glass, g.p.vgrad((236, 246, 255), (160, 204, 248), g.Y(cy - r), g.Y(cy + r)))
    g.paint(g.p.both(g.circle(cx - r * 0.3, cy - r * 0.35, r * 0.45), glass), WHITE, 0.7)


def g_document(g, x0=3, y0=1, x1=13, y1=15, fold=3.5, lines=True):
    pts = [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]
    m = g.poly(pts)
    g.body(m, PAPER, y0, y1, gloss=False)
    corner = g.poly([(x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold)])
    g.paint(corner, PAPER[2])
    g.paint(g.p.erode(corner), (236, 240, 246))
    if lines:
        for yy in range(int(y0 + fold + 1.5), int(y1 - 1), 2):
            g.paint(g.rect(x0 + 2, yy, x1 - 2, yy + 1), (150, 170, 200))


def g_arrow(g, x0, y, x1, ramp, shaft=2.6, head=6.4, head_len=3.4, angle=0, outline=True):
    pts = arrow_poly(x0, y, x1, shaft, head, head_len)
    if angle:
        pts = rotate(pts, (x0 + x1) / 2, y, angle)
    g.body(g.poly(pts), ramp, y - head / 2, y + head / 2, outline=outline)


def g_power(g, ramp=RED):
    g_disc(g, ramp, r=7.5)
    g.paint(g.arc(8, 8.5, 3.7, -50, 230, 2), WHITE)
    g.paint(g.line([(8, 3.4), (8, 8)], 2), WHITE)


def arc_arrow(g, cx, cy, r, a0, a1, width, head, paint, outline=True):
    """A stroke along a circle from angle a0 to a1 (clockwise, degrees from 3
    o'clock) with an arrow head at a1 pointing onwards."""
    head_len = head * 0.85
    back = math.degrees(head_len * 0.35 / r)
    stroke = g.arc(cx, cy, r, a0, a1 - back, width)
    t = math.radians(a1)
    ex, ey = cx + r * math.cos(t), cy + r * math.sin(t)
    tx, ty = -math.sin(t), math.cos(t)
    nx, ny = math.cos(t), math.sin(t)
    tip = (ex + tx * head_len * 0.65, ey + ty * head_len * 0.65)
    b1 = (ex + nx * head / 2 - tx * head_len * 0.35, ey + ny * head / 2 - ty * head_len * 0.35)
    b2 = (ex - nx * head / 2 - tx * head_len * 0.35, ey - ny * head / 2 - ty * head_len * 0.35)
    m = g.p.union(stroke, g.poly([tip, b1, b2]))
    if isinstance(paint, tuple) and len(paint) == 3 and isinstance(paint[0], tuple):
        g.body(m, paint, cy - r, cy + r, outline=outline, gloss=False)
    else:
        g.paint(m, paint)


def g_refresh(g):
    arc_arrow(g, 8, 8, 5, 195, 325, 2.4, 6, DEEP_GREEN, outline=False)
    arc_arrow(g, 8, 8, 5, 15, 145, 2.4, 6, DEEP_GREEN, outline=False)


def g_restart(g):
    arc_arrow(g, 8, 8.3, 5, -60, 235, 2.4, 6.2, DEEP_ORANGE, outline=False)


def g_moon(g, ramp=YELLOW, cx=8, cy=8, r=6.5):
    disc = g.circle(cx, cy, r)
    cut = g.ellipse(cx - r * 0.35, cy - r * 1.25, cx + r * 1.55, cy + r * 0.65, snap=False)
    g.body(g.p.minus(disc, cut), ramp, cy - r, cy + r)


def g_standby(g):
    g_moon(g, YELLOW, 7, 8.5, 6.5)
    star = []
    for i in range(10):
        rr = 2.2 if i % 2 == 0 else 0.9
        a = math.radians(-90 + 36 * i)
        star.append((12 + rr * math.cos(a), 4 + rr * math.sin(a)))
    g.body(g.poly(star), YELLOW, 2, 6, outline=False)


def g_hibernate(g):
    g_disc(g, NAVY, r=7.5)
    m = g.p.union(*[g.line(rotate([(8, 3.3), (8, 12.7)], 8, 8, a), 1.3) for a in (0, 60, 120)])
    ticks = []
    for a in range(0, 360, 60):
        ticks.append(g.line(rotate([(6.5, 3.8), (8, 5.3), (9.5, 3.8)], 8, 8, a), 1.0))
    g.paint(g.p.union(m, *ticks), (214, 236, 255))


def g_folder(g, open_=False):
    back = g.p.union(g.rect(1, 3, 7, 6, 1), g.rect(1, 4, 15, 14, 1))
    g.body(back, FOLDER, 3, 14, gloss=False)
    g.paint(g.rect(2, 6, 14, 7), (255, 255, 255), 0.9)
    front = g.poly([(1, 7.5), (15, 7.5), (15, 13.5), (14.5, 14), (1.5, 14), (1, 13.5)]) if not open_ else \
        g.poly([(3, 7.5), (16, 7.5), (14, 14), (1, 14)])
    g.body(front, FOLDER, 7.5, 14)


def g_chip(g, ramp=STEEL, core=BLUE, label=None):
    pins = []
    for p in (4, 6, 9, 11):
        pins += [g.rect(p, 1, p + 1, 3), g.rect(p, 13, p + 1, 15), g.rect(1, p, 3, p + 1), g.rect(13, p, 15, p + 1)]
    g.paint(g.p.union(*pins), (150, 158, 172))
    body = g.rect(3, 3, 13, 13, 1)
    g.body(body, NAVY, 3, 13)
    g.body(g.rect(5, 5, 11, 11), core, 5, 11)
    if label:
        g.paint(g.text(8, 8, label, 5, True), WHITE)


def g_ram(g, ramp=GREEN, y0=4, y1=11, ghost=False):
    board = g.rect(0.5, y0, 15.5, y1)
    if ghost:
        g.paint(board, ramp[2], 0.6)
        g.paint(g.p.erode(board), ramp[0], 0.35)
    else:
        g.body(board, ramp, y0, y1, gloss=False)
    g.paint(g.rect(7.5, y1 - 2, 8.5, y1), (0, 0, 0, 0))
    g.p.erase(g.rect(7.5, y1 - 2, 8.5, y1))
    for x in (2, 5.5, 9.5, 13):
        chip = g.rect(x - 1, y0 + 1.5, x + 1.5, y1 - 3)
        if ghost:
            g.paint(chip, (40, 60, 100), 0.35)
        else:
            g.paint(chip, (36, 44, 56))
    for x in range(1, 15, 2):
        if x in (7,):
            continue
        g.paint(g.rect(x + 0.5, y1 - 1.5, x + 1.5, y1), (232, 190, 70), 0.5 if ghost else 1.0)


def g_priority_arrows(g):
    up = rotate(arrow_poly(2, 5, 14, 3.2, 7.2, 4.2), 8, 5, -90)
    up = [(x - 3.2, y + 3) for x, y in up]
    down = rotate(arrow_poly(2, 5, 14, 3.2, 7.2, 4.2), 8, 5, 90)
    down = [(x + 3.2, y + 3) for x, y in down]
    g.body(g.poly(up), GREEN, 2, 14)
    g.body(g.poly(down), RED, 2, 14)


def g_check(g, ramp=GREEN):
    m = g.line([(3, 8.5), (6.5, 12), (13, 4.5)], 2.4)
    g.paint(m, ramp[2])
    g.paint(g.line([(3, 8.5), (6.5, 12), (13, 4.5)], 1.2), ramp[1])


def g_pause(g):
    g_disc(g, ORANGE, r=7.5)
    g.paint(g.rect(5, 4.5, 7, 11.5), WHITE)
    g.paint(g.rect(9, 4.5, 11, 11.5), WHITE)


def g_resume(g):
    g_disc(g, GREEN, r=7.5)
    g.paint(g.poly([(6, 4.3), (12, 8), (6, 11.7)]), WHITE)


def g_play(g):
    g.body(g.poly([(3.5, 2), (14, 8), (3.5, 14)]), GREEN, 2, 14)


def g_stop(g):
    g.body(g.rect(3, 3, 13, 13, 1.2), RED, 3, 13)


def g_optimize(g):
    g_ram(g, GREEN, 2, 9)
    down = rotate(arrow_poly(0, 0, 9, 3, 7, 4), 0, 0, 90)
    down = [(x + 11.5, y + 6.5) for x, y in down]
    g.body(g.poly(down), BLUE, 6.5, 15.5)


def g_transparency(g):
    back = g.rect(1, 1, 11, 11, 1)
    g.body(back, BLUE, 1, 11)
    front = g.rect(5, 5, 15, 15, 1)
    g.paint(front, NAVY[1])
    inner = g.p.erode(front)
    g.p.erase(inner)
    g.paint(inner, (255, 255, 255), 0.55)
    g.paint(g.p.both(inner, back), (255, 255, 255), 0.1)


def g_pin(g):
    g.paint(g.line([(7.5, 8.5), (2, 14)], 1.2), (104, 112, 126))
    g.body(g.line([(6.2, 9.8), (9.8, 6.2)], 3.2), RED, 6, 10, gloss=False)
    g.body(g.circle(10.5, 5.5, 4.2), RED, 1.3, 9.7)
    g.paint(g.circle(9.4, 4.3, 1.3), WHITE, 0.7)


def g_export(g):
    g_document(g, 1, 1, 11, 15)
    g_arrow(g, 6, 10.5, 15.5, GREEN, shaft=2.6, head=6.6, head_len=3.6)


def g_close(g):
    g_window(g, 1, 2, 15, 14)
    g.body(g.rect(9.5, 7, 15.5, 13, 1), RED, 7, 13)
    g.paint(g.line([(11, 8.5), (14, 11.5)], 1.1, False), WHITE)
    g.paint(g.line([(14, 8.5), (11, 11.5)], 1.1, False), WHITE)


def g_exit(g):
    door = g.rect(2, 1, 10, 15)
    g.body(door, FOLDER, 1, 15, gloss=False)
    g.paint(g.rect(3, 2, 9, 14), (120, 80, 40), 0.35)
    g_arrow(g, 6, 8, 15.5, RED, shaft=2.6, head=6.6, head_len=3.6)


def g_run(g):
    g_window(g, 1, 1, 14, 12)
    g.body(g.circle(11.5, 11.5, 4.3), GREEN, 7.2, 15.8)
    g.paint(g.poly([(10.2, 9.3), (13.6, 11.5), (10.2, 13.7)]), WHITE)


def g_taskmgr(g):
    g_window(g, 0.5, 1.5, 15.5, 14.5, NAVY)
    g.paint(g.rect(2, 5.5, 14, 13.5), (20, 28, 40))
    for x0, h in ((3, 3), (5, 5), (7, 4), (9, 6), (11, 7)):
        g.paint(g.rect(x0, 13 - h, x0 + 1.6 if g.k > 1.2 else x0 + 1, 13), (110, 220, 90))
    g.paint(g.line([(2.5, 10), (5, 8), (8, 9), (10.5, 6.5), (13.5, 7)], 0.9, False), (250, 200, 70))


def g_web_search(g):
    g_globe(g, 7, 7, 6.5)
    g_magnifier(g, 10, 10, 3.6, ((12.6, 12.6), (15.2, 15.2)))


def g_driver(g):
    card = g.rect(1, 3, 15, 12)
    g.body(card, GREEN, 3, 12, gloss=False)
    g.paint(g.rect(3, 5, 8, 10), (36, 44, 56))
    g.paint(g.rect(9, 5, 13, 7), (36, 44, 56))
    for x in range(2, 14, 2):
        g.paint(g.rect(x, 12, x + 1, 14.5), (232, 186, 60))
    g.paint(g.rect(1, 12, 15, 12.5), GREEN[2], 0.6)


def g_service(g):
    g_gear(g, 6.5, 6.5, 6, 4.4, 1.8, 8, STEEL)
    g_gear(g, 11.8, 11.8, 3.9, 2.8, 1.1, 6, BLUE)


def g_service_host(g):
    g_window(g, 0.5, 0.5, 12.5, 11, NAVY)
    g_gear(g, 11, 11, 4.8, 3.5, 1.4, 8, STEEL)


def g_network(g):
    g.paint(g.rect(4.5, 8, 5.5, 13), (70, 80, 96))
    g.paint(g.rect(10.5, 10, 11.5, 13), (70, 80, 96))
    g.paint(g.rect(1, 13, 15, 14), (70, 80, 96))
    for (x0, y0, x1, y1) in ((0.5, 0.5, 9.5, 7.5), (6.5, 3.5, 15.5, 10.5)):
        scr = g.rect(x0, y0, x1, y1, 0.8)
        g.body(scr, STEEL, y0, y1, gloss=False)
        g.paint(g.rect(x0 + 1.5, y0 + 1.5, x1 - 1.5, y1 - 1.5), g.p.vgrad(SKY[0], SKY[1], g.Y(y0), g.Y(y1)))


def g_badge(g, letter, ramp):
    m = g.rect(1, 1, 15, 15, 3)
    g.body(m, ramp, 1, 15)
    g.paint(g.text(8, 8.2, letter, 10.5, True), WHITE)


def g_site(g):
    g_document(g, 2, 1, 12, 15)
    g_magnifier(g, 10, 10, 3.6, ((12.6, 12.6), (15.2, 15.2)))


def g_paged_pool(g):
    # a disk cylinder with a page on top
    cyl = g.p.union(g.ellipse(1, 9, 15, 13, snap=False), g.rect(1, 11, 15, 14), g.ellipse(1, 12, 15, 16, snap=False))
    g.body(cyl, STEEL, 9, 16, gloss=False)
    g.paint(g.ellipse(2, 9.7, 14, 12.3, snap=False), (250, 252, 255))
    g_document(g, 4, 0.5, 12, 9.5, 2.5, lines=False)
    for yy in (4, 6):
        g.paint(g.rect(5.5, yy, 10.5, yy + 1), (150, 170, 200))


def g_nonpaged_pool(g):
    g_ram(g, GREEN, 2, 9)
    shackle = g.arc(11, 10.5, 2, 180, 360, 1.2)
    g.paint(shackle, (80, 88, 100))
    g.body(g.rect(7.5, 10.5, 14.5, 15.5, 0.8), YELLOW, 10.5, 15.5)
    g.paint(g.rect(10.5, 12, 11.5, 14), (120, 80, 10))


def g_virtual_memory(g):
    # a dashed outline of a module behind a real one: memory that may not be there
    dashes = [g.rect(x, 2, x + 2, 3) for x in range(1, 15, 3)]
    dashes += [g.rect(1, y, 2, y + 2) for y in (4, 7)] + [g.rect(15, y, 16, y + 2) for y in (2, 5)]
    g.paint(g.p.union(*dashes), BLUE[1])
    g_ram(g, BLUE, 6, 13)


# ---------------------------------------------------------------------------
# Icons
# ---------------------------------------------------------------------------
def icon(size, glyph, box=None, offset=0):
    """A square icon with the glyph drawn on a `box`-pixel grid centred in it."""
    box = box or size
    size, box, offset = sc(size), sc(size) - 2 * sc((size - box) / 2), offset * SCALE
    p = Pic(size, size)
    o = (size - box) / 2 + offset
    glyph(Grid(p, o, o, box))
    return p.done()


def greyed(img):
    """The disabled look: desaturated, lightened, a little transparent."""
    out = img.copy()
    px = out.load()
    for y in range(out.height):
        for x in range(out.width):
            r, g, b, a = px[x, y]
            lum = 0.299 * r + 0.587 * g + 0.114 * b
            v = int(round(255 - (255 - lum) * 0.5))
            px[x, y] = (v, v, min(255, v + 4), int(a * 0.85))
    return out


def sort_arrow(up):
    """12×12, pixel-exact: a small filled triangle of 4 rows."""
    n, rows_count = sc(12), sc(4)
    img = Image.new("RGBA", (n, n), (0, 0, 0, 0))
    px = img.load()
    c = n // 2
    rows = [(c - 1 - i, c + 1 + i) for i in range(rows_count)]  # [x0, x1) per row
    for i, (x0, x1) in enumerate(rows):
        y = c - rows_count // 2 + i if up else c + rows_count // 2 - 1 - i
        for x in range(x0, x1):
            edge = x in (x0, x1 - 1)
            px[x, y] = (96, 116, 156, 255) if edge else (120, 142, 184, 255)
    return img


def status_strip():
    """The status bar background: 4×20 exact colours."""
    h, line = sc(20), lw()
    img = Image.new("RGBA", (4, h))
    px = img.load()
    top, bottom = (210, 225, 255), (252, 253, 255)
    for y in range(h):
        if y < line:
            c = (184, 196, 224)
        elif y < 2 * line:
            c = (157, 168, 191)
        else:
            t = (y - 2 * line) / (h - 1 - 2 * line)
            c = tuple(int(math.floor(a + (b - a) * t + 0.5)) for a, b in zip(top, bottom))
        for x in range(4):
            px[x, y] = c + (255,)
    return img


# --- tab strips -------------------------------------------------------------
VIEW_NAMES = ["Prozesse", "Fenster", "Dienste", "Treiber", "Netzwerk", "Überwachung"]
TAB_EDGES = [0, 84, 140, 195, 247, 313, 398]
TAB_W, TAB_H = 400, 25
TAB_LINE = (138, 160, 208)     # outlines and the base line
TAB_TEXT = (28, 44, 80)
TAB_TEXT_DIM = (70, 84, 112)


def draw_text_1x(img, x, y, s, colour, bold=False, size=11):
    """Text drawn directly at the final size (hinted, not supersampled)."""
    f = ImageFont.truetype(FONT_BOLD if bold else FONT, size)
    layer = Image.new("RGBA", img.size, colour + (0,))
    m = Image.new("L", img.size, 0)
    ImageDraw.Draw(m).text((x, y), s, font=f, fill=255, anchor="ms")
    layer.putalpha(m)
    img.alpha_composite(layer)


TAB_SEL_LINE = (102, 136, 204)  # outline of the selected tab and the base line
TAB_ACCENT = (255, 186, 60)


def tab_strip(names, edges, width, height, selected, background, panel, idle_fill, baselines):
    """A row of tabs. Neighbouring tabs share one outline column at each
    boundary; the selected tab is taller, lighter, has an accent on its top
    edge and opens into the area below (colour `panel`), every other tab
    stands on the base line in the bottom row."""
    tall = height > 20
    edges, width, height, line = [sc(e) for e in edges], sc(width), sc(height), lw()
    p = Pic(width, height, background)
    order = [i for i in range(len(names)) if i != selected] + [selected]
    for i in order:
        x0, x1 = edges[i], edges[i + 1]
        sel = i == selected
        top = sc(1 if sel else 4 if tall else 3)
        shape = p.rect(x0, top, x1 + line, height + sc(4), 2.5 * SCALE)
        p.paint(shape, TAB_SEL_LINE if sel else TAB_LINE)
        inner = p.erode(shape, line, open_bottom=True)
        if sel:
            p.paint(inner, p.vgrad((255, 255, 255), panel, top + sc(2), height - sc(2)))
            p.paint(p.both(p.rect(x0 + line, top, x1, top + sc(2)), shape), TAB_ACCENT)
        else:
            p.paint(inner, p.vgrad(idle_fill[0], idle_fill[1], top + sc(1), height - sc(1)))
            p.paint(p.both(p.minus(inner, p.erode(inner, line)), p.rect(0, 0, width, top + sc(2))), WHITE, 0.8)
    base = p.rect(0, height - line, width, height)
    if selected is not None:
        base = p.minus(base, p.rect(edges[selected] + line, height - line, edges[selected + 1], height))
    p.paint(base, TAB_SEL_LINE)
    img = p.done()
    for i, name in enumerate(names):
        sel = i == selected
        cx = int(round((edges[i] + edges[i + 1] + 1) / 2))
        draw_text_1x(img, cx, sc(baselines[1] if sel else baselines[0]), name, TAB_TEXT if sel else TAB_TEXT_DIM,
                     size=sc(11))
    return img


def main_tabs(selected):
    return tab_strip(VIEW_NAMES, TAB_EDGES, TAB_W, TAB_H, selected, WHITE, PANEL,
                     ((246, 249, 255), (220, 230, 248)), (18, 17))


def tab_filler():
    """Stretched to the right of the tab strip: white with the base line."""
    h = sc(TAB_H)
    img = Image.new("RGBA", (4, h), rgba(WHITE))
    px = img.load()
    for x in range(4):
        for y in range(h - lw(), h):
            px[x, y] = TAB_SEL_LINE + (255,)
    return img


def page_selector(selected):
    """The preferences window's page tabs (on the light-blue window, above the
    white page boxes); the first tab ends at x = 80."""
    return tab_strip(["Allgemein", "Spalten"], [0, 80, 160], 320, 19, selected, PANEL, WHITE,
                     ((238, 244, 255), (212, 225, 250)), (15, 14))


# --- banner and sidebar -------------------------------------------------------
def banner():
    """420×25: a light band over a faint load-history skyline, closed by a blue
    accent line. The dialogs crop it at their own width and may place text on it,
    so nothing in it depends on the position."""
    w, h, line = sc(420), sc(25), lw()
    band = h - line - sc(2)  # the blue accent band and the navy line below it
    p = Pic(w, h)
    p.paint(p.rect(0, 0, w, h), p.vgrad((255, 255, 255), (218, 230, 255), 0, band))
    # skyline: a smooth pseudo-random load curve drawn as 3-pixel columns
    pts = []
    for x in range(0, 420 + 3, 3):
        v = (0.5 + 0.22 * math.sin(x / 23.0) + 0.15 * math.sin(x / 7.3 + 1.1) + 0.1 * math.sin(x / 3.1 + 0.4))
        pts.append((x * SCALE, band - 4 * SCALE - v * 12 * SCALE))
    sky = p.poly([(0, band)] + pts + [(w, band)])
    p.paint(sky, p.vgrad((150, 186, 244), (118, 160, 232), sc(6), band), 0.35)
    crest = p.line(pts, SCALE, caps=False)
    p.paint(crest, BLUE[1], 0.35)
    p.paint(p.rect(0, band, w, h - line), BLUE[1])
    p.paint(p.rect(0, band, w, band + line), (255, 255, 255), 0.3)
    p.paint(p.rect(0, h - line, w, h), NAVY[1])
    return p.done()


def sidebar():
    """80×520: a tall blue band with the settings gear at the top, the window's
    name written upwards and faint load bars at the foot."""
    w, h, line, S = sc(80), sc(520), lw(), SCALE
    p = Pic(w, h)
    p.paint(p.rect(0, 0, w, h), p.vgrad((64, 116, 204), NAVY[1], 0, h))
    # soft light falling from the top left
    glow = Image.new("L", (w, h), 0)
    gp = glow.load()
    for y in range(h):
        for x in range(w):
            d = math.hypot(x / (80.0 * S), y / (260.0 * S))
            gp[x, y] = int(60 * max(0.0, 1 - d) ** 2)
    p.paint(glow.resize(p.img.size, Image.BILINEAR), WHITE)
    # load bars at the foot, white and faint
    x = 8
    for bh in (22, 38, 30, 52, 44, 64):
        p.paint(p.rect(x * S, (520 - 14 - bh) * S, (x + 8) * S, (520 - 14) * S, 1.5 * S), WHITE, 0.12)
        x += 11
    p.paint(p.rect(0, h - sc(14), w, h - sc(14) + line), WHITE, 0.18)
    # edge towards the pages
    p.paint(p.rect(w - 2 * line, 0, w - line, h), WHITE, 0.22)
    p.paint(p.rect(w - line, 0, w, h), NAVY[2])
    img = p.done()
    gear = Pic(sc(48), sc(48))
    gear.shadow(gear.circle(24 * S, 24 * S, 22 * S), 0, 1.5 * S, 0.3, 1.5 * S)
    g_gear(Grid(gear, 0, 0, 48 * S), 8, 8, 7.6, 5.8, 2.4, 10, ((255, 255, 255), (200, 220, 250), (30, 60, 130)))
    img.alpha_composite(gear.done(), (sc(16), sc(16)))
    f = ImageFont.truetype(FONT_BOLD, sc(16))
    m = Image.new("L", (sc(260), sc(30)), 0)
    ImageDraw.Draw(m).text((0, sc(22)), "Einstellungen", font=f, fill=255, anchor="ls")
    m = m.rotate(90, expand=True)
    layer = Image.new("RGBA", m.size, (255, 255, 255, 0))
    layer.putalpha(m.point(lambda v: v * 235 // 255))
    img.alpha_composite(layer, (sc(26), sc(84)))
    return img


def about_logo():
    S = SCALE
    p = Pic(sc(56), sc(56))
    p.shadow(p.rect(2 * S, 2 * S, 54 * S, 54 * S, 10 * S), 0, 1.5 * S, 0.25, 1.5 * S)
    g_tile(Grid(p, 1 * S, 0, 54 * S))
    return p.done()


def pie_overlay():
    """240×240: opaque panel colour outside the disc, a soft gloss inside."""
    n, S = sc(240), SCALE
    R = 120 * S
    img = Image.new("RGBA", (n, n))
    px = img.load()
    ss = 4
    for y in range(n):
        for x in range(n):
            acc_out = 0.0
            for sy in range(ss):
                for sx in range(ss):
                    dx = x + (sx + 0.5) / ss - R
                    dy = y + (sy + 0.5) / ss - R
                    if math.hypot(dx, dy) > R + 0.5:
                        acc_out += 1
            outside = acc_out / (ss * ss)
            dx, dy = x + 0.5 - R, y + 0.5 - R
            d = math.hypot(dx, dy) / R
            # gloss: light from the upper left, a gentle shade towards the lower right rim
            lx, ly = (dx + 42 * S) / R, (dy + 48 * S) / R
            hl = max(0.0, 1 - math.hypot(lx, ly) / 0.85)
            light_a = 0.30 * hl ** 1.6
            rim = max(0.0, (d - 0.80) / 0.20) ** 2
            shade_dir = max(0.0, (dx + dy) / (math.sqrt(2) * R))
            dark_a = min(1.0, 0.22 * rim + 0.08 * shade_dir * d)
            # combine: white (light) over black (dark) as a single colour + alpha
            a_in = light_a + dark_a * (1 - light_a)
            if a_in > 0:
                c_in = 255 * light_a / a_in
            else:
                c_in = 0
            c_in_rgb = (c_in, c_in, c_in)
            a = outside + a_in * (1 - outside)
            if a <= 0:
                px[x, y] = (0, 0, 0, 0)
                continue
            rgb = tuple((PANEL[i] * outside + c_in_rgb[i] * a_in * (1 - outside)) / a for i in range(3))
            px[x, y] = tuple(int(round(v)) for v in rgb) + (int(round(a * 255)),)
    return img


def window_icon(size, glyph):
    return icon(size, glyph)


# ---------------------------------------------------------------------------
# The catalogue: resource name, file, role, producer.
# ---------------------------------------------------------------------------
def toolbar(glyph):
    """28×28 button picture: the icon drawn on a 22-pixel grid, centred."""
    return lambda: icon(28, glyph, 22)


CATALOGUE = []


def add(group, name, role, make):
    CATALOGUE.append((group, name, role, make))


def build_catalogue():
    tb = "Toolbar buttons (28×28, drawn over the button face at 0, 0)"
    add(tb, "toolbar_taskmgr", "button 19, start the system task manager", toolbar(g_taskmgr))
    add(tb, "toolbar_run", "button 22, run dialog", toolbar(g_run))
    add(tb, "toolbar_preferences", "button 20, preferences", toolbar(lambda g: g_gear(g, ramp=SKY)))
    add(tb, "toolbar_diagram", "button 21, diagram window", toolbar(g_pie))
    add(tb, "toolbar_end_process", "button 23, end process", toolbar(g_end))
    add(tb, "toolbar_web_search", "button 24, web search", toolbar(g_web_search))
    add(tb, "toolbar_information", "button 25, process information", toolbar(g_info))
    add(tb, "toolbar_end_process_grey", "button 23 disabled", lambda: greyed(icon(28, g_end, 22)))
    add(tb, "toolbar_web_search_grey", "button 24 disabled", lambda: greyed(icon(28, g_web_search, 22)))
    add(tb, "toolbar_information_grey", "button 25 disabled", lambda: greyed(icon(28, g_info, 22)))

    tabs = "Main tab strip (400×25; tabs end at x = 84, 140, 195, 247, 313, 398) and its filler"
    for i, key in enumerate(("processes", "windows", "services", "drivers", "network", "monitoring")):
        add(tabs, "tabs_" + key, "tab strip with view %d (\"%s\") selected" % (i, VIEW_NAMES[i]),
            (lambda i=i: main_tabs(i)))
    add(tabs, "tabs_filler", "4×25, stretched right of the tab strip", tab_filler)

    sb = "Status bar"
    add(sb, "statusbar", "4×20 background strip, stretched to the client width", status_strip)

    dlg = "Dialog windows"
    add(dlg, "banner", "420×25 banner at the top of every dialog window and of the error dialog", banner)
    add(dlg, "prefs_sidebar", "80×520 sidebar of the preferences window", sidebar)
    add(dlg, "prefs_tabs_general", "320×19 page selector, first page (x < 80) selected",
        lambda: page_selector(0))
    add(dlg, "prefs_tabs_columns", "320×19 page selector, second page selected", lambda: page_selector(1))
    add(dlg, "about_logo", "56×56 program logo of the information window", about_logo)
    add(dlg, "window_diagram_16", "16×16 small window icon of the diagram window", lambda: icon(16, g_pie))
    add(dlg, "window_diagram_32", "32×32 window icon of the diagram window", lambda: icon(32, g_pie))
    add(dlg, "window_preferences_16", "16×16 small window icon of the preferences window",
        lambda: icon(16, lambda g: g_gear(g, ramp=SKY)))
    add(dlg, "window_preferences_32", "32×32 window icon of the preferences window",
        lambda: icon(32, lambda g: g_gear(g, ramp=SKY)))

    mn = "Menu icons (16×16, drawn in the left strip of a menu item)"
    for key, role, glyph in (
            ("export", "list export items 1..4", g_export),
            ("preferences", "\"Einstellungen\"", lambda g: g_gear(g, ramp=SKY)),
            ("close", "\"Schließen\"", g_close),
            ("power_off", "\"Ausschalten\"", g_power),
            ("restart", "\"Neu starten\"", g_restart),
            ("standby", "\"Standby\"", g_standby),
            ("hibernate", "\"Ruhezustand\"", g_hibernate),
            ("help", "\"Hilfe...\"", g_help),
            ("information", "\"Information\" and process information", g_info),
            ("refresh", "the \"Aktualisieren\" items", g_refresh),
            ("priority", "submenu \"Priorität\"", g_priority_arrows),
            ("processor", "submenu \"Prozessor\"", g_chip),
            ("suspend", "\"Prozess anhalten\"", g_pause),
            ("resume", "\"Prozess fortsetzen\"", g_resume),
            ("diagram", "\"Diagramm anzeigen\"", g_pie),
            ("end_process", "\"Prozess beenden\"", g_end),
            ("search", "the web search items", lambda g: g_magnifier(g, 6.5, 6.5, 5, ((10.3, 10.3), (14.5, 14.5)))),
            ("optimize", "\"Prozess optimieren\"", g_optimize),
            ("folder", "\"Verzeichnis öffnen\"", g_folder),
            ("start", "service \"Starten\"", g_play),
            ("stop", "service \"Stoppen\"", g_stop),
            ("transparency", "submenu \"Transparenz\"", g_transparency),
            ("topmost", "\"Immer im Vordergrund\"", g_pin),
            ("check", "check mark of checked items", g_check),
            ("program", "the program (tray menu \"Velkor anzeigen\")", g_tile),
            ("exit", "tray menu \"Beenden\"", g_exit)):
        add(mn, "menu_" + key, role, (lambda glyph=glyph: icon(16, glyph)))

    en = "Search engine menu icons (16×16)"
    for key, caption, letter, ramp in (("google", "Google", "G", BLUE), ("yahoo", "Yahoo", "Y", PURPLE),
                                       ("abacho", "Abacho", "A", ORANGE), ("livesearch", "LiveSearch", "L", SKY),
                                       ("lycos", "Lycos", "L", RED), ("exalead", "Exalead", "E", TEAL)):
        add(en, "engine_" + key, "\"%s\"" % caption, (lambda letter=letter, ramp=ramp: icon(16, lambda g: g_badge(g, letter, ramp))))
    add(en, "engine_site", "site-restricted search (item 299)", lambda: icon(16, g_site))

    so = "List header sort arrows (12×12)"
    add(so, "sort_ascending", "ascending order", lambda: sort_arrow(True))
    add(so, "sort_descending", "descending order", lambda: sort_arrow(False))

    ms = "Diagram window: measure icons (16×16) and info panel pictures (32×32), pie overlay"
    for key, caption, glyph in (("cpu", "CPU-Last (%)", lambda g: g_chip(g, core=GREEN)),
                                ("priority", "Priorität", g_priority_arrows),
                                ("memory", "Speicherauslastung", lambda g: g_ram(g, GREEN, 4, 12)),
                                ("virtual_memory", "Virtueller Speicher", g_virtual_memory),
                                ("paged_pool", "Pool (ausgelagert)", g_paged_pool),
                                ("nonpaged_pool", "Pool (nicht ausgelagert)", g_nonpaged_pool)):
        add(ms, "measure_" + key, "measure \"%s\"" % caption, (lambda glyph=glyph: icon(16, glyph)))
    add(ms, "diagram_default", "32×32 default picture of the info panel", lambda: icon(32, g_pie))
    add(ms, "diagram_priority", "32×32 picture for a priority class", lambda: icon(32, g_priority_arrows))
    add(ms, "pie_overlay", "240×240 overlay over the pie: panel colour outside the disc, gloss inside",
        pie_overlay)

    ls = "List row icons"
    add(ls, "list_service", "16×16 icon of every service row", lambda: icon(16, g_service))
    add(ls, "list_service_host", "16×16 icon of service host processes (svchost.exe)",
        lambda: icon(16, g_service_host))
    add(ls, "list_driver", "16×16 icon of every driver row", lambda: icon(16, g_driver))
    add(ls, "list_network", "16×16 icon of every network adapter row", lambda: icon(16, g_network))
    add(ls, "network_adapter", "24×24 icon of the adapter details box", lambda: icon(24, g_network))


# ---------------------------------------------------------------------------
# Output
# ---------------------------------------------------------------------------
def save_png(img, path):
    img.save(path, "PNG", optimize=True)


def scaled_name(name, scale):
    return name if scale == 100 else "%s_%d" % (name, scale)


def write_scaled_rc():
    lines = ["// The program's pictures at 150 and 200 percent, drawn by tools/make_images.py (do not edit by hand).",
             "// Each is the picture of assets/images.rc with \"_150\" or \"_200\" appended to its name."]
    for scale in SCALES[1:]:
        lines.append("")
        lines.append("// %d percent" % scale)
        for _, name, _, _ in CATALOGUE:
            lines.append('%s PNG "%s.png"' % (scaled_name(name, scale).upper(), scaled_name(name, scale)))
    with open(os.path.join(ASSETS, "images_scaled.rc"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def write_rc():
    lines = ["// The program's pictures, drawn by tools/make_images.py (do not edit by hand).",
             "// Resource type PNG; loaded with velkor::LoadPngResource(name), names in src/gfx/image_names.h."]
    group = None
    for grp, name, _, _ in CATALOGUE:
        if grp != group:
            lines.append("")
            lines.append("// " + grp)
            group = grp
        lines.append('%s PNG "%s.png"' % (name.upper(), name))
    with open(os.path.join(ASSETS, "images.rc"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


# The tray companion carries only the icons of its menu.
DORNAT_IMAGES = ["menu_program", "menu_power_off", "menu_restart", "menu_standby", "menu_hibernate", "menu_help",
                 "menu_exit"]


def write_dornat_rc():
    lines = ["// The tray companion's menu icons, drawn by tools/make_images.py (do not edit by hand).", ""]
    lines += ['%s PNG "%s.png"' % (n.upper(), n) for n in DORNAT_IMAGES]
    for scale in SCALES[1:]:
        lines += ["", "// %d percent" % scale]
        lines += ['%s PNG "%s.png"' % (scaled_name(n, scale).upper(), scaled_name(n, scale)) for n in DORNAT_IMAGES]
    with open(os.path.join(ASSETS, "dornat_images.rc"), "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(lines) + "\n")


def const_name(name):
    return "k" + "".join(part.capitalize() for part in name.split("_"))


def write_header(sizes):
    out = ["// Names of the program's PNG resources (assets/images.rc), for velkor::LoadPngResource.",
           "// Generated by tools/make_images.py together with the pictures; do not edit by hand.",
           "#pragma once", "", "namespace velkor::images {", ""]
    group = None
    for grp, name, role, _ in CATALOGUE:
        if grp != group:
            if group is not None:
                out.append("")
            out.append("// " + grp)
            group = grp
        w, h = sizes[name]
        role = re.sub(r"^\d+×\d+,? ", "", role).replace('"', "")
        out.append('inline constexpr const char* %s = "%s";  // %d×%d: %s' % (const_name(name), name.upper(), w, h, role))
    out += ["", "// Every name above, in resource-file order.", "inline constexpr const char* kAll[] = {"]
    out += ["    %s," % const_name(name) for _, name, _, _ in CATALOGUE]
    out += ["};", "", "}  // namespace velkor::images", ""]
    with open(HEADER, "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out))


def main():
    global SCALE
    build_catalogue()
    args = sys.argv[1:]
    scales = SCALES
    if len(args) >= 2 and args[0] == "--scale":
        scales, args = (int(args[1]),), args[2:]
    only = set(args)
    sizes = {}
    for scale in scales:
        SCALE = 1 if scale == 100 else scale / 100
        for _, name, _, make in CATALOGUE:
            path = os.path.join(ASSETS, scaled_name(name, scale) + ".png")
            if only and name not in only:
                continue
            img = make()
            save_png(img, path)
    for _, name, _, _ in CATALOGUE:
        sizes[name] = Image.open(os.path.join(ASSETS, name + ".png")).size
    write_rc()
    write_scaled_rc()
    write_dornat_rc()
    write_header(sizes)


if __name__ == "__main__":
    main()
