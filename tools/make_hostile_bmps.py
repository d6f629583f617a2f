#!/usr/bin/env python3
"""Writes the hostile BMP corpus into tests/hostile/ with its MANIFEST.

Each file is damaged or hostile in one way that a careless BMP reader gets
wrong. The MANIFEST lists every file with the result DibPicture::Load must
give: "ok" for a file that loads whole, "fail" for one it refuses or that
ends early. Run from anywhere: python3 tools/make_hostile_bmps.py
"""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "hostile")

BI_RGB, BI_RLE8, BI_RLE4, BI_BITFIELDS, BI_JPEG, BI_PNG = 0, 1, 2, 3, 4, 5
INT_MIN = -(2 ** 31)


def file_header(off_bits, size=0):
    return b"BM" + struct.pack("<IHHI", size, 0, 0, off_bits)


def info_header(width, height, bits, compression=BI_RGB, size_image=0, clr_used=0, planes=1, size=40):
    return struct.pack("<IiiHHIIiiII", size, width, height, planes, bits, compression,
                       size_image, 0, 0, clr_used, 0)


def core_header(width, height, bits, planes=1):
    return struct.pack("<IHHHH", 12, width, height, planes, bits)


def table(entries, entry_size=4):
    out = bytearray()
    for i in range(entries):
        out += bytes([i & 0xFF, (i * 7) & 0xFF, (i * 13) & 0xFF, 0][:entry_size])
    return bytes(out)


def row_bytes(bits, width):
    return (bits * width + 31) // 32 * 4


def bmp(header, tab=b"", bits=b"", off_bits=None):
    """A file with bfOffBits pointing right after the table unless given."""
    if off_bits is None:
        off_bits = 14 + len(header) + len(tab)
    return file_header(off_bits, 14 + len(header) + len(tab) + len(bits)) + header + tab + bits


def pixels(bits, width, height):
    return bytes((i * 31) & 0xFF for i in range(row_bytes(bits, width) * abs(height)))


def good_24():
    return bmp(info_header(8, 8, 24), bits=pixels(24, 8, 8))


def good_8():
    return bmp(info_header(8, 8, 8), table(256), pixels(8, 8, 8))


# A 4x2 8-bit run-length stream and its 4-bit twin: two rows, then end of picture.
RLE8 = bytes([4, 1, 0, 0, 4, 2, 0, 1])
RLE4 = bytes([4, 0x12, 0, 0, 4, 0x34, 0, 1])

CASES = []


def case(name, expect, data):
    CASES.append((name, expect, data))


# Sizes the headers claim.
case("width_huge.bmp", "fail", bmp(info_header(100000, 1, 24), bits=b"\0" * 64))
case("dims_huge_both.bmp", "fail", bmp(info_header(40000, 40000, 24), bits=b"\0" * 64))
case("width_negative.bmp", "fail", bmp(info_header(-8, 8, 24), bits=pixels(24, 8, 8)))
case("width_int_min.bmp", "fail", bmp(info_header(INT_MIN, 8, 24), bits=pixels(24, 8, 8)))
case("width_zero.bmp", "fail", bmp(info_header(0, 8, 24), bits=b"\0" * 64))
case("height_zero.bmp", "fail", bmp(info_header(8, 0, 24), bits=b"\0" * 64))
case("height_int_min.bmp", "fail", bmp(info_header(8, INT_MIN, 24), bits=b"\0" * 64))
case("height_negative_topdown.bmp", "ok", bmp(info_header(8, -8, 24), bits=pixels(24, 8, 8)))
case("height_negative_short.bmp", "fail", bmp(info_header(8, -8, 24), bits=pixels(24, 8, 3)))
case("overflow32_64k_square_32bit.bmp", "fail", bmp(info_header(65536, 65536, 32), bits=b"\0" * 64))
case("overflow32_wide_24bit.bmp", "fail", bmp(info_header(0x40000000, 2, 24), bits=b"\0" * 64))
case("overflow32_rows_times_height.bmp", "fail", bmp(info_header(32768, 32768, 32), bits=b"\0" * 64))
case("image_over_limit.bmp", "fail", bmp(info_header(32768, 32768, 24), bits=b"\0" * 64))
case("core_width_65535.bmp", "fail", bmp(core_header(65535, 1, 24), bits=b"\0" * 64))

