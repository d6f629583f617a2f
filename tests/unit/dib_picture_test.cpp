// Loading BMP files into the picture holder, and resizing pixels: area averages when shrinking, linear steps
// when enlarging.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "picture/dib_picture.h"
#include "picture/resample.h"
#include "unit/bmp_writer.h"
#include "unit/dib_consistency.h"

#ifdef _WIN32
#include <objbase.h>
#endif

#ifdef __SANITIZE_ADDRESS__
// No block beyond 64 MiB can be had here, so Load meets a failed GlobalAlloc.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1:max_allocation_size_mb=64"; }
#endif

namespace {

BmpFile Picture(int width, int height, uint16_t bitCount = 24, int entries = 0, uint32_t headerSize = 40) {
  BmpFile bmp;
  bmp.headerSize = headerSize, bmp.width = width, bmp.height = height, bmp.bitCount = bitCount;
  bmp.clrUsed = bitCount <= 8 && entries == 1 << bitCount ? 0 : entries;  // 0: all the bit count allows
  bmp.table = ColourTable(entries, headerSize == 12 ? 3 : 4);
  bmp.bits = Pattern(RowBytes(bitCount, width) * size_t(std::abs(height)));
  return bmp;
}

std::vector<uint8_t> Bytes(const void* at, size_t n) { return {(const uint8_t*)at, (const uint8_t*)at + n}; }

// The held picture of 24 or 32 bits as raw RGB, top row first.
std::vector<uint8_t> TopDownRgb(const DibPicture& p) {
  const int bytes = p.m_pInfo->bmiHeader.biBitCount / 8;
  std::vector<uint8_t> rgb;
  for (int y = p.m_nHeight - 1; y >= 0; --y)
    for (int x = 0; x < p.m_nWidth * bytes; x += bytes)
      for (int c = 2; c >= 0; --c) rgb.push_back(p.m_pBits[y * RowBytes(bytes * 8, p.m_nWidth) + x + c]);
  return rgb;
}

// Reads every byte drawing would: under ASan, a block shorter than its header says fails here.
void ExpectConsistent(const DibPicture& p) {
  const int64_t image = DrawnBytes(p);
  ASSERT_GE(image, 0) << "neither empty nor drawable";
  volatile unsigned sum = 0;
  for (int64_t i = 0; i < image; ++i) sum = sum + p.m_pBits[i];
}

class DibPictureTest : public ::testing::Test {
 protected:
  void TearDown() override { m_picture.Release(), std::filesystem::remove(m_path); }
  BOOL Load(const BmpFile& bmp, uintmax_t sparseTail = 0) {
    const std::vector<uint8_t> bytes = bmp.Bytes();
    std::ofstream(m_path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    std::filesystem::resize_file(m_path, bytes.size() + sparseTail);
    const BOOL result = m_picture.Load(m_path.c_str());
    ExpectConsistent(m_picture);
    return result;
  }

  std::string m_path = ::testing::TempDir() + "lumaro-" + std::to_string(std::random_device()()) + ".bmp";
  DibPicture m_picture;
};

// Refusals before the old block goes keep it, even at the bounds; a 256 MiB picture passes them, though
// its block may not be had. What loads holds the file's rows bottom-up, read from bfOffBits. A short table
// empties the holder; short bits are zero-filled.
TEST_F(DibPictureTest, BoundsFailuresAndRelease) {
  EXPECT_TRUE(IsEmpty(m_picture));
  const BmpFile keeper = Picture(5, 3, 8, 256);
  ASSERT_TRUE(Load(keeper));
  auto held = [&] { return m_picture.m_nWidth == 5 && Bytes(m_picture.m_pBits, 24) == keeper.bits; };
  EXPECT_FALSE(m_picture.Load((m_path + ".none").c_str()));
  BmpFile bmp = Picture(4, 2, 8, 256);
  bmp.compression = BI_RLE8, bmp.gap = {0, 0}, bmp.bits = {4, 1, 0, 1}, bmp.sizeImage = 5;
  EXPECT_FALSE(Load(bmp));
  EXPECT_TRUE(held()) << "a missing file, an RLE stream after a gap, short of a byte";
  enum Result { kLoads, kKept, kReleased };
  const struct { const char* name; Result result; int width, height; uint16_t bitCount; uint32_t rleInSparseTail;
                 uint32_t header = 40, gap = 0; } cases[] = {
      {"1x1, 12-byte header", kLoads, 1, 1, 24, 0, 12}, {"a gap of a byte", kLoads, 3, 2, 24, 0, 40, 1},
      {"top-down, rows over 4 KiB", kLoads, 1366, -4, 24, 0}, {"32768 wide", kLoads, 32768, 1, 24, 0},
      {"32768 high", kLoads, 1, -32768, 24, 0}, {"32769 high", kKept, 1, -32769, 24, 0}, {"256 MiB", kReleased, 8192, 8192, 32, 0},
      {"256 MiB and a row", kKept, 8192, 8193, 32, 0}, {"RLE of 256 MiB", kReleased, 8192, 2, 8, 256u << 20},
      {"RLE of 256 MiB and a byte", kKept, 8192, 2, 8, (256u << 20) + 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bmp = Picture(1, 1, c.bitCount, c.rleInSparseTail ? 256 : 0, c.header);
    bmp.width = c.width, bmp.height = c.height, bmp.compression = c.rleInSparseTail ? BI_RLE8 : BI_RGB, bmp.sizeImage = c.rleInSparseTail;
    bmp.bits = Pattern(c.width == 8192 ? 0 : RowBytes(c.bitCount, c.width) * std::abs(c.height)), bmp.gap.assign(c.gap, 0xEE);
    const bool loaded = Load(bmp, c.rleInSparseTail) != FALSE;
    const size_t row = RowBytes(c.bitCount, c.width), rows = std::abs(c.height);  // held bottom row first
    for (size_t r = 0; loaded && c.result == kLoads && r < rows; ++r)
      ASSERT_EQ(Bytes(&bmp.bits[(c.height < 0 ? rows - 1 - r : r) * row], row), Bytes(m_picture.m_pBits + r * row, row)) << r;
    EXPECT_EQ(c.result == kLoads, loaded && c.result != kReleased);  // a released one may load, given the memory
    EXPECT_EQ(c.result == kKept, held());
#ifdef __SANITIZE_ADDRESS__
    EXPECT_TRUE(c.result != kReleased || (IsEmpty(m_picture) && !loaded)) << "no block";
#endif
    ASSERT_TRUE(c.result == kKept || Load(keeper));
  }
  bmp = Picture(4, 4, 8, 256);
  bmp.table.resize(1000), bmp.bits.clear();
  EXPECT_FALSE(Load(bmp));
  EXPECT_TRUE(IsEmpty(m_picture)) << "a short colour table: released";
  bmp = Picture(8, 4, 8, 16);
  const std::vector<uint8_t> bits = bmp.bits;
  bmp.bits.resize(13);
  EXPECT_FALSE(Load(bmp));
  bmp.bits.resize(bits.size(), 0);
  EXPECT_EQ(bmp.bits, Bytes(m_picture.m_pBits, bits.size())) << "a file that ends inside its bits";
}

// Every kind of BMP ImageMagick writes holds its picture's own pixels: V5, 40- and 12-byte headers, 8-8-8-8
// (opaque), 5-6-5, 5-5-5, 4-4-4-4 and 1-5-5-5 masks.
TEST_F(DibPictureTest, EveryKindImageMagickWrites) {
  for (const char* kind : {"v5", "bmp3", "os2", "argb8888", "rgb565", "rgb555", "argb4444", "argb1555"}) {
    const std::string path = LUMARO_BMP_KINDS "/" + std::string(kind);
    std::ifstream raw(path + ".rgb", std::ios::binary);
    ASSERT_TRUE(m_picture.Load((path + ".bmp").c_str())) << kind;
    EXPECT_EQ(std::vector<uint8_t>(std::istreambuf_iterator<char>(raw), {}), TopDownRgb(m_picture)) << kind;
  }
}

// Masks and headers no tool writes, in 3 x 2 pictures with a table and a gap before the pixels: the colours of
// the pixels as stored (those not listed are 0). Alpha goes over black, unless no pixel has any. (The hostile
// corpus holds the masks and colour spaces refused.)
TEST_F(DibPictureTest, MasksAndHeadersNoToolWrites) {
  const uint32_t kBits = BI_BITFIELDS, kAlpha = 6, kLinked = 0x4C494E4B;
  const struct { const char* name; uint16_t bits; uint32_t header, compression; std::vector<uint32_t> masks, pixels,
                 colours; int height = 2; uint32_t space = 0x73524742, profileAt = 0; } cases[] = {
      {"10-10-10", 32, 40, kBits, {0x3FF00000, 0xFFC00, 0x3FF}, {0x3FFFFFFF, 0x20080200, 0x3FF00000, 1}, {0xFFFFFF, 0x808080, 0xFF0000}},
      {"1-bit red, top-down", 16, 52, kBits, {0x8000, 0x7E0, 0x1F}, {0x8000, 0x801F, 0x7E0, 0x10}, {0xFF0000, 0xFF00FF, 0xFF00, 0x84}, -2},
      {"16 bits of red", 32, 40, kBits, {0xFFFF, 0xFF0000, 0xFF000000}, {0x3456FFFF, 0x8000, 1}, {0xFF5634, 0x800000}},
      {"red on top, calibrated", 32, 108, kBits, {0xFF000000, 0xFF00, 0xFF}, {0x12003456, 5}, {0x123456, 5}, 2, 0},
      {"green on top, alpha unused", 32, 40, kAlpha, {0xFF0000, 0xFF000000, 0xFF, 0xFF00}, {0x34120056, 5}, {0x123456, 5}},
      {"blue on top", 32, 56, kBits, {0xFF0000, 0xFF00, 0xFF000000}, {0x56123400, 5}, {0x123456}},
      {"alpha in the last row", 32, 124, kBits, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0xFFFFFF, 0, 0, 0, 0x80FF8040, ~0u},
       {0, 0, 0, 0, 0x804020, 0xFFFFFF}},
      {"alpha of 4 bits", 32, 40, kAlpha, {0xFF0000, 0xFF00, 0xFF, 0xF0000000}, {0x80FF8040, 0xF0FFFFFF, 1}, {0x884422, 0xFFFFFF}},
      {"a profile to the end", 24, 124, BI_RGB, {}, {0x123456, 5}, {0x123456, 5}, 2, kLinked, 154}};
  for (const auto& c : cases) {
    BmpFile bmp = Picture(3, c.height, c.bits, 2, c.header);
    bmp.compression = c.compression, bmp.masks = c.masks, bmp.colourSpace = c.space, bmp.profileAt = c.profileAt;
    bmp.profileSize = 4, bmp.gap = {9, 9}, bmp.bits.clear();
    std::vector<uint32_t> pixels = c.pixels, colours = c.colours;
    pixels.resize(6), colours.resize(6);
    for (size_t i = 0; i < 6; ++i, bmp.bits.resize(i % 3 ? bmp.bits.size() : RowBytes(c.bits, 3) * (i / 3)))
      for (int b = 0; b < c.bits; b += 8) bmp.bits.push_back(uint8_t(pixels[i] >> b));
    ASSERT_TRUE(Load(bmp)) << c.name;
    std::vector<uint8_t> expected;  // top row first
    for (size_t i = 0; i < colours.size(); ++i)
      for (int b = 16; b >= 0; b -= 8) expected.push_back(uint8_t(colours[c.height > 0 ? 3 - i / 3 * 3 + i % 3 : i] >> b));
    EXPECT_EQ(expected, TopDownRgb(m_picture)) << c.name;
  }
}

// Every file of the hostile corpus gives its listed result and leaves the holder consistent.
TEST(DibHostileCorpus, EveryFileGivesItsListedResult) {
  std::ifstream manifest(LUMARO_TEST_DATA "/hostile/MANIFEST");
  std::string name, expect;
  int files = 0;
  for (DibPicture p; manifest >> name >> expect; ++files, p.Release()) {
    SCOPED_TRACE(name);
    EXPECT_EQ(expect == "ok", p.Load((LUMARO_TEST_DATA "/hostile/" + name).c_str()) == TRUE);
    ExpectConsistent(p);
  }
  EXPECT_GE(files, 80);
}

#ifdef _WIN32  // natively only BMP files are pictures
// The same for the photo corpus, decoded by the system at the size of a 640x480 screen, as the saver does: a
// failure leaves the holder empty, whatever the file claims.
TEST(DibHostileCorpus, EveryPhotoGivesItsListedResult) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  std::ifstream manifest(LUMARO_TEST_DATA "/hostile-photos/MANIFEST");
  int files = 0;
  for (std::string line, name, expect; std::getline(manifest, line); ++files) {
    SCOPED_TRACE(line);
    std::istringstream(line) >> name >> expect;
    DibPicture p;
    const BOOL loaded = p.Load((LUMARO_TEST_DATA "/hostile-photos/" + name).c_str(),
                               [](void*, int, int) { return SIZE{640, 480}; });
    EXPECT_EQ(expect == "ok", loaded == TRUE);
    EXPECT_EQ(loaded == FALSE, IsEmpty(p));
    ExpectConsistent(p);
    p.Release();
  }
  CoUninitialize();
  EXPECT_GE(files, 50);
}
#endif

// Remade at another size as 32 bits without a table. A row over a row of zero bytes, doubled in height:
// the first and last rows of the result are the two rows expanded exactly, a 12-byte header's table widened
// with reserved bytes of zero.
TEST_F(DibPictureTest, PreparedAtTheSizeDrawn) {
  const struct {
    uint16_t bits;
    int entries;
    std::vector<uint8_t> row;
    std::vector<uint32_t> expected;
    uint32_t header = 40;
  } cases[] = {
      {1, 2, {0xA0, 0, 0, 0}, {0x0F0801, 0x020100, 0x0F0801, 0x020100}},
      {1, 2, {0xA0, 0, 0, 0}, {0x0F0801, 0x020100, 0x0F0801, 0x020100}, 12},
      {4, 16, {0x01, 0xF5, 0, 0}, {0x020100, 0x0F0801, 0xC56A0F, 0x432405}},
      {8, 4, {3, 0, 2, 4}, {0x291603, 0x020100, 0x1C0F02, 0}},  // 4 is past the table: black
      {16, 0, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0x21, 0x04}, {0x0000FF, 0x00FF00, 0xFF0000, 0x080808}},
      {24, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
      {32, 0, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}}};
  DibPicture copy;  // made from each loaded picture, which stays as it is, over the copy before
  for (const auto& c : cases) {
    BmpFile bmp = Picture(4, 2, c.bits, c.entries, c.header);
    bmp.bits = c.row, bmp.bits.resize(2 * c.row.size(), 0);
    ASSERT_TRUE(Load(bmp) && copy.PrepareFrom(m_picture, 4, 4) && m_picture.m_nHeight == 2) << c.bits;
    for (int i = 0; c.header == 12 && i < c.entries; ++i) EXPECT_EQ(0, m_picture.m_pInfo->bmiColors[i].rgbReserved) << i;
    ASSERT_TRUE(m_picture.Prepare(4, 4)) << c.bits;
    ExpectConsistent(m_picture);
    EXPECT_EQ(0, memcmp(copy.m_pBits, m_picture.m_pBits, 64)) << c.bits;
    const uint32_t* px = reinterpret_cast<const uint32_t*>(m_picture.m_pBits);
    std::vector<uint32_t> ends(px, px + 4), expected = c.expected;
    ends.insert(ends.end(), px + 12, px + 16), expected.resize(8, c.entries ? 0x020100 : 0);
    EXPECT_EQ(expected, ends) << c.bits;
    EXPECT_EQ(32, m_picture.m_pInfo->bmiHeader.biBitCount);
  }
  EXPECT_TRUE(copy.PrepareFrom(m_picture, 4, 4) && copy.m_pBits != m_picture.m_pBits) << "a copy at the source's size";
  copy.Release();
  EXPECT_TRUE(m_picture.Prepare(4, 4) && m_picture.Prepare(1, 1) && m_picture.m_nWidth == 1) << "that size already; 1x1";
  // Refused before the allocation, or by the resampler after it; a run-length picture is drawn as it stands.
  for (const SIZE bad : {SIZE{0, 1}, SIZE{1, -1}, SIZE{32768, 32768}, SIZE{32769, 1}})
    EXPECT_FALSE(m_picture.Prepare(bad.cx, bad.cy) || m_picture.m_nWidth != 1) << bad.cx;
  BmpFile rle = Picture(4, 2, 8, 256);
  rle.compression = BI_RLE8, rle.sizeImage = 4, rle.bits = {4, 1, 0, 1};
  ASSERT_TRUE(Load(rle));
  EXPECT_FALSE(m_picture.Prepare(2, 1) || m_picture.m_nWidth != 4 || m_picture.m_nColors != 256);
  m_picture.Release();
  EXPECT_FALSE(m_picture.Prepare(2, 1));
}

