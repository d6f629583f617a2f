// A photo's header: its EXIF orientation and frame size, from JPEG segments, TIFF IFDs and PNG, GIF and BMP headers built here; and pixels turned upright by the orientation.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "picture/photo_header.h"
#include "picture/orient_pixels.h"
#include "picture/photo_file.h"

namespace {

typedef std::vector<uint8_t> Bytes;

const uint16_t kShort = 3, kLong = 4, kOrientation = 0x0112;

struct Entry {
  uint16_t tag, type;
  uint32_t count, value;
};

void Put(Bytes& b, uint32_t v, int n, bool big) {
  for (int i = 0; i < n; ++i) b.push_back(uint8_t(v >> 8 * (big ? n - 1 - i : i)));
}

Bytes operator+(Bytes a, const Bytes& b) { return a.insert(a.end(), b.begin(), b.end()), a; }

// `b` with the bytes from `at` replaced by `with`.
Bytes Patched(Bytes b, size_t at, const Bytes& with) { return std::copy(with.begin(), with.end(), b.begin() + at), b; }

// A TIFF structure: the header, `gap` bytes (of pixel data, say), IFD0 and, when given, IFD1 after it.
// A SHORT value goes in the first two bytes of its field.
Bytes Tiff(bool big, std::vector<Entry> ifd0, std::vector<Entry> ifd1 = {}, uint32_t gap = 0) {
  Bytes b{uint8_t(big ? 'M' : 'I'), uint8_t(big ? 'M' : 'I')};
  Put(b, 42, 2, big), Put(b, 8 + gap, 4, big), b.resize(8 + gap);
  for (const std::vector<Entry>* ifd : {&ifd0, &ifd1}) {
    if (ifd == &ifd1 && ifd1.empty()) break;
    Put(b, uint32_t(ifd->size()), 2, big);
    for (const Entry& e : *ifd) {
      Put(b, e.tag, 2, big), Put(b, e.type, 2, big), Put(b, e.count, 4, big);
      e.type == kShort ? (Put(b, e.value, 2, big), Put(b, 0, 2, big)) : Put(b, e.value, 4, big);
    }
    Put(b, ifd == &ifd0 && !ifd1.empty() ? uint32_t(b.size() + 4) : 0, 4, big);
  }
  return b;
}

const Entry kWidth{0x0100, kShort, 1, 640};
Bytes Tiff(bool big, int orientation) { return Tiff(big, {kWidth, {kOrientation, kShort, 1, uint32_t(orientation)}}); }

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Segment(uint8_t marker, const Bytes& payload) {
  return Bytes{0xFF, marker, uint8_t((payload.size() + 2) >> 8), uint8_t(payload.size() + 2)} + payload;
}
Bytes Exif(const Bytes& tiff) { return Segment(0xE1, Text(std::string("Exif\0\0", 6)) + tiff); }

const Bytes kSoi{0xFF, 0xD8};
const Bytes kJfif = Segment(0xE0, Text(std::string("JFIF\0\1\1\0\0\1\0\1\0\0", 14)));
const Bytes kXmp = Segment(0xE1, Text(std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 42)) + Bytes(300, ' '));
const Bytes kScan = Segment(0xDA, Bytes(10, 0)) + Bytes{0x12, 0x34, 0xFF, 0xD9};

// Always on a block of exactly `n` bytes, so reading past it is caught.
int Orientation(const Bytes& b, size_t n) { return PhotoOrientation(Bytes(b.begin(), b.begin() + n).data(), n); }
int Orientation(const Bytes& b) { return Orientation(b, b.size()); }

// A file cut anywhere before the end of its Exif segment gives 1; and the TIFF structure ends with
// its segment even when the bytes after it would complete the IFD.
TEST(PhotoOrientation, CutAtEveryLength) {
  for (bool big : {false, true}) {
    const Bytes tiff = Tiff(big, 6), head = kSoi + kXmp, file = head + Exif(tiff) + kScan;
    for (size_t n = 0; n <= file.size(); ++n)
      EXPECT_EQ(n >= head.size() + 10 + tiff.size() ? 6 : 1, Orientation(file, n)) << big << " " << n;
    for (size_t n = 0; n <= tiff.size(); ++n) {
      Bytes cut = kSoi + Exif(Bytes(tiff.begin(), tiff.begin() + n));
      EXPECT_EQ(n >= 10 + 2 * 12 ? 6 : 1, Orientation(cut + Bytes(tiff.begin() + n, tiff.end()))) << big << " " << n;
      EXPECT_EQ(n >= 10 + 2 * 12 ? 6 : 1, TiffOrientation(Bytes(tiff.begin(), tiff.begin() + n).data(), n)) << n;
    }
  }
}

// The upright picture, top row first, from `target` (bottom-up, `width` pixels a row).
std::string Upright(const std::vector<uint32_t>& target, int width) {
  std::string rows;
  for (size_t end = target.size(); end > 0; end -= width)
    rows += std::string(target.begin() + (end - width), target.begin() + end) + (end > size_t(width) ? "/" : "");
  return rows;
}

TEST(OrientPixels, EveryOrientationOfThreeByTwo) {
  const std::vector<uint32_t> source{'A', 'B', 'C', 'D', 'E', 'F'};  // ABC over DEF
  const struct {
    int orientation;
    const char* upright;
  } cases[] = {{1, "ABC/DEF"},   {2, "CBA/FED"},   {3, "FED/CBA"},   {4, "DEF/ABC"}, {5, "AD/BE/CF"},
               {6, "DA/EB/FC"}, {7, "FC/EB/DA"}, {8, "CF/BE/AD"}, {0, "ABC/DEF"}, {9, "ABC/DEF"}};
  for (const auto& c : cases) {
    std::vector<uint32_t> target(6, '?');
    OrientPixels(source.data(), 3, 2, c.orientation, target.data());
    EXPECT_EQ(c.upright, Upright(target, SwapsSides(c.orientation) ? 2 : 3)) << c.orientation;
    EXPECT_EQ(c.orientation >= 5 && c.orientation <= 8, SwapsSides(c.orientation)) << c.orientation;
  }
}

}  // namespace