# Colour tables.
case("clrused_2pow31_8bit.bmp", "fail", bmp(info_header(8, 8, 8, clr_used=2 ** 31), table(4), pixels(8, 8, 8)))
case("clrused_ffffffff_24bit.bmp", "fail", bmp(info_header(8, 8, 24, clr_used=0xFFFFFFFF), bits=pixels(24, 8, 8)))
case("clrused_257_8bit.bmp", "fail", bmp(info_header(8, 8, 8, clr_used=257), table(257), pixels(8, 8, 8)))
case("clrused_17_4bit.bmp", "fail", bmp(info_header(8, 8, 4, clr_used=17), table(17), pixels(4, 8, 8)))
case("clrused_3_1bit.bmp", "fail", bmp(info_header(8, 8, 1, clr_used=3), table(3), pixels(1, 8, 8)))
case("clrused_20_8bit.bmp", "ok", bmp(info_header(8, 8, 8, clr_used=20), table(20), pixels(8, 8, 8)))
case("clrused_256_24bit.bmp", "ok", bmp(info_header(8, 8, 24, clr_used=256), table(256), pixels(24, 8, 8)))

# Where the bits are.
good = good_24()
case("offbits_past_end.bmp", "fail", bmp(info_header(8, 8, 24), bits=pixels(24, 8, 8), off_bits=0xFFFFFFF0))
case("offbits_2gib.bmp", "fail", bmp(info_header(8, 8, 24), bits=pixels(24, 8, 8), off_bits=0x80000010))
case("offbits_inside_table.bmp", "ok", bmp(info_header(8, 8, 8), table(256), pixels(8, 8, 8), off_bits=60))
case("offbits_zero.bmp", "ok", bmp(info_header(8, 8, 24), bits=pixels(24, 8, 8), off_bits=0))
case("offbits_below_14.bmp", "ok", bmp(info_header(8, 8, 24), bits=pixels(24, 8, 8), off_bits=3))
case("offbits_rle_past_end.bmp", "fail",
     bmp(info_header(4, 2, 8, BI_RLE8, len(RLE8)), table(256), RLE8, off_bits=0x7FFFFFFF))

# Cut at every section boundary and inside each section.
g8 = good_8()
case("empty.bmp", "fail", b"")
case("cut_in_file_header.bmp", "fail", g8[:10])
case("cut_after_file_header.bmp", "fail", g8[:14])
case("cut_in_header_size.bmp", "fail", g8[:16])
case("cut_after_header_size.bmp", "fail", g8[:18])
case("cut_in_info_header.bmp", "fail", g8[:40])
case("cut_after_info_header.bmp", "fail", g8[:54])
case("cut_in_table.bmp", "fail", g8[:54 + 500])
case("cut_after_table.bmp", "fail", g8[:54 + 1024])
case("cut_in_bits.bmp", "fail", g8[:54 + 1024 + 30])
case("cut_last_byte.bmp", "fail", g8[:-1])
core8 = bmp(core_header(8, 8, 8), table(256, 3), pixels(8, 8, 8))
case("cut_in_core_header.bmp", "fail", core8[:22])
case("cut_in_core_table.bmp", "fail", core8[:26 + 400])
case("cut_in_core_bits.bmp", "fail", core8[:-5])

# Run-length pictures.
case("rle8_ok.bmp", "ok", bmp(info_header(4, 2, 8, BI_RLE8, len(RLE8)), table(256), RLE8))
case("rle4_ok.bmp", "ok", bmp(info_header(4, 2, 4, BI_RLE4, len(RLE4)), table(16), RLE4))
case("rle8_sizeimage_zero.bmp", "fail", bmp(info_header(4, 2, 8, BI_RLE8, 0), table(256), RLE8))
case("rle8_sizeimage_huge.bmp", "fail", bmp(info_header(4, 2, 8, BI_RLE8, 0xFFFFFFFF), table(256), RLE8))
case("rle8_sizeimage_past_end.bmp", "fail", bmp(info_header(4, 2, 8, BI_RLE8, 100000), table(256), RLE8))
case("rle8_topdown.bmp", "fail", bmp(info_header(4, -2, 8, BI_RLE8, len(RLE8)), table(256), RLE8))
case("rle8_on_4bit.bmp", "fail", bmp(info_header(4, 2, 4, BI_RLE8, len(RLE8)), table(16), RLE8))
case("rle4_on_8bit.bmp", "fail", bmp(info_header(4, 2, 8, BI_RLE4, len(RLE4)), table(256), RLE4))
case("rle8_on_24bit.bmp", "fail", bmp(info_header(4, 2, 24, BI_RLE8, len(RLE8)), bits=RLE8))
case("rle8_huge_dims.bmp", "fail", bmp(info_header(30000, 30000, 8, BI_RLE8, len(RLE8)), table(256), RLE8))