struct Plane {
  int width;
  std::vector<uint32_t> pixels;
};

const uint8_t* ReadPlane(void* context, int row, uint8_t*) {
  const Plane& p = *static_cast<const Plane*>(context);
  return reinterpret_cast<const uint8_t*>(&p.pixels[size_t(row) * p.width]);
}

std::vector<uint32_t> Resample(Plane source, int width, int height) {
  std::vector<uint32_t> out(size_t(width) * height, 0xDEADBEEF);
  const int rows = int(source.pixels.size()) / source.width;
  EXPECT_TRUE(ResamplePixels(source.width, rows, 4, ReadPlane, &source, out.data(), width, height));
  return out;
}

int Channel(uint32_t pixel, int shift) { return int(pixel >> shift & 0xFF); }

// Sizes up to 32768 and no further; four channels only.
TEST(Resample, Sizes) {
  EXPECT_EQ(32768u, Resample(Plane{1, {0}}, 32768, 1).size());
  uint32_t untouched = 7;
  Plane one{1, {0}};
  for (int bad : {0, -1, 32769})
    EXPECT_FALSE(ResamplePixels(1, 1, 4, ReadPlane, &one, &untouched, bad, 1) || untouched != 7) << bad;
  EXPECT_FALSE(ResamplePixels(1, 1, 2, ReadPlane, &one, &untouched, 1, 1)) << "2 channels";
  // 32768 rows of 128 KiB into one: the ring of source rows would pass the bound of a picture; nothing is read.
  EXPECT_FALSE(ResamplePixels(32768, 32768, 4, ReadPlane, &one, &untouched, 1, 1) || untouched != 7);
}

