#!/usr/bin/env python3
"""Draws the program's picture resources and writes them as Windows files.

Usage: gen_resources.py OUTPUT_DIR

Writes monitor.bmp (the drawn monitor of the configuration dialog),
blank.cur (the invisible mouse pointer of the saver windows) and lumaro.ico
(the program file's icon). Everything is drawn here pixel by pixel, so the
files are reproducible and nothing binary is kept in the repository.
"""

import os
import struct
import sys

# The standard 16-colour table, as (red, green, blue), in the usual order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK = 0
LIGHT_GREY = 7
DARK_GREY = 8
GREEN = 10
WHITE = 15

MONITOR_WIDTH = 185
MONITOR_HEIGHT = 170
# The dialog places its preview window over this rectangle, so it is fixed.
SCREEN_LEFT, SCREEN_TOP, SCREEN_RIGHT, SCREEN_BOTTOM = 15, 16, 167, 128


class Canvas:
    """A paletted picture addressed from the top-left pixel; bounds inclusive."""

    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.pixels = [[colour] * width for _ in range(height)]

    def put(self, x, y, colour):
        self.pixels[y][x] = colour

    def fill(self, left, top, right, bottom, colour):
        for y in range(top, bottom + 1):
            for x in range(left, right + 1):
                self.pixels[y][x] = colour

    def hline(self, left, right, y, colour):
        self.fill(left, y, right, y, colour)

    def vline(self, x, top, bottom, colour):
        self.fill(x, top, x, bottom, colour)

    def frame(self, left, top, right, bottom, colour):
        self.hline(left, right, top, colour)
        self.hline(left, right, bottom, colour)
        self.vline(left, top, bottom, colour)
        self.vline(right, top, bottom, colour)

    def edge(self, left, top, right, bottom, top_left, bottom_right):
        """One ring of a 3-D edge: one colour above and left, another below
        and right (the corners where they meet take the lower-right colour)."""
        self.hline(left, right, top, top_left)
        self.vline(left, top, bottom, top_left)
        self.hline(left, right, bottom, bottom_right)
        self.vline(right, top, bottom, bottom_right)

    def raised_box(self, left, top, right, bottom, face=LIGHT_GREY):
        """A light grey block with a black outline, lit from the top-left."""
        self.fill(left, top, right, bottom, face)
        self.frame(left, top, right, bottom, BLACK)
        self.edge(left + 1, top + 1, right - 1, bottom - 1, WHITE, DARK_GREY)


def draw_monitor():
    c = Canvas(MONITOR_WIDTH, MONITOR_HEIGHT, LIGHT_GREY)

    # Casing: the full width, rows 0-146, with softened corners.
    c.raised_box(0, 0, MONITOR_WIDTH - 1, 146)
    c.edge(2, 2, MONITOR_WIDTH - 3, 144, WHITE, DARK_GREY)
    for x, y in ((0, 0), (MONITOR_WIDTH - 1, 0), (0, 146), (MONITOR_WIDTH - 1, 146)):
        c.put(x, y, LIGHT_GREY)
    for x, y in ((1, 1), (MONITOR_WIDTH - 2, 1), (1, 145), (MONITOR_WIDTH - 2, 145)):
        c.put(x, y, BLACK)

    # Bezel around the glass: a raised lip, then a sunken bevel two pixels
    # deep, then the black screen itself.
    l, t, r, b = SCREEN_LEFT, SCREEN_TOP, SCREEN_RIGHT, SCREEN_BOTTOM
    c.edge(l - 5, t - 5, r + 5, b + 5, WHITE, DARK_GREY)
    c.edge(l - 2, t - 2, r + 2, b + 2, DARK_GREY, WHITE)
    c.edge(l - 1, t - 1, r + 1, b + 1, DARK_GREY, WHITE)
    c.fill(l, t, r, b, BLACK)

    # Below the screen: a maker's badge on the left, two knobs and a
    # power switch on the right.
    c.fill(20, 135, 50, 137, DARK_GREY)
    c.hline(20, 50, 138, WHITE)
    for knob_left in (120, 132):
        c.raised_box(knob_left, 134, knob_left + 7, 139)
    c.raised_box(148, 133, 166, 140)
    c.hline(152, 162, 136, DARK_GREY)
    c.hline(152, 162, 137, WHITE)

    # Front strip under the casing, with the green power light in a socket.
    c.raised_box(48, 147, 135, 155)
    c.edge(104, 148, 107, 151, DARK_GREY, WHITE)
    c.fill(105, 149, 106, 150, GREEN)

    # Neck: in the strip's shadow at the top, lit along its left side.
    c.fill(56, 156, 127, 162, LIGHT_GREY)
    c.vline(56, 156, 162, BLACK)
    c.vline(127, 156, 162, BLACK)
    c.vline(57, 156, 162, WHITE)
    c.vline(126, 156, 162, DARK_GREY)
    c.hline(57, 126, 156, DARK_GREY)

    # Foot: a wide plinth standing on row 168.
    c.raised_box(36, 163, 146, 168)
    for x in range(40, 143, 6):
        c.put(x, 165, DARK_GREY)

    # Row 169 stays background.
    return c


