#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "picture/dib_picture.h"
#include "unit/bmp_writer.h"

namespace {

const BYTE* Block(const DibPicture& p) { return reinterpret_cast<const BYTE*>(p.m_pInfo); }
const BITMAPINFOHEADER& Header(const DibPicture& p) { return p.m_pInfo->bmiHeader; }

std::vector<uint8_t> BitsOf(const DibPicture& p, size_t count) {
  return std::vector<uint8_t>(p.m_pBits, p.m_pBits + count);
}

BmpFile Picture24(int width, int height) {
  BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bits = Pattern(RowBytes(24, width) * size_t(height < 0 ? -height : height));
  return bmp;
}

BmpFile Picture8(int width, int height, int entries) {
  BmpFile bmp;
  bmp.width = width;
  bmp.height = height;
  bmp.bitCount = 8;
  bmp.clrUsed = uint32_t(entries == 256 ? 0 : entries);
  bmp.table = ColourTable(entries, 4);
  bmp.bits = Pattern(RowBytes(8, width) * size_t(height));
  return bmp;
}

// The invariants every holder that holds a picture keeps, partly read or not.
void ExpectConsistent(const DibPicture& p) {
  ASSERT_NE(nullptr, p.m_hMem);
  ASSERT_NE(nullptr, p.m_pInfo);
  const BITMAPINFOHEADER& h = Header(p);
  EXPECT_EQ(40u, h.biSize);
  EXPECT_EQ(1, h.biPlanes);
  EXPECT_EQ(DWORD(p.m_nColors), h.biClrUsed);
  EXPECT_EQ(p.m_nWidth, h.biWidth);
  EXPECT_EQ(p.m_nHeight, h.biHeight);
  EXPECT_GT(p.m_nWidth, 0);
  EXPECT_GT(p.m_nHeight, 0);
  EXPECT_LE(p.m_nColors, 256);
  EXPECT_EQ(Block(p) + 40 + 4 * p.m_nColors, p.m_pBits);
  EXPECT_EQ(DIB_RGB_COLORS, p.m_wUsage);
}

void ExpectEmpty(const DibPicture& p) {
  EXPECT_EQ(nullptr, p.m_hMem);
  EXPECT_EQ(nullptr, p.m_pInfo);
  EXPECT_EQ(nullptr, p.m_pBits);
}

class DibPictureTest : public ::testing::Test {
 protected:
  void TearDown() override {
    m_picture.Release();
    for (const std::string& name : m_files) RemoveTemp(name);
  }

  BOOL Load(const BmpFile& bmp) { return LoadBytes(bmp.Bytes()); }

  BOOL LoadBytes(const std::vector<uint8_t>& bytes) {
    std::string name = std::to_string(m_files.size()) + ".bmp";
    m_files.push_back(name);
    return m_picture.Load(WriteTemp(name, bytes).c_str());
  }

  // Loads a picture that later failures must leave alone.
  void LoadKeeper() {
    m_keeper = Picture8(5, 3, 256);
    ASSERT_TRUE(Load(m_keeper));
  }

  void ExpectKeeperIntact(const char* what) {
    SCOPED_TRACE(what);
    ASSERT_NE(nullptr, m_picture.m_pInfo);
    ExpectConsistent(m_picture);
    EXPECT_EQ(5, m_picture.m_nWidth);
    EXPECT_EQ(256, m_picture.m_nColors);
    EXPECT_EQ(0, memcmp(Block(m_picture) + 40, m_keeper.table.data(), 1024));
    EXPECT_EQ(m_keeper.bits, BitsOf(m_picture, m_keeper.bits.size()));
  }

