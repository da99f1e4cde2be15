#!/usr/bin/env python3
"""Draws the program icons and the start logo of Velkor and writes them to
assets/ (velkor.ico, dornat.ico, logo.png). Pure Python: run it again after
changing a shape and commit its output."""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ASSETS = os.path.join(HERE, "..", "assets")


def lerp(a, b, t):
    return a + (b - a) * t


def mix(c1, c2, t):
    return tuple(lerp(x, y, t) for x, y in zip(c1, c2))


def rounded_rect_coverage(x, y, x0, y0, x1, y1, r):
    """1 inside the rounded rectangle, 0 outside (point sample)."""
    if x < x0 or x >= x1 or y < y0 or y >= y1:
        return 0.0
    cx = min(max(x, x0 + r), x1 - r)
    cy = min(max(y, y0 + r), y1 - r)
    return 1.0 if (x - cx) ** 2 + (y - cy) ** 2 <= r * r else 0.0


def render(size, shape, samples=4):
    """shape(u, v) -> (r, g, b, a) in 0..1 space; supersampled."""
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    u = (px + (sx + 0.5) / samples) / size
                    v = (py + (sy + 0.5) / samples) / size
                    r, g, b, a = shape(u, v)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = samples * samples
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a))
            else:
                row.append((0, 0, 0, 0))
        pixels.append(row)
    return pixels


def meter_shape(top, bottom, bars):
    """A rounded tile with a vertical gradient and load bars rising from the floor."""
    def shape(u, v):
        if not rounded_rect_coverage(u, v, 0.04, 0.04, 0.96, 0.96, 0.18):
            return (0, 0, 0, 0)
        # thin light rim
        rim = not rounded_rect_coverage(u, v, 0.08, 0.08, 0.92, 0.92, 0.15)
        base = mix(top, bottom, v)
        if rim:
            return mix(base, (1, 1, 1), 0.25) + (1,)
        for i, (h, colour) in enumerate(bars):
            x0 = 0.20 + i * 0.2
            if x0 <= u < x0 + 0.14 and 0.80 - h <= v < 0.80:
                shade = mix(colour, (1, 1, 1), 0.35 * (1 - (v - (0.80 - h)) / h))
                return shade + (1,)
        if 0.80 <= v < 0.84 and 0.16 <= u < 0.84:
            return (0.85, 0.92, 1.0, 1)
        return base + (1,)
    return shape


VELKOR = meter_shape((0.16, 0.36, 0.72), (0.05, 0.15, 0.38),
                     [(0.30, (0.35, 0.85, 0.35)), (0.52, (0.35, 0.85, 0.35)), (0.40, (0.95, 0.75, 0.20))])
DORNAT = meter_shape((0.20, 0.50, 0.30), (0.06, 0.22, 0.12),
                     [(0.45, (0.45, 0.80, 1.0)), (0.25, (0.45, 0.80, 1.0)), (0.55, (1.0, 0.55, 0.35))])


def to_bytes(pixels):
    return [[tuple(int(round(c * 255)) for c in p) for p in row] for row in pixels]


def png(pixels):
    h = len(pixels)
    w = len(pixels[0])
    raw = b"".join(b"\x00" + bytes(c for p in row for c in p) for row in pixels)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def ico(images):
    """images: list of pixel grids (RGBA bytes); 32-bit DIB entries with an AND mask."""
    entries = []
    for pixels in images:
        size = len(pixels)
        header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
        xor = b"".join(bytes((b, g, r, a)) for row in reversed(pixels) for (r, g, b, a) in row)
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        entries.append((size, header + xor + bytes(mask)))
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    for size, data in entries:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in entries:
        out += data
    return out


def logo():
    """The start logo: the program tile beside a soft horizontal band."""
    w, h = 196, 64
    tile = to_bytes(render(56, VELKOR))
    rows = []
    for y in range(h):
        row = []
        for x in range(w):
            t = x / (w - 1)
            c = mix((0.16, 0.36, 0.72), (0.94, 0.95, 0.97), min(1, t * 1.4))
            a = 1.0 if 8 <= y < 56 else 0.0
            row.append(tuple(int(round(v * 255)) for v in c) + (int(a * 255),))
        rows.append(row)
    for y in range(56):
        for x in range(56):
            r, g, b, a = tile[y][x]
            if a:
                br, bg, bb, ba = rows[y + 4][x + 4]
                t = a / 255
                rows[y + 4][x + 4] = (int(lerp(br, r, t)), int(lerp(bg, g, t)), int(lerp(bb, b, t)), max(ba, a))
    return rows


# Small and large icons at 100, 150 and 200 percent: 16, 24 and 32 pixels for
# the title bar and the notification area, 32, 48 and 64 for Alt+Tab.
ICON_SIZES = (16, 24, 32, 48, 64)


def main():
    os.makedirs(ASSETS, exist_ok=True)
    for name, shape in (("velkor", VELKOR), ("dornat", DORNAT)):
        with open(os.path.join(ASSETS, name + ".ico"), "wb") as f:
            f.write(ico([to_bytes(render(s, shape)) for s in ICON_SIZES]))
    with open(os.path.join(ASSETS, "logo.png"), "wb") as f:
        f.write(png(logo()))


if __name__ == "__main__":
    main()
