#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "picture/dib_picture.h"
#include "unit/bmp_writer.h"

namespace {

const BYTE* Block(const DibPicture& p) { return reinterpret_cast<const BYTE*>(p.m_pInfo); }
const BITMAPINFOHEADER& Header(const DibPicture& p) { return p.m_pInfo->bmiHeader; }
std::vector<uint8_t> BitsOf(const DibPicture& p, size_t count) { return {p.m_pBits, p.m_pBits + count}; }

BmpFile Picture(int width, int height, uint16_t bitCount = 24, int entries = 0) {
  BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bitCount = bitCount;
  bmp.clrUsed = uint32_t(entries == 256 ? 0 : entries);
  bmp.table = ColourTable(entries, 4);
  bmp.bits = Pattern(RowBytes(bitCount, width) * size_t(height < 0 ? -height : height));
  return bmp;
}

// What every holder that holds a picture keeps, whole or partly read: the
// block drawing hands to StretchDIBits.
void ExpectConsistent(const DibPicture& p) {
  ASSERT_NE(nullptr, p.m_hMem);
  ASSERT_NE(nullptr, p.m_pInfo);
  const BITMAPINFOHEADER& h = Header(p);
  EXPECT_EQ((std::vector<long>{40, 1, p.m_nColors, p.m_nWidth, p.m_nHeight}),
            (std::vector<long>{long(h.biSize), h.biPlanes, long(h.biClrUsed), h.biWidth, h.biHeight}))
      << "biSize, biPlanes, biClrUsed, biWidth, biHeight";
  EXPECT_TRUE(p.m_nWidth > 0 && p.m_nHeight > 0 && p.m_nColors >= 0 && p.m_nColors <= 256);
  EXPECT_EQ(Block(p) + 40 + 4 * p.m_nColors, p.m_pBits);
  EXPECT_EQ(DIB_RGB_COLORS, p.m_wUsage);
}

bool IsEmpty(const DibPicture& p) { return !p.m_hMem && !p.m_pInfo && !p.m_pBits; }

class DibPictureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    m_picture.Release();
    for (const std::string& name : m_files) RemoveTemp(name);
  }
  BOOL Load(const BmpFile& bmp) {
    m_files.push_back(std::to_string(m_files.size()) + ".bmp");
    return m_picture.Load(WriteTemp(m_files.back(), bmp.Bytes()).c_str());
  }

  DibPicture m_picture;
  std::vector<std::string> m_files;
};

TEST(DibPictureBasics, ColorsFromBitCountAndTheNewHolder) {
  for (WORD bits : {0, 1, 2, 4, 8, 16, 24, 32, 64, 0xFFFF})
    EXPECT_EQ(bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0, DibPicture::ColorsFromBitCount(bits)) << bits;
  DibPicture p;
  EXPECT_TRUE(IsEmpty(p) && p.m_nColors == 0 && p.m_nWidth == 0 && p.m_nHeight == 0 && !p.m_bCoreHeader);
}

