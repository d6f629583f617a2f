#!/usr/bin/env python3
"""Writes the photo files the tests read: tests/photos/ and tests/hostile-photos/.

tests/photos/ holds one known picture in every format the saver decodes
through the system: 320x200, four quadrants (red top left, green top right,
blue bottom left, yellow bottom right), as JPEG, PNG, GIF and TIFF; a PNG
with transparency; JPEGs whose pixels are stored turned, with the EXIF
orientation (3, 6, 8) that turns them upright again; and a red and white
checkerboard PNG.

tests/hostile-photos/ holds damaged and hostile files with a MANIFEST line
each: name, the result DibPicture::Load gives under Wine ("ok": it shows a
picture, "fail": the holder stays empty) and why. The results were found by
running the files and judged one by one.

Needs python3 and ImageMagick's convert; run from anywhere:
python3 tools/make_photos.py
"""
import os
import struct
import subprocess
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests")
RED, GREEN, BLUE, YELLOW = (220, 30, 40), (30, 200, 60), (40, 60, 220), (240, 220, 30)


def quadrants(width, height, alpha=None):
    """Raw rows of the quadrant picture; `alpha(x, y)` adds a fourth byte."""
    out = bytearray()
    for y in range(height):
        for x in range(width):
            top, left = y < height // 2, x < width // 2
            out += bytes((RED if left else GREEN) if top else (BLUE if left else YELLOW))
            if alpha:
                out.append(alpha(x, y))
    return bytes(out)


def rows(raw, width, channels=3):
    step = width * channels
    return [raw[i:i + step] for i in range(0, len(raw), step)]


def convert(raw, width, height, args):
    """`raw` RGB rows through convert; args end with the output format, e.g. "jpeg:-"."""
    head = b"P6\n%d %d\n255\n" % (width, height)
    # No dates or other metadata, so the files come out the same each run.
    cmd = ["convert", "-", "-strip", "-define", "png:exclude-chunks=date,time"] + args
    return subprocess.run(cmd, input=head + raw, stdout=subprocess.PIPE, check=True).stdout


def rotated(raw, width, height, turn):
    """The rows turned clockwise by `turn` degrees (0, 90, 180, 270); RGB."""
    px = [raw[i:i + 3] for i in range(0, len(raw), 3)]
    at = lambda x, y: px[y * width + x]
    if turn == 180:
        return b"".join(at(width - 1 - x, height - 1 - y) for y in range(height) for x in range(width))
    # Turned by 90 either way the picture is height wide and width high.
    if turn == 90:
        return b"".join(at(y, height - 1 - x) for y in range(width) for x in range(height))
    return b"".join(at(width - 1 - y, x) for y in range(width) for x in range(height))


# ---- JPEG -------------------------------------------------------------------

def jpeg_segments(data):
    """(marker, offset of the marker, length field) of each segment up to the first scan."""
    out, at = [], 2
    while at + 4 <= len(data) and data[at] == 0xFF:
        marker, length = data[at + 1], struct.unpack(">H", data[at + 2:at + 4])[0]
        out.append((marker, at, length))
        if marker == 0xDA:
            break
        at += 2 + length
    return out


def jpeg_offset(data, markers):
    return next(at for m, at, _ in jpeg_segments(data) if m in markers)


SOF = (0xC0, 0xC1, 0xC2)


def jpeg_with_size(data, width, height):
    """The frame header claims `width` x `height`; the scan stays as it was."""
    at = jpeg_offset(data, SOF) + 5
    return data[:at] + struct.pack(">HH", height, width) + data[at + 4:]


def exif_app1(orientation, big_endian=False, ifd_offset=8, count=None, value_type=3):
    """An APP1 "Exif" segment: IFD0 holds Make, Orientation and XResolution, sorted by tag."""
    e = ">" if big_endian else "<"
    make = b"Lumaro test\0"
    entries = 3
    data_at = 8 + 2 + 12 * entries + 4  # Make's text and the resolution follow IFD0
    ifd = struct.pack(e + "H", entries if count is None else count)
    ifd += struct.pack(e + "HHII", 0x010F, 2, len(make), data_at)
    ifd += struct.pack(e + "HHI", 0x0112, value_type, 1) + struct.pack(e + "HH", orientation, 0)
    ifd += struct.pack(e + "HHII", 0x011A, 5, 1, data_at + len(make))
    ifd += struct.pack(e + "I", 0)
    tiff = (b"MM\0*" if big_endian else b"II*\0") + struct.pack(e + "I", ifd_offset) + ifd + make
    tiff += struct.pack(e + "II", 72, 1)
    body = b"Exif\0\0" + tiff
    return b"\xFF\xE1" + struct.pack(">H", len(body) + 2) + body