  DibPicture m_picture;
  BmpFile m_keeper;
  std::vector<std::string> m_files;
};

TEST(DibPictureBasics, ColorsFromBitCount) {
  EXPECT_EQ(2, DibPicture::ColorsFromBitCount(1));
  EXPECT_EQ(16, DibPicture::ColorsFromBitCount(4));
  EXPECT_EQ(256, DibPicture::ColorsFromBitCount(8));
  for (WORD bits : {0, 2, 16, 24, 32, 64, 0xFFFF}) EXPECT_EQ(0, DibPicture::ColorsFromBitCount(bits)) << bits;
}

TEST(DibPictureBasics, NewHolderIsEmpty) {
  DibPicture p;
  ExpectEmpty(p);
  EXPECT_EQ(0, p.m_nColors);
  EXPECT_EQ(0, p.m_nWidth);
  EXPECT_EQ(0, p.m_nHeight);
  EXPECT_EQ(0u, p.m_bCoreHeader);
}

// Table size by header kind, bit count and biClrUsed, and where the bits start.
TEST_F(DibPictureTest, TableSizesAndBitsOffset) {
  struct Case {
    const char* name;
    uint32_t headerSize;
    uint16_t bitCount;
    uint32_t clrUsed;
    int tableEntries;  // entries in the file
    int colors;        // entries in the block
  } cases[] = {
      {"8-bit, biClrUsed 0", 40, 8, 0, 256, 256},    {"8-bit, biClrUsed 20", 40, 8, 20, 20, 20},
      {"24-bit, biClrUsed 0", 40, 24, 0, 0, 0},      {"24-bit, biClrUsed 256", 40, 24, 256, 256, 256},
      {"1-bit", 40, 1, 0, 2, 2},                     {"4-bit", 40, 4, 0, 16, 16},
      {"16-bit, no table", 40, 16, 0, 0, 0},         {"32-bit, biClrUsed 4", 40, 32, 4, 4, 4},
      {"core 8-bit", 12, 8, 0, 256, 256},            {"core 4-bit", 12, 4, 0, 16, 16},
      {"core 1-bit", 12, 1, 0, 2, 2},                {"core 24-bit", 12, 24, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BmpFile bmp;
    bmp.headerSize = c.headerSize;
    bmp.width = 9;
    bmp.height = 4;
    bmp.bitCount = c.bitCount;
    bmp.clrUsed = c.clrUsed;
    bmp.table = ColourTable(c.tableEntries, c.headerSize == 12 ? 3 : 4);
    bmp.bits = Pattern(RowBytes(c.bitCount, 9) * 4, 7);
    ASSERT_TRUE(Load(bmp));
    ExpectConsistent(m_picture);
    EXPECT_EQ(c.colors, m_picture.m_nColors);
    EXPECT_EQ(Block(m_picture) + 40 + 4 * c.colors, m_picture.m_pBits);
    EXPECT_EQ(c.headerSize == 12 ? 1u : 0u, m_picture.m_bCoreHeader);
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
    if (c.headerSize == 40 && !bmp.table.empty()) {
      EXPECT_EQ(0, memcmp(Block(m_picture) + 40, bmp.table.data(), bmp.table.size()));
    }
  }
}

TEST_F(DibPictureTest, BitsOffsetsOfTheCommonPictures) {
  ASSERT_TRUE(Load(Picture8(4, 4, 256)));
  EXPECT_EQ(Block(m_picture) + 1064, m_picture.m_pBits);
  EXPECT_EQ(256u, Header(m_picture).biClrUsed);
  ASSERT_TRUE(Load(Picture8(4, 4, 20)));
  EXPECT_EQ(Block(m_picture) + 120, m_picture.m_pBits);
  ASSERT_TRUE(Load(Picture24(4, 4)));
  EXPECT_EQ(Block(m_picture) + 40, m_picture.m_pBits);
}

TEST_F(DibPictureTest, CoreHeaderTableIsWidenedAndHeaderCompleted) {
  BmpFile bmp;
  bmp.headerSize = 12;
  bmp.width = 3;
  bmp.height = 2;
  bmp.bitCount = 8;
  bmp.table = ColourTable(256, 3);
  bmp.table[3 * 5] = 0x10;  // entry 5: blue, green, red
  bmp.table[3 * 5 + 1] = 0x20;
  bmp.table[3 * 5 + 2] = 0x30;
  bmp.bits = Pattern(RowBytes(8, 3) * 2);
  ASSERT_TRUE(Load(bmp));
  const BYTE* table = Block(m_picture) + 40;
  const BYTE entry5[4] = {0x10, 0x20, 0x30, 0x00};
  EXPECT_EQ(0, memcmp(table + 4 * 5, entry5, 4));
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(bmp.table[3 * i], table[4 * i]);
    EXPECT_EQ(bmp.table[3 * i + 1], table[4 * i + 1]);
    EXPECT_EQ(bmp.table[3 * i + 2], table[4 * i + 2]);
    EXPECT_EQ(0, table[4 * i + 3]);
  }
  const BITMAPINFOHEADER& h = Header(m_picture);
  EXPECT_EQ(40u, h.biSize);
  EXPECT_EQ(3, h.biWidth);
  EXPECT_EQ(2, h.biHeight);
  EXPECT_EQ(1, h.biPlanes);
  EXPECT_EQ(8, h.biBitCount);
  EXPECT_EQ(DWORD(BI_RGB), h.biCompression);
  EXPECT_EQ(256u, h.biClrUsed);
  EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
}

TEST_F(DibPictureTest, CoreHeaderDimensionsAreUnsigned) {
  BmpFile bmp = Picture24(0, 0);
  bmp.headerSize = 12;
  bmp.width = 0x8000;  // negative as a signed 16-bit value
  bmp.height = 1;
  bmp.bitCount = 1;
  bmp.table = ColourTable(2, 3);
  bmp.bits = Pattern(RowBytes(1, 0x8000));
  ASSERT_TRUE(Load(bmp));
  EXPECT_EQ(0x8000, m_picture.m_nWidth);
  EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
}

TEST_F(DibPictureTest, UncompressedImageSizeIsComputed) {
  BmpFile bmp;
  bmp.width = 33;
  bmp.height = 2;
  bmp.bitCount = 1;
  bmp.table = ColourTable(2, 4);
  bmp.bits = Pattern(16);
  for (uint32_t claimed : {0u, 4u, 999999u}) {
    SCOPED_TRACE(claimed);
    bmp.sizeImage = claimed;
    ASSERT_TRUE(Load(bmp));
    EXPECT_EQ(16u, Header(m_picture).biSizeImage);
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, 16));
  }
  bmp.bits.pop_back();  // one byte short of 8-byte rows
  EXPECT_FALSE(Load(bmp));
}