// Table size by header kind, bit count and biClrUsed; where the bits start;
// a core header's 3-byte entries widened and its header completed.
TEST_F(DibPictureTest, HeaderKindsTableSizesAndBitsOffset) {
  const struct {
    const char* name;
    uint32_t headerSize;
    uint16_t bitCount;
    uint32_t clrUsed;
    int entries;  // in the file
    int bitsAt;   // from the start of the block
    int width = 9;
  } cases[] = {
      {"8-bit, biClrUsed 0", 40, 8, 0, 256, 1064},       {"8-bit, biClrUsed 20", 40, 8, 20, 20, 120},
      {"24-bit, biClrUsed 0", 40, 24, 0, 0, 40},         {"24-bit, biClrUsed 256", 40, 24, 256, 256, 1064},
      {"1-bit", 40, 1, 0, 2, 48},                        {"4-bit", 40, 4, 0, 16, 104},
      {"16-bit, no table", 40, 16, 0, 0, 40},            {"32-bit, biClrUsed 4", 40, 32, 4, 4, 56},
      {"core 8-bit", 12, 8, 0, 256, 1064},               {"core 4-bit", 12, 4, 0, 16, 104},
      {"core 1-bit", 12, 1, 0, 2, 48},                   {"core 24-bit", 12, 24, 0, 0, 40},
      {"core width 0x8000 is unsigned", 12, 1, 0, 2, 48, 0x8000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const int entrySize = c.headerSize == 12 ? 3 : 4;
    BmpFile bmp = Picture(c.width, 4, c.bitCount);
    bmp.headerSize = c.headerSize;
    bmp.clrUsed = c.clrUsed;
    bmp.table = ColourTable(c.entries, entrySize);
    ASSERT_TRUE(Load(bmp));
    ExpectConsistent(m_picture);
    EXPECT_EQ(Block(m_picture) + c.bitsAt, m_picture.m_pBits);
    EXPECT_EQ(c.width, m_picture.m_nWidth);
    EXPECT_EQ(c.bitCount, Header(m_picture).biBitCount);
    EXPECT_EQ(DWORD(BI_RGB), Header(m_picture).biCompression);
    EXPECT_EQ(c.headerSize == 12, m_picture.m_bCoreHeader != 0);
    for (int i = 0; i < c.entries; ++i) {
      const BYTE* entry = Block(m_picture) + 40 + 4 * i;
      EXPECT_EQ(0, memcmp(entry, &bmp.table[entrySize * i], entrySize)) << "entry " << i;
      if (entrySize == 3) {
        EXPECT_EQ(0, entry[3]) << "entry " << i;
      }
    }
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
  }
}

TEST_F(DibPictureTest, UncompressedImageSizeIsComputed) {
  BmpFile bmp = Picture(33, 2, 1, 2);  // rows of 8 bytes
  for (uint32_t claimed : {0u, 4u, 999999u}) {
    SCOPED_TRACE(claimed);
    bmp.sizeImage = claimed;
    ASSERT_TRUE(Load(bmp));
    EXPECT_EQ(16u, Header(m_picture).biSizeImage);
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, 16));
  }
  bmp.bits.pop_back();
  EXPECT_FALSE(Load(bmp)) << "one byte short";
}

TEST_F(DibPictureTest, CompressedBitsAreReadAsTheyStand) {
  for (uint16_t bitCount : {8, 4}) {
    BmpFile bmp = Picture(4, 2, bitCount, bitCount == 8 ? 256 : 16);
    bmp.compression = bitCount == 8 ? BI_RLE8 : BI_RLE4;
    bmp.bits = {4, 0x12, 0, 0, 4, 0x34, 0, 1};
    bmp.sizeImage = 8;
    ASSERT_TRUE(Load(bmp)) << bitCount;
    ExpectConsistent(m_picture);
    EXPECT_EQ(8u, Header(m_picture).biSizeImage);
    EXPECT_EQ(bmp.compression, Header(m_picture).biCompression);
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, 8)) << bitCount;
  }
}

TEST_F(DibPictureTest, BitsOffsetGapRules) {
  BmpFile bmp = Picture(4, 2, 8, 256);
  bmp.autoOffBits = false;
  // 0, before or inside the table: the bits follow the table; past it: skipped.
  for (uint32_t offBits : {0u, 1u, 14u, 54u, 60u, 14u + 40u + 1023u, 14u + 40u + 1024u + 2u}) {
    SCOPED_TRACE(offBits);
    bmp.offBits = offBits;
    bmp.gap.assign(offBits == 1080 ? 2 : 0, 0xEE);
    ASSERT_TRUE(Load(bmp));
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
  }
}

