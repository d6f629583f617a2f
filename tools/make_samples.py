#!/usr/bin/env python3
"""Makes Lumaro's built-in sample collection.

    make_samples.py OUT_DIR WINDOWS_DIR

writes into OUT_DIR a handful of pictures in every format the saver reads
(BMP files of 1, 4, 8 and 24 bits, one with the old 12-byte header; a JPEG
photo, a PNG with transparency and a portrait JPEG stored sideways with its
EXIF orientation, made with ImageMagick's convert), their collection
file SAMPLES.INI with titles, and a LUMARO.INI whose catalogue names the
collection as it will lie on drive C: under WINDOWS_DIR (e.g.
C:\\lumaro-samples).
"""

import math
import os
import struct
import subprocess
import sys
import zlib


def row_bytes(width, bits):
    return ((width * bits + 31) // 32) * 4


def write_bmp(path, width, height, bits, pixel, palette=None, core=False):
    """pixel(x, y) gives a palette index, or (r, g, b) for 24 bits; y from the top."""
    stride = row_bytes(width, bits)
    data = bytearray(stride * height)
    for y in range(height):
        row = (height - 1 - y) * stride  # bottom-up
        if bits == 24:
            for x in range(width):
                r, g, b = pixel(x, y)
                o = row + 3 * x
                data[o:o + 3] = bytes((b, g, r))
        else:
            per_byte = 8 // bits
            for x in range(width):
                index = pixel(x, y)
                shift = 8 - bits * (x % per_byte + 1)
                data[row + x // per_byte] |= (index & ((1 << bits) - 1)) << shift
    palette = palette or []
    if core:
        header = struct.pack("<IHHHH", 12, width, height, 1, bits)
        table = b"".join(struct.pack("<BBB", b, g, r) for r, g, b in palette)
    else:
        header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, len(data),
                             2835, 2835, len(palette), 0)
        table = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    offset = 14 + len(header) + len(table)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(file_header + header + table + data)


def write_png(path, width, height, pixel):
    """pixel(x, y) gives (r, g, b, a); 8 bits a channel, no filtering."""
    rows = b"".join(b"\0" + bytes(c for x in range(width) for c in pixel(x, y)) for y in range(height))

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
                chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b""))


def write_jpeg(path, width, height, pixel, *convert_args, orientation=0):
    """Through a 24-bit BMP that convert turns into a JPEG of quality 90; with
    an EXIF orientation, an APP1 segment holding just that tag follows SOI."""
    bmp = path + ".tmp.bmp"
    write_bmp(bmp, width, height, 24, pixel)
    subprocess.run(["convert", bmp, "-quality", "90", *convert_args, path], check=True)
    os.remove(bmp)
    if orientation:
        tiff = b"II*\0" + struct.pack("<IHHHIHHI", 8, 1, 0x0112, 3, 1, orientation, 0, 0)
        app1 = b"Exif\0\0" + tiff
        with open(path, "rb") as f:
            jpeg = f.read()
        with open(path, "wb") as f:
            f.write(jpeg[:2] + b"\xff\xe1" + struct.pack(">H", len(app1) + 2) + app1 + jpeg[2:])


