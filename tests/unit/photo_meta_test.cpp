// What a photo says of itself: from photos exiftool tagged, read as the loader reads them, and from bytes built here.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "picture/photo_file.h"
#include "picture/photo_meta.h"

namespace {

typedef std::vector<uint8_t> Bytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }
Bytes Le(uint32_t v, int n) { return n == 2 ? Bytes{uint8_t(v), uint8_t(v >> 8)} : Bytes{uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)}; }
Bytes Segment(const std::string& name, const Bytes& b) { return Bytes{0xFF, 0xE1, uint8_t((b.size() + name.size() + 2) >> 8), uint8_t(b.size() + name.size() + 2)} + Text(name) + b; }
Bytes App13(const Bytes& resource) { return Bytes{0xFF, 0xD8, 0xFF, 0xED, 0, uint8_t(resource.size() + 16)} + Text(std::string("Photoshop 3.0\0", 14)) + resource; }
// Photoshop's IPTC resource, unnamed, holding the `size` bytes of `records`.
Bytes Iptc(const char* records, size_t size) { return Text("8BIM") + Bytes{4, 4, 0, 0, 0, 0, 0, uint8_t(size)} + Text(std::string(records, size)); }
Bytes Jpeg(const Bytes& exif, const std::string& xmp = "") {
  return Bytes{0xFF, 0xD8} + Segment(std::string("Exif\0\0", 6), exif) + Segment(std::string("http://ns.adobe.com/xap/1.0/\0", 29), Text(xmp));
}

struct Tag { uint16_t tag, type; uint32_t count; Bytes value; };
Tag Ascii(uint16_t tag, const std::string& s) { return {tag, 2, uint32_t(s.size() + 1), Text(s) + Bytes{0}}; }
Tag Rationals(uint16_t tag, std::vector<uint32_t> v) { Bytes b; for (uint32_t x : v) b = b + Le(x, 4); return {tag, 5, uint32_t(v.size() / 2), b}; }

// A little-endian TIFF: IFD0 and, when `sub` is given, an IFD that IFD0's tag `link` points to; values past four bytes after both.
Bytes Tiff(std::vector<Tag> ifd0, uint16_t link = 0, const std::vector<Tag>& sub = {}) {
  if (!sub.empty()) ifd0.push_back({link, 4, 1, Le(uint32_t(8 + 6 + 12 * (ifd0.size() + 1)), 4)});
  Bytes out = Text(std::string("II*\0", 4)) + Le(8, 4), data;
  const size_t dataAt = 8 + 6 + 12 * ifd0.size() + (sub.empty() ? 0 : 6 + 12 * sub.size());
  for (const std::vector<Tag>* ifd : {&std::as_const(ifd0), &sub}) {
    if (ifd->empty()) continue;
    out = out + Le(uint32_t(ifd->size()), 2);
    for (const Tag& t : *ifd) {
      out = out + Le(t.tag, 2) + Le(t.type, 2) + Le(t.count, 4) + (t.value.size() <= 4 ? t.value + Bytes(4 - t.value.size()) : Le(uint32_t(dataAt + data.size()), 4));
      if (t.value.size() > 4) data = data + t.value;
    }
    out = out + Le(0, 4);
  }
  return out + data;
}

// The date, place, title and description, one line.
std::string Said(const PhotoMeta& m) {
  char date[32] = "-", place[48] = "-";
  const PhotoDate& d = m.taken;
  if (d.year) snprintf(date, sizeof date, "%04d-%02d-%02d %02d:%02d:%02d", d.year, d.month, d.day, d.hour, d.minute, d.second);
  if (m.located) snprintf(place, sizeof place, "%.4f,%.4f", m.latitude, m.longitude);
  return std::string(date) + " | " + place + " | " + m.title + " | " + m.description;
}

std::string Repeat(const std::string& s, int n) { std::string r; while (n-- > 0) r += s; return r; }

}  // namespace