TEST_F(DibPictureTest, TopDownPictureIsStoredBottomUp) {
  BmpFile bmp = Picture(3, -4);
  const size_t row = RowBytes(24, 3);
  for (size_t rowsInFile : {4, 2}) {
    SCOPED_TRACE(rowsInFile);
    BmpFile cut = bmp;
    cut.bits.resize(rowsInFile * row);
    EXPECT_EQ(rowsInFile == 4, Load(cut) != FALSE);
    ExpectConsistent(m_picture);
    EXPECT_EQ(4, m_picture.m_nHeight);
    // Memory is bottom-up: file row r, counted from the top, is memory row 3 - r; rows not read stay zero.
    for (size_t r = 0; r < 4; ++r) {
      std::vector<uint8_t> expected(row, 0);
      if (r < rowsInFile) expected.assign(bmp.bits.begin() + r * row, bmp.bits.begin() + (r + 1) * row);
      EXPECT_EQ(expected, std::vector<uint8_t>(m_picture.m_pBits + (3 - r) * row, m_picture.m_pBits + (4 - r) * row))
          << "row " << r;
    }
  }
}

// Refusals before the old block is released leave the held picture whole.
TEST_F(DibPictureTest, RefusalsLeaveTheHeldPicture) {
  const BmpFile keeper = Picture(5, 3, 8, 256);
  ASSERT_TRUE(Load(keeper));
  auto expectKeeper = [&](const std::string& what) {
    SCOPED_TRACE(what);
    ExpectConsistent(m_picture);
    EXPECT_EQ(5, m_picture.m_nWidth);
    EXPECT_EQ(0, memcmp(Block(m_picture) + 40, keeper.table.data(), 1024));
    EXPECT_EQ(keeper.bits, BitsOf(m_picture, keeper.bits.size()));
  };
  EXPECT_FALSE(m_picture.Load(TempPath("no-such-file.bmp").c_str()));
  expectKeeper("missing file");
  EXPECT_FALSE(m_picture.Load(TempPath("").c_str()));
  expectKeeper("directory");

  auto rle = [](BmpFile& b, int height, uint32_t compression, uint32_t sizeImage) {
    b = Picture(4, height, 8, 256);
    b.compression = compression;
    b.bits = {4, 1, 0, 0, 4, 2, 0, 1};
    b.sizeImage = sizeImage;
  };
  std::vector<std::pair<std::string, std::function<void(BmpFile&)>>> cases = {
      {"not BM", [](BmpFile& b) { b.type ^= 0x0101; }},
      {"planes 2", [](BmpFile& b) { b.planes = 2; }},
      {"core planes 0", [](BmpFile& b) { b.headerSize = 12, b.planes = 0; }},
      {"width 0", [](BmpFile& b) { b.width = 0; }},
      {"height 0", [](BmpFile& b) { b.height = 0; }},
      {"negative width", [](BmpFile& b) { b.width = -4; }},
      {"height INT_MIN", [](BmpFile& b) { b.height = INT32_MIN; }},
      {"height over the bound", [](BmpFile& b) { b.height = 32769; }},
      {"size wrapping 32 bits", [](BmpFile& b) { b.width = b.height = 0x10000, b.bitCount = 32; }},
      {"257 colours on 8 bits", [](BmpFile& b) { b = Picture(4, 4, 8, 256), b.clrUsed = 257; }},
      {"2^31 colours", [](BmpFile& b) { b = Picture(4, 4, 8, 256), b.clrUsed = 0x80000000u; }},
      {"BI_BITFIELDS", [](BmpFile& b) { b.bitCount = 16, b.compression = BI_BITFIELDS, b.table.assign(12, 0x1F); }},
      {"core 16-bit", [](BmpFile& b) { b.headerSize = 12, b.bitCount = 16; }},
      {"2-bit", [](BmpFile& b) { b.bitCount = 2; }},
      {"RLE with biSizeImage 0", [&](BmpFile& b) { rle(b, 2, BI_RLE8, 0); }},
      {"RLE beyond the file", [&](BmpFile& b) { rle(b, 2, BI_RLE8, 9); }},
      {"top-down RLE", [&](BmpFile& b) { rle(b, -2, BI_RLE8, 8); }},
      {"RLE4 on 8 bits", [&](BmpFile& b) { rle(b, 2, BI_RLE4, 8); }},
  };
  for (uint32_t size : {0u, 4u, 16u, 64u, 108u, 124u, 0xFFFFFFFFu})
    cases.push_back({"header size " + std::to_string(size), [size](BmpFile& b) { b.headerSize = size; }});
  for (const auto& c : cases) {
    BmpFile bmp = Picture(4, 4);
    c.second(bmp);
    EXPECT_FALSE(Load(bmp)) << c.first;
    expectKeeper(c.first);
  }
}