TEST_F(DibPictureTest, CompressedBitsAreReadAsTheyStand) {
  BmpFile rle8 = Picture8(4, 2, 256);
  rle8.compression = BI_RLE8;
  rle8.bits = {4, 1, 0, 0, 4, 2, 0, 1};
  rle8.sizeImage = 8;
  ASSERT_TRUE(Load(rle8));
  ExpectConsistent(m_picture);
  EXPECT_EQ(8u, Header(m_picture).biSizeImage);
  EXPECT_EQ(DWORD(BI_RLE8), Header(m_picture).biCompression);
  EXPECT_EQ(rle8.bits, BitsOf(m_picture, 8));

  BmpFile rle4 = rle8;
  rle4.bitCount = 4;
  rle4.compression = BI_RLE4;
  rle4.table = ColourTable(16, 4);
  rle4.bits = {4, 0x12, 0, 0, 4, 0x34, 0, 1};
  ASSERT_TRUE(Load(rle4));
  EXPECT_EQ(16, m_picture.m_nColors);
  EXPECT_EQ(rle4.bits, BitsOf(m_picture, 8));
}

TEST_F(DibPictureTest, BitsOffsetGapRules) {
  BmpFile bmp = Picture8(4, 2, 256);
  bmp.autoOffBits = false;
  bmp.offBits = 0;
  ASSERT_TRUE(Load(bmp)) << "bfOffBits 0";
  EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));

  bmp.gap = {0xEE, 0xEE};
  bmp.offBits = 14 + 40 + 1024 + 2;
  ASSERT_TRUE(Load(bmp)) << "2 bytes skipped";
  EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
  bmp.gap.clear();

  for (uint32_t offBits : {1u, 14u, 54u, 60u, 14u + 40u + 1023u}) {
    SCOPED_TRACE(offBits);  // inside or before the table: read right after it
    bmp.offBits = offBits;
    ASSERT_TRUE(Load(bmp));
    EXPECT_EQ(bmp.bits, BitsOf(m_picture, bmp.bits.size()));
  }
}