def with_exif(jpeg, app1, after_jfif):
    """The segment right after SOI (as cameras write it), or after the JFIF APP0 (as editors do)."""
    if after_jfif:
        m, at, length = jpeg_segments(jpeg)[0]
        assert m == 0xE0
        return jpeg[:at + 2 + length] + app1 + jpeg[at + 2 + length:]
    if jpeg_segments(jpeg)[0][0] == 0xE0:  # the JFIF segment goes
        _, at, length = jpeg_segments(jpeg)[0]
        jpeg = jpeg[:at] + jpeg[at + 2 + length:]
    return jpeg[:2] + app1 + jpeg[2:]


# ---- PNG --------------------------------------------------------------------

def png_chunk(kind, body, crc=None):
    if crc is None:
        crc = zlib.crc32(kind + body)
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", crc & 0xFFFFFFFF)


def png_chunks(data):
    """(type, offset of the chunk, body length) of every chunk."""
    out, at = [], 8
    while at + 8 <= len(data):
        length = struct.unpack(">I", data[at:at + 4])[0]
        out.append((data[at + 4:at + 8], at, length))
        at += 12 + length
    return out


def png(width, height, colour_type, depth, rows, extra=b"", ihdr=None):
    """A PNG written here: filter 0 on every row of `rows` (each row's bytes), one IDAT."""
    ihdr = ihdr or struct.pack(">IIBBBBB", width, height, depth, colour_type, 0, 0, 0)
    idat = zlib.compress(b"".join(b"\0" + r for r in rows), 9)
    return b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + extra + png_chunk(b"IDAT", idat) + png_chunk(b"IEND", b"")


def png_with_ihdr(data, width, height):
    """The IHDR claims another size, with its CRC made right."""
    body = struct.pack(">II", width, height) + data[16:16 + 5]
    return data[:8] + png_chunk(b"IHDR", body) + data[8 + 25:]


def png_patched(data, kind, change):
    """The first chunk of `kind` with its body changed by `change`, CRC kept as it was."""
    _, at, length = next(c for c in png_chunks(data) if c[0] == kind)
    body = bytearray(data[at + 8:at + 8 + length])
    change(body)
    return data[:at + 8] + bytes(body) + data[at + 8 + length:]


# ---- GIF --------------------------------------------------------------------

def gif_image_at(data):
    """Offset of the first image descriptor (","), past the tables and extensions."""
    flags = data[10]
    at = 13 + (3 << ((flags & 7) + 1) if flags & 0x80 else 0)
    while data[at] == 0x21:  # extension: label, then sub-blocks
        at += 2
        while data[at]:
            at += data[at] + 1
        at += 1
    assert data[at] == 0x2C
    return at


def gif_with_screen(data, width, height):
    return data[:6] + struct.pack("<HH", width, height) + data[10:]


def gif_with_image(data, width, height):
    at = gif_image_at(data) + 5
    return data[:at] + struct.pack("<HH", width, height) + data[at + 4:]


# ---- TIFF -------------------------------------------------------------------

def tiff(width, height, raw, big_endian=False, pages=1, width_tag=None, height_tag=None, strip_at=None,
         ifd_at=None, next_ifd=None):
    """An uncompressed RGB TIFF written here: header, then each page's pixels, bits per sample and IFD."""
    e = ">" if big_endian else "<"
    out = bytearray((b"MM\0*" if big_endian else b"II*\0") + b"\0\0\0\0")
    ifds = []
    for page in range(pages):
        pixels_at = len(out)
        out += raw
        if len(out) % 2:
            out += b"\0"
        bits_at = len(out)
        out += struct.pack(e + "HHH", 8, 8, 8)
        ifds.append(len(out))
        tags = [(256, 4, 1, width if width_tag is None else width_tag),
                (257, 4, 1, height if height_tag is None else height_tag),
                (258, 3, 3, bits_at), (259, 3, 1, 1), (262, 3, 1, 2),
                (273, 4, 1, pixels_at if strip_at is None else strip_at),
                (277, 3, 1, 3), (278, 4, 1, height), (279, 4, 1, len(raw)), (284, 3, 1, 1)]
        out += struct.pack(e + "H", len(tags))
        for tag, kind, count, value in tags:
            inline = kind == 3 and count == 1
            out += struct.pack(e + "HHI", tag, kind, count) + struct.pack(e + ("HH" if inline else "I"), value,
                                                                          *((0,) if inline else ()))
        out += b"\0\0\0\0"  # the next IFD, set below
    for page, at in enumerate(ifds):
        following = ifds[page + 1] if page + 1 < pages else next_ifd(at) if next_ifd else 0
        struct.pack_into(e + "I", out, at + 2 + 12 * 10, following)
    struct.pack_into(e + "I", out, 4, ifds[0] if ifd_at is None else ifd_at)
    return bytes(out)