// Failures after the old block is released: a short colour table leaves the
// holder empty; a file that ends inside its bits leaves the new picture with
// the rest zeroed.
TEST_F(DibPictureTest, LaterFailuresAndRelease) {
  BmpFile bmp = Picture(4, 4, 8, 256);
  bmp.table.resize(1000);
  bmp.bits.clear();
  BmpFile core = bmp;
  core.headerSize = 12;
  core.table = ColourTable(100, 3);
  for (const BmpFile& shortTable : {bmp, core}) {
    ASSERT_TRUE(Load(Picture(5, 3, 8, 256)));
    EXPECT_FALSE(Load(shortTable));
    EXPECT_TRUE(IsEmpty(m_picture)) << shortTable.headerSize;
  }

  bmp = Picture(8, 4, 8, 16);
  const std::vector<uint8_t> whole = bmp.bits;
  bmp.bits.resize(13);
  EXPECT_FALSE(Load(bmp));
  ExpectConsistent(m_picture);
  EXPECT_EQ(16, m_picture.m_nColors);
  EXPECT_EQ(0, memcmp(Block(m_picture) + 40, bmp.table.data(), 64));
  bmp.bits.resize(whole.size(), 0);
  EXPECT_EQ(bmp.bits, BitsOf(m_picture, whole.size()));

  bmp.bits = whole;
  bmp.autoOffBits = false;
  bmp.offBits = 0xFFFFFFF0u;
  EXPECT_FALSE(Load(bmp)) << "bfOffBits past the end";
  ExpectConsistent(m_picture);
  EXPECT_EQ(std::vector<uint8_t>(whole.size(), 0), BitsOf(m_picture, whole.size()));

  m_picture.Release();
  EXPECT_TRUE(IsEmpty(m_picture));
  m_picture.Release();
  EXPECT_TRUE(IsEmpty(m_picture)) << "Release may repeat";
  ASSERT_TRUE(Load(Picture(2, 2)));
}

// Every file of the hostile corpus gives its listed result, and whatever it
// leaves in the holder is consistent and readable to the last byte drawing uses.
TEST(DibHostileCorpus, EveryFileGivesItsListedResult) {
  const std::string dir = std::string(LUMARO_TEST_DATA) + "/hostile/";
  std::ifstream manifest(dir + "MANIFEST");
  ASSERT_TRUE(manifest.good()) << dir;
  std::string line, name, expect;
  int files = 0;
  while (std::getline(manifest, line)) {
    if (!(std::istringstream(line) >> name >> expect)) continue;
    SCOPED_TRACE(name);
    ++files;
    DibPicture p;
    EXPECT_EQ(expect == "ok", p.Load((dir + name).c_str()) == TRUE);
    if (!p.m_pInfo) {
      EXPECT_TRUE(IsEmpty(p));
      continue;
    }
    ExpectConsistent(p);
    const BITMAPINFOHEADER& h = Header(p);
    int64_t image = h.biCompression == BI_RGB ? int64_t(RowBytes(h.biBitCount, h.biWidth)) * h.biHeight
                                              : int64_t(h.biSizeImage);
    EXPECT_GT(image, 0);
    EXPECT_LE(image, int64_t(256) << 20);
    volatile unsigned sum = 0;
    for (int64_t i = 0; i < image; ++i) sum = sum + p.m_pBits[i];
    p.Release();
  }
  EXPECT_GE(files, 25);
}

}  // namespace