def bitmap_info_header(width, height, bits, image_size, colours_important):
    return struct.pack('<IiiHHIIiiII', 40, width, height, 1, bits, 0,
                       image_size, 0, 0, 0, colours_important)


def colour_table():
    return b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)


def pack_4bit_rows(canvas):
    """The pixel rows bottom-up, two pixels a byte (left one in the high
    nibble), each row padded to four bytes."""
    stride = (canvas.width * 4 + 31) // 32 * 4
    out = bytearray()
    for row in reversed(canvas.pixels):
        data = bytearray()
        for x in range(0, canvas.width, 2):
            right = row[x + 1] if x + 1 < canvas.width else 0
            data.append(row[x] << 4 | right)
        out += data + bytes(stride - len(data))
    return bytes(out)


def monitor_bmp():
    pixels = pack_4bit_rows(draw_monitor())
    header = bitmap_info_header(MONITOR_WIDTH, MONITOR_HEIGHT, 4, len(pixels), 16)
    info = header + colour_table() + pixels
    file_header = struct.pack('<2sIHHI', b'BM', 14 + len(info), 0, 0, 14 + 40 + 64)
    return file_header + info


def icon_file(file_type, entries):
    """An .ico (type 1) or .cur (type 2) file. Each entry is
    (width, height, colour count, field 1, field 2, image), where the two
    fields are planes and bit count for an icon and the hot spot for a cursor."""
    out = struct.pack('<HHH', 0, file_type, len(entries))
    offset = 6 + 16 * len(entries)
    images = b''
    for width, height, colours, field1, field2, image in entries:
        out += struct.pack('<BBBBHHII', width, height, colours, 0, field1, field2,
                           len(image), offset + len(images))
        images += image
    return out + images


def blank_cursor():
    # Height 64: an icon image's header counts the XOR and AND masks together.
    # XOR all zeros and AND all ones leave the screen untouched.
    xor_mask = bytes(32 * 4)
    and_mask = b'\xff' * (32 * 4)
    image = (bitmap_info_header(32, 64, 1, len(xor_mask) + len(and_mask), 0)
             + struct.pack('<BBBBBBBB', 0, 0, 0, 0, 255, 255, 255, 0)
             + xor_mask + and_mask)
    return icon_file(2, [(32, 32, 2, 0, 0, image)])


def black_icon():
    # Every pixel colour 0 (black), and an AND mask of zeros: fully opaque.
    xor_mask = bytes(32 * 16)
    and_mask = bytes(32 * 4)
    image = (bitmap_info_header(32, 64, 4, len(xor_mask) + len(and_mask), 0)
             + colour_table() + xor_mask + and_mask)
    return icon_file(1, [(32, 32, 16, 1, 4, image)])


def main(argv):
    if len(argv) != 2:
        sys.stderr.write('usage: gen_resources.py OUTPUT_DIR\n')
        return 2
    out_dir = argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for name, data in (('monitor.bmp', monitor_bmp()),
                       ('blank.cur', blank_cursor()),
                       ('lumaro.ico', black_icon())):
        with open(os.path.join(out_dir, name), 'wb') as f:
            f.write(data)
    return 0


if __name__ == '__main__':
    sys.exit(main(sys.argv))