// What the loader reads from a photo file itself: the head, and a TIFF's first IFD wherever it lies; the orientation
// and the frame size claimed (none when it cannot be read).
TEST(PhotoHeader, ReadFromTheFile) {
  const std::string path = ::testing::TempDir() + "lumaro-photo-header";
  const Bytes ihdr = Text("\x89PNG\r\n\x1A\n") + Bytes{0, 0, 0, 13} + Text("IHDR") + Bytes{0, 1, 0, 0, 0, 0, 0, 2};
  const Bytes exif6 = Text(std::string("Exif\0\0", 6)) + Tiff(false, 6);
  const Entry wide{0x0100, kLong, 1, 70001}, high{0x0101, kLong, 1, 70000};
  const struct { const char* name; Bytes file; int orientation; std::vector<uint32_t> size; } cases[] = {
      {"JPEG, Exif before the frame", kSoi + kJfif + Exif(Tiff(false, 6)) + Segment(0xC0, {8, 1, 0, 2, 0}), 6, {512, 256}},
      {"JPEG, the first Exif counts", kSoi + Exif(Tiff(true, 3)) + Exif(Tiff(false, 8)) + Segment(0xCF, {8, 1, 0, 2, 0}), 3, {512, 256}},
      {"JPEG, Exif in APP2 is no Exif", kSoi + Segment(0xE2, exif6) + Segment(0xC2, {8, 0, 1, 0, 2}), 1, {2, 1}},
      {"JPEG, DHT and DAC are no frame", kSoi + Segment(0xC4, {8, 9, 9, 9, 9}) + Segment(0xCC, {8, 9, 9, 9, 9}), 1, {}},
      {"JPEG, a frame header too short", kSoi + Segment(0xC0, {8, 1, 0, 2}), 1, {}},
      {"JPEG, fill bytes to the end", kSoi + Bytes{0xFF, 0xFF}, 1, {}},
      {"JPEG, a scan before the frame", kSoi + Segment(0xDA, {1}) + Segment(0xC0, {8, 1, 0, 2, 0}), 1, {}},
      {"JPEG, a length cut", kSoi + Bytes{0xFF, 0xC0, 0}, 1, {}}, {"JPEG, a length past the end", kSoi + Bytes{0xFF, 0xC0, 0, 9, 8}, 1, {}},
      {"TIFF, IFD after 300 KB of pixels", Tiff(false, {wide, high, {kOrientation, kShort, 1, 8}}, {}, 300000), 8, {70001, 70000}},
      {"TIFF, no length", Tiff(true, 3), 3, {}}, {"TIFF, more entries than the IFD holds", Patched(Tiff(false, 3), 8, {3}), 1, {}},
      {"TIFF, a length of another type", Tiff(false, {kWidth, {0x0101, 5, 1, 9}}), 1, {}},
      {"TIFF, IFD past the end", Patched(Tiff(false, 3), 4, {0xF0, 0xFF, 0xFF, 0x00}), 1, {}},
      {"TIFF, IFD at 2^32 - 8", Patched(Tiff(true, 3), 4, {0xFF, 0xFF, 0xFF, 0xF8}), 1, {}},
      {"TIFF, a count of 65537", Tiff(false, {{kOrientation, kShort, 0x10001, 6}}), 1, {}},
      {"JPEG, XMP and fill bytes before Exif", kSoi + kXmp + Bytes{0xFF, 0xFF} + Exif(Tiff(true, 6)) + kScan, 6, {}},
      {"PNG, to the height", ihdr, 1, {65536, 2}}, {"PNG, cut in the height", Bytes(ihdr.begin(), ihdr.end() - 1), 1, {}},
      {"GIF89a", Text("GIF89a") + Bytes{0x34, 0x12, 3, 0}, 1, {0x1234, 3}}, {"GIF87a", Text("GIF87a") + Bytes{1, 0, 1, 0}, 1, {1, 1}},
      {"GIF87a, cut", Text("GIF87a") + Bytes{1, 0, 1}, 1, {}},
      {"BMP, top-down", Text("BM") + Bytes(12) + Bytes{40, 0, 0, 0, 0x34, 0x12, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF}, 1, {0x1234, 4}},
      {"BMP, 12-byte header", Text("BM") + Bytes(12) + Bytes{12, 0, 0, 0, 5, 0, 6, 0, 1, 0, 24, 0}, 1, {5, 6}},
      {"BMP, cut", Text("BM") + Bytes(23), 1, {}},
      {"empty", {}, 1, {}}};
  for (const auto& c : cases) {
    FILE* f = fopen(path.c_str(), "w+b");
    ASSERT_TRUE(f && (c.file.empty() || fwrite(c.file.data(), 1, c.file.size(), f) == c.file.size()));
    const PhotoFacts facts = ReadPhotoFacts(f);
    fclose(f);
    EXPECT_EQ(c.orientation, facts.orientation) << c.name;
    EXPECT_EQ(c.size, (facts.sized ? std::vector<uint32_t>{facts.width, facts.height} : std::vector<uint32_t>{})) << c.name;
  }
  remove(path.c_str());
}