def mix(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def hsv(h, s, v):
    i = int(h * 6) % 6
    f = h * 6 - int(h * 6)
    p, q, t = v * (1 - s), v * (1 - f * s), v * (1 - (1 - f) * s)
    r, g, b = [(v, t, p), (q, v, p), (p, v, t), (p, q, v), (t, p, v), (v, p, q)][i]
    return int(r * 255), int(g * 255), int(b * 255)


def sunset(x, y, w=640.0, h=400.0):
    """A photo-like scene: sky, sun, sea with glitter, 24 bits."""
    horizon = h * 0.58
    sun_x, sun_y, sun_r = w * 0.62, horizon - 38, 34
    if y < horizon:
        t = y / horizon
        sky = mix((38, 24, 88), (250, 140, 60), t ** 1.4)
        d = math.hypot(x - sun_x, y - sun_y)
        if d < sun_r:
            return (255, 236, 170)
        glow = max(0.0, 1 - (d - sun_r) / 160)
        return mix(sky, (255, 200, 120), glow * 0.55)
    t = (y - horizon) / (h - horizon)
    sea = mix((120, 60, 70), (14, 22, 60), t ** 0.6)
    ripple = math.sin(x * 0.09 + (y - horizon) ** 1.3 * 0.35)
    near_sun = max(0.0, 1 - abs(x - sun_x) / (40 + 140 * t))
    if ripple > 0.6 and near_sun > 0:
        return mix(sea, (255, 220, 150), near_sun * 0.8)
    return mix(sea, (0, 0, 0), 0.15 * (ripple + 1) / 2)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    out, windir = sys.argv[1], sys.argv[2].rstrip("\\")
    os.makedirs(out, exist_ok=True)

    write_bmp(os.path.join(out, "SUNSET.BMP"), 640, 400, 24, sunset)
    # Larger than most screens' share of it, so it is decoded smaller.
    write_jpeg(os.path.join(out, "SUNSET.JPG"), 960, 600, lambda x, y: sunset(x / 1.5, y / 1.5))

    def lighthouse(x, y, w=360, h=540):
        """A portrait: a striped tower against the evening sky."""
        if abs(x - w / 2) < 22 + y * 0.04 and y > h * 0.28:
            return (235, 235, 225) if int(y / 48) % 2 else (190, 30, 35)
        if abs(x - w / 2) < 30 and h * 0.2 < y <= h * 0.28:
            return (255, 230, 140)
        return mix((20, 30, 80), (240, 150, 90), y / h) if y < h * 0.8 else (20, 40, 60)

    # Stored turned a quarter to the left, as a camera held upright writes
    # it; orientation 6 turns it back.
    write_jpeg(os.path.join(out, "LIGHTHOUSE.JPG"), 360, 540, lighthouse, "-rotate", "-90", orientation=6)

    # Entry 0 is the background, 255 the white hub, 1-254 the hues.
    wheel = [(24, 24, 32)] + [hsv((i - 1) / 254, 1.0, 1.0) for i in range(1, 255)] + [(255, 255, 255)]

    def colour_wheel(x, y):
        dx, dy = x - 200, y - 200
        r = math.hypot(dx, dy)
        if r > 190:
            return 0
        if r < 60:
            return 255
        return 1 + int(((math.atan2(dy, dx) / (2 * math.pi)) % 1.0) * 253.999)

    write_bmp(os.path.join(out, "WHEEL.BMP"), 400, 400, 8, colour_wheel, wheel)

    def see_through_wheel(x, y):
        """The wheel with nothing around it and a half-clear ring: shown over black."""
        r = math.hypot(x - 200, y - 200)
        if r > 190:
            return (0, 0, 0, 0)
        rgb = wheel[colour_wheel(x, y)]
        return rgb + ((128,) if 120 < r < 150 else (255,))

    write_png(os.path.join(out, "WHEEL.PNG"), 400, 400, see_through_wheel)

    write_bmp(os.path.join(out, "CHECKS.BMP"), 320, 240, 1,
              lambda x, y: ((x // 40) + (y // 40)) % 2, [(20, 30, 90), (250, 240, 210)])

    glass_palette = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128),
                     (128, 0, 128), (0, 128, 128), (192, 192, 192), (128, 128, 128),
                     (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255), (255, 0, 255),
                     (0, 255, 255), (255, 255, 255)]
    seeds = [(37, 41), (150, 30), (300, 60), (420, 35), (80, 160), (210, 140), (350, 170),
             (455, 210), (40, 300), (160, 280), (270, 320), (400, 330), (230, 230)]

    def stained_glass(x, y):
        d = sorted((math.hypot(x - sx, y - sy), i) for i, (sx, sy) in enumerate(seeds))
        if d[1][0] - d[0][0] < 3:
            return 0  # the lead between the panes
        return 9 + d[0][1] % 7 if d[0][1] % 2 else 1 + d[0][1] % 7

    write_bmp(os.path.join(out, "GLASS.BMP"), 480, 360, 4, stained_glass, glass_palette)

    dunes = [mix((60, 30, 10), (255, 214, 150), i / 255) for i in range(256)]
    write_bmp(os.path.join(out, "DUNES.BMP"), 512, 384, 8,
              lambda x, y: max(0, min(255, int(128 + 90 * math.sin(x / 40 + math.sin(y / 23) * 2)
                                               * (y / 384) + y / 3 - 60))), dunes, core=True)

    with open(os.path.join(out, "SAMPLES.INI"), "w", newline="\r\n") as f:
        f.write("[Properties]\nCount=8\n\n[Pictures]\n1=SUNSET.BMP\n2=WHEEL.BMP\n3=CHECKS.BMP\n"
                "4=GLASS.BMP\n5=DUNES.BMP\n6=SUNSET.JPG\n7=WHEEL.PNG\n8=LIGHTHOUSE.JPG\n\n[Titles]\n"
                "1=Sunset over the sea\n2=Colour wheel\n3=Checkerboard\\nin two colours\n4=Stained glass\n"
                "5=Dunes at noon\n6=Sunset, a JPEG photo\n7=Colour wheel with a clear ring (PNG)\n"
                "8=Lighthouse, taken upright\n")

    with open(os.path.join(out, "LUMARO.INI"), "w", newline="\r\n") as f:
        f.write("[Main]\nShowTitle=1\nFullScreen=0\n\n[ScreenSaver]\nChangeDelay=3\n"
                "CurrentPicture=0\nCurrentSet=Samples\nStartDelay=5\n\n[Wallpaper]\n"
                "UpdateWallpaper=0\n\n[Sets]\nSamples=%s\\SAMPLES.INI\n" % windir)


if __name__ == "__main__":
    main()