TEST_F(DibPictureTest, TopDownPictureIsStoredBottomUp) {
  BmpFile bmp = Picture24(3, -4);
  ASSERT_TRUE(Load(bmp));
  ExpectConsistent(m_picture);
  EXPECT_EQ(4, m_picture.m_nHeight);
  EXPECT_EQ(4, Header(m_picture).biHeight);
  const size_t row = RowBytes(24, 3);
  for (size_t r = 0; r < 4; ++r) {
    SCOPED_TRACE(r);
    EXPECT_EQ(0, memcmp(m_picture.m_pBits + r * row, bmp.bits.data() + (3 - r) * row, row));
  }
}

TEST_F(DibPictureTest, ShortTopDownPictureKeepsItsTopRowsOnTop) {
  BmpFile bmp = Picture24(3, -4);
  const size_t row = RowBytes(24, 3);
  bmp.bits.resize(2 * row);
  EXPECT_FALSE(Load(bmp));
  ExpectConsistent(m_picture);
  // Bottom-up: the last two rows in memory are the two top rows read.
  EXPECT_EQ(0, memcmp(m_picture.m_pBits + 3 * row, bmp.bits.data(), row));
  EXPECT_EQ(0, memcmp(m_picture.m_pBits + 2 * row, bmp.bits.data() + row, row));
  EXPECT_EQ(std::vector<uint8_t>(2 * row, 0), BitsOf(m_picture, 2 * row));
}

// Refusals before the old block is released: the held picture stays whole.
TEST_F(DibPictureTest, RefusalsLeaveTheHeldPicture) {
  LoadKeeper();
  EXPECT_FALSE(m_picture.Load(TempPath("no-such-file.bmp").c_str()));
  ExpectKeeperIntact("missing file");
  std::string dir = TempPath("");
  EXPECT_FALSE(m_picture.Load(dir.c_str()));
  ExpectKeeperIntact("directory");

  auto expectRefused = [&](const char* what, const BmpFile& bmp) {
    EXPECT_FALSE(Load(bmp)) << what;
    ExpectKeeperIntact(what);
  };
  BmpFile bmp = Picture24(4, 4);
  bmp.type = 0x4D42 ^ 0x0101;
  expectRefused("not BM", bmp);
  for (uint32_t size : {0u, 4u, 16u, 64u, 108u, 124u, 0xFFFFFFFFu}) {
    bmp = Picture24(4, 4);
    bmp.headerSize = size;
    expectRefused(("header size " + std::to_string(size)).c_str(), bmp);
  }
  bmp = Picture24(4, 4);
  bmp.planes = 2;
  expectRefused("planes 2", bmp);
  bmp = Picture24(4, 4);
  bmp.headerSize = 12;
  bmp.planes = 0;
  expectRefused("core planes 0", bmp);
  bmp = Picture24(0, 4);
  expectRefused("width 0", bmp);
  bmp = Picture24(4, 0);
  expectRefused("height 0", bmp);
  bmp = Picture24(4, 4);
  bmp.width = -4;
  expectRefused("negative width", bmp);
  bmp.width = 4;
  bmp.height = INT32_MIN;
  expectRefused("height INT_MIN", bmp);
  bmp.height = 32769;
  expectRefused("height over the bound", bmp);
  bmp.width = 0x10000;
  bmp.height = 0x10000;
  bmp.bitCount = 32;
  expectRefused("size wrapping 32 bits", bmp);
  bmp = Picture8(4, 4, 256);
  bmp.clrUsed = 257;
  expectRefused("257 colours on 8 bits", bmp);
  bmp.clrUsed = 0x80000000u;
  expectRefused("2^31 colours", bmp);
  bmp = Picture24(4, 4);
  bmp.bitCount = 16;
  bmp.compression = BI_BITFIELDS;
  bmp.table = {0, 0xF8, 0, 0, 0xE0, 7, 0, 0, 0x1F, 0, 0, 0};
  expectRefused("BI_BITFIELDS", bmp);
  bmp = Picture24(4, 4);
  bmp.headerSize = 12;
  bmp.bitCount = 16;
  expectRefused("core 16-bit", bmp);
  bmp = Picture24(4, 4);
  bmp.bitCount = 2;
  expectRefused("2-bit", bmp);
  bmp = Picture8(4, 2, 256);
  bmp.compression = BI_RLE8;
  bmp.bits = {4, 1, 0, 0, 4, 2, 0, 1};
  bmp.sizeImage = 0;
  expectRefused("RLE with biSizeImage 0", bmp);
  bmp.sizeImage = 9;
  expectRefused("RLE stream beyond the file", bmp);
  bmp.sizeImage = 8;
  bmp.height = -2;
  expectRefused("top-down RLE", bmp);
  bmp.height = 2;
  bmp.compression = BI_RLE4;
  expectRefused("RLE4 on 8 bits", bmp);
}

