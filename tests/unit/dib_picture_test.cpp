// Loading BMP files into the picture holder.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "picture/dib_picture.h"
#include "unit/bmp_writer.h"

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

bool IsEmpty(const DibPicture& p) {
  return !p.m_hMem && !p.m_pInfo && !p.m_pBits && !p.m_nColors && !p.m_nWidth && !p.m_nHeight && !p.m_bCoreHeader;
}

// A holder is empty or holds a block StretchDIBits can draw, readable to its end.
void ExpectConsistent(const DibPicture& p) {
  EXPECT_TRUE(p.m_pInfo || IsEmpty(p));
  if (!p.m_pInfo) return;
  const BITMAPINFOHEADER& h = p.m_pInfo->bmiHeader;
  const int64_t image = h.biCompression ? h.biSizeImage : int64_t(RowBytes(h.biBitCount, h.biWidth)) * h.biHeight;
  EXPECT_EQ((std::vector<long>{40, 1, p.m_nColors, p.m_nWidth, p.m_nHeight, DIB_RGB_COLORS}),
            (std::vector<long>{long(h.biSize), h.biPlanes, long(h.biClrUsed), h.biWidth, h.biHeight, p.m_wUsage}));
  EXPECT_TRUE(p.m_hMem && p.m_nWidth > 0 && p.m_nHeight > 0 && p.m_nColors >= 0 && p.m_nColors <= 256 && image > 0 &&
              image <= int64_t(256) << 20);
  EXPECT_EQ(reinterpret_cast<BYTE*>(p.m_pInfo) + 40 + 4 * p.m_nColors, p.m_pBits);
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

// Header kinds, table sizes, where the bits start and how they are stored.
TEST_F(DibPictureTest, WhatLoadsAndWhereItGoes) {
  auto rle = [](uint16_t bits, BmpFile b) { return b.compression = bits, b.bits = {4, 0x12, 0, 0, 4, 0x34, 0, 1}, b; };
  auto at = [](uint32_t offBits, size_t gap, BmpFile b = Picture(9, 4, 8, 256)) {  // a bfOffBits, or a gap
    return b.autoOffBits = gap > 0, b.offBits = offBits, b.gap.assign(gap, 0xEE), b; };
  std::tuple<const char*, int, BmpFile> cases[] = {  // name, colours held, file
      {"24-bit", 0, Picture(9, 4)},                        {"8-bit, biClrUsed 0", 256, Picture(9, 4, 8, 256)},
      {"8-bit, biClrUsed 20", 20, Picture(9, 4, 8, 20)},   {"24-bit, biClrUsed 256", 256, Picture(9, 4, 24, 256)},
      {"1-bit", 2, Picture(9, 4, 1, 2)},                   {"4-bit", 16, Picture(9, 4, 4, 16)},
      {"16-bit", 0, Picture(9, 4, 16)},                    {"32-bit, biClrUsed 4", 4, Picture(9, 4, 32, 4)},
      {"core 8-bit, 1x1", 256, Picture(1, 1, 8, 256, 12)}, {"core 24-bit", 0, Picture(9, 4, 24, 0, 12)},
      {"core width 0x8000 is unsigned", 2, Picture(0x8000, 4, 1, 2, 12)},
      {"top-down, stored bottom-up, rows over 4 KiB", 0, Picture(1366, -4)},
      {"RLE8", 256, rle(BI_RLE8, Picture(4, 2, 8, 256))},  {"RLE4", 16, rle(BI_RLE4, Picture(4, 2, 4, 16))},
      // a bfOffBits of 0, before or inside the table: the bits follow the table
      {"bfOffBits 0", 256, at(0, 0)}, {"bfOffBits 14", 256, at(14, 0)}, {"bfOffBits 1077", 256, at(1077, 0)},
      {"a gap of a byte", 256, at(0, 1)}};
  for (auto& [name, colors, bmp] : cases) {
    SCOPED_TRACE(name);
    bmp.sizeImage = bmp.compression ? uint32_t(bmp.bits.size()) : 999999;  // computed when uncompressed
    ASSERT_TRUE(Load(bmp));
    const bool core = bmp.headerSize == 12;
    const DibPicture& p = m_picture;
    const BITMAPINFOHEADER& h = p.m_pInfo->bmiHeader;
    EXPECT_EQ((std::vector<int64_t>{colors, bmp.width, abs(bmp.height), bmp.bitCount, bmp.compression, core,
                                    core ? 0 : int64_t(bmp.bits.size())}),
              (std::vector<int64_t>{p.m_nColors, p.m_nWidth, p.m_nHeight, h.biBitCount, h.biCompression, p.m_bCoreHeader,
                                    h.biSizeImage}));
    std::vector<uint8_t> table = ColourTable(colors, 4), bits = bmp.bits;
    for (size_t i = 3; core && i < table.size(); i += 4) table[i] = 0;  // core entries widened
    EXPECT_EQ(table, Bytes(m_picture.m_pInfo->bmiColors, table.size()));
    const size_t row = RowBytes(bmp.bitCount, bmp.width), rows = std::abs(bmp.height);
    for (size_t r = 0; bmp.height < 0 && r < rows; ++r)  // file row r, counted from the top
      std::copy_n(&bmp.bits[r * row], row, &bits[(rows - 1 - r) * row]);
    EXPECT_EQ(bits, Bytes(m_picture.m_pBits, bits.size()));
  }
}

// Refusals before the old block goes keep it, even at the bounds; a 256 MiB picture passes them, though
// its block may not be had. A short table empties the holder; short bits are zero-filled.
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
  const struct { const char* name; Result result; int width, height; uint16_t bitCount; uint32_t rleInSparseTail; } cases[] = {
      {"1x1", kLoads, 1, 1, 24, 0}, {"32768 wide", kLoads, 32768, 1, 24, 0}, {"32768 high", kLoads, 1, -32768, 24, 0},
      {"32769 high", kKept, 1, -32769, 24, 0}, {"256 MiB", kReleased, 8192, 8192, 32, 0},
      {"256 MiB and a row", kKept, 8192, 8193, 32, 0}, {"RLE of 256 MiB", kReleased, 8192, 2, 8, 256u << 20},
      {"RLE of 256 MiB and a byte", kKept, 8192, 2, 8, (256u << 20) + 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    bmp = Picture(1, 1, c.bitCount, c.rleInSparseTail ? 256 : 0);
    bmp.width = c.width, bmp.height = c.height, bmp.compression = c.rleInSparseTail ? BI_RLE8 : BI_RGB, bmp.sizeImage = c.rleInSparseTail;
    bmp.bits = Pattern(c.width == 8192 ? 0 : RowBytes(c.bitCount, c.width) * std::abs(c.height));
    const bool loaded = Load(bmp, c.rleInSparseTail) != FALSE;
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

// A photo shrunk to an eighth is averaged as a BMP is, on Windows and under Wine alike: a red and white
// checkerboard becomes an even pink, where picking pixels would leave red or white.
TEST(DibPhoto, ShrunkByAveraging) {
  ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
  DibPicture p;
  ASSERT_TRUE(p.Load(LUMARO_TEST_DATA "/photos/checkerboard.png", [](void*, int, int) { return SIZE{32, 24}; }));
  ASSERT_TRUE(p.m_nWidth == 32 && p.m_nHeight == 24 && p.m_sizeSource.cx == 256);
  const uint32_t* px = reinterpret_cast<const uint32_t*>(p.m_pBits);
  for (int i = 0; i < 32 * 24; ++i)
    ASSERT_TRUE((px[i] >> 16 & 255) == 255 && std::abs(int(px[i] >> 8 & 255) - 128) <= 2 && std::abs(int(px[i] & 255) - 128) <= 2)
        << std::hex << px[i] << " at " << std::dec << i;
  p.Release();
  CoUninitialize();
}
#endif

// Remade at another size as 32 bits without a table. A row over a row of zero bytes, doubled in height:
// the first and last rows of the result are the two rows expanded exactly.
TEST_F(DibPictureTest, PreparedAtTheSizeDrawn) {
  const struct { uint16_t bits; int entries; std::vector<uint8_t> row; std::vector<uint32_t> expected; } cases[] = {
      {1, 2, {0xA0, 0, 0, 0}, {0x0F0801, 0x020100, 0x0F0801, 0x020100}},
      {4, 16, {0x01, 0xF5, 0, 0}, {0x020100, 0x0F0801, 0xC56A0F, 0x432405}},
      {8, 4, {3, 0, 2, 4}, {0x291603, 0x020100, 0x1C0F02, 0}},  // 4 is past the table: black
      {16, 0, {0x1F, 0x00, 0xE0, 0x03, 0x00, 0x7C, 0x21, 0x04}, {0x0000FF, 0x00FF00, 0xFF0000, 0x080808}},
      {24, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}},
      {32, 0, {1, 2, 3, 99, 4, 5, 6, 99, 7, 8, 9, 99, 10, 11, 12, 99}, {0x030201, 0x060504, 0x090807, 0x0C0B0A}}};
  DibPicture copy;  // made from each loaded picture, which stays as it is, over the copy before
  for (const auto& c : cases) {
    BmpFile bmp = Picture(4, 2, c.bits, c.entries);
    bmp.bits = c.row, bmp.bits.resize(2 * c.row.size(), 0);
    ASSERT_TRUE(Load(bmp) && copy.PrepareFrom(m_picture, 4, 4) && m_picture.m_nHeight == 2) << c.bits;
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

}  // namespace