// Grey levels through uneven ratios, across a row and down a column; a ramp keeps its ends.
TEST(Resample, ExactAreasAndDistances) {
  const std::pair<std::vector<uint32_t>, std::vector<int>> cases[] = {
      {{0, 255, 0}, {85, 85}},         {{30, 60, 90}, {60}},         {{0, 50, 100, 150, 200}, {40, 160}},
      {{0, 50, 100, 150, 200}, {20, 100, 180}}, {{0, 10, 20, 30, 40, 50, 60}, {7, 30, 53}}, {{60, 240}, {60, 150, 240}},
      {{0, 64, 255}, {0, 64, 255}}, {{0, 255}, {0, 0, 85, 170, 255, 255}},
      {[] { std::vector<uint32_t> v(20000, 0); return v[0] = 255, v; }(), {0}}};  // one bright pixel in 20,000
  for (const auto& [source, expected] : cases) {
    Plane plane{1, {}};
    for (uint32_t v : source) plane.pixels.push_back(v * 0x010101);
    const int n = int(expected.size());
    std::vector<int> down, across;
    for (uint32_t p : Resample(plane, 1, n)) down.push_back(Channel(p, 0));
    plane.width = int(source.size());
    for (uint32_t p : Resample(plane, n, 1)) across.push_back(Channel(p, 16));
    EXPECT_EQ(expected, down) << source.size() << " to " << n;
    EXPECT_EQ(expected, across) << source.size() << " to " << n;
  }
}

}  // namespace