// Photos exiftool tagged, read as the loader reads them, then bytes built for what it does not write.
TEST(PhotoMeta, EachSourceAndItsFaults) {
  const struct { const char* files; const char* said; } made[] = {
      {"full.jpg full.tif full.png", "2021-03-04 05:06:07 | -33.8568,-151.2153 | Straße · 東京 | a &lt; b & \"c\""},
      {"digitized.jpg digitized.tif", "2019-12-31 23:59:59 | - | Straße | Ünïcode"},
      {"digitized.png", "2019-12-31 23:59:59 | - | xp | description"},  // PNG keeps IPTC in no chunk we read
      {"xmpdates.jpg xmpdates.tif xmpdates.png", "2018-07-08 09:10:11 | - | 東京 タワー | spaced"},
      {"xmpcreate.jpg xmpcreate.tif xmpcreate.png", "2017-05-06 00:00:00 | 10.5000,20.2500 |  | Ωmega"},
      {"none.jpg none.tif none.png", "- | - |  | "},
      {"far.tif", "2019-02-03 04:05:06 | - | Straße · 東京 | a &lt; b & \"c\""}};  // XMP only, after the pixels
  for (const auto& row : made) {
    std::istringstream files(row.files);
    for (std::string name; files >> name;) {
      FILE* file = fopen((std::string(LUMARO_META_PHOTOS) + "/" + name).c_str(), "rb");
      ASSERT_TRUE(file) << name;
      EXPECT_EQ(row.said, Said(ReadPhotoFacts(file).meta)) << name;
      fclose(file);
    }
  }
  const Bytes xpTitle = Text(std::string("x\0p\0\x3D\xD8\xFC\xDD", 8));  // a pair of surrogates last
  const Tag south = Ascii(1, "S"), east = Ascii(3, "E"), longitude = Rationals(4, {20, 1});
  const struct { const char* name; Bytes bytes; std::string said; } built[] = {
      {"XMP attribute dates, the x-default title, references",
       Jpeg({}, "<dc:titles>no</dc:titles><rdf:Description exif:DateTimeOriginal = '2000-02-29T12:30:15.05Z' xmp:CreateDate=\"2001-01-01\"><dc:title><rdf:Alt>"
                "<rdf:li xml:lang='de'>Titel</rdf:li><rdf:li xml:lang='x-default'>&#x6771;&#20140; &amp;&apos;&#x2A;&#xa9;</rdf:li></rdf:Alt></dc:title>"),
       "2000-02-29 12:30:15 | - | 東京 &'*© | "},
      {"XMP cut in its title, a surrogate's reference", Jpeg({}, "<dc:description>&#xD800;</dc:description><dc:title><rdf:Alt><rdf:li>cut"), "- | - |  | "},
      {"XMP dates out of range, an unknown entity",
       Jpeg({}, "<exif:DateTimeOriginal>1900-02-29T10:00</exif:DateTimeOriginal><xmp:CreateDate>2021-01-01T24:00"
                "</xmp:CreateDate><dc:description>a &nbsp; b</dc:description><dc:title>&#x4G;</dc:title>"), "- | - |  | "},
      {"XMP words broken or blank fall through to EXIF's",
       Jpeg(Tiff({{0x9C9B, 1, 8, xpTitle}, Ascii(0x010E, "Caf\xE9 ")}), "<dc:title>\xE0\x80\xAF</dc:title><dc:description> </dc:description>"),
       "- | - | xp🗼 | Café"},
      {"an over-long title, cut at a character", Jpeg({}, "<dc:title>" + Repeat("é", 600) + "</dc:title>"), "- | - | " + Repeat("é", 500) + " | "},
      {"an all-zero EXIF date, the digitized one taken",
       Jpeg(Tiff({}, 0x8769, {Ascii(0x9003, "0000:00:00 00:00:00"), Ascii(0x9004, "2004:05:06 07:08:09")})), "2004-05-06 07:08:09 | - |  | "},
      {"GPS", Jpeg(Tiff({}, 0x8825, {south, Rationals(2, {10, 1, 30, 1, 36, 1}), east, longitude})), "- | -10.5100,20.0000 |  | "},
      {"GPS, a zero denominator", Jpeg(Tiff({}, 0x8825, {south, Rationals(2, {10, 1}), east, Rationals(4, {20, 1, 30, 0})})), "- | - |  | "},
      {"GPS, a reference of X", Jpeg(Tiff({}, 0x8825, {Ascii(1, "X"), Rationals(2, {10, 1}), east, longitude})), "- | - |  | "},
      {"GPS, a latitude past 90", Jpeg(Tiff({}, 0x8825, {south, Rationals(2, {90, 1, 1, 1}), east, longitude})), "- | - |  | "},
      {"GPS, no latitude", Jpeg(Tiff({}, 0x8825, {south, east, longitude})), "- | - |  | "},
      {"values past the end, a lone surrogate", Jpeg(Tiff({{0x010E, 2, 9, Le(4000, 4)}, {0x9C9B, 1, 4, Bytes{0, 0xD8, 'a', 0}}})), "- | - |  | "},
      {"a TIFF's own IFD0", Tiff({Ascii(0x010E, "tiff")}), "- | - |  | tiff"},
      {"APP1 and APP13 of other kinds", Bytes{0xFF, 0xD8, 0xFF, 0xE1, 0, 4, 'a', 'b', 0xFF, 0xED, 0, 4, 'c', 'd'}, "- | - |  | "},
      {"IPTC after an odd-sized resource, Latin-1, a keyword first", App13(Text(std::string("8BIM\0\1\0\0\0\0\0\1z\0", 14)) + Iptc("\x1C\x02\x19\0\2kw\x1C\x02\x05\0\6T\xEDtulo\x1C\x02\x78\0\3cap", 26)), "- | - | Título | cap"},
      {"IPTC cut in a record's header", App13(Iptc("\x1C\x02\x05\0\1x\x1C\x02", 8)), "- | - | x | "},
      {"IPTC in a resource named past its end", App13(Text(std::string("8BIM\0\1\0\0\0\0\0\0" "8BIM\4\4\x10" "abcde", 24))), "- | - |  | "},
  };
  for (const auto& row : built) EXPECT_EQ(row.said, Said(ReadPhotoMeta(Bytes(row.bytes).data(), row.bytes.size()))) << row.name;
}