# ---- The files --------------------------------------------------------------

def photos():
    w, h = 320, 200
    q = quadrants(w, h)
    out = {
        "quadrants.jpg": convert(q, w, h, ["-quality", "95", "-sampling-factor", "1x1", "jpeg:-"]),
        "quadrants.png": convert(q, w, h, ["PNG24:-"]),
        "quadrants.gif": convert(q, w, h, ["gif:-"]),
        "quadrants.tif": convert(q, w, h, ["-compress", "lzw", "tiff:-"]),
        # The left half at alpha 128, the green quadrant wholly transparent (still green underneath, where
        # convert would write black), yellow opaque.
        "transparent.png": png(w, h, 6, 8, rows(quadrants(w, h, lambda x, y: 128 if x < w // 2 else 0 if y < h // 2
                                                           else 255), w, 4)),
    }
    # Red and white pixels in turn: shrunk by averaging, an even pink; picked pixel by pixel, red or white.
    out["checkerboard.png"] = png(256, 192, 2, 8, [b"".join(b"\xff\0\0" if (x + y) % 2 else b"\xff\xff\xff"
                                                           for x in range(256)) for y in range(192)])
    # Stored turned the other way: orientation 3 turns by 180, 6 by 90 clockwise, 8 by 90 anticlockwise.
    for orientation, stored_turn, big_endian, after_jfif in ((3, 180, True, True), (6, 270, False, False),
                                                             (8, 90, False, False)):
        turned = rotated(q, w, h, stored_turn)
        sw, sh = (w, h) if stored_turn == 180 else (h, w)
        jpeg = convert(turned, sw, sh, ["-quality", "95", "-sampling-factor", "1x1", "jpeg:-"])
        out["orientation_%d.jpg" % orientation] = with_exif(jpeg, exif_app1(orientation, big_endian), after_jfif)
    return out