// After the old block is released, a short colour table leaves nothing.
TEST_F(DibPictureTest, ShortColourTableEmptiesTheHolder) {
  LoadKeeper();
  BmpFile bmp = Picture8(4, 4, 256);
  bmp.table.resize(1000);
  bmp.bits.clear();
  EXPECT_FALSE(Load(bmp));
  ExpectEmpty(m_picture);
  EXPECT_EQ(0, m_picture.m_nColors);

  BmpFile core = bmp;
  core.headerSize = 12;
  core.table = ColourTable(100, 3);
  EXPECT_FALSE(Load(core));
  ExpectEmpty(m_picture);
}

// A file that ends inside its bits leaves the new picture, the rest zeroed.
TEST_F(DibPictureTest, ShortBitsLeaveThePartlyReadPicture) {
  LoadKeeper();
  BmpFile bmp = Picture8(8, 4, 16);
  const std::vector<uint8_t> whole = bmp.bits;
  bmp.bits.resize(13);
  EXPECT_FALSE(Load(bmp));
  ExpectConsistent(m_picture);
  EXPECT_EQ(16, m_picture.m_nColors);
  EXPECT_EQ(0, memcmp(Block(m_picture) + 40, bmp.table.data(), 64));
  std::vector<uint8_t> expected = bmp.bits;
  expected.resize(whole.size(), 0);
  EXPECT_EQ(expected, BitsOf(m_picture, whole.size()));

  bmp.bits = whole;
  bmp.autoOffBits = false;
  bmp.offBits = 0xFFFFFFF0u;
  EXPECT_FALSE(Load(bmp)) << "bfOffBits past the end";
  ExpectConsistent(m_picture);
  EXPECT_EQ(std::vector<uint8_t>(whole.size(), 0), BitsOf(m_picture, whole.size()));
}

TEST_F(DibPictureTest, ReleaseEmptiesTheHolderAndMayRepeat) {
  LoadKeeper();
  m_picture.Release();
  ExpectEmpty(m_picture);
  EXPECT_EQ(0, m_picture.m_nWidth);
  m_picture.Release();
  ExpectEmpty(m_picture);
  ASSERT_TRUE(Load(Picture24(2, 2)));
  ExpectConsistent(m_picture);
}

// Every file of the hostile corpus gives its listed result, and whatever it
// leaves in the holder is consistent and readable to the last byte drawing uses.
TEST(DibHostileCorpus, EveryFileGivesItsListedResult) {
  const std::string dir = std::string(LUMARO_TEST_DATA) + "/hostile/";
  std::ifstream manifest(dir + "MANIFEST");
  ASSERT_TRUE(manifest.good()) << dir;
  std::string line;
  int files = 0;
  while (std::getline(manifest, line)) {
    std::istringstream fields(line);
    std::string name, expect;
    if (!(fields >> name >> expect)) continue;
    SCOPED_TRACE(name);
    ++files;
    DibPicture p;
    BOOL loaded = p.Load((dir + name).c_str());
    EXPECT_EQ(expect == "ok", loaded == TRUE);
    if (p.m_pInfo) {
      ExpectConsistent(p);
      const BITMAPINFOHEADER& h = Header(p);
      int64_t image = h.biCompression == BI_RGB
                          ? int64_t(RowBytes(h.biBitCount, h.biWidth)) * h.biHeight
                          : int64_t(h.biSizeImage);
      EXPECT_GT(image, 0);
      EXPECT_LE(image, int64_t(256) << 20);
      unsigned sum = 0;
      for (int64_t i = 0; i < image; ++i) sum += p.m_pBits[i];
      (void)sum;
    } else {
      ExpectEmpty(p);
    }
    p.Release();
  }
  EXPECT_GE(files, 25);
}

}  // namespace