# Other compressions and bit counts.
masks = struct.pack("<III", 0xF800, 0x07E0, 0x001F)
case("bitfields_16bit.bmp", "fail", bmp(info_header(8, 8, 16, BI_BITFIELDS), masks, pixels(16, 8, 8)))
case("bitfields_32bit.bmp", "fail",
     bmp(info_header(8, 8, 32, BI_BITFIELDS), struct.pack("<III", 0xFF0000, 0xFF00, 0xFF), pixels(32, 8, 8)))
case("jpeg.bmp", "fail", bmp(info_header(8, 8, 0, BI_JPEG, 16), bits=b"\xff\xd8" + b"\0" * 14))
case("png.bmp", "fail", bmp(info_header(8, 8, 0, BI_PNG, 16), bits=b"\x89PNG" + b"\0" * 12))
case("compression_99.bmp", "fail", bmp(info_header(8, 8, 24, 99), bits=pixels(24, 8, 8)))
case("bpp16_no_table.bmp", "ok", bmp(info_header(8, 8, 16), bits=pixels(16, 8, 8)))
case("bpp16_table_4.bmp", "ok", bmp(info_header(8, 8, 16, clr_used=4), table(4), pixels(16, 8, 8)))
case("bpp32_no_table.bmp", "ok", bmp(info_header(8, 8, 32), bits=pixels(32, 8, 8)))
case("bpp32_table_300.bmp", "fail", bmp(info_header(8, 8, 32, clr_used=300), table(300), pixels(32, 8, 8)))
case("bpp0.bmp", "fail", bmp(info_header(8, 8, 0), bits=b"\0" * 64))
case("bpp2.bmp", "fail", bmp(info_header(8, 8, 2), table(4), pixels(2, 8, 8)))
case("bpp64.bmp", "fail", bmp(info_header(8, 8, 64), bits=pixels(64, 8, 8)))
case("core_16bit.bmp", "fail", bmp(core_header(8, 8, 16), bits=pixels(16, 8, 8)))
case("core_32bit.bmp", "fail", bmp(core_header(8, 8, 32), bits=pixels(32, 8, 8)))

# Header sizes and plane counts.
body = info_header(8, 8, 24)[4:] + pixels(24, 8, 8)
for size in (0, 4, 16, 64, 108, 124, 0xFFFFFFFF):
    case("header_size_%d.bmp" % size, "fail", file_header(0) + struct.pack("<I", size) + body + b"\0" * 100)
case("header_size_12.bmp", "ok", core8)
case("header_size_40.bmp", "ok", good)
case("planes_0.bmp", "fail", bmp(info_header(8, 8, 24, planes=0), bits=pixels(24, 8, 8)))
case("planes_2.bmp", "fail", bmp(info_header(8, 8, 24, planes=2), bits=pixels(24, 8, 8)))
case("core_planes_2.bmp", "fail", bmp(core_header(8, 8, 24, planes=2), bits=pixels(24, 8, 8)))
case("not_bm.bmp", "fail", b"MB" + good[2:])
case("bits_1_33x2.bmp", "ok", bmp(info_header(33, 2, 1), table(2), pixels(1, 33, 2)))
case("core_4bit_odd_width.bmp", "ok", bmp(core_header(7, 3, 4), table(16, 3), pixels(4, 7, 3)))


def main():
    os.makedirs(OUT, exist_ok=True)
    names = set()
    with open(os.path.join(OUT, "MANIFEST"), "w", newline="\n") as manifest:
        for name, expect, data in CASES:
            assert name not in names, name
            names.add(name)
            with open(os.path.join(OUT, name), "wb") as f:
                f.write(data)
            manifest.write("%s %s\n" % (name, expect))
    print("wrote %d files to %s" % (len(CASES), os.path.normpath(OUT)))


if __name__ == "__main__":
    main()