def hostile():
    """(name, result, why, bytes) of each hostile file."""
    w, h = 64, 48
    q = quadrants(w, h)
    jpg = convert(q, w, h, ["-quality", "90", "jpeg:-"])
    sos = jpeg_offset(jpg, (0xDA,))
    pngq = convert(q, w, h, ["PNG24:-"])
    _, idat, idat_length = next(c for c in png_chunks(pngq) if c[0] == b"IDAT")
    gif = convert(q, w, h, ["gif:-"])
    gif_data = gif_image_at(gif) + 10  # the LZW code size; convert writes no local table
    tw, th = 32, 24  # uncompressed: kept small
    tq = quadrants(tw, th)
    tif = tiff(tw, th, tq)
    cases = []

    def case(name, result, why, data):
        cases.append((name, result, why, data))

    # JPEG
    case("jpeg_cut_in_tables.jpg", "fail", "ends inside the quantisation tables", jpg[:60])
    case("jpeg_cut_before_scan.jpg", "fail", "the headers whole, no scan", jpg[:sos])
    # Wine's decoder reads from a source that cannot supply more: a scan that just stops is refused, even
    # one lacking only its end marker; given the marker, it fills the rest grey.
    case("jpeg_cut_mid_scan.jpg", "fail", "ends in the middle of the scan", jpg[:(sos + len(jpg)) // 2])
    case("jpeg_cut_before_eoi.jpg", "fail", "all the data but the end marker", jpg[:-2])
    case("jpeg_cut_mid_scan_eoi.jpg", "ok", "partly: half a scan, then the end marker; the rest grey",
         jpg[:(sos + len(jpg)) // 2] + b"\xff\xd9")
    case("jpeg_sof_65000.jpg", "fail", "a 65000x65000 frame claimed in a small file", jpeg_with_size(jpg, 65000, 65000))
    case("jpeg_sof_32769x8.jpg", "fail", "one side past 32768", jpeg_with_size(jpg, 32769, 8))
    case("jpeg_sof_16384x8192.jpg", "fail", "512 MiB at 32 bits: sides allowed, area not", jpeg_with_size(jpg, 16384, 8192))
    case("jpeg_sof_8192.jpg", "ok", "partly: 8192x8192 is within bounds; a small file claiming it decodes mostly grey",
         jpeg_with_size(jpg, 8192, 8192))
    case("jpeg_sof_width_0.jpg", "fail", "a frame 0 pixels wide", jpeg_with_size(jpg, 0, 48))
    case("jpeg_sof_12bit.jpg", "fail", "12-bit samples, which the system's 8-bit decoder refuses",
         jpg[:jpeg_offset(jpg, SOF) + 4] + b"\x0c" + jpg[jpeg_offset(jpg, SOF) + 5:])
    case("jpeg_cmyk.jpg", "ok", "CMYK (Adobe, inverted)", convert(q, w, h, ["-colorspace", "CMYK", "jpeg:-"]))
    case("jpeg_grey.jpg", "ok", "one channel", convert(q, w, h, ["-colorspace", "Gray", "jpeg:-"]))
    case("jpeg_progressive.jpg", "ok", "progressive", convert(q, w, h, ["-interlace", "JPEG", "jpeg:-"]))
    case("jpeg_exif_ifd_past_end.jpg", "ok", "EXIF IFD0 offset past its segment: orientation ignored",
         with_exif(jpg, exif_app1(6, ifd_offset=0x7FFFFFF0), True))
    case("jpeg_exif_count_65535.jpg", "ok", "EXIF IFD0 claiming 65535 entries in a short segment",
         with_exif(jpg, exif_app1(6, count=0xFFFF), False))
    case("jpeg_exif_orientation_9.jpg", "ok", "EXIF orientation 9, which means nothing: shown as stored",
         with_exif(jpg, exif_app1(9, big_endian=True), False))
    case("jpeg_exif_cut.jpg", "fail", "ends inside its EXIF segment",
         with_exif(jpg, exif_app1(6), False)[:40])
    case("text.jpg", "fail", "a text file named .jpg", b"This is not a picture.\r\n" * 4)
    case("empty.jpg", "fail", "no bytes", b"")
    case("png_named.jpg", "ok", "a PNG named .jpg: decided by its bytes", pngq)

    # PNG
    case("png_cut_in_ihdr.png", "fail", "ends inside IHDR", pngq[:20])
    case("png_cut_mid_idat.png", "fail", "ends in the middle of the pixel data", pngq[:idat + 8 + idat_length // 2])
    case("png_cut_before_iend.png", "ok", "all the pixels, no IEND", pngq[:-12])
    case("png_ihdr_65535.png", "fail", "IHDR of 65535x65535 with a right CRC", png_with_ihdr(pngq, 65535, 65535))
    case("png_ihdr_2g.png", "fail", "IHDR of 2^31-1 square with a right CRC",
         png_with_ihdr(pngq, 0x7FFFFFFF, 0x7FFFFFFF))
    case("png_ihdr_zero.png", "fail", "IHDR of 0x48", png_with_ihdr(pngq, 0, 48))
    case("png_bad_crc_ihdr.png", "fail", "IHDR whose CRC is wrong",
         png_patched(pngq, b"IHDR", lambda b: b.__setitem__(12, 1)))
    case("png_bad_crc_idat.png", "fail", "IDAT whose CRC is wrong",
         png_patched(pngq, b"IDAT", lambda b: b.__setitem__(len(b) // 2, b[len(b) // 2] ^ 0x55)))
    case("png_bad_zlib.png", "fail", "IDAT of garbage with a right CRC",
         pngq[:idat] + png_chunk(b"IDAT", b"\x78\x9c" + bytes(range(7, 250))) + pngq[-12:])
    case("png_bad_crc_text.png", "ok", "a tEXt chunk whose CRC is wrong: ancillary, skipped",
         png(w, h, 2, 8, rows(q, w),
             extra=png_chunk(b"tEXt", b"Comment\0hostile", crc=0x12345678)))
    case("png_16bit.png", "ok", "16 bits a sample", convert(q, w, h, ["PNG48:-"]))
    case("png_palette.png", "ok", "a four-entry palette", convert(q, w, h, ["PNG8:-"]))
    case("png_palette_short.png", "ok", "a 2-entry palette and pixels indexing past it, shown black",
         png(4, 2, 3, 8, [bytes([0, 1, 2, 3])] * 2, extra=png_chunk(b"PLTE", bytes(RED + GREEN))))
    case("png_grey_alpha.png", "ok", "grey with alpha",
         png(w, h, 4, 8, [b"".join(bytes([x * 4, 255 - y * 5]) for x in range(w)) for y in range(h)]))
    case("png_interlaced.png", "ok", "Adam7 interlaced", convert(q, w, h, ["-interlace", "PNG", "PNG24:-"]))
    case("png_bomb_8192.png", "ok", "a valid 8192x8192 1-bit picture in a few KB: within bounds",
         png(8192, 8192, 0, 1, [bytes(1024)] * 8192))
    case("png_bomb_8192x8193.png", "fail", "a valid 1-bit picture one row past 256 MiB at 32 bits",
         png(8192, 8193, 0, 1, [bytes(1024)] * 8193))

    # GIF
    case("gif_cut_in_header.gif", "fail", "ends inside the screen descriptor", gif[:9])
    case("gif_cut_mid_data.gif", "fail", "ends in the middle of the LZW data", gif[:(gif_data + len(gif)) // 2])
    case("gif_cut_before_trailer.gif", "ok", "all the data, no trailer", gif[:-1])
    case("gif_screen_65535.gif", "fail", "a 65535x65535 screen around a small image: refused on the screen it claims",
         gif_with_screen(gif, 65535, 65535))
    case("gif_image_65535.gif", "fail", "a 65535x65535 image in a small file",
         gif_with_screen(gif_with_image(gif, 65535, 65535), 65535, 65535))
    case("gif_image_zero.gif", "fail", "an image of 0x0", gif_with_image(gif, 0, 0))
    case("gif_lzw_size_12.gif", "fail", "an LZW minimum code size of 12",
         gif[:gif_data] + b"\x0c" + gif[gif_data + 1:])
    case("gif_animated.gif", "ok", "three frames: the first is shown",
         subprocess.run(["convert", "-delay", "20", "-strip"] +
                        [f for c in (RED, GREEN, BLUE) for f in ("-size", "%dx%d" % (w, h),
                                                                  "xc:rgb(%d,%d,%d)" % c)] + ["gif:-"],
                        stdout=subprocess.PIPE, check=True).stdout)

    # TIFF
    case("tiff_ok.tif", "ok", "uncompressed, its IFD after the pixels", tif)
    case("tiff_big_endian.tif", "ok", "big-endian", tiff(tw, th, tq, big_endian=True))
    case("tiff_two_pages.tif", "ok", "two pages: the first is shown", tiff(tw, th, tq, pages=2))
    case("tiff_cut_in_header.tif", "fail", "ends inside its header", tif[:6])
    case("tiff_cut_mid_pixels.tif", "fail", "ends in the middle of its pixels: its IFD, written last, is lost",
         tif[:8 + len(tq) // 2])
    case("tiff_strip_runs_past_end.tif", "fail", "its strip starts in the file and ends past it",
         tiff(tw, th, tq, strip_at=len(tif) - len(tq) // 2))
    case("tiff_cut_in_ifd.tif", "fail", "ends inside its IFD", tif[:-40])
    case("tiff_ifd_past_end.tif", "fail", "IFD offset past the end", tiff(tw, th, tq, ifd_at=0x7FFFFF00))
    case("tiff_strip_past_end.tif", "fail", "strip offset past the end", tiff(tw, th, tq, strip_at=0x7FFFFF00))
    case("tiff_ifd_loop.tif", "ok", "its IFD's next offset points to itself", tiff(tw, th, tq, next_ifd=lambda at: at))
    case("tiff_huge.tif", "fail", "ImageWidth and ImageLength of 1000000",
         tiff(tw, th, tq, width_tag=1000000, height_tag=1000000))
    case("tiff_width_zero.tif", "fail", "ImageWidth 0", tiff(tw, th, tq, width_tag=0))
    case("tiff_lzw.tif", "ok", "LZW", convert(q, w, h, ["-compress", "lzw", "tiff:-"]))

    # Others
    case("random.jpg", "fail", "bytes of no format",
         bytes((i * 7919 + 13) * 31 >> 3 & 0xFF for i in range(2000)))
    return cases


def write(directory, files):
    os.makedirs(directory, exist_ok=True)
    for name, data in files:
        with open(os.path.join(directory, name), "wb") as f:
            f.write(data)


def main():
    write(os.path.join(ROOT, "photos"), photos().items())
    cases = hostile()
    names = [c[0] for c in cases]
    assert len(names) == len(set(names))
    directory = os.path.join(ROOT, "hostile-photos")
    write(directory, [(name, data) for name, _, _, data in cases])
    width = max(map(len, names))
    with open(os.path.join(directory, "MANIFEST"), "w", newline="\n") as manifest:
        for name, result, why, _ in cases:
            manifest.write("%-*s %-4s  # %s\n" % (width, name, result, why))
    print("wrote %d hostile files" % len(cases))


if __name__ == "__main__":
    main()
